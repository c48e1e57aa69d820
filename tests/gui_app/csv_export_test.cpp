// ファイル › CSV保存 writes what the window shows, byte for byte the text of
// `sorvix-cli analyze DATE --race N --csv --csv-table TABLE`.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <cstdio>

#include "app/file_io.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "codes/cp932.h"
#include "demo_store.h"
#include "store/race_day.h"
#include "support/captured_messages.h"
#include "support/scripted_jv_link.h"
#include "support/shell.h"
#include "views/text/csv_tables.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

std::string RunCli(const std::string& arguments) {
  return test::Shell(test::kCli.string() + " " + arguments + " 2>/dev/null").out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

class CsvExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TMainForm>(std::make_unique<test::ScriptedJvLink>());
    form->show();
    QCoreApplication::processEvents();
    form->CsvFileChooser = [this](const QString& suggested) {
      this->suggested = suggested;
      return chosen;
    };
  }
  void TearDown() override { form.reset(); }

  test::DemoHome home;
  test::CapturedMessages messages;
  std::unique_ptr<TMainForm> form;
  QString suggested;
  QString chosen;
};

TEST_F(CsvExportTest, EveryTableOfTheShownRaceAndOfTheDayMatchesTheCommandLine) {
  messages.clear();
  form->CsvSaveClick(CsvTable::RaceCard, false);  // nothing loaded yet
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("開催日")) << messages[0].toStdString();

  ASSERT_TRUE(form->OpenDate(Cp932("2024年06月15日"), 2));
  const int runners = form->Day().Runners(2);
  struct Case {
    CsvTable table;
    bool allRaces;
  } cases[] = {{CsvTable::RaceCard, false}, {CsvTable::SignTable, false},
               {CsvTable::Results, false},  {CsvTable::Combinations, false},
               {CsvTable::RaceCard, true},  {CsvTable::SignTable, true}};
  for (const Case& c : cases) {
    std::string name = CsvTableName(c.table);
    fs::path file = home.path() / (name + (c.allRaces ? "-all" : "") + ".csv");
    chosen = QString::fromStdString(file.string());
    form->CsvSaveClick(c.table, c.allRaces);
    ASSERT_TRUE(fs::exists(file)) << name;
    std::string written = ReadWholeFile(file);
    EXPECT_EQ(written.substr(0, 3), "\xEF\xBB\xBF") << name;
    std::string cli = RunCli("--home '" + home.path().string() + "' analyze 2024-06-15" +
                             (c.allRaces ? "" : " --race 2") + " --csv --csv-table " + name);
    EXPECT_EQ(written, cli) << name;
    std::vector<std::string> lines = Lines(written);
    ASSERT_GT(lines.size(), 1u) << name;
    EXPECT_EQ(lines[0].substr(3, 9), "レース") << name;
    if (c.table == CsvTable::RaceCard && !c.allRaces) {
      EXPECT_EQ(lines.size(), static_cast<size_t>(runners) + 1);
      EXPECT_EQ(lines[1].substr(0, lines[1].find(',')), "10:25 京都 1R");
    }
    if (c.table == CsvTable::SignTable && !c.allRaces) {
      EXPECT_EQ(lines.size(), 19u);  // the 18 ring rows
    }
    if (c.allRaces) {
      EXPECT_NE(written.find("16:30 京都12R"), std::string::npos) << name;
    }
  }
  EXPECT_TRUE(suggested.endsWith("2024年06月15日_全レース_サイン表.csv"))
      << suggested.toStdString();

  // Cancelled: nothing written.  An unwritable place: the reason is said.
  chosen.clear();
  form->CsvSaveClick(CsvTable::Results, false);
  messages.clear();
  chosen = QString::fromStdString((home.path() / "no-folder" / "x.csv").string());
  form->CsvSaveClick(CsvTable::Results, false);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("x.csv")) << messages[0].toStdString();
  EXPECT_FALSE(fs::exists(home.path() / "no-folder"));
}

}  // namespace
}  // namespace sorvix
