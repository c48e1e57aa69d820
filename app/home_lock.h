// One writer at a time in a ProgramFolder.  Every program that changes the
// LocalStore or the settings file (the acquisition, the real-time fetch, the
// predicted-odds import, save marks, settings writes; the desktop program
// and sorvix-cli alike) holds an exclusive flock on "sorvix.lock" in the
// folder while it writes, so two runs never interleave their files.
//
// The lock is per process and re-entrant: a settings write inside a running
// acquisition of the same process takes it again without waiting.  It is
// released when the last HomeLock of the process goes (and by the system
// when the process ends, however it ends).
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "app/io_error.h"

namespace sorvix {

class HomeLock {
 public:
  // Waits for ever.
  static constexpr std::chrono::milliseconds kForever{-1};
  // What short writes (settings, save marks) wait before they give up.
  static constexpr std::chrono::milliseconds kShortWait{5000};

  // Takes the lock of the current ProgramFolder.  When another process holds
  // it, `waiting` (if given) is called once and the call waits up to `wait`
  // (kForever: until it is free; 0: not at all), then throws Error of
  // kind Busy, whose message names the folder.
  // A folder where the lock file cannot be made (read-only) is not locked:
  // nothing can be written there anyway, and each write says why.
  static HomeLock Acquire(std::chrono::milliseconds wait,
                          const std::function<void(const std::string&)>& waiting = {});

  HomeLock(HomeLock&& other) noexcept : held_(other.held_) { other.held_ = false; }
  HomeLock& operator=(HomeLock&&) = delete;
  HomeLock(const HomeLock&) = delete;
  HomeLock& operator=(const HomeLock&) = delete;
  ~HomeLock();

  // "別のプログラムが…書き込み中です" for the current folder (UTF-8).
  static std::string BusyMessage();

 private:
  explicit HomeLock(bool held) : held_(held) {}
  bool held_ = false;
};

}  // namespace sorvix
