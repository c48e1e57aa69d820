#include <gtest/gtest.h>

#include <functional>

#include "sign_test_support.h"
#include "support/race_day_builder.h"

namespace sorvix::test {
namespace {

using Give = std::function<void(HorseBuilder&)>;

struct UniqueCase {
  const char* name;
  Sign sign;
  Give give;
  const char* mark;
};

const UniqueCase kUniqueCases[] = {
    {"Red1 symbol 07", Sign::Red1, [](HorseBuilder& h) { h.Symbol("07"); }, "07"},
    {"Red2 female", Sign::Red2, [](HorseBuilder& h) { h.Sex("2"); }, "2"},
    {"Red3 six years", Sign::Red3, [](HorseBuilder& h) { h.Age(6); }, "06"},
    {"Red3 eight years", Sign::Red3, [](HorseBuilder& h) { h.Age(8); }, "08"},
    {"Red4 voiced initial", Sign::Red4, [](HorseBuilder& h) { h.Name("ガーネット"); }, "ガ"},
    {"Red5 burden 545", Sign::Red5, [](HorseBuilder& h) { h.Burden("545"); }, "545"},
    {"Red6 female jockey", Sign::Red6, [](HorseBuilder& h) { h.JockeySex("2"); }, "女"},
    {"Red7 katakana jockey", Sign::Red7, [](HorseBuilder& h) { h.JockeyName("ルメール"); }, "外"},
    {"Red8 apprentice 3", Sign::Red8, [](HorseBuilder& h) { h.Apprentice("3"); }, "▲"},
    {"Red10 semi-voiced initial", Sign::Red10, [](HorseBuilder& h) { h.Name("パーフェクト"); },
     "パ"},
};

// Nine runners: horse 5 stands on ring rows 4 and 13, horse 6 on 5 and 14.
TEST(RedSigns, AnAttributeOfOneRunnerAloneMarksEveryRowOfThatHorse) {
  for (const UniqueCase& c : kUniqueCases) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, 9);
    HorseBuilder horse = race.Horse(5);
    c.give(horse);
    Calculate(*day, 0);
    EXPECT_EQ(Marks(*day, 0, c.sign), Rows({{4, c.mark}, {13, c.mark}})) << c.name;
    EXPECT_EQ(day->Calc[0].RedFlag[4], 1) << c.name;
    EXPECT_EQ(day->Calc[0].RedFlag[5], 0) << c.name;
  }
}

TEST(RedSigns, AnAttributeOfTwoRunnersMarksNothing) {
  for (const UniqueCase& c : kUniqueCases) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, 9);
    HorseBuilder five = race.Horse(5);
    HorseBuilder six = race.Horse(6);
    c.give(five);
    c.give(six);
    Calculate(*day, 0);
    EXPECT_EQ(Marks(*day, 0, c.sign), NoRows()) << c.name;
  }
}

TEST(RedSigns, NearMissesMarkNothing) {
  const struct {
    const char* name;
    Sign sign;
    Give give;
  } cases[] = {
      {"symbol 13 is not in the Red1 list", Sign::Red1, [](HorseBuilder& h) { h.Symbol("13"); }},
      {"five years", Sign::Red3, [](HorseBuilder& h) { h.Age(5); }},
      {"ン is no voiced initial", Sign::Red4, [](HorseBuilder& h) { h.Name("ンジャメナ"); }},
      {"burden 550", Sign::Red5, [](HorseBuilder& h) { h.Burden("550"); }},
      {"small kana jockey", Sign::Red7, [](HorseBuilder& h) { h.JockeyName("ァイ"); }},
      {"apprentice 1", Sign::Red8, [](HorseBuilder& h) { h.Apprentice("1"); }},
      {"voiced is not semi-voiced", Sign::Red10, [](HorseBuilder& h) { h.Name("バーフェクト"); }},
  };
  for (const auto& c : cases) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, 9);
    HorseBuilder horse = race.Horse(5);
    c.give(horse);
    Calculate(*day, 0);
    EXPECT_EQ(Marks(*day, 0, c.sign), NoRows()) << c.name;
  }
}

TEST(RedSigns, TheOneRunnerWithSymbol07OfSixteenIsMarkedOnBothItsRows) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 16);
  race.Horse(15).Symbol("07");
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Red1), Rows({{0, "07"}, {16, "07"}}));
}

TEST(RedSigns, TheOneRunnerWithoutASymbolGetsCode00) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 12);
  for (int h = 1; h <= 11; ++h) race.Horse(h).Symbol(h % 2 ? "03" : "04");
  // Horse 12 keeps "00"; with 12 runners it stands on rows 5 and 17.
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Red1), Rows({{5, "00"}, {17, "00"}}));
}

// Jockey and trainer codes: horse 3 (rows 2 and 11 of nine runners) has a
// jockey and a trainer with no other runner that day; horse 4's jockey and
// trainer also run in the day's second race.
void OnlyOnceDay(RaceDay& day, std::string_view track) {
  RaceBuilder race(day, 0, 9);
  race.Track(track);
  race.Horse(3).Jockey("01002").Trainer("00502");
  race.Horse(4).Jockey("01003").Trainer("00503");
  RaceBuilder other(day, 1, 9);
  other.Horse(1).Jockey("01003").Trainer("00503");
}

TEST(RedSigns, OnlyRideAndOnlyRunnerOfTheDayOnAFlatRace) {
  auto day = RaceDay::Create();
  OnlyOnceDay(*day, "17");
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Red9), Rows({{2, "1回"}, {11, "1回"}}));
  EXPECT_EQ(Marks(*day, 0, Sign::Red11), Rows({{2, "1回"}, {11, "1回"}}));
}

TEST(RedSigns, AJumpRaceHasNoOnlyRideMarkButKeepsTheOnlyRunnerMark) {
  for (const char* track : {"51", "59"}) {
    auto day = RaceDay::Create();
    OnlyOnceDay(*day, track);
    Calculate(*day, 0);
    EXPECT_EQ(Marks(*day, 0, Sign::Red9), NoRows()) << track;
    EXPECT_EQ(Marks(*day, 0, Sign::Red11), Rows({{2, "1回"}, {11, "1回"}})) << track;
  }
}

}  // namespace
}  // namespace sorvix::test
