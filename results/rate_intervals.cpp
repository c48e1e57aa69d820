#include "results/rate_intervals.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace sorvix {
namespace {

constexpr double kZ95 = 1.959963984540054;

// SplitMix64: the same numbers on every platform and library.
uint64_t Next(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

RateInterval WilsonInterval(int64_t hits, int64_t trials) {
  if (trials <= 0) return {0, 1};
  const double n = static_cast<double>(trials);
  const double p = static_cast<double>(hits) / n;
  const double z2 = kZ95 * kZ95;
  const double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
  const double half = kZ95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / (1 + z2 / n);
  return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

double HitRateP(int64_t hits, int64_t trials, double base) {
  if (trials <= 0 || base <= 0 || base >= 1) return 1;
  const double n = static_cast<double>(trials);
  const double sd = std::sqrt(n * base * (1 - base));
  const double gap = std::max(0.0, std::fabs(static_cast<double>(hits) - n * base) - 0.5);
  return std::min(1.0, std::erfc(gap / sd / std::sqrt(2.0)));
}

std::vector<std::vector<uint32_t>> DayResamples(size_t days, int resamples, uint64_t seed) {
  std::vector<std::vector<uint32_t>> draws(static_cast<size_t>(std::max(0, resamples)));
  uint64_t state = seed;
  if (days == 0) return draws;
  for (auto& row : draws) {
    row.resize(days);
    for (uint32_t& d : row) d = static_cast<uint32_t>(Next(state) % days);
  }
  return draws;
}

RateInterval BootstrapReturnInterval(const std::vector<DayAmount>& days,
                                     const std::vector<std::vector<uint32_t>>& draws, double base,
                                     double* pValue) {
  if (pValue) *pValue = 1;
  int64_t stake = 0, paid = 0;
  for (const DayAmount& d : days) {
    stake += d.stake;
    paid += d.paid;
  }
  if (stake <= 0 || draws.empty()) return {0, 0};
  std::vector<double> rates;
  rates.reserve(draws.size());
  for (const auto& row : draws) {
    int64_t s = 0, p = 0;
    for (uint32_t d : row) {
      if (d >= days.size()) continue;
      s += days[d].stake;
      p += days[d].paid;
    }
    rates.push_back(s > 0 ? static_cast<double>(p) / static_cast<double>(s) : 0.0);
  }
  std::sort(rates.begin(), rates.end());
  auto at = [&](double q) {
    double pos = q * static_cast<double>(rates.size() - 1);
    size_t lo = static_cast<size_t>(std::floor(pos));
    size_t hi = std::min(rates.size() - 1, lo + 1);
    return rates[lo] + (rates[hi] - rates[lo]) * (pos - static_cast<double>(lo));
  };
  if (pValue) {
    // From the resampled rates' spread (their standard error), so that a
    // rate far from the base gets a p-value below 1 / resamples too.
    const double rate = static_cast<double>(paid) / static_cast<double>(stake);
    double mean = 0, squares = 0;
    for (double r : rates) mean += r;
    mean /= static_cast<double>(rates.size());
    for (double r : rates) squares += (r - mean) * (r - mean);
    const double se = std::sqrt(squares / static_cast<double>(rates.size()));
    if (se > 0)
      *pValue = std::erfc(std::fabs(rate - base) / se / std::sqrt(2.0));
    else
      *pValue = rate == base ? 1.0 : 0.0;
  }
  return {at(0.025), at(0.975)};
}

std::vector<bool> BenjaminiHochberg(const std::vector<double>& pValues, double q) {
  const size_t m = pValues.size();
  std::vector<size_t> order(m);
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return pValues[a] < pValues[b]; });
  size_t passed = 0;  // the largest k with p(k) ≤ k/m × q
  for (size_t k = 1; k <= m; ++k)
    if (pValues[order[k - 1]] <= static_cast<double>(k) / static_cast<double>(m) * q) passed = k;
  std::vector<bool> rejected(m, false);
  for (size_t k = 0; k < passed; ++k) rejected[order[k]] = true;
  return rejected;
}

}  // namespace sorvix
