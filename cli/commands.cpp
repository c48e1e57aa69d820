#include "cli/commands.h"

#include <cstdio>

#include "codes/cp932.h"
#include "store/meeting_list.h"

namespace sorvix::cli {

int Run(const std::vector<std::string>& args) {
  const std::string& command = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "dates") return Dates(rest);
  std::fprintf(stderr, "sorvix-cli: 不明なコマンドです: %s（--help で一覧）\n", command.c_str());
  return 2;
}

int Dates(const std::vector<std::string>&) {
  for (const std::string& label : ListMeetingDates()) std::printf("%s\n", Utf8(label).c_str());
  return 0;
}

}  // namespace sorvix::cli
