// A folder made read-only for part of a test, as a user's home on a
// read-only disk: `body` runs in a child process in which `folder` is a
// read-only bind mount of itself (in a mount namespace of the child, as
// root or as root of a user namespace of its own), so nothing stays
// mounted and root's rights do not get around it.  The child's lines come
// back to the test; a child that could not set up the mount gives
// `skipped` its reason.
#pragma once

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace sorvix::test {

struct ReadOnlyRun {
  std::vector<std::string> lines;  // what body returned, one text a line
  std::string skipped;             // why the folder could not be made read-only
  bool crashed = false;
};

inline std::string MakeReadOnly(const std::filesystem::path& folder) {
  auto failed = [](const std::string& what) { return what + ": " + std::strerror(errno); };
  uid_t uid = ::geteuid();
  gid_t gid = ::getegid();
  if (uid == 0) {
    if (::unshare(CLONE_NEWNS) != 0) return failed("unshare(CLONE_NEWNS)");
  } else {
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return failed("unshare(CLONE_NEWUSER)");
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1\n";
    std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1\n";
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    return failed("making the mounts private");
  if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0)
    return failed("mount --bind");
  if (::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
    return failed("mount -o remount,ro");
  return {};
}

inline ReadOnlyRun InReadOnlyFolder(const std::filesystem::path& folder,
                                    const std::function<std::vector<std::string>()>& body) {
  std::filesystem::path report =
      std::filesystem::temp_directory_path() / ("sorvix-ro-" + std::to_string(::getpid()));
  std::filesystem::remove(report);
  pid_t child = ::fork();
  if (child == 0) {
    std::string why = MakeReadOnly(folder);
    std::ofstream out(report, std::ios::binary);
    if (!why.empty()) {
      out << "SKIP " << why << "\n";
      out.close();
      ::_exit(0);
    }
    for (const std::string& line : body()) out << "LINE " << line << "\n";
    out.close();
    ::_exit(0);
  }
  ReadOnlyRun run;
  int status = 0;
  ::waitpid(child, &status, 0);
  run.crashed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
  std::ifstream in(report, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("SKIP ", 0) == 0) run.skipped = line.substr(5);
    if (line.rfind("LINE ", 0) == 0) run.lines.push_back(line.substr(5));
  }
  std::filesystem::remove(report);
  return run;
}

}  // namespace sorvix::test
