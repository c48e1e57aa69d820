#include "tools/feedgen/world.h"

#include <algorithm>
#include <cmath>

#include "codes/cp932.h"
#include "codes/text.h"
#include "tools/feedgen/kana.h"
#include "tools/feedgen/name_pools.h"

namespace sorvix::feedgen {
namespace {

// The CP932 bytes of a record field written in UTF-8.
std::string Sj(std::string_view utf8) {
  return Cp932(utf8).bytes();
}

// Horse symbol codes with their weights among horses bred or bought in
// Japan and abroad (guests from local racing and invited horses apart).
struct WeightedCode {
  const char* code;
  double weight;
};
constexpr WeightedCode kSymbols[] = {
    {"00", 620}, {"04", 120}, {"06", 60}, {"03", 30}, {"08", 30}, {"01", 10},
    {"05", 15},  {"07", 5},   {"09", 4},  {"10", 4},  {"11", 3},  {"12", 2},
    {"26", 10},  {"27", 3},   {"20", 3},  {"31", 3},  {"40", 2},  {"02", 2},
};
constexpr WeightedCode kDebutSymbols[] = {{"00", 640}, {"04", 130}, {"03", 30}, {"08", 30},
                                          {"06", 60},  {"01", 10},  {"07", 5},  {"20", 3}};
constexpr WeightedCode kCoats[] = {{"01", 25},  {"02", 5},   {"03", 35}, {"04", 15},
                                   {"05", 8},   {"06", 3},   {"07", 8},  {"08", 0.2},
                                   {"09", 0.2}, {"10", 0.2}, {"11", 0.4}};

template <size_t N>
std::string PickCode(Rng& rng, const WeightedCode (&codes)[N]) {
  std::vector<double> w;
  for (const auto& c : codes) w.push_back(c.weight);
  return codes[rng.Weighted(w)].code;
}

bool ForeignBred(const std::string& symbol) {
  for (const char* s : {"06", "11", "16", "20", "22", "26", "27", "40", "41"})
    if (symbol == s) return true;
  return false;
}

std::string PadBytes(std::string sj, size_t width) {
  if (sj.size() > width) sj.resize(width);
  sj.append(width - sj.size(), ' ');
  return sj;
}

constexpr int kDistances[] = {1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400, 2500, 3000};

int TurnOf(int venue) {
  return venue == 4 || venue == 5 || venue == 7 ? 2 : 1;
}

}  // namespace

World::World(uint64_t seed, const Date& start)
    : rng(Rng::For(seed, "world")), start_(start), pedigreeSerial_(300, 0) {
  nextBookNumber_ = 10000000 + rng.Below(5000000);
  MakeBook();
  MakeTrainers(start);
  MakeJockeys(start);
  MakeOwnersAndBreeders();
}

int World::NewBookHorse(const std::string& nameUtf8, bool latin, int sire, int dam,
                        const std::vector<int>& words) {
  BreedingHorse b;
  b.number = Format("00%08d", nextBookNumber_);
  nextBookNumber_ += 1 + rng.Below(40);
  b.nameSj = Sj(nameUtf8);
  b.sire = sire;
  b.dam = dam;
  if (!latin) b.words = words;
  book.push_back(b);
  return static_cast<int>(book.size()) - 1;
}

void World::MakeBook() {
  std::vector<int> oldSires, oldDams;
  for (int i = 0; i < 30; ++i) {
    MadeName n = namer.Make(rng);
    oldSires.push_back(NewBookHorse(n.utf8, false, -1, -1, n.words));
    MadeName d = namer.Make(rng);
    oldDams.push_back(NewBookHorse(d.utf8, false, -1, -1, d.words));
  }
  const auto& latin = LatinHorseNames();
  for (int i = 0; i < 20; ++i)
    sireLatin_.push_back(NewBookHorse(latin[static_cast<size_t>(i)], true, rng.Pick(oldSires),
                                      rng.Pick(oldDams), {}));
  for (int i = 0; i < 20; ++i) {
    MadeName n = namer.Make(rng);
    sireKana_.push_back(
        NewBookHorse(n.utf8, false, rng.Pick(oldSires), rng.Pick(oldDams), n.words));
  }
  for (int i = 0; i < 40; ++i) {
    MadeName n = namer.Make(rng);
    damsOld_.push_back(NewBookHorse(n.utf8, false, rng.Pick(oldSires), rng.Pick(oldDams), n.words));
  }
  std::vector<int> level2Sires = sireLatin_;
  level2Sires.insert(level2Sires.end(), sireKana_.begin(), sireKana_.end());
  for (int i = 0; i < 30; ++i) {
    MadeName n = namer.Make(rng);
    sires.push_back(
        NewBookHorse(n.utf8, false, rng.Pick(level2Sires), rng.Pick(damsOld_), n.words));
  }
  for (int i = 20; i < 35; ++i)
    sires.push_back(NewBookHorse(latin[static_cast<size_t>(i)], true, rng.Pick(level2Sires),
                                 rng.Pick(damsOld_), {}));
}

int World::NewMare(int sharedWord) {
  MadeName n = namer.Make(rng, -1, sharedWord);
  int sire;
  if (rng.Chance(0.4)) {
    sire = rng.Pick(sires);
  } else {
    sire = rng.Chance(0.5) ? rng.Pick(sireLatin_) : rng.Pick(sireKana_);
  }
  int mare = NewBookHorse(n.utf8, false, sire, rng.Pick(damsOld_), n.words);
  mares.push_back(mare);
  return mare;
}

Person World::MakePerson(int sex, const Date& start, int minAge, int maxAge,
                         const std::string& code) {
  const NamePart& family = rng.Pick(Surnames());
  const NamePart& given = rng.Pick(sex == 2 ? FemaleGivenNames() : MaleGivenNames());
  Person p;
  p.code = code;
  p.sex = sex;
  p.nameSj = Sj(family.kanji + "　" + given.kanji);
  p.kanaSj =
      PadBytes(Sj(HalfWidthKana(family.kana)), 15) + PadBytes(Sj(HalfWidthKana(given.kana)), 15);
  p.latin = family.latin + " " + given.latin;
  p.familyKana = family.kana;
  int age = rng.Between(minAge, maxAge);
  p.birth = Date{start.y - age, rng.Between(1, 12), rng.Between(1, 28)};
  p.skill = rng.Normal();
  p.shortSj = UniqueShortName(family.kanji, given.kanji, false);
  return p;
}

std::string World::UniqueShortName(const std::string& family, const std::string& given, bool) {
  std::vector<std::string> f = Utf8Chars(family), g = Utf8Chars(given);
  std::vector<std::string> candidates;
  std::string base = family;
  if (f.size() >= 3) candidates.push_back(family);
  for (size_t i = 0; i < g.size() && f.size() + i + 1 <= 4; ++i) {
    base += g[i];
    candidates.push_back(base);
  }
  if (candidates.empty()) candidates.push_back(family);
  for (const std::string& c : candidates) {
    std::string sj = Sj(c);
    if (std::find(shortNames_.begin(), shortNames_.end(), sj) == shortNames_.end()) {
      shortNames_.push_back(sj);
      return sj;
    }
  }
  return Sj(candidates.back());
}

void World::PriorCareer(Person& person, double ridesPerYear, const Date& start, int qualification) {
  double f = std::exp(0.45 * person.skill);
  double p[6] = {0.071 * f, 0.071 * f, 0.071 * std::pow(f, 0.8), 0.071, 0.071, 0};
  p[5] = std::max(0.05, 1.0 - p[0] - p[1] - p[2] - p[3] - p[4]);
  std::vector<double> venueWeight(10);
  for (int v = 0; v < 10; ++v) {
    bool east = v < 6;
    venueWeight[static_cast<size_t>(v)] =
        (east == (person.affiliation != 2) ? 3.0 : 1.0) * (0.5 + rng.Unit());
  }
  std::vector<double> bandWeight(6);
  for (auto& w : bandWeight) w = 0.5 + rng.Unit();
  bool jumps = qualification != 2;
  bool jumpOnly = qualification == 3;

  auto fillYear = [&](YearCounts& y, double rides) {
    for (int i = 0; i < 6; ++i) {
      int n =
          static_cast<int>(std::lround(std::max(0.0, rides * p[i] * (1 + 0.12 * rng.Normal()))));
      int jumpShare = jumpOnly ? n : jumps ? n / 12 : 0;
      for (int k = 0; k < n; ++k) {
        int v = rng.Weighted(venueWeight);
        if (k < jumpShare) {
          ++y.jump[i];
          ++y.venueJump[v][i];
        } else {
          ++y.flat[i];
          ++y.venueFlat[v][i];
          ++y.distance[rng.Weighted(bandWeight)][i];
        }
      }
      static constexpr int64_t kPrize[6] = {90000, 36000, 23000, 13000, 9000, 0};
      y.prize[jumpOnly ? 1 : 0] += n * kPrize[i];
    }
  };
  int firstYear = std::max(person.license.y, start.y - 25);
  int pastYears = std::max(0, start.y - 1 - firstYear);
  if (pastYears > 0) fillYear(person.counts.earlier, ridesPerYear * pastYears);
  if (person.license.y < start.y) fillYear(person.counts.years[start.y - 1], ridesPerYear);
  fillYear(person.counts.years[start.y], ridesPerYear * (start.DayOfYear() - 1) / 365.0);
}

FirstRun World::MakeFirstRun(const Date& on, bool win, bool jump) {
  FirstRun run;
  static constexpr int kVenues[] = {5, 6, 8, 9, 3, 10};
  run.key = on.Ymd() + Format("%02d%02d%02d%02d", kVenues[rng.Below(6)], rng.Between(1, 5),
                              rng.Between(1, 8), jump ? rng.Between(4, 8) : rng.Between(1, 12));
  run.starters = rng.Between(jump ? 8 : 10, jump ? 14 : 18);
  run.pedigree = Format("%04d1%05d", on.y - (jump ? 5 : 3), rng.Between(1000, 99999));
  run.horseNameSj = Sj(namer.Make(rng).utf8);
  run.position = win ? 1 : rng.Between(1, run.starters);
  return run;
}

void World::MakeTrainers(const Date& start) {
  int code = 1000 + rng.Below(40);
  for (int i = 0; i < 180; ++i) {
    Trainer t;
    static_cast<Person&>(t) =
        MakePerson(rng.Chance(0.03) ? 2 : 1, start, 38, 69, Format("%05d", code));
    code += 1 + rng.Below(3);
    t.affiliation = i % 2 == 0 ? 1 : 2;
    t.license = Date{t.birth.y + rng.Between(32, 45), 3, 1};
    if (t.license > start) t.license = Date{start.y - 1, 3, 1};
    PriorCareer(t, 380 + 120 * rng.Unit(), start, 1);
    trainers.push_back(t);
    (t.affiliation == 1 ? eastTrainers : westTrainers)
        .push_back(static_cast<int>(trainers.size()) - 1);
  }
  int localCode = 5200 + rng.Below(50);
  for (int i = 0; i < 8; ++i) {
    Trainer t;
    static_cast<Person&>(t) = MakePerson(1, start, 40, 65, Format("%05d", localCode + i * 3));
    t.affiliation = 3;
    t.regionSj = Sj(LocalRegions()[static_cast<size_t>(i) % LocalRegions().size()]);
    t.license = Date{t.birth.y + 35, 4, 1};
    PriorCareer(t, 60, start, 2);
    trainers.push_back(t);
    localTrainers.push_back(static_cast<int>(trainers.size()) - 1);
  }
  int foreignCode = 9900 + rng.Below(40);
  for (size_t i = 0; i < ForeignTrainers().size(); ++i) {
    const ForeignName& n = ForeignTrainers()[i];
    Trainer t;
    t.code = Format("%05d", foreignCode + static_cast<int>(i));
    t.nameSj = Sj(n.given + "・" + n.family);
    t.kanaSj = PadBytes(Sj(HalfWidthKana(n.given + "・" + n.family)), 30);
    t.shortSj = Sj(n.shortName);
    t.latin = n.latin;
    t.familyKana = n.family;
    t.birth = Date{start.y - rng.Between(40, 60), rng.Between(1, 12), rng.Between(1, 28)};
    t.license = Date{t.birth.y + 35, 1, 1};
    t.affiliation = 4;
    t.regionSj = Sj(n.region);
    t.skill = rng.Normal() + 0.5;
    PriorCareer(t, 8, start, 2);
    trainers.push_back(t);
    foreignTrainers.push_back(static_cast<int>(trainers.size()) - 1);
  }
}

void World::MakeJockeys(const Date& start) {
  int code = 1000 + rng.Below(60);
  auto next = [&] {
    std::string c = Format("%05d", code);
    code += 1 + rng.Below(4);
    return c;
  };
  auto add = [&](Jockey& j, double ridesPerYear) {
    if (j.license > start) j.license = Date{start.y - 1, 3, 1};
    if (j.qualification != 3) {
      j.firstFlatRide = MakeFirstRun(j.license.Plus(rng.Between(2, 20)), false, false);
      j.firstFlatWin = MakeFirstRun(j.license.Plus(rng.Between(25, 300)), true, false);
    }
    if (j.qualification != 2) {
      j.firstJumpRide = MakeFirstRun(j.license.Plus(rng.Between(30, 400)), false, true);
      j.firstJumpWin = MakeFirstRun(j.license.Plus(rng.Between(420, 900)), true, true);
    }
    PriorCareer(j, ridesPerYear, start, j.qualification);
    jockeys.push_back(j);
  };
  // Riders of the two training centres.
  for (int i = 0; i < 105; ++i) {
    Jockey j;
    static_cast<Person&>(j) = MakePerson(1, start, 21, 56, next());
    j.affiliation = i % 2 == 0 ? 1 : 2;
    j.license = Date{j.birth.y + rng.Between(18, 20), 3, 1};
    j.qualification = i < 40 ? 1 : 2;
    j.demand = std::exp(0.8 * rng.Normal()) * (1 + 0.3 * j.skill);
    if (j.demand < 0.15) j.demand = 0.15;
    if (rng.Chance(0.25)) {
      const auto& pool = j.affiliation == 1 ? eastTrainers : westTrainers;
      j.trainer = rng.Pick(pool);
    }
    add(j, 120 + 300 * std::min(j.demand, 2.5));
  }
  // Jump specialists.
  for (int i = 0; i < 14; ++i) {
    Jockey j;
    static_cast<Person&>(j) = MakePerson(1, start, 24, 45, next());
    j.affiliation = i % 2 == 0 ? 1 : 2;
    j.license = Date{j.birth.y + rng.Between(18, 21), 3, 1};
    j.qualification = 3;
    j.demand = 0.6 + rng.Unit();
    add(j, 90);
  }
  // Apprentices: ☆, △ and ▲.
  code += 150 + rng.Below(30);
  for (int i = 0; i < 16; ++i) {
    Jockey j;
    static_cast<Person&>(j) = MakePerson(1, start, 18, 22, next());
    j.affiliation = i % 2 == 0 ? 1 : 2;
    j.license = Date{start.y - rng.Between(0, 3), 3, 1};
    j.qualification = 2;
    j.apprentice = i < 4 ? 1 : i < 9 ? 2 : 3;
    j.demand = 0.5 + 0.6 * rng.Unit();
    j.skill = rng.Normal() - 0.6;
    j.trainer = rng.Pick(j.affiliation == 1 ? eastTrainers : westTrainers);
    add(j, 200);
  }
  // Women riders: ★, ▲, ◇ and one without allowance.
  for (int i = 0; i < 8; ++i) {
    Jockey j;
    static_cast<Person&>(j) = MakePerson(2, start, 18, 30, next());
    j.affiliation = i % 2 == 0 ? 1 : 2;
    static constexpr int kCodes[] = {4, 4, 4, 3, 3, 9, 9, 0};
    j.apprentice = kCodes[i];
    j.license = Date{start.y - (j.apprentice == 4 ? rng.Between(0, 2) : rng.Between(3, 8)), 3, 1};
    j.qualification = 2;
    j.demand = 0.45 + 0.5 * rng.Unit();
    j.skill = rng.Normal() - 0.4;
    j.trainer = rng.Pick(j.affiliation == 1 ? eastTrainers : westTrainers);
    add(j, 220);
  }
  // Riders from local racing.
  code = 3100 + rng.Below(100);
  for (int i = 0; i < 4; ++i) {
    Jockey j;
    static_cast<Person&>(j) = MakePerson(1, start, 25, 45, next());
    j.affiliation = 3;
    j.regionSj = Sj(LocalRegions()[static_cast<size_t>(i) * 2]);
    j.license = Date{j.birth.y + 19, 4, 1};
    j.qualification = 2;
    j.demand = 0.25;
    add(j, 25);
  }
  // Riders from abroad with a short-term licence.
  code = 5300 + rng.Below(200);
  for (const ForeignName& n : ForeignRiders()) {
    Jockey j;
    j.code = next();
    j.nameSj = Sj(n.given + "・" + n.family);
    j.kanaSj = PadBytes(Sj(HalfWidthKana(n.given + "・" + n.family)), 30);
    j.shortSj = Sj(n.shortName);
    j.latin = n.latin;
    j.familyKana = n.family;
    j.birth = Date{start.y - rng.Between(26, 44), rng.Between(1, 12), rng.Between(1, 28)};
    j.license = Date{start.y - 1, 12, 1};
    j.affiliation = 4;
    j.regionSj = Sj(n.region);
    j.qualification = 2;
    j.foreign = true;
    j.skill = 1.0 + 0.5 * rng.Unit();
    j.demand = 2.5 + rng.Unit();
    add(j, 40);
  }
}

void World::MakeOwnersAndBreeders() {
  int ownerCode = 100000 + rng.Below(200000);
  std::vector<int> crowns(Crowns().size());
  for (size_t i = 0; i < crowns.size(); ++i) crowns[i] = static_cast<int>(i);
  rng.Shuffle(crowns);
  size_t nextCrown = 0;
  for (int i = 0; i < 380; ++i) {
    Owner o;
    o.code = Format("%06d", ownerCode);
    ownerCode += 1 + rng.Below(500);
    double r = rng.Unit();
    if (r < 0.12 && nextCrown < crowns.size()) {
      o.crown = crowns[nextCrown++];
      o.nameSj = Sj(Crowns()[static_cast<size_t>(o.crown)].kana + rng.Pick(OwnerSuffixes()).kana);
    } else if (r < 0.30) {
      o.nameSj = Sj(rng.Pick(CompanyWords()));
    } else {
      const NamePart& f = rng.Pick(Surnames());
      const NamePart& g = rng.Pick(rng.Chance(0.15) ? FemaleGivenNames() : MaleGivenNames());
      o.nameSj = Sj(f.kanji + g.kanji);
      if (nextCrown < crowns.size() && rng.Chance(0.06)) o.crown = crowns[nextCrown++];
    }
    const auto& colours = SilkColours();
    const auto& patterns = SilkPatterns();
    std::string body = rng.Pick(colours), mark = rng.Pick(colours), sleeve = rng.Pick(colours);
    std::string silks = body + "，" + mark + rng.Pick(patterns) + "，" + sleeve + "袖";
    if (rng.Chance(0.4)) silks += rng.Pick(colours) + rng.Pick(patterns);
    o.silksSj = Sj(silks);
    owners.push_back(o);
  }
  int breederCode = 100000 + rng.Below(300000);
  for (int i = 0; i < 170; ++i) {
    Breeder b;
    b.code = Format("00%06d", breederCode);
    breederCode += 1 + rng.Below(900);
    double r = rng.Unit();
    if (i >= 155) {
      b.nameSj = LatinBreeders()[static_cast<size_t>(i - 155) % LatinBreeders().size()];
      b.birthplaceSj = Sj(rng.Pick(ForeignBirthplaces()));
    } else {
      if (r < 0.45) {
        b.nameSj = Sj(rng.Pick(Surnames()).kanji + "牧場");
      } else if (r < 0.75) {
        b.nameSj = Sj(rng.Pick(HorseWords()).kana + (rng.Chance(0.7) ? "ファーム" : "スタッド"));
      } else {
        const NamePart& f = rng.Pick(Surnames());
        b.nameSj = Sj(f.kanji + rng.Pick(MaleGivenNames()).kanji);
      }
      b.birthplaceSj = Sj(rng.Pick(Birthplaces()));
    }
    breeders.push_back(b);
  }
}

void World::PriorRuns(Horse& horse, const HorseNeed& need) {
  int age = horse.Age(need.on.y);
  int runs = age <= 2 ? rng.Between(1, 3) : rng.Between(2, 5) + (age - 3) * rng.Between(2, 6);
  int wins = horse.level + (horse.jumper ? horse.jumpLevel : 0);
  runs = std::max(runs, wins + rng.Between(0, 3));
  bool guestLocal = horse.affiliation == 3;
  for (int i = 0; i < runs; ++i) {
    RunFacts run;
    run.year = need.on.y - rng.Below(std::max(1, age - 1));
    run.venue = rng.Between(1, 10);
    run.jump = horse.jumper && i < horse.jumpLevel + 2;
    run.turf = rng.Chance(0.55);
    run.turn = TurnOf(run.venue);
    static constexpr int kGoing[] = {1, 1, 1, 1, 1, 1, 2, 2, 3, 4};
    run.going = kGoing[rng.Below(10)];
    run.distance = run.jump ? 3000 : kDistances[rng.Below(10)];
    run.position = i < wins ? 1 : rng.Between(2, 16);
    run.style = rng.Between(1, 4);
    static constexpr int64_t kPrize[] = {0, 78000, 31000, 20000, 12000, 7800};
    run.prize = run.position <= 5 ? kPrize[run.position] * (1 + std::min(horse.level, 4)) / 2 : 0;
    horse.counts.Add(run, !guestLocal);
  }
}

int World::NewHorse(const HorseNeed& need) {
  Horse h;
  h.id = static_cast<int>(horses.size());
  int year = need.birthYear;
  int& serial = pedigreeSerial_[static_cast<size_t>(std::clamp(year - 1900, 0, 299))];
  if (serial == 0) serial = 100 + rng.Below(3000);
  h.pedigree = Format("%04d1%05d", year, serial);
  serial += 1 + rng.Below(6);
  int age = need.on.y - year;

  enum class Guest { kNone, kLocal, kInvitedLocal, kInvitedAbroad } guest = Guest::kNone;
  if (need.allowGuest && !need.debut && !need.jumper && need.level >= 1 && rng.Chance(0.04)) {
    double r = rng.Unit();
    guest = r < 0.7 ? Guest::kLocal : r < 0.88 ? Guest::kInvitedLocal : Guest::kInvitedAbroad;
  }
  switch (guest) {
    case Guest::kLocal: {
      static constexpr const char* kLocalSymbols[] = {"21", "21", "21", "22",
                                                      "23", "24", "25", "41"};
      h.symbol = kLocalSymbols[rng.Below(8)];
      break;
    }
    case Guest::kInvitedLocal: {
      static constexpr const char* kInvited[] = {"15", "17", "18", "19"};
      h.symbol = kInvited[rng.Below(4)];
      break;
    }
    case Guest::kInvitedAbroad:
      h.symbol = "16";
      break;
    case Guest::kNone:
      h.symbol = need.debut ? PickCode(rng, kDebutSymbols) : PickCode(rng, kSymbols);
      break;
  }
  if (need.sex != 0) {
    h.sex = need.sex;
  } else {
    double r = rng.Unit();
    h.sex = r < 0.42 ? 2 : (age >= 3 && r > 0.88) ? 3 : 1;
  }
  h.coat = PickCode(rng, kCoats);
  if (guest == Guest::kLocal || guest == Guest::kInvitedLocal) {
    h.trainer = rng.Pick(localTrainers);
  } else if (guest == Guest::kInvitedAbroad) {
    h.trainer = rng.Pick(foreignTrainers);
  } else {
    h.trainer = rng.Pick(rng.Chance(0.5) ? eastTrainers : westTrainers);
  }
  const Trainer& trainer = trainers[static_cast<size_t>(h.trainer)];
  h.affiliation = trainer.affiliation;
  h.regionSj = trainer.regionSj;
  // Owners: a few large stables own many horses.
  int o = static_cast<int>(std::pow(rng.Unit(), 2.2) * static_cast<double>(owners.size()));
  h.owner = std::clamp(o, 0, static_cast<int>(owners.size()) - 1);
  bool foreign = ForeignBred(h.symbol);
  h.breeder = foreign ? rng.Between(155, static_cast<int>(breeders.size()) - 1) : rng.Below(155);

  h.sire = sires[static_cast<size_t>(rng.Below(static_cast<int>(sires.size())))];
  if (!book[static_cast<size_t>(h.sire)].words.empty() && rng.Chance(0.06)) {
    // Named after a word its sire and dam share.
    int shared = rng.Pick(book[static_cast<size_t>(h.sire)].words);
    h.dam = NewMare(shared);
    MadeName n = namer.Make(rng, -1, shared);
    h.nameUtf8 = n.utf8;
    h.latin = n.latin;
  } else {
    h.dam = mares.empty() || rng.Chance(0.55) ? NewMare(-1) : rng.Pick(mares);
    int crown = owners[static_cast<size_t>(h.owner)].crown;
    MadeName n = namer.Make(rng, crown, -1);
    h.nameUtf8 = n.utf8;
    h.latin = n.latin;
  }
  h.nameSj = Sj(h.nameUtf8);
  h.kanaSj = Sj(HalfWidthKana(h.nameUtf8));
  h.birth = Date{year, rng.Between(2, 5), rng.Between(1, 28)};
  h.registered = Date{year + 2, rng.Between(2, 6), rng.Between(1, 28)};
  if (h.registered > need.on.Plus(-20)) h.registered = need.on.Plus(-20 - rng.Below(40));
  h.level = need.level;
  h.jumper = need.jumper;
  h.jumpLevel = need.jumpLevel;
  if (h.jumper && h.level == 0) h.level = rng.Between(0, 2);
  h.ability = rng.Normal() + 0.55 * h.level + (guest == Guest::kInvitedAbroad ? 0.8 : 0);
  static constexpr int kIntervals[] = {14, 21, 21, 28, 28, 28, 35, 35, 42, 42, 56, 84};
  h.interval = kIntervals[rng.Below(12)];
  h.bodyWeight = static_cast<int>(std::lround(470 + 24 * rng.Normal())) - (h.sex == 2 ? 18 : 0);
  h.bodyWeight = std::clamp(h.bodyWeight, 398, 560);
  h.legacy = guest == Guest::kNone && rng.Chance(0.03);
  if (!need.debut) PriorRuns(h, need);
  horses.push_back(h);
  return h.id;
}

void World::Retire(Horse& horse, const Date& on) {
  horse.retired = true;
  horse.retiredOn = on.Days();
}

}  // namespace sorvix::feedgen
