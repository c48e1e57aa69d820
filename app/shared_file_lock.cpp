#include "app/shared_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "app/program_folder.h"

namespace sorvix {
namespace {

std::mutex& ProcessMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

SharedFileLock::SharedFileLock() : guard_(ProcessMutex()) {
  fd_ = ::open(ProgramFolder::Get().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;  // then the write itself says what is wrong
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(fd_);  // a file system without locks
    fd_ = -1;
    return;
  }
}

SharedFileLock::~SharedFileLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace sorvix
