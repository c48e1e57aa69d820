#include "store/estimate.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/settings_file.h"
#include "codes/cp932.h"
#include "common/record_fields.h"
#include "store/load_progress.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

// Top-two rate in percent of counts[0..size); false when the counts add up to
// nothing.
bool TopTwoRate(const int32_t* counts, int size, double* rate) {
  int64_t sum = 0;
  for (int i = 0; i < size; ++i) sum += counts[i];
  if (sum <= 0) return false;
  *rate = static_cast<double>(static_cast<int64_t>(counts[0]) + counts[1]) /
          static_cast<double>(sum) * 100.0;
  return true;
}

struct RankingLine {
  char text[64];
  int horseSlot;
};

}  // namespace

EstimateSource ReadEstimateSource(const SettingsFile& settings) {
  return settings.ReadInteger("YosoOz", "Select", 0) == 0 ? EstimateSource::RacehorseData
                                                          : EstimateSource::PredictedOdds;
}

void CountResults(RaceDay& day, LoadProgress& progress) {
  static const Cp932Text kJockeyText = Cp932("騎手データを読み込んでいます。");
  static const Cp932Text kTrainerText = Cp932("調教師データを読み込んでいます。");

  progress.SetDetail(kJockeyText);
  progress.SetRange(35);
  progress.ProcessEvents();
  for (int r = 0; r < kRaceSlots; ++r) {
    int n = day.Runners(r);
    for (int h = 0; h < n; ++h) {
      const KsImage& ks = day.KsRec[r][h];
      for (int b = 0; b < 6; ++b)
        day.Calc[r].KishuStat[h][b] =
            ks.Int(ks::kCareerFlatFinishes[b]) + ks.Int(ks::kCareerJumpFinishes[b]);
    }
    progress.Advance();
  }

  progress.SetDetail(kTrainerText);
  progress.SetRange(35);
  progress.ProcessEvents();
  for (int r = 0; r < kRaceSlots; ++r) {
    int n = day.Runners(r);
    for (int h = 0; h < n; ++h) {
      const ChImage& ch = day.ChRec[r][h];
      for (int b = 0; b < 6; ++b)
        day.Calc[r].ChokyoStat[h][b] =
            ch.Int(ch::kCareerFlatFinishes[b]) + ch.Int(ch::kCareerJumpFinishes[b]);
    }
    progress.Advance();
  }

  for (int r = 0; r < kRaceSlots; ++r) {
    for (int h = 0; h < kHorseSlots; ++h) {
      const UmImage& um = day.UmRec[r][h];
      int32_t* stat = day.Calc[r].UmaStat[h];
      // 1着, 2着, 3着, and 4着 or worse together.
      stat[0] = um.Int(um::kTotalFinishes[0]);
      stat[1] = um.Int(um::kTotalFinishes[1]);
      stat[2] = um.Int(um::kTotalFinishes[2]);
      stat[3] = um.Int(um::kTotalFinishes[3]) + um.Int(um::kTotalFinishes[4]) +
                um.Int(um::kTotalFinishes[5]);
    }
  }
}

void RankByRankingLines(const double* suitei, const bool* ranked, int n, bool bestIsLast,
                        int32_t* rank) {
  RankingLine lines[kHorseSlots];
  int count = 0;
  n = std::clamp(n, 0, kHorseSlots);
  for (int h = 0; h < n; ++h) {
    rank[h] = 0;
    if (!ranked[h]) continue;
    RankingLine& line = lines[count++];
    std::snprintf(line.text, sizeof line.text, "%10.5f%2d", suitei[h], h + 1);
    line.horseSlot = h;
  }
  std::sort(lines, lines + count, [](const RankingLine& a, const RankingLine& b) {
    return std::strcmp(a.text, b.text) < 0;
  });
  for (int i = 0; i < count; ++i) rank[lines[i].horseSlot] = bestIsLast ? count - i : i + 1;
}

void EstimateAbility(RaceDay& day, EstimateSource source) {
  for (int r = 0; r < kRaceSlots; ++r) {
    RaceCalc& calc = day.Calc[r];
    int n = day.Runners(r);
    bool ranked[kHorseSlots] = {};
    if (source == EstimateSource::RacehorseData) {
      for (int h = 0; h < n; ++h) {
        TopTwoRate(calc.UmaStat[h], 4, &calc.UmaRate[h]);
        TopTwoRate(calc.KishuStat[h], 6, &calc.KishuRate[h]);
        TopTwoRate(calc.ChokyoStat[h], 6, &calc.ChokyoRate[h]);
        calc.Suitei[h] = 0.4 * calc.KishuRate[h] + calc.UmaRate[h] + 0.1 * calc.ChokyoRate[h];
        ranked[h] = true;
      }
      RankByRankingLines(calc.Suitei, ranked, n, /*bestIsLast=*/true, calc.SuiteiRank);
    } else {
      for (int h = 0; h < n; ++h) {
        calc.Suitei[h] = day.YosoOzRec[r].Decimal(odds::kWinOdds[h]);
        ranked[h] = calc.Suitei[h] > 0;
      }
      RankByRankingLines(calc.Suitei, ranked, n, /*bestIsLast=*/false, calc.SuiteiRank);
    }
  }
}

}  // namespace sorvix
