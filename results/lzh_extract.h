// Extraction of LZH archives (the predicted-odds archives of the outside
// providers).  Member names are CP932 in the archive and UTF-8 on disk.
//
// Extraction is all or nothing: the members are first written to a
// temporary folder inside the target folder and moved into place only when
// the whole archive was read without error, so a damaged archive leaves the
// target folder as it was.  Members whose names are absolute, carry a drive
// letter or a ".." part are refused; entries that are not regular files
// (folders, links, devices) are skipped.  Existing files of the same name
// are replaced.  An archive of more than kMaxLzhMembers entries, or whose
// members add up to more than kMaxLzhBytes, is refused (nothing written).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sorvix {

inline constexpr int kMaxLzhMembers = 1000;
inline constexpr uint64_t kMaxLzhBytes = uint64_t{64} << 20;

struct LzhExtraction {
  // The files written into the target folder (relative UTF-8 names).
  std::vector<std::string> files;
  // Members refused for their names (UTF-8 as read).
  std::vector<std::string> refused;
  // Why nothing was extracted (UTF-8 Japanese; empty when the archive was
  // read whole).
  std::string error;

  bool ok() const { return error.empty() && !files.empty(); }
};

// Extracts every member of `archive` into `folder`.  Never throws for a bad
// archive: `error` says what went wrong and nothing was written.
LzhExtraction ExtractLzh(const std::filesystem::path& archive, const std::filesystem::path& folder);

}  // namespace sorvix
