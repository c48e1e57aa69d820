// 配点最適化 in サイン検証 on the test store: the tab runs the core's tuning
// (the same points as the core with the same inputs), shows the test dates
// side by side with the base rate and a chart per fold, saves the tuned
// points into a settings file but never into sorvix.ini, and puts them into
// the settings dialog without saving them.
#include "results/ui/tune_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <optional>

#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "app/ui/qt_text.h"
#include "gui_app/demo_store.h"
#include "results/ui/backtest_form.h"
#include "support/captured_messages.h"
#include "support/find_child.h"

namespace sorvix {
namespace {

class TunePanelTest : public ::testing::Test {
 protected:
  TTunePanel* Panel() {
    auto* tabs = test::Child<QTabWidget>(&form_, "Tabs");
    for (int i = 0; i < tabs->count(); ++i)
      if (tabs->tabText(i) == QStringLiteral("配点最適化")) {
        tabs->setCurrentIndex(i);
        return qobject_cast<TTunePanel*>(tabs->widget(i));
      }
    return nullptr;
  }
  bool RunAndWait(TTunePanel& panel) {
    QSignalSpy finished(&panel, &TTunePanel::Finished);
    test::Child<QPushButton>(&panel, "TuneRunButton")->click();
    return finished.wait(180000);
  }

  test::DemoHome home_;
  test::CapturedMessages messages_;
  TBacktestForm form_;
};

TEST_F(TunePanelTest, RunsTheCoresTuningAndShowsTheTestDates) {
  form_.resize(1200, 900);
  form_.show();
  TTunePanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  test::Child<QSpinBox>(panel, "TuneCandidates")->setValue(30);
  test::Child<QSpinBox>(panel, "TuneSeed")->setValue(5);
  test::Child<QComboBox>(panel, "TuneSource")->setCurrentIndex(0);
  ASSERT_TRUE(RunAndWait(*panel));
  const TuneResult* shown = panel->Result();
  ASSERT_NE(shown, nullptr);
  ASSERT_EQ(shown->folds.size(), 1u);

  // The same inputs through the core give the same points and figures.
  auto label = [&](const char* name) {
    return FromQ(test::Child<QComboBox>(panel, name)->currentData().toString());
  };
  BacktestOptions load;
  load.dates = StoredDatesBetween(label("TuneTrainFrom"), label("TuneTestTo"));
  TuneData data = KeepTuneData(load);
  auto fold = FoldOfRange(data, label("TuneTrainFrom"), label("TuneTrainTo"), label("TuneTestFrom"),
                          label("TuneTestTo"));
  ASSERT_TRUE(fold);
  TuneRunOptions run;
  run.current = SignPoints::Load(SettingsFile());
  run.seed = 5;
  run.candidates = 30;
  TuneResult direct = RunTuning(data, std::vector<TuneFold>{*fold}, run);
  EXPECT_EQ(shown->tuned.value, direct.tuned.value);
  ASSERT_EQ(shown->rows.size(), direct.rows.size());
  EXPECT_EQ(shown->rows[0].figure[0].part, direct.rows[0].figure[0].part);

  auto* table = test::Child<QTableWidget>(panel, "TuneTable");
  EXPECT_EQ(table->rowCount(), static_cast<int>(direct.rows.size()));
  EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("◎ 複勝回収率"));
  EXPECT_FALSE(test::Child<QLabel>(panel, "TuneVerdict")->text().isEmpty());
  EXPECT_EQ(test::Child<QTableWidget>(panel, "TunePoints")->rowCount(), 3);
  // The chart draws the training and the test bar of the fold.
  QImage image(640, 300, QImage::Format_RGB32);
  QPainter painter(&image);
  test::Child<TuneFoldChart>(panel, "TuneFoldChart")->Paint(painter, image.rect());
  int trainBar = 0, testBar = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      trainBar += image.pixel(x, y) == QColor(170, 170, 170).rgb();
      testBar += image.pixel(x, y) == QColor(60, 110, 200).rgb();
    }
  EXPECT_GT(trainBar, 0);
  EXPECT_GT(testBar, 0);
}

TEST_F(TunePanelTest, SavesIntoAFileButNeverIntoTheHomesSettings) {
  TTunePanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  test::Child<QSpinBox>(panel, "TuneCandidates")->setValue(20);
  ASSERT_TRUE(RunAndWait(*panel));
  const SignPoints tuned = panel->Result()->tuned;
  std::optional<std::string> before = ReadFileIfExists(SettingsFile().path());

  QString home = QString::fromStdString(SettingsFile().path().string());
  panel->AskSavePath = [&](const QString&, const QString&) { return home; };
  test::Child<QPushButton>(panel, "TuneSaveButton")->click();
  EXPECT_EQ(ReadFileIfExists(SettingsFile().path()), before);
  ASSERT_FALSE(messages_.empty());
  EXPECT_TRUE(messages_.back().contains(QStringLiteral("sorvix.ini")));

  std::filesystem::path file = ProgramFolder::Get() / "tuned.ini";
  EXPECT_TRUE(panel->SaveSettings(QString::fromStdString(file.string())));
  EXPECT_EQ(SignPoints::Load(SettingsFile(file)).value, tuned.value);

  // The dialog shows the tuned points; closing it without OK saves nothing.
  bool shown = false;
  panel->ShowDialog = [&](QDialog* dialog) {
    shown = true;
    EXPECT_EQ(test::Child<QLineEdit>(dialog, "Red5")->text(), QString::number(tuned[Sign::Red5]));
    dialog->reject();
  };
  test::Child<QPushButton>(panel, "TuneSettingsButton")->click();
  EXPECT_TRUE(shown);
  EXPECT_EQ(ReadFileIfExists(SettingsFile().path()), before);
}

// Nothing to tune on (dates within one year, split yearly):
// the run ends with the reason, no result, and the window ready again.
TEST_F(TunePanelTest, YearlyFoldsOnOneYearOfDatesSayWhyAndEndTheRun) {
  TTunePanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  test::Child<QCheckBox>(panel, "TuneYearly")->setChecked(true);
  test::Child<QComboBox>(panel, "TuneTestTo")->setCurrentIndex(1);
  ASSERT_TRUE(RunAndWait(*panel));
  EXPECT_EQ(panel->Result(), nullptr);
  ASSERT_FALSE(messages_.empty());
  EXPECT_EQ(messages_.back(), QStringLiteral("毎年の分割には2年以上の開催日が必要です。"));
  EXPECT_EQ(test::Child<QLabel>(panel, "TuneStatus")->text(),
            QStringLiteral("最適化できませんでした"));
  EXPECT_FALSE(panel->Running());
  EXPECT_TRUE(test::Child<QPushButton>(panel, "TuneRunButton")->isEnabled());
  EXPECT_FALSE(test::Child<QPushButton>(panel, "TuneCancelButton")->isEnabled());
}

}  // namespace
}  // namespace sorvix
