#include "cli/command_registry.h"

#include <algorithm>

namespace sorvix::cli {

std::map<std::string, CommandInfo>& Commands() {
  static std::map<std::string, CommandInfo> commands;
  return commands;
}

std::string OptionValue(const Args& args, const std::string& name, const std::string& def) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  for (const auto& arg : args)
    if (arg.rfind(name + "=", 0) == 0) return arg.substr(name.size() + 1);
  return def;
}

bool HasFlag(const Args& args, const std::string& name) {
  return std::find(args.begin(), args.end(), name) != args.end();
}

Args Positional(const Args& args, const std::vector<std::string>& optionsWithValue) {
  Args out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (std::find(optionsWithValue.begin(), optionsWithValue.end(), arg) !=
        optionsWithValue.end()) {
      ++i;
      continue;
    }
    if (arg.rfind("--", 0) == 0) continue;
    out.push_back(arg);
  }
  return out;
}

}  // namespace sorvix::cli
