// 配点最適化, walk-forward: the points are tuned on the training dates of
// each fold and judged only on its test dates, which come after.  The
// report compares the tuned points, the user's current points and the
// defaults over the test dates, with the base rate of every runner (or
// every combination) and 95 % intervals, and says whether a gain seen in
// training held.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/sign_points.h"
#include "codes/cp932_text.h"
#include "results/rate_intervals.h"
#include "results/tune_data.h"
#include "results/tune_search.h"

namespace sorvix {

// Dates by index into TuneData::dates, first and last included.
struct TunePeriod {
  size_t first = 0, last = 0;
};
struct TuneFold {
  TunePeriod train, test;
};

// The fold of the stored dates within [trainFrom, trainTo] and [testFrom,
// testTo] (DateLabels, an empty one open); none when either holds no date.
std::optional<TuneFold> FoldOfRange(const TuneData& data, Cp932View trainFrom, Cp932View trainTo,
                                    Cp932View testFrom, Cp932View testTo);
// Rolling yearly folds: for every year Y but the last, train on every
// date up to the end of Y and test on the dates of Y + 1.
std::vector<TuneFold> YearlyFolds(const TuneData& data);

// The point sets compared.
enum class TuneSet { Tuned, Current, Defaults };
inline constexpr int kTuneSets = 3;

// One figure of the test dates for each point set, with the base rate.
struct TuneFigureRow {
  std::string key;    // ASCII, for JSON and CSV
  std::string label;  // Japanese
  bool isReturn = false;
  std::array<Fraction, kTuneSets> figure{};
  // 95 % intervals as サイン検証 gives them (Wilson for a hit rate, race
  // days resampled for a return), in percent like the figures.
  std::array<RateInterval, kTuneSets> interval{};
  std::array<bool, kTuneSets> clears{};  // interval above the base rate (after BH)
  Fraction base;
};

struct TuneFoldResult {
  TuneFold fold;
  Cp932Text trainFrom, trainTo, testFrom, testTo;  // DateLabels
  SignPoints tuned;
  int candidates = 0;
  int trainRaces = 0, testRaces = 0;
  std::array<Fraction, kTuneSets> train{};  // the objective over the training dates
  std::array<Fraction, kTuneSets> test{};   // and over the test dates
  Fraction testBase;
  RateInterval testInterval;  // of the tuned points, in percent
};

struct TuneRunOptions {
  TuneObjective objective = TuneObjective::AxisPlaceReturn;
  SignPoints current = SignPoints::Defaults();  // the user's points; the search starts there
  uint64_t seed = 1;
  int restarts = 2;
  int sweeps = 3;
  int candidates = 0;  // per fold (0: no limit)
  int workers = 0;
  // fold (0-based), folds, candidates scored in the fold, the most.
  std::function<void(int fold, int folds, int scored, int most)> progress;
  const std::atomic<bool>* cancel = nullptr;
};

struct TuneResult {
  TuneObjective objective = TuneObjective::AxisPlaceReturn;
  EstimateSource source = EstimateSource::RacehorseData;
  int64_t countsNotRebuilt = 0;  // see TuneData
  uint64_t seed = 1;
  SignPoints current, defaults, tuned;  // tuned: the last fold's (trained on the most dates)
  std::vector<TuneFoldResult> folds;
  int testDates = 0, testRaces = 0;
  int candidates = 0;
  // The test dates of every fold together (each scored with its fold's
  // tuned points); rows[0] is the objective.
  std::vector<TuneFigureRow> rows;
  std::array<Fraction, kTuneSets> train{};  // the objective, training dates of every fold
  bool edge = false;                        // the tuned objective's interval clears the base rate
  bool gainHeld = false;                    // tuned above current in training and in the test
  std::vector<std::string> verdict;         // plain Japanese sentences
  bool cancelled = false;
};

// Tunes every fold and judges it; no date of a fold's test period is
// scored before its points are tuned.
TuneResult RunTuning(const TuneData& data, const std::vector<TuneFold>& folds,
                     const TuneRunOptions& options);

}  // namespace sorvix
