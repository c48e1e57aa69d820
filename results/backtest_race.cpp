#include "results/backtest_race.h"

#include <algorithm>
#include <string_view>

#include "analysis/ring_layout.h"
#include "analysis/sign_marks.h"
#include "codes/text.h"
#include "results/payout_table.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

bool Scratched(int abnormal) {
  return abnormal >= 1 && abnormal <= 3;
}

// The horse numbers of a paid combination text (" 3-12", " 1- 5-13"), in
// its order; an entry without a result has none.
template <size_t N, size_t M>
void ReadPaid(const PayoutCombination (&entries)[N], std::array<PaidCombination, M>& paid) {
  static_assert(N == M);
  for (size_t e = 0; e < N; ++e) {
    paid[e] = PaidCombination{};
    std::string_view text = entries[e].Combination.View();
    if (!HasResult(text)) continue;
    size_t start = 0;
    for (int i = 0; i < 3 && start <= text.size(); ++i) {
      size_t dash = text.find('-', start);
      std::string_view piece = text.substr(
          start, dash == std::string_view::npos ? std::string_view::npos : dash - start);
      paid[e].number[static_cast<size_t>(i)] =
          static_cast<int8_t>(std::clamp(ReadInt(piece), 0, 99));
      if (dash == std::string_view::npos) break;
      start = dash + 1;
    }
    paid[e].payout = entries[e].Payout;
  }
}

// What the combination `numbers` (width 2 or 3) was paid: every paid entry
// with the same numbers in the same order.
template <size_t M>
int64_t PaidFor(const std::array<PaidCombination, M>& paid, const int8_t* numbers, int width) {
  int64_t sum = 0;
  for (const PaidCombination& e : paid) {
    bool same = true;
    for (int i = 0; i < 3; ++i)
      if (e.number[static_cast<size_t>(i)] != (i < width ? numbers[i] : 0)) same = false;
    if (same) sum += e.payout;
  }
  return sum;
}

// Buys the tickets `list` (each `width` horse numbers) at 100 yen; a ticket
// naming a runner that did not run is refunded.
template <size_t Cap, size_t W, size_t M>
void Buy(TicketLine& line, const std::array<std::array<int8_t, W>, Cap>& list, int count,
         const BacktestRace& race, const std::array<PaidCombination, M>& paid) {
  for (int i = 0; i < count; ++i) {
    const std::array<int8_t, W>& numbers = list[static_cast<size_t>(i)];
    bool refund = false;
    for (int8_t number : numbers)
      if (number >= 1 && number <= race.runners && race.scratched[number - 1]) refund = true;
    if (refund) {
      ++line.refunded;
      continue;
    }
    ++line.tickets;
    line.stake += 100;
    int64_t payout = PaidFor(paid, numbers.data(), static_cast<int>(W));
    if (payout > 0) {
      ++line.hits;
      line.returned += payout;
      line.maxReturn = std::max(line.maxReturn, payout);
    }
  }
}

}  // namespace

bool BacktestRaceOf(const RaceDay& day, int slot, const StoredFinish& finish, BacktestRace& race) {
  race = BacktestRace{};
  if (!RaceHasResults(day, slot, finish)) return false;
  int n = day.Runners(slot);
  race.runners = n;
  int starters = 0;
  for (int h = 0; h < n; ++h) starters += !Scratched(finish.abnormal[h]);
  race.placeSold = starters >= 5;
  const RaceCalc& calc = day.Calc[slot];
  const PayoutTable& pay = day.Payouts[slot];
  for (int h = 0; h < n; ++h) {
    race.scratched[h] = Scratched(finish.abnormal[h]);
    race.position[h] = finish.position[h];
    for (const PayoutHorse& e : pay.Win)
      if (e.HorseNo == h + 1) race.winReturn[h] += e.Payout;
    for (const PayoutHorse& e : pay.Place)
      if (e.HorseNo == h + 1) race.placeReturn[h] += e.Payout;
  }
  // A runner carries a sign when any of its ring rows has the mark.
  for (int k = 0; k < kRingRows; ++k) {
    int horse = RingHorse(n, k);
    if (horse < 1 || horse > n) continue;
    for (int s = 0; s < kSignCount; ++s)
      if (HasMark(calc, SignAt(s), k)) race.signs[horse - 1] |= 1u << s;
  }
  race.ranks.runners = n;
  std::copy_n(calc.AwayRank, n, race.ranks.away);
  std::copy_n(calc.HomeRank, n, race.ranks.home);
  std::copy_n(calc.BracketRank, n, race.ranks.bracket);
  std::copy_n(calc.SuiteiRank, n, race.ranks.suitei);
  std::copy_n(calc.AxisMark, n, race.marks.axis);
  std::copy_n(calc.PartnerMark, n, race.marks.partner);
  ReadPaid(pay.Trio, race.trio);
  ReadPaid(pay.Quinella, race.quinella);
  ReadPaid(pay.QuinellaPlace, race.wide);
  ReadPaid(pay.Exacta, race.exacta);
  return true;
}

BacktestGroup RunnerGroup(const BacktestRace& race, int h) {
  BacktestGroup runner;
  runner.runners = 1;
  int position = race.position[h];
  runner.wins = position == 1;
  runner.top2 = position >= 1 && position <= 2;
  runner.top3 = position >= 1 && position <= 3;
  runner.winReturn = race.winReturn[h];
  runner.placeReturn = race.placeSold ? race.placeReturn[h] : 0;
  runner.placeBets = race.placeSold;
  runner.maxWin = runner.winReturn;
  runner.maxPlace = runner.placeReturn;
  return runner;
}

void TallyBase(const BacktestRace& race, BacktestTally& tally) {
  int64_t n = 0;
  for (int h = 0; h < race.runners; ++h)
    if (!race.scratched[h]) {
      tally.all.Add(RunnerGroup(race, h));
      ++n;
    }
  auto add = [&](BetType type, int64_t bought, const auto& paid) {
    if (bought <= 0) return;
    TicketLine& line = tally.pools[static_cast<int>(type)];
    line.tickets += bought;
    line.stake += 100 * bought;
    for (const PaidCombination& e : paid)
      if (e.number[0] != 0 && e.payout > 0) {
        ++line.hits;
        line.returned += e.payout;
        line.maxReturn = std::max<int64_t>(line.maxReturn, e.payout);
      }
  };
  add(BetType::Trio, n * (n - 1) * (n - 2) / 6, race.trio);
  add(BetType::Quinella, n * (n - 1) / 2, race.quinella);
  add(BetType::Wide, n >= 3 ? n * (n - 1) / 2 : 0, race.wide);
  add(BetType::Exacta, n * (n - 1), race.exacta);
}

void TallySignGroups(const BacktestRace& race, BacktestTally& tally) {
  for (int h = 0; h < race.runners; ++h) {
    if (race.scratched[h] || race.signs[h] == 0) continue;
    BacktestGroup runner = RunnerGroup(race, h);
    bool family[kBacktestFamilies] = {};
    for (int s = 0; s < kSignCount; ++s) {
      if (!(race.signs[h] >> s & 1u)) continue;
      tally.signs[s].Add(runner);
      for (int f = 0; f < kBacktestFamilies; ++f)
        if (kSignInfo[s].family == kBacktestFamilyOf[f]) family[f] = true;
    }
    for (int f = 0; f < kBacktestFamilies; ++f)
      if (family[f]) tally.families[f].Add(runner);
  }
}

void TallyRanks(const BacktestRace& race, const RunnerRanks& ranks, const RunnerMarks& marks,
                BacktestTally& tally) {
  for (int h = 0; h < race.runners; ++h) {
    if (race.scratched[h]) continue;
    BacktestGroup runner = RunnerGroup(race, h);
    const int32_t rank[kBacktestRanks] = {ranks.away[h], ranks.home[h], ranks.bracket[h],
                                          ranks.suitei[h]};
    for (int r = 0; r < kBacktestRanks; ++r) {
      if (r == static_cast<int>(BacktestRank::Suitei) && !race.estimated) continue;
      if (int band = RankBand(rank[r]); band >= 0) tally.ranks[r][band].Add(runner);
    }
    if (marks.axis[h] >= 1 && marks.axis[h] <= 3) tally.axis.Add(runner);
    if (marks.partner[h] == 1 && race.estimated) tally.partner.Add(runner);
  }
}

void TallyTickets(const BacktestRace& race, const RunnerMarks& marks, BacktestTally& tally,
                  ProposedCombinations& scratch) {
  ProposeCombinations(marks, race.runners, scratch);
  auto& t = tally.tickets;
  Buy(t[static_cast<int>(BetType::Trio)], scratch.triple, scratch.triples, race, race.trio);
  Buy(t[static_cast<int>(BetType::Quinella)], scratch.pair, scratch.pairs, race, race.quinella);
  Buy(t[static_cast<int>(BetType::Wide)], scratch.pair, scratch.pairs, race, race.wide);
  Buy(t[static_cast<int>(BetType::Exacta)], scratch.orderedPair, scratch.ordered, race,
      race.exacta);
}

}  // namespace sorvix
