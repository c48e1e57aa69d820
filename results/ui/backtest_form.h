// サイン検証: the backtest window.  The user picks a range of stored meeting
// dates (all of them at first) and the estimate source, sees the sign
// points in use, and 実行 loads and analyses every date on the worker
// threads of the core while a progress bar runs; 中止 stops within a day's
// work.  The result shows as tables (signs, ranks and marks, tickets) for
// the whole range or one month or venue, as two charts (return rate per
// sign against the 100 % line; stake against cumulative return per bet
// type over time) and can be saved as CSV and the charts as PNG.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "app/ui/background_run.h"
#include "app/ui/save_dialog.h"
#include "results/backtest.h"
#include "results/backtest_figures.h"
#include "results/ui/backtest_charts.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QVBoxLayout;

namespace sorvix {

class TBacktestForm : public QWidget {
  Q_OBJECT
 public:
  explicit TBacktestForm(QWidget* parent = nullptr);
  ~TBacktestForm() override;

  // The one window of `parent` (made on first use), shown and raised.
  static TBacktestForm* Open(QWidget* parent);

  // Lists the stored dates again (the range keeps its choice when it can).
  void ListDates();
  // 実行 and 中止.
  void Run();
  void Cancel();
  bool Running() const { return run_.Running(); }
  // The last finished run (nullptr before the first).
  const BacktestResult* Result() const { return result_.get(); }

  // CSV保存 and PNG保存 to `path`; false after telling the user why not.
  bool SaveCsv(const QString& path);
  bool SaveChartPng(int chart, const QString& path);  // 0 return rate, 1 stake/return

  // Where the save buttons ask for a file (tests answer without a dialog).
  std::function<QString(const QString& caption, const QString& filter)> AskSavePath;

 signals:
  // A run ended (finished or stopped); Result() holds it.
  void Finished();

 private:
  // The rows of the window, top to bottom, each added to `layout`: the
  // range, the estimate's source and 実行/中止; the points and the source's
  // note; the progress; the grouping with CSV and PNG saves; the result
  // tables and charts.
  void AddInputRow(QVBoxLayout* layout);
  void AddNoteLabels(QVBoxLayout* layout);
  void AddProgressRow(QVBoxLayout* layout);
  void AddOutputRow(QVBoxLayout* layout);
  void AddResultTabs(QVBoxLayout* layout);
  // The buttons' and combo boxes' handlers.
  void ConnectControls();
  void ShowPoints();
  void ShowNote();
  void Done(std::shared_ptr<BacktestResult> result, const QString& failure);
  void ShowScope();
  void FillTables(const BacktestFigures& figures);
  void SetBusy(bool busy);
  QString SavePath(const QString& caption, const SaveKind& kind, const QString& name);
  QString SuggestedName(int chart) const;  // -1 for the CSV
  bool SaveFile(const QString& path, const std::string& bytes, const SaveKind& kind,
                const QString& what);

  // The window's controls; each one's objectName is the comment.
  QComboBox* from_combo_ = nullptr;          // FromCombo
  QComboBox* to_combo_ = nullptr;            // ToCombo
  QComboBox* source_combo_ = nullptr;        // SourceCombo
  QComboBox* scope_combo_ = nullptr;         // ScopeCombo: 全体, each month, each venue
  QLabel* points_label_ = nullptr;           // PointsLabel
  QLabel* note_label_ = nullptr;             // NoteLabel
  QLabel* status_label_ = nullptr;           // StatusLabel
  QProgressBar* progress_bar_ = nullptr;     // Progress
  QPushButton* run_button_ = nullptr;        // RunButton
  QPushButton* cancel_button_ = nullptr;     // CancelButton
  QPushButton* csv_button_ = nullptr;        // CsvButton
  QPushButton* png_button_ = nullptr;        // PngButton
  QTabWidget* result_tabs_ = nullptr;        // Tabs
  QTableWidget* sign_table_ = nullptr;       // SignTable
  QTableWidget* rank_table_ = nullptr;       // RankTable
  QTableWidget* ticket_table_ = nullptr;     // TicketTable
  ReturnRateChart* rate_chart_ = nullptr;    // RateChart
  StakeReturnChart* money_chart_ = nullptr;  // MoneyChart

  SignPoints points_;
  std::shared_ptr<BacktestResult> result_;
  BacktestFigures figures_;  // of the slice shown
  BackgroundRun run_;        // last: stops and waits for the run first
};

}  // namespace sorvix
