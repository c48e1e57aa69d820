// The payout import (払戻取込, the hidden command HrReadBtnClick): re-reads
// the date's races and runners from the LocalStore, attaches each HR record
// of the date's PayoutFile to its race and parses every race's payouts into
// its PayoutTable.  The payouts also set the final positions of the placed
// runners (SE positions 335–336, "01" …), horses in a dead heat sharing
// theirs as JRA numbers them (1, 1, 3): see FinalPositions.
//
// It runs while a date is loaded, right after the assignment, and again
// after every real-time results fetch.  Nothing is written to files.  In
// the load the race and runner lines were read a moment before, so the
// load's step takes them as they are instead of reading them again.
#pragma once

#include <string_view>

#include "codes/cp932_text.h"

namespace sorvix {

class RaceDay;

// Whether the import reads the race and runner lines again first.
enum class RaceLines {
  Reread,    // after a results fetch: the files hold newer lines
  AsLoaded,  // right after the load read them
};

struct PayoutImportOutcome {
  // The selected race (`selectedSlot`) received its payouts for the first
  // time: the caller selects it again so that every view shows them.
  bool selectedRaceReceived = false;
};

// Imports the payouts of the date `dateLabel` into `day`.  A
// missing RaceFile skips the re-read of races and runners, a missing
// RunnerFile leaves that race's runners unchanged, and a missing PayoutFile
// leaves HrRec and the payout tables as they were.  A file that cannot be
// read, or is not a whole number of records, throws Error; a race line
// with a damaged date or race number is passed over as in the load; what
// was read before stays in the model.  `selectedSlot` is the race the
// window shows (−1: none), for selectedRaceReceived.
PayoutImportOutcome ImportPayouts(RaceDay& day, Cp932View dateLabel,
                                  RaceLines races = RaceLines::Reread, int selectedSlot = -1);

}  // namespace sorvix
