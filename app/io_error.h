// The input/output error that ends a running command when a file cannot be
// read or written.  The message (UTF-8, like file names) names the file and
// the platform's reason.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace sorvix {

class IoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws IoError for `path` with the text of errno (or `reason`).
[[noreturn]] void ThrowIoError(const std::string& what, const std::filesystem::path& path);

}  // namespace sorvix
