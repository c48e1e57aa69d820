// The race card grid of the tab 出馬表: one row per runner of the selected
// race, painted straight from the RaceDay.
#pragma once

#include "views/string_grid.h"

namespace sorvix {

class RaceDay;

class RaceCardGrid : public StringGrid {
  Q_OBJECT
 public:
  explicit RaceCardGrid(QWidget* parent = nullptr);
  void SetRaceDay(const RaceDay* day) { day_ = day; }
  // The race slot the grid shows (the main window's selected race).
  void SetRace(int slot) { race_ = slot; }

 private:
  void DrawCell(QPainter& p, int col, int row, const QRect& rect) const;
  void DrawHeader(QPainter& p, int col, const QRect& rect) const;

  const RaceDay* day_ = nullptr;
  int race_ = 0;
};

}  // namespace sorvix
