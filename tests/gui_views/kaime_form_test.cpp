#include "results/ui/kaime_form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include <QImage>
#include <QPainter>
#include <QTabWidget>
#include <memory>

#include "app/settings_file.h"
#include "support/find_child.h"
#include "support/hr_record_builder.h"
#include "support/race_day_builder.h"
#include "support/temp_home.h"
#include "views/string_grid.h"

namespace sorvix {
namespace {

using test::RaceBuilder;

QColor CellPixel(const StringGrid& grid, int col, int row) {
  QRect rect(0, 0, grid.ColWidth(col), grid.RowHeight());
  QImage image(rect.size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  grid.PaintCell(p, col, row, rect);
  p.end();
  return image.pixelColor(0, 0);
}

std::string Text(const StringGrid& grid, int col, int row) {
  return grid.Cell(col, row).toStdString();
}

// The grid of a tab (kTrio, kQuinella, kExacta), by its name in the window.
StringGrid* Grid(const TKaimeForm& form, int index) {
  return test::Child<StringGrid>(&form, QStringLiteral("StringGrid%1").arg(index + 1));
}

class KaimeFormTest : public ::testing::Test {
 protected:
  KaimeFormTest() : day(RaceDay::Create()) {
    RaceBuilder(*day, 0, 8);
    RaceBuilder(*day, 1, 8);
    // Race slot 0: axis horse 3, partners 1, 5 and 7 (and the axis itself).
    RaceCalc& calc = day->Calc[0];
    calc.AxisMark[2] = 1;
    calc.AxisMark[4] = 2;
    for (int h : {1, 3, 5, 7}) calc.PartnerMark[h - 1] = 1;
    test::HrRecordBuilder hr;
    hr.Quinella(0, 1, 3, 1230, 1)
        .QuinellaPlace(0, 1, 3, 450, 1)
        .QuinellaPlace(1, 3, 7, 98000, 20)
        .Exacta(0, 3, 1, 2000, 1)
        .Trio(0, 1, 3, 7, 1234567, 300);
    day->HrRec[0].Assign(hr.Record());
  }

  test::TempHome home;
  std::unique_ptr<RaceDay> day;
};

TEST_F(KaimeFormTest, ListsTheCombinationsOfTheMainAxisWithPayouts) {
  TKaimeForm form;
  EXPECT_EQ(form.windowTitle().toStdString(), "買い目表");
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  auto* tabs = test::Child<QTabWidget>(&form, "PageControl1");
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0).toStdString(), "3連複");
  EXPECT_EQ(tabs->tabText(1).toStdString(), "馬連・ワ");
  EXPECT_EQ(tabs->tabText(2).toStdString(), "馬単");
  EXPECT_EQ(tabs->currentIndex(), 0);

  form.ShowCombinations(*day, 0);
  const StringGrid& quinella = *Grid(form, TKaimeForm::kQuinella);
  const StringGrid& exacta = *Grid(form, TKaimeForm::kExacta);
  const StringGrid& trio = *Grid(form, TKaimeForm::kTrio);
  ASSERT_EQ(quinella.RowCount(), 4);
  ASSERT_EQ(exacta.RowCount(), 7);
  ASSERT_EQ(trio.RowCount(), 4);
  EXPECT_EQ(Text(quinella, 0, 0), "No.");
  EXPECT_EQ(Text(quinella, 1, 0), "買い目");
  EXPECT_EQ(Text(quinella, 2, 0), "配当");
  EXPECT_EQ(quinella.ColWidth(0), 19);
  EXPECT_EQ(quinella.ColWidth(1), 66);
  EXPECT_EQ(quinella.ColWidth(2), 64);
  // At least the specified 15 pixels, and as high as the font needs.
  EXPECT_GE(quinella.RowHeight(), 15);
  EXPECT_GE(quinella.RowHeight(), QFontMetrics(quinella.GridFont()).height() + 2);

  // A pair that won both shows the 馬連 payout; a ワイド-only win its own.
  EXPECT_EQ(Text(quinella, 0, 1), " 1");
  EXPECT_EQ(Text(quinella, 1, 1), " 1- 3");
  EXPECT_EQ(Text(quinella, 2, 1), "  1230");
  EXPECT_EQ(Text(quinella, 1, 2), " 3- 5");
  EXPECT_EQ(Text(quinella, 2, 2), "");
  EXPECT_EQ(Text(quinella, 1, 3), " 3- 7");
  EXPECT_EQ(Text(quinella, 2, 3), " 98000");
  EXPECT_EQ(Text(exacta, 1, 1), " 1- 3");
  EXPECT_EQ(Text(exacta, 1, 2), " 3- 1");
  EXPECT_EQ(Text(exacta, 2, 2), "  2000");
  EXPECT_EQ(Text(exacta, 1, 6), " 7- 3");
  EXPECT_EQ(Text(trio, 1, 2), " 1- 3- 7");
  EXPECT_EQ(Text(trio, 2, 2), "1234567");  // more than six digits, in full
  EXPECT_EQ(Text(trio, 0, 3), " 3");
}

TEST_F(KaimeFormTest, WinningCombinationsArePainted) {
  TKaimeForm form;
  form.ShowCombinations(*day, 0);
  const StringGrid& quinella = *Grid(form, TKaimeForm::kQuinella);
  const StringGrid& exacta = *Grid(form, TKaimeForm::kExacta);
  const StringGrid& trio = *Grid(form, TKaimeForm::kTrio);
  const QColor red(255, 0, 0), magenta(255, 0, 255), white(Qt::white);
  EXPECT_EQ(CellPixel(quinella, 1, 1), red);      // 馬連 and ワイド
  EXPECT_EQ(CellPixel(quinella, 1, 2), white);    // lost
  EXPECT_EQ(CellPixel(quinella, 1, 3), magenta);  // ワイド only
  EXPECT_EQ(CellPixel(exacta, 1, 1), white);      // 1→3 did not win, 3→1 did
  EXPECT_EQ(CellPixel(exacta, 1, 2), red);
  EXPECT_EQ(CellPixel(trio, 1, 2), red);
  EXPECT_EQ(CellPixel(trio, 1, 1), white);
  EXPECT_EQ(CellPixel(trio, 0, 0), QColor(201, 146, 146));
  EXPECT_EQ(CellPixel(trio, 0, 1), QColor(193, 255, 193));
  EXPECT_EQ(CellPixel(trio, 2, 2), white);

  // Payouts are read at every paint.
  test::HrRecordBuilder hr;
  hr.Exacta(0, 1, 3, 2000, 1);
  day->HrRec[0].Assign(hr.Record());
  EXPECT_EQ(CellPixel(exacta, 1, 1), red);
  EXPECT_EQ(CellPixel(exacta, 1, 2), white);
  EXPECT_EQ(CellPixel(quinella, 1, 1), white);
}

TEST_F(KaimeFormTest, RaceWithoutCombinationsEmptiesTheGridsAndKeepsTheirRows) {
  TKaimeForm form;
  form.ShowCombinations(*day, 0);

  // No runner with AxisMark 1.
  form.ShowCombinations(*day, 1);
  for (int g : {TKaimeForm::kTrio, TKaimeForm::kQuinella, TKaimeForm::kExacta}) {
    SCOPED_TRACE(g);
    const StringGrid& grid = *Grid(form, g);
    EXPECT_EQ(grid.RowCount(), g == TKaimeForm::kExacta ? 7 : 4);
    EXPECT_EQ(Text(grid, 1, 0), "買い目");
    for (int row = 1; row < grid.RowCount(); ++row)
      for (int col = 0; col < 3; ++col) EXPECT_EQ(Text(grid, col, row), "");
  }

  // The only partner is the axis itself: no pair and no triple.
  form.ShowCombinations(*day, 0);
  RaceCalc& calc = day->Calc[1];
  calc.AxisMark[0] = 1;
  calc.PartnerMark[0] = 1;
  form.ShowCombinations(*day, 1);
  EXPECT_EQ(Grid(form, TKaimeForm::kQuinella)->RowCount(), 4);
  EXPECT_EQ(Text(*Grid(form, TKaimeForm::kQuinella), 1, 1), "");
  EXPECT_EQ(Text(*Grid(form, TKaimeForm::kTrio), 0, 1), "");
}

TEST_F(KaimeFormTest, GeometryIsRestoredAtCreationAndSavedAtDestruction) {
  {
    TKaimeForm form;
    EXPECT_EQ(form.pos(), QPoint(700, 50));
    EXPECT_EQ(form.size(), QSize(187, 500));
    form.KaimeHyoBtnClick();  // a window never shown keeps no place
    form.move(120, 80);
    form.resize(210, 420);
  }
  SettingsFile settings;
  EXPECT_EQ(settings.ReadInteger("KaimeFormlocate", "top", 0), 80);
  EXPECT_EQ(settings.ReadInteger("KaimeFormlocate", "left", 0), 120);
  EXPECT_EQ(settings.ReadInteger("KaimeFormlocate", "width", 0), 210);
  EXPECT_EQ(settings.ReadInteger("KaimeFormlocate", "height", 0), 420);
  TKaimeForm again;
  EXPECT_EQ(again.pos(), QPoint(120, 80));
  EXPECT_EQ(again.size(), QSize(210, 420));
}

}  // namespace
}  // namespace sorvix
