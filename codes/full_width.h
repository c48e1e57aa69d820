// Conversion of mixed half-width / full-width CP932 text to full width only.
#pragma once

#include <string>
#include <string_view>

namespace sorvix {

std::string ToFullWidth(std::string_view text);

}  // namespace sorvix
