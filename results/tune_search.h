// 配点最適化, the search: the objectives a set of sign points is judged by,
// and a seeded coordinate descent over the 28 points (whole numbers 0–99)
// with restarts.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/sign_points.h"
#include "results/tune_data.h"

namespace sorvix {

// What the tuning makes as large as it can, each a figure of the races
// scored.
enum class TuneObjective {
  AxisPlaceReturn,  // ◎ 複勝回収率
  AxisWinReturn,    // ◎ 単勝回収率
  AxisTop3Rate,     // ◎ 複勝率 (top 3)
  Away1Top3Rate,    // ｱｳｪｲ順位 1 の複勝率
  TrioReturn,       // 買い目 3連複 回収率
  QuinellaReturn,   // 買い目 馬連 回収率
  WideReturn,       // 買い目 ワイド 回収率
  ExactaReturn,     // 買い目 馬単 回収率
};
inline constexpr int kTuneObjectives = 8;

struct TuneObjectiveInfo {
  TuneObjective objective;
  const char* key;    // --objective
  const char* label;  // Japanese, UTF-8
  bool isReturn;      // a return rate (yen back per 100 yen); else a hit rate
};
extern const std::array<TuneObjectiveInfo, kTuneObjectives> kTuneObjectiveInfo;
const TuneObjectiveInfo& InfoOf(TuneObjective objective);
std::optional<TuneObjective> TuneObjectiveOfKey(std::string_view key);

// A figure as a part of a whole: hits of runners, yen returned of yen
// staked.  Its value is part / whole × 100 (0 for an empty whole).
struct Fraction {
  int64_t part = 0;
  int64_t whole = 0;
  double Percent() const;
};
// The mean over `races` races of ratios summed to `sum`, as a fraction.
Fraction RaceMean(double sum, int64_t races);

// The objective's figure in a score, and its base rate: for a pick of a
// runner, the figure of a runner drawn at random from each race (races
// weighted alike); for tickets, every combination of the bet type.
Fraction ObjectiveFigure(TuneObjective objective, const TuneScore& score);
Fraction ObjectiveBase(TuneObjective objective, const TuneBase& base);

struct TuneSearchOptions {
  TuneObjective objective = TuneObjective::AxisPlaceReturn;
  SignPoints start = SignPoints::Defaults();  // the first start; restarts are drawn
  uint64_t seed = 1;
  int restarts = 2;    // starts after the first
  int sweeps = 3;      // at most, per start (each tries every point)
  int candidates = 0;  // at most this many scored (0: no limit)
  int workers = 0;     // 0: one per core
  // Called after each point tried: candidates scored so far, and the most.
  std::function<void(int scored, int most)> progress;
  const std::atomic<bool>* cancel = nullptr;
};

struct TuneSearchResult {
  SignPoints best;
  Fraction figure;     // the objective of `best` over the races searched
  int candidates = 0;  // distinct point sets scored
  bool cancelled = false;
};

// Searches races `races` of `data` for the points with the largest
// objective.  From each start, every point in turn (in an order drawn from
// the seed) is set to each value of a ladder over 0–99 and kept at the
// best; a value is taken only when it is strictly better, so a tie keeps
// the point where it was and the result depends on the seed alone.
TuneSearchResult SearchPoints(const TuneData& data, RaceRange races,
                              const TuneSearchOptions& options);

// The values a point is tried at.
extern const std::array<int, 14> kTuneLadder;

// A number generator of its own (splitmix64), so that a seed gives the same
// points with every compiler and library.
class TuneRandom {
 public:
  explicit TuneRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  int Below(int n);  // 0 … n − 1

 private:
  uint64_t state_;
};

}  // namespace sorvix
