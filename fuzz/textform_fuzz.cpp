// The text form: any image that passes the load checks must come back byte for byte
// through dump and build, and any text, however malformed, must give a file or an
// error without crashing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/CodePlugBuilder.h"
#include "textform/TextYaml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  if (data[0] & 1) {  // a text
    (void)pw::text::buildFile(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
  }
  // An image: a clean plug with the input laid over it from a chosen place, the
  // framing's checked bytes kept.
  static const std::vector<std::uint8_t> clean = pwtest::CodePlugBuilder().bytes();
  static std::vector<std::uint8_t> file;  // its buffer reused: a run allocates no image of its own
  file = clean;
  const std::size_t at =
      11 + (std::size_t(data[1]) << 16 | std::size_t(data[2]) << 8 | data[3]) % (file.size() - 11);
  const std::size_t n = std::min(size - 4, file.size() - at);
  std::copy(data + 4, data + 4 + n, file.begin() + std::ptrdiff_t(at));
  auto built = pw::text::buildFile(pw::text::dumpText(file));
  const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&built);
  if (!bytes || *bytes != file) std::abort();
  return 0;
}
