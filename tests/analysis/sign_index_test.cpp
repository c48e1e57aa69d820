#include "analysis/sign_index.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "codes/text.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

struct CorrespondenceCase {
  int h, n, m;
  CorrespondingHorses expected;
};

TEST(CorrespondingHorses, NamesTheHorsesOfTheNeighbourField) {
  const std::vector<CorrespondenceCase> cases = {
      {12, 12, 16, {12, 0, 16}},                            // c = 16 − 0
      {1, 12, 16, {1, 0, 5}},    {14, 16, 12, {0, 2, 10}},  // a outside the neighbour's field
      {16, 16, 12, {0, 4, 12}},  {1, 16, 12, {1, 0, 9}},
      {5, 16, 8, {5, 0, 0}},                              // 16 is a multiple of 8: no c
      {12, 16, 8, {0, 4, 0}},    {7, 16, 16, {7, 0, 0}},  // same field size: only a
      {3, 8, 16, {3, 0, 0}},                              // 16 a multiple of 8
      {1, 18, 7, {1, 0, 4}},                              // c raised by m twice
      {1, 18, 4, {1, 0, 0}},                              // still ≤ 0 after three raises
      {5, 10, 0, {0, 0, 0}},                              // a neighbour without runners
  };
  for (const CorrespondenceCase& c : cases) {
    CorrespondingHorses got = CorrespondingHorsesOf(c.h, c.n, c.m);
    EXPECT_EQ(got.a, c.expected.a) << c.h << "/" << c.n << "/" << c.m;
    EXPECT_EQ(got.b, c.expected.b) << c.h << "/" << c.n << "/" << c.m;
    EXPECT_EQ(got.c, c.expected.c) << c.h << "/" << c.n << "/" << c.m;
  }
}

// A day of races laid out in list order; each is (venue, race, runners).
struct RaceSpec {
  const char* venue;
  int race;
  int runners;
};

std::unique_ptr<RaceDay> MakeDay(const std::vector<RaceSpec>& races) {
  auto day = RaceDay::Create();
  int slot = 0;
  for (const RaceSpec& r : races) {
    std::string ra(kRaLength, ' ');
    ra.replace(0, 2, "RA");
    ra.replace(11, 8, "20240505");
    ra.replace(19, 2, r.venue);
    ra.replace(25, 2, Format("%02d", r.race));
    ra.replace(881, 2, Format("%02d", r.runners));
    day->RaRec[slot].Assign(ra);
    ++slot;
  }
  day->RaceCount = slot;
  day->RaceListRows = slot;
  return day;
}

void SetBracket(RaceDay& day, int slot, int horse, int bracket) {
  day.SeRec[slot][horse - 1].Put(28, Format("%d", bracket));
}

TEST(NeighbourRaces, ListAndVenueNeighboursWrapAround) {
  // Two venues interleaved in post-time order.
  auto day = MakeDay(
      {{"05", 1, 16}, {"06", 1, 16}, {"05", 2, 16}, {"06", 2, 16}, {"05", 3, 16}, {"06", 3, 16}});
  NeighbourRaces first = NeighbourRacesOf(*day, 0);
  EXPECT_EQ(first.listPrevious, 5);
  EXPECT_EQ(first.listNext, 1);
  EXPECT_EQ(first.venuePrevious, 4);  // the venue's last race
  EXPECT_EQ(first.venueNext, 2);
  NeighbourRaces last = NeighbourRacesOf(*day, 5);
  EXPECT_EQ(last.listPrevious, 4);
  EXPECT_EQ(last.listNext, 0);
  EXPECT_EQ(last.venuePrevious, 3);
  EXPECT_EQ(last.venueNext, 1);  // the venue's first race
}

TEST(NeighbourRaces, AMissingRaceNumberGivesNoVenueNeighbour) {
  // Venue 05 lists races 1, 2 and 4 (three entries, so race 3 is wanted
  // after race 2 and race 4 has no next within V = 3 either way).
  auto day = MakeDay({{"05", 1, 10}, {"05", 2, 10}, {"05", 4, 10}});
  NeighbourRaces second = NeighbourRacesOf(*day, 1);
  EXPECT_EQ(second.venuePrevious, 0);
  EXPECT_EQ(second.venueNext, -1);
  NeighbourRaces fourth = NeighbourRacesOf(*day, 2);
  EXPECT_EQ(fourth.venuePrevious, -1);  // race 3 is not listed
  EXPECT_EQ(fourth.venueNext, 0);       // 5 > V wraps to race 1
}

TEST(ComputeSignIndex, SumsTheCorrespondingHorsesOfTheFourNeighbours) {
  auto day = MakeDay(
      {{"05", 1, 16}, {"06", 1, 12}, {"05", 2, 16}, {"06", 2, 16}, {"05", 3, 8}, {"06", 3, 16}});
  // Ring row k of slot X carries the sum 100·X + k.
  for (int x = 0; x < 6; ++x)
    for (int k = 0; k < 18; ++k) day->Calc[x].SignSum[k] = 100 * x + k;
  ComputeSignIndex(*day, 0);
  const RaceCalc& calc = day->Calc[0];
  // Away: slot 5 (16 runners, horse h at row h + 1) and slot 1 (12 runners,
  // horse h of 16 matches b = h − 12 and c = 12 − (16 − h) + …).
  // Horse 14: slot 5 row 15; slot 1 horses 2 (row 7) and 10 (row 15).
  EXPECT_EQ(calc.AwayIndex[13], 515 + 107 + 115);
  // Horse 1: slot 5 row 2; slot 1 horses 1 (row 6) and 9 (row 14).
  EXPECT_EQ(calc.AwayIndex[0], 502 + 106 + 114);
  // Home: slot 4 (race 3 of 05, 8 runners: only a, horse h ≤ 8 at row
  // h + 9) and slot 2 (16 runners).
  EXPECT_EQ(calc.HomeIndex[0], 410 + 202);
  EXPECT_EQ(calc.HomeIndex[8], 410 + 210);   // a = 9 is beyond 8; b = 1 → row 10
  EXPECT_EQ(calc.HomeIndex[15], 417 + 217);  // b = 8 → row 17
  for (int h = 16; h < 18; ++h) {
    EXPECT_EQ(calc.AwayIndex[h], 0);
    EXPECT_EQ(calc.AwayRank[h], 0);
  }
}

// One race alone in the list is its own neighbour on every side, so each
// index is twice the horse's own sum of the last ring cycle.
std::unique_ptr<RaceDay> SingleRace(const std::vector<int>& sums,
                                    const std::vector<int>& brackets) {
  int n = static_cast<int>(sums.size());
  auto day = MakeDay({{"05", 1, n}});
  for (int h = 1; h <= n; ++h) {
    day->Calc[0].SignSum[LastCycleRingRow(h, n)] = sums[h - 1];
    SetBracket(*day, 0, h, brackets[h - 1]);
  }
  return day;
}

TEST(ComputeSignIndex, RanksBreakTiesTowardsTheHigherNumber) {
  auto day = SingleRace({5, 5, 10, 0}, {1, 2, 3, 4});
  ComputeSignIndex(*day, 0);
  const RaceCalc& calc = day->Calc[0];
  EXPECT_EQ(calc.AwayIndex[0], 10);
  EXPECT_EQ(calc.HomeIndex[2], 20);
  EXPECT_EQ(calc.BracketAverage[0], 20);
  // Brackets 1 and 2 share the average 20: bracket 2 ranks first.
  EXPECT_EQ(calc.BracketRank[2], 1);
  EXPECT_EQ(calc.BracketRank[1], 2);
  EXPECT_EQ(calc.BracketRank[0], 3);
  EXPECT_EQ(calc.BracketRank[3], 4);
  // Horses 1 and 2 are equal in all three values: horse 2 ranks first.
  for (const int32_t* rank : {calc.AwayRank, calc.HomeRank}) {
    EXPECT_EQ(rank[2], 1);
    EXPECT_EQ(rank[1], 2);
    EXPECT_EQ(rank[0], 3);
    EXPECT_EQ(rank[3], 4);
  }
}

TEST(ComputeSignIndex, AwayAndHomeRanksOrderByTheirOwnIndexFirst) {
  // Slot 0 (race 1 of 05) has the list neighbour slot 1 (another venue)
  // and itself as venue neighbour.
  auto day = MakeDay({{"05", 1, 3}, {"06", 1, 3}});
  for (int h = 1; h <= 3; ++h) SetBracket(*day, 0, h, h);
  int own[3] = {1, 2, 3}, other[3] = {30, 20, 10};
  for (int h = 1; h <= 3; ++h) {
    day->Calc[0].SignSum[LastCycleRingRow(h, 3)] = own[h - 1];
    day->Calc[1].SignSum[LastCycleRingRow(h, 3)] = other[h - 1];
  }
  ComputeSignIndex(*day, 0);
  const RaceCalc& calc = day->Calc[0];
  EXPECT_EQ(calc.AwayIndex[0], 60);
  EXPECT_EQ(calc.HomeIndex[0], 2);
  EXPECT_EQ(calc.AwayRank[0], 1);
  EXPECT_EQ(calc.AwayRank[2], 3);
  EXPECT_EQ(calc.HomeRank[2], 1);
  EXPECT_EQ(calc.HomeRank[0], 3);
}

TEST(ComputeSignIndex, BracketAverageRoundsAndIgnoresBracketsOutsideOneToEight) {
  // Bracket 1 holds horses with away + home 4, 4 and 0 → 8/3 → 3; horse 4
  // has bracket 0 and horse 5 bracket 9.
  auto day = SingleRace({1, 1, 0, 7, 7, 2}, {1, 1, 1, 0, 9, 2});
  ComputeSignIndex(*day, 0);
  const RaceCalc& calc = day->Calc[0];
  EXPECT_EQ(calc.BracketAverage[0], 3);
  EXPECT_EQ(calc.BracketAverage[2], 3);
  EXPECT_EQ(calc.BracketAverage[5], 8);
  EXPECT_EQ(calc.BracketAverage[3], 0);
  EXPECT_EQ(calc.BracketAverage[4], 0);
  EXPECT_EQ(calc.BracketRank[5], 1);
  EXPECT_EQ(calc.BracketRank[0], 2);
  EXPECT_EQ(calc.BracketRank[3], 0);
  EXPECT_EQ(calc.BracketRank[4], 0);
  // Horses without a bracket still take part in the horse ranks.
  EXPECT_EQ(calc.AwayRank[4], 1);
  EXPECT_EQ(calc.AwayRank[3], 2);
}

TEST(ComputeSignIndex, RankingStaysRightForValuesTextKeysWouldMisorder) {
  // Negative weights and six-digit sums: ranks follow the values.
  auto day = SingleRace({-3, 50000, 2}, {1, 2, 3});
  ComputeSignIndex(*day, 0);
  const RaceCalc& calc = day->Calc[0];
  EXPECT_EQ(calc.AwayIndex[1], 100000);
  EXPECT_EQ(calc.AwayRank[1], 1);
  EXPECT_EQ(calc.AwayRank[2], 2);
  EXPECT_EQ(calc.AwayRank[0], 3);
  EXPECT_EQ(calc.BracketRank[0], 3);
}

TEST(ComputeSignIndex, CopiesTheValuesIntoTheVenueLayout) {
  auto day = MakeDay({{"05", 1, 3}, {"06", 1, 3}, {"05", 2, 3}});
  day->DayVenues[0] = "05";
  day->DayVenues[1] = "06";
  for (int h = 1; h <= 3; ++h) SetBracket(*day, 2, h, h);
  for (int x = 0; x < 3; ++x)
    for (int k = 0; k < 18; ++k) day->Calc[x].SignSum[k] = k;
  day->Calc[2].SuiteiRank[1] = 1;
  day->VenueRaceCalc[0][1].AwayIndex[17] = 99;  // stale value of an earlier run
  ComputeSignIndex(*day, 2);
  const RaceCalc& calc = day->Calc[2];
  const RaceCalc& copy = day->VenueRaceCalc[0][1];  // second race of venue 05
  for (int h = 0; h < 18; ++h) {
    EXPECT_EQ(copy.AwayIndex[h], calc.AwayIndex[h]);
    EXPECT_EQ(copy.HomeIndex[h], calc.HomeIndex[h]);
    EXPECT_EQ(copy.BracketAverage[h], calc.BracketAverage[h]);
    EXPECT_EQ(copy.BracketRank[h], calc.BracketRank[h]);
    EXPECT_EQ(copy.AwayRank[h], calc.AwayRank[h]);
    EXPECT_EQ(copy.HomeRank[h], calc.HomeRank[h]);
  }
  EXPECT_GT(copy.AwayIndex[0], 0);
  EXPECT_EQ(copy.SuiteiRank[1], 1);
  EXPECT_EQ(day->VenueRaceCalc[1][0].AwayIndex[0], 0);  // other venue untouched
}

TEST(ComputeSignIndex, ARaceWithoutRunnersIsLeftAlone) {
  auto day = MakeDay({{"05", 1, 0}, {"05", 2, 12}});
  day->Calc[0].AwayIndex[0] = 7;
  ComputeSignIndex(*day, 0);
  EXPECT_EQ(day->Calc[0].AwayIndex[0], 7);
  EXPECT_EQ(day->Calc[0].AwayRank[0], 0);
}

}  // namespace
}  // namespace sorvix
