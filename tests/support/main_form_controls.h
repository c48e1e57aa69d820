// The main window's controls by their names, for the fixtures that drive
// the main window.  A fixture derives from MainFormControls<Fixture> and
// holds its window as `std::unique_ptr<TMainForm> form` (the base a friend
// when that member is not public).
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QTabWidget>

#include "app/ui/main_form.h"
#include "results/ui/kaime_form.h"
#include "store/ui/prgrs_form.h"
#include "support/find_child.h"
#include "views/de_form.h"
#include "views/race_card_grid.h"
#include "views/race_header_bar.h"
#include "views/results_tab.h"
#include "views/sign_table_grid.h"
#include "views/up_down.h"

namespace sorvix::test {

template <class Fixture>
class MainFormControls {
 public:
  QComboBox* DateCombo() const { return Child<QComboBox>(Window(), "DateCombo"); }
  QListWidget* DatList() const { return Child<QListWidget>(Window(), "DatList"); }
  QTabWidget* PageControl1() const { return Child<QTabWidget>(Window(), "PageControl1"); }
  RaceCardGrid* StringGrid10() const { return Child<RaceCardGrid>(Window(), "StringGrid10"); }
  SignTableGrid* StringGrid1() const { return Child<SignTableGrid>(Window(), "StringGrid1"); }
  UpDown* UpDown1() const { return Child<UpDown>(Window(), "UpDown1"); }
  RaceHeaderBar* RaceHeader() const { return Child<RaceHeaderBar>(Window(), "RaceHeader"); }
  ResultsTab* ResultTab() const { return Child<ResultsTab>(Window(), "ResultsTab"); }
  TDeForm* DeForm() const { return Child<TDeForm>(Window(), "DeForm"); }
  TKaimeForm* KaimeForm() const { return Child<TKaimeForm>(Window(), "KaimeForm"); }
  TPrgrsForm* PrgrsForm() const { return Child<TPrgrsForm>(Window(), "PrgrsForm"); }

  // Chooses `date` ("2024年06月15日") in DateCombo as a user does: the
  // box, then its change.  A date the box does not list fails the test.
  void Choose(const QString& date) {
    int index = DateCombo()->findText(date);
    ASSERT_GE(index, 0) << date.toStdString();
    DateCombo()->setCurrentIndex(index);
    static_cast<Fixture*>(this)->form->DateComboChange();
  }

 private:
  const TMainForm* Window() const { return static_cast<const Fixture*>(this)->form.get(); }
};

}  // namespace sorvix::test
