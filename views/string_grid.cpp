#include "views/string_grid.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "app/ui/fonts.h"

namespace sorvix {

namespace cell {
TextProbe& Probe();
}  // namespace cell

StringGrid::StringGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setMouseTracking(true);
  viewport()->setBackgroundRole(QPalette::Base);
  grid_font_ = cell::Gothic(9);
  setFrameShape(QFrame::StyledPanel);
}

void StringGrid::SetColCount(int cols) {
  widths_.resize(static_cast<size_t>(std::max(0, cols)), default_width_);
  for (auto& row : cells_) row.resize(widths_.size());
  UpdateScrollBars();
  viewport()->update();
}

void StringGrid::SetRowCount(int rows) {
  rows_ = std::max(0, rows);
  cells_.resize(static_cast<size_t>(rows_), std::vector<QString>(widths_.size()));
  if (selected_row_ >= rows_) selected_row_ = -1;
  UpdateScrollBars();
  viewport()->update();
}

void StringGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= ColCount()) return;
  widths_[static_cast<size_t>(col)] = width;
  UpdateScrollBars();
  viewport()->update();
}

void StringGrid::SetDefaultColWidth(int width) {
  default_width_ = width;
  std::fill(widths_.begin(), widths_.end(), width);
  UpdateScrollBars();
}

void StringGrid::SetRowHeight(int height) {
  row_height_ = height;
  UpdateScrollBars();
  viewport()->update();
}

QString StringGrid::Cell(int col, int row) const {
  if (row < 0 || row >= rows_ || col < 0 || col >= ColCount()) return {};
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void StringGrid::SetCell(int col, int row, const QString& text) {
  if (row < 0 || row >= rows_ || col < 0 || col >= ColCount()) return;
  cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
  viewport()->update();
}

void StringGrid::ClearRows(int fromRow) {
  for (int row = std::max(0, fromRow); row < rows_; ++row)
    for (auto& text : cells_[static_cast<size_t>(row)]) text.clear();
  viewport()->update();
}

void StringGrid::SetSelectedRow(int row) {
  selected_row_ = (row >= fixed_rows_ && row < rows_) ? row : -1;
  viewport()->update();
}

int StringGrid::ContentWidth() const {
  int width = 0;
  for (int w : widths_) width += w + 1;
  return width;
}

void StringGrid::FitCellsToText() {
  // Centred texts grow on both sides: a few rounds settle them.
  for (int round = 0; round < 4; ++round)
    if (!FitCellsToTextOnce()) break;
}

bool StringGrid::FitCellsToTextOnce() {
  std::vector<int> widths = widths_;
  int height = row_height_;
  auto previous = std::move(cell::Probe());
  cell::SetTextProbe([&](const QRect& cellRect, const QRect& text, const QString&) {
    // Columns are found by their left edge; one pixel of room on the right,
    // and the cell's last pixel row is the black bottom line.
    int x = 0;
    for (size_t c = 0; c < widths_.size(); ++c) {
      if (x == cellRect.left()) {
        int need = text.right() + 2 - cellRect.left();
        if (text.left() < cellRect.left()) need += 2 * (cellRect.left() - text.left());
        widths[c] = std::max(widths[c], need);
        break;
      }
      x += widths_[c] + 1;
    }
    height = std::max(height, text.bottom() + 2 - cellRect.top());
  });
  QImage image(1, 1, QImage::Format_RGB32);
  QPainter p(&image);
  for (int row = 0; row < rows_; ++row) {
    int x = 0;
    for (int col = 0; col < ColCount(); ++col) {
      PaintCell(p, col, row, QRect(x, 0, widths_[static_cast<size_t>(col)], row_height_));
      x += widths_[static_cast<size_t>(col)] + 1;
    }
  }
  p.end();
  cell::SetTextProbe(std::move(previous));
  if (widths == widths_ && height == row_height_) return false;
  widths_ = widths;
  row_height_ = height;
  UpdateScrollBars();
  updateGeometry();
  viewport()->update();
  return true;
}

QSize StringGrid::FullSize() const {
  return QSize(ContentWidth() + 2 * frameWidth(), rows_ * (row_height_ + 1) + 2 * frameWidth());
}

QSize StringGrid::sizeHint() const {
  return FullSize();
}

QRect StringGrid::CellRect(int col, int row) const {
  int x = -horizontalScrollBar()->value();
  for (int c = 0; c < col && c < ColCount(); ++c) x += widths_[static_cast<size_t>(c)] + 1;
  int y;
  if (row < fixed_rows_) {
    y = row * (row_height_ + 1);
  } else {
    y = (row - verticalScrollBar()->value()) * (row_height_ + 1);
  }
  return QRect(x, y, ColCount() > col ? widths_[static_cast<size_t>(col)] : 0, row_height_);
}

QPoint StringGrid::CellAt(const QPoint& pos) const {
  int col = -1;
  int x = -horizontalScrollBar()->value();
  for (int c = 0; c < ColCount(); ++c) {
    int w = widths_[static_cast<size_t>(c)];
    if (pos.x() >= x && pos.x() < x + w + 1) {
      col = c;
      break;
    }
    x += w + 1;
  }
  int line = pos.y() / (row_height_ + 1);
  int row = line < fixed_rows_ ? line : line + verticalScrollBar()->value();
  if (col < 0 || pos.y() < 0 || row >= rows_) return QPoint(-1, -1);
  return QPoint(col, row);
}

void StringGrid::PaintCell(QPainter& p, int col, int row, const QRect& rect) const {
  p.save();
  p.setClipRect(rect);
  p.setFont(grid_font_);
  p.setPen(palette().color(QPalette::WindowText));
  if (draw_cell_) {
    draw_cell_(p, col, row, rect);
  } else {
    cell::Fill(p, rect, row < fixed_rows_ ? palette().color(QPalette::Button) : Qt::white);
    cell::Text(p, rect, 2, 2, Cell(col, row));
  }
  p.restore();
}

void StringGrid::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), palette().color(QPalette::Window));
  int firstScrolled = fixed_rows_ + verticalScrollBar()->value();
  for (int row = 0; row < rows_; ++row) {
    if (row >= fixed_rows_ && row < firstScrolled) continue;
    for (int col = 0; col < ColCount(); ++col) {
      QRect rect = CellRect(col, row);
      if (rect.top() > viewport()->height() || rect.left() > viewport()->width()) continue;
      if (rect.right() < 0) continue;
      PaintCell(p, col, row, rect);
      if (row == selected_row_) p.fillRect(rect, QColor(0, 0, 128, 60));
    }
  }
  // Grid lines.
  p.setPen(QColor(0xA0, 0xA0, 0xA0));
  int bottom =
      std::min(viewport()->height(), (rows_ - verticalScrollBar()->value()) * (row_height_ + 1));
  int x = -horizontalScrollBar()->value();
  for (int w : widths_) {
    x += w;
    p.drawLine(x, 0, x, bottom);
    ++x;
  }
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  QPoint c = CellAt(event->position().toPoint());
  if (c.y() >= fixed_rows_) SetSelectedRow(c.y());
  emit CellPressed(c.x(), c.y());
  viewport()->update();
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
  QPoint c = CellAt(event->position().toPoint());
  emit CellHovered(c.x(), c.y());
}

void StringGrid::mouseReleaseEvent(QMouseEvent*) {
  emit MouseReleased();
}

void StringGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void StringGrid::UpdateScrollBars() {
  int visibleRows = std::max(1, viewport()->height() / (row_height_ + 1) - fixed_rows_);
  verticalScrollBar()->setRange(0, std::max(0, rows_ - fixed_rows_ - visibleRows));
  verticalScrollBar()->setPageStep(visibleRows);
  horizontalScrollBar()->setRange(0, std::max(0, ContentWidth() - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

namespace cell {

QFont Gothic(int points, bool bold) {
  return GothicPixels(static_cast<int>(std::lround(points * 96.0 / 72.0)), bold);
}

QFont GothicPixels(int pixels, bool bold) {
  QFont font(QString::fromUtf8(kGothicFamily));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

void Fill(QPainter& p, const QRect& rect, const QColor& colour) {
  if (colour.isValid()) p.fillRect(rect, colour);
}

TextProbe& Probe() {
  static TextProbe probe;
  return probe;
}

void SetTextProbe(TextProbe probe) {
  Probe() = std::move(probe);
}

void Text(QPainter& p, const QRect& rect, int x, int y, const QString& text) {
  QFontMetrics metrics(p.font());
  p.drawText(rect.left() + x + 1, rect.top() + y + 1 + metrics.ascent(), text);
  if (Probe() && !text.trimmed().isEmpty())
    Probe()(rect,
            QRect(rect.left() + x + 1, rect.top() + y + 1, metrics.horizontalAdvance(text),
                  metrics.height()),
            text);
}

int LineHeight(const QPainter& p) {
  return QFontMetrics(p.font()).height();
}

void BottomLine(QPainter& p, const QRect& rect) {
  p.save();
  p.setPen(Qt::black);
  p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
  p.restore();
}

QColor BracketColour(int bracket) {
  switch (bracket) {
    case 1:
      return Qt::white;
    case 2:
      return QColor(128, 128, 128);
    case 3:
      return QColor(255, 0, 0);
    case 4:
      return QColor(0, 0, 255);
    case 5:
      return QColor(255, 255, 0);
    case 6:
      return QColor(0, 128, 0);
    case 7:
      return QColor(255, 128, 0);
    case 8:
      return QColor(255, 0, 255);
    default:
      return QColor();
  }
}

QColor BracketTextColour(int bracket) {
  return (bracket == 1 || bracket == 5) ? Qt::black : Qt::white;
}

QColor PlaceColour(int place) {
  if (place == 1) return QColor(255, 0, 0);
  if (place == 2 || place == 3) return QColor(0, 0, 255);
  return Qt::black;
}

}  // namespace cell

}  // namespace sorvix
