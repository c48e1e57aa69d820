// Every text of the race header and of the grids is whole: the rectangle
// each text takes, measured with its font's metrics, lies inside its cell,
// at the default window size and at 1024 x 768 (and, through a second run
// of these tests, at QT_SCALE_FACTOR=2).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "demo_store.h"
#include "results/ui/kaime_form.h"
#include "store/race_day.h"
#include "support/find_child.h"
#include "support/main_form_controls.h"
#include "support/scripted_jv_link.h"
#include "views/de_form.h"
#include "views/race_card_grid.h"
#include "views/race_header_bar.h"
#include "views/sign_table_grid.h"
#include "views/string_grid.h"
#include "views/up_down.h"

namespace sorvix {
namespace {

std::string Describe(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
         "x" + std::to_string(r.height());
}

class LayoutTest : public ::testing::TestWithParam<QSize>,
                   public test::MainFormControls<LayoutTest> {
 protected:
  friend class test::MainFormControls<LayoutTest>;
  void SetUp() override {
    SetMessageHandler([](MessageKind, const QString&) { return true; });
    form = std::make_unique<TMainForm>(std::make_unique<test::ScriptedJvLink>());
    form->move(0, 0);
    form->resize(GetParam());
    form->show();
    QCoreApplication::processEvents();
    ASSERT_NO_FATAL_FAILURE(Choose(QStringLiteral("2024年06月15日")));
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    cell::SetTextProbe({});
    form.reset();
    SetMessageHandler({});
  }

  // Paints every cell of `grid` as its paint handler does and reports each
  // text that leaves its cell (the cell's last pixel row is its bottom line).
  void ExpectTextsWhole(StringGrid* grid, const std::string& what) {
    int drawn = 0;
    cell::SetTextProbe([&](const QRect& cellRect, const QRect& text, const QString& s) {
      ++drawn;
      QRect room = cellRect.adjusted(0, 0, 0, -1);
      EXPECT_TRUE(room.contains(text)) << what << ": \"" << s.toStdString() << "\" "
                                       << Describe(text) << " in cell " << Describe(room);
    });
    QImage image(grid->FullSize(), QImage::Format_RGB32);
    QPainter p(&image);
    for (int row = 0; row < grid->RowCount(); ++row) {
      int x = 0;
      for (int col = 0; col < grid->ColCount(); ++col) {
        grid->PaintCell(p, col, row, QRect(x, 0, grid->ColWidth(col), grid->RowHeight()));
        x += grid->ColWidth(col) + 1;
      }
    }
    p.end();
    // The grid as the screen shows it goes through the same cells.
    if (grid->isVisible()) grid->grab();
    cell::SetTextProbe({});
    EXPECT_GT(drawn, 0) << what;
  }

  std::unique_ptr<TMainForm> form;
  test::DemoHome home;
};

TEST_P(LayoutTest, HeaderAndToolBarsShowEveryTextWhole) {
  for (int row : {0, 1, 10, 35}) {
    form->SelectRace(row);
    QCoreApplication::processEvents();
    for (QLabel* label : RaceHeader()->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      EXPECT_TRUE(label->isVisible()) << label->objectName().toStdString();
      int need = label->fontMetrics().horizontalAdvance(label->text()) +
                 label->contentsMargins().left() + label->contentsMargins().right();
      EXPECT_GE(label->contentsRect().width() + label->contentsMargins().left() +
                    label->contentsMargins().right(),
                need)
          << "row " << row << " " << label->objectName().toStdString() << " \""
          << label->text().toStdString() << "\"";
      EXPECT_GE(label->height(), label->fontMetrics().height())
          << label->objectName().toStdString();
    }
  }
  // Nothing of the tool bars went into an overflow menu.
  for (QWidget* w : {static_cast<QWidget*>(DateCombo()), static_cast<QWidget*>(UpDown1()),
                     static_cast<QWidget*>(RaceHeader())})
    EXPECT_TRUE(w->isVisible()) << w->metaObject()->className();
  for (QToolBar* bar : form->findChildren<QToolBar*>())
    for (QToolButton* button : bar->findChildren<QToolButton*>()) {
      if (button->objectName() == "qt_toolbar_ext_button") {
        EXPECT_FALSE(button->isVisible()) << "an overflow button shows";
        continue;
      }
      EXPECT_TRUE(button->isVisible()) << button->text().toStdString();
    }
}

TEST_P(LayoutTest, GridCellsHoldTheirTexts) {
  form->PlaceSecondaryWindows();
  DeForm()->DeBtnClick();
  KaimeForm()->KaimeHyoBtnClick();
  for (int row : {0, 7, 20}) {
    form->SelectRace(row);
    QCoreApplication::processEvents();
    std::string race = "race " + std::to_string(row);
    ExpectTextsWhole(StringGrid10(), race + " 出馬表");
    ExpectTextsWhole(StringGrid1(), race + " サイン表");
    for (int g = 1; g <= 8; ++g)
      ExpectTextsWhole(test::Child<StringGrid>(DeForm(), QStringLiteral("StringGrid%1").arg(g)),
                       race + " 連続出馬表 " + std::to_string(g));
    for (int i = 0; i < 3; ++i)
      ExpectTextsWhole(
          test::Child<StringGrid>(KaimeForm(), QStringLiteral("StringGrid%1").arg(i + 1)),
          race + " 買い目表 " + std::to_string(i));
  }
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, LayoutTest,
                         ::testing::Values(QSize(1200, 900), QSize(1024, 768)),
                         [](const auto& info) {
                           return std::to_string(info.param.width()) + "x" +
                                  std::to_string(info.param.height());
                         });

}  // namespace
}  // namespace sorvix
