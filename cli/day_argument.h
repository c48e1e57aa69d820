// What the date commands of sorvix-cli share: reading the DATE argument and
// the --ini option, and loading the date (with its analysis) with the error
// messages a user reads.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/settings_file.h"
#include "cli/command_registry.h"
#include "store/estimate.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"

namespace sorvix::cli {

// The DateLabel of DATE, or nullopt after printing why it is not one.
std::optional<Cp932Text> DateLabelArgument(const std::string& date);

// The settings file named by --ini (relative to the folder the command was
// started in), or the home's; nullopt after printing that it is missing.
std::optional<SettingsFile> SettingsArgument(const std::string& ini);

// Loads `label` with `options`; nullptr after printing why it could not.
// `selectedRow`, when given, receives the race-list row the load selects
// (−1: none).
std::unique_ptr<RaceDay> LoadDayOrReport(Cp932View label, const LoadOptions& options,
                                         int* selectedRow = nullptr);

// The whole analysis of `label` with the estimate source and sign points of
// `settings`; nullptr after printing why it could not be loaded.  With
// `countsBefore` the result counts are taken back to before the date's
// meeting, as サイン検証 takes them.
std::unique_ptr<RaceDay> LoadAnalysedDay(Cp932View label, const SettingsFile& settings,
                                         int* selectedRow = nullptr,
                                         const RunLedger* countsBefore = nullptr);

// --from and --to as date labels into `from` and `to` (empty when not
// given); false, after the message, for a date that does not read or a
// range that ends before it starts.
bool ReadDateRange(const Args& args, Cp932Text& from, Cp932Text& to);

// --source (racehorse or odds) over the settings' estimate source; false,
// after the message, for a source it does not know.
bool ReadSource(const Args& args, EstimateSource& estimateSource);

}  // namespace sorvix::cli
