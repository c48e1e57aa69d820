// The analysis of a loaded day on its own, and the backtest: the demo's
// dates on two workers next to loading and analysing them one after the
// other, and ten seasons of meeting days.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/program_folder.h"
#include "bench/bench_feed.h"
#include "codes/cp932.h"
#include "results/backtest.h"
#include "results/backtest_figures.h"
#include "store/load_progress.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"

namespace sorvix::bench {
namespace {

// The analysis steps of a date run on a day loaded without them (the load
// itself is not timed).
void BM_DayAnalysis(benchmark::State& state) {
  ProgramFolder::Set(DayFeed().home);
  const Cp932Text label = Cp932("2024年06月15日");
  auto day = RaceDay::Create();
  std::vector<AnalysisStep> steps = DayAnalysisSteps(SignPoints::Defaults());
  LoadProgress silent;
  LoadContext context{label, EstimateSource::RacehorseData, silent};
  // Each step's share, reported in milliseconds per day.
  std::vector<double> spent(steps.size());
  for (auto _ : state) {
    state.PauseTiming();
    LoadOutcome outcome = LoadRaceDay(*day, label, {});
    if (!outcome.loaded || day->RaceCount != 36) state.SkipWithError("the day did not load");
    state.ResumeTiming();
    for (size_t s = 0; s < steps.size(); ++s) {
      auto start = std::chrono::steady_clock::now();
      const AnalysisStep& step = steps[s];
      if (step.runDay) step.runDay(*day, context);
      if (step.runRace)
        for (int slot = 0; slot < day->RaceListRows; ++slot) step.runRace(*day, context, slot);
      spent[s] +=
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
    }
    benchmark::ClobberMemory();
  }
  for (size_t s = 0; s < steps.size(); ++s)
    state.counters["step" + std::to_string(s) + "_ms"] =
        spent[s] / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
}
BENCHMARK(BM_DayAnalysis)->Unit(benchmark::kMillisecond);

std::vector<Cp932Text> DemoDates() {
  ProgramFolder::Set(DemoFeed().home);
  return StoredDatesBetween({}, {});
}

// Every demo date loaded and analysed in turn on one thread.
void BM_DemoDatesSerial(benchmark::State& state) {
  std::vector<Cp932Text> dates = DemoDates();
  auto day = RaceDay::Create();
  LoadOptions options;
  options.analysis = DayAnalysisSteps(SignPoints::Defaults());
  for (auto _ : state)
    for (const Cp932Text& label : dates) {
      if (!LoadRaceDay(*day, label, options).loaded) state.SkipWithError("a date did not load");
      benchmark::ClobberMemory();
    }
  state.counters["dates"] = static_cast<double>(dates.size());
}
BENCHMARK(BM_DemoDatesSerial)->Unit(benchmark::kMillisecond)->UseRealTime();

void RunOn(benchmark::State& state, const std::vector<Cp932Text>& dates, int workers) {
  BacktestOptions options;
  options.dates = dates;
  options.workers = workers;
  BacktestResult result;
  for (auto _ : state) {
    result = RunBacktest(options);
    if (!result.failed.empty()) state.SkipWithError(result.failed.front().second.c_str());
    // The figures the window shows first: intervals over the whole range.
    benchmark::DoNotOptimize(FiguresOf(result));
  }
  state.counters["dates"] = result.dates;
  state.counters["races"] = result.races;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["maxrss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The demo's dates on `workers` workers.
void BM_BacktestDemo(benchmark::State& state) {
  RunOn(state, DemoDates(), static_cast<int>(state.range(0)));
}
BENCHMARK(BM_BacktestDemo)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ten seasons (1,000 meeting days) on 2 workers, run once: the estimate
// from the counts before each meeting and the intervals included.
void BM_BacktestTenSeasons(benchmark::State& state) {
  ProgramFolder::Set(TenSeasonsFeed().home);
  RunOn(state, StoredDatesBetween({}, {}), 2);
}
BENCHMARK(BM_BacktestTenSeasons)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace sorvix::bench
