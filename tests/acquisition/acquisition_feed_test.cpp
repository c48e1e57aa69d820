// The acquisition run against the platform's JV-Link (a feed folder), as
// sorvix-cli acquire drives it: polling until the download completes.
#include <gtest/gtest.h>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/startup_checks.h"
#include "codes/cp932.h"
#include "store/store_paths.h"
#include "support/record_builder.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

using test::RaRecord;
using test::SeRecord;

class AcquisitionFeedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateStoreFolders();
    home_.Write("JVLink/RACE20080105180000.jvd",
                RaRecord({.race = 1}) + SeRecord({.race = 1, .horse = 1, .kind = '1'}));
    home_.Write("JVLink/RACE20080106180000.jvd", RaRecord({.ymd = "20080106", .race = 1}));
    home_.Write("JVLink/fault.ini", "DownloadStep=1\n");
    ASSERT_EQ(link_.JVInit(kSoftwareId), 0);
  }

  // Starts a run and polls it like the command line; `cancelAfter` ticks
  // into the download the user cancels.
  AcquisitionRun::Outcome Run(int cancelAfter = -1) {
    AcquisitionRun run(link_, observer_, settings_);
    run.Start("20080101000000", true, 2020);
    for (int ticks = 0; run.TimerRunning(); ++ticks) {
      if (ticks == cancelAfter) {
        run.Cancel();
      } else {
        run.Tick();
      }
    }
    return run.outcome();
  }

  test::TempHome home_;
  FeedJvLink link_;
  AcquisitionObserver observer_;
  SettingsFile settings_;
};

TEST_F(AcquisitionFeedTest, CancelledDownloadLeavesTheComponentFreeForTheNextRun) {
  EXPECT_EQ(Run(1), AcquisitionRun::Outcome::Cancelled);
  EXPECT_FALSE(std::filesystem::exists(HomePath(RaceFilePath(Cp932("2008年01月05日")))));
  EXPECT_EQ(settings_.ReadString("JvDataGet", "LastTime", ""), "");

  EXPECT_EQ(Run(), AcquisitionRun::Outcome::Completed);
  EXPECT_EQ(settings_.ReadString("JvDataGet", "LastTime", ""), "2008/01/06 18:00:00");
  EXPECT_EQ(ReadWholeFile(HomePath(RaceFilePath(Cp932("2008年01月06日")))).size(),
            size_t{kRaLength});
  EXPECT_EQ(ReadWholeFile(HomePath(RunnerFilePath(Cp932("2008年01月05日"), "06"))).size(),
            size_t{kRunnerFileLines} * kSeLength);
}

TEST_F(AcquisitionFeedTest, OddsAndVoteRecordsLongerThanTheBufferAreReadCutAndSkipped) {
  // RACE data carries O6 (83,285 bytes) and H6 (102,890) records; the
  // 60,000-byte buffer gets them cut, and the run stores what it stores
  // without them.
  auto longRecord = [](const char* type, size_t bytes) {
    return type + std::string("420080105") + std::string(bytes - 13, '0') + "\r\n";
  };
  home_.Write("JVLink/RACE20080105180000.jvd",
              RaRecord({.race = 1}) + longRecord("O6", 83285) +
                  SeRecord({.race = 1, .horse = 1, .kind = '1'}) + longRecord("H6", 102890));
  EXPECT_EQ(Run(), AcquisitionRun::Outcome::Completed);
  EXPECT_EQ(settings_.ReadString("JvDataGet", "LastTime", ""), "2008/01/06 18:00:00");
  EXPECT_EQ(ReadWholeFile(HomePath(RaceFilePath(Cp932("2008年01月05日")))).size(),
            size_t{kRaLength});
  EXPECT_EQ(ReadWholeFile(HomePath(RunnerFilePath(Cp932("2008年01月05日"), "06"))).size(),
            size_t{kRunnerFileLines} * kSeLength);
}

}  // namespace
}  // namespace sorvix
