// サイン検証 on a small hand-made store: every figure below is worked out by
// hand from the records the test writes.
#include "results/backtest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <string>

#include "analysis/sign_marks.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/payout_table.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/store_paths.h"
#include "support/hr_record_builder.h"
#include "support/record_builder.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

using G = BacktestGroup;
using T = TicketLine;

// One date, 2024年05月05日 at 東京 (05), race 1 of 8 runners (bracket = horse
// number) at 10:03 and race 2 without runners; 2024年06月01日 holds one race
// without payouts.
//
// With every sign point 0 all sign sums are 0, so the away, home and
// bracket ranks order the horses by number, highest first (horse h has rank
// 9 − h).  The predicted odds rank 1, 8, 2, 7, 3, 6, 4, 5.  The axis
// candidates (away/home 1–4, estimate 1–4, bracket 1–4) are horses 8 and 7:
// 8 is ◎, 7 is ●.  Partners (away/home or estimate 1–4): 1, 2, 5, 6, 7, 8.
//
// Horse 5 was scratched (異常区分 1).  Horses 1 and 8 dead-heated for first,
// 2 was third, then 3, 7, 6, 4.  The post time minute 03 marks horses 3 and
// 6 (時); save marks on ring rows 2 and 7 mark horses 1 and 6 (特).
class BacktestStore : public ::testing::Test {
 protected:
  void SetUp() override {
    const Cp932Text may = DateLabelFromYmd("20240505");
    const Cp932Text june = DateLabelFromYmd("20240601");
    Write(
        RaceFilePath(may),
        test::RaRecord(
            {.ymd = "20240505", .venue = "05", .race = 1, .startTime = "1003", .runners = 8}) +
            test::RaRecord(
                {.ymd = "20240505", .venue = "05", .race = 2, .startTime = "1100", .runners = 0}));
    const int finish[8] = {1, 3, 4, 7, 0, 6, 5, 1};
    std::string runners(static_cast<size_t>(kRunnerFileLines) * kSeLength, ' ');
    for (int h = 1; h <= 8; ++h) {
      test::RecordBuilder se("SE", kSeLength);
      test::SetRaceId(se, {"20240505", "05", 1, 1, 1});
      se.Set(28, Format("%d", h)).SetNumber(29, 2, h);
      se.Set(332, h == 5 ? "1" : "0").SetNumber(335, 2, finish[h - 1]);
      std::string line = se.Build();
      runners.replace(static_cast<size_t>((h - 1) * kSeLength), line.size(), line);
    }
    Write(RunnerFilePath(may, "05"), runners);
    test::HrRecordBuilder hr;
    hr.Key("2024050505010101")
        .Win(0, 1, 250, 1)
        .Win(1, 8, 310, 2)
        .Place(0, 1, 120, 1)
        .Place(1, 8, 130, 2)
        .Place(2, 2, 200, 3)
        .Quinella(0, 1, 8, 900, 1)
        .QuinellaPlace(0, 1, 8, 400, 1)
        .QuinellaPlace(1, 1, 2, 700, 2)
        .QuinellaPlace(2, 2, 8, 800, 3)
        .Exacta(0, 1, 8, 1500, 1)
        .Exacta(1, 8, 1, 1600, 2)
        .Trio(0, 1, 2, 8, 2000, 1);
    Write(PayoutFilePath(may), hr.Record());
    // Odds of horses 1–8, six characters each from position 20.
    Write(OddsFilePath(may), test::RecordBuilder("", kOddsLength)
                                 .Set(1, "2024050505000001J")
                                 .Set(20, "   2.0   4.0   6.0   8.0   9.0   7.0   5.0   3.0")
                                 .Build());
    std::string marks(kSaveMarkBytes, '0');
    marks[2] = '1';  // ring row 2: horse 1
    marks[7] = '1';  // ring row 7: horse 6
    Write(SaveMarkFilePath(may), marks);

    Write(RaceFilePath(june),
          test::RaRecord(
              {.ymd = "20240601", .venue = "09", .race = 1, .startTime = "1000", .runners = 8}));
  }

  void Write(const std::string& relative, const std::string& bytes) {
    home_.Write(RelativeStorePath(relative), bytes);
  }

  BacktestOptions Options(int workers) const {
    BacktestOptions o;
    o.dates = StoredDatesBetween({}, {});
    o.points.value.fill(0);
    o.source = EstimateSource::PredictedOdds;
    o.workers = workers;
    return o;
  }

  test::TempHome home_;
};

TEST_F(BacktestStore, EveryFigureAsWorkedOutByHand) {
  BacktestResult r = RunBacktest(Options(1));
  EXPECT_TRUE(r.failed.empty());
  EXPECT_EQ(r.dates, 2);
  EXPECT_EQ(r.races, 1);
  EXPECT_EQ(r.skipped, 2);  // race 2 of May (no runners), the June race (no payouts)
  // The predicted odds covered the one counted race and its 7 starters.
  EXPECT_EQ(r.oddsDates, 1);
  EXPECT_EQ(r.oddsRaces, 1);
  EXPECT_EQ(r.oddsRunners, 7);

  const BacktestTally& t = r.total;
  struct GroupCase {
    const char* what;
    G got, want;
  };
  const GroupCase groups[] = {
      // runners, wins, top2, top3, win return, place return, place tickets,
      // largest win and place payout
      {"全馬 (7 starters)", t.all, {7, 2, 2, 3, 560, 450, 7, 310, 200}},
      {"特 (1, 6)", t.signs[SignIndex(Sign::Special1)], {2, 1, 1, 1, 250, 120, 2, 250, 120}},
      {"時 (3, 6)", t.signs[SignIndex(Sign::HStimeS1)], {2, 0, 0, 0, 0, 0, 2, 0, 0}},
      {"away 1 (8)", t.ranks[0][0], {1, 1, 1, 1, 310, 130, 1, 310, 130}},
      {"away 2 (7)", t.ranks[0][1], {1, 0, 0, 0, 0, 0, 1, 0, 0}},
      {"away 4-5 (4; 5 scratched)", t.ranks[0][3], {1, 0, 0, 0, 0, 0, 1, 0, 0}},
      {"away 6+ (3, 2, 1)", t.ranks[0][4], {3, 1, 1, 2, 250, 320, 3, 250, 200}},
      {"home 6+", t.ranks[1][4], {3, 1, 1, 2, 250, 320, 3, 250, 200}},
      {"bracket 1 (8)", t.ranks[2][0], {1, 1, 1, 1, 310, 130, 1, 310, 130}},
      {"estimate 1 (1)", t.ranks[3][0], {1, 1, 1, 1, 250, 120, 1, 250, 120}},
      {"estimate 3 (2)", t.ranks[3][2], {1, 0, 0, 1, 0, 200, 1, 0, 200}},
      {"estimate 4-5 (7, 3)", t.ranks[3][3], {2, 0, 0, 0, 0, 0, 2, 0, 0}},
      {"estimate 6+ (6, 4; 5 scratched)", t.ranks[3][4], {2, 0, 0, 0, 0, 0, 2, 0, 0}},
      {"axis ◎● (8, 7)", t.axis, {2, 1, 1, 1, 310, 130, 2, 310, 130}},
      {"partner (1, 2, 6, 7, 8)", t.partner, {5, 2, 2, 3, 560, 450, 5, 310, 200}},
  };
  for (const GroupCase& c : groups) EXPECT_EQ(c.got, c.want) << c.what;

  // ◎ 8 with the partners 1, 2, 6, 7 (5 scratched: its tickets refunded).
  struct TicketCase {
    BetType type;
    T want;  // tickets, hits, stake, return, largest, refunded
  };
  const TicketCase tickets[] = {
      {BetType::Quinella, {4, 1, 400, 900, 900, 1}},  // 1-8 won
      {BetType::Wide, {4, 2, 400, 1200, 800, 1}},     // 1-8 and 2-8 (1-2 not bought)
      {BetType::Exacta, {8, 2, 800, 3100, 1600, 2}},  // dead heat: 1-8 and 8-1 both pay
      {BetType::Trio, {6, 1, 600, 2000, 2000, 4}},    // 1-2-8
  };
  for (const TicketCase& c : tickets)
    EXPECT_EQ(t.tickets[static_cast<int>(c.type)], c.want)
        << kBetTypeKeys[static_cast<int>(c.type)];
  // The base rate of the tickets: every combination of the 7 starters.
  const TicketCase pools[] = {
      {BetType::Quinella, {21, 1, 2100, 900, 900, 0}},
      {BetType::Wide, {21, 3, 2100, 1900, 800, 0}},
      {BetType::Exacta, {42, 2, 4200, 3100, 1600, 0}},
      {BetType::Trio, {35, 1, 3500, 2000, 2000, 0}},
  };
  for (const TicketCase& c : pools)
    EXPECT_EQ(t.pools[static_cast<int>(c.type)], c.want) << kBetTypeKeys[static_cast<int>(c.type)];

  // Everything fell in May at 東京; June only adds a skipped race.
  ASSERT_EQ(r.byMonth.count("2024-05"), 1u);
  EXPECT_EQ(r.byMonth.at("2024-05"), t);
  EXPECT_EQ(r.byMonth.at("2024-06"), BacktestTally{});
  ASSERT_EQ(r.byVenue.count("東京"), 1u);
  EXPECT_EQ(r.byVenue.at("東京"), t);
  ASSERT_EQ(r.timeline.size(), 2u);
  EXPECT_EQ(r.timeline[0].stake[static_cast<int>(BetType::Exacta)], 800);
  EXPECT_EQ(r.timeline[0].returned[static_cast<int>(BetType::Exacta)], 3100);
}

TEST_F(BacktestStore, ParallelWorkersGiveTheSameFigures) {
  BacktestResult one = RunBacktest(Options(1));
  BacktestResult two = RunBacktest(Options(2));
  EXPECT_EQ(two.dates, one.dates);
  EXPECT_EQ(two.skipped, one.skipped);
  EXPECT_EQ(two.total, one.total);
  EXPECT_EQ(two.byMonth, one.byMonth);
}

TEST_F(BacktestStore, RangeAndFailuresAndCancel) {
  EXPECT_EQ(StoredDatesBetween(DateLabelFromYmd("20240510"), {}).size(), 1u);
  EXPECT_EQ(StoredDatesBetween({}, DateLabelFromYmd("20240505")).size(), 1u);

  // A RaceFile cut short is named in the failures; the other date counts.
  Write(RaceFilePath(DateLabelFromYmd("20240601")), "RA short");
  BacktestResult r = RunBacktest(Options(2));
  EXPECT_EQ(r.dates, 1);
  EXPECT_EQ(r.races, 1);
  ASSERT_EQ(r.failed.size(), 1u);
  EXPECT_EQ(r.failed[0].first, DateLabelFromYmd("20240601"));
  EXPECT_FALSE(r.failed[0].second.empty());

  std::atomic<bool> cancel{true};
  BacktestOptions o = Options(2);
  o.cancel = &cancel;
  BacktestResult stopped = RunBacktest(o);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_EQ(stopped.dates, 0);
}

// Every file below the home, with its bytes.
std::map<std::string, std::string> Tree(const std::filesystem::path& home) {
  std::map<std::string, std::string> tree;
  for (const auto& e : std::filesystem::recursive_directory_iterator(home))
    tree[std::filesystem::relative(e.path(), home).string()] =
        e.is_regular_file() ? ReadWholeFile(e.path()) : std::string("<folder>");
  return tree;
}

// A backtest only looks: dates without a SaveMarkFile (June) get none, a
// horse with a master of the older layout only is converted in memory, and
// a damaged past-run file is not noted in the error log.
TEST_F(BacktestStore, WritesNothingIntoTheHome) {
  const Cp932Text june = DateLabelFromYmd("20240601");
  test::SeFields runner{.ymd = "20240601", .venue = "09", .race = 1, .horse = 1};
  runner.pedigree = "2021100001";
  std::string runners = test::SeRecord(runner);
  runners.resize(static_cast<size_t>(kRunnerFileLines) * kSeLength, ' ');
  Write(RunnerFilePath(june, "09"), runners);
  std::string old = test::RecordBuilder("UM", kOldUmLength).Set(12, runner.pedigree).Build();
  Write(OldHorseFilePath(runner.pedigree), old);
  Write(PastRunFilePath(runner.pedigree), "SE damaged");

  const auto before = Tree(home_.path());
  for (EstimateSource source : {EstimateSource::RacehorseData, EstimateSource::PredictedOdds}) {
    BacktestOptions o = Options(2);
    o.source = source;
    BacktestResult r = RunBacktest(o);
    EXPECT_EQ(r.dates, 2);
    EXPECT_EQ(Tree(home_.path()), before);
  }

  // The read-only load still finds the converted master.
  auto day = RaceDay::Create();
  LoadOptions load;
  load.readOnly = true;
  ASSERT_TRUE(LoadRaceDay(*day, june, load).loaded);
  EXPECT_EQ(day->UmRec[0][0].Field(um::kPedigreeNumber), runner.pedigree);
  EXPECT_EQ(Tree(home_.path()), before);
}

// A runner counts once per sign however many of its ring rows carry it, and
// once per family however many signs of the family it has.
TEST(BacktestTallyDay, ARunnerCountsOncePerSignAndFamily) {
  auto day = RaceDay::Create();
  day->Reset();
  day->ClearRecords();
  day->RaRec[0].Put(882, "04");
  day->RaceCount = day->RaceListRows = 1;
  day->PayoutLoaded[0] = true;
  test::HrRecordBuilder hr;
  hr.Win(0, 3, 480, 2).Place(0, 3, 160, 2);
  day->Payouts[0] = ParsePayoutTable(hr.Record());
  // 4 runners: horse 3 stands on ring rows 0, 4, 8, 12, 16.
  SetMark(day->Calc[0], Sign::Red1, 0, "07");
  SetMark(day->Calc[0], Sign::Red1, 4, "07");
  SetMark(day->Calc[0], Sign::Red2, 8, "2");
  std::vector<StoredFinish> finish(1);
  const int8_t positions[4] = {4, 3, 1, 2};
  for (int h = 0; h < 4; ++h) finish[0].position[h] = positions[h];
  BacktestDay tally = TallyDay(*day, finish);
  EXPECT_EQ(tally.races, 1);
  // Four starters: no place ticket is sold, so none is counted.
  const G one{1, 1, 1, 1, 480, 0, 0, 480, 0};
  EXPECT_EQ(tally.total.signs[SignIndex(Sign::Red1)], one);
  EXPECT_EQ(tally.total.signs[SignIndex(Sign::Red2)], one);
  EXPECT_EQ(tally.total.families[0], one);
  EXPECT_EQ(tally.total.families[1], G{});
}

TEST(BacktestLabels, MonthAndDateOfALabel) {
  EXPECT_EQ(MonthOfLabel(DateLabelFromYmd("20240505")), "2024-05");
  EXPECT_EQ(IsoDateOfLabel(DateLabelFromYmd("20241231")), "2024-12-31");
  EXPECT_EQ(RankBand(0), -1);
  EXPECT_EQ(RankBand(5), 3);
  EXPECT_EQ(RankBand(6), 4);
}

}  // namespace
}  // namespace sorvix
