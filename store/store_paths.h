// Names of the LocalStore files.  Every path function returns the relative
// part as the stored data name it, in CP932 bytes ("\Data\2008年01月05日.jvRA");
// HomePath() turns it into a file path.
#pragma once

#include <string>
#include <string_view>

#include "codes/cp932_text.h"
#include "common/record_lengths.h"

namespace sorvix {

// The 16-byte RecordKey of an RA, SE or HR record (positions 12–27).
std::string_view RecordKey(std::string_view record);

// The DateLabel: year + "年" + month + "月" + day + "日" from a record's
// positions 12–19.
Cp932Text DateLabel(std::string_view record);
// The same from an eight-digit "yyyymmdd".
Cp932Text DateLabelFromYmd(std::string_view ymd);

std::string RaceFilePath(Cp932View dateLabel);  // \Data\<label>.jvRA
std::string RunnerFilePath(Cp932View dateLabel,
                           std::string_view venueCode);         // \Data\<label><venue>.jvSEr
std::string PayoutFilePath(Cp932View dateLabel);                // \Data\<label>.jvHR
std::string SaveMarkFilePath(Cp932View dateLabel);              // \Data\<label>.sps
std::string OddsFilePath(Cp932View dateLabel);                  // \Data\<label>.yoz
std::string PastRunFilePath(std::string_view pedigreeNumber);   // \SEI\<yyyy>\<no>.jvSEI
std::string HorseFilePath(std::string_view pedigreeNumber);     // \UM2\<yyyy>\<no>.jvUM2
std::string OldHorseFilePath(std::string_view pedigreeNumber);  // \UMA\<yyyy>\<no>.jvUMA
std::string JockeyFilePath(std::string_view jockeyCode);        // \KSCH\<3>Kish.jvKS
std::string TrainerFilePath(std::string_view trainerCode);      // \KSCH\<3>Chok.jvCH

// Removes the temporary files that killed writers left in the folders the
// program writes: ProgramFolder itself, "\Data", "\KSCH", "\HPupload" and
// the year folders of "\SEI" and "\UM2" (RemoveStaleTempFiles: only the
// program's own temporary names).  No other folder is looked into.
int RemoveStaleStoreTempFiles();

}  // namespace sorvix
