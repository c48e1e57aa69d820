#include "print/ui/pdf_export.h"

#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <cstdlib>

#include "codes/cp932.h"
#include "print/ui/page_replay.h"

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

QString Text(const std::string& cp932) {
  return QString::fromStdString(Utf8(cp932));
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
    ReplayPage(painter, prev.Pages()[static_cast<size_t>(p - 1)]);
  }
  if (!painter.end()) {
    error = "cannot write " + utf8Path;
    return false;
  }
  return true;
}

}  // namespace sorvix
