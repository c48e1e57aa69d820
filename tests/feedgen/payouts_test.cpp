#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "shared_feed.h"
#include "tools/feedgen/payouts.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen::test {
namespace {

using Combos = std::set<std::vector<int>>;

struct Runner {
  int number;
  int bracket;
  int finish;  // 0: did not finish or did not start
};

// The winning combinations of every bet type, found by breaking the ties of
// a dead heat in every possible way and taking all the orders' winners.
std::vector<Combos> Expected(std::vector<Runner> field) {
  std::vector<Runner> finished;
  for (const Runner& r : field)
    if (r.finish > 0) finished.push_back(r);
  std::sort(finished.begin(), finished.end(), [](const Runner& a, const Runner& b) {
    return a.finish != b.finish ? a.finish < b.finish : a.number < b.number;
  });
  int starters = static_cast<int>(field.size());
  int places = starters >= 8 ? 3 : starters >= 5 ? 2 : 0;
  std::vector<Combos> out(kBetTypes);
  auto sorted = [](std::vector<int> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  std::vector<Runner> order = finished;
  // Permute within each group of equal positions.
  std::function<void(size_t)> visit = [&](size_t from) {
    if (from >= order.size()) {
      std::vector<int> o;
      for (const Runner& r : order) o.push_back(r.number);
      out[kWin].insert({o[0]});
      for (int i = 0; i < places && i < static_cast<int>(o.size()); ++i)
        out[kPlace].insert({o[static_cast<size_t>(i)]});
      out[kQuinella].insert(sorted({o[0], o[1]}));
      out[kExacta].insert({o[0], o[1]});
      out[kBracket].insert(sorted({order[0].bracket, order[1].bracket}));
      for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
          out[kWide].insert(sorted({o[static_cast<size_t>(a)], o[static_cast<size_t>(b)]}));
      out[kTrio].insert(sorted({o[0], o[1], o[2]}));
      out[kTrifecta].insert({o[0], o[1], o[2]});
      return;
    }
    size_t end = from;
    while (end < order.size() && order[end].finish == order[from].finish) ++end;
    std::sort(order.begin() + static_cast<long>(from), order.begin() + static_cast<long>(end),
              [](const Runner& a, const Runner& b) { return a.number < b.number; });
    do {
      visit(end);
    } while (std::next_permutation(
        order.begin() + static_cast<long>(from), order.begin() + static_cast<long>(end),
        [](const Runner& a, const Runner& b) { return a.number < b.number; }));
  };
  visit(0);
  return out;
}

struct Block {
  int start, step, digits, count, popularity;
};
constexpr Block kBlocks[kBetTypes] = {{103, 13, 2, 1, 2}, {142, 13, 2, 1, 2}, {207, 13, 1, 2, 2},
                                      {246, 16, 2, 2, 3}, {294, 16, 2, 2, 3}, {454, 16, 2, 2, 3},
                                      {550, 18, 2, 3, 3}, {604, 19, 2, 3, 4}};

struct Paid {
  std::vector<int> numbers;
  int yen;
  int popularity;
};

std::vector<Paid> Read(const std::string& hr, int bet) {
  const Block& b = kBlocks[bet];
  std::vector<Paid> out;
  for (int i = 0; i < kPayoutSlots[bet]; ++i) {
    int pos = b.start + b.step * i;
    if (IsBlank(Field(hr, pos, b.digits))) continue;
    Paid p;
    for (int k = 0; k < b.count; ++k) p.numbers.push_back(N(hr, pos + b.digits * k, b.digits));
    if (p.numbers[0] == 0) continue;  // not sold
    p.yen = N(hr, pos + b.digits * b.count, 9);
    p.popularity = N(hr, pos + b.digits * b.count + 9, b.popularity);
    out.push_back(p);
  }
  return out;
}

TEST(FeedPayoutsTest, EveryPayoutRecordMatchesTheResultsOfItsRace) {
  std::map<std::string, std::vector<std::string>> runners;
  for (const std::string& se : Feed().Find("SE", '7')) runners[F(se, 12, 16)].push_back(se);
  int races = 0, deadHeats = 0, sameBracket = 0;
  for (const std::string& hr : Feed().Find("HR", '2')) {
    std::string key = F(hr, 12, 16);
    ASSERT_TRUE(runners.count(key)) << key;
    std::vector<Runner> field;
    std::map<int, int> odds;
    for (const std::string& se : runners[key]) {
      int abnormal = N(se, 332, 1);
      if (abnormal == 1) continue;  // scratched: not a starter
      field.push_back({N(se, 29, 2), N(se, 28, 1), abnormal == 0 ? N(se, 335, 2) : 0});
      odds[N(se, 29, 2)] = N(se, 360, 4);
      if (se[336] == '1') ++deadHeats;
    }
    EXPECT_EQ(N(hr, 30, 2), static_cast<int>(field.size())) << key;
    std::vector<Combos> expected = Expected(field);
    bool bracketSold = N(hr, 28, 2) >= 9;
    for (int bet = 0; bet < kBetTypes; ++bet) {
      std::vector<Paid> paid = Read(hr, bet);
      Combos got;
      for (const Paid& p : paid) {
        got.insert(p.numbers);
        EXPECT_GE(p.yen, 100) << key << " bet " << bet;
        EXPECT_EQ(p.yen % 10, 0) << key << " bet " << bet;
        EXPECT_GE(p.popularity, 1) << key << " bet " << bet;
      }
      if (bet == kPlace && field.size() <= 4) expected[bet].clear();
      if (bet == kBracket && !bracketSold) expected[bet].clear();
      EXPECT_EQ(got, expected[bet]) << key << " bet " << bet;
    }
    std::vector<Paid> wins = Read(hr, kWin);
    if (wins.size() == 1) {
      EXPECT_EQ(wins[0].yen, odds[wins[0].numbers[0]] * 10) << key;
    }
    std::vector<Paid> brackets = Read(hr, kBracket);
    if (!brackets.empty() && brackets[0].numbers[0] == brackets[0].numbers[1]) ++sameBracket;
    ++races;
  }
  EXPECT_GT(races, 500);
  EXPECT_GT(deadHeats, 0);
  EXPECT_GT(sameBracket, 0);
}

TEST(FeedPayoutsTest, RealTimePayoutsAreTheMondayPayoutsReceivedEarlier) {
  std::map<std::string, std::string> monday;
  for (const std::string& hr : Feed().Find("HR", '2')) monday[F(hr, 12, 16)] = hr;
  int compared = 0;
  for (const FeedFile& f : Feed().files) {
    if (f.name.rfind("rt/", 0) != 0) continue;
    ASSERT_EQ(f.records.front().substr(0, 2), "RA") << f.name;
    ASSERT_EQ(f.records.back().substr(0, 2), "HR") << f.name;
    const std::string& hr = f.records.back();
    EXPECT_EQ(hr[2], '1');
    ASSERT_TRUE(monday.count(F(hr, 12, 16)));
    EXPECT_EQ(hr.substr(11), monday[F(hr, 12, 16)].substr(11));
    ++compared;
  }
  EXPECT_GT(compared, 60);
}

// A race of `n` runners finishing in number order, except for `finish`.
Race Finished(int n, std::vector<int> finish = {}) {
  Race race;
  race.date = Date{2024, 6, 15};
  race.venue = 5;
  race.kai = 3;
  race.day = 1;
  race.number = 11;
  race.run = true;
  for (int i = 1; i <= n; ++i) {
    Entry e;
    e.number = i;
    e.bracket = n <= 8 ? i : (i + 1) / 2 > 8 ? 8 : (i + 1) / 2;
    e.finish = i <= static_cast<int>(finish.size()) ? finish[static_cast<size_t>(i - 1)] : i;
    e.marketP = 1.0 / n;
    e.winOdds10 = 10 * n;
    e.popularity = i;
    race.entries.push_back(e);
  }
  race.starters = n;
  return race;
}

TEST(PayoutsTest, SmallFieldsAndDeadHeatsChangeWhatIsPaid) {
  struct Case {
    const char* name;
    Race race;
    std::vector<size_t> counts;  // entries per bet type
    bool bracketSold, placeSold;
  };
  const Case cases[] = {
      {"twelve runners", Finished(12), {1, 3, 1, 1, 3, 1, 1, 1}, true, true},
      {"seven runners: two places, no bracket quinella",
       Finished(7),
       {1, 2, 0, 1, 3, 1, 1, 1},
       false,
       true},
      {"four runners: no place", Finished(4), {1, 0, 0, 1, 3, 1, 1, 1}, false, false},
      {"dead heat for first", Finished(12, {1, 1, 3}), {2, 3, 1, 1, 3, 2, 1, 2}, true, true},
      {"dead heat for second", Finished(12, {1, 2, 2}), {1, 3, 2, 2, 3, 2, 1, 2}, true, true},
      {"dead heat for third", Finished(12, {1, 2, 3, 3}), {1, 4, 1, 1, 5, 1, 2, 2}, true, true},
  };
  for (const Case& c : cases) {
    Payouts p = ComputePayouts(c.race, 1);
    for (int b = 0; b < kBetTypes; ++b)
      EXPECT_EQ(p.bets[b].size(), c.counts[static_cast<size_t>(b)]) << c.name << " bet " << b;
    EXPECT_EQ(p.sold[kBracket], c.bracketSold) << c.name;
    EXPECT_EQ(p.sold[kPlace], c.placeSold) << c.name;
    // A bet type not sold reads as combination zero in the record.
    std::string hr = HrRecord(c.race, p, '2', c.race.date);
    ASSERT_EQ(hr.size(), static_cast<size_t>(kHrBytes));
    EXPECT_EQ(F(hr, 142, 2), c.placeSold ? "01" : "00") << c.name;
    EXPECT_EQ(F(hr, 207, 2), c.bracketSold ? F(hr, 207, 2) : "00") << c.name;
  }
}

TEST(PayoutsTest, AScratchedHorseIsRefundedAndNotAStarter) {
  Race race = Finished(10);
  race.entries[9].abnormal = 1;
  race.entries[9].finish = 0;
  race.entries[8].finish = 9;
  Payouts p = ComputePayouts(race, 1);
  EXPECT_EQ(p.refundedHorses, std::vector<int>{10});
  // Horses 9 and 10 shared bracket 5: its pair with itself is void.
  EXPECT_EQ(p.refundedSameBracket, std::vector<int>{5});
  std::string hr = HrRecord(race, p, '2', race.date);
  EXPECT_EQ(F(hr, 59, 28), "0000000001000000000000000000");
  EXPECT_EQ(F(hr, 50, 1), "1");
}

}  // namespace
}  // namespace sorvix::feedgen::test
