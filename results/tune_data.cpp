#include "results/tune_data.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "common/record_fields.h"
#include "store/race_day.h"

namespace sorvix {

void TuneScore::Add(const TuneScore& o) {
  races += o.races;
  tally.Add(o.tally);
  mainAxis.Add(o.mainAxis);
}

void TuneBase::Add(const TuneBase& o) {
  signs.Add(o.signs);
  every.Add(o.every);
  races += o.races;
  raceWins += o.raceWins;
  raceTop3 += o.raceTop3;
  raceWinReturn += o.raceWinReturn;
  racePlaceReturn += o.racePlaceReturn;
  placeRaces += o.placeRaces;
  for (int t = 0; t < kBetTypes; ++t) everyTicket[t].Add(o.everyTicket[t]);
}

namespace {

// The kept races of one loaded date.
std::vector<TuneRace> KeepDay(const RaceDay& day, const std::vector<StoredFinish>& finish,
                              EstimateSource source, int32_t date, int& skipped) {
  std::vector<TuneRace> races;
  TuneRace kept;
  for (int r = 0; r < day.RaceListRows; ++r) {
    StoredFinish none;
    const StoredFinish& f = static_cast<size_t>(r) < finish.size() ? finish[r] : none;
    if (!BacktestRaceOf(day, r, f, kept.race)) {
      ++skipped;
      continue;
    }
    kept.race.estimated = source == EstimateSource::RacehorseData || day.YosoOzFound[r];
    kept.counts = SignIndexCountsOf(day, r);
    for (int h = 0; h < kHorseSlots; ++h)
      kept.bracket[h] =
          static_cast<int8_t>(h < kept.race.runners ? day.SeRec[r][h].Int(se::kBracketNumber) : 0);
    kept.date = date;
    races.push_back(kept);
  }
  return races;
}

int64_t Choose(int64_t n, int k) {
  if (n < k) return 0;
  int64_t c = 1;
  for (int i = 0; i < k; ++i) c = c * (n - i) / (i + 1);
  return c;
}

template <size_t M>
void AddEvery(TicketLine& line, int64_t combinations, const std::array<PaidCombination, M>& paid) {
  line.tickets += combinations;
  line.stake += 100 * combinations;
  for (const PaidCombination& e : paid) {
    if (e.payout <= 0 || e.number[0] == 0) continue;
    ++line.hits;
    line.returned += e.payout;
    line.maxReturn = std::max<int64_t>(line.maxReturn, e.payout);
  }
}

}  // namespace

TuneData KeepTuneData(const BacktestOptions& options) {
  TuneData data;
  data.dates = SortedDates(options.dates);
  data.source = options.source;
  std::vector<std::vector<TuneRace>> days(data.dates.size());
  data.skipped.assign(data.dates.size(), 0);
  DateRunOutcome run = LoadDates(
      data.dates, options,
      [&](const RaceDay& day, const std::vector<StoredFinish>& finish, size_t i) {
        days[i] = KeepDay(day, finish, options.source, static_cast<int32_t>(i), data.skipped[i]);
      });
  size_t total = 0;
  for (const auto& d : days) total += d.size();
  data.races.reserve(total);
  for (auto& d : days) {
    data.dateBegin.push_back(data.races.size());
    data.races.insert(data.races.end(), d.begin(), d.end());
    std::vector<TuneRace>().swap(d);
  }
  data.dateBegin.push_back(data.races.size());
  data.failed = std::move(run.failed);
  data.cancelled = run.cancelled;
  data.countsNotRebuilt = run.countsNotRebuilt;
  return data;
}

void RanksAndMarksOf(const TuneRace& kept, const SignPoints& points, RunnerRanks& ranks,
                     RunnerMarks& marks) {
  const int n = kept.race.runners;
  RunnerIndex index;
  index.runners = n;
  for (int h = 0; h < n; ++h) {
    int32_t away = 0, home = 0;
    const uint8_t* a = kept.counts.away[h];
    const uint8_t* b = kept.counts.home[h];
    for (int s = 0; s < kSignCount; ++s) {
      away += points.value[s] * a[s];
      home += points.value[s] * b[s];
    }
    index.awayIndex[h] = away;
    index.homeIndex[h] = home;
  }
  RanksAndMarksOfIndex(kept, index, ranks, marks);
}

void RanksAndMarksOfIndex(const TuneRace& kept, RunnerIndex& index, RunnerRanks& ranks,
                          RunnerMarks& marks) {
  const int n = kept.race.runners;
  std::copy_n(kept.bracket, n, index.bracket);
  RankSignIndex(index);
  ranks.runners = n;
  std::copy_n(index.awayRank, n, ranks.away);
  std::copy_n(index.homeRank, n, ranks.home);
  std::copy_n(index.bracketRank, n, ranks.bracket);
  std::copy_n(kept.race.ranks.suitei, n, ranks.suitei);
  marks = AxisAndPartnersOf(ranks);
}

TuneScore ScoreRaces(const TuneData& data, size_t begin, size_t end, const SignPoints& points,
                     bool tickets) {
  TuneScore score;
  auto scratch = std::make_unique<ProposedCombinations>();
  RunnerRanks ranks;
  RunnerMarks marks;
  end = std::min(end, data.races.size());
  for (size_t i = begin; i < end; ++i) {
    const TuneRace& kept = data.races[i];
    RanksAndMarksOf(kept, points, ranks, marks);
    TallyRanks(kept.race, ranks, marks, score.tally);
    if (tickets) TallyTickets(kept.race, marks, score.tally, *scratch);
    for (int h = 0; h < kept.race.runners; ++h)
      if (!kept.race.scratched[h] && marks.axis[h] == 1)
        score.mainAxis.Add(RunnerGroup(kept.race, h));
    ++score.races;
  }
  return score;
}

TuneBase BaseOfRaces(const TuneData& data, size_t begin, size_t end) {
  TuneBase base;
  end = std::min(end, data.races.size());
  for (size_t i = begin; i < end; ++i) {
    const BacktestRace& race = data.races[i].race;
    TallySignGroups(race, base.signs);
    int ran = 0;
    BacktestGroup inRace;
    for (int h = 0; h < race.runners; ++h)
      if (!race.scratched[h]) {
        inRace.Add(RunnerGroup(race, h));
        ++ran;
      }
    base.every.Add(inRace);
    if (ran > 0) {
      double n = ran;
      ++base.races;
      base.raceWins += static_cast<double>(inRace.wins) / n;
      base.raceTop3 += static_cast<double>(inRace.top3) / n;
      base.raceWinReturn += static_cast<double>(inRace.winReturn) / (100 * n);
      if (race.placeSold) {
        base.racePlaceReturn += static_cast<double>(inRace.placeReturn) / (100 * n);
        ++base.placeRaces;
      }
    }
    auto& t = base.everyTicket;
    AddEvery(t[static_cast<int>(BetType::Trio)], Choose(ran, 3), race.trio);
    AddEvery(t[static_cast<int>(BetType::Quinella)], Choose(ran, 2), race.quinella);
    AddEvery(t[static_cast<int>(BetType::Wide)], Choose(ran, 2), race.wide);
    AddEvery(t[static_cast<int>(BetType::Exacta)], 2 * Choose(ran, 2), race.exacta);
  }
  return base;
}

RaceRange RacesOfDates(const TuneData& data, size_t firstDate, size_t lastDate) {
  RaceRange range;
  if (data.dates.empty() || firstDate > lastDate || firstDate >= data.dates.size()) return range;
  lastDate = std::min(lastDate, data.dates.size() - 1);
  range.begin = data.dateBegin[firstDate];
  range.end = data.dateBegin[lastDate + 1];
  return range;
}

}  // namespace sorvix
