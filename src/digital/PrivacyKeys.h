#pragma once
// The two fixed tables of voice privacy keys: 16 basic keys of 2 bytes and 8 enhanced
// keys of 16 bytes. A key is shown and typed as lower-case hex, the last stored byte
// first, so the first typed pair lands in the key's last byte. All 0xFF is "not set".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/Bytes.h"
#include "codeplug/CodePlugDocument.h"

namespace pw {

enum class KeyKind { Basic, Enhanced };

constexpr int kBasicKeyCount = 16, kBasicKeySize = 2;
constexpr int kEnhancedKeyCount = 8, kEnhancedKeySize = 16;

constexpr int keyCount(KeyKind kind) { return kind == KeyKind::Basic ? kBasicKeyCount : kEnhancedKeyCount; }
constexpr int keySize(KeyKind kind) { return kind == KeyKind::Basic ? kBasicKeySize : kEnhancedKeySize; }
// Hex digits of a key's text: 4 for a basic key, 32 for an enhanced one.
constexpr int keyDigits(KeyKind kind) { return 2 * keySize(kind); }

// ---- the codec, without a document ----

// "%02x" of the bytes from the last to the first.
std::string keyText(ByteSpan key);
// The bytes a typed text stores in a key of `size` bytes: the trimmed text padded on
// the left with "0" to 2 x size digits, pair i from the left in byte size-1-i; an
// empty text clears the key to all 0xFF. Nothing for a text with a character that is
// not a hex digit or with more digits than the key holds.
std::optional<std::vector<std::uint8_t>> keyBytes(std::string_view text, int size);

// ---- the key tables (index 0-based) ----

// The key's text; empty without a code plug or for an index outside the table.
std::string keyText(const CodePlugDocument& doc, KeyKind kind, int index);
// Stores a typed key; false, changing nothing, for an invalid text, a bad index or no code plug.
bool setKey(CodePlugDocument& doc, KeyKind kind, int index, std::string_view text);
inline bool setBasicKey(CodePlugDocument& doc, int index, std::string_view text) {
  return setKey(doc, KeyKind::Basic, index, text);
}
inline bool setEnhancedKey(CodePlugDocument& doc, int index, std::string_view text) {
  return setKey(doc, KeyKind::Enhanced, index, text);
}

}  // namespace pw
