// sorvix-cli acquire and fetch DATE with --wine (or [Wine] Use=1 in the
// settings): the export through Wine (JV-Link in the user's prefix) before
// the feed folder is read.
#pragma once

#include <string>
#include <vector>

#include "acquisition/wine_export.h"
#include "cli/command_registry.h"

namespace sorvix::cli {

// Whether the command exports through Wine first: --wine, or Use=1 in the
// settings.
bool ExportsThroughWine(const Args& args, const WineSetup& setup);

// Runs the exporter with `arguments`; its lines go to standard error.
// Returns -1 when the reading should go on (new data, nothing new, or a
// run that completed with warnings), else the command's exit code after
// printing why.
int ExportThroughWine(WineSetup setup, const std::vector<std::string>& arguments);

}  // namespace sorvix::cli
