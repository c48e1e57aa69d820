// ChildProcess: a program started by Sorvix, its standard output and error
// read as lines through one pipe.  It runs in a process group of its own,
// so that every process it starts (Wine's loader and the Windows program)
// can be ended by that group's id, and only those.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace sorvix {

class ChildProcess {
 public:
  // Starts `argv` (argv[0] looked up on PATH when it has no slash) with
  // `environment` added to this process's.  Throws Error when it cannot.
  ChildProcess(const std::vector<std::string>& argv,
               const std::vector<std::pair<std::string, std::string>>& environment);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The complete lines written since the last call (without CR LF),
  // waiting up to `timeoutMs` for some; false once the output has ended
  // and every line was given.
  bool ReadLines(std::vector<std::string>& lines, int timeoutMs);
  // Sends `signal` to the program itself.
  void Signal(int signal);
  // Ends every process left in the program's group (the program itself,
  // Wine's loader and the Windows processes it started), each by its id:
  // SIGTERM, then SIGKILL to those still there after `graceMs`.
  void EndGroup(int graceMs = 2000);
  // The ids of the processes in the program's group.
  std::vector<pid_t> GroupMembers() const;
  // Waits for the program's end: its exit code, or 128 + the signal that
  // ended it.
  int Wait();
  // The exit code when the program has ended, else -1 (does not wait).
  int Poll();

  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string pending_;
  bool ended_ = false;
  int status_ = -1;
};

// The absolute path of `program` on PATH (or `program` itself when it
// holds a slash and is executable), or empty.
std::string FindProgram(const std::string& program);

}  // namespace sorvix
