// Fixed-size block reads from a stored file, with a seek per block, so that
// a record is found by its number without reading the rest of the file.
// A file that ends before a block it must supply is damaged: the read
// throws Error naming the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace sorvix {

class BlockFile {
 public:
  // The open file, or nullopt when it does not exist.  Throws Error when
  // it exists but cannot be opened.
  static std::optional<BlockFile> OpenIfExists(const std::filesystem::path& path);

  BlockFile(BlockFile&& other) noexcept;
  BlockFile& operator=(BlockFile&& other) noexcept;
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;
  ~BlockFile();

  int64_t Size() const { return size_; }
  const std::filesystem::path& Path() const { return path_; }

  // The number of blocks of `length` bytes in the file; throws Error when
  // the file is not a whole number of such blocks.
  int64_t BlockCount(int length) const;

  // Reads block `index` (counted from 0) of `length` bytes into `out`.
  void ReadBlock(int64_t index, int length, char* out) const;

  // Reads `count` bytes at `offset` (a field of a block) into `out`.
  void ReadAt(int64_t offset, int count, char* out) const;

 private:
  BlockFile(int fd, std::filesystem::path path, int64_t size);

  int fd_ = -1;
  std::filesystem::path path_;
  int64_t size_ = 0;
};

}  // namespace sorvix
