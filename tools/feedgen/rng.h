// The generator's random numbers: xoshiro256** seeded through splitmix64,
// so a seed gives the same feed on every platform and compiler.
#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace sorvix::feedgen {

class Rng {
 public:
  explicit Rng(uint64_t seed) { Seed(seed); }

  // An independent stream for one purpose, derived from this seed and a
  // label, so that adding draws to one part leaves the others unchanged.
  static Rng For(uint64_t seed, std::string_view label, uint64_t extra = 0) {
    uint64_t h = 1469598103934665603ULL;
    for (char c : label) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return Rng(seed ^ h ^ (extra * 0x9E3779B97F4A7C15ULL));
  }

  uint64_t Next() {
    uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
  }

  // 0 … n − 1 (0 when n ≤ 0).
  int Below(int n) {
    if (n <= 0) return 0;
    return static_cast<int>(Next() % static_cast<uint64_t>(n));
  }
  // lo … hi inclusive.
  int Between(int lo, int hi) { return hi <= lo ? lo : lo + Below(hi - lo + 1); }
  // [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  bool Chance(double p) { return Unit() < p; }
  double Normal() {
    double u1 = Unit(), u2 = Unit();
    if (u1 < 1e-300) u1 = 1e-300;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<size_t>(Below(static_cast<int>(items.size())))];
  }
  // An index chosen with the given weights (all ≥ 0, not all 0); an item of
  // weight 0 is never chosen.
  int Weighted(const std::vector<double>& weights) {
    double sum = 0;
    for (double w : weights) sum += w;
    double x = Unit() * sum;
    int last = -1;
    for (size_t i = 0; i < weights.size(); ++i) {
      if (weights[i] <= 0) continue;
      if (x < weights[i]) return static_cast<int>(i);
      x -= weights[i];
      last = static_cast<int>(i);
    }
    // Rounding left x at the end: the last item that can be chosen.
    return last >= 0 ? last : static_cast<int>(weights.size()) - 1;
  }
  template <class T>
  void Shuffle(std::vector<T>& items) {
    for (size_t i = items.size(); i > 1; --i)
      std::swap(items[i - 1], items[static_cast<size_t>(Below(static_cast<int>(i)))]);
  }

 private:
  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  void Seed(uint64_t seed) {
    for (auto& s : s_) {
      seed += 0x9E3779B97F4A7C15ULL;
      uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
      s = z ^ (z >> 31);
    }
  }
  uint64_t s_[4];
};

}  // namespace sorvix::feedgen
