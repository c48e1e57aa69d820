// The people and horses of the generated racing world.  Every text member
// ending in Sj is CP932 and ready to be written into a record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/feedgen/counts.h"
#include "tools/feedgen/date.h"

namespace sorvix::feedgen {

// A horse of the breeding book (sire, dam or an ancestor of one).
struct BreedingHorse {
  std::string number;      // 10 digits, "00" + the older 8-digit number
  std::string nameSj;      // katakana, or Latin letters for an imported horse
  std::vector<int> words;  // name words (HorseWords indexes) of a katakana name
  int sire = -1;
  int dam = -1;
};

// A graded race won, as the jockey and trainer masters list them.
struct GradedWin {
  std::string key;  // year … race number, 16 characters
  std::string raceNameSj;
  std::string short10Sj, short6Sj, short3Sj;
  char grade = ' ';
  int starters = 0;
  std::string pedigree;
  std::string horseNameSj;
};

// The first ride or first win of a jockey.
struct FirstRun {
  std::string key;  // 16 characters, empty when none
  int starters = 0;
  std::string pedigree;
  std::string horseNameSj;
  int position = 0;
};

struct Person {
  std::string code;        // 5 digits
  std::string nameSj;      // family name, a full-width blank, given name
  std::string kanaSj;      // half-width kana, family 15 + given 15
  std::string shortSj;     // four characters at most
  std::string latin;       // "Family Given"
  std::string familyKana;  // UTF-8 full-width, to pair people by reading
  int sex = 1;
  Date birth;
  Date license;
  int affiliation = 1;   // 1 east (美浦), 2 west (栗東), 3 local, 4 abroad
  std::string regionSj;  // invitation region, empty for JRA members
  double skill = 0;
  PersonCounts counts;
  std::vector<GradedWin> gradedWins;  // newest first, at most three kept
  bool masterSent = false;
};

struct Jockey : Person {
  int qualification = 1;  // 1 flat and jump, 2 flat, 3 jump
  int apprentice = 0;     // 0, 1 ☆, 2 △, 3 ▲, 4 ★, 9 ◇
  int trainer = -1;       // stable the jockey belongs to, −1 free
  double demand = 1;      // how many rides the jockey gets
  bool foreign = false;
  FirstRun firstFlatRide, firstJumpRide, firstFlatWin, firstJumpWin;
};

struct Trainer : Person {};

struct Owner {
  std::string code;    // 6 digits
  std::string nameSj;  // without the legal-entity words
  int crown = -1;      // Crowns() index used in the names of the owner's horses
  std::string silksSj;
};

struct Breeder {
  std::string code;    // 8 digits, "00" + the older 6-digit code
  std::string nameSj;  // may be Latin letters for a breeder abroad
  std::string birthplaceSj;
};

struct Horse {
  int id = 0;
  std::string pedigree;  // birth year + breed + 5 digits
  std::string nameSj;
  std::string kanaSj;  // half-width
  std::string latin;
  std::string nameUtf8;
  int sex = 1;         // 1 colt/horse, 2 filly/mare, 3 gelding
  std::string coat;    // 2 digits
  std::string symbol;  // horse symbol code, 2 digits
  Date birth;
  Date registered;
  int sire = -1;  // BreedingHorse indexes
  int dam = -1;
  int trainer = -1;
  int owner = -1;
  int breeder = -1;
  int affiliation = 1;
  std::string regionSj;  // invitation region of a horse from local racing or abroad

  double ability = 0;
  bool jumper = false;
  int level = 0;          // flat class: 0 maiden, 1 … 3 wins, 4 open
  int jumpLevel = 0;      // 0 jump maiden, 1 jump open
  int interval = 28;      // days the horse usually rests between runs
  int lastRun = -100000;  // day number (Date::Days) of the last run
  int runs = 0;
  int bodyWeight = 470;
  bool retired = false;
  int retiredOn = 0;
  bool legacy = false;  // its master exists only in the older layout
  bool umSent = false;
  bool visible = false;  // ran in a written race
  HorseCounts counts;

  int Age(int year) const { return year - birth.y; }
};

}  // namespace sorvix::feedgen
