#include "results/lzh_extract.h"

#include <archive.h>
#include <archive_entry.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>
#include <system_error>

#include "app/io_error.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

// Member names come out of libarchive in the character set of LC_CTYPE;
// CP932 names need a UTF-8 one.  Restores the caller's setting afterwards.
class Utf8Ctype {
 public:
  Utf8Ctype() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    if (current) previous_ = current;
    std::setlocale(LC_CTYPE, "C.UTF-8");
  }
  ~Utf8Ctype() {
    if (!previous_.empty()) std::setlocale(LC_CTYPE, previous_.c_str());
  }
  Utf8Ctype(const Utf8Ctype&) = delete;
  Utf8Ctype& operator=(const Utf8Ctype&) = delete;

 private:
  std::string previous_;
};

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};

// A name that stays inside the target folder: not absolute, no drive
// letter, no "..", not empty.  Returns the relative path or an empty one.
fs::path SafeRelative(std::string_view name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return {};
  if (name.size() >= 2 && name[1] == ':') return {};
  fs::path relative;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = name.substr(start, end - start);
    if (part == "..") return {};
    if (!part.empty() && part != ".") relative /= std::string(part);
    start = end + 1;
  }
  return relative;
}

class TempFolder {
 public:
  // ".lzh-extract-<pid>-XXXXXX" in `parent`; the folders that killed
  // extractions left there (their process is gone) go first.
  explicit TempFolder(const fs::path& parent) {
    RemoveStale(parent);
    std::string pattern = (parent / (kPrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  static constexpr const char* kPrefix = ".lzh-extract-";

  static void RemoveStale(const fs::path& parent) {
    std::error_code ec;
    const std::string prefix = kPrefix;
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (name.compare(0, prefix.size(), prefix) != 0) continue;
      size_t dash = name.find('-', prefix.size());
      std::string pid = name.substr(prefix.size(), dash - prefix.size());
      std::error_code typeEc;
      if (dash == std::string::npos || pid.empty() ||
          pid.find_first_not_of("0123456789") != std::string::npos || it->is_symlink(typeEc) ||
          !it->is_directory(typeEc))
        continue;
      pid_t owner = static_cast<pid_t>(std::atol(pid.c_str()));
      if (owner <= 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
      fs::remove_all(it->path(), typeEc);
    }
  }

  fs::path path_;
};

std::string ArchiveError(archive* a) {
  const char* text = archive_error_string(a);
  return std::string("書庫を読み込めません（") + (text ? text : "原因不明") + "）";
}

std::string CannotWrite(const fs::path& target, const std::string& reason) {
  return "解凍したファイルを書き込めません: " + target.string() + ": " + reason;
}

using Archive = std::unique_ptr<archive, ArchiveCloser>;

// The archive at `archivePath` opened for reading LHA with CP932 names;
// null with `error` set when it cannot be.
Archive OpenArchive(const fs::path& archivePath, std::string& error) {
  Archive a(archive_read_new());
  if (!a) {
    error = SystemReason(ENOMEM);
    return nullptr;
  }
  archive_read_support_format_lha(a.get());
  if (archive_read_set_options(a.get(), "lha:hdrcharset=CP932") != ARCHIVE_OK) {
    error = ArchiveError(a.get());
    return nullptr;
  }
  // Only a regular file is an archive: a FIFO would wait for a writer.
  std::error_code kindError;
  if (!fs::is_regular_file(archivePath, kindError)) {
    error = fs::exists(archivePath, kindError)
                ? "書庫が通常のファイルではありません: " + archivePath.string()
                : "書庫がありません: " + archivePath.string();
    return nullptr;
  }
  if (archive_read_open_filename(a.get(), archivePath.c_str(), 1 << 16) != ARCHIVE_OK) {
    error = ArchiveError(a.get());
    return nullptr;
  }
  return a;
}

// Writes the data of the current member to `target`, adding its size to
// `total`; the error, or empty.  `shown` is the member's place as reported.
std::string WriteMember(archive* a, const fs::path& target, const fs::path& shown,
                        uint64_t& total) {
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  if (!out) return CannotWrite(shown, SystemReason(errno));
  char buffer[1 << 14];
  for (;;) {
    la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) return ArchiveError(a);
    total += static_cast<uint64_t>(n);
    if (total > kMaxLzhBytes) {
      // An odds archive holds a few hundred kilobytes; this is a bomb.
      return "解凍後の大きさが上限（" + std::to_string(kMaxLzhBytes >> 20) +
             " MB）を超えるため、解凍を中止しました（書き出した分は削除しました）";
    }
    out.write(buffer, n);
  }
  out.close();
  if (!out) return CannotWrite(shown, SystemReason(errno));
  return {};
}

// Reads every member of the archive into `temp`: the regular files with a
// safe relative name, each once (a later member of the same name replaces
// the earlier one); unsafe names go to `result.refused`.  False with
// `result.error` set on the first failure.
bool ReadMembers(archive* a, const fs::path& temp, const fs::path& folder, LzhExtraction& result,
                 std::vector<fs::path>& members) {
  uint64_t total = 0;
  int entries = 0;
  for (;;) {
    archive_entry* entry = nullptr;
    int r = archive_read_next_header(a, &entry);
    if (r == ARCHIVE_EOF) return true;
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
      result.error = ArchiveError(a);
      result.files.clear();
      return false;
    }
    const char* utf8 = archive_entry_pathname_utf8(entry);
    if (!utf8) utf8 = archive_entry_pathname(entry);
    std::string name = utf8 ? utf8 : "";
    if (archive_entry_filetype(entry) != AE_IFREG) {
      archive_read_data_skip(a);
      continue;
    }
    if (++entries > kMaxLzhMembers) {
      result.error = "書庫のファイルが多すぎます（" + std::to_string(kMaxLzhMembers) +
                     " 個まで）。何も解凍しませんでした";
      return false;
    }
    fs::path relative = SafeRelative(name);
    if (relative.empty()) {
      result.refused.push_back(name);
      archive_read_data_skip(a);
      continue;
    }
    result.error = WriteMember(a, temp / relative, folder / relative, total);
    if (!result.error.empty()) return false;
    if (std::find(members.begin(), members.end(), relative) == members.end())
      members.push_back(relative);
  }
}

// Why a member cannot take its place in `folder` (a place taken by a
// folder, or a path through a file), or empty.
std::string TargetProblem(const fs::path& folder, const fs::path& relative) {
  std::error_code ec;
  fs::path target = folder / relative;
  for (fs::path up = target.parent_path(); up != folder && up.has_relative_path();
       up = up.parent_path()) {
    if (fs::exists(up, ec) && !fs::is_directory(up, ec))
      return CannotWrite(target, up.string() + " がファイルです");
  }
  if (fs::is_directory(target, ec)) return CannotWrite(target, "同じ名前のフォルダがあります");
  return {};
}

}  // namespace

LzhExtraction ExtractLzh(const fs::path& archivePath, const fs::path& folder) {
  LzhExtraction result;
  Utf8Ctype ctype;
  Archive a = OpenArchive(archivePath, result.error);
  if (!a) return result;
  TempFolder temp(folder);
  if (temp.path().empty()) {
    result.error =
        "作業用のフォルダを作成できません: " + folder.string() + ": " + SystemReason(errno);
    return result;
  }
  std::vector<fs::path> members;
  if (!ReadMembers(a.get(), temp.path(), folder, result, members)) return result;
  if (members.empty()) {
    result.error = result.refused.empty() ? "書庫にファイルがありません"
                                          : "書庫に取り込めるファイルがありません";
    return result;
  }
  // The archive was read whole: every place is checked before anything is
  // moved.
  for (const fs::path& relative : members) {
    result.error = TargetProblem(folder, relative);
    if (!result.error.empty()) return result;
  }
  for (const fs::path& relative : members) {
    std::error_code ec;
    fs::path target = folder / relative;
    fs::create_directories(target.parent_path(), ec);
    fs::rename(temp.path() / relative, target, ec);
    if (ec) {
      result.error = CannotWrite(target, SystemReason(ec.value()));
      result.files.clear();
      return result;
    }
    result.files.push_back(relative.string());
  }
  return result;
}

}  // namespace sorvix
