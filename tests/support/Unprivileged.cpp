#include "support/Unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pwtest {
namespace {

constexpr uid_t kNobody = 65534;
constexpr int kCannotDrop = 125;

}  // namespace

bool runningAsRoot() { return ::geteuid() == 0; }
uid_t unprivilegedUid() { return runningAsRoot() ? kNobody : ::geteuid(); }
gid_t unprivilegedGid() { return runningAsRoot() ? kNobody : ::getegid(); }

void giveToUnprivileged(const std::string& path) {
  if (runningAsRoot()) (void)::chown(path.c_str(), kNobody, kNobody);
}

std::optional<int> runUnprivileged(const std::function<int()>& body) {
  if (!runningAsRoot()) return body() & 0xFF;
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || ::geteuid() == 0)
      ::_exit(kCannotDrop);
    ::_exit(body() & 0xFF);  // _exit: the parent's exit handlers must not run twice
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == kCannotDrop)
    return std::nullopt;
  return WEXITSTATUS(status);
}

}  // namespace pwtest
