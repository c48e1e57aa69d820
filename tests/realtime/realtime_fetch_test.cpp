#include "acquisition/realtime_fetch.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/race_day.h"
#include "store/store_paths.h"
#include "support/record_builder.h"
#include "support/scripted_jv_link.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

const Cp932Text kDate = Cp932("2024年05月05日");

class RecordingObserver : public RealtimeFetchObserver {
 public:
  std::vector<std::string> labels;  // UTF-8
  int beeps = 0;
  std::vector<std::string> ioErrors;
  void OnLabel(Cp932View text) override { labels.push_back(Utf8Bytes(text)); }
  void OnBeep() override { ++beeps; }
  void OnError(const Error& error) override { ioErrors.push_back(error.what()); }
  void ProcessEvents() override {
    if (onProcessEvents) onProcessEvents();
  }
  std::function<void()> onProcessEvents;
};

std::time_t At(int h, int m, int s) {
  std::tm tm{};
  tm.tm_year = 124;
  tm.tm_mon = 4;
  tm.tm_mday = 5;
  tm.tm_hour = h;
  tm.tm_min = m;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

class RealtimeFetchTest : public ::testing::Test {
 protected:
  // Races 1..count of venue 06 (中山), six runners each, with RaceFile and
  // RunnerFile in the store, loaded into the day.
  void StoreAndLoad(int count) {
    std::string races, runners;
    for (int i = 0; i < kRunnerFileLines; ++i) runners += std::string(kSeLength - 2, ' ') + "\r\n";
    for (int r = 1; r <= count; ++r) {
      races += test::RaRecord({.ymd = "20240505",
                               .venue = "06",
                               .race = r,
                               .startTime = Format("%02d00", 9 + r),
                               .runners = 6});
      for (int h = 1; h <= 6; ++h) {
        std::string se = test::SeRecord({.ymd = "20240505", .venue = "06", .race = r, .horse = h});
        runners.replace(static_cast<size_t>(((r - 1) * 18 + h - 1) * kSeLength), se.size(), se);
      }
    }
    Write(RaceFilePath(kDate), races);
    Write(RunnerFilePath(kDate, "06"), runners);
    ImportPayouts(*day_, kDate);
    day_->RaceListRows = count;
    day_->LoadedDate = kDate.bytes();
  }
  void Write(const std::string& relative, const std::string& bytes) {
    home_.Write(RelativeStorePath(relative), bytes);
  }
  std::string Read(const std::string& relative) { return ReadWholeFile(HomePath(relative)); }
  RealtimeFetchOutcome Fetch(int selectedSlot = 0) {
    ErrorLog log;
    RealtimeFetch fetch(link_, log, observer_, [] { return At(14, 5, 9); });
    fetch_ = &fetch;
    RealtimeFetchOutcome outcome = fetch.FetchResults(*day_, selectedSlot);
    fetch_ = nullptr;
    return outcome;
  }
  std::vector<std::string> ErrorLines() {
    return SplitLines(ReadFileIfExists(home_.path() / "ErrorLog.txt").value_or(""));
  }

  test::TempHome home_;
  std::unique_ptr<RaceDay> day_ = RaceDay::Create();
  test::ScriptedJvLink link_;
  RecordingObserver observer_;
  RealtimeFetch* fetch_ = nullptr;
};

TEST_F(RealtimeFetchTest, NothingIsCalledWithoutALoadedDate) {
  RealtimeFetchOutcome outcome = Fetch();
  EXPECT_FALSE(outcome.started);
  EXPECT_TRUE(link_.calls.empty());
  EXPECT_TRUE(observer_.labels.empty());
}

TEST_F(RealtimeFetchTest, StoresResultsAndPayoutsThenImportsThePayouts) {
  StoreAndLoad(6);
  std::string se =
      test::SeRecord({.ymd = "20240505", .venue = "06", .race = 5, .horse = 3, .name = "NEW"});
  std::string hr = test::HrRecord({.ymd = "20240505", .venue = "06", .race = 5});
  // A runner of a venue without RunnerFile, and a race of a date without
  // RaceFile, are not stored; a UM record is dropped.
  link_.AddRecord(test::SeRecord({.ymd = "20240505", .venue = "05", .race = 1, .horse = 1}))
      .AddResult(-3)
      .AddRecord(test::RaRecord({.ymd = "20240506", .venue = "06", .race = 1, .runners = 6}))
      .AddResult(-1)
      .AddRecord(se)
      .AddRecord(test::UmRecord("2020100001"))
      .AddRecord(hr);

  RealtimeFetchOutcome outcome = Fetch(4);  // race 5 selected

  EXPECT_TRUE(outcome.started);
  EXPECT_FALSE(outcome.failed);
  EXPECT_TRUE(outcome.payoutsImported);
  EXPECT_TRUE(outcome.payouts.selectedRaceReceived);
  ASSERT_EQ(link_.arguments.size(), 1u);
  EXPECT_EQ(link_.arguments[0], "JVRTOpen 0B12 20240505");
  EXPECT_EQ(link_.Count("JVClose"), 2);

  std::string runners = Read(RunnerFilePath(kDate, "06"));
  ASSERT_EQ(runners.size(), static_cast<size_t>(kRunnerFileLines) * kSeLength);
  EXPECT_EQ(runners.substr(74 * kSeLength, kSeLength), se);
  EXPECT_EQ(runners.substr(73 * kSeLength, kSeLength),
            test::SeRecord({.ymd = "20240505", .venue = "06", .race = 5, .horse = 2}));
  EXPECT_EQ(Read(PayoutFilePath(kDate)), hr);
  EXPECT_FALSE(std::filesystem::exists(HomePath(RunnerFilePath(kDate, "05"))));
  EXPECT_FALSE(std::filesystem::exists(HomePath(RaceFilePath(DateLabelFromYmd("20240506")))));
  EXPECT_TRUE(day_->PayoutLoaded[4]);
  EXPECT_EQ(outcome.stored.size(), 2u);

  EXPECT_EQ(observer_.labels.front(), "ﾚｰｽ情報データ取得中");
  EXPECT_EQ(observer_.labels.back(), "");
  EXPECT_TRUE(ErrorLines().empty());
}

TEST_F(RealtimeFetchTest, OpenErrorShowsTheRaceAndGoesToTheErrorLog) {
  StoreAndLoad(11);
  link_.rtOpenResult = -301;

  RealtimeFetchOutcome outcome = Fetch(10);

  EXPECT_TRUE(outcome.failed);
  EXPECT_FALSE(outcome.payoutsImported);
  EXPECT_EQ(link_.Count("JVRead"), 0);
  EXPECT_EQ(link_.Count("JVClose"), 2);
  const std::string text = "中山11R:ﾚｰｽ情報データ取得エラー：認証エラーが発生しました。(-301)";
  ASSERT_GE(observer_.labels.size(), 2u);
  EXPECT_EQ(observer_.labels[1], text);
  EXPECT_EQ(observer_.labels.back(), "");
  EXPECT_EQ(ErrorLines(), std::vector<std::string>{Cp932("【エラー】14:05:09：" + text).bytes()});
}

TEST_F(RealtimeFetchTest, ReadAndCloseErrorsAreLoggedAndSkipTheImport) {
  StoreAndLoad(2);
  std::string hr = test::HrRecord({.ymd = "20240505", .venue = "06", .race = 1});
  link_.AddRecord(hr).AddResult(-502);
  link_.closeResult = -1;  // no table text: "(-1)"

  RealtimeFetchOutcome outcome = Fetch();

  EXPECT_TRUE(outcome.failed);
  EXPECT_FALSE(outcome.payoutsImported);
  // Records read before the error are kept.
  EXPECT_EQ(Read(PayoutFilePath(kDate)), hr);
  auto lines = ErrorLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "【エラー】14:05:09：ﾚｰｽ情報データ取得中"_sj);
  EXPECT_EQ(Utf8Bytes(lines[1]).rfind("【エラー】14:05:09：", 0), 0u);
  EXPECT_EQ(Utf8Bytes(lines[1]).find("(-1)") != std::string::npos, true);
}

TEST_F(RealtimeFetchTest, CancelStopsTheReadKeepsWhatWasReadAndImports) {
  StoreAndLoad(2);
  std::string hr = test::HrRecord({.ymd = "20240505", .venue = "06", .race = 1});
  link_.AddRecord(hr).AddRecord(test::HrRecord({.ymd = "20240505", .venue = "06", .race = 2}));
  link_.onCall = [&](const std::string& call) {
    if (call == "JVRead") observer_.onProcessEvents = [&] { fetch_->Cancel(); };
  };

  RealtimeFetchOutcome outcome = Fetch();

  EXPECT_EQ(link_.Count("JVRead"), 1);
  EXPECT_FALSE(outcome.failed);
  EXPECT_TRUE(outcome.payoutsImported);
  EXPECT_EQ(Read(PayoutFilePath(kDate)), hr);
  EXPECT_TRUE(day_->PayoutLoaded[0]);
  EXPECT_FALSE(day_->PayoutLoaded[1]);
}

}  // namespace
}  // namespace sorvix
