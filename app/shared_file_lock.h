// One rewrite at a time of the small files that several programs (and the
// threads of one program) change by reading, changing and writing them
// whole: the error log and the hit log.  It is held only for that one
// rewrite, apart from the home's writer lock (HomeLock), so a line logged
// while a long acquisition runs is neither lost nor kept waiting.
//
// It is an in-process mutex together with an flock on ProgramFolder itself
// (a folder can be locked like a file, so the home gets no new file).  On a
// file system without locks only the in-process part holds.
#pragma once

#include <mutex>

namespace sorvix {

class SharedFileLock {
 public:
  SharedFileLock();  // waits until it holds the lock
  ~SharedFileLock();
  SharedFileLock(const SharedFileLock&) = delete;
  SharedFileLock& operator=(const SharedFileLock&) = delete;

 private:
  std::unique_lock<std::mutex> guard_;
  int fd_ = -1;
};

}  // namespace sorvix
