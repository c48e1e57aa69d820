// A small tmpfs for tests of full and read-only disks, mounted in a mount
// namespace of the calling process (as root, or as root of a user namespace
// of its own), so that nothing stays mounted when the process ends.  Call it
// in a child process made for the purpose: the namespace cannot be left.
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

namespace sorvix::test {

// Enters a mount namespace of its own and mounts a tmpfs of `bytes` at `at`;
// returns why it could not, or an empty text.
inline std::string MountPrivateTmpfs(const std::filesystem::path& at, uint64_t bytes) {
  auto failed = [](const std::string& what) { return what + ": " + std::strerror(errno); };
  uid_t uid = ::geteuid();
  gid_t gid = ::getegid();
  if (uid == 0) {
    if (::unshare(CLONE_NEWNS) != 0) return failed("unshare(CLONE_NEWNS)");
  } else {
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
      return failed("unshare(CLONE_NEWUSER | CLONE_NEWNS)");
    auto put = [](const char* file, const std::string& text) {
      int fd = ::open(file, O_WRONLY | O_CLOEXEC);
      bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
      if (fd >= 0) ::close(fd);
      return ok;
    };
    // Without "deny" an unprivileged process may not write gid_map.
    put("/proc/self/setgroups", "deny");
    if (!put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
        !put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n"))
      return failed("writing the user namespace's id maps");
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    return failed("making the mounts private");
  std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) != 0)
    return failed("mount -t tmpfs -o " + options);
  return {};
}

}  // namespace sorvix::test
