// The uncertainty of a figure of past races: a 95 % Wilson interval for a
// hit rate, a 95 % interval for a return rate from resampling whole race
// days, and the Benjamini–Hochberg selection of the figures that clear
// their base rate when many are looked at together.  The tuning report
// uses these until the backtest's own intervals take their place; they are
// kept apart in a namespace of their own so that the two never clash.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvix::interim {

// An interval of a percentage.
struct PercentInterval {
  double low = 0.0, high = 0.0;
};

// The 95 % Wilson score interval of `hits` out of `trials`, in percent
// ({0, 100} for no trials).
PercentInterval WilsonInterval(int64_t hits, int64_t trials);

// One race day's part of a ratio figure: yen returned and yen staked, or
// hits and trials.
struct DayPart {
  int64_t part = 0;
  int64_t whole = 0;
};

// The 95 % percentile interval of Σpart / Σwhole × 100 over `days`, from
// `resamples` resamplings of whole days with replacement, drawn from
// `seed` (the same days and seed give the same interval).
PercentInterval DayBootstrapInterval(const std::vector<DayPart>& days, uint64_t seed,
                                     int resamples = 1000);

// The two-sided p-value of the figure's excess over `baseRate` (percent),
// from the same resamplings: the share of resampled figures on the other
// side of the base rate, doubled (at least 1 / (resamples + 1)).
double DayBootstrapPValue(const std::vector<DayPart>& days, double baseRate, uint64_t seed,
                          int resamples = 1000);

// Which of the hypotheses with p-values `p` are rejected at false
// discovery rate `q` (Benjamini–Hochberg step-up).
std::vector<bool> BenjaminiHochberg(const std::vector<double>& p, double q = 0.05);

}  // namespace sorvix::interim
