// A full disk during the acquisition: the run ends with the input/output
// error, and the store, LastTime included, is byte for byte as before the
// run; once there is room again, a second run completes the store.
//
// The disk is a small tmpfs when this process may mount one (as root, or as
// root of a user namespace of its own), inside a mount namespace of a child
// process so that nothing stays mounted.  Without that the test is skipped,
// and the failed write comes from RLIMIT_FSIZE, which makes every write past
// a file size fail with EFBIG.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <exception>

#include "app/io_error.h"
#include "faults/fault_scene.h"
#include "support/private_tmpfs.h"

namespace sorvix::faults {
namespace {

// What is wrong with a run that should have failed on a write with `errnum`
// and left `home` as it was.
std::vector<std::string> FailedWriteProblems(const Scene& s, const fs::path& home,
                                             const ProcessResult& r, int errnum) {
  std::vector<std::string> problems;
  if (r.exitCode != 1) problems.push_back("the run did not fail: " + Describe(r));
  const std::string prefix = "sorvix-cli: 入出力エラー: ";
  const std::string reason = ": " + SystemReason(errnum);
  bool reported = false;
  for (const std::string& line : SplitLines(r.err))
    if (line.rfind(prefix, 0) == 0 && line.size() >= reason.size() &&
        line.compare(line.size() - reason.size(), reason.size(), reason) == 0)
      reported = true;
  if (!reported)
    problems.push_back("no input/output error ending in \"" + reason + "\":\n" + r.err);
  for (const auto& diff : TreeDiff(ReadTree(home), s.beforeTree))
    problems.push_back("the store changed: " + diff);
  return problems;
}

uint64_t Pages(uint64_t bytes) {
  return (bytes + 4095) / 4096 * 4096;
}

TEST(FullDiskTest, FailedWriteGivesTheInputOutputErrorAndLosesNoEarlierData) {
  const Scene& scene = TheScene();
  // The new runner files (216 lines of 555 bytes) are larger than this, the
  // payout and race files written before them smaller.
  constexpr long long kLimit = 64 << 10;
  fs::path home = scene.root / "limited";
  FreshCopy(scene.before, home);
  {
    CliRun run(home, {"acquire"}, scene.root / "limited", kLimit);
    for (const auto& problem : FailedWriteProblems(scene, home, run.Wait(), EFBIG))
      ADD_FAILURE() << problem;
  }
  for (const auto& diff : RerunDifferences(scene, home))
    ADD_FAILURE() << "after the rerun: " << diff;
}

// Writes `file` until its file system is full; returns the bytes written.
uint64_t FillUp(const fs::path& file) {
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + file.string());
  std::string block(size_t{1} << 20, 'x');
  uint64_t written = 0;
  for (size_t size = block.size(); size >= 512; size /= 2) {
    for (;;) {
      ssize_t n = ::write(fd, block.data(), size);
      if (n > 0) written += static_cast<uint64_t>(n);
      if (n != static_cast<ssize_t>(size)) break;
    }
  }
  ::close(fd);
  return written;
}

// The tmpfs run, in a child process.  Reports "skip: …", "fail: …" and
// "note: …" lines.
int TmpfsScenario(const Scene& s, const fs::path& disk, std::FILE* report) {
  uint64_t store = 0, rewritten = 0;
  for (const auto& [path, bytes] : s.beforeTree) store += Pages(bytes.size());
  for (const auto& [path, bytes] : s.referenceTree) {
    auto b = s.beforeTree.find(path);
    if (b == s.beforeTree.end() || b->second != bytes) rewritten += Pages(bytes.size());
  }
  std::string why = test::MountPrivateTmpfs(disk, store + (uint64_t{32} << 20));
  if (!why.empty()) {
    std::fprintf(report, "skip: cannot mount a tmpfs here (%s)\n", why.c_str());
    return 77;
  }
  fs::path home = disk / "home", filler = disk / "filler";
  fs::copy(s.before, home, fs::copy_options::recursive);
  uint64_t filled = FillUp(filler);
  struct statvfs st {};
  ::statvfs(disk.c_str(), &st);
  std::fprintf(report, "note: store %llu bytes, filler %llu bytes, %llu bytes left\n",
               static_cast<unsigned long long>(store), static_cast<unsigned long long>(filled),
               static_cast<unsigned long long>(st.f_bavail) * st.f_frsize);
  // No room at all, then room for about half of the files the run rewrites.
  for (uint64_t room : {uint64_t{0}, rewritten / 2}) {
    if (::truncate(filler.c_str(), static_cast<off_t>(filled - room)) != 0)
      throw std::runtime_error("cannot shorten the filler");
    FlushWatch watch(home);
    CliRun run(home, {"acquire"}, s.root / "disk");
    while (run.Running()) watch.Poll(1);
    std::fprintf(report, "note: with %llu bytes free the run made %d files before it failed\n",
                 static_cast<unsigned long long>(room), watch.Poll(0));
    for (const auto& problem : FailedWriteProblems(s, home, run.Wait(), ENOSPC))
      std::fprintf(report, "fail: with %llu bytes free: %s\n",
                   static_cast<unsigned long long>(room), problem.c_str());
  }
  fs::remove(filler);
  for (const auto& diff : RerunDifferences(s, home))
    std::fprintf(report, "fail: after the rerun: %s\n", diff.c_str());
  return 0;
}

TEST(FullDiskTest, FullTmpfsGivesTheInputOutputErrorAndLosesNoEarlierData) {
  const Scene& scene = TheScene();
  fs::path disk = scene.root / "disk";
  fs::path reportPath = scene.root / "disk-report.txt";
  fs::create_directories(disk);
  ChildReport child = RunReportingChild(
      reportPath, [&](std::FILE* report) { return TmpfsScenario(scene, disk, report); });
  const std::string& report = child.report;
  if (child.Skipped()) GTEST_SKIP() << report;
  ASSERT_TRUE(child.Ok()) << "status " << child.status << "\n" << report;
  for (const std::string& line : SplitLines(report)) {
    if (line.rfind("fail: ", 0) == 0) {
      ADD_FAILURE() << line.substr(6);
    } else {
      std::printf("%s\n", line.c_str());
    }
  }
}

}  // namespace
}  // namespace sorvix::faults
