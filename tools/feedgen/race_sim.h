// The simulation of the racing: who runs where with which rider, weight and
// number, how the market sees the field, and how each race is run.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "tools/feedgen/calendar.h"
#include "tools/feedgen/race.h"
#include "tools/feedgen/rng.h"
#include "tools/feedgen/world.h"

namespace sorvix::feedgen {

class Simulator {
 public:
  Simulator(World& world, uint64_t seed);

  // Chooses the runners, riders, horse numbers, weights and the market of
  // every race of the day (creating horses where the population falls
  // short), and the extra names of the Thursday entry lists.
  void Enter(std::vector<Race>& races, const MeetingDay& day);

  // Runs the races of the day and updates horses, riders and trainers.  On a
  // showcase day one race ends in a dead heat and one 18-runner race with a
  // same-bracket first two.
  void Run(std::vector<Race>& races, bool showcase);

 private:
  void AssignRiders(const MeetingDay& day);
  std::vector<int> Candidates(const Race& race, int today, int count);
  void Fill(Race& race, int today);
  void Ride(Race& race, std::vector<int>& ridesToday);
  void Weigh(Race& race);
  void Market(Race& race);
  void RunRace(Race& race, bool deadHeat, bool sameBracket);
  void Corners(Race& race, const std::vector<int>& order);
  void Times(Race& race, const std::vector<int>& order);
  void Settle(Race& race);

  World& world_;
  Rng rng_;
  std::vector<int> venueOfJockey_;  // this weekend's venue per jockey, 0 none
  Date riderDay_;
  std::unordered_map<int64_t, std::vector<int>> buckets_;  // birth year, class, jumper → horses
  int bucketsDay_ = -1;
};

// Bracket numbers the way JRA assigns them for `runners` runners: eight
// brackets, the later ones taking the second (and third) horses.
int BracketOf(int number, int runners);

}  // namespace sorvix::feedgen
