// sorvix-cli load DATE: loads one meeting date as choosing it in the meeting
// list does, and prints the race list and each race's runners with their
// estimated ability.
#include <cstdio>
#include <exception>
#include <string>

#include "app/settings_file.h"
#include "cli/command_registry.h"
#include "cli/day_argument.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/estimate.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"

namespace sorvix::cli {
namespace {

// A CP932 field without its trailing half- and full-width blanks, as UTF-8.
std::string Shown(std::string_view cp932) {
  size_t end = 0;
  for (size_t i = 0; i < cp932.size();) {
    unsigned char c = static_cast<unsigned char>(cp932[i]);
    size_t width = IsLeadByte(c) && i + 1 < cp932.size() ? 2 : 1;
    bool blank = width == 1 ? c == ' ' : (c == 0x81 && cp932[i + 1] == 0x40);
    i += width;
    if (!blank) end = i;
  }
  return Utf8(Cp932View::FromBytes(cp932.substr(0, end)));
}

int Load(const Args& args) {
  Args positional = Positional(args, {"--source"});
  if (positional.size() != 1) {
    std::fprintf(stderr, "使い方: sorvix-cli load DATE [--source racehorse|odds]\n");
    return 2;
  }
  auto label = DateLabelArgument(positional[0]);
  if (!label) return 2;

  LoadOptions options;
  std::string source = OptionValue(args, "--source");
  if (source == "racehorse") {
    options.source = EstimateSource::RacehorseData;
  } else if (source == "odds") {
    options.source = EstimateSource::PredictedOdds;
  } else if (source.empty()) {
    options.source = ReadEstimateSource(SettingsFile());
  } else {
    std::fprintf(stderr, "sorvix-cli: --source は racehorse か odds です: %s\n", source.c_str());
    return 2;
  }

  int selectedRow = -1;
  auto day = LoadDayOrReport(*label, options, &selectedRow);
  if (!day) return 1;

  std::printf(
      "%s  %d レース  推定能力: %s\n", Utf8(*label).c_str(), day->RaceListRows,
      options.source == EstimateSource::RacehorseData ? "競走馬データ" : "予想オッズデータ");
  for (int r = 0; r < day->RaceListRows; ++r) {
    std::printf("\n%s%s\n", Utf8(day->RaceListRow(r)).c_str(), r == selectedRow ? "  ＊" : "");
    for (int h = 0; h < day->Runners(r); ++h) {
      const SeImage& se = day->SeRec[r][h];
      const RaceCalc& calc = day->Calc[r];
      std::printf("  %2d  %s  %s  推定能力 %.2f  順位 %d\n", h + 1,
                  Shown(se.Field(se::kHorseName)).c_str(), Shown(se.Field(se::kJockeyName)).c_str(),
                  calc.Suitei[h], calc.SuiteiRank[h]);
    }
  }
  return 0;
}

const CommandRegistration kLoad{
    "load",
    "load DATE [--source racehorse|odds]  開催日を読み込み、レースと出走馬（推定能力）を表示",
    &Load};

}  // namespace
}  // namespace sorvix::cli
