#include "analysis/race_sheet_assignment.h"

#include <gtest/gtest.h>

#include <vector>

#include "analysis/sign_marks.h"
#include "codes/cp932.h"
#include "store/load_progress.h"
#include "support/race_day_builder.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix::test {
namespace {

struct RecordingProgress : LoadProgress {
  std::vector<std::string> titles, details;
  void SetTitle(Cp932View t) override { titles.emplace_back(Utf8Bytes(t)); }
  void SetDetail(Cp932View d) override { details.emplace_back(Utf8Bytes(d)); }
  bool ShowsDetail() const override { return true; }
};

void Assign(RaceDay& day) {
  LoadProgress quiet;
  AssignRaceSheets(day, quiet);
}

std::vector<int> RingHorseNumbers(const RaceSheet& sheet) {
  std::vector<int> horses;
  for (int k = 0; k < kRingRows; ++k) horses.push_back(ReadInt(sheet.HorseNo[k]));
  return horses;
}

TEST(Dainyu, FillsTheHeaderFromTheRaceRecord) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 16, "06", 11);
  race.Ra(33, "有馬記念"_sj).Ra(615, "A").Ra(617, "11").Ra(619, "000").Ra(622, "4");
  race.Ra(635, "999").Ra(698, "2500").Ra(706, "17").StartTime("1525");
  race.Ra(714, "00200000").Ra(722, "00080009").Ra(730, "ABCDEFGH").Ra(810, "00001230");
  Assign(*day);
  const RaceSheet& s = day->Sheet[0];
  EXPECT_EQ(s.Present, 1);
  EXPECT_EQ(s.RaceKey.View(), "2008010506010111");
  EXPECT_EQ(Utf8Bytes(s.RaceName).substr(0, 12), "有馬記念");
  EXPECT_EQ(s.RaceName.size(), 60u);
  EXPECT_EQ(s.GradeCode.View(), "A");
  EXPECT_EQ(s.RaceTypeCode.View(), "11");
  EXPECT_EQ(s.RaceSymbolCode.View(), "000");
  EXPECT_EQ(s.WeightRuleCode.View(), "4");
  EXPECT_EQ(s.ClassCode.View(), "999");
  EXPECT_EQ(s.Distance.View(), "2500");
  EXPECT_EQ(s.TrackCode.View(), "17");
  EXPECT_EQ(s.StartTime.View(), "1525");
  EXPECT_EQ(s.RunnerCount.View(), "16");
  EXPECT_EQ(s.Prize[0], 20000);  // the first 7 characters
  EXPECT_EQ(s.Prize[1], 8000);   // the eighth character is not read
  EXPECT_EQ(s.Prize[2], 0);      // not a number
  EXPECT_EQ(s.AddedPrize[0], 123);
  EXPECT_EQ(s.HeaderNumber, -1);
}

TEST(Dainyu, LaysTheRunnersOutOnTheRing) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 16);
  race.Horse(15)
      .Name("ガーネットスターライトエクスプレス")
      .Symbol("07")
      .Sex("2")
      .Age(5)
      .Burden("545")
      .Jockey("01234", "武豊")
      .Apprentice("3")
      .Trainer("00567", "武井")
      .JockeyKana("ﾀｹ ﾕﾀｶ")
      .JockeySex("1")
      .TrainerKana("ﾀｹｲ")
      .Sire("ブライアンズタイム")
      .Dam("パシフィカス")
      .SireSire("ロベルト")
      .FinishPos(3)
      .Popularity(12);
  race.Horse(15).Um(39, "20030415").Um(863, "アメリカ"_sj).Um(963, "浦河町"_sj);
  race.Horse(15).Se(81, "03").Se(85, "1").Se(105, "社台レースホース"_sj);
  Assign(*day);
  const RaceSheet& s = day->Sheet[0];
  EXPECT_EQ(RingHorseNumbers(s),
            (std::vector<int>{15, 16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
  for (int k : {0, 16}) {
    EXPECT_EQ(s.HorseNo[k].View(), "15");
    EXPECT_EQ(s.BracketNo[k].View(), "8");
    EXPECT_EQ(Utf8Bytes(s.HorseName[k]), "ガーネットスターライ");     // 20 bytes
    EXPECT_EQ(Utf8Bytes(s.HorseNamePlain[k]), "カーネットスターラ");  // of its first 18
    EXPECT_EQ(Utf8Bytes(s.SireName[k]), "ブライアンズタイム");
    EXPECT_EQ(Utf8Bytes(s.SireNamePlain[k]), "フライアンスタイム");
    EXPECT_EQ(Utf8Bytes(s.DamNamePlain[k]), "ハシフィカス　　　");
    EXPECT_EQ(Utf8Bytes(s.SireSireName[k]), "ロベルト　　　　　");
    EXPECT_EQ(s.HorseSymbol[k].View(), "07");
    EXPECT_EQ(s.Sex[k].View(), "2");
    EXPECT_EQ(s.Age[k].View(), "05");
    EXPECT_EQ(s.Burden[k].View(), "545");
    EXPECT_EQ(s.JockeyCode[k].View(), "01234");
    EXPECT_EQ(Utf8Bytes(s.JockeyName[k]), "武豊　　");
    EXPECT_EQ(s.ApprenticeCode[k].View(), "3");
    EXPECT_EQ(s.TrainerCode[k].View(), "00567");
    EXPECT_EQ(Utf8Bytes(s.TrainerName[k]), "武井　　");
    EXPECT_EQ(Utf8Bytes(s.JockeyKana[k]), "ﾀｹ ﾕﾀｶ" + std::string(24, ' '));
    EXPECT_EQ(Utf8Bytes(s.TrainerKana[k]).substr(0, 9), "ﾀｹｲ");
    EXPECT_EQ(s.JockeySex[k].View(), "1");
    EXPECT_EQ(s.BirthDate[k].View(), "20030415");
    EXPECT_EQ(s.CoatCode[k].View(), "03");
    EXPECT_EQ(s.AffiliationCode[k].View(), "1");
    EXPECT_EQ(Utf8Bytes(s.OwnerName[k]).substr(0, 24), "社台レースホース");
    EXPECT_EQ(s.OwnerName[k].size(), 64u);
    EXPECT_EQ(Utf8Bytes(s.InviteRegion[k]).substr(0, 12), "アメリカ");
    EXPECT_EQ(s.InviteRegion[k].size(), 20u);
    EXPECT_EQ(Utf8Bytes(s.BirthPlace[k]).substr(0, 9), "浦河町");
    EXPECT_EQ(s.BreederName[k].size(), 70u);
    EXPECT_EQ(s.FinishPos[k].View(), "03");
    EXPECT_EQ(s.Popularity[k], 12);
  }
  EXPECT_EQ(s.HorseNo[1].View(), "16");
  EXPECT_EQ(s.HorseNo[2].View(), "01");
}

TEST(Dainyu, ThreeRunnersLeaveTheRowsOfNonRunnersBlank) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 3);
  race.Horse(3).Name("サクラ");
  Assign(*day);
  const RaceSheet& s = day->Sheet[0];
  EXPECT_EQ(RingHorseNumbers(s),
            (std::vector<int>{1, 2, 3, 1, 2, 3, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Utf8Bytes(s.HorseName[8]).substr(0, 9), "サクラ");
  EXPECT_EQ(s.HorseNo[9].View(), "  ");
  EXPECT_EQ(s.HorseName[17].View(), std::string(20, ' '));
}

TEST(Dainyu, AnEnteredCountAbove18LaysOutEighteen) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 18);
  race.Ra(882, "25");
  Assign(*day);
  EXPECT_EQ(RingHorseNumbers(day->Sheet[0]),
            (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
}

TEST(Dainyu, ARaceWithoutRunnersGetsItsHeaderOnly) {
  for (const char* runners : {"00", "  ", "X1"}) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, 9);
    race.Ra(882, runners);
    Assign(*day);
    const RaceSheet& s = day->Sheet[0];
    EXPECT_EQ(s.Present, 1) << runners;
    EXPECT_EQ(s.RaceKey.View(), "2008010506010101") << runners;
    EXPECT_TRUE(s.HorseNo[0].empty()) << runners;
    EXPECT_TRUE(s.HorseName[17].empty()) << runners;
  }
}

TEST(Dainyu, MarksTheJockeysAndTrainersWithOneRunnerOnTheDay) {
  auto day = RaceDay::Create();
  for (int slot = 0; slot < 6; ++slot) RaceBuilder(*day, slot, 9);
  // Jockey 01001 rides in two races: neither ride is marked.
  HorseBuilder(*day, 0, 1).Jockey("01001").Trainer("00301");
  HorseBuilder(*day, 1, 2).Jockey("01001").Trainer("00301");
  // Jockey 01002 rides once, in race slot 4 on horse 3 (rows 2 and 11).
  HorseBuilder(*day, 4, 3).Jockey("01002").Trainer("00302");
  // Codes that are zero or not numbers never mark, even when unique.
  HorseBuilder(*day, 5, 1).Jockey("00000").Trainer("00000");
  HorseBuilder(*day, 5, 2).Jockey("ABCDE").Trainer("     ");
  Assign(*day);

  for (int slot : {0, 1, 5}) {
    for (int k = 0; k < kRingRows; ++k) {
      EXPECT_EQ(day->Sheet[slot].JockeyOnlyRide[k], 0) << slot << "/" << k;
      EXPECT_EQ(day->Sheet[slot].TrainerOnlyRunner[k], 0) << slot << "/" << k;
    }
  }
  const RaceSheet& s = day->Sheet[4];
  for (int k = 0; k < kRingRows; ++k) {
    int expected = (k == 2 || k == 11) ? 1 : 0;
    EXPECT_EQ(s.JockeyOnlyRide[k], expected) << k;
    EXPECT_EQ(s.TrainerOnlyRunner[k], expected) << k;
  }
  EXPECT_EQ(s.JockeyOnlyRideByHorse[2], 1);
  EXPECT_EQ(s.TrainerOnlyRunnerByHorse[2], 1);
  EXPECT_EQ(day->Sheet[0].JockeyOnlyRideByHorse[0], 0);
}

TEST(Dainyu, PlacesEveryRaceByVenueAndOrdinal) {
  auto day = RaceDay::Create();
  // Slots in post-time order, two venues interleaved.
  RaceBuilder(*day, 0, 9, "06", 1);
  RaceBuilder(*day, 1, 9, "09", 1);
  RaceBuilder(*day, 2, 9, "06", 2);
  RaceBuilder(*day, 3, 10, "09", 2);
  HorseBuilder(*day, 3, 1).Apprentice("3").JockeyKana("ﾀｹ").TrainerKana("ｲｲ").Name("サクラ");
  Assign(*day);

  EXPECT_EQ(day->DayVenues[0].View(), "06");
  EXPECT_EQ(day->DayVenues[1].View(), "09");
  EXPECT_EQ(day->VenueRaceCount[0], 2);
  EXPECT_EQ(day->VenueRaceCount[1], 2);
  EXPECT_EQ(day->VenueRaceCount[2], 0);
  EXPECT_EQ(day->SlotByVenue[0][0], 0);
  EXPECT_EQ(day->SlotByVenue[0][1], 2);
  EXPECT_EQ(day->SlotByVenue[1][0], 1);
  EXPECT_EQ(day->SlotByVenue[1][1], 3);
  EXPECT_EQ(day->SlotByVenue[0][2], -1);
  EXPECT_EQ(day->SlotByVenue[2][0], -1);
  const int venues[] = {0, 1, 0, 1};
  const int ordinals[] = {0, 0, 1, 1};
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(day->VenueOfSlot[s], venues[s]) << s;
    EXPECT_EQ(day->OrdinalOfSlot[s], ordinals[s]) << s;
  }
  EXPECT_EQ(day->VenueOfSlot[4], -1);

  // The per-venue copy is the race sheet without apprentice code and
  // readings.
  const RaceSheet& copy = day->VenueRaceSheet[1][1];
  const RaceSheet& sheet = day->Sheet[3];
  EXPECT_EQ(copy.RaceKey.View(), sheet.RaceKey.View());
  EXPECT_EQ(copy.RunnerCount.View(), "10");
  for (int k = 0; k < kRingRows; ++k) {
    EXPECT_EQ(copy.HorseNo[k].View(), sheet.HorseNo[k].View()) << k;
    EXPECT_EQ(copy.HorseName[k].View(), sheet.HorseName[k].View()) << k;
    EXPECT_EQ(copy.HorseNamePlain[k].View(), sheet.HorseNamePlain[k].View()) << k;
    EXPECT_TRUE(copy.ApprenticeCode[k].empty()) << k;
    EXPECT_TRUE(copy.JockeyKana[k].empty()) << k;
    EXPECT_TRUE(copy.TrainerKana[k].empty()) << k;
  }
  EXPECT_EQ(sheet.ApprenticeCode[8].View(), "3");  // horse 1 of 10 stands on row 8
  EXPECT_FALSE(sheet.JockeyKana[8].empty());
}

TEST(Dainyu, RacesOutsideTheDayVenuesOrBeyondTwelveAreNotPlaced) {
  auto day = RaceDay::Create();
  for (int slot = 0; slot < 13; ++slot) RaceBuilder(*day, slot, 9, "05", slot + 1);
  RaceBuilder(*day, 13, 9, "08", 1);
  day->DayVenues[1].Clear();  // 08 is not a venue of the day
  Assign(*day);
  EXPECT_EQ(day->VenueRaceCount[0], 12);
  EXPECT_EQ(day->VenueRaceCount[1], 0);
  EXPECT_EQ(day->SlotByVenue[0][11], 11);
  EXPECT_EQ(day->VenueOfSlot[12], -1);
  EXPECT_EQ(day->OrdinalOfSlot[12], -1);
  EXPECT_EQ(day->VenueOfSlot[13], -1);
  EXPECT_EQ(day->Sheet[13].Present, 1);  // still assigned as a race
}

TEST(Dainyu, ReportsEachRingRowToTheProgressWindow) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 16, "06", 3);
  race.Horse(15).Name("ダイワスカーレット");
  RecordingProgress progress;
  AssignRaceSheets(*day, progress);
  ASSERT_EQ(progress.details.size(), 36u);  // 18 rows, then 18 for the per-venue copy
  EXPECT_EQ(progress.titles[0], "過去走データ読込中：2008年01月05日");
  EXPECT_EQ(progress.titles[18], "データ処理＆計算中：2008年01月05日");
  EXPECT_EQ(progress.details[0], "中山 3R:⑮ダイワスカーレット");
  EXPECT_EQ(progress.details[18], progress.details[0]);
}

TEST(Dainyu2, CopiesTheSignValuesIntoThePerVenueLayout) {
  auto day = RaceDay::Create();
  RaceBuilder(*day, 0, 9, "06", 1);
  RaceBuilder(*day, 1, 9, "09", 1);
  Assign(*day);
  RaceCalc& calc = day->Calc[1];
  calc.SpsMark[3] = "○"_sj;
  SetMark(calc, Sign::Red1, 3, "07");
  SetMark(calc, Sign::HStimeS1, 4, "○"_sj);
  calc.RedFlag[3] = 1;
  calc.SignSum[3] = 20;
  calc.AwayIndex[2] = 31;
  calc.HomeRank[2] = 4;
  CopyVenueSignValues(*day);
  const RaceCalc& copy = day->VenueRaceCalc[1][0];
  EXPECT_EQ(MarkText(copy, Sign::Special1, 3), "○"_sj);
  EXPECT_EQ(MarkText(copy, Sign::Red1, 3), "07");
  EXPECT_EQ(MarkText(copy, Sign::HStimeS1, 4), "○"_sj);
  EXPECT_EQ(copy.RedFlag[3], 1);
  EXPECT_EQ(copy.SignSum[3], 20);
  EXPECT_EQ(copy.AwayIndex[2], 31);
  EXPECT_EQ(copy.HomeRank[2], 4);
  EXPECT_EQ(day->VenueRaceCalc[0][0].SignSum[3], 0);
}

}  // namespace
}  // namespace sorvix::test
