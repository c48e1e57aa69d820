// What the program checks and says when it starts.
#pragma once

#include <string>
#include <string_view>

#include "codes/cp932_text.h"

namespace sorvix {

inline constexpr const char* kProductName = "Sorvix";
inline constexpr const char* kVersionText = "Version 1.10";
// The software id passed to JVInit.
inline constexpr const char* kSoftwareId = "SA417290/SD508316/SorxJDL/Version 1.10";

// The information box shown when JV-Link is not installed.
Cp932Text JvLinkMissingMessage();

// "JVInitエラー：" + the result text, for a non-zero JVInit result.
Cp932Text JvInitErrorMessage(int result);

// The three-line message for a JV-Link older than "0490" (lines joined by
// CR LF), or empty when the version is recent enough.  "0480" shows as
// "4.8.0".
Cp932Text JvLinkVersionMessage(std::string_view version);

}  // namespace sorvix
