// sorvix-cli print DATE --layout ring|continuous|batch --scope all|venue
// --out FILE.pdf [--pages 1,3] [--order columns|rows] [--ini FILE]: loads a
// meeting date with its analysis, composes the chosen race-card print
// exactly as the preview would show it and writes the chosen pages (all by
// default) to a PDF file.  The continuous card fills its two columns as the
// settings' print option says unless --order chooses.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
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

// What the command line asks to print.
struct PrintRequest {
  Cp932Text label;         // the meeting date's label
  std::string layout;      // ring, continuous or batch
  std::string scope;       // all or venue
  std::string out;         // the PDF file as given
  std::string order;       // columns, rows, or empty for the settings' order
  std::vector<int> pages;  // empty: every page
};

// The date and the options; nullopt, after the message or the usage, for an
// argument that is missing or does not read.
std::optional<PrintRequest> ReadPrintRequest(const Args& args) {
  Args positional =
      Positional(args, {"--ini", "--layout", "--scope", "--out", "--pages", "--order"});
  if (positional.size() != 1) {
    Usage();
    return std::nullopt;
  }
  auto label = DateLabelArgument(positional[0]);
  if (!label) return std::nullopt;
  PrintRequest request;
  request.label = *label;
  request.layout = OptionValue(args, "--layout", "ring");
  request.scope = OptionValue(args, "--scope", "all");
  request.out = OptionValue(args, "--out");
  if (request.layout != "ring" && request.layout != "continuous" && request.layout != "batch") {
    std::fprintf(stderr, "sorvix-cli: --layout は ring, continuous, batch のどれかです: %s\n",
                 request.layout.c_str());
    return std::nullopt;
  }
  request.order = OptionValue(args, "--order");
  if (!request.order.empty() && request.order != "columns" && request.order != "rows") {
    std::fprintf(stderr, "sorvix-cli: --order は columns か rows です: %s\n",
                 request.order.c_str());
    return std::nullopt;
  }
  if (request.scope != "all" && request.scope != "venue") {
    std::fprintf(stderr, "sorvix-cli: --scope は all か venue です: %s\n", request.scope.c_str());
    return std::nullopt;
  }
  if (request.out.empty()) {
    Usage();
    return std::nullopt;
  }
  std::string pagesArg = OptionValue(args, "--pages");
  if (!pagesArg.empty() && !ParsePages(pagesArg, request.pages)) {
    std::fprintf(stderr, "sorvix-cli: --pages はページ番号の並び（例: 1,3）です: %s\n",
                 pagesArg.c_str());
    return std::nullopt;
  }
  return request;
}

// Composes the requested print of `day` into `prev`; false, after the
// message, when it cannot be made or there is nothing to print.
bool ComposePrint(const RaceDay& day, const PrintRequest& request, const SettingsFile& settings,
                  TPrevX& prev, PrintResult& result) {
  PrintScope scope = request.scope == "all" ? PrintScope::AllVenues : PrintScope::ByVenue;
  BlockOrder order =
      settings.ReadInteger("PrintOpt", "ColSet", 0) != 0 ? BlockOrder::Rows : BlockOrder::Columns;
  if (!request.order.empty())
    order = request.order == "rows" ? BlockOrder::Rows : BlockOrder::Columns;
  try {
    result = request.layout == "ring"    ? PrintRingCard(day, scope, prev)
             : request.layout == "batch" ? PrintBatchRing(day, scope, prev)
                                         : PrintContinuousCard(day, scope, order, prev);
  } catch (const std::exception& e) {
    PrintError(e, "印刷ページを作れません: ");
    return false;
  }
  if (!result.Printed) {
    std::fprintf(stderr, "sorvix-cli: %s\n", Utf8(result.Message).c_str());
    return false;
  }
  return true;
}

// Writes `pages` of `prev` to the PDF file `out` and lists them; the exit
// status.
int WritePdf(const TPrevX& prev, const std::vector<int>& pages, const PrintResult& result,
             const std::string& out) {
#ifdef SORVIX_CLI_PDF
  std::filesystem::path path = StartedPath(out);
  try {
    WritePagesPdf(prev, pages, path.string());
  } catch (const std::exception& e) {
    PrintError(e);
    return 1;
  }
  std::printf("%s: %s\n", Utf8(result.Caption).c_str(), path.string().c_str());
  for (int p : pages)
    std::printf("  %d/%d %s\n", p, prev.PageCount(),
                Utf8(result.Labels[static_cast<size_t>(p - 1)]).c_str());
  return 0;
#else
  (void)prev, (void)pages, (void)result, (void)out;
  std::fprintf(stderr, "sorvix-cli: この sorvix-cli は PDF を書けません（Qt なしでビルド）\n");
  return 1;
#endif
}

int Print(const Args& args) {
  std::optional<PrintRequest> request = ReadPrintRequest(args);
  if (!request) return 2;
  auto loadedSettings = SettingsArgument(OptionValue(args, "--ini"));
  if (!loadedSettings) return 1;
  const SettingsFile& settings = *loadedSettings;
  auto day = LoadAnalysedDay(request->label, settings);
  if (!day) return 1;

  // The preview's page model: 5 mm top margin, tenths of a millimetre.
  TPrevX prev(PdfPrinter(600, 1));
  prev.MarginTop = 50;
  PrintResult result;
  if (!ComposePrint(*day, *request, settings, prev, result)) return 1;
  prev.Title = result.Caption;
  std::vector<int> pages = request->pages;
  if (pages.empty())
    for (int p = 1; p <= prev.PageCount(); ++p) pages.push_back(p);
  return WritePdf(prev, pages, result, request->out);
}

const CommandRegistration kPrint{
    "print",
    "print DATE --layout ring|continuous|batch --scope all|venue --out FILE.pdf "
    "[--pages 1,3] [--order columns|rows] [--ini FILE]  "
    "リング出馬表・連続出馬表・一括リング表を PDF に書き出す",
    &Print};

}  // namespace
}  // namespace sorvix::cli
