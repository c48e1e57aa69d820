// The writers of each record type into its LocalStore file, shared by the
// accumulating acquisition and the real-time results fetch.  The callers
// decide which records to store (data kind, date window); these functions
// apply the file rules:
//
//   RA → RaceFile    keyed by RecordKey, positions 3–10 rewritten.
//                    Real-time: only into an existing file, and a blank
//                    first line is dropped after sorting.
//   SE → RunnerFile  line (race − 1) × 18 + horse − 1, unchanged.
//                    Real-time: only into an existing file.
//   HR → PayoutFile  keyed by RecordKey; positions 3–11 zeroed by the
//                    accumulating acquisition, kept by the real-time fetch.
//   SE → PastRunFile keyed by RecordKey, positions 3–11 zeroed.
//   UM → HorseFile   the whole file is the one line.
//   KS → JockeyFile, CH → TrainerFile  keyed by code, positions 3–11 zeroed.
//
// Each returns the name of the file stored into (CP932, without folder), or
// an empty text when the record was not stored.
#pragma once

#include <string>
#include <string_view>

#include "store/store_writer.h"

namespace sorvix {

enum class StoreMode { Accumulating, RealTime };

std::string StoreRaceRecord(StoreWriter& writer, std::string_view record, StoreMode mode);
std::string StoreRunnerRecord(StoreWriter& writer, std::string_view record, StoreMode mode);
std::string StorePayoutRecord(StoreWriter& writer, std::string_view record, StoreMode mode);
std::string StorePastRunRecord(StoreWriter& writer, std::string_view record);
std::string StoreHorseRecord(StoreWriter& writer, std::string_view record);
std::string StoreJockeyRecord(StoreWriter& writer, std::string_view record);
std::string StoreTrainerRecord(StoreWriter& writer, std::string_view record);

// The last part of a CP932 store path ("\Data\x.jvRA" → "x.jvRA").
std::string StoreFileName(std::string_view relative);

}  // namespace sorvix
