// The real-time results fetch (the main window's 結果情報 button): downloads
// the results and payouts published so far for the loaded date through
// JVRTOpen("0B12", yyyymmdd) and writes them into the date's store files:
//
//   RA → RaceFile    only when the file exists; upsert, blank first line dropped
//   SE → RunnerFile  only when the file exists; the horse's line replaced
//   HR → PayoutFile  upsert, the file created when missing
//
// Every other record is dropped.  Progress and errors go to the status
// label `DLlabel` through the observer; errors also go to ErrorLog.txt.
// When no step failed the payout import runs again on the loaded date and
// the caller selects the current race again.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "acquisition/jv_link.h"
#include "app/error_log.h"
#include "codes/cp932_text.h"
#include "common/error.h"
#include "results/payout_import.h"

namespace sorvix {

class RaceDay;

class RealtimeFetchObserver {
 public:
  virtual ~RealtimeFetchObserver() = default;
  // The new text of `DLlabel` (empty clears it).
  virtual void OnLabel(Cp932View /*text*/) {}
  // The window processes its pending messages here (the cancel flag may be
  // set from there).
  virtual void ProcessEvents() {}
  virtual void OnBeep() {}
  // A store file could not be read or written (UTF-8 text).
  virtual void OnError(const Error& /*error*/) {}
  // A record of a stored type was not stored: `reason` (UTF-8) says why.
  virtual void OnSkippedRecord(const std::string& /*recordType*/, const std::string& /*reason*/,
                               Cp932View /*fileName*/) {}
  // Another program is writing to this ProgramFolder (`message`, UTF-8).
  // Return true to wait until it is done, false to give up: the fetch then
  // fails with OnError(error).
  virtual bool WaitForOtherWriter(const std::string& /*message*/) { return false; }
};

struct RealtimeFetchOutcome {
  // JVRTOpen was called (a date was loaded).
  bool started = false;
  // A JV-Link call or a store file failed; the payout import did not run.
  bool failed = false;
  // The payout import ran on the loaded date.
  bool payoutsImported = false;
  PayoutImportOutcome payouts;
  // One line per stored record: the record type and the file name.
  std::vector<Cp932Text> stored;
};

class RealtimeFetch {
 public:
  using Clock = std::function<std::time_t()>;

  RealtimeFetch(
      JvLink& link, ErrorLog& log, RealtimeFetchObserver& observer,
      Clock clock = [] { return std::time(nullptr); })
      : link_(link), log_(log), observer_(observer), clock_(std::move(clock)) {}

  // 結果情報 (KekkaBtnClick) on the loaded date of `day`, with race slot
  // `selectedSlot` selected in the window (an open error names that race,
  // the first one when the slot is outside 0..35).  Nothing happens when no
  // date is loaded (no race-list rows, or no date label).
  RealtimeFetchOutcome FetchResults(RaceDay& day, int selectedSlot);

  // Stops the read before the next record.
  void Cancel() { cancel_ = true; }

 private:
  // Returns false when a record could not be stored.
  bool Read(RealtimeFetchOutcome& outcome);
  // JVClose; returns false when it failed.
  bool Close();
  void Label(Cp932Text text);
  void LogError(Cp932View text);

  JvLink& link_;
  ErrorLog& log_;
  RealtimeFetchObserver& observer_;
  Clock clock_;
  bool cancel_ = false;
  Cp932Text label_;
};

}  // namespace sorvix
