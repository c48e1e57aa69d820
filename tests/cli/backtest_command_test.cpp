// sorvix-cli backtest over the demo store (feedgen --demo, acquired as the
// demo does), checked against a separate script that sums the per-date
// `analyze` output with the stored finishes and payouts.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/file_io.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

const fs::path kCli = fs::path(SORVIX_BINARY_DIR) / "cli" / "sorvix-cli";
const fs::path kFeedgen = fs::path(SORVIX_BINARY_DIR) / "tools" / "feedgen" / "sorvix-feedgen";
const fs::path kCheck = fs::path(SORVIX_FIXTURES).parent_path() / "cli" / "backtest_check.py";

struct ShellRun {
  int status = -1;
  std::string out;
};

ShellRun Shell(const std::string& command) {
  ShellRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The demo store, made once per build of the two programs in the build
// folder and shared by the tests (each runs as its own process).
class BacktestCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kCli) || !fs::exists(kFeedgen)) GTEST_SKIP() << "sorvix-cli is not built";
    fs::path base = fs::path(SORVIX_BINARY_DIR) / "backtest-demo-store";
    fs::create_directories(base);
    int lock = open((base / "lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    std::string build = std::to_string(fs::last_write_time(kCli).time_since_epoch().count()) +
                        std::to_string(fs::last_write_time(kFeedgen).time_since_epoch().count());
    auto made = ReadFileIfExists(base / "stamp");
    home_ = (base / "home").string();
    if (!made || *made != build) {
      fs::remove_all(home_);
      bool ok = Shell(kFeedgen.string() + " --demo --out " + home_ + "/JVLink --legacy-uma " +
                      home_ + " --force >/dev/null 2>&1 && " + kCli.string() + " --home " + home_ +
                      " acquire --setup --from 2022-01-01 >/dev/null 2>&1")
                    .status == 0;
      if (ok) WriteFileAtomic(base / "stamp", build);
    }
    if (lock >= 0) close(lock);
    ASSERT_TRUE(fs::exists(fs::path(home_) / "Data")) << "the demo store could not be made";
  }
  std::string Cli(const std::string& arguments) const {
    return kCli.string() + " --home " + home_ + " " + arguments;
  }

  std::string home_;
};

TEST_F(BacktestCommand, DemoDatesEqualTheScriptSumOfAnalyzeAndPayouts) {
  ShellRun check = Shell("python3 " + kCheck.string() + " " + kCli.string() + " " + home_);
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_NE(check.out.find("一致"), std::string::npos) << check.out;
}

TEST_F(BacktestCommand, TheRacehorseSourceIsSaidToSeeLaterRaces) {
  const std::string note = "公正な検証には予想オッズデータ";
  ShellRun racehorse = Shell(Cli("backtest --from 2024-06-15 --to 2024-06-16 2>&1"));
  EXPECT_EQ(racehorse.status, 0) << racehorse.out;
  EXPECT_NE(racehorse.out.find(note), std::string::npos);
  EXPECT_NE(racehorse.out.find("開催日 2  レース 72"), std::string::npos) << racehorse.out;

  ShellRun odds = Shell(Cli("backtest --source odds --format csv --from 2024-06-15 2>&1"));
  EXPECT_EQ(odds.status, 0);
  EXPECT_EQ(odds.out.find(note), std::string::npos);
  EXPECT_NE(odds.out.find("input,input,source,odds"), std::string::npos);

  ShellRun bad = Shell(Cli("backtest --by year 2>&1"));
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.out.find("sorvix-cli: --by は month か venue です: year"), std::string::npos);
}

}  // namespace
}  // namespace sorvix
