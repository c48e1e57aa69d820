// Builders of the JV-Data records of the feed (CP932, each with its type's
// exact length and CR LF).  `kind` is the data kind at position 3 and
// `made` the creation date at positions 4–11.
#pragma once

#include <string>

#include "tools/feedgen/date.h"
#include "tools/feedgen/entities.h"
#include "tools/feedgen/payouts.h"
#include "tools/feedgen/race.h"
#include "tools/feedgen/world.h"

namespace sorvix::feedgen {

inline constexpr int kRaBytes = 1272;
inline constexpr int kSeBytes = 555;
inline constexpr int kHrBytes = 719;
inline constexpr int kUmBytes = 1609;
inline constexpr int kKsBytes = 4173;
inline constexpr int kChBytes = 3862;
inline constexpr int kOldUmBytes = 1577;

// Race details.  Kinds "1" (entry list) and "2" (race card) carry no
// result; the later kinds carry the result of a race that has been run.
std::string RaRecord(const Race& race, char kind, const Date& made);

// A runner.  Kind "1" (entry list) has no bracket, horse number or rider
// yet; kind "2" no result.
std::string SeRecord(const Race& race, const Entry& entry, const World& world, char kind,
                     const Date& made);

// A horse of Thursday's entry list that did not get a place in the field.
std::string SeListedRecord(const Race& race, const Horse& horse, const World& world,
                           const Date& made);

// Payouts.
std::string HrRecord(const Race& race, const Payouts& payouts, char kind, const Date& made);

// The odds records O1–O6 and the vote-count records H1 and H6 of a race, in
// this order, each of its full length (O6 83,285 and H6 102,890 bytes).
std::string OddsAndVoteRecords(const Race& race, char kind, const Date& made);

// Horse master, in the current layout and in the older 1577-byte one.
std::string UmRecord(const Horse& horse, const World& world, char kind, const Date& made);
std::string OldUmRecord(const Horse& horse, const World& world, const Date& made);

// Jockey and trainer masters; the counts are those of the year of `made`,
// the year before and the whole career.
std::string KsRecord(const Jockey& jockey, const World& world, char kind, const Date& made);
std::string ChRecord(const Trainer& trainer, char kind, const Date& made);

}  // namespace sorvix::feedgen
