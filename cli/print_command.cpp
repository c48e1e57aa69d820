// sorvix-cli print DATE --layout ring|continuous|batch --scope all|venue
// --out FILE.pdf [--pages 1,3] [--order columns|rows] [--ini FILE]: loads a
// meeting date with its analysis, composes the chosen race-card print
// exactly as the preview would show it and writes the chosen pages (all by
// default) to a PDF file.  The continuous card fills its two columns as the
// settings' print option says unless --order chooses.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "cli/command_registry.h"
#include "cli/day_argument.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "print/batch_ring_print.h"
#include "print/continuous_card_print.h"
#include "print/page_model.h"
#include "print/ring_card_print.h"
#include "store/estimate.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#ifdef SORVIX_CLI_PDF
#include "print/ui/pdf_export.h"
#endif

namespace sorvix::cli {
namespace {

int Usage() {
  std::fprintf(stderr,
               "使い方: sorvix-cli print DATE --layout ring|continuous|batch --scope all|venue "
               "--out FILE.pdf [--pages 1,3] [--order columns|rows] [--ini FILE]\n");
  return 2;
}

// A path given on the command line, taken from the folder the command was
// started in when relative.
std::filesystem::path StartedPath(const std::string& text) {
  return ProgramFolder::FromStartFolder(text);
}

// "1,3,5" as page numbers; false when an item is not a positive number.
bool ParsePages(const std::string& text, std::vector<int>& pages) {
  std::string item;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ',') {
      item += text[i];
      continue;
    }
    if (item.empty() || item.size() > 4 ||
        item.find_first_not_of("0123456789") != std::string::npos)
      return false;
    pages.push_back(ReadInt(item));
    if (pages.back() < 1) return false;
    item.clear();
  }
  return true;
}

int Print(const Args& args) {
  Args positional =
      Positional(args, {"--ini", "--layout", "--scope", "--out", "--pages", "--order"});
  if (positional.size() != 1) return Usage();
  auto label = DateLabelArgument(positional[0]);
  if (!label) return 2;
  std::string layout = OptionValue(args, "--layout", "ring");
  std::string scopeArg = OptionValue(args, "--scope", "all");
  std::string out = OptionValue(args, "--out");
  if (layout != "ring" && layout != "continuous" && layout != "batch") {
    std::fprintf(stderr, "sorvix-cli: --layout は ring, continuous, batch のどれかです: %s\n",
                 layout.c_str());
    return 2;
  }
  std::string orderArg = OptionValue(args, "--order");
  if (!orderArg.empty() && orderArg != "columns" && orderArg != "rows") {
    std::fprintf(stderr, "sorvix-cli: --order は columns か rows です: %s\n", orderArg.c_str());
    return 2;
  }
  if (scopeArg != "all" && scopeArg != "venue") {
    std::fprintf(stderr, "sorvix-cli: --scope は all か venue です: %s\n", scopeArg.c_str());
    return 2;
  }
  if (out.empty()) return Usage();
  std::vector<int> pages;
  std::string pagesArg = OptionValue(args, "--pages");
  if (!pagesArg.empty() && !ParsePages(pagesArg, pages)) {
    std::fprintf(stderr, "sorvix-cli: --pages はページ番号の並び（例: 1,3）です: %s\n",
                 pagesArg.c_str());
    return 2;
  }

  auto loadedSettings = SettingsArgument(OptionValue(args, "--ini"));
  if (!loadedSettings) return 1;
  const SettingsFile& settings = *loadedSettings;
  auto day = LoadAnalysedDay(*label, settings);
  if (!day) return 1;

  // The preview's page model: 5 mm top margin, tenths of a millimetre.
  TPrevX prev(PdfPrinter(600, 1));
  prev.MarginTop = 50;
  PrintScope scope = scopeArg == "all" ? PrintScope::AllVenues : PrintScope::ByVenue;
  BlockOrder order =
      settings.ReadInteger("PrintOpt", "ColSet", 0) != 0 ? BlockOrder::Rows : BlockOrder::Columns;
  if (!orderArg.empty()) order = orderArg == "rows" ? BlockOrder::Rows : BlockOrder::Columns;
  PrintResult result;
  try {
    result = layout == "ring"    ? PrintRingCard(*day, scope, prev)
             : layout == "batch" ? PrintBatchRing(*day, scope, prev)
                                 : PrintContinuousCard(*day, scope, order, prev);
  } catch (const Error& e) {
    std::fprintf(stderr, "sorvix-cli: 印刷ページを作れません: %s\n", e.what());
    return 1;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "sorvix-cli: メモリが足りないため、印刷ページを作れませんでした\n");
    return 1;
  }
  if (!result.Printed) {
    std::fprintf(stderr, "sorvix-cli: %s\n", Utf8(result.Message).c_str());
    return 1;
  }
  prev.Title = result.Caption;
  if (pages.empty())
    for (int p = 1; p <= prev.PageCount(); ++p) pages.push_back(p);

#ifdef SORVIX_CLI_PDF
  // A write beyond the file size limit fails with EFBIG and is reported
  // like any other failed write, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  std::filesystem::path path = StartedPath(out);
  try {
    WritePagesPdf(prev, pages, path.string());
  } catch (const Error& e) {
    std::fprintf(stderr, "sorvix-cli: %s\n", e.what());
    return 1;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "sorvix-cli: メモリが足りないため、PDF を作れませんでした: %s\n",
                 path.string().c_str());
    return 1;
  }
  std::printf("%s: %s\n", Utf8(result.Caption).c_str(), path.string().c_str());
  for (int p : pages)
    std::printf("  %d/%d %s\n", p, prev.PageCount(),
                Utf8(result.Labels[static_cast<size_t>(p - 1)]).c_str());
  return 0;
#else
  std::fprintf(stderr, "sorvix-cli: この sorvix-cli は PDF を書けません（Qt なしでビルド）\n");
  return 1;
#endif
}

const CommandRegistration kPrint{
    "print",
    "print DATE --layout ring|continuous|batch --scope all|venue --out FILE.pdf "
    "[--pages 1,3] [--order columns|rows] [--ini FILE]  "
    "リング出馬表・連続出馬表・一括リング表を PDF に書き出す",
    &Print};

}  // namespace
}  // namespace sorvix::cli
