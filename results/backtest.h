// サイン検証 (backtest): every stored meeting date of a range is loaded and
// analysed as a user would load it, and over every race that has results
// the runners that carry each sign, each rank and each betting mark are
// counted with their wins, top-2 and top-3 finishes and the return of a
// 100-yen win and place ticket, and the proposed tickets of the betting
// combinations are bought at 100 yen each and paid from the stored payouts.
//
// Runners that did not start or were taken out of the race (異常区分 1–3:
// 出走取消, 発走除外, 競走除外) are left out, and a proposed ticket that names
// one is refunded (counted apart, neither staked nor paid), as JRA does; a
// runner that fell, was disqualified or placed lower (4–7) ran and counts.
// A race counts when it has a payout record and a final position for at
// least one runner; the others of the race list are counted as skipped.
// Every figure is a whole number, so the sums do not depend on the order in
// which the dates are done.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/sign_kinds.h"
#include "analysis/sign_points.h"
#include "codes/cp932_text.h"
#include "store/estimate.h"
#include "store/race_day_loader.h"

namespace sorvix {

class RaceDay;
class RunLedger;

// Runners of one group and what a 100-yen win and place ticket on each of
// them returned (yen).  A race of four starters or fewer sells no place
// ticket: its runners count in `runners` but not in `placeBets`.
struct BacktestGroup {
  int64_t runners = 0;
  int64_t wins = 0;
  int64_t top2 = 0;
  int64_t top3 = 0;
  int64_t winReturn = 0;
  int64_t placeReturn = 0;
  int64_t placeBets = 0;  // place tickets bought (runners of races that sold them)
  int64_t maxWin = 0;     // the largest single win payout (yen)
  int64_t maxPlace = 0;   // the largest single place payout (yen)

  void Add(const BacktestGroup& other);
  bool operator==(const BacktestGroup&) const = default;
};

// The proposed tickets of one bet type at 100 yen each.
struct TicketLine {
  int64_t tickets = 0;  // bought (refunded ones not included)
  int64_t hits = 0;
  int64_t stake = 0;      // yen, 100 per ticket
  int64_t returned = 0;   // yen
  int64_t maxReturn = 0;  // the largest single return (yen)
  int64_t refunded = 0;   // tickets naming a runner that did not run

  void Add(const TicketLine& other);
  bool operator==(const TicketLine&) const = default;
};

// The families that have a group of their own (the special mark and the
// post-time sign are families of one sign).
inline constexpr int kBacktestFamilies = 5;
inline constexpr std::array<const char*, kBacktestFamilies> kBacktestFamilyKeys = {
    "red", "green", "orange", "blue", "yellow"};
inline constexpr std::array<SignFamily, kBacktestFamilies> kBacktestFamilyOf = {
    SignFamily::Red, SignFamily::Green, SignFamily::Orange, SignFamily::Blue, SignFamily::Yellow};

// The ranks that are grouped, and their bands 1, 2, 3, 4–5, 6 and below.
enum class BacktestRank { Away, Home, Bracket, Suitei };
inline constexpr int kBacktestRanks = 4;
inline constexpr std::array<const char*, kBacktestRanks> kBacktestRankKeys = {
    "awayRank", "homeRank", "bracketRank", "suiteiRank"};
inline constexpr int kRankBands = 5;
inline constexpr std::array<const char*, kRankBands> kRankBandKeys = {"1", "2", "3", "4-5", "6+"};
// The band of a rank (−1 for 0, not ranked).
int RankBand(int rank);

// The bet types of the proposed tickets.
enum class BetType { Trio, Quinella, Wide, Exacta };
inline constexpr int kBetTypes = 4;
inline constexpr std::array<const char*, kBetTypes> kBetTypeKeys = {"trio", "quinella", "wide",
                                                                    "exacta"};

// Every figure of one set of races.  `all` (全馬) holds every runner: the
// base rate the groups are read against; `pools` every combination of each
// bet type, each bought at 100 yen: the base rate of the tickets.
struct BacktestTally {
  BacktestGroup all;
  std::array<TicketLine, kBetTypes> pools{};
  std::array<BacktestGroup, kSignCount> signs{};
  std::array<BacktestGroup, kBacktestFamilies> families{};
  std::array<std::array<BacktestGroup, kRankBands>, kBacktestRanks> ranks{};
  BacktestGroup axis;     // ◎ ● ▲ (AxisMark 1–3)
  BacktestGroup partner;  // ○ (PartnerMark 1)
  std::array<TicketLine, kBetTypes> tickets{};

  void Add(const BacktestTally& other);
  bool operator==(const BacktestTally&) const = default;
};

// What one race showed of each runner before the payout import rewrote the
// final positions from the place payouts: 異常区分 (SE 332) and 確定着順
// (SE 335–336) as stored.
struct StoredFinish {
  int8_t abnormal[18] = {};
  int8_t position[18] = {};
};

// Whether race `slot` of a loaded and analysed day counts: it has a payout
// record and a stored final position for at least one runner.
bool RaceHasResults(const RaceDay& day, int slot, const StoredFinish& finish);

// A proposed ticket of a race as the backtest buys it at 100 yen: refunded
// when it names a runner that did not run (異常区分 1–3), else paid the
// stored payout of its combination (0 when it lost; dead heats pay every
// tied ticket).
struct ProposedTicket {
  BetType type = BetType::Trio;
  std::string combination;  // " 3-12", " 1- 5-13"
  bool refunded = false;
  int64_t paid = 0;  // yen
};

// The proposed tickets of race `slot` (3連複, then 馬連, ワイド and 馬単 from
// the 馬連・ワ list), in the betting window's order.
std::vector<ProposedTicket> ProposedTickets(const RaceDay& day, int slot,
                                            const StoredFinish& finish);

// The tally of one loaded and analysed date.
struct BacktestDay {
  Cp932Text label;  // DateLabel
  int races = 0;    // races counted
  int skipped = 0;  // race-list rows without results
  // Predicted odds as the estimate: the counted races that had their odds
  // line, and their runners.
  int oddsRaces = 0;
  int64_t oddsRunners = 0;
  BacktestTally total;
  std::map<std::string, BacktestTally> byVenue;  // UTF-8 venue name
};

// Tallies the races of a loaded and analysed `day`; `finish` holds each
// race-list row's stored finishes (see BacktestAnalysisSteps).  With the
// predicted odds as estimate, a race without its odds line counts in no
// estimate rank and no ○ (its runners have neither).
BacktestDay TallyDay(const RaceDay& day, const std::vector<StoredFinish>& finish,
                     EstimateSource source = EstimateSource::RacehorseData);

// The steps of a date's analysis as `analyze` runs them, with a first step
// that keeps each race's stored finishes in `finish` (resized to 36).
std::vector<AnalysisStep> BacktestAnalysisSteps(const SignPoints& points,
                                                std::vector<StoredFinish>& finish);

// Loads and analyses one date at a time exactly as the backtest does: the
// whole analysis of the date with the estimate source asked for, each
// race's stored finishes kept before the payout import rewrites them, the
// store's jockey, trainer and earlier-race files read once for all the
// dates, and nothing written.  The backtest's workers each hold one, and so
// does the SQLite export, so that what the export writes for a date is
// what サイン検証 counts for it.  Not for use from two threads.
class BacktestDateLoader {
 public:
  // `progress` (may be null) sees every load's steps; a step may throw to
  // stop a load.
  // `countsBefore` (may be null): take the result counts back to before
  // each date's meeting, as the backtest does with the racehorse data.
  BacktestDateLoader(const SignPoints& points, EstimateSource source, LoadProgress* progress,
                     const RunLedger* countsBefore = nullptr);
  ~BacktestDateLoader();
  BacktestDateLoader(const BacktestDateLoader&) = delete;
  BacktestDateLoader& operator=(const BacktestDateLoader&) = delete;

  // Loads and analyses the date `label`; throws what the load throws.
  LoadOutcome Load(Cp932View label);
  // The date loaded last and its races' stored finishes (by race-list row).
  const RaceDay& day() const { return *day_; }
  const std::vector<StoredFinish>& finish() const { return finish_; }

 private:
  std::unique_ptr<RaceDay> day_;
  std::vector<StoredFinish> finish_;
  StoreFileCache files_;
  LoadOptions load_;
};

// A date's bought tickets, for the chart of stake against return.
struct BacktestDayTickets {
  Cp932Text label;  // DateLabel
  std::array<int64_t, kBetTypes> stake{};
  std::array<int64_t, kBetTypes> returned{};
  std::array<int64_t, kBetTypes> maxReturn{};  // the largest single ticket's return
};

struct BacktestResult {
  Cp932Text from, to;  // DateLabels of the range asked for
  SignPoints points;
  EstimateSource source = EstimateSource::RacehorseData;
  // Racehorse data: the counts were taken back to each date's meeting
  // (RunLedger); how many of a runner's horse, jockey or trainer counts
  // could not be (summed over the dates).
  int64_t countsNotRebuilt = 0;
  int workers = 0;  // workers used
  // Predicted odds: the dates, races and runners that had them.
  int oddsDates = 0;
  int oddsRaces = 0;
  int64_t oddsRunners = 0;
  int dates = 0;  // dates loaded
  int races = 0;
  int skipped = 0;
  BacktestTally total;
  std::map<std::string, BacktestTally> byMonth;  // "YYYY-MM"
  std::map<std::string, BacktestTally> byVenue;  // UTF-8 venue name
  std::vector<BacktestDayTickets> timeline;      // ascending dates
  std::vector<BacktestDay> days;                 // each date's tally, ascending dates
  // Dates that could not be loaded: label and the UTF-8 reason.
  std::vector<std::pair<Cp932Text, std::string>> failed;
  bool cancelled = false;
};

struct BacktestOptions {
  std::vector<Cp932Text> dates;  // DateLabels, any order
  Cp932Text from, to;            // recorded in the result
  SignPoints points = SignPoints::Defaults();
  EstimateSource source = EstimateSource::RacehorseData;
  // Parallel workers, one RaceDay each; 0 or more than the cores: one per
  // core.
  int workers = 0;
  // Called after each date (from a worker thread, one call at a time):
  // dates done, dates in all, the date just done.
  std::function<void(int done, int total, Cp932View label)> progress;
  // Set to stop: the running loads stop at their next progress step and no
  // further date is begun; the result holds the dates finished before.
  const std::atomic<bool>* cancel = nullptr;
};

// Loads, analyses and tallies every date of `options.dates`.  Nothing is
// written into the home.  With the racehorse data as estimate source the
// counts are those of before each date's meeting (RunLedger).
BacktestResult RunBacktest(const BacktestOptions& options);

// `dates` sorted, each once.
std::vector<Cp932Text> SortedDates(std::vector<Cp932Text> dates);

// What a run of loads reports besides the days: the dates that could not be
// loaded (label and the UTF-8 reason) and whether it was cancelled.
struct DateRunOutcome {
  int done = 0;     // dates finished, loaded or not
  int workers = 0;  // workers used
  // Racehorse data: the runners' horse, jockey or trainer counts that could
  // not be taken back to before their date (summed over the dates).
  int64_t countsNotRebuilt = 0;
  std::vector<std::pair<Cp932Text, std::string>> failed;
  bool cancelled = false;
};
// Called once for every date that loaded, with its index in `dates`, from
// the worker that loaded it (several workers call at once).
using LoadedDayFunction =
    std::function<void(const RaceDay& day, const std::vector<StoredFinish>& finish, size_t i)>;
// Loads and analyses every date of `dates` as the backtest does (the
// points, source, workers, progress and cancel of `options`; its dates are
// not read) and hands each loaded day to `onDay`.  With the racehorse data
// as estimate source every date sees the counts as they stood before its
// meeting (RunLedger), so that nothing on or after a date is read for it.
DateRunOutcome LoadDates(const std::vector<Cp932Text>& dates, const BacktestOptions& options,
                         const LoadedDayFunction& onDay);
// The workers a run uses for `asked` (0: one per core), never more than
// the cores.
int BacktestWorkers(int asked);

// The stored meeting dates (DateLabels) from `from` to `to` inclusive,
// ascending; an empty bound is open.
std::vector<Cp932Text> StoredDatesBetween(Cp932View from, Cp932View to);

// "YYYY-MM" of a DateLabel.
std::string MonthOfLabel(Cp932View label);
// "YYYY-MM-DD" of a DateLabel.
std::string IsoDateOfLabel(Cp932View label);

// The estimate a result used, in one line (UTF-8): the source, and for the
// racehorse data that the counts are those before each date, with the
// counts that could not be taken back.
std::string EstimateNote(const BacktestResult& result);

}  // namespace sorvix
