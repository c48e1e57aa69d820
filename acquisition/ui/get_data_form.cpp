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

  ButtonStart = new QPushButton(QStringLiteral("データ取込み開始"), this);
  ButtonCancel = new QPushButton(QStringLiteral("データ取込み中止"), this);
  ButtonSetting = new QPushButton(QStringLiteral("JVLink設定"), this);
  for (QPushButton* button : {ButtonStart, ButtonCancel, ButtonSetting})
    button->setAutoDefault(false);

  GroupBox1 = new QGroupBox(QStringLiteral("取得データ"), this);
  rbtNormal = new QRadioButton(QStringLiteral("通常データ"), GroupBox1);
  rbtSetup = new QRadioButton(QStringLiteral("セットアップデータ"), GroupBox1);
  rbtNormal->setChecked(true);
  auto* kinds = new QHBoxLayout(GroupBox1);
  kinds->addWidget(rbtNormal);
  kinds->addWidget(rbtSetup);
  kinds->addStretch();

  auto* fromLabel = new QLabel(QStringLiteral("取得開始日付"), this);
  DateTimePicker1 = new QDateTimeEdit(this);
  DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy年M月d日 H:mm:ss"));
  DateTimePicker1->setCalendarPopup(true);

  auto* downloadLabel = new QLabel(QStringLiteral("ダウンロード"), this);
  ProgressBar1 = NewBar(this);
  auto* readLabel = new QLabel(QStringLiteral("読込み"), this);
  ProgressBar2 = NewBar(this);
  ProgressLabel = new QLabel(this);
  ProgressLabel->setWordWrap(true);
  ProgressLabel->setMinimumHeight(ProgressLabel->fontMetrics().height() + 4);

  auto* listLabel = new QLabel(QStringLiteral("作成済みデータ"), this);
  ListBox1 = new QListWidget(this);
  ListBox1->setUniformItemSizes(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonStart);
  buttons->addWidget(ButtonCancel);
  buttons->addStretch();
  buttons->addWidget(ButtonSetting);

  auto* grid = new QGridLayout;
  grid->addWidget(fromLabel, 0, 0);
  grid->addWidget(DateTimePicker1, 0, 1);
  grid->addWidget(downloadLabel, 1, 0);
  grid->addWidget(ProgressBar1, 1, 1);
  grid->addWidget(readLabel, 2, 0);
  grid->addWidget(ProgressBar2, 2, 1);
  grid->setColumnStretch(1, 1);

  auto* frame = new QVBoxLayout(this);
  frame->addLayout(buttons);
  frame->addWidget(GroupBox1);
  frame->addLayout(grid);
  frame->addWidget(ProgressLabel);
  frame->addWidget(listLabel);
  frame->addWidget(ListBox1, 1);

  TimerJVStatus = new QTimer(this);
  TimerJVStatus->setInterval(10);

  connect(ButtonStart, &QPushButton::clicked, this, &TGetDataForm::ButtonStartClick);
  connect(ButtonCancel, &QPushButton::clicked, this, &TGetDataForm::ButtonCancelClick);
  connect(ButtonSetting, &QPushButton::clicked, this, &TGetDataForm::ButtonSettingClick);
  connect(TimerJVStatus, &QTimer::timeout, this, &TGetDataForm::TimerJVStatusTimer);

  AcquisitionDefaults defaults = ReadAcquisitionDefaults(settings_, std::time(nullptr));
  if (defaults.setupData) rbtSetup->setChecked(true);
  SetFromTime(defaults.from);
}

TGetDataForm::~TGetDataForm() {
  TimerJVStatus->stop();
  // A window destroyed in the middle of a download still ends the open, or
  // the next JVOpen would find it busy.
  if (run_.state() == AcquisitionRun::State::Downloading) {
    link_.JVCancel();
    link_.JVClose();
  }
  if (busy_) QApplication::restoreOverrideCursor();
}

bool TGetDataForm::Running() const {
  return run_.state() == AcquisitionRun::State::Downloading ||
         run_.state() == AcquisitionRun::State::Reading;
}

std::tm TGetDataForm::FromTime() const {
  QDateTime value = DateTimePicker1->dateTime();
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
  DateTimePicker1->setDateTime(ToDateTime(time));
}

void TGetDataForm::ButtonStartClick() {
  if (Running()) return;
  std::tm from = FromTime();
  ShowInformation(this, StartNotice(from), false);
  run_.Start(FromTimeText(from), rbtSetup->isChecked(), QDate::currentDate().year());
  if (run_.outcome() == AcquisitionRun::Outcome::NoData)
    ProgressLabel->setText(QString::fromStdString(EmptyFeedHint(FeedJvLink::FeedFolder())));
}

void TGetDataForm::ButtonCancelClick() {
  if (!AskYesNo(this, "データ取込を中止します。実行しますか？"_sj)) return;
  run_.Cancel();
}

void TGetDataForm::ButtonSettingClick() {
  int result = link_.JVSetUIProperties();
  if (result != 0)
    ShowInformation(this,
                    "JVSetUIPropertiesエラー："_sj + JvResultMessage("JVSetUIProperties", result));
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

void TGetDataForm::OnStatus(const std::string& text) {
  ProgressLabel->setText(Q(text));
}

void TGetDataForm::OnDownloadBar(int position, int maximum) {
  ProgressBar1->setRange(0, std::max(1, maximum));
  ProgressBar1->setValue(std::clamp(position, 0, ProgressBar1->maximum()));
}

void TGetDataForm::OnReadBar(int position, int maximum) {
  ProgressBar2->setRange(0, std::max(1, maximum));
  ProgressBar2->setValue(std::clamp(position, 0, ProgressBar2->maximum()));
}

void TGetDataForm::OnStoredLine(const std::string& line) {
  ListBox1->addItem(Q(line));
}

void TGetDataForm::OnStoredListCleared() {
  ListBox1->clear();
}

void TGetDataForm::OnBeep() {
  QApplication::beep();
}

void TGetDataForm::OnMessage(const std::string& text) {
  ShowInformation(this, text, false);
}

void TGetDataForm::OnError(const Error& error) {
  ShowError(this, error, {}, MessageKind::Information, false);
}

void TGetDataForm::OnSkippedRecord(const std::string& recordType, const std::string& reason,
                                   const std::string& fileName) {
  ListBox1->addItem(
      QStringLiteral("保存しなかったレコード:%1（%2）/%3")
          .arg(QString::fromStdString(recordType), QString::fromStdString(reason), Q(fileName)));
}

void TGetDataForm::OnWarning(const std::string& text) {
  ListBox1->addItem(QStringLiteral("警告:") + QString::fromStdString(text));
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
    TimerJVStatus->start();
  else
    TimerJVStatus->stop();
}

void TGetDataForm::OnLastTime(const std::string& lastTime) {
  if (std::optional<std::tm> time = ParseLastTime(lastTime)) SetFromTime(*time);
}

void TGetDataForm::ProcessEvents() {
  // At most once a frame: a run stores tens of thousands of records.
  if (since_events_.isValid() && since_events_.elapsed() < 16) return;
  ListBox1->scrollToBottom();
  QCoreApplication::processEvents();
  since_events_.start();
}

}  // namespace sorvix
