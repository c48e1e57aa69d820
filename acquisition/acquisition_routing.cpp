#include "acquisition/acquisition_routing.h"

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/record_checks.h"
#include "store/record_store.h"
#include "store/store_paths.h"
#include "store/stored_line.h"

namespace sorvix {
namespace {

const std::string& Made() {
  static const std::string text = "作成済み:"_sj;
  return text;
}

std::string RaceNumberText(std::string_view record) {
  return std::string(Field(record, race_record::kRaceNumber)) + "R/";
}

void Add(RoutedRecord& routed, std::string prefix, const std::string& fileName) {
  // The prefix is made of the record's own fields, the file name of the
  // store's: CP932 both.
  if (!fileName.empty())
    routed.listLines.push_back(Cp932Text::FromBytes(Made() + prefix + fileName));
}

void Skip(RoutedRecord& routed, const std::string& reason) {
  if (routed.skipped.empty()) routed.skipped = reason;
}

void RouteRunner(std::string_view record, const RoutingWindow& window, StoreWriter& writer,
                 RoutedRecord& routed) {
  char kind = Field(record, jv::kDataKind)[0];
  auto dateProblem = RecordDateProblem(record);
  auto raceProblem = RaceNumberProblem(record);
  int race = FieldInt(record, se::kRaceNumber);
  int horse = FieldInt(record, se::kHorseNumber);
  if (race > 0 && horse >= 1 && horse <= 18 && kind != 'A' && kind != 'B' &&
      (dateProblem || window.InDateWindow(record))) {
    if (dateProblem || raceProblem) {
      Skip(routed, dateProblem ? *dateProblem : *raceProblem);
    } else {
      Add(routed, RaceNumberText(record) + std::string(Field(record, se::kHorseNumber)) + "番/"_sj,
          StoreRunnerRecord(writer, record, StoreMode::Accumulating));
    }
  }
  std::string_view year = Field(record, se::kPedigreeYear);
  if (year > std::string_view(window.year15)) {
    std::string_view pedigree = Field(record, se::kPedigreeNumber);
    if (!IsPedigreeNumber(pedigree)) {
      Skip(routed, "血統登録番号 \"" + ShownField(pedigree) + "\" が 10 桁の数字ではありません");
      return;
    }
    writer.EnsureFolder("\\SEI\\" + std::string(year));
    if (kind == '7') {
      if (auto problem = RaceKeyProblem(record)) {
        Skip(routed, *problem);
        return;
      }
      std::string when =
          DateLabel(record).bytes() + VenueName(Field(record, se::kVenueCode)).bytes();
      Add(routed, when + RaceNumberText(record), StorePastRunRecord(writer, record));
    }
  }
}

// The checks of the fields that name a stored record's file or line.
std::optional<std::string> KeyProblem(std::string_view type, std::string_view record) {
  if (type == "RA" || type == "HR") return RaceKeyProblem(record);
  if (type == "UM" && !IsPedigreeNumber(Field(record, um::kPedigreeNumber)))
    return "血統登録番号 \"" + ShownField(Field(record, um::kPedigreeNumber)) +
           "\" が 10 桁の数字ではありません";
  // The jockey code of KS and the trainer code of CH share their place.
  if ((type == "KS" || type == "CH") && !IsPersonCode(Field(record, ks::kJockeyCode)))
    return std::string(type == "KS" ? "騎手" : "調教師") + "コード \"" +
           ShownField(Field(record, ks::kJockeyCode)) + "\" が 5 桁の数字ではありません";
  return std::nullopt;
}

}  // namespace

bool RoutingWindow::InDateWindow(std::string_view record) const {
  return ReadNumber(Field(record, race_record::kDate)) >= static_cast<int64_t>(fromYmd) - 10;
}

RoutedRecord RouteAcquiredRecord(std::string_view record, const RoutingWindow& window,
                                 StoreWriter& writer) {
  RoutedRecord routed;
  if (record.size() < 3) return routed;
  std::string_view type = Field(record, jv::kRecordType);
  if (!IsWholeRecord(record)) {
    routed.skipped = "長さが正しくありません（" + std::to_string(record.size()) + " バイト）";
    return routed;
  }
  char kind = Field(record, jv::kDataKind)[0];
  if (type != "SE") {
    if (auto problem = KeyProblem(type, record)) {
      // Only a record that would have been stored is worth a warning.
      bool raced = FieldInt(record, race_record::kRaceNumber) > 0;
      bool wanted =
          (type == "RA" && kind != '1' && kind != 'A' && kind != 'B' && raced) ||
          (type == "HR" && raced) ||
          (type == "UM" && Field(record, um::kPedigreeYear) > std::string_view(window.year15)) ||
          ((type == "KS" || type == "CH") && kind != '0');
      if (wanted) routed.skipped = *problem;
      return routed;
    }
  }
  if (type == "RA") {
    int runners = FieldInt(record, ra::kRunners);
    if (kind != '1' && kind != 'A' && kind != 'B' && window.InDateWindow(record) &&
        FieldInt(record, ra::kRaceNumber) > 0 && runners >= 1 && runners <= 18)
      Add(routed, RaceNumberText(record), StoreRaceRecord(writer, record, StoreMode::Accumulating));
  } else if (type == "SE") {
    RouteRunner(record, window, writer, routed);
  } else if (type == "HR") {
    if (window.InDateWindow(record) && FieldInt(record, race_record::kRaceNumber) > 0)
      Add(routed, RaceNumberText(record),
          StorePayoutRecord(writer, record, StoreMode::Accumulating));
  } else if (type == "UM") {
    if (Field(record, um::kPedigreeYear) > std::string_view(window.year15))
      Add(routed, "", StoreHorseRecord(writer, record));
  } else if (type == "KS") {
    if (kind != '0')
      Add(routed, std::string(Field(record, ks::kJockeyCode)) + "/",
          StoreJockeyRecord(writer, record));
  } else if (type == "CH") {
    if (kind != '0')
      Add(routed, std::string(Field(record, ch::kTrainerCode)) + "/",
          StoreTrainerRecord(writer, record));
  }
  return routed;
}

}  // namespace sorvix
