#include <gtest/gtest.h>

#include <map>
#include <set>

#include "acquisition/feed_jv_link.h"
#include "shared_feed.h"
#include "support/temp_home.h"
#include "tools/feedgen/race_sim.h"

namespace sorvix::feedgen::test {
namespace {

std::string Stamp(const std::string& name) {
  std::string stem = name.substr(0, name.size() - 4);
  return stem.substr(stem.size() - 14);
}

std::vector<const FeedFile*> DataFiles() {
  std::vector<const FeedFile*> out;
  for (const FeedFile& f : Feed().files)
    if (f.name.rfind("rt/", 0) != 0) out.push_back(&f);
  return out;
}

TEST(FeedFlowTest, FeedJvLinkServesTheDataFilesInTimeStampOrder) {
  sorvix::test::TempHome home;
  home.Write("jvlink.ini", "[Feed]\r\nFolder=" + Feed().root.string() + "\r\n");
  FeedJvLink link;
  ASSERT_EQ(link.JVInit("SORVIX"), 0);
  int readCount = 0, downloadCount = 0;
  std::string last;
  ASSERT_EQ(link.JVOpen("RACEDIFN", "20000101000000", 3, readCount, downloadCount, last), 0);
  std::vector<std::string> expected;
  for (const FeedFile* f : DataFiles()) expected.push_back(f->name);
  ASSERT_EQ(readCount, static_cast<int>(expected.size()));
  EXPECT_EQ(last, Stamp(expected.back()));
  for (int i = 0; i < 1000 && link.JVStatus() < downloadCount; ++i) {
  }
  std::vector<std::string> served;
  std::string buffer, fileName;
  int records = 0;
  for (int r; (r = link.JVRead(buffer, 60000, fileName)) != 0;) {
    ASSERT_GE(r, -3);
    if (r > 0 && (served.empty() || served.back() != fileName)) served.push_back(fileName);
    if (r > 0) ++records;
  }
  link.JVClose();
  EXPECT_EQ(served, expected);
  // Time stamps are distinct, so the order does not depend on names.
  std::set<std::string> stamps;
  for (const std::string& name : expected) stamps.insert(Stamp(name));
  EXPECT_EQ(stamps.size(), expected.size());
  EXPECT_GT(records, 10000);

  // The real-time files of a race day come in the order of publication.
  ASSERT_EQ(link.JVRTOpen("0B12", "20240616"), 0);
  std::vector<std::string> times;
  std::string previous;
  for (int r; (r = link.JVRead(buffer, 60000, fileName)) != 0;) {
    if (r > 0 && fileName != previous) {
      EXPECT_EQ(buffer.substr(0, 2), "RA") << fileName;
      EXPECT_EQ(buffer.substr(11, 8), "20240616");
      times.push_back(Stamp(fileName));
      previous = fileName;
    }
  }
  link.JVClose();
  EXPECT_EQ(times.size(), 36u);
  EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
}

TEST(FeedFlowTest, EachFileHoldsWhatArrivesAtItsTimeOfTheWeek) {
  for (const FeedFile* f : DataFiles()) {
    std::string stamp = Stamp(f->name), clock = stamp.substr(8);
    std::set<std::string> kinds;
    for (const std::string& r : f->records) {
      kinds.insert(r.substr(0, 3));
      // Records are made on the day of their file.
      EXPECT_EQ(r.substr(3, 8), stamp.substr(0, 8)) << f->name << " " << r.substr(0, 27);
    }
    std::set<std::string> allowed;
    if (f->name.rfind("DIFN", 0) == 0) {
      for (const char* k : {"UM1", "UM4", "UM9", "KS0", "KS1", "KS2", "CH1", "CH2"})
        allowed.insert(k);
    } else if (clock == "173000") {
      allowed = {"RA1", "SE1"};
    } else if (clock == "110000") {
      allowed = {"RA2", "SE2"};
    } else {
      ASSERT_EQ(clock, "160000") << f->name;
      // Results, payouts, and the final odds and vote counts.
      allowed = {"RA7", "SE7", "HR2", "O14", "O24", "O34", "O44", "O54", "O64", "H14", "H64"};
    }
    for (const std::string& k : kinds) {
      EXPECT_TRUE(allowed.count(k)) << f->name << ": " << k;
    }
  }
}

TEST(FeedFlowTest, FeedDaysArriveAsEntriesCardsRealTimeAndResults) {
  std::map<std::string, std::set<char>> kindsByRace;
  for (const FeedFile& f : Feed().files)
    for (const std::string& r : f.records)
      if (r.compare(0, 2, "RA") == 0) kindsByRace[F(r, 12, 16)].insert(r[2]);
  int feedRaces = 0;
  for (const auto& [key, kinds] : kindsByRace) {
    bool feedDay = false;
    for (const Date& d : Feed().summary.feedDays) feedDay |= key.substr(0, 8) == d.Ymd();
    if (!feedDay) {
      EXPECT_EQ(kinds, std::set<char>{'7'}) << key;
      continue;
    }
    EXPECT_EQ(kinds, (std::set<char>{'1', '2', '6', '7'})) << key;
    ++feedRaces;
  }
  EXPECT_EQ(feedRaces, 36 + 36 + 24);
}

TEST(FeedFlowTest, CardsNumberTheRunnersAndEveryRunnerHasItsMasters) {
  std::map<std::string, std::vector<std::string>> cards;
  for (const std::string& se : Feed().Find("SE", '2')) cards[F(se, 12, 16)].push_back(se);
  std::set<std::string> horses, jockeys, trainers;
  for (const std::string& um : Feed().Find("UM", '1')) horses.insert(F(um, 12, 10));
  for (const std::string& ks : Feed().Find("KS", '1')) jockeys.insert(F(ks, 12, 5));
  for (const std::string& ch : Feed().Find("CH", '1')) trainers.insert(F(ch, 12, 5));
  std::set<std::string> legacy;
  for (const auto& e : fs::recursive_directory_iterator(Feed().home))
    if (e.path().extension() == ".jvUMA") legacy.insert(e.path().stem().string());
  EXPECT_FALSE(legacy.empty());
  for (const std::string& ra : Feed().Find("RA", '2')) {
    const auto& runners = cards[F(ra, 12, 16)];
    int n = N(ra, 882, 2);
    ASSERT_EQ(static_cast<int>(runners.size()), n) << F(ra, 12, 16);
    for (int i = 0; i < n; ++i) {
      const std::string& se = runners[static_cast<size_t>(i)];
      EXPECT_EQ(N(se, 29, 2), i + 1);
      EXPECT_EQ(N(se, 28, 1), BracketOf(i + 1, n));
      std::string pedigree = F(se, 31, 10);
      EXPECT_GT(N(se, 31, 4), 2011) << pedigree;
      EXPECT_NE(horses.count(pedigree), legacy.count(pedigree))
          << pedigree << ": exactly one horse master";
      EXPECT_TRUE(jockeys.count(F(se, 297, 5))) << F(se, 297, 5);
      EXPECT_TRUE(trainers.count(F(se, 86, 5))) << F(se, 86, 5);
    }
  }
}

TEST(FeedFlowTest, RidersRideOnceARaceAtOneVenueADayAndMastersHaveDistinctCodes) {
  std::map<std::string, std::set<std::string>> venues;  // day + rider → venues
  std::map<std::string, int> rides;                     // race + rider → rides
  for (const std::string& se : Feed().Find("SE", '7')) {
    venues[F(se, 12, 8) + F(se, 297, 5)].insert(F(se, 20, 2));
    ++rides[F(se, 12, 16) + F(se, 297, 5)];
  }
  for (const auto& [rider, where] : venues) {
    EXPECT_EQ(where.size(), 1u) << rider;
  }
  for (const auto& [rider, count] : rides) {
    EXPECT_EQ(count, 1) << rider;
  }
  for (const FeedFile& f : Feed().files) {
    if (f.name.rfind("DIFN", 0) != 0) continue;
    std::set<std::string> codes;
    for (const std::string& r : f.records) {
      std::string code = r.substr(0, 2) + (r.compare(0, 2, "UM") == 0 ? F(r, 12, 10) : F(r, 12, 5));
      EXPECT_TRUE(codes.insert(code).second) << f.name << ": " << code;
    }
  }
}

FeedOptions Small(const fs::path& out, uint64_t seed) {
  FeedOptions o;
  o.out = out;
  o.from = Date{2024, 4, 13};
  o.days = 2;
  o.seed = seed;
  o.historyWeeks = 1;
  o.oldWeeks = 0;
  return o;
}

std::map<std::string, std::string> Contents(const fs::path& root) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file())
      out[fs::relative(e.path(), root).generic_string()] = ReadWholeFile(e.path());
  return out;
}

TEST(FeedFlowTest, ASeedAlwaysGivesTheSameFeed) {
  fs::path a = MakeTempFolder("sorvix-feed-a"), b = MakeTempFolder("sorvix-feed-b"),
           c = MakeTempFolder("sorvix-feed-c");
  GenerateFeed(Small(a, 99));
  GenerateFeed(Small(b, 99));
  GenerateFeed(Small(c, 100));
  auto first = Contents(a), second = Contents(b), other = Contents(c);
  EXPECT_GT(first.size(), 10u);
  EXPECT_TRUE(first == second);
  EXPECT_FALSE(first == other);
  for (const fs::path& p : {a, b, c}) fs::remove_all(p);
}

TEST(FeedFlowTest, AnExistingFeedIsReplacedOnlyWhenAsked) {
  fs::path root = MakeTempFolder("sorvix-feed-r");
  WriteFileAtomic(root / "notes.txt", "mine");
  WriteFileAtomic(root / "RACE20000101000000.jvd", "old");
  EXPECT_THROW(GenerateFeed(Small(root, 1)), std::runtime_error);
  EXPECT_TRUE(fs::exists(root / "RACE20000101000000.jvd"));
  FeedOptions o = Small(root, 1);
  o.replace = true;
  GenerateFeed(o);
  EXPECT_FALSE(fs::exists(root / "RACE20000101000000.jvd"));
  EXPECT_EQ(ReadWholeFile(root / "notes.txt"), "mine");
  fs::remove_all(root);
}

}  // namespace
}  // namespace sorvix::feedgen::test
