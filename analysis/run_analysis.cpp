#include "analysis/run_analysis.h"

#include "analysis/race_sheet_assignment.h"
#include "analysis/sign_analysis_steps.h"
#include "analysis/sign_index.h"
#include "results/betting_combinations.h"
#include "results/payout_import.h"
#include "store/race_day.h"

namespace sorvix {

std::vector<AnalysisStep> DayAnalysisSteps(const SignPoints& points) {
  using Scope = AnalysisStep::Scope;
  return {
      AssignmentStep(),
      {Scope::Day,
       [](RaceDay& day, const LoadContext& ctx) {
         ImportPayouts(day, ctx.dateLabel, RaceLines::AsLoaded);
       }},
      SignCalculationStep(points),
      VenueSignCopyStep(),
      {Scope::EachRace, [](RaceDay& day, const LoadContext&) { ComputeSignIndex(day); }},
      {Scope::EachRace, [](RaceDay& day, const LoadContext&) { ChooseAxisAndPartners(day); }},
  };
}

void RerunSignIndex(RaceDay& day) {
  CopyVenueSignValues(day);
  for (int row = 0; row < day.RaceListRows; ++row) {
    day.CurRace = row;
    ComputeSignIndex(day);
  }
}

}  // namespace sorvix
