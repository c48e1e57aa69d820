#include "tools/feedgen/race_program.h"

#include <algorithm>
#include <map>

#include "codes/cp932.h"
#include "codes/text.h"
#include "tools/feedgen/name_pools.h"

namespace sorvix::feedgen {
namespace {

constexpr int kPostTimes[12] = {950,  1020, 1050, 1120, 1210, 1240,
                                1315, 1345, 1420, 1455, 1535, 1610};

struct Distances {
  std::vector<int> turf, dirt;
};

const Distances& VenueDistances(int venue) {
  static const std::map<int, Distances> table = {
      {1, {{1200, 1500, 1800, 2000, 2600}, {1000, 1700, 2400}}},
      {2, {{1200, 1800, 2000, 2600}, {1000, 1700, 2400}}},
      {3, {{1200, 1800, 2000, 2600}, {1150, 1700, 2400}}},
      {4, {{1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400}, {1200, 1800, 2500}}},
      {5, {{1400, 1600, 1800, 2000, 2300, 2400, 2500, 3400}, {1300, 1400, 1600, 2100}}},
      {6, {{1200, 1600, 1800, 2000, 2200, 2500, 3600}, {1200, 1800, 2400}}},
      {7, {{1200, 1400, 1600, 2000, 2200}, {1200, 1400, 1800, 1900}}},
      {8, {{1200, 1400, 1600, 1800, 2000, 2200, 2400, 3000, 3200}, {1200, 1400, 1800, 1900}}},
      {9, {{1200, 1400, 1600, 1800, 2000, 2200, 2400, 3000}, {1200, 1400, 1800, 2000}}},
      {10, {{1200, 1700, 1800, 2000, 2600}, {1000, 1700, 2400}}},
  };
  return table.at(venue);
}

constexpr int kJumpDistances[] = {2750, 2860, 2880, 2890, 3000, 3110, 3140, 3200,
                                  3300, 3350, 3380, 3390, 3570, 3900, 4100, 4250};

bool LeftHanded(int venue) {
  return venue == 4 || venue == 5 || venue == 7;
}

struct Slot {
  AgeGroup ages;
  int classCode;
  bool jump = false;
  bool special = false;
};

int Season(const Date& d) {
  return (d.m - 1) / 3;
}

// The conditions of race `r` (1 … 12) at the venue in position `v` of the day.
Slot SlotFor(int r, int v, const Date& date, Rng& rng) {
  bool spring = date.m <= 5;
  bool twoYearOlds = date.m >= 6;
  bool twoMaidens = date.m >= 7;
  bool threeMaidens = date.m <= 9;
  bool newcomers3 = date.m <= 3;
  AgeGroup older = spring ? AgeGroup::kFourUp : AgeGroup::kThreeUp;
  bool jumpDay = rng.Chance(v == 0 ? 0.55 : 0.3);
  switch (r) {
    case 1:
      if (spring || (threeMaidens && !twoMaidens)) return {AgeGroup::kThree, kMaiden};
      return twoMaidens && rng.Chance(0.5) ? Slot{AgeGroup::kTwo, kMaiden} : Slot{older, kOneWin};
    case 2:
      if (spring) return {AgeGroup::kThree, kMaiden};
      return threeMaidens ? Slot{AgeGroup::kThree, kMaiden} : Slot{older, kOneWin};
    case 3:
      if (spring) return {AgeGroup::kThree, newcomers3 && rng.Chance(0.4) ? kNewcomer : kMaiden};
      return twoMaidens ? Slot{AgeGroup::kTwo, kMaiden} : Slot{AgeGroup::kThree, kMaiden};
    case 4:
      if (jumpDay) return {older, kMaiden, true};
      return spring ? Slot{AgeGroup::kThree, kMaiden} : Slot{older, kOneWin};
    case 5:
      if (spring) return {AgeGroup::kThree, newcomers3 ? kNewcomer : kMaiden};
      return twoYearOlds ? Slot{AgeGroup::kTwo, kNewcomer} : Slot{older, kOneWin};
    case 6:
      if (spring) return {AgeGroup::kThree, kOneWin};
      return twoYearOlds && rng.Chance(0.5) ? Slot{AgeGroup::kTwo, kNewcomer}
                                            : Slot{older, kOneWin};
    case 7:
      return {older, kOneWin};
    case 8:
      if (jumpDay && v == 0 && rng.Chance(0.5)) return {older, kOpen, true, true};
      return {older, rng.Chance(0.6) ? kOneWin : kTwoWins};
    case 9:
      if (spring) return {AgeGroup::kThree, kOneWin, false, true};
      return twoYearOlds && date.m >= 8 && rng.Chance(0.4)
                 ? Slot{AgeGroup::kTwo, kOneWin, false, true}
                 : Slot{older, kOneWin, false, true};
    case 10:
      return {older, v == 0 && rng.Chance(0.4) ? kThreeWins : kTwoWins, false, true};
    case 11: {
      if (spring && rng.Chance(0.3)) return {AgeGroup::kThree, kOpen, false, true};
      if (!spring && date.m >= 9 && rng.Chance(0.2)) return {AgeGroup::kTwo, kOpen, false, true};
      return {older, v == 2 && rng.Chance(0.3) ? kThreeWins : kOpen, false, true};
    }
    default:
      return {older, rng.Chance(0.5) ? kTwoWins : kOneWin};
  }
}

int RaceTypeOf(AgeGroup ages, bool jump) {
  if (jump) return ages == AgeGroup::kFourUp ? 19 : 18;
  switch (ages) {
    case AgeGroup::kTwo:
      return 11;
    case AgeGroup::kThree:
      return 12;
    case AgeGroup::kThreeUp:
      return 13;
    default:
      return 14;
  }
}

int64_t Round100(double v) {
  return static_cast<int64_t>(v / 100.0 + 0.5) * 100;
}

void SetPrizes(Race& race) {
  int64_t first;  // in 100 yen
  if (race.jump) {
    switch (race.grade) {
      case 'F':
        first = 660000;
        break;
      case 'G':
        first = 400000;
        break;
      case 'H':
        first = 300000;
        break;
      default:
        first = race.classCode == kOpen ? 150000 : 86000;
    }
  } else {
    switch (race.grade) {
      case 'A':
        first = 1500000;
        break;
      case 'B':
        first = 600000;
        break;
      case 'C':
        first = 410000;
        break;
      case 'D':
        first = 380000;
        break;
      case 'L':
        first = 250000;
        break;
      default:
        switch (race.classCode) {
          case kNewcomer:
            first = 72000;
            break;
          case kMaiden:
            first = 56000;
            break;
          case kOneWin:
            first = race.special ? 88000 : 77000;
            break;
          case kTwoWins:
            first = race.special ? 150000 : 106000;
            break;
          case kThreeWins:
            first = 182000;
            break;
          default:
            first = 240000;
        }
    }
    if (race.ages == AgeGroup::kTwo && race.grade == ' ') first = first * 9 / 10;
  }
  static constexpr double kShare[5] = {1.0, 0.4, 0.25, 0.15, 0.1};
  for (int i = 0; i < 5; ++i) race.prize[i] = Round100(static_cast<double>(first) * kShare[i]);
  if (race.special) {
    int64_t added = race.grade == 'A'                        ? 12000
                    : race.grade >= 'B' && race.grade <= 'D' ? 6000
                                                             : 2600;
    race.added[0] = added;
    race.added[1] = Round100(static_cast<double>(added) * 0.35);
    race.added[2] = Round100(static_cast<double>(added) * 0.25);
  }
}

std::string RaceSymbol(const Race& race, Rng& rng) {
  if (race.jump) {
    static constexpr const char* kJump[] = {"000", "A00", "003", "A03"};
    return kJump[rng.Below(4)];
  }
  if (race.fillies) {
    static constexpr const char* kFillies[] = {"020", "A20", "A23", "N20", "N23"};
    return kFillies[race.grade != ' ' && race.grade != 'E' ? 3 + rng.Below(2) : rng.Below(3)];
  }
  if (race.grade != ' ' && race.grade != 'E') {
    static constexpr const char* kGraded[] = {"N00", "N03", "N04", "A00", "A03"};
    return kGraded[rng.Below(5)];
  }
  if (race.special) {
    static constexpr const char* kSpecial[] = {"A00", "A03", "A01", "A04", "N00", "N03", "000"};
    return kSpecial[rng.Below(7)];
  }
  if (race.ages == AgeGroup::kTwo && race.venue == 10 && rng.Chance(0.2)) return "M00";
  static constexpr const char* kPlain[] = {"000", "A00", "A00", "A03", "001", "003", "C00", "C03"};
  return kPlain[rng.Below(8)];
}

int WeightRule(const Race& race, Rng& rng) {
  if (race.grade == 'A' || race.grade == 'F')
    return race.ages == AgeGroup::kTwo || race.ages == AgeGroup::kThree ? 3 : 4;
  if (!race.special) return race.ages == AgeGroup::kTwo || race.ages == AgeGroup::kThree ? 3 : 4;
  double r = rng.Unit();
  if (race.grade == ' ' || race.grade == 'E') {
    if (race.classCode == kOpen) return r < 0.55 ? 2 : r < 0.85 ? 1 : 4;
    return r < 0.2 ? 1 : r < 0.35 ? 2 : (race.ages == AgeGroup::kThree ? 3 : 4);
  }
  return r < 0.55 ? 2 : r < 0.85 ? 1 : 4;
}

std::string Sj(const std::string& utf8) {
  return Cp932(utf8).bytes();
}

void NameRace(Race& race, Rng& rng, std::vector<int>& usedSeasonWords) {
  if (!race.special) return;
  bool graded = race.grade != ' ' && race.grade != 'E' && race.grade != 'L';
  std::string word, latin, suffix, suffixLatin, short6Suffix;
  if (graded || race.grade == 'L') {
    const RaceWord& w = rng.Pick(GradedWords());
    word = w.kanji;
    latin = w.latin;
    if (race.jump) {
      suffix = "障害ステークス";
      suffixLatin = "Jump Stakes";
      short6Suffix = "障害Ｓ";
    } else {
      static const std::vector<std::pair<std::string, std::string>> kSuffixes = {
          {"記念", "Kinen"}, {"ステークス", "Stakes"}, {"杯", "Hai"}, {"カップ", "Cup"},
          {"賞", "Sho"},     {"大賞典", "Daishoten"}};
      const auto& s = kSuffixes[static_cast<size_t>(rng.Below(race.grade == 'L' ? 5 : 6))];
      suffix = s.first;
      suffixLatin = s.second;
      short6Suffix = suffix == "ステークス" ? "Ｓ" : suffix;
    }
  } else {
    const auto& words = SeasonWords(Season(race.date));
    int pick = rng.Below(static_cast<int>(words.size()));
    for (int tries = 0; tries < 20 && std::find(usedSeasonWords.begin(), usedSeasonWords.end(),
                                                pick) != usedSeasonWords.end();
         ++tries)
      pick = rng.Below(static_cast<int>(words.size()));
    usedSeasonWords.push_back(pick);
    word = words[static_cast<size_t>(pick)].kanji;
    latin = words[static_cast<size_t>(pick)].latin;
    static const std::vector<std::pair<std::string, std::string>> kSuffixes = {
        {"特別", "Tokubetsu"}, {"賞", "Sho"}, {"ステークス", "Stakes"}, {"カップ", "Cup"}};
    int s =
        race.classCode == kOpen || race.classCode == kThreeWins ? 2 + rng.Below(2) : rng.Below(2);
    if (race.classCode == kThreeWins && rng.Chance(0.3)) s = 1;
    suffix = kSuffixes[static_cast<size_t>(s)].first;
    suffixLatin = kSuffixes[static_cast<size_t>(s)].second;
    short6Suffix = suffix == "ステークス" ? "Ｓ" : suffix == "特別" ? "特" : suffix;
  }
  race.nameSj = Sj(word + suffix);
  race.nameLatin = latin + " " + suffixLatin;
  race.short10Sj = race.nameSj;
  race.short6Sj = Sj(word + short6Suffix);
  race.short3Sj = Sj(word + (suffix == "特別" ? "特" : suffix == "賞" ? "賞" : ""));
  if (graded) {
    race.specialNumber = 1000 + static_cast<int>((static_cast<unsigned>(race.nameSj.size()) * 131u +
                                                  static_cast<unsigned char>(race.nameSj[0]) * 7u +
                                                  static_cast<unsigned char>(race.nameSj[1])) %
                                                 8000u);
    race.gradedEdition = rng.Between(8, 72);
    if (rng.Chance(0.4)) {
      const RaceWord& sponsor = rng.Pick(SponsorNames());
      race.subSj = Sj(sponsor.kanji);
      race.subLatin = sponsor.latin;
    }
  }
}

char GradeFor(int venueIndex, int raceNumber, bool jump, bool open, AgeGroup ages, Rng& rng) {
  if (jump) {
    if (venueIndex != 0) return ' ';
    double r = rng.Unit();
    return r < 0.06 ? 'F' : r < 0.18 ? 'G' : r < 0.38 ? 'H' : 'E';
  }
  if (raceNumber == 11 && open) {
    double r = rng.Unit();
    if (venueIndex == 0)
      return r < 0.05 ? 'A' : r < 0.2 ? 'B' : r < 0.5 ? 'C' : r < 0.52 ? 'D' : r < 0.72 ? 'L' : 'E';
    if (ages == AgeGroup::kTwo) return r < 0.3 ? 'C' : 'E';
    return r < 0.18 ? 'C' : r < 0.4 ? 'L' : 'E';
  }
  return 'E';
}

}  // namespace

const std::vector<int>& ShowcaseRunnerCounts() {
  static const std::vector<int> counts = {4, 5, 6, 9, 10, 12, 16, 17, 18};
  return counts;
}

int AddMinutes(int hhmm, int minutes) {
  int total = (hhmm / 100) * 60 + hhmm % 100 + minutes;
  return (total / 60) * 100 + total % 60;
}

std::vector<Race> BuildProgram(const MeetingDay& day, Rng& rng, bool showcase) {
  std::vector<Race> races;
  std::vector<int> usedSeasonWords;
  static constexpr int kOffsets3[3] = {10, 20, 0};
  static constexpr int kOffsets2[2] = {10, 0};
  int venues = static_cast<int>(day.venues.size());
  for (int v = 0; v < venues; ++v) {
    const VenueDay& vd = day.venues[static_cast<size_t>(v)];
    for (int r = 1; r <= 12; ++r) {
      Race race;
      race.date = day.date;
      race.venue = vd.venue;
      race.kai = vd.kai;
      race.day = vd.day;
      race.number = r;
      Slot slot = SlotFor(r, v, day.date, rng);
      race.ages = slot.ages;
      race.classCode = slot.classCode;
      race.jump = slot.jump;
      race.special = slot.special;
      if (race.jump && race.ages == AgeGroup::kThreeUp && day.date.m <= 5)
        race.ages = AgeGroup::kFourUp;
      race.grade =
          race.special ? GradeFor(v, r, race.jump, race.classCode == kOpen, race.ages, rng) : ' ';
      race.fillies = !race.jump && rng.Chance(race.grade == 'A' ? 0.3 : 0.1);
      race.raceType = RaceTypeOf(race.ages, race.jump);

      const Distances& d = VenueDistances(vd.venue);
      if (race.jump) {
        race.turf = true;
        race.distance = kJumpDistances[rng.Below(16)];
        static constexpr int kJumpTracks[] = {51, 52, 53, 54, 54, 54, 55, 56, 57, 58, 59};
        race.track = kJumpTracks[rng.Below(11)];
        race.course = "  ";
      } else {
        race.turf =
            race.classCode == kNewcomer || race.special ? rng.Chance(0.7) : rng.Chance(0.48);
        const std::vector<int>& list = race.turf ? d.turf : d.dirt;
        race.distance = list[static_cast<size_t>(rng.Below(static_cast<int>(list.size())))];
        if (race.turf) {
          if (race.distance == 1000 && vd.venue == 4) {
            race.track = 10;
          } else if (LeftHanded(vd.venue)) {
            race.track = rng.Chance(0.3) ? 12 : 11;
          } else {
            race.track = rng.Chance(0.3) ? 18 : 17;
          }
          static constexpr const char* kCourses[] = {"A ", "A ", "B ", "C ", "D "};
          race.course = kCourses[rng.Below(5)];
        } else {
          race.track = LeftHanded(vd.venue) ? 23 : 24;
          race.course = "  ";
        }
      }
      race.maxRunners = race.jump                                                 ? 14
                        : (vd.venue <= 2 || (race.turf && race.distance >= 3000)) ? 16
                                                                                  : 18;
      race.symbol = RaceSymbol(race, rng);
      race.weightRule = WeightRule(race, rng);
      NameRace(race, rng, usedSeasonWords);
      SetPrizes(race);

      int offset = venues == 3 ? kOffsets3[v] : venues == 2 ? kOffsets2[v] : 0;
      race.startTime = AddMinutes(kPostTimes[r - 1], offset);

      // Runners wanted.
      int lo = 12, hi = 18;
      switch (race.classCode) {
        case kNewcomer:
          lo = 8, hi = 16;
          break;
        case kMaiden:
          lo = 13, hi = 18;
          break;
        case kThreeWins:
          lo = 8, hi = 15;
          break;
        case kOpen:
          lo = 9, hi = 18;
          break;
        default:
          lo = 10, hi = 18;
      }
      if (race.jump) lo = 8, hi = 14;
      if (race.ages == AgeGroup::kTwo) hi = std::min(hi, 15);
      race.target = std::min(rng.Between(lo, hi), race.maxRunners);
      if (race.special && rng.Chance(0.015)) race.target = rng.Between(5, 7);
      races.push_back(race);
    }
  }
  // A post time moved on a few races: the new time at 874, the old one at 878.
  int changes = rng.Between(0, 2) + (showcase ? 1 : 0);
  for (int i = 0; i < changes && !races.empty(); ++i) {
    Race& race = races[static_cast<size_t>(rng.Below(static_cast<int>(races.size())))];
    if (race.changedFrom != 0 || race.number == 12) continue;
    race.changedFrom = race.startTime;
    race.startTime = AddMinutes(race.startTime, 5 * rng.Between(1, 3));
  }
  if (showcase) {
    // Small fields go to the open and special races, where they happen.
    std::vector<int> order;
    for (size_t i = 0; i < races.size(); ++i)
      if (!races[i].jump) order.push_back(static_cast<int>(i));
    rng.Shuffle(order);
    auto smallFieldRank = [&](int i) {
      const Race& r = races[static_cast<size_t>(i)];
      return r.special && (r.classCode == kOpen || r.classCode == kThreeWins) ? 0
             : r.special                                                      ? 1
                                                                              : 2;
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return smallFieldRank(a) < smallFieldRank(b); });
    for (int count : ShowcaseRunnerCounts()) {
      auto fits = [&](int i) {
        const Race& race = races[static_cast<size_t>(i)];
        return !race.forcedCount && race.maxRunners >= count;
      };
      // The smallest fields from the front of the list, the others from the back.
      auto it = count <= 6 ? std::find_if(order.begin(), order.end(), fits)
                           : std::find_if(order.rbegin(), order.rend(), fits).base() - 1;
      if (count > 6 && std::find_if(order.rbegin(), order.rend(), fits) == order.rend()) continue;
      if (it == order.end()) continue;
      Race& race = races[static_cast<size_t>(*it)];
      race.target = count;
      race.forcedCount = true;
    }
  }
  return races;
}

}  // namespace sorvix::feedgen
