#include "acquisition/acquisition_run.h"

#include <algorithm>

#include "acquisition/acquisition_time.h"
#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/jv_result_message.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/record_checks.h"
#include "store/store_paths.h"

namespace sorvix {
namespace {

constexpr int kReadBufferSize = 60000;

Cp932Text Progress(const char* utf8Prefix, int done, int total) {
  return Cp932(utf8Prefix + std::to_string(done) + "/" + std::to_string(total) + ")");
}

}  // namespace

AcquisitionRun::AcquisitionRun(JvLink& link, AcquisitionObserver& observer, SettingsFile& settings,
                               size_t storeBudget)
    : link_(link), observer_(observer), settings_(settings), writer_(storeBudget) {}

void AcquisitionRun::SetTimer(bool on) {
  if (timer_ == on) return;
  timer_ = on;
  observer_.OnTimer(on);
}

void AcquisitionRun::DownloadBar(int position, int maximum) {
  download_max_ = maximum;
  observer_.OnDownloadBar(position, maximum);
}

void AcquisitionRun::ReadBar(int position, int maximum) {
  read_max_ = maximum;
  observer_.OnReadBar(position, maximum);
}

void AcquisitionRun::ReportJvResult(Cp932View prefix, const std::string& operation, int code) {
  observer_.OnBeep();
  observer_.OnMessage(Cp932Text(prefix) + JvResultMessage(operation, code));
}

void AcquisitionRun::Start(const std::string& fromTime, bool setupData, int currentYear) {
  if (state_ == State::Downloading || state_ == State::Reading) return;
  outcome_ = Outcome::None;
  close_result_ = 0;
  // One writer per ProgramFolder: the lock is held until the run closes.
  try {
    lock_.emplace(HomeLock::Acquire(std::chrono::milliseconds::zero()));
  } catch (const sorvix::Error& busy) {
    if (busy.kind() != sorvix::Error::Kind::Busy) throw;
    if (!observer_.WaitForOtherWriter(busy.what())) {
      observer_.OnBeep();
      observer_.OnError(busy);
      outcome_ = Outcome::StoreError;
      state_ = State::Closed;
      return;
    }
    lock_.emplace(HomeLock::Acquire(HomeLock::kForever));
  }
  // What a killed run left behind is nobody's now.
  RemoveStaleStoreTempFiles();
  window_.year15 = Format("%4d", currentYear - 15);
  SetTimer(false);
  cancel_ = false;
  DownloadBar(0, download_max_);
  ReadBar(0, read_max_);
  observer_.OnStoredListCleared();

  window_.fromYmd = ReadInt(Field(fromTime, ymd::kDate));
  int option = setupData ? 3 : 1;
  observer_.OnBusy(true);

  read_count_ = download_count_ = files_read_ = 0;
  last_file_timestamp_.clear();
  int result = link_.JVOpen("RACEDIFN", fromTime, option, read_count_, download_count_,
                            last_file_timestamp_);
  // A failed open also leaves the read count at 0: only success or "no
  // newer data" (−1) means there is nothing to read.
  if (read_count_ == 0 && (result == 0 || result == -1)) {
    observer_.OnBeep();
    observer_.OnMessage(Cp932("最新のデータがありません。"));
    outcome_ = Outcome::NoData;
    CloseRun();
    return;
  }
  if (result != 0) {
    ReportJvResult(Cp932("JVOpenエラー:"), "JVOpen", result);
    outcome_ = Outcome::JvError;
    CloseRun();
    return;
  }
  observer_.OnStatus(Cp932("ReadCount:" + std::to_string(read_count_) +
                           ", DownloadCount:" + std::to_string(download_count_)));
  if (download_count_ <= 0) {
    DownloadBar(100, 100);
    ReadAll();
    CloseRun();
    return;
  }
  observer_.OnStatus(Cp932("ダウンロード中・・・"));
  DownloadBar(0, download_count_);
  state_ = State::Downloading;
  SetTimer(true);
}

void AcquisitionRun::Tick() {
  if (state_ != State::Downloading) return;
  int s = link_.JVStatus();
  if (s < 0) {
    ReportJvResult(Cp932("JVStatusエラー:"), "JVStatus", s);
    SetTimer(false);
    outcome_ = Outcome::JvError;
    CloseRun();
    return;
  }
  bool done = s >= download_count_;
  if (done) SetTimer(false);
  observer_.OnStatus(Progress("ダウンロード中．．．(", s, download_count_));
  DownloadBar(s, download_max_);
  if (!done) return;
  ReadAll();
  CloseRun();
}

void AcquisitionRun::Cancel() {
  bool downloading = state_ == State::Downloading;
  SetTimer(false);
  link_.JVCancel();
  cancel_ = true;
  if (downloading) {
    // Close the cancelled open too, or the next JVOpen would fail with −202.
    outcome_ = Outcome::Cancelled;
    close_result_ = link_.JVClose();
    observer_.OnBusy(false);
    if (close_result_ != 0) ReportJvResult(Cp932("JVCloseエラー:"), "JVClose", close_result_);
    state_ = State::Closed;
    lock_.reset();
  }
  observer_.OnBeep();
  const Cp932Text text = Cp932("JVCancel:キャンセルされました");
  observer_.OnMessage(text);
  observer_.OnStatus(text);
}

void AcquisitionRun::ReadAll() {
  state_ = State::Reading;
  observer_.OnStatus(Progress("データ読込み中．．．(", 0, read_count_));
  ReadBar(0, read_count_);
  files_read_ = 0;
  Outcome result = Outcome::None;
  try {
    result = ReadLoop();
    if (result == Outcome::Completed) {
      Complete();
    } else {
      // The records read before a cancel or an error stay stored.
      writer_.Flush();
    }
  } catch (const sorvix::Error& e) {
    writer_.Discard();
    observer_.OnBeep();
    observer_.OnError(e);
    result = Outcome::StoreError;
  }
  outcome_ = result;
}

AcquisitionRun::Outcome AcquisitionRun::ReadLoop() {
  std::string buffer;
  std::string fileName;
  for (;;) {
    observer_.ProcessEvents();
    if (cancel_) return Outcome::Cancelled;
    int r = link_.JVRead(buffer, kReadBufferSize, fileName);
    if (r > 0) {
      if (static_cast<size_t>(r) < buffer.size()) buffer.resize(static_cast<size_t>(r));
      Route(buffer, fileName);
    } else if (r == -1) {
      ++files_read_;
      ReadBar(files_read_, read_max_);
      observer_.OnStatus(Progress("データ読込み中．．．(", files_read_, read_count_));
      observer_.OnStoredListCleared();
    } else if (r == 0) {
      observer_.OnStatus(Progress("データ読込み完了(", files_read_, read_count_));
      DownloadBar(0, download_max_);
      ReadBar(0, read_max_);
      return Outcome::Completed;
    } else if (r < -3) {
      observer_.OnBeep();
      Cp932Text text = Cp932("JVReadエラー:") + JvResultMessage("JVRead", r);
      // The file being read, where the component names it.
      if (!fileName.empty())
        text = text + Cp932("（ファイル: ") + Cp932View::FromBytes(fileName) + Cp932("）");
      observer_.OnMessage(text);
      return Outcome::JvError;
    }
  }
}

void AcquisitionRun::Route(const std::string& record, const std::string& fileName) {
  RoutedRecord routed = RouteAcquiredRecord(record, window_, writer_);
  if (!routed.skipped.empty())
    observer_.OnSkippedRecord(ShownField(Field(record, jv::kRecordType)), routed.skipped,
                              Cp932View::FromBytes(fileName));
  for (const auto& line : routed.listLines) observer_.OnStoredLine(line);
}

void AcquisitionRun::Complete() {
  writer_.Flush();
  std::string lastTime = LastTimeFromTimestamp(last_file_timestamp_);
  if (lastTime.empty() && !IsBlank(last_file_timestamp_) &&
      last_file_timestamp_ != "00000000000000")
    observer_.OnWarning("最後のファイルの時刻 \"" + ShownField(last_file_timestamp_) +
                        "\" が正しい日時ではないため、取得済み日時（LastTime）は変えません");
  if (!lastTime.empty()) {
    settings_.WriteString(kLastTimeSection, kLastTimeKey, lastTime);
    observer_.OnLastTime(lastTime);
  }
  observer_.OnStatus(Cp932("データ作成が完了しました。"));
}

void AcquisitionRun::CloseRun() {
  close_result_ = link_.JVClose();
  observer_.OnBusy(false);
  if (close_result_ != 0) {
    ReportJvResult(Cp932("JVCloseエラー:"), "JVClose", close_result_);
  } else {
    observer_.OnBeep();
  }
  state_ = State::Closed;
  lock_.reset();
}

}  // namespace sorvix
