#include "codes/csv_cell.h"

namespace sorvix {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The characters of which numbers, dates, times, fractions and percentages
// are made, in Calc's and Excel's readings under a Japanese or English
// locale (UTF-8 bytes of the Japanese date words and full-width digits
// included).  A text with any other character stays text.
bool OnlyNumberLikeCharacters(std::string_view text) {
  static constexpr std::string_view kWords[] = {"年", "月", "日", "時", "分", "秒", "０", "１",
                                                "２", "３", "４", "５", "６", "７", "８", "９",
                                                "－", "／", "：", "．", "，", "＋", "％", "　"};
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (IsDigit(c) || std::string_view(" -/:.,+%()eE$").find(c) != std::string_view::npos) {
      ++i;
      continue;
    }
    bool word = false;
    for (std::string_view w : kWords) {
      if (text.substr(i, w.size()) == w) {
        i += w.size();
        word = true;
        break;
      }
    }
    if (!word) return false;
  }
  return true;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace

bool IsPlainCsvNumber(std::string_view text) {
  std::string_view s = text;
  if (!s.empty() && s.front() == '-') s.remove_prefix(1);
  size_t digits = 0;
  while (digits < s.size() && IsDigit(s[digits])) ++digits;
  if (digits == 0 || (digits > 1 && s.front() == '0')) return false;
  s.remove_prefix(digits);
  if (s.empty()) return true;
  if (s.front() != '.' || s.size() == 1) return false;
  s.remove_prefix(1);
  for (char c : s)
    if (!IsDigit(c)) return false;
  return true;
}

bool CsvNeedsTextForm(std::string_view text) {
  if (text.empty() || IsPlainCsvNumber(text)) return false;
  char first = text.front();
  if (first == '=' || first == '+' || first == '-' || first == '@') return true;
  // No digit, no number: blanks, "%" or "()" alone stay text.
  bool digit = false;
  for (char c : text) digit = digit || IsDigit(c);
  for (std::string_view d : {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"})
    digit = digit || text.find(d) != std::string_view::npos;
  return digit && OnlyNumberLikeCharacters(text);
}

std::string CsvCell(std::string_view text) {
  if (CsvNeedsTextForm(text)) return Quoted("=" + Quoted(text));
  if (text.find_first_of(",\"\r\n") != std::string_view::npos) return Quoted(text);
  return std::string(text);
}

std::string CsvLine(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t c = 0; c < cells.size(); ++c) {
    if (c) line += ',';
    // A NUL byte of a damaged record field is no text: a reader of the CSV
    // would cut the cell (or the file) there.
    std::string cell = cells[c];
    std::erase(cell, '\0');
    line += CsvCell(cell);
  }
  return line + "\r\n";
}

}  // namespace sorvix
