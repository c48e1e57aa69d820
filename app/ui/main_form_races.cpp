// The main window's race pipeline: loading the chosen date, the race
// selection and its views, the race stepper and the special-mark click.
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QStringList>
#include <QTabWidget>
#include <QToolBar>

#include "analysis/run_analysis.h"
#include "analysis/special_mark.h"
#include "app/io_error.h"
#include "app/settings_file.h"
#include "app/ui/main_form.h"

#include <QStatusBar>
#include <QStringList>
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "results/ui/kaime_form.h"
#include "store/estimate.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/ui/prgrs_form.h"
#include "views/de_form.h"
#include "views/race_card_grid.h"
#include "views/race_header_bar.h"
#include "views/results_tab.h"
#include "views/sign_table_grid.h"
#include "views/text/race_selection.h"
#include "views/up_down.h"

namespace sorvix {
namespace {

// The status line after a load: the date and its races, and a word when the
// chosen estimate source has nothing for some races.
QString LoadedDayNote(const RaceDay& day, EstimateSource source, Cp932View label) {
  QString note =
      QStringLiteral("%1 を読み込みました（%2 レース）").arg(Q(label)).arg(day.RaceListRows);
  if (source != EstimateSource::PredictedOdds) return note;
  int without = 0;
  for (int r = 0; r < day.RaceListRows && r < kRaceSlots; ++r)
    if (!day.YosoOzFound[r]) ++without;
  if (without == day.RaceListRows)
    return note + QStringLiteral(
                      "。予想オッズデータがないため推定能力は空欄です（予想オッズで取り込むか、"
                      "設定 › 推定能力計算指定 で競走馬データを選んでください）");
  if (without > 0)
    return note +
           QStringLiteral("。%1 レースは予想オッズデータがないため推定能力が空欄です").arg(without);
  return note;
}

}  // namespace

bool TMainForm::RunOrShowError(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& e) {
    sorvix::ShowError(this, e);
    return false;
  }
}

void TMainForm::SetBusy(bool busy) {
  // The load disables the window's controls, not the window: the progress
  // box is its child and must stay drawn as enabled.
  centralWidget()->setEnabled(!busy);
  menuBar()->setEnabled(!busy);
  for (QToolBar* bar : findChildren<QToolBar*>()) bar->setEnabled(!busy);
}

void TMainForm::ShowEmptyDay() {
  // The day was reset: every window shows the same empty day.
  view_tabs_->hide();
  race_list_->clear();
  race_header_->Clear();
  race_stepper_->SetMax(0);
  continuous_card_window_->ShowEmptyDay(*day_);
  combinations_window_->Clear();
  loadedDate_ = {};
}

void TMainForm::DateComboChange() {
  if (date_combo_->currentIndex() < 0) return;
  Cp932Text label = FromQ(date_combo_->currentText());
  view_tabs_->hide();
  race_list_->clear();
  race_header_->Clear();

  LoadOptions options;
  LoadOutcome outcome;
  SetBusy(true);
  try {
    SettingsFile ini;
    options.source = ReadEstimateSource(ini);
    options.progress = progress_box_;
    options.analysis = DayAnalysisSteps(SignPoints::Load(ini));
    options.lastRow = selectedRace_;
    outcome = LoadRaceDay(*day_, label, options);
  } catch (const std::exception& e) {
    // A damaged store file: the loader left the day reset.
    progress_box_->Close();
    SetBusy(false);
    ShowEmptyDay();
    statusBar()->showMessage(QStringLiteral("%1 を読み込めませんでした").arg(Q(label)));
    sorvix::ShowError(this, e);
    return;
  }
  if (outcome.selectedRow >= 0) ShowRaceInGrids(outcome.selectedRow);
  progress_box_->Close();
  SetBusy(false);
  if (!outcome.loaded) {
    ShowEmptyDay();
    statusBar()->showMessage(QStringLiteral("%1 を読み込めませんでした").arg(Q(label)));
    ShowInformation(this, outcome.message);
    return;
  }
  // What the load went past, and a folder where marks cannot be saved.
  QStringList notes;
  if (!outcome.warnings.empty())
    notes << QStringLiteral("壊れた行を %1 件読み飛ばしました（ErrorLog.txt に記録）: %2")
                 .arg(outcome.warnings.size())
                 .arg(QString::fromStdString(outcome.warnings.front()));
  if (!outcome.marksWritable)
    notes << QStringLiteral("このデータフォルダには書き込めないため、特別マークは保存できません");
  loadedDate_ = label;
  for (int row = 0; row < day_->RaceListRows; ++row) race_list_->addItem(Q(day_->RaceListRow(row)));
  continuous_card_window_->FillRaceList(*day_);
  race_stepper_->SetMax(outcome.stepperMax);
  if (outcome.selectedRow >= 0) SelectRace(outcome.selectedRow);
  continuous_card_window_->SelectFirstVenue();
  race_stepper_->SetPosition(race_list_->currentRow());
  notes.prepend(LoadedDayNote(*day_, options.source, label));
  statusBar()->showMessage(notes.join(QStringLiteral("　")));
}

void TMainForm::DatListClick() {
  int row = race_list_->currentRow();
  if (row < 0 || row >= day_->RaceListRows) return;
  view_tabs_->hide();
  RaceDay& day = *day_;
  ShowRaceInGrids(row);
  const int n = ReadInt(day.Sheet[row].RunnerCount.View());

  sign_table_grid_->SetWeights(SignPoints::Load(SettingsFile()));
  race_card_grid_->SetRowCount(std::clamp(n, 0, 18) + 1);
  race_card_grid_->setUpdatesEnabled(false);
  race_header_->Show(HeaderTextOf(day.Sheet[row]));
  for (int k = 0; k < n && k < 18; ++k) {
    const RaceSheet& sheet = day.Sheet[row];
    race_card_grid_->SetCell(0, k + 1, Q(Cp932View::FromBytes(sheet.BracketNo[k].View())));
    race_card_grid_->SetCell(1, k + 1, Q(Cp932View::FromBytes(sheet.HorseNo[k].View())));
    race_card_grid_->SetCell(2, k + 1, Q(Cp932View::FromBytes(sheet.HorseName[k].View())));
    race_card_grid_->SetCell(3, k + 1, Q(Cp932View::FromBytes(sheet.JockeyName[k].View())));
    race_card_grid_->SetCell(4, k + 1, Q(Cp932View::FromBytes(sheet.TrainerName[k].View())));
  }
  if (IsRaceComplete(day, row)) {
    view_tabs_->show();
  } else {
    ShowInformation(this, IncompleteRaceMessage(day, row), false);
  }
  results_tab_->Fill(day.Payouts[row]);
  RaceNeighbours around = NeighboursOf(row, day.RaceListRows);
  continuous_card_window_->ShowSelection(day, around.prev, around.sel, around.next, around.next2);
  combinations_window_->ShowCombinations(day, row);
  emit RaceSelected(row);
  sign_table_grid_->ClearSelection();
  race_card_grid_->ClearSelection();
  // Cells grow to the texts of the race (names, numbers) in the fonts of
  // this screen.
  race_card_grid_->FitCellsToText();
  sign_table_grid_->FitCellsToText();
  race_card_grid_->setUpdatesEnabled(true);
  sign_table_grid_->viewport()->update();
  race_card_grid_->viewport()->update();
  race_stepper_->SetPosition(row);
}

void TMainForm::ShowRaceInGrids(int row) {
  selectedRace_ = row;
  sign_table_grid_->SetRace(row);
  race_card_grid_->SetRace(row);
}

void TMainForm::UpDown1Click(int position) {
  if (race_list_->count() < 2) return;
  SelectRace(position);
}

void TMainForm::SelectRace(int row) {
  if (row < 0 || row >= race_list_->count()) return;
  if (race_list_->currentRow() != row) {
    race_list_->setCurrentRow(row);  // the row change shows the race
  } else {
    DatListClick();
  }
}

bool TMainForm::OpenDate(Cp932View label, int row) {
  int index = date_combo_->findText(Q(label));
  if (index < 0) {
    ShowWarningUtf8(this, QStringLiteral("開催日 %1 のデータは保存されていません。").arg(Q(label)));
    return false;
  }
  date_combo_->setCurrentIndex(index);
  DateComboChange();
  if (row >= 0) {
    if (row >= race_list_->count()) {
      ShowWarningUtf8(this, QStringLiteral("%1 のレースは 0〜%2 です: %3")
                                .arg(Q(label))
                                .arg(race_list_->count() - 1)
                                .arg(row));
      return false;
    }
    SelectRace(row);
  }
  return true;
}

void TMainForm::SpecialMarkClick(int ringRow) {
  if (race_list_->currentRow() < 0) return;
  int weight = SettingsFile().ReadInteger("SignPoint", "Special1", 10);
  RunOrShowError(
      [&] { sorvix::ToggleSpecialMarkAndRecalculate(*day_, selectedRace_, ringRow, weight); });
  sign_table_grid_->viewport()->update();
  race_card_grid_->viewport()->update();
}

}  // namespace sorvix
