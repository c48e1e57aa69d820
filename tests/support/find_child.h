// The controls of a window, reached the way the program names them: by type
// and objectName ("StringGrid10", "DatList").  The windows keep their
// widgets and actions private; the tests look them up here.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace sorvix::test {

// True when `object` lies inside another window that `root` owns (連続出馬表
// in the main window).  A popup menu belongs to the window of its menu bar.
inline bool InOwnedWindow(const QObject* root, const QObject* object) {
  for (const QObject* p = object->parent(); p && p != root; p = p->parent()) {
    auto* widget = qobject_cast<const QWidget*>(p);
    if (widget && widget->isWindow() && widget->windowType() != Qt::Popup) return true;
  }
  return false;
}

// The control of type T named `name` among the children of `root` and
// theirs, leaving out the controls of the windows `root` owns (連続出馬表 and
// 買い目表 name their tabs and grids like the main window); such a window
// itself is found.  Throws, which fails the test with the name, when there
// is no such control or more than one.
template <class T>
T* Child(const QObject* root, const QString& name) {
  QList<T*> found;
  for (T* child : root->findChildren<T*>(name))
    if (!InOwnedWindow(root, child)) found.append(child);
  if (found.size() == 1) return found.front();
  std::string where = root->objectName().isEmpty() ? std::string(root->metaObject()->className())
                                                   : root->objectName().toStdString();
  throw std::runtime_error(where + (found.empty() ? " has no " : " has several ") +
                           T::staticMetaObject.className() + " named \"" + name.toStdString() +
                           "\"");
}

}  // namespace sorvix::test
