// The scene of the fault tests.  A generated feed of two meeting weekends,
// and two homes that use it:
//
//   before     has acquired the first weekend (LastTime is its Monday
//              results); the second weekend waits in the feed
//   reference  `before` after an uninterrupted `sorvix-cli acquire`
//
// The tests run sorvix-cli as a child process on copies of `before`, break
// the run (SIGKILL, the feed's fault injection, a full disk) and compare the
// copy with the two homes.  A home names the feed by an absolute path in its
// jvlink.ini, so the feed lies outside every compared folder.
//
// The scene is made once per test process in a scratch folder on /dev/shm
// when that has room: each store write ends with syncfs, which on a busy disk
// takes seconds, and none of the faults tested depends on the file system.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/poll.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "app/settings_file.h"
#include "tools/feedgen/generator.h"

namespace sorvix::faults {

namespace fs = std::filesystem;

// Every regular file below a folder: relative path ("/"-separated) → bytes.
using Tree = std::map<std::string, std::string>;

inline Tree ReadTree(const fs::path& root) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      tree[fs::relative(entry.path(), root).generic_string()] = ReadWholeFile(entry.path());
  return tree;
}

// A temporary file of an atomic write: never a store file itself.
inline bool IsTemp(const std::string& path) {
  return path.size() > 5 && path.compare(path.size() - 5, 5, ".tmp~") == 0;
}

// The file a temporary file was to replace: "<file>.sorvix-<pid>-<n>.tmp~"
// → <file>.
inline std::string TempTarget(const std::string& temp) {
  std::string target = temp.substr(0, temp.size() - 5);
  size_t mark = target.rfind(".sorvix-");
  if (mark != std::string::npos) target.erase(mark);
  return target;
}

// The paths in which `got` differs from `want`, at most `limit` of them.
inline std::vector<std::string> TreeDiff(const Tree& got, const Tree& want, size_t limit = 8) {
  std::vector<std::string> out;
  auto add = [&](const std::string& text) {
    if (out.size() < limit) out.push_back(text);
  };
  for (const auto& [path, bytes] : got) {
    auto it = want.find(path);
    if (it == want.end()) {
      add("extra file " + path);
    } else if (it->second != bytes) {
      add("different " + path + " (" + std::to_string(bytes.size()) + " bytes, expected " +
          std::to_string(it->second.size()) + ")");
    }
  }
  for (const auto& [path, bytes] : want)
    if (!got.count(path)) add("missing file " + path);
  return out;
}

inline std::string LastTimeOf(const fs::path& home) {
  return SettingsFile(home / "sorvix.ini").ReadString("JvDataGet", "LastTime", "");
}

inline void FreshCopy(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::copy(from, to, fs::copy_options::recursive);
}

inline int EnvInt(const char* name, int def) {
  const char* text = std::getenv(name);
  return text && *text ? std::atoi(text) : def;
}

// ---------------------------------------------------------------------------
// sorvix-cli as a child process.

struct ProcessResult {
  int exitCode = -1;  // when it exited
  int signal = 0;     // the signal that ended it, else 0
  std::string out, err;
};

class CliRun {
 public:
  // Starts `sorvix-cli --home HOME ARGS…` with stdout and stderr going to
  // LOG.out and LOG.err (stdout to `out` instead when given: /dev/full, a
  // file on a full disk).  `fileSizeLimit` ≥ 0 sets RLIMIT_FSIZE with SIGXFSZ
  // at its default action, as a shell's `ulimit -f` does: the program itself
  // must keep a write beyond the limit from ending it.
  CliRun(const fs::path& home, const std::vector<std::string>& args, const fs::path& log,
         long long fileSizeLimit = -1, const fs::path& out = {})
      : CliRun(WithHome(home, args), log, fileSizeLimit, out) {}

  // The same for `sorvix-cli ARGS…` without --home (and any program, when
  // args[0] is a path).
  CliRun(std::vector<std::string> argv, const fs::path& log, long long fileSizeLimit,
         const fs::path& outPath)
      : log_(log) {
    if (argv.empty() || argv[0].empty() || argv[0][0] != '/') argv.insert(argv.begin(), SORVIX_CLI);
    std::vector<char*> pointers;
    for (auto& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    own_out_ = outPath.empty();
    std::string outName = own_out_ ? log.string() + ".out" : outPath.string();
    int out = ::open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int err =
        ::open((log.string() + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0 || err < 0) throw std::runtime_error("cannot create the log " + log.string());
    started_ = std::chrono::steady_clock::now();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out, STDOUT_FILENO);
      ::dup2(err, STDERR_FILENO);
      ::signal(SIGXFSZ, SIG_DFL);
      if (fileSizeLimit >= 0) {
        struct rlimit limit {};
        limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(fileSizeLimit);
        ::setrlimit(RLIMIT_FSIZE, &limit);
      }
      ::execv(pointers[0], pointers.data());
      ::_exit(127);
    }
    ::close(out);
    ::close(err);
    if (pid_ < 0) throw std::runtime_error("fork failed");
  }
  ~CliRun() {
    if (!reaped_) {
      Kill();
      Wait();
    }
  }
  CliRun(const CliRun&) = delete;
  CliRun& operator=(const CliRun&) = delete;

  // Whether the child still runs (reaps it when it has ended).
  bool Running() {
    if (reaped_) return false;
    int status = 0;
    pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) Reaped(status);
    return !reaped_;
  }
  void Kill() {
    if (!reaped_) ::kill(pid_, SIGKILL);
  }
  const ProcessResult& Wait() {
    if (!reaped_) {
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
      Reaped(status);
    }
    return result_;
  }
  double Seconds() const { return std::chrono::duration<double>(ended_ - started_).count(); }

 private:
  static std::vector<std::string> WithHome(const fs::path& home,
                                           const std::vector<std::string>& args) {
    std::vector<std::string> argv = {SORVIX_CLI, "--home", home.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
  }

  void Reaped(int status) {
    ended_ = std::chrono::steady_clock::now();
    reaped_ = true;
    if (WIFEXITED(status)) result_.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result_.signal = WTERMSIG(status);
    // Output sent elsewhere (a device, a full disk) is not read back.
    if (!own_out_) result_.out.clear();
    if (own_out_) result_.out = ReadFileIfExists(log_.string() + ".out").value_or("");
    result_.err = ReadFileIfExists(log_.string() + ".err").value_or("");
  }

  fs::path log_;
  bool own_out_ = true;
  pid_t pid_ = -1;
  bool reaped_ = false;
  ProcessResult result_;
  std::chrono::steady_clock::time_point started_, ended_;
};

// What a child process made for one scenario (in namespaces of its own,
// say) wrote to its report file, and how it ended: 77 means it could not
// set the scenario up.
struct ChildReport {
  int status = 0;
  std::string report;
  bool Skipped() const { return WIFEXITED(status) && WEXITSTATUS(status) == 77; }
  bool Ok() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
};

// Runs `scenario` in a forked child that writes its findings to
// `reportPath` (an escaping exception becomes a "fail: " line); its return
// value is the child's exit code.
template <typename Scenario>
ChildReport RunReportingChild(const fs::path& reportPath, Scenario&& scenario) {
  std::fflush(nullptr);
  ChildReport result;
  pid_t pid = ::fork();
  if (pid < 0) {
    result.status = -1;
    result.report = std::string("fail: fork: ") + std::strerror(errno);
    return result;
  }
  if (pid == 0) {
    int code = 1;
    if (std::FILE* report = std::fopen(reportPath.c_str(), "w")) {
      try {
        code = scenario(report);
      } catch (const std::exception& e) {
        std::fprintf(report, "fail: %s\n", e.what());
      }
      std::fclose(report);
    }
    ::_exit(code);
  }
  while (::waitpid(pid, &result.status, 0) < 0 && errno == EINTR) {
  }
  result.report = ReadFileIfExists(reportPath).value_or("");
  return result;
}

inline std::string Describe(const ProcessResult& r) {
  std::string text = r.signal ? "killed by signal " + std::to_string(r.signal)
                              : "exit code " + std::to_string(r.exitCode);
  return text + "\n--- stdout\n" + r.out + "--- stderr\n" + r.err;
}

// ---------------------------------------------------------------------------
// The steps of a store flush as they happen: files created (the temporary
// files) and renamed into the store folders of a home (Data, KSCH and the
// year folders of SEI and UM2 that exist when the watch starts).

class FlushWatch {
 public:
  explicit FlushWatch(const fs::path& home) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("inotify_init1 failed");
    std::vector<fs::path> folders = {home / "Data", home / "KSCH"};
    for (const char* top : {"SEI", "UM2"})
      for (const auto& entry : fs::directory_iterator(home / top))
        if (entry.is_directory()) folders.push_back(entry.path());
    for (const auto& folder : folders)
      if (::inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MOVED_TO) < 0)
        throw std::runtime_error("inotify_add_watch failed on " + folder.string());
  }
  ~FlushWatch() { ::close(fd_); }
  FlushWatch(const FlushWatch&) = delete;
  FlushWatch& operator=(const FlushWatch&) = delete;

  // Waits up to `timeoutMs` for events; returns how many were seen so far.
  int Poll(int timeoutMs) {
    struct pollfd p {
      fd_, POLLIN, 0
    };
    if (::poll(&p, 1, timeoutMs) <= 0) return count_;
    alignas(struct inotify_event) char buffer[65536];
    for (;;) {
      ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      for (char* at = buffer; at < buffer + n;) {
        auto* event = reinterpret_cast<struct inotify_event*>(at);
        if (event->mask & IN_Q_OVERFLOW) overflowed_ = true;
        if (event->mask & (IN_CREATE | IN_MOVED_TO)) ++count_;
        at += sizeof(struct inotify_event) + event->len;
      }
    }
    return count_;
  }
  bool overflowed() const { return overflowed_; }

 private:
  int fd_;
  int count_ = 0;
  bool overflowed_ = false;
};

// ---------------------------------------------------------------------------

struct Scene {
  fs::path root;       // the scratch folder
  fs::path feed;       // both weekends
  fs::path before;     // see above
  fs::path reference;  // see above
  Tree beforeTree, referenceTree;
  std::string beforeLastTime, referenceLastTime;
  // The records of the feed files after beforeLastTime, in the order the
  // feed serves them (time stamp, then name).
  std::vector<std::string> newRecords;
  double referenceSeconds = 0;  // the uninterrupted acquisition
  int referenceEvents = 0;      // its flush steps seen by a FlushWatch
};

namespace detail {

inline fs::path ScratchBase() {
  struct statvfs st {};
  if (::statvfs("/dev/shm", &st) == 0 && ::access("/dev/shm", W_OK) == 0 &&
      static_cast<uint64_t>(st.f_bavail) * st.f_frsize >= (uint64_t{512} << 20))
    return "/dev/shm";
  return fs::temp_directory_path();
}

// The 14-digit time stamp of a feed file name, or empty.
inline std::string StampOf(const fs::path& file) {
  std::string stem = file.stem().string();
  if (file.extension() != ".jvd" || stem.size() < 14) return {};
  return stem.substr(stem.size() - 14);
}

inline void WriteJvLinkIni(const fs::path& home, const fs::path& feed) {
  fs::create_directories(home);
  WriteFileAtomic(home / "jvlink.ini", "[Feed]\r\nFolder=" + feed.string() + "\r\n");
}

inline void RunToCompletion(CliRun& run, const char* what) {
  const ProcessResult& r = run.Wait();
  if (r.exitCode != 0) throw std::runtime_error(std::string(what) + ": " + Describe(r));
}

// Owns the scratch folder and removes it when the test process ends.
struct SceneHolder {
  Scene scene;
  ~SceneHolder() {
    std::error_code ec;
    if (!scene.root.empty()) fs::remove_all(scene.root, ec);
  }
};

inline std::unique_ptr<SceneHolder> MakeScene() {
  auto holder = std::make_unique<SceneHolder>();
  Scene& s = holder->scene;
  std::string pattern = (ScratchBase() / "sorvix-faults-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed: " + pattern);
  s.root = pattern;
  s.feed = s.root / "feed";
  s.before = s.root / "before";
  s.reference = s.root / "reference";

  // Two meeting weekends (2024-05-04/05 and 05-11/12) after one weekend of
  // earlier results.
  feedgen::FeedOptions o;
  o.out = s.feed;
  o.from = feedgen::Date{2024, 5, 4};
  o.days = 4;
  o.seed = 20240504;
  o.historyWeeks = 1;
  o.oldWeeks = 0;
  feedgen::GenerateFeed(o);

  // The first weekend: everything up to its Monday results.
  fs::path early = s.root / "feed-early";
  fs::create_directories(early);
  for (const auto& entry : fs::directory_iterator(s.feed)) {
    std::string stamp = StampOf(entry.path());
    if (!stamp.empty() && stamp < "20240509000000")
      fs::create_hard_link(entry.path(), early / entry.path().filename());
  }
  WriteJvLinkIni(s.before, early);
  {
    CliRun run(s.before, {"acquire", "--setup", "--from", "2022-01-01"}, s.root / "setup");
    RunToCompletion(run, "acquiring the first weekend");
  }
  WriteJvLinkIni(s.before, s.feed);
  s.beforeLastTime = LastTimeOf(s.before);

  FreshCopy(s.before, s.reference);
  {
    FlushWatch watch(s.reference);
    CliRun run(s.reference, {"acquire"}, s.root / "reference");
    while (run.Running()) watch.Poll(1);
    s.referenceEvents = watch.Poll(0);
    RunToCompletion(run, "acquiring the second weekend");
    s.referenceSeconds = run.Seconds();
    if (watch.overflowed()) throw std::runtime_error("the flush watch lost events");
  }
  s.referenceLastTime = LastTimeOf(s.reference);
  s.beforeTree = ReadTree(s.before);
  s.referenceTree = ReadTree(s.reference);

  std::string after;
  for (char c : s.beforeLastTime)
    if (c >= '0' && c <= '9') after += c;
  std::vector<std::pair<std::string, fs::path>> files;  // stamp + name, path
  for (const auto& entry : fs::directory_iterator(s.feed)) {
    std::string stamp = StampOf(entry.path());
    if (!stamp.empty() && stamp > after)
      files.emplace_back(stamp + entry.path().filename().string(), entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& [order, path] : files)
    for (std::string& line : SplitLines(ReadWholeFile(path)))
      if (!line.empty()) s.newRecords.push_back(std::move(line));
  if (s.beforeLastTime.empty() || s.referenceLastTime == s.beforeLastTime || s.newRecords.empty() ||
      s.referenceEvents == 0)
    throw std::runtime_error("the scene has no second weekend to acquire");
  return holder;
}

}  // namespace detail

// ---------------------------------------------------------------------------

// Runs the acquisition again to its end in `home`; returns how the home then
// differs from the reference.
inline std::vector<std::string> RerunDifferences(const Scene& s, const fs::path& home) {
  CliRun run(home, {"acquire"}, s.root / "rerun");
  const ProcessResult& r = run.Wait();
  if (r.exitCode != 0) return {"the rerun failed: " + Describe(r)};
  return TreeDiff(ReadTree(home), s.referenceTree);
}

inline const Scene& TheScene() {
  static std::unique_ptr<detail::SceneHolder> holder = detail::MakeScene();
  return holder->scene;
}

}  // namespace sorvix::faults
