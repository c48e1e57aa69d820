// The race-sheet and sign steps of a date's analysis, as the loader runs
// them after reading the date (LoadOptions::analysis).  The full order is:
//   AssignmentStep (代入), the payout import (払戻取込),
//   SignCalculationStep (サイン計算, each race), VenueSignCopyStep (計算後代入),
//   the sign index (each race) and the betting combinations (each race).
#pragma once

#include "analysis/sign_points.h"
#include "store/race_day_loader.h"

namespace sorvix {

// 代入 (day scope).
AnalysisStep AssignmentStep();
// サイン計算 for every race-list row, with the weights given (read from the
// settings file when the load starts).
AnalysisStep SignCalculationStep(const SignPoints& points);
// 計算後代入 (day scope).
AnalysisStep VenueSignCopyStep();

}  // namespace sorvix
