// サイン検証 window on the demo store: opened from the main window's menu and
// tool bar, run with its progress bar, stopped with 中止, its tables equal the
// core's result, and CSV and PNG are saved.
#include "results/ui/backtest_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <cstdlib>

#include "app/file_io.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "gui_app/demo_store.h"
#include "support/captured_messages.h"
#include "support/find_child.h"
#include "support/scripted_jv_link.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

class BacktestFormTest : public ::testing::Test {
 protected:
  // Runs and waits for the end of the run.
  static bool RunAndWait(TBacktestForm& form) {
    QSignalSpy finished(&form, &TBacktestForm::Finished);
    Button(form, "RunButton")->click();
    return finished.wait(120000);
  }

  // The window's controls, by their names.
  static QComboBox* Combo(const TBacktestForm& form, const char* name) {
    return test::Child<QComboBox>(&form, name);
  }
  static QLabel* Label(const TBacktestForm& form, const char* name) {
    return test::Child<QLabel>(&form, name);
  }
  static QPushButton* Button(const TBacktestForm& form, const char* name) {
    return test::Child<QPushButton>(&form, name);
  }
  static QTableWidget* Table(const TBacktestForm& form, const char* name) {
    return test::Child<QTableWidget>(&form, name);
  }

  test::DemoHome home;
  test::CapturedMessages messages;
};

TEST_F(BacktestFormTest, OpensFromTheMenuAndToolBarOfTheMainWindow) {
  TMainForm main(std::unique_ptr<JvLink>(new test::ScriptedJvLink));
  QAction* item = nullptr;
  for (QAction* menu : main.menuBar()->actions())
    for (QAction* action : menu->menu() ? menu->menu()->actions() : QList<QAction*>{})
      if (action->text() == QStringLiteral("サイン検証(&B)...")) item = action;
  ASSERT_NE(item, nullptr);
  item->trigger();
  auto* form = main.findChild<TBacktestForm*>();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->windowTitle(), QStringLiteral("サイン検証"));
  // Every stored date, the oldest first; the whole range chosen.
  EXPECT_EQ(Combo(*form, "FromCombo")->currentIndex(), 0);
  EXPECT_EQ(Combo(*form, "ToCombo")->currentIndex(), Combo(*form, "ToCombo")->count() - 1);
  EXPECT_EQ(Combo(*form, "ToCombo")->currentText(), QStringLiteral("2024-06-16"));

  QToolButton* button = nullptr;
  for (QToolButton* b : main.findChildren<QToolButton*>())
    if (b->text() == QStringLiteral("サイン検証")) button = b;
  ASSERT_NE(button, nullptr);
  form->close();
  button->click();
  EXPECT_EQ(main.findChildren<TBacktestForm*>().size(), 1);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(BacktestFormTest, RunShowsTheCoresFiguresAndSavesCsvAndPng) {
  TBacktestForm form;
  form.resize(1200, 820);
  form.show();
  // The window says which estimate a run uses.
  Combo(form, "SourceCombo")->setCurrentIndex(1);
  EXPECT_TRUE(Label(form, "NoteLabel")->text().contains(QStringLiteral("予想オッズデータ")));
  Combo(form, "SourceCombo")->setCurrentIndex(0);
  EXPECT_TRUE(Label(form, "NoteLabel")->text().contains(QStringLiteral("各開催日の前の成績数")));
  EXPECT_TRUE(Label(form, "PointsLabel")->text().contains(QStringLiteral("赤9=15")));

  ASSERT_TRUE(RunAndWait(form));
  const BacktestResult* result = form.Result();
  ASSERT_NE(result, nullptr);
  EXPECT_FALSE(result->cancelled);
  EXPECT_EQ(test::Child<QProgressBar>(&form, "Progress")->value(),
            test::Child<QProgressBar>(&form, "Progress")->maximum());

  BacktestOptions options;
  options.dates = StoredDatesBetween({}, {});
  options.workers = 1;
  BacktestResult direct = RunBacktest(options);
  EXPECT_EQ(result->total, direct.total);
  EXPECT_EQ(result->races, direct.races);
  EXPECT_GT(result->races, 0);

  // Table rows: 全馬, 28 signs + 5 families; 全馬, 4 ranks × 5 bands + 2
  // marks; each bet type's whole pool and its tickets.
  EXPECT_EQ(Table(form, "SignTable")->rowCount(), 34);
  EXPECT_EQ(Table(form, "RankTable")->rowCount(), 23);
  ASSERT_EQ(Table(form, "TicketTable")->rowCount(), 8);
  EXPECT_EQ(Table(form, "SignTable")->item(0, 0)->text(), QStringLiteral("全馬"));
  EXPECT_EQ(Table(form, "SignTable")->item(0, 1)->text().toLongLong(), direct.total.all.runners);
  EXPECT_EQ(Table(form, "SignTable")->item(10, 0)->text(), QStringLiteral("赤9"));
  EXPECT_EQ(Table(form, "SignTable")->item(10, 1)->text().toLongLong(),
            direct.total.signs[9].runners);
  EXPECT_EQ(Table(form, "TicketTable")->item(1, 1)->text().toLongLong(),
            direct.total.tickets[0].tickets);
  // A value is coloured only where the core says it stands out.
  BacktestFigures figures = FiguresOf(direct);
  for (int s = 0; s < kSignCount; ++s) {
    QColor colour = Table(form, "SignTable")->item(s + 1, 8)->foreground().color();
    bool red = colour == QColor(200, 0, 0);
    EXPECT_EQ(red, figures.signs[s].winReturn.standout == Standout::Above) << s;
  }

  // A month of the breakdown fills the tables with that month's figures.
  int june = Combo(form, "ScopeCombo")->findText(QStringLiteral("2024年06月"));
  ASSERT_GE(june, 0);
  Combo(form, "ScopeCombo")->setCurrentIndex(june);
  EXPECT_EQ(Table(form, "SignTable")->item(10, 1)->text().toLongLong(),
            direct.byMonth.at("2024-06").signs[9].runners);
  Combo(form, "ScopeCombo")->setCurrentIndex(0);

  fs::path csv = home.path() / "検証.csv";
  fs::path png = home.path() / "回収率.png";
  form.AskSavePath = [&](const QString&, const QString& filter) {
    return QString::fromStdString((filter.contains("csv") ? csv : png).string());
  };
  Button(form, "CsvButton")->click();
  std::string text = ReadWholeFile(csv);
  EXPECT_EQ(text.rfind("\xEF\xBB\xBFscope,section,key,value,runners", 0), 0u);
  EXPECT_NE(text.find("input,input,state,complete"), std::string::npos);
  EXPECT_NE(text.find("input,input,source,racehorse"), std::string::npos);
  EXPECT_NE(text.find("\n\"=\"\"2024-06\"\"\",sign,Red9,"), std::string::npos);
  EXPECT_NE(text.find("\n東京,ticket,trio,"), std::string::npos);
  test::Child<QTabWidget>(&form, "Tabs")
      ->setCurrentWidget(test::Child<QWidget>(&form, "RateChart"));
  Button(form, "PngButton")->click();
  QImage image(QString::fromStdString(png.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(1400, 800));
  // The win return bars are drawn across the plot.
  int blue = 0;
  for (int y = 0; y < image.height(); ++y) {
    QColor c = image.pixelColor(300, y);
    if (c.blue() > 150 && c.red() < 120) ++blue;
  }
  EXPECT_GT(blue, 30);
  EXPECT_TRUE(messages.empty());
}

TEST_F(BacktestFormTest, CancelStopsWithinADayAndKeepsTheWindowLive) {
  TBacktestForm form;
  form.show();
  QSignalSpy finished(&form, &TBacktestForm::Finished);
  Button(form, "RunButton")->click();
  EXPECT_FALSE(Button(form, "RunButton")->isEnabled());
  EXPECT_TRUE(Button(form, "CancelButton")->isEnabled());
  QElapsedTimer timer;
  timer.start();
  Button(form, "CancelButton")->click();
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_LT(timer.elapsed(), 5000);
  ASSERT_NE(form.Result(), nullptr);
  EXPECT_LT(form.Result()->dates, static_cast<int>(StoredDatesBetween({}, {}).size()));
  EXPECT_TRUE(Button(form, "RunButton")->isEnabled());
  EXPECT_TRUE(Label(form, "StatusLabel")->text().startsWith(QStringLiteral("中止しました")));
}

}  // namespace
}  // namespace sorvix
