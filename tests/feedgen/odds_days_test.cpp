// The demo's predicted-odds archives taken the way a user takes them: the
// demo feed (as ./sorvix.sh demo makes it) acquired into a fresh LocalStore,
// each archive (KOL and JRDB) put in the predicted-odds folder and imported,
// and its date loaded with the estimate taken from the predicted odds.
// Every race of the date must get ranks from the odds of its own race: same
// venue, meeting, day and number.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "results/lzh_extract.h"
#include "results/odds_import.h"
#include "shared_feed.h"
#include "store/estimate.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "tools/feedgen/generator.h"

namespace sorvix::feedgen::test {
namespace {

// A ProgramFolder in memory when /dev/shm is there: every store write ends
// with a sync, which on a busy disk takes most of a minute for a feed.
class MemoryHome {
 public:
  MemoryHome() {
    fs::path base =
        ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "sorvix-odds-days-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? fs::path(pattern) : MakeTempFolder("sorvix-odds-days");
    previous_ = ProgramFolder::Get();
    ProgramFolder::Set(path_);
  }
  ~MemoryHome() {
    ProgramFolder::Set(previous_);
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_, previous_;
};

// The source lines of an archive, by race: KOL by date, meeting, day, race
// number, distance and post time (its venue field is what is checked);
// JRDB by venue code, meeting, day and race number.
std::map<std::string, std::string> SourceLines(const fs::path& archive, const fs::path& scratch,
                                               bool kol) {
  fs::remove_all(scratch);
  fs::create_directories(scratch);
  LzhExtraction x = ExtractLzh(archive, scratch);
  EXPECT_TRUE(x.ok()) << archive << ": " << x.error;
  std::map<std::string, std::string> out;
  for (const std::string& name : x.files) {
    bool source = kol ? name.rfind("kol_ods.", 0) == 0 : name.rfind("Oz", 0) == 0;
    if (!source) continue;
    for (const std::string& line : SplitLines(ReadWholeFile(scratch / name))) {
      std::string key =
          kol ? F(line, 13, 8) + F(line, 7, 6) + F(line, 41, 4) + F(line, 50, 4)
              : F(line, 1, 2) + "0" + F(line, 5, 1) + "0" + F(line, 6, 1) + F(line, 7, 2);
      out[key] = line;
    }
  }
  return out;
}

TEST(OddsDaysTest, EveryDemoArchiveGivesEveryRaceOfItsDateTheOddsOfItsOwnRace) {
  MemoryHome home;
  fs::path feed = home.path() / "JVLink";
  FeedOptions demo = DemoOptions(feed);
  demo.legacyUmaHome = home.path();
  GenerateFeed(demo);
  WriteFileAtomic(home.path() / "jvlink.ini", "[Feed]\r\nFolder=" + feed.string() + "\r\n");
  CreateStoreFolders();
  FeedJvLink link;
  ASSERT_EQ(link.JVInit("SORVIX"), 0);
  AcquisitionObserver observer;
  SettingsFile settings;
  AcquisitionRun run(link, observer, settings);
  run.Start("20220101000000", true, 2026);
  for (int i = 0; i < 100000 && run.state() == AcquisitionRun::State::Downloading; ++i) run.Tick();
  ASSERT_EQ(run.outcome(), AcquisitionRun::Outcome::Completed);

  fs::path ylzh = home.path() / "ylzh";
  fs::create_directories(ylzh);
  std::vector<fs::path> archives;
  std::set<std::string> kolDays;
  for (const auto& entry : fs::directory_iterator(feed / "odds"))
    if (entry.path().extension() == ".lzh") archives.push_back(entry.path());
  std::sort(archives.begin(), archives.end());
  ASSERT_GE(archives.size(), 10u);

  SignPoints points = SignPoints::Defaults();
  for (const fs::path& archive : archives) {
    std::string name = archive.filename().string();
    bool kol = name.rfind("OZ", 0) != 0;
    fs::copy_file(archive, ylzh / name, fs::copy_options::overwrite_existing);
    std::map<std::string, std::string> sources = SourceLines(archive, home.path() / "scratch", kol);
    OddsImportResult imported = ImportPredictedOdds(ylzh / name, true);
    if (kol) kolDays.insert(Utf8(imported.dateLabel));
    ASSERT_EQ(imported.kind, kol ? OddsImportResult::Kind::Kol : OddsImportResult::Kind::Jrdb)
        << name << ": " << imported.detail;

    auto day = RaceDay::Create();
    LoadOptions options;
    options.source = EstimateSource::PredictedOdds;
    options.analysis = DayAnalysisSteps(points);
    ASSERT_TRUE(LoadRaceDay(*day, imported.dateLabel, options).loaded) << name;
    ASSERT_GT(day->RaceCount, 0) << name;
    EXPECT_EQ(imported.races, day->RaceCount) << name;
    std::string ymd6 = name.substr(name.size() - 10, 6);
    for (int r = 0; r < day->RaceCount; ++r) {
      const RaImage& ra = day->RaRec[r];
      std::string what =
          name + " " + Utf8(VenueName(ra.Field(20, 2))) + " " + std::string(ra.Field(26, 2)) + "R";
      std::string key = kol ? std::string(ra.Field(12, 8)) + std::string(ra.Field(22, 6)) +
                                  std::string(ra.Field(698, 4)) + std::string(ra.Field(874, 4))
                            : std::string(ra.Field(20, 2)) + std::string(ra.Field(22, 6));
      ASSERT_TRUE(sources.count(key)) << what << ": no source line " << key;
      ASSERT_TRUE(day->YosoOzFound[r]) << what << ": no odds";
      std::string want = kol ? KolOddsLine(sources[key], true) : JrdbOddsLine(sources[key], ymd6);
      EXPECT_EQ(std::string(day->YosoOzRec[r].Field(20, 6 * 18)), want.substr(19, 6 * 18))
          << what << ": the odds of another race";
      int n = day->Runners(r);
      for (int h = 0; h < n; ++h)
        EXPECT_GE(day->Calc[r].SuiteiRank[h], 1) << what << " horse " << h + 1 << ": no rank";
    }
  }
  // The showcase weekend has KOL odds for both days.
  EXPECT_TRUE(kolDays.count("2024年06月15日")) << "no KOL archive for 2024-06-15";
  EXPECT_TRUE(kolDays.count("2024年06月16日")) << "no KOL archive for 2024-06-16";
}

}  // namespace
}  // namespace sorvix::feedgen::test
