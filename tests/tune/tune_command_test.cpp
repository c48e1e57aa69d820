// sorvix-cli tune over the demo store: the settings file it writes gives
// `backtest --ini` the figures its report shows for the test dates, a seed
// gives the same run twice, the home's sorvix.ini is never written, and
// wrong arguments are refused with their reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "app/file_io.h"
#include "cli/demo_store.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

using test::kCli;
using test::Shell;
using test::ShellRun;

// The number after `"name": ` following `from` in a JSON text.
std::string NumberAfter(const std::string& json, const std::string& from, const std::string& name) {
  size_t at = json.find(from);
  if (at == std::string::npos) return "?";
  at = json.find("\"" + name + "\": ", at);
  if (at == std::string::npos) return "?";
  at += name.size() + 4;
  return json.substr(at, json.find_first_of(",}", at) - at);
}

class TuneCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kCli)) GTEST_SKIP() << "sorvix-cli is not built";
    home_ = test::DemoStoreHome();
    if (home_.empty()) GTEST_SKIP() << "sorvix-feedgen is not built";
  }
  // Standard output, and standard error too when `withErrors`.
  ShellRun Cli(const std::string& arguments, bool withErrors = true) const {
    return Shell(kCli.string() + " --home " + home_ + " " + arguments +
                 (withErrors ? " 2>&1" : " 2>/dev/null"));
  }
  std::string home_;
};

TEST_F(TuneCommand, TheSavedPointsBacktestAsTheReportSaysAndTheHomeIsNotWritten) {
  fs::path out = fs::temp_directory_path() / "sorvix-tune-test.ini";
  fs::remove(out);
  fs::path ini = fs::path(home_) / "sorvix.ini";
  std::optional<std::string> before = ReadFileIfExists(ini);
  const std::string tune =
      "tune --train ..2024-05-06 --test 2024-05-07.. --objective trio --candidates 40 "
      "--restarts 0 --seed 3 --format json --workers 2";
  ShellRun run = Cli(tune + " --out " + out.string(), false);
  ASSERT_EQ(run.status, 0) << run.out;
  ASSERT_TRUE(fs::exists(out));
  EXPECT_EQ(ReadFileIfExists(ini), before);
  EXPECT_EQ(Cli(tune, false).out, run.out);  // the seed gives the same run
  // Every date was tuned and tested on the counts of before its meeting.
  EXPECT_NE(run.out.find("\"estimate\": \"counts-before-meeting\""), std::string::npos);

  ShellRun backtest =
      Cli("backtest --ini " + out.string() + " --from 2024-05-07 --format json", false);
  ASSERT_EQ(backtest.status, 0) << backtest.out;
  // 3連複: the report's tuned figure over the test dates is the backtest's.
  std::string trio = "\"objective:trio\"";
  size_t tuned = run.out.find("\"tuned\"", run.out.find(trio));
  // The proposed tickets, not the whole pool that comes first.
  std::string tickets = backtest.out.substr(backtest.out.find("\"tickets\": {"));
  EXPECT_EQ(NumberAfter(run.out.substr(tuned), "\"figure\"", "part"),
            NumberAfter(tickets, "\"trio\"", "return"));
  EXPECT_EQ(NumberAfter(run.out.substr(tuned), "\"figure\"", "whole"),
            NumberAfter(tickets, "\"trio\"", "stake"));
  fs::remove(out);
}

TEST_F(TuneCommand, WrongArgumentsAreRefusedWithTheirReason) {
  struct Case {
    const char* arguments;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"tune --train 2024-05-01..2024-06-01 --test 2024-04-01..2024-04-30", 2,
       "検証期間（--test）は訓練期間（--train）の終了日より後に始まる必要があります"},
      {"tune --train 2024-05-01 --test 2024-06-01..", 2, "--train は 開始日..終了日 の形"},
      {"tune --folds yearly --objective best", 2, "--objective が不明です"},
      {"tune --folds monthly", 2, "--folds は yearly です"},
      {"tune --train ..2024-05-06", 2, "--train と --test の両方か"},
      {"tune --folds yearly --seed -1", 2, "--seed は"},
      {"tune --train ..2024-05-06 --test 2024-05-07.. --out HOME/sorvix.ini", 1,
       "このホームの設定ファイルは指定できません"},
      {"tune --train 2030-01-01..2030-02-01 --test 2030-03-01..", 1,
       "指定の期間に開催日のデータがありません"},
  };
  for (const Case& c : cases) {
    std::string arguments = c.arguments;
    if (size_t at = arguments.find("HOME"); at != std::string::npos)
      arguments.replace(at, 4, home_);
    ShellRun run = Cli(arguments + " --workers 2");
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << "\n" << run.out;
  }
}

}  // namespace
}  // namespace sorvix
