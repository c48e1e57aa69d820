// sorvix-cli acquire --wine and fetch DATE --wine: the export through Wine
// (JV-Link in the user's prefix) before the feed folder is read.
#pragma once

#include <string>
#include <vector>

namespace sorvix::cli {

// Runs the exporter with `arguments`; its lines go to standard error.
// Returns -1 when the reading should go on (new data, nothing new, or a
// run that completed with warnings), else the command's exit code after
// printing why.
int ExportThroughWine(const std::vector<std::string>& arguments);

}  // namespace sorvix::cli
