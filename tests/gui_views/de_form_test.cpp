#include "views/de_form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "analysis/race_sheet_assignment.h"
#include "app/ui/qt_text.h"
#include "codes/cp932.h"
#include "store/load_progress.h"
#include "support/find_child.h"
#include "support/race_day_builder.h"
#include "views/string_grid.h"

namespace sorvix {
namespace {

using test::RaceBuilder;

constexpr int kBracketCol = 5;
constexpr int kHorseNoCol = 6;
constexpr int kNameCol = 7;
constexpr int kPlaceCol = 10;

// Race-list rows as the loader writes them ("10:03 中山 1R").
void AddRaceListRow(RaceDay& day, int slot) {
  const RaImage& ra = day.RaRec[slot];
  day.RaceList[slot] = std::string(ra.Field(874, 2)) + ":" + std::string(ra.Field(876, 2)) + " " +
                       std::string(ra.Field(20, 2)) + std::string(ra.Field(26, 2));
}

// Every runner named after its race and horse ("R3H05"), so a grid shows
// which race it holds.
void NameRunners(RaceBuilder& race, int slot, int runners) {
  for (int h = 1; h <= runners; ++h)
    race.Horse(h).Name(Format("R%dH%02d", slot, h)).Jockey(Format("%05d", 100 + h), "騎手");
}

void Assign(RaceDay& day) {
  LoadProgress quiet;
  AssignRaceSheets(day, quiet);
  for (int s = 0; s < day.RaceListRows; ++s) AddRaceListRow(day, s);
}

QColor CellPixel(const StringGrid& grid, int col, int row, QPoint at = QPoint(0, 0)) {
  QRect rect(0, 0, grid.ColWidth(col), grid.RowHeight());
  QImage image(rect.size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  grid.PaintCell(p, col, row, rect);
  p.end();
  return image.pixelColor(at);
}

// True when some pixel of the painted cell is close to `colour`.
bool CellHasInk(const StringGrid& grid, int col, int row, const QColor& colour) {
  QRect rect(0, 0, grid.ColWidth(col), grid.RowHeight());
  QImage image(rect.size(), QImage::Format_RGB32);
  QPainter p(&image);
  grid.PaintCell(p, col, row, rect);
  p.end();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) < 60 && std::abs(c.green() - colour.green()) < 60 &&
          std::abs(c.blue() - colour.blue()) < 60)
        return true;
    }
  return false;
}

// A grid cell's text without the trailing full-width padding of its name.
std::string Trimmed(const StringGrid& grid, int col, int row) {
  QString text = grid.Cell(col, row);
  while (text.endsWith(QChar(0x3000)) || text.endsWith(QChar(' '))) text.chop(1);
  return text.toStdString();
}

class DeFormTest : public ::testing::Test {
 protected:
  DeFormTest() : day(RaceDay::Create()) {}

  // Races 1–4 of one venue in slots 0–3, 8 runners each.
  void FourRacesOfOneVenue() {
    for (int s = 0; s < 4; ++s) {
      RaceBuilder race(*day, s, 8, "06", s + 1);
      NameRunners(race, s, 8);
    }
    Assign(*day);
    form.FillRaceList(*day);
  }

  // 中山 (06) races 1–3 and 阪神 (09) race 1, in post-time order.
  void TwoVenues() {
    const struct {
      const char* venue;
      int race;
      const char* time;
    } races[] = {{"06", 1, "0950"}, {"09", 1, "0955"}, {"06", 2, "1020"}, {"06", 3, "1050"}};
    for (int s = 0; s < 4; ++s) {
      RaceBuilder race(*day, s, 6, races[s].venue, races[s].race);
      race.StartTime(races[s].time);
      NameRunners(race, s, 6);
    }
    Assign(*day);
    form.FillRaceList(*day);
    form.SelectFirstVenue();
  }

  // The window's controls, by their names.
  StringGrid* Grid(int n) const {
    return test::Child<StringGrid>(&form, QStringLiteral("StringGrid%1").arg(n));
  }
  QLabel* TitleLabel(int n) const {
    return test::Child<QLabel>(&form, QStringLiteral("TitleLabel%1").arg(n));
  }
  QComboBox* RaceCombo() const { return test::Child<QComboBox>(&form, "RaceCombo"); }
  QComboBox* BaCombo() const { return test::Child<QComboBox>(&form, "BaCombo"); }
  QComboBox* BaRaceCombo() const { return test::Child<QComboBox>(&form, "BaRaceCombo"); }

  std::vector<std::string> Titles(int first) const {
    std::vector<std::string> titles;
    for (int n = first; n < first + 4; ++n) titles.push_back(TitleLabel(n)->text().toStdString());
    return titles;
  }

  std::unique_ptr<RaceDay> day;
  TDeForm form;
};

TEST_F(DeFormTest, WindowHasTwoTabsAndElevenColumnGrids) {
  EXPECT_EQ(form.windowTitle().toStdString(), "連続出馬表");
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  auto* tabs = test::Child<QTabWidget>(&form, "PageControl1");
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0).toStdString(), "全競馬場");
  EXPECT_EQ(tabs->tabText(1).toStdString(), "競馬場別");
  const int widths[] = {15, 15, 15, 15, 15, 16, 16, 110, 50, 50, 18};
  const char* headers[] = {"赤", "緑",   "橙",   "青",     "黄", "枠",
                           "馬", "馬名", "騎手", "調教師", "着"};
  for (int n = 1; n <= 8; ++n) {
    StringGrid* grid = Grid(n);
    ASSERT_EQ(grid->ColCount(), 11);
    ASSERT_EQ(grid->RowCount(), 19);
    // The specified sizes at least, grown where the font needs more.
    EXPECT_GE(grid->RowHeight(), 14);
    EXPECT_GE(grid->RowHeight(), QFontMetrics(grid->GridFont()).height() + 2);
    for (int c = 0; c < 11; ++c) {
      EXPECT_GE(grid->ColWidth(c), widths[c]);
      EXPECT_EQ(grid->Cell(c, 0).toStdString(), headers[c]);
    }
  }
}

TEST_F(DeFormTest, FirstRaceSelectedShowsTheLastRaceOnTheLeft) {
  FourRacesOfOneVenue();
  ASSERT_EQ(RaceCombo()->count(), 4);
  QSignalSpy chosen(&form, &TDeForm::RaceChosen);
  form.ShowSelection(*day, 3, 0, 1, 2);
  EXPECT_EQ(Titles(1), (std::vector<std::string>{"中山 4R", "中山 1R", "中山 2R", "中山 3R"}));
  // 8 runners: the ring starts with horses 7 and 8.
  EXPECT_EQ(Trimmed(*Grid(1), kNameCol, 1), "R3H07");
  EXPECT_EQ(Trimmed(*Grid(2), kNameCol, 3), "R0H01");
  EXPECT_EQ(Trimmed(*Grid(4), kNameCol, 18), "R2H08");
  EXPECT_EQ(Grid(2)->Cell(kHorseNoCol, 3).toStdString(), " 1");
  EXPECT_EQ(Grid(2)->Cell(kBracketCol, 3).toStdString(), "1");
  EXPECT_EQ(Grid(2)->Cell(8, 3).toStdString(), "騎手　　");
  EXPECT_EQ(RaceCombo()->currentIndex(), 0);
  EXPECT_EQ(chosen.count(), 0);  // showing a selection is not a choice

  emit RaceCombo()->activated(2);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen.at(0).at(0).toInt(), 2);
}

TEST_F(DeFormTest, HorseNameShowsItsFirstEighteenBytesWithoutSplittingACharacter) {
  RaceBuilder race(*day, 0, 2, "06", 1);
  race.Horse(1).Name("ドリームジャーニー");  // 9 full-width characters: 18 bytes
  race.Horse(1).Se(41, "ドリームジャーニーＸ"_sj);
  race.Horse(2).Name("AドリームジャーニーＸ");  // the 18-byte cut falls inside ー
  Assign(*day);
  form.ShowSelection(*day, 0, 0, 0, 0);
  EXPECT_EQ(Grid(2)->Cell(kNameCol, 1).toStdString(), "ドリームジャーニー");
  EXPECT_EQ(Grid(2)->Cell(kNameCol, 2).toStdString(), "Aドリームジャーニ");
}

TEST_F(DeFormTest, FinalPositionOnlyForRowsWithAHorseNumber) {
  RaceBuilder race(*day, 0, 4, "06", 1);
  race.Horse(1).FinishPos(1);
  race.Horse(2).FinishPos(2).Se(29, "00");
  race.Horse(3).FinishPos(3).Se(29, "  ");
  race.Horse(4).FinishPos(12).Se(29, "99");  // damaged number: names no runner
  Assign(*day);
  form.ShowSelection(*day, 0, 0, 0, 0);
  // 4 runners: ring rows 0..3 hold horses 3, 4, 1, 2.
  const struct {
    int row;
    const char* horseNo;
    const char* place;
  } cases[] = {{1, "  ", ""}, {2, "99", ""}, {3, " 1", " 1"}, {4, "  ", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(Grid(2)->Cell(kHorseNoCol, c.row).toStdString(), c.horseNo);
    EXPECT_EQ(Grid(2)->Cell(kPlaceCol, c.row).toStdString(), c.place);
  }
}

TEST_F(DeFormTest, FinalPositionFollowsTheRunnerRecordsAfterThePayoutImport) {
  FourRacesOfOneVenue();
  day->SeRec[1][4].Put(335, "02");  // the import writes positions after the assignment
  form.ShowSelection(*day, 0, 1, 2, 3);
  // Row 7 of race 2 (slot 1) shows horse 5.
  ASSERT_EQ(Grid(2)->Cell(kHorseNoCol, 7).toStdString(), " 5");
  EXPECT_EQ(Grid(2)->Cell(kPlaceCol, 7).toStdString(), " 2");
  EXPECT_TRUE(CellHasInk(*Grid(2), kPlaceCol, 7, QColor(0, 0, 255)));
  EXPECT_FALSE(CellHasInk(*Grid(2), kPlaceCol, 7, QColor(255, 0, 0)));
}

TEST_F(DeFormTest, BracketCellsTakeTheBracketColour) {
  FourRacesOfOneVenue();
  day->Sheet[0].BracketNo[0] = "0";
  day->Sheet[0].BracketNo[1] = "9";
  form.ShowSelection(*day, 3, 0, 1, 2);
  const StringGrid& grid = *Grid(2);
  const struct {
    int row;  // ring row + 1; ring rows 2..9 hold horses 1..8 in brackets 1..8
    QColor colour;
  } cases[] = {
      {3, Qt::white},           {4, QColor(128, 128, 128)}, {5, QColor(255, 0, 0)},
      {6, QColor(0, 0, 255)},   {7, QColor(255, 255, 0)},   {8, QColor(0, 128, 0)},
      {9, QColor(255, 128, 0)}, {10, QColor(255, 0, 255)},  {1, Qt::white},  // bracket 0
      {2, Qt::white},                                                        // bracket 9
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(CellPixel(grid, kBracketCol, c.row), c.colour);
  }
}

TEST_F(DeFormTest, FlagsAndPostTimeMarkAreReadAtEveryPaint) {
  FourRacesOfOneVenue();
  form.ShowSelection(*day, 3, 0, 1, 2);
  const StringGrid& grid = *Grid(2);
  QColor info = grid.palette().color(QPalette::ToolTipBase);
  EXPECT_EQ(CellPixel(grid, kHorseNoCol, 5), info);
  EXPECT_EQ(CellPixel(grid, 0, 5), QColor(Qt::white));

  RaceCalc& calc = day->Calc[0];
  calc.HStimeS1[4] = "○"_sj;
  calc.RedFlag[4] = 1;
  calc.GreenFlag[4] = 1;
  calc.OrangeFlag[4] = 1;
  calc.BlueFlag[4] = 1;
  calc.YellowFlag[4] = 1;
  EXPECT_EQ(CellPixel(grid, kHorseNoCol, 5), QColor(0, 255, 255));
  EXPECT_EQ(CellPixel(grid, kHorseNoCol, 6), info);
  EXPECT_EQ(CellPixel(grid, 0, 5), QColor(255, 0, 0));
  EXPECT_EQ(CellPixel(grid, 1, 5), QColor(0, 128, 0));
  EXPECT_EQ(CellPixel(grid, 2, 5), QColor(255, 128, 0));
  EXPECT_EQ(CellPixel(grid, 3, 5), QColor(0, 0, 255));
  EXPECT_EQ(CellPixel(grid, 4, 5), QColor(255, 255, 0));
  EXPECT_EQ(CellPixel(grid, 0, 6), QColor(Qt::white));
  // The neighbours paint from their own races.
  EXPECT_EQ(CellPixel(*Grid(1), 0, 5), QColor(Qt::white));
  // The header row keeps the fixed-cell colour.
  EXPECT_EQ(CellPixel(grid, 0, 0), grid.palette().color(QPalette::Button));
}

TEST_F(DeFormTest, VenueWithThreeRacesWrapsItsNeighbours) {
  TwoVenues();
  ASSERT_EQ(BaCombo()->count(), 2);
  EXPECT_EQ(BaCombo()->itemText(0).toStdString(), "中山");
  EXPECT_EQ(BaCombo()->itemText(1).toStdString(), "阪神");
  ASSERT_EQ(BaRaceCombo()->count(), 3);
  EXPECT_EQ(BaRaceCombo()->itemText(0).toStdString(), " 1R");
  EXPECT_EQ(BaRaceCombo()->itemText(2).toStdString(), " 3R");
  EXPECT_EQ(BaRaceCombo()->currentIndex(), 0);
  EXPECT_EQ(form.VenueOrdinals(), (std::array<int, 4>{2, 0, 1, 2}));

  BaRaceCombo()->setCurrentIndex(1);
  EXPECT_EQ(Titles(5), (std::vector<std::string>{"中山 1R", "中山 2R", "中山 3R", "中山 1R"}));
  // Race 2 of 中山 is slot 2.
  EXPECT_EQ(Trimmed(*Grid(6), kNameCol, 1), "R2H01");

  BaRaceCombo()->setCurrentIndex(2);
  EXPECT_EQ(Titles(5), (std::vector<std::string>{"中山 2R", "中山 3R", "中山 1R", "中山 2R"}));
  EXPECT_EQ(Trimmed(*Grid(5), kNameCol, 1), "R2H01");
  EXPECT_EQ(Trimmed(*Grid(6), kNameCol, 1), "R3H01");
  EXPECT_EQ(Trimmed(*Grid(7), kNameCol, 1), "R0H01");
}

TEST_F(DeFormTest, VenueWithOneRaceLeavesTheFourthGridEmpty) {
  TwoVenues();
  day->SeRec[1][0].Put(335, "01");
  BaCombo()->setCurrentIndex(1);
  ASSERT_EQ(BaRaceCombo()->count(), 1);
  EXPECT_EQ(form.VenueOrdinals(), (std::array<int, 4>{0, 0, 0, 1}));
  for (int n = 5; n <= 7; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(TitleLabel(n)->text().toStdString(), "阪神 1R");
    EXPECT_EQ(Trimmed(*Grid(n), kNameCol, 1), "R1H01");
    EXPECT_EQ(Grid(n)->Cell(kPlaceCol, 1).toStdString(), " 1");
  }
  for (int row = 1; row < 19; ++row)
    for (int col = 0; col < 11; ++col) EXPECT_TRUE(Grid(8)->Cell(col, row).isEmpty());
}

TEST_F(DeFormTest, VenueGridsPaintFromTheVenueCopies) {
  TwoVenues();
  BaCombo()->setCurrentIndex(1);
  day->Calc[1].RedFlag[0] = 1;  // the slot's own record: not used here
  day->VenueRaceCalc[1][0].BlueFlag[0] = 1;
  EXPECT_EQ(CellPixel(*Grid(6), 0, 1), QColor(Qt::white));
  EXPECT_EQ(CellPixel(*Grid(6), 3, 1), QColor(0, 0, 255));
  EXPECT_EQ(CellPixel(*Grid(8), 3, 1), QColor(Qt::white));  // ordinal 1 holds no race
}

TEST_F(DeFormTest, ReleasingTheMouseLeavesNoRowSelected) {
  FourRacesOfOneVenue();
  form.ShowSelection(*day, 3, 0, 1, 2);
  form.show();
  StringGrid* grid = Grid(2);
  QPoint inRow3 = grid->CellRect(kNameCol, 3).center();
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, inRow3);
  EXPECT_EQ(grid->SelectedRow(), 3);
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, inRow3);
  EXPECT_EQ(grid->SelectedRow(), -1);
}

TEST_F(DeFormTest, ASlotOutsideTheDayLeavesItsGridEmpty) {
  FourRacesOfOneVenue();
  form.ShowSelection(*day, 3, 0, 1, 2);
  form.ShowSelection(*day, -1, 0, 1, 36);
  EXPECT_TRUE(Grid(1)->Cell(kNameCol, 1).isEmpty());
  EXPECT_TRUE(Grid(4)->Cell(kNameCol, 1).isEmpty());
  EXPECT_TRUE(TitleLabel(4)->text().isEmpty());
  EXPECT_EQ(CellPixel(*Grid(4), 0, 1), QColor(Qt::white));
}

}  // namespace
}  // namespace sorvix
