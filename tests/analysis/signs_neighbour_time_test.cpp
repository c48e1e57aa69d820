#include <gtest/gtest.h>

#include <set>

#include "sign_test_support.h"
#include "support/race_day_builder.h"

namespace sorvix::test {
namespace {

TEST(BlueSign, NeighboursSharingTwoCharactersAtAnyPlaceAreBothMarked) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  race.Horse(3).Name("アイウ");
  race.Horse(4).Name("カウアイ");  // shares アイ with its ring neighbour horse 3
  race.Horse(6).Name("アイス");    // horse 5 between them: no neighbour of horse 3
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Blue1),
            Rows({{2, "アイ"}, {3, "アイ"}, {11, "アイ"}, {12, "アイ"}}));
  EXPECT_EQ(day->Calc[0].BlueFlag[2], 1);
  EXPECT_EQ(day->Calc[0].BlueFlag[4], 0);
}

TEST(BlueSign, TheNinthWindowWrapsFromTheLastCharacterToTheFirst) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  race.Horse(1).Name("アイウエオカキクケ");
  race.Horse(2).Name("サケアシ");
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Blue1)[0], "ケア");
  EXPECT_EQ(Marks(*day, 0, Sign::Blue1)[1], "ケア");
}

TEST(NeighbourSigns, Row17MeetsRow0OnlyInAFullField) {
  // 18 runners: horse 18 (row 17) and horse 1 (row 0) are neighbours.
  auto full = RaceDay::Create();
  RaceBuilder race18(*full, 0, 18);
  race18.Horse(18).Name("アイウ");
  race18.Horse(1).Name("アカイ");
  Calculate(*full, 0);
  EXPECT_EQ(Marks(*full, 0, Sign::Yellow1), Rows({{17, "ア"}, {0, "ア"}}));

  // 17 runners: horse 17 stands on rows 0 and 17; closing the ring would
  // compare it with itself.
  auto short17 = RaceDay::Create();
  RaceBuilder race17(*short17, 0, 17);
  race17.Horse(17).Name("アイウ");
  Calculate(*short17, 0);
  EXPECT_EQ(Marks(*short17, 0, Sign::Blue1), NoRows());
  EXPECT_EQ(Marks(*short17, 0, Sign::Yellow1), NoRows());
}

TEST(YellowSign, TheSameCharacterAtTheSamePlaceMarksBothRowsTheLaterComparisonWinning) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  race.Horse(3).Name("アイウ");
  race.Horse(4).Name("アカキ");  // ア first, like horse 3
  race.Horse(5).Name("サカシ");  // カ second, like horse 4
  race.Horse(7).Name("イウア");  // same characters as horse 3, other places
  race.Horse(8).Name("アイウ");
  Calculate(*day, 0);
  auto yellow = Marks(*day, 0, Sign::Yellow1);
  EXPECT_EQ(yellow[2], "ア");
  EXPECT_EQ(yellow[3], "カ");  // from the comparison with horse 5
  EXPECT_EQ(yellow[4], "カ");
  EXPECT_EQ(yellow[5], "");
  // Horses 7 and 8 share no place but share windows: blue, not yellow.
  EXPECT_EQ(yellow[6], "");
  EXPECT_EQ(yellow[7], "");
  EXPECT_EQ(Marks(*day, 0, Sign::Blue1)[6], "イウ");
}

// Ring rows of the horse numbers in `horses` marked "○".
std::vector<std::string> CircleRows(int runners, std::set<int> horses) {
  std::vector<std::string> rows(kRingRows);
  for (int k = 0; k < kRingRows; ++k) {
    if (horses.count(RingHorse(runners, k))) rows[k] = "○";
  }
  return rows;
}

TEST(TimeSign, ThePostTimeMinutePointsAtTwoHorses) {
  const struct {
    const char* time;
    int runners;
    std::set<int> horses;
  } cases[] = {
      {"1525", 12, {1, 12}},  // 25 mod 12 = 1
      {"1531", 12, {7, 6}},   // 31 mod 12 = 7: 7 and 12 - 7 + 1
      {"1536", 12, {1, 12}},  // 36 mod 12 = 0
      {"1500", 12, {12}},     // on the hour: the last horse only
      {"0950", 16, {2, 15}},  // 50 mod 16 = 2
      {"1012", 18, {12, 7}},
  };
  for (const auto& c : cases) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, c.runners);
    race.StartTime(c.time);
    Calculate(*day, 0);
    EXPECT_EQ(Marks(*day, 0, Sign::HStimeS1), CircleRows(c.runners, c.horses)) << c.time;
  }
}

}  // namespace
}  // namespace sorvix::test
