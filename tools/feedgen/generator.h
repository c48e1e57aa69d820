// The feed generator: a deterministic synthetic JV-Data feed of whole
// meeting days for a seed.
//
// The feed folder holds, per meeting weekend, the data as they arrive:
//   Thursday  RACE…173000.jvd  RA/SE data kind "1" (entry lists)
//   Friday    RACE…110000.jvd  RA/SE data kind "2" (race cards)
//             DIFN…113000.jvd  UM/KS/CH masters of the weekend's runners,
//                              riders and trainers
//   race day  rt/<yyyymmdd>/0B12<yyyymmddhhnnss>.jvd  one file per race with
//                              RA/SE kind "6" and HR kind "1", as the
//                              real-time fetch receives them
//   Monday    RACE…160000.jvd  RA/SE kind "7" and HR kind "2" (results)
// Weekends before the feed (a few right before it and two about 80 weeks
// earlier) are written as results only, followed by one DIFN file with the
// masters of their horses, so that every runner has earlier runs to find.
// Predicted-odds archives of some dates go to odds/.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/feedgen/date.h"

namespace sorvix::feedgen {

struct FeedOptions {
  std::filesystem::path out;
  Date from{2024, 1, 6};
  int days = 8;  // meeting days with the whole weekly flow
  uint64_t seed = 1;
  // When set, horses with a master only in the older layout get their
  // 1577-byte horse file under <home>/UMA/<yyyy>/ and no UM record.
  std::filesystem::path legacyUmaHome;
  int historyWeeks = 8;          // weekends written as results right before the feed
  int oldWeeks = 2;              // weekends written as results about 80 weeks earlier
  bool holdLastResults = false;  // leave out the last weekend's Monday file
  bool replace = false;          // replace an existing feed in `out`
};

struct FeedSummary {
  std::vector<Date> feedDays;
  std::vector<Date> showcaseDays;  // the last (up to) three feed days
  std::vector<Date> historyDays;
  std::vector<std::string> oddsArchives;
  int races = 0;    // races written (history and feed)
  int runners = 0;  // runner records of those races
  int files = 0;
  int64_t bytes = 0;
  int legacyHorseFiles = 0;
  int horses = 0;  // horses of the simulated world
};

// Generates the feed; throws std::runtime_error or Error on failure.
FeedSummary GenerateFeed(const FeedOptions& options);

// The demo feed: a fixed seed and 33 meeting days from 2024-03-02 to
// 2024-06-22, whose last three days are a three-venue Saturday and Sunday
// (36 races each) and a two-venue Saturday (24 races).
FeedOptions DemoOptions(const std::filesystem::path& out);

}  // namespace sorvix::feedgen
