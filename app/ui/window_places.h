// Where the program's windows go on the screens: restored places moved
// fully onto an available screen, and modal dialogs above every window of
// the program, the stay-on-top ones included.
#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

class QWidget;

namespace sorvix {

// `frame` (a window's outer rectangle) moved, and shrunk where needed, so
// that it lies fully inside the available area of a screen: the screen it
// overlaps most, or the primary screen when it overlaps none.
QRect FitOnScreen(const QRect& frame);

// The room the window manager's frame takes around `window` (estimated
// while the window is not yet framed).
QMargins FrameMargins(const QWidget* window);

// Gives `window` the outer rectangle `frame`, fitted onto a screen.
void PlaceFrame(QWidget* window, const QRect& frame);

// Places a window whose saved frame position is (left, top) and whose size
// is width × height, fully on an available screen.
void RestorePlace(QWidget* window, int left, int top, int width, int height);

// Once shown (its real frame known): moved back fully onto a screen when
// the frame sticks out.
void KeepOnScreen(QWidget* window);

// Installed once on the application: every modal dialog (message boxes,
// file and folder choosers, the program's own dialogs) is shown above the
// stay-on-top windows.
class ModalDialogsOnTop : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  static void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace sorvix
