#include "results/betting_combinations.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "codes/text.h"
#include "store/race_day.h"
#include "support/hr_record_builder.h"

namespace sorvix {
namespace {

using test::HrRecordBuilder;

// Ranks of one runner: bracket, away, home, estimate.
struct Ranks {
  int bracket, away, home, suitei;
};

std::unique_ptr<RaceDay> DayWith(const std::vector<Ranks>& runners) {
  auto day = RaceDay::Create();
  std::string ra(kRaLength, ' ');
  ra.replace(0, 2, "RA");
  ra.replace(881, 2, Format("%02d", static_cast<int>(runners.size())));
  day->RaRec[0].Assign(ra);
  day->RaceCount = day->RaceListRows = 1;
  RaceCalc& calc = day->Calc[0];
  for (size_t h = 0; h < runners.size(); ++h) {
    calc.BracketRank[h] = runners[h].bracket;
    calc.AwayRank[h] = runners[h].away;
    calc.HomeRank[h] = runners[h].home;
    calc.SuiteiRank[h] = runners[h].suitei;
  }
  return day;
}

std::vector<std::string> Texts(const std::vector<KaimeRow>& rows) {
  std::vector<std::string> texts;
  for (const KaimeRow& row : rows) texts.push_back(row.combination);
  return texts;
}

TEST(ChooseAxisAndPartners, CandidatesAreOrderedByTheirRanksThenHorseNumber) {
  auto day = DayWith({
      {2, 1, 5, 1},  // 1: candidate
      {1, 6, 3, 4},  // 2: candidate, best bracket rank
      {2, 1, 5, 1},  // 3: same ranks as 1: after it by horse number
      {1, 3, 9, 5},  // 4: estimate rank 5: partner only
      {5, 1, 1, 1},  // 5: bracket rank 5: partner only
      {1, 9, 9, 2},  // 6: partner by its estimate rank alone
      {3, 5, 6, 7},  // 7: nothing
      {0, 0, 0, 0},  // 8: unranked
  });
  ChooseAxisAndPartners(*day, 0);
  const RaceCalc& calc = day->Calc[0];
  std::vector<int> axis(calc.AxisMark, calc.AxisMark + 8);
  std::vector<int> partner(calc.PartnerMark, calc.PartnerMark + 8);
  EXPECT_EQ(axis, (std::vector<int>{2, 1, 3, 0, 0, 0, 0, 0}));
  EXPECT_EQ(partner, (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 0}));
}

TEST(ChooseAxisAndPartners, MarksAreNeverCleared) {
  auto day = DayWith({{1, 1, 1, 1}, {5, 9, 9, 9}});
  day->Calc[0].AxisMark[1] = 2;
  day->Calc[0].PartnerMark[1] = 1;
  ChooseAxisAndPartners(*day, 0);
  EXPECT_EQ(day->Calc[0].AxisMark[0], 1);
  EXPECT_EQ(day->Calc[0].AxisMark[1], 2);
  EXPECT_EQ(day->Calc[0].PartnerMark[1], 1);
}

// Horse 5 is the axis; horses 2, 9 and 12 are partners besides it (the
// axis is a partner too).
std::unique_ptr<RaceDay> AxisAndThreePartners() {
  std::vector<Ranks> runners(12, Ranks{8, 10, 10, 10});
  runners[4] = {1, 1, 1, 1};
  runners[1] = {5, 2, 9, 9};
  runners[8] = {5, 9, 3, 9};
  runners[11] = {5, 9, 9, 4};
  auto day = DayWith(runners);
  ChooseAxisAndPartners(*day, 0);
  return day;
}

TEST(KaimeTablesOf, OneAxisAndThreePartnersGiveThreeSixAndThreeRows) {
  auto day = AxisAndThreePartners();
  KaimeTables t = KaimeTablesOf(*day, 0);
  EXPECT_TRUE(t.hasAxis);
  EXPECT_EQ(Texts(t.quinella), (std::vector<std::string>{" 2- 5", " 5- 9", " 5-12"}));
  EXPECT_EQ(Texts(t.exacta),
            (std::vector<std::string>{" 2- 5", " 5- 2", " 5- 9", " 5-12", " 9- 5", "12- 5"}));
  EXPECT_EQ(Texts(t.trio), (std::vector<std::string>{" 2- 5- 9", " 2- 5-12", " 5- 9-12"}));
  for (const KaimeRow& row : t.trio) {
    EXPECT_FALSE(row.paid);
    EXPECT_EQ(row.colour, KaimeColour::White);
  }
}

TEST(KaimeTablesOf, PayoutsAndColoursFromTheRaceHrRecord) {
  auto day = AxisAndThreePartners();
  HrRecordBuilder hr;
  hr.Quinella(0, 5, 9, 2340, 8)
      .QuinellaPlace(0, 5, 9, 800, 7)  // won both: red, 馬連 payout
      .QuinellaPlace(1, 2, 5, 450, 3)  // won ワイド only: magenta
      .QuinellaPlace(2, 2, 9, 1200, 15)
      .Exacta(0, 9, 5, 5100, 20)
      .Trio(0, 2, 5, 9, 1234560, 300);  // seven digits are kept in full
  day->HrRec[0].Assign(hr.Record());
  KaimeTables t = KaimeTablesOf(*day, 0);

  ASSERT_EQ(t.quinella.size(), 3u);
  EXPECT_EQ(t.quinella[0].colour, KaimeColour::Magenta);
  EXPECT_TRUE(t.quinella[0].paid);
  EXPECT_EQ(t.quinella[0].payout, 450);
  EXPECT_EQ(t.quinella[1].colour, KaimeColour::Red);
  EXPECT_EQ(t.quinella[1].payout, 2340);
  EXPECT_EQ(t.quinella[2].colour, KaimeColour::White);
  EXPECT_FALSE(t.quinella[2].paid);

  ASSERT_EQ(t.exacta.size(), 6u);
  EXPECT_EQ(t.exacta[4].combination, " 9- 5");
  EXPECT_EQ(t.exacta[4].colour, KaimeColour::Red);
  EXPECT_EQ(t.exacta[4].payout, 5100);
  EXPECT_EQ(t.exacta[2].colour, KaimeColour::White);  // " 5- 9": wrong order

  EXPECT_EQ(t.trio[0].colour, KaimeColour::Red);
  EXPECT_EQ(t.trio[0].payout, 1234560);
  EXPECT_EQ(Format("%6d", t.trio[0].payout), "1234560");

  EXPECT_EQ(QuinellaGridColour(*day, 0, "     "), KaimeColour::White);
  EXPECT_EQ(QuinellaGridColour(*day, 0, " 2- 9"), KaimeColour::Magenta);
}

TEST(KaimeTablesOf, NoAxisOrOnlyTheAxisAsPartnerGivesNoCombination) {
  auto none = DayWith({{5, 9, 9, 9}, {6, 1, 9, 9}});
  ChooseAxisAndPartners(*none, 0);
  KaimeTables t = KaimeTablesOf(*none, 0);
  EXPECT_FALSE(t.hasAxis);
  EXPECT_TRUE(t.quinella.empty() && t.exacta.empty() && t.trio.empty());

  auto alone = DayWith({{1, 1, 1, 1}, {5, 9, 9, 9}, {6, 10, 10, 10}});
  ChooseAxisAndPartners(*alone, 0);
  t = KaimeTablesOf(*alone, 0);
  EXPECT_TRUE(t.hasAxis);
  EXPECT_TRUE(t.quinella.empty() && t.exacta.empty() && t.trio.empty());
}

}  // namespace
}  // namespace sorvix
