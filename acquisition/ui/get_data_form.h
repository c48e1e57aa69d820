// ＪＶデータ取込: the accumulating acquisition window.  It shows one
// AcquisitionRun: the start and cancel buttons, the choice of normal or setup
// data and the from-date, the download and read bars, the status line and
// the list of stored data.  A 10 ms timer polls the download; the read loop
// processes window messages between records so that the cancel button acts.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <ctime>

#include "acquisition/acquisition_observer.h"
#include "acquisition/acquisition_run.h"
#include "app/settings_file.h"

class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace sorvix {

class JvLink;

class TGetDataForm : public QDialog, public AcquisitionObserver {
  Q_OBJECT
 public:
  // Opens with JvDataGet/LastTime: setup data marked when there is none,
  // the from-date at LastTime or one year back.
  TGetDataForm(JvLink& link, QWidget* parent = nullptr);
  ~TGetDataForm() override;

  QPushButton* ButtonStart = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonSetting = nullptr;  // JVLink設定
  QGroupBox* GroupBox1 = nullptr;        // 取得データ
  QRadioButton* rbtNormal = nullptr;
  QRadioButton* rbtSetup = nullptr;
  QDateTimeEdit* DateTimePicker1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;  // files downloaded
  QProgressBar* ProgressBar2 = nullptr;  // files read
  QLabel* ProgressLabel = nullptr;
  QListWidget* ListBox1 = nullptr;  // 作成済みデータ
  QTimer* TimerJVStatus = nullptr;

  void ButtonStartClick();
  void ButtonCancelClick();
  void ButtonSettingClick();
  void TimerJVStatusTimer();

  const AcquisitionRun& Run() const { return run_; }
  // The date picker's value.
  std::tm FromTime() const;

  // While a run downloads or reads the window stays open: the run owns the
  // open JV-Link session and the cancel button ends it.
  void reject() override;

  void OnStatus(const std::string& text) override;
  void OnDownloadBar(int position, int maximum) override;
  void OnReadBar(int position, int maximum) override;
  void OnStoredLine(const std::string& line) override;
  void OnStoredListCleared() override;
  void OnBeep() override;
  void OnMessage(const std::string& text) override;
  void OnError(const Error& error) override;
  void OnSkippedRecord(const std::string& recordType, const std::string& reason,
                       const std::string& fileName) override;
  void OnWarning(const std::string& text) override;
  void OnBusy(bool busy) override;
  void OnTimer(bool running) override;
  void OnLastTime(const std::string& lastTime) override;
  void ProcessEvents() override;

 private:
  bool Running() const;
  void SetFromTime(const std::tm& time);

  JvLink& link_;
  SettingsFile settings_;
  AcquisitionRun run_;
  bool busy_ = false;
  QElapsedTimer since_events_;
};

}  // namespace sorvix
