// ErrorLog.txt in ProgramFolder: CP932 text lines, rewritten whole on every
// change.  Every change holds the SharedFileLock, so the lines of writers in
// other threads or programs are never lost.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "codes/cp932_text.h"

namespace sorvix {

class ErrorLog {
 public:
  ErrorLog();  // ProgramFolder + "\ErrorLog.txt"
  explicit ErrorLog(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& path() const { return path_; }

  // At start: keeps the newest 100 lines, then appends "ソフト起動：" + the time
  // "yyyy/mm/dd hh:nn:ss" and the full path of ProgramFolder.  Throws Error
  // when the file cannot be read or written.
  void RecordStart(std::time_t now);

  // Appends "【エラー】hh:nn:ss：" + `text` to the file as it is on disk now,
  // without trimming.  Throws Error.
  void AppendError(std::time_t now, Cp932View text);
  // The same for several texts in one write.
  void AppendErrors(std::time_t now, const std::vector<Cp932Text>& texts);

  // Keeps the newest 100 lines, as the start of the window program does,
  // for a program that adds no start lines (sorvix-cli).  Throws Error.
  void Trim();

 private:
  std::filesystem::path path_;
};

// "yyyy/mm/dd hh:nn:ss" in local time.
std::string FormatDateTime(std::time_t t);

}  // namespace sorvix
