#include <gtest/gtest.h>

#include <functional>

#include "sign_test_support.h"
#include "support/race_day_builder.h"

namespace sorvix::test {
namespace {

// One runner (horse 1 of nine, ring rows 0 and 9) given the attribute; the
// mark expected on its rows ("" = none).
TEST(OrangeSigns, MarkTheRunnersOwnSymbolAndNameShape) {
  const struct {
    const char* name;
    Sign sign;
    std::function<void(HorseBuilder&)> give;
    const char* mark;
  } cases[] = {
      {"symbol 21", Sign::Orange1, [](HorseBuilder& h) { h.Symbol("21"); }, "21"},
      {"symbol 25", Sign::Orange1, [](HorseBuilder& h) { h.Symbol("25"); }, "25"},
      {"symbol 20", Sign::Orange1, [](HorseBuilder& h) { h.Symbol("20"); }, ""},
      {"symbol 26", Sign::Orange2, [](HorseBuilder& h) { h.Symbol("26"); }, "26"},
      {"symbol 27", Sign::Orange2, [](HorseBuilder& h) { h.Symbol("27"); }, "27"},
      {"symbol 25 is not Orange2", Sign::Orange2, [](HorseBuilder& h) { h.Symbol("25"); }, ""},
      {"ten characters", Sign::Orange3, [](HorseBuilder& h) { h.Name("アイウエオカキクケコ"); },
       "10"},
      {"nine characters", Sign::Orange3, [](HorseBuilder& h) { h.Name("アイウエオカキクケ"); }, ""},
      {"one character", Sign::Orange4, [](HorseBuilder& h) { h.Name("ア"); }, ""},
      {"two characters", Sign::Orange4, [](HorseBuilder& h) { h.Name("アイ"); }, "2"},
      {"four characters", Sign::Orange4, [](HorseBuilder& h) { h.Name("アイウエ"); }, "4"},
      {"five characters", Sign::Orange4, [](HorseBuilder& h) { h.Name("アイウエオ"); }, ""},
      {"no voiced mark", Sign::Orange5, [](HorseBuilder& h) { h.Name("サクラ"); }, "0"},
      {"ン counts as a mark", Sign::Orange5, [](HorseBuilder& h) { h.Name("サクラン"); }, ""},
      {"ー counts as a mark", Sign::Orange5, [](HorseBuilder& h) { h.Name("サクラオー"); }, ""},
      {"voiced kana", Sign::Orange5, [](HorseBuilder& h) { h.Name("サクラバ"); }, ""},
      {"five ー", Sign::Orange6, [](HorseBuilder& h) { h.Name("アーアーアーアーアー"); }, "5"},
      {"two ー", Sign::Orange6, [](HorseBuilder& h) { h.Name("アーアーアイ"); }, ""},
      {"ー past the tenth character", Sign::Orange6,
       [](HorseBuilder& h) { h.Name("アイウエオカキーーーーー"); }, "3"},
      {"colour word", Sign::Orange7, [](HorseBuilder& h) { h.Name("ゴールドシップ"); }, "ゴールド"},
      {"no colour word", Sign::Orange7, [](HorseBuilder& h) { h.Name("ディープインパクト"); }, ""},
  };
  for (const auto& c : cases) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, 9);
    race.Horse(2).Name("ガーベラガーデン");  // a name no orange rule marks
    HorseBuilder horse = race.Horse(1);
    c.give(horse);
    Calculate(*day, 0);
    auto marks = Marks(*day, 0, c.sign);
    EXPECT_EQ(marks[0], c.mark) << c.name;
    EXPECT_EQ(marks[9], c.mark) << c.name;
    EXPECT_EQ(marks[1], "") << c.name;
    EXPECT_EQ(day->Calc[0].OrangeFlag[1], 0) << c.name;
    if (*c.mark) {
      EXPECT_EQ(day->Calc[0].OrangeFlag[0], 1) << c.name;
    }
  }
}

// With three runners, ring rows 9..17 name horses 4..12, which do not run:
// their rows are blank and get no mark or sum, though a blank name holds no
// voiced mark.
TEST(OrangeSigns, RowsOfHorsesThatDoNotRunStayUnmarked) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 3);
  race.StartTime("1501");
  race.Horse(1).Name("サクラ");
  race.Horse(2).Name("ガーベラ");
  race.Horse(3).Name("バラ");
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Orange5), Rows({{0, "0"}, {3, "0"}, {6, "0"}}));
  for (int k = 9; k < kRingRows; ++k) EXPECT_EQ(day->Calc[0].SignSum[k], 0) << k;
}

}  // namespace
}  // namespace sorvix::test
