// The ring: every race is laid out on 18 ring rows.  The first rows hold
// each runner once (starting with the last 18 mod n horse numbers), the rest
// repeat the horses so that the ring ends with horse n on row 17.
#pragma once

#include "common/day_slots.h"

namespace sorvix {

// The horse number shown on ring row `row` (0..17) of a race with `runners`
// entered runners (1 or more).  For fewer than four runners the rule names
// numbers above `runners` on the later rows; those rows show horses that do
// not run.
int RingHorse(int runners, int row);

// The ring neighbour of `row` for the name signs: the next row, and for row
// 17 row 0 when the field is full (18 runners); -1 when there is none.
int RingNeighbour(int runners, int row);

}  // namespace sorvix
