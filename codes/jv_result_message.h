// The Japanese text of a JV-Link result: message + "(" + code + ")".
#pragma once

#include <string_view>

#include "codes/cp932_text.h"

namespace sorvix {

// `operation` is the name the program passes ("JVOpen", "JVRead", ...).
// Without a table text the result is only "(code)".
Cp932Text JvResultMessage(std::string_view operation, int code);

}  // namespace sorvix
