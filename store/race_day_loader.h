// The race-day loader: choosing a meeting date resets the RaceDay and fills
// it again from the LocalStore (races, runners, their horse, jockey and
// trainer records, their last ten runs, the date's predicted odds and save
// marks), builds the race list, computes the estimated ability and then runs
// the analysis steps race by race.
//
// A damaged stored file (shorter than a block the loader must read, not a
// whole number of records, not a regular file) ends the load with an Error
// whose UTF-8 message names the file; the RaceDay is then left reset with
// blank records, so the caller can go on.  A damaged line costs only
// itself: a race line whose date or race number is not one, a past run that
// is not a whole SE line with a real date (or a past-run file of other
// line lengths) is skipped with a warning, also noted in ErrorLog.txt.
// Fields that would name a file (pedigree numbers, jockey and trainer
// codes) are used only when they are digits of their width; anything else
// leaves that element blank, like a missing file.  The OddsFile is read only
// for the predicted-odds estimate, line by line, short or long lines read
// with blanks.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codes/cp932_text.h"
#include "store/estimate.h"
#include "store/load_progress.h"

namespace sorvix {

class RaceDay;
class RunLedger;

// What an analysis step sees of the load that runs it.
struct LoadContext {
  Cp932View dateLabel;
  EstimateSource source;
  LoadProgress& progress;
};

// One analysis step run after the date is read: a step of the day runs
// once, a step of each race once per race-list row, in list order, given
// the row's race slot (row i is slot i).
struct AnalysisStep {
  using DayRun = std::function<void(RaceDay&, const LoadContext&)>;
  using RaceRun = std::function<void(RaceDay&, const LoadContext&, int slot)>;
  static AnalysisStep Day(DayRun run) { return {std::move(run), {}}; }
  static AnalysisStep EachRace(RaceRun run) { return {{}, std::move(run)}; }

  DayRun runDay;    // set for a step of the day
  RaceRun runRace;  // set for a step of each race
};

// Stored files that a run of loads reads once for all its dates: the
// jockey and trainer files and the RaceFiles of earlier runs, each kept in
// memory with the first block of every key (a missing file is remembered
// as missing).  Only for loads while nothing writes the store, such as a
// backtest: a file changed or made after it was kept is not read again.
// The kept bytes stay under a bound (the cache starts over past it).  One
// cache serves one thread.
class StoreFileCache {
 public:
  StoreFileCache();
  ~StoreFileCache();
  StoreFileCache(const StoreFileCache&) = delete;
  StoreFileCache& operator=(const StoreFileCache&) = delete;

  struct Files;
  Files& files() { return *files_; }

 private:
  std::unique_ptr<Files> files_;
};

struct LoadOptions {
  EstimateSource source = EstimateSource::RacehorseData;
  LoadProgress* progress = nullptr;    // none: nothing is reported
  std::vector<AnalysisStep> analysis;  // in the order they run
  // None: each load reads the files it needs afresh.
  StoreFileCache* cache = nullptr;
  // The race-list row shown before the load: a reload selects it again
  // (see RowToSelect).
  int lastRow = 0;
  // True: the load writes nothing, in the store or beside it (a backtest,
  // an export).  A missing SaveMarkFile reads as no marks and is not made,
  // a horse kept only in the older layout is converted in memory, and the
  // damaged lines are left out of ErrorLog.txt (the outcome still has them).
  bool readOnly = false;
  // When set, the result counts are taken back to how they stood before the
  // date's meeting (see RunLedger) before the estimated ability is computed.
  const RunLedger* countsBefore = nullptr;
};

struct LoadOutcome {
  // False when the date has no RaceFile; `message` is then the text to show
  // (information box, OK button).
  bool loaded = false;
  Cp932Text message;
  // The race-list row to select (−1: the list is empty) and the race
  // stepper's maximum (rows − 1).
  int selectedRow = -1;
  int stepperMax = -1;
  // The damaged lines the load went past (UTF-8, each naming the file).
  std::vector<std::string> warnings;
  // False when the SaveMarkFile could not be made (a read-only folder): the
  // day has no marks, and marks cannot be saved.
  bool marksWritable = true;
  // With `countsBefore`: the counts of horses, jockeys and trainers that
  // could not be taken back (their records do not hold the stored runs).
  int countsNotRebuilt = 0;
};

// Loads the date `dateLabel` ("2024年05月05日") into `day`.  The
// outcome names the row to select, which the caller keeps as its selection
// (the model holds none).
LoadOutcome LoadRaceDay(RaceDay& day, Cp932View dateLabel, const LoadOptions& options);

// The row a reload selects: the row shown before (`lastRow`), or the last
// row when the list is shorter; −1 for an empty list.
int RowToSelect(int lastRow, int rows);

}  // namespace sorvix
