// Recording every page of a 36-race day in each print layout, next to
// writing those pages to a PDF file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/program_folder.h"
#include "bench/bench_feed.h"
#include "codes/cp932.h"
#include "print/batch_ring_print.h"
#include "print/continuous_card_print.h"
#include "print/page_model.h"
#include "print/ring_card_print.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#ifdef SORVIX_BENCH_PDF
#include "print/ui/pdf_export.h"
#endif

namespace sorvix::bench {
namespace {

// The analysed day, loaded once.
const RaceDay& AnalysedDay() {
  static std::unique_ptr<RaceDay> day = [] {
    ProgramFolder::Set(DayFeed().home);
    auto d = RaceDay::Create();
    LoadOptions options;
    options.analysis = DayAnalysisSteps(SignPoints::Defaults());
    LoadRaceDay(*d, Cp932("2024年06月15日"), options);
    return d;
  }();
  return *day;
}

using Layout = std::function<void(const RaceDay&, TPrevX&)>;

void Ring(const RaceDay& day, TPrevX& prev) {
  PrintRingCard(day, PrintScope::AllVenues, prev);
}
void Continuous(const RaceDay& day, TPrevX& prev) {
  PrintContinuousCard(day, PrintScope::AllVenues, BlockOrder::Columns, prev);
}
void Batch(const RaceDay& day, TPrevX& prev) {
  PrintBatchRing(day, PrintScope::AllVenues, prev);
}

void BM_Record(benchmark::State& state, Layout layout) {
  const RaceDay& day = AnalysedDay();
  int pages = 0;
  for (auto _ : state) {
    TPrevX prev(PdfPrinter(600, 2));
    layout(day, prev);
    pages = prev.PageCount();
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = pages;
}

#ifdef SORVIX_BENCH_PDF
void BM_Pdf(benchmark::State& state, Layout layout) {
  const RaceDay& day = AnalysedDay();
  TPrevX prev(PdfPrinter(600, 2));
  layout(day, prev);
  std::vector<int> pages;
  for (int p = 1; p <= prev.PageCount(); ++p) pages.push_back(p);
  std::string path = (std::filesystem::temp_directory_path() / "sorvix-bench.pdf").string();
  for (auto _ : state) {
    try {
      WritePagesPdf(prev, pages, path);
    } catch (const Error& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
  std::filesystem::remove(path);
}
BENCHMARK_CAPTURE(BM_Pdf, ring, Ring)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pdf, continuous, Continuous)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pdf, batch, Batch)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK_CAPTURE(BM_Record, ring, Ring)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Record, continuous, Continuous)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Record, batch, Batch)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorvix::bench
