// sorvix-pagedump --home DIR --out FOLDER [DATE...]: loads every meeting
// date of the store (or the dates given, as `sorvix-cli dates` prints them)
// with its whole analysis, composes the ring race card, the batch ring table
// and the continuous race card (both block orders) for the whole day and
// venue by venue, exactly as `sorvix-cli print` composes them, and writes
// each recorded page model as text: one file per date, layout and scope,
// one line per drawing operation with its pen, brush and font.  Texts are
// written as their CP932 bytes, so two dumps are equal exactly when the
// recorded pages are.
//
// The output format is what tools/check-identical.py compares between two
// builds; keep it stable.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "codes/cp932.h"
#include "print/batch_ring_print.h"
#include "print/continuous_card_print.h"
#include "print/page_model.h"
#include "print/ring_card_print.h"
#include "store/estimate.h"
#include "store/meeting_list.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"

namespace {

using namespace sorvix;

// A text field: its CP932 bytes, with '%', the line break and the carriage
// return written as %25, %0A and %0D (none of them is ever the second byte
// of a CP932 character, so the text stays readable as CP932).
std::string Field(Cp932View text) {
  std::string out;
  for (char c : text.bytes()) {
    if (c == '%')
      out += "%25";
    else if (c == '\n')
      out += "%0A";
    else if (c == '\r')
      out += "%0D";
    else
      out += c;
  }
  return out;
}

const char* KindName(PageOpKind kind) {
  switch (kind) {
    case PageOpKind::Text:
      return "text";
    case PageOpKind::Line:
      return "line";
    case PageOpKind::Rectangle:
      return "rect";
  }
  return "?";
}

void WriteDump(std::ostream& out, const PrintResult& result, const TPrevX& prev) {
  out << "printed " << result.Printed << "\n";
  out << "message " << Field(result.Message) << "\n";
  out << "caption " << Field(result.Caption) << "\n";
  out << "pages " << prev.PageCount() << " labels " << result.Labels.size() << "\n";
  const PrinterInfo& printer = prev.Printer();
  out << "printer " << printer.PaperSize << " " << printer.Orientation << " " << printer.PaperWidth
      << "x" << printer.PaperHeight << " " << printer.PrintableWidth << "x"
      << printer.PrintableHeight << "\n";
  for (size_t p = 0; p < prev.Pages().size(); ++p) {
    const RecordedPage& page = prev.Pages()[p];
    out << "page " << p + 1 << " " << page.Width << "x" << page.Height << " dpi " << page.FontDpi
        << " ops " << page.Ops.size() << " label "
        << (p < result.Labels.size() ? Field(result.Labels[p]) : std::string("-")) << "\n";
    for (const PageOp& op : page.Ops) {
      out << KindName(op.Kind) << " " << op.X1 << "," << op.Y1 << " " << op.X2 << "," << op.Y2
          << " pen " << std::hex << op.Pen.Color << std::dec << "/" << op.Pen.Width << "/"
          << static_cast<int>(op.Pen.Style) << " brush " << std::hex << op.Brush.Color << std::dec
          << "/" << static_cast<int>(op.Brush.Style) << " font " << Field(op.Font.Name) << "/"
          << op.Font.Size << "/" << op.Font.Bold << "/" << op.Font.Underline << "/" << std::hex
          << op.Font.Color << std::dec;
      if (op.Kind == PageOpKind::Text) out << " text " << Field(op.Text);
      out << "\n";
    }
  }
}

bool DumpDate(sorvix::Cp932View label, const std::filesystem::path& folder) {
  SettingsFile settings;
  LoadOptions options;
  options.source = ReadEstimateSource(settings);
  options.analysis = DayAnalysisSteps(SignPoints::Load(settings));
  auto day = RaceDay::Create();
  LoadOutcome outcome = LoadRaceDay(*day, label, options);
  if (!outcome.loaded) {
    std::fprintf(stderr, "sorvix-pagedump: %s: %s\n", Utf8(label).c_str(),
                 Utf8(outcome.message).c_str());
    return false;
  }
  struct Print {
    const char* name;
    PrintScope scope;
    int kind;  // 0 ring, 1 batch, 2 continuous by columns, 3 by rows
  };
  const Print prints[] = {
      {"ring-all", PrintScope::AllVenues, 0},
      {"ring-venue", PrintScope::ByVenue, 0},
      {"batch-all", PrintScope::AllVenues, 1},
      {"batch-venue", PrintScope::ByVenue, 1},
      {"continuous-all", PrintScope::AllVenues, 2},
      {"continuous-venue", PrintScope::ByVenue, 2},
      {"continuous-rows-all", PrintScope::AllVenues, 3},
      {"continuous-rows-venue", PrintScope::ByVenue, 3},
  };
  for (const Print& print : prints) {
    // The page model of `sorvix-cli print`: A4 at 600 dpi, 5 mm top margin.
    TPrevX prev(PdfPrinter(600, 1));
    prev.MarginTop = 50;
    PrintResult result;
    switch (print.kind) {
      case 0:
        result = PrintRingCard(*day, print.scope, prev);
        break;
      case 1:
        result = PrintBatchRing(*day, print.scope, prev);
        break;
      default:
        result = PrintContinuousCard(
            *day, print.scope, print.kind == 2 ? BlockOrder::Columns : BlockOrder::Rows, prev);
    }
    std::filesystem::path path = folder / (Utf8(label) + "-" + print.name + ".txt");
    std::ofstream out(path, std::ios::binary);
    WriteDump(out, result, prev);
    out.close();
    if (!out) {
      std::fprintf(stderr, "sorvix-pagedump: 書き込めません: %s\n", path.string().c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string home, out;
  std::vector<sorvix::Cp932Text> dates;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--home" || arg == "--out") && i + 1 < argc)
      (arg == "--home" ? home : out) = argv[++i];
    else if (!arg.empty() && arg[0] != '-')
      dates.push_back(sorvix::Cp932(arg));
    else {
      std::fprintf(stderr, "使い方: sorvix-pagedump --home DIR --out FOLDER [DATE...]\n");
      return 2;
    }
  }
  if (home.empty() || out.empty()) {
    std::fprintf(stderr, "使い方: sorvix-pagedump --home DIR --out FOLDER [DATE...]\n");
    return 2;
  }
  try {
    sorvix::ProgramFolder::Resolve(home, argv[0]);
    std::filesystem::create_directories(out);
    if (dates.empty()) dates = sorvix::ListMeetingDates();
    for (const sorvix::Cp932Text& label : dates)
      if (!DumpDate(label, out)) return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sorvix-pagedump: %s\n", e.what());
    return 1;
  }
  return 0;
}
