// Program start: choose ProgramFolder, check that the JV-Link component is
// there, create the windows and run the message loop.
#include <QApplication>
#include <QFileDialog>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "acquisition/feed_jv_link.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "app/startup_checks.h"
#include "app/ui/fonts.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"

namespace {

std::string HomeArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--home") == 0 && i + 1 < argc) return argv[i + 1];
    if (std::strncmp(argv[i], "--home=", 7) == 0) return argv[i] + 7;
  }
  return {};
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "sorvix: 表示装置がありません（DISPLAY が未設定です）。\n"
                 "  仮想画面で起動するには: xvfb-run -a sorvix\n"
                 "  画面なしで使うには: sorvix-cli --help\n");
    return 2;
  }
  std::string home = HomeArgument(argc, argv);
  QApplication app(argc, argv);
  std::setlocale(LC_CTYPE, "C.UTF-8");
  QApplication::setApplicationName(QString::fromLatin1(sorvix::kProductName));
  sorvix::InstallFontSubstitutions();
  try {
    sorvix::ProgramFolder::Resolve(home, argv[0]);
  } catch (const sorvix::IoError& e) {
    sorvix::ShowInformationUtf8(nullptr, QString::fromStdString(e.what()));
    return 1;
  }

  // A settings file that is there but cannot be read: say so once, then run
  // on the defaults without ever writing it, so nothing in it is lost.
  try {
    sorvix::SettingsFile().CheckReadable();
  } catch (const sorvix::IoError& e) {
    sorvix::ShowInformationUtf8(
        nullptr, QString::fromStdString(std::string("設定ファイルを読み込めません: ") + e.what()) +
                     QStringLiteral("\n初期設定で起動します。設定は保存されません。"));
    sorvix::SettingsFile::DisableWrites();
  }
  sorvix::SettingsFile::SetWriteFailureHandler([](const std::string& message) {
    sorvix::ShowInformationUtf8(nullptr,
                                QString::fromStdString("設定を保存できません: " + message));
  });

  if (!sorvix::FeedJvLink::IsInstalled()) {
    sorvix::ShowInformation(nullptr, sorvix::JvLinkMissingMessage());
    return 1;
  }

  auto jvLink = std::make_unique<sorvix::FeedJvLink>(
      [](const std::string& current) -> std::optional<std::string> {
        QString chosen = QFileDialog::getExistingDirectory(
            nullptr, QStringLiteral("JV-Link設定（データフォルダ）"),
            QString::fromStdString(current));
        if (chosen.isEmpty()) return std::nullopt;
        return chosen.toStdString();
      });
  sorvix::TMainForm form(std::move(jvLink));
  form.show();
  return app.exec();
}
