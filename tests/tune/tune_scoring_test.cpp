// Scoring sign points from the kept counts against the backtest itself: over
// the demo's dates, for several point sets (the defaults among them), every
// figure that depends on the points equals what サイン検証 gives after
// loading and analysing every date again with those points.
#include <gtest/gtest.h>

#include <string>

#include "app/program_folder.h"
#include "cli/demo_store.h"
#include "results/backtest.h"
#include "results/tune_data.h"
#include "results/tune_search.h"

namespace sorvix {
namespace {

SignPoints Filled(int value) {
  SignPoints p;
  p.value.fill(value);
  return p;
}

SignPoints Drawn(uint64_t seed) {
  SignPoints p;
  TuneRandom random(seed);
  for (int& v : p.value) v = random.Below(100);
  return p;
}

TEST(TuneScoring, KeptCountsScoreExactlyAsTheBacktestOfThePoints) {
  std::string home = test::DemoStoreHome();
  if (home.empty()) GTEST_SKIP() << "sorvix-cli or sorvix-feedgen is not built";
  std::filesystem::path previous = ProgramFolder::Get();
  ProgramFolder::Set(home);
  BacktestOptions options;
  options.dates = StoredDatesBetween({}, {});
  options.workers = 2;
  ASSERT_GE(options.dates.size(), 30u);
  TuneData data = KeepTuneData(options);
  ASSERT_TRUE(data.failed.empty());

  SignPoints oneSign = Filled(0);
  oneSign[Sign::Red3] = 99;
  oneSign[Sign::HStimeS1] = 1;
  struct Case {
    const char* what;
    SignPoints points;
  };
  const Case cases[] = {{"defaults", SignPoints::Defaults()},
                        {"all 0", Filled(0)},
                        {"all 99", Filled(99)},
                        {"one sign", oneSign},
                        {"drawn 1", Drawn(1)},
                        {"drawn 2", Drawn(2)}};
  for (const Case& c : cases) {
    BacktestOptions run = options;
    run.points = c.points;
    BacktestResult backtest = RunBacktest(run);
    ASSERT_TRUE(backtest.failed.empty()) << c.what;
    TuneScore kept = ScoreRaces(data, 0, data.races.size(), c.points);
    EXPECT_EQ(kept.races, backtest.races) << c.what;
    EXPECT_EQ(kept.tally.ranks, backtest.total.ranks) << c.what;
    EXPECT_EQ(kept.tally.axis, backtest.total.axis) << c.what;
    EXPECT_EQ(kept.tally.partner, backtest.total.partner) << c.what;
    EXPECT_EQ(kept.tally.tickets, backtest.total.tickets) << c.what;
    // The main axis is one of the ◎●▲ runners, and there is one per race
    // that has candidates.
    EXPECT_GT(kept.mainAxis.runners, 0) << c.what;
    EXPECT_LE(kept.mainAxis.runners, kept.tally.axis.runners) << c.what;
  }
  // The groups that do not depend on the points, and the skipped races.
  TuneBase base = BaseOfRaces(data, 0, data.races.size());
  BacktestResult defaults = RunBacktest(options);
  EXPECT_EQ(base.signs.signs, defaults.total.signs);
  EXPECT_EQ(base.signs.families, defaults.total.families);
  int skipped = 0;
  for (int s : data.skipped) skipped += s;
  EXPECT_EQ(skipped, defaults.skipped);

  // The search scores a change of one point on the races where that sign
  // counts and keeps the rest from the set it came from: the figure it
  // reports for its best points equals a whole scoring of them.
  for (const TuneObjectiveInfo& info : kTuneObjectiveInfo) {
    TuneSearchOptions search;
    search.objective = info.objective;
    search.candidates = 150;
    search.restarts = 1;
    search.workers = 2;
    TuneSearchResult found = SearchPoints(data, {0, data.races.size()}, search);
    Fraction whole =
        ObjectiveFigure(info.objective, ScoreRaces(data, 0, data.races.size(), found.best));
    EXPECT_GT(found.figure.whole, 0) << info.key;
    EXPECT_EQ(found.figure.part, whole.part) << info.key;
    EXPECT_EQ(found.figure.whole, whole.whole) << info.key;
  }
  ProgramFolder::Set(previous);
}

}  // namespace
}  // namespace sorvix
