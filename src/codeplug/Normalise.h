#pragma once
#include "codeplug/CodePlugDocument.h"

namespace pw {
// Packs every list and member list so that used records come first and every free
// record holds its list's empty-record values; references follow moved records.
// True when any byte changed.
bool normaliseLists(CodePlugDocument& doc);
}  // namespace pw
