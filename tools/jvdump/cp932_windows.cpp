// UTF-8 → CP932 through Windows' code page 932, for the core sources the
// exporter shares (the JV-Link result texts).  The mapping is the one glibc
// calls "CP932", so the texts come out byte for byte as on Linux.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "codes/cp932.h"

namespace sorvix {

Cp932Text Cp932(std::string_view utf8) {
  if (utf8.empty()) return {};
  int wideLength =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(wideLength, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                      wideLength);
  int n = WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, "?", nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(932, 0, wide.data(), wideLength, out.data(), n, "?", nullptr);
  return Cp932Text::FromBytes(std::move(out));
}

}  // namespace sorvix
