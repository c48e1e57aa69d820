// Conversion between the program's CP932 texts and UTF-8, used only where
// text leaves the core: the windows, JSON output, PDF and file names.
#pragma once

#include "codes/cp932_text.h"

#include <string>
#include <string_view>

namespace sorvix {

// CP932 → UTF-8.  Bytes that do not decode become U+FFFD; never throws.
std::string Utf8(std::string_view cp932);
inline std::string Utf8(Cp932View cp932) {
  return Utf8(cp932.bytes());
}

// UTF-8 → CP932.  Characters without a CP932 code become "?".
std::string Cp932(std::string_view utf8);

// True when the whole text decodes as CP932 without a replacement.
bool IsValidCp932(std::string_view cp932);

// Shorthand for CP932 literals written in UTF-8 source.
inline std::string operator""_sj(const char* s, size_t n) {
  return Cp932(std::string_view(s, n));
}

}  // namespace sorvix
