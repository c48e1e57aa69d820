// A grid painted cell by cell from the model, like the string grids of the
// race views: fixed column widths and row height, a header row, whole-row
// selection, and a paint handler that draws each cell completely.  The text
// stored in the cells is only what the handler chooses to show.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace sorvix {

class StringGrid : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // Draws cell (col, row) inside `rect`; the painter is clipped to the cell.
  using DrawCellHandler = std::function<void(QPainter& p, int col, int row, const QRect& rect)>;

  explicit StringGrid(QWidget* parent = nullptr);

  void SetColCount(int cols);
  void SetRowCount(int rows);
  int ColCount() const { return static_cast<int>(widths_.size()); }
  int RowCount() const { return rows_; }
  void SetColWidth(int col, int width);
  int ColWidth(int col) const { return widths_.at(static_cast<size_t>(col)); }
  void SetDefaultColWidth(int width);
  void SetRowHeight(int height);
  int RowHeight() const { return row_height_; }
  void SetFixedRows(int rows) { fixed_rows_ = rows; }
  void SetGridFont(const QFont& font) { grid_font_ = font; }
  const QFont& GridFont() const { return grid_font_; }

  // The stored text of a cell (what a plain cell shows).
  QString Cell(int col, int row) const;
  void SetCell(int col, int row, const QString& text);
  // Empties every cell of rows `fromRow` and below.
  void ClearRows(int fromRow);

  void SetDrawCellHandler(DrawCellHandler handler) { draw_cell_ = std::move(handler); }

  // The selected row, −1 when no cell is selected.
  int SelectedRow() const { return selected_row_; }
  void SetSelectedRow(int row);
  void ClearSelection() { SetSelectedRow(-1); }

  // The cell under a point of the viewport, or (−1, −1).
  QPoint CellAt(const QPoint& pos) const;
  QRect CellRect(int col, int row) const;

  // Paints one cell into `p` as the grid does (for tests and prints).
  void PaintCell(QPainter& p, int col, int row, const QRect& rect) const;

  // Widens columns and heightens the rows (never narrows them) until every
  // text the paint handler draws lies inside its cell, measured with the
  // fonts' metrics as painted now.
  void FitCellsToText();

  QSize sizeHint() const override;
  // The size that shows every row and column without scrolling.
  QSize FullSize() const;

 signals:
  void CellPressed(int col, int row);
  void CellHovered(int col, int row);
  void MouseReleased();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateScrollBars();
  // One round of FitCellsToText(); false when nothing changed.
  bool FitCellsToTextOnce();
  int ContentWidth() const;

  std::vector<int> widths_;
  int default_width_ = 64;
  int rows_ = 0;
  int row_height_ = 24;
  int fixed_rows_ = 1;
  int selected_row_ = -1;
  QFont grid_font_;
  std::vector<std::vector<QString>> cells_;  // [row][col]
  DrawCellHandler draw_cell_;
};

// Cell painting helpers shared by the race views.
namespace cell {

// Windows point sizes at 96 dpi as pixel sizes, so cells look the same on
// every screen.
QFont Gothic(int points, bool bold = false);
QFont GothicPixels(int pixels, bool bold = false);

void Fill(QPainter& p, const QRect& rect, const QColor& colour);
// Text with its top-left at (x, y) inside the cell (grid line included).
void Text(QPainter& p, const QRect& rect, int x, int y, const QString& text);

// Receives, while installed, the cell rectangle and the rectangle each text
// drawn by Text() takes (its advance and the font's line height).
using TextProbe = std::function<void(const QRect& cell, const QRect& text, const QString&)>;
void SetTextProbe(TextProbe probe);
// The height of one line of text in the painter's current font.
int LineHeight(const QPainter& p);
// The black line along the cell's bottom edge.
void BottomLine(QPainter& p, const QRect& rect);

// The bracket colours 1..8; an invalid colour for other numbers.
QColor BracketColour(int bracket);
// Text colour on a bracket: black on 1 and 5, white on the others.
QColor BracketTextColour(int bracket);
// Red for 1, blue for 2 and 3, black otherwise (final positions).
QColor PlaceColour(int place);

}  // namespace cell

}  // namespace sorvix
