// How sure a rate is: 95 % intervals for hit rates (Wilson) and for return
// rates (resampling whole race days), a two-sided p-value of a hit rate
// against a base rate, and the Benjamini–Hochberg selection of the rates
// that stand out from many tried at once.  Plain numbers in, plain numbers
// out, so that every report of rates can use them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sorvix {

struct RateInterval {
  double low = 0;
  double high = 0;
  bool Contains(double value) const { return low <= value && value <= high; }
};

// The Wilson score interval (95 %) of `hits` out of `trials`, as fractions;
// {0, 1} for no trials.
RateInterval WilsonInterval(int64_t hits, int64_t trials);

// Two-sided p-value of `hits` out of `trials` against the chance `base`
// (normal approximation with continuity correction); 1 for no trials.
double HitRateP(int64_t hits, int64_t trials, double base);

// One race day's part of a return rate: what was staked and paid back.
struct DayAmount {
  int64_t stake = 0;
  int64_t paid = 0;
};

// The draws of a race-day bootstrap: `resamples` rows of as many day
// indexes as there are days, drawn with replacement from a generator
// seeded with `seed` (the same seed gives the same draws).
std::vector<std::vector<uint32_t>> DayResamples(size_t days, int resamples, uint64_t seed);

// Return rates (paid ÷ stake) of the days as `draws` resample them, and
// the 95 % interval (2.5th and 97.5th percentile) of those rates.
// `pValue`, when given, receives the two-sided p-value of the rate against
// `base` from the normal approximation with the resampled rates' standard
// error.
RateInterval BootstrapReturnInterval(const std::vector<DayAmount>& days,
                                     const std::vector<std::vector<uint32_t>>& draws,
                                     double base = 0, double* pValue = nullptr);

// Which of the hypotheses with `pValues` are rejected at the false
// discovery rate `q` (Benjamini–Hochberg step-up).
std::vector<bool> BenjaminiHochberg(const std::vector<double>& pValues, double q = 0.05);

}  // namespace sorvix
