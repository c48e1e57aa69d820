#include "store/block_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "app/file_io.h"
#include "app/io_error.h"

namespace sorvix {

std::optional<BlockFile> BlockFile::OpenIfExists(const std::filesystem::path& path) {
  int64_t size = 0;
  int fd = OpenRegularFileSized(path, size);
  if (fd < 0) return std::nullopt;
  return BlockFile(fd, path, size);
}

BlockFile::BlockFile(int fd, std::filesystem::path path, int64_t size)
    : fd_(fd), path_(std::move(path)), size_(size) {}

BlockFile::BlockFile(BlockFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), size_(other.size_) {}

BlockFile& BlockFile::operator=(BlockFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    size_ = other.size_;
  }
  return *this;
}

BlockFile::~BlockFile() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t BlockFile::BlockCount(int length) const {
  if (size_ % length != 0)
    throw Error("ファイルの長さが " + std::to_string(length) +
                  " バイトのレコードの倍数ではありません（壊れています）: " + path_.string());
  return size_ / length;
}

void BlockFile::ReadBlock(int64_t index, int length, char* out) const {
  int64_t offset = index * length;
  if (index < 0 || offset + length > size_)
    throw Error("ファイルが短すぎます（" + std::to_string(index + 1) + " 番目の " +
                  std::to_string(length) + " バイトのレコードがありません）: " + path_.string());
  ReadAt(offset, length, out);
}

void BlockFile::ReadAt(int64_t offset, int count, char* out) const {
  if (offset < 0 || offset + count > size_)
    throw Error("ファイルが短すぎます（" + std::to_string(offset + 1) + " バイト目からの " +
                  std::to_string(count) + " バイトがありません）: " + path_.string());
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd_, out + done, static_cast<size_t>(count - done), offset + done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowIoError("ファイルを読み込めません", path_);
    }
    if (n == 0) {
      throw Error("ファイルが読み込み中に短くなりました: " + path_.string());
    }
    done += n;
  }
}

}  // namespace sorvix
