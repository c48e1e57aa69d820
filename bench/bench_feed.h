// Generated feeds and acquired homes shared by the benchmarks.  They are made
// once in the build folder and reused while the program's build stays the
// same.
#pragma once

#include <filesystem>
#include <string>

namespace sorvix::bench {

// A feed folder and a home that acquired it in setup mode.
struct AcquiredFeed {
  std::filesystem::path feed;
  std::filesystem::path home;
};

// Two meeting days from 2024-06-15 (three venues, 36 races each) with the
// weekends of results before them, acquired into a home.
const AcquiredFeed& DayFeed();

// About a year of meeting days (feed only; the acquisition benchmark makes
// its own homes).
const std::filesystem::path& YearFeed();

// The demo's feed (sorvix-feedgen --demo, old-layout horse files included)
// acquired into a home.
const AcquiredFeed& DemoFeed();

// Ten seasons of meeting days (1,000 days from 2015-01-03) acquired into a
// home, for the backtest over a long range.
const AcquiredFeed& TenSeasonsFeed();

// One setup-mode acquisition of `feed` into the fresh folder `home`.
// Throws std::runtime_error when the run fails.
void AcquireInto(const std::filesystem::path& feed, const std::filesystem::path& home);

}  // namespace sorvix::bench
