#include "support/ScratchDir.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "support/CodePlugBuilder.h"

namespace pwtest {

std::string scratchDir() {
  // Memory is not left holding files after the process: the folder goes at exit.
  struct InMemory {
    std::filesystem::path path = std::filesystem::path("/dev/shm") / ("pw-" + std::to_string(::getpid()));
    bool made = false;
    ~InMemory() {
      std::error_code ec;
      if (made) std::filesystem::remove_all(path, ec);
    }
  };
  static InMemory memory;
  static const std::string dir = [] {
    std::error_code ec;
    memory.made = std::filesystem::create_directories(memory.path, ec);
    return memory.made ? memory.path.string() : testTempDir();
  }();
  return dir;
}

}  // namespace pwtest
