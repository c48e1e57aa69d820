// PayoutTable: the payouts of one race as parsed from its HR record, eight
// bet types with a fixed number of entries each.  Combinations are texts:
// "%2d-" per number and "%2d" for the last (" 3-12", " 1- 5-13"); an empty
// text, a text of blanks, " 0- 0" and " 0- 0- 0" hold no result.  The views,
// the betting window and the hit report compare these texts as they are.
// results/payout_table.h parses them.
#pragma once

#include <cstdint>

#include "common/fixed_text.h"

namespace sorvix {

// A win or place entry: the horse number (0 = no result).
struct PayoutHorse {
  int32_t HorseNo = 0;
  int32_t Popularity = 0;
  int32_t Payout = 0;  // yen
};

// An entry of a combination bet type.
struct PayoutCombination {
  FixedText<8> Combination;
  int32_t Popularity = 0;
  int32_t Payout = 0;  // yen
};

struct PayoutTable {
  PayoutHorse Win[3];                    // 単勝
  PayoutHorse Place[5];                  // 複勝
  PayoutCombination BracketQuinella[3];  // 枠連
  PayoutCombination Quinella[3];         // 馬連
  PayoutCombination QuinellaPlace[7];    // ワイド
  PayoutCombination Exacta[6];           // 馬単
  PayoutCombination Trio[3];             // 三連複
  PayoutCombination Trifecta[6];         // 三連単
};

}  // namespace sorvix
