#include "codeplug/DfuseSuffix.h"

#include <zlib.h>

namespace pw {

// zlib's CRC-32 is the same polynomial from the same start, inverted at the end; undoing the
// inversion gives the stored form. Its word-at-a-time loop is several times faster than a
// byte-wise table, which was most of a load's time.
std::uint32_t dfuseCrc(ByteSpan bytes) {
  return ~static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

std::uint32_t storedSuffixCrc(ByteSpan file) { return u32le(file, kFileSuffixCrc); }

bool suffixCrcMatches(ByteSpan file) {
  return file.size() == kRdtFileSize && storedSuffixCrc(file) == dfuseCrc(file.first(kFileSuffixCrc));
}

void setSuffixCrc(MutableByteSpan file) {
  if (file.size() == kRdtFileSize) setU32le(file, kFileSuffixCrc, dfuseCrc(file.first(kFileSuffixCrc)));
}

}  // namespace pw
