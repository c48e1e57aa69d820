// Whole-file reads and writes.  Every file the program rewrites whole goes
// through WriteFileAtomic, so an interruption or a full disk leaves either
// the old file or the new one, never a truncated one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvix {

// The file's bytes, or nullopt when it does not exist.  Throws IoError when
// it exists but cannot be read.
std::optional<std::string> ReadFileIfExists(const std::filesystem::path& path);

// The file's bytes; throws IoError when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// Writes `bytes` to a temporary file in the same folder, flushes it and
// renames it over `path`.  Throws IoError (and removes the temporary file)
// when anything fails; the old file is then untouched.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// Splits text into lines at CR LF (or a lone LF); the last line without an
// end counts when it is not empty.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines, each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace sorvix
