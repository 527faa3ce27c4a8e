#pragma once
// What the text form knows of each section: its fields, their names in the text and how
// a stored value is shown and read back. The sections are data over the sections' own
// field tables and choices; the text form's code (TextPlug.cpp) is written once over them.
//
// Adding a section:
//  - a block of settings (one record at a fixed place): write a `FieldDesc` table with one
//    row per field, `{.key = "yaml_name", .bits = bitsOf(XxxField::Y), .kind = Kind::...}`
//    (bits relative to the block's first byte), and one `SectionDesc` row
//    `{.key = "xxx", .fileOffset = fileOffset(kXxx), .size = kXxxSize, .fields = kXxxText}`
//    in `catalogue()` at the place of its tab;
//  - a fixed table (records that always exist: GPS systems, DTMF entries): a block row
//    with `.count` records of `.size` bytes back to back from `.fileOffset`;
//  - a list: the same with `.list = ListId::X` (name and members come from the list's
//    layouts; `.nameKey` names the name field).
// Every bit no row covers stays lossless in the text's rest, so a section can be added,
// or a field left out, without breaking files dumped before.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "codeplug/Bytes.h"
#include "codeplug/Choices.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/PlugSection.h"
#include "codeplug/RecordList.h"
#include "codeplug/Text.h"

namespace pw::text {

enum class Kind {
  Number,     // the stored number
  Flag,       // on / off (inverted: stored 0 is on)
  Choice,     // the text of the choice carrying the value, else the stored number
  Frequency,  // MHz as the tab shows it, else the stored word in hex
  Reference,  // a record number of `referred` (or a choice's text for the special values)
  Hex,        // hex digits as the tab shows them, all of the field's width (privacy keys)
};

// A field of more than one bit field (the channel's voice encryption: type and key).
struct Accessor {
  std::uint32_t (*read)(ByteSpan record);
  void (*write)(MutableByteSpan record, std::uint32_t value);
  bool (*holds)(std::uint32_t value);
};

// A field of whole bytes shown as a text (names, digit strings, long keys): `render` gives
// the text of the field's bytes; `parse` fills the field for a text, false when it takes
// no such text.
struct TextCodec {
  std::string (*render)(ByteSpan bytes);
  bool (*parse)(std::string_view text, MutableByteSpan bytes);
};

struct FieldDesc {
  const char* key;
  BitField bits{};
  Kind kind = Kind::Number;
  bool inverted = false;                  // Flag
  const Choices& (*choices)() = nullptr;  // Choice; Reference: the special values
  ListId referred = ListId::Channels;     // Reference
  const Accessor* accessor = nullptr;     // instead of `bits`
  const TextCodec* codec = nullptr;       // a text over `range` instead of `bits`
  ByteRange range{};
};

// A value the radio keeps and the editor only shows (the radio information): written for
// reading; a build takes it only unchanged.
struct ShownValue {
  const char* key;
  std::string (*show)(const CodePlugDocument& doc);
};

struct SectionDesc {
  const char* key;
  PlugSection section;           // the part of the code plug it describes, as the window names it
  std::optional<ListId> list{};  // a list of records; otherwise a block
  std::size_t fileOffset = 0;    // block: file offset and size
  std::size_t size = 0;
  std::span<const FieldDesc> fields;
  const char* nameKey = "name";         // list: the key of the record's name
  int count = 0;                        // a fixed table: records 1..count, `size` bytes each
  std::span<const ShownValue> shown{};  // a block: read-only values after the fields
};
// Lists and fixed tables are written as numbered records; a block as one map.
inline bool numbered(const SectionDesc& s) { return s.list || s.count > 0; }
// The most fields a record of the section is written with: its fields, shown values, name and members.
inline std::size_t fieldRoom(const SectionDesc& s) { return s.fields.size() + s.shown.size() + 2; }

// Every described section in the order of the editor's tabs; the radio information first.
std::span<const SectionDesc> catalogue();
// By the keys a text gives: nothing for a key the catalogue does not know.
const SectionDesc* findSection(std::string_view key);
const FieldDesc* findField(const SectionDesc& section, std::string_view key);
// By checked keys, for code that knows what it wants: the section of a list, and the field of
// a section stored in `bits` (a named bit field such as bitsOf(ChannelField::RxFrequency), so a
// misspelt key does not compile). Asking for a field the section does not describe is a
// fault of the caller, stopped at once.
const SectionDesc& sectionOf(ListId list);
const FieldDesc& fieldOf(const SectionDesc& section, BitField bits);

// ---- one value ----
std::uint32_t readField(ByteSpan record, const FieldDesc& f);
void writeField(MutableByteSpan record, const FieldDesc& f, std::uint32_t value);
bool fieldHolds(const FieldDesc& f, std::uint32_t value);

struct Shown {
  std::string text;
  std::string comment;  // the shown text when `text` is the stored number; a referred name
  // The text reads back as the value whatever document it is read for (every kind but
  // frequencies, which are clamped into the document's band).
  bool readsBack = false;
};
// The text for a stored value; reading it back gives the value again (checked here).
Shown renderField(const CodePlugDocument& doc, const FieldDesc& f, std::uint32_t value);
// The stored value for a text, or nothing when the text is neither a choice's text nor a
// number the field can hold. Frequencies are clamped into the radio's band like the tab.
std::optional<std::uint32_t> parseField(const CodePlugDocument& doc, const FieldDesc& f,
                                        std::string_view text);

// ---- names: every byte a typed name does not accept (and DEL, which YAML takes for a
// control code) as \xNN, the backslash doubled ----
std::string escapeText(std::string_view bytes);
void appendEscaped(std::string& text, std::string_view bytes);  // the same, onto `text`
// Every byte the name field keeps (NameEnd::Stored), escaped.
std::string nameText(ByteSpan units, int count);
// The bytes of an escaped text; nothing, and why in `problem`, for a malformed escape or
// a character written as itself that a typed name does not accept: a name stores 8-bit
// codes, so anything else (a UTF-8 sequence would be stored byte by byte) must be written \xNN.
std::optional<std::string> unescapeName(std::string_view text, std::string* problem = nullptr);

// A number written in decimal or with 0x in hex; nothing otherwise or above `max`.
inline std::optional<std::uint32_t> parseNumber(std::string_view text, std::uint32_t max) {
  const auto v = parseInteger(text, 0, max, {.hex = true});
  return v ? std::optional<std::uint32_t>(std::uint32_t(*v)) : std::nullopt;
}

}  // namespace pw::text
