// Finishing counts kept in the master records: a horse's career counts
// (by track, going, distance and running style) and a jockey's or trainer's
// counts per year (flat, jump, per venue, per distance).
#pragma once

#include <cstdint>
#include <map>

namespace sorvix::feedgen {

// The facts of one finished run that the counts are built from.
struct RunFacts {
  int year = 0;
  int venue = 0;  // 1 … 10
  bool jump = false;
  bool turf = true;  // flat races: turf or dirt
  int turn = 1;      // 0 straight, 1 right-handed, 2 left-handed
  int going = 1;     // 1 good … 4 heavy
  int distance = 0;
  int position = 0;        // 1 …; 0 for a runner that did not finish
  int style = 0;           // 1 front … 4 closer; 0 unknown
  int64_t prize = 0;       // in 100 yen
  int64_t addedPrize = 0;  // in 100 yen
};

// Index 0 … 4 for the first five places, 5 for the rest.
inline int PlaceIndex(int position) {
  return position >= 1 && position <= 5 ? position - 1 : 5;
}

struct HorseCounts {
  int total[6] = {};        // everywhere
  int central[6] = {};      // central races only
  int track[7][6] = {};     // turf straight/right/left, dirt straight/right/left, jump
  int going[12][6] = {};    // turf, dirt, jump × good … heavy
  int distance[6][6] = {};  // turf ≤1600, ≤2200, longer; dirt likewise
  int style[4] = {};
  int races = 0;
  int64_t prize[6] =
      {};  // flat prize, jump prize, flat added, jump added, flat earned, jump earned

  void Add(const RunFacts& run, bool central = true);
};

struct YearCounts {
  int64_t prize[4] = {};  // flat prize, jump prize, flat added, jump added
  int flat[6] = {};
  int jump[6] = {};
  int venueFlat[10][6] = {};
  int venueJump[10][6] = {};
  int distance[6][6] = {};

  void Add(const RunFacts& run);
  void AddAll(const YearCounts& other);
};

// A jockey's or trainer's counts: per year, plus the career before the
// first simulated year.
struct PersonCounts {
  std::map<int, YearCounts> years;
  YearCounts earlier;

  void Add(const RunFacts& run) { years[run.year].Add(run); }
  YearCounts Year(int year) const;
  YearCounts Career() const;
};

}  // namespace sorvix::feedgen
