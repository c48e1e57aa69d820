// Nothing lost, nothing silent, through the real sorvix-cli: shared logs
// written by several processes (and threads) at once, temporary files that
// belong to somebody else, standard output on a full disk or /dev/full, and
// a file-size limit with SIGXFSZ at its default action.  Each case checks
// the message, the exit code and that the home changed only where the
// command was meant to write.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/io_error.h"
#include "common/record_fields.h"
#include "faults/fault_scene.h"
#include "support/private_tmpfs.h"
#include "support/record_builder.h"

namespace sorvix::faults {
namespace {

bool Contains(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

size_t LineCount(const fs::path& file) {
  return SplitLines(ReadFileIfExists(file).value_or("")).size();
}

// A copy of the reference home (both weekends acquired, its jvlink.ini
// naming the scene's feed).
fs::path CopyOfReference(const Scene& s, const std::string& name) {
  fs::path home = s.root / ("lost-" + name);
  FreshCopy(s.reference, home);
  return home;
}

// Starts `count` runs of the same command on `home` together; returns their
// results.
std::vector<ProcessResult> RunTogether(const Scene& s, const fs::path& home,
                                       const std::vector<std::string>& args, int count) {
  std::vector<std::unique_ptr<CliRun>> runs;
  for (int i = 0; i < count; ++i)
    runs.push_back(
        std::make_unique<CliRun>(home, args, s.root / ("together-" + std::to_string(i))));
  std::vector<ProcessResult> results;
  for (auto& run : runs) results.push_back(run->Wait());
  return results;
}

ProcessResult RunOne(const Scene& s, const fs::path& home, const std::vector<std::string>& args,
                     long long fileSizeLimit = -1, const fs::path& out = {}) {
  CliRun run(home, args, s.root / "lost-run", fileSizeLimit, out);
  return run.Wait();
}

// Every past run's newest line gets an impossible date: each load then goes
// past damaged lines and logs one warning for each.
void DamagePastRuns(const fs::path& home) {
  for (const auto& e : fs::recursive_directory_iterator(home / "SEI")) {
    if (e.path().extension() != ".jvSEI") continue;
    std::string bytes = ReadWholeFile(e.path());
    bytes.replace(bytes.size() - kSeLength + 11, 8, "20240230");
    WriteFileAtomic(e.path(), bytes);
  }
}

const int kTogether = 3;

TEST(NothingLostTest, HitReportsStartedTogetherKeepEveryHitLogLine) {
  const Scene& s = TheScene();
  // The date with hits, and how many lines one report adds to the log.
  std::string date;
  size_t perRun = 0;
  for (const char* d : {"2024-05-11", "2024-05-12", "2024-05-04", "2024-05-05"}) {
    fs::path home = CopyOfReference(s, "hits-probe");
    ProcessResult r = RunOne(s, home, {"hits", d});
    ASSERT_EQ(r.exitCode, 0) << Describe(r);
    size_t lines = LineCount(home / "HPupload/Manbaken.txt");
    if (lines > 1) {
      date = d;
      perRun = lines - 1;  // the log's first line is its title
      break;
    }
  }
  ASSERT_FALSE(date.empty()) << "no date of the scene has a hit";
  const int trials = EnvInt("SORVIX_FAULT_TRIALS", 6);
  for (int trial = 0; trial < trials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    fs::path home = CopyOfReference(s, "hits");
    for (const ProcessResult& r : RunTogether(s, home, {"hits", date}, kTogether))
      EXPECT_EQ(r.exitCode, 0) << Describe(r);
    EXPECT_EQ(LineCount(home / "HPupload/Manbaken.txt"), 1 + kTogether * perRun);
  }
}

// Two runner lines of 2024-05-11 shifted by 10 bytes: each load of that day
// logs a warning for each of them.
void ShiftTwoRunnerLines(const fs::path& home) {
  for (const auto& e : fs::directory_iterator(home / "Data")) {
    if (e.path().extension() != ".jvSEr" ||
        !Contains(e.path().filename().string(), "2024年05月11日"))
      continue;
    std::string bytes = ReadWholeFile(e.path());
    bytes.erase(100, 10);
    bytes.insert(kSeLength - 10 + 200, "0123456789");
    WriteFileAtomic(e.path(), bytes);
    return;
  }
}

TEST(NothingLostTest, ErrorLogKeepsTheLinesOfEveryProcessAndThreadAndIsTrimmed) {
  const Scene& s = TheScene();
  fs::path home = CopyOfReference(s, "errorlog");
  ShiftTwoRunnerLines(home);
  fs::remove(home / "ErrorLog.txt");
  ProcessResult alone = RunOne(s, home, {"load", "2024-05-11"});
  ASSERT_EQ(alone.exitCode, 0) << Describe(alone);
  const size_t perLoad = LineCount(home / "ErrorLog.txt");
  // Few enough that no run trims another's lines away.
  ASSERT_GT(perLoad, 0u) << "the damaged load logged nothing";
  ASSERT_LE(kTogether * perLoad, 100u);

  const int trials = EnvInt("SORVIX_FAULT_TRIALS", 6);
  for (int trial = 0; trial < trials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    fs::remove(home / "ErrorLog.txt");
    for (const ProcessResult& r : RunTogether(s, home, {"load", "2024-05-11"}, kTogether))
      EXPECT_EQ(r.exitCode, 0) << Describe(r);
    EXPECT_EQ(LineCount(home / "ErrorLog.txt"), kTogether * perLoad);
  }

  // The log is kept to its newest 100 lines, as the window program keeps it.
  std::vector<std::string> old;
  for (int i = 0; i < 150; ++i) old.push_back("old " + std::to_string(i));
  WriteFileAtomic(home / "ErrorLog.txt", JoinLines(old));
  ProcessResult r = RunOne(s, home, {"load", "2024-05-11"});
  EXPECT_EQ(r.exitCode, 0) << Describe(r);
  std::vector<std::string> lines = SplitLines(ReadWholeFile(home / "ErrorLog.txt"));
  ASSERT_EQ(lines.size(), 100 + perLoad);
  EXPECT_EQ(lines.front(), "old 50");

  // Two workers of one backtest log what one worker logs: many lines, from
  // both threads at once (one backtest trims only at its start), where the
  // backtest logs what its loads went past.
  DamagePastRuns(home);
  std::vector<size_t> logged;
  for (const char* workers : {"1", "2"}) {
    fs::remove(home / "ErrorLog.txt");
    ProcessResult run = RunOne(s, home, {"backtest", "--workers", workers});
    EXPECT_EQ(run.exitCode, 0) << Describe(run);
    logged.push_back(LineCount(home / "ErrorLog.txt"));
  }
  EXPECT_EQ(logged[1], logged[0]);
}

// A process id that no process has now.
pid_t GonePid() {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return pid;
}

TEST(NothingLostTest, AcquisitionRemovesOnlyTheTemporaryFilesOfItsOwnKilledWriters) {
  const Scene& s = TheScene();
  fs::path home = s.root / "lost-temps";
  FreshCopy(s.before, home);
  const std::string gone = std::to_string(GonePid());
  // The user's files, wherever they are, whatever their names.
  const std::vector<std::string> users = {
      "notes.tmp~",      "report.v2.tmp~",  "Data/x.123-4.tmp~",
      "ylzh/odds.tmp~",  "mine/notes.tmp~", "mine/Data.sorvix-" + gone + "-0.tmp~",
      "JVLink/feed.tmp~"};
  for (const std::string& name : users) {
    fs::create_directories((home / name).parent_path());
    WriteFileAtomic(home / name, "the user's own\r\n");
  }
  // What killed writers of the program left: theirs to clear.
  const std::vector<std::string> stale = {"sorvix.ini.sorvix-" + gone + "-3.tmp~",
                                          "Data/2024年05月11日.jvRA.sorvix-" + gone + "-0.tmp~",
                                          "KSCH/012Kish.jvKS.sorvix-" + gone + "-7.tmp~"};
  for (const std::string& name : stale) WriteFileAtomic(home / name, "half written");
  ProcessResult r = RunOne(s, home, {"acquire"});
  EXPECT_EQ(r.exitCode, 0) << Describe(r);
  for (const std::string& name : users) {
    EXPECT_TRUE(fs::exists(home / name)) << "removed: " << name;
  }
  for (const std::string& name : stale) EXPECT_FALSE(fs::exists(home / name)) << "left: " << name;
  Tree got = ReadTree(home), want = s.referenceTree;
  for (Tree* tree : {&got, &want}) tree->erase("sorvix.lock");
  for (const std::string& name : users) got.erase(name);
  for (const auto& diff : TreeDiff(got, want)) ADD_FAILURE() << diff;
}

// One command whose output or files cannot be written.
struct OutputCase {
  const char* what;
  std::vector<std::string> args;
  long long fileSizeLimit;  // -1: none
  std::string
      out;  // where stdout goes: "" the log, "/dev/full", "FILE" a file in the home's parent
  std::string message;                 // a part of stderr
  std::vector<std::string> mayChange;  // files the command is meant to write
};

// What is wrong with a run of `c` on `home`: the exit code, the message, a
// signal, and any change to the home but the files it may write.
std::vector<std::string> OutputCaseProblems(const Scene& s, const fs::path& home,
                                            const OutputCase& c, const fs::path& outFile) {
  std::vector<std::string> problems;
  Tree before = ReadTree(home);
  ProcessResult r = RunOne(s, home, c.args, c.fileSizeLimit, outFile);
  if (r.signal != 0 || r.exitCode != 1) problems.push_back("not exit code 1: " + Describe(r));
  if (!Contains(r.err, c.message) || !Contains(r.err, "sorvix-cli: "))
    problems.push_back("no \"" + c.message + "\":\n" + r.err);
  Tree after = ReadTree(home);
  for (Tree* tree : {&before, &after}) {
    for (const char* skip : {"ErrorLog.txt", "sorvix.lock"}) tree->erase(skip);
    for (const std::string& path : c.mayChange) tree->erase(path);
    // A load makes the empty save-mark file of its date.
    for (auto it = tree->begin(); it != tree->end();)
      it = it->first.size() > 4 && it->first.compare(it->first.size() - 4, 4, ".sps") == 0
               ? tree->erase(it)
               : std::next(it);
  }
  for (const auto& diff : TreeDiff(after, before)) problems.push_back("the home changed: " + diff);
  return problems;
}

TEST(NothingLostTest, OutputThatCannotBeWrittenIsAnErrorWithItsReason) {
  const Scene& s = TheScene();
  const std::string full = "標準出力に書き込めません: " + SystemReason(ENOSPC);
  const std::string tooBig = SystemReason(EFBIG);
  const std::string marks = "Data/2024年05月11日.sps";
  std::string oddsArchive;
  for (const auto& e : fs::directory_iterator(s.feed / "odds"))
    if (e.path().extension() == ".lzh") oddsArchive = e.path().string();
  ASSERT_FALSE(oddsArchive.empty());
  std::vector<OutputCase> cases = {
      {"dates into /dev/full", {"dates"}, -1, "/dev/full", full, {}},
      {"load into /dev/full", {"load", "2024-05-11"}, -1, "/dev/full", full, {marks}},
      {"analyze --csv into /dev/full",
       {"analyze", "2024-05-11", "--csv"},
       -1,
       "/dev/full",
       full,
       {marks}},
      {"analyze --csv beyond the file-size limit",
       {"analyze", "2024-05-11", "--csv"},
       4096,
       "FILE",
       "標準出力に書き込めません: " + tooBig,
       {marks}},
      {"fetch beyond the file-size limit", {"fetch", "2024-05-11"}, 4096, "", tooBig, {marks}},
      {"import-odds beyond the file-size limit",
       {"import-odds", oddsArchive},
       4096,
       "",
       tooBig,
       {}},
  };
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.what);
    fs::path home = CopyOfReference(s, "output");
    fs::path feedOdds = s.root / "lost-odds";
    FreshCopy(s.feed / "odds", feedOdds);
    OutputCase run = c;
    for (std::string& arg : run.args)
      if (arg == oddsArchive) arg = (feedOdds / fs::path(oddsArchive).filename()).string();
    fs::path outFile = c.out == "FILE" ? s.root / "lost-output.csv" : fs::path(c.out);
    for (const auto& problem : OutputCaseProblems(s, home, run, outFile)) ADD_FAILURE() << problem;
    // An extraction killed or failed leaves nothing in the archive folder.
    for (const auto& e : fs::directory_iterator(feedOdds))
      EXPECT_EQ(e.path().extension(), ".lzh") << "left behind: " << e.path();
  }
}

// The full-tmpfs runs, in a child process that owns the mount.  Reports
// "skip: …" and "fail: …" lines.
int FullTmpfsScenario(const Scene& s, const fs::path& disk, std::FILE* report) {
  std::string why = test::MountPrivateTmpfs(disk, uint64_t{1} << 20);
  if (!why.empty()) {
    std::fprintf(report, "skip: cannot mount a tmpfs here (%s)\n", why.c_str());
    return 77;
  }
  // Fill it up to the last byte.
  {
    int fd = ::open((disk / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::string block(4096, 'x');
    while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
    }
    if (fd >= 0) ::close(fd);
  }
  fs::path home = s.root / "lost-full";
  FreshCopy(s.reference, home);
  std::vector<OutputCase> cases = {
      {"analyze --csv into a full disk",
       {"analyze", "2024-05-11", "--csv"},
       -1,
       "",
       "",
       {"Data/2024年05月11日.sps"}},
      {"backtest --format json into a full disk", {"backtest", "--format", "json"}, -1, "", "", {}},
  };
  for (OutputCase& c : cases) {
    c.message = "標準出力に書き込めません: " + SystemReason(ENOSPC);
    for (const auto& problem : OutputCaseProblems(s, home, c, disk / "out.txt"))
      std::fprintf(report, "fail: %s: %s\n", c.what, problem.c_str());
  }
  return 0;
}

TEST(NothingLostTest, StandardOutputOnAFullDiskIsAnError) {
  const Scene& s = TheScene();
  fs::path disk = s.root / "lost-disk";
  fs::path reportPath = s.root / "lost-disk-report.txt";
  fs::create_directories(disk);
  ChildReport child = RunReportingChild(
      reportPath, [&](std::FILE* report) { return FullTmpfsScenario(s, disk, report); });
  const std::string& report = child.report;
  if (child.Skipped()) GTEST_SKIP() << report;
  ASSERT_TRUE(child.Ok()) << "status " << child.status << "\n" << report;
  for (const std::string& line : SplitLines(report))
    if (line.rfind("fail: ", 0) == 0) ADD_FAILURE() << line.substr(6);
}

// ---------------------------------------------------------------------------
// Settings, feeds, homes and stored lines that used to fall back, shift or
// pass without a word.

// A home and the feed it reads, both copies of their own.
struct Place {
  fs::path home, feed;
};

Place CopyWithFeed(const Scene& s, const std::string& name, const fs::path& from) {
  Place p{s.root / ("said-" + name), s.root / ("said-" + name + "-feed")};
  FreshCopy(from, p.home);
  FreshCopy(s.feed, p.feed);
  detail::WriteJvLinkIni(p.home, p.feed);
  return p;
}

void Put(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  WriteFileAtomic(path, bytes);
}

fs::path FileWith(const fs::path& folder, const std::string& part, const std::string& ext) {
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().extension() == ext && Contains(e.path().filename().string(), part))
      return e.path();
  throw std::runtime_error("no " + part + "*" + ext + " in " + folder.string());
}

struct SaidCase {
  const char* what;
  const fs::path* from;  // the home copied: before or reference
  std::function<void(const Place&)> setup;
  std::vector<std::string> args;  // "@HOME" and "@FEED" stand for the copies' paths
  int exitCode;
  std::vector<std::string> said;       // parts of stderr
  std::vector<std::string> notSaid;    // texts that must not be in stderr or stdout
  std::vector<std::string> mayChange;  // files of the home the command may write
  std::function<void(const Place&, const ProcessResult&)> check;
};

void RunSaidCase(const Scene& s, const SaidCase& c, int index) {
  SCOPED_TRACE(c.what);
  Place p = CopyWithFeed(s, std::to_string(index), *c.from);
  c.setup(p);
  if (::testing::Test::HasFatalFailure()) return;
  Tree before = ReadTree(p.home);
  std::vector<std::string> argv = c.args;
  for (std::string& arg : argv) {
    if (arg == "@HOME") arg = p.home.string();
    if (arg == "@FEED") arg = p.feed.string();
  }
  bool own = !argv.empty() && !argv[0].empty() && argv[0][0] == '/';
  CliRun run(own ? argv : [&] {
    std::vector<std::string> with = {"--home", p.home.string()};
    with.insert(with.end(), argv.begin(), argv.end());
    return with;
  }(), s.root / "said-run", -1, {});
  const ProcessResult& r = run.Wait();
  EXPECT_EQ(r.exitCode, c.exitCode) << Describe(r);
  for (const std::string& part : c.said)
    EXPECT_TRUE(Contains(r.err, part)) << part << "\n" << r.err;
  for (const std::string& part : c.notSaid)
    EXPECT_FALSE(Contains(r.err + r.out, part)) << part << "\n" << Describe(r);
  EXPECT_FALSE(Contains(r.err, "std::")) << r.err;
  if (c.check) c.check(p, r);
  Tree after = ReadTree(p.home);
  for (Tree* tree : {&before, &after}) {
    for (const char* skip : {"ErrorLog.txt", "sorvix.lock"}) tree->erase(skip);
    // "name" may change, and so may every file beginning with "prefix*".
    auto allowed = [&](const std::string& path) {
      if (path.size() > 4 && path.compare(path.size() - 4, 4, ".sps") == 0) return true;
      for (const std::string& may : c.mayChange)
        if (may == path || (!may.empty() && may.back() == '*' &&
                            path.compare(0, may.size() - 1, may, 0, may.size() - 1) == 0))
          return true;
      return false;
    };
    for (auto it = tree->begin(); it != tree->end();)
      it = allowed(it->first) ? tree->erase(it) : std::next(it);
  }
  for (const auto& diff : TreeDiff(after, before)) ADD_FAILURE() << "the home changed: " << diff;
  std::error_code ec;
  fs::remove_all(p.home, ec);
  fs::remove_all(p.feed, ec);
}

// The LastTime the reference acquisition reaches, in the copy's sorvix.ini.
void ExpectReferenceStore(const Scene& s, const fs::path& home) {
  Tree got = ReadTree(home), want = s.referenceTree;
  for (Tree* tree : {&got, &want}) {
    for (const char* skip : {"sorvix.lock", "sorvix.ini", "jvlink.ini"}) tree->erase(skip);
    // A symbolic link out of the home is listed by where it leads.
    for (auto it = tree->begin(); it != tree->end();)
      it = it->first.rfind("..", 0) == 0 ? tree->erase(it) : std::next(it);
  }
  for (const auto& diff : TreeDiff(got, want)) ADD_FAILURE() << diff;
}

std::vector<SaidCase> HomeAndSettingsCases(const Scene& s) {
  static const fs::path bin = s.root / "said-installed/bin";
  if (!fs::exists(bin / "sorvix-cli")) {
    fs::create_directories(bin);
    fs::copy_file(SORVIX_CLI, bin / "sorvix-cli");
  }
  const std::string cli = (bin / "sorvix-cli").string();
  const std::string newHome = (s.root / "said-new-home").string();
  return {
      {"no HOME and no XDG_DATA_HOME for an installed program",
       &s.reference,
       [](const Place&) {},
       {"/usr/bin/env", "-u", "HOME", "-u", "XDG_DATA_HOME", "-u", "SORVIX_HOME", cli, "dates"},
       1,
       {"HOME", "--home DIR"},
       {"/tmp/"},
       {},
       nullptr},
      {"an empty --home",
       &s.reference,
       [](const Place&) {},
       {"--home", "", "dates"},
       2,
       {"--home の値が空です"},
       {},
       {},
       nullptr},
      {"a new default home is announced",
       &s.reference,
       [newHome](const Place&) { fs::remove_all(newHome); },
       {"/usr/bin/env", "-u", "XDG_DATA_HOME", "-u", "SORVIX_HOME", "HOME=" + newHome, cli,
        "dates"},
       0,
       {"データフォルダを作成しました: " + newHome + "/.local/share/sorvix"},
       {},
       {},
       [newHome](const Place&, const ProcessResult&) {
         EXPECT_TRUE(fs::is_directory(newHome + "/.local/share/sorvix/JVLink"));
       }},
      {"a FIFO in place of jvlink.ini",
       &s.before,
       [](const Place& p) {
         fs::remove(p.home / "jvlink.ini");
         ASSERT_EQ(::mkfifo((p.home / "jvlink.ini").c_str(), 0644), 0);
       },
       {"acquire"},
       1,
       {"jvlink.ini", "通常のファイルではない"},
       {"最新のデータがありません"},
       {},
       nullptr},
      {"a symlinked sorvix.ini receives the change",
       &s.before,
       [](const Place& p) {
         fs::path shared = p.home.string() + "-shared.ini";
         fs::rename(p.home / "sorvix.ini", shared);
         fs::create_symlink(shared, p.home / "sorvix.ini");
       },
       {"acquire"},
       0,
       {},
       {},
       {"*"},
       [&s](const Place& p, const ProcessResult&) {
         EXPECT_TRUE(fs::is_symlink(p.home / "sorvix.ini"));
         EXPECT_EQ(LastTimeOf(p.home), s.referenceLastTime);
         ExpectReferenceStore(s, p.home);
       }},
      {"a BOM at the start of sorvix.ini",
       &s.before,
       [](const Place& p) {
         Put(p.home / "sorvix.ini", "\xEF\xBB\xBF" + ReadWholeFile(p.home / "sorvix.ini"));
       },
       {"acquire"},
       0,
       {},
       {"最新のデータがありません"},
       {"*"},
       [&s](const Place& p, const ProcessResult&) {
         EXPECT_EQ(LastTimeOf(p.home), s.referenceLastTime);
         EXPECT_EQ(ReadWholeFile(p.home / "sorvix.ini").rfind("\xEF\xBB\xBF", 0), 0u);
         ExpectReferenceStore(s, p.home);
       }},
  };
}

std::vector<SaidCase> FeedCases(const Scene& s) {
  return {
      {"a future-stamped feed file",
       &s.reference,
       [](const Place& p) {
         Put(p.feed / "RACE20990101000000.jvd", test::RaRecord({.ymd = "20240511"}));
       },
       {"acquire"},
       0,
       {"RACE20990101000000.jvd", "現在より先"},
       {},
       {},
       [&s](const Place& p, const ProcessResult&) {
         EXPECT_EQ(LastTimeOf(p.home), s.referenceLastTime);
       }},
      {"a BOM at the start of a feed file",
       &s.before,
       [&s](const Place& p) {
         // The first file after LastTime: its first record must not be lost.
         std::string after;
         for (char c : s.beforeLastTime)
           if (c >= '0' && c <= '9') after += c;
         fs::path first;
         for (const auto& e : fs::directory_iterator(p.feed)) {
           std::string stamp = detail::StampOf(e.path());
           if (!stamp.empty() && stamp > after &&
               (first.empty() || e.path().filename() < first.filename()))
             first = e.path();
         }
         ASSERT_FALSE(first.empty());
         Put(first, "\xEF\xBB\xBF" + ReadWholeFile(first));
       },
       {"acquire"},
       0,
       {},
       {"保存しませんでした"},
       {"*"},
       [&s](const Place& p, const ProcessResult&) { ExpectReferenceStore(s, p.home); }},
      {"a missing feed folder is named",
       &s.before,
       [](const Place& p) { fs::remove_all(p.feed); },
       {"acquire"},
       1,
       {"sorvix-cli: フィードのフォルダがありません: "},
       {"-211"},
       {},
       nullptr},
      {"an impossible --from date",
       &s.before,
       [](const Place&) {},
       {"acquire", "--from", "2024-02-30"},
       2,
       {"--from の日付が暦にありません: 2024-02-30"},
       {},
       {},
       nullptr},
      {"a fetch names the records it does not store",
       &s.reference,
       [](const Place& p) {
         Put(p.feed / "rt/20240511/ZZBAD.jvd", test::HrRecord({.ymd = "20240230"}));
       },
       {"fetch", "2024-05-11"},
       0,
       {"sorvix-cli: 警告: ZZBAD.jvd の HR", "20240230"},
       {},
       {"Data/2024年05月11日*"},
       nullptr},
  };
}

std::vector<SaidCase> StoreCases(const Scene& s) {
  const std::string day11 = "2024年05月11日";
  const std::string gone = std::to_string(GonePid());
  return {
      {"a runner line 10 bytes short before one 10 bytes long",
       &s.reference,
       [day11](const Place& p) {
         fs::path runner = FileWith(p.home / "Data", day11, ".jvSEr");
         std::string bytes = ReadWholeFile(runner);
         bytes.erase(100, 10);                              // line 1 is short
         bytes.insert(kSeLength - 10 + 200, "0123456789");  // line 2 is long
         Put(runner, bytes);
       },
       {"load", "2024-05-11"},
       0,
       {".jvSEr", "この出走馬を読み飛ばしました"},
       {},
       {},
       nullptr},
      {"a jockey line 10 bytes short before one 10 bytes long",
       &s.reference,
       [day11](const Place& p) {
         // The jockey file of the day's first runner.
         std::string runner = ReadWholeFile(FileWith(p.home / "Data", day11, ".jvSEr"));
         std::string code = runner.substr(static_cast<size_t>(se::kJockeyCode.pos - 1), 3);
         fs::path file = p.home / "KSCH" / (code + "Kish.jvKS");
         std::string bytes = ReadWholeFile(file);
         ASSERT_GE(bytes.size(), 2u * kKsLength);
         bytes.erase(100, 10);
         bytes.insert(kKsLength - 10 + 200, "0123456789");
         Put(file, bytes);
       },
       {"analyze", "2024-05-11"},
       0,
       {"Kish.jvKS", "読み飛ばしました"},
       {},
       {},
       nullptr},
      {"impossible payouts are no payouts",
       &s.reference,
       [day11](const Place& p) {
         fs::path hr = p.home / "Data" / (day11 + ".jvHR");
         std::string bytes = ReadWholeFile(hr);
         // Every payout field of every trio table reads 999999999.
         for (size_t line = 0; line + kHrLength <= bytes.size(); line += kHrLength)
           for (int e = 0; e < 3; ++e)
             bytes.replace(line + static_cast<size_t>(hr::kTrioPayouts.Payout(e).pos - 1), 9,
                           "999999999");
         Put(hr, bytes);
       },
       {"analyze", "2024-05-11", "--csv", "--csv-table", "結果表"},
       0,
       {},
       {"999999999", "999,999,999"},
       {},
       nullptr},
      {"NUL bytes of a record field never reach the CSV",
       &s.reference,
       [day11](const Place& p) {
         fs::path runner = FileWith(p.home / "Data", day11, ".jvSEr");
         std::string bytes = ReadWholeFile(runner);
         bytes.replace(static_cast<size_t>(se::kHorseNameHead.pos - 1), 4, std::string(4, '\0'));
         Put(runner, bytes);
       },
       {"analyze", "2024-05-11", "--csv"},
       0,
       {},
       {std::string(1, '\0')},
       {},
       nullptr},
      {"a lock file that cannot be opened",
       &s.before,
       [](const Place& p) {
         fs::remove(p.home / "sorvix.lock");
         fs::create_symlink("/nonexistent-sorvix/lock", p.home / "sorvix.lock");
       },
       {"acquire"},
       1,
       {"sorvix.lock"},
       {},
       {},
       nullptr},
      {"the stale temporary files of a killed fetch",
       &s.reference,
       [day11, gone](const Place& p) {
         Put(p.home / "Data" / (day11 + ".jvHR.sorvix-" + gone + "-0.tmp~"), "half");
       },
       {"fetch", "2024-05-11"},
       0,
       {},
       {},
       {"Data/2024年05月11日*"},
       [day11, gone](const Place& p, const ProcessResult&) {
         EXPECT_FALSE(fs::exists(p.home / "Data" / (day11 + ".jvHR.sorvix-" + gone + "-0.tmp~")));
       }},
      {"backtest on predicted odds without any",
       &s.reference,
       [](const Place&) {},
       {"backtest", "--source", "odds"},
       0,
       {"予想オッズを取り込んだ開催日がありません"},
       {},
       {},
       nullptr},
  };
}

TEST(NothingSilentTest, HomesSettingsFeedsAndStoredLinesAreSaidAndNeverFallBack) {
  const Scene& s = TheScene();
  int index = 0;
  for (auto cases : {HomeAndSettingsCases(s), FeedCases(s), StoreCases(s)})
    for (const SaidCase& c : cases) RunSaidCase(s, c, index++);
}

TEST(NothingSilentTest, ALoadWhileAnotherWriterHoldsTheHomeSaysSo) {
  const Scene& s = TheScene();
  Place p = CopyWithFeed(s, "held", s.reference);
  fs::remove(p.home / "Data/2024年05月11日.sps");
  int fd = ::open((p.home / "sorvix.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  ProcessResult r = RunOne(s, p.home, {"load", "2024-05-11"});
  ::close(fd);
  EXPECT_EQ(r.exitCode, 0) << Describe(r);
  EXPECT_TRUE(Contains(r.err, "書き込み中です")) << r.err;
  EXPECT_FALSE(Contains(r.err, "書き込めないため")) << r.err;
}

}  // namespace
}  // namespace sorvix::faults
