#include "tools/jvdump/export_run.h"

#include <gtest/gtest.h>

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

class ExportRunTest : public ::testing::Test {
 protected:
  int Export(bool setup, const std::string& from, const std::string& realtime = "") {
    ExportOptions options;
    options.out = out;
    options.setup = setup;
    options.from = from;
    options.realtime = realtime;
    return RunExport(link, options, reporter, cancel);
  }

  test::TempHome home;
  fs::path out = home.path() / "export";
  test::ScriptedJvLink link;
  Collect reporter;
  std::atomic<bool> cancel{false};
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
      {"JVRead", [](auto& l) { l.AddRecord("RA1").AddResult(-403); }, kExitFailed,
       "sorvix-jvdump: JVReadエラー:ダウンロードしたファイル内容が異常です。(-403)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(out);
    home.Write("export/sorvix-jvdump.state", "20240101000000\r\n");
    link = test::ScriptedJvLink();
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
