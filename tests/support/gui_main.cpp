// Test main for the window tests: a QApplication on the offscreen platform
// unless a display platform was chosen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/ui/fonts.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  sorvix::InstallFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
