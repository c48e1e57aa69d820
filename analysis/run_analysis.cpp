#include "analysis/run_analysis.h"

#include "analysis/race_sheet_assignment.h"
#include "analysis/sign_analysis_steps.h"
#include "analysis/sign_index.h"
#include "results/betting_combinations.h"
#include "results/payout_import.h"
#include "store/race_day.h"

namespace sorvix {

std::vector<AnalysisStep> DayAnalysisSteps(const SignPoints& points) {
  return {
      AssignmentStep(),
      AnalysisStep::Day([](RaceDay& day, const LoadContext& ctx) {
        ImportPayouts(day, ctx.dateLabel, RaceLines::AsLoaded);
      }),
      SignCalculationStep(points),
      VenueSignCopyStep(),
      AnalysisStep::EachRace(
          [](RaceDay& day, const LoadContext&, int slot) { ComputeSignIndex(day, slot); }),
      AnalysisStep::EachRace(
          [](RaceDay& day, const LoadContext&, int slot) { ChooseAxisAndPartners(day, slot); }),
  };
}

void RerunSignIndex(RaceDay& day) {
  CopyVenueSignValues(day);
  for (int slot = 0; slot < day.RaceListRows; ++slot) ComputeSignIndex(day, slot);
}

}  // namespace sorvix
