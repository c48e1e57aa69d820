#include "cli/wine_step.h"

#include <signal.h>

#include <csignal>
#include <cstdio>

#include "common/error.h"

namespace sorvix::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
  interrupted = 1;
}

}  // namespace

bool ExportsThroughWine(const Args& args, const WineSetup& setup) {
  return HasFlag(args, "--wine") || setup.enabledBySettings;
}

int ExportThroughWine(WineSetup setup, const std::vector<std::string>& arguments) {
  std::string problem = CheckWineSetup(setup);
  if (!problem.empty()) {
    std::fprintf(stderr, "sorvix-cli: %s\n", problem.c_str());
    return 1;
  }
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  sigaction(SIGINT, &action, &previous);
  interrupted = 0;
  int code;
  try {
    code = RunWineExport(
        setup, arguments,
        [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); },
        [] { return interrupted != 0; });
  } catch (const Error& error) {
    sigaction(SIGINT, &previous, nullptr);
    std::fprintf(stderr, "sorvix-cli: %s\n", error.what());
    return 1;
  }
  sigaction(SIGINT, &previous, nullptr);
  std::string message = ExportEndMessage(code);
  if (message.empty()) return -1;
  if (code == kExportCancelled || interrupted) return 130;
  std::fprintf(stderr, "sorvix-cli: %s\n", message.c_str());
  return 1;
}

}  // namespace sorvix::cli
