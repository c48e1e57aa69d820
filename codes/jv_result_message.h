// The Japanese text of a JV-Link result: message + "(" + code + ")".
#pragma once

#include <string>
#include <string_view>

namespace sorvix {

// `operation` is the name the program passes ("JVOpen", "JVRead", ...); the
// result is CP932.  Without a table text the result is only "(code)".
std::string JvResultMessage(std::string_view operation, int code);

}  // namespace sorvix
