#include "store/race_day_loader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/io_error.h"
#include "codes/cp932.h"
#include "store/race_day.h"
#include "store_fixture.h"

namespace sorvix {
namespace {

using test::RaceSpec;
using test::RunnerSpec;
using test::StoredPastRun;
using test::StoredRa;
using test::StoredSe;

const Cp932Text kLabel = DateLabelFromYmd("20240505");

class LoaderTest : public ::testing::Test {
 protected:
  LoadOutcome Load(Cp932View label = kLabel, const LoadOptions& options = {}) {
    return LoadRaceDay(*day_, label, options);
  }

  // One race at 東京 with the given runners in its RunnerFile.
  void OneRace(const std::vector<RunnerSpec>& runners, int entered = 1) {
    store_.WriteRecords(RaceFilePath(kLabel), {StoredRa({.runners = entered})});
    std::vector<std::string> lines;
    for (const auto& r : runners) lines.push_back(StoredSe(r));
    store_.WriteRunnerFile(kLabel, "05", lines);
  }

  test::StoreFixture store_;
  std::unique_ptr<RaceDay> day_ = RaceDay::Create();
};

std::string HhMm(int minutes) {
  return Format("%02d%02d", minutes / 60, minutes % 60);
}

TEST_F(LoaderTest, ThreeVenuesFillTheSlotsInStartTimeOrderAndExtraLinesAreIgnored) {
  std::vector<std::string> lines;
  const char* venues[] = {"08", "05", "03"};
  for (int v = 0; v < 3; ++v)
    for (int race = 1; race <= 12; ++race)
      lines.push_back(StoredRa({.venue = venues[v],
                                .race = race,
                                .start = HhMm(9 * 60 + 50 + (race - 1) * 30 + v * 10),
                                .runners = race == 1 ? 10 : 18}));
  lines.push_back(StoredRa({.venue = "01", .race = 12, .start = "1700"}));  // the 37th
  store_.WriteRecords(RaceFilePath(kLabel), lines, /*sort=*/true);

  // 東京: race 1 has 10 runners, race 12 has 18 (its horse 18 is line 215).
  std::vector<std::string> runners;
  for (int h = 1; h <= 10; ++h) runners.push_back(StoredSe({.race = 1, .horse = h}));
  runners.push_back(StoredSe({.race = 12, .horse = 18, .name = "ラスト"_sj}));
  store_.WriteRunnerFile(kLabel, "05", runners);

  LoadOutcome out = Load();
  ASSERT_TRUE(out.loaded);
  EXPECT_EQ(day_->RaceCount, 36);
  EXPECT_EQ(day_->RaceListRows, 36);
  EXPECT_EQ(day_->RaceList[0].View(), "09:50 京都 1R"_sj);
  EXPECT_EQ(day_->RaceList[1].View(), "10:00 東京 1R"_sj);
  EXPECT_EQ(day_->RaceList[35].View(), "15:40 福島12R"_sj);
  for (int r = 1; r < 36; ++r)
    EXPECT_LT(day_->RaRec[r - 1].Field(874, 4), day_->RaRec[r].Field(874, 4)) << r;
  for (int r = 0; r < 36; ++r) EXPECT_NE(day_->RaRec[r].Field(20, 2), "01");
  EXPECT_EQ(day_->DayVenues[0].View(), "03");
  EXPECT_EQ(day_->DayVenues[1].View(), "05");
  EXPECT_EQ(day_->DayVenues[2].View(), "08");

  // Slot 1 is 東京 1R: ten runners, the rest of the slots all spaces.
  EXPECT_EQ(day_->SeRec[1][9].Int(29, 2), 10);
  for (int h = 10; h < 18; ++h) EXPECT_TRUE(day_->SeRec[1][h].IsBlank()) << h;
  // 東京 12R is slot 34; horse 18 comes from line 215.
  EXPECT_EQ(day_->RaRec[34].Field(20, 8), "05010112");
  EXPECT_EQ(day_->SeRec[34][17].Field(41, 6), "ラスト"_sj);
  // 京都 has no RunnerFile: its runners stay all spaces.
  EXPECT_TRUE(day_->SeRec[0][0].IsBlank());
}

TEST_F(LoaderTest, ABlankYearLineTakesNoSlotAndNoRow) {
  std::string blank = test::RecordBuilder("RA", kRaLength).Build();
  store_.WriteRecords(RaceFilePath(kLabel), {StoredRa({.race = 1, .start = "0950"}), blank,
                                             StoredRa({.race = 2, .start = "1020"})});
  ASSERT_TRUE(Load().loaded);
  EXPECT_EQ(day_->RaceCount, 2);
  EXPECT_EQ(day_->RaceListRows, 2);
  EXPECT_EQ(day_->RaRec[1].Int(26, 2), 2);
  EXPECT_TRUE(day_->RaRec[2].IsBlank());
  EXPECT_EQ(day_->RaceList[1].View(), "10:20 東京 2R"_sj);
}

TEST_F(LoaderTest, TakesTheTenMostRecentEarlierRunsBeforeTheRaceDay) {
  const std::string ped = "2020100001";
  OneRace({{.pedigree = ped}});
  std::vector<std::string> runs = {StoredPastRun("20240601", "05", 1, ped),   // later
                                   StoredPastRun("20240505", "05", 1, ped)};  // the race day
  const std::vector<std::string> earlier = {
      "20240428", "20240421", "20240414", "20240407", "20240331", "20240324", "20240317",
      "20240310", "20240303", "20240225", "20240218", "20240211", "20240204"};
  for (size_t i = 0; i < earlier.size(); ++i)
    runs.push_back(StoredPastRun(earlier[i], "05", static_cast<int>(i % 12) + 1, ped));
  store_.WriteRecords(PastRunFilePath(ped), runs, /*sort=*/true);

  ASSERT_TRUE(Load().loaded);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(day_->KakoSeRec[0][0][k].Field(12, 8), earlier[static_cast<size_t>(k)]) << k;
    EXPECT_EQ(day_->KakoRaRec[0][0][k].Field(12, 16), day_->KakoSeRec[0][0][k].Field(12, 16));
  }
}

TEST_F(LoaderTest, EarlierRunsStopAfter527DaysAndFindTheirRace) {
  const std::string ped = "2020100001";
  OneRace({{.pedigree = ped}});
  store_.WriteRecords(
      PastRunFilePath(ped),
      {StoredPastRun("20210101", "05", 3, ped), StoredPastRun("20221124", "06", 3, ped),
       StoredPastRun("20221125", "30", 4, ped),  // 527 days, not a JRA venue
       StoredPastRun("20240414", "09", 5, ped),  // no RaceFile of that date
       StoredPastRun("20240428", "05", 11, ped)});
  // The RaceFile of 2024-04-28 has 11R at two venues.
  store_.WriteRecords(
      RaceFilePath(DateLabelFromYmd("20240428")),
      {StoredRa({.ymd = "20240428", .venue = "04", .race = 11, .start = "1530", .name = "WRONG"}),
       StoredRa(
           {.ymd = "20240428", .venue = "05", .race = 11, .start = "1540", .name = "TARGET"})});

  ASSERT_TRUE(Load().loaded);
  const auto& se = day_->KakoSeRec[0][0];
  const auto& ra = day_->KakoRaRec[0][0];
  EXPECT_EQ(se[0].Field(12, 8), "20240428");
  EXPECT_EQ(se[1].Field(12, 8), "20240414");
  EXPECT_EQ(se[2].Field(12, 8), "20221125");
  for (int k = 3; k < 10; ++k) {
    EXPECT_TRUE(se[k].IsBlank()) << k;
    EXPECT_TRUE(ra[k].IsBlank()) << k;
  }
  EXPECT_EQ(ra[0].Field(33, 6), "TARGET");
  // Without its race in the store only the RecordKey is there.
  for (int k : {1, 2}) {
    EXPECT_EQ(ra[k].Field(12, 16), se[k].Field(12, 16));
    EXPECT_TRUE(ra[k].IsBlank(1, 11));
    EXPECT_TRUE(ra[k].IsBlank(28, kRaLength - 27));
  }
}

// The record images of two day models, compared image by image; returns
// the first that differs ("" when none does).
std::string FirstDifference(const RaceDay& a, const RaceDay& b) {
  for (int r = 0; r < kRaceSlots; ++r) {
    if (a.RaRec[r].Text() != b.RaRec[r].Text()) return "RaRec " + std::to_string(r);
    if (a.HrRec[r].Text() != b.HrRec[r].Text()) return "HrRec " + std::to_string(r);
    for (int h = 0; h < kHorseSlots; ++h) {
      const std::string at = std::to_string(r) + "/" + std::to_string(h);
      if (a.SeRec[r][h].Text() != b.SeRec[r][h].Text()) return "SeRec " + at;
      if (a.UmRec[r][h].Text() != b.UmRec[r][h].Text()) return "UmRec " + at;
      if (a.KsRec[r][h].Text() != b.KsRec[r][h].Text()) return "KsRec " + at;
      if (a.ChRec[r][h].Text() != b.ChRec[r][h].Text()) return "ChRec " + at;
      for (int k = 0; k < kKakoRuns; ++k) {
        if (a.KakoSeRec[r][h][k].Text() != b.KakoSeRec[r][h][k].Text())
          return "KakoSeRec " + at + "/" + std::to_string(k);
        if (a.KakoRaRec[r][h][k].Text() != b.KakoRaRec[r][h][k].Text())
          return "KakoRaRec " + at + "/" + std::to_string(k);
      }
    }
  }
  return "";
}

// A model that loaded a date before keeps nothing of it (the reload clears
// only what the earlier load wrote), and a cache kept across the loads, as
// a backtest keeps one, reads the same records.
TEST_F(LoaderTest, AReloadKeepsNothingOfTheDateBeforeWithOrWithoutACache) {
  // 2024-05-05: three runners with horse, jockey, trainer and earlier runs
  // whose races are stored.
  std::vector<RunnerSpec> runners;
  for (int h = 1; h <= 3; ++h) {
    const std::string ped = "202010000" + std::to_string(h);
    runners.push_back({.horse = h,
                       .pedigree = ped,
                       .jockey = "0123" + std::to_string(h),
                       .trainer = "0567" + std::to_string(h)});
    store_.WriteRecords(HorseFilePath(ped), {test::UmRecord(ped, '1', "HORSE")});
    std::vector<std::string> runs;
    for (const char* ymd : {"20240407", "20240414", "20240421", "20240428"})
      runs.push_back(StoredPastRun(ymd, "05", h, ped));
    store_.WriteRecords(PastRunFilePath(ped), runs, /*sort=*/true);
  }
  OneRace(runners, 3);
  store_.WriteRecords(JockeyFilePath("01231"),
                      {test::KsRecord("01231"), test::KsRecord("01232"), test::KsRecord("01233")});
  store_.WriteRecords(TrainerFilePath("05671"),
                      {test::ChRecord("05671"), test::ChRecord("05672"), test::ChRecord("05673")});
  for (const char* ymd : {"20240407", "20240414", "20240421", "20240428"})
    store_.WriteRecords(RaceFilePath(DateLabelFromYmd(ymd)),
                        {StoredRa({.ymd = ymd, .race = 1}), StoredRa({.ymd = ymd, .race = 2}),
                         StoredRa({.ymd = ymd, .race = 3})});
  // 2024-05-12: one runner, the second horse, whose last run is 2024-05-05.
  const Cp932Text next = DateLabelFromYmd("20240512");
  store_.WriteRecords(RaceFilePath(next), {StoredRa({.ymd = "20240512", .runners = 1})});
  store_.WriteRunnerFile(
      next, "05",
      {StoredSe(
          {.ymd = "20240512", .pedigree = "2020100002", .jockey = "01232", .trainer = "05672"})});

  auto fresh = RaceDay::Create();
  ASSERT_TRUE(LoadRaceDay(*fresh, next, {}).loaded);
  ASSERT_FALSE(fresh->KakoSeRec[0][0][0].IsBlank());
  ASSERT_FALSE(fresh->KsRec[0][0].IsBlank());

  StoreFileCache cache;
  LoadOptions uncached, cached;
  cached.cache = &cache;
  for (const LoadOptions* o : {&uncached, &cached}) {
    ASSERT_TRUE(Load(kLabel, *o).loaded);
    ASSERT_FALSE(day_->KakoSeRec[0][2][3].IsBlank());
    ASSERT_FALSE(day_->KsRec[0][2].IsBlank());
    ASSERT_TRUE(Load(next, *o).loaded);
    EXPECT_EQ(FirstDifference(*day_, *fresh), "") << (o->cache ? "cached" : "uncached");
  }
}

TEST_F(LoaderTest, MissingFilesLeaveSpacesAndTheSaveMarkFileIsCreated) {
  OneRace({{.pedigree = "2020100001", .jockey = "01234", .trainer = "05678"}});
  ASSERT_TRUE(Load().loaded);
  EXPECT_FALSE(day_->SeRec[0][0].IsBlank());
  EXPECT_TRUE(day_->UmRec[0][0].IsBlank());
  EXPECT_TRUE(day_->KsRec[0][0].IsBlank());
  EXPECT_TRUE(day_->ChRec[0][0].IsBlank());
  EXPECT_TRUE(day_->KakoSeRec[0][0][0].IsBlank());
  EXPECT_FALSE(day_->YosoOzFound[0]);
  EXPECT_EQ(store_.ReadBytes(SaveMarkFilePath(kLabel)), std::string(648, '0'));
  for (int r = 0; r < 36; ++r)
    for (int k = 0; k < 18; ++k) EXPECT_TRUE(day_->Calc[r].SpsMark[k].empty());
}

TEST_F(LoaderTest, ReadsSaveMarksAndTheRunnersMasterRecords) {
  OneRace({{.pedigree = "2020100001", .jockey = "01234", .trainer = "05678"}});
  std::string marks(648, '0');
  marks[1 * 18 + 4] = '1';
  store_.WriteBytes(SaveMarkFilePath(kLabel), marks);
  store_.WriteRecords(JockeyFilePath("01234"), {test::KsRecord("01233", '1', "OTHER"),
                                                test::KsRecord("01234", '1', "MINE")});
  store_.WriteRecords(TrainerFilePath("05678"), {test::ChRecord("05678", '1', "TRAINER")});
  store_.WriteRecords(HorseFilePath("2020100001"), {test::UmRecord("2020100001", '1', "HORSE")});

  ASSERT_TRUE(Load().loaded);
  EXPECT_EQ(day_->Calc[1].SpsMark[4].View(), "○"_sj);
  EXPECT_TRUE(day_->Calc[1].SpsMark[3].empty());
  EXPECT_EQ(day_->SpsBuf[22], '1');
  EXPECT_EQ(day_->KsRec[0][0].Field(50, 4), "MINE");
  EXPECT_EQ(day_->ChRec[0][0].Field(50, 7), "TRAINER");
  EXPECT_EQ(day_->UmRec[0][0].Field(50, 5), "HORSE");
}

TEST_F(LoaderTest, ConvertsAnOldHorseMasterWhenTheHorseFileIsMissing) {
  OneRace({{.pedigree = "2019100002"}});
  std::string old =
      test::RecordBuilder("UM", kOldUmLength).Set(12, "2019100002").Set(1075, "009").Build();
  store_.WriteRecords(OldHorseFilePath("2019100002"), {old});

  ASSERT_TRUE(Load().loaded);
  EXPECT_EQ(day_->UmRec[0][0].Field(12, 10), "2019100002");
  EXPECT_EQ(day_->UmRec[0][0].Field(1107, 3), "009");
  EXPECT_EQ(store_.ReadBytes(HorseFilePath("2019100002")).size(), static_cast<size_t>(kUmLength));
}

TEST_F(LoaderTest, MatchesPredictedOddsLinesToTheirRaces) {
  store_.WriteRecords(RaceFilePath(kLabel),
                      {StoredRa({.venue = "05", .race = 1, .start = "0950", .runners = 3}),
                       StoredRa({.venue = "09", .race = 1, .start = "1000", .runners = 3})});
  // 東京 by JV-Data venue code ("J"); 阪神 by the program's own index 1.
  std::string tokyo = test::RecordBuilder("", kOddsLength)
                          .Set(1, "2024050505000001J")
                          .Set(20, "  10.3   2.5      ")
                          .Build();
  std::string hanshin = test::RecordBuilder("", kOddsLength).Set(1, "2024050501000001K").Build();
  store_.WriteRecords(OddsFilePath(kLabel), {tokyo, hanshin});

  LoadOptions options;
  options.source = EstimateSource::PredictedOdds;
  ASSERT_TRUE(Load(kLabel, options).loaded);
  EXPECT_TRUE(day_->YosoOzFound[0]);
  EXPECT_TRUE(day_->YosoOzFound[1]);
  EXPECT_EQ(day_->YosoOzRec[0].Text(), tokyo);
  EXPECT_EQ(day_->YosoOzRec[1].Text(), hanshin);
  EXPECT_EQ(day_->Calc[0].SuiteiRank[0], 2);
  EXPECT_EQ(day_->Calc[0].SuiteiRank[1], 1);
  EXPECT_EQ(day_->Calc[0].SuiteiRank[2], 0);
  EXPECT_EQ(day_->Calc[1].SuiteiRank[0], 0);

  // The next date without odds keeps nothing of these lines.
  const Cp932Text other = DateLabelFromYmd("20240506");
  store_.WriteRecords(RaceFilePath(other), {StoredRa({.ymd = "20240506", .runners = 3})});
  ASSERT_TRUE(Load(other, options).loaded);
  EXPECT_FALSE(day_->YosoOzFound[0]);
  EXPECT_TRUE(day_->YosoOzRec[0].IsBlank());
  EXPECT_EQ(day_->Calc[0].SuiteiRank[1], 0);
}

TEST_F(LoaderTest, SelectsTheLastListRowOrTheLastRowOfAShorterList) {
  std::vector<std::string> lines;
  for (int race = 1; race <= 12; ++race)
    lines.push_back(StoredRa({.race = race, .start = HhMm(600 + race * 30)}));
  store_.WriteRecords(RaceFilePath(kLabel), lines);
  LoadOptions options;
  options.lastRow = 20;
  LoadOutcome out = Load(kLabel, options);
  EXPECT_EQ(out.selectedRow, 11);
  EXPECT_EQ(out.stepperMax, 11);

  options.lastRow = 4;
  EXPECT_EQ(Load(kLabel, options).selectedRow, 4);
  EXPECT_EQ(RowToSelect(3, 0), -1);
}

TEST_F(LoaderTest, AMissingRaceFileGivesTheMessageAndLeavesTheDayEmpty) {
  OneRace({{}});
  ASSERT_TRUE(Load().loaded);
  ASSERT_EQ(day_->RaceCount, 1);

  LoadOutcome out = Load(DateLabelFromYmd("20240506"));
  EXPECT_FALSE(out.loaded);
  EXPECT_EQ(out.message, Cp932("データ作成が未完了のようです。"));
  EXPECT_EQ(out.selectedRow, -1);
  EXPECT_EQ(day_->RaceCount, 0);
  EXPECT_EQ(day_->RaceListRows, 0);
  EXPECT_TRUE(day_->RaRec[0].IsBlank());
  EXPECT_TRUE(day_->SeRec[0][0].IsBlank());
}

TEST_F(LoaderTest, RunsTheAnalysisStepsInOrderWithTheSlotOfEachRow) {
  store_.WriteRecords(RaceFilePath(kLabel), {StoredRa({.race = 1, .start = "0950"}),
                                             StoredRa({.race = 2, .start = "1020"})});
  std::vector<std::string> calls;
  LoadOptions options;
  options.analysis.push_back(AnalysisStep::Day([&](RaceDay& d, const LoadContext& c) {
    calls.push_back("day " + std::to_string(d.RaceCount) + " " +
                    std::string(c.dateLabel == kLabel ? "ok" : "?"));
  }));
  options.analysis.push_back(AnalysisStep::EachRace([&](RaceDay&, const LoadContext&, int slot) {
    calls.push_back("race " + std::to_string(slot));
  }));
  ASSERT_TRUE(Load(kLabel, options).loaded);
  EXPECT_EQ(calls, (std::vector<std::string>{"day 2 ok", "race 0", "race 1"}));
}

class RecordingProgress : public LoadProgress {
 public:
  void Show() override { events.push_back("show"); }
  void Close() override { events.push_back("close"); }
  void SetTitle(Cp932View t) override {
    if (titles.empty() || titles.back() != t.bytes()) titles.emplace_back(t.bytes());
  }
  void SetDetail(Cp932View d) override { details.emplace_back(d.bytes()); }
  bool ShowsDetail() const override { return true; }
  void SetRange(int max) override { ranges.push_back({max, 0}); }
  void Advance() override { ++ranges.back().second; }
  void ProcessEvents() override { ++processed; }

  std::vector<std::string> events, titles, details;
  std::vector<std::pair<int, int>> ranges;
  int processed = 0;
};

TEST_F(LoaderTest, ReportsItsProgressWithTheTextsOfEachStage) {
  OneRace({{.horse = 3, .name = "サンプルホース"_sj}}, 3);
  RecordingProgress progress;
  LoadOptions options;
  options.progress = &progress;
  ASSERT_TRUE(Load(kLabel, options).loaded);

  EXPECT_EQ(progress.events, (std::vector<std::string>{"show", "close"}));
  std::vector<std::string> titles = {
      "レースデータ読込中："_sj + kLabel.bytes(), "各馬情報読込中　　："_sj + kLabel.bytes(),
      "騎手情報読込中　　："_sj + kLabel.bytes(), "調教師読込中　　　："_sj + kLabel.bytes(),
      "過去走情報読込中　："_sj + kLabel.bytes()};
  ASSERT_GE(progress.titles.size(), titles.size());
  EXPECT_EQ(std::vector<std::string>(progress.titles.begin(), progress.titles.begin() + 5), titles);
  // Runner 3 of the three entered (1 and 2 have blank lines).
  EXPECT_EQ(progress.details[2], "東京 1R:③"_sj + "サンプルホース"_sj.substr(0, 14) + "    ");
  EXPECT_EQ(progress.details[3], "騎手データを読み込んでいます。"_sj);
  EXPECT_EQ(progress.details[4], "調教師データを読み込んでいます。"_sj);
  // The race bar: one step per race read and one per slot listed.
  EXPECT_EQ(progress.ranges[0], (std::pair<int, int>{72, 1 + 36}));
  EXPECT_EQ(progress.ranges[1], (std::pair<int, int>{35, 36}));
  EXPECT_GT(progress.processed, 5);
}

// Damaged stored files end the load with an error that names the file; the
// RaceDay is left empty and the next load works.
struct Damage {
  const char* what;
  void (*apply)(const test::StoreFixture&);
  const char* fileInMessage;  // UTF-8
};

const Damage kDamages[] = {
    {"runner file shorter than the runner's line",
     [](const test::StoreFixture& s) {
       s.WriteRunnerFile(kLabel, "05", {StoredSe({.horse = 1})}, 1);
     },
     "2024年05月05日東京.jvSEr"},
    {"race file that is not a whole number of records",
     [](const test::StoreFixture& s) {
       s.WriteBytes(RaceFilePath(kLabel), StoredRa({.runners = 2}) + "RA");
     },
     "2024年05月05日.jvRA"},
    {"runner file with a short line",
     [](const test::StoreFixture& s) {
       s.WriteBytes(RunnerFilePath(kLabel, "05"), StoredSe({.horse = 1}).substr(0, 500) + "\r\n" +
                                                      StoredSe({.horse = 2}) + "\r\n");
     },
     "2024年05月05日東京.jvSEr"},
    {"horse file shorter than one record",
     [](const test::StoreFixture& s) {
       s.WriteBytes(HorseFilePath("2020100001"), "UM2020100001\r\n");
     },
     "2020100001.jvUM2"},
    {"jockey file cut in the middle of a record",
     [](const test::StoreFixture& s) {
       s.WriteBytes(JockeyFilePath("01234"), test::KsRecord("01234").substr(0, 100));
     },
     "012Kish.jvKS"},
};

TEST_F(LoaderTest, ADamagedFileEndsTheLoadNamingItAndLeavesTheDayReset) {
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.what);
    test::StoreFixture store;
    store.WriteRecords(RaceFilePath(kLabel), {StoredRa({.runners = 2})});
    store.WriteRunnerFile(kLabel, "05", {StoredSe({.horse = 1}), StoredSe({.horse = 2})});
    ASSERT_TRUE(Load().loaded);
    ASSERT_EQ(day_->RaceCount, 1);

    damage.apply(store);
    RecordingProgress progress;
    LoadOptions options;
    options.progress = &progress;
    try {
      Load(kLabel, options);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(damage.fileInMessage), std::string::npos) << e.what();
    }
    EXPECT_EQ(day_->RaceCount, 0);
    EXPECT_EQ(day_->RaceListRows, 0);
    EXPECT_TRUE(day_->RaRec[0].IsBlank());
    EXPECT_TRUE(day_->SeRec[0][0].IsBlank());
    EXPECT_TRUE(day_->LoadedDate.empty());
    EXPECT_EQ(progress.events.back(), "close");
  }
}

TEST_F(LoaderTest, DamagedLinesCostOnlyThemselvesWithAWarning) {
  // Race 1 is whole; race lines with race number 0, 13 or a date of 45
  // December take no slot; the horse of race 1 has one damaged past run
  // between two whole ones.
  store_.WriteRecords(RaceFilePath(kLabel),
                      {StoredRa({.race = 1, .runners = 1}), StoredRa({.race = 0, .runners = 2}),
                       StoredRa({.race = 13, .runners = 2}),
                       StoredRa({.ymd = "20241245", .race = 2, .runners = 2})});
  store_.WriteRunnerFile(kLabel, "05", {StoredSe({.horse = 1, .pedigree = "2020100001"})});
  store_.WriteRecords(PastRunFilePath("2020100001"),
                      {StoredPastRun("20240301", "05", 1, "2020100001"),
                       StoredPastRun("20240230", "05", 2, "2020100001"),
                       StoredPastRun("20240401", "05", 3, "2020100001")});
  LoadOutcome outcome = Load();
  ASSERT_TRUE(outcome.loaded);
  EXPECT_EQ(day_->RaceListRows, 1);
  EXPECT_EQ(day_->KakoSeRec[0][0][0].Field(12, 8), "20240401");
  EXPECT_EQ(day_->KakoSeRec[0][0][1].Field(12, 8), "20240301");
  EXPECT_TRUE(day_->KakoSeRec[0][0][2].IsBlank());
  // The past run is met while race 1 is read, before the later race lines.
  ASSERT_EQ(outcome.warnings.size(), 4u);
  EXPECT_NE(outcome.warnings[0].find("2020100001.jvSEI: 2 行目: 日付 \"20240230\""),
            std::string::npos)
      << outcome.warnings[0];
  EXPECT_NE(outcome.warnings[1].find(".jvRA: 2 行目: レース番号 \"00\""), std::string::npos)
      << outcome.warnings[1];
  EXPECT_NE(outcome.warnings[2].find(".jvRA: 3 行目: レース番号 \"13\""), std::string::npos);
  EXPECT_NE(outcome.warnings[3].find(".jvRA: 4 行目: 日付 \"20241245\""), std::string::npos);
  // Each is noted in the error log.
  std::string log = ReadWholeFile(store_.home().path() / "ErrorLog.txt");
  EXPECT_NE(log.find("この過去走を読み飛ばしました"_sj), std::string::npos);
}

TEST_F(LoaderTest, FieldsThatCannotNameAFileLeaveTheElementBlank) {
  store_.WriteRecords(RaceFilePath(kLabel), {StoredRa({.runners = 1})});
  std::string se = StoredSe({.horse = 1, .pedigree = "2020100001"});
  se.replace(30, 10, std::string(10, '\0'));  // pedigree number
  se.replace(296, 5, "0/../");                // jockey code
  se.replace(85, 5, std::string(5, '\0'));    // trainer code
  store_.WriteRunnerFile(kLabel, "05", {se});
  ASSERT_TRUE(Load().loaded);
  EXPECT_TRUE(day_->UmRec[0][0].IsBlank());
  EXPECT_TRUE(day_->KsRec[0][0].IsBlank());
  EXPECT_TRUE(day_->ChRec[0][0].IsBlank());
  EXPECT_FALSE(std::filesystem::exists(store_.home().path() / "UM2" / std::string(4, '\0')));
}

}  // namespace
}  // namespace sorvix
