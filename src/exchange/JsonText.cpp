#include "exchange/JsonText.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "codeplug/FileWriter.h"
#include "codeplug/Text.h"

namespace pw::exchange {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view withoutMark(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  return text;
}

}  // namespace

JsonText jsonText(std::string_view text) {
  JsonText out;
  out.text = wellFormedUtf8(withoutMark(text), &out.latin1);
  return out;
}

JsonText readJsonText(const std::string& path) {
  JsonText out;
  const int fd = openRegularFile(path);
  if (fd < 0) {
    out.failure = "Could not open the file";
    return out;
  }
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      out.failure = "Could not read the file";
      break;
    }
    if (n == 0) break;
    if (bytes.size() + std::size_t(n) > kMaxJsonBytes) {
      out.failure = "The file is larger than " + std::to_string(kMaxJsonBytes >> 20) + " MB";
      break;
    }
    bytes.append(buffer, std::size_t(n));
  }
  ::close(fd);
  if (!out.failure.empty()) return out;
  return jsonText(bytes);
}

bool looksLikeJson(std::string_view text) {
  text = trimmed(withoutMark(text));
  return !text.empty() && (text.front() == '{' || text.front() == '[');
}

int lineAt(std::string_view text, std::size_t at) {
  at = std::min(at, text.size());
  return 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n'));
}

}  // namespace pw::exchange
