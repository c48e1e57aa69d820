// CP932 ↔ QString at the window boundary.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "codes/cp932.h"

namespace sorvix {

inline QString Q(std::string_view cp932) {
  return QString::fromStdString(Utf8(cp932));
}
inline QString Q(Cp932View cp932) {
  return QString::fromStdString(Utf8(cp932));
}
inline std::string FromQ(const QString& text) {
  return Cp932(text.toStdString());
}

}  // namespace sorvix
