#include "results/payout_import.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/io_error.h"
#include "app/program_folder.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/store_paths.h"
#include "support/hr_record_builder.h"
#include "support/record_builder.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

using test::HrRecordBuilder;

const Cp932Text kDate = Cp932("2024年05月05日");

class PayoutImportTest : public ::testing::Test {
 protected:
  // Races of venue 05 (東京), race numbers 1..count, with `runners` each.
  void WriteRaces(int count, int runners) {
    std::string races, runnerLines(static_cast<size_t>(kRunnerFileLines) * kSeLength, ' ');
    for (int r = 1; r <= count; ++r) {
      races += test::RaRecord({.ymd = "20240505",
                               .venue = "05",
                               .race = r,
                               .startTime = Format("%02d00", 9 + r),
                               .runners = runners});
      for (int h = 1; h <= runners; ++h) {
        std::string se = test::SeRecord({.ymd = "20240505", .venue = "05", .race = r, .horse = h});
        runnerLines.replace(static_cast<size_t>(((r - 1) * 18 + h - 1) * kSeLength), se.size(), se);
      }
    }
    home_.Write(RelativeStorePath(RaceFilePath(kDate)), races);
    home_.Write(RelativeStorePath(RunnerFilePath(kDate, "05")), runnerLines);
  }

  // The RecordKey of race `race`: meeting 1, day 1 of venue 05.
  static std::string RaceKey(int race) { return Format("2024050505%02d%02d%02d", 1, 1, race); }

  void WritePayouts(const std::vector<std::string>& records) {
    std::string file;
    for (const std::string& r : records) file += r;
    home_.Write(RelativeStorePath(PayoutFilePath(kDate)), file);
  }

  // The day as the loader leaves it before the import: races and runners
  // read, nothing of the payouts.
  std::unique_ptr<RaceDay> LoadedDay(int count) {
    auto day = RaceDay::Create();
    ImportPayouts(*day, kDate);  // reads RA and SE; no PayoutFile yet
    day->RaceCount = count;
    day->RaceListRows = count;
    return day;
  }

  test::TempHome home_;
};

TEST_F(PayoutImportTest, AttachesEachRecordToItsRaceAndParsesIt) {
  WriteRaces(3, 12);
  auto day = LoadedDay(3);
  EXPECT_EQ(day->RaRec[2].Int(26, 2), 3);
  EXPECT_EQ(day->SeRec[2][11].Int(29, 2), 12);

  // The file holds race 3 and race 1 only (in that order) and a race of
  // another day, which matches nothing.
  HrRecordBuilder race3, race1, other;
  race3.Key(RaceKey(3))
      .Win(0, 4, 560, 2)
      .Place(0, 4, 200, 2)
      .Place(1, 11, 330, 5)
      .Place(2, 1, 150, 1);
  race1.Key(RaceKey(1)).Quinella(0, 2, 9, 1880, 7);
  other.Key("2024050605010102").Win(0, 1, 999, 1);
  WritePayouts({race3.Record(), race1.Record(), other.Record()});

  PayoutImportOutcome outcome = ImportPayouts(*day, kDate, RaceLines::Reread, 0);
  EXPECT_TRUE(outcome.selectedRaceReceived);
  EXPECT_TRUE(day->PayoutLoaded[0]);
  EXPECT_FALSE(day->PayoutLoaded[1]);
  EXPECT_TRUE(day->PayoutLoaded[2]);
  EXPECT_EQ(day->HrRec[2].Text(), race3.Record());
  EXPECT_TRUE(day->HrRec[1].IsBlank());
  EXPECT_EQ(day->Payouts[2].Win[0].HorseNo, 4);
  EXPECT_EQ(day->Payouts[2].Win[0].Payout, 560);
  EXPECT_EQ(day->Payouts[0].Quinella[0].Combination, " 2- 9");
  EXPECT_EQ(day->Payouts[1].Win[0].HorseNo, 0);

  // Final positions follow the place list, in its order.
  EXPECT_EQ(day->SeRec[2][3].Field(335, 2), "01");
  EXPECT_EQ(day->SeRec[2][10].Field(335, 2), "02");
  EXPECT_EQ(day->SeRec[2][0].Field(335, 2), "03");
  EXPECT_EQ(day->SeRec[2][1].Field(335, 2), "  ");

  // A second import refreshes the model but does not ask for a reselection.
  outcome = ImportPayouts(*day, kDate, RaceLines::Reread, 0);
  EXPECT_FALSE(outcome.selectedRaceReceived);
  EXPECT_EQ(day->Payouts[2].Place[1].HorseNo, 11);
}

TEST_F(PayoutImportTest, OnlyTheSelectedRaceAsksForAReselection) {
  WriteRaces(2, 10);
  auto day = LoadedDay(2);
  HrRecordBuilder race2;
  race2.Key(RaceKey(2)).Win(0, 3, 120, 1);
  WritePayouts({race2.Record()});
  EXPECT_FALSE(ImportPayouts(*day, kDate, RaceLines::Reread, 0).selectedRaceReceived);
  EXPECT_TRUE(day->PayoutLoaded[1]);
}

TEST_F(PayoutImportTest, AMissingPayoutFileLeavesThePayoutsAsTheyWere) {
  WriteRaces(1, 8);
  auto day = LoadedDay(1);
  HrRecordBuilder race1;
  race1.Key(RaceKey(1)).Win(0, 5, 300, 1);
  day->HrRec[0].Assign(race1.Record());
  day->Payouts[0].Win[0].HorseNo = 5;
  EXPECT_FALSE(ImportPayouts(*day, kDate, RaceLines::Reread, 0).selectedRaceReceived);
  EXPECT_EQ(day->HrRec[0].Text(), race1.Record());
  EXPECT_EQ(day->Payouts[0].Win[0].HorseNo, 5);
  EXPECT_FALSE(day->PayoutLoaded[0]);
}

TEST_F(PayoutImportTest, PlaceNumbersBeyondTheRunnerSlotsTouchNothing) {
  WriteRaces(1, 8);
  auto day = LoadedDay(1);
  HrRecordBuilder race1;
  race1.Key(RaceKey(1)).Place(0, 19, 100, 1).Place(1, 99, 100, 2).Place(2, 8, 100, 3);
  WritePayouts({race1.Record()});
  ImportPayouts(*day, kDate);
  EXPECT_EQ(day->SeRec[0][7].Field(335, 2), "03");
  EXPECT_EQ(day->Payouts[0].Place[0].HorseNo, 19);
}

TEST_F(PayoutImportTest, ADamagedPayoutFileIsAnErrorThatKeepsTheRaces) {
  WriteRaces(1, 8);
  auto day = LoadedDay(1);
  HrRecordBuilder race1;
  race1.Key(RaceKey(1)).Win(0, 5, 300, 1);
  WritePayouts({race1.Record(), race1.Record().substr(0, 300)});
  EXPECT_THROW(ImportPayouts(*day, kDate), Error);
  EXPECT_EQ(day->RaRec[0].Int(26, 2), 1);
}

}  // namespace
}  // namespace sorvix
