#include "results/payout_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/record_fields.h"
#include "support/hr_record_builder.h"

namespace sorvix {
namespace {

using test::HrRecordBuilder;

TEST(PayoutTexts, PairsAndTriplesAreWrittenTwoCharactersPerNumber) {
  EXPECT_EQ(PairText(3, 12), " 3-12");
  EXPECT_EQ(PairText(10, 1), "10- 1");
  EXPECT_EQ(TripleText(1, 5, 13), " 1- 5-13");
  EXPECT_EQ(PairText(0, 0), " 0- 0");
}

TEST(PayoutTexts, NoResultTexts) {
  for (std::string_view none : {"", "     ", " 0- 0", " 0- 0- 0", "        "})
    EXPECT_FALSE(HasResult(none)) << "[" << none << "]";
  for (std::string_view some : {" 3-12", " 3- 3", " 1- 5-13", " 0- 5"})
    EXPECT_TRUE(HasResult(some)) << "[" << some << "]";
}

TEST(ParsePayoutTable, BlankAndShortRecordsGiveAnEmptyTable) {
  for (const std::string& hr : {std::string(719, ' '), std::string(), std::string("HR1")}) {
    PayoutTable t = ParsePayoutTable(hr);
    for (const PayoutHorse& w : t.Win) EXPECT_EQ(w.HorseNo, 0);
    for (const PayoutCombination& c : t.Trifecta) {
      EXPECT_TRUE(c.Combination.empty());
      EXPECT_EQ(c.Payout, 0);
      EXPECT_EQ(c.Popularity, 0);
    }
  }
}

TEST(ParsePayoutTable, ReadsEveryBetTypeAtItsPositions) {
  HrRecordBuilder b;
  b.Win(0, 7, 350, 1)
      .Place(0, 7, 150, 1)
      .Place(1, 12, 420, 6)
      .Place(2, 3, 1230, 9)
      .BracketQuinella(0, 4, 6, 2210, 11)
      .Quinella(0, 7, 12, 3450, 14)
      .QuinellaPlace(0, 7, 12, 1100, 15)
      .QuinellaPlace(1, 3, 7, 980, 12)
      .QuinellaPlace(2, 3, 12, 4560, 48)
      .Exacta(0, 7, 12, 5120, 21)
      .Trio(0, 3, 7, 12, 23450, 87)
      .Trifecta(0, 7, 12, 3, 1234560, 1402);
  PayoutTable t = ParsePayoutTable(b.Record());

  EXPECT_EQ(t.Win[0].HorseNo, 7);
  EXPECT_EQ(t.Win[0].Payout, 350);
  EXPECT_EQ(t.Win[0].Popularity, 1);
  EXPECT_EQ(t.Win[1].HorseNo, 0);
  EXPECT_EQ(t.Place[2].HorseNo, 3);
  EXPECT_EQ(t.Place[2].Payout, 1230);
  EXPECT_EQ(t.Place[2].Popularity, 9);
  EXPECT_EQ(t.BracketQuinella[0].Combination, " 4- 6");
  EXPECT_EQ(t.BracketQuinella[0].Payout, 2210);
  EXPECT_EQ(t.BracketQuinella[0].Popularity, 11);
  EXPECT_EQ(t.Quinella[0].Combination, " 7-12");
  EXPECT_EQ(t.Quinella[0].Popularity, 14);
  EXPECT_EQ(t.QuinellaPlace[1].Combination, " 3- 7");
  EXPECT_EQ(t.QuinellaPlace[2].Payout, 4560);
  EXPECT_EQ(t.QuinellaPlace[2].Popularity, 48);
  EXPECT_TRUE(t.QuinellaPlace[3].Combination.empty());
  EXPECT_EQ(t.Exacta[0].Combination, " 7-12");
  EXPECT_EQ(t.Trio[0].Combination, " 3- 7-12");
  EXPECT_EQ(t.Trio[0].Payout, 23450);
  EXPECT_EQ(t.Trifecta[0].Combination, " 7-12- 3");
  EXPECT_EQ(t.Trifecta[0].Payout, 1234560);
  EXPECT_EQ(t.Trifecta[0].Popularity, 1402);
}

TEST(ParsePayoutTable, DeadHeatsFillFurtherEntries) {
  // Horses 2 and 9 share first place; the exacta pays both orders.
  HrRecordBuilder b;
  b.Win(0, 2, 410, 2)
      .Win(1, 9, 520, 3)
      .Place(0, 2, 150, 2)
      .Place(1, 9, 180, 3)
      .Place(2, 5, 300, 5)
      .Exacta(0, 2, 9, 1500, 4)
      .Exacta(1, 9, 2, 1700, 6)
      .Trio(0, 2, 5, 9, 3000, 10);
  PayoutTable t = ParsePayoutTable(b.Record());
  EXPECT_EQ(t.Win[0].HorseNo, 2);
  EXPECT_EQ(t.Win[1].HorseNo, 9);
  EXPECT_EQ(t.Win[1].Payout, 520);
  EXPECT_EQ(t.Exacta[0].Combination, " 2- 9");
  EXPECT_EQ(t.Exacta[1].Combination, " 9- 2");  // the record's order is kept
  EXPECT_EQ(t.Exacta[1].Payout, 1700);
}

// Final positions as JRA numbers them: a dead heat shares the position and
// skips the ones it covers.  Horses 3 (A), 7 (B), 12 (C), 5 (D).
TEST(FinalPositions, DeadHeatsSharePositionsAndSkipTheNext) {
  struct Case {
    const char* what;
    HrRecordBuilder hr;
    std::vector<std::pair<int, int>> want;  // horse, position
  };
  std::vector<Case> cases;
  cases.push_back({"no dead heat",
                   HrRecordBuilder()
                       .Win(0, 3, 300, 1)
                       .Place(0, 3, 110, 1)
                       .Place(1, 7, 150, 2)
                       .Place(2, 12, 200, 3)
                       .Quinella(0, 3, 7, 500, 1)
                       .Exacta(0, 3, 7, 800, 1)
                       .Trio(0, 3, 7, 12, 900, 1)
                       .Trifecta(0, 3, 7, 12, 3000, 1),
                   {{3, 1}, {7, 2}, {12, 3}, {5, 0}}});
  cases.push_back({"first: A and B, then C third",
                   HrRecordBuilder()
                       .Win(0, 3, 300, 1)
                       .Win(1, 7, 400, 2)
                       .Place(0, 3, 110, 1)
                       .Place(1, 7, 150, 2)
                       .Place(2, 12, 200, 3)
                       .Quinella(0, 3, 7, 500, 1)
                       .Exacta(0, 3, 7, 800, 1)
                       .Exacta(1, 7, 3, 900, 2)
                       .Trio(0, 3, 7, 12, 900, 1)
                       .Trifecta(0, 3, 7, 12, 3000, 1)
                       .Trifecta(1, 7, 3, 12, 3100, 2),
                   {{3, 1}, {7, 1}, {12, 3}}});
  cases.push_back({"second: B and C",
                   HrRecordBuilder()
                       .Win(0, 3, 300, 1)
                       .Place(0, 3, 110, 1)
                       .Place(1, 7, 150, 2)
                       .Place(2, 12, 200, 3)
                       .Quinella(0, 3, 7, 500, 1)
                       .Quinella(1, 3, 12, 600, 2)
                       .Exacta(0, 3, 7, 800, 1)
                       .Exacta(1, 3, 12, 900, 2)
                       .Trio(0, 3, 7, 12, 900, 1),
                   {{3, 1}, {7, 2}, {12, 2}}});
  cases.push_back({"third: C and D",
                   HrRecordBuilder()
                       .Win(0, 3, 300, 1)
                       .Place(0, 3, 110, 1)
                       .Place(1, 7, 150, 2)
                       .Place(2, 12, 200, 3)
                       .Place(3, 5, 210, 4)
                       .Quinella(0, 3, 7, 500, 1)
                       .QuinellaPlace(0, 3, 7, 200, 1)
                       .QuinellaPlace(1, 3, 12, 300, 2)
                       .QuinellaPlace(2, 3, 5, 300, 3)
                       .Trio(0, 3, 7, 12, 900, 1)
                       .Trio(1, 3, 7, 5, 900, 2),
                   {{3, 1}, {7, 2}, {12, 3}, {5, 3}}});
  cases.push_back({"first: A and B, trifecta only",
                   HrRecordBuilder().Trifecta(0, 3, 7, 12, 3000, 1).Trifecta(1, 7, 3, 12, 3100, 2),
                   {{3, 1}, {7, 1}, {12, 3}}});
  // Without combination bets the place list's order is all there is.
  cases.push_back({"win and place only",
                   HrRecordBuilder()
                       .Win(0, 3, 300, 1)
                       .Win(1, 7, 300, 1)
                       .Place(0, 3, 110, 1)
                       .Place(1, 7, 150, 2)
                       .Place(2, 12, 200, 3),
                   {{3, 1}, {7, 1}, {12, 3}}});
  for (const Case& c : cases) {
    std::array<int, 19> got = FinalPositions(ParsePayoutTable(c.hr.Record()));
    for (const auto& [horse, position] : c.want)
      EXPECT_EQ(got[static_cast<size_t>(horse)], position) << c.what << ": horse " << horse;
  }
  EXPECT_EQ(FinalPositions(ParsePayoutTable("")), (std::array<int, 19>{}));
}

TEST(ParsePayoutTable, SameBracketTwiceAndPartialNumbers) {
  HrRecordBuilder b;
  b.BracketQuinella(0, 3, 3, 5600, 20)
      .Raw(207 + 13, "0500000012300")  // bracket entry 1: "0" and "5": no result
      .Raw(246, "0012")                // quinella entry 0: 0 and 12
      .Raw(250, "000000890")           // but its payout is still taken
      .Raw(550, "010200");             // trio with a 0: no result
  PayoutTable t = ParsePayoutTable(b.Record());
  EXPECT_EQ(t.BracketQuinella[0].Combination, " 3- 3");
  EXPECT_TRUE(t.BracketQuinella[1].Combination.empty());
  EXPECT_EQ(t.BracketQuinella[1].Payout, 123);
  EXPECT_TRUE(t.Quinella[0].Combination.empty());
  EXPECT_EQ(t.Quinella[0].Payout, 890);
  EXPECT_TRUE(t.Trio[0].Combination.empty());
}

TEST(HrEntryText, BuildsTheTextInRecordOrderEvenWithoutResult) {
  HrRecordBuilder b;
  b.QuinellaPlace(3, 4, 11, 760, 9).Trio(2, 1, 8, 16, 99000, 300);
  std::string hr = b.Record();
  EXPECT_EQ(HrEntryText(hr, hr::kQuinellaPlacePayouts, 3), " 4-11");
  EXPECT_EQ(HrEntryPayout(hr, hr::kQuinellaPlacePayouts, 3), 760);
  EXPECT_EQ(HrEntryText(hr, hr::kQuinellaPlacePayouts, 0), " 0- 0");
  EXPECT_EQ(HrEntryText(hr, hr::kTrioPayouts, 2), " 1- 8-16");
  EXPECT_EQ(HrEntryPayout(hr, hr::kTrioPayouts, 2), 99000);
}

}  // namespace
}  // namespace sorvix
