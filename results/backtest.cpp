#include "results/backtest.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "analysis/ring_layout.h"
#include "analysis/run_analysis.h"
#include "analysis/sign_marks.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/backtest_race.h"
#include "results/betting_combinations.h"
#include "results/payout_table.h"
#include "store/load_progress.h"
#include "store/meeting_list.h"
#include "store/race_day.h"
#include "store/run_ledger.h"

namespace sorvix {

std::string EstimateNote(const BacktestResult& r) {
  if (r.source == EstimateSource::PredictedOdds)
    return "推定能力: 予想オッズデータ（予想オッズのあった開催日 " + std::to_string(r.oddsDates) +
           "・レース " + std::to_string(r.oddsRaces) + "・出走馬 " + std::to_string(r.oddsRunners) +
           "。推定順位と相手（○）はそのレースだけを集計）";
  std::string note = "推定能力: 競走馬データ（各開催日の前の成績数に戻して計算）";
  if (r.countsNotRebuilt > 0)
    note += "。記録が保存された成績を含まないため戻せなかった成績数: " +
            std::to_string(r.countsNotRebuilt) + " 件（0 として計算）";
  return note;
}

int BacktestWorkers(int asked) {
  int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return asked > 0 ? std::min(asked, cores) : cores;
}

void BacktestGroup::Add(const BacktestGroup& o) {
  runners += o.runners;
  wins += o.wins;
  top2 += o.top2;
  top3 += o.top3;
  winReturn += o.winReturn;
  placeReturn += o.placeReturn;
  placeBets += o.placeBets;
  maxWin = std::max(maxWin, o.maxWin);
  maxPlace = std::max(maxPlace, o.maxPlace);
}

void TicketLine::Add(const TicketLine& o) {
  tickets += o.tickets;
  hits += o.hits;
  stake += o.stake;
  returned += o.returned;
  maxReturn = std::max(maxReturn, o.maxReturn);
  refunded += o.refunded;
}

void BacktestTally::Add(const BacktestTally& o) {
  all.Add(o.all);
  for (int t = 0; t < kBetTypes; ++t) pools[t].Add(o.pools[t]);
  for (int i = 0; i < kSignCount; ++i) signs[i].Add(o.signs[i]);
  for (int i = 0; i < kBacktestFamilies; ++i) families[i].Add(o.families[i]);
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b) ranks[r][b].Add(o.ranks[r][b]);
  axis.Add(o.axis);
  partner.Add(o.partner);
  for (int t = 0; t < kBetTypes; ++t) tickets[t].Add(o.tickets[t]);
}

int RankBand(int rank) {
  if (rank <= 0) return -1;
  if (rank <= 3) return rank - 1;
  if (rank <= 5) return 3;
  return 4;
}

std::string MonthOfLabel(Cp932View label) {
  return std::string(Field(label.bytes(), date_label::kYear)) + "-" +
         std::string(Field(label.bytes(), date_label::kMonth));
}

std::string IsoDateOfLabel(Cp932View label) {
  return MonthOfLabel(label) + "-" + std::string(Field(label.bytes(), date_label::kDay));
}

namespace {

bool Scratched(int abnormal) {
  return abnormal >= 1 && abnormal <= 3;
}

// The horse numbers of a combination text (" 3-12", " 1- 5-13").
std::vector<int> NumbersOf(std::string_view combination) {
  std::vector<int> numbers;
  size_t start = 0;
  while (start <= combination.size()) {
    size_t dash = combination.find('-', start);
    std::string_view piece = combination.substr(
        start, dash == std::string_view::npos ? std::string_view::npos : dash - start);
    numbers.push_back(ReadInt(piece));
    if (dash == std::string_view::npos) break;
    start = dash + 1;
  }
  return numbers;
}

template <size_t N>
int64_t PayoutOf(const PayoutCombination (&entries)[N], std::string_view text) {
  int64_t paid = 0;
  for (const PayoutCombination& e : entries)
    if (HasResult(e.Combination) && e.Combination.View() == text) paid += e.Payout;
  return paid;
}

void AddTickets(std::vector<ProposedTicket>& out, BetType type, const std::vector<KaimeRow>& rows,
                const bool* scratched, int runners, const auto& payoutOf) {
  for (const KaimeRow& row : rows) {
    ProposedTicket ticket;
    ticket.type = type;
    ticket.combination = row.combination;
    for (int number : NumbersOf(row.combination))
      if (number >= 1 && number <= runners && scratched[number - 1]) ticket.refunded = true;
    if (!ticket.refunded) ticket.paid = payoutOf(row.combination);
    out.push_back(std::move(ticket));
  }
}

}  // namespace

bool RaceHasResults(const RaceDay& day, int slot, const StoredFinish& finish) {
  int n = day.Runners(slot);
  if (!day.PayoutLoaded[slot] || n <= 0) return false;
  for (int h = 0; h < n; ++h)
    if (finish.position[h] >= 1) return true;
  return false;
}

std::vector<ProposedTicket> ProposedTickets(const RaceDay& day, int slot,
                                            const StoredFinish& finish) {
  int n = day.Runners(slot);
  bool scratched[18] = {};
  for (int h = 0; h < n; ++h) scratched[h] = Scratched(finish.abnormal[h]);
  const PayoutTable& pay = day.Payouts[slot];
  KaimeTables kaime = KaimeTablesOf(day, slot);
  std::vector<ProposedTicket> tickets;
  AddTickets(tickets, BetType::Trio, kaime.trio, scratched, n,
             [&](std::string_view c) { return PayoutOf(pay.Trio, c); });
  AddTickets(tickets, BetType::Quinella, kaime.quinella, scratched, n,
             [&](std::string_view c) { return PayoutOf(pay.Quinella, c); });
  AddTickets(tickets, BetType::Wide, kaime.quinella, scratched, n,
             [&](std::string_view c) { return PayoutOf(pay.QuinellaPlace, c); });
  AddTickets(tickets, BetType::Exacta, kaime.exacta, scratched, n,
             [&](std::string_view c) { return PayoutOf(pay.Exacta, c); });
  return tickets;
}

BacktestDay TallyDay(const RaceDay& day, const std::vector<StoredFinish>& finish,
                     EstimateSource source) {
  BacktestDay result;
  result.label = Cp932Text(day.LoadedLabel());
  BacktestRace kept;
  auto tickets = std::make_unique<ProposedCombinations>();
  for (int r = 0; r < day.RaceListRows; ++r) {
    StoredFinish none;
    const StoredFinish& f = static_cast<size_t>(r) < finish.size() ? finish[r] : none;
    if (!BacktestRaceOf(day, r, f, kept)) {
      ++result.skipped;
      continue;
    }
    // With predicted odds, a race without its odds line has no estimate.
    kept.estimated = source == EstimateSource::RacehorseData || day.YosoOzFound[r];
    BacktestTally race;
    TallyBase(kept, race);
    TallySignGroups(kept, race);
    TallyRanks(kept, kept.ranks, kept.marks, race);
    TallyTickets(kept, kept.marks, race, *tickets);
    ++result.races;
    if (source == EstimateSource::PredictedOdds && kept.estimated) {
      ++result.oddsRaces;
      result.oddsRunners += race.all.runners;
    }
    result.total.Add(race);
    result
        .byVenue[Utf8(
            Cp932View::FromBytes(TrimRight(VenueName(day.RaRec[r].Field(ra::kVenueCode)).bytes())))]
        .Add(race);
  }
  return result;
}

std::vector<AnalysisStep> BacktestAnalysisSteps(const SignPoints& points,
                                                std::vector<StoredFinish>& finish) {
  std::vector<AnalysisStep> steps = DayAnalysisSteps(points);
  // Before the payout import rewrites the final positions from the place
  // payouts, keep what the runner records say.
  steps.insert(steps.begin(), AnalysisStep::Day([&finish](RaceDay& day, const LoadContext&) {
                 finish.assign(kRaceSlots, StoredFinish{});
                 for (int r = 0; r < day.RaceCount; ++r)
                   for (int h = 0; h < day.Runners(r); ++h) {
                     const SeImage& se = day.SeRec[r][h];
                     finish[r].abnormal[h] = static_cast<int8_t>(se.Int(se::kAbnormalCode));
                     finish[r].position[h] =
                         static_cast<int8_t>(std::clamp(se.Int(se::kFinalPosition), 0, 99));
                   }
               }));
  return steps;
}

std::vector<Cp932Text> StoredDatesBetween(Cp932View from, Cp932View to) {
  std::vector<Cp932Text> dates;
  for (Cp932Text& label : ListMeetingDates())
    if ((from.empty() || label.view() >= from) && (to.empty() || label.view() <= to))
      dates.push_back(std::move(label));
  std::sort(dates.begin(), dates.end());
  return dates;
}

namespace {

// Thrown from a load's progress step once the run is cancelled.
struct Cancelled {};

class CancelProgress : public LoadProgress {
 public:
  explicit CancelProgress(const std::atomic<bool>* cancel) : cancel_(cancel) {}
  void ProcessEvents() override {
    if (cancel_ && cancel_->load(std::memory_order_relaxed)) throw Cancelled{};
  }

 private:
  const std::atomic<bool>* cancel_;
};

// Adds the tally of the date `label` to the result; returns the date's
// point of the stake-and-return timeline.
BacktestDayTickets AddDay(BacktestResult& result, const Cp932Text& label,
                          const BacktestDay& tally) {
  ++result.dates;
  result.races += tally.races;
  result.skipped += tally.skipped;
  result.oddsDates += tally.oddsRaces > 0;
  result.oddsRaces += tally.oddsRaces;
  result.oddsRunners += tally.oddsRunners;
  result.total.Add(tally.total);
  result.byMonth[MonthOfLabel(label)].Add(tally.total);
  for (const auto& [venue, t] : tally.byVenue) result.byVenue[venue].Add(t);
  result.days.push_back(tally);
  BacktestDayTickets point;
  point.label = label;
  for (int b = 0; b < kBetTypes; ++b) {
    point.stake[b] = tally.total.tickets[b].stake;
    point.returned[b] = tally.total.tickets[b].returned;
    point.maxReturn[b] = tally.total.tickets[b].maxReturn;
  }
  return point;
}

}  // namespace

BacktestDateLoader::BacktestDateLoader(const SignPoints& points, EstimateSource source,
                                       LoadProgress* progress, const RunLedger* countsBefore)
    : day_(RaceDay::Create()) {
  load_.source = source;
  load_.progress = progress;
  load_.countsBefore = countsBefore;
  // Nothing writes the store meanwhile: the jockey, trainer and earlier
  // races' files are read once per loader, not once per date.
  load_.cache = &files_;
  load_.readOnly = true;
  load_.analysis = BacktestAnalysisSteps(points, finish_);
}

BacktestDateLoader::~BacktestDateLoader() = default;

LoadOutcome BacktestDateLoader::Load(Cp932View label) {
  return LoadRaceDay(*day_, label, load_);
}

std::vector<Cp932Text> SortedDates(std::vector<Cp932Text> dates) {
  std::sort(dates.begin(), dates.end());
  dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
  return dates;
}

namespace {

// What the workers of a run of loads share.
struct DateRun {
  DateRun(const std::vector<Cp932Text>& d, const BacktestOptions& o, const LoadedDayFunction& f)
      : dates(d), options(o), onDay(f) {}

  const std::vector<Cp932Text>& dates;
  const BacktestOptions& options;
  const LoadedDayFunction& onDay;
  const RunLedger* ledger = nullptr;
  DateRunOutcome outcome;
  std::atomic<int> next{0};
  std::mutex mutex;

  bool Stopped() const { return options.cancel && options.cancel->load(); }
  void Work();
};

void DateRun::Work() {
  // One loader (one day model) per worker, reused for every date it takes.
  CancelProgress progress(options.cancel);
  std::optional<BacktestDateLoader> loader;
  try {
    loader.emplace(options.points, options.source, &progress, ledger);
  } catch (const std::exception& e) {
    std::lock_guard lock(mutex);
    outcome.failed.emplace_back(Cp932Text(), e.what());
    return;
  }
  const int total = static_cast<int>(dates.size());
  for (int i = next++; i < total && !Stopped(); i = next++) {
    const Cp932Text& label = dates[static_cast<size_t>(i)];
    std::string failure;
    bool loaded = false;
    int notRebuilt = 0;
    try {
      LoadOutcome result = loader->Load(label);
      loaded = result.loaded;
      notRebuilt = result.countsNotRebuilt;
      if (loaded)
        onDay(loader->day(), loader->finish(), static_cast<size_t>(i));
      else
        failure = Utf8(result.message);
    } catch (const Cancelled&) {
      break;
    } catch (const std::exception& e) {
      loaded = false;
      failure = e.what();
    }
    std::lock_guard lock(mutex);
    if (!loaded) outcome.failed.emplace_back(label, failure);
    outcome.countsNotRebuilt += notRebuilt;
    ++outcome.done;
    if (options.progress) options.progress(outcome.done, total, label);
  }
}

}  // namespace

DateRunOutcome LoadDates(const std::vector<Cp932Text>& dates, const BacktestOptions& options,
                         const LoadedDayFunction& onDay) {
  DateRun run(dates, options, onDay);
  const int total = static_cast<int>(dates.size());
  run.outcome.workers = std::max(1, std::min(BacktestWorkers(options.workers), total));

  // The runs that the counts are taken back by: every stored date from the
  // first date loaded on (a record made later holds runs after the range).
  std::optional<RunLedger> ledger;
  if (options.source == EstimateSource::RacehorseData && total > 0) {
    try {
      ledger = RunLedger::Read(ListMeetingDates(), *std::min_element(dates.begin(), dates.end()));
      run.ledger = &*ledger;
    } catch (const std::exception& e) {
      run.outcome.failed.emplace_back(Cp932Text(), e.what());
      return std::move(run.outcome);
    }
  }

  std::vector<std::thread> threads;
  for (int w = 1; w < run.outcome.workers; ++w) threads.emplace_back([&run] { run.Work(); });
  if (total > 0) run.Work();
  for (std::thread& t : threads) t.join();
  std::sort(run.outcome.failed.begin(), run.outcome.failed.end());
  run.outcome.cancelled = run.Stopped() && run.outcome.done < total;
  return std::move(run.outcome);
}

BacktestResult RunBacktest(const BacktestOptions& options) {
  BacktestResult result;
  result.from = options.from;
  result.to = options.to;
  result.points = options.points;
  result.source = options.source;

  std::vector<Cp932Text> dates = SortedDates(options.dates);
  std::vector<std::optional<BacktestDay>> tallies(dates.size());
  DateRunOutcome run = LoadDates(
      dates, options, [&](const RaceDay& day, const std::vector<StoredFinish>& finish, size_t i) {
        tallies[i] = TallyDay(day, finish, options.source);
      });
  for (size_t i = 0; i < dates.size(); ++i)
    if (tallies[i]) result.timeline.push_back(AddDay(result, dates[i], *tallies[i]));
  result.failed = std::move(run.failed);
  result.cancelled = run.cancelled;
  result.workers = run.workers;
  result.countsNotRebuilt = run.countsNotRebuilt;
  return result;
}

}  // namespace sorvix
