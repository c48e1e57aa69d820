// The race programme of a meeting day: for every venue twelve races with
// their conditions (ages, class, track, distance, weight rule, race symbol),
// names for the special and graded races, prizes and post times spread over
// the day so that the venues interleave.
#pragma once

#include <vector>

#include "tools/feedgen/calendar.h"
#include "tools/feedgen/race.h"
#include "tools/feedgen/rng.h"

namespace sorvix::feedgen {

// The runner counts every showcase day holds (the awkward ring layouts).
const std::vector<int>& ShowcaseRunnerCounts();

// The races of the day, venue by venue in race-number order, with their
// wanted runner counts.  On a showcase day every count of
// ShowcaseRunnerCounts() is given to some race.
std::vector<Race> BuildProgram(const MeetingDay& day, Rng& rng, bool showcase);

// hh:mm + minutes, as hhmm.
int AddMinutes(int hhmm, int minutes);

}  // namespace sorvix::feedgen
