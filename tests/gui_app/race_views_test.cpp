// The main window driven the way a person uses it: choose a date, pick and
// step through races, toggle special marks, read results.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "demo_store.h"
#include "results/ui/kaime_form.h"
#include "store/race_day.h"
#include "support/captured_messages.h"
#include "support/find_child.h"
#include "support/main_form_controls.h"
#include "support/scripted_jv_link.h"
#include "views/de_form.h"
#include "views/race_card_grid.h"
#include "views/race_header_bar.h"
#include "views/results_tab.h"
#include "views/sign_table_grid.h"
#include "views/up_down.h"

namespace sorvix {
namespace {

class RaceViewsTest : public ::testing::Test, public test::MainFormControls<RaceViewsTest> {
 protected:
  friend class test::MainFormControls<RaceViewsTest>;
  void SetUp() override {
    form = std::make_unique<TMainForm>(std::make_unique<test::ScriptedJvLink>());
    form->show();
    QCoreApplication::processEvents();
  }
  void TearDown() override { form.reset(); }

  void Select(int row) {
    DatList()->setCurrentRow(row);
    form->DatListClick();
  }

  QColor PaintedColour(StringGrid* grid, int col, int row) {
    QRect rect(0, 0, grid->ColWidth(col), grid->RowHeight());
    QImage image(rect.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    grid->PaintCell(p, col, row, rect);
    p.end();
    return image.pixelColor(rect.width() - 2, 2);
  }

  test::DemoHome home;
  test::CapturedMessages messages;
  std::unique_ptr<TMainForm> form;
};

TEST_F(RaceViewsTest, ChoosingADateShowsTheFirstRaceCompletely) {
  ASSERT_GE(DateCombo()->count(), 2);
  EXPECT_EQ(DateCombo()->itemText(0), "2024年06月16日");
  Choose("2024年06月16日");
  RaceDay& day = form->Day();
  EXPECT_EQ(DatList()->count(), 36);
  EXPECT_EQ(DatList()->currentRow(), 0);
  EXPECT_TRUE(PageControl1()->isVisible());
  EXPECT_EQ(StringGrid10()->RowCount(), day.Runners(0) + 1);
  EXPECT_EQ(UpDown1()->Max(), 35);
  EXPECT_FALSE(test::Child<QLabel>(RaceHeader(), "Label3D3")->text().isEmpty());
  EXPECT_TRUE(test::Child<QLabel>(RaceHeader(), "Label3D3")->text().startsWith("2024年 6月16日"));
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(form->isEnabled());
}

TEST_F(RaceViewsTest, StepperAndNeighboursWrapAroundTheList) {
  Choose("2024年06月16日");
  Select(0);
  RaceDay& day = form->Day();
  // The continuous window's first grid shows the last race of the list.
  QString last = Q(day.RaceListRow(35));
  EXPECT_TRUE(last.contains(test::Child<QLabel>(DeForm(), "TitleLabel1")->text().left(2)));
  QTest::mouseClick(test::Child<QToolButton>(UpDown1(), "Right"), Qt::LeftButton);
  EXPECT_EQ(DatList()->currentRow(), 1);
  EXPECT_EQ(form->SelectedRace(), 1);
  QTest::mouseClick(test::Child<QToolButton>(UpDown1(), "Left"), Qt::LeftButton);
  QTest::mouseClick(test::Child<QToolButton>(UpDown1(), "Left"),
                    Qt::LeftButton);  // stays at the first race
  EXPECT_EQ(DatList()->currentRow(), 0);
  Select(35);
  EXPECT_EQ(form->SelectedRace(), 35);
  // A reload keeps the row.
  Choose("2024年06月15日");
  EXPECT_EQ(DatList()->currentRow(), std::min(35, DatList()->count() - 1));
}

TEST_F(RaceViewsTest, SpecialMarkTogglesEveryRowOfTheHorseAndIsSaved) {
  Choose("2024年06月16日");
  RaceDay& day = form->Day();
  int slot = -1;
  for (int r = 0; r < day.RaceListRows && slot < 0; ++r)
    if (day.Runners(r) == 9) slot = r;
  ASSERT_GE(slot, 0) << "no 9-runner race";
  Select(slot);
  const RaceCalc& calc = day.Calc[slot];
  int before0 = calc.SignSum[0], before9 = calc.SignSum[9];
  // With 9 runners ring rows 0 and 9 hold the same horse.
  ASSERT_EQ(day.Sheet[slot].HorseNo[0].View(), day.Sheet[slot].HorseNo[9].View());

  StringGrid1()->SetRowCount(19);
  QRect cellRect = StringGrid1()->CellRect(5, 1);
  PageControl1()->setCurrentIndex(1);
  QTest::mouseClick(StringGrid1()->viewport(), Qt::LeftButton, {}, cellRect.center());
  EXPECT_EQ(calc.SpsMark[0].View(), "○"_sj);
  EXPECT_EQ(calc.SpsMark[9].View(), "○"_sj);
  EXPECT_EQ(calc.SignSum[0], before0 + 10);
  EXPECT_EQ(calc.SignSum[9], before9 + 10);
  std::string saved = home.Read("Data/2024年06月16日.sps");
  ASSERT_EQ(saved.size(), 648u);
  EXPECT_EQ(saved[slot * 18 + 0], '1');
  EXPECT_EQ(saved[slot * 18 + 9], '1');
  EXPECT_EQ(PaintedColour(StringGrid1(), 5, 1), QColor(255, 0, 255));

  QTest::mouseClick(StringGrid1()->viewport(), Qt::LeftButton, {}, cellRect.center());
  EXPECT_TRUE(calc.SpsMark[0].View().empty());
  EXPECT_EQ(calc.SignSum[9], before9);
  EXPECT_EQ(home.Read("Data/2024年06月16日.sps")[slot * 18 + 9], '0');
}

TEST_F(RaceViewsTest, ResultsTabAndRaceCardShowThePayouts) {
  Choose("2024年06月16日");
  RaceDay& day = form->Day();
  Select(0);
  const PayoutTable& table = day.Payouts[0];
  ASSERT_GT(table.Win[0].HorseNo, 0);
  EXPECT_EQ(ResultTab()->Value(0, 0, 0)->text(), QString::asprintf("%2d", table.Win[0].HorseNo));
  EXPECT_EQ(ResultTab()->Value(0, 0, 2)->text(), QString::asprintf("%8d", table.Win[0].Payout));
  // The winner's final position is red on the race card.
  int winner = table.Win[0].HorseNo;
  EXPECT_EQ(day.SeRec[0][winner - 1].Int(335, 2), 1);
  QRect rect(0, 0, StringGrid10()->ColWidth(11), StringGrid10()->RowHeight());
  QImage image(rect.size(), QImage::Format_RGB32);
  QPainter p(&image);
  StringGrid10()->PaintCell(p, 11, winner, rect);
  p.end();
  bool red = false;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (image.pixelColor(x, y) == QColor(255, 0, 0)) red = true;
  EXPECT_TRUE(red);
}

TEST_F(RaceViewsTest, BracketCellsPaintTheBracketColourOfTheSelectedRace) {
  Choose("2024年06月16日");
  const RaceDay& day = form->Day();
  // The first race and one whose brackets differ from it on a ring row and
  // on a horse, so that a grid left on the first race shows.
  auto differs = [&](int r) {
    bool ring = false, horse = false;
    for (int k = 0; k < std::min(day.Runners(r), day.Runners(0)); ++k) {
      ring |= day.Sheet[r].BracketNo[k].View() != day.Sheet[0].BracketNo[k].View();
      horse |= day.SeRec[r][k].Int(28, 1) != day.SeRec[0][k].Int(28, 1);
    }
    return ring && horse;
  };
  int other = -1;
  for (int r = 1; r < day.RaceListRows && other < 0; ++r)
    if (differs(r)) other = r;
  ASSERT_GT(other, 0);
  for (int slot : {0, other}) {
    Select(slot);
    for (int k = 0; k < day.Runners(slot); ++k) {
      int ringBracket = ReadInt(day.Sheet[slot].BracketNo[k].View());
      EXPECT_EQ(PaintedColour(StringGrid1(), 0, k + 1), cell::BracketColour(ringBracket))
          << slot << " " << k;
      int horseBracket = day.SeRec[slot][k].Int(28, 1);
      EXPECT_EQ(PaintedColour(StringGrid10(), 0, k + 1), cell::BracketColour(horseBracket))
          << slot << " " << k;
    }
  }
}

TEST_F(RaceViewsTest, DamagedStoreFileIsReportedAndTheWindowGoesOn) {
  // A RaceFile cut in the middle of a record.
  std::string bytes = home.Read("Data/2024年06月16日.jvRA");
  home.Write("Data/2024年06月16日.jvRA", bytes.substr(0, bytes.size() - 100));
  Choose("2024年06月16日");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("2024年06月16日.jvRA")) << messages[0].toStdString();
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(DatList()->count(), 0);
  EXPECT_EQ(form->Day().RaceCount, 0);
  // The other date still loads.
  messages.clear();
  Choose("2024年06月15日");
  EXPECT_GT(DatList()->count(), 0);
}

TEST_F(RaceViewsTest, ChangedWeightTakesEffectAfterReload) {
  Choose("2024年06月16日");
  RaceDay& day = form->Day();
  int total = 0;
  for (int r = 0; r < day.RaceListRows; ++r)
    for (int k = 0; k < 18; ++k) total += day.Calc[r].SignSum[k];
  SettingsFile ini;
  auto points = SignPoints::Load(ini);
  for (int i = 0; i < kSignCount; ++i) points[SignAt(i)] = 0;
  points.Save(ini);
  Choose("2024年06月16日");
  int after = 0;
  for (int r = 0; r < day.RaceListRows; ++r)
    for (int k = 0; k < 18; ++k) after += day.Calc[r].SignSum[k];
  EXPECT_GT(total, 0);
  EXPECT_EQ(after, 0);
}

}  // namespace
}  // namespace sorvix
