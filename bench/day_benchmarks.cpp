// Loading a 36-race day and analysing it, next to reading once the bytes of
// every file the load touches.
#include <benchmark/benchmark.h>

#include <set>
#include <string>

#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "bench/bench_feed.h"
#include "codes/cp932.h"
#include "common/record_fields.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/store_paths.h"

namespace sorvix::bench {
namespace {

namespace fs = std::filesystem;

Cp932Text DayLabel() {
  return Cp932("2024年06月15日");
}

void UseDayHome() {
  ProgramFolder::Set(DayFeed().home);
}

// The store files a load of the day reads: its RaceFile and RunnerFiles,
// each runner's horse, past-run, jockey and trainer files, the RaceFiles of
// the earlier runs' dates, its OddsFile and SaveMarkFile.
std::vector<fs::path> FilesOfTheLoad(const RaceDay& day, Cp932View label) {
  std::set<std::string> relative{RaceFilePath(label), OddsFilePath(label), SaveMarkFilePath(label)};
  for (int r = 0; r < day.RaceCount; ++r) {
    relative.insert(RunnerFilePath(label, day.RaRec[r].Field(ra::kVenueCode)));
    for (int h = 0; h < day.Runners(r); ++h) {
      const SeImage& se = day.SeRec[r][h];
      std::string pedigree(se.Field(se::kPedigreeNumber));
      relative.insert(HorseFilePath(pedigree));
      relative.insert(PastRunFilePath(pedigree));
      relative.insert(JockeyFilePath(se.Field(se::kJockeyCode)));
      relative.insert(TrainerFilePath(se.Field(se::kTrainerCode)));
      for (int k = 0; k < kKakoRuns && !day.KakoSeRec[r][h][k].IsBlank(se::kYear); ++k)
        relative.insert(RaceFilePath(DateLabel(day.KakoSeRec[r][h][k].Text())));
    }
  }
  std::vector<fs::path> files;
  for (const std::string& rel : relative) {
    fs::path path = HomePath(rel);
    if (fs::exists(path)) files.push_back(path);
  }
  return files;
}

void LoadDay(RaceDay& day, const LoadOptions& options, benchmark::State& state) {
  LoadOutcome outcome = LoadRaceDay(day, DayLabel(), options);
  if (!outcome.loaded || day.RaceCount != 36) state.SkipWithError("the day did not load 36 races");
}

void BM_DayLoadFloor(benchmark::State& state) {
  UseDayHome();
  auto day = RaceDay::Create();
  LoadDay(*day, {}, state);
  std::vector<fs::path> files = FilesOfTheLoad(*day, DayLabel());
  int64_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    for (const fs::path& f : files) {
      std::string content = ReadWholeFile(f);
      bytes += static_cast<int64_t>(content.size());
      benchmark::DoNotOptimize(content.data());
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_DayLoadFloor)->Unit(benchmark::kMillisecond);

void BM_DayLoad(benchmark::State& state) {
  UseDayHome();
  auto day = RaceDay::Create();
  for (auto _ : state) {
    LoadDay(*day, {}, state);
    benchmark::ClobberMemory();
  }
  state.counters["races"] = day->RaceCount;
}
BENCHMARK(BM_DayLoad)->Unit(benchmark::kMillisecond);

void BM_DayLoadAndAnalysis(benchmark::State& state) {
  UseDayHome();
  auto day = RaceDay::Create();
  LoadOptions options;
  options.analysis = DayAnalysisSteps(SignPoints::Defaults());
  for (auto _ : state) {
    LoadDay(*day, options, state);
    benchmark::ClobberMemory();
  }
  state.counters["races"] = day->RaceCount;
}
BENCHMARK(BM_DayLoadAndAnalysis)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorvix::bench
