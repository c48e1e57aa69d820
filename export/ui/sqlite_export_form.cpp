#include "export/ui/sqlite_export_form.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "app/ui/window_keys.h"
#include "app/ui/window_places.h"
#include "codes/cp932.h"
#include "results/backtest.h"
#include "store/estimate.h"

namespace sorvix {
namespace {

QString U(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace

TSqliteExportForm::TSqliteExportForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  CloseOnEscape(this);
  setObjectName(QStringLiteral("SqliteExportForm"));
  setWindowTitle(QStringLiteral("SQLite へ書き出し"));
  auto* layout = new QVBoxLayout(this);
  file_label_ = new QLabel(this);
  file_label_->setObjectName(QStringLiteral("FileLabel"));
  settings_label_ = new QLabel(this);
  settings_label_->setObjectName(QStringLiteral("SettingsLabel"));
  settings_label_->setWordWrap(true);
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setObjectName(QStringLiteral("Progress"));
  progress_bar_->setFormat(QStringLiteral("%v / %m 日"));
  status_label_ = new QLabel(this);
  status_label_->setObjectName(QStringLiteral("StatusLabel"));
  status_label_->setWordWrap(true);
  run_.ShowOn(progress_bar_, status_label_);
  auto* buttons = new QHBoxLayout();
  cancel_button_ = new QPushButton(QStringLiteral("中止"), this);
  cancel_button_->setObjectName(QStringLiteral("CancelButton"));
  close_button_ = new QPushButton(QStringLiteral("閉じる"), this);
  close_button_->setObjectName(QStringLiteral("CloseButton"));
  buttons->addStretch(1);
  buttons->addWidget(cancel_button_);
  buttons->addWidget(close_button_);
  for (QWidget* w : {static_cast<QWidget*>(file_label_), static_cast<QWidget*>(settings_label_),
                     static_cast<QWidget*>(progress_bar_), static_cast<QWidget*>(status_label_)})
    layout->addWidget(w);
  layout->addLayout(buttons);
  resize(520, 200);
  connect(cancel_button_, &QPushButton::clicked, this, &TSqliteExportForm::Cancel);
  connect(close_button_, &QPushButton::clicked, this, &QWidget::close);
  AskSavePath = [this] {
    return QFileDialog::getSaveFileName(this, QStringLiteral("SQLite へ書き出し"), QString(),
                                        QStringLiteral("SQLite (*.sqlite *.db)"));
  };
  SetBusy(false);
}

TSqliteExportForm::~TSqliteExportForm() = default;

TSqliteExportForm* TSqliteExportForm::Open(QWidget* parent) {
  auto* form = parent ? parent->findChild<TSqliteExportForm*>() : nullptr;
  if (!form) form = new TSqliteExportForm(parent);
  if (!form->Running()) {
    QString path = form->AskSavePath();
    if (path.isEmpty()) return form;
    form->Start(path);
  }
  ShowAboveOthers(form);
  return form;
}

void TSqliteExportForm::SetBusy(bool busy) {
  cancel_button_->setEnabled(busy);
  close_button_->setEnabled(!busy);
}

bool TSqliteExportForm::Start(const QString& path) {
  if (Running()) return false;
  SettingsFile settings;
  SqliteExportOptions options;
  options.file = path.toStdString();
  options.points = SignPoints::Load(settings);
  options.source = ReadEstimateSource(settings);
  options.dates = StoredDatesBetween({}, {});
  options.cancel = run_.CancelFlag();
  options.progress = [this](int done, int total, Cp932View label) {
    run_.Progress(done, total, QStringLiteral("書き出し中: ") + U(IsoDateOfLabel(label)));
  };
  file_label_->setText(QStringLiteral("ファイル: ") + path);
  settings_label_->setText(QStringLiteral("開催日 %1 日、推定能力: %2、配点: ユーザー設定")
                               .arg(options.dates.size())
                               .arg(U(EstimateSourceName(options.source))));
  progress_bar_->setMaximum(std::max<int>(1, static_cast<int>(options.dates.size())));
  progress_bar_->setValue(0);
  status_label_->setText(QStringLiteral("書き出し中…"));
  SetBusy(true);
  return run_.Start<SqliteExportResult>(
      [options = std::move(options)] { return RunSqliteExport(options); },
      std::bind_front(&TSqliteExportForm::Done, this));
}

void TSqliteExportForm::Cancel() {
  run_.Cancel();
}

void TSqliteExportForm::Done(std::shared_ptr<SqliteExportResult> result, const QString& failure) {
  result_ = std::move(result);
  SetBusy(false);
  if (!result_) {
    status_label_->setText(QStringLiteral("書き出せませんでした: ") + failure);
    ShowWarningUtf8(this, failure);
  } else {
    QString status =
        QStringLiteral("追加 %1 日（%2 レース、%3 頭）、書き出し済み %4 日、%5 MB")
            .arg(result_->added)
            .arg(result_->races)
            .arg(result_->runners)
            .arg(result_->present)
            .arg(static_cast<double>(result_->fileBytes) / (1024.0 * 1024.0), 0, 'f', 1);
    if (result_->cancelled)
      status = QStringLiteral("中止しました（もう一度書き出すと続きから書きます）: ") + status;
    if (!result_->failed.empty())
      status += QStringLiteral("　読み込めなかった日 %1: %2 %3")
                    .arg(result_->failed.size())
                    .arg(U(IsoDateOfLabel(result_->failed.front().first)))
                    .arg(U(result_->failed.front().second));
    status_label_->setText(status);
  }
  emit Finished();
}

}  // namespace sorvix
