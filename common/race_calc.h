// RaceCalc: the computed values of one race.  Per-runner values are indexed
// by HorseSlot (horse number − 1); marks are indexed by ring row.
//
// Every field has its empty value as default initialiser, so `RaceCalc{}` is
// the state a reset leaves: numbers 0, texts empty.
//
// The sign calculation's values (family flags, the 27 computed marks and
// SignSum, per ring row) come from the SignValues base, so they read as
// calc.Red1[k], calc.SignSum[k].
#pragma once

#include <cstdint>

#include "common/day_slots.h"
#include "common/fixed_text.h"
#include "common/sign_values.h"

namespace sorvix {

struct RaceCalc : SignValues {
  // Result counts of the runner's jockey, trainer and horse, read at load.
  int32_t KishuStat[kHorseSlots][6] = {};
  int32_t ChokyoStat[kHorseSlots][6] = {};
  int32_t UmaStat[kHorseSlots][4] = {};
  // Top-two rates in percent.
  double KishuRate[kHorseSlots] = {};
  double ChokyoRate[kHorseSlots] = {};
  double UmaRate[kHorseSlots] = {};
  // Estimated ability and its rank in the race (1 = best, 0 = no rank).
  double Suitei[kHorseSlots] = {};
  int32_t SuiteiRank[kHorseSlots] = {};

  // The special mark per ring row: "○" when save-marked, else empty.
  FixedText<2> SpsMark[kRingRows];

  // ---- Sign index (サイン指数) and betting marks (買い目), per horse number
  // (index h − 1).  Ranks are 1 = highest, 0 = not ranked.
  int32_t AwayIndex[kHorseSlots] = {};  // sign sums of the corresponding horses, list neighbours
  int32_t HomeIndex[kHorseSlots] = {};  // the same, previous and next race at the venue
  int32_t BracketAverage[kHorseSlots] = {};  // away + home averaged over the bracket
  int32_t BracketRank[kHorseSlots] = {};
  int32_t AwayRank[kHorseSlots] = {};
  int32_t HomeRank[kHorseSlots] = {};
  int32_t AxisMark[kHorseSlots] = {};  // 1 = ◎ main axis, 2 = ●, 3 = ▲, … (candidate order)
  int32_t PartnerMark[kHorseSlots] = {};  // 1 = partner (○)
};

// The six sign index rows of every horse: away and home index, bracket
// average and rank, away and home rank.
inline void CopySignIndexRows(const RaceCalc& from, RaceCalc& to) {
  for (int h = 0; h < kHorseSlots; ++h) {
    to.AwayIndex[h] = from.AwayIndex[h];
    to.HomeIndex[h] = from.HomeIndex[h];
    to.BracketAverage[h] = from.BracketAverage[h];
    to.BracketRank[h] = from.BracketRank[h];
    to.AwayRank[h] = from.AwayRank[h];
    to.HomeRank[h] = from.HomeRank[h];
  }
}

// The sign values that the per-venue copy (計算後代入) takes over from a race:
// flags, the 28 marks (the special mark included), the sign sums and the six
// sign index rows.
inline void CopySignValues(const RaceCalc& from, RaceCalc& to) {
  static_cast<SignValues&>(to) = static_cast<const SignValues&>(from);
  for (int k = 0; k < kRingRows; ++k) to.SpsMark[k] = from.SpsMark[k];
  CopySignIndexRows(from, to);
}

}  // namespace sorvix
