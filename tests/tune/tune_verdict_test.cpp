// The tuning's verdict on generated kept races.  When the results are drawn
// independently of every sign, the tuned points find a training gain that
// is chance and the report must not claim an edge; when one sign is made
// to carry real information, the tuning must find it and the test dates
// must confirm it.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "codes/text.h"
#include "results/tune_report.h"
#include "results/tune_run.h"
#include "store/store_paths.h"

namespace sorvix {
namespace {

// Two seasons of 60 dates with 24 races each.  Every runner has random
// counts of every sign among the horses of its away and home index, and
// runs with a strength of `signal` times its count of Red3 plus noise; the
// place ticket of each of the first three pays 100 yen × field size / 3,
// which makes betting every runner return about 100 %.
TuneData Generated(uint64_t seed, double signal) {
  TuneData data;
  TuneRandom random(seed);
  for (int year = 2020; year <= 2021; ++year)
    for (int d = 0; d < 60; ++d) {
      data.dateBegin.push_back(data.races.size());
      data.skipped.push_back(0);
      data.dates.push_back(
          DateLabelFromYmd(Format("%04d%02d%02d", year, 1 + d / 6, 1 + (d % 6) * 4)));
      for (int r = 0; r < 24; ++r) {
        TuneRace kept;
        kept.date = static_cast<int32_t>(data.dates.size() - 1);
        BacktestRace& race = kept.race;
        const int n = 8 + random.Below(9);
        race.runners = kept.race.ranks.runners = n;
        race.placeSold = true;  // eight runners or more
        std::array<double, kHorseSlots> strength{};
        for (int h = 0; h < n; ++h) {
          for (int s = 0; s < kSignCount; ++s) {
            kept.counts.away[h][s] =
                static_cast<uint8_t>(random.Below(4) == 0 ? 1 + random.Below(2) : 0);
            kept.counts.home[h][s] =
                static_cast<uint8_t>(random.Below(4) == 0 ? 1 + random.Below(2) : 0);
          }
          kept.bracket[h] = static_cast<int8_t>(1 + h * 8 / n);
          int red3 = kept.counts.away[h][SignIndex(Sign::Red3)] +
                     kept.counts.home[h][SignIndex(Sign::Red3)];
          strength[h] = signal * red3 + static_cast<double>(random.Below(1000)) / 1000.0 * 4.0;
        }
        // The estimate ranks the runners at random.
        std::array<int, kHorseSlots> order{};
        std::iota(order.begin(), order.begin() + n, 0);
        for (int h = n - 1; h > 0; --h) std::swap(order[h], order[random.Below(h + 1)]);
        for (int i = 0; i < n; ++i) race.ranks.suitei[order[i]] = i + 1;
        std::iota(order.begin(), order.begin() + n, 0);
        std::sort(order.begin(), order.begin() + n,
                  [&](int a, int b) { return strength[a] > strength[b]; });
        for (int i = 0; i < n; ++i) race.position[order[i]] = static_cast<int8_t>(i + 1);
        race.winReturn[order[0]] = 100 * n;
        for (int i = 0; i < 3; ++i) race.placeReturn[order[i]] = 100 * n / 3;
        data.races.push_back(kept);
      }
    }
  data.dateBegin.push_back(data.races.size());
  return data;
}

TuneRunOptions Options(TuneObjective objective) {
  TuneRunOptions o;
  o.objective = objective;
  o.seed = 7;
  o.restarts = 1;
  o.candidates = 400;
  o.workers = 2;
  return o;
}

TEST(TuneVerdict, ResultsIndependentOfTheSignsClaimNoEdge) {
  TuneData data = Generated(11, 0.0);
  std::vector<TuneFold> folds = YearlyFolds(data);
  ASSERT_EQ(folds.size(), 1u);
  for (TuneObjective objective : {TuneObjective::AxisPlaceReturn, TuneObjective::Away1Top3Rate}) {
    TuneResult r = RunTuning(data, folds, Options(objective));
    const TuneFigureRow& goal = r.rows.front();
    EXPECT_FALSE(r.edge) << InfoOf(objective).key << ": " << goal.interval[0].low << " > "
                         << goal.base.Percent();
    // Training found a gain over the current points by chance alone; the
    // report says whether it held, and never marks the tuned figure.
    EXPECT_GT(r.train[0].Percent(), r.train[1].Percent());
    EXPECT_FALSE(goal.clears[0]);
    std::string verdict;
    for (const std::string& line : r.verdict) verdict += line;
    EXPECT_NE(verdict.find("優位性があるとは言えません"), std::string::npos) << verdict;
  }
}

TEST(TuneVerdict, ASignCarryingInformationIsFoundAndConfirmed) {
  TuneData data = Generated(12, 1.5);
  std::vector<TuneFold> folds = YearlyFolds(data);
  TuneRunOptions options = Options(TuneObjective::Away1Top3Rate);
  options.current.value.fill(5);  // every sign the same: the index carries little
  TuneResult r = RunTuning(data, folds, options);
  // Red3 gets the largest point, and the test dates confirm the gain.
  const int red3 = r.tuned[Sign::Red3];
  EXPECT_EQ(red3, *std::max_element(r.tuned.value.begin(), r.tuned.value.end()));
  EXPECT_TRUE(r.edge);
  EXPECT_TRUE(r.gainHeld);
  EXPECT_TRUE(r.rows.front().clears[0]);
  EXPECT_GT(r.rows.front().figure[0].Percent(), r.rows.front().figure[1].Percent() + 5.0);
  std::string verdict;
  for (const std::string& line : r.verdict) verdict += line;
  EXPECT_NE(verdict.find("検証期間でも"), std::string::npos) << verdict;
  // The same seed gives the same points.
  EXPECT_EQ(RunTuning(data, folds, options).tuned.value, r.tuned.value);

  // The CSV is written as every CSV of the program: a byte-order mark, the
  // shared cells, CR LF; and the tuned figure's
  // interval is the report's, in percent.
  std::string csv = TuneCsv(r);
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBFsection,key,label,base,tuned,", 0), 0u);
  EXPECT_NE(csv.find("\r\nfold,1,2020-01-01..2020-10-21 → 2021-01-01..2021-10-21,"),
            std::string::npos)
      << csv.substr(csv.find("fold"), 300);
  const TuneFigureRow& goal = r.rows.front();
  EXPECT_GT(goal.interval[0].low, goal.base.Percent());
  EXPECT_LT(goal.interval[0].high, 100.0);
}

}  // namespace
}  // namespace sorvix
