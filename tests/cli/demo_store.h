// The demo store (feedgen --demo, acquired as the demo does), made once per
// build of the two programs in the build folder and shared by the command
// tests (each runs as its own process), and a shell to run them.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/file_io.h"

namespace sorvix::test {

inline const std::filesystem::path kCli =
    std::filesystem::path(SORVIX_BINARY_DIR) / "cli" / "sorvix-cli";
inline const std::filesystem::path kFeedgen =
    std::filesystem::path(SORVIX_BINARY_DIR) / "tools" / "feedgen" / "sorvix-feedgen";

struct ShellRun {
  int status = -1;
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

// The demo store's home, made when missing or older than the programs;
// empty when the programs are not built.
inline std::string DemoStoreHome() {
  namespace fs = std::filesystem;
  if (!fs::exists(kCli) || !fs::exists(kFeedgen)) return "";
  fs::path base = fs::path(SORVIX_BINARY_DIR) / "backtest-demo-store";
  fs::create_directories(base);
  int lock = open((base / "lock").c_str(), O_CREAT | O_RDWR, 0644);
  if (lock >= 0) flock(lock, LOCK_EX);
  std::string build = std::to_string(fs::last_write_time(kCli).time_since_epoch().count()) +
                      std::to_string(fs::last_write_time(kFeedgen).time_since_epoch().count());
  auto made = ReadFileIfExists(base / "stamp");
  std::string home = (base / "home").string();
  if (!made || *made != build) {
    fs::remove_all(home);
    bool ok = Shell(kFeedgen.string() + " --demo --out " + home + "/JVLink --legacy-uma " + home +
                    " --force >/dev/null 2>&1 && " + kCli.string() + " --home " + home +
                    " acquire --setup --from 2022-01-01 >/dev/null 2>&1")
                  .status == 0;
    if (ok) WriteFileAtomic(base / "stamp", build);
  }
  if (lock >= 0) close(lock);
  return home;
}

}  // namespace sorvix::test
