// The input/output error that ends a running command when a file cannot be
// read or written.  The message (UTF-8, like file names) names the file and
// the system's reason in Japanese.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace sorvix {

class IoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The system's reason for `err` (an errno value) in Japanese, with the
// number for the ones without a Japanese text.
std::string SystemReason(int err);

// Throws IoError "what: path: reason" with the reason for errno (none when
// errno is 0).
[[noreturn]] void ThrowIoError(const std::string& what, const std::filesystem::path& path);

}  // namespace sorvix
