// Saving settings where they cannot be saved: a read-only home and a
// settings file that cannot be read.  Each save the user asks for says
// once that it failed and never that it succeeded; windows that close say
// once in a run that their places were not kept.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/sign_points.h"
#include "analysis/ui/user_set_form.h"
#include "app/settings_file.h"
#include "app/ui/main_form.h"
#include "print/ui/all_print_form.h"
#include "store/race_day.h"
#include "support/captured_messages.h"
#include "support/find_child.h"
#include "support/read_only_folder.h"
#include "support/scripted_jv_link.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Texts(const std::vector<QString>& messages) {
  std::vector<std::string> texts;
  for (const QString& m : messages) texts.push_back(QString(m).replace('\n', ' ').toStdString());
  return texts;
}

// 設定 → OK with Red1 changed to 33; the messages shown.
std::vector<std::string> OkInSettingsDialog() {
  test::CapturedMessages messages;
  TUserSetForm form;
  test::Child<QLineEdit>(&form, "Red1")->setText("33");
  form.OkBtnClick();
  return Texts(messages);
}

bool SaysSaved(const std::vector<std::string>& texts) {
  for (const std::string& t : texts)
    if (t.find("保存しました") != std::string::npos) return true;
  return false;
}

TEST(SettingsSave, OkInAReadOnlyHomeSaysOnceThatNothingWasSaved) {
  test::TempHome home;
  home.Write("sorvix.ini", "[SignPoint]\r\nRed1=12\r\n");
  test::ReadOnlyRun run = test::InReadOnlyFolder(home.path(), OkInSettingsDialog);
  if (!run.skipped.empty()) GTEST_SKIP() << run.skipped;
  ASSERT_FALSE(run.crashed);
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_EQ(run.lines[0].rfind("設定を保存できません: ", 0), 0u) << run.lines[0];
  EXPECT_NE(run.lines[0].find(home.path().string()), std::string::npos) << run.lines[0];
  EXPECT_EQ(home.Read("sorvix.ini"), "[SignPoint]\r\nRed1=12\r\n");
}

TEST(SettingsSave, OkWithAnUnreadableSettingsFileSaysOnceAndKeepsIt) {
  test::TempHome home;
  fs::create_directory(home.path() / "sorvix.ini");  // cannot be read as a file
  std::vector<std::string> texts = OkInSettingsDialog();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind("設定を保存できません: ", 0), 0u) << texts[0];
  EXPECT_NE(texts[0].find("sorvix.ini"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(home.path() / "sorvix.ini"));
}

TEST(SettingsSave, OkWritesAllPointsInOneWrite) {
  test::TempHome home;
  std::vector<std::string> texts = OkInSettingsDialog();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "表示されている入力内容で保存しました。");
  SignPoints saved = SignPoints::Load(SettingsFile());
  EXPECT_EQ(saved[Sign::Red1], 33);
  // Every key is in the file.
  std::string text = home.Read("sorvix.ini");
  for (int i = 0; i < kSignCount; ++i)
    EXPECT_NE(text.find(std::string(InfoOf(SignAt(i)).key) + "="), std::string::npos) << i;
}

// The main window with its 買い目表, and the print preview, opened and
// closed in a read-only home: the failed saves of their places are said
// once, after what the main window says about the home at start.
std::vector<std::string> OpenAndCloseWindows() {
  test::CapturedMessages messages;
  {
    TMainForm form(std::make_unique<test::ScriptedJvLink>());
    form.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    messages.clear();  // the folders and the error log that cannot be made
    form.PlaceSecondaryWindows();
    auto day = RaceDay::Create();
    day->RaceListRows = day->RaceCount = 1;
    day->Sheet[0].RaceKey = "2024061506030501";
    day->Sheet[0].StartTime = "1010";
    day->Sheet[0].RunnerCount = "16";
    auto preview = MakePrintPreview(nullptr, *day, PrintLayout::Continuous, PrintScope::AllVenues,
                                    BlockOrder::Columns);
    if (preview) {
      preview->SetZoomIndex(2);
      preview->close();
    }
    form.close();
  }
  return Texts(messages);
}

TEST(SettingsSave, WindowPlacesThatCannotBeSavedAreSaidOnce) {
  test::TempHome home;
  test::ReadOnlyRun run = test::InReadOnlyFolder(home.path(), OpenAndCloseWindows);
  if (!run.skipped.empty()) GTEST_SKIP() << run.skipped;
  ASSERT_FALSE(run.crashed);
  ASSERT_EQ(run.lines.size(), 1u) << ::testing::PrintToString(run.lines);
  EXPECT_EQ(run.lines[0].rfind("ウィンドウの位置と表示を保存できません: ", 0), 0u) << run.lines[0];
  EXPECT_FALSE(SaysSaved(run.lines));
}

}  // namespace
}  // namespace sorvix
