#include "app/ui/window_places.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <string>

#include "app/settings_file.h"
#include "app/ui/message_box.h"

namespace sorvix {

QRect FitOnScreen(const QRect& frame) {
  QScreen* best = nullptr;
  long long bestArea = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    QRect common = screen->availableGeometry().intersected(frame);
    long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
    if (area > bestArea) {
      bestArea = area;
      best = screen;
    }
  }
  if (best == nullptr) best = QGuiApplication::primaryScreen();
  if (best == nullptr) return frame;
  const QRect avail = best->availableGeometry();
  QRect fitted(frame.topLeft(), QSize(std::min(frame.width(), avail.width()),
                                      std::min(frame.height(), avail.height())));
  fitted.moveLeft(std::clamp(fitted.left(), avail.left(), avail.right() + 1 - fitted.width()));
  fitted.moveTop(std::clamp(fitted.top(), avail.top(), avail.bottom() + 1 - fitted.height()));
  return fitted;
}

QMargins FrameMargins(const QWidget* window) {
  // Known once the window manager has framed the window; before that an
  // estimate: the platform's title bar (at least a line of the title font
  // and padding) and thin borders.
  if (window->isVisible() && window->frameGeometry() != window->geometry()) {
    QRect frame = window->frameGeometry();
    QRect client = window->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
  }
  int titleBar = std::max(window->style()->pixelMetric(QStyle::PM_TitleBarHeight),
                          window->fontMetrics().height() + 12);
  return QMargins(4, titleBar, 4, 4);
}

void PlaceFrame(QWidget* window, const QRect& frame) {
  QMargins margins = FrameMargins(window);
  QRect fitted = FitOnScreen(frame);
  window->resize(std::max(1, fitted.width() - margins.left() - margins.right()),
                 std::max(1, fitted.height() - margins.top() - margins.bottom()));
  window->move(fitted.topLeft());
}

void RestorePlace(QWidget* window, int left, int top, int width, int height,
                  const QSize& fallback) {
  const QSize least = window->minimumSizeHint().expandedTo(QSize(1, 1));
  if (width < least.width() || height < least.height()) {
    width = fallback.width();
    height = fallback.height();
  }
  // A window's position is its frame's; its size is the window's own.
  QMargins margins = FrameMargins(window);
  PlaceFrame(window, QRect(left, top, std::max(1, width) + margins.left() + margins.right(),
                           std::max(1, height) + margins.top() + margins.bottom()));
}

bool SaveWindowState(const std::function<void()>& write) {
  static bool told = false;
  try {
    write();
    return true;
  } catch (const std::exception& e) {
    if (!told) ShowError(nullptr, e, QStringLiteral("ウィンドウの位置と表示を保存できません: "));
    told = true;
    return false;
  }
}

bool SaveWindowPlace(const QWidget* window, std::string_view section) {
  return SaveWindowState([&] {
    SettingsFile().WriteSection(section, {{"top", std::to_string(window->pos().y())},
                                          {"left", std::to_string(window->pos().x())},
                                          {"width", std::to_string(window->width())},
                                          {"height", std::to_string(window->height())}});
  });
}

void KeepOnScreen(QWidget* window) {
  QRect frame = window->frameGeometry();
  if (FitOnScreen(frame) != frame) PlaceFrame(window, frame);
}

void ShowAboveOthers(QWidget* window) {
  if (!window->isVisible()) {
    // Its first place: fitted onto the screen before it is mapped.
    QMargins margins = FrameMargins(window);
    PlaceFrame(window, QRect(window->pos(), window->size().grownBy(margins)));
    // The hint reaches the window manager with the window, so that it is
    // stacked with (and, being the newest, above) 連続出馬表 and 買い目表.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  }
  window->show();
  KeepOnScreen(window);
  window->raise();
  window->activateWindow();
}

void ModalDialogsOnTop::Install() {
  static ModalDialogsOnTop* filter = nullptr;
  if (filter != nullptr || QCoreApplication::instance() == nullptr) return;
  filter = new ModalDialogsOnTop(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(filter);
}

bool ModalDialogsOnTop::eventFilter(QObject* watched, QEvent* event) {
  bool shown = event->type() == QEvent::Show;
  if ((shown || event->type() == QEvent::Hide) && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow() && widget->isModal()) {
      if (shown) {
        // Shown before it is mapped: the hint reaches the window manager
        // with the window, above the program's stay-on-top windows.
        if (QWindow* window = widget->windowHandle())
          window->setFlag(Qt::WindowStaysOnTopHint, true);
        widget->raise();
        openers_[widget] = QApplication::focusWidget();
      } else {
        ReturnFocus(openers_[widget]);
        openers_.erase(widget);
      }
    }
  }
  return QObject::eventFilter(watched, event);
}

void ModalDialogsOnTop::ReturnFocus(QPointer<QWidget> opener) {
  // Once the dialog is gone, unless another modal box has come meanwhile;
  // the window manager may have activated a stay-on-top window instead.
  QTimer::singleShot(0, this, [opener] {
    if (opener == nullptr || !opener->isVisible()) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != opener->window()) return;
    opener->window()->activateWindow();
    opener->setFocus(Qt::ActiveWindowFocusReason);
  });
}

}  // namespace sorvix
