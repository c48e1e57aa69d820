// The line an acquisition shows when the feed folder is empty or has
// nothing new: where JV-Data comes from on this platform and which command
// fills the folder.
#pragma once

#include <filesystem>
#include <string>

namespace sorvix {

// UTF-8, one line, naming `feedFolder`.
std::string EmptyFeedHint(const std::filesystem::path& feedFolder);

}  // namespace sorvix
