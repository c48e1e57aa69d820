#include <gtest/gtest.h>

#include <map>
#include <set>

#include "shared_feed.h"

namespace sorvix::feedgen::test {
namespace {

int DaysOf(const std::string& ymd) {
  return Date{std::stoi(ymd.substr(0, 4)), std::stoi(ymd.substr(4, 2)), std::stoi(ymd.substr(6, 2))}
      .Days();
}

TEST(PastRunsTest, RunnersFindTheirEarlierResultsWithTheRacesOfThoseDays) {
  std::map<std::string, std::vector<std::string>> results;  // pedigree → its kind-7 records
  for (const std::string& se : Feed().Find("SE", '7')) results[F(se, 31, 10)].push_back(se);
  std::set<std::string> races, newcomerRaces;
  for (const std::string& ra : Feed().Find("RA", '7')) races.insert(F(ra, 12, 16));
  for (const std::string& ra : Feed().Find("RA", '2'))
    if (N(ra, 635, 3) == 701) newcomerRaces.insert(F(ra, 12, 16));

  for (const Date& day : Feed().summary.showcaseDays) {
    int none = 0, older = 0, runners = 0;
    for (const std::string& card : Feed().Find("SE", '2')) {
      if (F(card, 12, 8) != day.Ymd() || newcomerRaces.count(F(card, 12, 16))) continue;
      ++runners;
      std::vector<int> earlier;
      for (const std::string& past : results[F(card, 31, 10)]) {
        std::string ymd = F(past, 12, 8);
        if (ymd >= day.Ymd()) continue;
        // Every earlier run has its race in the feed.
        EXPECT_TRUE(races.count(F(past, 12, 16))) << F(past, 12, 16);
        earlier.push_back(DaysOf(ymd));
      }
      std::sort(earlier.begin(), earlier.end());
      // A horse rests at least two weeks between runs.
      for (size_t i = 1; i < earlier.size(); ++i)
        EXPECT_GE(earlier[i] - earlier[i - 1], 13) << F(card, 31, 10);
      if (!earlier.empty()) {
        EXPECT_GE(day.Days() - earlier.back(), 13) << F(card, 31, 10);
      }
      if (earlier.empty()) ++none;
      if (!earlier.empty() && day.Days() - earlier.front() > 527) ++older;
    }
    EXPECT_GT(runners, 200) << day.Iso();
    EXPECT_GT(none, 0) << day.Iso();
    EXPECT_GT(older, 0) << day.Iso();
    EXPECT_GT(runners - none, runners * 3 / 4)
        << day.Iso() << ": most runners beyond the newcomer races have earlier runs";
  }
}

TEST(PastRunsTest, SomeHorsesHaveMoreThanTenEarlierRunsInALongerFeed) {
  fs::path root = MakeTempFolder("sorvix-feed-long");
  FeedOptions o;
  o.out = root;
  o.from = Date{2024, 4, 6};
  o.days = 30;
  o.seed = 5;
  o.historyWeeks = 8;
  o.oldWeeks = 0;
  GenerateFeed(o);
  std::map<std::string, std::set<std::string>> days;
  for (const auto& e : fs::directory_iterator(root)) {
    if (e.path().extension() != ".jvd") continue;
    for (const std::string& r : Records(ReadWholeFile(e.path())))
      if (r.compare(0, 3, "SE7") == 0) days[F(r, 31, 10)].insert(F(r, 12, 8));
  }
  int moreThanTen = 0;
  for (const auto& [horse, dates] : days)
    if (dates.size() >= 12) ++moreThanTen;  // its last run has eleven before it
  EXPECT_GT(moreThanTen, 0);
  fs::remove_all(root);
}

}  // namespace
}  // namespace sorvix::feedgen::test
