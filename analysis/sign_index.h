// The sign index (サイン指数): relates each runner's sign sum to the runners
// that correspond to it in the neighbouring races (the previous and next
// race-list entries: away; the previous and next race at the same venue:
// home), averages away + home per bracket and ranks brackets and horses.
#pragma once

#include <cstdint>

#include "analysis/sign_kinds.h"
#include "common/day_slots.h"

namespace sorvix {

class RaceDay;

// サイン指数 (SignSisuBtnClick): computes AwayIndex, HomeIndex,
// BracketAverage, BracketRank, AwayRank and HomeRank of race slot `slot`
// from scratch, then copies them with SuiteiRank into the race's
// VenueRaceCalc.  Needs the sign sums of the race and of its neighbours.  A
// race without runners, or a slot outside 0..35, is left alone.
void ComputeSignIndex(RaceDay& day, int slot);

// The horses of a neighbour race of `m` runners that correspond to horse
// `h` of a race of `n` runners: a, b and c, each 0 when it names no horse
// (outside 1..m).
struct CorrespondingHorses {
  int a = 0, b = 0, c = 0;
};
CorrespondingHorses CorrespondingHorsesOf(int h, int n, int m);

// The ring row at which horse `horse` of a race of `m` runners stands in the
// last cycle of its ring: 18 − m + horse − 1.
inline int LastCycleRingRow(int horse, int m) {
  return kRingRows - m + horse - 1;
}

// The neighbours of race slot `s` (−1: none).
struct NeighbourRaces {
  int listPrevious = -1, listNext = -1;
  int venuePrevious = -1, venueNext = -1;
};
NeighbourRaces NeighbourRacesOf(const RaceDay& day, int s);

// The index values of one race's runners, by horse number − 1.  The away
// and home index and the bracket numbers go in; RankSignIndex fills the
// bracket average and the three ranks exactly as ComputeSignIndex does.
struct RunnerIndex {
  int runners = 0;
  int8_t bracket[kHorseSlots] = {};  // 1–8; anything else: no bracket
  int32_t awayIndex[kHorseSlots] = {};
  int32_t homeIndex[kHorseSlots] = {};
  int32_t bracketAverage[kHorseSlots] = {};
  int32_t bracketRank[kHorseSlots] = {};
  int32_t awayRank[kHorseSlots] = {};
  int32_t homeRank[kHorseSlots] = {};
};
void RankSignIndex(RunnerIndex& index);

// How often each sign stands among the horses whose sign sums make a
// runner's away and home index: the index is the sum over the signs of
// the sign's point times its count, whatever the points.  A mark counts
// once per ring row the index reads, so a horse read twice counts twice.
struct SignIndexCounts {
  uint8_t away[kHorseSlots][kSignCount] = {};
  uint8_t home[kHorseSlots][kSignCount] = {};
};
// The counts of race slot `slot` (all zero for a race without runners).
SignIndexCounts SignIndexCountsOf(const RaceDay& day, int slot);

}  // namespace sorvix
