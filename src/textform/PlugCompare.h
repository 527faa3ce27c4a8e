#pragma once
// How one code plug differs from another, as a structure: section by section, records
// matched by number (a record whose bytes went to another number is a move), each changed
// field with both values, the suffix CRC, then the bytes of the rest that no record
// accounts for.
// `plugwright-cli diff` puts it in the text form's words; the editor's compare window
// shows it as a tree.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "codeplug/Bytes.h"
#include "textform/TextPlug.h"

namespace pw::text {

struct FieldDifference {
  const TextField* a = nullptr;  // the field on side A
  const TextField* b = nullptr;  // the same field on side B; null when B's record lacks it
};

struct RecordDifference {
  enum class Kind {
    Changed,  // the record is on both sides under its number; `fields` says how it differs
    Moved,    // A's record is B's record under another number, byte for byte
    Removed,  // only on side A (or its number holds a record moved there on side B)
    Added,    // only on side B
  };
  Kind kind = Kind::Changed;
  const TextRecord* a = nullptr;        // null for Added
  const TextRecord* b = nullptr;        // null for Removed; for Moved the record where it went
  std::vector<FieldDifference> fields;  // Changed: each field whose value differs, in order
};

struct SectionDifference {
  const SectionDesc* desc = nullptr;
  // In the order a reader walks them: by number, and for one number the change of A's
  // record before the record B added there. A block's one record has number 0.
  std::vector<RecordDifference> records;
};

// The DfuSe suffix CRC of each side, where the two state it differently.
struct SuffixCrcDifference {
  SuffixCrc a, b;
};

// A run of differing rest bytes, [at, end) in file offsets, with each side's bytes.
struct RestDifference {
  std::size_t at = 0, end = 0;
  std::vector<std::uint8_t> a, b;
};

// Owns both sides' records, which the differences point into: it can be moved, not copied.
class PlugComparison {
 public:
  PlugComparison(ByteSpan a, ByteSpan b);
  PlugComparison(PlugComparison&&) = default;
  PlugComparison& operator=(PlugComparison&&) = default;
  PlugComparison(const PlugComparison&) = delete;
  PlugComparison& operator=(const PlugComparison&) = delete;

  const std::vector<SectionDifference>& sections() const { return sections_; }
  const std::optional<SuffixCrcDifference>& suffixCrc() const { return suffixCrc_; }
  const std::vector<RestDifference>& rest() const { return rest_; }
  bool empty() const { return sections_.empty() && !suffixCrc_ && rest_.empty(); }

 private:
  TextPlug a_, b_;
  std::vector<SectionDifference> sections_;
  std::optional<SuffixCrcDifference> suffixCrc_;
  std::vector<RestDifference> rest_;
};

// Two whole RDT files (exactly kRdtFileSize bytes each), A against B.
inline PlugComparison compareFiles(ByteSpan a, ByteSpan b) { return PlugComparison(a, b); }

// Whether two values read alike (their comments aside).
bool sameValue(const TextValue& x, const TextValue& y);

}  // namespace pw::text
