// 配点最適化: one candidate's scoring from the kept counts against one
// backtest of the same dates (the demo's), and a whole search over ten
// seasons, the first load included.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <vector>

#include "app/program_folder.h"
#include "bench/bench_feed.h"
#include "results/backtest.h"
#include "results/tune_data.h"
#include "results/tune_search.h"

namespace sorvix::bench {
namespace {

BacktestOptions DemoOptions() {
  ProgramFolder::Set(DemoFeed().home);
  BacktestOptions options;
  options.dates = StoredDatesBetween({}, {});
  options.workers = 2;
  return options;
}

// One backtest of the demo's dates on 2 workers (the way every candidate
// would be scored without the kept counts).
void BM_TuneBacktestOfOneCandidate(benchmark::State& state) {
  BacktestOptions options = DemoOptions();
  for (auto _ : state) {
    BacktestResult result = RunBacktest(options);
    benchmark::DoNotOptimize(result.total.tickets);
  }
}
BENCHMARK(BM_TuneBacktestOfOneCandidate)->Unit(benchmark::kMillisecond)->UseRealTime();

// One candidate scored from the kept counts of the same dates (one thread).
void BM_TuneScoreOneCandidate(benchmark::State& state) {
  TuneData data = KeepTuneData(DemoOptions());
  SignPoints points = SignPoints::Defaults();
  TuneRandom random(1);
  for (auto _ : state) {
    points.value[random.Below(kSignCount)] = random.Below(100);
    TuneScore score = ScoreRaces(data, 0, data.races.size(), points);
    benchmark::DoNotOptimize(score);
  }
  state.counters["races"] = static_cast<double>(data.races.size());
}
BENCHMARK(BM_TuneScoreOneCandidate)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ten seasons (1,000 meeting days): load and keep every date on 2 workers,
// then search with 1,000 candidates on 2 workers; run once.
void BM_TuneTenSeasons(benchmark::State& state) {
  ProgramFolder::Set(TenSeasonsFeed().home);
  BacktestOptions options;
  options.dates = StoredDatesBetween({}, {});
  options.workers = 2;
  TuneSearchResult found;
  double loadSeconds = 0, searchSeconds = 0;
  size_t races = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    TuneData data = KeepTuneData(options);
    auto loaded = std::chrono::steady_clock::now();
    if (!data.failed.empty()) state.SkipWithError(data.failed.front().second.c_str());
    TuneSearchOptions search;
    search.candidates = 1000;
    search.restarts = 5;
    search.workers = 2;
    found = SearchPoints(data, {0, data.races.size()}, search);
    auto end = std::chrono::steady_clock::now();
    loadSeconds = std::chrono::duration<double>(loaded - start).count();
    searchSeconds = std::chrono::duration<double>(end - loaded).count();
    races = data.races.size();
  }
  state.counters["candidates"] = found.candidates;
  state.counters["races"] = static_cast<double>(races);
  state.counters["load_s"] = loadSeconds;
  state.counters["search_s"] = searchSeconds;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["maxrss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_TuneTenSeasons)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace sorvix::bench
