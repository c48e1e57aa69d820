// The demo (the feed ./sorvix.sh demo makes) acquired into a fresh
// LocalStore and taken the way a user takes it:
//  - each predicted-odds archive (KOL and JRDB) put in the predicted-odds
//    folder and imported, and its date loaded with the estimate taken from
//    the predicted odds: every race of the date must get ranks from the odds
//    of its own race (same venue, meeting, day and number);
//  - each showcase day, which holds a dead heat, loaded: the final positions
//    the payouts give are the ones the results carry (1, 1, 3).
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
#include "print/print_primitives.h"
#include "results/lzh_extract.h"
#include "results/odds_import.h"
#include "shared_feed.h"
#include "store/estimate.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/store_paths.h"
#include "support/acquire_feed.h"
#include "tests/support/cp932_bytes.h"
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

// The demo feed generated and acquired into a home in memory.
struct AcquiredDemo {
  MemoryHome home;
  fs::path feed = home.path() / "JVLink";
  FeedSummary summary;
  AcquiredDemo() {
    FeedOptions demo = DemoOptions(feed);
    demo.legacyUmaHome = home.path();
    summary = GenerateFeed(demo);
    EXPECT_EQ(sorvix::test::AcquireFeedInto(home.path(), feed), AcquisitionRun::Outcome::Completed);
  }
};

TEST(DemoDaysTest, EveryOddsArchiveGivesEveryRaceOfItsDateTheOddsOfItsOwnRace) {
  AcquiredDemo demo;
  ASSERT_FALSE(HasFailure());
  const MemoryHome& home = demo.home;
  const fs::path& feed = demo.feed;

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
    if (kol) kolDays.insert(Utf8Bytes(imported.dateLabel));
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
      std::string what = name + " " + Utf8Bytes(VenueName(ra.Field(20, 2))) + " " +
                         std::string(ra.Field(26, 2)) + "R";
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

TEST(DemoDaysTest, DeadHeatsShareTheirFinalPosition) {
  AcquiredDemo demo;
  ASSERT_FALSE(HasFailure());
  ASSERT_FALSE(demo.summary.showcaseDays.empty());
  SignPoints points = SignPoints::Defaults();
  int deadHeats = 0;
  for (const Date& date : demo.summary.showcaseDays) {
    std::string label = Format("%04d年%02d月%02d日", date.y, date.m, date.d);
    auto day = RaceDay::Create();
    LoadOptions options;
    options.analysis = DayAnalysisSteps(points);
    ASSERT_TRUE(LoadRaceDay(*day, Cp932(label), options).loaded) << label;
    for (int r = 0; r < day->RaceCount; ++r) {
      const RaImage& ra = day->RaRec[r];
      std::string what = label + " " + Utf8Bytes(VenueName(ra.Field(20, 2))) + " " +
                         std::string(ra.Field(26, 2)) + "R";
      // The results as stored: the final positions JRA gives.
      std::string stored = ReadWholeFile(HomePath(RunnerFilePath(Cp932(label), ra.Field(20, 2))));
      std::map<int, int> count;  // stored position → horses
      for (int h = 0; h < day->Runners(r); ++h) {
        size_t at = static_cast<size_t>(((ra.Int(26, 2) - 1) * kHorseSlots + h) * kSeLength);
        int want = ReadInt(std::string_view(stored).substr(at + 334, 2));
        if (want < 1 || want > 3) continue;
        ++count[want];
        EXPECT_EQ(day->SeRec[r][h].Int(335, 2), want) << what << " horse " << h + 1;
      }
      bool tie = false;
      for (const auto& [position, horses] : count) tie = tie || horses > 1;
      if (!tie) continue;
      ++deadHeats;
      // The printed result line names the shared place once per horse.
      std::string result = Utf8Bytes(RaceResultText(*day, r, day->Sheet[r]));
      for (const auto& [position, horses] : count) {
        std::string place = std::to_string(position) + "着：";
        size_t found = 0;
        for (size_t at = result.find(place); at != std::string::npos;
             at = result.find(place, at + 1))
          ++found;
        EXPECT_EQ(found, static_cast<size_t>(horses)) << what << ": " << result;
      }
    }
  }
  // The generator puts one dead heat on each showcase day.
  EXPECT_GE(deadHeats, static_cast<int>(demo.summary.showcaseDays.size()));
}

}  // namespace
}  // namespace sorvix::feedgen::test
