#include "tools/feedgen/payouts.h"

#include <algorithm>
#include <cmath>

#include "tools/feedgen/rng.h"

namespace sorvix::feedgen {
namespace {

constexpr double kTakeBack[kBetTypes] = {0.80, 0.80, 0.775, 0.775, 0.775, 0.75, 0.75, 0.725};

// The pools other than the win pool are shared as the true chances of each
// combination (the race is run so that the win chances chain into those of
// places, pairs and triples) with a milder favourite–long-shot bias than the
// win pool's: each horse weighs its chance^kPoolBias.
constexpr double kPoolBias = 0.99;

struct Field {
  std::vector<int> number;  // per starter
  std::vector<int> bracket;
  std::vector<int> position;  // finishing position, 0 = did not finish
  std::vector<double> q;      // each starter's weight in the pools (summing to 1)
};

// Non-decreasing positions, each within its place: the combination wins.
// `places` > 0 asks for any `count` of the first `places` places instead.
bool Wins(const Field& f, std::initializer_list<int> picks, bool ordered, int places = 0) {
  int pos[3];
  int count = 0;
  for (int i : picks) {
    int p = f.position[static_cast<size_t>(i)];
    if (p == 0) return false;
    pos[count++] = p;
  }
  if (!ordered) std::sort(pos, pos + count);
  for (int k = 0; k < count; ++k) {
    if (k > 0 && pos[k] < pos[k - 1]) return false;
    int limit = places > 0 ? places - count + k + 1 : k + 1;
    if (pos[k] > limit) return false;
  }
  return true;
}

double Exacta(const Field& f, int i, int j) {
  double qi = f.q[static_cast<size_t>(i)], qj = f.q[static_cast<size_t>(j)];
  return qi * qj / std::max(1e-9, 1 - qi);
}

double Trifecta(const Field& f, int i, int j, int k) {
  double qi = f.q[static_cast<size_t>(i)], qj = f.q[static_cast<size_t>(j)],
         qk = f.q[static_cast<size_t>(k)];
  return qi * qj / std::max(1e-9, 1 - qi) * qk / std::max(1e-9, 1 - qi - qj);
}

double Trio(const Field& f, int i, int j, int k) {
  return Trifecta(f, i, j, k) + Trifecta(f, i, k, j) + Trifecta(f, j, i, k) + Trifecta(f, j, k, i) +
         Trifecta(f, k, i, j) + Trifecta(f, k, j, i);
}

int64_t Amount(double factor, double chance, double share, Rng& rng) {
  double yen = factor / std::max(1e-9, chance * share) * 100 * std::exp(0.12 * rng.Normal());
  int64_t tens = static_cast<int64_t>(yen / 10) * 10;
  return std::clamp<int64_t>(tens, 100, 999999990);
}

}  // namespace

Payouts ComputePayouts(const Race& race, uint64_t seed) {
  Payouts out;
  Rng rng = Rng::For(seed, race.Key());
  Field f;
  double total = 0;
  for (const Entry& e : race.entries) {
    if (e.abnormal == 1) {
      out.refundedHorses.push_back(e.number);
      continue;
    }
    f.number.push_back(e.number);
    f.bracket.push_back(e.bracket);
    f.position.push_back(e.abnormal == 4 ? 0 : e.finish);
    f.q.push_back(std::pow(e.chance, kPoolBias));
    total += f.q.back();
  }
  for (double& q : f.q) q /= total;
  int n = static_cast<int>(f.number.size());
  int registered = static_cast<int>(race.entries.size());

  // Brackets left empty or with one horse by a scratching.
  for (int b = 1; b <= 8 && !out.refundedHorses.empty(); ++b) {
    int before = 0, after = 0;
    for (const Entry& e : race.entries) {
      if (e.bracket != b) continue;
      ++before;
      if (e.abnormal != 1) ++after;
    }
    if (before > 0 && after == 0) out.refundedBrackets.push_back(b);
    if (before >= 2 && after == 1) out.refundedSameBracket.push_back(b);
  }

  int places = n >= 8 ? 3 : n >= 5 ? 2 : 0;
  out.sold[kPlace] = places > 0;
  out.sold[kBracket] = registered >= 9;
  out.sold[kTrio] = out.sold[kTrifecta] = n >= 3;
  out.sold[kWide] = n >= 3;

  // Chances of every single horse, pair and triple.
  std::vector<double> inPlaces(static_cast<size_t>(n), 0);
  std::vector<std::vector<double>> pairTop2(static_cast<size_t>(n),
                                            std::vector<double>(static_cast<size_t>(n), 0));
  std::vector<std::vector<double>> pairTop3 = pairTop2;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      if (i == j) continue;
      pairTop2[static_cast<size_t>(i)][static_cast<size_t>(j)] = Exacta(f, i, j) + Exacta(f, j, i);
    }
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j)
      for (int k = j + 1; k < n; ++k) {
        double t = Trio(f, i, j, k);
        pairTop3[static_cast<size_t>(i)][static_cast<size_t>(j)] += t;
        pairTop3[static_cast<size_t>(i)][static_cast<size_t>(k)] += t;
        pairTop3[static_cast<size_t>(j)][static_cast<size_t>(k)] += t;
        if (places == 3) {
          inPlaces[static_cast<size_t>(i)] += t;
          inPlaces[static_cast<size_t>(j)] += t;
          inPlaces[static_cast<size_t>(k)] += t;
        }
      }
  if (places == 2)
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        if (i != j) inPlaces[static_cast<size_t>(i)] += Exacta(f, i, j) + Exacta(f, j, i);

  auto rank = [](const std::vector<double>& all, double mine) {
    int better = 0;
    for (double v : all)
      if (v > mine + 1e-15) ++better;
    return better + 1;
  };

  // Win: the amount follows the win odds of the record.
  std::vector<int> winners;
  for (int i = 0; i < n; ++i)
    if (f.position[static_cast<size_t>(i)] == 1) winners.push_back(i);
  for (int i : winners) {
    const Entry* e = nullptr;
    for (const Entry& x : race.entries)
      if (x.number == f.number[static_cast<size_t>(i)]) e = &x;
    int64_t yen =
        static_cast<int64_t>(e->winOdds10) * 10 / static_cast<int64_t>(winners.size()) / 10 * 10;
    out.bets[kWin].push_back(Payout{{e->number}, std::max<int64_t>(yen, 100), e->popularity});
  }

  // Place.
  if (places > 0) {
    std::vector<int> placed;
    for (int i = 0; i < n; ++i)
      if (f.position[static_cast<size_t>(i)] >= 1 && f.position[static_cast<size_t>(i)] <= places)
        placed.push_back(i);
    std::sort(placed.begin(), placed.end(), [&](int a, int b) {
      if (f.position[static_cast<size_t>(a)] != f.position[static_cast<size_t>(b)])
        return f.position[static_cast<size_t>(a)] < f.position[static_cast<size_t>(b)];
      return f.number[static_cast<size_t>(a)] < f.number[static_cast<size_t>(b)];
    });
    double share = static_cast<double>(placed.size()) / places;
    for (int i : placed)
      out.bets[kPlace].push_back(
          Payout{{f.number[static_cast<size_t>(i)]},
                 Amount(kTakeBack[kPlace], inPlaces[static_cast<size_t>(i)], share, rng),
                 rank(inPlaces, inPlaces[static_cast<size_t>(i)])});
  }

  // Pairs: quinella, quinella place, exacta; the bracket quinella from the
  // winning quinellas.
  std::vector<double> allTop2, allTop3, allExacta;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      if (i == j) continue;
      allExacta.push_back(Exacta(f, i, j));
      if (i < j) {
        allTop2.push_back(pairTop2[static_cast<size_t>(i)][static_cast<size_t>(j)]);
        allTop3.push_back(pairTop3[static_cast<size_t>(i)][static_cast<size_t>(j)]);
      }
    }
  std::vector<std::pair<int, int>> quinellas, wides, exactas;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      if (i == j) continue;
      if (Wins(f, {i, j}, true)) exactas.push_back({i, j});
      if (i < j && Wins(f, {i, j}, false)) quinellas.push_back({i, j});
      if (i < j && Wins(f, {i, j}, false, 3)) wides.push_back({i, j});
    }
  auto numbersOf = [&](std::vector<int> idx, bool sort) {
    std::vector<int> out;
    for (int i : idx) out.push_back(f.number[static_cast<size_t>(i)]);
    if (sort) std::sort(out.begin(), out.end());
    return out;
  };
  for (auto [i, j] : quinellas) {
    double p = pairTop2[static_cast<size_t>(i)][static_cast<size_t>(j)];
    out.bets[kQuinella].push_back(
        Payout{numbersOf({i, j}, true),
               Amount(kTakeBack[kQuinella], p, static_cast<double>(quinellas.size()), rng),
               rank(allTop2, p)});
  }
  if (out.sold[kWide]) {
    double share = static_cast<double>(wides.size()) / 3.0;
    for (auto [i, j] : wides) {
      double p = pairTop3[static_cast<size_t>(i)][static_cast<size_t>(j)];
      out.bets[kWide].push_back(Payout{numbersOf({i, j}, true),
                                       Amount(kTakeBack[kWide], p, share, rng), rank(allTop3, p)});
    }
  }
  for (auto [i, j] : exactas) {
    double p = Exacta(f, i, j);
    out.bets[kExacta].push_back(
        Payout{numbersOf({i, j}, false),
               Amount(kTakeBack[kExacta], p, static_cast<double>(exactas.size()), rng),
               rank(allExacta, p)});
  }
  if (out.sold[kBracket]) {
    std::vector<double> allBrackets;
    auto bracketChance = [&](int b1, int b2) {
      double p = 0;
      for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
          int x = f.bracket[static_cast<size_t>(i)], y = f.bracket[static_cast<size_t>(j)];
          if ((x == b1 && y == b2) || (x == b2 && y == b1))
            p += pairTop2[static_cast<size_t>(i)][static_cast<size_t>(j)];
        }
      return p;
    };
    for (int b1 = 1; b1 <= 8; ++b1)
      for (int b2 = b1; b2 <= 8; ++b2) allBrackets.push_back(bracketChance(b1, b2));
    std::vector<std::pair<int, int>> pairs;
    for (auto [i, j] : quinellas) {
      int x = f.bracket[static_cast<size_t>(i)], y = f.bracket[static_cast<size_t>(j)];
      std::pair<int, int> b = {std::min(x, y), std::max(x, y)};
      if (std::find(pairs.begin(), pairs.end(), b) == pairs.end()) pairs.push_back(b);
    }
    for (auto [b1, b2] : pairs) {
      double p = bracketChance(b1, b2);
      out.bets[kBracket].push_back(
          Payout{{b1, b2},
                 Amount(kTakeBack[kBracket], p, static_cast<double>(pairs.size()), rng),
                 rank(allBrackets, p)});
    }
  }

  // Triples.
  if (n >= 3) {
    std::vector<double> allTrio, allTrifecta;
    std::vector<std::vector<int>> trios, trifectas;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k) {
          if (i == j || j == k || i == k) continue;
          allTrifecta.push_back(Trifecta(f, i, j, k));
          if (Wins(f, {i, j, k}, true)) trifectas.push_back({i, j, k});
          if (i < j && j < k) {
            allTrio.push_back(Trio(f, i, j, k));
            if (Wins(f, {i, j, k}, false)) trios.push_back({i, j, k});
          }
        }
    for (const auto& t : trios) {
      double p = Trio(f, t[0], t[1], t[2]);
      out.bets[kTrio].push_back(Payout{
          numbersOf(t, true), Amount(kTakeBack[kTrio], p, static_cast<double>(trios.size()), rng),
          rank(allTrio, p)});
    }
    for (const auto& t : trifectas) {
      double p = Trifecta(f, t[0], t[1], t[2]);
      out.bets[kTrifecta].push_back(
          Payout{numbersOf(t, false),
                 Amount(kTakeBack[kTrifecta], p, static_cast<double>(trifectas.size()), rng),
                 rank(allTrifecta, p)});
    }
  }
  for (int b = 0; b < kBetTypes; ++b) {
    if (!out.sold[b]) out.bets[b].clear();
    if (static_cast<int>(out.bets[b].size()) > kPayoutSlots[b])
      out.bets[b].resize(static_cast<size_t>(kPayoutSlots[b]));
  }
  return out;
}

}  // namespace sorvix::feedgen
