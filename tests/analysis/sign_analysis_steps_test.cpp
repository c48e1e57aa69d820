#include "analysis/sign_analysis_steps.h"

#include <gtest/gtest.h>

#include "analysis/sign_marks.h"
#include "codes/cp932.h"
#include "loader/store_fixture.h"
#include "store/race_day.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix::test {
namespace {

// Two races of ten runners at 東京, loaded with the sign steps: the second
// race (10:25) has the post-time sign on horses 5 and 6, and every runner's
// jockey rides only once that day.
TEST(SignAnalysisSteps, RunInsideTheLoadForEveryRace) {
  StoreFixture store;
  const Cp932Text label = DateLabelFromYmd("20240505");
  store.WriteRecords(RaceFilePath(label), {StoredRa({.race = 1, .start = "0950", .runners = 10}),
                                           StoredRa({.race = 2, .start = "1025", .runners = 10})});
  std::vector<std::string> runners;
  for (int race = 1; race <= 2; ++race) {
    for (int h = 1; h <= 10; ++h) {
      runners.push_back(
          StoredSe({.race = race, .horse = h, .jockey = Format("%05d", race * 100 + h)}));
    }
  }
  store.WriteRunnerFile(label, "05", runners);

  auto day = RaceDay::Create();
  LoadOptions options;
  options.analysis = {AssignmentStep(), SignCalculationStep(SignPoints::Defaults()),
                      VenueSignCopyStep()};
  ASSERT_TRUE(LoadRaceDay(*day, label, options).loaded);

  ASSERT_EQ(day->RaceListRows, 2);
  for (int slot = 0; slot < 2; ++slot) {
    for (int k = 0; k < 18; ++k)
      EXPECT_EQ(Utf8Bytes(MarkText(day->Calc[slot], Sign::Red9, k)), "1回");
  }
  const RaceSheet& second = day->Sheet[1];
  const RaceCalc& calc = day->Calc[1];
  for (int k = 0; k < 18; ++k) {
    int horse = ReadInt(second.HorseNo[k]);
    EXPECT_EQ(HasMark(calc, Sign::HStimeS1, k), horse == 5 || horse == 6) << k;
    EXPECT_EQ(day->VenueRaceCalc[0][1].SignSum[k], calc.SignSum[k]) << k;
    EXPECT_GE(calc.SignSum[k], 15);
  }
  EXPECT_EQ(day->VenueRaceCount[0], 2);
}

}  // namespace
}  // namespace sorvix::test
