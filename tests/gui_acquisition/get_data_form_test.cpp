#include "acquisition/ui/get_data_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTimeEdit>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "acquisition/acquisition_time.h"
#include "acquisition/feed_jv_link.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "codes/cp932.h"
#include "codes/jv_result_message.h"
#include "support/find_child.h"
#include "support/scripted_jv_link.h"
#include "support/temp_home.h"
#include "tools/feedgen/generator.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

class GetDataFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateStoreFolders();
    SetMessageHandler([this](MessageKind kind, const QString& text) {
      messages.push_back(text);
      return kind == MessageKind::Question ? answer : true;
    });
  }
  void TearDown() override { SetMessageHandler({}); }

  // Runs the event loop until the run has left the download.
  static void WaitForEnd(const TGetDataForm& form) {
    for (int i = 0; i < 5000 && form.Run().state() == AcquisitionRun::State::Downloading; ++i)
      QTest::qWait(2);
  }

  // The window's controls, by their names.
  static QPushButton* Button(const TGetDataForm& form, const char* name) {
    return test::Child<QPushButton>(&form, name);
  }
  static QRadioButton* Radio(const TGetDataForm& form, const char* name) {
    return test::Child<QRadioButton>(&form, name);
  }
  static QProgressBar* Bar(const TGetDataForm& form, const char* name) {
    return test::Child<QProgressBar>(&form, name);
  }
  static QLabel* Label(const TGetDataForm& form, const char* name) {
    return test::Child<QLabel>(&form, name);
  }
  static QTimer* Timer(const TGetDataForm& form, const char* name) {
    return test::Child<QTimer>(&form, name);
  }
  static QDateTime Picker(const TGetDataForm& form) {
    return test::Child<QDateTimeEdit>(&form, "DateTimePicker1")->dateTime();
  }

  test::TempHome home;
  std::vector<QString> messages;
  bool answer = true;
};

TEST_F(GetDataFormTest, OpensWithSetupDataAYearBackUntilARunLeavesItsLastTime) {
  {
    test::ScriptedJvLink link;
    TGetDataForm form(link);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ＪＶデータ取込"));
    EXPECT_TRUE(form.isModal());
    EXPECT_TRUE(Radio(form, "rbtSetup")->isChecked());
    qint64 back = Picker(form).secsTo(QDateTime::currentDateTime());
    EXPECT_NEAR(static_cast<double>(back), 365.0 * 24 * 3600, 120.0);
    EXPECT_FALSE(Timer(form, "TimerJVStatus")->isActive());
    EXPECT_EQ(Timer(form, "TimerJVStatus")->interval(), 10);
  }
  SettingsFile().WriteString("JvDataGet", "LastTime", "2024/06/01 10:20:30");
  test::ScriptedJvLink link;
  TGetDataForm form(link);
  EXPECT_TRUE(Radio(form, "rbtNormal")->isChecked());
  EXPECT_EQ(Picker(form), QDateTime(QDate(2024, 6, 1), QTime(10, 20, 30)));
  EXPECT_TRUE(link.calls.empty());
}

TEST_F(GetDataFormTest, ACompleteRunFromAGeneratedFeedFillsTheStoreAndWritesLastTime) {
  feedgen::FeedOptions options;
  options.out = home.path() / "feed";
  options.from = feedgen::Date{2024, 6, 15};
  options.days = 1;
  options.seed = 5;
  options.historyWeeks = 0;
  options.oldWeeks = 0;
  feedgen::GenerateFeed(options);
  home.Write("jvlink.ini", "[Feed]\r\nFolder=" + options.out.string() + "\r\n");
  FeedJvLink link;
  ASSERT_EQ(link.JVInit("SORVIX"), 0);

  TGetDataForm form(link);
  form.show();
  test::Child<QDateTimeEdit>(&form, "DateTimePicker1")
      ->setDateTime(QDateTime(QDate(2024, 6, 1), QTime(0, 0, 0)));
  int downloadPeak = 0;
  int readPeak = 0;
  int stored = 0;
  const char* shot = std::getenv("GETDATA_SCREENSHOT");  // mid-run and final look
  QObject::connect(Bar(form, "ProgressBar1"), &QProgressBar::valueChanged,
                   [&](int v) { downloadPeak = std::max(downloadPeak, v); });
  QObject::connect(Bar(form, "ProgressBar2"), &QProgressBar::valueChanged,
                   [&](int v) { readPeak = std::max(readPeak, v); });
  QObject::connect(test::Child<QListWidget>(&form, "ListBox1")->model(),
                   &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int last) {
                     stored += last - first + 1;
                     if (stored == 40 && shot) form.grab().save(QString(shot) + ".mid.png");
                   });

  Button(form, "ButtonStart")->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], Q(StartNotice(form.FromTime())));
  EXPECT_TRUE(Timer(form, "TimerJVStatus")->isActive());
  EXPECT_EQ(Label(form, "ProgressLabel")->text(), QStringLiteral("ダウンロード中・・・"));
  form.reject();  // a running download keeps the window open
  EXPECT_TRUE(form.isVisible());
  WaitForEnd(form);

  EXPECT_EQ(form.Run().outcome(), AcquisitionRun::Outcome::Completed);
  EXPECT_FALSE(Timer(form, "TimerJVStatus")->isActive());
  EXPECT_EQ(messages.size(), 1u) << messages.back().toStdString();
  EXPECT_EQ(Label(form, "ProgressLabel")->text(), QStringLiteral("データ作成が完了しました。"));
  EXPECT_EQ(downloadPeak, form.Run().downloadCount());
  EXPECT_EQ(readPeak, form.Run().readCount());
  EXPECT_GT(downloadPeak, 1);
  EXPECT_EQ(Bar(form, "ProgressBar1")->value(), 0);
  EXPECT_EQ(Bar(form, "ProgressBar2")->value(), 0);
  EXPECT_GT(stored, 100);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  EXPECT_TRUE(fs::exists(HomePath("\\Data\\" + "2024年06月15日"_sj + ".jvRA")));
  std::string lastTime = SettingsFile().ReadString("JvDataGet", "LastTime", "");
  EXPECT_EQ(lastTime, LastTimeFromTimestamp(form.Run().lastFileTimestamp()));
  ASSERT_FALSE(lastTime.empty());
  EXPECT_EQ(Picker(form).toString("yyyy/MM/dd HH:mm:ss").toStdString(), lastTime);

  if (shot) form.grab().save(shot);
  form.reject();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(GetDataFormTest, JvLinkErrorsAreShownWithTheirTexts) {
  test::ScriptedJvLink link;
  link.openResult = -301;
  TGetDataForm form(link);
  Button(form, "ButtonStart")->click();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], Q(Cp932("JVOpenエラー:") + JvResultMessage("JVOpen", -301)));
  EXPECT_EQ(link.calls, (std::vector<std::string>{"JVOpen", "JVClose"}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  link.uiResult = -100;
  Button(form, "ButtonSetting")->click();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2],
            Q(Cp932("JVSetUIPropertiesエラー：") + JvResultMessage("JVSetUIProperties", -100)));
}

TEST_F(GetDataFormTest, NothingToReadSaysWhereTheDataComesFromAndWhatFillsIt) {
  test::ScriptedJvLink link;
  link.readCount = 0;
  TGetDataForm form(link);
  Button(form, "ButtonStart")->click();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], QStringLiteral("最新のデータがありません。"));
  QString hint = Label(form, "ProgressLabel")->text();
  EXPECT_TRUE(hint.contains(QString::fromStdString(FeedJvLink::FeedFolder().string())))
      << hint.toStdString();
  EXPECT_TRUE(hint.contains(QStringLiteral("sorvix-jvdump.exe --out"))) << hint.toStdString();
  EXPECT_FALSE(hint.contains(QLatin1Char('\n')));
}

TEST_F(GetDataFormTest, CancelDuringTheDownloadClosesTheOpenAndTheNextRunWorks) {
  test::ScriptedJvLink link;
  link.readCount = 3;
  link.downloadCount = 3;
  link.statusResults = {0};
  link.statusResults.insert(link.statusResults.end(), 200, 1);
  TGetDataForm form(link);
  Button(form, "ButtonStart")->click();
  for (int i = 0; i < 500 && Bar(form, "ProgressBar1")->value() < 1; ++i) QTest::qWait(2);
  ASSERT_EQ(Bar(form, "ProgressBar1")->value(), 1);
  EXPECT_EQ(Label(form, "ProgressLabel")->text(), QStringLiteral("ダウンロード中．．．(1/3)"));

  answer = false;  // No: the download goes on
  Button(form, "ButtonCancel")->click();
  EXPECT_EQ(messages.back(), QStringLiteral("データ取込を中止します。実行しますか？"));
  EXPECT_EQ(link.Count("JVCancel"), 0);
  EXPECT_TRUE(Timer(form, "TimerJVStatus")->isActive());

  answer = true;
  Button(form, "ButtonCancel")->click();
  EXPECT_FALSE(Timer(form, "TimerJVStatus")->isActive());
  std::vector<std::string> tail(link.calls.end() - 2, link.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"JVCancel", "JVClose"}));
  EXPECT_EQ(form.Run().outcome(), AcquisitionRun::Outcome::Cancelled);
  EXPECT_EQ(messages.back(), QStringLiteral("JVCancel:キャンセルされました"));
  EXPECT_EQ(Label(form, "ProgressLabel")->text(), QStringLiteral("JVCancel:キャンセルされました"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  int statusCalls = link.Count("JVStatus");
  QTest::qWait(30);
  EXPECT_EQ(link.Count("JVStatus"), statusCalls);
  EXPECT_TRUE(SettingsFile().ReadString("JvDataGet", "LastTime", "").empty());

  // The next run opens again and completes.
  link.statusResults.clear();
  link.downloadCount = 0;
  link.readCount = 1;
  link.lastFileTimestamp = "20240615120000";
  link.AddResult(-1);
  Button(form, "ButtonStart")->click();
  EXPECT_EQ(link.Count("JVOpen"), 2);
  EXPECT_EQ(link.Count("JVClose"), 2);
  EXPECT_EQ(form.Run().outcome(), AcquisitionRun::Outcome::Completed);
  EXPECT_EQ(SettingsFile().ReadString("JvDataGet", "LastTime", ""), "2024/06/15 12:00:00");
  EXPECT_EQ(Picker(form), QDateTime(QDate(2024, 6, 15), QTime(12, 0, 0)));
}

TEST_F(GetDataFormTest, CancelDuringTheReadStopsBeforeTheNextRecordAndClosesOnce) {
  test::ScriptedJvLink link;
  link.readCount = 3;
  link.lastFileTimestamp = "20240615120000";
  link.AddResult(-1).AddResult(-1).AddResult(-1);
  TGetDataForm form(link);
  link.onCall = [&](const std::string& call) {
    if (call == "JVRead" && link.Count("JVRead") == 2) form.ButtonCancelClick();
  };
  Button(form, "ButtonStart")->click();
  EXPECT_EQ(link.Count("JVRead"), 2);
  EXPECT_EQ(link.Count("JVCancel"), 1);
  EXPECT_EQ(link.Count("JVClose"), 1);
  EXPECT_EQ(link.calls.back(), "JVClose");
  EXPECT_EQ(form.Run().outcome(), AcquisitionRun::Outcome::Cancelled);
  EXPECT_TRUE(SettingsFile().ReadString("JvDataGet", "LastTime", "").empty());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace sorvix
