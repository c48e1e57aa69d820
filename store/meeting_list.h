// The meeting list: the dates that have a RaceFile in "\Data", newest first.
#pragma once

#include <string>
#include <vector>

#include "codes/cp932_text.h"

namespace sorvix {

// The 14-byte DateLabels ("2008年01月06日") of every "*.jvRA" file in
// ProgramFolder + "\Data", from the last file name in ascending order to the
// first.  An unreadable or missing folder gives an empty list.
std::vector<Cp932Text> ListMeetingDates();

}  // namespace sorvix
