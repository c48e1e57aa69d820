#include "app/ui/help.h"

#include <unistd.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTabWidget>
#include <QWidget>
#include <filesystem>

#include "app/file_io.h"
#include "app/ui/message_box.h"

namespace sorvix {
namespace {

std::function<bool(const QUrl&)>& Opener() {
  static std::function<bool(const QUrl&)> opener;
  return opener;
}

// The race views' tabs of the main window: its own PageControl1, not that
// of 連続出馬表 or 買い目表, which it owns and which name theirs the same.
const QTabWidget* ViewTabsOf(const QWidget* window) {
  for (const QTabWidget* tabs : window->findChildren<QTabWidget*>(QStringLiteral("PageControl1")))
    if (tabs->window() == window) return tabs;
  return nullptr;
}

// A page and its section, as a file any opener keeps: xdg-open and the
// openers behind it turn a file URL into a path and drop "#section", so
// the section is reached through a small page of the user's own that sends
// the browser on to it.
QUrl SectionUrl(const QUrl& target) {
  if (!target.hasFragment()) return target;
  QString folder = QDir::temp().filePath(QStringLiteral("sorvix-help-%1").arg(::getuid()));
  QDir().mkpath(folder);
  QFile::setPermissions(folder,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QString file =
      QDir(folder).filePath(QFileInfo(target.toLocalFile()).completeBaseName() +
                            QStringLiteral("-") + target.fragment() + QStringLiteral(".html"));
  QString href = target.toString(QUrl::FullyEncoded).toHtmlEscaped();
  QString html = QStringLiteral(
                     "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
                     "<meta http-equiv=\"refresh\" content=\"0; url=%1\"><title>Sorvix</title>"
                     "</head><body><a href=\"%1\">%1</a></body></html>\n")
                     .arg(href);
  try {
    WriteFileAtomic(std::filesystem::path(file.toStdString()), html.toStdString());
  } catch (const std::exception&) {
    return target;  // the page itself, at least
  }
  return QUrl::fromLocalFile(file);
}

}  // namespace

QString ManualFolder() {
  QStringList candidates = {
      QDir(QCoreApplication::applicationDirPath())
          .filePath(QStringLiteral("../share/sorvix/manual")),
#ifdef SORVIX_SOURCE_DIR
      QDir(QStringLiteral(SORVIX_SOURCE_DIR)).filePath(QStringLiteral("docs/manual")),
#endif
  };
  for (const QString& folder : candidates)
    if (QFileInfo::exists(QDir(folder).filePath(QStringLiteral("index.html"))))
      return QDir(folder).canonicalPath();
  return {};
}

QString ManualPageFor(const QWidget* window) {
  // A chooser or a message box belongs to the window that opened it.
  while (window && (window->inherits("QFileDialog") || window->inherits("QMessageBox")) &&
         window->parentWidget())
    window = window->parentWidget()->window();
  if (!window) return QStringLiteral("index.html");
  if (window->inherits("sorvix::TMainForm")) {
    auto* tabs = ViewTabsOf(window);
    static const char* kTabs[] = {"main.html#race-card", "main.html#sign-table",
                                  "main.html#results"};
    int tab = tabs && tabs->isVisible() ? tabs->currentIndex() : -1;
    return tab >= 0 && tab < 3 ? QString::fromLatin1(kTabs[tab]) : QStringLiteral("main.html");
  }
  struct Page {
    const char* className;
    const char* page;
  } pages[] = {
      {"sorvix::TDeForm", "continuous.html"},     {"sorvix::TKaimeForm", "combinations.html"},
      {"sorvix::TUserSetForm", "settings.html"},  {"sorvix::TGetDataForm", "acquisition.html"},
      {"sorvix::TAllPrintForm", "print.html"},    {"sorvix::TAboutBox", "index.html"},
      {"sorvix::TBacktestForm", "backtest.html"}, {"sorvix::TSqliteExportForm", "sqlite.html"},
      {"sorvix::TWineSetForm", "wine.html"},
  };
  for (const Page& p : pages)
    if (window->inherits(p.className)) return QString::fromLatin1(p.page);
  return QStringLiteral("index.html");
}

bool OpenManualPage(QWidget* parent, const QString& page) {
  QString folder = ManualFolder();
  QString file = page.section('#', 0, 0);
  QString anchor = page.section('#', 1);
  if (folder.isEmpty() || !QFileInfo::exists(QDir(folder).filePath(file))) {
    ShowWarningUtf8(parent, QStringLiteral("ヘルプを開けませんでした: %1 が見つかりません"
                                           "（share/sorvix/manual にインストールされていません）。")
                                .arg(folder.isEmpty() ? QStringLiteral("manual/index.html")
                                                      : QDir(folder).filePath(file)));
    return false;
  }
  QUrl url = QUrl::fromLocalFile(QDir(folder).filePath(file));
  if (!anchor.isEmpty()) url.setFragment(anchor);
  bool opened = Opener() ? Opener()(SectionUrl(url)) : QDesktopServices::openUrl(SectionUrl(url));
  if (!opened)
    ShowWarningUtf8(parent,
                    QStringLiteral("ヘルプ %1 を開けませんでした: ブラウザーを起動できません"
                                   "（xdg-open とブラウザーがインストールされているか"
                                   "確認してください）。")
                        .arg(url.toLocalFile()));
  return opened;
}

void SetManualOpener(std::function<bool(const QUrl&)> opener) {
  Opener() = std::move(opener);
}

void HelpKey::Install() {
  static HelpKey* filter = nullptr;
  if (filter != nullptr || QCoreApplication::instance() == nullptr) return;
  filter = new HelpKey(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(filter);
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
      watched->isWidgetType()) {
    QWidget* front = QApplication::activeModalWidget();
    if (!front) front = QApplication::activeWindow();
    if (!front) front = static_cast<QWidget*>(watched)->window();
    OpenManualPage(front, ManualPageFor(front));
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace sorvix
