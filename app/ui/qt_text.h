// CP932 ↔ QString at the window boundary: Q() for a text a window shows,
// FromQ() for a text a window gives back to the core.
#pragma once

#include <QString>

#include "codes/cp932.h"

namespace sorvix {

inline QString Q(Cp932View cp932) {
  return QString::fromStdString(Utf8(cp932));
}
inline Cp932Text FromQ(const QString& text) {
  return Cp932(text.toStdString());
}

}  // namespace sorvix
