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
QString LoadedDayNote(const RaceDay& day, EstimateSource source, const std::string& label) {
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
  PageControl1->hide();
  DatList->clear();
  RaceHeader->Clear();
  UpDown1->SetMax(0);
  DeForm->ShowEmptyDay(*day_);
  KaimeForm->Clear();
  loadedDate_.clear();
}

void TMainForm::DateComboChange() {
  if (DateCombo->currentIndex() < 0) return;
  std::string label = FromQ(DateCombo->currentText());
  PageControl1->hide();
  DatList->clear();
  RaceHeader->Clear();

  LoadOptions options;
  LoadOutcome outcome;
  SetBusy(true);
  try {
    SettingsFile ini;
    options.source = ReadEstimateSource(ini);
    options.progress = PrgrsForm;
    options.analysis = DayAnalysisSteps(SignPoints::Load(ini));
    options.lastRow = selectedRace_;
    outcome = LoadRaceDay(*day_, label, options);
  } catch (const std::exception& e) {
    // A damaged store file: the loader left the day reset.
    PrgrsForm->Close();
    SetBusy(false);
    ShowEmptyDay();
    statusBar()->showMessage(QStringLiteral("%1 を読み込めませんでした").arg(Q(label)));
    sorvix::ShowError(this, e);
    return;
  }
  if (outcome.selectedRow >= 0) ShowRaceInGrids(outcome.selectedRow);
  PrgrsForm->Close();
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
  for (int row = 0; row < day_->RaceListRows; ++row)
    DatList->addItem(Q(day_->RaceList[row].View()));
  DeForm->FillRaceList(*day_);
  UpDown1->SetMax(outcome.stepperMax);
  if (outcome.selectedRow >= 0) SelectRace(outcome.selectedRow);
  DeForm->SelectFirstVenue();
  UpDown1->SetPosition(DatList->currentRow());
  notes.prepend(LoadedDayNote(*day_, options.source, label));
  statusBar()->showMessage(notes.join(QStringLiteral("　")));
}

void TMainForm::DatListClick() {
  int row = DatList->currentRow();
  if (row < 0 || row >= day_->RaceListRows) return;
  PageControl1->hide();
  RaceDay& day = *day_;
  ShowRaceInGrids(row);
  const int n = ReadInt(day.Sheet[row].RunnerCount.View());

  StringGrid1->SetWeights(SignPoints::Load(SettingsFile()));
  StringGrid10->SetRowCount(std::clamp(n, 0, 18) + 1);
  StringGrid10->setUpdatesEnabled(false);
  RaceHeader->Show(HeaderTextOf(day.Sheet[row]));
  for (int k = 0; k < n && k < 18; ++k) {
    const RaceSheet& sheet = day.Sheet[row];
    StringGrid10->SetCell(0, k + 1, Q(sheet.BracketNo[k].View()));
    StringGrid10->SetCell(1, k + 1, Q(sheet.HorseNo[k].View()));
    StringGrid10->SetCell(2, k + 1, Q(sheet.HorseName[k].View()));
    StringGrid10->SetCell(3, k + 1, Q(sheet.JockeyName[k].View()));
    StringGrid10->SetCell(4, k + 1, Q(sheet.TrainerName[k].View()));
  }
  if (IsRaceComplete(day, row)) {
    PageControl1->show();
  } else {
    ShowInformation(this, IncompleteRaceMessage(day, row), false);
  }
  ResultTab->Fill(day.Payouts[row]);
  RaceNeighbours around = NeighboursOf(row, day.RaceListRows);
  DeForm->ShowSelection(day, around.prev, around.sel, around.next, around.next2);
  KaimeForm->ShowCombinations(day, row);
  emit RaceSelected(row);
  StringGrid1->ClearSelection();
  StringGrid10->ClearSelection();
  // Cells grow to the texts of the race (names, numbers) in the fonts of
  // this screen.
  StringGrid10->FitCellsToText();
  StringGrid1->FitCellsToText();
  StringGrid10->setUpdatesEnabled(true);
  StringGrid1->viewport()->update();
  StringGrid10->viewport()->update();
  UpDown1->SetPosition(row);
}

void TMainForm::ShowRaceInGrids(int row) {
  selectedRace_ = row;
  StringGrid1->SetRace(row);
  StringGrid10->SetRace(row);
}

void TMainForm::UpDown1Click(int position) {
  if (DatList->count() < 2) return;
  SelectRace(position);
}

void TMainForm::SelectRace(int row) {
  if (row < 0 || row >= DatList->count()) return;
  if (DatList->currentRow() != row) {
    DatList->setCurrentRow(row);  // the row change shows the race
  } else {
    DatListClick();
  }
}

bool TMainForm::OpenDate(const std::string& label, int row) {
  int index = DateCombo->findText(Q(label));
  if (index < 0) {
    ShowInformationUtf8(this,
                        QStringLiteral("開催日 %1 のデータは保存されていません。").arg(Q(label)));
    return false;
  }
  DateCombo->setCurrentIndex(index);
  DateComboChange();
  if (row >= 0) {
    if (row >= DatList->count()) {
      ShowInformationUtf8(this, QStringLiteral("%1 のレースは 0〜%2 です: %3")
                                    .arg(Q(label))
                                    .arg(DatList->count() - 1)
                                    .arg(row));
      return false;
    }
    SelectRace(row);
  }
  return true;
}

void TMainForm::SpecialMarkClick(int ringRow) {
  if (DatList->currentRow() < 0) return;
  int weight = SettingsFile().ReadInteger("SignPoint", "Special1", 10);
  RunOrShowError(
      [&] { sorvix::ToggleSpecialMarkAndRecalculate(*day_, selectedRace_, ringRow, weight); });
  StringGrid1->viewport()->update();
  StringGrid10->viewport()->update();
}

}  // namespace sorvix
