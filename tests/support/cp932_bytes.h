// Tests read the CP932 bytes of records, fields and store lines as UTF-8, to
// compare them with readable literals; a typed text reads the same way.
#pragma once

#include <string>
#include <string_view>

#include "codes/cp932.h"

namespace sorvix {

inline std::string Utf8Bytes(std::string_view cp932) {
  return Utf8(Cp932View::FromBytes(cp932));
}
inline std::string Utf8Bytes(Cp932View text) {
  return Utf8(text);
}

}  // namespace sorvix
