#include "analysis/name_text.h"

#include <gtest/gtest.h>

#include "codes/cp932.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

std::string Sj(std::string_view utf8) {
  return Cp932(utf8).bytes();
}

TEST(RemoveVoicedMarks, GivesTheUnvoicedKana) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"ガーネット", "カーネット"},
      {"パ", "ハ"},
      {"ヴィクトワールピサ", "ウィクトワールヒサ"},
      {"ザジズゼゾダヂヅデドバビブベボピプペポ", "サシスセソタチツテトハヒフヘホヒフヘホ"},
      {"ディープ　　", "ティーフ　　"},
      {"武豊ン", "武豊ン"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8Bytes(RemoveVoicedMarks(Sj(c.in))), c.out) << c.in;
}

TEST(RemoveVoicedMarks, ReadsTwoBytesAtATimeAndDropsAnOddLastByte) {
  EXPECT_EQ(RemoveVoicedMarks(Sj("ガ") + "A"), Sj("カ"));
  EXPECT_EQ(RemoveVoicedMarks("  "), "  ");
  EXPECT_EQ(RemoveVoicedMarks(""), "");
}

TEST(NameWindows, CountOnlyWhenCleanKeepsEveryCharacter) {
  const std::string name = Sj("アイ　ウ") + "  ";
  EXPECT_EQ(CharAt(name, 2), Sj("イ"));
  EXPECT_EQ(Window(name, 1, 2), Sj("アイ"));
  EXPECT_EQ(CleanWindow(name, 1, 2), Sj("アイ"));
  EXPECT_EQ(CleanWindow(name, 2, 2), "");  // イ and a full-width space
  EXPECT_EQ(CleanWindow(name, 4, 2), "");  // ウ and two blanks
  EXPECT_EQ(CleanWindow(name, 5, 1), "");  // past the name
  EXPECT_EQ(CleanWindow(name, 9, 1), "");  // past the text
  EXPECT_EQ(Clean(" " + Sj("ア　イ") + " "), Sj("アイ"));
}

TEST(KanaPredicates, FollowTheirCharacterLists) {
  EXPECT_TRUE(IsKatakanaLetter(Sj("ア")));
  EXPECT_TRUE(IsKatakanaLetter(Sj("ヴ")));
  EXPECT_TRUE(IsKatakanaLetter(Sj("ポ")));
  EXPECT_FALSE(IsKatakanaLetter(Sj("ァ")));
  EXPECT_FALSE(IsKatakanaLetter(Sj("ー")));
  EXPECT_FALSE(IsKatakanaLetter(Sj("武")));
  EXPECT_FALSE(IsKatakanaLetter(Sj("あ")));
  EXPECT_TRUE(IsVoicedKatakana(Sj("ガ")));
  EXPECT_TRUE(IsVoicedKatakana(Sj("ペ")));
  EXPECT_FALSE(IsVoicedKatakana(Sj("カ")));
  EXPECT_FALSE(IsVoicedKatakana(Sj("ン")));
  EXPECT_TRUE(IsSemiVoicedKatakana(Sj("プ")));
  EXPECT_FALSE(IsSemiVoicedKatakana(Sj("ブ")));
}

TEST(HasNoVoicedMark, LooksAtTheFirstTenCharacters) {
  EXPECT_TRUE(HasNoVoicedMark(Sj("サクラチヨノオー").substr(0, 14)));  // サクラチヨノオ
  EXPECT_FALSE(HasNoVoicedMark(Sj("サクラチヨノオー")));
  EXPECT_FALSE(HasNoVoicedMark(Sj("アイネスフウジン")));
  EXPECT_TRUE(HasNoVoicedMark(Sj("タイキシャトル")));
  EXPECT_TRUE(HasNoVoicedMark(Sj("アイアイアイアイアイガ")));  // the voiced kana is the 11th
}

TEST(CountLongVowels, CountsUpToTheTenthCharacter) {
  EXPECT_EQ(CountLongVowels(Sj("ーアーアーアーアー")), 5);
  EXPECT_EQ(CountLongVowels(Sj("アアアアアアアアアアーーー")), 0);
  EXPECT_EQ(CountLongVowels(Sj("アアアアアアアーーーーー")), 3);
}

TEST(ColourWords, TakeTheFirstWordOfTheListThatTheNameHolds) {
  EXPECT_EQ(Utf8Bytes(ColourWordIn(Sj("シロクロ"))), "シロ");
  EXPECT_EQ(Utf8Bytes(ColourWordIn(Sj("クロシロ"))), "シロ");  // list order, not name order
  EXPECT_EQ(Utf8Bytes(ColourWordIn(Sj("ゴールドシップ"))), "ゴールド");
  EXPECT_EQ(Utf8Bytes(ColourWordIn(Sj("エンジェル"))), "エンジ");
  EXPECT_EQ(ColourWordIn(Sj("ディープインパクト")), "");

  EXPECT_EQ(Utf8Bytes(BracketColourWordIn(Sj("ピンクカメオ"), 8)), "ピンク");
  EXPECT_EQ(BracketColourWordIn(Sj("ピンクカメオ"), 7), "");
  EXPECT_EQ(Utf8Bytes(BracketColourWordIn(Sj("クロシロ"), 2)), "クロ");
  EXPECT_EQ(BracketColourWordIn(Sj("ゴールドシップ"), 0), "");  // gold is no bracket colour
}

TEST(Contains, IsAByteSearchThatNeverFindsTheEmptyPiece) {
  EXPECT_TRUE(Contains(Sj("武井"), Sj("武")));
  EXPECT_FALSE(Contains(Sj("武井"), ""));
}

}  // namespace
}  // namespace sorvix
