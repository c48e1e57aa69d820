// A meeting date as a person types it (a command-line DATE, the program's
// --date): 2024年05月05日, 2024-05-05, 2024/5/5 or 20240505.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvix {

// The CP932 DateLabel ("2024年05月05日") of a UTF-8 date argument, or nullopt
// when the argument is not a calendar date in one of the accepted forms.
std::optional<std::string> ParseDateArgument(std::string_view text);

}  // namespace sorvix
