// sorvix-cli backtest over the demo store (feedgen --demo, acquired as the
// demo does), checked against a separate script that sums the per-date
// `analyze` output with the stored finishes and payouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "cli/demo_store.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;
using test::kCli;
using test::Shell;
using test::ShellRun;

const fs::path kCheck = fs::path(SORVIX_FIXTURES).parent_path() / "cli" / "backtest_check.py";

class BacktestCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = test::DemoStoreHome();
    if (home_.empty()) GTEST_SKIP() << "sorvix-cli is not built";
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

TEST_F(BacktestCommand, TheEstimateUsedIsSaidAndRecorded) {
  ShellRun racehorse = Shell(Cli("backtest --from 2024-06-15 --to 2024-06-16 2>&1"));
  EXPECT_EQ(racehorse.status, 0) << racehorse.out;
  EXPECT_NE(racehorse.out.find("推定能力: 競走馬データ（各開催日の前の成績数に戻して計算）"),
            std::string::npos)
      << racehorse.out;
  EXPECT_NE(racehorse.out.find("開催日 2  レース 72"), std::string::npos) << racehorse.out;

  ShellRun csv = Shell(Cli("backtest --format csv --from 2024-06-15 2>/dev/null"));
  EXPECT_NE(csv.out.find("input,input,estimate,counts-before-meeting"), std::string::npos);
  ShellRun odds = Shell(Cli("backtest --source odds --format json --from 2024-06-15 2>&1"));
  EXPECT_EQ(odds.status, 0);
  EXPECT_NE(odds.out.find("\"estimate\": \"predicted-odds\""), std::string::npos) << odds.out;

  ShellRun bad = Shell(Cli("backtest --by year 2>&1"));
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.out.find("sorvix-cli: --by は month か venue です: year"), std::string::npos);
}

// More workers than cores are said and reduced.
TEST_F(BacktestCommand, WorkersAreCappedAtTheCores) {
  ShellRun run = Shell(Cli("backtest --workers 999 --from 2024-06-22 --format json 2>&1"));
  EXPECT_EQ(run.status, 0) << run.out;
  const std::string cores = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
  EXPECT_NE(run.out.find("sorvix-cli: --workers 999 はコア数 " + cores + " を超えるため " + cores +
                         " にしました"),
            std::string::npos)
      << run.out;
}

}  // namespace
}  // namespace sorvix
