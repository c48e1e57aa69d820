#include "analysis/sign_analysis_steps.h"

#include "analysis/race_sheet_assignment.h"
#include "analysis/sign_calculation.h"
#include "store/race_day.h"

namespace sorvix {

AnalysisStep AssignmentStep() {
  return AnalysisStep::Day(
      [](RaceDay& day, const LoadContext& context) { AssignRaceSheets(day, context.progress); });
}

AnalysisStep SignCalculationStep(const SignPoints& points) {
  return AnalysisStep::EachRace(
      [points](RaceDay& day, const LoadContext&, int slot) { CalculateSigns(day, slot, points); });
}

AnalysisStep VenueSignCopyStep() {
  return AnalysisStep::Day([](RaceDay& day, const LoadContext&) { CopyVenueSignValues(day); });
}

}  // namespace sorvix
