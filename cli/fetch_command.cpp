// sorvix-cli fetch DATE: loads the meeting date, fetches its real-time
// results and payouts from the feed's JV-Link (as the 結果情報 button does)
// and prints the store files written and the races that received payouts.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/feed_jv_link.h"
#include "acquisition/realtime_fetch.h"
#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/error_log.h"
#include "app/settings_file.h"
#include "cli/command_registry.h"
#include "cli/day_argument.h"
#include "cli/feed_link.h"
#include "cli/wine_step.h"
#include "codes/cp932.h"
#include "store/estimate.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"

namespace sorvix::cli {
namespace {

class TerminalObserver : public RealtimeFetchObserver {
 public:
  void OnLabel(Cp932View text) override {
    if (!text.empty()) std::fprintf(stderr, "%s\n", Utf8(text).c_str());
  }
  void OnError(const Error& error) override { PrintError(error); }
  void OnSkippedRecord(const std::string& type, const std::string& reason,
                       Cp932View fileName) override {
    std::fprintf(stderr, "sorvix-cli: 警告: %s の %s レコードを保存しませんでした: %s\n",
                 Utf8(fileName).c_str(), type.c_str(), reason.c_str());
  }
};

int Fetch(const Args& args) {
  Args positional = Positional(args, {});
  if (positional.size() != 1) {
    std::fprintf(stderr, "使い方: sorvix-cli fetch DATE [--wine]\n");
    return 2;
  }
  auto label = DateLabelArgument(positional[0]);
  if (!label) return 2;
  // The day's results through JV-Link under Wine first.
  if (WineSetup wine = ReadWineSetup(SettingsFile()); ExportsThroughWine(args, wine)) {
    if (int code = ExportThroughWine(wine, RealtimeExportArguments(*label)); code >= 0) return code;
  }

  int selectedRow = -1;
  auto day = LoadAnalysedDay(*label, SettingsFile(), &selectedRow);
  if (!day) return 1;
  bool hadPayouts[kRaceSlots];
  for (int r = 0; r < kRaceSlots; ++r) hadPayouts[r] = day->PayoutLoaded[r];

  FeedJvLink link;
  if (!OpenFeedLink(link)) return 1;
  ErrorLog log;
  TerminalObserver observer;
  RealtimeFetch fetch(link, log, observer);
  RealtimeFetchOutcome outcome = fetch.FetchResults(*day, selectedRow);
  if (!outcome.started) {
    std::fprintf(stderr, "sorvix-cli: %s: レースがありません\n", Utf8(*label).c_str());
    return 1;
  }

  std::printf("%s  結果情報: %zu 件保存\n", Utf8(*label).c_str(), outcome.stored.size());
  // One line per file: the record type, the file and how many records.
  std::vector<std::pair<Cp932Text, int>> perFile;
  for (const Cp932Text& line : outcome.stored) {
    auto it = std::find_if(perFile.begin(), perFile.end(),
                           [&](const auto& entry) { return entry.first == line; });
    if (it == perFile.end())
      perFile.emplace_back(line, 1);
    else
      ++it->second;
  }
  for (const auto& [file, count] : perFile) std::printf("  %s  %d 件\n", Utf8(file).c_str(), count);
  if (outcome.payoutsImported) {
    for (int r = 0; r < day->RaceListRows; ++r)
      if (day->PayoutLoaded[r] && !hadPayouts[r])
        std::printf("  払戻: %s\n", Utf8(day->RaceListRow(r)).c_str());
  }
  return outcome.failed ? 1 : 0;
}

const CommandRegistration kFetch{
    "fetch",
    "fetch DATE [--wine]  開催日の結果情報（成績・払戻）を取得して保存（--wine: 先に Wine の "
    "JV-Link から書き出す）",
    &Fetch};

}  // namespace
}  // namespace sorvix::cli
