// The sizes of the stored records and files of the LocalStore.
#pragma once

#include "common/day_slots.h"

namespace sorvix {

// Stored line lengths including CR LF.
inline constexpr int kRaLength = 1272;
inline constexpr int kSeLength = 555;
inline constexpr int kHrLength = 719;
inline constexpr int kUmLength = 1609;
inline constexpr int kKsLength = 4173;
inline constexpr int kChLength = 3862;
inline constexpr int kOddsLength = 1461;
inline constexpr int kOldUmLength = 1577;

// RunnerFile: 216 lines of 553 characters (+ CR LF).
inline constexpr int kRunnerFileLines = 216;
// SaveMarkFile: 36 races × 18 ring rows, one byte each.
inline constexpr int kSaveMarkBytes = kRaceSlots * kRingRows;

}  // namespace sorvix
