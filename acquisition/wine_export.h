// JV-Link under Wine, driven by Sorvix itself: the exporter
// (sorvix-jvdump.exe or sorvix-jvdump64.exe) is run in the user's Wine
// prefix, where JV-Link was installed and licensed by a person, and fills
// the feed folder that the acquisition and the real-time fetch then read.
// The desktop program and sorvix-cli both go through here.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_file.h"
#include "codes/cp932_text.h"

namespace sorvix {

struct WineSetup {
  std::filesystem::path prefix;    // WINEPREFIX
  std::string wine;                // the Wine program
  std::filesystem::path exporter;  // empty: the one for the registered bitness
  std::filesystem::path feed;      // the feed folder the export fills
  // JVデータ取得 and 結果情報 export through Wine before they read the feed.
  bool enabled = false;
  // Whether the settings say so ([Wine] Use) rather than the default.
  bool enabledBySettings = false;
};

// [Wine] Prefix, Program, Exporter and Use of the settings, and the feed
// folder of the component.  By default $WINEPREFIX or ~/.wine, the wine
// (else wine64) on PATH, the installed exporter for the bitness JV-Link is
// registered for, and Use when Wine is there and JV-Link is registered in
// the prefix.
WineSetup ReadWineSetup(const SettingsFile& settings);
// Keeps `setup` in the settings (an empty exporter: the default) and the
// feed folder in the component's settings file.
void WriteWineSetup(SettingsFile& settings, const WineSetup& setup);

// Where JV-Link is registered in the prefix's registry.
struct WineRegistration {
  bool bits32 = false;
  bool bits64 = false;
};
WineRegistration RegistrationIn(const std::filesystem::path& prefix);

// The installed exporter for JV-Link's registration in `prefix` (the
// 32-bit one when JV-Link 4 is there, else the 64-bit one), or empty.
std::filesystem::path DefaultExporter(const std::filesystem::path& prefix);

// The checks before a run, each failing one as a Japanese message that says
// what to do; empty when the run can go.  Chooses the exporter when
// `setup.exporter` is empty.
std::string CheckWineSetup(WineSetup& setup);

// The start-up check when JVデータ取得 goes through Wine: empty when it
// does not or the checks pass; else the finding, after the message for a
// missing JV-Link when JV-Link is not registered in the prefix (UTF-8).
std::string WineStartupMessage(WineSetup setup);

// The exporter's arguments for an acquisition from `from`: setup data from
// its date, else what is new since the exporter's last run into the feed
// folder (from `from` on the first one).
std::vector<std::string> AcquisitionExportArguments(const WineSetup& setup, const std::tm& from,
                                                    bool setupData);
// The exporter's arguments for the real-time results of the date `label`
// ("yyyy年mm月dd日").
std::vector<std::string> RealtimeExportArguments(Cp932View label);

// A progress line of the exporter ("ダウンロード中．．．(3/10)",
// "データ読込み中．．．(2/10)") as the position of the download or the read.
struct ExportProgress {
  bool download = false;  // the download, else the read
  int position = 0;
  int maximum = 0;
};
std::optional<ExportProgress> ExportProgressOf(const std::string& line);

// The installed exporter for `bits` (32 or 64), beside an installed program
// or in a build tree, or empty.
std::filesystem::path InstalledExporter(int bits);

// Exit codes of the exporter the callers act on.
inline constexpr int kExportOk = 0;
inline constexpr int kExportNothingNew = 1;
inline constexpr int kExportCancelled = 3;
inline constexpr int kExportLossy = 4;
inline constexpr int kExportBusy = 5;

// What a front end says when the export ended with `code`: empty when the
// feed folder is read next (new data, nothing new, complete with
// warnings), else why not.
std::string ExportEndMessage(int code);

// Runs the exporter with `arguments` after its --out, under a Japanese
// locale with the display passed on.  Its lines go to `onLine` (UTF-8).
// While `cancelled` answers true the exporter gets an interrupt, and after
// `graceMs` the processes of its run are ended.  Returns the exporter's
// exit code, kExportBusy without starting it while another export runs
// into the same feed folder or in the same prefix.
int RunWineExport(const WineSetup& setup, const std::vector<std::string>& arguments,
                  const std::function<void(const std::string&)>& onLine,
                  const std::function<bool()>& cancelled, int graceMs = 10000);

// JVSetUIProperties through the exporter: the component's own settings
// dialog, on the display.  Returns the exporter's exit code.
int RunWineUiProperties(const WineSetup& setup,
                        const std::function<void(const std::string&)>& onLine,
                        const std::function<bool()>& cancelled);

}  // namespace sorvix
