// The system's side of a failed file operation: its reason in Japanese, and
// the Error that reports it.
#pragma once

#include <filesystem>
#include <string>

#include "common/error.h"

namespace sorvix {

// The system's reason for `err` (an errno value) in Japanese, with the
// number for the ones without a Japanese text.
std::string SystemReason(int err);

// Throws Error "what: path: reason" (kind Io) with the reason for errno
// (none when errno is 0).
[[noreturn]] void ThrowIoError(const std::string& what, const std::filesystem::path& path);

}  // namespace sorvix
