// Font names of the program mapped to the fonts of this platform.
#pragma once

#include <QFont>

namespace sorvix {

// The program's Japanese Gothic face ("ＭＳ ゴシック").
inline const char* const kGothicFamily = "ＭＳ ゴシック";

// Maps "ＭＳ ゴシック" (and the UI's default family) to IPAGothic, so every
// window, print and PDF uses the same Japanese Gothic font.
void InstallFontSubstitutions();

// "ＭＳ ゴシック" at a point size, optionally bold.
QFont GothicFont(int pointSize, bool bold = false);

}  // namespace sorvix
