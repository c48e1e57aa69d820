#include "app/ui/fonts.h"

#include <QApplication>

namespace sorvix {

void InstallFontSubstitutions() {
  QFont::insertSubstitution(QString::fromUtf8(kGothicFamily), QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
  QFont base(QStringLiteral("IPAPGothic"), 9);
  QApplication::setFont(base);
}

QFont GothicFont(int pointSize, bool bold) {
  QFont font(QString::fromUtf8(kGothicFamily), pointSize);
  font.setBold(bold);
  return font;
}

}  // namespace sorvix
