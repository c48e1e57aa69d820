#include "store/meeting_list.h"

#include <algorithm>
#include <system_error>

#include "app/program_folder.h"
#include "codes/cp932.h"

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
  for (auto it = names.rbegin(); it != names.rend(); ++it) dates.push_back(it->substr(0, 14));
  return dates;
}

}  // namespace sorvix
