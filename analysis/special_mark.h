// The special mark (特): set and cleared by hand in the sign table, kept in
// the date's save-mark file, and worth the weight "Special1" in the sums.
#pragma once

namespace sorvix {

class RaceDay;

// Toggles the special mark of the horse on ring row `ringRow` of race
// `slot`, on every ring row of that horse: a marked row is cleared and loses
// `weight` from its sign sum, an unmarked one is marked and gains it; the
// save-mark buffer follows.  Rows outside 0..17 change nothing.
void ToggleSpecialMark(RaceDay& day, int slot, int ringRow, int weight);

// Saveチェック (SaveCheckBtnClick): writes the save-mark buffer to the
// loaded date's file.
void SaveSpecialMarks(const RaceDay& day);

// The whole click on column 特 (SpecialMarkClick): toggle, save, then the
// per-venue copy and the sign index of every race again.
void ToggleSpecialMarkAndRecalculate(RaceDay& day, int slot, int ringRow, int weight);

}  // namespace sorvix
