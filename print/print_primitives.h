// Drawing pieces the race-card prints share: the colour tables, the header
// band and its text, the result line, bracket and number cells, thin rules
// and vertical names.  Everything draws through TPrevX in tenths of a
// millimetre; texts are CP932.
#pragma once

#include <string>
#include <string_view>

#include "common/race_sheet.h"
#include "print/page_model.h"

namespace sorvix {

class RaceDay;

inline constexpr PageColor kWhite = 0xFFFFFF;
inline constexpr PageColor kBlack = 0x000000;
inline constexpr PageColor kRed = 0xFF0000;
inline constexpr PageColor kBlue = 0x0000FF;
inline constexpr PageColor kYellow = 0xFFFF00;
inline constexpr PageColor kGreen = 0x00FF00;
inline constexpr PageColor kOrange = 0xFF8000;
inline constexpr PageColor kPink = 0xFF80C0;
inline constexpr PageColor kAqua = 0x00FFFF;
inline constexpr PageColor kMaroon = 0x800000;
inline constexpr PageColor kLightYellow = 0xFFFFE1;
inline constexpr PageColor kSilver = 0xC0C0C0;
inline constexpr PageColor kMagenta = 0xFF00FF;

// The colour of venue codes 1–10 and the text colour on it; other codes
// give white with black text.
PageColor VenueColor(int venue);
PageColor VenueTextColor(int venue);
// The colour of brackets 1–8 and the text colour on it; other brackets give
// white with black text.
PageColor BracketColor(int bracket);
PageColor BracketTextColor(int bracket);
// Rank 1 red, 2 and 3 blue, any other black.
PageColor RankColor(int rank);

// The font every race-card print uses.
Cp932Text PrintFontName();
void SetFont(TPrevX& prev, int points, bool bold = false, bool underline = false,
             PageColor color = kBlack);

// A line of pen width ToDeviceWidth(5), black and solid.
void ThinRule(TPrevX& prev, int x1, int y1, int x2, int y2);
// A line `dots` printer dots wide, black and solid.
void DotRule(TPrevX& prev, int x1, int y1, int x2, int y2, int dots);
// A rectangle with pen and solid fill in one colour.
void FilledCell(TPrevX& prev, int x1, int y1, int x2, int y2, PageColor color);
// A rectangle with a black pen and a solid fill.
void SignBox(TPrevX& prev, int x1, int y1, int x2, int y2, PageColor fill);

// Parts of the race key "yyyymmddvvkkddrr".
int RaceKeyVenue(const RaceSheet& sheet);
int RaceKeyRaceNumber(const RaceSheet& sheet);
// year + "年" + month + "月" + day + "日".
Cp932Text RaceKeyDateTitle(const RaceSheet& sheet);
// VenueName + meeting number + "回" + day number + "日".
Cp932Text RaceKeyMeetingTitle(const RaceSheet& sheet);

// The header line of a race block: "【中山 1R】09:50 16頭 …", without the post
// time when `withTime` is false ("【中山 1R】16頭 …").
Cp932Text RaceHeaderText(const RaceSheet& sheet, bool withTime = true);
// The first `bytes` bytes of a CP932 text, never ending in half a character.
std::string_view CutBytes(std::string_view text, size_t bytes);
// The first three places of the race's SeRec (slot), each led by its place
// prefix; empty before results exist.
Cp932Text RaceResultText(const RaceDay& day, int slot, const RaceSheet& sheet);

// Up to `count` characters of a name, each drawn on its own line from (x, y)
// downward `step` apart; "ー" is drawn as "｜".
void VerticalName(TPrevX& prev, int x, int y, int step, Cp932View name, int count);

// CP932 bytes composed from record or sheet fields, digits and CP932
// pieces, as the text a page shows.
inline Cp932View PageText(std::string_view bytes) {
  return Cp932View::FromBytes(bytes);
}

// The ring rows of the two ring layouts run right to left: ring row k's
// column spans x = RingColumnLeft(k) .. RingColumnRight(k).
constexpr int RingColumnRight(int k) {
  return 2679 - 145 * k;
}
constexpr int RingColumnLeft(int k) {
  return RingColumnRight(k) - 144;
}

// The bracket and horse-number cells of ring row k's column in a block at
// `top` (the ring card's and the batch ring table's): the bracket number on
// its bracket colour, the circled horse number on light yellow; the font
// is left 8 point black.
void RingBracketAndNumber(TPrevX& prev, const RaceSheet& sheet, int k, int top);

// The colour band a race block starts with (pen none, venue-coloured fill);
// the font colour becomes the venue's text colour.
void HeaderBand(TPrevX& prev, int venue, int x1, int y1, int x2, int y2);

}  // namespace sorvix
