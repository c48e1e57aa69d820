#include "store/meeting_list.h"

#include <algorithm>
#include <system_error>

#include "app/program_folder.h"
#include "codes/cp932.h"
#include "store/record_date.h"

namespace sorvix {

std::vector<std::string> ListMeetingDates() {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(HomePath("\\Data"), ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".jvRA") == 0 &&
        it->is_regular_file(ec))
      names.push_back(Cp932(name));
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> dates;
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    // Only a name that starts with a real date is a meeting date.
    std::string_view label = std::string_view(*it).substr(0, 14);
    if (label.size() == 14 &&
        CalendarDay(label.substr(0, 4), label.substr(6, 2), label.substr(10, 2)))
      dates.emplace_back(label);
  }
  return dates;
}

}  // namespace sorvix
