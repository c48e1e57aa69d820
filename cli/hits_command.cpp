// sorvix-cli hits DATE [--big]: loads the meeting date, runs the hit report
// (的中, or 穴的中 with --big), writes its files when there is a hit and
// prints the report lines.
#include <cstdio>
#include <exception>
#include <string>

#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "cli/command_registry.h"
#include "cli/day_argument.h"
#include "codes/cp932.h"
#include "results/hit_report.h"
#include "store/estimate.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"

namespace sorvix::cli {
namespace {

int Hits(const Args& args) {
  Args positional = Positional(args, {});
  if (positional.size() != 1) {
    std::fprintf(stderr, "使い方: sorvix-cli hits DATE [--big]\n");
    return 2;
  }
  auto label = DateLabelArgument(positional[0]);
  if (!label) return 2;
  bool big = HasFlag(args, "--big");

  auto day = LoadAnalysedDay(*label, SettingsFile());
  if (!day) return 1;
  HitReport report;
  try {
    report = WriteHitReport(*day, big);
  } catch (const std::exception& e) {
    PrintError(e, Utf8(*label) + ": ");
    return 1;
  }

  for (const Cp932Text& line : report.lines) std::printf("%s\n", Utf8(line).c_str());
  if (report.written)
    std::fprintf(stderr, "%d 件の的中を %s と Manbaken.txt に書きました\n", report.hits,
                 report.fragmentPath.string().c_str());
  else
    std::fprintf(stderr, "的中はありません（ファイルは書いていません）\n");
  return 0;
}

const CommandRegistration kHits{
    "hits", "hits DATE [--big]  的中レポート（--big: 穴的中）を作成し HPupload に保存", &Hits};

}  // namespace
}  // namespace sorvix::cli
