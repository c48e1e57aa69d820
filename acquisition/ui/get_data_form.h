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
#include "acquisition/ui/wine_window_run.h"
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

  void OnStatus(Cp932View text) override;
  void OnDownloadBar(int position, int maximum) override;
  void OnReadBar(int position, int maximum) override;
  void OnStoredLine(Cp932View line) override;
  void OnStoredListCleared() override;
  void OnBeep() override;
  void OnMessage(Cp932View text) override;
  void OnError(const Error& error) override;
  void OnSkippedRecord(const std::string& recordType, const std::string& reason,
                       Cp932View fileName) override;
  void OnWarning(const std::string& text) override;
  void OnBusy(bool busy) override;
  void OnTimer(bool running) override;
  void OnLastTime(const std::string& lastTime) override;
  void ProcessEvents() override;

 private:
  // ButtonStart, ButtonCancel and ButtonSetting, connected to their handlers
  // by CreateTimerAndConnect.
  void CreateButtons();
  // GroupBox1: normal or setup data, normal checked.
  void CreateDataKindBox();
  // TimerJVStatus, and the buttons' and the timer's handlers.
  void CreateTimerAndConnect();
  bool Running() const;
  void SetFromTime(const std::tm& time);
  // An exporter's line: the status line, and its progress in the bars.
  void ExportLine(const QString& line);

  // The window's controls; each one's objectName is its name in the
  // program (the comment).
  QPushButton* start_button_ = nullptr;        // ButtonStart
  QPushButton* cancel_button_ = nullptr;       // ButtonCancel
  QPushButton* setting_button_ = nullptr;      // ButtonSetting: JVLink設定
  QGroupBox* data_kind_box_ = nullptr;         // GroupBox1: 取得データ
  QRadioButton* normal_data_radio_ = nullptr;  // rbtNormal
  QRadioButton* setup_data_radio_ = nullptr;   // rbtSetup
  QDateTimeEdit* from_date_edit_ = nullptr;    // DateTimePicker1
  QProgressBar* download_bar_ = nullptr;       // ProgressBar1: files downloaded
  QProgressBar* read_bar_ = nullptr;           // ProgressBar2: files read
  QLabel* status_label_ = nullptr;             // ProgressLabel
  QListWidget* stored_list_ = nullptr;         // ListBox1: 作成済みデータ
  QTimer* status_timer_ = nullptr;             // TimerJVStatus

  JvLink& link_;
  SettingsFile settings_;
  // The export through Wine before the feed folder is read.
  WineWindowRun wine_{this};
  AcquisitionRun run_;
  bool busy_ = false;
  QElapsedTimer since_events_;
};

}  // namespace sorvix
