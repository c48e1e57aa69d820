#include "analysis/sign_calculation.h"

#include "analysis/sign_marks.h"
#include "analysis/sign_race.h"
#include "store/race_day.h"

namespace sorvix {

SignRace::SignRace(RaceDay& day, int slot) : day_(day), slot_(slot), runners_(day.Runners(slot)) {}

void SignRace::Mark(Sign sign, int row, std::string_view text) {
  if (text.empty() || row < 0 || row >= kRingRows) return;
  RaceCalc& calc = day_.Calc[slot_];
  SetMark(calc, sign, row, text);
  if (uint8_t* flags = FamilyFlags(calc, InfoOf(sign).family)) flags[row] = 1;
}

void AddSignWeights(RaceCalc& calc, int row, const SignPoints& points) {
  for (int i = 0; i < kSignCount; ++i) {
    if (HasMark(calc, SignAt(i), row)) calc.SignSum[row] += points.value[i];
  }
}

void CalculateSigns(RaceDay& day, int slot, const SignPoints& points) {
  if (slot < 0 || slot >= kRaceSlots) return;
  SignRace race(day, slot);
  if (race.runners() <= 0) return;
  CalcRedSigns(race);
  CalcGreenSigns(race);
  CalcOrangeSigns(race);
  CalcNeighbourSigns(race);
  CalcTimeSign(race);
  for (int k = 0; k < kRingRows; ++k) AddSignWeights(day.Calc[slot], k, points);
}

}  // namespace sorvix
