#include "acquisition/feed_jv_link.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <utility>

#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "store/record_date.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultVersion = "0490";
constexpr const char* kAccumulatingSpec = "RACEDIFN";
constexpr const char* kRealTimeSpec = "0B12";
constexpr size_t kMaxSidBytes = 63;

// Result codes of the component.
constexpr int kNoData = -1;
constexpr int kNotYetDownloaded = -3;
constexpr int kBadDataspec = -111;
constexpr int kBadFromTime = -112;
constexpr int kBadKey = -114;
constexpr int kBadOption = -115;
constexpr int kNotInitialized = -201;
constexpr int kStillOpen = -202;
constexpr int kNotOpened = -203;
constexpr int kBadSettings = -211;
constexpr int kInternalError = -401;
constexpr int kRecordTooLong = -402;
constexpr int kDownloadFailed = -502;
constexpr int kFileMissing = -503;
constexpr int kSettingsNotSaved = -100;

bool AllDigits(std::string_view text, size_t count) {
  return text.size() == count &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::optional<int> ParseInt(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// The contents of fault.ini.
struct FaultFile {
  struct Entry {
    int code = 0;
    int call = 0;
  };
  std::map<std::string, Entry> faults;  // by operation name
  std::optional<int> downloadStep;
  bool downloaded = false;
  std::string version;
};

// The operation names that fault.ini may name, as the component spells them.
constexpr const char* kOperations[] = {"JVInit", "JVSetUIProperties", "JVOpen",  "JVStatus",
                                       "JVRead", "JVClose",           "JVRTOpen"};

// Reads fault.ini of `folder`.  A missing or unreadable file, and lines that
// do not parse, inject nothing.
FaultFile ReadFaultFile(const fs::path& folder) {
  FaultFile out;
  std::optional<std::string> bytes;
  try {
    bytes = ReadFileIfExists(folder / "fault.ini");
  } catch (const Error&) {
    return out;
  }
  if (!bytes) return out;
  for (const std::string& raw : SplitLines(*bytes)) {
    std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[') continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key = Lower(Trim(line.substr(0, eq)));
    std::string_view value = Trim(line.substr(eq + 1));
    if (key == "version") {
      if (!value.empty()) out.version = std::string(value);
    } else if (key == "downloadstep") {
      if (auto step = ParseInt(value); step && *step >= 1) out.downloadStep = *step;
    } else if (key == "downloaded") {
      std::string v = Lower(value);
      out.downloaded = v == "yes" || v == "true" || v == "1";
    } else {
      for (const char* operation : kOperations) {
        if (key != Lower(operation)) continue;
        size_t at = value.find('@');
        auto code = ParseInt(value.substr(0, at));
        std::optional<int> call = 0;
        if (at != std::string_view::npos) call = ParseInt(value.substr(at + 1));
        if (code && *code != 0 && call && *call >= 0) out.faults[operation] = {*code, *call};
      }
    }
  }
  return out;
}

bool IsDirectory(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// The 14-digit time stamp of an accumulating data file name
// ("RACE20240106093000.jvd"), or empty when the name is not one.
std::string TimestampOf(const std::string& name) {
  if (name.size() < 18) return {};
  if (Lower(std::string_view(name).substr(name.size() - 4)) != ".jvd") return {};
  std::string stamp = name.substr(name.size() - 18, 14);
  return AllDigits(stamp, 14) ? stamp : std::string();
}

// A time stamp that is a real date and time of day.
bool IsRealTime(const std::string& stamp) {
  auto two = [&](size_t at) { return (stamp[at] - '0') * 10 + (stamp[at + 1] - '0'); };
  return CalendarDay(stamp.substr(0, 4), stamp.substr(4, 2), stamp.substr(6, 2)).has_value() &&
         two(8) < 24 && two(10) < 60 && two(12) < 60;
}

// How far ahead of the clock a file's time stamp may be (time zones,
// clocks a little off).
constexpr std::time_t kFutureSlack = 24 * 60 * 60;

// "yyyymmddhhnnss" of `t` in local time.
std::string StampOf(std::time_t t) {
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);  // the JV-Link double's build (MinGW)
#else
  localtime_r(&t, &tm);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &tm);
  return text;
}

// Lines longer than this are no JV-Data record: the file is damaged (−402).
constexpr size_t kMaxLine = size_t{1} << 20;
constexpr size_t kReadPiece = size_t{1} << 20;

bool IsDataFileName(const std::string& name) {
  return name.size() > 4 && Lower(std::string_view(name).substr(name.size() - 4)) == ".jvd";
}

// The regular files of `folder` with a .jvd name; false when the folder
// cannot be listed.
bool ListDataFiles(const fs::path& folder, std::vector<fs::path>& out) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return false;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return false;
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc)) continue;
    if (IsDataFileName(it->path().filename().string())) out.push_back(it->path());
  }
  return !ec;
}

}  // namespace

fs::path FeedJvLink::SettingsPath() {
  return ProgramFolder::Get() / "jvlink.ini";
}

fs::path FeedJvLink::FeedFolder() {
  SettingsFile settings(SettingsPath());
  // A jvlink.ini that is there but cannot be read names no folder: the
  // default folder would be the wrong one (FeedFolderProblem says why).
  try {
    settings.CheckReadable();
  } catch (const Error&) {
    return {};
  }
  std::string folder = settings.ReadProfileString("Feed", "Folder", "");
  if (folder.empty()) return ProgramFolder::Get() / "JVLink";
  fs::path path(folder);
  return path.is_absolute() ? path : ProgramFolder::Get() / path;
}

std::string FeedJvLink::FeedFolderProblem() {
  try {
    SettingsFile(SettingsPath()).CheckReadable();
  } catch (const Error& e) {
    return std::string("JV-Link の設定を読み込めません: ") + e.what();
  }
  fs::path folder = FeedFolder();
  if (IsDirectory(folder)) return {};
  std::error_code ec;
  return (fs::exists(folder, ec) ? "フィードのフォルダがフォルダではありません: "
                                 : "フィードのフォルダがありません: ") +
         folder.string();
}

bool FeedJvLink::IsInstalled() {
  return IsDirectory(FeedFolder());
}

void FeedJvLink::LoadFaults() {
  FaultFile file = ReadFaultFile(FeedFolder());
  faults_.clear();
  for (const auto& [operation, entry] : file.faults)
    faults_[operation] = Fault{entry.code, entry.call, false};
  download_step_ = file.downloadStep;
  downloaded_ = file.downloaded;
}

int FeedJvLink::FaultFor(const std::string& operation, int call) {
  auto it = faults_.find(operation);
  if (it == faults_.end()) return 0;
  Fault& fault = it->second;
  if (fault.call == 0) return fault.code;
  if (fault.call != call || fault.fired) return 0;
  fault.fired = true;
  return fault.code;
}

int FeedJvLink::OpenCheck() const {
  if (!initialized_) return kNotInitialized;
  if (open_ && !cancelled_) return kStillOpen;
  return 0;
}

void FeedJvLink::StartSession(std::vector<FeedFile> files, int downloadCount) {
  open_ = true;
  cancelled_ = false;
  files_ = std::move(files);
  download_count_ = downloadCount;
  downloaded_files_ = 0;
  file_index_ = 0;
  CloseCurrentFile();
}

void FeedJvLink::EndSession() {
  open_ = false;
  cancelled_ = false;
  files_.clear();
  download_count_ = 0;
  downloaded_files_ = 0;
  file_index_ = 0;
  CloseCurrentFile();
}

int FeedJvLink::JVInit(const std::string& sid) {
  int call = ++calls_["JVInit"];
  if (sid.empty()) return -101;
  if (sid.front() == ' ') return -103;
  if (sid.size() > kMaxSidBytes) return -102;
  LoadFaults();
  if (int fault = FaultFor("JVInit", call)) return fault;
  initialized_ = true;
  return 0;
}

int FeedJvLink::JVSetUIProperties() {
  int call = ++calls_["JVSetUIProperties"];
  if (!initialized_) return kNotInitialized;
  if (int fault = FaultFor("JVSetUIProperties", call)) return fault;
  if (!chooser_) return 0;
  std::optional<std::string> chosen = chooser_(FeedFolder().string());
  if (!chosen) return 0;
  if (chosen->empty() || chosen->find_first_of("\r\n") != std::string::npos)
    return kSettingsNotSaved;
  try {
    SettingsFile(SettingsPath()).WriteString("Feed", "Folder", *chosen);
  } catch (const Error&) {
    return kSettingsNotSaved;
  }
  return 0;
}

void FeedJvLink::BeginOpen() {
  EndSession();
  calls_.erase("JVStatus");
  calls_.erase("JVRead");
  calls_.erase("JVClose");
  LoadFaults();
}

int FeedJvLink::JVOpen(const std::string& dataspec, const std::string& fromTime, int option,
                       int& readCount, int& downloadCount, std::string& lastFileTimestamp) {
  int call = ++calls_["JVOpen"];
  readCount = 0;
  downloadCount = 0;
  lastFileTimestamp.clear();
  if (int check = OpenCheck()) return check;
  if (dataspec != kAccumulatingSpec) return kBadDataspec;
  if (!AllDigits(fromTime, 14)) return kBadFromTime;
  if (option != 1 && option != 3) return kBadOption;
  fs::path folder = FeedFolder();
  if (!IsDirectory(folder)) {
    Warn(FeedFolderProblem());
    return kBadSettings;
  }

  BeginOpen();
  if (int fault = FaultFor("JVOpen", call)) return fault;

  std::vector<fs::path> paths;
  if (!ListDataFiles(folder, paths)) return kInternalError;
  std::vector<std::pair<std::string, FeedFile>> selected;  // by time stamp
  const std::string fromDate = fromTime.substr(0, 8);
  const std::string latest = StampOf(std::time(nullptr) + kFutureSlack);
  for (const fs::path& path : paths) {
    std::string name = path.filename().string();
    std::string stamp = TimestampOf(name);
    if (stamp.empty()) continue;
    if (!IsRealTime(stamp)) {
      Warn("フィードのファイル " + name + " は時刻 " + stamp +
           " が正しい日時ではないため読み飛ばしました");
      continue;
    }
    // A stamp ahead of the clock would become LastTime and hide every file
    // that comes after it.
    if (stamp > latest) {
      Warn("フィードのファイル " + name + " は時刻 " + stamp +
           " が現在より先のため読み飛ばしました");
      continue;
    }
    bool wanted = option == 1 ? stamp > fromTime : stamp.substr(0, 8) >= fromDate;
    if (wanted) selected.push_back({stamp, FeedFile{path, name}});
  }
  if (selected.empty()) return kNoData;
  std::sort(selected.begin(), selected.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
  });

  std::vector<FeedFile> files;
  files.reserve(selected.size());
  for (auto& entry : selected) files.push_back(std::move(entry.second));
  readCount = static_cast<int>(files.size());
  downloadCount = downloaded_ ? 0 : readCount;
  lastFileTimestamp = selected.back().first;
  StartSession(std::move(files), downloadCount);
  return 0;
}

int FeedJvLink::JVStatus() {
  if (!initialized_) return kNotInitialized;
  if (!open_) return kNotOpened;
  int call = ++calls_["JVStatus"];
  if (int fault = FaultFor("JVStatus", call)) return fault;
  if (!cancelled_ && downloaded_files_ < download_count_) {
    int step = download_step_.value_or(std::max(1, download_count_ / 8));
    downloaded_files_ = std::min(download_count_, downloaded_files_ + step);
  }
  return downloaded_files_;
}

FeedJvLink::~FeedJvLink() {
  CloseCurrentFile();
}

void FeedJvLink::Warn(const std::string& text) const {
  if (warn_) {
    warn_(text);
  } else {
    std::fprintf(stderr, "警告: %s\n", text.c_str());
  }
}

void FeedJvLink::CloseCurrentFile() {
  if (file_fd_ >= 0) ::close(file_fd_);
  file_fd_ = -1;
  file_loaded_ = false;
  file_eof_ = false;
  std::string().swap(file_buffer_);
  file_pos_ = 0;
}

int FeedJvLink::LoadCurrentFile() {
  if (file_loaded_) return 0;
  int fd = -1;
  try {
    fd = OpenRegularFile(files_[file_index_].path);
  } catch (const Error&) {
    return kDownloadFailed;
  }
  if (fd < 0) return kFileMissing;
  CloseCurrentFile();
  file_fd_ = fd;
  file_loaded_ = true;
  return 0;
}

int FeedJvLink::NextLine(std::string_view& content, size_t& end) {
  for (;;) {
    size_t lf = file_buffer_.find('\n', file_pos_);
    if (lf != std::string::npos) {
      if (lf - file_pos_ > kMaxLine) return kRecordTooLong;
      content = std::string_view(file_buffer_).substr(file_pos_, lf - file_pos_);
      end = lf + 1;
      return 1;
    }
    if (file_eof_) {
      if (file_pos_ >= file_buffer_.size()) return 0;
      content = std::string_view(file_buffer_).substr(file_pos_);
      end = file_buffer_.size();
      return 1;
    }
    if (file_buffer_.size() - file_pos_ > kMaxLine) return kRecordTooLong;
    file_buffer_.erase(0, file_pos_);
    file_pos_ = 0;
    size_t had = file_buffer_.size();
    file_buffer_.resize(had + kReadPiece);
    ssize_t n;
    do {
      n = ::read(file_fd_, file_buffer_.data() + had, kReadPiece);
    } while (n < 0 && errno == EINTR);
    file_buffer_.resize(had + static_cast<size_t>(std::max<ssize_t>(n, 0)));
    if (n < 0) return kDownloadFailed;
    if (n == 0) file_eof_ = true;
  }
}

int FeedJvLink::JVRead(std::string& buffer, int size, std::string& fileName) {
  if (!initialized_) return kNotInitialized;
  if (!open_) return kNotOpened;
  auto every = faults_.find("JVRead");
  if (every != faults_.end() && every->second.call == 0) return every->second.code;

  if (file_index_ >= files_.size()) {
    buffer.clear();
    fileName.clear();
    return 0;
  }
  // A file is readable once the download has reached it; after a cancel the
  // files not reached never arrive.
  // The file is named with its errors too.
  fileName = files_[file_index_].name;
  if (download_count_ > 0 && file_index_ >= static_cast<size_t>(downloaded_files_))
    return cancelled_ ? kDownloadFailed : kNotYetDownloaded;
  if (int error = LoadCurrentFile()) return error;

  // The next record: the next line that is not empty.  Lines are delivered
  // with CR LF even when the file ends them with LF alone or not at all.
  size_t end = 0;
  std::string_view content;
  for (;;) {
    int got = NextLine(content, end);
    if (got < 0) return got;
    if (got == 0) {
      ++file_index_;
      CloseCurrentFile();
      buffer.clear();
      return -1;
    }
    if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    // A byte-order mark that an editor put at the start is no part of the
    // record (a record begins with its type).
    if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
    if (!content.empty()) break;
    file_pos_ = end;
  }

  // A record longer than the caller's buffer is cut as the component cuts
  // it: the first size − 1 bytes, the last byte of the buffer being the
  // terminating NUL, and no error.
  if (size < 2) return kRecordTooLong;
  if (int fault = FaultFor("JVRead", calls_["JVRead"] + 1)) return fault;
  buffer.assign(content);
  buffer += "\r\n";
  if (buffer.size() > static_cast<size_t>(size) - 1) buffer.resize(static_cast<size_t>(size) - 1);
  size_t length = buffer.size();
  file_pos_ = end;
  ++calls_["JVRead"];
  return static_cast<int>(length);
}

void FeedJvLink::JVCancel() {
  if (open_) cancelled_ = true;
}

int FeedJvLink::JVClose() {
  int call = ++calls_["JVClose"];
  int fault = FaultFor("JVClose", call);
  EndSession();
  return fault;
}

int FeedJvLink::JVRTOpen(const std::string& dataspec, const std::string& key) {
  int call = ++calls_["JVRTOpen"];
  if (int check = OpenCheck()) return check;
  if (dataspec != kRealTimeSpec) return kBadDataspec;
  if (!AllDigits(key, 8)) return kBadKey;
  fs::path folder = FeedFolder();
  if (!IsDirectory(folder)) {
    Warn(FeedFolderProblem());
    return kBadSettings;
  }

  BeginOpen();
  if (int fault = FaultFor("JVRTOpen", call)) return fault;

  std::vector<fs::path> paths;
  fs::path day = folder / "rt" / key;
  if (IsDirectory(day) && !ListDataFiles(day, paths)) return kInternalError;
  if (paths.empty()) return kNoData;
  std::vector<FeedFile> files;
  for (const fs::path& path : paths) files.push_back({path, path.filename().string()});
  std::sort(files.begin(), files.end(),
            [](const FeedFile& a, const FeedFile& b) { return a.name < b.name; });
  StartSession(std::move(files), 0);
  return 0;
}

std::string FeedJvLink::Version() const {
  std::string version = ReadFaultFile(FeedFolder()).version;
  return version.empty() ? kDefaultVersion : version;
}

}  // namespace sorvix
