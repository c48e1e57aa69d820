#include "acquisition/acquisition_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/file_io.h"
#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/store_paths.h"
#include "store/stored_line.h"
#include "support/record_builder.h"
#include "support/scripted_jv_link.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

using test::RaRecord;
using test::SeRecord;

// Every event as one UTF-8 line, e.g. "status:ReadCount:1, DownloadCount:0".
class RecordingObserver : public AcquisitionObserver {
 public:
  std::vector<std::string> events;
  std::function<void()> onProcessEvents;

  void OnStatus(Cp932View text) override { Add("status:" + Utf8Bytes(text)); }
  void OnDownloadBar(int position, int maximum) override {
    Add("download:" + std::to_string(position) + "/" + std::to_string(maximum));
  }
  void OnReadBar(int position, int maximum) override {
    Add("read:" + std::to_string(position) + "/" + std::to_string(maximum));
  }
  void OnStoredLine(Cp932View line) override { Add("stored:" + Utf8Bytes(line)); }
  void OnStoredListCleared() override { Add("cleared"); }
  void OnBeep() override { Add("beep"); }
  void OnMessage(Cp932View text) override { Add("message:" + Utf8Bytes(text)); }
  void OnError(const Error& error) override { Add(std::string("ioerror:") + error.what()); }
  void OnSkippedRecord(const std::string& type, const std::string& reason, Cp932View) override {
    Add("skipped:" + type + " " + reason);
  }
  void OnWarning(const std::string& text) override { Add("warning:" + text); }
  void OnBusy(bool busy) override { Add(busy ? "busy" : "idle"); }
  void OnTimer(bool running) override { Add(running ? "timer:on" : "timer:off"); }
  void OnLastTime(const std::string& lastTime) override { Add("lasttime:" + lastTime); }
  void ProcessEvents() override {
    if (onProcessEvents) onProcessEvents();
  }

  bool Has(const std::string& event) const {
    return std::find(events.begin(), events.end(), event) != events.end();
  }
  std::vector<std::string> Starting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    return out;
  }

 private:
  void Add(std::string e) { events.push_back(std::move(e)); }
};

const Cp932Text kLabel = Cp932("2008年01月05日");

class AcquisitionRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateStoreFolders();
    link_.readCount = 2;
    link_.lastFileTimestamp = "20080106123456";
  }
  void Start(bool setup = false) { run_.Start("20080105000000", setup, 2020); }
  std::string LastTime() const { return settings_.ReadString("JvDataGet", "LastTime", "(none)"); }
  bool Exists(std::string_view relative) const {
    return std::filesystem::exists(HomePath(relative));
  }

  test::TempHome home_;
  test::ScriptedJvLink link_;
  RecordingObserver observer_;
  SettingsFile settings_;
  AcquisitionRun run_{link_, observer_, settings_};
};

using Calls = std::vector<std::string>;

TEST_F(AcquisitionRunTest, CompleteReadStoresRecordsAndThenLastTime) {
  link_.AddRecord(RaRecord({.race = 1}), "RACE1.jvd")
      .AddRecord(SeRecord({.race = 1, .horse = 2, .kind = '1'}))
      .AddResult(-1)
      .AddResult(-3)
      .AddRecord(RaRecord({.race = 2}))
      .AddResult(-1);
  Start(true);

  EXPECT_EQ(link_.calls, (Calls{"JVOpen", "JVRead", "JVRead", "JVRead", "JVRead", "JVRead",
                                "JVRead", "JVRead", "JVClose"}));
  EXPECT_EQ(link_.arguments[0], "JVOpen RACEDIFN 20080105000000 3");
  EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::Completed);
  EXPECT_EQ(run_.state(), AcquisitionRun::State::Closed);
  EXPECT_EQ(observer_.Starting("status:"),
            (Calls{"status:ReadCount:2, DownloadCount:0", "status:データ読込み中．．．(0/2)",
                   "status:データ読込み中．．．(1/2)", "status:データ読込み中．．．(2/2)",
                   "status:データ読込み完了(2/2)", "status:データ作成が完了しました。"}));
  EXPECT_EQ(observer_.Starting("stored:"),
            (Calls{"stored:作成済み:01R/2008年01月05日.jvRA",
                   "stored:作成済み:01R/02番/2008年01月05日中山.jvSEr",
                   "stored:作成済み:02R/2008年01月05日.jvRA"}));
  // The list is cleared at the start and at each file switch.
  EXPECT_EQ(observer_.Starting("cleared").size(), 3u);
  EXPECT_TRUE(observer_.Has("download:100/100"));
  EXPECT_EQ(observer_.events.back(), "beep");
  EXPECT_TRUE(observer_.Has("lasttime:2008/01/06 12:34:56"));
  EXPECT_EQ(LastTime(), "2008/01/06 12:34:56");
  EXPECT_EQ(SplitLines(ReadWholeFile(HomePath(RaceFilePath(kLabel)))).size(), 2u);
  EXPECT_TRUE(Exists(RunnerFilePath(kLabel, "06")));
}

TEST_F(AcquisitionRunTest, LastTimeNeedsARealTimeStamp) {
  for (const char* stamp : {"", "              ", "00000000000000"}) {
    link_.lastFileTimestamp = stamp;
    link_.AddRecord(RaRecord({}));
    Start();
    EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::Completed);
    EXPECT_EQ(LastTime(), "(none)") << '"' << stamp << '"';
    EXPECT_TRUE(observer_.Has("status:データ作成が完了しました。"));
  }
}

TEST_F(AcquisitionRunTest, DownloadIsPolledUntilComplete) {
  link_.downloadCount = 2;
  link_.statusResults = {0, 1, 2};
  link_.AddRecord(RaRecord({}));
  Start();
  EXPECT_EQ(run_.state(), AcquisitionRun::State::Downloading);
  EXPECT_TRUE(run_.TimerRunning());
  EXPECT_TRUE(observer_.Has("status:ダウンロード中・・・"));
  EXPECT_TRUE(observer_.Has("download:0/2"));
  EXPECT_EQ(link_.Count("JVRead"), 0);

  run_.Tick();
  run_.Tick();
  EXPECT_EQ(run_.state(), AcquisitionRun::State::Downloading);
  EXPECT_TRUE(observer_.Has("status:ダウンロード中．．．(1/2)"));
  EXPECT_TRUE(observer_.Has("download:1/2"));
  run_.Tick();
  EXPECT_FALSE(run_.TimerRunning());
  EXPECT_EQ(run_.state(), AcquisitionRun::State::Closed);
  EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::Completed);
  EXPECT_EQ(observer_.Starting("timer:"), (Calls{"timer:on", "timer:off"}));
  EXPECT_EQ(link_.Count("JVClose"), 1);
}

TEST_F(AcquisitionRunTest, JvLinkErrorsEndTheRunWithTheirMessageAndClose) {
  struct Case {
    const char* what;
    std::function<void(test::ScriptedJvLink&)> script;
    std::string message;
  } cases[] = {
      // A failed open leaves the read count at 0: still an error, not "no data".
      {"JVOpen", [](auto& l) { l.openResult = -301, l.readCount = 0; },
       "message:JVOpenエラー:認証エラーが発生しました。(-301)"},
      {"JVOpen with files", [](auto& l) { l.openResult = -202; },
       "message:JVOpenエラー:前回のJVOpen/JVRTOpen/JVMVOpen に対してJVClose "
       "が呼ばれていません。（オープン中）(-202)"},
      {"no data", [](auto& l) { l.readCount = 0; }, "message:最新のデータがありません。"},
      {"no newer data", [](auto& l) { l.openResult = -1, l.readCount = 0; },
       "message:最新のデータがありません。"},
      {"JVStatus",
       [](auto& l) {
         l.downloadCount = 3, l.statusResults = {1, -502};
       },
       "message:JVStatusエラー:ダウンロードに失敗しました。（通信エラーやディスクエラーなど）(-"
       "502)"},
      {"JVClose", [](auto& l) { l.closeResult = -201; }, "message:JVCloseエラー:(-201)"},
  };
  for (const auto& c : cases) {
    test::TempHome home;
    test::ScriptedJvLink link;
    link.readCount = 2;
    c.script(link);
    RecordingObserver observer;
    SettingsFile settings;
    AcquisitionRun run(link, observer, settings);
    run.Start("20080105000000", false, 2020);
    for (int i = 0; i < 5 && run.TimerRunning(); ++i) run.Tick();

    EXPECT_EQ(run.state(), AcquisitionRun::State::Closed) << c.what;
    EXPECT_TRUE(observer.Has(c.message)) << c.what;
    EXPECT_EQ(link.Count("JVClose"), 1) << c.what;
    EXPECT_EQ(link.calls.back(), "JVClose") << c.what;
    EXPECT_EQ(observer.events.back(),
              c.message == "message:JVCloseエラー:(-201)" ? c.message : "beep")
        << c.what;
  }
}

TEST_F(AcquisitionRunTest, ReadErrorKeepsWhatWasReadButNotLastTime) {
  link_.AddRecord(RaRecord({.race = 1})).AddResult(-502).AddRecord(RaRecord({.race = 2}));
  Start();
  EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::JvError);
  EXPECT_TRUE(observer_.Has(
      "message:JVReadエラー:ダウンロードに失敗しました。(通信エラーやディスクエラー)(-502)"
      "（ファイル: TEST.jvd）"));
  EXPECT_EQ(link_.calls, (Calls{"JVOpen", "JVRead", "JVRead", "JVClose"}));
  EXPECT_EQ(SplitLines(ReadWholeFile(HomePath(RaceFilePath(kLabel)))).size(), 1u);
  EXPECT_EQ(LastTime(), "(none)");
  EXPECT_FALSE(observer_.Has("status:データ作成が完了しました。"));
}

TEST_F(AcquisitionRunTest, CancelDuringDownloadClosesTheOpen) {
  link_.downloadCount = 4;
  link_.statusResults = {1, 2};
  Start();
  run_.Tick();
  run_.Cancel();

  EXPECT_EQ(link_.calls, (Calls{"JVOpen", "JVStatus", "JVCancel", "JVClose"}));
  EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::Cancelled);
  EXPECT_EQ(run_.state(), AcquisitionRun::State::Closed);
  EXPECT_FALSE(run_.TimerRunning());
  EXPECT_TRUE(observer_.Has("message:JVCancel:キャンセルされました"));
  EXPECT_EQ(observer_.events.back(), "status:JVCancel:キャンセルされました");
  run_.Tick();  // a late timer tick does nothing
  EXPECT_EQ(link_.Count("JVStatus"), 1);

  // The next run opens afresh.
  link_.downloadCount = 0;
  link_.AddRecord(RaRecord({}));
  Start();
  EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::Completed);
  EXPECT_EQ(LastTime(), "2008/01/06 12:34:56");
}

TEST_F(AcquisitionRunTest, CancelDuringReadStopsBeforeTheNextRecordAndClosesOnce) {
  link_.AddRecord(RaRecord({.race = 1}))
      .AddRecord(RaRecord({.race = 2}))
      .AddRecord(RaRecord({.race = 3}));
  int passes = 0;
  observer_.onProcessEvents = [&] {
    if (++passes == 3) run_.Cancel();
  };
  Start();
  EXPECT_EQ(link_.calls, (Calls{"JVOpen", "JVRead", "JVRead", "JVCancel", "JVClose"}));
  EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::Cancelled);
  EXPECT_EQ(SplitLines(ReadWholeFile(HomePath(RaceFilePath(kLabel)))).size(), 2u);
  EXPECT_EQ(LastTime(), "(none)");
}

TEST_F(AcquisitionRunTest, StoreWriteFailureEndsTheReadAndLeavesEarlierFilesWhole) {
  // Write through after every record, so the race is on disk before the
  // horse whose year folder is blocked by a file.
  AcquisitionRun run(link_, observer_, settings_, 0);
  home_.Write("UM2/2007", "a file where a folder belongs");
  link_.AddRecord(RaRecord({.race = 1}))
      .AddRecord(test::UmRecord("2007100001"))
      .AddRecord(RaRecord({.race = 2}));
  run.Start("20080105000000", false, 2020);

  EXPECT_EQ(run.outcome(), AcquisitionRun::Outcome::StoreError);
  EXPECT_EQ(observer_.Starting("ioerror:").size(), 1u);
  EXPECT_EQ(link_.calls, (Calls{"JVOpen", "JVRead", "JVRead", "JVClose"}));
  EXPECT_EQ(ReadWholeFile(HomePath(RaceFilePath(kLabel))),
            RaceLine(RaRecord({.race = 1})) + "\r\n");
  EXPECT_EQ(LastTime(), "(none)");
  EXPECT_EQ(home_.Read("UM2/2007"), "a file where a folder belongs");
}

TEST_F(AcquisitionRunTest, FailureOfTheFinalWriteKeepsLastTime) {
  settings_.WriteString("JvDataGet", "LastTime", "2007/12/01 00:00:00");
  std::string before = StoredLine(RaRecord({.race = 9})) + "\r\n";
  home_.Write(RelativeStorePath(RaceFilePath(kLabel)), before);
  home_.Write("UM2/2007", "a file where a folder belongs");
  link_.AddRecord(RaRecord({.race = 1})).AddRecord(test::UmRecord("2007100001"));
  Start();

  EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::StoreError);
  EXPECT_EQ(ReadWholeFile(HomePath(RaceFilePath(kLabel))), before);
  EXPECT_EQ(LastTime(), "2007/12/01 00:00:00");
  EXPECT_EQ(link_.Count("JVClose"), 1);
}

TEST_F(AcquisitionRunTest, DamagedRecordIsReportedAndSkipped) {
  std::string shortRecord = RaRecord({});
  shortRecord.erase(10, 5);
  link_.AddRecord(shortRecord).AddRecord(RaRecord({.race = 2}));
  Start();
  EXPECT_TRUE(observer_.Has("skipped:RA 長さが正しくありません（1267 バイト）"));
  EXPECT_EQ(run_.outcome(), AcquisitionRun::Outcome::Completed);
  EXPECT_EQ(SplitLines(ReadWholeFile(HomePath(RaceFilePath(kLabel)))).size(), 1u);
}

}  // namespace
}  // namespace sorvix
