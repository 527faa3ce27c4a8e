#pragma once
// The one rule for names and the texts around them: which characters a typed name accepts,
// how names, cells and typed texts are trimmed, how a name field's bytes are read, how text
// from outside (UTF-8 from a file, the clipboard, a public list) becomes what a name can
// hold, how names compare when sorted, and how whole numbers are read from text.
//
// Names hold 8-bit characters, taken as Latin-1 wherever they are shown or compared. Bytes a
// loaded file holds are never passed through the conversion: a stored name with codes above
// 127 keeps them until the user edits it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pw {

// What a typed name (or message, or General text) accepts: codes 32..127.
constexpr bool nameAccepts(std::uint32_t c) { return c >= 32 && c <= 127; }

// The text without leading and trailing characters of codes 0..32: how every name, cell and
// typed text is trimmed before it is stored or compared.
constexpr bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
constexpr std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}
inline std::string trimControls(std::string_view text) { return std::string(trimmed(text)); }

// A..Z as a..z, every other byte as it is: how names and texts compare without case (no
// locale: names hold the code plug's 8-bit characters, not the machine's).
inline char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
inline char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
std::string asciiLower(std::string_view text);

// Where the characters of a name field of 16-bit units end.
enum class NameEnd {
  Shown,   // at the first unit whose low byte is 0x00 or 0xFF: the name the radio shows
  Stored,  // at the first unit of 0: every byte the field keeps, for a copy that loses nothing
};
// The 8-bit characters of up to `units` units (the low byte of each), nothing trimmed.
std::string nameBytes(std::span<const std::uint8_t> bytes, int units, NameEnd end = NameEnd::Shown);

// What the conversion of outside text changed.
struct NameChanges {
  bool replaced = false;  // a letter with marks written as its base letter
  bool dropped = false;   // a character a name cannot hold left out
};
// Outside text as a name can hold it: characters a typed name accepts kept; a Latin letter
// with marks as its base letter (é e, Ł L, ş s), and the letters without a base letter as
// letters (ß ss, Æ AE, Ø O, Œ OE, Þ TH, Đ D, ı i); any other character dropped. A byte that
// starts no well-formed UTF-8 sequence is taken as the Latin-1 character it is (a file saved
// in an 8-bit code). Nothing is trimmed or cut. The result holds codes 32..127 only: never
// one that ends a stored name (0x00, 0xFF; ÿ is written y).
std::string nameFromOutside(std::string_view utf8, NameChanges* changes = nullptr);
// The same, appended to `out` (a reader that keeps many names in one buffer).
void appendNameFromOutside(std::string& out, std::string_view utf8, NameChanges* changes = nullptr);
// The text with every byte that starts no well-formed UTF-8 sequence taken as the Latin-1
// character it is, as nameFromOutside takes it: a list saved in an 8-bit code reads as UTF-8.
// `converted` counts those bytes.
std::string wellFormedUtf8(std::string_view text, std::size_t* converted = nullptr);
// What "Sort by Name" compares: a stored name's 8-bit characters through the same letters,
// in lower case ("\xC4rger" as "arger").
std::string nameSortKey(std::string_view stored);

// A whole number as typed or as files write it, blanks and control codes around it allowed:
// decimal digits, with `sign` after an optional + or -, with `hex` also "0x" and hex digits.
// Nothing for any other text or a value outside lo..hi.
struct NumberSyntax {
  bool sign = false;
  bool hex = false;
};
std::optional<std::int64_t> parseInteger(std::string_view text, std::int64_t lo, std::int64_t hi,
                                         NumberSyntax syntax = {});

}  // namespace pw
