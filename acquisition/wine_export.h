// JV-Link under Wine, driven by Sorvix itself: the exporter
// (sorvix-jvdump.exe or sorvix-jvdump64.exe) is run in the user's Wine
// prefix, where JV-Link was installed and licensed by a person, and fills
// the feed folder that the acquisition and the real-time fetch then read.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/settings_file.h"

namespace sorvix {

struct WineSetup {
  std::filesystem::path prefix;    // WINEPREFIX
  std::string wine;                // the Wine program
  std::filesystem::path exporter;  // empty: the one for the registered bitness
  std::filesystem::path feed;      // the feed folder the export fills
};

// [Wine] Prefix, Program and Exporter of the settings; by default
// $WINEPREFIX or ~/.wine, "wine", and the installed exporter for the
// bitness JV-Link is registered for.  The feed folder is the component's.
WineSetup ReadWineSetup(const SettingsFile& settings);

// Where JV-Link is registered in the prefix's registry.
struct WineRegistration {
  bool bits32 = false;
  bool bits64 = false;
};
WineRegistration RegistrationIn(const std::filesystem::path& prefix);

// The checks before a run, each failing one as a Japanese message that says
// what to do; empty when the run can go.  Chooses the exporter when
// `setup.exporter` is empty.
std::string CheckWineSetup(WineSetup& setup);

// Exit codes of the exporter the callers act on.
inline constexpr int kExportOk = 0;
inline constexpr int kExportNothingNew = 1;
inline constexpr int kExportCancelled = 3;
inline constexpr int kExportLossy = 4;

// Runs the exporter with `arguments` after its --out, under a Japanese
// locale with the display passed on.  Its lines go to `onLine` (UTF-8).
// While `cancelled` answers true the exporter gets an interrupt, and after
// `graceMs` its process group is ended.  Returns the exporter's exit code.
int RunWineExport(const WineSetup& setup, const std::vector<std::string>& arguments,
                  const std::function<void(const std::string&)>& onLine,
                  const std::function<bool()>& cancelled, int graceMs = 10000);

}  // namespace sorvix
