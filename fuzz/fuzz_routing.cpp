// Downloaded records into the LocalStore: the input is cut into lines, each
// routed as one record (type, kind, date window, lengths decide where it
// goes), and the pending store files are then written.  Only Error may end
// a routing; every date stored must load again (the dates an input touched
// after each input, all of them every 32nd).  The store is emptied every
// few hundred inputs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "acquisition/acquisition_routing.h"
#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/io_error.h"
#include "fuzz/fuzz_home.h"
#include "store/meeting_list.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/store_paths.h"
#include "store/store_writer.h"

using namespace sorvix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int runs = 0;
  if (runs++ % 256 == 0) fuzz::ResetFuzzHome();

  std::string_view input(reinterpret_cast<const char*>(data), size);
  RoutingWindow window;
  window.fromYmd = 19900101;
  window.year15 = "1985";

  StoreWriter writer;
  // The dates this input's race records name: the ones whose files it can
  // have changed.
  std::set<std::string> touched;
  try {
    int records = 0;
    while (!input.empty() && records++ < 64) {
      size_t end = input.find('\n');
      end = end == std::string_view::npos ? input.size() : end + 1;
      std::string_view record = input.substr(0, end);
      if (record.size() >= 19) touched.insert(DateLabelFromYmd(record.substr(11, 8)).bytes());
      RouteAcquiredRecord(record, window, writer);
      input.remove_prefix(end);
    }
    writer.Flush();
  } catch (const Error&) {
  }
  // Whatever was stored loads again: a stored record never makes a date
  // unloadable (a damaged line costs itself, never the day).  Each input
  // loads the dates it touched; every 32nd loads them all, since horse,
  // jockey, trainer and past-run files are shared by every date.
  // One day reused as the window reuses its own: making a day clears
  // several megabytes, which cost most of each run.
  static std::unique_ptr<RaceDay> day = RaceDay::Create();
  const bool all = runs % 32 == 0;
  for (const Cp932Text& label : ListMeetingDates()) {
    if (!all && !touched.count(label.bytes())) continue;
    LoadOptions options;
    options.source = EstimateSource::PredictedOdds;
    options.analysis = DayAnalysisSteps(SignPoints::Defaults());
    try {
      LoadRaceDay(*day, label, options);
    } catch (const Error&) {
      // Only a file this fuzzer never writes whole (none) may fail.
      std::abort();
    }
  }
  return 0;
}
