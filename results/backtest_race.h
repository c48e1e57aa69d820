// One race of サイン検証 as the tally reads it: how each runner finished and
// what its win and place tickets paid, the signs it carried, its ranks and
// betting marks, and the paid combinations of the race.  The backtest takes
// it from a loaded and analysed day; the sign point tuning keeps it and
// gives it the ranks and marks of other sign points, so both count a race
// with the same functions.
#pragma once

#include <array>
#include <cstdint>

#include "common/day_slots.h"
#include "results/backtest.h"
#include "results/betting_combinations.h"

namespace sorvix {

class RaceDay;

// A paid combination of a bet type: its horse numbers in the payout
// record's order (0: no result) and its payout in yen.
struct PaidCombination {
  std::array<int8_t, 3> number{};
  int32_t payout = 0;
};

struct BacktestRace {
  int runners = 0;
  // 複勝 is sold from five starters on: a smaller race buys no place ticket.
  bool placeSold = false;
  // The race had an estimate (with predicted odds, only a race with its
  // odds line): else its estimate rank and ○ count nowhere.  Set by the
  // caller, which knows the estimate source.
  bool estimated = true;
  bool scratched[kHorseSlots] = {};   // 異常区分 1–3: did not run
  int8_t position[kHorseSlots] = {};  // final position as stored (0: none)
  uint32_t signs[kHorseSlots] = {};   // bit s: the runner carries sign s on a ring row
  int32_t winReturn[kHorseSlots] = {};
  int32_t placeReturn[kHorseSlots] = {};
  RunnerRanks ranks;
  RunnerMarks marks;
  std::array<PaidCombination, 3> trio{};
  std::array<PaidCombination, 3> quinella{};
  std::array<PaidCombination, 7> wide{};
  std::array<PaidCombination, 6> exacta{};
};

// Race slot `slot` of an analysed day with its stored finishes; false when
// the race has no results (no payout record, or no runner with a final
// position), which the backtest counts as skipped.
bool BacktestRaceOf(const RaceDay& day, int slot, const StoredFinish& finish, BacktestRace& race);

// A runner of the race as a group of one (its finish and its returns).
BacktestGroup RunnerGroup(const BacktestRace& race, int h);

// The base rates: every runner that ran (全馬) and every combination of
// each bet type among them bought at 100 yen (the whole pool).
void TallyBase(const BacktestRace& race, BacktestTally& tally);

// The groups that do not depend on the sign points: each sign and family.
void TallySignGroups(const BacktestRace& race, BacktestTally& tally);

// The groups that do, from `ranks` and `marks` (the race's own, or those
// of other points): the rank bands and the axis and partner groups (the
// estimate's rank and ○ only in a race that had its estimate), and the
// proposed tickets (`scratch` holds them while they are bought).
void TallyRanks(const BacktestRace& race, const RunnerRanks& ranks, const RunnerMarks& marks,
                BacktestTally& tally);
void TallyTickets(const BacktestRace& race, const RunnerMarks& marks, BacktestTally& tally,
                  ProposedCombinations& scratch);

}  // namespace sorvix
