#include <gtest/gtest.h>

#include "sign_test_support.h"
#include "support/race_day_builder.h"

namespace sorvix::test {
namespace {

// Nine runners: horse h stands on rows h - 1 and h + 8.
std::vector<std::string> RowsOfHorse(int horse, const char* mark) {
  return Rows({{horse - 1, mark}, {horse + 8, mark}});
}

TEST(GreenSigns, Green1TakesTheLastWindowSharedWithSireAndDam) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  // Without voiced marks: サクラハクシンオー / サクラユタカオー / サクラハコロモ;
  // サク and クラ are shared with both, クラ comes later.
  race.Horse(2).Name("サクラバクシンオー").Sire("サクラユタカオー").Dam("サクラハゴロモ");
  race.Horse(3).Name("サクラバクシンオー").Sire("サクラユタカオー").Dam("ハゴロモ");
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Green1), RowsOfHorse(2, "クラ"));
}

TEST(GreenSigns, Green1ComparesTheNamesWithoutVoicedMarks) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  race.Horse(1).Name("ガイア").Sire("カイザー").Dam("アカイ");
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Green1), RowsOfHorse(1, "カイ"));
}

TEST(GreenSigns, Green2CountsSharedNameCharactersOfJockeyAndTrainer) {
  const struct {
    const char* jockey;
    const char* trainer;
    const char* mark;
  } cases[] = {
      {"武豊", "武井", ""},  // one shared character is not enough
      {"武田豊", "武田", "漢2"},
      {"田中勝春", "田中春勝", "漢4"},
      {"藤田", "田中", ""},
  };
  for (const auto& c : cases) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, 9);
    race.Horse(4).JockeyName(c.jockey).Trainer("00001", c.trainer);
    Calculate(*day, 0);
    EXPECT_EQ(Marks(*day, 0, Sign::Green2)[3], c.mark) << c.jockey << " / " << c.trainer;
  }
}

TEST(GreenSigns, Green2ThreeSharedReadingCharactersMarkReadingOverKanji) {
  const struct {
    const char* jockeyKana;
    const char* trainerKana;
    const char* mark;
  } cases[] = {
      {"ﾀｹ ﾕﾀｶ", "ﾕﾀｶ ｼﾞﾛｳ", "読み"},
      {"ｶﾞﾝﾊﾞ ﾀﾛｳ", "ｶﾞﾝﾊﾞﾙ", "読み"},  // ｶﾞ becomes one character ガ
      {"ﾀｹ ﾕﾀｶ", "ﾀｹ ﾕﾀ", "漢2"},       // ﾀｹ and ﾕﾀ are two characters each
  };
  for (const auto& c : cases) {
    auto day = RaceDay::Create();
    RaceBuilder race(*day, 0, 9);
    race.Horse(4)
        .JockeyName("武田豊")
        .Trainer("00001", "武田")
        .JockeyKana(c.jockeyKana)
        .TrainerKana(c.trainerKana);
    Calculate(*day, 0);
    EXPECT_EQ(Marks(*day, 0, Sign::Green2)[3], c.mark) << c.jockeyKana << " / " << c.trainerKana;
  }
}

TEST(GreenSigns, Green3MarksBothHorsesThatShareThreeCharacters) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  race.Horse(1).Name("サクラチヨノオー");
  race.Horse(5).Name("アイサクラ");
  race.Horse(7).Name("サクアイ");  // two characters only
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Green3),
            Rows({{0, "サクラ"}, {9, "サクラ"}, {4, "サクラ"}, {13, "サクラ"}}));
}

TEST(GreenSigns, Green3NeverMatchesAHorseWithItsOwnRepeatedRows) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  race.Horse(1).Name("サクラチヨノオー");
  Calculate(*day, 0);
  EXPECT_EQ(Marks(*day, 0, Sign::Green3), NoRows());
}

TEST(GreenSigns, Green4And5CompareTheNameWithTheFirstKanaOfTheReadings) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  race.Horse(1).Name("タイキシャトル").JockeyKana("ﾀｹ ﾕﾀｶ").TrainerKana("ﾌｼﾞｻﾜ");
  race.Horse(2).Name("ガーネット").JockeyKana("ｶﾞｰﾄﾞ").TrainerKana("ｶﾜﾀﾞ");  // ｶ of ｶﾞ
  race.Horse(3).Name("アイ").JockeyKana("ﾀｹ").TrainerKana("ｲｲ");
  Calculate(*day, 0);
  auto green4 = Marks(*day, 0, Sign::Green4);
  auto green5 = Marks(*day, 0, Sign::Green5);
  EXPECT_EQ(green4[0], "タ");
  EXPECT_EQ(green4[1], "カ");
  EXPECT_EQ(green4[2], "");
  EXPECT_EQ(green5[0], "");
  EXPECT_EQ(green5[1], "カ");
  EXPECT_EQ(green5[2], "");
  EXPECT_EQ(green4[9], "タ");
}

TEST(GreenSigns, Green6NeedsTheColourOfTheHorsesOwnBracket) {
  auto day = RaceDay::Create();
  RaceBuilder race(*day, 0, 9);
  race.Horse(8).Bracket(8).Name("ピンクカメオ");
  race.Horse(7).Bracket(7).Name("モモイロ");  // pink, but bracket 7 is orange
  race.Horse(1).Bracket(1).Name("シロクロ");
  Calculate(*day, 0);
  auto green6 = Marks(*day, 0, Sign::Green6);
  EXPECT_EQ(green6[7], "ピンク");
  EXPECT_EQ(green6[6], "");
  EXPECT_EQ(green6[0], "シロ");
  EXPECT_EQ(day->Calc[0].GreenFlag[7], 1);
  EXPECT_EQ(day->Calc[0].GreenFlag[6], 0);
}

}  // namespace
}  // namespace sorvix::test
