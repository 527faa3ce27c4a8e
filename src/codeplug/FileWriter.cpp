#include "codeplug/FileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace pw {

long FileWriter::writeChunk(int fd, const std::uint8_t* data, std::size_t length) {
  return static_cast<long>(::write(fd, data, length));
}

WriteResult FileWriter::writeFile(const std::string& path, std::span<const std::uint8_t> data) {
  if (path.empty()) return WriteResult::CreateFailed;
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return WriteResult::CreateFailed;
  // mkstemp makes the file private: keep the target's permissions, or give a new
  // file the usual ones.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }

  std::size_t done = 0;
  bool ok = true;
  while (done < data.size()) {
    const long n = writeChunk(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) { ok = false; break; }
    done += std::size_t(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return WriteResult::Ok;
  ::unlink(temp.c_str());
  return WriteResult::WriteFailed;
}

FileWriter& defaultFileWriter() {
  static FileWriter writer;
  return writer;
}

}  // namespace pw
