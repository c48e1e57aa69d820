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

#include "analysis/sign_values.h"
#include "store/fixed_text.h"

namespace sorvix {

struct RaceCalc : SignValues {
  // Result counts of the runner's jockey, trainer and horse, read at load.
  int32_t KishuStat[18][6] = {};
  int32_t ChokyoStat[18][6] = {};
  int32_t UmaStat[18][4] = {};
  // Top-two rates in percent.
  double KishuRate[18] = {};
  double ChokyoRate[18] = {};
  double UmaRate[18] = {};
  // Estimated ability and its rank in the race (1 = best, 0 = no rank).
  double Suitei[18] = {};
  int32_t SuiteiRank[18] = {};

  // The special mark per ring row: "○" when save-marked, else empty.
  FixedText<2> SpsMark[18];

  // ---- Sign index (サイン指数) and betting marks (買い目), per horse number
  // (index h − 1).  Ranks are 1 = highest, 0 = not ranked.
  int32_t AwayIndex[18] = {};       // sign sums of the corresponding horses, list neighbours
  int32_t HomeIndex[18] = {};       // the same, previous and next race at the venue
  int32_t BracketAverage[18] = {};  // away + home averaged over the bracket
  int32_t BracketRank[18] = {};
  int32_t AwayRank[18] = {};
  int32_t HomeRank[18] = {};
  int32_t AxisMark[18] = {};     // 1 = ◎ main axis, 2 = ●, 3 = ▲, … (candidate order)
  int32_t PartnerMark[18] = {};  // 1 = partner (○)
};

// The sign values that the per-venue copy (計算後代入) takes over from a race:
// flags, the 28 marks (the special mark included), the sign sums and the six
// sign index rows.
inline void CopySignValues(const RaceCalc& from, RaceCalc& to) {
  static_cast<SignValues&>(to) = static_cast<const SignValues&>(from);
  for (int k = 0; k < 18; ++k) {
    to.SpsMark[k] = from.SpsMark[k];
    to.AwayIndex[k] = from.AwayIndex[k];
    to.HomeIndex[k] = from.HomeIndex[k];
    to.BracketAverage[k] = from.BracketAverage[k];
    to.BracketRank[k] = from.BracketRank[k];
    to.AwayRank[k] = from.AwayRank[k];
    to.HomeRank[k] = from.HomeRank[k];
  }
}

}  // namespace sorvix
