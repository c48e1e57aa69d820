// The 28 marks of a race's RaceCalc reached by sign, as the sign table, the
// sums and the per-venue copy walk them.
#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/sign_kinds.h"
#include "common/race_calc.h"

namespace sorvix {

// Calls f(field) with the 18-row mark field of `sign` (RaceCalc or const
// RaceCalc); f must return the same type for every field width.
template <class Calc, class F>
decltype(auto) VisitMarkField(Calc& calc, Sign sign, F&& f) {
  switch (sign) {
    case Sign::Special1:
      return f(calc.SpsMark);
    case Sign::Red1:
      return f(calc.Red1);
    case Sign::Red2:
      return f(calc.Red2);
    case Sign::Red3:
      return f(calc.Red3);
    case Sign::Red4:
      return f(calc.Red4);
    case Sign::Red5:
      return f(calc.Red5);
    case Sign::Red6:
      return f(calc.Red6);
    case Sign::Red7:
      return f(calc.Red7);
    case Sign::Red8:
      return f(calc.Red8);
    case Sign::Red9:
      return f(calc.Red9);
    case Sign::Red10:
      return f(calc.Red10);
    case Sign::Red11:
      return f(calc.Red11);
    case Sign::Green1:
      return f(calc.Green1);
    case Sign::Green2:
      return f(calc.Green2);
    case Sign::Green3:
      return f(calc.Green3);
    case Sign::Green4:
      return f(calc.Green4);
    case Sign::Green5:
      return f(calc.Green5);
    case Sign::Green6:
      return f(calc.Green6);
    case Sign::Orange1:
      return f(calc.Orange1);
    case Sign::Orange2:
      return f(calc.Orange2);
    case Sign::Orange3:
      return f(calc.Orange3);
    case Sign::Orange4:
      return f(calc.Orange4);
    case Sign::Orange5:
      return f(calc.Orange5);
    case Sign::Orange6:
      return f(calc.Orange6);
    case Sign::Orange7:
      return f(calc.Orange7);
    case Sign::Blue1:
      return f(calc.Blue1);
    case Sign::Yellow1:
      return f(calc.Yellow1);
    case Sign::HStimeS1:
      break;
  }
  return f(calc.HStimeS1);
}

// The mark text of `sign` on ring row `row` (0..17); empty = no sign.
inline std::string_view MarkText(const RaceCalc& calc, Sign sign, int row) {
  return VisitMarkField(calc, sign,
                        [row](const auto& field) { return std::string_view(field[row]); });
}
inline bool HasMark(const RaceCalc& calc, Sign sign, int row) {
  return !MarkText(calc, sign, row).empty();
}

// Writes the mark, cut to the sign's width.
inline void SetMark(RaceCalc& calc, Sign sign, int row, std::string_view text) {
  VisitMarkField(calc, sign, [row, text](auto& field) { field[row] = text; });
}

// The family flag row of a family that has one (nullptr for the special
// mark and the post-time sign).
inline uint8_t* FamilyFlags(SignValues& values, SignFamily family) {
  switch (family) {
    case SignFamily::Red:
      return values.RedFlag;
    case SignFamily::Green:
      return values.GreenFlag;
    case SignFamily::Orange:
      return values.OrangeFlag;
    case SignFamily::Blue:
      return values.BlueFlag;
    case SignFamily::Yellow:
      return values.YellowFlag;
    case SignFamily::Special:
    case SignFamily::Time:
      break;
  }
  return nullptr;
}

}  // namespace sorvix
