#include "store/estimate.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/settings_file.h"
#include "store/load_progress.h"
#include "store/race_day.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

// Horse counts at 1107: first, second, third, then three "other" counts.
void SetHorseCounts(RaceDay& day, int r, int h, const int (&c)[6]) {
  for (int i = 0; i < 6; ++i) day.UmRec[r][h].Put(1107 + 3 * i, Format("%03d", c[i]));
}
// Jockey counts: two 6-digit tables at 3164 and 3200, added per column.
void SetJockeyCounts(RaceDay& day, int r, int h, const int (&a)[6], const int (&b)[6]) {
  for (int i = 0; i < 6; ++i) {
    day.KsRec[r][h].Put(3164 + 6 * i, Format("%06d", a[i]));
    day.KsRec[r][h].Put(3200 + 6 * i, Format("%06d", b[i]));
  }
}
void SetTrainerCounts(RaceDay& day, int r, int h, const int (&a)[6]) {
  for (int i = 0; i < 6; ++i) day.ChRec[r][h].Put(2853 + 6 * i, Format("%06d", a[i]));
}

class EstimateTest : public ::testing::Test {
 protected:
  void Runners(int r, int n) { day_->RaRec[r].Put(882, Format("%02d", n)); }
  void Estimate(EstimateSource source) {
    LoadProgress none;
    CountResults(*day_, none);
    EstimateAbility(*day_, source);
  }
  std::unique_ptr<RaceDay> day_ = RaceDay::Create();
};

TEST_F(EstimateTest, CombinesTheTopTwoRatesOfHorseJockeyAndTrainer) {
  Runners(0, 2);
  SetHorseCounts(*day_, 0, 0, {3, 2, 1, 4, 0, 0});
  SetJockeyCounts(*day_, 0, 0, {10, 5, 0, 0, 0, 5}, {0, 5, 0, 0, 0, 15});
  SetTrainerCounts(*day_, 0, 0, {1, 0, 0, 0, 0, 3});
  // Runner 2 has no jockey, trainer or horse record at all.
  Estimate(EstimateSource::RacehorseData);

  const RaceCalc& c = day_->Calc[0];
  EXPECT_EQ(c.UmaStat[0][3], 4);
  EXPECT_EQ(c.KishuStat[0][1], 10);
  EXPECT_EQ(c.KishuStat[0][5], 20);
  EXPECT_DOUBLE_EQ(c.UmaRate[0], 50.0);
  EXPECT_DOUBLE_EQ(c.KishuRate[0], 50.0);
  EXPECT_DOUBLE_EQ(c.ChokyoRate[0], 25.0);
  EXPECT_DOUBLE_EQ(c.Suitei[0], 0.4 * 50 + 50 + 0.1 * 25);
  EXPECT_EQ(c.SuiteiRank[0], 1);
  EXPECT_DOUBLE_EQ(c.KishuRate[1], 0.0);
  EXPECT_DOUBLE_EQ(c.Suitei[1], 0.0);
  EXPECT_EQ(c.SuiteiRank[1], 2);
  // Beyond the entered runners nothing is ranked.
  EXPECT_EQ(c.SuiteiRank[2], 0);
}

TEST_F(EstimateTest, EqualEstimatesRankTheHigherHorseNumberFirst) {
  Runners(3, 4);
  SetHorseCounts(*day_, 3, 0, {1, 0, 0, 1, 0, 0});  // 50
  SetHorseCounts(*day_, 3, 1, {1, 1, 0, 0, 0, 0});  // 100
  SetHorseCounts(*day_, 3, 2, {0, 1, 0, 1, 0, 0});  // 50
  SetHorseCounts(*day_, 3, 3, {0, 0, 0, 1, 0, 0});  // 0
  Estimate(EstimateSource::RacehorseData);
  const int32_t* rank = day_->Calc[3].SuiteiRank;
  EXPECT_EQ(rank[1], 1);
  EXPECT_EQ(rank[2], 2);
  EXPECT_EQ(rank[0], 3);
  EXPECT_EQ(rank[3], 4);
}

TEST_F(EstimateTest, PredictedOddsRankTheLowestOddsFirst) {
  Runners(0, 4);
  day_->YosoOzRec[0].Put(20, "  10.3   2.5         2.5");  // horse 3 has no odds
  Runners(1, 3);                                           // a race without an odds line
  SetHorseCounts(*day_, 1, 0, {1, 0, 0, 0, 0, 0});
  Estimate(EstimateSource::PredictedOdds);

  const RaceCalc& c = day_->Calc[0];
  EXPECT_DOUBLE_EQ(c.Suitei[0], 10.3);
  EXPECT_EQ(c.SuiteiRank[1], 1);  // 2.5, the lower horse number of the tie
  EXPECT_EQ(c.SuiteiRank[3], 2);
  EXPECT_EQ(c.SuiteiRank[0], 3);
  EXPECT_EQ(c.SuiteiRank[2], 0);
  EXPECT_DOUBLE_EQ(c.UmaRate[0], 0.0);  // no rates in this mode
  for (int h = 0; h < 18; ++h) EXPECT_EQ(day_->Calc[1].SuiteiRank[h], 0) << h;
  EXPECT_DOUBLE_EQ(day_->Calc[1].UmaRate[0], 0.0);
}

// The ranking follows the text order of "%10.5f%2d" lines, also where that
// differs from the numeric order (figures wider than ten characters, minus
// signs).
TEST(RankByRankingLines, FollowsTheTextOrderOfTheRankingLines) {
  struct Case {
    double suitei[3];
    bool bestIsLast;
    int32_t rank[3];
  };
  const Case cases[] = {
      {{100000.0, 99999.0, 5.0}, false, {2, 3, 1}},  // "100000.00000" < "99999.00000"
      {{-1.0, 0.0, 2.0}, true, {1, 3, 2}},           // "  -1.00000" > "   2.00000"
      {{7.000001, 7.0, 7.000009}, true, {3, 2, 1}},  // equal to five places: horse number
  };
  for (const Case& c : cases) {
    bool ranked[3] = {true, true, true};
    int32_t rank[3] = {-1, -1, -1};
    RankByRankingLines(c.suitei, ranked, 3, c.bestIsLast, rank);
    for (int h = 0; h < 3; ++h) EXPECT_EQ(rank[h], c.rank[h]) << c.suitei[0] << " h=" << h;
  }
}

TEST(EstimateSourceSetting, ZeroOrMissingMeansRacehorseData) {
  test::TempHome home;
  SettingsFile settings(home.path() / "sorvix.ini");
  EXPECT_EQ(ReadEstimateSource(settings), EstimateSource::RacehorseData);
  settings.WriteInteger("YosoOz", "Select", 1);
  EXPECT_EQ(ReadEstimateSource(settings), EstimateSource::PredictedOdds);
}

}  // namespace
}  // namespace sorvix
