#include "codes/code_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "codes/cp932.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

struct Case {
  std::string in;
  std::string out;
};

TEST(PadNumber, RightAlignsTheNumberInTheFieldWidth) {
  const std::vector<Case> cases = {
      {"05", " 5"}, {"12", "12"},   {"00", "  "},   {"  ", "  "},
      {"0", " "},   {"", ""},       {"007", "  7"}, {"1234", "1234"},
      {"-5", "-5"}, {"7a", " 7"},   {"+3", " 3"},   {"ab", "  "},
      {"9", "9"},   {" 05", "  5"}, {"+99", " 99"}, {"-123", "-123"},
  };
  for (const Case& c : cases) EXPECT_EQ(PadNumber(c.in), c.out) << "[" << c.in << "]";
}

TEST(OverwriteAt, WritesThePieceOverTheText) {
  struct OCase {
    std::string text, piece;
    int pos;
    std::string out;
  };
  const std::vector<OCase> cases = {
      {"ABCDEF", "xy", 1, "xyCDEF"},   {"ABCDEF", "xy", 3, "ABxyEF"},
      {"ABCDEF", "xy", 5, "ABCDxy"},   {"ABCDEF", "xy", 6, "ABCDExy"},
      {"ABCDEF", "xy", 7, "ABCDEFxy"}, {"ABCDEF", "xy", 20, "ABCDEFxy"},
      {"ABCDEF", "", 3, "ABCDEF"},     {"", "xy", 1, "xy"},
      {"ABCDEF", "xy", 0, "xyCDEF"},
  };
  for (const OCase& c : cases) EXPECT_EQ(OverwriteAt(c.text, c.piece, c.pos), c.out) << c.pos;
}

TEST(VenueName, EveryCodeGivesFourBytes) {
  const std::vector<Case> cases = {
      {"05", "東京"_sj}, {"01", "札幌"_sj}, {"32", "岩見"_sj}, {"40", "宇都"_sj}, {"48", "名古"_sj},
      {"49", "紀三"_sj}, {"58", "札幌"_sj}, {"59", "函館"_sj}, {"60", "新潟"_sj}, {"61", "中京"_sj},
      {"A4", "アメ"_sj}, {"B4", "ニュ"_sj}, {"I4", "チェ"_sj}, {"I6", "チェ"_sj}, {"K8", "キプ"_sj},
      {"C5", "オマ"_sj}, {"F1", "中国"_sj}, {"A0", "他外"_sj}, {"C7", "ア首"_sj}, {"H0", "西独"_sj},
      {"M2", "澳門"_sj}, {"M4", "墺国"_sj}, {"M6", "約  "_sj}, {"M8", "華  "_sj}, {"N2", "バレ"_sj},
      {"C4", "    "},    {"F4", "    "},    {"F6", "    "},    {"G4", "    "},    {"G6", "    "},
      {"G8", "    "},    {"7", "    "},     {"", "    "},      {"11", "    "},    {"62", "    "},
      {"05 ", "    "},   {"a4", "    "},    {"Z9", "    "},
  };
  for (const Case& c : cases) {
    std::string got = VenueName(c.in).bytes();
    EXPECT_EQ(got, c.out) << "[" << c.in << "] " << Utf8Bytes(got);
    EXPECT_EQ(got.size(), 4u) << c.in;
  }
}

TEST(VenueShortName, JraLocalAbroadOrBlank) {
  const std::vector<Case> cases = {
      {"01", "札幌  "_sj}, {"05", "東京  "_sj}, {"10", "小倉  "_sj}, {"30", "地方  "_sj},
      {"48", "地方  "_sj}, {"61", "地方  "_sj}, {"K8", "海外  "_sj}, {"A0", "海外  "_sj},
      {"C4", "海外  "_sj}, {"G8", "海外  "_sj}, {"N2", "海外  "_sj}, {"C5", "      "},
      {"11", "      "},    {"29", "      "},    {"62", "      "},    {"5", "      "},
      {"", "      "},      {"Z0", "      "},
  };
  for (const Case& c : cases) {
    std::string got = VenueShortName(c.in).bytes();
    EXPECT_EQ(got, c.out) << "[" << c.in << "] " << Utf8Bytes(got);
    EXPECT_EQ(got.size(), 6u) << c.in;
  }
}

TEST(GradeText, FiveBytesForEveryCode) {
  const std::string none = "\x81\x40\x81\x40 ";
  const std::vector<Case> cases = {
      {"A", "G1   "}, {"B", "G2   "}, {"C", "G3   "}, {"D", "重賞 "_sj}, {"E", "特別 "_sj},
      {"F", "JG1  "}, {"G", "JG2  "}, {"H", "JG3  "}, {"L", "List "},    {"", none},
      {" ", none},    {"a", none},    {"AB", none},   {"I", none},
  };
  for (const Case& c : cases) {
    std::string got = GradeText(c.in).bytes();
    EXPECT_EQ(got, c.out) << "[" << c.in << "]";
    EXPECT_EQ(got.size(), 5u) << c.in;
  }
}

TEST(WeightRuleText, ExactCodesOnly) {
  EXPECT_EQ(WeightRuleText("1").bytes(), "\xCA\xDD\xC3\xDE");  // ﾊﾝﾃﾞ
  EXPECT_EQ(WeightRuleText("2").bytes(), "別定"_sj);
  EXPECT_EQ(WeightRuleText("4").bytes(), "定量"_sj);
  for (const char* code : {"0", "5", "01", " 1", ""})
    EXPECT_EQ(WeightRuleText(code).bytes(), "") << code;
}

TEST(HorseSymbolText, MarksAndGaps) {
  const std::vector<Case> cases = {
      {"01", "(抽)"_sj},         {"1", "(抽)"_sj},  {"02", "[抽]"_sj},
      {"12", "(父)(市)(地)"_sj}, {"15", "(招)"_sj}, {"19", "(招)(父)(市)"_sj},
      {"27", "(父)[外]"_sj},     {"31", "(特)"_sj}, {"40", "(父)(外)(地)"_sj},
      {"41", "(父)(外)[地]"_sj}, {" 5", "(地)"_sj},
  };
  for (const Case& c : cases) EXPECT_EQ(HorseSymbolText(c.in).bytes(), c.out) << "[" << c.in << "]";
  for (const char* gap : {"00", "", "13", "14", "28", "29", "30", "32", "39", "42", "99", "-1"})
    EXPECT_EQ(HorseSymbolText(gap).bytes(), "\x81\x40") << "[" << gap << "]";
}

TEST(BracketCombo, LabelsAndIndexes) {
  EXPECT_EQ(BracketComboIndex(" 1- 1"), 1);
  EXPECT_EQ(BracketComboIndex(" 1- 8"), 8);
  EXPECT_EQ(BracketComboIndex(" 2- 2"), 9);
  EXPECT_EQ(BracketComboIndex(" 8- 8"), 36);
  for (const char* other : {"1-1", " 1-1", " 2- 1", " 0- 0", " 1- 9", "", " 1- 1 "})
    EXPECT_EQ(BracketComboIndex(other), 0) << "[" << other << "]";

  const std::vector<std::pair<int, std::string>> labels = {
      {1, " 1- 2"}, {9, " 1-10"}, {17, " 1-18"}, {18, " 2- 3"}, {152, "16-18"}, {153, "17-18"}};
  for (const auto& [index, label] : labels) EXPECT_EQ(QuinellaComboLabel(index), label) << index;
  EXPECT_EQ(QuinellaComboLabel(0), "");
  EXPECT_EQ(QuinellaComboLabel(154), "");
}

TEST(BracketCombo, EveryQuinellaPairOfBracketNumbersFindsItsBracketIndex) {
  // The pairs with both numbers up to 8 are exactly the bracket pairs with
  // different numbers; the others have no bracket index.
  std::set<int> seen;
  for (int i = 1; i <= 153; ++i) {
    std::string label = QuinellaComboLabel(i);
    ASSERT_EQ(label.size(), 5u) << i;
    int a = std::stoi(label.substr(0, 2));
    int b = std::stoi(label.substr(3, 2));
    ASSERT_LT(a, b) << label;
    int bracket = BracketComboIndex(label);
    if (b <= 8) {
      EXPECT_GT(bracket, 0) << label;
      seen.insert(bracket);
    } else {
      EXPECT_EQ(bracket, 0) << label;
    }
  }
  EXPECT_EQ(seen.size(), 28u);  // 36 bracket pairs less the 8 pairs of a bracket with itself
}

TEST(CircledNumber, OneToEighteenElseDash) {
  EXPECT_EQ(CircledNumber(1).bytes(), "①"_sj);
  EXPECT_EQ(CircledNumber(1).bytes(), "\x87\x40");
  EXPECT_EQ(CircledNumber(10).bytes(), "⑩"_sj);
  EXPECT_EQ(CircledNumber(18).bytes(), "⑱"_sj);
  for (int n : {0, 19, 20, -1}) EXPECT_EQ(CircledNumber(n).bytes(), "\x81\x7C") << n;
  EXPECT_EQ(CircledNumberText("18").bytes(), "⑱"_sj);
  EXPECT_EQ(CircledNumberText("03").bytes(), "③"_sj);
  EXPECT_EQ(CircledNumberText(" 3").bytes(), "③"_sj);
  for (const char* t : {"00", "", "19", "-3", "x"})
    EXPECT_EQ(CircledNumberText(t).bytes(), "\x81\x7C") << t;
}

TEST(RaceClassText, NumberMatch) {
  const std::vector<Case> cases = {
      {"005", "1勝ｸﾗｽ"_sj},
      {"5", "1勝ｸﾗｽ"_sj},
      {"010", "2勝ｸﾗｽ"_sj},
      {"016", "3勝ｸﾗｽ"_sj},
      {"100", "1億下"_sj},
      {"701", "新馬"_sj},
      {"702", "未出走"_sj},
      {"703", "未勝利"_sj},
      {"999", "オープン"_sj},
      {"000", ""},
      {"", ""},
      {"004", ""},
      {"700", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RaceClassText(c.in).bytes(), c.out) << "[" << c.in << "]";
  EXPECT_EQ(RaceClassText("005").bytes().size(), 6u);
}

TEST(TrackText, RangesOfTrackCodes) {
  const std::vector<Case> cases = {
      {"10", "芝直"_sj}, {"11", "芝左"_sj}, {"16", "芝左"_sj}, {"17", "芝右"_sj}, {"22", "芝右"_sj},
      {"23", "ダ左"_sj}, {"24", "ダ右"_sj}, {"29", "ダ直"_sj}, {"51", "障害"_sj}, {"59", "障害"_sj},
      {"25", ""},        {"28", ""},        {"09", ""},        {"30", ""},        {"50", ""},
      {"60", ""},        {"00", ""},        {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TrackText(c.in).bytes(), c.out) << "[" << c.in << "]";
}

TEST(GenderAndSex, ExactCodes) {
  EXPECT_EQ(GenderText("1").bytes(), "男"_sj);
  EXPECT_EQ(GenderText("2").bytes(), "女"_sj);
  EXPECT_EQ(GenderText("01").bytes(), "\x81\x40");
  EXPECT_EQ(GenderText("").bytes(), "\x81\x40");
  EXPECT_EQ(HorseSexText("1").bytes(), "牡"_sj);
  EXPECT_EQ(HorseSexText("2").bytes(), "牝"_sj);
  EXPECT_EQ(HorseSexText("3").bytes(), "\xBE\xDD");  // ｾﾝ
  EXPECT_EQ(HorseSexText("4").bytes(), "");
  EXPECT_EQ(HorseSexText(" 1").bytes(), "");
}

TEST(VenueByIndex, SystemVenueOrder) {
  const std::vector<Case> cases = {
      {"0", "京都"_sj}, {"", "京都"_sj},   {"1", "阪神"_sj},  {"2", "中京"_sj},  {"3", "小倉"_sj},
      {"4", "東京"_sj}, {"5", "中山"_sj},  {"6", "福島"_sj},  {"7", "新潟"_sj},  {"8", "札幌"_sj},
      {"9", "函館"_sj}, {"09", "函館"_sj}, {"10", "ｿﾉ他"_sj}, {"-1", "ｿﾉ他"_sj}, {"99", "ｿﾉ他"_sj},
  };
  for (const Case& c : cases) {
    std::string got = VenueByIndex(c.in).bytes();
    EXPECT_EQ(got, c.out) << "[" << c.in << "]";
    EXPECT_EQ(got.size(), 4u) << c.in;
  }
}

TEST(StripWideSpaces, RemovesOnlyWholeWideSpaces) {
  EXPECT_EQ(StripWideSpaces("田中　太郎 "_sj), "田中太郎 "_sj);
  // 8A 81 40 holds the bytes 81 40, but they are the trail byte of 8A 81
  // and the ASCII "@": nothing is removed.
  EXPECT_EQ(StripWideSpaces("\x8A\x81\x40"), "\x8A\x81\x40");
  EXPECT_EQ(StripWideSpaces("\x81\x40\x81\x40"), "");
  EXPECT_EQ(StripWideSpaces("ab\x81"), "ab\x81");
  EXPECT_EQ(StripWideSpaces(""), "");
}

}  // namespace
}  // namespace sorvix
