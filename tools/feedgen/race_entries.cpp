// Simulator: the entries of a day (runners, riders, numbers, weights and
// the market).
#include <algorithm>
#include <cmath>

#include "tools/feedgen/race_sim.h"

namespace sorvix::feedgen {
namespace {

bool EastVenue(int venue) {
  return venue >= 1 && venue <= 6;
}

// Local and invited horses run in races open to them.
bool GuestsWelcome(const Race& race) {
  return race.symbol.size() == 3 &&
         (race.symbol[2] == '1' || race.symbol[2] == '4' || race.symbol[0] == 'N');
}

int64_t BucketKey(int birthYear, int classKey, bool jumper) {
  return static_cast<int64_t>(birthYear) * 100 + classKey * 2 + (jumper ? 1 : 0);
}

}  // namespace

int BracketOf(int number, int runners) {
  if (runners <= 8) return number;
  int base = runners / 8, extra = runners % 8, count = 0;
  for (int b = 1; b <= 8; ++b) {
    int size = base + (b > 8 - extra ? 1 : 0);
    if (number <= count + size) return b;
    count += size;
  }
  return 8;
}

Simulator::Simulator(World& world, uint64_t seed) : world_(world), rng_(Rng::For(seed, "races")) {}

void Simulator::AssignRiders(const MeetingDay& day) {
  Date saturday = day.date.Weekday() == 6 ? day.date : day.date.Plus(-1);
  bool newWeekend = !(riderDay_ == saturday);
  riderDay_ = saturday;
  venueOfJockey_.resize(world_.jockeys.size(), 0);
  for (size_t j = 0; j < world_.jockeys.size(); ++j) {
    const Jockey& jockey = world_.jockeys[j];
    int& venue = venueOfJockey_[j];
    bool stillThere = false;
    for (const VenueDay& v : day.venues)
      if (v.venue == venue) stillThere = true;
    if (!newWeekend && (stillThere || venue == 0)) continue;
    double attend = jockey.affiliation == 3 ? 0.35 : jockey.foreign ? 0.95 : 0.88;
    if (!rng_.Chance(attend)) {
      venue = 0;
      continue;
    }
    std::vector<double> weights;
    for (size_t i = 0; i < day.venues.size(); ++i) {
      int code = day.venues[i].venue;
      double w = 1;
      if (jockey.affiliation == 1 || jockey.affiliation == 2) {
        w = (EastVenue(code) == (jockey.affiliation == 1)) ? 4 : 1;
      } else {
        w = i == 0 ? 3 : 1;
      }
      if (i == 0) w *= 1 + 0.3 * std::min(jockey.demand, 3.0);
      weights.push_back(w);
    }
    venue = day.venues[static_cast<size_t>(rng_.Weighted(weights))].venue;
  }
}

std::vector<int> Simulator::Candidates(const Race& race, int today, int count) {
  if (bucketsDay_ != today) {
    buckets_.clear();
    for (const Horse& h : world_.horses) {
      if (h.retired) continue;
      int classKey = h.jumper ? h.jumpLevel : h.level;
      buckets_[BucketKey(h.birth.y, classKey, h.jumper)].push_back(h.id);
    }
    bucketsDay_ = today;
  }
  int y = race.date.y;
  int from = y - 9, to = y - 3;
  switch (race.ages) {
    case AgeGroup::kTwo:
      from = to = y - 2;
      break;
    case AgeGroup::kThree:
      from = to = y - 3;
      break;
    case AgeGroup::kFourUp:
      to = y - 4;
      break;
    default:
      break;
  }
  int classKey = race.jump ? (race.classCode == kMaiden ? 0 : 1) : LevelOfClass(race.classCode);
  bool guests = GuestsWelcome(race);
  // Ready horses of the race's class first, then rested ones; when the class
  // falls short, horses of the class below try their luck (and unraced
  // horses a maiden race).
  std::vector<int> tiers[4];
  auto gather = [&](int key, bool below) {
    for (int by = from; by <= to; ++by) {
      auto it = buckets_.find(BucketKey(by, key, race.jump));
      if (it == buckets_.end()) continue;
      for (int id : it->second) {
        const Horse& h = world_.horses[static_cast<size_t>(id)];
        if (h.retired) continue;
        bool unraced = h.runs == 0 && h.counts.races == 0;
        if (race.classCode == kNewcomer && !unraced) continue;
        if (race.classCode != kNewcomer && !race.jump && unraced && !below) continue;
        if (race.fillies && h.sex != 2) continue;
        // Fillies and mares mostly wait for the races of their own sex.
        if (!race.fillies && !race.jump && h.sex == 2 && ((h.id + today / 7) % 3) != 0) continue;
        if ((h.affiliation == 3 || h.affiliation == 4) && !guests) continue;
        int rest = today - h.lastRun;
        if (rest < 13) continue;
        tiers[(below ? 2 : 0) + (rest >= h.interval ? 0 : 1)].push_back(id);
      }
    }
  };
  gather(classKey, false);
  if (static_cast<int>(tiers[0].size() + tiers[1].size()) < count) {
    if (classKey > 0 && race.classCode != kNewcomer) gather(classKey - 1, true);
    if (classKey == 0 && race.classCode == kMaiden && !race.jump) {
      // Unraced horses of the maiden class: gathered above only as "below".
      gather(0, true);
    }
  }
  std::vector<int> out;
  for (auto& tier : tiers) {
    rng_.Shuffle(tier);
    for (int id : tier) {
      if (static_cast<int>(out.size()) >= count) break;
      if (std::find(out.begin(), out.end(), id) == out.end()) out.push_back(id);
    }
  }
  return out;
}

void Simulator::Fill(Race& race, int today) {
  std::vector<int> chosen = Candidates(race, today, race.target + 4);
  // Horses beyond the field: named on Thursday's list, then left out.
  if (static_cast<int>(chosen.size()) > race.target) {
    int extra = static_cast<int>(chosen.size()) - race.target;
    if (race.classCode == kMaiden || race.classCode == kOneWin || rng_.Chance(0.3)) {
      for (int i = 0; i < extra && i < 4; ++i)
        race.alsoEntered.push_back(chosen[static_cast<size_t>(race.target + i)]);
    }
    chosen.resize(static_cast<size_t>(race.target));
  }
  while (static_cast<int>(chosen.size()) < race.target) {
    HorseNeed need;
    need.on = race.date;
    int y = race.date.y;
    switch (race.ages) {
      case AgeGroup::kTwo:
        need.birthYear = y - 2;
        break;
      case AgeGroup::kThree:
        need.birthYear = y - 3;
        break;
      case AgeGroup::kThreeUp: {
        static constexpr int kAges[] = {3, 3, 3, 3, 4, 4, 4, 5, 5, 6, 7, 8};
        need.birthYear = y - (race.jump ? 3 + rng_.Below(6) : kAges[rng_.Below(12)]);
        break;
      }
      case AgeGroup::kFourUp: {
        static constexpr int kAges[] = {4, 4, 4, 4, 5, 5, 5, 6, 6, 7, 8, 9};
        need.birthYear = y - kAges[rng_.Below(12)];
        break;
      }
    }
    need.sex = race.fillies ? 2 : 0;
    need.jumper = race.jump;
    need.jumpLevel = race.jump ? (race.classCode == kMaiden ? 0 : 1) : 0;
    need.level = race.jump ? rng_.Between(0, 2) : LevelOfClass(race.classCode);
    need.debut = race.classCode == kNewcomer;
    need.allowGuest = GuestsWelcome(race);
    int id = world_.NewHorse(need);
    Horse& h = world_.horses[static_cast<size_t>(id)];
    // A horse new to the feed has rested since its last run.
    if (!need.debut) h.lastRun = today - h.interval - rng_.Below(60);
    chosen.push_back(id);
  }
  rng_.Shuffle(chosen);
  int n = static_cast<int>(chosen.size());
  for (int i = 0; i < n; ++i) {
    Entry e;
    e.horse = chosen[static_cast<size_t>(i)];
    Horse& h = world_.horses[static_cast<size_t>(e.horse)];
    e.number = i + 1;
    e.bracket = BracketOf(e.number, n);
    e.age = h.Age(race.date.y);
    e.blinker = rng_.Chance(0.15);
    e.firstRun = h.runs == 0 && h.counts.races == 0;
    int change = e.firstRun ? 0 : static_cast<int>(std::lround(5 * rng_.Normal()));
    e.weightChange = change;
    e.bodyWeight = std::clamp(h.bodyWeight + change, 380, 598);
    h.lastRun = today;
    race.entries.push_back(e);
  }
}

void Simulator::Ride(Race& race, std::vector<int>& ridesToday) {
  std::vector<int> order(race.entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  rng_.Shuffle(order);
  std::vector<char> inRace(world_.jockeys.size(), 0);
  std::vector<double> weights(world_.jockeys.size());
  for (int idx : order) {
    Entry& e = race.entries[static_cast<size_t>(idx)];
    const Horse& h = world_.horses[static_cast<size_t>(e.horse)];
    double sum = 0;
    for (size_t j = 0; j < world_.jockeys.size(); ++j) {
      const Jockey& jockey = world_.jockeys[j];
      double w = 0;
      bool qualified = race.jump ? jockey.qualification != 2 : jockey.qualification != 3;
      if (venueOfJockey_[j] == race.venue && !inRace[j] && qualified && ridesToday[j] < 12) {
        w = jockey.demand / (1.0 + ridesToday[j] / 5.0);
        if (jockey.trainer == h.trainer) w *= 6;
        if (jockey.apprentice != 0 && jockey.sex == 1 && race.special) w *= 0.3;
        if (jockey.foreign && !race.special) w *= 0.6;
        if (jockey.affiliation == 3 && !(race.symbol.size() == 3 && race.symbol[2] != '0')) w = 0;
      }
      weights[j] = w;
      sum += w;
    }
    int pick = -1;
    if (sum > 0) {
      pick = rng_.Weighted(weights);
    } else {
      // Nobody left at the venue: a rider of the venue beyond the usual load,
      // then a rider who was not booked anywhere today.
      for (int pass = 0; pass < 3 && pick < 0; ++pass) {
        for (size_t j = 0; j < world_.jockeys.size() && pick < 0; ++j) {
          const Jockey& jockey = world_.jockeys[j];
          bool qualified = race.jump ? jockey.qualification != 2 : jockey.qualification != 3;
          if (inRace[j] || !qualified || jockey.affiliation == 3) continue;
          if ((pass == 0 && venueOfJockey_[j] == race.venue) ||
              (pass == 1 && venueOfJockey_[j] == 0) || pass == 2) {
            pick = static_cast<int>(j);
            if (pass == 1) venueOfJockey_[j] = race.venue;
          }
        }
      }
    }
    e.jockey = pick;
    inRace[static_cast<size_t>(pick)] = 1;
    ++ridesToday[static_cast<size_t>(pick)];
  }
}

void Simulator::Weigh(Race& race) {
  int month = race.date.m;
  double meanAbility = 0;
  for (const Entry& e : race.entries)
    meanAbility += world_.horses[static_cast<size_t>(e.horse)].ability;
  meanAbility /= std::max<size_t>(1, race.entries.size());
  for (Entry& e : race.entries) {
    const Horse& h = world_.horses[static_cast<size_t>(e.horse)];
    const Jockey& j = world_.jockeys[static_cast<size_t>(e.jockey)];
    bool female = h.sex == 2;
    int base;
    if (race.jump) {
      base = e.age == 3 ? 590 : 600;
    } else if (race.ages == AgeGroup::kTwo) {
      base = 550;
    } else if (race.ages == AgeGroup::kThree) {
      base = 570;
    } else if (e.age == 3) {
      base = month <= 8 ? 550 : month <= 11 ? 560 : 570;
    } else {
      base = 580;
    }
    if (female) base -= race.ages == AgeGroup::kTwo ? 10 : 20;
    int burden = base;
    if (race.weightRule == 2) {
      burden = base +
               10 * std::clamp(static_cast<int>(std::lround(h.ability - meanAbility + rng_.Unit())),
                               0, 3);
    } else if (race.weightRule == 1) {
      double rated = (race.jump ? 600 : 545) + 25 * (h.ability - meanAbility) + 8 * rng_.Normal();
      burden = static_cast<int>(std::lround(rated / 10.0)) * 10;
      burden = std::clamp(burden, race.jump ? 570 : 480, race.jump ? 630 : 590);
      if (rng_.Chance(0.08)) burden += rng_.Chance(0.5) ? 5 : -5;
    }
    // Riders' allowances: apprentices in ordinary races, women riders also in
    // special races (two kilograms), none in handicaps and graded races.
    int code = 0;
    bool graded = race.grade != ' ' && race.grade != 'E';
    if (!race.jump && race.weightRule != 1 && !graded) {
      if (!race.special) {
        code = j.apprentice;
      } else if (j.sex == 2 && j.apprentice != 0) {
        code = 9;
      }
    }
    static constexpr int kAllowance[10] = {0, 10, 20, 30, 40, 0, 0, 0, 0, 20};
    e.apprentice = code;
    e.burden = burden - kAllowance[code];
  }
}

void Simulator::Market(Race& race) {
  // RunRace draws each runner's performance as 1.25 × strength plus a
  // Gumbel variable, so its chance to win is exactly exp(1.25 × strength)
  // over the field's sum.  The market knows these chances, but its shares
  // follow the favourite–long-shot bias of a betting public (shares as
  // chance^kWinBias): long shots are priced a little shorter than their
  // chances, favourites a little longer.  The pool pays back kWinTakeBack.
  constexpr double kWinBias = 0.975;
  constexpr double kWinTakeBack = 0.80;
  std::vector<double> weight;
  double top = -1e9;
  for (Entry& e : race.entries) {
    const Horse& h = world_.horses[static_cast<size_t>(e.horse)];
    const Jockey& j = world_.jockeys[static_cast<size_t>(e.jockey)];
    const Trainer& t = world_.trainers[static_cast<size_t>(h.trainer)];
    double ageFactor = e.age <= 3 ? 0 : e.age <= 5 ? 0.15 : -0.08 * (e.age - 5);
    e.strength =
        h.ability + 0.25 * j.skill + 0.1 * t.skill + ageFactor - 0.02 * (e.burden - 560) / 10.0;
    // Drawn as before, so that every later draw of the feed stays as it was.
    (void)rng_.Normal();
    top = std::max(top, 1.25 * e.strength);
  }
  double chances = 0, shares = 0;
  for (Entry& e : race.entries) {
    weight.push_back(std::exp(1.25 * e.strength - top));
    chances += weight.back();
  }
  for (size_t i = 0; i < race.entries.size(); ++i) {
    race.entries[i].chance = weight[i] / chances;
    shares += std::pow(race.entries[i].chance, kWinBias);
  }
  for (Entry& e : race.entries) {
    e.marketP = std::pow(e.chance, kWinBias) / shares;
    int odds10 = static_cast<int>(std::floor(10.0 * kWinTakeBack / e.marketP));
    e.winOdds10 = std::clamp(odds10, 10, 9999);
  }
  std::vector<int> byOdds(race.entries.size());
  for (size_t i = 0; i < byOdds.size(); ++i) byOdds[i] = static_cast<int>(i);
  std::stable_sort(byOdds.begin(), byOdds.end(), [&](int a, int b) {
    return race.entries[static_cast<size_t>(a)].winOdds10 <
           race.entries[static_cast<size_t>(b)].winOdds10;
  });
  for (size_t rank = 0; rank < byOdds.size(); ++rank)
    race.entries[static_cast<size_t>(byOdds[rank])].popularity = static_cast<int>(rank) + 1;
  // Predicted times ranked by strength.
  std::vector<int> byStrength = byOdds;
  std::stable_sort(byStrength.begin(), byStrength.end(), [&](int a, int b) {
    return race.entries[static_cast<size_t>(a)].strength >
           race.entries[static_cast<size_t>(b)].strength;
  });
  double perFurlong = race.jump ? 13.3 : race.turf ? 11.95 : 12.5;
  int base100 = static_cast<int>(std::lround(race.distance / 200.0 * perFurlong * 100));
  for (size_t rank = 0; rank < byStrength.size(); ++rank) {
    Entry& e = race.entries[static_cast<size_t>(byStrength[rank])];
    e.miningRank = static_cast<int>(rank) + 1;
    e.miningTime = base100 + static_cast<int>(rank) * 12 + rng_.Below(9);
  }
}

void Simulator::Enter(std::vector<Race>& races, const MeetingDay& day) {
  AssignRiders(day);
  int today = day.date.Days();
  std::vector<int> ridesToday(world_.jockeys.size(), 0);
  // Higher classes first, so that the better horses go where they belong.
  std::vector<size_t> order(races.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return LevelOfClass(races[a].classCode) > LevelOfClass(races[b].classCode);
  });
  for (size_t i : order) Fill(races[i], today);
  for (Race& race : races) {
    Ride(race, ridesToday);
    Weigh(race);
    Market(race);
  }
}

}  // namespace sorvix::feedgen
