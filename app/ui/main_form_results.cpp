// The main window's result commands: the real-time results fetch (結果情報),
// the predicted-odds import (予想オッズ) and the hit report (的中, 穴的中).
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QStatusBar>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <optional>

#include "acquisition/realtime_fetch.h"
#include "acquisition/ui/get_data_form.h"
#include "acquisition/ui/wine_window_run.h"
#include "app/error_log.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "results/hit_report.h"
#include "results/odds_import.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

// DLlabel follows the fetch, and pending messages are processed.
class FetchLabel : public RealtimeFetchObserver {
 public:
  explicit FetchLabel(QLabel* label) : label_(label) {}
  void OnLabel(Cp932View text) override {
    label_->setText(Q(text));
    QCoreApplication::processEvents();
  }
  void ProcessEvents() override { QCoreApplication::processEvents(); }
  void OnBeep() override { QApplication::beep(); }
  void OnError(const Error& failure) override { error = failure.what(); }
  // Records not stored are said after the fetch, as the acquisition lists
  // them.
  void OnSkippedRecord(const std::string& recordType, const std::string& reason,
                       Cp932View fileName) override {
    skipped << QStringLiteral("保存しなかったレコード:%1（%2）/%3")
                   .arg(QString::fromStdString(recordType), QString::fromStdString(reason),
                        Q(fileName));
  }
  std::string error;
  QStringList skipped;

 private:
  QLabel* label_;
};

}  // namespace

void TMainForm::JvDataBtnClick() {
  {
    TGetDataForm form(JVLink1(), this);
    form.exec();
  }
  MakeDataListBtnClick();
}

void TMainForm::KekkaBtnClick() {
  if (day_->RaceListRows <= 0 || date_combo_->currentIndex() < 0) {
    Say(QStringLiteral("結果情報: 開催日が読み込まれていません。先に開催日を選んでください。"));
    return;
  }
  if (WineWindowRun::Enabled() && !ExportResultsThroughWine()) return;
  ErrorLog log;
  FetchLabel label(fetch_label_);
  RealtimeFetch fetch(JVLink1(), log, label);
  RealtimeFetchOutcome outcome = fetch.FetchResults(*day_, selectedRace_);
  if (!label.error.empty()) ShowInformationUtf8(this, QString::fromStdString(label.error));
  if (!label.skipped.isEmpty()) {
    constexpr qsizetype kShown = 20;
    QStringList lines = label.skipped.mid(0, kShown);
    if (label.skipped.size() > kShown)
      lines << QStringLiteral("ほか %1 件").arg(label.skipped.size() - kShown);
    ShowInformationUtf8(this, lines.join(QStringLiteral("\n")));
  }
  if (outcome.payoutsImported) DatListClick();
}

bool TMainForm::ExportResultsThroughWine() {
  WineWindowRun wine(this);
  QProgressDialog box(QStringLiteral("JV-Link（Wine）から結果情報を書き出しています…"),
                      QStringLiteral("中止"), 0, 0, this);
  box.setObjectName(QStringLiteral("KekkaWineProgress"));
  box.setWindowTitle(QStringLiteral("結果情報"));
  box.setWindowModality(Qt::WindowModal);
  box.setMinimumDuration(0);
  box.setAutoReset(false);
  box.setAutoClose(false);
  // 中止, Esc or closing the box: the exporter is interrupted, then ended
  // after a grace period; what it has not finished is not kept.
  connect(&box, &QProgressDialog::canceled, this, [&] {
    wine.Cancel();
    fetch_label_->setText(QStringLiteral("結果情報の書き出しを中止しています…"));
  });
  box.show();
  bool read = wine.Export(RealtimeExportArguments(day_->LoadedLabel()), [&](const QString& line) {
    fetch_label_->setText(line);
    if (!box.isVisible()) return;
    box.setLabelText(line);
    if (std::optional<ExportProgress> progress = ExportProgressOf(line.toStdString())) {
      box.setRange(0, std::max(1, progress->maximum));
      box.setValue(std::clamp(progress->position, 0, box.maximum()));
    }
  });
  fetch_label_->clear();
  return read;
}

void TMainForm::YosoOzBtnClick() {
  QString archive = QFileDialog::getOpenFileName(
      this, QStringLiteral("予想オッズデータの取込"), YosoFolder(),
      QStringLiteral("KOL3ｵｯｽﾞ（kd3_jb*.lzh）,KOL2ｵｯｽﾞ（j*.lzh）,JRDBｵｯｽﾞ(OZ*.lzh) (kd3_jb*.lzh "
                     "j*.lzh OZ*.lzh)"));
  if (archive.isEmpty()) return;
  ImportOdds(archive);
}

void TMainForm::ImportOdds(const QString& archive) {
  std::optional<bool> from2005;
  if (day_->RaceListRows > 0) from2005 = day_->From2005;
  RunOrShowError([&] {
    OddsImportResult result = ImportPredictedOdds(archive.toStdString(), from2005);
    QString text = Q(result.message);
    if (!result.detail.empty())
      text += (text.isEmpty() ? QString() : QStringLiteral("\n")) +
              QString::fromStdString(result.detail);
    if (!text.isEmpty()) ShowInformationUtf8(this, text, result.beep);
  });
}

void TMainForm::TekiAnaBtnClick(bool bigOnly) {
  if (day_->RaceListRows <= 0) {
    Say(QStringLiteral("的中: 開催日が読み込まれていません。先に開催日を選んでください。"));
    return;
  }
  RunOrShowError([&] {
    HitReport report = sorvix::WriteHitReport(*day_, bigOnly);
    SelectRace(day_->RaceListRows - 1);
    if (!report.written) {
      statusBar()->showMessage(QStringLiteral("的中した買い目はありませんでした"));
      return;
    }
    QStringList lines;
    for (const Cp932Text& line : report.lines) lines << Q(line);
    QApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")));
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(report.fragmentPath.string())));
  });
}

}  // namespace sorvix
