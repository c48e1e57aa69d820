// The export through JV-Link under Wine, run from a window: the checks'
// messages and the end of the run are shown in boxes, the exporter's lines
// go to the window, and the window stays live (its cancel button acts)
// while Wine works.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "acquisition/wine_export.h"

class QWidget;

namespace sorvix {

class WineWindowRun {
 public:
  explicit WineWindowRun(QWidget* parent) : parent_(parent) {}

  // Runs the exporter with `arguments` when the settings ask for Wine.
  // Returns true when the feed folder is read next: Wine is not used, or
  // the export gave new data or nothing new.  `onLine` gets every line of
  // the exporter.
  bool Export(const std::vector<std::string>& arguments,
              const std::function<void(const QString&)>& onLine);
  // The component's settings dialog through the exporter.
  void UiProperties(const std::function<void(const QString&)>& onLine);

  // While an export runs: it gets an interrupt, then ends after a grace
  // period.
  void Cancel() { cancelled_ = true; }
  bool running() const { return running_; }

  // The settings: whether JVデータ取得 and 結果情報 go through Wine.
  static bool Enabled();

 private:
  // Checks the setup; false after saying what is missing.
  bool Ready(WineSetup& setup);
  int Run(const std::function<int(const WineSetup&)>& run);

  QWidget* parent_;
  bool cancelled_ = false;
  bool running_ = false;
};

}  // namespace sorvix
