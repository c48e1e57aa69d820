#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "codes/cp932.h"
#include "shared_feed.h"
#include "tests/support/cp932_bytes.h"
#include "tools/feedgen/fixed_record.h"
#include "tools/feedgen/kana.h"
#include "tools/feedgen/race_sim.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen::test {
namespace {

TEST(FixedRecordTest, WritesEachFillAndEndsWithCrLf) {
  FixedRecord r(24);
  r.Num(1, 3, 7).Zeros(4, 2).Blanks(6, 2).Text(8, 4, "AB").Right(12, 4, "1.5");
  r.Wide(16, 4, "馬"_sj).Mixed(20, 3, "X");
  EXPECT_EQ(r.Finish(),
            "007"
            "00"
            "  "
            "AB  "
            " 1.5" +
                "馬"_sj + "\x81\x40" +
                "X  "
                "\r\n");
}

TEST(FixedRecordTest, MixedFillPadsFullWidthTextWithFullWidthBlanks) {
  FixedRecord r(9);
  r.Mixed(1, 7, "ア"_sj);
  EXPECT_EQ(r.Finish(), "ア"_sj + "\x81\x40\x81\x40 \r\n");
}

TEST(FixedRecordTest, RefusesFieldsThatDoNotFitAndUnwrittenBytes) {
  FixedRecord r(6);
  EXPECT_THROW(r.Num(1, 2, 100), std::logic_error);
  EXPECT_THROW(r.Num(1, 2, -1), std::logic_error);
  EXPECT_THROW(r.Raw(3, "abc"), std::logic_error);
  r.Raw(1, "ab");
  EXPECT_THROW(r.Finish(), std::logic_error);
  // Text longer than its field is cut at a character boundary.
  FixedRecord cut(5);
  cut.Text(1, 3, "ア"_sj + "イ"_sj);
  EXPECT_EQ(cut.Finish(), "ア"_sj + " \r\n");
}

TEST(BracketTest, AssignsBracketsTheJraWay) {
  struct Case {
    int runners;
    std::vector<int> brackets;
  };
  const Case cases[] = {
      {4, {1, 2, 3, 4}},
      {8, {1, 2, 3, 4, 5, 6, 7, 8}},
      {9, {1, 2, 3, 4, 5, 6, 7, 8, 8}},
      {10, {1, 2, 3, 4, 5, 6, 7, 7, 8, 8}},
      {16, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8}},
      {17, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 8}},
      {18, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7, 8, 8, 8}},
  };
  for (const Case& c : cases) {
    std::vector<int> got;
    for (int n = 1; n <= c.runners; ++n) got.push_back(BracketOf(n, c.runners));
    EXPECT_EQ(got, c.brackets) << c.runners << " runners";
  }
}

TEST(KanaTest, HalfWidthFormsKeepVoicedMarksAsSecondCharacter) {
  EXPECT_EQ(Cp932(HalfWidthKana("ガーネット・パール")).bytes(), "ｶﾞｰﾈｯﾄ･ﾊﾟｰﾙ"_sj);
  EXPECT_EQ(CharCount("スーパー"), 4);
}

TEST(FeedRecordsTest, EveryRecordHasItsTypesLengthEndsWithCrLfAndIsCp932) {
  // The odds and vote-count records with the lengths of their layouts; O6
  // and H6 are longer than the acquisition's buffer.
  const std::map<std::string, size_t> lengths = {
      {"RA", kRaBytes}, {"SE", kSeBytes}, {"HR", kHrBytes}, {"UM", kUmBytes}, {"KS", kKsBytes},
      {"CH", kChBytes}, {"O1", 962},      {"O2", 2042},     {"O3", 2654},     {"O4", 4031},
      {"O5", 12293},    {"O6", 83285},    {"H1", 28955},    {"H6", 102890}};
  std::map<std::string, int> seen;
  for (const FeedFile& f : Feed().files) {
    ASSERT_FALSE(f.records.empty()) << f.name;
    for (const std::string& r : f.records) {
      std::string type = r.substr(0, 2);
      auto it = lengths.find(type);
      ASSERT_NE(it, lengths.end()) << f.name << ": record type " << type;
      ASSERT_EQ(r.size(), it->second) << f.name << ": " << r.substr(0, 27);
      ASSERT_EQ(r.substr(r.size() - 2), "\r\n") << f.name;
      ASSERT_EQ(r.find_first_of("\r\n"), r.size() - 2)
          << f.name << ": line end inside " << r.substr(0, 27);
      ASSERT_TRUE(IsValidCp932(r))
          << f.name << ": " << Utf8Bytes(Cp932View::FromBytes(r.substr(0, 100)));
      ++seen[type];
    }
  }
  for (const auto& [type, length] : lengths) {
    EXPECT_GT(seen[type], 0) << type;
  }
}

// A horse name is 2 to 9 full-width katakana (the long-vowel mark included).
bool KatakanaName(std::string_view field, std::string* plain) {
  std::string utf8 = Utf8Bytes(TrimRight(field));
  while (utf8.size() >= 3 && utf8.substr(utf8.size() - 3) == "　") utf8.resize(utf8.size() - 3);
  std::vector<std::string> chars = Utf8Chars(utf8);
  if (chars.size() < 2 || chars.size() > 9) return false;
  for (const std::string& c : chars) {
    if (c.size() != 3) return false;
    unsigned cp = ((c[0] & 0x0F) << 12) | ((c[1] & 0x3F) << 6) | (c[2] & 0x3F);
    if (cp < 0x30A1 || cp > 0x30FC) return false;
  }
  *plain = utf8;
  return true;
}

TEST(FeedRecordsTest, HorseNamesAreKatakanaOfTwoToNineCharactersWithTheirVariety) {
  std::set<std::string> names;
  int voiced = 0, longVowels = 0, colour = 0, semiVoicedStart = 0, shortName = 0;
  for (const std::string& r : Feed().Find("SE", '7')) {
    std::string name;
    ASSERT_TRUE(KatakanaName(Field(r, 41, 36), &name)) << Utf8Bytes(Field(r, 41, 36));
    if (!names.insert(name).second) continue;
    std::vector<std::string> chars = Utf8Chars(name);
    if (IsVoicedKana(chars[0])) ++voiced;
    if (std::count(chars.begin(), chars.end(), "ー") >= 3) ++longVowels;
    if (name.find("ホワイト") != std::string::npos || name.find("クロ") != std::string::npos ||
        name.find("レッド") != std::string::npos || name.find("ミドリ") != std::string::npos ||
        name.find("ピンク") != std::string::npos)
      ++colour;
    if (std::string("パピプペポ").find(chars[0]) != std::string::npos) ++semiVoicedStart;
    if (chars.size() <= 4) ++shortName;
  }
  EXPECT_GT(names.size(), 2000u);
  EXPECT_GT(voiced, 20);
  EXPECT_GT(longVowels, 5);
  EXPECT_GT(colour, 20);
  EXPECT_GT(semiVoicedStart, 20);
  EXPECT_GT(shortName, 20);
}

TEST(FeedRecordsTest, RaceFieldsUseTheCodeTables) {
  std::set<char> grades;
  std::set<int> classes, rules, tracks;
  for (const std::string& r : Feed().Find("RA", '7')) {
    grades.insert(r[614]);
    classes.insert(N(r, 635, 3));
    rules.insert(N(r, 622, 1));
    tracks.insert(N(r, 706, 2));
    EXPECT_GE(N(r, 882, 2), 1);
    EXPECT_LE(N(r, 882, 2), 18);
    int start = N(r, 874, 4);
    EXPECT_GE(start, 950);
    EXPECT_LE(start, 1645);
  }
  for (char g : {' ', 'E'}) {
    EXPECT_TRUE(grades.count(g)) << g;
  }
  EXPECT_TRUE(grades.count('B') || grades.count('C')) << "graded races";
  for (int c : {5, 10, 16, 703, 999}) {
    EXPECT_TRUE(classes.count(c)) << c;
  }
  for (int w : {1, 2, 3, 4}) {
    EXPECT_TRUE(rules.count(w)) << w;
  }
  EXPECT_TRUE(std::any_of(tracks.begin(), tracks.end(), [](int t) { return t >= 51 && t <= 59; }))
      << "jump races";
  EXPECT_TRUE(tracks.count(23) || tracks.count(24)) << "dirt";
}

}  // namespace
}  // namespace sorvix::feedgen::test
