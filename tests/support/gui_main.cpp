// Test main for the window tests: a QApplication on the offscreen platform
// unless a display platform was chosen.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/ui/fonts.h"
#include "app/ui/translations.h"

int main(int argc, char** argv) {
  // The offscreen platform with one 1280 × 1024 screen, as the Xvfb screen
  // the windows are looked at on (its own default is 800 × 600).
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!platform || !*platform || std::string(platform) == "offscreen") {
    std::string config = (std::filesystem::temp_directory_path() /
                          ("sorvix-offscreen-" + std::to_string(getpid()) + ".json"))
                             .string();
    // With QT_SCALE_FACTOR the screen has as many more device pixels, so
    // the windows keep their logical size.
    double scale = std::getenv("QT_SCALE_FACTOR") ? std::atof(std::getenv("QT_SCALE_FACTOR")) : 1;
    if (scale < 1) scale = 1;
    std::ofstream(config) << R"({"screens": [{"name": "Screen1", "x": 0, "y": 0, "width": )"
                          << static_cast<int>(1280 * scale) << R"(, "height": )"
                          << static_cast<int>(1024 * scale) << R"(, "logicalDpi": 96}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
  }
  QApplication app(argc, argv);
  sorvix::InstallFontSubstitutions();
  sorvix::InstallQtTranslations();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
