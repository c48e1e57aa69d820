// Test main for the window tests: a QApplication on the offscreen platform
// unless a display platform was chosen.
#include <gtest/gtest.h>

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
    std::string config =
        (std::filesystem::temp_directory_path() / "sorvix-offscreen.json").string();
    std::ofstream(config) << R"({"screens": [{"name": "Screen1", "x": 0, "y": 0,)"
                          << R"( "width": 1280, "height": 1024, "logicalDpi": 96}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
  }
  QApplication app(argc, argv);
  sorvix::InstallFontSubstitutions();
  sorvix::InstallQtTranslations();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
