// 連続出馬表: the continuous race card window.  Four consecutive races side by
// side (two by two when the window is too narrow for four) in compact
// grids, each runner row coloured by its sign families, its bracket, its
// post-time mark and its final position.  Tab 全競馬場 follows
// the race list of the whole day (previous, selected, next, next-but-one
// race); tab 競馬場別 shows four consecutive races of one chosen venue.
//
// The window stays on top, is not modal and lives from program start to end.
// Cell texts are written when a race is shown; the colours are read from
// the RaceDay on every paint.
#pragma once

#include <QWidget>
#include <array>
#include <string>

class QComboBox;
class QGridLayout;
class QLabel;
class QPainter;
class QScrollArea;
class QTabWidget;

namespace sorvix {

class RaceDay;
class StringGrid;

class TDeForm : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kGrids = 8;
  static constexpr int kGridRows = 19;
  static constexpr int kGridCols = 11;

  explicit TDeForm(QWidget* parent = nullptr);

  // The model the grids paint from (may be null: the grids then paint
  // their texts on white).
  void SetRaceDay(const RaceDay* day);

  // The race list of the day into RaceCombo (one entry per race-list row)
  // and the day's venues into BaCombo, nothing selected yet.
  void FillRaceList(const RaceDay& day);

  // 全競馬場: the previous, selected, next and next-but-one race slots into
  // grids 1–4 with their titles; RaceCombo shows `sel` (without emitting
  // RaceChosen).  A slot outside 0–35 leaves its grid empty.
  void ShowSelection(const RaceDay& day, int prev, int sel, int next, int next2);

  // Makes the first venue of BaCombo current and shows its races (nothing
  // happens when the day has no venue).
  void SelectFirstVenue();
  // After a failed load: empty selectors, titles and grids on both tabs.
  void ShowEmptyDay(const RaceDay& day);

  // BaCombo changed: the chosen venue's races into BaRaceCombo, then the
  // first of them shown.
  void BaComboChange();
  // BaRaceCombo changed: the chosen race of the venue and its neighbours
  // into grids 5–8.
  void BaRaceComboChange();

  // 連続出馬表 (DeBtn): shows the window and repaints its grids.
  void DeBtnClick();
  // The smallest window size that shows the four panels of a tab without
  // scrolling within `width`: side by side when they fit, else two by two.
  QSize ContentSize(int width) const;
  // PageDown/PageUp, Ctrl+→/←: the next or previous race of the tab shown
  // (on 全競馬場 the main window's race follows).
  void StepRace(int delta);

  // The venue ordinals grids 5–8 show (p, s, q, t), −1 before any choice.
  std::array<int, 4> VenueOrdinals() const;

 signals:
  // The user picked a RaceCombo entry: the main window makes the same row
  // current in its race list and runs the race selection.
  void RaceChosen(int row);

 private:
  // What grid g shows: nothing, a race slot, or a venue's race by ordinal.
  struct Shown {
    enum Kind { kNone, kSlot, kVenue } kind = kNone;
    int slot = 0;
    int venue = 0;
    int ordinal = 0;
  };

  QWidget* BuildTab(int firstGrid, QWidget* topBar, QScrollArea** area);
  // The panels four or two to a line, as the window's width allows.
  void ArrangePanels();
  void resizeEvent(QResizeEvent* event) override;
  void SetupGrid(int g);
  void FillSlot(int g, int slot);
  void FillVenueRace(int g, int venue, int ordinal);
  void DrawCell(int g, QPainter& p, int col, int row, const QRect& rect) const;

  const RaceDay* day_ = nullptr;
  QTabWidget* tabs_ = nullptr;               // PageControl1
  QComboBox* race_combo_ = nullptr;          // RaceCombo
  QComboBox* venue_combo_ = nullptr;         // BaCombo
  QComboBox* venue_race_combo_ = nullptr;    // BaRaceCombo
  std::array<StringGrid*, kGrids> grids_{};  // StringGrid1–StringGrid8
  std::array<QLabel*, kGrids> titles_{};     // TitleLabel1–TitleLabel8
  std::array<Shown, kGrids> shown_{};
  std::array<QWidget*, kGrids> panels_{};  // title and grid of each race
  std::array<QGridLayout*, 2> panel_layouts_{};
  int columns_ = 0;  // panels to a line
  QScrollArea* panel2_ = nullptr;
  int venue_ = -1;
};

}  // namespace sorvix
