// Conversion between the program's CP932 texts and UTF-8, used only where
// text leaves the core: the windows, JSON output, PDF and file names.  One
// function each way: Utf8() and Cp932().
#pragma once

#include "codes/cp932_text.h"

#include <string>
#include <string_view>

namespace sorvix {

// CP932 → UTF-8.  Bytes that do not decode become U+FFFD; never throws.
std::string Utf8(Cp932View cp932);

// UTF-8 → CP932.  Characters without a CP932 code become "?".
Cp932Text Cp932(std::string_view utf8);

// True when the whole text decodes as CP932 without a replacement.
bool IsValidCp932(std::string_view cp932);

// The CP932 bytes of a literal written in UTF-8 source, for building and
// comparing the bytes of a record's field or a store file's line.  A text
// that is shown or passed on as text is Cp932("…").
inline std::string operator""_sj(const char* s, size_t n) {
  return Cp932(std::string_view(s, n)).bytes();
}

}  // namespace sorvix
