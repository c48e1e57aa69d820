#include "store/record_date.h"

#include "codes/text.h"
#include "common/record_fields.h"

namespace sorvix {
namespace {

std::optional<int> Digits(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool IsLeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

}  // namespace

std::optional<int64_t> CalendarDay(std::string_view year, std::string_view month,
                                   std::string_view day) {
  auto y = Digits(year), m = Digits(month), d = Digits(day);
  if (!y || !m || !d) return std::nullopt;
  if (*y < 1 || *m < 1 || *m > 12 || *d < 1 || *d > DaysInMonth(*y, *m)) return std::nullopt;
  return DaysFromCivil(*y, static_cast<unsigned>(*m), static_cast<unsigned>(*d));
}

std::optional<int64_t> RecordDay(std::string_view record) {
  return CalendarDay(Field(record, race_record::kYear), Field(record, race_record::kMonth),
                     Field(record, race_record::kDay));
}

}  // namespace sorvix
