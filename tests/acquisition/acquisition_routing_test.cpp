#include "acquisition/acquisition_routing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/program_folder.h"
#include "codes/cp932.h"
#include "store/store_paths.h"
#include "support/record_builder.h"
#include "support/temp_home.h"

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
    damaged_ = routed.damaged;
    std::vector<std::string> lines;
    for (const auto& line : routed.listLines) lines.push_back(Utf8(line));
    return lines;
  }

  test::TempHome home_;
  StoreWriter writer_;
  bool damaged_ = false;
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
    EXPECT_FALSE(damaged_) << c.what;
  }
}

TEST_F(AcquisitionRoutingTest, RunnerEntriesMakeThePastRunYearFolderOnly) {
  Route(SeRecord({.kind = '1', .pedigree = "2007100001"}));
  writer_.Flush();
  EXPECT_TRUE(std::filesystem::is_directory(home_.path() / "SEI/2007"));
  EXPECT_TRUE(std::filesystem::is_empty(home_.path() / "SEI/2007"));
}

TEST_F(AcquisitionRoutingTest, DamagedRecordsAreNotStored) {
  std::string shortRace = RaRecord({});
  shortRace.erase(100, 1);
  EXPECT_EQ(Route(shortRace), Lines{});
  EXPECT_TRUE(damaged_);

  std::string brokenLine = SeRecord({.kind = '1'});
  brokenLine[200] = '\n';
  EXPECT_EQ(Route(brokenLine), Lines{});
  EXPECT_TRUE(damaged_);

  EXPECT_EQ(Route(SeRecord({.race = 13, .kind = '1'})), Lines{});
  EXPECT_TRUE(damaged_);

  writer_.Flush();
  EXPECT_TRUE(std::filesystem::is_empty(home_.path() / "Data"));
}

}  // namespace
}  // namespace sorvix
