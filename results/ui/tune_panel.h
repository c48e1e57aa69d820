// 配点最適化, the tab of サイン検証: the training and test periods (or rolling
// yearly folds), the objective, the most candidates per fold and the seed;
// 実行 loads every date once and tunes on worker threads while a progress
// bar runs, 中止 stops.  The result shows the test dates only: the tuned,
// current and default points side by side with the base rate and their
// intervals, a chart of each fold's training figure against its test
// figure, and the tuned points, which 保存 writes into a settings file and
// 設定画面で開く puts into the settings dialog (saved there only by OK).
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "app/ui/background_run.h"
#include "results/tune_run.h"

class QCheckBox;
class QDialog;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;

namespace sorvix {

// Per fold, the objective of the tuned points over its training dates and
// over its test dates, the current points' test figure and the base rate.
class TuneFoldChart : public QWidget {
 public:
  explicit TuneFoldChart(QWidget* parent = nullptr);
  void SetResult(const TuneResult* result);
  void Paint(QPainter& p, const QRect& area) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TuneResult* result_ = nullptr;
};

class TTunePanel : public QWidget {
  Q_OBJECT
 public:
  explicit TTunePanel(QWidget* parent = nullptr);
  ~TTunePanel() override;

  // Lists the stored dates in the period boxes (the last ~year tests).
  void ListDates();
  // 実行 and 中止.
  void Run();
  void Cancel();
  bool Running() const { return run_.Running(); }
  const TuneResult* Result() const { return result_.get(); }

  // 保存: the tuned points into the settings file `path` (never the home's
  // own); false after telling the user why not.
  bool SaveSettings(const QString& path);
  // 設定画面で開く: the settings dialog with the tuned points in its fields.
  void OpenSettingsDialog();

  // Where 保存 asks for a file (tests answer without a dialog).
  std::function<QString(const QString& caption, const QString& filter)> AskSavePath;
  // How the settings dialog is shown (tests look at it without a modal
  // loop); by default exec().
  std::function<void(QDialog* dialog)> ShowDialog;

 signals:
  // A run ended (finished or stopped); Result() holds it.
  void Finished();

 private:
  void AddPeriodRow(QVBoxLayout* layout);
  void AddSearchRow(QVBoxLayout* layout);
  void AddResultRows(QVBoxLayout* layout);
  void ConnectControls();
  void Done(std::shared_ptr<TuneResult> result, const QString& failure);
  void FillTables();
  void SetBusy(bool busy);
  // The options of the boxes; false after telling the user what is wrong.
  bool ReadInputs(std::vector<Cp932Text>& dates, TuneRunOptions& run, EstimateSource& source);

  QComboBox* train_from_ = nullptr;       // TuneTrainFrom
  QComboBox* train_to_ = nullptr;         // TuneTrainTo
  QComboBox* test_from_ = nullptr;        // TuneTestFrom
  QComboBox* test_to_ = nullptr;          // TuneTestTo
  QCheckBox* yearly_ = nullptr;           // TuneYearly
  QComboBox* objective_ = nullptr;        // TuneObjective
  QComboBox* source_ = nullptr;           // TuneSource
  QSpinBox* candidates_ = nullptr;        // TuneCandidates
  QSpinBox* seed_ = nullptr;              // TuneSeed
  QPushButton* run_button_ = nullptr;     // TuneRunButton
  QPushButton* cancel_button_ = nullptr;  // TuneCancelButton
  QProgressBar* progress_ = nullptr;      // TuneProgress
  QLabel* status_ = nullptr;              // TuneStatus
  QLabel* verdict_ = nullptr;             // TuneVerdict
  QTableWidget* figures_ = nullptr;       // TuneTable
  QTableWidget* points_ = nullptr;        // TunePoints
  TuneFoldChart* chart_ = nullptr;        // TuneFoldChart
  QPushButton* save_button_ = nullptr;    // TuneSaveButton
  QPushButton* dialog_button_ = nullptr;  // TuneSettingsButton

  std::shared_ptr<TuneResult> result_;
  BackgroundRun run_;  // last: stops and waits for the run first
};

}  // namespace sorvix
