// The サイン検証 figures as a user reads them: each rate with its 95 %
// interval (Wilson for hit rates, resampling whole race days for returns),
// the return without the single largest payout, and whether a value stands
// out from the base rate (全馬 for runners, every combination of the pool
// for tickets): only when its interval clears the base rate, and for the 28
// signs only when it also passes the Benjamini–Hochberg selection across
// them.  Groups with fewer than 30 hits are few; groups without runners are
// empty.  The windows, the CLI, the JSON and the CSV all show these.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "results/backtest.h"
#include "results/rate_intervals.h"

namespace sorvix {

// Fewer hits than this: the row is shown grey.
inline constexpr int64_t kFewHits = 30;
// Resamples of the race-day bootstrap and their fixed seed.
inline constexpr int kBootstrapResamples = 1000;
inline constexpr uint64_t kBootstrapSeed = 20240622;

// −1 below the base rate, +1 above it, 0 not told apart from it.
enum class Standout { Below = -1, None = 0, Above = 1 };

// One rate: the value (a fraction), its 95 % interval and whether it
// stands out.
struct RateFigure {
  double value = 0;
  RateInterval interval;
  Standout standout = Standout::None;
  double p = 1;  // two-sided p-value against the base rate
};

struct GroupFigures {
  BacktestGroup counts;
  RateFigure winRate, top2Rate, top3Rate;  // of the runners
  RateFigure winReturn, placeReturn;       // return ÷ stake
  double winReturnLessMax = 0;             // without the largest single payout
  double placeReturnLessMax = 0;
  bool few = false;   // fewer than kFewHits wins
  bool empty = true;  // no runners
};

struct TicketFigures {
  TicketLine counts;
  RateFigure hitRate, returnRate;
  double returnLessMax = 0;
  bool few = false;
  bool empty = true;
};

struct BacktestFigures {
  GroupFigures all;                              // 全馬
  std::array<TicketFigures, kBetTypes> pools{};  // every combination
  std::array<GroupFigures, kSignCount> signs{};
  std::array<GroupFigures, kBacktestFamilies> families{};
  std::array<std::array<GroupFigures, kRankBands>, kBacktestRanks> ranks{};
  GroupFigures axis, partner;
  std::array<TicketFigures, kBetTypes> tickets{};
  int days = 0;  // race days resampled
};

// Which part of a result: everything, one month ("YYYY-MM") or one venue
// (its UTF-8 name).
enum class BacktestSlice { Total, Month, Venue };

// The tally of one part of `result` and its days.
const BacktestTally* SliceTally(const BacktestResult& result, BacktestSlice slice,
                                const std::string& key);

// The venues of `result` (UTF-8 names) in JRA's order of venue codes
// (札幌 01 … 小倉 10), any other after them.
std::vector<std::string> VenuesInJraOrder(const BacktestResult& result);

// The bought tickets of each date of one part of `result`, ascending dates.
std::vector<BacktestDayTickets> SliceTimeline(const BacktestResult& result, BacktestSlice slice,
                                              const std::string& key);

// The figures of one part of `result` (empty figures for a key it lacks).
BacktestFigures FiguresOf(const BacktestResult& result, BacktestSlice slice = BacktestSlice::Total,
                          const std::string& key = {});

}  // namespace sorvix
