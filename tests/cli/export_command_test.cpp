// sorvix-cli export --sqlite over the demo store: what the file holds
// against `analyze` and `backtest` (tests/cli/export_check.py, by SQL),
// the incremental run, the refusal to mix sign points or sources, a kill
// in the middle of an export, and a store left as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "cli/demo_store.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;
using test::kCli;
using test::Shell;
using test::ShellRun;

const fs::path kCheck = fs::path(SORVIX_FIXTURES).parent_path() / "cli" / "export_check.py";

// Every file of a tree with its size and time of change.
std::map<std::string, std::pair<uintmax_t, int64_t>> TreeState(const fs::path& root) {
  std::map<std::string, std::pair<uintmax_t, int64_t>> state;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    state[entry.path().string()] = {entry.file_size(),
                                    entry.last_write_time().time_since_epoch().count()};
  }
  return state;
}

// The file's content as SQL text (`sqlite3 FILE .dump`).
std::string Dump(const fs::path& file) {
  return Shell("sqlite3 " + file.string() + " .dump").out;
}

std::string Query(const fs::path& file, const std::string& sql) {
  ShellRun run = Shell("sqlite3 " + file.string() + " \"" + sql + "\"");
  return run.out;
}

class ExportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = test::DemoStoreHome();
    if (home_.empty()) GTEST_SKIP() << "sorvix-cli is not built";
    ASSERT_TRUE(fs::exists(fs::path(home_) / "Data")) << "the demo store could not be made";
    dir_ = fs::path(SORVIX_BINARY_DIR) / ("export-test-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  std::string Cli(const std::string& arguments) const {
    return kCli.string() + " --home " + home_ + " " + arguments + " 2>&1";
  }

  std::string home_;
  fs::path dir_;
};

TEST_F(ExportCommand, TheFileEqualsAnalyzeAndBacktestAndTheStoreIsNotWritten) {
  // A copy of the store of its own (hard links: a write replaces a file),
  // so that the other tests' loads do not change it meanwhile.
  fs::path home = dir_ / "home";
  ASSERT_EQ(Shell("cp -al " + home_ + " " + home.string()).status, 0);
  int dates = 0;
  for (char c : Shell(kCli.string() + " --home " + home.string() + " dates").out)
    dates += c == '\n';
  ASSERT_GT(dates, 30);
  const std::string added = "追加 " + std::to_string(dates) + " 日";
  for (const char* source : {"racehorse", "odds"}) {
    fs::path file = dir_ / (std::string(source) + ".sqlite");
    auto before = TreeState(home);
    ShellRun run = Shell(kCli.string() + " --home " + home.string() + " export --sqlite " +
                         file.string() + " --source " + source + " 2>&1");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(TreeState(home), before) << "the export wrote into the store";
    EXPECT_NE(run.out.find(added), std::string::npos) << run.out;
    EXPECT_EQ(Query(file, "PRAGMA integrity_check"), "ok\n");
    EXPECT_EQ(Query(file, "PRAGMA journal_mode"), "delete\n");
    EXPECT_FALSE(fs::exists(file.string() + "-wal"));
    ShellRun check = Shell("python3 " + kCheck.string() + " " + kCli.string() + " " +
                           home.string() + " " + file.string() + " " + source);
    EXPECT_EQ(check.status, 0) << source << ": " << check.out;
    EXPECT_NE(check.out.find("一致: " + std::to_string(dates) + " 開催日"), std::string::npos)
        << check.out;
  }
}

TEST_F(ExportCommand, ALongerRangeAddsOnlyNewDatesAndOtherSettingsAreRefused) {
  fs::path part = dir_ / "part.sqlite", whole = dir_ / "whole.sqlite";
  ASSERT_EQ(Shell(Cli("export --sqlite " + whole.string() + " --source odds")).status, 0);
  ShellRun first =
      Shell(Cli("export --sqlite " + part.string() + " --source odds --to 2024-05-01"));
  ASSERT_EQ(first.status, 0) << first.out;
  ShellRun second = Shell(Cli("export --sqlite " + part.string() + " --source odds"));
  ASSERT_EQ(second.status, 0) << second.out;
  EXPECT_NE(second.out.find("書き出し済み"), std::string::npos) << second.out;
  EXPECT_EQ(Dump(part), Dump(whole));
  // Again: only the dates without results (written again, in case their
  // results have come since).
  std::string open = Query(part,
                           "SELECT count(*) FROM meeting_days d WHERE NOT EXISTS (SELECT 1 "
                           "FROM races r WHERE r.date = d.date AND r.has_results = 1)");
  ShellRun again = Shell(Cli("export --sqlite " + part.string() + " --source odds"));
  EXPECT_NE(again.out.find("追加 " + open.substr(0, open.size() - 1) + " 日"), std::string::npos)
      << again.out;
  EXPECT_EQ(Dump(part), Dump(whole));

  // Another source, other sign points, a file that is not an export.
  std::string dump = Dump(part);
  fs::path ini = dir_ / "points.ini";
  std::ofstream(ini) << "[SignPoint]\r\nRed1=12\r\n[YosoOz]\r\nSelect=1\r\n";
  fs::path other = dir_ / "other.sqlite";
  Shell("sqlite3 " + other.string() + " 'CREATE TABLE notes (x)'");
  struct Case {
    std::string arguments, message;
  } cases[] = {
      {"export --sqlite " + part.string() + " --source racehorse",
       "推定能力「予想オッズデータ」で書き出されています（今回は「競走馬データ」）"},
      {"export --sqlite " + part.string() + " --ini " + ini.string(),
       "別の配点で書き出されています（赤1 10→12）"},
      {"export --sqlite " + other.string(), "Sorvix の書き出したファイルではありません"},
  };
  for (const Case& c : cases) {
    ShellRun refused = Shell(Cli(c.arguments));
    EXPECT_EQ(refused.status, 1) << c.arguments;
    EXPECT_NE(refused.out.find("sorvix-cli: SQLite へ書き出せません"), std::string::npos)
        << refused.out;
    EXPECT_NE(refused.out.find(c.message), std::string::npos) << refused.out;
  }
  EXPECT_EQ(Dump(part), dump);
}

// The count of dates in the file, read while the export writes it.
int DatesIn(const fs::path& file) {
  sqlite3* db = nullptr;
  int dates = -1;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM meeting_days", -1, &stmt, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      dates = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return dates;
}

TEST_F(ExportCommand, AKilledExportLeavesWholeDatesAndTheRerunFinishesIt) {
  fs::path whole = dir_ / "whole.sqlite", killed = dir_ / "killed.sqlite";
  ASSERT_EQ(Shell(Cli("export --sqlite " + whole.string())).status, 0);

  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execl(kCli.c_str(), kCli.c_str(), "--home", home_.c_str(), "export", "--sqlite", killed.c_str(),
          "--workers", "1", static_cast<char*>(nullptr));
    _exit(127);
  }
  // Killed once a few dates are in, well before the last.
  int seen = -1;
  for (int i = 0; i < 20000 && seen < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (fs::exists(killed)) seen = DatesIn(killed);
  }
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the export ended before it was killed";

  EXPECT_EQ(Query(killed, "PRAGMA integrity_check"), "ok\n");
  int kept = DatesIn(killed);
  EXPECT_GE(kept, 3);
  EXPECT_LT(kept, 50);
  // Each date kept is whole: its races and their runners.
  EXPECT_EQ(Query(killed,
                  "SELECT count(*) FROM meeting_days d WHERE races <> (SELECT count(*) "
                  "FROM races r WHERE r.date = d.date)"),
            "0\n");
  ShellRun rerun = Shell(Cli("export --sqlite " + killed.string()));
  ASSERT_EQ(rerun.status, 0) << rerun.out;
  EXPECT_EQ(Query(killed, "PRAGMA integrity_check"), "ok\n");
  // The indexes, off while the first dates went in, are back.
  EXPECT_EQ(Query(killed,
                  "SELECT group_concat(name, ' ') FROM (SELECT name FROM sqlite_master "
                  "WHERE type = 'index' AND sql IS NOT NULL ORDER BY name)"),
            "races_date runners_date runners_horse signs_sign\n");
  EXPECT_EQ(Dump(killed), Dump(whole));
}

}  // namespace
}  // namespace sorvix
