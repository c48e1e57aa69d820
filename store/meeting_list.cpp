#include "store/meeting_list.h"

#include <algorithm>
#include <system_error>

#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/record_date.h"

namespace sorvix {

std::vector<Cp932Text> ListMeetingDates() {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(HomePath("\\Data"), ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".jvRA") == 0 &&
        it->is_regular_file(ec))
      names.push_back(Cp932(name).bytes());
  }
  std::sort(names.begin(), names.end());
  std::vector<Cp932Text> dates;
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    // Only a name that starts with a real date is a meeting date.
    std::string_view label = Field(*it, date_label::kWhole);
    if (label.size() == static_cast<size_t>(date_label::kWhole.width) &&
        CalendarDay(Field(label, date_label::kYear), Field(label, date_label::kMonth),
                    Field(label, date_label::kDay)))
      dates.push_back(Cp932Text::FromBytes(std::string(label)));
  }
  return dates;
}

}  // namespace sorvix
