// SQLite へ書き出し on the demo store: opened from the main window's menu,
// written with its progress bar, stopped with 中止 and gone on with later.
#include "export/ui/sqlite_export_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

#include "app/ui/main_form.h"
#include "gui_app/demo_store.h"
#include "results/backtest.h"
#include "support/captured_messages.h"
#include "support/find_child.h"
#include "support/scripted_jv_link.h"

namespace sorvix {
namespace {

class SqliteExportFormTest : public ::testing::Test {
 protected:
  QString File(const char* name) const {
    return QString::fromStdString((home.path() / name).string());
  }
  static QLabel* Label(const TSqliteExportForm& form, const char* name) {
    return test::Child<QLabel>(&form, name);
  }
  static QPushButton* Button(const TSqliteExportForm& form, const char* name) {
    return test::Child<QPushButton>(&form, name);
  }

  test::DemoHome home;
  test::CapturedMessages messages;
};

TEST_F(SqliteExportFormTest, TheMenuItemAsksForAFileAndWritesEveryDate) {
  TMainForm main(std::unique_ptr<JvLink>(new test::ScriptedJvLink));
  auto* form = new TSqliteExportForm(&main);
  form->AskSavePath = [this] { return File("all.sqlite"); };
  QAction* item = nullptr;
  for (QAction* menu : main.menuBar()->actions())
    for (QAction* action : menu->menu() ? menu->menu()->actions() : QList<QAction*>{})
      if (action->objectName() == QStringLiteral("SqliteExportAction")) item = action;
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), QStringLiteral("SQLite へ書き出し(&Q)..."));
  QSignalSpy finished(form, &TSqliteExportForm::Finished);
  item->trigger();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(Button(*form, "CancelButton")->isEnabled());
  ASSERT_TRUE(finished.wait(120000));
  const int dates = static_cast<int>(StoredDatesBetween({}, {}).size());
  ASSERT_NE(form->Result(), nullptr);
  EXPECT_EQ(form->Result()->added, dates);
  EXPECT_FALSE(form->Result()->cancelled);
  auto* bar = test::Child<QProgressBar>(form, "Progress");
  EXPECT_EQ(bar->value(), dates);
  EXPECT_TRUE(
      Label(*form, "StatusLabel")->text().startsWith(QStringLiteral("追加 %1 日").arg(dates)))
      << Label(*form, "StatusLabel")->text().toStdString();
  EXPECT_FALSE(Button(*form, "CancelButton")->isEnabled());
  EXPECT_TRUE(messages.empty());
}

TEST_F(SqliteExportFormTest, CancelKeepsTheDatesWrittenAndTheNextExportGoesOn) {
  TSqliteExportForm form;
  form.show();
  QSignalSpy finished(&form, &TSqliteExportForm::Finished);
  ASSERT_TRUE(form.Start(File("part.sqlite")));
  EXPECT_FALSE(form.Start(File("other.sqlite")));
  Button(form, "CancelButton")->click();
  ASSERT_TRUE(finished.wait(60000));
  const int dates = static_cast<int>(StoredDatesBetween({}, {}).size());
  ASSERT_NE(form.Result(), nullptr);
  EXPECT_TRUE(form.Result()->cancelled);
  const int written = form.Result()->added;
  EXPECT_LT(written, dates);
  EXPECT_TRUE(Label(form, "StatusLabel")->text().startsWith(QStringLiteral("中止しました")));

  ASSERT_TRUE(form.Start(File("part.sqlite")));
  ASSERT_TRUE(finished.wait(120000));
  EXPECT_EQ(form.Result()->present, written);
  EXPECT_EQ(form.Result()->added, dates - written);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace sorvix
