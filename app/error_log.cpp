#include "app/error_log.h"

#include <vector>

#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/shared_file_lock.h"
#include "codes/cp932.h"
#include "codes/text.h"

namespace sorvix {
namespace {

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

std::vector<std::string> Load(const std::filesystem::path& path) {
  auto bytes = ReadFileIfExists(path);
  return bytes ? SplitLines(*bytes) : std::vector<std::string>{};
}

constexpr size_t kKeptLines = 100;

void KeepNewest(std::vector<std::string>& lines) {
  if (lines.size() > kKeptLines)
    lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(kKeptLines));
}

}  // namespace

ErrorLog::ErrorLog() : path_(HomePath("\\ErrorLog.txt")) {}

std::string FormatDateTime(std::time_t t) {
  std::tm tm = LocalTime(t);
  return Format("%04d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
}

void ErrorLog::RecordStart(std::time_t now) {
  SharedFileLock lock;
  std::vector<std::string> lines = Load(path_);
  KeepNewest(lines);
  lines.push_back("ソフト起動："_sj + FormatDateTime(now));
  lines.push_back(Cp932(ProgramFolder::Get().string()).bytes());
  WriteFileAtomic(path_, JoinLines(lines));
}

void ErrorLog::AppendError(std::time_t now, Cp932View text) {
  AppendErrors(now, {Cp932Text(text)});
}

void ErrorLog::AppendErrors(std::time_t now, const std::vector<Cp932Text>& texts) {
  if (texts.empty()) return;
  SharedFileLock lock;
  std::vector<std::string> lines = Load(path_);
  std::tm tm = LocalTime(now);
  std::string stamp =
      "【エラー】"_sj + Format("%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec) + "："_sj;
  for (const Cp932Text& text : texts) lines.push_back(stamp + text.bytes());
  WriteFileAtomic(path_, JoinLines(lines));
}

void ErrorLog::Trim() {
  SharedFileLock lock;
  auto bytes = ReadFileIfExists(path_);
  if (!bytes) return;
  std::vector<std::string> lines = SplitLines(*bytes);
  if (lines.size() <= kKeptLines) return;
  KeepNewest(lines);
  WriteFileAtomic(path_, JoinLines(lines));
}

}  // namespace sorvix
