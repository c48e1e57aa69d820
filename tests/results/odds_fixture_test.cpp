// The predicted-odds import on archives made by a real LHA archiver
// (jlha-utils, -lh5- compressed, level-2 headers) rather than by the feed
// generator's stored-method writer.
#include <gtest/gtest.h>

#include "app/file_io.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "results/odds_import.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const char* name, const test::TempHome& home) {
  fs::path folder = home.path() / "ylzh";
  fs::create_directories(folder);
  fs::copy_file(fs::path(SORVIX_FIXTURES) / "odds" / name, folder / name);
  return folder / name;
}

TEST(OddsFixtureTest, CompressedArchivesFromARealArchiverImport) {
  struct Case {
    const char* archive;
    OddsImportResult::Kind kind;
    const char* file;
    char source;
  } cases[] = {
      {"kd3_jb240615.lzh", OddsImportResult::Kind::Kol, "Data/2024年06月15日.yoz", 'K'},
      {"OZ240616.lzh", OddsImportResult::Kind::Jrdb, "Data/2024年06月16日.yoz", 'J'},
  };
  for (const Case& c : cases) {
    test::TempHome home;
    OddsImportResult result = ImportPredictedOdds(Fixture(c.archive, home), true);
    ASSERT_EQ(result.kind, c.kind) << c.archive << " " << result.detail;
    EXPECT_EQ(result.races, 3) << c.archive;
    auto lines = SplitLines(home.Read(c.file));
    ASSERT_EQ(lines.size(), 3u) << c.archive;
    for (const std::string& line : lines) {
      EXPECT_EQ(line.size(), 1459u) << c.archive;
      EXPECT_TRUE(line[16] == c.source || (c.source == 'K' && line[16] == 'M')) << c.archive;
      EXPECT_GT(ReadDecimal(Field(line, 20, 6)), 0.0) << c.archive;  // horse 1 has win odds
    }
  }
}

}  // namespace
}  // namespace sorvix
