// A meeting date as a person types it (a command-line DATE, the program's
// --date): 2024年05月05日, 2024-05-05, 2024/5/5 or 20240505.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "codes/cp932_text.h"

namespace sorvix {

// The DateLabel ("2024年05月05日") of a UTF-8 date argument, or nullopt
// when the argument is not a calendar date in one of the accepted forms.
std::optional<Cp932Text> ParseDateArgument(std::string_view text);

}  // namespace sorvix
