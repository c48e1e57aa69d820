// RunnerFile: 216 lines of 553 characters, one per race (1–12) and horse
// number (1–18); a line without a runner is 553 blanks.  Lines are never
// sorted, so the line number alone finds a runner.
#pragma once

#include <string>
#include <vector>

#include "store/store_paths.h"

namespace sorvix {

inline constexpr int kRunnerLineWidth = kSeLength - 2;
inline constexpr int kRunnerRaces = kRunnerFileLines / 18;

// 216 blank lines: a new RunnerFile.
std::vector<std::string> BlankRunnerLines();

// The line of race `race` and horse `horse`, (race − 1) × 18 + horse − 1,
// counted from 0; −1 when the race is not 1–12 or the horse not 1–18.
int RunnerLineIndex(int race, int horse);

// A loaded RunnerFile with lines missing at its end (a damaged file) is
// completed with blank lines up to 216, so every runner has its line.
void CompleteRunnerLines(std::vector<std::string>& lines);

}  // namespace sorvix
