// サイン計算: the signs of one race.  Every ring row of the race gets the
// marks of the signs it shows, its family flags and its sign sum
// (the weights of its marks, the special mark included).
#pragma once

#include "analysis/sign_points.h"

namespace sorvix {

class RaceDay;
struct RaceCalc;

// サイン計算 (CalcSignBtnClick) of race slot `slot`.  The race's marks must
// be empty (as the reset leaves them): the calculation only sets marks and
// adds to the sums.  A race without a valid entered-runner count, or a slot
// outside 0..35, gets nothing.
void CalculateSigns(RaceDay& day, int slot, const SignPoints& points);

// Adds the weight of every present mark of ring row `row` to its sign sum.
void AddSignWeights(RaceCalc& calc, int row, const SignPoints& points);

}  // namespace sorvix
