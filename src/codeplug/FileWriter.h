#pragma once
// Writing a whole file the way a user expects of an editor, without ever losing the
// previous content:
// - the file the user named is written: a symbolic link is followed and the file it
//   points to is replaced, the link stays a link;
// - a target the process may not write, or that is not a regular file, is refused
//   before anything is touched;
// - normally the bytes go to a temporary file in the same folder, are flushed to disk
//   and renamed over the target, which takes the target's owner, group and mode;
// - a file with more than one name (hard links), or whose owner a new file could not
//   take, is written in place so every name keeps seeing it: first a flushed backup
//   copy of the previous bytes goes beside it (left for the user if the program dies
//   mid-write; it takes its ".backup" name only once whole); where the folder takes no
//   new file the previous bytes are kept in memory instead. A failed write puts the
//   previous bytes back.
// On any failure the target is byte-identical to before, no temporary file is left, and
// errno tells why (as the call that failed set it; EISDIR for a folder, ENOTSUP for another
// file that is not a regular one).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pw {

enum class WriteResult {
  Ok,
  CreateFailed,  // the target cannot be created or replaced; nothing was written
  WriteFailed,   // writing failed; the previous content is back in place
};

class FileWriter {
 public:
  virtual ~FileWriter() = default;
  WriteResult writeFile(const std::string& path, std::span<const std::uint8_t> data);

 protected:
  // The one low-level call that writes new content (the backup copy included); tests
  // override it to simulate a full disk or an interrupted call. Putting previous bytes
  // back does not go through it.
  virtual long writeChunk(int fd, const std::uint8_t* data, std::size_t length);
};

// The writer used when none is injected.
FileWriter& defaultFileWriter();

// Opens an existing regular file for reading without ever blocking (a named pipe,
// a device or a folder is refused); the descriptor, or -1.
int openRegularFile(const std::string& path);

}  // namespace pw
