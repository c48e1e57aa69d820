#include "cli/day_argument.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "cli/command_registry.h"
#include "codes/cp932.h"
#include "results/backtest.h"
#include "store/date_argument.h"
#include "store/estimate.h"

namespace sorvix::cli {

std::optional<Cp932Text> DateLabelArgument(const std::string& date) {
  auto label = ParseDateArgument(date);
  if (!label)
    std::fprintf(stderr,
                 "sorvix-cli: 日付が正しくありません: %s（例: 2024年05月05日, 2024-05-05）\n",
                 date.c_str());
  return label;
}

std::optional<SettingsFile> SettingsArgument(const std::string& ini) {
  if (ini.empty()) return SettingsFile();
  std::filesystem::path path = StartedPath(ini);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    std::fprintf(stderr, "sorvix-cli: 設定ファイルがありません: %s\n", path.string().c_str());
    return std::nullopt;
  }
  return SettingsFile(path);
}

std::unique_ptr<RaceDay> LoadDayOrReport(Cp932View label, const LoadOptions& options,
                                         int* selectedRow) {
  auto day = RaceDay::Create();
  try {
    LoadOutcome outcome = LoadRaceDay(*day, label, options);
    if (!outcome.loaded) {
      std::fprintf(stderr, "sorvix-cli: %s: %s\n", Utf8(label).c_str(),
                   Utf8(outcome.message).c_str());
      return nullptr;
    }
    if (selectedRow) *selectedRow = outcome.selectedRow;
    for (const std::string& warning : outcome.warnings)
      std::fprintf(stderr, "sorvix-cli: 警告: %s\n", warning.c_str());
    if (!outcome.marksWritable)
      std::fprintf(
          stderr,
          "sorvix-cli: 警告: データフォルダに書き込めないため、特別マークなしで読み込みました\n");
  } catch (const std::exception& e) {
    PrintError(e, Utf8(label) + " を読み込めませんでした: ");
    return nullptr;
  }
  return day;
}

std::unique_ptr<RaceDay> LoadAnalysedDay(Cp932View label, const SettingsFile& settings,
                                         int* selectedRow, const RunLedger* countsBefore) {
  LoadOptions options;
  options.countsBefore = countsBefore;
  options.source = ReadEstimateSource(settings);
  options.analysis = DayAnalysisSteps(SignPoints::Load(settings));
  return LoadDayOrReport(label, options, selectedRow);
}

bool ReadDateRange(const Args& args, Cp932Text& from, Cp932Text& to) {
  for (auto [option, label] : {std::pair{"--from", &from}, std::pair{"--to", &to}}) {
    std::string value = OptionValue(args, option);
    if (value.empty()) continue;
    auto parsed = DateLabelArgument(value);
    if (!parsed) return false;
    *label = *parsed;
  }
  if (!from.empty() && !to.empty() && from > to) {
    std::fprintf(stderr, "sorvix-cli: --from が --to より後の日付です: %s > %s\n",
                 IsoDateOfLabel(from).c_str(), IsoDateOfLabel(to).c_str());
    return false;
  }
  return true;
}

bool ReadSource(const Args& args, EstimateSource& estimateSource) {
  std::string source = OptionValue(args, "--source");
  if (source == "racehorse") {
    estimateSource = EstimateSource::RacehorseData;
  } else if (source == "odds") {
    estimateSource = EstimateSource::PredictedOdds;
  } else if (!source.empty()) {
    std::fprintf(stderr, "sorvix-cli: --source は racehorse か odds です: %s\n", source.c_str());
    return false;
  }
  return true;
}

}  // namespace sorvix::cli
