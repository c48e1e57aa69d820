// Acquiring about a year of generated feed in setup mode into a fresh home,
// next to copying the bytes that acquisition reads (the accumulating data
// files) into another folder with plain writes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "app/file_io.h"
#include "bench/bench_feed.h"

namespace sorvix::bench {
namespace {

namespace fs = std::filesystem;

fs::path Scratch(const char* name) {
  return fs::path(SORVIX_BENCH_DIR) / "bench-data" / name;
}

// The accumulating data files at the top of the feed folder: what a setup
// acquisition reads (the real-time and odds folders are not part of it).
std::vector<fs::path> DataFiles(const fs::path& feed) {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(feed))
    if (e.is_regular_file() && e.path().extension() == ".jvd") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Records (CR LF ended lines) of those files.
int64_t RecordsOf(const fs::path& feed) {
  int64_t records = 0;
  for (const fs::path& f : DataFiles(feed)) {
    std::string content = ReadWholeFile(f);
    records += std::count(content.begin(), content.end(), '\n');
  }
  return records;
}

void BM_YearCopyFloor(benchmark::State& state) {
  const fs::path& feed = YearFeed();
  std::vector<fs::path> files = DataFiles(feed);
  fs::path target = Scratch("copy");
  int64_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(target);
    fs::create_directories(target);
    state.ResumeTiming();
    bytes = 0;
    for (const fs::path& f : files) {
      std::string content = ReadWholeFile(f);
      std::ofstream out(target / f.filename(), std::ios::binary);
      out.write(content.data(), static_cast<std::streamsize>(content.size()));
      bytes += static_cast<int64_t>(content.size());
    }
  }
  fs::remove_all(target);
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_YearCopyFloor)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_YearAcquisition(benchmark::State& state) {
  const fs::path& feed = YearFeed();
  fs::path home = Scratch("acquire-home");
  int64_t records = RecordsOf(feed);
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(home);
    state.ResumeTiming();
    try {
      AcquireInto(feed, home);
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
  fs::remove_all(home);
  state.counters["records"] = static_cast<double>(records);
  state.counters["records_per_second"] =
      benchmark::Counter(static_cast<double>(records) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_YearAcquisition)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace sorvix::bench

BENCHMARK_MAIN();
