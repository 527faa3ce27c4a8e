#include "codeplug/FileWriter.h"

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <optional>
#include <vector>

namespace pw {
namespace {

constexpr int kMaxLinkHops = 40;  // the kernel's own limit for a chain of symbolic links

using ChunkWriter = long (*)(void* self, int fd, const std::uint8_t* data, std::size_t length);

// Cleaning up after a failure keeps the errno of the call that failed, so the caller can say why.
struct KeepErrno {
  int saved = errno;
  ~KeepErrno() { errno = saved; }
};

long rawWrite(void*, int fd, const std::uint8_t* data, std::size_t length) {
  return static_cast<long>(::write(fd, data, length));
}

// Writes everything at the descriptor's position; an interrupted call is repeated.
bool writeAll(int fd, std::span<const std::uint8_t> data, ChunkWriter write, void* self) {
  std::size_t done = 0;
  while (done < data.size()) {
    const long n = write(self, fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;  // no progress and no error: nothing more will go
    if (n <= 0) return false;
    done += std::size_t(n);
  }
  return true;
}

// Reads the whole file into `out`, sized first from what fstat says so the bytes are
// read in place rather than through growing copies.
bool readAll(int fd, std::size_t expected, std::vector<std::uint8_t>& out) {
  out.resize(expected);
  std::size_t done = 0;
  for (;;) {
    if (done == out.size()) out.resize(out.size() + 65536);  // the file grew meanwhile
    const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    done += std::size_t(n);
  }
  out.resize(done);
  return true;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a rename or a new file in the folder durable.
void syncFolder(const std::string& path) {
  const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The file a write to `path` has to change: symbolic links followed (a link to a
// file that does not exist yet names the file to create). Nothing for a loop.
std::optional<std::string> followLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? std::optional(path) : std::nullopt;
    if (!S_ISLNK(st.st_mode)) return path;
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n == 0 || std::size_t(n) >= link.size()) errno = ENAMETOOLONG;
    if (n <= 0 || std::size_t(n) >= link.size()) return std::nullopt;
    link.resize(std::size_t(n));
    path = link[0] == '/' ? link : folderOf(path) + "/" + link;
  }
  errno = ELOOP;
  return std::nullopt;
}

// `base` plus a suffix of six letters and digits, different on every call.
std::string uniqueName(const std::string& base) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static std::atomic<unsigned long> counter = 0;  // saves and recovery writes run on two threads
  unsigned long seed =
      static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                 (long(::getpid()) << 20) ^ (counter.fetch_add(1) + 1) * 7919);
  std::string name = base + ".";
  for (int i = 0; i < 6; ++i, seed /= 62) name += kLetters[seed % 62];
  return name;
}

constexpr int kNameAttempts = 100;

// Creates a file named `base` plus a unique suffix; its descriptor (name in `name`) or -1.
int createUnique(const std::string& base, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    name = uniqueName(base);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Gives the file `from` the name `base` plus a unique suffix (in `name`), never replacing
// a file that has that name.
bool renameUnique(const std::string& from, const std::string& base, std::string& name) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    name = uniqueName(base);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the flag: a name free a moment ago is as good as it gets there.
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 && errno == ENOENT) return ::rename(from.c_str(), name.c_str()) == 0;
  }
  errno = EEXIST;
  return false;
}

// Gives a new file the owner, group and mode of the file it replaces; false when the
// process may not (the file is then written in place, which keeps them).
bool takeOwnerAndMode(int fd, const struct stat& target) {
  struct stat mine {};
  if (::fstat(fd, &mine) != 0) return false;
  if ((mine.st_uid != target.st_uid || mine.st_gid != target.st_gid) &&
      ::fchown(fd, target.st_uid, target.st_gid) != 0)
    return false;
  return ::fchmod(fd, target.st_mode & 07777) == 0;
}

// A flushed copy of the previous bytes beside the target, named in `backup`. It is written
// under a temporary name and takes its ".backup" name only once whole and flushed, so a
// program killed meanwhile never leaves a partial file that looks like a backup. The name
// stays empty when the folder takes no new file (the bytes are then only kept in memory).
// False when the copy could be created but not completed.
bool writeBackup(const std::string& target, const struct stat& st, std::span<const std::uint8_t> previous,
                 ChunkWriter write, void* self, std::string& backup) {
  std::string temp;
  const int fd = createUnique(target, 0600, temp);
  if (fd < 0) {
    backup.clear();
    return true;
  }
  ::fchmod(fd, st.st_mode & 0666);
  bool ok = writeAll(fd, previous, write, self) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || !renameUnique(temp, target + ".backup", backup)) {
    KeepErrno keep;
    ::unlink(temp.c_str());
    return false;
  }
  syncFolder(target);
  return true;
}

bool overwrite(int fd, std::span<const std::uint8_t> data, ChunkWriter write, void* self) {
  return ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, data, write, self) &&
         ::ftruncate(fd, off_t(data.size())) == 0 && ::fsync(fd) == 0;
}

// Writes over the target itself so every name of it sees the new content.
WriteResult writeInPlace(const std::string& target, const struct stat& st, std::span<const std::uint8_t> data,
                         ChunkWriter chunk, void* self) {
  const int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return WriteResult::CreateFailed;
  struct stat now {};
  std::vector<std::uint8_t> previous;
  std::string backup;
  const bool stated = ::fstat(fd, &now) == 0;
  const bool same = stated && now.st_ino == st.st_ino && now.st_dev == st.st_dev;
  if (!same || !readAll(fd, std::size_t(now.st_size), previous)) {
    if (stated && !same) errno = EBUSY;  // another file took the name meanwhile
    KeepErrno keep;
    ::close(fd);
    return WriteResult::CreateFailed;
  }
  if (!writeBackup(target, st, previous, chunk, self, backup)) {
    KeepErrno keep;
    ::close(fd);
    return WriteResult::WriteFailed;
  }
  const bool ok = overwrite(fd, data, chunk, self);
  KeepErrno keep;
  // After a failure the previous bytes go back; the backup stays when even that fails.
  const bool keepBackup = !ok && !overwrite(fd, previous, rawWrite, nullptr);
  ::close(fd);
  if (!backup.empty() && !keepBackup) ::unlink(backup.c_str());
  return ok ? WriteResult::Ok : WriteResult::WriteFailed;
}

}  // namespace

long FileWriter::writeChunk(int fd, const std::uint8_t* data, std::size_t length) {
  return rawWrite(nullptr, fd, data, length);
}

WriteResult FileWriter::writeFile(const std::string& path, std::span<const std::uint8_t> data) {
  const ChunkWriter chunk = [](void* self, int fd, const std::uint8_t* d, std::size_t n) {
    return static_cast<FileWriter*>(self)->writeChunk(fd, d, n);
  };
  // The temporary file is complete and flushed before it replaces the target.
  const auto replaceWith = [&](int fd, const std::string& temp, const std::string& target) {
    bool ok = writeAll(fd, data, chunk, this) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
      KeepErrno keep;
      ::unlink(temp.c_str());
      return WriteResult::WriteFailed;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
      KeepErrno keep;
      ::unlink(temp.c_str());
      return WriteResult::CreateFailed;
    }
    syncFolder(target);
    return WriteResult::Ok;
  };

  if (path.empty()) {
    errno = ENOENT;
    return WriteResult::CreateFailed;
  }
  const auto target = followLinks(path);
  if (!target) return WriteResult::CreateFailed;
  std::string temp;
  struct stat st {};
  if (::stat(target->c_str(), &st) != 0) {
    if (errno != ENOENT) return WriteResult::CreateFailed;
    // A new file gets the usual permissions: 0666 less the umask.
    const int fd = createUnique(*target, 0666, temp);
    return fd < 0 ? WriteResult::CreateFailed : replaceWith(fd, temp, *target);
  }
  if (!S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : ENOTSUP;
    return WriteResult::CreateFailed;
  }
  if (::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return WriteResult::CreateFailed;
  if (st.st_nlink == 1) {
    const int fd = createUnique(*target, 0600, temp);
    if (fd >= 0 && takeOwnerAndMode(fd, st)) return replaceWith(fd, temp, *target);
    if (fd >= 0) {
      ::close(fd);
      ::unlink(temp.c_str());
    }
  }
  return writeInPlace(*target, st, data, chunk, this);
}

FileWriter& defaultFileWriter() {
  static FileWriter writer;
  return writer;
}

int openRegularFile(const std::string& path) {
  // The type is checked before opening so a named pipe is never opened at all, and
  // again on the descriptor in case the name changed in between.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace pw
