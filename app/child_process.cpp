#include "app/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/io_error.h"
#include "common/error.h"

extern char** environ;

namespace sorvix {

std::string FindProgram(const std::string& program) {
  if (program.empty()) return "";
  if (program.find('/') != std::string::npos)
    return access(program.c_str(), X_OK) == 0 ? program : "";
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + program;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::pair<std::string, std::string>>& environment) {
  std::map<std::string, std::string> merged;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    size_t eq = entry.find('=');
    if (eq != std::string::npos) merged[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [name, value] : environment) merged[name] = value;
  std::vector<std::string> envText;
  for (const auto& [name, value] : merged) envText.push_back(name + "=" + value);
  std::vector<char*> envp, args;
  for (std::string& text : envText) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> argText(argv);
  for (std::string& text : argText) args.push_back(text.data());
  args.push_back(nullptr);

  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) ThrowIoError("プログラムを起動できません", argv[0]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  int r = posix_spawnp(&pid_, argText[0].c_str(), &actions, &attributes, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(pipeFds[1]);
  if (r != 0) {
    close(pipeFds[0]);
    throw Error("プログラムを起動できません", argv[0], SystemReason(r));
  }
  out_ = pipeFds[0];
}

ChildProcess::~ChildProcess() {
  if (!ended_ && Poll() < 0) {
    EndGroup(0);
    Wait();
  }
  if (out_ >= 0) close(out_);
}

bool ChildProcess::ReadLines(std::vector<std::string>& lines, int timeoutMs) {
  auto take = [&]() {
    for (size_t lf; (lf = pending_.find('\n')) != std::string::npos;) {
      std::string line = pending_.substr(0, lf);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      // A progress line redrawn in place: the last state counts.
      size_t cr = line.rfind('\r');
      lines.push_back(cr == std::string::npos ? line : line.substr(cr + 1));
      pending_.erase(0, lf + 1);
    }
  };
  if (out_ < 0) return false;
  pollfd fd{out_, POLLIN, 0};
  if (poll(&fd, 1, timeoutMs) <= 0) return true;
  char buffer[4096];
  ssize_t n = read(out_, buffer, sizeof buffer);
  if (n < 0 && errno == EINTR) return true;
  if (n > 0) {
    pending_.append(buffer, static_cast<size_t>(n));
    take();
    return true;
  }
  if (!pending_.empty()) {
    pending_ += '\n';
    take();
  }
  close(out_);
  out_ = -1;
  return false;
}

void ChildProcess::Signal(int signal) {
  if (!ended_) kill(pid_, signal);
}

std::vector<pid_t> ChildProcess::GroupMembers() const {
  std::vector<pid_t> members;
  if (pid_ <= 0) return members;
  std::error_code ec;
  for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(it->path() / "stat");
    std::string text;
    std::getline(stat, text);
    // "pid (comm) state ppid pgrp …": the name may hold spaces and ')'.
    size_t paren = text.rfind(')');
    if (paren == std::string::npos) continue;
    std::istringstream rest(text.substr(paren + 1));
    std::string state;
    long ppid = 0, group = 0;
    if (rest >> state >> ppid >> group && group == pid_ && state != "Z")
      members.push_back(static_cast<pid_t>(std::stol(name)));
  }
  return members;
}

void ChildProcess::EndGroup(int graceMs) {
  std::vector<pid_t> members = GroupMembers();
  for (pid_t member : members) kill(member, SIGTERM);
  for (int waited = 0; !members.empty() && waited < graceMs; waited += 20) {
    if (!ended_) Poll();
    usleep(20000);
    members = GroupMembers();
  }
  for (pid_t member : members) kill(member, SIGKILL);
}

int ChildProcess::Poll() {
  if (ended_) return status_;
  int status = 0;
  pid_t r = waitpid(pid_, &status, WNOHANG);
  if (r != pid_) return -1;
  ended_ = true;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return status_;
}

int ChildProcess::Wait() {
  if (ended_) return status_;
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  ended_ = true;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return status_;
}

}  // namespace sorvix
