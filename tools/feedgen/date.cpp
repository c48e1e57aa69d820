#include "tools/feedgen/date.h"

#include <chrono>

#include "codes/text.h"

namespace sorvix::feedgen {

namespace chr = std::chrono;

Date Date::FromDays(int days) {
  chr::year_month_day ymd{chr::sys_days{chr::days{days}}};
  return Date{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
              static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int Date::Days() const {
  chr::year_month_day ymd{chr::year{y}, chr::month{static_cast<unsigned>(m)},
                          chr::day{static_cast<unsigned>(d)}};
  return static_cast<int>(chr::sys_days{ymd}.time_since_epoch().count());
}

int Date::Weekday() const {
  // 1970-01-01 was a Thursday.
  int w = (Days() + 4) % 7;
  return w < 0 ? w + 7 : w;
}

int Date::DayOfYear() const {
  return Days() - Date{y, 1, 1}.Days() + 1;
}

std::string Date::Ymd() const {
  return Format("%04d%02d%02d", y, m, d);
}
std::string Date::Yymmdd() const {
  return Format("%02d%02d%02d", y % 100, m, d);
}
std::string Date::Iso() const {
  return Format("%04d-%02d-%02d", y, m, d);
}

std::optional<Date> Date::Parse(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digits += c;
    } else if (c != '-' && c != '/') {
      return std::nullopt;
    }
  }
  if (digits.size() != 8) return std::nullopt;
  Date date{ReadInt(digits.substr(0, 4)), ReadInt(digits.substr(4, 2)),
            ReadInt(digits.substr(6, 2))};
  chr::year_month_day ymd{chr::year{date.y}, chr::month{static_cast<unsigned>(date.m)},
                          chr::day{static_cast<unsigned>(date.d)}};
  if (!ymd.ok() || date.y < 1990 || date.y > 2200) return std::nullopt;
  return date;
}

}  // namespace sorvix::feedgen
