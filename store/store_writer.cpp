#include "store/store_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "store/runner_file.h"
#include "store/stored_line.h"

namespace sorvix {
namespace {

constexpr const char* kWriteFailed = "ファイルに書き込めません";

// Writes `bytes` to `temp` without syncing, with the mode of the file it
// will replace; throws Error naming `target`.
void WriteTemp(const std::filesystem::path& temp, const std::filesystem::path& target,
               std::string_view bytes) {
  int mode = ExistingMode(target);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) ThrowIoError(kWriteFailed, target);
  if (mode >= 0 && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) {
    int err = errno;
    ::close(fd);
    errno = err;
    ThrowIoError(kWriteFailed, target);
  }
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      errno = err;
      ThrowIoError(kWriteFailed, target);
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) ThrowIoError(kWriteFailed, target);
}

// Brings every file system holding one of `folders` to disk.
void SyncFolders(const std::set<std::filesystem::path>& folders) {
  std::set<dev_t> done;
  for (const auto& folder : folders) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) ThrowIoError(kWriteFailed, folder);
    if (!done.insert(st.st_dev).second) continue;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) ThrowIoError(kWriteFailed, folder);
    if (::syncfs(fd) != 0) {
      int err = errno;
      ::close(fd);
      errno = err;
      ThrowIoError(kWriteFailed, folder);
    }
    ::close(fd);
  }
}

}  // namespace

// A store file that is not whole lines of its record type is left as it is:
// rewriting it would keep the damage and shift it into the new file.
[[noreturn]] void ThrowDamaged(const std::filesystem::path& path, const std::string& problem) {
  throw Error("ファイルが壊れているため書き込みません（" + problem +
                "。直すか削除してから、もう一度実行してください）: " + path.string());
}

StoreWriter::File* StoreWriter::Open(const std::filesystem::path& path, Kind kind, bool create,
                                     std::string_view line) {
  if (auto it = files_.find(path); it != files_.end()) return &it->second;
  File file;
  file.kind = kind;
  std::optional<std::string> bytes;
  if (kind == Kind::Whole) {
    // Only to tell whether the file changes: a file that cannot be read is
    // simply replaced.
    try {
      bytes = ReadFileIfExists(path);
    } catch (const Error&) {
    }
  } else {
    bytes = ReadFileIfExists(path);
  }
  if (!bytes && !create) return nullptr;
  if (bytes && kind != Kind::Whole) {
    // Every line must be a whole line of the record type being stored.
    int length = static_cast<int>(line.size()) + 2;
    std::string_view type = line.substr(0, std::min<size_t>(2, line.size()));
    if (auto problem = StoredFileProblem(*bytes, length, type)) ThrowDamaged(path, *problem);
    if (kind == Kind::Runner && SplitLines(*bytes).size() > static_cast<size_t>(kRunnerFileLines))
      ThrowDamaged(path, std::to_string(kRunnerFileLines) + " 行より多くあります");
  }
  file.changed = !bytes;
  if (kind == Kind::Whole) {
    file.original = std::move(bytes);
  } else if (kind == Kind::Keyed) {
    if (bytes) {
      file.keyed = KeyedLines(SplitLines(*bytes));
      file.changed = JoinLines(file.keyed.lines()) != *bytes;
    }
  } else if (bytes) {
    file.lines = SplitLines(*bytes);
    CompleteRunnerLines(file.lines);
    file.changed = JoinLines(file.lines) != *bytes;
  } else {
    file.lines = BlankRunnerLines();
  }
  return &files_.emplace(path, std::move(file)).first->second;
}

void StoreWriter::Account(File& file) {
  size_t now = 0;
  if (file.kind == Kind::Keyed) {
    now = file.keyed.bytes();
  } else {
    for (const auto& line : file.lines) now += line.size() + 2;
    if (file.original) now += file.original->size();
  }
  bytes_ = bytes_ - file.bytes + now;
  file.bytes = now;
}

void StoreWriter::CheckBudget() {
  if (bytes_ > budget_) Flush();
}

bool StoreWriter::UpsertLine(std::string_view relative, std::string line, LineKey key,
                             UpsertOptions options) {
  File* file = Open(HomePath(relative), Kind::Keyed, !options.onlyWhenExists, line);
  if (!file) return false;
  if (file->keyed.Upsert(std::move(line), key)) file->changed = true;
  if (options.dropBlankFirstLine && file->keyed.DropBlankFirstLine()) file->changed = true;
  Account(*file);
  CheckBudget();
  return true;
}

bool StoreWriter::ReplaceRunnerLine(std::string_view relative, int index, std::string line,
                                    bool onlyWhenExists) {
  if (index < 0 || index >= kRunnerFileLines) return false;
  File* file = Open(HomePath(relative), Kind::Runner, !onlyWhenExists, line);
  if (!file) return false;
  std::string& slot = file->lines[static_cast<size_t>(index)];
  if (slot != line) {
    slot = std::move(line);
    file->changed = true;
  }
  Account(*file);
  CheckBudget();
  return true;
}

void StoreWriter::ReplaceWholeFile(std::string_view relative, std::string line) {
  File* file = Open(HomePath(relative), Kind::Whole, true, line);
  file->lines.assign(1, std::move(line));
  file->changed = !file->original || *file->original != JoinLines(file->lines);
  Account(*file);
  CheckBudget();
}

void StoreWriter::EnsureFolder(std::string_view relative) {
  folders_.insert(HomePath(relative));
}

void StoreWriter::Discard() {
  files_.clear();
  folders_.clear();
  bytes_ = 0;
}

void StoreWriter::Flush() {
  std::map<std::filesystem::path, File> files = std::exchange(files_, {});
  std::set<std::filesystem::path> folders = std::exchange(folders_, {});
  bytes_ = 0;
  if (files.empty() && folders.empty()) return;

  for (const auto& [path, file] : files) folders.insert(path.parent_path());
  std::vector<std::pair<std::filesystem::path, std::filesystem::path>> temps;  // temp, target
  try {
    for (const auto& folder : folders) {
      std::error_code ec;
      std::filesystem::create_directories(folder, ec);
      if (ec) {
        errno = ec.value();
        ThrowIoError("フォルダを作成できません", folder);
      }
    }
    for (auto& [path, file] : files) {
      if (!file.changed) continue;
      std::filesystem::path temp = TempPathFor(path);
      temps.emplace_back(temp, path);
      if (file.kind == Kind::Keyed) {
        WriteTemp(temp, path, JoinLines(file.keyed.lines()));
      } else {
        WriteTemp(temp, path, JoinLines(file.lines));
      }
      file = File{};  // the contents are on their way; free the memory
    }
    SyncFolders(folders);
    while (!temps.empty()) {
      const auto& [temp, path] = temps.back();
      if (std::rename(temp.c_str(), path.c_str()) != 0) ThrowIoError(kWriteFailed, path);
      temps.pop_back();
    }
    SyncFolders(folders);
  } catch (...) {
    for (const auto& entry : temps) ::unlink(entry.first.c_str());
    throw;
  }
}

}  // namespace sorvix
