#include "app/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/io_error.h"

namespace sorvix {
namespace {

// A temporary file's name: the file's own name + kTempMark + pid "-" n +
// kTempEnd.  The mark tells the program's temporary files from anything else
// that ends in ".tmp~".
constexpr const char* kTempMark = ".sorvix-";
constexpr const char* kTempEnd = ".tmp~";

}  // namespace

int OpenRegularFile(const std::filesystem::path& path) {
  int64_t size = 0;
  int fd = OpenRegularFileSized(path, size);
  if (fd < 0) return fd;
  // O_NONBLOCK is cleared again for the regular file.
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

int OpenRegularFileSized(const std::filesystem::path& path, int64_t& size) {
  // O_NONBLOCK keeps a FIFO from waiting for a writer.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    // A path through something that is not a folder names no file either.
    if (errno == ENOENT || errno == ENOTDIR) return -1;
    ThrowIoError("ファイルを読み込めません", path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    errno = err;
    ThrowIoError("ファイルを読み込めません", path);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = 0;
    ThrowIoError(S_ISDIR(st.st_mode) ? "ファイルのはずの場所がフォルダです"
                                     : "通常のファイルではないため読み込めません",
                 path);
  }
  size = static_cast<int64_t>(st.st_size);
  return fd;
}

std::optional<std::string> ReadFileIfExists(const std::filesystem::path& path) {
  int fd = OpenRegularFile(path);
  if (fd < 0) return std::nullopt;
  std::string out;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      errno = err;
      ThrowIoError("ファイルを読み込めません", path);
    }
    if (n == 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return out;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  auto bytes = ReadFileIfExists(path);
  if (!bytes) {
    errno = ENOENT;
    ThrowIoError("ファイルを読み込めません", path);
  }
  return std::move(*bytes);
}

std::filesystem::path TempPathFor(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temp = path;
  temp += std::string(kTempMark) + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
          kTempEnd;
  return temp;
}

int ExistingMode(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    return static_cast<int>(st.st_mode & 07777);
  return -1;
}

bool IsStaleTempFile(const std::string& name) {
  // "<file>.sorvix-<pid>-<n>.tmp~": only what TempPathFor makes.
  constexpr std::string_view kEnd = kTempEnd;
  if (name.size() <= kEnd.size() || name.compare(name.size() - kEnd.size(), kEnd.size(), kEnd) != 0)
    return false;
  std::string stem = name.substr(0, name.size() - kEnd.size());
  size_t mark = stem.rfind(kTempMark);
  if (mark == std::string::npos || mark == 0) return false;
  std::string number = stem.substr(mark + std::string_view(kTempMark).size());
  size_t dash = number.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == number.size() ||
      number.find_first_not_of("0123456789-") != std::string::npos ||
      number.find('-', dash + 1) != std::string::npos)
    return false;
  pid_t pid = static_cast<pid_t>(std::atol(number.substr(0, dash).c_str()));
  // A writer that is still running owns its file.
  return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

namespace {

// Removes the stale temporary files in `folder` whose name begins with
// `prefix`.
int RemoveStale(const std::filesystem::path& folder, const std::string& prefix) {
  int removed = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code typeEc, removeEc;
    if (name.compare(0, prefix.size(), prefix) != 0 || !IsStaleTempFile(name) ||
        it->is_symlink(typeEc) || !it->is_regular_file(typeEc))
      continue;
    if (std::filesystem::remove(it->path(), removeEc)) ++removed;
  }
  return removed;
}

}  // namespace

int RemoveStaleTempFiles(const std::filesystem::path& folder) {
  return RemoveStale(folder, "");
}

int RemoveStaleTempFilesOf(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  return RemoveStale(folder.empty() ? "." : folder, file.filename().string() + kTempMark);
}

namespace {

// The file a write of `path` replaces: `path` itself, or for a symbolic link
// the file it leads to (through every link on the way), so the link stays
// and the file it shares receives the change.
std::filesystem::path WriteTarget(const std::filesystem::path& path) {
  std::filesystem::path at = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
    std::error_code ec;
    std::filesystem::path next = std::filesystem::read_symlink(at, ec);
    if (ec) {
      errno = ec.value();
      ThrowIoError("ファイルに書き込めません", path);
    }
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  errno = ELOOP;
  ThrowIoError("ファイルに書き込めません", path);
}

}  // namespace

void WriteFileAtomic(const std::filesystem::path& linkOrFile, std::string_view bytes) {
  // The temporary file goes beside the file replaced, in its folder, so the
  // rename stays on one file system.
  const std::filesystem::path path = WriteTarget(linkOrFile);
  std::filesystem::path temp = TempPathFor(path);
  int mode = ExistingMode(path);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) ThrowIoError("ファイルに書き込めません", path);
  auto fail = [&]() {
    int err = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    errno = err;
    ThrowIoError("ファイルに書き込めません", path);
  };
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail();
    }
    done += static_cast<size_t>(n);
  }
  if (mode >= 0 && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) fail();
  if (::fsync(fd) != 0) fail();
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    errno = err;
    ThrowIoError("ファイルに書き込めません", path);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    errno = err;
    ThrowIoError("ファイルに書き込めません", path);
  }
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text.substr(start, stop - start));
    start = end + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

}  // namespace sorvix
