#include "app/error_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/file_io.h"
#include "app/io_error.h"
#include "codes/cp932.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

std::time_t At(int year, int mon, int day, int h, int m, int s) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = mon - 1;
  tm.tm_mday = day;
  tm.tm_hour = h;
  tm.tm_min = m;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

TEST(ErrorLogTest, StartKeepsTheNewest100LinesThenAddsTwo) {
  test::TempHome home;
  std::vector<std::string> lines;
  for (int i = 1; i <= 150; ++i) lines.push_back("line " + std::to_string(i));
  home.Write("ErrorLog.txt", JoinLines(lines));

  ErrorLog().RecordStart(At(2008, 1, 5, 9, 3, 7));

  auto read = SplitLines(home.Read("ErrorLog.txt"));
  ASSERT_EQ(read.size(), 102u);
  EXPECT_EQ(read.front(), "line 51");
  EXPECT_EQ(read[99], "line 150");
  EXPECT_EQ(read[100], "ソフト起動：2008/01/05 09:03:07"_sj);
  EXPECT_EQ(read[101], home.path().string());
}

TEST(ErrorLogTest, StartWithoutAFileCreatesIt) {
  test::TempHome home;
  ErrorLog().RecordStart(At(2024, 5, 5, 12, 0, 0));
  EXPECT_EQ(SplitLines(home.Read("ErrorLog.txt")).size(), 2u);
}

TEST(ErrorLogTest, ErrorLinesAppendWithoutTrimming) {
  test::TempHome home;
  std::vector<std::string> lines(120, "old");
  home.Write("ErrorLog.txt", JoinLines(lines));
  ErrorLog().AppendError(
      At(2024, 5, 5, 14, 5, 9),
      Cp932("中山11R:ﾚｰｽ情報データ取得エラー：認証エラーが発生しました。(-301)"));
  auto read = SplitLines(home.Read("ErrorLog.txt"));
  ASSERT_EQ(read.size(), 121u);
  EXPECT_EQ(
      read.back(),
      "【エラー】14:05:09：中山11R:ﾚｰｽ情報データ取得エラー：認証エラーが発生しました。(-301)"_sj);
}

TEST(ErrorLogTest, UnreadableLogIsAnIoError) {
  if (geteuid() == 0) {
    // root reads everything; a folder in the file's place is unreadable as a file.
    test::TempHome home;
    std::filesystem::create_directory(home.path() / "ErrorLog.txt");
    EXPECT_THROW(ErrorLog().RecordStart(std::time(nullptr)), Error);
    return;
  }
  test::TempHome home;
  home.Write("ErrorLog.txt", "x\r\n");
  chmod((home.path() / "ErrorLog.txt").c_str(), 0);
  EXPECT_THROW(ErrorLog().RecordStart(std::time(nullptr)), Error);
}

}  // namespace
}  // namespace sorvix
