// JV-Data code tables and small text helpers.  Every function is pure: CP932
// in, CP932 out, widths in bytes, trailing blanks part of the result.  An
// input no row matches gives the helper's default text, never an error.
#pragma once

#include <string>
#include <string_view>

namespace sorvix {

// The number of the text right-aligned in a field of the text's own byte
// length; 0 gives blanks.  "05" → " 5", "00" → "  ", "" → "".
std::string PadNumber(std::string_view number);

// Writes `piece` over `text` at the 1-based position (a position past the
// end appends).
std::string OverwriteAt(std::string_view text, std::string_view piece, int pos);

std::string GradeText(std::string_view code);           // always 5 bytes
std::string WeightRuleText(std::string_view code);      // 4 bytes or empty
std::string HorseSymbolText(std::string_view code);     // marks or "　"
int BracketComboIndex(std::string_view label);          // " 1- 1" → 1 … " 8- 8" → 36, else 0
std::string QuinellaComboLabel(int index);              // 1 → " 1- 2" … 153 → "17-18"
std::string VenueShortName(std::string_view code);      // always 6 bytes
std::string VenueName(std::string_view code);           // always 4 bytes
std::string StripWideSpaces(std::string_view text);
std::string CircledNumber(int n);                       // ①..⑱ or "－"
std::string CircledNumberText(std::string_view number);
std::string RaceClassText(std::string_view code);
std::string TrackText(std::string_view code);           // 4 bytes or empty
std::string GenderText(std::string_view code);          // 2 bytes
std::string HorseSexText(std::string_view code);
std::string VenueByIndex(std::string_view index);       // 4 bytes

}  // namespace sorvix
