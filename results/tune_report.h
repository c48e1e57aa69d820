// 配点最適化 written out: JSON and CSV (UTF-8) of a tuning run, carrying its
// inputs (objective, estimate source, seed, the three point sets) so that a
// run can be repeated, and every figure the report shows.
#pragma once

#include <string>

#include "results/tune_run.h"

namespace sorvix {

// The labels of the point sets and of the base rate (UTF-8).
const char* TuneSetLabel(int set);  // 最適化, 現在, 初期値
extern const char* const kTuneBaseLabel;

// "12.3%"
std::string PercentText(double percent);

// The JSON text (one object, a newline at the end).
std::string TuneJson(const TuneResult& result);

// The CSV text with a byte-order mark: sections "input", "verdict",
// "test" (one figure of the test dates per line: base rate, then each set's
// figure, interval and whether it clears the base), "fold" (the same
// columns for the objective of one fold's test dates, with each set's
// training figure in place of "clears") and "points" (the three sets).
std::string TuneCsv(const TuneResult& result);

}  // namespace sorvix
