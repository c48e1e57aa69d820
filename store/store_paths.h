// Names of the LocalStore files.  Every function returns the CP932 relative
// part ("\Data\2008年01月05日.jvRA"); HomePath() turns it into a file path.
#pragma once

#include <string>
#include <string_view>

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
inline constexpr int kSaveMarkBytes = 648;

// The 16-byte RecordKey of an RA, SE or HR record (positions 12–27).
std::string_view RecordKey(std::string_view record);

// year + "年" + month + "月" + day + "日" from a record's positions 12–19.
std::string DateLabel(std::string_view record);
// The same from an eight-digit "yyyymmdd".
std::string DateLabelFromYmd(std::string_view ymd);

std::string RaceFilePath(std::string_view dateLabel);  // \Data\<label>.jvRA
std::string RunnerFilePath(std::string_view dateLabel,
                           std::string_view venueCode);         // \Data\<label><venue>.jvSEr
std::string PayoutFilePath(std::string_view dateLabel);         // \Data\<label>.jvHR
std::string SaveMarkFilePath(std::string_view dateLabel);       // \Data\<label>.sps
std::string OddsFilePath(std::string_view dateLabel);           // \Data\<label>.yoz
std::string PastRunFilePath(std::string_view pedigreeNumber);   // \SEI\<yyyy>\<no>.jvSEI
std::string HorseFilePath(std::string_view pedigreeNumber);     // \UM2\<yyyy>\<no>.jvUM2
std::string OldHorseFilePath(std::string_view pedigreeNumber);  // \UMA\<yyyy>\<no>.jvUMA
std::string JockeyFilePath(std::string_view jockeyCode);        // \KSCH\<3>Kish.jvKS
std::string TrainerFilePath(std::string_view trainerCode);      // \KSCH\<3>Chok.jvCH

}  // namespace sorvix
