#include "acquisition/feed_jv_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/settings_file.h"
#include "support/scripted_jv_link.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSid = "SA417290/SD508316/SorxJDL/Version 1.10";

// One JVRead outcome: the result, and the record and file name for records.
struct ReadStep {
  int result;
  std::string record;
  std::string fileName;
  bool operator==(const ReadStep&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ReadStep& s) {
  return os << "{" << s.result << ", \"" << s.record << "\", " << s.fileName << "}";
}

class FeedJvLinkTest : public ::testing::Test {
 protected:
  void Feed(const std::string& name, const std::string& bytes) {
    home.Write("JVLink/" + name, bytes);
  }
  void Faults(const std::string& lines) { home.Write("JVLink/fault.ini", lines); }

  int Open(const std::string& fromTime, int option) {
    return link.JVOpen("RACEDIFN", fromTime, option, readCount, downloadCount, lastTimestamp);
  }

  ReadStep ReadOne(int size = 60000) {
    std::string buffer, fileName;
    int r = link.JVRead(buffer, size, fileName);
    return r > 0 ? ReadStep{r, buffer, fileName} : ReadStep{r, "", ""};
  }

  // Reads until 0 or an error below -3 (at most `limit` calls).
  std::vector<ReadStep> ReadAll(int limit = 100) {
    std::vector<ReadStep> steps;
    for (int i = 0; i < limit; ++i) {
      steps.push_back(ReadOne());
      if (steps.back().result == 0 || steps.back().result < -3) break;
    }
    return steps;
  }

  test::TempHome home;
  FeedJvLink link;
  int readCount = -9;
  int downloadCount = -9;
  std::string lastTimestamp = "unset";
};

TEST_F(FeedJvLinkTest, EveryOperationBeforeJVInitFails) {
  fs::create_directories(home.path() / "JVLink");
  EXPECT_EQ(Open("20240101000000", 1), -201);
  EXPECT_EQ(link.JVRTOpen("0B12", "20240106"), -201);
  EXPECT_EQ(link.JVStatus(), -201);
  EXPECT_EQ(ReadOne().result, -201);
  EXPECT_EQ(link.JVSetUIProperties(), -201);
  // Closing is always allowed, so a caller's normal close after a failed
  // open reports nothing further.
  EXPECT_EQ(link.JVClose(), 0);
}

TEST_F(FeedJvLinkTest, JVInitChecksTheSoftwareId) {
  struct Case {
    std::string sid;
    int result;
  };
  const std::vector<Case> cases = {
      {"", -101}, {" SA417290", -103}, {std::string(64, 'A'), -102}, {std::string(63, 'A'), 0},
      {kSid, 0},
  };
  for (const Case& c : cases) {
    FeedJvLink fresh;
    EXPECT_EQ(fresh.JVInit(c.sid), c.result) << "sid of " << c.sid.size() << " bytes";
  }
  // A failed JVInit leaves the component uninitialised.
  FeedJvLink failed;
  failed.JVInit("");
  EXPECT_EQ(failed.JVStatus(), -201);
}

TEST_F(FeedJvLinkTest, JVOpenChecksItsArguments) {
  Feed("RACE20240106093000.jvd", "RA1\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  struct Case {
    std::string dataspec, fromTime;
    int option, result;
  };
  const std::vector<Case> cases = {
      {"RACE", "20240101000000", 1, -111},      {"racedifn", "20240101000000", 1, -111},
      {"RACEDIFN", "20240101", 1, -112},        {"RACEDIFN", "2024010100000a", 1, -112},
      {"RACEDIFN", "202401010000000", 1, -112}, {"RACEDIFN", "20240101000000", 2, -115},
      {"RACEDIFN", "20240101000000", 0, -115},  {"RACEDIFN", "20240101000000", 4, -115},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        link.JVOpen(c.dataspec, c.fromTime, c.option, readCount, downloadCount, lastTimestamp),
        c.result)
        << c.dataspec << " " << c.fromTime << " " << c.option;
    EXPECT_EQ(readCount, 0);
    EXPECT_EQ(ReadOne().result, -203) << "a failed open leaves nothing open";
  }
}

TEST_F(FeedJvLinkTest, MissingFeedFolderIsASettingsError) {
  ASSERT_EQ(link.JVInit(kSid), 0);
  EXPECT_FALSE(FeedJvLink::IsInstalled());
  EXPECT_EQ(Open("20240101000000", 1), -211);
  EXPECT_EQ(link.JVRTOpen("0B12", "20240106"), -211);
}

TEST_F(FeedJvLinkTest, OptionsSelectFilesByTimeStamp) {
  Feed("RACE20240104120000.jvd", "RA4\r\n");
  Feed("DIFN20240105000000.jvd", "UM5\r\n");
  Feed("RACE20240105180000.jvd", "RA5\r\n");
  Feed("RACE20240106093000.jvd", "RA6\r\n");
  Feed("notes.txt", "not a data file\r\n");
  Feed("RACE2024010609.jvd", "short stamp\r\n");
  Faults("Downloaded=yes\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);

  struct Case {
    std::string fromTime;
    int option;
    std::vector<std::string> records;
    std::string last;
  };
  const std::vector<Case> cases = {
      // Normal data: time stamps strictly after the from-time.
      {"20240105180000", 1, {"RA6"}, "20240106093000"},
      {"20240105175959", 1, {"RA5", "RA6"}, "20240106093000"},
      {"20240104120000", 1, {"UM5", "RA5", "RA6"}, "20240106093000"},
      // Setup data: whole days from the from-time's date on.
      {"20240105235959", 3, {"UM5", "RA5", "RA6"}, "20240106093000"},
      {"20240104235959", 3, {"RA4", "UM5", "RA5", "RA6"}, "20240106093000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fromTime + " option " + std::to_string(c.option));
    ASSERT_EQ(Open(c.fromTime, c.option), 0);
    EXPECT_EQ(readCount, static_cast<int>(c.records.size()));
    EXPECT_EQ(downloadCount, 0);
    EXPECT_EQ(lastTimestamp, c.last);
    std::vector<std::string> records;
    for (const ReadStep& s : ReadAll())
      if (s.result > 0) records.push_back(s.record.substr(0, 3));
    EXPECT_EQ(records, c.records);
    EXPECT_EQ(link.JVClose(), 0);
  }

  // Nothing newer: no data, counts 0, nothing left open.
  EXPECT_EQ(Open("20240106093000", 1), -1);
  EXPECT_EQ(readCount, 0);
  EXPECT_EQ(downloadCount, 0);
  EXPECT_EQ(lastTimestamp, "");
  EXPECT_EQ(link.JVRTOpen("0B12", "20240106"), -1) << "no -202: the empty open is not open";
}

TEST_F(FeedJvLinkTest, ReadServesRecordsFileByFile) {
  // Same time stamp: by name.  Empty lines are skipped, LF-only and
  // unterminated lines come with CR LF, CP932 bytes pass unchanged.
  Feed("RACE20240106093000.jvd", "RA1\x82\xa0\r\nSE1\r\n\r\n");
  Feed("DIFN20240106093000.jvd", "UM1\nKS1");
  Feed("RACE20240105093000.jvd", "");
  Feed("RACE20240107093000.jvd", "HR1\r\n");
  Faults("Downloaded=yes\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  ASSERT_EQ(Open("20240101000000", 1), 0);
  EXPECT_EQ(readCount, 4);

  const std::vector<ReadStep> expected = {
      {-1, "", ""},
      {5, "UM1\r\n", "DIFN20240106093000.jvd"},
      {5, "KS1\r\n", "DIFN20240106093000.jvd"},
      {-1, "", ""},
      {7, "RA1\x82\xa0\r\n", "RACE20240106093000.jvd"},
      {5, "SE1\r\n", "RACE20240106093000.jvd"},
      {-1, "", ""},
      {5, "HR1\r\n", "RACE20240107093000.jvd"},
      {-1, "", ""},
      {0, "", ""},
  };
  EXPECT_EQ(ReadAll(), expected);
  EXPECT_EQ(ReadOne().result, 0) << "stays at the end";
}

TEST_F(FeedJvLinkTest, RecordLongerThanTheBufferIsCutWithoutAnErrorAndALineOverAMegabyteIsDamage) {
  // The buffer holds size − 1 bytes and the terminating NUL: a 100-byte
  // record needs 101; with 100 its first 99 bytes come, and the next record
  // follows.
  Feed("RACE20240106093000.jvd", std::string(98, 'R') + "\r\n" + std::string(98, 'S') + "\r\n" +
                                     std::string((1 << 20) + 1, 'O') + "\r\n");
  Faults("Downloaded=yes\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  ASSERT_EQ(Open("20240101000000", 1), 0);
  auto cut = ReadOne(100);
  EXPECT_EQ(cut.result, 99);
  EXPECT_EQ(cut.record, std::string(98, 'R') + "\r");
  auto whole = ReadOne(101);
  EXPECT_EQ(whole.result, 100);
  EXPECT_EQ(whole.record, std::string(98, 'S') + "\r\n");
  EXPECT_EQ(ReadOne(110000).result, -402);
}

TEST_F(FeedJvLinkTest, FileRemovedAfterOpenIsReported) {
  Feed("RACE20240106093000.jvd", "RA1\r\n");
  Faults("Downloaded=yes\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  ASSERT_EQ(Open("20240101000000", 1), 0);
  fs::remove(home.path() / "JVLink/RACE20240106093000.jvd");
  EXPECT_EQ(ReadOne().result, -503);
}

TEST_F(FeedJvLinkTest, DownloadAdvancesWithStatusPolling) {
  for (int i = 0; i < 3; ++i) Feed("RACE2024010" + std::to_string(i + 1) + "093000.jvd", "RA\r\n");
  Faults("DownloadStep=2\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  ASSERT_EQ(Open("20240101000000", 3), 0);
  EXPECT_EQ(readCount, 3);
  EXPECT_EQ(downloadCount, 3);

  EXPECT_EQ(ReadOne().result, -3) << "nothing downloaded yet";
  EXPECT_EQ(link.JVStatus(), 2);
  EXPECT_EQ(ReadOne().result, 4);
  EXPECT_EQ(ReadOne().result, -1);
  EXPECT_EQ(ReadOne().result, 4);
  EXPECT_EQ(ReadOne().result, -1);
  EXPECT_EQ(ReadOne().result, -3) << "third file still downloading";
  EXPECT_EQ(link.JVStatus(), 3);
  EXPECT_EQ(link.JVStatus(), 3) << "capped at the download count";
  EXPECT_EQ(ReadOne().result, 4);
  EXPECT_EQ(ReadOne().result, -1);
  EXPECT_EQ(ReadOne().result, 0);
}

TEST_F(FeedJvLinkTest, DefaultDownloadStepIsAnEighth) {
  for (int i = 10; i < 27; ++i) Feed("RACE202401" + std::to_string(i) + "093000.jvd", "RA\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  ASSERT_EQ(Open("20240101000000", 1), 0);
  ASSERT_EQ(downloadCount, 17);
  std::vector<int> statuses;
  for (int i = 0; i < 10; ++i) statuses.push_back(link.JVStatus());
  EXPECT_EQ(statuses, (std::vector<int>{2, 4, 6, 8, 10, 12, 14, 16, 17, 17}));
}

TEST_F(FeedJvLinkTest, OpenStaysOpenUntilClosed) {
  Feed("RACE20240106093000.jvd", "RA1\r\n");
  home.Write("JVLink/rt/20240106/0B12a.jvd", "HR1\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  ASSERT_EQ(Open("20240101000000", 1), 0);
  EXPECT_EQ(Open("20240101000000", 1), -202);
  EXPECT_EQ(link.JVRTOpen("0B12", "20240106"), -202);
  EXPECT_EQ(link.JVStatus(), 1) << "the first open is untouched";
  EXPECT_EQ(link.JVClose(), 0);
  EXPECT_EQ(link.JVStatus(), -203);
  EXPECT_EQ(ReadOne().result, -203);
  EXPECT_EQ(link.JVClose(), 0) << "closing twice is harmless";
  EXPECT_EQ(link.JVRTOpen("0B12", "20240106"), 0);
}

TEST_F(FeedJvLinkTest, CancelStopsTheDownload) {
  for (int i = 0; i < 4; ++i) Feed("RACE2024010" + std::to_string(i + 1) + "093000.jvd", "RA\r\n");
  home.Write("JVLink/rt/20240106/0B12a.jvd", "HR1\r\n");
  Faults("DownloadStep=1\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  ASSERT_EQ(Open("20240101000000", 1), 0);
  EXPECT_EQ(link.JVStatus(), 1);
  link.JVCancel();
  EXPECT_EQ(link.JVStatus(), 1) << "the download does not go on";
  EXPECT_EQ(ReadOne().result, 4) << "downloaded files stay readable";
  EXPECT_EQ(ReadOne().result, -1);
  EXPECT_EQ(ReadOne().result, -502) << "a file that will never arrive is an error, not a wait";
  // The caller does not close after cancelling a download; the next fetch
  // must still work.
  ASSERT_EQ(link.JVRTOpen("0B12", "20240106"), 0);
  EXPECT_EQ(ReadOne().record, "HR1\r\n");
}

TEST_F(FeedJvLinkTest, RealTimeOpenServesTheDayFolder) {
  home.Write("JVLink/rt/20240106/b.jvd", "SE2\r\n");
  home.Write("JVLink/rt/20240106/a.jvd", "RA1\r\nHR1\r\n");
  home.Write("JVLink/rt/20240106/readme.txt", "ignored\r\n");
  home.Write("JVLink/rt/20240107/a.jvd", "RA7\r\n");
  Feed("RACE20240106093000.jvd", "RA0\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);

  EXPECT_EQ(link.JVRTOpen("0B11", "20240106"), -111);
  EXPECT_EQ(link.JVRTOpen("0B12", "2024016"), -114);
  EXPECT_EQ(link.JVRTOpen("0B12", "2024O106"), -114);
  EXPECT_EQ(link.JVRTOpen("0B12", "20240108"), -1) << "no data for the day";

  ASSERT_EQ(link.JVRTOpen("0B12", "20240106"), 0);
  EXPECT_EQ(link.JVStatus(), 0) << "nothing to download";
  const std::vector<ReadStep> expected = {
      {5, "RA1\r\n", "a.jvd"},
      {5, "HR1\r\n", "a.jvd"},
      {-1, "", ""},
      {5, "SE2\r\n", "b.jvd"},
      {-1, "", ""},
      {0, "", ""},
  };
  EXPECT_EQ(ReadAll(), expected);
  EXPECT_EQ(Open("20240101000000", 1), -202);
  EXPECT_EQ(link.JVClose(), 0);
}

// Runs `calls` calls of one operation in its usual setting and returns
// their results (records read as 1).
std::vector<int> RunOperation(FeedJvLink& link, const std::string& operation, int calls) {
  std::vector<int> results;
  int reads = 0, downloads = 0;
  std::string last, buffer, name;
  if (operation != "JVInit") link.JVInit(kSid);
  if (operation == "JVStatus" || operation == "JVRead" || operation == "JVClose")
    link.JVOpen("RACEDIFN", "20240101000000", 1, reads, downloads, last);
  for (int i = 0; i < calls; ++i) {
    int r = 0;
    if (operation == "JVInit") r = link.JVInit(kSid);
    if (operation == "JVSetUIProperties") r = link.JVSetUIProperties();
    if (operation == "JVStatus") r = link.JVStatus();
    if (operation == "JVClose") r = link.JVClose();
    if (operation == "JVRead") r = std::min(1, link.JVRead(buffer, 60000, name));
    if (operation == "JVOpen") {
      r = link.JVOpen("RACEDIFN", "20240101000000", 1, reads, downloads, last);
      link.JVClose();
    }
    if (operation == "JVRTOpen") {
      r = link.JVRTOpen("0B12", "20240106");
      link.JVClose();
    }
    results.push_back(r);
  }
  return results;
}

TEST_F(FeedJvLinkTest, FaultInjectionForEachOperation) {
  Feed("RACE20240106093000.jvd", "RA1\r\nRA2\r\nRA3\r\n");
  home.Write("JVLink/rt/20240106/a.jvd", "HR1\r\n");
  struct Case {
    std::string fault;
    std::string operation;
    std::vector<int> results;
  };
  const std::vector<Case> cases = {
      {"JVInit=-101", "JVInit", {-101, -101}},
      {"JVInit=-101@2", "JVInit", {0, -101, 0}},
      {"JVSetUIProperties=-100", "JVSetUIProperties", {-100, -100}},
      {"JVOpen=-301", "JVOpen", {-301, -301}},
      {"JVOpen=-504@2", "JVOpen", {0, -504, 0}},
      {"JVRTOpen=-301", "JVRTOpen", {-301, -301}},
      {"JVRTOpen=-302@1", "JVRTOpen", {-302, 0}},
      {"JVStatus=-502", "JVStatus", {-502, -502}},
      {"DownloadStep=1\r\njvstatus = -502@3", "JVStatus", {1, 1, -502, 1}},
      {"JVClose=-1", "JVClose", {-1, -1}},
      {"JVClose=-1@2", "JVClose", {0, -1, 0}},
      {"Downloaded=yes\r\nJVRead=-502", "JVRead", {-502, -502}},
      // @N on JVRead counts records: the second record's read fails once,
      // and the record is delivered by the next call.
      {"Downloaded=yes\r\nJVRead=-403@2", "JVRead", {1, -403, 1, 1, -1, 0}},
      {"Downloaded=yes\r\nJVRead=-3@3", "JVRead", {1, 1, -3, 1, -1, 0}},
      // Lines that do not parse inject nothing.
      {"; comment\r\n[Fault]\r\nJVOpen=abc\r\nJVOpen=-301@x\r\nJVCancel=-1", "JVOpen", {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    Faults(c.fault + "\r\n");
    FeedJvLink fresh;
    fresh.SetFolderChooser([](const std::string&) { return std::nullopt; });
    EXPECT_EQ(RunOperation(fresh, c.operation, static_cast<int>(c.results.size())), c.results);
  }
}

TEST_F(FeedJvLinkTest, FaultFileIsReadAgainOnEachOpen) {
  Feed("RACE20240106093000.jvd", "RA1\r\nRA2\r\n");
  Faults("Downloaded=yes\r\nJVRead=-502@2\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);
  ASSERT_EQ(Open("20240101000000", 1), 0);
  EXPECT_EQ(downloadCount, 0);
  EXPECT_EQ(ReadOne().result, 5);
  EXPECT_EQ(ReadOne().result, -502);
  link.JVClose();

  // The record count starts again with the next open.
  ASSERT_EQ(Open("20240101000000", 1), 0);
  EXPECT_EQ(ReadOne().result, 5);
  EXPECT_EQ(ReadOne().result, -502);
  link.JVClose();

  Faults("JVOpen=-504\r\n");
  EXPECT_EQ(Open("20240101000000", 1), -504);
  fs::remove(home.path() / "JVLink/fault.ini");
  ASSERT_EQ(Open("20240101000000", 1), 0);
  EXPECT_EQ(downloadCount, 1);
  EXPECT_EQ(ReadOne().result, -3);
}

TEST_F(FeedJvLinkTest, VersionIsOverridable) {
  EXPECT_EQ(link.Version(), "0490");
  Faults("Version=0480\r\n");
  EXPECT_EQ(link.Version(), "0480");
}

TEST_F(FeedJvLinkTest, FeedFolderComesFromItsOwnSettingsFile) {
  EXPECT_EQ(FeedJvLink::SettingsPath(), home.path() / "jvlink.ini");
  EXPECT_EQ(FeedJvLink::FeedFolder(), home.path() / "JVLink");
  EXPECT_FALSE(FeedJvLink::IsInstalled());

  fs::path elsewhere = home.path() / "feeds" / "2024";
  fs::create_directories(elsewhere);
  fs::create_directories(home.path() / "JVLink");
  SettingsFile ini(FeedJvLink::SettingsPath());
  ini.WriteString("Feed", "Folder", elsewhere.string());
  EXPECT_EQ(FeedJvLink::FeedFolder(), elsewhere);
  EXPECT_TRUE(FeedJvLink::IsInstalled());
  ini.WriteString("Feed", "Folder", "feeds");
  EXPECT_EQ(FeedJvLink::FeedFolder(), home.path() / "feeds") << "relative to ProgramFolder";
  ini.WriteString("Feed", "Folder", "missing");
  EXPECT_FALSE(FeedJvLink::IsInstalled());
  EXPECT_FALSE(fs::exists(home.path() / "sorvix.ini")) << "the program's settings stay untouched";
}

TEST_F(FeedJvLinkTest, SettingsDialogStoresTheChosenFolder) {
  fs::path chosen = home.path() / "chosen";
  fs::create_directories(chosen);
  home.Write("chosen/RACE20240106093000.jvd", "RA1\r\n");
  ASSERT_EQ(link.JVInit(kSid), 0);

  // Without a dialog (no display) nothing changes.
  EXPECT_EQ(link.JVSetUIProperties(), 0);
  EXPECT_FALSE(fs::exists(FeedJvLink::SettingsPath()));

  std::vector<std::string> shown;
  std::optional<std::string> answer;
  link.SetFolderChooser([&](const std::string& current) {
    shown.push_back(current);
    return answer;
  });
  EXPECT_EQ(link.JVSetUIProperties(), 0) << "cancelled";
  EXPECT_EQ(FeedJvLink::FeedFolder(), home.path() / "JVLink");

  answer = chosen.string();
  EXPECT_EQ(link.JVSetUIProperties(), 0);
  EXPECT_EQ(FeedJvLink::FeedFolder(), chosen);
  answer = "";
  EXPECT_EQ(link.JVSetUIProperties(), -100);
  answer = "a\nb";
  EXPECT_EQ(link.JVSetUIProperties(), -100);
  EXPECT_EQ(shown, (std::vector<std::string>{(home.path() / "JVLink").string(),
                                             (home.path() / "JVLink").string(), chosen.string(),
                                             chosen.string()}));

  ASSERT_EQ(Open("20240101000000", 1), 0);
  EXPECT_EQ(readCount, 1);
}

TEST(ScriptedJvLinkTest, PlaysItsScriptAndLogsTheCalls) {
  test::ScriptedJvLink link;
  link.readCount = 2;
  link.AddRecord("RA1", "A.jvd").AddResult(-1).AddRecord("SE1\r\n", "B.jvd");
  int reads = 0, downloads = 0;
  std::string last, buffer, name;
  EXPECT_EQ(link.JVOpen("RACEDIFN", "20240101000000", 1, reads, downloads, last), 0);
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(link.JVRead(buffer, 60000, name), 5);
  EXPECT_EQ(buffer, "RA1\r\n");
  EXPECT_EQ(name, "A.jvd");
  EXPECT_EQ(link.JVRead(buffer, 60000, name), -1);
  EXPECT_EQ(link.JVRead(buffer, 3, name), 2);
  EXPECT_EQ(buffer, "SE");
  EXPECT_EQ(link.JVRead(buffer, 60000, name), 0);
  link.JVClose();
  EXPECT_EQ(link.calls, (std::vector<std::string>{"JVOpen", "JVRead", "JVRead", "JVRead", "JVRead",
                                                  "JVClose"}));
  EXPECT_EQ(link.arguments, (std::vector<std::string>{"JVOpen RACEDIFN 20240101000000 1"}));
}

}  // namespace
}  // namespace sorvix
