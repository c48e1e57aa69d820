// RaceSheet: one race laid out for the views, built by the assignment from
// the race's raw records.  Header fields come from the RA record; ring-row
// fields hold one value per ring row k = 0..17 (the horse RingHorse(k)).
//
// Every field has its empty value as default initialiser, so `RaceSheet{}`
// is the emptied sheet of a reset: flags false, texts empty, numbers 0, and
// the header number after the two flag bytes −1.
#pragma once

#include <cstdint>

#include "common/day_slots.h"
#include "common/fixed_text.h"

namespace sorvix {

struct RaceSheet {
  uint8_t Present = 0;        // 1 once the slot has been assigned
  uint8_t ReservedFlag = 0;   // kept for the layout; nothing reads it
  int32_t HeaderNumber = -1;  // kept for the layout; only the reset writes it

  // Header, from the RA record.
  FixedText<17> RaceKey;        // year, month-day, venue, meeting, day, race (12, 16)
  FixedText<61> RaceName;       // 33, 60
  FixedText<2> GradeCode;       // 615, 1
  FixedText<3> RaceTypeCode;    // 617, 2
  FixedText<3> RaceSymbolCode;  // 619, 3
  FixedText<2> WeightRuleCode;  // 622, 1
  FixedText<4> ClassCode;       // 635, 3
  FixedText<5> Distance;        // 698, 4
  FixedText<3> TrackCode;       // 706, 2
  FixedText<5> StartTime;       // 874, 4 (hhmm)
  int32_t Prize[7] = {};        // thousands of yen
  int32_t AddedPrize[5] = {};   // thousands of yen
  FixedText<3> RunnerCount;     // 882, 2

  // Ring rows.
  FixedText<2> HorseNo[kRingRows];
  FixedText<1> BracketNo[kRingRows];
  FixedText<10> PedigreeNo[kRingRows];
  FixedText<20> HorseName[kRingRows];
  FixedText<1> Sex[kRingRows];
  FixedText<2> Age[kRingRows];
  FixedText<3> Burden[kRingRows];
  FixedText<5> JockeyCode[kRingRows];
  FixedText<8> JockeyName[kRingRows];
  FixedText<1> ApprenticeCode[kRingRows];
  FixedText<5> TrainerCode[kRingRows];
  FixedText<8> TrainerName[kRingRows];
  FixedText<30> JockeyKana[kRingRows];
  FixedText<30> TrainerKana[kRingRows];
  FixedText<18> SireName[kRingRows];
  FixedText<18> DamName[kRingRows];
  FixedText<18> SireSireName[kRingRows];
  FixedText<18> HorseNamePlain[kRingRows];
  FixedText<18> SireNamePlain[kRingRows];
  FixedText<18> DamNamePlain[kRingRows];
  FixedText<2> HorseSymbol[kRingRows];
  FixedText<8> BirthDate[kRingRows];
  FixedText<2> CoatCode[kRingRows];
  FixedText<64> OwnerName[kRingRows];
  FixedText<1> AffiliationCode[kRingRows];
  FixedText<24> InviteRegion[kRingRows];
  FixedText<20> BirthPlace[kRingRows];
  FixedText<70> BreederName[kRingRows];
  FixedText<1> JockeySex[kRingRows];
  int32_t JockeyOnlyRide[kRingRows] = {};
  int32_t TrainerOnlyRunner[kRingRows] = {};
  FixedText<3> FinishPos[kRingRows];
  int32_t Popularity[kRingRows] = {};

  // The two day-wide flags per horse number (index horse number − 1).
  int32_t JockeyOnlyRideByHorse[kHorseSlots] = {};
  int32_t TrainerOnlyRunnerByHorse[kHorseSlots] = {};
};

}  // namespace sorvix
