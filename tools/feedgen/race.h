// One race of the generated feed: its conditions, its runners and, once
// run, its result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/feedgen/date.h"

namespace sorvix::feedgen {

enum class AgeGroup { kTwo, kThree, kThreeUp, kFourUp };

// Class codes of the youngest age group's condition.
inline constexpr int kNewcomer = 701;
inline constexpr int kMaiden = 703;
inline constexpr int kOneWin = 5;
inline constexpr int kTwoWins = 10;
inline constexpr int kThreeWins = 16;
inline constexpr int kOpen = 999;

// The horse class a race of `classCode` takes (0 maiden … 4 open).
int LevelOfClass(int classCode);

struct Entry {
  int horse = -1;
  int jockey = -1;
  int bracket = 0;
  int number = 0;
  int age = 0;
  int burden = 0;      // in 0.1 kg
  int apprentice = 0;  // the rider's allowance code in this race
  bool blinker = false;
  int bodyWeight = 0;
  int weightChange = 0;
  bool firstRun = false;  // no earlier run: no weight change
  double strength = 0;    // of this run
  double chance = 0;      // the true chance to win the race is run on
  double marketP = 0;     // the horse's share of the win pool (the market's chance)
  int winOdds10 = 0;      // win odds in tenths
  int popularity = 0;
  int miningTime = 0;  // predicted time in 1/100 s
  int miningRank = 0;

  // The result.
  int abnormal = 0;  // 0 ran, 1 scratched, 4 did not finish
  int arrival = 0;
  int finish = 0;
  int tiedWith = 0;  // other horses sharing this place
  int time10 = 0;    // in 0.1 s
  std::string margin = "   ";
  int corners[4] = {};
  int last3f = 0;    // in 0.1 s
  int timeDiff = 0;  // to the winner (to the second for the winner), 0.1 s
  int style = 0;     // 1 front … 4 closer
  int64_t prize = 0;
  int64_t addedPrize = 0;
};

struct Race {
  Date date;
  int venue = 0;
  int kai = 0;
  int day = 0;
  int number = 0;

  AgeGroup ages = AgeGroup::kThreeUp;
  int classCode = kMaiden;
  bool jump = false;
  bool fillies = false;
  bool turf = true;
  bool special = false;  // a special race (named), graded races included
  char grade = ' ';      // ' ', A … H, L, E
  int distance = 1600;
  int track = 17;
  std::string course = "  ";
  int raceType = 13;
  std::string symbol = "000";
  int weightRule = 3;
  int specialNumber = 0;
  int gradedEdition = 0;
  std::string nameSj, subSj, nameLatin, subLatin, short10Sj, short6Sj, short3Sj;

  int startTime = 0;      // hhmm
  int changedFrom = 0;    // the post time before a change, 0 when unchanged
  int64_t prize[7] = {};  // in 100 yen
  int64_t added[5] = {};
  int target = 0;  // runners wanted
  int maxRunners = 18;
  bool forcedCount = false;

  std::vector<Entry> entries;
  std::vector<int> alsoEntered;  // horses of the Thursday list that did not get a place

  // The result.
  bool run = false;
  int weather = 0;
  int turfGoing = 0;
  int dirtGoing = 0;
  int starters = 0;
  int finishers = 0;
  std::vector<int> laps;  // 0.1 s per furlong, flat races
  int mileTime = 0;       // jump races: m ss t
  int first3f = 0, first4f = 0, last3f = 0, last4f = 0;
  int cornerCount = 0;
  std::string cornerTexts[4];

  std::string Key() const;  // the 16-character record key
  int Going() const { return turf || jump ? turfGoing : dirtGoing; }
};

}  // namespace sorvix::feedgen
