// The predicted-odds source files of the two outside providers, as their
// archives deliver them: KOL records (kol_ods.kd3 / kol_ods.kd2) and the
// JRDB base-odds text (Ozyymmdd.txt), one line per race, CP932, CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/feedgen/race.h"

namespace sorvix::feedgen {

// KOL: venue 1–2, meeting/day/race 7–12, date 13–20, flag 105, runners
// 110–111, win odds 162 (5 × 18), bracket-quinella odds 252 (5 × 36) and
// quinella odds 432 (7 × 153), all in tenths; "*" for odds at the cap
// (win 50.0, bracket quinella 100.0, quinella 1000.0), "-" for no horse.
std::string KolOddsText(const std::vector<const Race*>& races, uint64_t seed);

// JRDB: venue 1–2, year 3–4, meeting 5, day 6, race 7–8, runners 9–10,
// win odds 11 (5 × 18), place odds 101 (5 × 18), quinella odds 191
// (5 × 153), as decimals; blanks for no horse.
std::string JrdbOddsText(const std::vector<const Race*>& races, uint64_t seed);

// The predicted-odds archives of one date: the JRDB archive and one KOL
// archive, with their file names.
struct OddsArchive {
  std::string fileName;
  std::string bytes;
};
std::vector<OddsArchive> OddsArchives(const std::vector<const Race*>& races, uint64_t seed,
                                      bool kolSecondForm);

}  // namespace sorvix::feedgen
