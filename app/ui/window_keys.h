// Keys every window of the program shares: Esc closes a window that is not
// modal (連続出馬表, 買い目表, サイン検証), Ctrl+Tab / Ctrl+PgDn and
// Ctrl+Shift+Tab / Ctrl+PgUp switch the tabs of a window wherever its focus
// is (a table would otherwise take Ctrl+Tab), and a date box loads a date
// only on Enter or on a pick from its list, not on every date ↑/↓ passes.
#pragma once

#include <QObject>
#include <functional>

class QComboBox;
class QTabWidget;
class QWidget;

namespace sorvix {

void CloseOnEscape(QWidget* window);

void SwitchTabsByKeys(QTabWidget* tabs);

// ↑/↓, Home, End and the wheel on the closed box move its choice without
// `load`; Enter runs `load` (a pick from the open list is the box's
// activated()).
class DateBoxKeys : public QObject {
 public:
  DateBoxKeys(QComboBox* box, std::function<void()> load);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QComboBox* box_;
  std::function<void()> load_;
};

}  // namespace sorvix
