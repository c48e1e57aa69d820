// Simulator: running the races of a day and what the results change.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "codes/text.h"
#include "tools/feedgen/race_sim.h"

namespace sorvix::feedgen {
namespace {

// The margin code for a gap to the horse in front, in tenths of a second.
std::string MarginCode(int gap, Rng& rng) {
  static constexpr const char* kNear[] = {"H  ", "A  ", "K  "};
  switch (gap) {
    case 0:
      return kNear[rng.Below(3)];
    case 1:
      return rng.Chance(0.5) ? " 12" : " 34";
    case 2:
      return rng.Chance(0.6) ? "1  " : "114";
    case 3:
      return rng.Chance(0.5) ? "112" : "134";
    case 4:
      return "2  ";
    case 5:
      return "212";
    case 6:
      return "3  ";
    case 7:
      return "312";
    case 8:
      return "4  ";
    case 9:
    case 10:
      return "5  ";
    case 11:
      return "6  ";
    case 12:
      return "7  ";
    case 13:
      return "8  ";
    case 14:
      return "9  ";
    default:
      return gap <= 17 ? "Z  " : "T  ";
  }
}

int TurnOfTrack(int track) {
  if (track == 10 || track == 29) return 0;
  if ((track >= 11 && track <= 16) || track == 23 || track == 25 || track == 27) return 2;
  return 1;
}

bool Graded(char grade) {
  return (grade >= 'A' && grade <= 'D') || (grade >= 'F' && grade <= 'H');
}

}  // namespace

void Simulator::Times(Race& race, const std::vector<int>& order) {
  double perFurlong;
  if (race.jump) {
    perFurlong = 13.3;
  } else if (race.turf) {
    static constexpr double kGoing[5] = {0, 0, 0.1, 0.25, 0.4};
    perFurlong = 11.85 + kGoing[race.turfGoing];
  } else {
    static constexpr double kGoing[5] = {0, 0, -0.05, -0.1, -0.15};
    perFurlong = 12.45 + kGoing[race.dirtGoing];
  }
  int level = LevelOfClass(race.classCode);
  perFurlong += -0.04 * level + 0.015 * (race.distance / 200.0 - 8) + 0.08 * rng_.Normal();
  if (race.ages == AgeGroup::kTwo) perFurlong += 0.15;
  int winner10 = static_cast<int>(std::lround(race.distance / 200.0 * perFurlong * 10));
  double last3 = race.jump ? 40.5 : race.turf ? 34.6 : 37.2;
  last3 += 0.08 * (race.distance / 200.0 - 8) + 0.3 * rng_.Normal();

  int previous = winner10;
  for (size_t i = 0; i < order.size(); ++i) {
    Entry& e = race.entries[static_cast<size_t>(order[i])];
    if (i == 0) {
      e.time10 = winner10;
    } else {
      const Entry& before = race.entries[static_cast<size_t>(order[i - 1])];
      if (e.finish == before.finish) {
        e.time10 = before.time10;
        e.margin = "D  ";
        previous = e.time10;
        continue;
      }
      static constexpr int kGaps[] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 5, 6, 7, 8, 10, 13};
      int gap = kGaps[rng_.Below(19)];
      if (race.jump) gap = gap * 2 + rng_.Below(3);
      e.time10 = previous + gap;
      e.margin = MarginCode(gap, rng_);
      previous = e.time10;
    }
  }
  for (size_t i = 0; i < order.size(); ++i) {
    Entry& e = race.entries[static_cast<size_t>(order[i])];
    double l3 = last3 + 0.1 * (e.time10 - winner10) * 0.5 + 0.35 * rng_.Normal();
    if (e.style <= 2) l3 += 0.4;
    e.last3f = std::clamp(static_cast<int>(std::lround(l3 * 10)), 310, 520);
  }
  // Time differences: the winner shows its lead over the second (as
  // negative), the others their deficit.
  int second = order.size() > 1 ? race.entries[static_cast<size_t>(order[1])].time10 : winner10;
  for (size_t i = 0; i < order.size(); ++i) {
    Entry& e = race.entries[static_cast<size_t>(order[i])];
    e.timeDiff = i == 0 ? -(second - winner10) : e.time10 - winner10;
  }

  race.laps.clear();
  race.mileTime = 0;
  race.first3f = race.first4f = 0;
  const Entry& first = race.entries[static_cast<size_t>(order[0])];
  race.last3f = first.last3f;
  race.last4f = first.last3f + static_cast<int>(std::lround(perFurlong * 10)) - 3 + rng_.Below(5);
  if (race.jump) {
    double perMeter = winner10 / static_cast<double>(race.distance);
    int mile10 = static_cast<int>(std::lround(1600 * perMeter));
    race.mileTime = (mile10 / 600) * 1000 + (mile10 % 600);  // m ss t
    return;
  }
  // Flat races: a lap time per 200 m (the first one shorter when the
  // distance is not a whole number of furlongs), adding up to the winner's time.
  int laps = (race.distance + 199) / 200;
  int rest = race.distance - 200 * (laps - 1);
  double base = winner10 / (race.distance / 200.0);
  std::vector<int> times;
  int sum = 0;
  for (int i = 0; i < laps; ++i) {
    double t = base;
    if (i == 0)
      t = base * rest / 200.0 + 5;
    else if (i == 1)
      t = base - 2;
    else if (i >= laps - 3)
      t = base - 1 + 2 * (i - (laps - 3)) / 3.0;
    t += 1.5 * rng_.Normal();
    int v = std::clamp(static_cast<int>(std::lround(t)), 50, 150);
    times.push_back(v);
    sum += v;
  }
  times.back() += winner10 - sum;
  times.back() = std::clamp(times.back(), 50, 200);
  race.laps = times;
  auto firstN = [&](int n) {
    int s = 0;
    for (int i = 0; i < n && i < laps; ++i) s += times[static_cast<size_t>(i)];
    return s;
  };
  race.first3f = firstN(3);
  race.first4f = firstN(4);
  int l3 = 0, l4 = 0;
  for (int i = 0; i < 4 && i < laps; ++i) {
    int t = times[static_cast<size_t>(laps - 1 - i)];
    if (i < 3) l3 += t;
    l4 += t;
  }
  race.last3f = l3;
  race.last4f = l4;
}

void Simulator::Corners(Race& race, const std::vector<int>& order) {
  // Running style tendencies decide the early positions; the later corners
  // move towards the finishing order.
  int n = static_cast<int>(order.size());
  std::map<int, double> early;
  for (int idx : order) {
    const Horse& h =
        world_.horses[static_cast<size_t>(race.entries[static_cast<size_t>(idx)].horse)];
    double tendency = static_cast<double>((h.id * 7919) % 100) / 100.0;
    early[idx] = tendency + 0.25 * rng_.Normal();
  }
  std::vector<int> finishRank(race.entries.size(), n);
  for (int i = 0; i < n; ++i) finishRank[static_cast<size_t>(order[static_cast<size_t>(i)])] = i;
  bool four = race.jump || race.distance >= 1700;
  race.cornerCount = four ? 4 : 2;
  static constexpr double kPull[4] = {0.1, 0.25, 0.45, 0.7};
  for (int c = 0; c < 4; ++c) {
    race.cornerTexts[c].clear();
    for (Entry& e : race.entries) e.corners[c] = 0;
    if (!four && c < 2) continue;
    std::vector<std::pair<double, int>> scored;
    for (int idx : order) {
      double w = kPull[c];
      double score = (1 - w) * early[idx] +
                     w * finishRank[static_cast<size_t>(idx)] / std::max(1.0, n - 1.0) +
                     0.05 * rng_.Normal();
      scored.push_back({score, idx});
    }
    std::sort(scored.begin(), scored.end());
    // The passing order: commas between horses, "-" and "=" before a gap,
    // parentheses around a group running abreast ("*" marks the leader of a
    // leading group).
    std::string text;
    int openSize = 0;
    for (size_t i = 0; i < scored.size(); ++i) {
      Entry& e = race.entries[static_cast<size_t>(scored[i].second)];
      e.corners[c] = static_cast<int>(i) + 1;
      bool startGroup = openSize == 0 && i + 1 < scored.size() && rng_.Chance(0.12);
      if (i > 0) {
        if (openSize >= 2 && rng_.Chance(0.55)) {
          text += ")";
          openSize = 0;
          startGroup = false;
        } else if (openSize > 0) {
          text += ",";
        } else if (!startGroup) {
          double r = rng_.Unit();
          text += r < 0.12 ? "-" : r < 0.14 ? "=" : ",";
        }
      }
      if (startGroup) {
        text += i == 0 ? "(*" : "(";
        openSize = 0;
      }
      text += std::to_string(e.number);
      if (startGroup || openSize > 0) ++openSize;
    }
    if (openSize > 0) text += ")";
    race.cornerTexts[c] = text.substr(0, 70);
  }
  for (int idx : order) {
    Entry& e = race.entries[static_cast<size_t>(idx)];
    int first = e.corners[four ? 0 : 2];
    e.style = first == 1 ? 1 : first <= std::max(2, n / 3) ? 2 : first <= (2 * n) / 3 ? 3 : 4;
  }
}

void Simulator::RunRace(Race& race, bool deadHeat, bool sameBracket) {
  int n = static_cast<int>(race.entries.size());
  race.run = true;
  for (Entry& e : race.entries) {
    e.abnormal = 0;
    e.finish = e.arrival = 0;
  }
  if (n >= 6 && !deadHeat && !sameBracket && rng_.Chance(0.015))
    race.entries[static_cast<size_t>(rng_.Below(n))].abnormal = 1;

  std::vector<std::pair<double, int>> performance;
  for (int i = 0; i < n; ++i) {
    const Entry& e = race.entries[static_cast<size_t>(i)];
    if (e.abnormal == 1) continue;
    double u = std::max(1e-12, rng_.Unit());
    performance.push_back({e.strength * 1.25 - std::log(-std::log(u)), i});
  }
  std::sort(performance.begin(), performance.end(), std::greater<>());
  std::vector<int> order;
  for (const auto& p : performance) order.push_back(p.second);

  if (sameBracket && !order.empty()) {
    int winnerBracket = race.entries[static_cast<size_t>(order[0])].bracket;
    for (size_t i = 2; i < order.size(); ++i) {
      if (race.entries[static_cast<size_t>(order[i])].bracket == winnerBracket) {
        int mate = order[i];
        order.erase(order.begin() + static_cast<long>(i));
        order.insert(order.begin() + 1, mate);
        break;
      }
    }
  }
  // A horse that does not finish.
  int dnf = -1;
  if (order.size() > 5 && !deadHeat && rng_.Chance(race.jump ? 0.08 : 0.004)) {
    size_t at = static_cast<size_t>(rng_.Between(3, static_cast<int>(order.size()) - 1));
    dnf = order[at];
    order.erase(order.begin() + static_cast<long>(at));
    race.entries[static_cast<size_t>(dnf)].abnormal = 4;
  }
  // A dead heat: two horses share a place.
  int tiePlace = 0;
  if (order.size() >= 5 && (deadHeat || rng_.Chance(0.006))) {
    double r = rng_.Unit();
    tiePlace = r < 0.3 ? 1 : r < 0.65 ? 2 : 3;
  }
  for (size_t i = 0; i < order.size(); ++i) {
    Entry& e = race.entries[static_cast<size_t>(order[i])];
    if (tiePlace > 0 && static_cast<int>(i) == tiePlace) {
      Entry& before = race.entries[static_cast<size_t>(order[i - 1])];
      e.finish = before.finish;
      e.tiedWith = before.tiedWith = 1;
    } else {
      e.finish = static_cast<int>(i) + 1;
    }
    e.arrival = e.finish;
  }
  race.starters = static_cast<int>(order.size()) + (dnf >= 0 ? 1 : 0);
  race.finishers = static_cast<int>(order.size());

  Corners(race, order);
  Times(race, order);
  if (dnf >= 0) {
    Entry& e = race.entries[static_cast<size_t>(dnf)];
    e.corners[3] = 0;
    if (race.cornerCount == 4) e.corners[2] = 0;
  }
  // Prize money: a shared place shares the prizes of the places it covers.
  for (Entry& e : race.entries) {
    e.prize = e.addedPrize = 0;
    if (e.finish < 1 || e.finish > 5) continue;
    int places = e.tiedWith + 1;
    int64_t p = 0, a = 0;
    for (int k = 0; k < places && e.finish - 1 + k < 7; ++k) {
      p += race.prize[e.finish - 1 + k];
      if (e.finish - 1 + k < 5) a += race.added[e.finish - 1 + k];
    }
    e.prize = p / places / 100 * 100;
    e.addedPrize = a / places / 100 * 100;
  }
}

void Simulator::Settle(Race& race) {
  for (Entry& e : race.entries) {
    if (e.abnormal == 1) continue;
    Horse& h = world_.horses[static_cast<size_t>(e.horse)];
    Jockey& j = world_.jockeys[static_cast<size_t>(e.jockey)];
    Trainer& t = world_.trainers[static_cast<size_t>(h.trainer)];
    RunFacts run;
    run.year = race.date.y;
    run.venue = race.venue;
    run.jump = race.jump;
    run.turf = race.turf;
    run.turn = TurnOfTrack(race.track);
    run.going = race.Going();
    run.distance = race.distance;
    run.position = e.abnormal == 4 ? 0 : e.finish;
    run.style = e.style;
    run.prize = e.prize;
    run.addedPrize = e.addedPrize;
    h.counts.Add(run);
    j.counts.Add(run);
    t.counts.Add(run);
    ++h.runs;
    h.bodyWeight = e.bodyWeight;
    h.ability += 0.05 * rng_.Normal() + (e.age <= 4 ? 0.03 : e.age >= 7 ? -0.05 : 0);
    if (e.finish == 1) {
      if (race.jump) {
        h.jumpLevel = 1;
      } else if (h.level < 4 && LevelOfClass(race.classCode) >= h.level) {
        h.level = std::min(4, LevelOfClass(race.classCode) + 1);
      }
      if (Graded(race.grade)) {
        GradedWin win;
        win.key = race.Key();
        win.raceNameSj = race.nameSj;
        win.short10Sj = race.short10Sj;
        win.short6Sj = race.short6Sj;
        win.short3Sj = race.short3Sj;
        win.grade = race.grade;
        win.starters = race.starters;
        win.pedigree = h.pedigree;
        win.horseNameSj = h.nameSj;
        for (Person* p : {static_cast<Person*>(&j), static_cast<Person*>(&t)}) {
          p->gradedWins.insert(p->gradedWins.begin(), win);
          if (p->gradedWins.size() > 3) p->gradedWins.resize(3);
        }
      }
    }
    // Careers end: old age, a long run of defeats, maidens when their races end.
    int age = e.age;
    double retire = 0.012 + std::max(0, age - 5) * 0.03;
    if (!race.jump && h.level == 0 && age >= 3 && race.date.m >= 9) retire += 0.25;
    if (age >= 9) retire = 1;
    if (rng_.Chance(retire)) {
      world_.Retire(h, race.date);
    } else if (!h.jumper && !race.jump && age >= 4 && h.level <= 2 && rng_.Chance(0.02)) {
      h.jumper = true;
      h.jumpLevel = 0;
    }
  }
}

void Simulator::Run(std::vector<Race>& races, bool showcase) {
  // The weather and the going of each venue for the day.
  std::map<int, std::array<int, 3>> conditions;
  for (const Race& race : races) {
    if (conditions.count(race.venue)) continue;
    int month = race.date.m;
    double r = rng_.Unit();
    int weather = r < 0.55                      ? 1
                  : r < 0.83                    ? 2
                  : r < 0.91                    ? 3
                  : r < 0.97                    ? 4
                  : (month <= 2 || month == 12) ? 5 + rng_.Below(2)
                                                : 3;
    auto going = [&](bool wet) {
      double g = rng_.Unit();
      if (wet) return g < 0.2 ? 2 : g < 0.7 ? 3 : 4;
      return g < 0.78 ? 1 : g < 0.93 ? 2 : g < 0.98 ? 3 : 4;
    };
    bool wet = weather == 3 || weather == 5;
    conditions[race.venue] = {weather, going(wet), going(wet)};
  }
  int deadHeatRace = -1, sameBracketRace = -1;
  if (showcase) {
    std::vector<int> candidates;
    for (size_t i = 0; i < races.size(); ++i)
      if (!races[i].jump && races[i].entries.size() >= 8) candidates.push_back(static_cast<int>(i));
    if (!candidates.empty()) deadHeatRace = rng_.Pick(candidates);
    for (size_t i = 0; i < races.size(); ++i)
      if (static_cast<int>(i) != deadHeatRace && races[i].entries.size() >= 16)
        sameBracketRace = static_cast<int>(i);
  }
  for (size_t i = 0; i < races.size(); ++i) {
    Race& race = races[i];
    const auto& c = conditions[race.venue];
    race.weather = c[0];
    race.turfGoing = c[1];
    race.dirtGoing = c[2];
    RunRace(race, static_cast<int>(i) == deadHeatRace, static_cast<int>(i) == sameBracketRace);
    Settle(race);
  }
}

}  // namespace sorvix::feedgen
