#include "acquisition/ui/wine_window_run.h"

#include <QApplication>
#include <QWidget>

#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "common/error.h"

namespace sorvix {

bool WineWindowRun::Enabled() {
  return ReadWineSetup(SettingsFile()).enabled;
}

bool WineWindowRun::Ready(WineSetup& setup) {
  std::string problem = CheckWineSetup(setup);
  if (problem.empty()) return true;
  ShowInformationUtf8(parent_, QString::fromStdString(problem));
  return false;
}

int WineWindowRun::Run(const std::function<int(const WineSetup&)>& run) {
  WineSetup setup = ReadWineSetup(SettingsFile());
  if (!Ready(setup)) return -1;
  running_ = true;
  cancelled_ = false;
  int code = -1;
  try {
    code = run(setup);
  } catch (const Error& error) {
    running_ = false;
    ShowError(parent_, error);
    return -1;
  }
  running_ = false;
  return code;
}

bool WineWindowRun::Export(const std::vector<std::string>& arguments,
                           const std::function<void(const QString&)>& onLine) {
  if (!ReadWineSetup(SettingsFile()).enabled) return true;
  int code = Run([&](const WineSetup& setup) {
    return RunWineExport(
        setup, arguments, [&](const std::string& line) { onLine(QString::fromStdString(line)); },
        [this] {
          QCoreApplication::processEvents();
          return cancelled_;
        });
  });
  if (code < 0) return false;
  std::string message = ExportEndMessage(code);
  if (message.empty()) return true;
  ShowInformationUtf8(parent_, QString::fromStdString(message), code != kExportCancelled);
  return false;
}

void WineWindowRun::UiProperties(const std::function<void(const QString&)>& onLine) {
  QString last;
  int code = Run([&](const WineSetup& setup) {
    return RunWineUiProperties(
        setup,
        [&](const std::string& line) {
          last = QString::fromStdString(line);
          onLine(last);
        },
        [] {
          QCoreApplication::processEvents();
          return false;
        });
  });
  if (code == kExportBusy)
    ShowInformationUtf8(parent_, QString::fromStdString(ExportEndMessage(code)));
  else if (code > 0)
    ShowInformationUtf8(
        parent_, QStringLiteral("JV-Link の設定画面を開けませんでした（終了コード %1）。\n%2")
                     .arg(code)
                     .arg(last));
}

}  // namespace sorvix
