#include "analysis/sign_analysis_steps.h"

#include "analysis/race_sheet_assignment.h"
#include "analysis/sign_calculation.h"
#include "store/race_day.h"

namespace sorvix {

AnalysisStep AssignmentStep() {
  return {AnalysisStep::Scope::Day,
          [](RaceDay& day, const LoadContext& context) { DainyuBtnClick(day, context.progress); }};
}

AnalysisStep SignCalculationStep(const SignPoints& points) {
  return {AnalysisStep::Scope::EachRace,
          [points](RaceDay& day, const LoadContext&) { CalcSignBtnClick(day, points); }};
}

AnalysisStep VenueSignCopyStep() {
  return {AnalysisStep::Scope::Day, [](RaceDay& day, const LoadContext&) { DainyuBtn2Click(day); }};
}

}  // namespace sorvix
