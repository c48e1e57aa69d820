// AcquisitionRun: one accumulating download of JV-Data into the LocalStore.
//
//   Idle → Start() → (Downloading: Tick() every 10 ms polls JVStatus) →
//   Reading (the JVRead loop, records routed to their files) → Closed.
//
// A download count of 0 goes from Start() straight to reading; the read
// runs inside Start() or the Tick() that sees the download complete, and
// calls the observer's ProcessEvents() before each record so that a window
// stays live and Cancel() can act.  The window drives Tick() from its timer
// while TimerRunning(); a command-line loop simply calls Tick() until the
// run leaves Downloading.
//
// Store files are written through a write-back cache: each touched file is
// written once when the read ends (also when it ends by cancel or a JVRead
// error, so records read so far are kept), atomically.  JvDataGet/LastTime
// is written only after a complete read and after every file is on disk, so
// an interrupted run starts again from the same date next time.
//
// A run holds the ProgramFolder's writer lock from Start() until it closes;
// when another program holds it, the observer decides whether to wait.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "acquisition/acquisition_observer.h"
#include "acquisition/acquisition_routing.h"
#include "acquisition/jv_link.h"
#include "app/home_lock.h"
#include "app/settings_file.h"
#include "store/store_writer.h"

namespace sorvix {

class AcquisitionRun {
 public:
  enum class State { Idle, Downloading, Reading, Closed };
  enum class Outcome {
    None,       // not finished yet
    Completed,  // every record read and stored
    NoData,     // "最新のデータがありません。"
    Cancelled,  // the user cancelled
    JvError,    // JVOpen, JVStatus or JVRead failed
    StoreError  // a store file could not be read or written
  };

  // `storeBudget`: bytes of pending store changes above which the cache is
  // written early.
  AcquisitionRun(JvLink& link, AcquisitionObserver& observer, SettingsFile& settings,
                 size_t storeBudget = StoreWriter::kDefaultBudget);

  // Starts a run: the data since `fromTime` ("yyyymmddhhnnss"), setup data
  // (option 3) or normal data (option 1); `currentYear` gives Year15.
  // Ignored while a run is downloading or reading.
  void Start(const std::string& fromTime, bool setupData, int currentYear);

  // One poll of the download status (the 10 ms timer).
  void Tick();

  // The user confirmed データ取込み中止.  During the download the run ends at
  // once (JVCancel, then JVClose so the component is free for the next
  // open); during the read the loop stops before the next record and the run
  // closes normally.
  void Cancel();

  State state() const { return state_; }
  Outcome outcome() const { return outcome_; }
  bool TimerRunning() const { return timer_; }
  // JVClose's result of the last close (0 when none failed).
  int closeResult() const { return close_result_; }

  int readCount() const { return read_count_; }
  int downloadCount() const { return download_count_; }
  const std::string& lastFileTimestamp() const { return last_file_timestamp_; }

 private:
  void ReadAll();
  // Reads until 0, an error or the cancel flag; returns the outcome.
  Outcome ReadLoop();
  void Route(const std::string& record, const std::string& fileName);
  void Complete();
  void CloseRun();
  void SetTimer(bool on);
  void DownloadBar(int position, int maximum);
  void ReadBar(int position, int maximum);
  void ReportJvResult(Cp932View operationPrefix, const std::string& operation, int code);

  JvLink& link_;
  AcquisitionObserver& observer_;
  SettingsFile& settings_;
  StoreWriter writer_;
  std::optional<HomeLock> lock_;

  State state_ = State::Idle;
  Outcome outcome_ = Outcome::None;
  bool cancel_ = false;
  bool timer_ = false;
  RoutingWindow window_;
  int read_count_ = 0;
  int download_count_ = 0;
  int files_read_ = 0;
  std::string last_file_timestamp_;
  int close_result_ = 0;
  int download_max_ = 100;
  int read_max_ = 100;
};

}  // namespace sorvix
