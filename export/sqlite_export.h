// The SQLite export (SQLite へ書き出し, `sorvix-cli export --sqlite`): every
// stored meeting date of a range, loaded and analysed as the backtest does
// (estimates as of the date), written into one SQLite file that any tool
// can query: meeting days, races, runners with their signs, sign index,
// ranks, estimate and marks, ring rows, proposed tickets with what each
// paid, payouts, code tables and the sign points and estimate source used.
//
// Each date is written in a transaction of its own, so an interrupted
// export leaves every date it finished whole and the next run goes on from
// there; dates already in the file with results are not written again (a
// date written before its results came is written anew).  A file written
// with other sign points or another estimate source is refused, never
// mixed.  The store is only read.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/sign_points.h"
#include "codes/cp932_text.h"
#include "store/estimate.h"

namespace sorvix {

struct SqliteExportOptions {
  std::filesystem::path file;
  std::vector<Cp932Text> dates;  // DateLabels, any order
  SignPoints points = SignPoints::Defaults();
  EstimateSource source = EstimateSource::RacehorseData;
  // Parallel loads; 0: one per core.  The file is written by one thread,
  // in date order.
  int workers = 0;
  // Called after each date is written or found in the file (from the
  // calling thread): dates done, dates in all, the date just done.
  std::function<void(int done, int total, Cp932View label)> progress;
  // Set to stop after the date being written; the file keeps every date
  // written before.
  const std::atomic<bool>* cancel = nullptr;
};

struct SqliteExportResult {
  int added = 0;    // dates written now
  int present = 0;  // dates the file held already with results
  int races = 0;    // races written now
  int runners = 0;  // runners written now
  // Dates that could not be loaded: label and the UTF-8 reason (not
  // written; the next run tries them again).
  std::vector<std::pair<Cp932Text, std::string>> failed;
  bool cancelled = false;
  int64_t fileBytes = 0;  // the file's size at the end
};

// Runs the export.  Throws Error when the file cannot be opened or written,
// is not an export of this program, or was written with other sign points
// or another estimate source (the message says which and what to do).
SqliteExportResult RunSqliteExport(const SqliteExportOptions& options);

// The Japanese name of an estimate source (競走馬データ, 予想オッズデータ).
const char* EstimateSourceName(EstimateSource source);

}  // namespace sorvix
