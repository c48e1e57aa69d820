#include "app/ui/window_keys.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QShortcut>
#include <QTabWidget>
#include <QWheelEvent>
#include <algorithm>

namespace sorvix {

void CloseOnEscape(QWidget* window) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  escape->setContext(Qt::WindowShortcut);
  QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

void SwitchTabsByKeys(QTabWidget* tabs) {
  auto step = [tabs](int delta) {
    int count = tabs->count();
    if (count > 0) tabs->setCurrentIndex((tabs->currentIndex() + delta + count) % count);
  };
  const struct {
    QKeySequence keys;
    int delta;
  } keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
              {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
              {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
  for (const auto& k : keys) {
    auto* shortcut = new QShortcut(k.keys, tabs->window());
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, tabs, [step, d = k.delta] { step(d); });
  }
}

DateBoxKeys::DateBoxKeys(QComboBox* box, std::function<void()> load)
    : QObject(box), box_(box), load_(std::move(load)) {
  // A pick from the open list comes as the box's activated().
  box->installEventFilter(this);
}

bool DateBoxKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_ && event->type() == QEvent::Wheel) {
    // The wheel steps through the dates as ↑/↓ do, loading none.
    int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
    if (steps != 0 && box_->count() > 0)
      box_->setCurrentIndex(std::clamp(box_->currentIndex() - steps, 0, box_->count() - 1));
    return true;
  }
  if (watched != box_ || event->type() != QEvent::KeyPress)
    return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  int count = box_->count();
  int at = box_->currentIndex();
  int to = at;
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (at >= 0) load_();
      return true;
    case Qt::Key_Up:
      to = at - 1;
      break;
    case Qt::Key_Down:
      to = at + 1;
      break;
    case Qt::Key_Home:
      to = 0;
      break;
    case Qt::Key_End:
      to = count - 1;
      break;
    default:
      return QObject::eventFilter(watched, event);
  }
  if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
    return QObject::eventFilter(watched, event);
  if (count > 0) box_->setCurrentIndex(std::clamp(to, 0, count - 1));
  return true;
}

}  // namespace sorvix
