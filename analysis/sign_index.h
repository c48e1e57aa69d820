// The sign index (サイン指数): relates each runner's sign sum to the runners
// that correspond to it in the neighbouring races (the previous and next
// race-list entries: away; the previous and next race at the same venue:
// home), averages away + home per bracket and ranks brackets and horses.
#pragma once

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

}  // namespace sorvix
