#include "store/store_paths.h"

#include <filesystem>

#include "app/file_io.h"
#include "app/program_folder.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"

namespace sorvix {

std::string_view RecordKey(std::string_view record) {
  return Field(record, race_record::kRaceKey);
}

Cp932Text DateLabel(std::string_view record) {
  return Cp932Text::FromBytes(std::string(Field(record, race_record::kYear)) + "年"_sj +
                              std::string(Field(record, race_record::kMonth)) + "月"_sj +
                              std::string(Field(record, race_record::kDay)) + "日"_sj);
}

Cp932Text DateLabelFromYmd(std::string_view ymd) {
  return Cp932Text::FromBytes(std::string(Field(ymd, ymd::kYear)) + "年"_sj +
                              std::string(Field(ymd, ymd::kMonth)) + "月"_sj +
                              std::string(Field(ymd, ymd::kDay)) + "日"_sj);
}

std::string RaceFilePath(Cp932View dateLabel) {
  return "\\Data\\" + std::string(dateLabel.bytes()) + ".jvRA";
}

std::string RunnerFilePath(Cp932View dateLabel, std::string_view venueCode) {
  return "\\Data\\" + std::string(dateLabel.bytes()) + VenueName(venueCode).bytes() + ".jvSEr";
}

std::string PayoutFilePath(Cp932View dateLabel) {
  return "\\Data\\" + std::string(dateLabel.bytes()) + ".jvHR";
}

std::string SaveMarkFilePath(Cp932View dateLabel) {
  return "\\Data\\" + std::string(dateLabel.bytes()) + ".sps";
}

std::string OddsFilePath(Cp932View dateLabel) {
  return "\\Data\\" + std::string(dateLabel.bytes()) + ".yoz";
}

std::string PastRunFilePath(std::string_view pedigreeNumber) {
  return "\\SEI\\" + std::string(pedigreeNumber.substr(0, 4)) + "\\" + std::string(pedigreeNumber) +
         ".jvSEI";
}

std::string HorseFilePath(std::string_view pedigreeNumber) {
  return "\\UM2\\" + std::string(pedigreeNumber.substr(0, 4)) + "\\" + std::string(pedigreeNumber) +
         ".jvUM2";
}

std::string OldHorseFilePath(std::string_view pedigreeNumber) {
  return "\\UMA\\" + std::string(pedigreeNumber.substr(0, 4)) + "\\" + std::string(pedigreeNumber) +
         ".jvUMA";
}

std::string JockeyFilePath(std::string_view jockeyCode) {
  return "\\KSCH\\" + std::string(jockeyCode.substr(0, 3)) + "Kish.jvKS";
}

std::string TrainerFilePath(std::string_view trainerCode) {
  return "\\KSCH\\" + std::string(trainerCode.substr(0, 3)) + "Chok.jvCH";
}

int RemoveStaleStoreTempFiles() {
  const std::filesystem::path home = ProgramFolder::Get();
  int removed = RemoveStaleTempFiles(home);
  for (const char* name : {"Data", "KSCH", "HPupload"})
    removed += RemoveStaleTempFiles(home / name);
  for (const char* top : {"SEI", "UM2"}) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(home / top, ec), end; !ec && it != end;
         it.increment(ec)) {
      std::error_code typeEc;
      std::string name = it->path().filename().string();
      // Year folders only: "\SEI\<yyyy>", "\UM2\<yyyy>".
      if (name.size() == 4 && name.find_first_not_of("0123456789") == std::string::npos &&
          it->is_directory(typeEc) && !it->is_symlink(typeEc))
        removed += RemoveStaleTempFiles(it->path());
    }
  }
  return removed;
}

}  // namespace sorvix
