#include "print/ring_card_print.h"

#include <string>
#include <vector>

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "print/print_primitives.h"
#include "store/race_day.h"

namespace sorvix {

namespace {

constexpr int kBlockHeight = 630;
constexpr int kBlocksPerPage = 3;

// Three races to a page, a venue's races on pages of their own; a day or
// venue of fewer than four races has no page.
constexpr PageStyle kRingPages{.blocksPerPage = kBlocksPerPage,
                               .spareRaces = 2,
                               .venuePagesNumbered = true,
                               .dayLabelNumber = "%2d",
                               .dayTitleEnd = "",
                               .titleGap = "\x81\x40"};  // "　"

bool StartsWithLatinLetter(std::string_view name) {
  if (name.empty()) return false;
  char c = name[0];
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void DrawRow(TPrevX& prev, const RaceSheet& sheet, const RaceCalc& calc, int k, int top) {
  const int x0 = RingColumnLeft(k);
  RingBracketAndNumber(prev, sheet, k, top);

  const int popularity = sheet.Popularity[k];
  if (popularity > 0) {
    prev.Canvas().Font.Color = RankColor(popularity);
    prev.TextAt(popularity > 9 ? x0 + 2 : x0 + 8, top + 240, PageText(Format("%d", popularity)));
    prev.TextAt(x0 + 2, top + 270, Cp932("人"));
  }
  const int finish = ReadInt(sheet.FinishPos[k].View());
  if (finish > 0) {
    prev.Canvas().Font.Color = RankColor(finish);
    prev.TextAt(finish > 9 ? x0 + 2 : x0 + 8, top + 340, PageText(Format("%d", finish)));
    prev.TextAt(x0 + 2, top + 370, Cp932("着"));
  }
  prev.Canvas().Font.Color = kBlack;
  prev.TextAt(x0 + 115, top + 340, HorseSexText(sheet.Sex[k].View()));
  prev.TextAt(x0 + 115, top + 370, PageText(PadNumber(sheet.Age[k].View())));
  VerticalName(prev, x0 + 62, top + 160, 26, PageText(sheet.HorseName[k].View()), 9);
  prev.Canvas().Font.Size = 6;
  if (!StartsWithLatinLetter(sheet.SireName[k].View()))
    VerticalName(prev, x0 + 92, top + 160, 26, PageText(sheet.SireName[k].View()), 9);
  VerticalName(prev, x0 + 32, top + 160, 26, PageText(sheet.DamName[k].View()), 9);
  prev.Canvas().Font.Size = 8;
  prev.TextAt(x0 + 5, top + 402, HorseSymbolText(sheet.HorseSymbol[k].View()));
  prev.TextAt(x0 + 10, top + 432, PageText(TrimRight(sheet.JockeyName[k].View())));
  const int burden = ReadInt(sheet.Burden[k].View());
  if (burden >= 1) prev.TextAt(x0 + 20, top + 462, PageText(Format("%4.1fkg", burden / 10.0)));
  prev.TextAt(x0 + 10, top + 492, PageText(TrimRight(sheet.TrainerName[k].View())));

  const int horse = ReadInt(sheet.HorseNo[k].View());
  if (horse >= 1 && horse <= 18) {
    const int ranks[] = {calc.AwayRank[horse - 1], calc.HomeRank[horse - 1],
                         calc.SuiteiRank[horse - 1]};
    for (int r = 0; r < 3; ++r) {
      if (ranks[r] <= 0) continue;
      prev.Canvas().Font.Color = RankColor(ranks[r]);
      prev.TextAt(x0 + 10 + 50 * r, top + 522, PageText(Format("%2d", ranks[r])));
    }
    prev.Canvas().Font.Color = kBlack;
  }

  if (!IsBlank(calc.HStimeS1[k].View()))
    SignBox(prev, x0 + 15, top + 555, x0 + 65, top + 580, kAqua);
  if (calc.RedFlag[k] == 1) SignBox(prev, x0 + 80, top + 555, x0 + 130, top + 580, kRed);
  if (calc.GreenFlag[k] == 1) SignBox(prev, x0 + 15, top + 585, x0 + 65, top + 610, kGreen);
  if (calc.OrangeFlag[k] == 1) SignBox(prev, x0 + 80, top + 585, x0 + 130, top + 610, kOrange);
  if (calc.BlueFlag[k] == 1) SignBox(prev, x0 + 15, top + 615, x0 + 65, top + 640, kBlue);
  if (calc.YellowFlag[k] == 1) SignBox(prev, x0 + 80, top + 615, x0 + 130, top + 640, kYellow);
  if (!IsBlank(calc.SpsMark[k].View()))
    SignBox(prev, x0 + 15, top + 645, x0 + 65, top + 670, kMagenta);
  prev.Canvas().Brush.Style = BrushStyle::Clear;
}

void DrawCaptions(TPrevX& prev, int top) {
  struct Caption {
    int x, y;
    const char* text;
  };
  static const Caption kEight[] = {
      {2720, 99, "枠番"},       {2720, 130, "馬番"},      {2710, 402, "馬記号"},
      {2710, 432, "騎手名"},    {2720, 462, "斤量"},      {2710, 492, "調教師"},
      {2690, 522, "ｱｳｪ/ﾎｰ/推"}, {2690, 555, "時サ 赤サ"}, {2690, 585, "緑サ 橙サ"},
      {2690, 615, "青サ 黄サ"}, {2690, 645, "特サ"},      {2682, 240, "人"},
      {2682, 270, "気"},        {2682, 340, "着"},        {2682, 370, "順"},
      {2795, 340, "性"},        {2795, 370, "齢"},        {2742, 160, "馬"},
      {2742, 190, "名"}};
  static const Caption kSeven[] = {
      {2772, 160, "父"}, {2772, 190, "馬"}, {2712, 160, "母"}, {2712, 190, "馬"}};
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  SetFont(prev, 8);
  for (const Caption& c : kEight) prev.TextAt(c.x, top + c.y, Cp932(c.text));
  prev.Canvas().Font.Size = 7;
  for (const Caption& c : kSeven) prev.TextAt(c.x, top + c.y, Cp932(c.text));
}

void DrawBlock(TPrevX& prev, const RaceDay& day, int slot, const RaceSheet& sheet,
               const RaceCalc& calc, int block) {
  if (RaceKeyRaceNumber(sheet) <= 0) return;
  const int top = kBlockHeight * block;
  HeaderBand(prev, RaceKeyVenue(sheet), 70, top + 64, 2825, top + 97);
  ThinRule(prev, 70, top + 63, 2825, top + 63);
  prev.Canvas().Font.Size = 7;
  prev.TextAt(70, top + 67, RaceHeaderText(sheet));
  const Cp932Text result = RaceResultText(day, slot, sheet);
  if (!result.empty()) prev.TextAt(1070, top + 67, result);
  prev.Canvas().Font.Size = 6;
  FilledCell(prev, 2680, top + 97, 2824, top + 690, kSilver);
  for (int k = 0; k < kRingRows; ++k) DrawRow(prev, sheet, calc, k, top);
  for (int k = 0; k < kRingRows; ++k) {
    const int x = RingColumnRight(k) + 1;
    DotRule(prev, x, top + 97, x, top + 694, ReadInt(sheet.HorseNo[k].View()) == 1 ? 10 : 1);
  }
  for (int y : {97, 127, 157, 400, 430, 460, 490, 520, 550, 693})
    ThinRule(prev, 70, top + y, 2825, top + y);
  ThinRule(prev, 70, 1953, 2825, 1953);
  DrawCaptions(prev, top);
}

void DrawPage(TPrevX& prev, const RaceDay& day, const PlannedPage& page) {
  SetFont(prev, 11, true, true);
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  prev.TextAt(100, 10, page.title);
  SetFont(prev, 9);
  prev.TextAt(2600, 20, page.mark);
  for (int b = 0; b < kBlocksPerPage; ++b) {
    const int index = page.first + b;
    if (page.venue < 0) {
      if (index >= kRaceSlots) break;
      DrawBlock(prev, day, index, day.Sheet[index], day.Calc[index], b);
      continue;
    }
    if (index >= kVenueRaces) break;
    const RaceSheet& sheet = day.VenueRaceSheet[page.venue][index];
    if (RaceKeyVenue(sheet) != ReadInt(day.DayVenues[page.venue].View())) break;
    const int slot =
        index < day.VenueRaceCount[page.venue] ? day.SlotByVenue[page.venue][index] : -1;
    DrawBlock(prev, day, slot, sheet, day.VenueRaceCalc[page.venue][index], b);
  }
  ThinRule(prev, 70, 63, 70, 1953);
  ThinRule(prev, 2825, 63, 2825, 1953);
}

}  // namespace

PrintResult PrintRingCard(const RaceDay& day, PrintScope scope, TPrevX& prev) {
  const DayPrintLayout layout{Cp932("出馬表リング印刷[全開催場]"),
                              Cp932("リング出馬表印刷[競馬場別]"), 2, kRingPages};
  return PrintDayPages(day, scope, layout, prev,
                       [&](const PlannedPage& page) { DrawPage(prev, day, page); });
}

}  // namespace sorvix
