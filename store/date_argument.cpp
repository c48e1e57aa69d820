#include "store/date_argument.h"

#include <vector>

#include "codes/text.h"
#include "store/record_date.h"
#include "store/store_paths.h"

namespace sorvix {

std::optional<Cp932Text> ParseDateArgument(std::string_view text) {
  std::vector<std::string> parts;
  std::string digits;
  std::string_view rest = text;
  auto endPart = [&]() {
    if (!digits.empty()) parts.push_back(digits);
    digits.clear();
  };
  static constexpr std::string_view kSeparators[] = {"年", "月", "日", "-", "/"};
  while (!rest.empty()) {
    if (rest[0] >= '0' && rest[0] <= '9') {
      digits += rest[0];
      rest.remove_prefix(1);
      continue;
    }
    bool matched = false;
    for (std::string_view sep : kSeparators)
      if (rest.substr(0, sep.size()) == sep) {
        endPart();
        rest.remove_prefix(sep.size());
        matched = true;
        break;
      }
    if (!matched) return std::nullopt;
  }
  endPart();
  if (parts.size() == 1 && parts[0].size() == 8)
    parts = {parts[0].substr(0, 4), parts[0].substr(4, 2), parts[0].substr(6, 2)};
  if (parts.size() != 3 || parts[0].size() != 4 || parts[1].size() > 2 || parts[2].size() > 2)
    return std::nullopt;
  std::string ymd = parts[0] + Format("%02d%02d", ReadInt(parts[1]), ReadInt(parts[2]));
  if (!CalendarDay(ymd.substr(0, 4), ymd.substr(4, 2), ymd.substr(6, 2))) return std::nullopt;
  return DateLabelFromYmd(ymd);
}

}  // namespace sorvix
