// The interval statistics of サイン検証 on cases worked out apart.
#include "results/rate_intervals.h"

#include <gtest/gtest.h>

namespace sorvix {
namespace {

TEST(RateIntervals, WilsonIntervalsOfKnownCases) {
  struct Case {
    int64_t hits, trials;
    double low, high;
  };
  const Case cases[] = {
      {6, 115, 0.02413, 0.10917},  // a small sample: wide, and not around 0
      {0, 10, 0.0, 0.27753},
      {10, 10, 0.72247, 1.0},
      {50, 100, 0.40383, 0.59617},
  };
  for (const Case& c : cases) {
    RateInterval i = WilsonInterval(c.hits, c.trials);
    EXPECT_NEAR(i.low, c.low, 1e-4) << c.hits << "/" << c.trials;
    EXPECT_NEAR(i.high, c.high, 1e-4) << c.hits << "/" << c.trials;
  }
  EXPECT_EQ(WilsonInterval(0, 0).high, 1.0);
  // 20 wins in 100 against a base of 8 %: far from chance; 9 is not.
  EXPECT_LT(HitRateP(20, 100, 0.08), 0.001);
  EXPECT_GT(HitRateP(9, 100, 0.08), 0.5);
}

TEST(RateIntervals, BootstrapOverRaceDaysIsReproducibleAndSeesOnePayout) {
  // Nine days that pay 80 % and one that pays 2,000 %: the rate is 272 %,
  // but a resampling of days must not be sure it is above 100 %.
  std::vector<DayAmount> days(10, DayAmount{1000, 800});
  days[3].paid = 20000;
  auto draws = DayResamples(days.size(), 1000, 7);
  double p = 0;
  RateInterval a = BootstrapReturnInterval(days, draws, 1.0, &p);
  RateInterval b = BootstrapReturnInterval(days, DayResamples(days.size(), 1000, 7), 1.0);
  EXPECT_EQ(a.low, b.low);
  EXPECT_EQ(a.high, b.high);
  EXPECT_LT(a.low, 1.0);
  EXPECT_GT(a.high, 2.72);
  EXPECT_GT(p, 0.05);
  // Steady days: a narrow interval around the rate, far above a base of 0.5.
  std::vector<DayAmount> steady(40, DayAmount{1000, 900});
  RateInterval s = BootstrapReturnInterval(steady, DayResamples(40, 500, 1), 0.5, &p);
  EXPECT_DOUBLE_EQ(s.low, 0.9);
  EXPECT_DOUBLE_EQ(s.high, 0.9);
  EXPECT_LT(p, 0.01);
}

TEST(RateIntervals, BenjaminiHochbergStepsUp) {
  // Ranks 1–4 pass k/5 × 0.05 (0.04 ≤ 0.04); the 0.2 does not.
  EXPECT_EQ(BenjaminiHochberg({0.03, 0.2, 0.01, 0.04, 0.02}),
            (std::vector<bool>{true, false, true, true, true}));
  // 0.04 alone among 28 is no finding.
  std::vector<double> many(28, 0.5);
  many[0] = 0.04;
  EXPECT_FALSE(BenjaminiHochberg(many)[0]);
  EXPECT_TRUE(BenjaminiHochberg({}).empty());
}

}  // namespace
}  // namespace sorvix
