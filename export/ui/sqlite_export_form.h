// SQLite へ書き出し: asks for a file and writes every stored meeting date
// into it (export/sqlite_export.h) with the sign points of ユーザー設定 and
// the estimate source of the settings, on a worker thread while a progress
// bar runs; 中止 stops after the date being written (the file keeps every
// date written before, and a later export goes on from there).
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "app/ui/background_run.h"
#include "export/sqlite_export.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace sorvix {

class TSqliteExportForm : public QWidget {
  Q_OBJECT
 public:
  explicit TSqliteExportForm(QWidget* parent = nullptr);
  ~TSqliteExportForm() override;

  // The one window of `parent` (made on first use): asks for the file and
  // starts the export (nothing when the user cancels the question); when an
  // export runs already, shows it.
  static TSqliteExportForm* Open(QWidget* parent);

  // Starts the export into `path`; false when one runs already.
  bool Start(const QString& path);
  void Cancel();  // 中止
  bool Running() const { return run_.Running(); }
  // The last finished export (nullptr before the first or after a failure).
  const SqliteExportResult* Result() const { return result_.get(); }

  // Where the file is asked for (tests answer without a dialog).
  std::function<QString()> AskSavePath;

 signals:
  // An export ended (finished, stopped or failed).
  void Finished();

 private:
  void Done(std::shared_ptr<SqliteExportResult> result, const QString& failure);
  void SetBusy(bool busy);

  QLabel* file_label_ = nullptr;          // FileLabel
  QLabel* settings_label_ = nullptr;      // SettingsLabel
  QLabel* status_label_ = nullptr;        // StatusLabel
  QProgressBar* progress_bar_ = nullptr;  // Progress
  QPushButton* cancel_button_ = nullptr;  // CancelButton
  QPushButton* close_button_ = nullptr;   // CloseButton

  std::shared_ptr<SqliteExportResult> result_;
  BackgroundRun run_;  // last: stops and waits for the export first
};

}  // namespace sorvix
