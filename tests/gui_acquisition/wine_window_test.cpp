// JVデータ取得, 結果情報 and the settings dialog when JV-Link is under Wine.
// The checks before a run give the same message in the window and in
// sorvix-cli.  The runs through a real Wine prefix with the JV-Link double
// registered are driven by tests/wine/run.sh (./sorvix.sh wine-test), which
// gives the prefix, the Wine program, the exporter and the folders in
// SORVIX_WINE_*; without them those tests are skipped.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/feed_jv_link.h"
#include "acquisition/ui/get_data_form.h"
#include "acquisition/ui/wine_set_form.h"
#include "acquisition/wine_export.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "store/date_argument.h"
#include "support/find_child.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

// A Wine registry file with JV-Link registered for `bits` (0: none).
std::string Registry(int bits) {
  std::string out = "WINE REGISTRY Version 2\n#arch=win64\n\n";
  std::string classes =
      bits == 32 ? "Software\\\\Classes\\\\Wow6432Node\\\\" : "Software\\\\Classes\\\\";
  const char* clsid = "{6A1C3E52-8B0D-4F3A-9C2E-5D7B1A0F4E21}";
  if (bits)
    out += "[" + classes + "JVDTLab.JVLink\\\\CLSID] 1\n@=\"" + clsid + "\"\n\n[" + classes +
           "CLSID\\\\" + clsid + "\\\\InprocServer32] 1\n@=\"C:\\\\x.dll\"\n\n";
  return out;
}

// What sorvix-cli says on standard error for `arguments` in `home`.
std::string CliErrors(const fs::path& home, const std::string& arguments) {
  std::string command = std::string(SORVIX_BINARY_DIR) + "/cli/sorvix-cli --home '" +
                        home.string() + "' " + arguments + " 2>&1 >/dev/null";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

class WineWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageHandler([this](MessageKind, const QString& text) {
      messages.push_back(text.toStdString());
      return true;
    });
  }
  void TearDown() override { SetMessageHandler({}); }
  std::vector<std::string> messages;
};

// Each check of a run says what to do: in the settings dialog, on
// データ取込み開始, on 結果情報's way and in sorvix-cli acquire.
TEST_F(WineWindowTest, EachCheckGivesItsMessageInTheWindowAndInTheCli) {
  test::TempHome home;
  fs::path h = home.path();
  home.Write("exporters/sorvix-jvdump64.exe", "MZ");
  home.Write("p64/system.reg", Registry(64));
  home.Write("p32/system.reg", Registry(32));
  home.Write("none/system.reg", Registry(0));
  fs::create_directories(h / "JVLink");
  struct Case {
    const char* name;
    std::string prefix, program, exporter;
    std::string message;  // the start of the message
  } cases[] = {
      {"no Wine", "p64", "/nonexistent/wine", "exporters/sorvix-jvdump64.exe",
       "Wine（/nonexistent/wine）が見つかりません。sudo apt install wine"},
      {"no prefix", "missing", "/bin/true", "exporters/sorvix-jvdump64.exe",
       "Wine のプレフィックス " + (h / "missing").string() + " がありません。WINEPREFIX="},
      {"not registered", "none", "/bin/true", "exporters/sorvix-jvdump64.exe",
       "Wine のプレフィックス " + (h / "none").string() + " に JV-Link が登録されていません。"},
      {"the other bitness", "p32", "/bin/true", "exporters/sorvix-jvdump64.exe",
       "JV-Link は 32 ビット用に登録されていますが、書き出しプログラム "},
      {"no exporter", "p64", "/bin/true", "exporters/gone/sorvix-jvdump64.exe",
       "書き出しプログラム " + (h / "exporters/gone/sorvix-jvdump64.exe").string() +
           " がありません。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    home.Write("sorvix.ini", "[Wine]\r\nUse=1\r\nPrefix=" + (h / c.prefix).string() +
                                 "\r\nProgram=" + c.program +
                                 "\r\nExporter=" + (h / c.exporter).string() + "\r\n");
    auto startsWith = [&](const std::string& text) {
      return text.compare(0, c.message.size(), c.message) == 0;
    };
    TWineSetForm settings;
    std::string shown = test::Child<QLabel>(&settings, "WineCheck")->text().toStdString();
    EXPECT_TRUE(startsWith(shown)) << shown;

    messages.clear();
    FeedJvLink link;
    ASSERT_EQ(link.JVInit("SORVIX"), 0);
    TGetDataForm form(link);
    test::Child<QPushButton>(&form, "ButtonStart")->click();
    ASSERT_EQ(messages.size(), 2u);  // the start notice, then the check
    EXPECT_TRUE(startsWith(messages[1])) << messages[1];
    EXPECT_EQ(form.Run().state(), AcquisitionRun::State::Idle);  // nothing read

    std::string cli = CliErrors(h, "acquire");
    EXPECT_TRUE(cli.rfind("sorvix-cli: " + c.message, 0) == 0) << cli;
  }
}

// The dialog shows what was found on its own and keeps what OK is given.
TEST_F(WineWindowTest, TheSettingsDialogShowsTheDefaultsAndKeepsTheChoice) {
  test::TempHome home;
  fs::path h = home.path();
  home.Write("p64/system.reg", Registry(64));
  home.Write("sorvix.ini",
             "[Wine]\r\nPrefix=" + (h / "p64").string() + "\r\nProgram=/bin/true\r\n");
  {
    TWineSetForm form;
    EXPECT_TRUE(test::Child<QCheckBox>(&form, "WineUse")->isChecked());  // registered: used
    EXPECT_EQ(test::Child<QLineEdit>(&form, "WinePrefix")->text().toStdString(),
              (h / "p64").string());
    EXPECT_EQ(test::Child<QLineEdit>(&form, "FeedFolder")->text().toStdString(),
              FeedJvLink::FeedFolder().string());
    auto* exporter = test::Child<QComboBox>(&form, "WineExporter");
    EXPECT_EQ(exporter->currentIndex(), 0);
    EXPECT_TRUE(exporter->currentText().startsWith(QStringLiteral("JV-Link の登録に合わせる")));
    test::Child<QCheckBox>(&form, "WineUse")->setChecked(false);
    test::Child<QLineEdit>(&form, "FeedFolder")
        ->setText(QString::fromStdString((h / "feed").string()));
    form.OkBtnClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
  }
  WineSetup kept = ReadWineSetup(SettingsFile());
  EXPECT_FALSE(kept.enabled);
  EXPECT_TRUE(kept.enabledBySettings == false);
  EXPECT_EQ(kept.prefix, h / "p64");
  EXPECT_EQ(kept.feed, h / "feed");
  EXPECT_TRUE(kept.exporter.empty());
}

// The runs through Wine: the home of each comes from tests/wine/run.sh.
class WineRunTest : public WineWindowTest {
 protected:
  // The home named by `variable`, made the ProgramFolder; false when the
  // variable is not set (the test is skipped).
  bool UseHome(const char* variable) {
    const char* home = std::getenv(variable);
    if (!home || !*home) return false;
    previous_ = ProgramFolder::Get();
    ProgramFolder::Set(home);
    CreateStoreFolders();
    return true;
  }
  void TearDown() override {
    if (!previous_.empty()) ProgramFolder::Set(previous_);
    WineWindowTest::TearDown();
  }
  void OpenMainForm() {
    form = std::make_unique<TMainForm>(std::make_unique<FeedJvLink>());
    form->show();
    QCoreApplication::processEvents();
  }
  // The main window with the day of SORVIX_WINE_KEKKA_DATE loaded.
  void OpenKekkaDay() {
    OpenMainForm();
    std::optional<Cp932Text> day = ParseDateArgument(std::getenv("SORVIX_WINE_KEKKA_DATE"));
    ASSERT_TRUE(day);
    ASSERT_TRUE(form->OpenDate(*day, 0));
  }
  // Clicks the tool button `name` of the main window; `inDialog` runs in
  // the acquisition window it opens.
  void Click(const char* name, const std::function<void(TGetDataForm&)>& inDialog = {}) {
    if (inDialog)
      QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TGetDataForm*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        inDialog(*dialog);
        dialog->reject();
      });
    QTest::mouseClick(test::Child<QToolButton>(form.get(), name), Qt::LeftButton);
  }
  static void Report(const char* what, std::chrono::steady_clock::time_point since) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - since)
                  .count();
    std::printf("%s: %lld ms\n", what, static_cast<long long>(ms));
  }

  // Every file of the store (ProgramFolder's Data) with its size and time.
  static std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> StoreState() {
    std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> state;
    std::error_code ec;
    fs::path data = HomePath("\\Data");
    for (fs::recursive_directory_iterator it(data, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file())
        state[it->path().string()] = {it->file_size(), it->last_write_time()};
    return state;
  }

  std::unique_ptr<TMainForm> form;
  fs::path previous_;
};

// Setup data from 2023-01-01 through JVデータ取得 and データ取込み開始: the
// exporter runs under Wine, its lines show in the window, and the feed it
// fills is read into the store.
TEST_F(WineRunTest, JvDataAcquiresThroughWine) {
  if (!UseHome("SORVIX_WINE_ACQUIRE_HOME")) GTEST_SKIP() << "tests/wine/run.sh runs this";
  OpenMainForm();
  QStringList lines;
  auto start = std::chrono::steady_clock::now();
  Click("JvDataButton", [&](TGetDataForm& dialog) {
    test::Child<QRadioButton>(&dialog, "rbtSetup")->setChecked(true);
    test::Child<QDateTimeEdit>(&dialog, "DateTimePicker1")
        ->setDateTime(QDateTime(QDate(2023, 1, 1), QTime(0, 0, 0)));
    auto* label = test::Child<QLabel>(&dialog, "ProgressLabel");
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (lines.isEmpty() || lines.back() != label->text()) lines << label->text();
    });
    watch.start(1);
    test::Child<QPushButton>(&dialog, "ButtonStart")->click();
    for (int i = 0; i < 60000 && (dialog.Run().state() == AcquisitionRun::State::Downloading ||
                                  dialog.Run().state() == AcquisitionRun::State::Reading);
         ++i)
      QTest::qWait(5);
    watch.stop();
    EXPECT_EQ(dialog.Run().outcome(), AcquisitionRun::Outcome::Completed);
  });
  Report("click to stored data (JVデータ取得)", start);
  EXPECT_GE(messages.size(), 1u);  // the start notice, nothing else
  for (size_t i = 1; i < messages.size(); ++i) ADD_FAILURE() << messages[i];
  EXPECT_TRUE(lines.filter(QStringLiteral("ダウンロード中．．．(")).size() > 0)
      << lines.join('|').toStdString();
}

// 結果情報 on the loaded day: the real-time export for that day, then the
// fetch.
TEST_F(WineRunTest, KekkaFetchesThroughWine) {
  if (!UseHome("SORVIX_WINE_KEKKA_HOME")) GTEST_SKIP() << "tests/wine/run.sh runs this";
  ASSERT_NO_FATAL_FAILURE(OpenKekkaDay());
  auto start = std::chrono::steady_clock::now();
  Click("KekkaBtn");
  Report("click to stored data (結果情報)", start);
  for (const std::string& message : messages) ADD_FAILURE() << message;
}

// 中止 in 結果情報's box while the day's export reads: the exporter is
// interrupted, nothing is fetched, and the window is free again.
TEST_F(WineRunTest, KekkaCancelFetchesNothing) {
  if (!UseHome("SORVIX_WINE_KEKKA_CANCEL_HOME")) GTEST_SKIP() << "tests/wine/run.sh runs this";
  ASSERT_NO_FATAL_FAILURE(OpenKekkaDay());
  auto before = StoreState();
  std::chrono::steady_clock::time_point cancelledAt;
  bool modal = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = form->findChild<QProgressDialog*>(QStringLiteral("KekkaWineProgress"));
    // Once the exporter has said a line in place of the box's first text.
    if (!box || !box->isVisible() ||
        box->labelText() == QStringLiteral("JV-Link（Wine）から結果情報を書き出しています…"))
      return;
    watch.stop();
    modal = QApplication::activeModalWidget() == box;
    cancelledAt = std::chrono::steady_clock::now();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  watch.start(20);
  Click("KekkaBtn");  // returns when the export has ended
  watch.stop();
  ASSERT_NE(cancelledAt, std::chrono::steady_clock::time_point()) << "the export never said a line";
  Report("中止 to the end of the export (結果情報)", cancelledAt);
  EXPECT_TRUE(modal) << "the window took input while Wine worked";
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), ExportEndMessage(kExportCancelled));
  EXPECT_EQ(StoreState(), before);
  EXPECT_EQ(form->findChild<QProgressDialog*>(QStringLiteral("KekkaWineProgress")), nullptr);
}

// 中止 while a slow export reads: the exporter is interrupted, and nothing
// of the run is kept or left running.
TEST_F(WineRunTest, CancelDuringASlowExportKeepsNothing) {
  if (!UseHome("SORVIX_WINE_CANCEL_HOME")) GTEST_SKIP() << "tests/wine/run.sh runs this";
  fs::path feed = FeedJvLink::FeedFolder();
  OpenMainForm();
  auto writing = [&] {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(feed, ec), end; !ec && it != end; it.increment(ec))
      if (it->path().extension() == ".tmp" && fs::file_size(it->path(), ec) > 100000) return true;
    return false;
  };
  std::chrono::steady_clock::time_point cancelledAt;
  Click("JvDataButton", [&](TGetDataForm& dialog) {
    test::Child<QRadioButton>(&dialog, "rbtSetup")->setChecked(true);
    test::Child<QDateTimeEdit>(&dialog, "DateTimePicker1")
        ->setDateTime(QDateTime(QDate(2023, 1, 1), QTime(0, 0, 0)));
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (!writing()) return;
      watch.stop();
      cancelledAt = std::chrono::steady_clock::now();
      test::Child<QPushButton>(&dialog, "ButtonCancel")->click();
    });
    watch.start(20);
    test::Child<QPushButton>(&dialog, "ButtonStart")->click();  // returns when the export ends
    EXPECT_EQ(dialog.Run().state(), AcquisitionRun::State::Idle);
  });
  ASSERT_NE(cancelledAt, std::chrono::steady_clock::time_point());
  Report("中止 to the end of the export", cancelledAt);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), ExportEndMessage(kExportCancelled));
  std::error_code ec;
  for (fs::recursive_directory_iterator it(feed, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    EXPECT_TRUE(name == "sorvix-export.lock" || name == "sorvix-jvdump.lock" || it->is_directory())
        << name;
  }
}

}  // namespace
}  // namespace sorvix
