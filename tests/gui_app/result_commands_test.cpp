// The result commands of the main window: predicted odds taking over the
// estimate after a reload, the real-time fetch, and the hit-report buttons.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "codes/cp932.h"
#include "demo_store.h"
#include "store/race_day.h"
#include "support/captured_messages.h"
#include "support/find_child.h"
#include "support/scripted_jv_link.h"

namespace sorvix {
namespace {

class ResultCommandsTest : public ::testing::Test {
 protected:
  void TearDown() override { form.reset(); }
  void Open() {
    link = new test::ScriptedJvLink;
    form = std::make_unique<TMainForm>(std::unique_ptr<JvLink>(link));
    form->show();
    QCoreApplication::processEvents();
  }
  void Choose(const QString& date) {
    auto* dates = test::Child<QComboBox>(form.get(), "DateCombo");
    dates->setCurrentIndex(dates->findText(date));
    form->DateComboChange();
  }
  QListWidget* DatList() const { return test::Child<QListWidget>(form.get(), "DatList"); }

  test::DemoHome home;
  test::CapturedMessages messages;
  test::ScriptedJvLink* link = nullptr;
  std::unique_ptr<TMainForm> form;
};

TEST_F(ResultCommandsTest, ImportedOddsDriveTheEstimateAfterSwitchingTheSource) {
  Open();
  Choose("2024年06月16日");
  std::vector<int> byRecords(form->Day().Calc[0].SuiteiRank, form->Day().Calc[0].SuiteiRank + 18);

  fs::path archive;
  for (const auto& e : fs::directory_iterator(test::DemoStore().parent_path() / "feed/odds"))
    if (e.path().filename().string().find("240616") != std::string::npos &&
        e.path().filename().string().rfind("OZ", 0) == 0)
      archive = e.path();
  ASSERT_FALSE(archive.empty());
  form->ImportOdds(QString::fromStdString(archive.string()));
  ASSERT_FALSE(messages.empty());
  EXPECT_TRUE(messages.back().contains("2024年06月16日のデータを保存しました"))
      << messages.back().toStdString();
  EXPECT_TRUE(fs::exists(home.path() / "Data/2024年06月16日.yoz"));

  test::Child<QAction>(form.get(), "OddsDataAction")
      ->trigger();  // stores the choice and reloads the date
  const RaceDay& day = form->Day();
  EXPECT_TRUE(day.YosoOzFound[0]);
  std::vector<int> byOdds(day.Calc[0].SuiteiRank, day.Calc[0].SuiteiRank + 18);
  EXPECT_NE(byOdds, byRecords);
  // The lowest odds rank first.
  int best = -1;
  for (int h = 0; h < day.Runners(0); ++h)
    if (day.Calc[0].SuiteiRank[h] == 1) best = h;
  ASSERT_GE(best, 0);
  for (int h = 0; h < day.Runners(0); ++h)
    if (day.Calc[0].Suitei[h] > 0) {
      EXPECT_LE(day.Calc[0].Suitei[best], day.Calc[0].Suitei[h]);
    }
}

TEST_F(ResultCommandsTest, RealtimeFetchErrorGoesToTheLabelAndTheLog) {
  Open();
  Choose("2024年06月16日");
  link->rtOpenResult = -301;
  DatList()->setCurrentRow(0);
  form->DatListClick();
  form->KekkaBtnClick();
  EXPECT_EQ(link->Count("JVRTOpen"), 1);
  std::string log = home.Read("ErrorLog.txt");
  EXPECT_NE(log.find("認証エラーが発生しました。(-301)"_sj), std::string::npos);
  EXPECT_TRUE(test::Child<QLabel>(form.get(), "DLlabel")->text().isEmpty());  // cleared at the end
}

TEST_F(ResultCommandsTest, HitReportButtonsNeedTheMarkerFile) {
  Open();
  EXPECT_EQ(form->findChild<QToolButton*>("TekiAnaBtn"), nullptr);
  form.reset();
  home.Write("MasterControlQuon.key", "");
  Open();
  ASSERT_NE(form->findChild<QToolButton*>("TekiAnaBtn"), nullptr);
  ASSERT_NE(form->findChild<QToolButton*>("TekiAnaBtn2"), nullptr);
  Choose("2024年06月16日");
  form->TekiAnaBtnClick(false);
  EXPECT_TRUE(fs::exists(home.path() / "HPupload/TK20240616.txt"));
  EXPECT_EQ(DatList()->currentRow(), DatList()->count() - 1);
}

}  // namespace
}  // namespace sorvix
