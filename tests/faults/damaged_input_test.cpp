// Damaged feeds and damaged homes through the real sorvix-cli: each case
// breaks a copy of the acquired home (or the feed it reads), runs one
// command, and checks the message, the exit code, that every other date
// still loads, and that nothing changed but what the command was meant to
// write.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "codes/cp932.h"
#include "faults/fault_scene.h"
#include "store/store_paths.h"
#include "support/record_builder.h"

namespace sorvix::faults {
namespace {

// A fresh copy of the reference home (both weekends acquired) whose
// jvlink.ini points at its own copy of the feed.
struct Home {
  fs::path home, feed;
};

Home CopyReference(const Scene& s, const std::string& name) {
  Home h{s.root / ("damaged-" + name), s.root / ("damaged-" + name + "-feed")};
  FreshCopy(s.reference, h.home);
  fs::remove_all(h.feed);
  fs::create_directories(h.feed);
  detail::WriteJvLinkIni(h.home, h.feed);
  return h;
}

ProcessResult RunCli(const Scene& s, const fs::path& home, const std::vector<std::string>& args,
                     long long fileSizeLimit = -1) {
  // Under a file-size limit the output goes to a device, which has none:
  // the limit is for the home's files.
  CliRun run(home, args, s.root / "damaged-run", fileSizeLimit,
             fileSizeLimit >= 0 ? fs::path("/dev/null") : fs::path());
  return run.Wait();
}

const std::vector<std::string> kDates = {"2024-05-04", "2024-05-05", "2024-05-11", "2024-05-12"};

// The dates other than `except` load, each with exit code 0.
void ExpectOtherDatesLoad(const Scene& s, const fs::path& home, const std::string& except) {
  for (const std::string& date : kDates) {
    if (date == except) continue;
    ProcessResult r = RunCli(s, home, {"load", date});
    EXPECT_EQ(r.exitCode, 0) << date << ": " << Describe(r);
  }
}

// The store of `home` equals `want`, apart from the files in `changed` and
// the home's lock file and error log.
void ExpectStoreUnchanged(const fs::path& home, const Tree& want,
                          const std::vector<std::string>& changed = {}) {
  Tree got = ReadTree(home);
  Tree expected = want;
  for (Tree* tree : {&got, &expected}) {
    for (const char* skip : {"ErrorLog.txt", "sorvix.lock", "jvlink.ini"}) tree->erase(skip);
    for (const auto& path : changed) tree->erase(path);
  }
  // A load makes the empty save-mark file of its date.
  for (auto it = got.begin(); it != got.end();) {
    bool newMarks = it->first.size() > 4 &&
                    it->first.compare(it->first.size() - 4, 4, ".sps") == 0 &&
                    !expected.count(it->first) && it->second == std::string(kSaveMarkBytes, '0');
    it = newMarks ? got.erase(it) : std::next(it);
  }
  for (const auto& diff : TreeDiff(got, expected)) ADD_FAILURE() << diff;
}

std::string DataPath(const std::string& name) {
  return "Data/" + name;
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  WriteFileAtomic(path, bytes);
}

bool Contains(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

TEST(DamagedInputTest, DamagedHomesFailClearlyOrLoadAndNeverSpreadTheDamage) {
  const Scene& s = TheScene();
  const std::string day11 = "2024年05月11日";
  struct Case {
    const char* what;
    std::function<void(const Home&)> damage;
    std::vector<std::string> args;
    int exitCode;
    std::string message;      // a part of stderr ("" when nothing is said)
    std::string damagedDate;  // the date that may fail to load
  };
  std::vector<Case> cases = {
      {"odds file with a short line loads in odds mode",
       [&](const Home& h) {
         Write(h.home / DataPath(day11 + ".yoz"),
               "2024051103010101J18   2.5\r\n" +
                   std::string(kOddsLength - 2, ' ').replace(0, 17, "2024051103010102K") + "\r\n");
         Write(h.home / "odds.ini", "[YosoOz]\r\nSelect=1\r\n");
       },
       {"analyze", "2024-05-11", "--ini", "ODDS_INI"},
       0,
       "",
       ""},
      {"runner file with one short line",
       [&](const Home& h) {
         fs::path runner;
         for (const auto& e : fs::directory_iterator(h.home / "Data"))
           if (e.path().extension() == ".jvSEr" && Contains(e.path().filename().string(), day11))
             runner = e.path();
         std::string bytes = ReadWholeFile(runner);
         bytes.erase(100, 1);
         Write(runner, bytes);
       },
       {"load", "2024-05-11"},
       1,
       ".jvSEr",
       "2024-05-11"},
      {"zero-filled payout file is not extended by a fetch",
       [&](const Home& h) {
         Write(h.home / DataPath(day11 + ".jvHR"), std::string(kHrLength * 36, '\0'));
         fs::copy(s.feed / "rt", h.feed / "rt", fs::copy_options::recursive);
       },
       {"fetch", "2024-05-11"},
       1,
       "2024年05月11日.jvHR",
       "2024-05-11"},
      {"a FIFO in place of a race file",
       [&](const Home& h) {
         fs::remove(h.home / DataPath(day11 + ".jvRA"));
         ASSERT_EQ(::mkfifo((h.home / DataPath(day11 + ".jvRA")).c_str(), 0644), 0);
       },
       {"load", "2024-05-11"},
       1,
       "通常のファイルではない",
       "2024-05-11"},
      {"a FIFO in place of the save-mark file",
       [&](const Home& h) {
         fs::remove(h.home / DataPath(day11 + ".sps"));
         ASSERT_EQ(::mkfifo((h.home / DataPath(day11 + ".sps")).c_str(), 0644), 0);
       },
       {"load", "2024-05-11"},
       1,
       ".sps",
       "2024-05-11"},
      {"a folder in place of sorvix.ini",
       [&](const Home& h) {
         fs::remove(h.home / "sorvix.ini");
         fs::create_directory(h.home / "sorvix.ini");
       },
       {"dates"},
       1,
       "設定ファイルを読み込めません",
       "all"},
      {"a past-run file with an impossible date costs that run only",
       [&](const Home& h) {
         // The newest past run of every horse of 2024-05-12 gets 30 February.
         for (const auto& e : fs::recursive_directory_iterator(h.home / "SEI")) {
           if (e.path().extension() != ".jvSEI") continue;
           std::string bytes = ReadWholeFile(e.path());
           bytes.replace(bytes.size() - kSeLength + 11, 8, "20240230");
           Write(e.path(), bytes);
         }
       },
       {"load", "2024-05-12"},
       0,
       "この過去走を読み飛ばしました",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Home h = CopyReference(s, std::to_string(&c - cases.data()));
    c.damage(h);
    if (::testing::Test::HasFatalFailure()) return;
    Tree damaged = ReadTree(h.home);
    std::vector<std::string> args = c.args;
    for (std::string& arg : args)
      if (arg == "ODDS_INI") arg = (h.home / "odds.ini").string();
    ProcessResult r = RunCli(s, h.home, args);
    EXPECT_EQ(r.exitCode, c.exitCode) << Describe(r);
    if (!c.message.empty()) {
      EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    }
    EXPECT_FALSE(Contains(r.err, "std::")) << r.err;
    ExpectStoreUnchanged(h.home, damaged);
    if (c.damagedDate != "all") ExpectOtherDatesLoad(s, h.home, c.damagedDate);
    fs::remove_all(h.home);
    fs::remove_all(h.feed);
  }
}

TEST(DamagedInputTest, BadFeedRecordsAreSkippedWithTheirFileAndNothingElseIsLost) {
  const Scene& s = TheScene();
  Home h = CopyReference(s, "feed");
  Tree before = ReadTree(h.home);
  auto nuls = [](std::string record, int pos, int width) {
    return record.replace(static_cast<size_t>(pos - 1), static_cast<size_t>(width),
                          static_cast<size_t>(width), '\0');
  };
  // One feed file of bad records after everything acquired, and one whose
  // name carries an impossible time.
  std::string bad = nuls(test::KsRecord("01234", '1'), 12, 5) +
                    nuls(test::HrRecord({.ymd = "20240511"}), 16, 4) +
                    test::SeRecord({.ymd = "20240230", .kind = '7', .pedigree = "2022100001"}) +
                    test::RaRecord({.ymd = "20240511", .race = 99});
  Write(h.feed / "RACE20250101000000.jvd", bad);
  Write(h.feed / "RACE99999999999999.jvd", test::RaRecord({.ymd = "20240511"}));
  ProcessResult r = RunCli(s, h.home, {"acquire"});
  EXPECT_EQ(r.exitCode, 0) << Describe(r);
  for (const char* part :
       {"RACE20250101000000.jvd の KS レコード", "騎手コード", "RACE20250101000000.jvd の HR",
        "日付 \"2024\\x00", "日付 \"20240230\"", "レース番号 \"99\"",
        "RACE99999999999999.jvd は時刻 99999999999999 が正しい日時ではない"})
    EXPECT_TRUE(Contains(r.err, part)) << part << "\n" << r.err;
  EXPECT_EQ(LastTimeOf(h.home), "2025/01/01 00:00:00");
  // Nothing was stored and no file was named by a bad field.
  ExpectStoreUnchanged(h.home, before, {"sorvix.ini"});
  EXPECT_FALSE(fs::exists(h.home / "Data/2024年"));
  ExpectOtherDatesLoad(s, h.home, "");
  fs::remove_all(h.home);
  fs::remove_all(h.feed);
}

TEST(DamagedInputTest, AHomeWhereNothingCanBeWrittenStillLoadsItsDays) {
  const Scene& s = TheScene();
  Home h = CopyReference(s, "readonly");
  fs::remove(h.home / DataPath("2024年05月11日.sps"));
  // RLIMIT_FSIZE of 200 bytes: the 648-byte mark file cannot be written, as
  // on a read-only home (the tests run as root, whom permissions do not
  // stop), while the short message still reaches the log of stderr.
  ProcessResult r = RunCli(s, h.home, {"load", "2024-05-11"}, 200);
  EXPECT_EQ(r.exitCode, 0) << Describe(r);
  EXPECT_TRUE(Contains(r.err, "特別マークなしで読み込みました")) << r.err;
  EXPECT_FALSE(fs::exists(h.home / DataPath("2024年05月11日.sps")));
  fs::remove_all(h.home);
  fs::remove_all(h.feed);
}

}  // namespace
}  // namespace sorvix::faults
