#pragma once
// The CRC at the end of an RDT file's DfuSe suffix: what a DFU tool checks before it
// accepts the file. The editor recomputes it only for a file whose CRC matched when loaded.

#include <cstdint>

#include "codeplug/Bytes.h"
#include "codeplug/Layout.h"

namespace pw {

constexpr std::size_t kFileSuffixCrc = kRdtFileSize - 4;  // u32le, the file's last four bytes

// CRC-32 (reflected, polynomial 0xEDB88320) from 0xFFFFFFFF, not inverted at the end: the
// form DfuSe files store.
std::uint32_t dfuseCrc(ByteSpan bytes);
// The stored CRC of a whole file, and whether it is the CRC of every byte before it.
std::uint32_t storedSuffixCrc(ByteSpan file);
bool suffixCrcMatches(ByteSpan file);
// Stores the CRC of every byte before it.
void setSuffixCrc(MutableByteSpan file);

}  // namespace pw
