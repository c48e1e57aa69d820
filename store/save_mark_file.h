// SaveMarkFile: the special marks of one meeting date, 648 bytes without
// line ends; byte RaceSlot × 18 + ring row is "1" (marked) or "0".
#pragma once

#include <string>
#include <string_view>

#include "codes/cp932_text.h"

namespace sorvix {

// The 648 mark bytes of the date.  A missing file is created filled with
// "0" first; a short file reads as if filled up with "0" (the file itself is
// left as it is).  Throws Error when the file cannot be read or created.
std::string ReadSaveMarks(Cp932View dateLabel);

// Replaces the date's SaveMarkFile with `marks` (exactly 648 bytes, else
// std::invalid_argument).  Throws Error when it cannot be written; the old
// file is then unchanged.
void WriteSaveMarks(Cp932View dateLabel, std::string_view marks);

}  // namespace sorvix
