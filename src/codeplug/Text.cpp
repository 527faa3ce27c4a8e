#include "codeplug/Text.h"

#include <algorithm>

namespace pw {
namespace {

// The letters each code point of U+00C0..U+024F and U+1E00..U+1EFF is written as, two
// characters a code point: a base letter and a blank, two letters, or two blanks for a
// character with no Latin base letter (the multiplication sign, a click letter). Made from
// the characters' decompositions and names ("LATIN SMALL LETTER L WITH STROKE": l).
// clang-format off
constexpr std::string_view kLatinLetters =
    "A A A A A A AEC E E E E I I I I "  // U+00C0
    "D N O O O O O   O U U U U Y THss"  // U+00D0
    "a a a a a a aec e e e e i i i i "  // U+00E0
    "d n o o o o o   o u u u u y thy "  // U+00F0
    "A a A a A a C c C c C c C c D d "  // U+0100
    "D d E e E e E e E e E e G g G g "  // U+0110
    "G g G g H h H h I i I i I i I i "  // U+0120
    "I i IJijJ j K k   L l L l L l L "  // U+0130
    "l L l N n N n N n       O o O o "  // U+0140
    "O o OEoeR r R r R r S s S s S s "  // U+0150
    "S s T t T t T t U u U u U u U u "  // U+0160
    "U u U u W w Y y Y Z z Z z Z z s "  // U+0170
    "b B B b       C c   D D d       "  // U+0180
    "  F f G       I K k l     N n O "  // U+0190
    "O o     P p           t T t T U "  // U+01A0
    "u   V Y y Z z                   "  // U+01B0
    "        DZDzdzLJLjljNJNjnjA a I "  // U+01C0
    "i O o U u U u U u U u U u   A a "  // U+01D0
    "A a     G g G g K k O o O o     "  // U+01E0
    "j DZDzdzG g     N n A a     O o "  // U+01F0
    "A a A a E e E e I i I i O o O o "  // U+0200
    "R r R r U u U u S s T t     H h "  // U+0210
    "N d     Z z A a E e O o O o O o "  // U+0220
    "O o Y y l n t       A C c L T s "  // U+0230
    "z     B     E e J j   q R r Y y "  // U+0240
    ;
constexpr std::string_view kLatinAdditionalLetters =
    "A a B b B b B b C c D d D d D d "  // U+1E00
    "D d D d E e E e E e E e E e F f "  // U+1E10
    "G g H h H h H h H h H h I i I i "  // U+1E20
    "K k K k K k L l L l L l L l M m "  // U+1E30
    "M m M m N n N n N n N n O o O o "  // U+1E40
    "O o O o P p P p R r R r R r R r "  // U+1E50
    "S s S s S s S s S s T t T t T t "  // U+1E60
    "T t U u U u U u U u U u V v V v "  // U+1E70
    "W w W w W w W w W w X x X x Y y "  // U+1E80
    "Z z Z z Z z h t w y a s     SS  "  // U+1E90
    "A a A a A a A a A a A a A a A a "  // U+1EA0
    "A a A a A a A a E e E e E e E e "  // U+1EB0
    "E e E e E e E e I i I i O o O o "  // U+1EC0
    "O o O o O o O o O o O o O o O o "  // U+1ED0
    "O o O o U u U u U u U u U u U u "  // U+1EE0
    "U u Y y Y y Y y Y y         Y y "  // U+1EF0
    ;
// clang-format on
constexpr char32_t kLatinFirst = 0xC0, kLatinEnd = 0x250;
constexpr char32_t kAdditionalFirst = 0x1E00, kAdditionalEnd = 0x1F00;
static_assert(kLatinLetters.size() == 2 * (kLatinEnd - kLatinFirst));
static_assert(kLatinAdditionalLetters.size() == 2 * (kAdditionalEnd - kAdditionalFirst));

// The letters a character above 127 is written as in a name; empty when none.
std::string_view lettersFor(char32_t c) {
  std::string_view pair;
  if (c >= kLatinFirst && c < kLatinEnd)
    pair = kLatinLetters.substr(2 * (c - kLatinFirst), 2);
  else if (c >= kAdditionalFirst && c < kAdditionalEnd)
    pair = kLatinAdditionalLetters.substr(2 * (c - kAdditionalFirst), 2);
  else
    return {};
  if (pair[0] == ' ') return {};
  return pair[1] == ' ' ? pair.substr(0, 1) : pair;
}

// The code point of the well-formed UTF-8 sequence at `at` and its length; an ill-formed one
// gives its first byte as a Latin-1 character of length 1.
char32_t decodeAt(std::string_view text, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  length = 1;
  const std::size_t extra = lead >= 0xC2 && lead <= 0xDF   ? 1
                            : lead >= 0xE0 && lead <= 0xEF ? 2
                            : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                           : 0;
  if (extra == 0 || at + extra >= text.size()) return lead;
  // The second byte's range leaves out overlong forms, surrogates and code points past U+10FFFF.
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (byte(1) < low || byte(1) > high) return lead;
  char32_t c = lead & (0x3F >> extra);
  for (std::size_t k = 1; k <= extra; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return lead;
    c = (c << 6) | (byte(k) & 0x3F);
  }
  length = extra + 1;
  return c;
}

}  // namespace

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLower(c);
  return out;
}

std::string nameBytes(std::span<const std::uint8_t> bytes, int units, NameEnd end) {
  std::string text;
  const std::size_t n = std::min(static_cast<std::size_t>(std::max(units, 0)), bytes.size() / 2);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t low = bytes[2 * i], high = bytes[2 * i + 1];
    if (end == NameEnd::Shown ? (low == 0x00 || low == 0xFF) : (low == 0 && high == 0)) break;
    text.push_back(static_cast<char>(low));
  }
  return text;
}

std::string nameFromOutside(std::string_view utf8, NameChanges* changes) {
  std::string out;
  appendNameFromOutside(out, utf8, changes);
  return out;
}

void appendNameFromOutside(std::string& out, std::string_view utf8, NameChanges* changes) {
  NameChanges seen;
  // Most names are plain ASCII: taken whole.
  const auto plain =
      std::find_if_not(utf8.begin(), utf8.end(), [](char c) { return nameAccepts(std::uint8_t(c)); });
  out.append(utf8.begin(), plain);
  for (std::size_t at = std::size_t(plain - utf8.begin()); at < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[at]);
    if (b < 0x80) {
      if (nameAccepts(b))
        out += char(b);
      else
        seen.dropped = true;
      ++at;
      continue;
    }
    std::size_t length = 1;
    const std::string_view letters = lettersFor(decodeAt(utf8, at, length));
    at += length;
    if (letters.empty()) {
      seen.dropped = true;
    } else {
      out += letters;
      seen.replaced = true;
    }
  }
  if (changes) *changes = seen;
}

std::string wellFormedUtf8(std::string_view text, std::size_t* converted) {
  std::string out;
  std::size_t count = 0;
  for (std::size_t at = 0, copied = 0; at <= text.size();) {
    if (at == text.size() || static_cast<unsigned char>(text[at]) >= 0x80) {
      out.append(text.substr(copied, at - copied));  // the ASCII run before
      if (at == text.size()) break;
      std::size_t length = 1;
      const char32_t c = decodeAt(text, at, length);
      if (length == 1) {  // ill-formed: a Latin-1 byte, two bytes in UTF-8
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
        ++count;
      } else {
        out.append(text.substr(at, length));
      }
      at += length;
      copied = at;
    } else {
      ++at;
    }
  }
  if (converted) *converted = count;
  return out;
}

std::string nameSortKey(std::string_view stored) {
  std::string key;
  key.reserve(stored.size());
  for (const char c : stored) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      key += asciiLower(c);
    else
      for (const char letter : lettersFor(b)) key += asciiLower(letter);
  }
  return key;
}

std::optional<std::int64_t> parseInteger(std::string_view text, std::int64_t lo, std::int64_t hi,
                                         NumberSyntax syntax) {
  // Beyond this a value only saturates: every range asked for lies far below it.
  constexpr std::int64_t kSaturated = std::int64_t(1) << 40;
  std::string_view t = trimmed(text);
  bool negative = false;
  if (syntax.sign && !t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  const bool hex = syntax.hex && t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
  if (hex) t.remove_prefix(2);
  if (t.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : t) {
    int digit = c - '0';
    if (digit < 0 || digit > 9) {
      const char lower = asciiLower(c);
      if (!hex || lower < 'a' || lower > 'f') return std::nullopt;
      digit = lower - 'a' + 10;
    }
    value = value * (hex ? 16 : 10) + digit;
    if (value > kSaturated) value = kSaturated;
  }
  if (negative) value = -value;
  if (value < lo || value > hi) return std::nullopt;
  return value;
}

}  // namespace pw
