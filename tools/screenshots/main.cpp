// sorvix-screenshots --home HOME --date DATE --out FOLDER [--manual FOLDER]
// Opens the main window on HOME's store and grabs each window of the
// program as PNG: the main window at 1200 x 900 (race card, sign table,
// results) and at 1024 x 768, the progress box during the load, 連続出馬表,
// 買い目表, the settings dialog, the acquisition window, the JV-Link (Wine)
// settings dialog, the print preview,
// サイン検証 over every stored date (tables and both charts at 1200 x 900
// and 800 x 600), and, with --manual, the manual's first page.  These are
// the pictures of the manual and of the README; `./sorvix.sh screenshots`
// makes them all from the demo under Xvfb.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "acquisition/feed_jv_link.h"
#include "acquisition/ui/get_data_form.h"
#include "acquisition/ui/wine_set_form.h"
#include "analysis/ui/user_set_form.h"
#include "app/program_folder.h"
#include "app/ui/fonts.h"
#include "app/ui/main_form.h"
#include "app/ui/translations.h"
#include "results/ui/backtest_form.h"
#include "results/ui/kaime_form.h"
#include "store/date_argument.h"
#include "store/ui/prgrs_form.h"
#include "views/de_form.h"

namespace {

std::string Option(int argc, char** argv, const char* name) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
  return {};
}

QString out;

void Save(QWidget* widget, const char* name) {
  QCoreApplication::processEvents();
  QString path = QDir(out).filePath(QString::fromLatin1(name));
  if (!widget->grab().save(path)) std::fprintf(stderr, "保存できません: %s\n", qPrintable(path));
  std::printf("%s\n", qPrintable(path));
}

// The control named `name` among the children of `window` (the name the
// program gives it); the tool ends when there is none.
template <class T>
T* Named(const QObject* window, const char* name) {
  T* found = window->findChild<T*>(QString::fromLatin1(name));
  if (!found) {
    std::fprintf(stderr, "画面部品 %s が見つかりません\n", name);
    std::exit(1);
  }
  return found;
}

// Grabs the modal dialog that `open` shows, then closes it.
void SaveModal(const char* name, const std::function<void()>& open) {
  QTimer poll;
  poll.setInterval(200);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    poll.stop();
    Save(modal, name);
    modal->close();
  });
  poll.start();
  open();
}

// The main window: the progress box during the load of `label`, then the
// race card, sign table and results tabs, and the race card at 1024 x 768.
void SaveMainWindow(sorvix::TMainForm& form, sorvix::Cp932View label) {
  auto* progressBox = Named<sorvix::TPrgrsForm>(&form, "PrgrsForm");
  auto* progressBar = Named<QProgressBar>(progressBox, "ProgressBar1");
  // The race views' tabs: 連続出馬表 and 買い目表 name theirs the same.
  auto* tabs = Named<QTabWidget>(form.centralWidget(), "PageControl1");

  bool progressSaved = false;
  QTimer poll;
  poll.setInterval(0);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (progressSaved || !progressBox->isVisible() || progressBar->value() < 3) return;
    progressSaved = true;
    Save(progressBox, "progress.png");
  });
  poll.start();
  form.OpenDate(label, 3);
  poll.stop();

  tabs->setCurrentIndex(0);
  Save(&form, "main-1200x900.png");
  tabs->setCurrentIndex(1);
  Save(&form, "sign-table.png");
  tabs->setCurrentIndex(2);
  Save(&form, "results.png");
  tabs->setCurrentIndex(0);
  form.resize(1024, 768);
  Save(&form, "main-1024x768.png");
  form.resize(1200, 900);
}

// The windows opened from the main window: 連続出馬表, 買い目表, the
// settings dialog, the acquisition window and the print preview.
void SaveSecondaryWindows(sorvix::TMainForm& form) {
  auto* continuous = Named<sorvix::TDeForm>(&form, "DeForm");
  auto* combinations = Named<sorvix::TKaimeForm>(&form, "KaimeForm");
  form.PlaceSecondaryWindows();
  continuous->DeBtnClick();
  Save(continuous, "continuous.png");
  continuous->hide();
  combinations->KaimeHyoBtnClick();
  Save(combinations, "combinations.png");
  combinations->hide();

  {
    sorvix::TUserSetForm settings(&form);
    settings.show();
    Save(&settings, "settings.png");
  }
  {
    sorvix::TGetDataForm acquisition(form.JVLink1(), &form);
    acquisition.show();
    Save(&acquisition, "acquisition.png");
  }
  {
    // As a user's home shows it, with the prefix made but JV-Link not yet
    // installed in it: the finding says what to do next.
    sorvix::TWineSetForm wine(&form);
    Named<QLineEdit>(&wine, "WinePrefix")->setText(QStringLiteral("/home/user/.wine"));
    Named<QLineEdit>(&wine, "FeedFolder")
        ->setText(QStringLiteral("/home/user/.local/share/sorvix/JVLink"));
    wine.CheckFields();
    wine.show();
    Save(&wine, "wine-settings.png");
  }
  SaveModal("print.png",
            [&] { form.PrintClick(sorvix::PrintLayout::Ring, sorvix::PrintScope::AllVenues); });
}

// サイン検証 over every stored date: its tables and its two charts, at
// 1200 x 900 and at 800 x 600.
void SaveBacktest() {
  sorvix::TBacktestForm form;
  form.move(0, 0);
  form.resize(1200, 900);
  form.show();
  auto* from = Named<QComboBox>(&form, "FromCombo");
  auto* to = Named<QComboBox>(&form, "ToCombo");
  from->setCurrentIndex(0);
  to->setCurrentIndex(to->count() - 1);
  QEventLoop wait;
  QObject::connect(&form, &sorvix::TBacktestForm::Finished, &wait, &QEventLoop::quit);
  form.Run();
  if (form.Running()) wait.exec();
  auto* tabs = Named<QTabWidget>(&form, "Tabs");
  for (QSize size : {QSize(1200, 900), QSize(800, 600)}) {
    form.resize(size);
    std::string suffix = size.width() == 800 ? "-800x600.png" : ".png";
    const char* names[] = {"backtest-tables", "backtest-return-rate", "backtest-stake-return"};
    const char* pages[] = {"SignTable", "RateChart", "MoneyChart"};
    for (int i = 0; i < 3; ++i) {
      tabs->setCurrentWidget(Named<QWidget>(&form, pages[i]));
      Save(&form, (std::string(names[i]) + suffix).c_str());
    }
  }
}

// The manual's first page from the folder `manual`.
void SaveManual(const QString& manual) {
  QTextBrowser browser;
  browser.setSearchPaths({QDir(manual).absolutePath()});
  browser.setSource(
      QUrl::fromLocalFile(QDir(manual).absoluteFilePath(QStringLiteral("index.html"))));
  browser.resize(900, 700);
  if (browser.toPlainText().isEmpty())
    std::fprintf(stderr, "目次を読めません: %s\n", qPrintable(browser.source().toString()));
  browser.show();
  Save(&browser, "manual.png");
}

}  // namespace

int main(int argc, char** argv) {
  std::string home = Option(argc, argv, "--home");
  std::string date = Option(argc, argv, "--date");
  out = QString::fromStdString(Option(argc, argv, "--out"));
  QString manual = QString::fromStdString(Option(argc, argv, "--manual"));
  if (home.empty() || date.empty() || out.isEmpty()) {
    std::fprintf(
        stderr,
        "使い方: sorvix-screenshots --home HOME --date DATE --out FOLDER [--manual FOLDER]\n");
    return 2;
  }
  QApplication app(argc, argv);
  // Folders given relative to where the tool was started (the program
  // moves into its home).
  out = QDir(out).absolutePath();
  if (!manual.isEmpty()) manual = QDir(manual).absolutePath();
  std::setlocale(LC_CTYPE, "C.UTF-8");
  sorvix::InstallFontSubstitutions();
  sorvix::InstallQtTranslations();
  sorvix::ProgramFolder::Resolve(home, argv[0]);
  QDir().mkpath(out);
  auto label = sorvix::ParseDateArgument(date);
  if (!label) {
    std::fprintf(stderr, "日付が読めません: %s\n", date.c_str());
    return 2;
  }

  sorvix::TMainForm form(std::make_unique<sorvix::FeedJvLink>());
  form.move(0, 0);
  form.resize(1200, 900);
  form.show();
  QCoreApplication::processEvents();

  SaveMainWindow(form, *label);
  SaveSecondaryWindows(form);
  SaveBacktest();
  if (!manual.isEmpty()) SaveManual(manual);
  return 0;
}
