#include "store/save_mark_file.h"

#include <stdexcept>

#include "app/file_io.h"
#include "app/home_lock.h"
#include "app/program_folder.h"
#include "store/store_paths.h"

namespace sorvix {

std::string ReadSaveMarks(Cp932View dateLabel) {
  fs::path path = HomePath(SaveMarkFilePath(dateLabel));
  auto bytes = ReadFileIfExists(path);
  if (!bytes) {
    std::string blank(kSaveMarkBytes, '0');
    HomeLock lock = HomeLock::Acquire(HomeLock::kShortWait);
    // Another program may have made it meanwhile.
    if (auto made = ReadFileIfExists(path)) {
      made->resize(kSaveMarkBytes, '0');
      return std::move(*made);
    }
    WriteFileAtomic(path, blank);
    return blank;
  }
  bytes->resize(kSaveMarkBytes, '0');
  return std::move(*bytes);
}

void WriteSaveMarks(Cp932View dateLabel, std::string_view marks) {
  if (marks.size() != static_cast<size_t>(kSaveMarkBytes))
    throw std::invalid_argument("特別マークは 648 バイトでなければなりません");
  HomeLock lock = HomeLock::Acquire(HomeLock::kShortWait);
  WriteFileAtomic(HomePath(SaveMarkFilePath(dateLabel)), marks);
}

}  // namespace sorvix
