#include "app/home_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

#include "app/io_error.h"
#include "app/program_folder.h"

namespace sorvix {
namespace {

struct ProcessLock {
  std::mutex mutex;
  int count = 0;
  int fd = -1;
};

ProcessLock& State() {
  static ProcessLock state;
  return state;
}

}  // namespace

std::string HomeLock::BusyMessage() {
  return "別の Sorvix（または sorvix-cli）がこのデータフォルダに書き込み中です: " +
         ProgramFolder::Get().string();
}

HomeLock HomeLock::Acquire(std::chrono::milliseconds wait,
                           const std::function<void(const std::string&)>& waiting) {
  ProcessLock& state = State();
  std::lock_guard<std::mutex> guard(state.mutex);
  if (state.count > 0) {
    ++state.count;
    return HomeLock(true);
  }
  fs::path path = ProgramFolder::Get() / "sorvix.lock";
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    // A folder that cannot be written has nothing to guard: each write says
    // why it fails.  Anything else (a folder or a device in the lock's
    // place) would let two writers in at once: that is said, not skipped.
    int err = errno;
    if ((err == EACCES || err == EROFS || err == EPERM) &&
        ::access(ProgramFolder::Get().c_str(), W_OK) != 0)
      return HomeLock(false);
    errno = err;
    ThrowIoError("データフォルダのロックファイルを開けません", path);
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) {
      ::close(fd);
      return HomeLock(false);  // a file system without locks
    }
    if (waiting) waiting(BusyMessage());
    auto deadline = std::chrono::steady_clock::now() + wait;
    bool locked = false;
    if (wait < std::chrono::milliseconds::zero()) {
      while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
      }
      locked = true;
    } else {
      while (!locked && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
      }
    }
    if (!locked) {
      ::close(fd);
      throw Error(BusyMessage(), Error::Kind::Busy);
    }
  }
  state.fd = fd;
  state.count = 1;
  return HomeLock(true);
}

HomeLock::~HomeLock() {
  if (!held_) return;
  ProcessLock& state = State();
  std::lock_guard<std::mutex> guard(state.mutex);
  if (--state.count == 0) {
    ::close(state.fd);
    state.fd = -1;
  }
}

}  // namespace sorvix
