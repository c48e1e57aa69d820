#include "codes/text.h"

#include <cstdarg>
#include <cstdio>
#include <limits>

namespace sorvix {
namespace {

// Moves `i` past the leading blanks and a sign of a number; returns whether
// the sign was a minus.
bool SkipBlanksAndSign(std::string_view text, size_t& i) {
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
  return false;
}

}  // namespace

int64_t ReadNumber(std::string_view text) {
  size_t i = 0;
  const bool negative = SkipBlanksAndSign(text, i);
  int64_t value = 0;
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10 - 10;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < kLimit) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

double ReadDecimal(std::string_view text) {
  size_t i = 0;
  const bool negative = SkipBlanksAndSign(text, i);
  double value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + (text[i] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
      value += (text[i] - '0') * scale;
  }
  return negative ? -value : value;
}

std::string_view Field(std::string_view record, int pos, int width) {
  if (pos < 1 || width <= 0) return {};
  size_t start = static_cast<size_t>(pos - 1);
  if (start >= record.size()) return {};
  return record.substr(start, static_cast<size_t>(width));
}

bool IsBlank(std::string_view text) {
  for (char c : text)
    if (c != ' ') return false;
  return true;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view TrimBlanksRight(std::string_view cp932) {
  size_t end = 0;
  for (size_t i = 0; i < cp932.size();) {
    unsigned char c = static_cast<unsigned char>(cp932[i]);
    size_t width = IsLeadByte(c) && i + 1 < cp932.size() ? 2 : 1;
    bool blank =
        width == 1 ? c == ' ' : (c == 0x81 && static_cast<unsigned char>(cp932[i + 1]) == 0x40);
    i += width;
    if (!blank) end = i;
  }
  return cp932.substr(0, end);
}

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (char ch : utf8) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      out += Format("\\u%04x", c);
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  va_end(args);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace sorvix
