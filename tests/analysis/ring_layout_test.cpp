#include "analysis/ring_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace sorvix {
namespace {

std::vector<int> Ring(int runners) {
  std::vector<int> horses;
  for (int k = 0; k < kRingRows; ++k) horses.push_back(RingHorse(runners, k));
  return horses;
}

TEST(RingHorse, LaysOutEveryFieldSizeAsTheRuleGives) {
  const struct {
    int runners;
    std::vector<int> horses;
  } cases[] = {
      {18, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
      {17, {17, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}},
      {16, {15, 16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
      {13, {9, 10, 11, 12, 13, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
      {10, {3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {9, {1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {8, {7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8}},
      {7, {4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7}},
      {6, {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6}},
      {5, {3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5}},
      {4, {3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}},
      // Below four runners the rule runs past the field: numbers above n
      // name horses that do not run.
      {3, {1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {2, {1, 2, 1, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
      {1, {1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
  };
  for (const auto& c : cases) EXPECT_EQ(Ring(c.runners), c.horses) << c.runners << " runners";
}

TEST(RingHorse, FromFourRunnersHoldsEachRunnerOnceFirstAndEndsWithTheLast) {
  for (int n = 4; n <= 18; ++n) {
    std::vector<int> horses = Ring(n);
    std::vector<int> seen(n + 1, 0);
    for (int k = 0; k < n; ++k) {
      ASSERT_GE(horses[k], 1) << n;
      ASSERT_LE(horses[k], n) << n;
      ++seen[horses[k]];
    }
    for (int h = 1; h <= n; ++h) EXPECT_EQ(seen[h], 1) << n << " runners, horse " << h;
    for (int k = n; k < kRingRows; ++k) EXPECT_EQ(horses[k], horses[k - n]) << n << " row " << k;
    EXPECT_EQ(horses[17], n);
  }
}

TEST(RingNeighbour, ClosesTheRingOnlyForAFullField) {
  EXPECT_EQ(RingNeighbour(18, 0), 1);
  EXPECT_EQ(RingNeighbour(18, 16), 17);
  EXPECT_EQ(RingNeighbour(18, 17), 0);
  EXPECT_EQ(RingNeighbour(17, 17), -1);
  EXPECT_EQ(RingNeighbour(9, 17), -1);
}

}  // namespace
}  // namespace sorvix
