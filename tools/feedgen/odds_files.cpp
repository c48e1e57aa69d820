#include "tools/feedgen/odds_files.h"

#include <algorithm>
#include <cmath>

#include "codes/text.h"
#include "tools/feedgen/fixed_record.h"
#include "tools/feedgen/lzh_writer.h"
#include "tools/feedgen/rng.h"

namespace sorvix::feedgen {
namespace {

// The provider's own view of a race: predicted win chances with its noise.
struct Prediction {
  int runners = 0;
  std::vector<double> q;     // by horse number − 1
  std::vector<int> bracket;  // by horse number − 1
};

Prediction Predict(const Race& race, Rng& rng) {
  Prediction p;
  p.runners = static_cast<int>(race.entries.size());
  p.q.assign(18, 0);
  p.bracket.assign(18, 0);
  double sum = 0;
  for (const Entry& e : race.entries) {
    double v = e.marketP * std::exp(0.25 * rng.Normal());
    p.q[static_cast<size_t>(e.number - 1)] = v;
    p.bracket[static_cast<size_t>(e.number - 1)] = e.bracket;
    sum += v;
  }
  for (double& v : p.q) v /= sum;
  return p;
}

double PairChance(const Prediction& p, int a, int b) {
  double qa = p.q[static_cast<size_t>(a)], qb = p.q[static_cast<size_t>(b)];
  return qa * qb / std::max(1e-9, 1 - qa) + qb * qa / std::max(1e-9, 1 - qb);
}

// Odds in tenths from a chance, at least 1.1.
int Tenths(double takeBack, double chance) {
  double odds = takeBack / std::max(1e-9, chance);
  return std::max(11, static_cast<int>(std::lround(odds * 10)));
}

// A KOL field: tenths right-aligned, "*" at the cap, "-" without a horse.
std::string KolField(int width, bool present, int tenths, int capTenths) {
  std::string text = !present ? "-" : tenths >= capTenths ? "*" : std::to_string(tenths);
  return std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
}

// KOL names a venue by its index in the system's own venue order (0 京都,
// 1 阪神, 2 中京, 3 小倉, 4 東京, 5 中山, 6 福島, 7 新潟, 8 札幌, 9 函館), which
// the import keeps and the loader reads through VenueByIndex; JRDB uses the
// JV-Data code.
int KolVenueIndex(int jvVenue) {
  static constexpr int kIndexOfCode[] = {-1, 8, 9, 6, 7, 4, 5, 2, 0, 1, 3};
  return jvVenue >= 1 && jvVenue <= 10 ? kIndexOfCode[jvVenue] : 99;
}

std::string Decimal5(double odds) {
  if (odds >= 999.95) return Format("%5.0f", std::min(odds, 99999.0));
  return Format("%5.1f", std::max(odds, 1.0));
}

}  // namespace

std::string KolOddsText(const std::vector<const Race*>& races, uint64_t seed) {
  std::string out;
  for (const Race* race : races) {
    Rng rng = Rng::For(seed, "kol" + race->Key());
    Prediction p = Predict(*race, rng);
    FixedRecord r(1504);
    r.Num(1, 2, KolVenueIndex(race->venue))
        .Blanks(3, 4)
        .Num(7, 2, race->kai)
        .Num(9, 2, race->day)
        .Num(11, 2, race->number);
    r.Raw(13, race->date.Ymd())
        .Wide(21, 20, race->short10Sj)
        .Num(41, 4, race->distance)
        .Num(45, 2, race->track);
    r.Num(47, 3, race->classCode).Num(50, 4, race->startTime).Blanks(54, 51);
    r.Num(105, 1, rng.Chance(0.2) ? 1 : 0).Blanks(106, 4).Num(110, 2, p.runners).Blanks(112, 50);
    for (int h = 0; h < 18; ++h) {
      bool present = h < p.runners;
      r.Raw(162 + 5 * h,
            KolField(5, present, present ? Tenths(0.8, p.q[static_cast<size_t>(h)]) : 0, 500));
    }
    for (int b1 = 1, j = 0; b1 <= 8; ++b1) {
      for (int b2 = b1; b2 <= 8; ++b2, ++j) {
        double chance = 0;
        int horsesIn1 = 0, horsesIn2 = 0;
        for (int a = 0; a < p.runners; ++a) {
          if (p.bracket[static_cast<size_t>(a)] == b1) ++horsesIn1;
          if (p.bracket[static_cast<size_t>(a)] == b2) ++horsesIn2;
          for (int b = a + 1; b < p.runners; ++b) {
            int x = p.bracket[static_cast<size_t>(a)], y = p.bracket[static_cast<size_t>(b)];
            if ((x == b1 && y == b2) || (x == b2 && y == b1)) chance += PairChance(p, a, b);
          }
        }
        bool present = chance > 0 && horsesIn1 > 0 && horsesIn2 > 0;
        r.Raw(252 + 5 * j, KolField(5, present, present ? Tenths(0.775, chance) : 0, 1000));
      }
    }
    for (int a = 0, k = 0; a < 18; ++a) {
      for (int b = a + 1; b < 18; ++b, ++k) {
        bool present = b < p.runners;
        r.Raw(432 + 7 * k,
              KolField(7, present, present ? Tenths(0.775, PairChance(p, a, b)) : 0, 10000));
      }
    }
    out += r.Finish();
  }
  return out;
}

std::string JrdbOddsText(const std::vector<const Race*>& races, uint64_t seed) {
  std::string out;
  for (const Race* race : races) {
    Rng rng = Rng::For(seed, "jrdb" + race->Key());
    Prediction p = Predict(*race, rng);
    FixedRecord r(957);
    static constexpr char kHex[] = "0123456789abcdef";
    r.Num(1, 2, race->venue)
        .Num(3, 2, race->date.y % 100)
        .Raw(5, std::string(1, kHex[race->kai & 15]));
    r.Raw(6, std::string(1, kHex[race->day & 15])).Num(7, 2, race->number).Num(9, 2, p.runners);
    for (int h = 0; h < 18; ++h) {
      bool present = h < p.runners;
      double q = p.q[static_cast<size_t>(h)];
      double place = 0;
      if (present) {
        // Chance to finish in the first three, from pairs with each other horse.
        for (int b = 0; b < p.runners; ++b)
          if (b != h) place += PairChance(p, h, b);
        place = std::min(0.95, place * 0.75);
      }
      r.Raw(11 + 5 * h, present ? Decimal5(std::max(1.1, std::lround(8.0 / q) / 10.0)) : "     ");
      r.Raw(101 + 5 * h,
            present ? Decimal5(std::max(1.0, std::lround(8.0 / place) / 10.0)) : "     ");
    }
    for (int a = 0, k = 0; a < 18; ++a) {
      for (int b = a + 1; b < 18; ++b, ++k) {
        bool present = b < p.runners;
        r.Raw(191 + 5 * k,
              present ? Decimal5(std::lround(7.75 / PairChance(p, a, b)) / 10.0) : "     ");
      }
    }
    out += r.Finish();
  }
  return out;
}

std::vector<OddsArchive> OddsArchives(const std::vector<const Race*>& races, uint64_t seed,
                                      bool kolSecondForm) {
  std::vector<OddsArchive> out;
  if (races.empty()) return out;
  const Date& date = races.front()->date;
  std::string yymmdd = date.Yymmdd();
  out.push_back({"OZ" + yymmdd + ".lzh",
                 LzhArchive({{"Oz" + yymmdd + ".txt", JrdbOddsText(races, seed), date}})});
  if (kolSecondForm) {
    std::string extra = "YOSOODDS " + date.Ymd() + "\r\n";
    out.push_back(
        {"j" + yymmdd + ".lzh", LzhArchive({{"kol_ods.kd2", KolOddsText(races, seed), date},
                                            {"yosoodds.dat", extra, date}})});
  } else {
    out.push_back({"kd3_jb" + yymmdd + ".lzh",
                   LzhArchive({{"kol_ods.kd3", KolOddsText(races, seed), date}})});
  }
  return out;
}

}  // namespace sorvix::feedgen
