// sorvix-cli export --sqlite FILE [--from DATE] [--to DATE] [--ini FILE]
// [--source racehorse|odds] [--workers N]: the stored meeting dates of a
// range, analysed as サイン検証 analyses them, into one SQLite file; a
// progress line on stderr, a summary on stdout.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>

#include "analysis/sign_points.h"
#include "cli/command_registry.h"
#include "cli/day_argument.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/error.h"
#include "export/sqlite_export.h"
#include "results/backtest.h"

namespace sorvix::cli {
namespace {

int Usage() {
  std::fprintf(stderr,
               "使い方: sorvix-cli export --sqlite FILE [--from DATE] [--to DATE] [--ini FILE] "
               "[--source racehorse|odds] [--workers N]\n");
  return 2;
}

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
  interrupted = true;
}

// --workers N (0 when not given); false, after the message, for a value
// that is not a number from 1.
bool ReadWorkers(const Args& args, int& workers) {
  std::string text = OptionValue(args, "--workers");
  workers = 0;
  if (text.empty()) return true;
  if (text.find_first_not_of("0123456789") != std::string::npos || text.size() > 3 ||
      ReadInt(text) < 1) {
    std::fprintf(stderr, "sorvix-cli: --workers は 1 以上の数です: %s\n", text.c_str());
    return false;
  }
  workers = ReadInt(text);
  return true;
}

void PrintSummary(const SqliteExportOptions& options, const SqliteExportResult& result) {
  for (const auto& [label, reason] : result.failed)
    std::fprintf(stderr, "sorvix-cli: %s を読み込めませんでした: %s\n",
                 IsoDateOfLabel(label).c_str(), reason.c_str());
  std::printf("%s: 追加 %d 日（%d レース、%d 頭）、書き出し済み %d 日、推定能力: %s、%.1f MB\n",
              options.file.string().c_str(), result.added, result.races, result.runners,
              result.present, EstimateSourceName(options.source),
              static_cast<double>(result.fileBytes) / (1024.0 * 1024.0));
  if (result.cancelled) std::printf("中断しました。もう一度実行すると続きから書き出します\n");
}

int Export(const Args& args) {
  Args positional =
      Positional(args, {"--sqlite", "--from", "--to", "--ini", "--source", "--workers"});
  std::string file = OptionValue(args, "--sqlite");
  if (!positional.empty() || file.empty()) return Usage();
  Cp932Text from, to;
  SqliteExportOptions options;
  if (!ReadDateRange(args, from, to) || !ReadWorkers(args, options.workers)) return 2;
  auto settings = SettingsArgument(OptionValue(args, "--ini"));
  if (!settings) return 1;
  options.points = SignPoints::Load(*settings);
  options.source = ReadEstimateSource(*settings);
  if (!ReadSource(args, options.source)) return 2;
  options.file = StartedPath(file);
  options.dates = StoredDatesBetween(from, to);
  if (options.dates.empty()) {
    std::fprintf(stderr, "sorvix-cli: 指定の期間に開催日のデータがありません\n");
    return 1;
  }
  options.progress = [](int done, int total, Cp932View label) {
    std::fprintf(stderr, "\r書き出し中 %d/%d %s", done, total, IsoDateOfLabel(label).c_str());
    if (done == total) std::fprintf(stderr, "\n");
    std::fflush(stderr);
  };
  options.cancel = &interrupted;
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  SqliteExportResult result;
  try {
    result = RunSqliteExport(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "\nsorvix-cli: %s\n", AsError(e).what());
    return 1;
  }
  PrintSummary(options, result);
  if (result.cancelled) return 130;
  return result.failed.empty() ? 0 : 1;
}

const CommandRegistration kExport{
    "export",
    "export --sqlite FILE [--from DATE] [--to DATE] [--ini FILE] [--source racehorse|odds] "
    "[--workers N]  開催日のレース・出走馬・サイン・指数・印・買い目・払戻を SQLite のファイルに"
    "書き出す（サイン検証と同じ計算。書き出し済みの日は飛ばす）",
    &Export};

}  // namespace
}  // namespace sorvix::cli
