#pragma once
// Pure conversions between stored bytes and the texts the editor shows.
// No state, no document: every function here is total over its inputs. What a name accepts,
// trimming and the reading of a name field's bytes are the name rule's (codeplug/Text.h).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/Text.h"

namespace pw {

// ---- Names: N little-endian 16-bit code units (2*N bytes) ----

// Text of a name field. Empty when N <= 0, the span is too short or the first
// unit is 0. Otherwise nameBytes with leading and trailing characters with codes
// 0..32 removed. An empty result with fallback >= 0 becomes "no_name-<fallback>".
std::string decodeName(std::span<const std::uint8_t> bytes, int units, int fallback = -1);

// Writes the first N characters of text into N units (all units cleared first);
// each 8-bit code is sign-extended (0x80..0xFF become 0xFF80..0xFFFF).
// The span must hold at least 2*N bytes. The caller trims beforehand.
void encodeName(std::span<std::uint8_t> bytes, int units, std::string_view text);

// ---- BCD ----
// For n in 0..15999: (n/1000)<<12 | (n/100%10)<<8 | (n/10%10)<<4 | n%10.
std::uint16_t packBcd4(int n);

// ---- Tones ----
struct ToneChoice {
  std::string text;    // "None", "67.0 Hz", "D 23", "D 23 inv"
  std::uint16_t word;  // stored word
};
// The 259 choices in the order offered: None, 50 CTCSS, 104 DCS normal, 104 DCS inverted.
const std::vector<ToneChoice>& toneChoices();
// Stored word of choice index (0..258); 0xFFFF for out-of-range indexes.
std::uint16_t toneWordFor(int choice);
// Text of a stored word: 0x0000 and 0xFFFF give "None"; a word matching a choice
// gives that choice's text; any other word gives an empty text.
std::string toneText(std::uint16_t word);
// Index of the choice whose word equals `word` (0x0000 maps to "None" = 0), or -1.
int toneChoiceIndex(std::uint16_t word);

// ---- Frequencies: 4 bytes, 8 BCD digits in units of 10 Hz, little-endian ----
// "438.50000" from bytes 00 00 85 43. Nibbles are not validated: a nibble above 9
// shows as the character that follows '9' in ASCII ('0' + nibble).
std::string frequencyText(std::uint32_t word);
// Lowest and highest frequency in Hz for a frequency range code (low two bits used).
struct Band { std::int64_t lowHz, highHz; };
Band bandFor(int rangeCode);
// The stored word for a typed text, clamped into the band of rangeCode, or
// nothing when the text yields no number.
std::optional<std::uint32_t> parseFrequency(std::string_view text, int rangeCode);
// Default frequency word of a band: 145.00000, 350.00000, 430.00000 or 450.00000 MHz.
std::uint32_t bandDefaultFrequency(int rangeCode);

// ---- DTMF digit strings: a count byte then 15 bytes, two digits per byte, low nibble first ----
// Text of up to min(count, 30) digits; empty when count < 1.
std::string unpackDtmfDigits(std::uint8_t count, std::span<const std::uint8_t> digits15);
// Writes count + 15 digit bytes (16 bytes) from text, considering at most `limit`
// characters of the trimmed text; characters that are not DTMF digits are skipped.
void packDtmfDigits(std::span<std::uint8_t> out16, std::string_view text, int limit = 30);

}  // namespace pw
