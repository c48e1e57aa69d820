// Shared steps of the sign tests: run the assignment and the sign
// calculation of one race, and read a sign's marks as UTF-8 texts.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "analysis/race_sheet_assignment.h"
#include "analysis/ring_layout.h"
#include "analysis/sign_calculation.h"
#include "analysis/sign_marks.h"
#include "codes/cp932.h"
#include "store/load_progress.h"
#include "store/race_day.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix::test {

// 代入 for the whole day, then サイン計算 for `slot`.
inline void Calculate(RaceDay& day, int slot, const SignPoints& points = SignPoints::Defaults()) {
  LoadProgress quiet;
  AssignRaceSheets(day, quiet);
  CalculateSigns(day, slot, points);
}

// The marks of `sign` on ring rows 0..17 as UTF-8 ("" = no mark).
inline std::vector<std::string> Marks(const RaceDay& day, int slot, Sign sign) {
  std::vector<std::string> marks;
  for (int k = 0; k < kRingRows; ++k) marks.push_back(Utf8Bytes(MarkText(day.Calc[slot], sign, k)));
  return marks;
}

// 18 rows with the given marks on the given rows and none elsewhere.
inline std::vector<std::string> Rows(std::initializer_list<std::pair<int, const char*>> marked) {
  std::vector<std::string> rows(kRingRows);
  for (const auto& [row, text] : marked) rows[static_cast<size_t>(row)] = text;
  return rows;
}
inline std::vector<std::string> NoRows() {
  return Rows({});
}

}  // namespace sorvix::test
