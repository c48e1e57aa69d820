#include "acquisition/acquisition_routing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/program_folder.h"
#include "codes/cp932.h"
#include "store/store_paths.h"
#include "support/record_builder.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

using test::ChRecord;
using test::HrRecord;
using test::KsRecord;
using test::RaRecord;
using test::SeRecord;
using test::UmRecord;

class AcquisitionRoutingTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateStoreFolders(); }

  // Routes one record with the from-date 2008-01-05 and Year15 "2005", and
  // returns its list lines (UTF-8).
  std::vector<std::string> Route(const std::string& record) {
    RoutingWindow window{20080105, "2005"};
    RoutedRecord routed = RouteAcquiredRecord(record, window, writer_);
    skipped_ = routed.skipped;
    std::vector<std::string> lines;
    for (const auto& line : routed.listLines) lines.push_back(Utf8Bytes(line));
    return lines;
  }

  test::TempHome home_;
  StoreWriter writer_;
  std::string skipped_;
};

using Lines = std::vector<std::string>;

TEST_F(AcquisitionRoutingTest, FiltersByTypeKindDateAndNumbers) {
  struct Case {
    const char* what;
    std::string record;
    Lines lines;
  } cases[] = {
      // FromYmd − 10 = 20080095: the last day of 2007 is outside, 2008-01-01 inside.
      {"RA before the window", RaRecord({.ymd = "20071231"}), {}},
      {"RA in the window",
       RaRecord({.ymd = "20080101", .race = 3}),
       {"作成済み:03R/2008年01月01日.jvRA"}},
      {"RA kind A", RaRecord({.kind = 'A'}), {}},
      {"RA kind B", RaRecord({.kind = 'B'}), {}},
      {"RA kind 1", RaRecord({.kind = '1'}), {}},
      {"RA kind 2", RaRecord({.kind = '2'}), {"作成済み:01R/2008年01月05日.jvRA"}},
      {"RA race 0", RaRecord({.race = 0}), {}},
      {"RA no runners", RaRecord({.runners = 0}), {}},
      {"RA 19 runners", RaRecord({.runners = 19}), {}},
      {"RA 18 runners", RaRecord({.runners = 18}), {"作成済み:01R/2008年01月05日.jvRA"}},
      {"SE entry (kind 1)",
       SeRecord({.race = 5, .horse = 3, .kind = '1'}),
       {"作成済み:05R/03番/2008年01月05日中山.jvSEr"}},
      {"SE kind A", SeRecord({.kind = 'A', .pedigree = "2004000001"}), {}},
      {"SE horse 0", SeRecord({.horse = 0, .kind = '1'}), {}},
      {"SE horse 19", SeRecord({.horse = 19, .kind = '1'}), {}},
      {"SE result",
       SeRecord({.race = 11, .horse = 2, .kind = '7', .pedigree = "2006101234"}),
       {"作成済み:11R/02番/2008年01月05日中山.jvSEr",
        "作成済み:2008年01月05日中山11R/2006101234.jvSEI"}},
      // Past runs have no date window; Year15 is compared as text.
      {"SE old result",
       SeRecord(
           {.ymd = "20060611", .venue = "05", .race = 2, .kind = '7', .pedigree = "2006100001"}),
       {"作成済み:2006年06月11日東京02R/2006100001.jvSEI"}},
      {"SE result of an old horse",
       SeRecord({.ymd = "20060611", .kind = '7', .pedigree = "2005100001"}),
       {}},
      {"HR in the window", HrRecord({.race = 12}), {"作成済み:12R/2008年01月05日.jvHR"}},
      {"HR before the window", HrRecord({.ymd = "20071231"}), {}},
      {"HR race 0", HrRecord({.race = 0}), {}},
      {"UM young horse", UmRecord("2006100001"), {"作成済み:2006100001.jvUM2"}},
      {"UM old horse", UmRecord("2005100001"), {}},
      {"KS", KsRecord("01234", '1'), {"作成済み:01234/012Kish.jvKS"}},
      {"KS kind 0", KsRecord("01234", '0'), {}},
      {"CH", ChRecord("00421", '2'), {"作成済み:00421/004Chok.jvCH"}},
      {"CH kind 0", ChRecord("00421", '0'), {}},
      {"other type", test::RecordBuilder("O1", 100).Build(), {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Route(c.record), c.lines) << c.what;
    EXPECT_EQ(skipped_, "") << c.what;
  }
}

TEST_F(AcquisitionRoutingTest, RunnerEntriesMakeThePastRunYearFolderOnly) {
  Route(SeRecord({.kind = '1', .pedigree = "2007100001"}));
  writer_.Flush();
  EXPECT_TRUE(std::filesystem::is_directory(home_.path() / "SEI/2007"));
  EXPECT_TRUE(std::filesystem::is_empty(home_.path() / "SEI/2007"));
}

TEST_F(AcquisitionRoutingTest, DamagedRecordsAndFieldsThatCannotNameAFileAreSkipped) {
  std::string shortRace = RaRecord({});
  shortRace.erase(100, 1);
  std::string brokenLine = SeRecord({.kind = '1'});
  brokenLine[200] = '\n';
  auto withNul = [](std::string record, int pos, int width) {
    record.replace(static_cast<size_t>(pos - 1), static_cast<size_t>(width),
                   static_cast<size_t>(width), '\0');
    return record;
  };
  struct Case {
    const char* what;
    std::string record;
    const char* reason;  // the start of the reason
  } cases[] = {
      {"short RA", shortRace, "長さが正しくありません（1271 バイト）"},
      {"line break inside", brokenLine, "長さが正しくありません"},
      {"SE race 13", SeRecord({.race = 13, .kind = '1'}),
       "レース番号 \"13\" が 1～12 ではありません"},
      {"RA race 99", RaRecord({.race = 99}), "レース番号 \"99\""},
      {"HR race 13", HrRecord({.race = 13}), "レース番号 \"13\""},
      {"RA 30 February", RaRecord({.ymd = "20080230"}),
       "日付 \"20080230\" が正しい日付ではありません"},
      {"HR date of NULs", withNul(HrRecord({}), 16, 4), "日付 \"2008\\x00\\x00\\x00\\x00\""},
      {"SE result 99999999", SeRecord({.ymd = "99999999", .kind = '7', .pedigree = "2006101234"}),
       "日付 \"99999999\""},
      {"SE result 00000000", SeRecord({.ymd = "00000000", .kind = '7', .pedigree = "2006101234"}),
       "日付 \"00000000\""},
      {"SE pedigree with a NUL",
       withNul(SeRecord({.ymd = "20060611", .kind = '7', .pedigree = "2006101234"}), 36, 1),
       "血統登録番号 \"20061\\x00"},
      {"UM pedigree with letters", UmRecord("2006AB0001"), "血統登録番号 \"2006AB0001\""},
      {"KS code of NULs", withNul(KsRecord("01234", '1'), 12, 5), "騎手コード"},
      {"KS code with a slash", KsRecord("0/../", '1'), "騎手コード \"0/../\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Route(c.record), Lines{}) << c.what;
    EXPECT_EQ(skipped_.rfind(c.reason, 0), 0u) << c.what << ": " << skipped_;
  }
  writer_.Flush();
  // Nothing was written, and no file or folder was named by a bad field.
  EXPECT_TRUE(std::filesystem::is_empty(home_.path() / "Data"));
  EXPECT_TRUE(std::filesystem::is_empty(home_.path() / "KSCH"));
  EXPECT_TRUE(std::filesystem::is_empty(home_.path() / "UM2"));
}

}  // namespace
}  // namespace sorvix
