#include "digital/PrivacyKeys.h"

#include <algorithm>

#include "codeplug/Encodings.h"
#include "codeplug/Layout.h"

namespace pw {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::size_t tableStart(KeyKind kind) {
  return kind == KeyKind::Basic ? kBasicPrivacyKeys : kEnhancedPrivacyKeys;
}

}  // namespace

std::string keyText(ByteSpan key) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = key.size(); i-- > 0;) {
    text += kDigits[key[i] >> 4];
    text += kDigits[key[i] & 0x0F];
  }
  return text;
}

std::optional<std::vector<std::uint8_t>> keyBytes(std::string_view typed, int size) {
  if (size <= 0) return std::nullopt;
  const std::string text = trimControls(typed);
  if (text.empty()) return std::vector<std::uint8_t>(std::size_t(size), 0xFF);
  const std::size_t digits = 2 * std::size_t(size);
  // Longer texts cannot be typed into the box; refusing them keeps the stored key whole.
  if (text.size() > digits) return std::nullopt;
  const std::string padded = std::string(digits - text.size(), '0') + text;
  std::vector<std::uint8_t> key(static_cast<std::size_t>(size));
  for (std::size_t pair = 0; pair < std::size_t(size); ++pair) {
    const int high = hexValue(padded[2 * pair]), low = hexValue(padded[2 * pair + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    key[std::size_t(size) - 1 - pair] = std::uint8_t(high << 4 | low);
  }
  return key;
}

std::string keyText(const CodePlugDocument& doc, KeyKind kind, int index) {
  if (index < 0 || index >= keyCount(kind)) return {};
  const ByteSpan key = doc.bytes(tableStart(kind) + std::size_t(index) * keySize(kind), keySize(kind));
  return key.empty() ? std::string() : keyText(key);
}

bool setKey(CodePlugDocument& doc, KeyKind kind, int index, std::string_view text) {
  if (index < 0 || index >= keyCount(kind)) return false;
  MutableByteSpan key = doc.bytes(tableStart(kind) + std::size_t(index) * keySize(kind), keySize(kind));
  const auto bytes = keyBytes(text, keySize(kind));
  if (key.empty() || !bytes) return false;
  std::copy(bytes->begin(), bytes->end(), key.begin());
  return true;
}

}  // namespace pw
