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
#endif

#include "app/startup_checks.h"
#include "codes/cp932.h"
#include "codes/jv_result_message.h"

namespace sorvix::jvdump {
namespace {

namespace fs = std::filesystem;

constexpr int kReadBufferSize = 60000;
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

enum class ReadEnd { Complete, Failed, Cancelled, WriteFailed };

// The JVRead loop: every record into `file` until 0, an error or a cancel.
// `readCount` is the number of files for the progress line (0: none).
ReadEnd ReadAll(JvLink& link, OutputFile& file, int readCount, ExportReporter& reporter,
                const std::atomic<bool>& cancel, long& records, int& error) {
  int filesRead = 0;
  auto progress = [&](const char* prefix) {
    if (readCount > 0)
      reporter.Progress(Sj(prefix) + std::to_string(filesRead) + "/" + std::to_string(readCount) +
                        ")");
  };
  progress("データ読込み中．．．(");
  std::string buffer, fileName;
  for (;;) {
    if (cancel) return ReadEnd::Cancelled;
    int r = link.JVRead(buffer, kReadBufferSize, fileName);
    if (r > 0) {
      file.Write(buffer);
      if (!file.good()) return ReadEnd::WriteFailed;
      ++records;
    } else if (r == -1) {
      ++filesRead;
      progress("データ読込み中．．．(");
    } else if (r == 0) {
      progress("データ読込み完了(");
      return ReadEnd::Complete;
    } else if (r < -3) {
      error = r;
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
    reporter.Line(Error("CP932 に正しく変換できなかったレコードがあります: ") +
                  std::to_string(reporter.warnings()) + Sj(" 件"));
    return kExitLossy;
  }
  return kExitOk;
}

// The end of a read that did not complete: the temporary file is removed
// with `file`, the component closed.
int ReadFailed(JvLink& link, ReadEnd end, int error, const OutputFile& file,
               ExportReporter& reporter) {
  if (end == ReadEnd::Cancelled) return Cancelled(link, reporter);
  link.JVClose();
  if (end == ReadEnd::WriteFailed)
    reporter.Line(Error("書き込みに失敗しました: ") + PathText(file.path()));
  else
    reporter.Line(Error("JVReadエラー:") + JvResultMessage("JVRead", error).bytes());
  return kExitFailed;
}

int Accumulating(JvLink& link, const ExportOptions& options, ExportReporter& reporter,
                 const std::atomic<bool>& cancel) {
  std::string from = options.from.empty() ? ReadState(options.out) : options.from;
  if (from.empty()) {
    reporter.Line(
        Error("前回の実行記録（sorvix-jvdump.state）がありません。初回は --setup --from "
              "yyyymmdd で開始日を指定してください。"));
    return kExitUsage;
  }
  int readCount = 0, downloadCount = 0;
  std::string lastFileTimestamp;
  int result = link.JVOpen(kAccumulatingSpec, from, options.setup ? 3 : 1, readCount, downloadCount,
                           lastFileTimestamp);
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

  // The component's last file time stamp names the file, so that the next
  // run (JVOpen from that stamp) and the feed's readers agree on the order.
  // Without a stamp from the component the file is named by the clock and
  // the state stays as it was.
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
  long records = 0;
  int error = 0;
  ReadEnd end = ReadAll(link, file, readCount, reporter, cancel, records, error);
  if (end != ReadEnd::Complete) return ReadFailed(link, end, error, file, reporter);
  return Finish(link, file, records, state, options.out, reporter);
}

int RealTime(JvLink& link, const ExportOptions& options, ExportReporter& reporter,
             const std::atomic<bool>& cancel) {
  int result = link.JVRTOpen(kRealTimeSpec, options.realtime);
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
  fs::path folder = options.out / "rt" / options.realtime;
  std::error_code ec;
  fs::create_directories(folder, ec);
  RemoveLeftovers(folder);
  OutputFile file(folder / (kRealTimeSpec + OrderedStamp(folder, NowStamp()) + ".jvd"));
  if (!file.good()) {
    link.JVClose();
    reporter.Line(Error("書き込みに失敗しました: ") + PathText(file.path()));
    return kExitFailed;
  }
  long records = 0;
  int error = 0;
  ReadEnd end = ReadAll(link, file, 0, reporter, cancel, records, error);
  if (end != ReadEnd::Complete) return ReadFailed(link, end, error, file, reporter);
  return Finish(link, file, records, "", options.out, reporter);
}

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

int RunExport(JvLink& link, const ExportOptions& options, ExportReporter& reporter,
              const std::atomic<bool>& cancel) {
  std::error_code ec;
  fs::create_directories(options.out, ec);
  if (!fs::is_directory(options.out, ec)) {
    reporter.Line(Error("出力フォルダを作成できません: ") + PathText(options.out));
    return kExitFailed;
  }
  RemoveLeftovers(options.out);
  int init = link.JVInit(kSoftwareId);
  if (init != 0) {
    reporter.Line(Error("JVInitエラー:") + JvResultMessage("JVInit", init).bytes());
    return kExitFailed;
  }
  return options.realtime.empty() ? Accumulating(link, options, reporter, cancel)
                                  : RealTime(link, options, reporter, cancel);
}

}  // namespace sorvix::jvdump
