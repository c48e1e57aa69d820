#include "store/record_checks.h"

#include <cstdio>

#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/record_date.h"

namespace sorvix {
std::string ShownField(std::string_view field) {
  std::string out;
  for (unsigned char c : field) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

bool IsDigitField(std::string_view field, size_t width) {
  if (field.size() != width) return false;
  for (char c : field)
    if (c < '0' || c > '9') return false;
  return true;
}

bool IsPedigreeNumber(std::string_view field) {
  return IsDigitField(field, 10);
}

bool IsPersonCode(std::string_view field) {
  return IsDigitField(field, 5);
}

std::optional<std::string> RecordDateProblem(std::string_view record) {
  if (RecordDay(record)) return std::nullopt;
  return "日付 \"" + ShownField(Field(record, race_record::kDate)) +
         "\" が正しい日付ではありません";
}

std::optional<std::string> RaceNumberProblem(std::string_view record) {
  std::string_view field = Field(record, race_record::kRaceNumber);
  if (IsDigitField(field, 2)) {
    int race = (field[0] - '0') * 10 + (field[1] - '0');
    if (race >= 1 && race <= 12) return std::nullopt;
  }
  return "レース番号 \"" + ShownField(field) + "\" が 1～12 ではありません";
}

std::optional<std::string> RaceKeyProblem(std::string_view record) {
  if (auto problem = RecordDateProblem(record)) return problem;
  return RaceNumberProblem(record);
}

std::optional<std::string> StoredLineProblem(std::string_view line, std::string_view type) {
  bool ends = line.size() >= 2 && line.substr(line.size() - 2) == "\r\n";
  std::string_view content = line.substr(0, ends ? line.size() - 2 : line.size());
  if (ends && content.find_first_not_of(' ') == std::string_view::npos) return std::nullopt;
  if (line.substr(0, 2) != type)
    return std::string(type) + " の行ではありません（種別 \"" + ShownField(line.substr(0, 2)) +
           "\"）";
  if (!ends) return "行の終わり（CR LF）が正しい位置にありません（前後の行の長さが違います）";
  return std::nullopt;
}

}  // namespace sorvix
