#include "codeplug/DfuseSuffix.h"

#include <array>

namespace pw {
namespace {

constexpr std::array<std::uint32_t, 256> kTable = [] {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    t[n] = c;
  }
  return t;
}();

}  // namespace

std::uint32_t dfuseCrc(ByteSpan bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const std::uint8_t b : bytes) crc = kTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc;
}

std::uint32_t storedSuffixCrc(ByteSpan file) { return u32le(file, kFileSuffixCrc); }

bool suffixCrcMatches(ByteSpan file) {
  return file.size() == kRdtFileSize && storedSuffixCrc(file) == dfuseCrc(file.first(kFileSuffixCrc));
}

void setSuffixCrc(MutableByteSpan file) {
  if (file.size() == kRdtFileSize) setU32le(file, kFileSuffixCrc, dfuseCrc(file.first(kFileSuffixCrc)));
}

}  // namespace pw
