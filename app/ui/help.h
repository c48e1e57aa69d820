// The user manual: Japanese HTML pages installed with the program, one per
// window, opened in the desktop's browser.  ﾍﾙﾌﾟ and 目次 open the table of
// contents; F1 opens the page of the window in front.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace sorvix {

// The folder of the manual: beside an installed program
// (<prefix>/share/sorvix/manual), else the source tree's docs/manual.
// Empty when neither holds index.html.
QString ManualFolder();

// The page (file name and anchor, "main.html#sign-table") of a window.
QString ManualPageFor(const QWidget* window);

// Opens `page` of the manual; false, with a message naming the file and
// the reason, when the manual is missing or no browser could open it.
bool OpenManualPage(QWidget* parent, const QString& page);

// Replaces the browser launch (tests): receives the page's URL and returns
// whether it opened.  An empty opener restores the browser.
void SetManualOpener(std::function<bool(const QUrl&)> opener);

// F1 anywhere in the program, modal dialogs included: the page of the
// window in front.
class HelpKey : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  static void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace sorvix
