// A fixture folder made once and shared by every test process of a build:
// the first process to need it makes it under an exclusive lock, the others
// wait for it, and it is made again when its stamp (what it was made from)
// changes.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/file_io.h"

namespace sorvix::test {

// `base`/home, made by `make` (given the emptied folder) unless `stamp` is
// what made the one already there.  A make that fails leaves no stamp, so
// the next process tries again.
inline std::filesystem::path MadeOnce(
    const std::filesystem::path& base, const std::string& stamp,
    const std::function<bool(const std::filesystem::path&)>& make) {
  namespace fs = std::filesystem;
  fs::create_directories(base);
  int lock = open((base / "lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
  if (lock >= 0) flock(lock, LOCK_EX);
  fs::path home = base / "home";
  std::optional<std::string> made = ReadFileIfExists(base / "stamp");
  if (!made || *made != stamp) {
    std::error_code ec;
    fs::remove(base / "stamp", ec);
    fs::remove_all(home, ec);
    fs::create_directories(home);
    if (make(home)) WriteFileAtomic(base / "stamp", stamp);
  }
  if (lock >= 0) close(lock);
  return home;
}

// When `file` was last written, as text for a stamp.
inline std::string WrittenAt(const std::filesystem::path& file) {
  std::error_code ec;
  return std::to_string(std::filesystem::last_write_time(file, ec).time_since_epoch().count());
}

}  // namespace sorvix::test
