// The main window: tool bar with the commands and the meeting-date list, the
// race list on the left, the race views in the tab control, and the menus.
// It owns the JV-Link control and lives from start to end.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

#include "acquisition/jv_link.h"
#include "codes/cp932_text.h"
#include "print/ui/all_print_form.h"
#include "views/text/csv_tables.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class QKeySequence;

namespace sorvix {

class RaceDay;
class RaceCardGrid;
class RaceHeaderBar;
class ResultsTab;
class SignTableGrid;
class TDeForm;
class TKaimeForm;
class TPrgrsForm;
class UpDown;

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainForm(std::unique_ptr<JvLink> jvLink, QWidget* parent = nullptr);
  ~TMainForm() override;

  JvLink& JVLink1() { return *jvLink_; }

  RaceDay& Day() { return *day_; }
  // The race-list row the views show (the race slot of the same number).
  int SelectedRace() const { return selectedRace_; }

  // リスト作成: fills DateCombo with the stored meeting dates, newest first,
  // with no entry selected.
  void MakeDataListBtnClick();

  // Loads the date shown in DateCombo and runs the whole analysis.
  void DateComboChange();
  // The race selection: makes the race list's current row the race of
  // every view.
  void DatListClick();
  // Makes race-list row `row` current and shows it (once, whatever moved
  // the row).
  void SelectRace(int row);
  // Opens the meeting date `label` as if chosen in DateCombo and
  // shows race-list row `row` (−1: the row the load selects).  False, with
  // a message, when the date is not stored.
  bool OpenDate(Cp932View label, int row = -1);
  // The race stepper moved to `position`.
  void UpDown1Click(int position);
  // A click in column 特 of the sign table, on ring row `ringRow`.
  void SpecialMarkClick(int ringRow);

  // The print commands: record the pages of the layout and preview them.
  void PrintClick(PrintLayout layout, PrintScope scope);

  // CSV保存: `table` of the shown race, or of every race of the date, as
  // CSV in a file the user chooses.
  void CsvSaveClick(CsvTable table, bool allRaces);
  // Replaces the save dialog of CSV保存 (tests): receives the suggested
  // path, returns the chosen one (empty: cancelled).
  std::function<QString(const QString&)> CsvFileChooser;

  // JVデータ取得: the acquisition window, then the meeting list anew.
  void JvDataBtnClick();

  // 結果情報: the day's results and payouts from JV-Link's real-time data.
  void KekkaBtnClick();
  // JV-Link の設定画面: JVSetUIProperties (under Wine through the exporter).
  void JvLinkSettingClick();
  // 予想オッズ: chooses a predicted-odds archive and imports it.
  void YosoOzBtnClick();
  void ImportOdds(const QString& archive);
  // 的中 (every hit) and 穴的中 (`bigOnly`, high-paying hits).
  void TekiAnaBtnClick(bool bigOnly);

  // The previous (−1) or next (+1) race of the race list, stopping at its
  // ends like the stepper.
  void StepRace(int delta);

 signals:
  // The race selection chose race-list row `row`; the other windows follow.
  void RaceSelected(int row);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToolBar();
  // A button of the tool bar and its ツール menu item `item` with `keys`.
  QToolButton* AddTool(QToolBar* bar, const QString& caption, const QString& hint,
                       const QString& item, const QKeySequence& keys,
                       const std::function<void()>& run);
  void BuildMenus();
  // ﾌｧｲﾙ: acquisition, the print menus, CSV saves, サイン検証, exit.
  void BuildFileMenu();
  // 印刷指定 (column or row order) and the three prints, each for all
  // venues or by venue.
  void BuildPrintMenus(QMenu* file);
  // 設定: ユーザー設定 and where the estimated ability comes from.
  void BuildSettingsMenu();
  // 設定: the JV-Link (Wine) settings and the component's own dialog.
  void BuildJvLinkMenuItems(QMenu* settings);
  void BuildViewMenu();
  // ﾌｫﾙﾀﾞ指定 and ﾍﾙﾌﾟ.
  void BuildFolderAndHelpMenus();
  void BuildPanels();
  void RestoreGeometry();

 public:
  // Gives 連続出馬表 and 買い目表 their first-time places (once each).
  void PlaceSecondaryWindows();

 private:
  // The steps of the window's creation: the store folders, the meeting
  // list, the error log's start line, then the print order and estimate
  // source from the settings.  A file that cannot be read or written is
  // reported once the window is up and skips the steps after it.
  void RunCreationSteps();
  void FirstShow();

  void HelpClick();
  void VersionClick();
  void FPanelClick();
  void YosoFolderClick();
  // The predicted-odds folder of the settings (Dir/yoso), or the home's
  // "ylzh" when none is kept.
  QString YosoFolder() const;
  void PrintOrderClick(bool rowOrder);
  void EstimateSourceClick(bool predictedOdds);

  // Makes race-list row `row` the selected race and the race the grids of
  // the tab control paint.
  void ShowRaceInGrids(int row);

  // Disables the window's controls while a date loads.
  void SetBusy(bool busy);
  // After a failed load: the main window and the secondary windows show the
  // same empty day.
  void ShowEmptyDay();

  // Why an action cannot run: in the status line and in a box.
  void Say(const QString& text);

  // 結果情報 under Wine: JV-Link writes the loaded day's results into the
  // feed folder first, behind a box with 中止 (the window waits for it).
  // True when the feed folder is read next.
  bool ExportResultsThroughWine();

  // Runs `action`; an exception it throws is shown with ShowError.  False
  // when it failed.
  bool RunOrShowError(const std::function<void()>& action);

  // The window's controls.  Each one's objectName is its name in the
  // program (the comment), by which the tests find it.
  QComboBox* date_combo_ = nullptr;           // DateCombo
  UpDown* race_stepper_ = nullptr;            // UpDown1
  RaceHeaderBar* race_header_ = nullptr;      // RaceHeader
  QFrame* race_list_panel_ = nullptr;         // Panel5
  QListWidget* race_list_ = nullptr;          // DatList
  QLabel* fetch_label_ = nullptr;             // DLlabel
  QTabWidget* view_tabs_ = nullptr;           // PageControl1
  RaceCardGrid* race_card_grid_ = nullptr;    // StringGrid10
  SignTableGrid* sign_table_grid_ = nullptr;  // StringGrid1
  ResultsTab* results_tab_ = nullptr;         // ResultsTab
  // 印刷指定 (縦列印刷, 横列印刷) and 推定能力計算指定 (競走馬データ, 予想オッズデータ).
  QAction* column_order_action_ = nullptr;  // ColumnOrderAction
  QAction* row_order_action_ = nullptr;     // RowOrderAction
  QAction* race_data_action_ = nullptr;     // RaceDataAction
  QAction* odds_data_action_ = nullptr;     // OddsDataAction
  // The windows this one owns: its children, so found the same way.
  TPrgrsForm* progress_box_ = nullptr;         // PrgrsForm
  TDeForm* continuous_card_window_ = nullptr;  // DeForm
  TKaimeForm* combinations_window_ = nullptr;  // KaimeForm

  std::unique_ptr<JvLink> jvLink_;
  std::unique_ptr<RaceDay> day_;
  // The race selection: the row shown last, which a reload of a date
  // selects again.  Kept here, not in the day: it is the window's state.
  int selectedRace_ = 0;
  bool shown_ = false;
  bool deFormPlaced_ = false;
  bool kaimeFormPlaced_ = false;
  Cp932Text loadedDate_;                // the DateLabel of the loaded date; empty when none
  std::vector<QAction*> tool_actions_;  // the ツール menu: the tool bar's commands
};

}  // namespace sorvix
