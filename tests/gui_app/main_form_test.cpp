#include "app/ui/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <vector>

#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "support/captured_messages.h"
#include "support/find_child.h"
#include "support/scripted_jv_link.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

// The window's controls, by their names.
QAction* Action(const TMainForm& form, const char* name) {
  return test::Child<QAction>(&form, name);
}
QComboBox* DateCombo(const TMainForm& form) {
  return test::Child<QComboBox>(&form, "DateCombo");
}
QFrame* Panel5(const TMainForm& form) {
  return test::Child<QFrame>(&form, "Panel5");
}

class MainFormTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMainForm> Open(test::ScriptedJvLink* link) {
    auto form = std::make_unique<TMainForm>(std::unique_ptr<JvLink>(link));
    form->show();
    QCoreApplication::processEvents();  // the first-show steps run from the event loop
    QCoreApplication::processEvents();
    return form;
  }

  test::TempHome home;
  test::CapturedMessages messages;
};

TEST_F(MainFormTest, WithoutSettingsOpensWithDefaultsAndClosingStoresTheGeometry) {
  auto* link = new test::ScriptedJvLink;
  auto form = Open(link);
  EXPECT_EQ(form->windowTitle(), "Sorvix");
  EXPECT_EQ(form->pos(), QPoint(10, 10));  // the frame's position
  EXPECT_EQ(form->size(), QSize(1200, 900));
  EXPECT_TRUE(Action(*form, "ColumnOrderAction")->isChecked());
  EXPECT_TRUE(Action(*form, "RaceDataAction")->isChecked());
  EXPECT_FALSE(test::Child<QTabWidget>(form.get(), "PageControl1")->isVisible());
  EXPECT_EQ(link->calls.front(), "JVInit");
  EXPECT_TRUE(messages.empty());
  for (const char* folder : {"SEI", "SEIR", "UM2", "Data", "KSCH"})
    EXPECT_TRUE(std::filesystem::is_directory(home.path() / folder));
  EXPECT_TRUE(std::filesystem::exists(home.path() / "ErrorLog.txt"));

  form->move(30, 40);
  form->resize(1000, 700);
  form->close();
  SettingsFile ini;
  EXPECT_EQ(ini.ReadInteger("locate", "left", 0), 30);
  EXPECT_EQ(ini.ReadInteger("locate", "top", 0), 40);
  EXPECT_EQ(ini.ReadInteger("locate", "width", 0), 1000);
  EXPECT_EQ(ini.ReadInteger("locate", "height", 0), 700);
}

TEST_F(MainFormTest, RestoresChoicesAndListsDatesNewestFirst) {
  home.Write("sorvix.ini",
             "[locate]\r\ntop=20\r\nleft=25\r\nwidth=900\r\nheight=600\r\n"
             "[PrintOpt]\r\nColSet=1\r\n[YosoOz]\r\nSelect=1\r\n");
  home.Write("Data/2008年01月05日.jvRA", "");
  home.Write("Data/2008年01月06日.jvRA", "");
  auto form = Open(new test::ScriptedJvLink);
  EXPECT_EQ(form->pos(), QPoint(25, 20));
  EXPECT_EQ(form->size(), QSize(900, 600));
  EXPECT_TRUE(Action(*form, "RowOrderAction")->isChecked());
  EXPECT_FALSE(Action(*form, "ColumnOrderAction")->isChecked());
  EXPECT_TRUE(Action(*form, "OddsDataAction")->isChecked());
  ASSERT_EQ(DateCombo(*form)->count(), 2);
  EXPECT_EQ(DateCombo(*form)->itemText(0), "2008年01月06日");
  EXPECT_EQ(DateCombo(*form)->currentIndex(), -1);

  Action(*form, "ColumnOrderAction")->trigger();
  Action(*form, "RaceDataAction")->trigger();
  EXPECT_EQ(SettingsFile().ReadInteger("PrintOpt", "ColSet", 9), 0);
  EXPECT_EQ(SettingsFile().ReadInteger("YosoOz", "Select", 9), 0);
}

TEST_F(MainFormTest, OldJvLinkOrFailedInitIsReportedAndTheProgramGoesOn) {
  auto* old = new test::ScriptedJvLink;
  old->version = "0480";
  auto form = Open(old);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("[4.8.0]"));

  messages.clear();
  auto* failing = new test::ScriptedJvLink;
  failing->initResult = -101;
  auto second = Open(failing);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "JVInitエラー：sid が設定されていません。(-101)");
  EXPECT_TRUE(second->isVisible());
}

TEST_F(MainFormTest, UnwritableErrorLogIsReportedAndTheWindowStillOpens) {
  std::filesystem::create_directory(home.path() / "ErrorLog.txt");  // cannot be read as a file
  auto form = Open(new test::ScriptedJvLink);
  ASSERT_FALSE(messages.empty());
  EXPECT_TRUE(messages[0].contains("ErrorLog.txt"));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(MainFormTest, PrintCommandsWithoutALoadedDateAskForOne) {
  auto form = Open(new test::ScriptedJvLink);
  messages.clear();
  for (PrintLayout layout : {PrintLayout::Continuous, PrintLayout::Ring, PrintLayout::Batch})
    form->PrintClick(layout, PrintScope::AllVenues);
  ASSERT_EQ(messages.size(), 3u);
  for (const QString& m : messages) EXPECT_EQ(m, "分析用ﾃﾞｰﾀを選択してください。");
}

TEST_F(MainFormTest, FButtonTogglesTheRaceListPanel) {
  auto form = Open(new test::ScriptedJvLink);
  EXPECT_TRUE(Panel5(*form)->isVisible());
  auto* button = form->findChild<QToolButton*>(QString(), Qt::FindChildrenRecursively);
  ASSERT_NE(button, nullptr);
  for (QToolButton* b : form->findChildren<QToolButton*>())
    if (b->text() == "F") button = b;
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_FALSE(Panel5(*form)->isVisible());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(Panel5(*form)->isVisible());
}

}  // namespace
}  // namespace sorvix
