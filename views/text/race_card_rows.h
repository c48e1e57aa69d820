// The texts of a runner's row on the race card (出馬表), built once for every
// view that shows them: the main window's grid, the CSV and the terminal
// table of sorvix-cli.  UTF-8; numbers without padding (a view that lines
// them up pads them); an empty text where the cell shows nothing.
#pragma once

#include <string>

namespace sorvix {

class RaceDay;

// A text with the rank or place that colours it (0 when there is none).
struct RankedText {
  std::string text;
  int rank = 0;
};

// One runner's columns from its bracket to its finishing place.
struct RaceCardRow {
  RankedText bracket;  // the bracket number; rank is the number (its colour)
  std::string horseNumber;
  std::string name;    // trimmed
  std::string sexAge;  // "牡 3"
  std::string burden;  // "57.0kg"
  std::string jockey;  // trimmed
  std::string trainer;
  std::string awayIndex;  // ｻ指ｱｳｪｲ
  RankedText awayRank;
  std::string homeIndex;  // ｻ指ﾎｰﾑ
  RankedText homeRank;
  std::string indexSum;  // ｻ指計: away + home
  std::string bracketAverage;
  RankedText bracketRank;
  RankedText estimateRank;  // 推定能力
  std::string axisMark;     // ◎ ● ▲
  std::string partnerMark;  // ○
  RankedText place;         // 着順, empty before the result
};

// One of the runner's past runs (前走1 … 前走10): empty texts when the
// runner has no such run.
struct PastRunText {
  std::string date;       // "2024.05.04"
  std::string venueRace;  // "阪神 1R"
  RankedText place;       // "7", empty when the run has no place
  // The three on one line, the place with 着: "2024.05.04 阪神 1R 7着".
  std::string Joined() const;
};

// Runner h (0-based) of race-list row `slot`.
RaceCardRow RaceCardRowOf(const RaceDay& day, int slot, int h);
// Past run k (0 = the latest) of runner h of `slot`.
PastRunText PastRunOf(const RaceDay& day, int slot, int h, int k);

}  // namespace sorvix
