#include <gtest/gtest.h>

#include <map>
#include <set>

#include "codes/cp932.h"
#include "shared_feed.h"
#include "tests/support/cp932_bytes.h"
#include "tools/feedgen/calendar.h"
#include "tools/feedgen/kana.h"
#include "tools/feedgen/race_program.h"

namespace sorvix::feedgen::test {
namespace {

TEST(ShowcaseTest, TheDemoEndsWithTwoThreeVenueDaysAndATwoVenueDay) {
  FeedOptions demo = DemoOptions("unused");
  CalendarPlan plan;
  plan.from = demo.from;
  plan.feedDays = demo.days;
  std::vector<MeetingDay> feedDays;
  for (const Weekend& w : BuildCalendar(plan))
    if (w.role == WeekendRole::kFeed) feedDays.insert(feedDays.end(), w.days.begin(), w.days.end());
  ASSERT_EQ(static_cast<int>(feedDays.size()), demo.days);
  ASSERT_EQ(feedDays.back().date, (Date{2024, 6, 22}));
  std::vector<size_t> venues;
  for (size_t i = feedDays.size() - 3; i < feedDays.size(); ++i)
    venues.push_back(feedDays[i].venues.size());
  EXPECT_EQ(venues, (std::vector<size_t>{3, 3, 2}));
}

TEST(ShowcaseTest, MeetingNumbersAdvanceThroughTheSeason) {
  // Day numbers run 1 … 8 within a meeting; a venue's meeting number grows.
  std::map<int, std::pair<int, int>> last;  // venue → (kai, day)
  for (Date d{2024, 1, 6}; d < Date{2024, 12, 28}; d = d.Plus(1)) {
    MeetingDay day = MeetingOn(d);
    EXPECT_TRUE(day.venues.empty() || day.venues.size() == 2 || day.venues.size() == 3) << d.Iso();
    for (const VenueDay& v : day.venues) {
      EXPECT_GE(v.day, 1);
      EXPECT_LE(v.day, 8);
      auto it = last.find(v.venue);
      if (it != last.end()) {
        EXPECT_TRUE(v.kai > it->second.first ||
                    (v.kai == it->second.first && v.day > it->second.second))
            << d.Iso();
      }
      last[v.venue] = {v.kai, v.day};
    }
  }
  EXPECT_EQ(last.size(), 10u) << "every venue code 01-10 holds meetings";
}

TEST(ShowcaseTest, EveryShowcaseDayHoldsEveryAwkwardFieldSizeAndInterleavedPostTimes) {
  ASSERT_EQ(Feed().summary.showcaseDays.size(), 3u);
  std::vector<std::string> cards = Feed().Find("RA", '2');
  for (const Date& day : Feed().summary.showcaseDays) {
    std::multiset<int> counts;
    std::vector<std::pair<int, std::string>> byTime;
    int changed = 0;
    for (const std::string& ra : cards) {
      if (F(ra, 12, 8) != day.Ymd()) continue;
      counts.insert(N(ra, 882, 2));
      byTime.push_back({N(ra, 874, 4), F(ra, 20, 2)});
      if (N(ra, 878, 4) > 0) {
        ++changed;
        EXPECT_GT(N(ra, 874, 4), N(ra, 878, 4));
      }
    }
    EXPECT_EQ(counts.size(), day == Feed().summary.showcaseDays.back() ? 24u : 36u) << day.Iso();
    for (int n : ShowcaseRunnerCounts())
      EXPECT_TRUE(counts.count(n)) << day.Iso() << ": " << n << " runners";
    EXPECT_GT(changed, 0) << day.Iso();
    std::sort(byTime.begin(), byTime.end());
    EXPECT_EQ(byTime.front().first, 950);
    EXPECT_LE(byTime.back().first, 1630);
    std::set<std::string> firstVenues;
    for (size_t i = 0; i < byTime.size() / 12; ++i) firstVenues.insert(byTime[i].second);
    EXPECT_EQ(firstVenues.size(), byTime.size() / 12)
        << day.Iso() << ": the first races of the day are at different venues";
  }
}

TEST(ShowcaseTest, EveryShowcaseDayHasADeadHeatAndASameBracketFirstTwo) {
  for (const Date& day : Feed().summary.showcaseDays) {
    int deadHeats = 0, sameBracket = 0;
    for (const std::string& se : Feed().Find("SE", '7'))
      if (F(se, 12, 8) == day.Ymd() && se[336] == '1') ++deadHeats;
    for (const std::string& hr : Feed().Find("HR", '2'))
      if (F(hr, 12, 8) == day.Ymd() && hr[206] == hr[207] && hr[206] != ' ' && hr[206] != '0')
        ++sameBracket;
    EXPECT_GE(deadHeats, 2) << day.Iso();
    EXPECT_GE(sameBracket, 1) << day.Iso();
  }
}

// What the signs look for shows up on the showcase days: the rarer
// ingredients the generator puts there on purpose.
TEST(ShowcaseTest, TheIngredientsOfTheSignsOccurOnTheShowcaseDays) {
  std::set<std::string> days;
  for (const Date& d : Feed().summary.showcaseDays) days.insert(d.Ymd());
  std::map<std::string, std::string> sires, dams;
  for (const FeedFile& f : Feed().files)
    for (const std::string& r : f.records)
      if (r.compare(0, 2, "UM") == 0) {
        sires[F(r, 12, 10)] = Utf8Bytes(Field(r, 215, 36));
        dams[F(r, 12, 10)] = Utf8Bytes(Field(r, 261, 36));
      }
  std::set<std::string> women;
  for (const std::string& ks : Feed().Find("KS", '1'))
    if (ks[227] == '2') women.insert(F(ks, 12, 5));
  std::map<std::string, int> found;
  for (const std::string& se : Feed().Find("SE", '2')) {
    if (!days.count(F(se, 12, 8))) continue;
    std::string name = Utf8Bytes(TrimRight(Field(se, 41, 36)));
    std::string rider = Utf8Bytes(Field(se, 307, 2));
    std::string symbol = F(se, 77, 2);
    if (std::string("アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラ"
                    "リルレロワヴ")
            .find(rider) != std::string::npos)
      ++found["rider with a katakana short name"];
    if (women.count(F(se, 297, 5))) ++found["woman rider"];
    if (se[322] == '3') ++found["apprentice ▲"];
    if (se[290] == '5') ++found["half-kilogram burden"];
    if (symbol >= "21" && symbol <= "27") ++found["horse symbol 21-27"];
    if (symbol != "00") ++found["horse symbol"];
    if (std::string("パピプペポ").find(name.substr(0, 3)) != std::string::npos)
      ++found["name starting パ-ポ"];
    static const std::vector<std::pair<std::string, int>> kColours = {
        {"ホワイト", 1}, {"シロ", 1},   {"ブラック", 2}, {"クロ", 2},     {"レッド", 3},
        {"アカ", 3},     {"ブルー", 4}, {"アオ", 4},     {"イエロー", 5}, {"キイロ", 5},
        {"グリーン", 6}, {"ミドリ", 6}, {"オレンジ", 7}, {"ピンク", 8},   {"モモ", 8}};
    for (const auto& [word, bracket] : kColours)
      if (name.find(word) != std::string::npos) {
        if (N(se, 28, 1) == bracket) ++found["colour word in its bracket"];
        break;
      }
    std::string sire = sires[F(se, 31, 10)], dam = dams[F(se, 31, 10)];
    std::vector<std::string> chars = Utf8Chars(name);
    for (size_t i = 0; i + 1 < chars.size() && i + 1 < 9; ++i) {
      std::string two = chars[i] + chars[i + 1];
      if (two.find("　") == std::string::npos && sire.find(two) != std::string::npos &&
          dam.find(two) != std::string::npos) {
        ++found["name sharing a word with sire and dam"];
        break;
      }
    }
  }
  for (const char* what :
       {"rider with a katakana short name", "woman rider", "apprentice ▲", "half-kilogram burden",
        "horse symbol 21-27", "horse symbol", "name starting パ-ポ", "colour word in its bracket",
        "name sharing a word with sire and dam"})
    EXPECT_GT(found[what], 0) << what;
}

}  // namespace
}  // namespace sorvix::feedgen::test
