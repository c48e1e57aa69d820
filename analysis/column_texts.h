// The texts of the race tables' headings and mark columns, from one place
// for every table that shows them: the sign table and the race card of the
// main window, their CSV, the terminal table of sorvix-cli, サイン検証 and
// the SQLite export.  UTF-8.
#pragma once

#include <string>

#include "analysis/sign_kinds.h"

namespace sorvix {

// A family's colour as its column heads read: 特, 赤, 緑, 橙, 青, 黄, 時.
const char* FamilyName(SignFamily family);

// The heading of a sign's column: its family and, in the numbered families
// (赤, 緑, 橙), its number within the family — "赤" "1"; "特" "".
struct SignHeading {
  std::string family;
  std::string number;
  // On one line: "赤1", "特".
  std::string Joined() const { return family + number; }
};
SignHeading SignHeadingOf(Sign sign);

// The axis mark of a runner (RaceCalc::AxisMark): ◎ for 1, ● for 2, ▲ for 3,
// empty otherwise.
const char* AxisMarkText(int mark);
// The partner mark (RaceCalc::PartnerMark): ○ for 1, empty otherwise.
const char* PartnerMarkText(int mark);

}  // namespace sorvix
