// What the program checks and says when it starts.
#pragma once

#include <string>
#include <string_view>

namespace sorvix {

inline constexpr const char* kProductName = "Sorvix";
inline constexpr const char* kVersionText = "Version 1.10";
// The software id passed to JVInit.
inline constexpr const char* kSoftwareId = "SA417290/SD508316/SorxJDL/Version 1.10";

// The information box shown when JV-Link is not installed (CP932).
std::string JvLinkMissingMessage();

// "JVInitエラー：" + the result text, for a non-zero JVInit result (CP932).
std::string JvInitErrorMessage(int result);

// The three-line message for a JV-Link older than "0490" (lines joined by
// CR LF), or empty when the version is recent enough.  "0480" shows as
// "4.8.0".
std::string JvLinkVersionMessage(std::string_view version);

}  // namespace sorvix
