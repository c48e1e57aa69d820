// The payouts of a race read from its HR record (the PayoutTable of
// common/payout_table.h) and the combination texts they are compared as.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/payout_table.h"
#include "common/record_fields.h"

namespace sorvix {

// " 3-12": "%2d-" of the first number and "%2d" of the second.
std::string PairText(int first, int second);
// " 1- 5-13".
std::string TripleText(int first, int second, int third);

// False for an empty text, a text of blanks, " 0- 0" and " 0- 0- 0".
bool HasResult(std::string_view combination);

// Parses an HR record image (a blank or short record gives an empty table).
// Win and place keep the horse number as read; a combination gets its text
// only when every number of it is 1 or more; popularity and payout are
// taken as read either way.
PayoutTable ParsePayoutTable(std::string_view hrRecord);

// The final position of every horse the payouts place, by horse number
// (index 1..18; 0 where the payouts say nothing), numbered as JRA numbers
// them: horses in a dead heat share a position and the positions they cover
// are skipped (1, 1, 3 for a dead heat for first).  A horse's position is
// the best the ordered and unordered results give it: 1 for a win entry or
// the first of an exacta or trifecta; 2 for a quinella horse or the second
// of an exacta or trifecta; 3 for a trio or quinella place horse or the
// third of a trifecta.  A place horse that none of these name (an old race
// without combination bets) takes its place entry number.
std::array<int, 19> FinalPositions(const PayoutTable& table);

// The combination text of entry `e` of a horse-number payout table of an HR
// record (hr::kQuinellaPlacePayouts…), built from its numbers in record
// order (" 0- 0" for an entry without result), and its payout.
std::string HrEntryText(std::string_view hrRecord, const hr::PayoutItems& items, int e);
int HrEntryPayout(std::string_view hrRecord, const hr::PayoutItems& items, int e);

}  // namespace sorvix
