// Where the program's windows go on the screens: restored places moved
// fully onto an available screen, and modal dialogs above every window of
// the program, the stay-on-top ones included.
#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <map>
#include <string_view>

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
// is width × height, fully on an available screen (shrunk to it where it
// is larger).  A size the window cannot have (below what its layout needs,
// zero or negative) gives way to `fallback`, the window's first-time size.
void RestorePlace(QWidget* window, int left, int top, int width, int height, const QSize& fallback);

// A window the user opens (not modal, not one of the stay-on-top race
// views): shown above the stay-on-top windows, fully on the screen it
// opens on, and given the focus.
void ShowAboveOthers(QWidget* window);

// Saves the place of `window` (its frame's left and top, its own width and
// height) as `section`'s top, left, width and height in one write of the
// settings file.  A failure is told once in a run, in one box: a window
// that closes can do nothing more about it, and a box per window tells
// nothing new.  Returns false when the place was not saved.
bool SaveWindowPlace(const QWidget* window, std::string_view section);

// The same for any other look of a window kept in the settings file (the
// preview's zoom): runs `write`, tells a failure once in a run.
bool SaveWindowState(const std::function<void()>& write);

// Once shown (its real frame known): moved back fully onto a screen when
// the frame sticks out.
void KeepOnScreen(QWidget* window);

// Installed once on the application: every modal dialog (message boxes,
// file and folder choosers, the program's own dialogs) is shown above the
// stay-on-top windows, and when it closes the focus goes back to the
// control that had it when the dialog opened, in the window that opened it.
class ModalDialogsOnTop : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  static void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReturnFocus(QPointer<QWidget> opener);
  std::map<QObject*, QPointer<QWidget>> openers_;
};

}  // namespace sorvix
