#include "cli/wine_step.h"

#include <signal.h>

#include <csignal>
#include <cstdio>

#include "acquisition/wine_export.h"
#include "app/settings_file.h"
#include "common/error.h"

namespace sorvix::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
  interrupted = 1;
}

constexpr int kExportBusy = 5;

}  // namespace

int ExportThroughWine(const std::vector<std::string>& arguments) {
  WineSetup setup = ReadWineSetup(SettingsFile());
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
  if (code == kExportOk || code == kExportNothingNew || code == kExportLossy) return -1;
  if (code == kExportCancelled || interrupted) return 130;
  if (code == kExportBusy) {
    std::fprintf(stderr, "sorvix-cli: 別の書き出しがこのフィードフォルダに実行中です。\n");
    return 1;
  }
  std::fprintf(stderr, "sorvix-cli: JV-Link からの書き出しに失敗しました（終了コード %d）。\n",
               code);
  return 1;
}

}  // namespace sorvix::cli
