#include "store/race_day.h"

#include <algorithm>

#include "common/record_fields.h"

namespace sorvix {

std::unique_ptr<RaceDay> RaceDay::Create() {
  return std::unique_ptr<RaceDay>(new RaceDay());
}

RaceDay::RaceDay() {
  ClearRecords();
  Reset();
}

void RaceDay::Reset() {
  for (int r = 0; r < kRaceSlots; ++r) {
    VenueOfSlot[r] = -1;
    OrdinalOfSlot[r] = -1;
    Sheet[r] = RaceSheet{};
    Calc[r] = RaceCalc{};
    Payouts[r] = PayoutTable{};
    PayoutLoaded[r] = false;
    RaceList[r].Clear();
  }
  for (int v = 0; v < kDayVenueCount; ++v) {
    DayVenues[v].Clear();
    VenueRaceCount[v] = 0;
    for (int o = 0; o < kVenueRaces; ++o) {
      SlotByVenue[v][o] = -1;
      VenueRaceSheet[v][o] = RaceSheet{};
      VenueRaceCalc[v][o] = RaceCalc{};
    }
  }
  // Nothing of an earlier date may stay countable or selectable.
  SpsBuf.fill('0');
  RaceCount = 0;
  RaceListRows = 0;
  LoadedDate.Clear();
}

void RaceDay::ClearRecords() {
  for (int r = 0; r < kRaceSlots; ++r)
    for (int h = 0; h < kHorseSlots; ++h) RunnerImagesUsed[r][h] = 1 + kKakoRuns;
  ClearLoadedRecords();
}

void RaceDay::ClearLoadedRecords() {
  for (int r = 0; r < kRaceSlots; ++r) {
    RaRec[r].Clear();
    HrRec[r].Clear();
    YosoOzRec[r].Clear();
    YosoOzFound[r] = false;
    for (int h = 0; h < kHorseSlots; ++h) {
      SeRec[r][h].Clear();
      const int used = RunnerImagesUsed[r][h];
      if (used == 0) continue;
      UmRec[r][h].Clear();
      KsRec[r][h].Clear();
      ChRec[r][h].Clear();
      for (int k = 0; k < used - 1 && k < kKakoRuns; ++k) {
        KakoSeRec[r][h][k].Clear();
        KakoRaRec[r][h][k].Clear();
      }
      RunnerImagesUsed[r][h] = 0;
    }
  }
}

int RaceDay::Runners(int slot) const {
  if (slot < 0 || slot >= kRaceSlots) return 0;
  return std::clamp(RaRec[slot].Int(ra::kRunners), 0, kHorseSlots);
}

}  // namespace sorvix
