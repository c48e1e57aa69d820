// Two acquisitions started together on one home, as real processes: the
// home's writer lock makes the second wait for the first, so both complete,
// the store equals a single run's and LastTime never runs ahead of what was
// stored.
#include <gtest/gtest.h>

#include <string>

#include "faults/fault_scene.h"

namespace sorvix::faults {
namespace {

TEST(TwoWritersTest, TwoAcquisitionsAtOnceGiveTheStoreOfOne) {
  const Scene& s = TheScene();
  Tree want = s.referenceTree;
  want.erase("sorvix.lock");
  const int trials = EnvInt("SORVIX_FAULT_TRIALS", 6);
  int waited = 0;
  for (int trial = 0; trial < trials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    fs::path home = s.root / "two-writers";
    FreshCopy(s.before, home);
    // A full setup run and a normal run, in either order of start.
    std::vector<std::string> setup = {"acquire", "--setup", "--from", "2022-01-01"};
    std::vector<std::string> normal = {"acquire"};
    CliRun first(home, trial % 2 ? setup : normal, s.root / "two-writers-a");
    CliRun second(home, trial % 2 ? normal : setup, s.root / "two-writers-b");
    const ProcessResult& a = first.Wait();
    const ProcessResult& b = second.Wait();
    EXPECT_EQ(a.exitCode, 0) << Describe(a);
    EXPECT_EQ(b.exitCode, 0) << Describe(b);
    for (const ProcessResult* r : {&a, &b})
      if (r->err.find("終わるのを待っています") != std::string::npos) ++waited;
    Tree got = ReadTree(home);
    got.erase("sorvix.lock");
    for (const auto& diff : TreeDiff(got, want)) ADD_FAILURE() << diff;
    EXPECT_EQ(LastTimeOf(home), s.referenceLastTime);
  }
  // The runs did meet: one waited for the other at least once.
  EXPECT_GT(waited, 0);
}

}  // namespace
}  // namespace sorvix::faults
