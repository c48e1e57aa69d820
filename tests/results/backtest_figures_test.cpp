// The figures of サイン検証 on a result made by hand: a value stands out
// only when its interval clears the base rate of every runner.
#include "results/backtest_figures.h"

#include <gtest/gtest.h>

#include "codes/text.h"
#include "store/store_paths.h"

namespace sorvix {
namespace {

BacktestGroup Runners(int64_t runners, int64_t wins, int64_t winReturn) {
  BacktestGroup g;
  g.runners = g.placeBets = runners;
  g.wins = g.top2 = g.top3 = wins;
  g.winReturn = g.placeReturn = g.maxWin = g.maxPlace = winReturn;
  return g;
}

// 40 race days of 100 runners returning 80 %; 特 (sign 0) wins 4 of its 10
// runners every day at 10.0; 赤1 (sign 1) had one 200-fold winner once.
BacktestResult Made() {
  BacktestResult r;
  for (int d = 0; d < 40; ++d) {
    BacktestDay day;
    day.label = DateLabelFromYmd(Format("2024%02d%02d", 1 + d / 28, 1 + d % 28));
    day.total.all = Runners(100, 8, 8000);
    day.total.signs[0] = Runners(10, 4, 4000);
    day.total.signs[1] = d == 7 ? Runners(10, 1, 20000) : Runners(10, 0, 0);
    day.total.tickets[0].tickets = day.total.pools[0].tickets = 10;
    day.total.tickets[0].stake = day.total.pools[0].stake = 1000;
    day.total.pools[0].returned = 750;
    day.byVenue["東京"] = day.total;
    r.total.Add(day.total);
    r.byMonth[MonthOfLabel(day.label)].Add(day.total);
    r.byVenue["東京"].Add(day.total);
    r.days.push_back(day);
  }
  return r;
}

TEST(BacktestFigures, OnlyClearIntervalsStandOut) {
  const BacktestResult r = Made();
  const BacktestFigures f = FiguresOf(r);
  EXPECT_EQ(f.days, 40);
  EXPECT_DOUBLE_EQ(f.all.winReturn.value, 0.8);
  EXPECT_EQ(f.all.winReturn.standout, Standout::None);

  const GroupFigures& steady = f.signs[0];
  EXPECT_DOUBLE_EQ(steady.winReturn.value, 4.0);
  EXPECT_EQ(steady.winReturn.standout, Standout::Above);
  EXPECT_EQ(steady.winRate.standout, Standout::Above);
  EXPECT_FALSE(steady.few);  // 160 wins

  // 500 % from one payout: few hits, a wide interval, no mark, and nothing
  // left without that payout.
  const GroupFigures& lucky = f.signs[1];
  EXPECT_DOUBLE_EQ(lucky.winReturn.value, 0.5);
  EXPECT_TRUE(lucky.few);
  EXPECT_EQ(lucky.winReturn.standout, Standout::None);
  EXPECT_LT(lucky.winReturn.interval.low, 0.8);
  EXPECT_DOUBLE_EQ(lucky.winReturnLessMax, 0.0);

  EXPECT_TRUE(f.signs[2].empty);
  EXPECT_EQ(f.signs[2].winReturn.standout, Standout::None);
  // Tickets against buying every combination (75 %): 0 % returned is below.
  EXPECT_EQ(f.tickets[0].returnRate.standout, Standout::Below);

  // The same figures for the same input, and per slice from its own days.
  EXPECT_EQ(FiguresOf(r).signs[1].winReturn.interval.high, lucky.winReturn.interval.high);
  EXPECT_EQ(FiguresOf(r, BacktestSlice::Month, "2024-02").days, 12);
  EXPECT_EQ(FiguresOf(r, BacktestSlice::Venue, "東京").days, 40);
  EXPECT_TRUE(FiguresOf(r, BacktestSlice::Venue, "札幌").all.empty);
  EXPECT_EQ(SliceTimeline(r, BacktestSlice::Month, "2024-02").size(), 12u);
}

}  // namespace
}  // namespace sorvix
