// Whole-file reads and writes.  Every file the program rewrites whole goes
// through WriteFileAtomic, so an interruption or a full disk leaves either
// the old file or the new one, never a truncated one.
//
// Only regular files are read as data: a folder, a FIFO, a device or a
// socket in the place of a file is an error, never a hang.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvix {

// Opens `path` for reading when it is a regular file: the descriptor, or −1
// when nothing exists there (or a part of the path is not a folder).  Throws Error naming the
// file when it cannot be opened or is not a regular file; never blocks on a FIFO.
int OpenRegularFile(const std::filesystem::path& path);
// The same, also giving the file's size; the descriptor stays non-blocking,
// which changes nothing for a regular file (for positioned block reads).
int OpenRegularFileSized(const std::filesystem::path& path, int64_t& size);

// The file's bytes, or nullopt when it does not exist.  Throws Error when
// it exists but cannot be read.
std::optional<std::string> ReadFileIfExists(const std::filesystem::path& path);

// The file's bytes; throws Error when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// A temporary name beside `path`, unique to this process and call:
// "<name>.sorvix-<pid>-<n>.tmp~", so two programs writing the same file
// never share one, and a later run knows it as its own.
std::filesystem::path TempPathFor(const std::filesystem::path& path);

// The permission bits of the regular file `path`, or −1 when there is none:
// a file that replaces it gets the same.
int ExistingMode(const std::filesystem::path& path);

// Whether `name` is a temporary file name of TempPathFor whose process is
// gone (a writer killed before it renamed it).
bool IsStaleTempFile(const std::string& name);

// Removes the temporary files of writers that died before they renamed
// them, in `folder` itself (not below): only names that TempPathFor makes,
// whose process is gone.  Any other file, whatever its name, stays.
// Returns how many were removed.
int RemoveStaleTempFiles(const std::filesystem::path& folder);
// The same for the temporary files of the one file `file` (in its folder).
int RemoveStaleTempFilesOf(const std::filesystem::path& file);

// Writes `bytes` to a temporary file in the same folder, flushes it and
// renames it over `path`, keeping the mode of the file it replaces.  Throws
// Error (and removes the temporary file) when anything fails; the old file
// is then untouched.  A symbolic link at `path` stays: the file it leads
// to is replaced, atomically, in that file's folder.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// Splits text into lines at CR LF (or a lone LF); the last line without an
// end counts when it is not empty.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines, each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace sorvix
