// 配点最適化 (sign point tuning), its data: every date of a range is loaded
// and analysed once, as サイン検証 loads it, and each race with results is
// kept with what the sign points multiply.  The marks do not depend on the
// points; the sign sums, the sign index, its ranks, the axis and partner
// marks and the tickets do.  A runner's away and home index is the sum over
// the 28 signs of the point times the sign's count among the horses the
// index adds up, so a race keeps those counts and any set of points is
// scored from them without loading again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/sign_index.h"
#include "analysis/sign_points.h"
#include "codes/cp932_text.h"
#include "results/backtest.h"
#include "results/backtest_race.h"

namespace sorvix {

// A race with results, kept for scoring.
struct TuneRace {
  BacktestRace race;
  SignIndexCounts counts;
  int8_t bracket[kHorseSlots] = {};  // bracket numbers for the bracket average
  int32_t date = 0;                  // index into TuneData::dates
};

struct TuneData {
  std::vector<Cp932Text> dates;   // ascending; dates that failed are kept, with no races
  std::vector<TuneRace> races;    // by date, then race-list row
  std::vector<size_t> dateBegin;  // first race of each date; one more entry at the end
  std::vector<int> skipped;       // race-list rows without results, per date
  EstimateSource source = EstimateSource::RacehorseData;
  std::vector<std::pair<Cp932Text, std::string>> failed;
  bool cancelled = false;
  // Racehorse data: the counts that could not be taken back to before
  // their date's meeting (see RunLedger).
  int64_t countsNotRebuilt = 0;
};

// Loads and analyses every date of `options.dates` once (its points only
// decide the ranks the loads compute, which scoring does not read), as the
// backtest does.
TuneData KeepTuneData(const BacktestOptions& options);

// The figures that depend on the points, over a run of kept races: the
// rank bands, the axis and partner groups and the tickets of the backtest
// (its sign and family groups stay empty), and the main axis ◎ alone.
struct TuneScore {
  int races = 0;
  BacktestTally tally;
  BacktestGroup mainAxis;
  void Add(const TuneScore& other);
  bool operator==(const TuneScore&) const = default;
};

// Scores races [begin, end) of `data` with `points`; without `tickets` the
// tickets are left out (for an objective that does not read them).
TuneScore ScoreRaces(const TuneData& data, size_t begin, size_t end, const SignPoints& points,
                     bool tickets = true);

// The ranks and marks that `points` give a kept race, as the loader's sign
// index and axis selection would.
void RanksAndMarksOf(const TuneRace& race, const SignPoints& points, RunnerRanks& ranks,
                     RunnerMarks& marks);
// The same from the away and home index already summed into `index`
// (`runners`, `awayIndex`, `homeIndex`); fills in the rest of it.
void RanksAndMarksOfIndex(const TuneRace& race, RunnerIndex& index, RunnerRanks& ranks,
                          RunnerMarks& marks);

// The groups that do not depend on the points (signs, families, and every
// runner that ran as one group) over races [begin, end).
struct TuneBase {
  BacktestTally signs;  // only the sign and family groups
  BacktestGroup every;  // every runner that ran
  // The same figures of a runner drawn at random from each race, summed
  // over the races: the chance level of a pick of one runner per race (◎,
  // away rank 1), which a count over every runner would put too low where
  // fields differ in size.
  int64_t races = 0;
  double raceWins = 0, raceTop3 = 0, raceWinReturn = 0, racePlaceReturn = 0;  // ratios
  int64_t placeRaces = 0;  // races that sold 複勝 (five starters or more)
  // Every combination of each bet type among the runners that ran, at 100
  // yen each, against what the race paid on that bet type.
  std::array<TicketLine, kBetTypes> everyTicket{};
  void Add(const TuneBase& other);
};
TuneBase BaseOfRaces(const TuneData& data, size_t begin, size_t end);

// Races [begin, end) of the dates [firstDate, lastDate] (indices).
struct RaceRange {
  size_t begin = 0, end = 0;
};
RaceRange RacesOfDates(const TuneData& data, size_t firstDate, size_t lastDate);

}  // namespace sorvix
