// The capacities of one meeting date, shared by every layer: race slots
// 0–35 (the order of the date's RaceFile lines), horse slots 0–17 (horse
// number − 1), earlier runs 0–9 (0 the most recent), ring rows 0–17, venue
// index 0–2 and ordinal 0–11 within a venue.
#pragma once

namespace sorvix {

inline constexpr int kRaceSlots = 36;
inline constexpr int kHorseSlots = 18;
inline constexpr int kKakoRuns = 10;
inline constexpr int kDayVenueCount = 3;
inline constexpr int kVenueRaces = 12;
// Every race is laid out on 18 ring rows, whatever its field size.
inline constexpr int kRingRows = 18;

}  // namespace sorvix
