// sorvix-cli dates: the meeting dates of the store, newest first.
#include <cstdio>

#include "cli/command_registry.h"
#include "codes/cp932.h"
#include "store/meeting_list.h"

namespace sorvix::cli {
namespace {

int Dates(const Args&) {
  for (const Cp932Text& label : ListMeetingDates()) std::printf("%s\n", Utf8(label).c_str());
  return 0;
}

const CommandRegistration kDates{"dates", "dates                    開催日の一覧（新しい順）",
                                 &Dates};

}  // namespace
}  // namespace sorvix::cli
