#include "tools/jvdump/export_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "codes/cp932.h"
#include "support/scripted_jv_link.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix::jvdump {
namespace {

namespace fs = std::filesystem;

class Collect : public ExportReporter {
 public:
  void Line(const std::string& text) override { lines.push_back(Utf8Bytes(text)); }
  void Progress(const std::string& text) override { progress.push_back(Utf8Bytes(text)); }
  std::vector<std::string> lines, progress;
};

// The names of the files below `folder`, relative, sorted.
std::vector<std::string> Files(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), folder).string());
  std::sort(names.begin(), names.end());
  return names;
}

// JVFiledelete: logged into the scripted link's calls.
class Extras : public ComponentExtras {
 public:
  explicit Extras(test::ScriptedJvLink& link) : link_(link) {}
  int JVFiledelete(const std::string& fileName) override {
    link_.calls.push_back("JVFiledelete " + fileName);
    return 0;
  }

 private:
  test::ScriptedJvLink& link_;
};

class ExportRunTest : public ::testing::Test {
 protected:
  int Export(bool setup, const std::string& from, const std::string& realtime = "") {
    ExportOptions options;
    options.out = out;
    options.setup = setup;
    options.from = from;
    options.realtime = realtime;
    options.sid = sid;
    return RunExport(link, extras, options, reporter, cancel);
  }

  test::TempHome home;
  fs::path out = home.path() / "export";
  test::ScriptedJvLink link;
  Extras extras{link};
  Collect reporter;
  std::atomic<bool> cancel{false};
  std::string sid;
};

TEST(StampTest, NextStampCarriesIntoMinutesDaysMonthsAndYears) {
  struct Case {
    const char* stamp;
    const char* next;
  } cases[] = {
      {"20240106093000", "20240106093001"},
      {"20240106235959", "20240107000000"},
      {"20240131235959", "20240201000000"},
      {"20240228235959", "20240229000000"},
      {"20230228235959", "20230301000000"},
      {"20241231235959", "20250101000000"},
      {"2024010609300", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NextStamp(c.stamp), c.next) << c.stamp;
}

TEST_F(ExportRunTest, ASetupRunWritesEveryRecordInOrderAndKeepsTheLastTimeStamp) {
  link.readCount = 2;
  link.downloadCount = 2;
  link.lastFileTimestamp = "20240106093000";
  link.statusResults = {0, 1, 2};
  link.AddRecord("RA1", "A.jvd").AddResult(-3).AddRecord("SE1\r\n", "A.jvd").AddResult(-1);
  link.AddRecord("UM1", "B.jvd").AddResult(-1);

  EXPECT_EQ(Export(true, "20230101000000"), kExitOk);
  EXPECT_EQ(Files(out),
            (std::vector<std::string>{"RACEDIFN20240106093000.jvd", "sorvix-jvdump.state"}));
  EXPECT_EQ(ReadWholeFile(out / "RACEDIFN20240106093000.jvd"), "RA1\r\nSE1\r\nUM1\r\n");
  EXPECT_EQ(ReadWholeFile(StatePath(out)), "20240106093000\r\n");
  EXPECT_EQ(link.arguments[1], "JVOpen RACEDIFN 20230101000000 3");
  EXPECT_EQ(link.calls.back(), "JVClose");
  EXPECT_EQ(link.Count("JVStatus"), 3);
  EXPECT_EQ(link.Count("JVClose"), 1);
  EXPECT_NE(
      std::find(reporter.progress.begin(), reporter.progress.end(), "ダウンロード中．．．(1/2)"),
      reporter.progress.end());
  EXPECT_EQ(reporter.progress.back(), "データ読込み完了(2/2)");
}

TEST_F(ExportRunTest, TheNextRunContinuesFromTheStateAndItsFileSortsAfterTheLast) {
  home.Write("export/RACEDIFN20240106093000.jvd", "RA0\r\n");
  home.Write("export/sorvix-jvdump.state", "20240106093000\r\n");
  // A leftover of a killed run goes; a stamp not later than the newest file
  // moves on by a second.
  home.Write("export/RACEDIFN20240107000000.jvd.tmp", "RA");
  link.readCount = 1;
  link.lastFileTimestamp = "20240106093000";
  link.AddRecord("RA1").AddResult(-1);

  EXPECT_EQ(Export(false, ""), kExitOk);
  EXPECT_EQ(link.arguments[1], "JVOpen RACEDIFN 20240106093000 1");
  EXPECT_EQ(Files(out),
            (std::vector<std::string>{"RACEDIFN20240106093000.jvd", "RACEDIFN20240106093001.jvd",
                                      "sorvix-jvdump.state"}));
  EXPECT_EQ(ReadWholeFile(out / "RACEDIFN20240106093001.jvd"), "RA1\r\n");
}

TEST_F(ExportRunTest, FailuresLeaveNoFileUnderAFinalNameAndTheStateAsItWas) {
  struct Case {
    const char* name;
    void (*script)(test::ScriptedJvLink&);
    int exit;
    const char* line;
  } cases[] = {
      {"JVOpen", [](auto& l) { l.openResult = -301; }, kExitFailed,
       "sorvix-jvdump: JVOpenエラー:認証エラーが発生しました。(-301)"},
      {"no newer data", [](auto& l) { l.openResult = -1, l.readCount = 0; }, kExitNothingNew,
       "JVOpen: 取得済みデータより最新のデータがありません。(-1)"},
      {"JVStatus",
       [](auto& l) {
         l.downloadCount = 1;
         l.statusResults = {-502};
       },
       kExitFailed,
       "sorvix-jvdump: "
       "JVStatusエラー:ダウンロードに失敗しました。（通信エラーやディスクエラーなど）(-"
       "502)"},
      {"JVRead", [](auto& l) { l.AddRecord("RA1").AddResult(-503); }, kExitFailed,
       "sorvix-jvdump: JVReadエラー:ファイルが見つかりません。(-503)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(out);
    home.Write("export/sorvix-jvdump.state", "20240101000000\r\n");
    link = test::ScriptedJvLink();
    link.calls.clear();
    link.readCount = 1;
    link.lastFileTimestamp = "20240106093000";
    c.script(link);
    reporter.lines.clear();
    EXPECT_EQ(Export(false, ""), c.exit);
    EXPECT_EQ(Files(out), std::vector<std::string>{"sorvix-jvdump.state"});
    EXPECT_EQ(ReadWholeFile(StatePath(out)), "20240101000000\r\n");
    ASSERT_FALSE(reporter.lines.empty());
    EXPECT_EQ(reporter.lines.back(), c.line);
    EXPECT_EQ(link.calls.back(), "JVClose");
  }
}

TEST_F(ExportRunTest, CtrlCInTheReadCancelsClosesAndKeepsNothing) {
  link.readCount = 1;
  link.lastFileTimestamp = "20240106093000";
  link.AddRecord("RA1").AddRecord("RA2").AddResult(-1);
  link.onCall = [&](const std::string& call) {
    if (call == "JVRead" && link.Count("JVRead") == 1) cancel = true;
  };
  EXPECT_EQ(Export(false, "20240101000000"), kExitCancelled);
  EXPECT_TRUE(Files(out).empty());
  EXPECT_EQ(reporter.lines.back(), "JVCancel:キャンセルされました");
  std::vector<std::string> tail(link.calls.end() - 2, link.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"JVCancel", "JVClose"}));
}

TEST_F(ExportRunTest, ARecordLostWhileTheFormIsFoundOutMakesTheRunReadAgainFromItsStart) {
  // The first form of JVGets took a record without handing it over: the
  // run opens again and reads every record once, with the next form.
  link.readCount = 1;
  link.lastFileTimestamp = "20240106093000";
  link.AddResult(kRecordLost).AddRecord("RA1").AddRecord("SE1").AddResult(-1);
  EXPECT_EQ(Export(false, "20240101000000"), kExitOk);
  EXPECT_EQ(ReadWholeFile(out / "RACEDIFN20240106093000.jvd"), "RA1\r\nSE1\r\n");
  EXPECT_EQ(link.Count("JVOpen"), 2);
  EXPECT_EQ(link.Count("JVClose"), 2);
}

TEST_F(ExportRunTest, ADamagedCachedFileIsDeletedOnceAndTheRunOpensAgain) {
  link.readCount = 1;
  link.lastFileTimestamp = "20240106093000";
  link.AddRecord("RA1", "RACE1.jvd").AddResult(-403);
  link.AddRecord("RA1", "RACE1.jvd").AddRecord("RA2", "RACE1.jvd").AddResult(-1);
  EXPECT_EQ(Export(false, "20240101000000"), kExitOk);
  EXPECT_EQ(ReadWholeFile(out / "RACEDIFN20240106093000.jvd"), "RA1\r\nRA2\r\n");
  EXPECT_EQ(link.Count("JVFiledelete RACE1.jvd"), 1);
  EXPECT_NE(std::find(reporter.lines.begin(), reporter.lines.end(),
                      "壊れたファイル RACE1.jvd を JVFiledelete で削除し、もう一度取得します。"),
            reporter.lines.end());

  // Damaged again after the deletion: the run stops, nothing kept.
  fs::remove_all(out);
  link = test::ScriptedJvLink();
  link.readCount = 1;
  link.lastFileTimestamp = "20240106093000";
  link.AddRecord("RA1", "RACE1.jvd").AddResult(-402).AddRecord("RA1", "RACE1.jvd").AddResult(-402);
  EXPECT_EQ(Export(false, "20240101000000"), kExitFailed);
  EXPECT_EQ(link.Count("JVFiledelete RACE1.jvd"), 1);
  EXPECT_TRUE(Files(out).empty());
  EXPECT_EQ(reporter.lines.back(),
            "sorvix-jvdump: JVReadエラー:ダウンロードしたファイルサイズが異常です。(-402)");
}

TEST_F(ExportRunTest, ARecordCutToTheBufferIsKeptAndCountedAndAnEmptyOneStopsTheRun) {
  link.readCount = 1;
  link.lastFileTimestamp = "20240106093000";
  std::string h6 = "H6" + std::string(kReadBufferSize + 10, '0');
  link.AddRecord("RA1").AddRecord(h6).AddResult(-1);
  EXPECT_EQ(Export(false, "20240101000000"), kExitLossy);
  std::string cut = h6.substr(0, kReadBufferSize - 1);
  EXPECT_EQ(ReadWholeFile(out / "RACEDIFN20240106093000.jvd"), "RA1\r\n" + cut + "\r\n");
  EXPECT_NE(std::find(reporter.lines.begin(), reporter.lines.end(),
                      "警告: バッファ (110000 バイト) に収まらず切れたレコードです（TEST.jvd の 2 "
                      "件目, 種別 H6, 109999 バイト）"),
            reporter.lines.end());

  fs::remove_all(out);
  link = test::ScriptedJvLink();
  link.readCount = 1;
  link.AddRecord("RA1", "RACE1.jvd").AddResult(kRecordEmpty);
  EXPECT_EQ(Export(false, "20240101000000"), kExitFailed);
  EXPECT_TRUE(Files(out).empty());
  EXPECT_EQ(
      reporter.lines.back(),
      "sorvix-jvdump: JV-Link がレコードの長さだけを返し、中身を渡しませんでした（RACE1.jvd）。");
}

TEST_F(ExportRunTest, TheVersionTheSoftwareIdAndOneExporterPerFolder) {
  link.readCount = 1;
  link.AddRecord("RA1").AddResult(-1);
  sid = "UNKNOWN";
  EXPECT_EQ(Export(false, "20240101000000"), kExitOk);
  EXPECT_EQ(link.arguments[0], "JVInit UNKNOWN");
  EXPECT_EQ(reporter.lines.front(), "JV-Link のバージョン: 0490");
  EXPECT_FALSE(fs::exists(LockPath(out))) << "the lock goes with the run";

  // A second exporter while the first holds the folder.
  int fd = ::open(LockPath(out).c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  link = test::ScriptedJvLink();
  EXPECT_EQ(Export(false, "20240101000000"), kExitBusy);
  EXPECT_EQ(reporter.lines.back(),
            "sorvix-jvdump: 別の sorvix-jvdump がこのフォルダに書き出しています: " + out.string());
  EXPECT_EQ(link.Count("JVInit"), 0);
  ::close(fd);
}

TEST_F(ExportRunTest, ARealTimeDayGoesIntoItsFolderInTheOrderOfEarlierFetches) {
  home.Write("export/rt/20240107/0B1229991231235959.jvd", "HR0\r\n");
  link.AddRecord("HR1").AddRecord("SE1").AddResult(-1);
  EXPECT_EQ(Export(false, "", "20240107"), kExitOk);
  EXPECT_EQ(link.arguments[1], "JVRTOpen 0B12 20240107");
  EXPECT_EQ(Files(out), (std::vector<std::string>{"rt/20240107/0B1229991231235959.jvd",
                                                  "rt/20240107/0B1230000101000000.jvd"}));
  EXPECT_EQ(ReadWholeFile(out / "rt/20240107/0B1230000101000000.jvd"), "HR1\r\nSE1\r\n");
  EXPECT_FALSE(fs::exists(StatePath(out)));
}

}  // namespace
}  // namespace sorvix::jvdump
