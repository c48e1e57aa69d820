#include "store/stored_line.h"

#include "codes/code_tables.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/store_paths.h"

namespace sorvix {

std::string StoredLine(std::string_view record) {
  if (record.size() < 2) return {};
  return std::string(record.substr(0, record.size() - 2));
}

std::string RaceLine(std::string_view record) {
  std::string line = StoredLine(record);
  std::string_view time = FieldInt(record, ra::kStartTimeBeforeChange) >= 1
                              ? Field(record, ra::kStartTimeBeforeChange)
                              : Field(record, ra::kStartTime);
  std::string head = std::string(time) + std::string(Field(record, ra::kVenueCode)) +
                     std::string(Field(record, ra::kRaceNumber));
  if (head.size() != static_cast<size_t>(ra::kPostOrder.width) || line.size() < 10) return line;
  return OverwriteAt(line, head, ra::kPostOrder.pos);
}

std::string ZeroedLine(std::string_view record) {
  std::string line = StoredLine(record);
  if (line.size() < 11) return line;
  return OverwriteAt(line, std::string(jv::kDataKindAndMadeDate.width, '0'),
                     jv::kDataKindAndMadeDate.pos);
}

bool IsWholeRecord(std::string_view record) {
  std::string_view type = Field(record, jv::kRecordType);
  int length = 0;
  if (type == "RA")
    length = kRaLength;
  else if (type == "SE")
    length = kSeLength;
  else if (type == "HR")
    length = kHrLength;
  else if (type == "UM")
    length = kUmLength;
  else if (type == "KS")
    length = kKsLength;
  else if (type == "CH")
    length = kChLength;
  else
    return true;
  if (record.size() != static_cast<size_t>(length)) return false;
  std::string_view body = record.substr(0, record.size() - 2);
  if (record.substr(record.size() - 2) != "\r\n") return false;
  // Two plain scans: find_first_of with a set costs a search per byte.
  return body.find('\n') == std::string_view::npos && body.find('\r') == std::string_view::npos;
}

}  // namespace sorvix

namespace sorvix {

std::optional<std::string> StoredFileProblem(std::string_view bytes, int length,
                                             std::string_view type) {
  const size_t width = static_cast<size_t>(length) - 2;
  size_t start = 0;
  for (size_t line = 1; start < bytes.size(); ++line) {
    size_t lf = bytes.find('\n', start);
    size_t stop = lf == std::string_view::npos ? bytes.size() : lf;
    std::string_view text = bytes.substr(start, stop - start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    start = lf == std::string_view::npos ? bytes.size() : lf + 1;
    // Blank lines are tolerated (the real-time fetch drops a leading one).
    if (IsBlank(text)) continue;
    if (text.size() != width || text.find('\r') != std::string_view::npos)
      return std::to_string(line) + " 行目の長さが " + std::to_string(text.size()) +
             " バイトです（" + std::to_string(width) + " バイトのはずです）";
    if (Field(text, jv::kRecordType) != type)
      return std::to_string(line) + " 行目が " + std::string(type) + " の行ではありません";
  }
  return std::nullopt;
}

}  // namespace sorvix
