// The generated feed taken the way a user takes it: acquired through the
// feed JV-Link into a fresh LocalStore, then each showcase day loaded and
// analysed.  Every sign family has to show up somewhere on those days.
#include <gtest/gtest.h>

#include <map>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "codes/cp932.h"
#include "shared_feed.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "support/temp_home.h"

namespace sorvix::feedgen::test {
namespace {

TEST(EndToEndTest, AcquiredShowcaseDaysLoadWithEverySignFamily) {
  sorvix::test::TempHome home;
  home.Write("jvlink.ini", "[Feed]\r\nFolder=" + Feed().root.string() + "\r\n");
  CreateStoreFolders();
  fs::copy(Feed().home / "UMA", home.path() / "UMA", fs::copy_options::recursive);

  FeedJvLink link;
  ASSERT_EQ(link.JVInit("SORVIX"), 0);
  AcquisitionObserver observer;
  SettingsFile settings;
  AcquisitionRun run(link, observer, settings);
  // The weekends of results right before the showcase days and the days themselves.
  run.Start("20240501000000", true, 2026);
  for (int i = 0; i < 100000 && run.state() == AcquisitionRun::State::Downloading; ++i) run.Tick();
  ASSERT_EQ(run.outcome(), AcquisitionRun::Outcome::Completed);

  SignPoints points = SignPoints::Defaults();
  std::map<std::string, int> families;
  for (const Date& date : Feed().summary.showcaseDays) {
    std::string label = Format("%04d年%02d月%02d日", date.y, date.m, date.d);
    auto day = RaceDay::Create();
    LoadOptions options;
    options.analysis = DayAnalysisSteps(points);
    LoadOutcome outcome = LoadRaceDay(*day, Cp932(label), options);
    ASSERT_TRUE(outcome.loaded) << label;
    EXPECT_EQ(day->RaceCount, date == Feed().summary.showcaseDays.back() ? 24 : 36) << label;
    int runners = 0, withPastRuns = 0;
    for (int r = 0; r < day->RaceCount; ++r) {
      const RaceCalc& calc = day->Calc[r];
      int n = day->RaRec[r].Int(882, 2);
      for (int h = 0; h < n; ++h) {
        // Every runner's horse, jockey and trainer master is found (old
        // layout horse files converted on the way).
        EXPECT_EQ(day->UmRec[r][h].Field(1, 2), "UM")
            << label << " race " << r << " horse " << h + 1;
        EXPECT_EQ(day->KsRec[r][h].Field(1, 2), "KS")
            << label << " race " << r << " horse " << h + 1;
        EXPECT_EQ(day->ChRec[r][h].Field(1, 2), "CH")
            << label << " race " << r << " horse " << h + 1;
        ++runners;
        if (!day->KakoSeRec[r][h][0].IsBlank()) ++withPastRuns;
      }
      for (int k = 0; k < 18; ++k) {
        families["red"] += calc.RedFlag[k];
        families["green"] += calc.GreenFlag[k];
        families["orange"] += calc.OrangeFlag[k];
        families["blue"] += calc.BlueFlag[k];
        families["yellow"] += calc.YellowFlag[k];
        families["time"] += calc.HStimeS1[k].size() > 0;
        families["green1 (sire and dam)"] += calc.Green1[k].size() > 0;
        families["green6 (bracket colour)"] += calc.Green6[k].size() > 0;
        families["red7 (katakana rider)"] += calc.Red7[k].size() > 0;
        families["red6 (woman rider)"] += calc.Red6[k].size() > 0;
      }
    }
    EXPECT_GT(withPastRuns, runners / 2) << label << ": most runners have earlier runs";
  }
  for (const char* family :
       {"red", "green", "orange", "blue", "yellow", "time", "green1 (sire and dam)",
        "green6 (bracket colour)", "red7 (katakana rider)", "red6 (woman rider)"}) {
    EXPECT_GT(families[family], 0) << family;
  }
}

}  // namespace
}  // namespace sorvix::feedgen::test
