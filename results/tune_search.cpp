#include "results/tune_search.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "results/betting_combinations.h"

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
      return {g.placeReturn, g.placeBets * 100};
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
      return RaceMean(base.racePlaceReturn, base.placeRaces);
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

// Adds to `score` what the objective reads of one race under the ranks and
// marks a set of points gives it, and nothing else: ScoreRaces adds the
// same, and the rank bands, groups and tickets the objective does not look
// at besides.
void AddObjective(const TuneRace& kept, const RunnerRanks& ranks, const RunnerMarks& marks,
                  TuneObjective objective, TuneScore& score, ProposedCombinations& scratch) {
  if (TicketOf(objective) >= 0) {
    TallyTickets(kept.race, marks, score.tally, scratch);
  } else if (objective == TuneObjective::Away1Top3Rate) {
    TallyRanks(kept.race, ranks, marks, score.tally);
  } else {
    for (int h = 0; h < kept.race.runners; ++h)
      if (!kept.race.scratched[h] && marks.axis[h] == 1)
        score.mainAxis.Add(RunnerGroup(kept.race, h));
  }
}

// Adds the scores of `sets` over races `list` to `scores`.  With `sign`
// (0 or more) the sets differ in that sign's point alone, so each race's
// index without the sign is summed once and each set adds its point times
// the sign's count.
void ScoreSets(const TuneData& data, std::span<const uint32_t> list,
               const std::vector<const SignPoints*>& sets, int sign, TuneObjective objective,
               std::vector<TuneScore>& scores) {
  auto scratch = std::make_unique<ProposedCombinations>();
  RunnerIndex index;
  RunnerRanks ranks;
  RunnerMarks marks;
  int32_t away[kHorseSlots], home[kHorseSlots];
  for (uint32_t i : list) {
    const TuneRace& kept = data.races[i];
    const int n = kept.race.runners;
    if (sign < 0) {
      for (size_t k = 0; k < sets.size(); ++k) {
        RanksAndMarksOf(kept, *sets[k], ranks, marks);
        AddObjective(kept, ranks, marks, objective, scores[k], *scratch);
      }
      continue;
    }
    const std::array<int, kSignCount>& points = sets.front()->value;
    for (int h = 0; h < n; ++h) {
      const uint8_t* a = kept.counts.away[h];
      const uint8_t* b = kept.counts.home[h];
      int32_t awaySum = 0, homeSum = 0;
      for (int s = 0; s < kSignCount; ++s) {
        awaySum += points[s] * a[s];
        homeSum += points[s] * b[s];
      }
      away[h] = awaySum - points[sign] * a[sign];
      home[h] = homeSum - points[sign] * b[sign];
    }
    for (size_t k = 0; k < sets.size(); ++k) {
      const int value = sets[k]->value[sign];
      index.runners = n;
      for (int h = 0; h < n; ++h) {
        index.awayIndex[h] = away[h] + value * kept.counts.away[h][sign];
        index.homeIndex[h] = home[h] + value * kept.counts.home[h][sign];
      }
      RanksAndMarksOfIndex(kept, index, ranks, marks);
      AddObjective(kept, ranks, marks, objective, scores[k], *scratch);
    }
  }
}

Fraction operator+(Fraction a, const Fraction& b) {
  return {a.part + b.part, a.whole + b.whole};
}
Fraction operator-(Fraction a, const Fraction& b) {
  return {a.part - b.part, a.whole - b.whole};
}

// A figure ordered for the search: an empty whole is worse than any value.
double Rank(const Fraction& f) {
  return f.whole > 0 ? f.Percent() : -1.0;
}

class Searcher {
 public:
  Searcher(const TuneData& data, RaceRange races, const TuneSearchOptions& options)
      : data_(data), races_(races), options_(options) {
    for (size_t i = races.begin; i < std::min(races.end, data.races.size()); ++i) {
      all_.push_back(static_cast<uint32_t>(i));
      const TuneRace& kept = data.races[i];
      for (int sign = 0; sign < kSignCount; ++sign)
        for (int h = 0; h < kept.race.runners; ++h)
          if (kept.counts.away[h][sign] || kept.counts.home[h][sign]) {
            counted_[sign].push_back(static_cast<uint32_t>(i));
            break;
          }
    }
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
  // With `sign`, every set differs from `current` (whose figure is
  // `currentFigure`) in that sign's point alone: only the races where the
  // sign counts for some runner can change, so only they are scored again
  // (the figures are sums over races, kept exact as whole numbers).
  std::vector<Fraction> Score(const std::vector<SignPoints>& sets, int sign = -1,
                              const SignPoints* current = nullptr,
                              const Fraction& currentFigure = {});
  // One descent from `start`; returns its end.
  std::pair<SignPoints, Fraction> Descend(SignPoints start, TuneRandom& random);

  const TuneData& data_;
  RaceRange races_;
  const TuneSearchOptions& options_;
  int workers_ = 1;
  int scored_ = 0;
  std::vector<uint32_t> all_;                              // every race searched
  std::array<std::vector<uint32_t>, kSignCount> counted_;  // races where a sign counts
  std::map<std::array<int, kSignCount>, Fraction> known_;
};

std::vector<Fraction> Searcher::Score(const std::vector<SignPoints>& sets, int sign,
                                      const SignPoints* current, const Fraction& currentFigure) {
  std::vector<Fraction> figures(sets.size());
  std::vector<size_t> todo;
  for (size_t i = 0; i < sets.size(); ++i) {
    auto it = known_.find(sets[i].value);
    if (it != known_.end())
      figures[i] = it->second;
    else
      todo.push_back(i);
  }
  if (todo.empty()) return figures;
  // With a sign, `current` goes first: what it scores on the races the sign
  // touches, taken from its whole figure, is what every set shares.
  const bool partial = sign >= 0 && current != nullptr;
  std::vector<const SignPoints*> scored;
  if (partial) scored.push_back(current);
  for (size_t i : todo) scored.push_back(&sets[i]);
  const std::vector<uint32_t>& list = partial ? counted_[sign] : all_;

  // The races in blocks, taken by the workers in turn.
  constexpr size_t kBlock = 256;
  std::atomic<size_t> next{0};
  std::mutex mutex;
  std::vector<TuneScore> total(scored.size());
  auto work = [&] {
    std::vector<TuneScore> mine(scored.size());
    for (size_t at = next.fetch_add(kBlock); at < list.size(); at = next.fetch_add(kBlock)) {
      std::span<const uint32_t> block(list.data() + at, std::min(kBlock, list.size() - at));
      ScoreSets(data_, block, scored, partial ? sign : -1, options_.objective, mine);
    }
    std::lock_guard<std::mutex> lock(mutex);
    for (size_t k = 0; k < mine.size(); ++k) total[k].Add(mine[k]);
  };
  std::vector<std::thread> threads;
  int extra = std::min(workers_, static_cast<int>(list.size() / kBlock + 1)) - 1;
  for (int w = 0; w < extra; ++w) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();

  Fraction untouched;
  if (partial) untouched = currentFigure - ObjectiveFigure(options_.objective, total.front());
  for (size_t k = 0; k < todo.size(); ++k) {
    size_t i = todo[k];
    figures[i] = untouched + ObjectiveFigure(options_.objective, total[k + (partial ? 1 : 0)]);
    known_[sets[i].value] = figures[i];
  }
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
      const SignPoints before = current;
      std::vector<Fraction> figures = Score(tries, s, &before, figure);
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
