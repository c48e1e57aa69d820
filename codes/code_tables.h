// JV-Data code tables and small text helpers.  Every function is pure:
// codes and fields in as CP932 bytes, widths in bytes, trailing blanks part
// of the result.  The names and marks of the tables come out as CP932 text;
// the helpers that work on a field's bytes (PadNumber, OverwriteAt, the
// combination labels, StripWideSpaces) give bytes.  An input no row matches
// gives the helper's default text, never an error.
#pragma once

#include <string>
#include <string_view>

#include "codes/cp932_text.h"

namespace sorvix {

// The number of the text right-aligned in a field of the text's own byte
// length; 0 gives blanks.  "05" → " 5", "00" → "  ", "" → "".
std::string PadNumber(std::string_view number);

// Writes `piece` over `text` at the 1-based position (a position past the
// end appends).
std::string OverwriteAt(std::string_view text, std::string_view piece, int pos);

Cp932Text GradeText(std::string_view code);        // always 5 bytes
Cp932Text WeightRuleText(std::string_view code);   // 4 bytes or empty
Cp932Text HorseSymbolText(std::string_view code);  // marks or "　"
int BracketComboIndex(std::string_view label);     // " 1- 1" → 1 … " 8- 8" → 36, else 0
std::string QuinellaComboLabel(int index);         // 1 → " 1- 2" … 153 → "17-18"
Cp932Text VenueShortName(std::string_view code);   // always 6 bytes
Cp932Text VenueName(std::string_view code);        // always 4 bytes
std::string StripWideSpaces(std::string_view text);
Cp932Text CircledNumber(int n);  // ①..⑱ or "－"
Cp932Text CircledNumberText(std::string_view number);
Cp932Text RaceClassText(std::string_view code);
Cp932Text TrackText(std::string_view code);   // 4 bytes or empty
Cp932Text GenderText(std::string_view code);  // 2 bytes
Cp932Text HorseSexText(std::string_view code);
Cp932Text VenueByIndex(std::string_view index);  // 4 bytes

}  // namespace sorvix
