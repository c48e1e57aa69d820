// An acquisition broken off at random points.  Killed (SIGKILL), it leaves
// every store file whole, either as before the run or as after a complete
// one, byte for byte, and LastTime unchanged.  Stopped by a JVRead error of
// the feed, it keeps exactly the records read before the error and leaves
// LastTime unchanged.  Either way a second run completes the store byte for
// byte as an uninterrupted run does.
//
// SORVIX_FAULT_TRIALS sets the number of kills (20 by default, 10 in a
// build with AddressSanitizer, where every run takes about three times as
// long) and SORVIX_FAULT_SEED the seed of the kill points and of the
// failing reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>
#include <thread>

#include "faults/fault_scene.h"

namespace sorvix::faults {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultKills = 10;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kDefaultKills = 10;
#else
constexpr int kDefaultKills = 20;
#endif
#else
constexpr int kDefaultKills = 20;
#endif

struct Landing {
  // Where the run ended, told from the files: "before the first store
  // write", "while writing temporary files", "while renaming", "after the
  // last rename, before LastTime" or "after LastTime".
  std::string phase;
  bool lastTimeKept = true;  // LastTime is still that of `before`
  int changedFiles = 0;      // store files that differ from `before`
  int temps = 0;             // temporary files left behind
  std::vector<std::string> problems;
};

// A home is whole after a broken run when every store file is either as in
// `before` or as in `reference`, byte for byte, no file of `before` is gone,
// and LastTime is still that of `before`, unless it is the new one, which a
// run writes only after every store file: then the home must be the
// reference.  Temporary files may be left behind by a kill, but only beside
// a file that the run rewrites.
Landing InspectBrokenRun(const Scene& s, const fs::path& home) {
  Landing l;
  Tree got = ReadTree(home);
  Tree stores;
  for (auto& [path, bytes] : got) {
    if (!IsTemp(path)) {
      stores.emplace(path, std::move(bytes));
      continue;
    }
    ++l.temps;
    std::string target = TempTarget(path);
    auto b = s.beforeTree.find(target);
    auto r = s.referenceTree.find(target);
    if (r == s.referenceTree.end() || (b != s.beforeTree.end() && b->second == r->second))
      l.problems.push_back("temporary file beside a file the run does not write: " + path);
  }
  std::string lastTime = LastTimeOf(home);
  if (lastTime == s.referenceLastTime) {
    l.lastTimeKept = false;
    l.phase = "after LastTime";
    for (const auto& diff : TreeDiff(stores, s.referenceTree))
      l.problems.push_back("LastTime is new but the store is not complete: " + diff);
    return l;
  }
  if (lastTime != s.beforeLastTime)
    l.problems.push_back("LastTime changed from " + s.beforeLastTime + " to " + lastTime);
  for (const auto& [path, bytes] : stores) {
    auto b = s.beforeTree.find(path);
    auto r = s.referenceTree.find(path);
    bool old = b != s.beforeTree.end() && b->second == bytes;
    bool fresh = r != s.referenceTree.end() && r->second == bytes;
    if (!old && !fresh)
      l.problems.push_back("neither the old nor the new file: " + path + " (" +
                           std::to_string(bytes.size()) + " bytes)");
    if (!old) ++l.changedFiles;
  }
  for (const auto& [path, bytes] : s.beforeTree)
    if (!stores.count(path)) l.problems.push_back("file lost: " + path);
  int pending = 0;
  for (const auto& [path, bytes] : s.referenceTree) {
    auto g = stores.find(path);
    if (path != "sorvix.ini" && (g == stores.end() || g->second != bytes)) ++pending;
  }
  if (l.changedFiles == 0) {
    l.phase = l.temps == 0 ? "before the first store write" : "while writing temporary files";
  } else {
    l.phase = pending > 0 ? "while renaming" : "after the last rename, before LastTime";
  }
  return l;
}

TEST(InterruptionTest, KilledRunsLeaveWholeFilesAndLastTimeAndRerunsCompleteTheStore) {
  const Scene& scene = TheScene();
  const int trials = EnvInt("SORVIX_FAULT_TRIALS", kDefaultKills);
  const unsigned seed = static_cast<unsigned>(EnvInt("SORVIX_FAULT_SEED", 1));
  std::mt19937 rng(seed);
  std::map<std::string, int> landings;
  int midRun = 0, temps = 0;
  fs::path home = scene.root / "trial";
  for (int trial = 0; trial < trials; ++trial) {
    FreshCopy(scene.before, home);
    // Even trials kill after a random time over the whole run (download,
    // read, flush); odd ones after a random step of the flush, where the
    // store files are replaced.
    bool byStep = trial % 2 == 1;
    std::string at;
    {
      FlushWatch watch(home);
      CliRun run(home, {"acquire"}, scene.root / "trial");
      if (byStep) {
        int step = std::uniform_int_distribution<int>(1, scene.referenceEvents)(rng);
        at = "flush step " + std::to_string(step) + "/" + std::to_string(scene.referenceEvents);
        while (run.Running())
          if (watch.Poll(1) >= step) {
            run.Kill();
            break;
          }
      } else {
        double delay = std::uniform_real_distribution<double>(0, 1.2 * scene.referenceSeconds)(rng);
        at = std::to_string(static_cast<int>(delay * 1000)) + " ms";
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
        run.Kill();
      }
      const ProcessResult& r = run.Wait();
      SCOPED_TRACE("trial " + std::to_string(trial) + ", kill at " + at);
      Landing landing = InspectBrokenRun(scene, home);
      for (const auto& problem : landing.problems) ADD_FAILURE() << problem;
      std::string phase = r.signal == SIGKILL ? landing.phase
                                              : "finished before the kill (exit code " +
                                                    std::to_string(r.exitCode) + ")";
      if (r.signal == SIGKILL && landing.lastTimeKept) ++midRun;
      temps += landing.temps;
      ++landings[phase];
      for (const auto& diff : RerunDifferences(scene, home))
        ADD_FAILURE() << "after the rerun: " << diff;
    }
  }
  std::printf("%d kills (seed %u, the uninterrupted run takes %.0f ms and %d flush steps):\n",
              trials, seed, scene.referenceSeconds * 1000, scene.referenceEvents);
  for (const auto& [phase, count] : landings) std::printf("  %3d %s\n", count, phase.c_str());
  std::printf("  %d mid-run, %d temporary files left behind and cleared by the reruns\n", midRun,
              temps);
  EXPECT_GT(midRun, 0) << "no kill landed while the acquisition ran";
}

// fault.ini in the shared feed for the life of the object.
class FaultFile {
 public:
  FaultFile(const fs::path& feed, const std::string& text) : path_(feed / "fault.ini") {
    WriteFileAtomic(path_, text);
  }
  ~FaultFile() {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  FaultFile(const FaultFile&) = delete;
  FaultFile& operator=(const FaultFile&) = delete;

 private:
  fs::path path_;
};

// The store that a complete run leaves when the feed holds only the first
// `count` new records (in one file), without the two settings files.
Tree StoreOfFirstRecords(const Scene& s, size_t count) {
  fs::path feed = s.root / "feed-first", home = s.root / "first";
  fs::remove_all(feed);
  fs::create_directories(feed);
  std::string bytes;
  for (size_t i = 0; i < count; ++i) bytes += s.newRecords[i] + "\r\n";
  if (count > 0) WriteFileAtomic(feed / "RACE20240509173000.jvd", bytes);
  FreshCopy(s.before, home);
  detail::WriteJvLinkIni(home, feed);
  CliRun run(home, {"acquire"}, s.root / "first");
  const ProcessResult& r = run.Wait();
  if (r.exitCode != 0) throw std::runtime_error("acquiring the first records: " + Describe(r));
  Tree tree = ReadTree(home);
  tree.erase("jvlink.ini");
  tree.erase("sorvix.ini");
  return tree;
}

TEST(InterruptionTest, ReadErrorKeepsTheRecordsBeforeItAndLastTimeAndTheRerunCompletesTheStore) {
  const Scene& scene = TheScene();
  const int records = static_cast<int>(scene.newRecords.size());
  std::mt19937 rng(static_cast<unsigned>(EnvInt("SORVIX_FAULT_SEED", 1)));
  auto somewhere = [&] {
    return std::uniform_int_distribution<int>(records / 4, records * 3 / 4)(rng);
  };
  struct Case {
    int code;
    int record;  // the read that fails, counted in records since the open
  };
  const Case cases[] = {{-502, 1}, {-403, somewhere()}, {-502, somewhere()}, {-503, records}};
  fs::path home = scene.root / "read-fault";
  for (const Case& c : cases) {
    std::string fault = "JVRead=" + std::to_string(c.code) + "@" + std::to_string(c.record);
    SCOPED_TRACE(fault + " of " + std::to_string(records) + " records");
    FreshCopy(scene.before, home);
    {
      FaultFile file(scene.feed, "Downloaded=yes\r\n" + fault + "\r\n");
      CliRun run(home, {"acquire"}, scene.root / "read-fault");
      const ProcessResult& r = run.Wait();
      EXPECT_EQ(r.exitCode, 1) << Describe(r);
      EXPECT_NE(r.err.find("JVReadエラー:"), std::string::npos) << r.err;
      EXPECT_NE(r.err.find("(" + std::to_string(c.code) + ")"), std::string::npos) << r.err;
    }
    Tree got = ReadTree(home);
    EXPECT_EQ(LastTimeOf(home), scene.beforeLastTime);
    EXPECT_EQ(got["sorvix.ini"], scene.beforeTree.at("sorvix.ini"));
    got.erase("jvlink.ini");
    got.erase("sorvix.ini");
    for (const auto& diff : TreeDiff(got, StoreOfFirstRecords(scene, c.record - 1)))
      ADD_FAILURE() << "not the store of the records before the failing read: " << diff;
    for (const auto& diff : RerunDifferences(scene, home))
      ADD_FAILURE() << "after the rerun: " << diff;
  }
}

}  // namespace
}  // namespace sorvix::faults
