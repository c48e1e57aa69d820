// Result counts and estimated ability (推定能力, Suitei): the top-two rates of
// each runner's jockey, trainer and horse, combined into one figure and
// ranked within the race, or, when the user chose predicted odds, the
// predicted win odds of the race's odds line ranked instead.
#pragma once

#include <cstdint>

namespace sorvix {

class LoadProgress;
class RaceDay;
class SettingsFile;

enum class EstimateSource {
  RacehorseData,  // 競走馬データを利用する
  PredictedOdds,  // 予想オッズデータを利用する
};

// The source chosen in the settings (YosoOz/Select: 0 racehorse data, any
// other value predicted odds).
EstimateSource ReadEstimateSource(const SettingsFile& settings);

// KishuStat, ChokyoStat and UmaStat of every runner from the jockey, trainer
// and horse images of the RaceDay.
void CountResults(RaceDay& day, LoadProgress& progress);

// Rates, Suitei and SuiteiRank of every race from the counts (racehorse
// data) or from the matched odds lines (predicted odds).
void EstimateAbility(RaceDay& day, EstimateSource source);

// Ranks runners 0 … n − 1 of a race in the order of their ranking lines,
// Suitei formatted "%10.5f" followed by the horse number "%2d", sorted
// ascending as text.  Only runners with `ranked[h]` take part; the others
// get rank 0.  With `bestIsLast` the last line is rank 1 (a higher figure is
// better, and among equal figures the higher horse number); otherwise the
// first line is rank 1 (the lowest odds first).
void RankByRankingLines(const double* suitei, const bool* ranked, int n, bool bestIsLast,
                        int32_t* rank);

}  // namespace sorvix
