#include "export/sqlite_export.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "codes/cp932.h"
#include "common/error.h"
#include "export/export_schema.h"
#include "export/export_writer.h"
#include "export/exported_date.h"
#include "export/sqlite_database.h"
#include "results/backtest.h"
#include "store/load_progress.h"
#include "store/meeting_list.h"
#include "store/race_day_loader.h"
#include "store/run_ledger.h"

namespace sorvix {

const char* EstimateSourceName(EstimateSource source) {
  return source == EstimateSource::PredictedOdds ? "予想オッズデータ" : "競走馬データ";
}

namespace {

// Thrown from a load's progress step once the export is stopped.
struct Stopped {};

class StopProgress : public LoadProgress {
 public:
  explicit StopProgress(const std::atomic<bool>& stop) : stop_(stop) {}
  void ProcessEvents() override {
    if (stop_.load(std::memory_order_relaxed)) throw Stopped{};
  }

 private:
  const std::atomic<bool>& stop_;
};

// One date's load: its rows, or why it could not be loaded.
struct LoadedDate {
  std::optional<ExportedDate> rows;
  std::string failure;
};

// The dates loaded by parallel workers and handed to the one writer in date
// order; workers keep at most a few dates ahead of the writer.
class DatePipeline {
 public:
  DatePipeline(const SqliteExportOptions& options, std::vector<Cp932Text> dates)
      : options_(options), dates_(std::move(dates)), loaded_(dates_.size()) {}
  ~DatePipeline() { Stop(); }

  void Start(int workers) {
    window_ = static_cast<size_t>(2 * workers + 2);
    // The estimate as サイン検証 takes it: counts before each date's meeting.
    if (options_.source == EstimateSource::RacehorseData && !dates_.empty())
      ledger_ = RunLedger::Read(ListMeetingDates(), dates_.front());
    for (int w = 0; w < workers; ++w) threads_.emplace_back([this] { Work(); });
  }

  // Date `i`'s load, waiting for it; nullopt once the export is cancelled.
  std::optional<LoadedDate> Take(size_t i) {
    std::unique_lock lock(mutex_);
    while (!loaded_[i]) {
      if (Cancelled()) return std::nullopt;
      if (!fatal_.empty()) throw Error(fatal_);
      ready_.wait_for(lock, std::chrono::milliseconds(50));
    }
    LoadedDate date = std::move(*loaded_[i]);
    loaded_[i].reset();
    taken_ = i + 1;
    room_.notify_all();
    return date;
  }

  void Stop() {
    {
      // Under the lock, so that a worker about to wait for room sees it.
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    room_.notify_all();
    for (std::thread& t : threads_) t.join();
    threads_.clear();
  }

  bool Cancelled() const { return options_.cancel && options_.cancel->load(); }

 private:
  void Work();
  LoadedDate LoadOne(BacktestDateLoader& loader, const Cp932Text& label);

  const SqliteExportOptions& options_;
  std::vector<Cp932Text> dates_;
  std::vector<std::optional<LoadedDate>> loaded_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable ready_, room_;
  size_t next_ = 0, taken_ = 0, window_ = 4;
  std::atomic<bool> stop_{false};
  std::string fatal_;
  std::optional<RunLedger> ledger_;
};

LoadedDate DatePipeline::LoadOne(BacktestDateLoader& loader, const Cp932Text& label) {
  LoadedDate date;
  try {
    LoadOutcome outcome = loader.Load(label);
    if (outcome.loaded)
      date.rows = ExportedDateOf(loader.day(), loader.finish());
    else
      date.failure = Utf8(outcome.message);
  } catch (const Stopped&) {
    throw;
  } catch (const std::exception& e) {
    date.failure = AsError(e).what();
  }
  return date;
}

void DatePipeline::Work() {
  StopProgress progress(stop_);
  std::optional<BacktestDateLoader> loader;
  try {
    loader.emplace(options_.points, options_.source, &progress, ledger_ ? &*ledger_ : nullptr);
  } catch (const std::exception& e) {
    std::lock_guard lock(mutex_);
    fatal_ = AsError(e).what();
    return;
  }
  for (;;) {
    size_t i;
    {
      std::unique_lock lock(mutex_);
      room_.wait(lock, [&] { return stop_ || next_ < taken_ + window_; });
      if (stop_ || next_ >= dates_.size()) return;
      i = next_++;
    }
    try {
      LoadedDate date = LoadOne(*loader, dates_[i]);
      std::lock_guard lock(mutex_);
      loaded_[i] = std::move(date);
      ready_.notify_all();
    } catch (const Stopped&) {
      return;
    }
  }
}

std::vector<Cp932Text> DatesToWrite(const SqliteExportOptions& options, SqliteDatabase& db,
                                    SqliteExportResult& result) {
  std::vector<Cp932Text> dates = options.dates;
  std::sort(dates.begin(), dates.end());
  dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
  std::set<std::string> present = ExportedDates(db);
  std::vector<Cp932Text> todo;
  for (Cp932Text& label : dates) {
    if (present.count(IsoDateOfLabel(label)))
      ++result.present;
    else
      todo.push_back(std::move(label));
  }
  return todo;
}

int WorkersFor(int asked, size_t dates) {
  int workers =
      asked > 0 ? asked : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return std::max(1, std::min(workers, static_cast<int>(dates)));
}

void WriteAll(const SqliteExportOptions& options, SqliteDatabase& db, std::vector<Cp932Text> todo,
              SqliteExportResult& result) {
  ExportWriter writer(db);
  std::vector<Cp932Text> labels = todo;
  DatePipeline pipeline(options, std::move(todo));
  pipeline.Start(WorkersFor(options.workers, labels.size()));
  const int total = static_cast<int>(labels.size());
  for (size_t i = 0; i < labels.size(); ++i) {
    std::optional<LoadedDate> date = pipeline.Take(i);
    if (!date || pipeline.Cancelled()) {
      result.cancelled = true;
      break;
    }
    if (date->rows) {
      writer.Write(*date->rows);
      ++result.added;
      result.races += static_cast<int>(date->rows->races.size());
      for (const ExportedRace& race : date->rows->races)
        result.runners += static_cast<int>(race.runnerRows.size());
    } else {
      result.failed.emplace_back(labels[i], date->failure);
    }
    if (options.progress) options.progress(static_cast<int>(i) + 1, total, labels[i]);
  }
  pipeline.Stop();
}

}  // namespace

SqliteExportResult RunSqliteExport(const SqliteExportOptions& options) {
  SqliteExportResult result;
  {
    SqliteDatabase db(options.file);
    // A write-ahead log: a killed export loses only the date it was
    // writing, and the next open of the file rolls that back.
    db.TextOf("PRAGMA journal_mode = WAL");
    db.Execute("PRAGMA synchronous = NORMAL");
    PrepareExportFile(db, options.points, options.source);
    std::vector<Cp932Text> todo = DatesToWrite(options, db, result);
    // Adding at least as many dates as the file holds: the indexes are
    // built after the rows.  Fewer: kept up as the rows go in.
    if (!todo.empty() && todo.size() >= static_cast<size_t>(result.present)) DropIndexes(db);
    try {
      if (!todo.empty()) WriteAll(options, db, std::move(todo), result);
    } catch (...) {
      try {
        CreateIndexes(db);
      } catch (...) {
        // The next export makes them.
      }
      throw;
    }
    CreateIndexes(db);
    // The file ends as one file again (no log beside it), for tools that
    // read it from a folder they cannot write.  A reader holding it open
    // leaves it in the log's mode, which every SQLite reads as well.
    try {
      db.TextOf("PRAGMA journal_mode = DELETE");
    } catch (const Error&) {
    }
  }
  std::error_code ec;
  auto size = std::filesystem::file_size(options.file, ec);
  result.fileBytes = ec ? 0 : static_cast<int64_t>(size);
  return result;
}

}  // namespace sorvix
