#include "results/tune_search.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace sorvix {

const std::array<TuneObjectiveInfo, kTuneObjectives> kTuneObjectiveInfo = {{
    {TuneObjective::AxisPlaceReturn, "axis-place", "◎ 複勝回収率", true},
    {TuneObjective::AxisWinReturn, "axis-win", "◎ 単勝回収率", true},
    {TuneObjective::AxisTop3Rate, "axis-top3", "◎ 複勝率", false},
    {TuneObjective::Away1Top3Rate, "away1-top3", "ｱｳｪｲ順位1 複勝率", false},
    {TuneObjective::TrioReturn, "trio", "3連複 回収率", true},
    {TuneObjective::QuinellaReturn, "quinella", "馬連 回収率", true},
    {TuneObjective::WideReturn, "wide", "ワイド 回収率", true},
    {TuneObjective::ExactaReturn, "exacta", "馬単 回収率", true},
}};

const std::array<int, 14> kTuneLadder = {0, 1, 2, 3, 4, 5, 7, 10, 14, 20, 30, 45, 70, 99};

const TuneObjectiveInfo& InfoOf(TuneObjective objective) {
  return kTuneObjectiveInfo[static_cast<size_t>(objective)];
}

std::optional<TuneObjective> TuneObjectiveOfKey(std::string_view key) {
  for (const TuneObjectiveInfo& info : kTuneObjectiveInfo)
    if (key == info.key) return info.objective;
  return std::nullopt;
}

double Fraction::Percent() const {
  return whole > 0 ? static_cast<double>(part) * 100.0 / static_cast<double>(whole) : 0.0;
}

namespace {

Fraction Return(const TicketLine& line) {
  return {line.returned, line.stake};
}

int TicketOf(TuneObjective objective) {
  switch (objective) {
    case TuneObjective::TrioReturn:
      return static_cast<int>(BetType::Trio);
    case TuneObjective::QuinellaReturn:
      return static_cast<int>(BetType::Quinella);
    case TuneObjective::WideReturn:
      return static_cast<int>(BetType::Wide);
    case TuneObjective::ExactaReturn:
      return static_cast<int>(BetType::Exacta);
    default:
      return -1;
  }
}

// The figure of a group of runners that the objective reads.
Fraction GroupFigure(TuneObjective objective, const BacktestGroup& g) {
  switch (objective) {
    case TuneObjective::AxisPlaceReturn:
      return {g.placeReturn, g.runners * 100};
    case TuneObjective::AxisWinReturn:
      return {g.winReturn, g.runners * 100};
    default:
      return {g.top3, g.runners};
  }
}

}  // namespace

Fraction ObjectiveFigure(TuneObjective objective, const TuneScore& score) {
  if (int t = TicketOf(objective); t >= 0) return Return(score.tally.tickets[t]);
  if (objective == TuneObjective::Away1Top3Rate)
    return GroupFigure(objective, score.tally.ranks[static_cast<int>(BacktestRank::Away)][0]);
  return GroupFigure(objective, score.mainAxis);
}

Fraction RaceMean(double sum, int64_t races) {
  constexpr int64_t kScale = 1000000;
  return {static_cast<int64_t>(std::llround(sum * kScale)), races * kScale};
}

Fraction ObjectiveBase(TuneObjective objective, const TuneBase& base) {
  if (int t = TicketOf(objective); t >= 0) return Return(base.everyTicket[t]);
  switch (objective) {
    case TuneObjective::AxisPlaceReturn:
      return RaceMean(base.racePlaceReturn, base.races);
    case TuneObjective::AxisWinReturn:
      return RaceMean(base.raceWinReturn, base.races);
    default:
      return RaceMean(base.raceTop3, base.races);
  }
}

uint64_t TuneRandom::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int TuneRandom::Below(int n) {
  return n <= 1 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n));
}

namespace {

// A figure ordered for the search: an empty whole is worse than any value.
double Rank(const Fraction& f) {
  return f.whole > 0 ? f.Percent() : -1.0;
}

class Searcher {
 public:
  Searcher(const TuneData& data, RaceRange races, const TuneSearchOptions& options)
      : data_(data), races_(races), options_(options) {
    withTickets_ = TicketOf(options.objective) >= 0;
    workers_ = options.workers > 0
                   ? options.workers
                   : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  }

  TuneSearchResult Run();

 private:
  bool Stopped() const {
    return (options_.cancel && options_.cancel->load()) ||
           (options_.candidates > 0 && scored_ >= options_.candidates);
  }
  // The figures of `sets`, scored on the workers (known ones from memory).
  std::vector<Fraction> Score(const std::vector<SignPoints>& sets);
  // One descent from `start`; returns its end.
  std::pair<SignPoints, Fraction> Descend(SignPoints start, TuneRandom& random);

  const TuneData& data_;
  RaceRange races_;
  const TuneSearchOptions& options_;
  int workers_ = 1;
  bool withTickets_ = true;  // the objective reads the tickets
  int scored_ = 0;
  std::map<std::array<int, kSignCount>, Fraction> known_;
};

std::vector<Fraction> Searcher::Score(const std::vector<SignPoints>& sets) {
  std::vector<Fraction> figures(sets.size());
  std::vector<size_t> todo;
  for (size_t i = 0; i < sets.size(); ++i) {
    auto it = known_.find(sets[i].value);
    if (it != known_.end())
      figures[i] = it->second;
    else
      todo.push_back(i);
  }
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t k = next++; k < todo.size(); k = next++) {
      size_t i = todo[k];
      TuneScore score = ScoreRaces(data_, races_.begin, races_.end, sets[i], withTickets_);
      figures[i] = ObjectiveFigure(options_.objective, score);
    }
  };
  std::vector<std::thread> threads;
  int extra = std::min(workers_, static_cast<int>(todo.size())) - 1;
  for (int w = 0; w < extra; ++w) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();
  for (size_t i : todo) known_[sets[i].value] = figures[i];
  scored_ += static_cast<int>(todo.size());
  return figures;
}

std::pair<SignPoints, Fraction> Searcher::Descend(SignPoints current, TuneRandom& random) {
  Fraction figure = Score({current}).front();
  for (int sweep = 0; sweep < options_.sweeps && !Stopped(); ++sweep) {
    std::array<int, kSignCount> order;
    for (int s = 0; s < kSignCount; ++s) order[s] = s;
    for (int s = kSignCount - 1; s > 0; --s) std::swap(order[s], order[random.Below(s + 1)]);
    bool moved = false;
    for (int s : order) {
      if (Stopped()) break;
      std::vector<SignPoints> tries;
      for (int value : kTuneLadder)
        if (value != current.value[s]) {
          tries.push_back(current);
          tries.back().value[s] = value;
        }
      std::vector<Fraction> figures = Score(tries);
      for (size_t i = 0; i < tries.size(); ++i)
        if (Rank(figures[i]) > Rank(figure)) {
          figure = figures[i];
          current = tries[i];
          moved = true;
        }
      if (options_.progress) options_.progress(scored_, options_.candidates);
    }
    if (!moved) break;
  }
  return {current, figure};
}

TuneSearchResult Searcher::Run() {
  TuneSearchResult result;
  TuneRandom random(options_.seed);
  SignPoints start = options_.start;
  for (int s = 0; s < kSignCount; ++s) start.value[s] = std::clamp(start.value[s], 0, 99);
  bool first = true;
  for (int r = 0; r <= options_.restarts && !Stopped(); ++r) {
    if (r > 0)
      for (int s = 0; s < kSignCount; ++s) start.value[s] = random.Below(100);
    auto [points, figure] = Descend(start, random);
    if (first || Rank(figure) > Rank(result.figure)) {
      result.best = points;
      result.figure = figure;
      first = false;
    }
  }
  result.candidates = scored_;
  result.cancelled = options_.cancel && options_.cancel->load();
  return result;
}

}  // namespace

TuneSearchResult SearchPoints(const TuneData& data, RaceRange races,
                              const TuneSearchOptions& options) {
  return Searcher(data, races, options).Run();
}

}  // namespace sorvix
