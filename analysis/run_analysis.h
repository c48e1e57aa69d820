// The analysis of a loaded date, in the order the loader runs it after
// reading the date: assignment (代入); payout import (払戻取込); the sign
// calculation of every race (サイン計算); the per-venue copy (計算後代入); the
// sign index of every race (サイン指数); the axis and partner selection of
// every race (買い目).
#pragma once

#include <vector>

#include "analysis/sign_points.h"
#include "store/race_day_loader.h"

namespace sorvix {

// The steps for LoadOptions::analysis, with the sign points read when the
// load starts.
std::vector<AnalysisStep> DayAnalysisSteps(const SignPoints& points);

// After a special mark changed: the per-venue copy again and the sign index
// of every race-list row, in order.
void RerunSignIndex(RaceDay& day);

}  // namespace sorvix
