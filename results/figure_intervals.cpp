#include "results/figure_intervals.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace sorvix::interim {
namespace {

constexpr double kZ95 = 1.959963984540054;

// splitmix64: the same draws with every compiler and library.
class DayDraw {
 public:
  explicit DayDraw(uint64_t seed) : state_(seed) {}
  size_t Below(size_t n) {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<size_t>((z ^ (z >> 31)) % n);
  }

 private:
  uint64_t state_;
};

// The figures of `resamples` resamplings of the days, sorted.
std::vector<double> Resampled(const std::vector<DayPart>& days, uint64_t seed, int resamples) {
  std::vector<double> figures;
  if (days.empty()) return figures;
  DayDraw draw(seed);
  figures.reserve(static_cast<size_t>(resamples));
  for (int r = 0; r < resamples; ++r) {
    int64_t part = 0, whole = 0;
    for (size_t i = 0; i < days.size(); ++i) {
      const DayPart& d = days[draw.Below(days.size())];
      part += d.part;
      whole += d.whole;
    }
    figures.push_back(whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole)
                                : 0.0);
  }
  std::sort(figures.begin(), figures.end());
  return figures;
}

}  // namespace

PercentInterval WilsonInterval(int64_t hits, int64_t trials) {
  if (trials <= 0) return {0.0, 100.0};
  double n = static_cast<double>(trials);
  double p = static_cast<double>(hits) / n;
  double z2 = kZ95 * kZ95;
  double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
  double half = kZ95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / (1 + z2 / n);
  return {100.0 * std::max(0.0, centre - half), 100.0 * std::min(1.0, centre + half)};
}

PercentInterval DayBootstrapInterval(const std::vector<DayPart>& days, uint64_t seed,
                                     int resamples) {
  std::vector<double> f = Resampled(days, seed, std::max(1, resamples));
  if (f.empty()) return {0.0, 0.0};
  auto at = [&](double q) {
    size_t i = static_cast<size_t>(std::floor(q * static_cast<double>(f.size() - 1) + 0.5));
    return f[std::min(i, f.size() - 1)];
  };
  return {at(0.025), at(0.975)};
}

double DayBootstrapPValue(const std::vector<DayPart>& days, double baseRate, uint64_t seed,
                          int resamples) {
  std::vector<double> f = Resampled(days, seed, std::max(1, resamples));
  if (f.empty()) return 1.0;
  double n = static_cast<double>(f.size());
  double below = static_cast<double>(
      std::count_if(f.begin(), f.end(), [&](double v) { return v <= baseRate; }));
  double above = n - below;
  double p = 2.0 * std::min(below + 1, above + 1) / (n + 1);
  return std::min(1.0, p);
}

std::vector<bool> BenjaminiHochberg(const std::vector<double>& p, double q) {
  std::vector<size_t> order(p.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return p[a] < p[b]; });
  size_t cut = 0;  // the largest k with p(k) ≤ k q / m
  double m = static_cast<double>(p.size());
  for (size_t k = 1; k <= order.size(); ++k)
    if (p[order[k - 1]] <= static_cast<double>(k) * q / m) cut = k;
  std::vector<bool> rejected(p.size(), false);
  for (size_t k = 0; k < cut; ++k) rejected[order[k]] = true;
  return rejected;
}

}  // namespace sorvix::interim
