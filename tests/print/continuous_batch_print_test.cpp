#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/ring_layout.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "print/batch_ring_print.h"
#include "print/continuous_card_print.h"
#include "print/print_primitives.h"
#include "store/race_day.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

// One printer dot per tenth of a millimetre.
PrinterInfo TenthPrinter() {
  PrinterInfo p;
  p.DpiX = p.DpiY = 254;
  p.PaperWidth = p.PrintableWidth = 2100;
  p.PaperHeight = p.PrintableHeight = 2970;
  return p;
}

void FillRace(RaceSheet& sheet, int venue, int race, int runners) {
  sheet.RaceKey = Format("20240615%02d0305%02d", venue, race);
  sheet.StartTime = "1010";
  sheet.RunnerCount = Format("%02d", runners);
  sheet.Distance = "2000";
  for (int k = 0; k < kRingRows; ++k) {
    int h = RingHorse(runners, k);
    sheet.HorseNo[k] = Format("%02d", h);
    sheet.BracketNo[k] = "1";
    sheet.HorseName[k] = "アイウエオカキクケコ"_sj;  // 20 bytes
    sheet.JockeyName[k] = "騎手"_sj;
    sheet.Burden[k] = "550";
  }
}

std::unique_ptr<RaceDay> DayOfRaces(int races, int runners = 16) {
  auto day = RaceDay::Create();
  day->RaceListRows = day->RaceCount = races;
  for (int s = 0; s < races; ++s) FillRace(day->Sheet[s], 6, s + 1, runners);
  return day;
}

// Two venues: 12 races at 05 and 11 at 06.
std::unique_ptr<RaceDay> TwoVenues() {
  auto day = RaceDay::Create();
  const int codes[] = {5, 6};
  const int counts[] = {12, 11};
  int slot = 0;
  for (int v = 0; v < 2; ++v) {
    day->DayVenues[v] = Format("%02d", codes[v]);
    for (int j = 0; j < counts[v]; ++j, ++slot) {
      FillRace(day->Sheet[slot], codes[v], j + 1, 16);
      FillRace(day->VenueRaceSheet[v][j], codes[v], j + 1, 16);
      day->SlotByVenue[v][j] = slot;
    }
    day->VenueRaceCount[v] = counts[v];
  }
  day->RaceListRows = day->RaceCount = slot;
  return day;
}

// The header bands (pen clear rectangles) of a page as (x, y) corners.
std::vector<std::pair<int, int>> Bands(const RecordedPage& page) {
  std::vector<std::pair<int, int>> out;
  for (const PageOp& op : page.Ops)
    if (op.Kind == PageOpKind::Rectangle && op.Pen.Style == PenStyle::Clear)
      out.push_back({op.X1, op.Y1});
  return out;
}

const PageOp* TextAt(const RecordedPage& page, int x, int y) {
  for (const PageOp& op : page.Ops)
    if (op.Kind == PageOpKind::Text && op.X1 == x && op.Y1 == y) return &op;
  return nullptr;
}

TEST(ContinuousCardPrint, TwelveBlocksAPageInTheChosenOrder) {
  auto day = DayOfRaces(24);
  TPrevX columns(TenthPrinter());
  PrintResult result =
      PrintContinuousCard(*day, PrintScope::AllVenues, BlockOrder::Columns, columns);
  ASSERT_TRUE(result.Printed);
  EXPECT_EQ(Utf8Bytes(result.Caption), "連続出馬表印刷[全開催場]");
  ASSERT_EQ(columns.PageCount(), 2);
  EXPECT_EQ(Utf8Bytes(result.Labels[1]), "2ﾍﾟｰｼﾞ目");
  EXPECT_EQ(columns.Printer().Orientation, 1);
  auto bands = Bands(columns.Pages()[1]);
  ASSERT_EQ(bands.size(), 12u);
  EXPECT_EQ(bands[6], (std::pair<int, int>{1005, 138}));
  EXPECT_EQ(bands[5], (std::pair<int, int>{70, 420 * 5 + 138}));
  // The second page holds RaceSlots 12..23.
  EXPECT_EQ(Utf8Bytes(TextAt(columns.Pages()[1], 70, 140)->Text).find("【中山13R】16頭"), 0u);

  TPrevX rows(TenthPrinter());
  PrintContinuousCard(*day, PrintScope::AllVenues, BlockOrder::Rows, rows);
  bands = Bands(rows.Pages()[0]);
  ASSERT_EQ(bands.size(), 12u);
  EXPECT_EQ(bands[1], (std::pair<int, int>{1005, 138}));
  EXPECT_EQ(bands[10], (std::pair<int, int>{70, 420 * 5 + 138}));
}

TEST(ContinuousCardPrint, RunnerLinesRulesAndCutNames) {
  auto day = DayOfRaces(1, 12);
  day->Sheet[0].Popularity[0] = 2;
  TPrevX prev(TenthPrinter());
  PrintContinuousCard(*day, PrintScope::AllVenues, BlockOrder::Columns, prev);
  const RecordedPage& page = prev.Pages()[0];
  int silver = 0;
  for (const PageOp& op : page.Ops)
    if (op.Kind == PageOpKind::Line && op.Pen.Color == kSilver) ++silver;
  EXPECT_EQ(silver, 12);
  // Ring order: horse 7 first, horse 1 on the seventh line.
  const PageOp* first = TextAt(page, 92, 167);
  ASSERT_NE(first, nullptr);
  std::string text = Utf8Bytes(first->Text);
  EXPECT_EQ(text.find("⑦アイウエオカキクケ "), 0u) << text;
  EXPECT_EQ(Utf8Bytes(TextAt(page, 92, 167 + 21 * 6)->Text).find("①"), 0u);
  EXPECT_EQ(Utf8Bytes(TextAt(page, 70 + 870, 167)->Text), " 2人");
  EXPECT_EQ(TextAt(page, 70 + 870, 167)->Font.Color, kBlue);
  EXPECT_EQ(TextAt(page, 70 + 870, 188), nullptr);
  EXPECT_EQ(TextAt(page, 70 + 810, 167), nullptr);
}

TEST(ContinuousCardPrint, VenueByVenueOnePageEach) {
  auto day = TwoVenues();
  TPrevX prev(TenthPrinter());
  PrintResult result = PrintContinuousCard(*day, PrintScope::ByVenue, BlockOrder::Columns, prev);
  ASSERT_EQ(prev.PageCount(), 2);
  EXPECT_EQ(Utf8Bytes(result.Labels[0]), "東京");
  EXPECT_EQ(Utf8Bytes(result.Labels[1]), "中山");
  EXPECT_EQ(Bands(prev.Pages()[1]).size(), 11u);
  EXPECT_EQ(Utf8Bytes(TextAt(prev.Pages()[1], 100, 30)->Text), "2024年06月15日  中山03回05日");
}

TEST(BatchRingPrint, TwelveBandsAPageAndSidesToTheLastBlock) {
  auto day = DayOfRaces(30);
  TPrevX prev(TenthPrinter());
  PrintResult result = PrintBatchRing(*day, PrintScope::AllVenues, prev);
  ASSERT_TRUE(result.Printed);
  EXPECT_EQ(Utf8Bytes(result.Caption), "一括リング表[全開催場]");
  ASSERT_EQ(prev.PageCount(), 3);
  EXPECT_EQ(Utf8Bytes(result.Labels[2]), " 3ﾍﾟｰｼﾞ目");
  EXPECT_EQ(prev.Printer().Orientation, 2);
  const RecordedPage& last = prev.Pages()[2];
  auto bands = Bands(last);
  ASSERT_EQ(bands.size(), 6u);
  EXPECT_EQ(bands[0].second, 64);
  EXPECT_EQ(bands[1].second, 151 + 67);
  int sides = 0;
  for (const PageOp& op : last.Ops)
    if (op.Kind == PageOpKind::Line && op.Y1 == 63 && op.X1 == op.X2 &&
        (op.X1 == 70 || op.X1 == 2825)) {
      EXPECT_EQ(op.Y2, 151 * 5 + 215);
      EXPECT_EQ(op.Pen.Width, 5);
      ++sides;
    }
  EXPECT_EQ(sides, 2);
  // The whole name at 4 pt.
  const PageOp* name = TextAt(last, 2535 + 2, 165);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(Utf8Bytes(name->Text), "アイウエオカキクケコ");
  EXPECT_EQ(name->Font.Size, 4);
}

TEST(BatchRingPrint, VenueByVenueLeavesMissingRacesEmpty) {
  auto day = TwoVenues();
  TPrevX prev(TenthPrinter());
  PrintResult result = PrintBatchRing(*day, PrintScope::ByVenue, prev);
  EXPECT_EQ(Utf8Bytes(result.Caption), "一括リング表印刷[競馬場別]");
  ASSERT_EQ(prev.PageCount(), 2);
  EXPECT_EQ(Utf8Bytes(result.Labels[0]), "東京");
  EXPECT_EQ(Bands(prev.Pages()[1]).size(), 11u);
  EXPECT_EQ(TextAt(prev.Pages()[1], 2600, 20), nullptr);
  EXPECT_EQ(Utf8Bytes(TextAt(prev.Pages()[1], 100, 10)->Text), "2024年06月15日　中山03回05日");
}

}  // namespace
}  // namespace sorvix
