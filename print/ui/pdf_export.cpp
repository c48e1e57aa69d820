#include "print/ui/pdf_export.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <cstdlib>

#include "codes/cp932.h"

namespace sorvix {

namespace {

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "sorvix";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

QColor ToQColor(PageColor c) {
  return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

QString Text(const std::string& cp932) {
  return QString::fromStdString(Utf8(cp932));
}

QPen ToQPen(const PagePen& pen) {
  if (pen.Style == PenStyle::Clear) return QPen(Qt::NoPen);
  QPen out(ToQColor(pen.Color));
  out.setWidth(pen.Width);
  out.setStyle(pen.Style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
  out.setCapStyle(Qt::FlatCap);
  return out;
}

QFont ToQFont(const PageFont& font) {
  QFont out(Text(font.Name));
  out.setPointSizeF(font.Size);
  out.setBold(font.Bold);
  out.setUnderline(font.Underline);
  return out;
}

void Replay(QPainter& painter, QPaintDevice& device, const RecordedPage& page) {
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
        QFont font = ToQFont(op.Font);
        QFontMetricsF metrics(font, &device);
        QString text = Text(op.Text);
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

}  // namespace

bool WritePagesPdf(const TPrevX& prev, const std::vector<int>& pages, const std::string& utf8Path,
                   std::string& error) {
  for (int p : pages)
    if (p < 1 || p > prev.PageCount()) {
      error = "page " + std::to_string(p) + " is not among the " +
              std::to_string(prev.PageCount()) + " pages";
      return false;
    }
  if (pages.empty()) {
    error = "no pages to write";
    return false;
  }
  EnsureGuiApplication();
  QFont::insertSubstitution(QString::fromUtf8("ＭＳ ゴシック"), "IPAGothic");

  const PrinterInfo& printer = prev.Printer();
  QPdfWriter writer(QString::fromStdString(utf8Path));
  writer.setResolution(printer.DpiY);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageOrientation(printer.Orientation == 2 ? QPageLayout::Landscape
                                                     : QPageLayout::Portrait);
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setTitle(Text(prev.Title));
  writer.setCreator("Sorvix");
  QPainter painter;
  if (!painter.begin(&writer)) {
    error = "cannot write " + utf8Path;
    return false;
  }
  bool first = true;
  for (int p : pages) {
    if (!first) writer.newPage();
    first = false;
    Replay(painter, writer, prev.Pages()[static_cast<size_t>(p - 1)]);
  }
  if (!painter.end()) {
    error = "cannot write " + utf8Path;
    return false;
  }
  return true;
}

}  // namespace sorvix
