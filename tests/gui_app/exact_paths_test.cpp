// A home whose path has an accented letter and a kanji CP932 lacks (𠮷):
// the windows' messages name it exactly, never with "?" in place of a
// character, and every failure comes through the one error display.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "analysis/ui/user_set_form.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/ui/main_form.h"
#include "codes/cp932.h"
#include "gui_app/demo_store.h"
#include "results/ui/backtest_form.h"
#include "support/captured_messages.h"
#include "support/scripted_jv_link.h"
#include "support/temp_home.h"
#include "views/text/csv_tables.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<TMainForm> OpenMainForm() {
  auto form = std::make_unique<TMainForm>(std::make_unique<test::ScriptedJvLink>());
  form->show();
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  return form;
}

TEST(ExactPaths, WindowMessagesNameAHomeOutsideCp932Exactly) {
  test::TempHome base;
  const fs::path home = base.path() / "josé" / "𠮷の家";
  struct Case {
    const char* what;
    std::function<void()> act;
    fs::path named;  // the path the message names
  } cases[] = {
      {"an error log that cannot be written",
       [&] {
         fs::create_directory(home / "ErrorLog.txt");
         OpenMainForm();
         fs::remove(home / "ErrorLog.txt");
       },
       home / "ErrorLog.txt"},
      {"CSV保存 into a folder that is not there",
       [&] {
         auto form = OpenMainForm();
         form->OpenDate(Cp932("2024年06月15日"), 0);
         form->CsvFileChooser = [&](const QString&) {
           return QString::fromStdString((home / "無い" / "結果").string());
         };
         form->CsvSaveClick(CsvTable::Results, false);
       },
       home / "無い" / "結果.csv"},
      {"サイン検証's CSV保存 into a folder that is not there",
       [&] {
         TBacktestForm form;
         form.AskSavePath = [&](const QString&, const QString&) {
           return QString::fromStdString((home / "無い" / "検証").string());
         };
         form.Run();
         while (form.Running()) QCoreApplication::processEvents();
         QCoreApplication::processEvents();
         form.SaveCsv(QString::fromStdString((home / "無い" / "検証.csv").string()));
       },
       home / "無い" / "検証.csv"},
      {"設定 OK with a settings file that cannot be read",
       [&] {
         fs::create_directory(home / "sorvix.ini");
         TUserSetForm form;
         form.OkBtnClick();
         fs::remove(home / "sorvix.ini");
       },
       home / "sorvix.ini"},
  };
  fs::create_directories(home);
  for (const char* folder : {"Data", "SEI", "UM2", "KSCH"})
    fs::copy(test::DemoStore() / folder, home / folder, fs::copy_options::recursive);
  for (const Case& c : cases) {
    ProgramFolder::Set(home);
    test::CapturedMessages messages;
    c.act();
    ASSERT_FALSE(messages.empty()) << c.what;
    bool named = false;
    for (const QString& m : messages) {
      const std::string text = m.toStdString();
      named = named || text.find(c.named.string()) != std::string::npos;
      EXPECT_EQ(text.find('?'), std::string::npos) << c.what << ": " << text;
    }
    EXPECT_TRUE(named) << c.what << ": " << messages.back().toStdString();
  }
}

}  // namespace
}  // namespace sorvix
