#include "acquisition/acquisition_routing.h"

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/record_store.h"
#include "store/stored_line.h"

namespace sorvix {
namespace {

const std::string& Made() {
  static const std::string text = "作成済み:"_sj;
  return text;
}

std::string RaceNumberText(std::string_view record) {
  return std::string(Field(record, 26, 2)) + "R/";
}

void Add(RoutedRecord& routed, std::string prefix, const std::string& fileName) {
  if (!fileName.empty()) routed.listLines.push_back(Made() + prefix + fileName);
}

void RouteRunner(std::string_view record, const RoutingWindow& window, StoreWriter& writer,
                 RoutedRecord& routed) {
  char kind = record[2];
  int race = FieldInt(record, 26, 2);
  int horse = FieldInt(record, 29, 2);
  if (race > 0 && horse >= 1 && horse <= 18 && kind != 'A' && kind != 'B' &&
      window.InDateWindow(record)) {
    std::string fileName = StoreRunnerRecord(writer, record, StoreMode::Accumulating);
    // A race number beyond the file's 12 races has no line to go to.
    if (fileName.empty()) routed.damaged = true;
    Add(routed, RaceNumberText(record) + std::string(Field(record, 29, 2)) + "番/"_sj, fileName);
  }
  std::string_view year = Field(record, 31, 4);
  if (year > std::string_view(window.year15)) {
    writer.EnsureFolder("\\SEI\\" + std::string(year));
    if (kind == '7') {
      std::string when =
          std::string(Field(record, 12, 4)) + "年"_sj + std::string(Field(record, 16, 2)) +
          "月"_sj + std::string(Field(record, 18, 2)) + "日"_sj + VenueName(Field(record, 20, 2));
      Add(routed, when + RaceNumberText(record), StorePastRunRecord(writer, record));
    }
  }
}

}  // namespace

bool RoutingWindow::InDateWindow(std::string_view record) const {
  return ReadNumber(Field(record, 12, 8)) >= static_cast<int64_t>(fromYmd) - 10;
}

RoutedRecord RouteAcquiredRecord(std::string_view record, const RoutingWindow& window,
                                 StoreWriter& writer) {
  RoutedRecord routed;
  if (record.size() < 3) return routed;
  if (!IsWholeRecord(record)) {
    routed.damaged = true;
    return routed;
  }
  std::string_view type = record.substr(0, 2);
  char kind = record[2];
  if (type == "RA") {
    int runners = FieldInt(record, 882, 2);
    if (kind != '1' && kind != 'A' && kind != 'B' && window.InDateWindow(record) &&
        FieldInt(record, 26, 2) > 0 && runners >= 1 && runners <= 18)
      Add(routed, RaceNumberText(record), StoreRaceRecord(writer, record, StoreMode::Accumulating));
  } else if (type == "SE") {
    RouteRunner(record, window, writer, routed);
  } else if (type == "HR") {
    if (window.InDateWindow(record) && FieldInt(record, 26, 2) > 0)
      Add(routed, RaceNumberText(record),
          StorePayoutRecord(writer, record, StoreMode::Accumulating));
  } else if (type == "UM") {
    if (Field(record, 12, 4) > std::string_view(window.year15))
      Add(routed, "", StoreHorseRecord(writer, record));
  } else if (type == "KS") {
    if (kind != '0')
      Add(routed, std::string(Field(record, 12, 5)) + "/", StoreJockeyRecord(writer, record));
  } else if (type == "CH") {
    if (kind != '0')
      Add(routed, std::string(Field(record, 12, 5)) + "/", StoreTrainerRecord(writer, record));
  }
  return routed;
}

}  // namespace sorvix
