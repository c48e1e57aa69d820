#include "store/record_store.h"

#include "codes/text.h"
#include "common/record_fields.h"
#include "store/runner_file.h"
#include "store/store_paths.h"
#include "store/stored_line.h"

namespace sorvix {
namespace {

std::string StoredOrEmpty(bool stored, std::string_view relative) {
  return stored ? StoreFileName(relative) : std::string();
}

}  // namespace

std::string StoreFileName(std::string_view relative) {
  size_t start = 0;
  for (size_t i = 0; i < relative.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(relative[i]);
    if (IsLeadByte(c)) {
      ++i;  // the second byte may be 0x5C
    } else if (c == '\\' || c == '/') {
      start = i + 1;
    }
  }
  return std::string(relative.substr(std::min(start, relative.size())));
}

std::string StoreRaceRecord(StoreWriter& writer, std::string_view record, StoreMode mode) {
  std::string path = RaceFilePath(DateLabel(record));
  StoreWriter::UpsertOptions options;
  if (mode == StoreMode::RealTime) {
    options.onlyWhenExists = true;
    options.dropBlankFirstLine = true;
  }
  return StoredOrEmpty(writer.UpsertLine(path, RaceLine(record), kRecordKeyField, options), path);
}

std::string StoreRunnerRecord(StoreWriter& writer, std::string_view record, StoreMode mode) {
  int index =
      RunnerLineIndex(FieldInt(record, se::kRaceNumber), FieldInt(record, se::kHorseNumber));
  if (index < 0) return {};
  std::string path = RunnerFilePath(DateLabel(record), Field(record, se::kVenueCode));
  return StoredOrEmpty(
      writer.ReplaceRunnerLine(path, index, StoredLine(record), mode == StoreMode::RealTime), path);
}

std::string StorePayoutRecord(StoreWriter& writer, std::string_view record, StoreMode mode) {
  std::string path = PayoutFilePath(DateLabel(record));
  std::string line = mode == StoreMode::RealTime ? StoredLine(record) : ZeroedLine(record);
  return StoredOrEmpty(writer.UpsertLine(path, std::move(line), kRecordKeyField), path);
}

std::string StorePastRunRecord(StoreWriter& writer, std::string_view record) {
  std::string path = PastRunFilePath(Field(record, se::kPedigreeNumber));
  return StoredOrEmpty(writer.UpsertLine(path, ZeroedLine(record), kRecordKeyField), path);
}

std::string StoreHorseRecord(StoreWriter& writer, std::string_view record) {
  std::string path = HorseFilePath(Field(record, um::kPedigreeNumber));
  writer.ReplaceWholeFile(path, StoredLine(record));
  return StoreFileName(path);
}

std::string StoreJockeyRecord(StoreWriter& writer, std::string_view record) {
  std::string path = JockeyFilePath(Field(record, ks::kJockeyCode));
  return StoredOrEmpty(writer.UpsertLine(path, ZeroedLine(record), kCodeKeyField), path);
}

std::string StoreTrainerRecord(StoreWriter& writer, std::string_view record) {
  std::string path = TrainerFilePath(Field(record, ch::kTrainerCode));
  return StoredOrEmpty(writer.UpsertLine(path, ZeroedLine(record), kCodeKeyField), path);
}

}  // namespace sorvix
