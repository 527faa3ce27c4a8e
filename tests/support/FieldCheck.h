#pragma once
// The check every field table gets: after a setter ran on a block filled with 0x00 or
// 0xFF, the field reads back and no bit outside it has moved, in the block or elsewhere.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>
#include <vector>

#include "codeplug/Bytes.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/Layout.h"

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

// Two copies of a document's file: no bit moved but those of field f of the block at
// image offset `at`.
inline ::testing::AssertionResult onlyFieldMovedAt(pw::ByteSpan before, pw::ByteSpan after, std::size_t at,
                                                   pw::BitField f) {
  const std::size_t from = pw::kImageBase + at;
  const std::size_t n = f.byte + (f.shift == 0 && f.width % 8 == 0 ? f.width / 8 : 1);
  if (before.size() != after.size() || before.size() < from + n) return ::testing::AssertionFailure() << "sizes";
  for (std::size_t i = 0; i < before.size(); ++i)
    if (before[i] != after[i] && (i < from || i >= from + n))
      return ::testing::AssertionFailure() << "file byte " << i << " moved outside the field at byte " << f.byte;
  return onlyFieldMoved(before.subspan(from, n), after.subspan(from, n), f);
}

// Fills the `size` bytes at image offset `at` with 0x00, then 0xFF, writes 0 and the highest
// value (the field's mask unless `highest` says otherwise) to each field of `table` through
// `setField`, and checks that `getField` reads it back and that no other bit moved.
template <typename Field, std::size_t N, typename Set, typename Get>
void expectEachFieldWritesOnlyItsBits(pw::CodePlugDocument& doc, std::size_t at, std::size_t size,
                                      const pw::NamedField<Field> (&table)[N], Set setField, Get getField,
                                      std::type_identity_t<std::function<std::uint32_t(Field)>> highest = {}) {
  for (std::uint8_t background : {0x00, 0xFF})
    for (const auto& [field, bits] : table)
      for (std::uint32_t v : {0u, highest ? highest(field) : pw::fieldMask(bits)}) {
        std::memset(doc.bytes(at, size).data(), background, size);
        const std::vector<std::uint8_t> before = doc.workingImage;
        ASSERT_TRUE(setField(field, v)) << "field " << int(field);
        EXPECT_EQ(getField(field), v) << "field " << int(field);
        EXPECT_TRUE(onlyFieldMovedAt(before, doc.workingImage, at, bits)) << "field " << int(field);
      }
}

}  // namespace pwtest
