#pragma once
// Root ignores file permissions, so a test about them runs its body as an ordinary
// user: in a child process that drops to "nobody" when the test runs as root, or
// directly otherwise.

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

namespace pwtest {

bool runningAsRoot();
// The user and group the body runs as (files it must own are given to them).
uid_t unprivilegedUid();
gid_t unprivilegedGid();
// Gives a file or folder to the unprivileged user (nothing to do when not root).
void giveToUnprivileged(const std::string& path);
// The body's result (0..255), or nothing when privileges could not be dropped.
std::optional<int> runUnprivileged(const std::function<int()>& body);

}  // namespace pwtest
