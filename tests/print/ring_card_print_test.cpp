#include "print/ring_card_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "analysis/ring_layout.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "print/print_primitives.h"
#include "store/race_day.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

// A printer of 254 dpi: one printer dot per tenth of a millimetre, so the
// recorded positions read as the layout's own coordinates.
PrinterInfo TenthPrinter() {
  PrinterInfo p;
  p.DpiX = p.DpiY = 254;
  p.PaperWidth = p.PrintableWidth = 2100;
  p.PaperHeight = p.PrintableHeight = 2970;
  return p;
}

std::string Key(int venue, int race) {
  return Format("20240615%02d030%d%02d", venue, 5, race);
}

// A race of `runners` horses in ring order at `slot`.
void FillRace(RaceDay& day, RaceSheet& sheet, int venue, int race, int runners) {
  sheet.RaceKey = Key(venue, race);
  sheet.StartTime = "0950";
  sheet.RunnerCount = Format("%02d", runners);
  sheet.RaceName = "テスト特別"_sj;
  sheet.Distance = "1600";
  for (int k = 0; k < kRingRows; ++k) {
    int h = RingHorse(runners, k);
    sheet.HorseNo[k] = Format("%02d", h);
    sheet.BracketNo[k] = Format("%d", (h + 1) / 2 > 8 ? 8 : (h + 1) / 2);
    sheet.HorseName[k] = "アイウエオカキクケコ"_sj;
    sheet.SireName[k] = "サンデー"_sj;
    sheet.DamName[k] = "ハハ"_sj;
    sheet.Burden[k] = "570";
  }
  (void)day;
}

std::unique_ptr<RaceDay> DayOfRaces(int races) {
  auto day = RaceDay::Create();
  day->RaceListRows = races;
  day->RaceCount = races;
  for (int s = 0; s < races; ++s) FillRace(*day, day->Sheet[s], 6, s % 12 + 1, 16);
  return day;
}

// The venue-coloured bands, one per drawn block.
std::vector<int> BandTops(const RecordedPage& page) {
  std::vector<int> tops;
  for (const PageOp& op : page.Ops)
    if (op.Kind == PageOpKind::Rectangle && op.Pen.Style == PenStyle::Clear) tops.push_back(op.Y1);
  return tops;
}

const PageOp* TextAt(const RecordedPage& page, int x, int y) {
  for (const PageOp& op : page.Ops)
    if (op.Kind == PageOpKind::Text && op.X1 == x && op.Y1 == y) return &op;
  return nullptr;
}

std::vector<std::string> Utf8All(const std::vector<Cp932Text>& texts) {
  std::vector<std::string> out;
  for (const auto& t : texts) out.push_back(Utf8Bytes(t));
  return out;
}

TEST(RingCardPrint, WholeDayHasThreeBlocksAPage) {
  struct Case {
    int races, pages, lastBlocks;
  };
  for (Case c : {Case{36, 12, 3}, Case{7, 3, 1}, Case{1, 1, 1}}) {
    auto day = DayOfRaces(c.races);
    TPrevX prev(TenthPrinter());
    PrintResult result = PrintRingCard(*day, PrintScope::AllVenues, prev);
    ASSERT_TRUE(result.Printed);
    EXPECT_EQ(Utf8Bytes(result.Caption), "出馬表リング印刷[全開催場]");
    ASSERT_EQ(prev.PageCount(), c.pages) << c.races;
    ASSERT_EQ(result.Labels.size(), static_cast<size_t>(c.pages));
    EXPECT_EQ(Utf8Bytes(result.Labels[0]), " 1ﾍﾟｰｼﾞ目");
    EXPECT_EQ(BandTops(prev.Pages().back()).size(), static_cast<size_t>(c.lastBlocks));
    EXPECT_EQ(prev.Printer().Orientation, 2);
    const PageOp* title = TextAt(prev.Pages()[0], 100, 10);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(Utf8Bytes(title->Text), "2024年06月15日");
    EXPECT_TRUE(title->Font.Bold && title->Font.Underline);
    EXPECT_EQ(title->Font.Size, 11);
    EXPECT_EQ(Utf8Bytes(title->Font.Name), "ＭＳ ゴシック");
  }
  auto day = DayOfRaces(36);
  TPrevX prev(TenthPrinter());
  PrintResult result = PrintRingCard(*day, PrintScope::AllVenues, prev);
  EXPECT_EQ(Utf8Bytes(result.Labels[11]), "12ﾍﾟｰｼﾞ目");
  const PageOp* mark = TextAt(prev.Pages()[11], 2600, 20);
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->Text.bytes(), "Page12");
  EXPECT_EQ(BandTops(prev.Pages()[0]), (std::vector<int>{64, 694, 1324}));
}

TEST(RingCardPrint, EmptyRaceListComposesNothing) {
  auto day = RaceDay::Create();
  TPrevX prev(TenthPrinter());
  PrintResult result = PrintRingCard(*day, PrintScope::AllVenues, prev);
  EXPECT_FALSE(result.Printed);
  EXPECT_EQ(Utf8Bytes(result.Message), "分析用ﾃﾞｰﾀを選択してください。");
  EXPECT_EQ(prev.PageCount(), 0);
}

TEST(RingCardPrint, NoVenueOfTheDayRecordsNoPage) {
  auto day = DayOfRaces(3);
  TPrevX prev(TenthPrinter());
  PrintResult result = PrintRingCard(*day, PrintScope::ByVenue, prev);
  EXPECT_TRUE(result.Labels.empty());
  EXPECT_EQ(prev.PageCount(), 0);
}

TEST(RingCardPrint, VenueByVenueStartsEveryVenueOnANewPage) {
  auto day = RaceDay::Create();
  const int venues[] = {5, 6, 9};
  const int counts[] = {12, 12, 11};
  int slot = 0;
  for (int v = 0; v < 3; ++v) {
    day->DayVenues[v] = Format("%02d", venues[v]);
    for (int j = 0; j < counts[v]; ++j, ++slot) {
      day->RaRec[slot].Put(12, Key(venues[v], j + 1));
      FillRace(*day, day->Sheet[slot], venues[v], j + 1, 16);
      FillRace(*day, day->VenueRaceSheet[v][j], venues[v], j + 1, 16);
      day->SlotByVenue[v][j] = slot;
    }
    day->VenueRaceCount[v] = counts[v];
  }
  day->RaceCount = day->RaceListRows = slot;
  TPrevX prev(TenthPrinter());
  PrintResult result = PrintRingCard(*day, PrintScope::ByVenue, prev);
  ASSERT_EQ(prev.PageCount(), 12);
  EXPECT_EQ(Utf8Bytes(result.Caption), "リング出馬表印刷[競馬場別]");
  auto labels = Utf8All(result.Labels);
  EXPECT_EQ(labels[0], "東京1ﾍﾟｰｼﾞ");
  EXPECT_EQ(labels[3], "東京4ﾍﾟｰｼﾞ");
  EXPECT_EQ(labels[4], "中山1ﾍﾟｰｼﾞ");
  EXPECT_EQ(labels[11], "阪神4ﾍﾟｰｼﾞ");
  EXPECT_EQ(BandTops(prev.Pages()[11]).size(), 2u);
  const PageOp* title = TextAt(prev.Pages()[4], 100, 10);
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(Utf8Bytes(title->Text), "2024年06月15日　中山03回05日");
  const PageOp* mark = TextAt(prev.Pages()[5], 2600, 20);
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(Utf8Bytes(mark->Text), "中山Page2");
}

TEST(RingCardPrint, SixteenRunnersMarkTheStartOfTheCycleAndRepeatRanks) {
  auto day = DayOfRaces(1);
  RaceCalc& calc = day->Calc[0];
  for (int h = 0; h < 16; ++h) {
    calc.AwayRank[h] = h + 1;
    calc.HomeRank[h] = 16 - h;
  }
  TPrevX prev(TenthPrinter());
  PrintRingCard(*day, PrintScope::AllVenues, prev);
  const RecordedPage& page = prev.Pages()[0];
  // Column rules: vertical lines from 97 to 694 in block 0.
  std::vector<std::pair<int, int>> rules;
  for (const PageOp& op : page.Ops)
    if (op.Kind == PageOpKind::Line && op.Y1 == 97 && op.Y2 == 694)
      rules.push_back({op.X1, op.Pen.Width});
  ASSERT_EQ(rules.size(), 18u);
  for (int k = 0; k < 18; ++k) {
    EXPECT_EQ(rules[k].first, 2679 - 145 * k + 1);
    EXPECT_EQ(rules[k].second, k == 2 ? 10 : 1) << "row " << k;
  }
  // Rows 0 and 1 hold horses 15 and 16 and repeat their ranks.
  for (int k : {0, 1, 16, 17}) {
    int h = k < 2 ? 15 + k : k - 1;
    int x0 = 2535 - 145 * k;
    const PageOp* away = TextAt(page, x0 + 10, 522);
    ASSERT_NE(away, nullptr) << k;
    EXPECT_EQ(away->Text.bytes(), Format("%2d", h));
    EXPECT_EQ(TextAt(page, x0 + 62, 130)->Text.bytes(),
              CircledNumberText(Format("%02d", h)).bytes());
  }
  const PageOp* first = TextAt(page, 2535 - 145 * 2 + 10, 522);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Font.Color, kRed);
  EXPECT_EQ(TextAt(page, 2535 - 145 * 3 + 10, 522)->Font.Color, kBlue);
  EXPECT_EQ(TextAt(page, 2535 - 145 * 5 + 10, 522)->Font.Color, kBlack);
}

TEST(RingCardPrint, RowTextsAndBoxes) {
  auto day = DayOfRaces(1);
  RaceSheet& sheet = day->Sheet[0];
  sheet.HorseName[0] = "スーパーカー"_sj;
  sheet.SireName[0] = "Frankel";
  sheet.Popularity[0] = 10;
  sheet.Popularity[1] = 9;
  sheet.Popularity[2] = 1;
  sheet.Burden[3] = "0";
  day->Calc[0].RedFlag[0] = 1;
  day->Calc[0].SpsMark[1] = "○"_sj;
  TPrevX prev(TenthPrinter());
  PrintRingCard(*day, PrintScope::AllVenues, prev);
  const RecordedPage& page = prev.Pages()[0];
  const int x0 = 2535, x1 = 2535 - 145, x2 = 2535 - 290, x3 = 2535 - 435;
  // Horse name written top to bottom, ー as ｜; a short name leaves the rest empty.
  EXPECT_EQ(Utf8Bytes(TextAt(page, x0 + 62, 160 + 26)->Text), "｜");
  EXPECT_EQ(Utf8Bytes(TextAt(page, x0 + 62, 160 + 26 * 4)->Text), "カ");
  EXPECT_EQ(Utf8Bytes(TextAt(page, x0 + 62, 160 + 26 * 5)->Text), "｜");
  EXPECT_EQ(TextAt(page, x0 + 62, 160 + 26 * 6), nullptr);
  // Long names stop at nine characters.
  EXPECT_EQ(Utf8Bytes(TextAt(page, x1 + 62, 160 + 26 * 8)->Text), "ケ");
  EXPECT_EQ(TextAt(page, x1 + 62, 160 + 26 * 9), nullptr);
  // A Latin sire name gets no column; others do.
  EXPECT_EQ(TextAt(page, x0 + 92, 160), nullptr);
  EXPECT_EQ(Utf8Bytes(TextAt(page, x1 + 92, 160)->Text), "サ");
  EXPECT_EQ(TextAt(page, x1 + 92, 160)->Font.Size, 6);
  // Popularity: two digits further left, colours by rank.
  EXPECT_EQ(TextAt(page, x0 + 2, 240)->Text.bytes(), "10");
  EXPECT_EQ(TextAt(page, x1 + 8, 240)->Text.bytes(), "9");
  EXPECT_EQ(TextAt(page, x2 + 8, 240)->Font.Color, kRed);
  EXPECT_EQ(TextAt(page, x0 + 2, 240)->Font.Color, kBlack);
  // No results: no finishing position and no result line.
  EXPECT_EQ(TextAt(page, x0 + 8, 340), nullptr);
  EXPECT_EQ(TextAt(page, 1070, 67), nullptr);
  // Weight carried, and nothing below 1.
  EXPECT_EQ(TextAt(page, x0 + 20, 462)->Text.bytes(), "57.0kg");
  EXPECT_EQ(TextAt(page, x3 + 20, 462), nullptr);
  // Sign boxes only where flagged.
  auto box = [&](int x, int y) -> const PageOp* {
    for (const PageOp& op : page.Ops)
      if (op.Kind == PageOpKind::Rectangle && op.X1 == x && op.Y1 == y) return &op;
    return nullptr;
  };
  ASSERT_NE(box(x0 + 80, 555), nullptr);
  EXPECT_EQ(box(x0 + 80, 555)->Brush.Color, kRed);
  EXPECT_EQ(box(x1 + 80, 555), nullptr);
  ASSERT_NE(box(x1 + 15, 645), nullptr);
  EXPECT_EQ(box(x1 + 15, 645)->Brush.Color, kMagenta);
  EXPECT_EQ(box(x0 + 15, 645), nullptr);
  // Header line.
  EXPECT_EQ(Utf8Bytes(TextAt(page, 70, 67)->Text).find("【中山 1R】09:50 16頭 テスト特別 "), 0u);
}

TEST(RingCardPrint, ResultLineListsTheFirstThreePlaces) {
  auto day = DayOfRaces(1);
  day->SeRec[0][4].Put(335, "01");
  day->SeRec[0][0].Put(335, "02");
  day->SeRec[0][9].Put(335, "02");
  day->SeRec[0][2].Put(335, "03");
  day->Sheet[0].HorseName[6] = "ゴバン"_sj;  // horse 5 of 16 sits on row 6
  TPrevX prev(TenthPrinter());
  PrintRingCard(*day, PrintScope::AllVenues, prev);
  const PageOp* line = TextAt(prev.Pages()[0], 1070, 67);
  ASSERT_NE(line, nullptr);
  std::string text = Utf8Bytes(line->Text);
  EXPECT_EQ(text.find("1着：⑤ゴバン"), 0u) << text;
  EXPECT_NE(text.find("　2着：①"), std::string::npos);
  EXPECT_LT(text.find("①"), text.find("⑩"));
  EXPECT_NE(text.find("　3着：③"), std::string::npos);
}

}  // namespace
}  // namespace sorvix
