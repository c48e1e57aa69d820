#include "print/continuous_card_print.h"

#include <string>
#include <vector>

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "print/print_primitives.h"
#include "store/race_day.h"

namespace sorvix {

namespace {

constexpr int kBlocksPerPage = 12;

// Twelve races to a page, one page per venue.
constexpr PageStyle kContinuousPages{.blocksPerPage = kBlocksPerPage,
                                     .spareRaces = kBlocksPerPage - 1,
                                     .venuePagesNumbered = false,
                                     .dayLabelNumber = "%d",
                                     .dayTitleEnd = "  ",
                                     .titleGap = "  "};

void DrawRunner(TPrevX& prev, const RaceSheet& sheet, const RaceCalc& calc, int k, int x, int y) {
  const int bracket = ReadInt(sheet.BracketNo[k].View());
  FilledCell(prev, x, y, x + 20, y + 20, BracketColor(bracket));
  FilledCell(prev, x + 22, y, x + 44, y + 20, kLightYellow);
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  prev.Canvas().Pen = PagePen{};
  prev.Canvas().Font.Color = BracketTextColor(bracket);
  prev.TextAt(x + 5, y, PageText(sheet.BracketNo[k].View()));
  prev.Canvas().Font.Color = kBlack;
  std::string text = CircledNumberText(sheet.HorseNo[k].View()).bytes() +
                     std::string(CutBytes(sheet.HorseName[k].View(), 18)) + " " +
                     HorseSexText(sheet.Sex[k].View()).bytes() + PadNumber(sheet.Age[k].View()) +
                     " " + sheet.JockeyName[k].Str() + " " +
                     Format("%4.1f", ReadInt(sheet.Burden[k].View()) / 10.0);
  prev.TextAt(x + 22, y, PageText(text));

  struct Box {
    int dx;
    bool on;
    PageColor color;
  };
  const Box boxes[] = {{460, !IsBlank(calc.HStimeS1[k].View()), kAqua},
                       {510, calc.RedFlag[k] == 1, kRed},
                       {560, calc.GreenFlag[k] == 1, kGreen},
                       {610, calc.OrangeFlag[k] == 1, kOrange},
                       {660, calc.BlueFlag[k] == 1, kBlue},
                       {710, calc.YellowFlag[k] == 1, kYellow},
                       {760, !IsBlank(calc.SpsMark[k].View()), kMagenta}};
  for (const Box& box : boxes)
    if (box.on) SignBox(prev, x + box.dx, y, x + box.dx + 40, y + 20, box.color);
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  const int finish = ReadInt(sheet.FinishPos[k].View());
  if (finish > 0) {
    prev.Canvas().Font.Color = RankColor(finish);
    prev.TextAt(x + 810, y, PageText(Format("%2d", finish) + "着"_sj));
  }
  if (sheet.Popularity[k] > 0) {
    prev.Canvas().Font.Color = RankColor(sheet.Popularity[k]);
    prev.TextAt(x + 870, y, PageText(Format("%2d", sheet.Popularity[k]) + "人"_sj));
  }
  prev.Canvas().Font.Color = kBlack;
}

void DrawBlock(TPrevX& prev, const RaceSheet& sheet, const RaceCalc& calc, int x, int top) {
  HeaderBand(prev, RaceKeyVenue(sheet), x, top + 138, x + 925, top + 167);
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  prev.Canvas().Font.Size = 7;
  ThinRule(prev, 70, top + 133, 1930, top + 133);
  prev.TextAt(x, top + 140, RaceHeaderText(sheet, false));
  prev.Canvas().Font.Size = 6;
  for (int k = 0; k < kRingRows; ++k) DrawRunner(prev, sheet, calc, k, x, top + 167 + 21 * k);
  const int runners = ReadInt(sheet.RunnerCount.View());
  for (int m = 0; m < runners && m < kRingRows; ++m) {
    prev.Canvas().Pen = PagePen{kSilver, 1, PenStyle::Solid};
    prev.MoveToAt(x, top + 188 + 21 * m);
    prev.LineToAt(x + 925, top + 188 + 21 * m);
  }
  prev.Canvas().Pen = PagePen{kBlack, prev.ToDeviceWidth(5), PenStyle::Solid};
}

void DrawPage(TPrevX& prev, const RaceDay& day, const PlannedPage& page, BlockOrder order) {
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  SetFont(prev, 13, true, true);
  prev.TextAt(100, 30, page.title);
  prev.Canvas().Font.Size = 8;
  prev.TextAt(1350, 2690, Cp932("by Sorvix for JRA-VAN Data Lab. "));
  SetFont(prev, 9);
  if (!page.mark.empty()) prev.TextAt(1850, 100, page.mark);
  prev.Canvas().Font.Size = 6;
  prev.TextAt(
      80, 2660,
      Cp932("※各馬の表示内容は左から、枠番、馬番、馬名、性別馬齢、騎手、斤量、時刻ｻｲﾝ、赤ｻｲﾝ、緑ｻ"
            "ｲﾝ、橙ｻｲﾝ、青ｻｲﾝ、黄ｻｲﾝ、特ｻｲﾝ、着順、人気です。"));
  prev.Canvas().Font.Size = 8;
  const int venueCode = page.venue < 0 ? 0 : ReadInt(day.DayVenues[page.venue].View());
  for (int j = 0; j < kBlocksPerPage; ++j) {
    const RaceSheet* sheet = nullptr;
    const RaceCalc* calc = nullptr;
    if (page.venue < 0) {
      const int slot = page.first + j;
      if (slot >= kRaceSlots) break;
      sheet = &day.Sheet[slot];
      calc = &day.Calc[slot];
      if (RaceKeyRaceNumber(*sheet) <= 0) continue;
    } else {
      sheet = &day.VenueRaceSheet[page.venue][j];
      calc = &day.VenueRaceCalc[page.venue][j];
      if (RaceKeyVenue(*sheet) != venueCode) break;
    }
    int x, row;
    if (order == BlockOrder::Columns) {
      x = j < 6 ? 70 : 1005;
      row = j < 6 ? j : j - 6;
    } else {
      x = j % 2 == 0 ? 70 : 1005;
      row = j / 2;
    }
    SetFont(prev, 8);
    DrawBlock(prev, *sheet, *calc, x, 420 * row);
  }
  ThinRule(prev, 70, 2653, 1930, 2653);
  ThinRule(prev, 1000, 133, 1000, 2653);
}

}  // namespace

PrintResult PrintContinuousCard(const RaceDay& day, PrintScope scope, BlockOrder order,
                                TPrevX& prev) {
  const DayPrintLayout layout{Cp932("連続出馬表印刷[全開催場]"), Cp932("連続出馬表印刷[競馬場別]"),
                              1, kContinuousPages};
  return PrintDayPages(day, scope, layout, prev,
                       [&](const PlannedPage& page) { DrawPage(prev, day, page, order); });
}

}  // namespace sorvix
