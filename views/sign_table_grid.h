// The sign table of the tab サイン表: one line per ring row of the selected
// race with one narrow column per sign, in the family colour where the row
// has the sign, and the sign sum.  A click in column 特 toggles the row's
// special mark.
#pragma once

#include "analysis/sign_points.h"
#include "views/string_grid.h"

namespace sorvix {

class RaceDay;

class SignTableGrid : public StringGrid {
  Q_OBJECT
 public:
  explicit SignTableGrid(QWidget* parent = nullptr);
  void SetRaceDay(const RaceDay* day) { day_ = day; }
  // The race slot the grid shows (the main window's selected race).
  void SetRace(int slot) { race_ = slot; }
  // The weights the mark cells show (the race selection reloads them).
  void SetWeights(const SignPoints& weights) {
    weights_ = weights;
    viewport()->update();
  }

 signals:
  // Column 特 of ring row `ringRow` was clicked.
  void SpecialMarkClicked(int ringRow);

 private:
  void DrawCell(QPainter& p, int col, int row, const QRect& rect) const;

  const RaceDay* day_ = nullptr;
  int race_ = 0;
  SignPoints weights_ = SignPoints::Defaults();
};

}  // namespace sorvix
