#include "app/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/io_error.h"

namespace sorvix {

std::optional<std::string> ReadFileIfExists(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    ThrowIoError("ファイルを読み込めません", path);
  }
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

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path temp = path;
  temp += ".tmp~";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
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
