#include "acquisition/ui/get_data_form.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "acquisition/acquisition_time.h"
#include "acquisition/feed_hint.h"
#include "acquisition/feed_jv_link.h"
#include "acquisition/jv_link.h"
#include "app/ui/fonts.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "codes/cp932.h"
#include "codes/jv_result_message.h"

namespace sorvix {
namespace {

QDateTime ToDateTime(const std::tm& t) {
  return QDateTime(QDate(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday),
                   QTime(t.tm_hour, t.tm_min, t.tm_sec));
}

QProgressBar* NewBar(QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  return bar;
}

}  // namespace

TGetDataForm::TGetDataForm(JvLink& link, QWidget* parent)
    : QDialog(parent), link_(link), run_(link, *this, settings_) {
  setObjectName(QStringLiteral("GetDataForm"));
  setWindowTitle(QStringLiteral("ＪＶデータ取込"));
  setModal(true);
  setFont(GothicFont(10));
  resize(560, 520);

  CreateButtons();
  CreateDataKindBox();

  auto* fromLabel = new QLabel(QStringLiteral("取得開始日付"), this);
  from_date_edit_ = new QDateTimeEdit(this);
  from_date_edit_->setObjectName(QStringLiteral("DateTimePicker1"));
  from_date_edit_->setDisplayFormat(QStringLiteral("yyyy年M月d日 H:mm:ss"));
  from_date_edit_->setCalendarPopup(true);

  auto* downloadLabel = new QLabel(QStringLiteral("ダウンロード"), this);
  download_bar_ = NewBar(this);
  download_bar_->setObjectName(QStringLiteral("ProgressBar1"));
  auto* readLabel = new QLabel(QStringLiteral("読込み"), this);
  read_bar_ = NewBar(this);
  read_bar_->setObjectName(QStringLiteral("ProgressBar2"));
  status_label_ = new QLabel(this);
  status_label_->setObjectName(QStringLiteral("ProgressLabel"));
  status_label_->setWordWrap(true);
  status_label_->setMinimumHeight(status_label_->fontMetrics().height() + 4);

  auto* listLabel = new QLabel(QStringLiteral("作成済みデータ"), this);
  stored_list_ = new QListWidget(this);
  stored_list_->setObjectName(QStringLiteral("ListBox1"));
  stored_list_->setUniformItemSizes(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start_button_);
  buttons->addWidget(cancel_button_);
  buttons->addStretch();
  buttons->addWidget(setting_button_);

  auto* grid = new QGridLayout;
  grid->addWidget(fromLabel, 0, 0);
  grid->addWidget(from_date_edit_, 0, 1);
  grid->addWidget(downloadLabel, 1, 0);
  grid->addWidget(download_bar_, 1, 1);
  grid->addWidget(readLabel, 2, 0);
  grid->addWidget(read_bar_, 2, 1);
  grid->setColumnStretch(1, 1);

  auto* frame = new QVBoxLayout(this);
  frame->addLayout(buttons);
  frame->addWidget(data_kind_box_);
  frame->addLayout(grid);
  frame->addWidget(status_label_);
  frame->addWidget(listLabel);
  frame->addWidget(stored_list_, 1);

  CreateTimerAndConnect();

  AcquisitionDefaults defaults = ReadAcquisitionDefaults(settings_, std::time(nullptr));
  if (defaults.setupData) setup_data_radio_->setChecked(true);
  SetFromTime(defaults.from);
}

void TGetDataForm::CreateButtons() {
  start_button_ = new QPushButton(QStringLiteral("データ取込み開始"), this);
  start_button_->setObjectName(QStringLiteral("ButtonStart"));
  cancel_button_ = new QPushButton(QStringLiteral("データ取込み中止"), this);
  cancel_button_->setObjectName(QStringLiteral("ButtonCancel"));
  setting_button_ = new QPushButton(QStringLiteral("JVLink設定"), this);
  setting_button_->setObjectName(QStringLiteral("ButtonSetting"));
  for (QPushButton* button : {start_button_, cancel_button_, setting_button_})
    button->setAutoDefault(false);
}

void TGetDataForm::CreateDataKindBox() {
  data_kind_box_ = new QGroupBox(QStringLiteral("取得データ"), this);
  data_kind_box_->setObjectName(QStringLiteral("GroupBox1"));
  normal_data_radio_ = new QRadioButton(QStringLiteral("通常データ"), data_kind_box_);
  normal_data_radio_->setObjectName(QStringLiteral("rbtNormal"));
  setup_data_radio_ = new QRadioButton(QStringLiteral("セットアップデータ"), data_kind_box_);
  setup_data_radio_->setObjectName(QStringLiteral("rbtSetup"));
  normal_data_radio_->setChecked(true);
  auto* kinds = new QHBoxLayout(data_kind_box_);
  kinds->addWidget(normal_data_radio_);
  kinds->addWidget(setup_data_radio_);
  kinds->addStretch();
}

void TGetDataForm::CreateTimerAndConnect() {
  status_timer_ = new QTimer(this);
  status_timer_->setObjectName(QStringLiteral("TimerJVStatus"));
  status_timer_->setInterval(10);
  connect(start_button_, &QPushButton::clicked, this, &TGetDataForm::ButtonStartClick);
  connect(cancel_button_, &QPushButton::clicked, this, &TGetDataForm::ButtonCancelClick);
  connect(setting_button_, &QPushButton::clicked, this, &TGetDataForm::ButtonSettingClick);
  connect(status_timer_, &QTimer::timeout, this, &TGetDataForm::TimerJVStatusTimer);
}

TGetDataForm::~TGetDataForm() {
  status_timer_->stop();
  // A window destroyed in the middle of a download still ends the open, or
  // the next JVOpen would find it busy.
  if (run_.state() == AcquisitionRun::State::Downloading) {
    link_.JVCancel();
    link_.JVClose();
  }
  if (busy_) QApplication::restoreOverrideCursor();
}

bool TGetDataForm::Running() const {
  return wine_.running() || run_.state() == AcquisitionRun::State::Downloading ||
         run_.state() == AcquisitionRun::State::Reading;
}

std::tm TGetDataForm::FromTime() const {
  QDateTime value = from_date_edit_->dateTime();
  std::tm t{};
  t.tm_year = value.date().year() - 1900;
  t.tm_mon = value.date().month() - 1;
  t.tm_mday = value.date().day();
  t.tm_hour = value.time().hour();
  t.tm_min = value.time().minute();
  t.tm_sec = value.time().second();
  t.tm_isdst = -1;
  return t;
}

void TGetDataForm::SetFromTime(const std::tm& time) {
  from_date_edit_->setDateTime(ToDateTime(time));
}

void TGetDataForm::ButtonStartClick() {
  if (Running()) {
    ShowInformationUtf8(this, QString::fromStdString(ExportEndMessage(kExportBusy)), false);
    return;
  }
  std::tm from = FromTime();
  ShowInformation(this, StartNotice(from), false);
  // Under Wine JV-Link fills the feed folder first.
  WineSetup setup = ReadWineSetup(settings_);
  if (setup.enabled) {
    OnBusy(true);
    bool read =
        wine_.Export(AcquisitionExportArguments(setup, from, setup_data_radio_->isChecked()),
                     [this](const QString& line) { ExportLine(line); });
    OnBusy(false);
    if (!read) return;
  }
  run_.Start(FromTimeText(from), setup_data_radio_->isChecked(), QDate::currentDate().year());
  if (run_.outcome() == AcquisitionRun::Outcome::NoData)
    status_label_->setText(QString::fromStdString(EmptyFeedHint(FeedJvLink::FeedFolder())));
}

void TGetDataForm::ButtonCancelClick() {
  if (!AskYesNo(this, Cp932("データ取込を中止します。実行しますか？"))) return;
  if (wine_.running()) {
    wine_.Cancel();
    return;
  }
  run_.Cancel();
}

void TGetDataForm::ExportLine(const QString& line) {
  status_label_->setText(line);
  if (std::optional<ExportProgress> progress = ExportProgressOf(line.toStdString())) {
    if (progress->download)
      OnDownloadBar(progress->position, progress->maximum);
    else
      OnReadBar(progress->position, progress->maximum);
  }
}

void TGetDataForm::ButtonSettingClick() {
  if (wine_.running()) return;
  if (WineWindowRun::Enabled()) {
    wine_.UiProperties([this](const QString& line) { status_label_->setText(line); });
    return;
  }
  int result = link_.JVSetUIProperties();
  if (result != 0)
    ShowInformation(
        this, Cp932("JVSetUIPropertiesエラー：") + JvResultMessage("JVSetUIProperties", result));
}

void TGetDataForm::TimerJVStatusTimer() {
  run_.Tick();
}

void TGetDataForm::reject() {
  if (Running()) {
    QApplication::beep();
    return;
  }
  QDialog::reject();
}

void TGetDataForm::OnStatus(Cp932View text) {
  status_label_->setText(Q(text));
}

void TGetDataForm::OnDownloadBar(int position, int maximum) {
  download_bar_->setRange(0, std::max(1, maximum));
  download_bar_->setValue(std::clamp(position, 0, download_bar_->maximum()));
}

void TGetDataForm::OnReadBar(int position, int maximum) {
  read_bar_->setRange(0, std::max(1, maximum));
  read_bar_->setValue(std::clamp(position, 0, read_bar_->maximum()));
}

void TGetDataForm::OnStoredLine(Cp932View line) {
  stored_list_->addItem(Q(line));
}

void TGetDataForm::OnStoredListCleared() {
  stored_list_->clear();
}

void TGetDataForm::OnBeep() {
  QApplication::beep();
}

void TGetDataForm::OnMessage(Cp932View text) {
  ShowInformation(this, text, false);
}

void TGetDataForm::OnError(const Error& error) {
  ShowError(this, error, {}, MessageKind::Information, false);
}

void TGetDataForm::OnSkippedRecord(const std::string& recordType, const std::string& reason,
                                   Cp932View fileName) {
  stored_list_->addItem(
      QStringLiteral("保存しなかったレコード:%1（%2）/%3")
          .arg(QString::fromStdString(recordType), QString::fromStdString(reason), Q(fileName)));
}

void TGetDataForm::OnWarning(const std::string& text) {
  stored_list_->addItem(QStringLiteral("警告:") + QString::fromStdString(text));
}

void TGetDataForm::OnBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TGetDataForm::OnTimer(bool running) {
  if (running)
    status_timer_->start();
  else
    status_timer_->stop();
}

void TGetDataForm::OnLastTime(const std::string& lastTime) {
  if (std::optional<std::tm> time = ParseLastTime(lastTime)) SetFromTime(*time);
}

void TGetDataForm::ProcessEvents() {
  // At most once a frame: a run stores tens of thousands of records.
  if (since_events_.isValid() && since_events_.elapsed() < 16) return;
  stored_list_->scrollToBottom();
  QCoreApplication::processEvents();
  since_events_.start();
}

}  // namespace sorvix
