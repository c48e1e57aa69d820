// 代入 and 計算後代入: the race sheets of the day and their per-venue
// layout.
#pragma once

namespace sorvix {

class LoadProgress;
class RaceDay;

// 代入 (DainyuBtnClick): marks each runner whose jockey rides only once on
// the day and each whose trainer has only that runner, fills the RaceSheet
// of race slots 0 .. RaceCount - 1 (header and ring rows), places every race
// by venue and ordinal (VenueOfSlot, OrdinalOfSlot, SlotByVenue,
// VenueRaceCount) and fills the per-venue copies VenueRaceSheet.  Reports
// each ring row to `progress`.
void AssignRaceSheets(RaceDay& day, LoadProgress& progress);

// 計算後代入 (DainyuBtn2Click): copies the sign values of every race's
// RaceCalc (flags, the 28 marks, the sign sums and the sign index rows) into
// its per-venue copy VenueRaceCalc.
void CopyVenueSignValues(RaceDay& day);

}  // namespace sorvix
