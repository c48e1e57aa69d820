// Calendar dates of the generated feed.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace sorvix::feedgen {

struct Date {
  int y = 1970;
  int m = 1;
  int d = 1;

  static Date FromDays(int days);  // days since 1970-01-01
  int Days() const;
  Date Plus(int days) const { return FromDays(Days() + days); }
  int Weekday() const;      // 0 Sunday … 6 Saturday
  int DayOfYear() const;    // 1 …
  std::string Ymd() const;  // "yyyymmdd"
  std::string Yymmdd() const;
  std::string Iso() const;  // "yyyy-mm-dd"
  // "yyyy-mm-dd" or "yyyymmdd"; nullopt when not a calendar date.
  static std::optional<Date> Parse(std::string_view text);

  auto operator<=>(const Date&) const = default;
};

inline int DaysBetween(const Date& from, const Date& to) {
  return to.Days() - from.Days();
}

}  // namespace sorvix::feedgen
