// sorvix-cli analyze run as a user runs it, on a small store: the JSON it
// prints and the terminal tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/store_paths.h"
#include "support/hr_record_builder.h"
#include "support/record_builder.h"
#include "support/shell.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

using test::kCli;
using CliRun = test::ShellRun;

CliRun RunCli(const std::string& arguments) {
  return test::Shell(kCli.string() + " " + arguments + " 2>/dev/null");
}

size_t Count(const std::string& text, const std::string& piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
    ++count;
  return count;
}

class AnalyzeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kCli)) GTEST_SKIP() << "sorvix-cli is not built";
    // Venue 05: race 1 of 8 runners at 10:00, race 2 without runners at
    // 10:30; the PayoutFile holds race 1.
    std::string races =
        test::RaRecord(
            {.ymd = "20240505", .venue = "05", .race = 1, .startTime = "1000", .runners = 8}) +
        test::RaRecord(
            {.ymd = "20240505", .venue = "05", .race = 2, .startTime = "1030", .runners = 0});
    std::string runners(static_cast<size_t>(kRunnerFileLines) * kSeLength, ' ');
    for (int h = 1; h <= 8; ++h) {
      test::RecordBuilder se("SE", kSeLength);
      test::SetRaceId(se, {"20240505", "05", 1, 1, 1});
      se.Set(28, Format("%d", h)).SetNumber(29, 2, h).Set(41, "テスト"_sj + Format("%d", h));
      std::string line = se.Build();
      runners.replace(static_cast<size_t>((h - 1) * kSeLength), line.size(), line);
    }
    test::HrRecordBuilder hr;
    hr.Key("2024050505010101").Win(0, 8, 450, 2).Place(0, 8, 150, 2).Place(1, 3, 200, 4);
    home_.Write(RelativeStorePath(RaceFilePath(kDate)), races);
    home_.Write(RelativeStorePath(RunnerFilePath(kDate, "05")), runners);
    home_.Write(RelativeStorePath(PayoutFilePath(kDate)), hr.Record());
  }

  std::string Home() const { return "--home " + home_.path().string(); }

  const Cp932Text kDate = Cp932("2024年05月05日");
  test::TempHome home_;
};

TEST_F(AnalyzeCommand, PrintsEveryRaceAsJson) {
  CliRun run = RunCli(Home() + " analyze 2024-05-05");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.rfind("{\"date\": \"2024年05月05日\", \"races\": [", 0), 0u) << run.out;
  EXPECT_NE(
      run.out.find("{\"slot\": 0, \"key\": \"2024050505010101\", \"venue\": \"05\", \"race\": 1, "
                   "\"runners\": 8,"),
      std::string::npos);
  EXPECT_NE(
      run.out.find("{\"slot\": 1, \"key\": \"2024050505010102\", \"venue\": \"05\", \"race\": 2, "
                   "\"runners\": 0,\n  \"ring\": [],\n  \"horses\": []}"),
      std::string::npos)
      << run.out;
  EXPECT_EQ(Count(run.out, "{\"row\": "), 18u);
  EXPECT_EQ(Count(run.out, "{\"no\": "), 8u);
  // Ring row 0 of eight runners shows horse 7 (18 mod 8 = 2: horses 7, 8
  // first); post time 10:00 marks horse 8, on rows 1, 9 and 17.
  EXPECT_NE(run.out.find("{\"row\": 0, \"horse\": 7, \"marks\": {\"Special1\": \"\", \"Red1\": "),
            std::string::npos);
  EXPECT_EQ(Count(run.out, "\"HStimeS1\": \"○\"}, \"sum\": "), 3u);
  EXPECT_NE(run.out.find("\"flags\": {\"red\": "), std::string::npos);
  EXPECT_NE(run.out.find("{\"no\": 8, \"away\": "), std::string::npos);
  EXPECT_NE(run.out.find("\"suitei\": 0.00000, \"suiteiRank\": "), std::string::npos);
  EXPECT_EQ(run.out.substr(run.out.size() - 3), "]}\n");
}

TEST_F(AnalyzeCommand, TheIniFileGivesTheSignPoints) {
  std::string ini = "[SignPoint]\r\n";
  for (const char* key :
       {"Special1", "Red1",    "Red2",    "Red3",    "Red4",    "Red5",    "Red6",
        "Red7",     "Red8",    "Red9",    "Red10",   "Red11",   "Green1",  "Green2",
        "Green3",   "Green4",  "Green5",  "Green6",  "Orange1", "Orange2", "Orange3",
        "Orange4",  "Orange5", "Orange6", "Orange7", "Blue1",   "Yellow1"})
    ini += std::string(key) + "=0\r\n";
  ini += "HStimeS1=40\r\n";
  home_.Write("points.ini", ini);

  CliRun run =
      RunCli(Home() + " analyze 2024-05-05 --ini " + (home_.path() / "points.ini").string());
  ASSERT_EQ(run.status, 0) << run.out;
  // Only the post-time sign weighs: 40 on the three rows of horse 8.
  EXPECT_EQ(Count(run.out, "\"HStimeS1\": \"○\"}, \"sum\": 40,"), 3u) << run.out;
  EXPECT_EQ(Count(run.out, "\"sum\": 0,"), 15u);

  EXPECT_EQ(RunCli(Home() + " analyze 2024-05-05 --ini /nonexistent/points.ini").status, 1);
}

TEST_F(AnalyzeCommand, TableShowsTheSignTableAndRaceCard) {
  CliRun run = RunCli(Home() + " analyze 2024年05月05日 --race 0 --table");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("10:00 東京 1R"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("サイン表"), std::string::npos);
  EXPECT_NE(run.out.find("出馬表"), std::string::npos);
  EXPECT_NE(run.out.find("テスト8"), std::string::npos);
  // The payout import set the final positions from the place list.
  std::string card = run.out.substr(run.out.find("出馬表"));
  std::string horse8 = card.substr(card.find(" 8  8 テスト8"));
  horse8 = horse8.substr(0, horse8.find('\n'));
  EXPECT_EQ(horse8.back(), '1') << horse8;
}

// The table's race card and the CSV's (and so CSV保存's) are one: every
// runner's cells appear in its table line in the same order, the weight
// with "kg" and the ability's rank where the CSV has them.
TEST_F(AnalyzeCommand, TableRaceCardHasTheCellsOfTheCsv) {
  std::string table = RunCli(Home() + " analyze 2024-05-05 --race 0 --table").out;
  table = table.substr(table.find("出馬表"));
  std::string csv = RunCli(Home() + " analyze 2024-05-05 --race 0 --csv --csv-table 出馬表").out;
  std::vector<std::string> lines;
  for (size_t at = csv.find("\r\n") + 2, end; (end = csv.find("\r\n", at)) != std::string::npos;
       at = end + 2)
    lines.push_back(csv.substr(at, end - at));
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) {
    std::vector<std::string> cells;
    for (size_t at = 0, end = 0; end != std::string::npos; at = end + 1) {
      end = line.find(',', at);
      cells.push_back(line.substr(at, end == std::string::npos ? end : end - at));
    }
    ASSERT_GE(cells.size(), 19u);
    if (!cells[5].empty()) {
      EXPECT_NE(cells[5].find("kg"), std::string::npos) << line;
    }
    auto pad = [](const std::string& n) { return (n.size() < 2 ? " " : "") + n; };
    size_t row = table.find("\n" + pad(cells[1]) + " " + pad(cells[2]) + " ");
    ASSERT_NE(row, std::string::npos) << line;
    size_t at = row;
    for (size_t c = 1; c < 19; ++c) {
      std::string cell = cells[c];
      if (cell.rfind("\"=\"\"", 0) == 0) {  // "=""1-15""" is the text 1-15
        cell = cell.substr(4, cell.size() - 7);
      }
      if (cell.find_first_not_of(' ') == std::string::npos) continue;
      size_t found = table.find(cell, at);
      ASSERT_NE(found, std::string::npos) << cell << " of " << line;
      at = found + cell.size();
    }
    EXPECT_LE(at, table.find('\n', row + 1)) << "cells beyond the runner's line: " << line;
  }
}

TEST_F(AnalyzeCommand, BadArgumentsAreRefused) {
  EXPECT_EQ(RunCli(Home() + " analyze 2024-13-05").status, 2);
  EXPECT_EQ(RunCli(Home() + " analyze 2024-05-06").status, 1);  // no RaceFile
  EXPECT_EQ(RunCli(Home() + " analyze 2024-05-05 --table").status, 2);
  EXPECT_EQ(RunCli(Home() + " analyze 2024-05-05 --race 5").status, 2);
  EXPECT_EQ(RunCli(Home() + " analyze 2024-05-05 --race x").status, 2);
}

}  // namespace
}  // namespace sorvix
