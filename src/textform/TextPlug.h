#pragma once
// The code plug as a text: the described sections field by field, and the rest as
// bytes. The rest is what the file holds XOR what the described fields give over a
// baseline (zeros, and every list record in its fresh state), so a typical file has a
// short rest while any file, whatever its reserved bits and free records, comes back
// byte for byte: assemble(describe(file)) == file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "codeplug/Bytes.h"
#include "textform/FieldCatalogue.h"

namespace pw::text {

struct TextValue {
  std::string text{};                // a scalar
  std::vector<std::string> items{};  // a list (members)
  bool isList = false;
  bool quoted = false;  // a name: always quoted, so "null" or "~" stay texts
  std::string comment{};
  int line = 0;  // where the text held it (0: made here)
};

// A field's key: the catalogue's own text for every key it knows (a dump makes thousands,
// none copied), a copy of the text's for any other.
class FieldKey {
 public:
  FieldKey() = default;
  FieldKey(std::string key) : own_(std::move(key)) {}
  FieldKey(const char* key) : own_(key) {}
  // A key that lives as long as the program (the catalogue's).
  static FieldKey fixed(const char* key) {
    FieldKey k;
    k.fixed_ = key;
    return k;
  }
  std::string_view view() const { return fixed_ ? std::string_view(fixed_) : std::string_view(own_); }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }
  friend bool operator==(const FieldKey& a, const FieldKey& b) { return a.view() == b.view(); }
  friend bool operator==(const FieldKey& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const FieldKey& a, const char* b) { return (a.fixed_ && a.fixed_ == b) || a.view() == b; }
  friend bool operator==(const FieldKey& a, const std::string& b) { return a.view() == b; }
  friend std::string operator+(std::string a, const FieldKey& b) { return std::move(a.append(b.view())); }

 private:
  const char* fixed_ = nullptr;
  std::string own_;
};

struct TextField {
  FieldKey key;
  TextValue value;
};

struct TextRecord {
  int number = 0;  // 1-based; 0 for a block
  int line = 0;
  std::vector<TextField> fields{};
};

struct TextSection {
  const SectionDesc* desc = nullptr;
  int line = 0;
  std::vector<TextRecord> records{};  // a block holds one record
};

// A run of the rest: bytes XORed onto the file from `at` (file offset).
struct RestRun {
  std::size_t at = 0;
  std::vector<std::uint8_t> bytes{};
  int line = 0;
};

// The DfuSe suffix CRC: computed over the built file when it matched the dumped one,
// otherwise the stored value as it stands. A text written before it was stated has none
// and leaves the four bytes to the rest.
struct SuffixCrc {
  bool matches = false;
  std::uint32_t stored = 0;  // when it does not match
};
inline constexpr const char* kSuffixCrcKey = "suffix_crc";
// "matches" or the stored value as 0x%08X, and back (nothing for another text).
std::string suffixCrcText(const SuffixCrc& crc);
std::optional<SuffixCrc> parseSuffixCrc(std::string_view text);

struct TextPlug {
  std::vector<TextSection> sections;
  std::optional<SuffixCrc> suffixCrc;
  std::vector<RestRun> rest;
};

struct TextError {
  int line = 0;
  std::string field;  // the section, record or field the error is about
  std::string message;
};
std::string describeError(const TextError& e);

// The text of a whole RDT file (exactly kRdtFileSize bytes). A caller that describes
// file after file may lend `scratch` for the working copy: it comes back holding nothing
// of use, its memory ready for the next (a file-sized buffer is a fresh mapping each time).
TextPlug describe(ByteSpan file, std::vector<std::uint8_t>* scratch = nullptr);
// The RDT file of a text, or the first error; built in `buffer`'s memory when one is handed over.
std::variant<std::vector<std::uint8_t>, TextError> assemble(const TextPlug& plug,
                                                            std::vector<std::uint8_t> buffer = {});

// The whole rest of a text as one file-sized array (zero where the text has none).
std::vector<std::uint8_t> restBytes(const TextPlug& plug);
// What a file offset belongs to, for comments and differences: "channels 12", "radio", ...
std::string regionLabel(std::size_t fileOffset);
// Name key of a record of a list section, and its members key.
inline constexpr const char* kMembersKey = "members";
inline constexpr const char* kNumberKey = "number";

}  // namespace pw::text
