// The generated market pays like JRA's over one season: betting every
// runner returns 77–83 % (単勝, 複勝), betting every combination returns
// within a few points of its pool's take-back (3連複 75 %, 馬連 77.5 %,
// ワイド 77.5 %, 馬単 75 %), and favourites return more than long shots.
// The figures come from the results as the feed delivers them (the Monday
// files: SE 確定着順 and HR payouts).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/payout_table.h"
#include "shared_feed.h"
#include "tools/feedgen/generator.h"

namespace sorvix::feedgen::test {
namespace {

// Stake and return (yen) of one way of betting.
struct Book {
  double stake = 0, paid = 0;
  double Rate() const { return stake > 0 ? paid / stake : 0; }
};

struct Season {
  Book win, place;
  Book favourites, longShots;  // 単勝 of popularity 1–3 and 10 and below
  Book pools[4];               // 3連複, 馬連, ワイド, 馬単
  Book poolFavourites[4];      // the most popular third of each pool's combinations
  Book poolLongShots[4];       // the least popular third
  int races = 0;
};

// The races of one result file: the starters (by horse number, with their
// popularity) and the race's HR record.
void AddResults(const std::string& bytes, Season& season) {
  std::map<std::string, std::map<int, int>> starters;  // race key → number → popularity
  std::map<std::string, std::string> payouts;
  for (const std::string& record : Records(bytes)) {
    if (record.compare(0, 3, "SE7") == 0) {
      int abnormal = FieldInt(record, se::kAbnormalCode.pos, se::kAbnormalCode.width);
      if (abnormal >= 1 && abnormal <= 3) continue;
      starters[record.substr(11, 16)][FieldInt(record, se::kHorseNumber.pos, 2)] =
          FieldInt(record, 364, 2);
    } else if (record.compare(0, 3, "HR2") == 0) {
      payouts[record.substr(11, 16)] = record;
    }
  }
  for (const auto& [key, field] : starters) {
    auto hr = payouts.find(key);
    if (hr == payouts.end()) continue;
    PayoutTable t = ParsePayoutTable(hr->second);
    const double n = static_cast<double>(field.size());
    ++season.races;
    for (const auto& [number, popularity] : field) {
      double won = 0;
      for (const PayoutHorse& e : t.Win) won += e.HorseNo == number ? e.Payout : 0;
      season.win.stake += 100;
      season.win.paid += won;
      Book* band = popularity <= 3    ? &season.favourites
                   : popularity >= 10 ? &season.longShots
                                      : nullptr;
      if (band) {
        band->stake += 100;
        band->paid += won;
      }
      if (field.size() >= 5) {
        season.place.stake += 100;
        for (const PayoutHorse& e : t.Place)
          season.place.paid += e.HorseNo == number ? e.Payout : 0;
      }
    }
    // Every combination of each pool at 100 yen; a winner's popularity
    // tells which third of the pool it belongs to.
    const double combinations[4] = {n * (n - 1) * (n - 2) / 6, n * (n - 1) / 2, n * (n - 1) / 2,
                                    n * (n - 1)};
    const PayoutCombination* entries[4] = {t.Trio, t.Quinella, t.QuinellaPlace, t.Exacta};
    const int sizes[4] = {3, 3, 7, 6};
    for (int p = 0; p < 4; ++p) {
      if (p == 2 && n < 3) continue;
      double c = combinations[p];
      season.pools[p].stake += 100 * c;
      season.poolFavourites[p].stake += 100 * std::floor(c / 3);
      season.poolLongShots[p].stake += 100 * std::floor(c / 3);
      for (int e = 0; e < sizes[p]; ++e) {
        const PayoutCombination& win = entries[p][e];
        if (!HasResult(win.Combination)) continue;
        season.pools[p].paid += win.Payout;
        if (win.Popularity <= std::floor(c / 3)) season.poolFavourites[p].paid += win.Payout;
        if (win.Popularity > c - std::floor(c / 3)) season.poolLongShots[p].paid += win.Payout;
      }
    }
  }
}

// SORVIX_MARKET_DAYS=1000 gives the ten seasons of the README's figures.
TEST(MarketTest, OneSeasonPaysLikeJrasMarket) {
  fs::path out = MakeTempFolder("sorvix-market");
  FeedOptions o;
  o.out = out / "feed";
  o.from = Date{2019, 1, 5};
  o.days = std::getenv("SORVIX_MARKET_DAYS") ? std::atoi(std::getenv("SORVIX_MARKET_DAYS")) : 100;
  o.seed = 77;
  o.historyWeeks = 2;
  o.oldWeeks = 0;
  GenerateFeed(o);
  Season season;
  for (const auto& e : fs::directory_iterator(o.out)) {
    std::string name = e.path().filename().string();
    // The Monday result files.
    if (name.rfind("RACE", 0) == 0 && name.find("160000.jvd") != std::string::npos)
      AddResults(ReadWholeFile(e.path()), season);
  }
  fs::remove_all(out);
  ASSERT_GT(season.races, 2500);

  EXPECT_GE(season.win.Rate(), 0.77);
  EXPECT_LE(season.win.Rate(), 0.83);
  EXPECT_GE(season.place.Rate(), 0.77);
  EXPECT_LE(season.place.Rate(), 0.83);
  EXPECT_GT(season.favourites.Rate(), season.longShots.Rate());
  const char* names[4] = {"3連複", "馬連", "ワイド", "馬単"};
  const double takeBack[4] = {0.75, 0.775, 0.775, 0.75};
  // A season's 3連複 return rests on a few long shots paying 10,000-fold
  // and more: it is allowed the wider margin of that sampling.
  const double margin[4] = {0.07, 0.04, 0.04, 0.04};
  for (int p = 0; p < 4; ++p) {
    EXPECT_NEAR(season.pools[p].Rate(), takeBack[p], margin[p]) << names[p];
    EXPECT_GT(season.poolFavourites[p].Rate(), season.poolLongShots[p].Rate()) << names[p];
  }
  std::string figures = Format("単勝 %.1f%% (人気1-3 %.1f%%, 10以下 %.1f%%), 複勝 %.1f%%",
                               100 * season.win.Rate(), 100 * season.favourites.Rate(),
                               100 * season.longShots.Rate(), 100 * season.place.Rate());
  for (int p = 0; p < 4; ++p)
    figures += Format(", %s %.1f%% (%.1f%% / %.1f%%)", names[p], 100 * season.pools[p].Rate(),
                      100 * season.poolFavourites[p].Rate(), 100 * season.poolLongShots[p].Rate());
  RecordProperty("returns", figures);
  std::printf("%s\n", figures.c_str());
}

}  // namespace
}  // namespace sorvix::feedgen::test
