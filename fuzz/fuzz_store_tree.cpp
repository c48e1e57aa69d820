// The loader over a damaged LocalStore: the input is a small store tree,
// entries "@@@ RELATIVE/PATH" on a line of their own followed by the file's
// bytes up to the next entry.  Every meeting date found (at most two) is
// loaded with the whole analysis (the estimate source follows the
// input's size, odd: predicted odds).  A damaged
// file may end a load with an Error, nothing else.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/io_error.h"
#include "fuzz/fuzz_home.h"
#include "store/meeting_list.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"

using namespace sorvix;

namespace {

constexpr std::string_view kEntry = "@@@ ";

// A relative path that stays inside the home: no absolute path, no "..",
// no empty or "." part.
bool SafeRelative(std::string_view path) {
  if (path.empty() || path.size() > 200 || path.front() == '/') return false;
  while (!path.empty()) {
    size_t slash = path.find('/');
    std::string_view part = path.substr(0, slash);
    if (part.empty() || part == "." || part == ".." || part.find('\0') != part.npos) return false;
    path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
  }
  return true;
}

void WriteTree(std::string_view input) {
  size_t at = input.find(kEntry);
  int files = 0;
  while (at != std::string_view::npos && files++ < 400) {
    size_t nameEnd = input.find('\n', at);
    if (nameEnd == std::string_view::npos) return;
    std::string_view name = input.substr(at + kEntry.size(), nameEnd - at - kEntry.size());
    if (!name.empty() && name.back() == '\r') name.remove_suffix(1);
    size_t next = input.find(std::string("\n").append(kEntry), nameEnd);
    size_t end = next == std::string_view::npos ? input.size() : next + 1;
    if (SafeRelative(name))
      fuzz::WriteFuzzFile(fuzz::FuzzHome() / std::string(name),
                          input.substr(nameEnd + 1, end - nameEnd - 1));
    at = next == std::string_view::npos ? next : next + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<RaceDay> day = RaceDay::Create();
  static const std::vector<AnalysisStep> analysis = DayAnalysisSteps(SignPoints::Defaults());
  fuzz::ResetFuzzHome();
  WriteTree(std::string_view(reinterpret_cast<const char*>(data), size));

  std::vector<Cp932Text> dates = ListMeetingDates();
  if (dates.size() > 2) dates.resize(2);
  for (const Cp932Text& label : dates) {
    LoadOptions options;
    options.source = size % 2 ? EstimateSource::PredictedOdds : EstimateSource::RacehorseData;
    options.analysis = analysis;
    try {
      LoadRaceDay(*day, label, options);
    } catch (const Error&) {
    }
  }
  return 0;
}
