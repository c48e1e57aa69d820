// Program start: choose ProgramFolder, check that the JV-Link component is
// there, create the windows and run the message loop.
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QFileDialog>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "acquisition/feed_jv_link.h"
#include "acquisition/wine_export.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "app/startup_checks.h"
#include "app/ui/fonts.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "app/ui/translations.h"
#include "codes/cp932.h"
#include "store/date_argument.h"

namespace {

// The value of option `name` ("--home VALUE" or "--home=VALUE"); nullopt
// when the option is not given.
std::optional<std::string> OptionArgument(int argc, char** argv, const char* name) {
  size_t length = std::strlen(name);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return i + 1 < argc ? argv[i + 1] : std::string();
    if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=')
      return std::string(argv[i] + length + 1);
  }
  return std::nullopt;
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// Without a runtime folder (a session started by hand, xvfb-run as root)
// Qt makes one itself but warns on stderr; make the user's own instead.
void EnsureRuntimeFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); !runtime || !*runtime) {
    std::string folder = "/tmp/sorvix-runtime-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) {
      struct stat st {};
      if (::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
          (st.st_mode & 077) == 0)
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }
  }
}

// A settings file that is there but cannot be read: say so once, then run
// on the defaults.  It is never replaced (every other key in it would be
// lost): each later save says that it failed, by whoever asked for it.
void CheckSettingsFile() {
  try {
    sorvix::SettingsFile().CheckReadable();
  } catch (const sorvix::Error& e) {
    sorvix::ShowWarningUtf8(
        nullptr, QString::fromStdString(std::string("設定ファイルを読み込めません: ") + e.what()) +
                     QStringLiteral("\n初期設定で起動します。設定は保存されません。"));
  }
}

// The JV-Link of the feed folder; its settings dialog asks for the folder.
std::unique_ptr<sorvix::FeedJvLink> NewJvLink() {
  return std::make_unique<sorvix::FeedJvLink>(
      [](const std::string& current) -> std::optional<std::string> {
        QString chosen = QFileDialog::getExistingDirectory(
            nullptr, QStringLiteral("JV-Link設定（データフォルダ）"),
            QString::fromStdString(current));
        if (chosen.isEmpty()) return std::nullopt;
        return chosen.toStdString();
      });
}

// --date DATE [--race N]: opens with that date loaded and race-list row N
// (from 0) shown.
void OpenDateArgument(sorvix::TMainForm& form, const std::string& date,
                      const std::optional<std::string>& race) {
  std::optional<sorvix::Cp932Text> label = sorvix::ParseDateArgument(date);
  int row = -1;
  if (race) {
    bool ok = false;
    row = QString::fromStdString(*race).toInt(&ok);
    if (!ok || row < 0) {
      sorvix::ShowWarningUtf8(
          &form, QStringLiteral("--race にはレース一覧の行（0 から）を指定してください: %1")
                     .arg(QString::fromStdString(*race)));
      row = -1;
    }
  }
  if (!label) {
    sorvix::ShowWarningUtf8(&form, QStringLiteral("--date の日付が読めません: %1（例: 2024-06-15）")
                                       .arg(QString::fromStdString(date)));
  } else {
    form.OpenDate(*label, row);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A write beyond the file-size limit fails with EFBIG and is reported
  // like any other failed write, instead of ending the program silently.
  std::signal(SIGXFSZ, SIG_IGN);
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "sorvix: 表示装置がありません（DISPLAY が未設定です）。\n"
                 "  仮想画面で起動するには: xvfb-run -a sorvix\n"
                 "  画面なしで使うには: sorvix-cli --help\n");
    return 2;
  }
  std::string home = OptionArgument(argc, argv, "--home").value_or("");
  std::optional<std::string> date = OptionArgument(argc, argv, "--date");
  std::optional<std::string> race = OptionArgument(argc, argv, "--race");
  EnsureRuntimeFolder();
  QApplication app(argc, argv);
  std::setlocale(LC_CTYPE, "C.UTF-8");
  QApplication::setApplicationName(QString::fromLatin1(sorvix::kProductName));
  sorvix::InstallFontSubstitutions();
  sorvix::InstallQtTranslations();
  if (OptionArgument(argc, argv, "--home") == std::string()) {
    sorvix::ShowInformationUtf8(nullptr, QStringLiteral("--home の値が空です"));
    return 2;
  }
  try {
    // A new data folder is said, with where it is.
    if (sorvix::ProgramFolder::Resolve(home, argv[0]))
      sorvix::ShowInformationUtf8(
          nullptr,
          QStringLiteral("データフォルダを作成しました: %1")
              .arg(QString::fromStdString(sorvix::ProgramFolder::Get().string())),
          false);
  } catch (const sorvix::Error& e) {
    sorvix::ShowError(nullptr, e);
    return 1;
  }
  CheckSettingsFile();

  if (!sorvix::FeedJvLink::IsInstalled()) {
    // A feed folder that jvlink.ini names, or a jvlink.ini that cannot be
    // read, is said as it is; only a missing default folder means that the
    // component is not installed.
    std::string problem = sorvix::FeedJvLink::FeedFolderProblem();
    std::error_code ec;
    bool configured = std::filesystem::exists(sorvix::FeedJvLink::SettingsPath(), ec);
    sorvix::ShowInformation(
        nullptr, configured ? sorvix::Cp932(problem)
                            : sorvix::JvLinkMissingMessage() + sorvix::Cp932("\r\n" + problem));
    return 1;
  }

  // Under Wine JV-Link is the one in the prefix: the checks of a run, said
  // once here; the program still opens, so that the settings can be put
  // right.
  if (std::string wine = sorvix::WineStartupMessage(sorvix::ReadWineSetup(sorvix::SettingsFile()));
      !wine.empty())
    sorvix::ShowInformationUtf8(nullptr, QString::fromStdString(wine));

  sorvix::TMainForm form(NewJvLink());
  form.show();
  if (date) OpenDateArgument(form, *date, race);
  return app.exec();
}
