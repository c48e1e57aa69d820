// One race as the sign rules see it: its raw runner records, its race sheet
// and the RaceCalc the marks go to.  Each colour family lives in its own
// file (signs_red.cpp, signs_green.cpp, ...) and works through this.
#pragma once

#include <string_view>

#include "analysis/ring_layout.h"
#include "analysis/sign_kinds.h"
#include "common/record_fields.h"
#include "store/race_day.h"

namespace sorvix {

class SignRace {
 public:
  SignRace(RaceDay& day, int slot);

  int runners() const { return runners_; }
  const RaImage& Ra() const { return day_.RaRec[slot_]; }
  // SE and KS of runner h = 0 .. runners() - 1.
  const SeImage& Se(int h) const { return day_.SeRec[slot_][h]; }
  const KsImage& Ks(int h) const { return day_.KsRec[slot_][h]; }
  const RaceSheet& sheet() const { return day_.Sheet[slot_]; }
  const RaceCalc& calc() const { return day_.Calc[slot_]; }

  // Writes the mark of `sign` on ring row `row` and sets the row's family
  // flag.  An empty text is no mark and sets nothing.
  void Mark(Sign sign, int row, std::string_view text);

  // The unique-attribute rule: when exactly one runner's records have the
  // attribute (runnerHas(h)), every ring row whose sheet has it (rowHas(k))
  // receives mark(k); with none or several nothing is marked.
  template <class RunnerHas, class RowHas, class MarkOf>
  void MarkUnique(Sign sign, RunnerHas runnerHas, RowHas rowHas, MarkOf mark) {
    int count = 0;
    for (int h = 0; h < runners_; ++h) {
      if (runnerHas(h)) ++count;
    }
    if (count != 1) return;
    for (int k = 0; k < kRingRows; ++k) {
      if (rowHas(k)) Mark(sign, k, mark(k));
    }
  }

 private:
  RaceDay& day_;
  int slot_;
  int runners_;
};

// The families, in the order the calculation runs them.
void CalcRedSigns(SignRace& race);
void CalcGreenSigns(SignRace& race);
void CalcOrangeSigns(SignRace& race);
void CalcNeighbourSigns(SignRace& race);  // Blue1, Yellow1
void CalcTimeSign(SignRace& race);        // HStimeS1

}  // namespace sorvix
