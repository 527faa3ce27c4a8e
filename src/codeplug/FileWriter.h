#pragma once
// Writing a whole file without ever destroying the previous one: the bytes go to a
// temporary file in the same folder, are flushed to disk and then renamed over the
// target. On any failure the temporary file is removed and the target is untouched.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pw {

enum class WriteResult { Ok, CreateFailed, WriteFailed };

class FileWriter {
public:
  virtual ~FileWriter() = default;
  WriteResult writeFile(const std::string& path, std::span<const std::uint8_t> data);

protected:
  // The one low-level write call; tests override it to simulate a full disk.
  virtual long writeChunk(int fd, const std::uint8_t* data, std::size_t length);
};

// The writer used when none is injected.
FileWriter& defaultFileWriter();

}  // namespace pw
