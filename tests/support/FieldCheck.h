#pragma once
// The check every field table gets: after a setter ran on a record filled with 0x00 or
// 0xFF, no bit outside the field it names has moved.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "codeplug/Bytes.h"

namespace pwtest {

// Mask of the bits field f occupies in a record of `size` bytes.
inline std::vector<std::uint8_t> fieldBits(pw::BitField f, std::size_t size) {
  std::vector<std::uint8_t> mask(size, 0);
  if (f.shift == 0 && f.width % 8 == 0) {
    for (int i = 0; i < f.width / 8 && f.byte + i < int(size); ++i) mask[f.byte + i] = 0xFF;
  } else if (f.byte < size) {
    mask[f.byte] = static_cast<std::uint8_t>(pw::fieldMask(f) << f.shift);
  }
  return mask;
}

inline ::testing::AssertionResult onlyFieldMoved(pw::ByteSpan before, pw::ByteSpan after, pw::BitField f) {
  if (before.size() != after.size()) return ::testing::AssertionFailure() << "sizes differ";
  const auto mask = fieldBits(f, before.size());
  for (std::size_t i = 0; i < before.size(); ++i)
    if ((before[i] ^ after[i]) & ~mask[i])
      return ::testing::AssertionFailure() << "byte " << i << " moved outside the field at byte " << f.byte;
  return ::testing::AssertionSuccess();
}

}  // namespace pwtest
