// World: the people, owners, breeders, breeding book and horses of the
// generated feed, and the creation of new horses when races need them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/feedgen/date.h"
#include "tools/feedgen/entities.h"
#include "tools/feedgen/horse_namer.h"
#include "tools/feedgen/rng.h"

namespace sorvix::feedgen {

// What a race needs of a horse that has to be created for it.
struct HorseNeed {
  int birthYear = 0;
  int sex = 0;  // 0 any, else the sex code
  int level = 0;
  bool jumper = false;
  int jumpLevel = 0;
  bool debut = false;      // never raced (a newcomer race)
  bool allowGuest = true;  // may be a horse from local racing or abroad
  Date on;                 // the race date
};

class World {
 public:
  World(uint64_t seed, const Date& start);

  int NewHorse(const HorseNeed& need);
  void Retire(Horse& horse, const Date& on);

  std::vector<BreedingHorse> book;
  std::vector<int> sires;  // book indexes of the active sires
  std::vector<int> mares;  // book indexes of broodmares with foals racing
  std::vector<Jockey> jockeys;
  std::vector<Trainer> trainers;
  std::vector<Owner> owners;
  std::vector<Breeder> breeders;
  std::vector<Horse> horses;
  HorseNamer namer;
  Rng rng;

  // Jockeys and trainers of JRA (not the guests from local racing or abroad).
  std::vector<int> eastTrainers, westTrainers, localTrainers, foreignTrainers;

 private:
  void MakeBook();
  void MakeTrainers(const Date& start);
  void MakeJockeys(const Date& start);
  void MakeOwnersAndBreeders();
  Person MakePerson(int sex, const Date& start, int minAge, int maxAge, const std::string& code);
  std::string UniqueShortName(const std::string& family, const std::string& given, bool jockey);
  void PriorCareer(Person& person, double ridesPerYear, const Date& start, int qualification);
  FirstRun MakeFirstRun(const Date& on, bool win, bool jump);
  int NewBookHorse(const std::string& nameUtf8, bool latin, int sire, int dam,
                   const std::vector<int>& words);
  int NewMare(int sharedWord);
  void PriorRuns(Horse& horse, const HorseNeed& need);

  Date start_;
  int nextBookNumber_ = 0;
  std::vector<int> pedigreeSerial_;  // per birth year offset
  std::vector<std::string> shortNames_;
  std::vector<int> sireLatin_, sireKana_;  // level-2 sires
  std::vector<int> damsOld_;               // level-2 dams
};

}  // namespace sorvix::feedgen
