#include <gtest/gtest.h>

#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "sign_test_support.h"
#include "support/race_day_builder.h"
#include "support/temp_home.h"

namespace sorvix::test {
namespace {

TEST(SignPoints, DefaultsFollowTheSettingsKeyTable) {
  SignPoints d = SignPoints::Defaults();
  const struct {
    Sign sign;
    const char* key;
    int points;
  } cases[] = {
      {Sign::Special1, "Special1", 10}, {Sign::Red1, "Red1", 10},
      {Sign::Red8, "Red8", 10},         {Sign::Red9, "Red9", 15},
      {Sign::Red10, "Red10", 10},       {Sign::Red11, "Red11", 5},
      {Sign::Green1, "Green1", 5},      {Sign::Green6, "Green6", 5},
      {Sign::Orange1, "Orange1", 15},   {Sign::Orange2, "Orange2", 3},
      {Sign::Orange7, "Orange7", 3},    {Sign::Blue1, "Blue1", 2},
      {Sign::Yellow1, "Yellow1", 1},    {Sign::HStimeS1, "HStimeS1", 15},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(d[c.sign], c.points) << c.key;
    EXPECT_STREQ(InfoOf(c.sign).key, c.key);
  }
  int total = 0;
  for (int p : d.value) total += p;
  EXPECT_EQ(total, 8 * 10 + 15 + 10 + 5 + 6 * 5 + 15 + 6 * 3 + 2 + 1 + 15 + 10);
}

TEST(SignPoints, LoadReadsSectionSignPointAndDefaultsMissingKeys) {
  TempHome home;
  home.Write("given.ini",
             "[SignPoint]\r\nRed1=0\r\nSpecial1=20\r\nYellow1=7\r\n[Other]\r\nRed2=1\r\n");
  SignPoints p = SignPoints::Load(SettingsFile(home.path() / "given.ini"));
  EXPECT_EQ(p[Sign::Red1], 0);
  EXPECT_EQ(p[Sign::Special1], 20);
  EXPECT_EQ(p[Sign::Yellow1], 7);
  EXPECT_EQ(p[Sign::Red2], 10);
  EXPECT_EQ(p[Sign::HStimeS1], 15);

  SettingsFile written(home.path() / "written.ini");
  p.Save(written);
  EXPECT_EQ(SignPoints::Load(written).value, p.value);
}

// With weight 2^i for the sign in column i, each row's sum spells out which
// marks the row has: every present mark adds its own weight exactly once,
// the special mark included.
TEST(SignSum, AddsTheWeightOfEachPresentMarkOfTheRow) {
  SignPoints bits;
  for (int i = 0; i < kSignCount; ++i) bits.value[i] = 1 << i;

  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 12);
  race.StartTime("1500");
  race.Horse(12).Symbol("21").Name("ピンクカメオ").Bracket(8);
  race.Horse(11).Name("ピンクパンサー").Sex("2");
  day->Calc[0].SpsMark[5] = "○"_sj;
  Calculate(*day, 0, bits);

  for (int k = 0; k < kRingRows; ++k) {
    int32_t expected = 0;
    for (int i = 0; i < kSignCount; ++i) {
      if (HasMark(day->Calc[0], SignAt(i), k)) expected |= 1 << i;
    }
    EXPECT_EQ(day->Calc[0].SignSum[k], expected) << "row " << k;
  }
  // Horse 12 on row 5: the special mark, Green6 (pink in bracket 8), Orange1
  // and HStimeS1; no Red10, because two names start with ピ.
  const int32_t row5 = day->Calc[0].SignSum[5];
  EXPECT_TRUE(row5 & (1 << SignIndex(Sign::Special1)));
  EXPECT_TRUE(row5 & (1 << SignIndex(Sign::Green6)));
  EXPECT_TRUE(row5 & (1 << SignIndex(Sign::Orange1)));
  EXPECT_TRUE(row5 & (1 << SignIndex(Sign::HStimeS1)));
  EXPECT_FALSE(row5 & (1 << SignIndex(Sign::Red10)));
  EXPECT_FALSE(day->Calc[0].SignSum[17] & (1 << SignIndex(Sign::Special1)));
}

// Four runners at 15:00 whose names, readings and records give no sign at
// all except the post-time sign of horse 4 (rows 1, 5, 9, 13 and 17).
void QuietRace(RaceDay& day) {
  RaceBuilder race(day, 0, 4);
  race.StartTime("1500");
  static const char* const kNames[] = {"ガアイウエ", "ギオカキク", "グケコサシ", "ゲスセソタ"};
  for (int h = 1; h <= 4; ++h) race.Horse(h).Name(kNames[h - 1]).JockeyKana("ﾝ").TrainerKana("ﾝ");
}

TEST(SignSum, DefaultWeightsOfTheMarksOfEachRow) {
  auto day = RaceDay::Create();
  QuietRace(*day);
  HorseBuilder(*day, 0, 4).Symbol("21");  // Orange1
  day->Calc[0].SpsMark[17] = "○"_sj;
  Calculate(*day, 0);
  const int32_t* sum = day->Calc[0].SignSum;
  for (int k : {1, 5, 9, 13}) EXPECT_EQ(sum[k], 15 + 15) << k;  // Orange1 + HStimeS1
  EXPECT_EQ(sum[17], 15 + 15 + 10);                             // and the special mark
  for (int k : {0, 2, 3, 16}) EXPECT_EQ(sum[k], 0) << k;
}

TEST(SignFlags, ThePostTimeSignAndTheSpecialMarkSetNoFlag) {
  auto day = RaceDay::Create();
  QuietRace(*day);
  day->Calc[0].SpsMark[1] = "○"_sj;
  Calculate(*day, 0);
  const RaceCalc& c = day->Calc[0];
  EXPECT_EQ(Marks(*day, 0, Sign::HStimeS1)[1], "○");
  EXPECT_EQ(c.SignSum[1], 15 + 10);
  for (int k = 0; k < kRingRows; ++k) {
    EXPECT_EQ(c.RedFlag[k] + c.GreenFlag[k] + c.OrangeFlag[k] + c.BlueFlag[k] + c.YellowFlag[k], 0)
        << k;
  }
}

TEST(SignCalculation, ARaceWithoutAValidRunnerCountGetsNothing) {
  for (const char* runners : {"00", "  ", "AB"}) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, 9);
    race.Ra(882, runners).StartTime("1500");
    race.Horse(1).Symbol("21").Name("サクラ");
    day->Calc[0].SpsMark[0] = "○"_sj;
    Calculate(*day, 0);
    for (int k = 0; k < kRingRows; ++k) {
      EXPECT_EQ(day->Calc[0].SignSum[k], 0) << runners;
      for (int i = 1; i < kSignCount; ++i)
        EXPECT_FALSE(HasMark(day->Calc[0], SignAt(i), k)) << runners;
    }
  }
}

}  // namespace
}  // namespace sorvix::test
