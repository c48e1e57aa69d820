// Runs a shell command line (the programs under test among them) and keeps
// its standard output and exit code.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace sorvix::test {

inline const std::filesystem::path kCli =
    std::filesystem::path(SORVIX_BINARY_DIR) / "cli" / "sorvix-cli";
inline const std::filesystem::path kFeedgen =
    std::filesystem::path(SORVIX_BINARY_DIR) / "tools" / "feedgen" / "sorvix-feedgen";

struct ShellRun {
  int status = -1;  // the exit code, -1 when it did not exit
  std::string out;
};

inline ShellRun Shell(const std::string& command) {
  ShellRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace sorvix::test
