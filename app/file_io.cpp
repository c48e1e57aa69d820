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
  temp += "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp~";
  return temp;
}

int ExistingMode(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    return static_cast<int>(st.st_mode & 07777);
  return -1;
}

int RemoveStaleTempFiles(const std::filesystem::path& folder) {
  int removed = 0;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() <= 5 || name.compare(name.size() - 5, 5, ".tmp~") != 0) continue;
    std::string stem = name.substr(0, name.size() - 5);
    size_t dot = stem.rfind('.');
    size_t dash = stem.rfind('-');
    if (dot != std::string::npos && dash != std::string::npos && dash > dot + 1 &&
        stem.find_first_not_of("0123456789-", dot + 1) == std::string::npos) {
      pid_t pid = static_cast<pid_t>(std::atol(stem.substr(dot + 1, dash - dot - 1).c_str()));
      // A writer that is still running owns its file.
      if (pid == ::getpid() || pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
    }
    std::error_code removeEc;
    std::error_code typeEc;
    if (it->is_regular_file(typeEc) && std::filesystem::remove(it->path(), removeEc)) ++removed;
  }
  return removed;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
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
