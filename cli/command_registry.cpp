#include "cli/command_registry.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include "app/program_folder.h"
#include "common/error.h"

namespace sorvix::cli {

void PrintError(const std::exception& error, const std::string& lead) {
  std::fprintf(stderr, "sorvix-cli: %s%s\n", lead.c_str(), AsError(error).what());
}

std::map<std::string, CommandInfo>& Commands() {
  static std::map<std::string, CommandInfo> commands;
  return commands;
}

namespace {

// name → takes a value, from the usage line.
std::map<std::string, bool> OptionsOf(const std::string& usage) {
  std::map<std::string, bool> options;
  std::istringstream words(usage);
  std::vector<std::string> tokens;
  for (std::string word; words >> word;) tokens.push_back(word);
  for (size_t i = 0; i < tokens.size(); ++i) {
    std::string token = tokens[i];
    bool bracketed = !token.empty() && token.front() == '[';
    if (bracketed) token.erase(0, 1);
    if (token.rfind("--", 0) != 0) continue;
    bool closed = !token.empty() && token.back() == ']';
    while (!token.empty() && (token.back() == ']' || token.back() == ',')) token.pop_back();
    bool value = !closed && i + 1 < tokens.size() && tokens[i + 1].rfind("--", 0) != 0 &&
                 tokens[i + 1].rfind("[", 0) != 0;
    options[token] = value;
  }
  return options;
}

}  // namespace

std::string CheckOptions(const CommandInfo& command, const Args& args) {
  std::map<std::string, bool> options = OptionsOf(command.usage);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) continue;
    std::string name = arg.substr(0, arg.find('='));
    auto it = options.find(name);
    if (it == options.end()) return "不明なオプションです: " + name;
    bool inline_value = arg.find('=') != std::string::npos;
    if (!it->second) {
      if (inline_value) return name + " は値を取りません";
      continue;
    }
    if (inline_value) continue;
    if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) return name + " の値がありません";
    ++i;
  }
  return {};
}

std::string StartedPath(const std::string& text) {
  return ProgramFolder::FromStartFolder(text).string();
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
