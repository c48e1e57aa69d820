#include "tools/jvdump/export_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <system_error>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "app/startup_checks.h"
#include "codes/cp932.h"
#include "codes/jv_result_message.h"

namespace sorvix::jvdump {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAccumulatingSpec = "RACEDIFN";
constexpr const char* kRealTimeSpec = "0B12";
constexpr const char* kTempSuffix = ".tmp";

bool AllDigits(const std::string& text, size_t count) {
  return text.size() == count &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Sj(const char* utf8) {
  return Cp932(utf8).bytes();
}

// A path in a message (CP932).
std::string PathText(const fs::path& path) {
#ifdef _WIN32
  std::wstring wide = path.wstring();
  if (wide.empty()) return "";
  int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
#else
  return Cp932(path.string()).bytes();
#endif
}

std::string Error(const char* utf8) {
  return Sj("sorvix-jvdump: ") + Sj(utf8);
}

// The 14-digit stamp of a data file name ("RACEDIFN20240106093000.jvd"), or
// empty when the name is not one.
std::string NameStamp(const std::string& name) {
  if (name.size() < 18 || name.compare(name.size() - 4, 4, ".jvd") != 0) return "";
  std::string stamp = name.substr(name.size() - 18, 14);
  return AllDigits(stamp, 14) ? stamp : "";
}

// Renames `from` over `to`, replacing a file there.
bool ReplaceFile(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
  return MoveFileExW(from.wstring().c_str(), to.wstring().c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
#endif
}

// Removes what an interrupted run of this program left in `folder`.
void RemoveLeftovers(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() > 8 && name.compare(name.size() - 8, 8, ".jvd.tmp") == 0)
      stale.push_back(it->path());
  }
  for (const fs::path& path : stale) fs::remove(path, ec);
}

std::string NowStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local = *std::localtime(&now);
  char text[16];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
  return text;
}

// Reads the state file: the last file time stamp of the last complete run.
std::string ReadState(const fs::path& out) {
  std::ifstream in(StatePath(out), std::ios::binary);
  std::string stamp;
  if (!(in >> stamp) || !AllDigits(stamp, 14)) return "";
  return stamp;
}

bool WriteState(const fs::path& out, const std::string& stamp) {
  fs::path path = StatePath(out);
  fs::path temp = path;
  temp += kTempSuffix;
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    file << stamp << "\r\n";
    file.close();
    if (!file) return false;
  }
  return ReplaceFile(temp, path);
}

// One output file: written under a temporary name, renamed by Commit().
class OutputFile {
 public:
  explicit OutputFile(fs::path path) : path_(std::move(path)), temp_(path_) {
    temp_ += kTempSuffix;
    file_.open(temp_, std::ios::binary | std::ios::trunc);
  }
  ~OutputFile() {
    if (!committed_) {
      if (file_.is_open()) file_.close();
      std::error_code ec;
      fs::remove(temp_, ec);
    }
  }
  bool good() const { return static_cast<bool>(file_); }
  const fs::path& path() const { return path_; }

  void Write(const std::string& record) {
    file_.write(record.data(), static_cast<std::streamsize>(record.size()));
    // The feed folder holds one record per line, each ending with CR LF.
    if (record.size() < 2 || record.compare(record.size() - 2, 2, "\r\n") != 0) file_ << "\r\n";
  }
  bool Commit() {
    file_.close();
    if (!file_ || !ReplaceFile(temp_, path_)) return false;
    committed_ = true;
    return true;
  }

 private:
  fs::path path_;
  fs::path temp_;
  std::ofstream file_;
  bool committed_ = false;
};

enum class ReadEnd { Complete, Failed, Cancelled, WriteFailed, Lost };

// Where the read loop is: the records written, the files read, the error
// and the file it came from.
struct ReadProgress {
  long records = 0;
  int filesRead = 0;
  int error = 0;
  std::string fileName;
};

bool EndsWithLine(const std::string& record) {
  return record.size() >= 2 && record.compare(record.size() - 2, 2, "\r\n") == 0;
}

// A record the component cut to the buffer: kept as it came, and counted.
void WarnCut(const std::string& record, const ReadProgress& state, ExportReporter& reporter) {
  reporter.Warning(Sj("警告: バッファ (") + std::to_string(kReadBufferSize) +
                   Sj(" バイト) に収まらず切れたレコードです（") + state.fileName + Sj(" の ") +
                   std::to_string(state.records) + Sj(" 件目, 種別 ") + record.substr(0, 2) +
                   Sj(", ") + std::to_string(record.size()) + Sj(" バイト）"));
}

// The JVRead loop: every record into `file` until 0, an error or a cancel.
// `readCount` is the number of files for the progress line (0: none).
ReadEnd ReadAll(JvLink& link, OutputFile& file, int readCount, ExportReporter& reporter,
                const std::atomic<bool>& cancel, ReadProgress& state) {
  auto progress = [&](const char* prefix) {
    if (readCount > 0)
      reporter.Progress(Sj(prefix) + std::to_string(state.filesRead) + "/" +
                        std::to_string(readCount) + ")");
  };
  progress("データ読込み中．．．(");
  std::string buffer;
  for (;;) {
    reporter.Pump();
    if (cancel) return ReadEnd::Cancelled;
    int r = link.JVRead(buffer, kReadBufferSize, state.fileName);
    if (r > 0) {
      ++state.records;
      if (!EndsWithLine(buffer)) WarnCut(buffer, state, reporter);
      file.Write(buffer);
      if (!file.good()) return ReadEnd::WriteFailed;
    } else if (r == -1) {
      ++state.filesRead;
      progress("データ読込み中．．．(");
    } else if (r == 0) {
      progress("データ読込み完了(");
      return ReadEnd::Complete;
    } else if (r == kRecordLost) {
      return ReadEnd::Lost;
    } else if (r < -3) {
      state.error = r;
      return ReadEnd::Failed;
    } else {
      // −2, −3: nothing yet.
      reporter.Wait();
    }
  }
}

int Cancelled(JvLink& link, ExportReporter& reporter) {
  link.JVCancel();
  link.JVClose();
  reporter.Line(Sj("JVCancel:キャンセルされました"));
  return kExitCancelled;
}

// Ends a run whose records are all written: the rename, the state, JVClose.
int Finish(JvLink& link, OutputFile& file, long records, const std::string& state,
           const fs::path& out, ExportReporter& reporter) {
  if (!file.Commit()) {
    link.JVClose();
    reporter.Line(Error("書き込みに失敗しました: ") + PathText(file.path()));
    return kExitFailed;
  }
  if (!state.empty() && !WriteState(out, state)) {
    link.JVClose();
    reporter.Line(Error("書き込みに失敗しました: ") + PathText(StatePath(out)));
    return kExitFailed;
  }
  reporter.Line(std::to_string(records) + Sj(" 件のレコードを ") + PathText(file.path()) +
                Sj(" に書き出しました。"));
  int close = link.JVClose();
  if (close != 0) {
    reporter.Line(Error("JVCloseエラー:") + JvResultMessage("JVClose", close).bytes());
    return kExitFailed;
  }
  if (reporter.warnings() > 0) {
    reporter.Line(Error("そのまま受け取れなかったレコードがあります: ") +
                  std::to_string(reporter.warnings()) + Sj(" 件"));
    return kExitLossy;
  }
  return kExitOk;
}

// The end of a read that did not complete: the temporary file is removed
// with `file`, the component closed.
int ReadFailed(JvLink& link, ReadEnd end, const ReadProgress& state, const OutputFile& file,
               ExportReporter& reporter) {
  if (end == ReadEnd::Cancelled) return Cancelled(link, reporter);
  link.JVClose();
  if (end == ReadEnd::WriteFailed)
    reporter.Line(Error("書き込みに失敗しました: ") + PathText(file.path()));
  else if (state.error == kRecordUnconvertible)
    reporter.Line(Error("JV-Link の渡した文字列を元の CP932 のバイト列に戻せません（") +
                  state.fileName +
                  Sj("）。Wine では日本語のロケールで起動してください（LANG=ja_JP.UTF-8）。"));
  else if (state.error == kRecordEmpty)
    reporter.Line(Error("JV-Link がレコードの長さだけを返し、中身を渡しませんでした（") +
                  state.fileName + Sj("）。"));
  else
    reporter.Line(Error("JVReadエラー:") + JvResultMessage("JVRead", state.error).bytes());
  return kExitFailed;
}

// How a read that did not complete goes on: read the open again from its
// start, or stop with `ReadFailed`.
class Retries {
 public:
  Retries(JvLink& link, ComponentExtras& extras, ExportReporter& reporter)
      : link_(link), extras_(extras), reporter_(reporter) {}

  // True when the run opens again: the lost record of a reading form that
  // does not work here (the exporter then uses the next form), or a damaged
  // cached file deleted through JVFiledelete (once).
  bool Again(ReadEnd end, const ReadProgress& state) {
    if (end == ReadEnd::Lost && lost_++ < kMaxLost) {
      link_.JVClose();
      reporter_.Line(Sj("読み直すため、もう一度開きます。"));
      return true;
    }
    if (end != ReadEnd::Failed || (state.error != -402 && state.error != -403) || deleted_ ||
        state.fileName.empty())
      return false;
    deleted_ = true;
    reporter_.Line(Sj("JVReadエラー:") + JvResultMessage("JVRead", state.error).bytes());
    link_.JVClose();
    int r = extras_.JVFiledelete(state.fileName);
    reporter_.Line(Sj("壊れたファイル ") + state.fileName +
                   (r == 0 ? Sj(" を JVFiledelete で削除し、もう一度取得します。")
                           : Sj(" を JVFiledelete で削除できませんでした (") + std::to_string(r) +
                                 Sj(")。もう一度取得します。")));
    return true;
  }

 private:
  static constexpr int kMaxLost = 2;  // the forms of JVGets
  JvLink& link_;
  ComponentExtras& extras_;
  ExportReporter& reporter_;
  int lost_ = 0;
  bool deleted_ = false;
};

// JVOpen and the download; 0 when the read can start, else the exit code.
int OpenAndDownload(JvLink& link, const std::string& from, const ExportOptions& options,
                    ExportReporter& reporter, const std::atomic<bool>& cancel, int& readCount,
                    std::string& lastFileTimestamp) {
  int downloadCount = 0;
  int result = link.JVOpen(kAccumulatingSpec, from, options.setup ? 3 : 1, readCount, downloadCount,
                           lastFileTimestamp);
  // JVOpen may have shown the component's dialogs for minutes.
  if (cancel) return Cancelled(link, reporter);
  if (result == -1 || (result == 0 && readCount == 0)) {
    link.JVClose();
    reporter.Line(result == -1 ? "JVOpen:" + JvResultMessage("JVOpen", result).bytes()
                               : Sj("最新のデータがありません。"));
    return kExitNothingNew;
  }
  if (result != 0) {
    link.JVClose();
    reporter.Line(Error("JVOpenエラー:") + JvResultMessage("JVOpen", result).bytes());
    return kExitFailed;
  }
  reporter.Line("ReadCount:" + std::to_string(readCount) +
                ", DownloadCount:" + std::to_string(downloadCount));

  // The download: JVStatus until every file is there.
  int shown = -1;
  while (downloadCount > 0) {
    if (cancel) return Cancelled(link, reporter);
    int s = link.JVStatus();
    if (s < 0) {
      link.JVClose();
      reporter.Line(Error("JVStatusエラー:") + JvResultMessage("JVStatus", s).bytes());
      return kExitFailed;
    }
    if (s != shown) {
      reporter.Progress(Sj("ダウンロード中．．．(") + std::to_string(s) + "/" +
                        std::to_string(downloadCount) + ")");
      shown = s;
    }
    if (s >= downloadCount) break;
    reporter.Wait();
  }
  return 0;
}

int Accumulating(JvLink& link, ComponentExtras& extras, const ExportOptions& options,
                 ExportReporter& reporter, const std::atomic<bool>& cancel) {
  std::string from = options.from.empty() ? ReadState(options.out) : options.from;
  if (from.empty()) {
    reporter.Line(
        Error("前回の実行記録（sorvix-jvdump.state）がありません。初回は --setup --from "
              "yyyymmdd で開始日を指定してください。"));
    return kExitUsage;
  }
  Retries retries(link, extras, reporter);
  for (;;) {
    int readCount = 0;
    std::string lastFileTimestamp;
    if (int code =
            OpenAndDownload(link, from, options, reporter, cancel, readCount, lastFileTimestamp))
      return code;
    // The component's last file time stamp names the file, so that the
    // next run (JVOpen from that stamp) and the feed's readers agree on the
    // order.  Without a stamp from the component the file is named by the
    // clock and the state stays as it was.
    std::string state = AllDigits(lastFileTimestamp, 14) && lastFileTimestamp != "00000000000000"
                            ? lastFileTimestamp
                            : "";
    std::string stamp = state.empty() ? NowStamp() : state;
    OutputFile file(options.out / (kAccumulatingSpec + OrderedStamp(options.out, stamp) + ".jvd"));
    if (!file.good()) {
      link.JVClose();
      reporter.Line(Error("書き込みに失敗しました: ") + PathText(file.path()));
      return kExitFailed;
    }
    ReadProgress read;
    ReadEnd end = ReadAll(link, file, readCount, reporter, cancel, read);
    if (end == ReadEnd::Complete)
      return Finish(link, file, read.records, state, options.out, reporter);
    if (!retries.Again(end, read)) return ReadFailed(link, end, read, file, reporter);
  }
}

int RealTime(JvLink& link, ComponentExtras& extras, const ExportOptions& options,
             ExportReporter& reporter, const std::atomic<bool>& cancel) {
  fs::path folder = options.out / "rt" / options.realtime;
  Retries retries(link, extras, reporter);
  for (;;) {
    int result = link.JVRTOpen(kRealTimeSpec, options.realtime);
    if (cancel) return Cancelled(link, reporter);
    if (result == -1) {
      link.JVClose();
      reporter.Line("JVRTOpen:" + JvResultMessage("JVRTOpen", result).bytes());
      return kExitNothingNew;
    }
    if (result != 0) {
      link.JVClose();
      reporter.Line(Error("JVRTOpenエラー:") + JvResultMessage("JVRTOpen", result).bytes());
      return kExitFailed;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    RemoveLeftovers(folder);
    OutputFile file(folder / (kRealTimeSpec + OrderedStamp(folder, NowStamp()) + ".jvd"));
    if (!file.good()) {
      link.JVClose();
      reporter.Line(Error("書き込みに失敗しました: ") + PathText(file.path()));
      return kExitFailed;
    }
    ReadProgress read;
    ReadEnd end = ReadAll(link, file, 0, reporter, cancel, read);
    if (end == ReadEnd::Complete)
      return Finish(link, file, read.records, "", options.out, reporter);
    if (!retries.Again(end, read)) return ReadFailed(link, end, read, file, reporter);
  }
}

// One exporter per folder: a lock file held open for the run, gone with it.
class FolderLock {
 public:
  explicit FolderLock(const fs::path& out) {
#ifdef _WIN32
    handle_ = CreateFileW(LockPath(out).wstring().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
#else
    path_ = LockPath(out);
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
#endif
  }
  ~FolderLock() {
#ifdef _WIN32
    if (held()) CloseHandle(handle_);
#else
    if (held()) {
      std::error_code ec;
      fs::remove(path_, ec);
      ::close(fd_);
    }
#endif
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
#ifdef _WIN32
  bool held() const {
    return handle_ != INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
#else
  bool held() const {
    return fd_ >= 0;
  }

 private:
  fs::path path_;
  int fd_ = -1;
#endif
};

}  // namespace

void ExportReporter::Wait() {
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

fs::path StatePath(const fs::path& out) {
  return out / "sorvix-jvdump.state";
}

std::string NextStamp(const std::string& stamp) {
  if (!AllDigits(stamp, 14)) return "";
  auto number = [&](size_t pos, size_t width) { return std::stoi(stamp.substr(pos, width)); };
  int year = number(0, 4), month = number(4, 2), day = number(6, 2);
  int hour = number(8, 2), minute = number(10, 2), second = number(12, 2) + 1;
  auto daysIn = [](int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[(m - 1 + 12) % 12];
  };
  if (second >= 60) second = 0, ++minute;
  if (minute >= 60) minute = 0, ++hour;
  if (hour >= 24) hour = 0, ++day;
  if (month >= 1 && month <= 12 && day > daysIn(year, month)) day = 1, ++month;
  if (month > 12) month = 1, ++year;
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", year % 10000, month % 100, day % 100,
                hour % 100, minute % 100, second % 100);
  return text;
}

std::string OrderedStamp(const fs::path& folder, const std::string& wanted) {
  std::string newest;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string stamp = NameStamp(it->path().filename().string());
    if (stamp > newest) newest = stamp;
  }
  return newest.empty() || wanted > newest ? wanted : NextStamp(newest);
}

fs::path LockPath(const fs::path& out) {
  return out / "sorvix-jvdump.lock";
}

int RunExport(JvLink& link, ComponentExtras& extras, const ExportOptions& options,
              ExportReporter& reporter, const std::atomic<bool>& cancel) {
  std::error_code ec;
  fs::create_directories(options.out, ec);
  if (!fs::is_directory(options.out, ec)) {
    reporter.Line(Error("出力フォルダを作成できません: ") + PathText(options.out));
    return kExitFailed;
  }
  FolderLock lock(options.out);
  if (!lock.held()) {
    reporter.Line(Error("別の sorvix-jvdump がこのフォルダに書き出しています: ") +
                  PathText(options.out));
    return kExitBusy;
  }
  RemoveLeftovers(options.out);
  std::string version = link.Version();
  if (!version.empty()) reporter.Line(Sj("JV-Link のバージョン: ") + version);
  int init = link.JVInit(options.sid.empty() ? kSoftwareId : options.sid);
  if (init != 0) {
    reporter.Line(Error("JVInitエラー:") + JvResultMessage("JVInit", init).bytes());
    return kExitFailed;
  }
  return options.realtime.empty() ? Accumulating(link, extras, options, reporter, cancel)
                                  : RealTime(link, extras, options, reporter, cancel);
}

}  // namespace sorvix::jvdump
