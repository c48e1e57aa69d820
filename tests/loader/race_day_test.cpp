#include "store/race_day.h"

#include <gtest/gtest.h>

namespace sorvix {
namespace {

TEST(RaceDay, ResetEmptiesEveryComputedValueAndLeavesTheRecords) {
  auto day = RaceDay::Create();
  EXPECT_TRUE(day->KakoRaRec[35][17][9].IsBlank());
  EXPECT_EQ(day->VenueOfSlot[0], -1);
  EXPECT_EQ(day->Sheet[0].HeaderNumber, -1);

  day->RaRec[2].Put(12, "2024");
  day->RaceCount = 3;
  day->VenueOfSlot[2] = 1;
  day->OrdinalOfSlot[2] = 0;
  day->SlotByVenue[1][0] = 2;
  day->VenueRaceCount[1] = 1;
  day->DayVenues[0] = "05";
  day->Sheet[2].Present = 1;
  day->Sheet[2].RaceName = "RACE";
  day->Sheet[2].HeaderNumber = 7;
  day->VenueRaceSheet[1][0].HorseNo[3] = "04";
  day->Calc[2].SuiteiRank[5] = 3;
  day->Calc[2].UmaStat[5][1] = 9;
  day->Calc[2].SpsMark[4] = "x";
  day->VenueRaceCalc[2][11].Suitei[0] = 1.5;

  day->Reset();
  EXPECT_EQ(day->RaceCount, 0);
  EXPECT_EQ(day->VenueOfSlot[2], -1);
  EXPECT_EQ(day->OrdinalOfSlot[2], -1);
  EXPECT_EQ(day->SlotByVenue[1][0], -1);
  EXPECT_EQ(day->VenueRaceCount[1], 0);
  EXPECT_TRUE(day->DayVenues[0].empty());
  EXPECT_EQ(day->Sheet[2].Present, 0);
  EXPECT_TRUE(day->Sheet[2].RaceName.empty());
  EXPECT_EQ(day->Sheet[2].HeaderNumber, -1);
  EXPECT_TRUE(day->VenueRaceSheet[1][0].HorseNo[3].empty());
  EXPECT_EQ(day->Calc[2].SuiteiRank[5], 0);
  EXPECT_EQ(day->Calc[2].UmaStat[5][1], 0);
  EXPECT_TRUE(day->Calc[2].SpsMark[4].empty());
  EXPECT_EQ(day->VenueRaceCalc[2][11].Suitei[0], 0.0);
  EXPECT_EQ(day->RaRec[2].Field(12, 4), "2024");

  day->ClearRecords();
  EXPECT_TRUE(day->RaRec[2].IsBlank());
}

TEST(RaceDay, EnteredRunnersStayWithinTheEighteenHorseSlots) {
  auto day = RaceDay::Create();
  const struct {
    const char* field;
    int runners;
  } cases[] = {{"10", 10}, {"18", 18}, {"25", 18}, {"  ", 0}, {"-3", 0}, {"x1", 0}};
  for (const auto& c : cases) {
    day->RaRec[0].Put(882, c.field);
    EXPECT_EQ(day->Runners(0), c.runners) << c.field;
  }
}

}  // namespace
}  // namespace sorvix
