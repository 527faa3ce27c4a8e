#pragma once
// How one code plug differs from another, in the words of the text form: section by
// section, records matched by number (a record whose bytes went to another number is a
// move), each changed field as old -> new, the suffix CRC, then the rest's bytes. The
// comparison itself is PlugCompare's; this is its wording for `plugwright-cli diff`.

#include <string>
#include <vector>

#include "codeplug/Bytes.h"

namespace pw::text {

// The lines of the differences between two whole RDT files; none when they are equal.
std::vector<std::string> diffFiles(ByteSpan a, ByteSpan b);

}  // namespace pw::text
