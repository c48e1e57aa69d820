#include "print/batch_ring_print.h"

#include <string>
#include <vector>

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "print/print_primitives.h"
#include "store/race_day.h"

namespace sorvix {

namespace {

constexpr int kBlockHeight = 151;
constexpr int kBlocksPerPage = 12;

// Twelve races to a page, one page per venue.
constexpr PageStyle kBatchPages{.blocksPerPage = kBlocksPerPage,
                                .spareRaces = kBlocksPerPage - 1,
                                .venuePagesNumbered = false,
                                .dayLabelNumber = "%2d",
                                .dayTitleEnd = "",
                                .titleGap = "\x81\x40"};  // "　"

void DrawBlock(TPrevX& prev, const RaceDay& day, int slot, const RaceSheet& sheet, int block) {
  const int top = kBlockHeight * block;
  HeaderBand(prev, RaceKeyVenue(sheet), 70, top + (block == 0 ? 64 : 67), 2825, top + 97);
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  prev.Canvas().Font.Size = 7;
  ThinRule(prev, 70, top + 63, 2825, top + 63);
  prev.TextAt(70, top + 69, RaceHeaderText(sheet));
  const Cp932Text result = RaceResultText(day, slot, sheet);
  if (!result.empty()) prev.TextAt(1070, top + 67, result);
  prev.Canvas().Font.Size = 6;
  FilledCell(prev, 2680, top + 97, 2824, top + 218, kSilver);
  for (int k = 0; k < kRingRows; ++k) {
    const int x0 = RingColumnLeft(k);
    RingBracketAndNumber(prev, sheet, k, top);
    prev.Canvas().Font.Size = 4;
    prev.TextAt(x0 + 2, top + 165, PageText(TrimRight(sheet.HorseName[k].View())));
    prev.Canvas().Font.Size = 7;
    prev.TextAt(x0 + 5, top + 188, PageText(TrimRight(sheet.JockeyName[k].View())));
  }
  for (int k = 0; k < kRingRows; ++k) {
    const int x = RingColumnRight(k) + 1;
    DotRule(prev, x, top + 97, x, top + 218, ReadInt(sheet.HorseNo[k].View()) == 1 ? 10 : 1);
  }
  SetFont(prev, 7);
  prev.TextAt(2720, top + 99, Cp932("枠番"));
  prev.TextAt(2720, top + 130, Cp932("馬番"));
  prev.TextAt(2720, top + 160, Cp932("馬名"));
  prev.TextAt(2710, top + 190, Cp932("騎手名"));
  prev.Canvas().Font.Size = 8;
  for (int y : {63, 97, 127, 157, 187}) ThinRule(prev, 70, top + y, 2825, top + y);
  DotRule(prev, 70, top + 218, 2825, top + 218, 10);
}

void DrawPage(TPrevX& prev, const RaceDay& day, const PlannedPage& page) {
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  SetFont(prev, 11, true, true);
  prev.TextAt(100, 10, page.title);
  SetFont(prev, 9);
  if (!page.mark.empty()) prev.TextAt(2600, 20, page.mark);
  prev.Canvas().Font.Size = 8;
  int lastTop = -1;
  for (int b = 0; b < kBlocksPerPage; ++b) {
    int slot = -1;
    const RaceSheet* sheet = nullptr;
    if (page.venue < 0) {
      slot = page.first + b;
      if (slot >= kRaceSlots) break;
      sheet = &day.Sheet[slot];
    } else {
      sheet = &day.VenueRaceSheet[page.venue][b];
      if (b < day.VenueRaceCount[page.venue]) slot = day.SlotByVenue[page.venue][b];
    }
    if (RaceKeyRaceNumber(*sheet) <= 0) continue;
    DrawBlock(prev, day, slot, *sheet, b);
    lastTop = kBlockHeight * b;
  }
  if (lastTop < 0) return;
  DotRule(prev, 70, 63, 70, lastTop + 215, 5);
  DotRule(prev, 2825, 63, 2825, lastTop + 215, 5);
}

}  // namespace

PrintResult PrintBatchRing(const RaceDay& day, PrintScope scope, TPrevX& prev) {
  const DayPrintLayout layout{Cp932("一括リング表[全開催場]"), Cp932("一括リング表印刷[競馬場別]"),
                              2, kBatchPages};
  return PrintDayPages(day, scope, layout, prev,
                       [&](const PlannedPage& page) { DrawPage(prev, day, page); });
}

}  // namespace sorvix
