// RaceDay: the in-memory model of one meeting date.  Fixed-capacity arrays
// of raw record images plus the values computed from them; one object lives
// for the whole program (about 20 MB, so it is only ever made on the heap
// through Create()).  Loading a date fills it in place and allocates nothing
// per record.
//
// Indices: RaceSlot 0–35 (the order of the date's RaceFile lines), HorseSlot
// 0–17 (horse number − 1), KakoIndex 0–9 (earlier runs, 0 the most recent),
// ring row 0–17, venue index 0–2 and ordinal 0–11 within a venue.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "codes/cp932_text.h"
#include "common/day_slots.h"
#include "common/fixed_text.h"
#include "common/payout_table.h"
#include "common/race_calc.h"
#include "common/race_sheet.h"
#include "store/record_image.h"
#include "store/store_paths.h"

namespace sorvix {

class RaceDay {
 public:
  static std::unique_ptr<RaceDay> Create();
  RaceDay(const RaceDay&) = delete;
  RaceDay& operator=(const RaceDay&) = delete;

  // The reset (初期化): every computed value back to its empty state.  The
  // record images are left alone; ClearRecords() space-fills them.
  void Reset();
  // Space-fills every record image and forgets the matched odds lines.
  void ClearRecords();
  // The same for a day filled by the loader, which notes in RunnerImagesUsed
  // the runner slots it wrote: the race, runner, payout and odds images are
  // space-filled whole, the horse, jockey, trainer and past-run images only
  // where noted (most of the 20 MB are never touched by a date).  Code that
  // writes those images elsewhere calls ClearRecords() instead.
  void ClearLoadedRecords();

  // The entered-runner count of a slot (RA 882, 2), limited to 0–18.
  int Runners(int slot) const;

  // Record images.
  RaImage RaRec[kRaceSlots];
  SeImage SeRec[kRaceSlots][kHorseSlots];
  UmImage UmRec[kRaceSlots][kHorseSlots];
  KsImage KsRec[kRaceSlots][kHorseSlots];
  ChImage ChRec[kRaceSlots][kHorseSlots];
  SeImage KakoSeRec[kRaceSlots][kHorseSlots][kKakoRuns];
  // The race of each earlier run; only the RecordKey (12–27) when that race
  // is not in the store.
  RaImage KakoRaRec[kRaceSlots][kHorseSlots][kKakoRuns];
  // Per runner slot, what the loader wrote of UmRec, KsRec, ChRec,
  // KakoSeRec and KakoRaRec: 0 nothing, else 1 + the past-run slots written.
  uint8_t RunnerImagesUsed[kRaceSlots][kHorseSlots] = {};
  HrImage HrRec[kRaceSlots];
  // The payout import's results per race: the parsed payouts, and whether
  // an HR record has been matched to the race.
  PayoutTable Payouts[kRaceSlots];
  bool PayoutLoaded[kRaceSlots] = {};
  OddsImage YosoOzRec[kRaceSlots];
  bool YosoOzFound[kRaceSlots] = {};

  // Per-race records and their per-venue copies.
  RaceSheet Sheet[kRaceSlots];
  RaceCalc Calc[kRaceSlots];
  RaceSheet VenueRaceSheet[kDayVenueCount][kVenueRaces];
  RaceCalc VenueRaceCalc[kDayVenueCount][kVenueRaces];
  int32_t VenueOfSlot[kRaceSlots] = {};
  int32_t OrdinalOfSlot[kRaceSlots] = {};
  int32_t SlotByVenue[kDayVenueCount][kVenueRaces] = {};
  int32_t VenueRaceCount[kDayVenueCount] = {};

  // Save marks of the date: byte RaceSlot × 18 + ring row is '1' or '0'.
  std::array<char, kSaveMarkBytes> SpsBuf;
  // The distinct venue codes of the date, ascending (empty when fewer).
  FixedText<2> DayVenues[kDayVenueCount];
  int RaceCount = 0;
  bool From2005 = false;

  // The race list: row i is RaceSlot i, "09:50 中山 1R" (CP932), as the
  // list shows it: RaceListRow(i).
  FixedText<16> RaceList[kRaceSlots];
  int RaceListRows = 0;
  // The DateLabel of the date loaded last (empty when none): LoadedLabel().
  FixedText<14> LoadedDate;

  Cp932View RaceListRow(int row) const { return Cp932View::FromBytes(RaceList[row].View()); }
  Cp932View LoadedLabel() const { return Cp932View::FromBytes(LoadedDate.View()); }

 private:
  RaceDay();
};

}  // namespace sorvix
