// The commands of sorvix-cli register themselves here, one file per command:
//
//   static const CommandRegistration kDates{"dates", "開催日の一覧（新しい順）", &Dates};
//
// A command takes the arguments after its name and returns the exit code;
// its texts are printed as UTF-8.
#pragma once

#include <exception>
#include <map>
#include <string>
#include <vector>

namespace sorvix::cli {

using Args = std::vector<std::string>;
using CommandFunction = int (*)(const Args& args);

struct CommandInfo {
  std::string usage;
  CommandFunction run;
};

std::map<std::string, CommandInfo>& Commands();

struct CommandRegistration {
  CommandRegistration(const char* name, const char* usage, CommandFunction run) {
    Commands()[name] = CommandInfo{usage, run};
  }
};

// The one argument check of every command, made from its usage line: each
// "--name" there is an option, a value option when a value follows it
// ("--ini FILE", "[--race N]", "--layout ring|continuous"), a flag when it
// stands alone ("[--table]").  Returns the error text (an unknown option, a
// value missing or given to a flag), or empty when the arguments are fine.
std::string CheckOptions(const CommandInfo& command, const Args& args);

// How every command reports a failure: "sorvix-cli: " + `lead` + the
// message of `error` (an Error, or any exception as AsError tells it) on
// standard error.
void PrintError(const std::exception& error, const std::string& lead = "");

// The user's path `text`, taken from the folder the program was started in
// when relative.
std::string StartedPath(const std::string& text);

// Small argument helpers for the commands.
// The value after `--name`, or `def` when the option is absent.
std::string OptionValue(const Args& args, const std::string& name, const std::string& def = "");
bool HasFlag(const Args& args, const std::string& name);
// The arguments that are neither options nor option values.
Args Positional(const Args& args, const std::vector<std::string>& optionsWithValue);

}  // namespace sorvix::cli
