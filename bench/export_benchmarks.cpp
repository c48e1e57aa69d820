// The SQLite export of ten seasons of meeting days on two workers, next to
// the backtest of the same dates (BM_BacktestTenSeasons): the export loads
// every date as the backtest does and writes it, so its floor is the
// backtest.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/program_folder.h"
#include "bench/bench_feed.h"
#include "export/sqlite_export.h"
#include "results/backtest.h"

namespace sorvix::bench {
namespace {

void BM_ExportTenSeasons(benchmark::State& state) {
  ProgramFolder::Set(TenSeasonsFeed().home);
  SqliteExportOptions options;
  options.dates = StoredDatesBetween({}, {});
  options.workers = 2;
  options.file = std::filesystem::path(SORVIX_BENCH_DIR) / "ten-seasons.sqlite";
  SqliteExportResult result;
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* suffix : {"", "-wal", "-shm"})
      std::filesystem::remove(options.file.string() + suffix);
    state.ResumeTiming();
    result = RunSqliteExport(options);
    if (!result.failed.empty()) state.SkipWithError(result.failed.front().second.c_str());
  }
  state.counters["dates"] = result.added;
  state.counters["races"] = result.races;
  state.counters["runners"] = result.runners;
  state.counters["file_mb"] = static_cast<double>(result.fileBytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ExportTenSeasons)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace sorvix::bench
