// 買い目表: the betting-combination window.  Three tabs (3連複, 馬連・ワ, 馬単),
// each one grid listing the selected race's combinations with their row
// number and payout; combinations that won are painted red (magenta for a
// ワイド-only win in the 馬連・ワ grid), read from the race's payouts on
// every paint.
//
// The window stays on top, is not modal and lives from program start to
// end; its position and size are restored from the settings file at
// creation and saved at destruction.
#pragma once

#include <QWidget>
#include <array>

class QPainter;
class QTabWidget;

namespace sorvix {

class RaceDay;
class StringGrid;

class TKaimeForm : public QWidget {
  Q_OBJECT
 public:
  // The tabs in order; the grid of tab i is named StringGrid<i + 1>.
  enum GridIndex { kTrio = 0, kQuinella = 1, kExacta = 2 };

  explicit TKaimeForm(QWidget* parent = nullptr);
  ~TKaimeForm() override;

  // The combination tables of race slot `selRace` (KaimeBtn2): every grid
  // emptied below its header; when the race has a main axis, each grid with
  // combinations gets one row per combination.  A grid without
  // combinations keeps its row count.
  void ShowCombinations(const RaceDay& day, int selRace);

  // 買い目表 (KaimeHyoBtn): shows the window without making it modal.
  void KaimeHyoBtnClick();
  // No race shown (after a failed load).
  void Clear();
  // The settings file holds a place of this window (else the main window
  // gives it its first-time place).
  bool HasStoredPlace() const { return stored_; }

 private:
  void SetupGrid(int index);
  void DrawCell(int index, QPainter& p, int col, int row, const QRect& rect) const;
  void RestoreGeometry();
  void SaveGeometry() const;

  QTabWidget* tabs_ = nullptr;          // PageControl1
  std::array<StringGrid*, 3> grids_{};  // StringGrid1–StringGrid3, by GridIndex
  const RaceDay* day_ = nullptr;
  int race_ = -1;
  bool stored_ = false;
};

}  // namespace sorvix
