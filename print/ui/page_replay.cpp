#include "print/ui/page_replay.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <cmath>

#include "app/ui/qt_text.h"

namespace sorvix {

namespace {

QColor ToQColor(PageColor c) {
  return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

QPen ToQPen(const PagePen& pen) {
  if (pen.Style == PenStyle::Clear) return QPen(Qt::NoPen);
  QPen out(ToQColor(pen.Color));
  out.setWidth(pen.Width);
  out.setStyle(pen.Style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
  out.setCapStyle(Qt::FlatCap);
  return out;
}

QFont ToQFont(const PageFont& font, int fontDpi) {
  QFont out(Q(font.Name));
  out.setPixelSize(std::max(1, static_cast<int>(std::lround(font.Size * fontDpi / 72.0))));
  out.setBold(font.Bold);
  out.setUnderline(font.Underline);
  return out;
}

}  // namespace

void ReplayPage(QPainter& painter, const RecordedPage& page) {
  for (const PageOp& op : page.Ops) {
    switch (op.Kind) {
      case PageOpKind::Line:
        painter.setPen(ToQPen(op.Pen));
        painter.drawLine(QPointF(op.X1, op.Y1), QPointF(op.X2, op.Y2));
        break;
      case PageOpKind::Rectangle:
        painter.setPen(ToQPen(op.Pen));
        painter.setBrush(op.Brush.Style == BrushStyle::Solid ? QBrush(ToQColor(op.Brush.Color))
                                                             : QBrush(Qt::NoBrush));
        painter.drawRect(QRectF(op.X1, op.Y1, op.X2 - op.X1, op.Y2 - op.Y1));
        break;
      case PageOpKind::Text: {
        QFont font = ToQFont(op.Font, page.FontDpi > 0 ? page.FontDpi : 600);
        QFontMetricsF metrics(font);
        QString text = Q(op.Text);
        if (op.Brush.Style == BrushStyle::Solid)
          painter.fillRect(QRectF(op.X1, op.Y1, metrics.horizontalAdvance(text), metrics.height()),
                           ToQColor(op.Brush.Color));
        painter.setFont(font);
        painter.setPen(ToQColor(op.Font.Color));
        painter.drawText(QPointF(op.X1, op.Y1 + metrics.ascent()), text);
        break;
      }
    }
  }
}

}  // namespace sorvix
