#pragma once
// Little-endian byte and bit-field access. One place knows byte order and bounds:
// every reader and writer checks the span, so a stray offset cannot run off the image.

#include <cstddef>
#include <cstdint>
#include <span>

namespace pw {

using ByteSpan = std::span<const std::uint8_t>;
using MutableByteSpan = std::span<std::uint8_t>;

inline std::uint8_t u8(ByteSpan b, std::size_t at) { return at < b.size() ? b[at] : 0; }
inline std::uint16_t u16le(ByteSpan b, std::size_t at) {
  return static_cast<std::uint16_t>(u8(b, at) | (u8(b, at + 1) << 8));
}
inline std::uint32_t u24le(ByteSpan b, std::size_t at) {
  return u8(b, at) | (std::uint32_t(u8(b, at + 1)) << 8) | (std::uint32_t(u8(b, at + 2)) << 16);
}
inline std::uint32_t u32le(ByteSpan b, std::size_t at) {
  return u24le(b, at) | (std::uint32_t(u8(b, at + 3)) << 24);
}

inline void setU8(MutableByteSpan b, std::size_t at, std::uint8_t v) {
  if (at < b.size()) b[at] = v;
}
inline void setU16le(MutableByteSpan b, std::size_t at, std::uint16_t v) {
  setU8(b, at, static_cast<std::uint8_t>(v));
  setU8(b, at + 1, static_cast<std::uint8_t>(v >> 8));
}
inline void setU24le(MutableByteSpan b, std::size_t at, std::uint32_t v) {
  setU16le(b, at, static_cast<std::uint16_t>(v));
  setU8(b, at + 2, static_cast<std::uint8_t>(v >> 16));
}
inline void setU32le(MutableByteSpan b, std::size_t at, std::uint32_t v) {
  setU16le(b, at, static_cast<std::uint16_t>(v));
  setU16le(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

// A field of a record: `width` bits starting at bit `shift` of byte `byte`, or a
// whole little-endian word when shift is 0 and width is 8, 16, 24 or 32.
struct BitField {
  std::uint16_t byte;
  std::uint8_t shift;
  std::uint8_t width;
};

constexpr std::uint32_t fieldMask(BitField f) {
  return f.width >= 32 ? 0xFFFFFFFFu : ((1u << f.width) - 1u);
}

inline std::uint32_t get(ByteSpan record, BitField f) {
  if (f.shift == 0 && f.width % 8 == 0) {
    std::uint32_t v = 0;
    for (int i = f.width / 8 - 1; i >= 0; --i) v = (v << 8) | u8(record, f.byte + i);
    return v;
  }
  return (u8(record, f.byte) >> f.shift) & fieldMask(f);
}

// Writes the field, keeping every other bit of the record.
inline void set(MutableByteSpan record, BitField f, std::uint32_t v) {
  if (f.shift == 0 && f.width % 8 == 0) {
    for (int i = 0; i < f.width / 8; ++i) setU8(record, f.byte + i, static_cast<std::uint8_t>(v >> (8 * i)));
    return;
  }
  const std::uint32_t mask = fieldMask(f) << f.shift;
  const std::uint8_t old = u8(record, f.byte);
  setU8(record, f.byte, static_cast<std::uint8_t>((old & ~mask) | ((v << f.shift) & mask)));
}

// True when no two fields of a table share a bit (checked at compile time).
template <std::size_t N>
constexpr bool fieldsDisjoint(const BitField (&fields)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    for (std::size_t j = i + 1; j < N; ++j) {
      const unsigned ai = fields[i].byte * 8u + fields[i].shift, aj = fields[j].byte * 8u + fields[j].shift;
      if (ai < aj + fields[j].width && aj < ai + fields[i].width) return false;
    }
  return true;
}

// One row of a record's field table: the field's name beside its byte and bits, so a
// reader checks each field on one line. Tables keep the rows in enum order, which
// `keyedInOrder` proves at compile time, so a lookup is an index.
template <typename Name>
struct NamedField {
  Name name;
  BitField bits;
};

// True when row i of a named table carries name i (any table whose rows have `name`).
template <typename Row, std::size_t N>
constexpr bool keyedInOrder(const Row (&rows)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (static_cast<std::size_t>(rows[i].name) != i) return false;
  return true;
}

template <typename Name, std::size_t N>
constexpr bool fieldsDisjoint(const NamedField<Name> (&fields)[N]) {
  BitField bits[N]{};
  for (std::size_t i = 0; i < N; ++i) bits[i] = fields[i].bits;
  return fieldsDisjoint(bits);
}

// A run of whole bytes of a record (texts, packed digits): fields too wide for a BitField.
struct ByteRange {
  std::uint16_t byte;
  std::uint16_t length;
};

template <typename Name>
struct NamedRange {
  Name name;
  ByteRange bytes;
};

// True when no bit field and no byte range of a record share a bit, the ranges
// included among themselves (checked at compile time).
template <typename A, std::size_t N, typename B, std::size_t M>
constexpr bool fieldsDisjoint(const NamedField<A> (&fields)[N], const NamedRange<B> (&ranges)[M]) {
  if (!fieldsDisjoint(fields)) return false;
  auto overlaps = [](unsigned a, unsigned aEnd, unsigned b, unsigned bEnd) { return a < bEnd && b < aEnd; };
  for (std::size_t i = 0; i < M; ++i) {
    const unsigned r = ranges[i].bytes.byte * 8u, rEnd = r + ranges[i].bytes.length * 8u;
    for (std::size_t j = i + 1; j < M; ++j) {
      const unsigned s = ranges[j].bytes.byte * 8u;
      if (overlaps(r, rEnd, s, s + ranges[j].bytes.length * 8u)) return false;
    }
    for (std::size_t j = 0; j < N; ++j) {
      const unsigned f = fields[j].bits.byte * 8u + fields[j].bits.shift;
      if (overlaps(r, rEnd, f, f + fields[j].bits.width)) return false;
    }
  }
  return true;
}

}  // namespace pw
