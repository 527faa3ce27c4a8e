#include "codeplug/Encodings.h"

#include <algorithm>
#include <climits>

namespace pw {

namespace {

std::uint16_t unitAt(std::span<const std::uint8_t> bytes, std::size_t i) {
  return static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

// Tones in tenths of a hertz. The radio's own table holds single-precision
// values rounded as trunc(f * 10 + 0.5); with one decimal each that is exactly
// the tenths, so the integers below give the same words (69.3 Hz -> 0x0693).
constexpr std::array<int, 50> kCtcssTenths{
    670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000,
    1035, 1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
    1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799, 1835, 1862, 1899, 1928, 1966,
    1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541};

// DCS codes: their octal digits read as a decimal number (023 -> 23).
constexpr std::array<int, 104> kDcsCodes{
    23,  25,  26,  31,  32,  36,  43,  47,  51,  53,  54,  65,  71,  72,  73,
    74,  114, 115, 116, 122, 125, 131, 132, 134, 143, 145, 152, 155, 156, 162,
    165, 172, 174, 205, 212, 223, 225, 226, 243, 244, 245, 246, 251, 252, 255,
    261, 263, 265, 266, 271, 274, 306, 311, 315, 325, 331, 332, 343, 346, 351,
    356, 364, 365, 371, 411, 412, 413, 423, 431, 432, 445, 446, 452, 454, 455,
    462, 464, 465, 466, 503, 506, 516, 523, 526, 532, 546, 565, 606, 612, 624,
    627, 631, 632, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

constexpr std::uint16_t kNoTone = 0xFFFF;
constexpr int kDcsNormalBase = 8000;    // packs to 0x8000 + digits
constexpr int kDcsInvertedBase = 12000; // packs to 0xC000 + digits

std::vector<ToneChoice> buildToneChoices() {
  std::vector<ToneChoice> choices;
  choices.reserve(1 + kCtcssTenths.size() + 2 * kDcsCodes.size());
  choices.push_back({"None", kNoTone});
  for (int t : kCtcssTenths)
    choices.push_back({std::to_string(t / 10) + "." + std::to_string(t % 10) + " Hz",
                       packBcd4(t)});
  for (int d : kDcsCodes)
    choices.push_back({"D " + std::to_string(d), packBcd4(d + kDcsNormalBase)});
  for (int d : kDcsCodes)
    choices.push_back({"D " + std::to_string(d) + " inv", packBcd4(d + kDcsInvertedBase)});
  return choices;
}

constexpr int kFrequencyNibbles = 8;
constexpr std::size_t kHzDigits = 9;      // "%09d" of the frequency in hertz
constexpr int kMaxDecimals = 6;           // hertz resolution after the MHz point

// Decimal digits to an int, or nothing when empty or above INT_MAX.
std::optional<std::int64_t> toHertz(const std::string& digits) {
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return std::nullopt;
  }
  return value;
}

std::uint32_t packBcd8(std::int64_t n) {
  std::uint32_t word = 0;
  for (int i = 0; i < kFrequencyNibbles; ++i) {
    word |= static_cast<std::uint32_t>(n % 10) << (4 * i);
    n /= 10;
  }
  return word;
}

constexpr int kDtmfMaxDigits = 30;
constexpr std::size_t kDtmfDigitBytes = 15;
constexpr std::string_view kDtmfDigitChars = "0123456789ABCD*#";

int dtmfNibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'D') return 10 + (c - 'A');
  if (c >= 'a' && c <= 'd') return 10 + (c - 'a');
  if (c == '*') return 14;
  if (c == '#') return 15;
  return -1;
}

}  // namespace

// ---- Names ----

std::string decodeName(std::span<const std::uint8_t> bytes, int units, int fallback) {
  if (units <= 0 || bytes.size() < 2 * static_cast<std::size_t>(units)) return {};
  if (unitAt(bytes, 0) == 0) return {};  // free slot
  const std::string text = trimControls(nameBytes(bytes, units));
  if (text.empty() && fallback >= 0) return "no_name-" + std::to_string(fallback);
  return text;
}

void encodeName(std::span<std::uint8_t> bytes, int units, std::string_view text) {
  if (units <= 0) return;
  const std::size_t n = std::min(static_cast<std::size_t>(units), bytes.size() / 2);
  std::fill_n(bytes.begin(), 2 * n, std::uint8_t{0});
  const std::size_t count = std::min(n, text.size());
  for (std::size_t i = 0; i < count; ++i) {
    // The radio sign-extends: 0xE9 is stored as 0xFFE9.
    const auto unit = static_cast<std::uint16_t>(static_cast<std::int16_t>(
        static_cast<std::int8_t>(static_cast<std::uint8_t>(text[i]))));
    bytes[2 * i] = static_cast<std::uint8_t>(unit & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(unit >> 8);
  }
}

// ---- BCD ----

std::uint16_t packBcd4(int n) {
  n = std::clamp(n, 0, 15999);
  return static_cast<std::uint16_t>((n / 1000) << 12 | (n / 100 % 10) << 8 |
                                    (n / 10 % 10) << 4 | n % 10);
}

// ---- Tones ----

const std::vector<ToneChoice>& toneChoices() {
  static const std::vector<ToneChoice> choices = buildToneChoices();
  return choices;
}

std::uint16_t toneWordFor(int choice) {
  const auto& choices = toneChoices();
  if (choice < 0 || choice >= static_cast<int>(choices.size())) return kNoTone;
  return choices[static_cast<std::size_t>(choice)].word;
}

int toneChoiceIndex(std::uint16_t word) {
  if (word == 0x0000) return 0;  // older images use 0 for "no tone"
  const auto& choices = toneChoices();
  const auto it = std::find_if(choices.begin(), choices.end(),
                               [word](const ToneChoice& c) { return c.word == word; });
  return it == choices.end() ? -1 : static_cast<int>(it - choices.begin());
}

std::string toneText(std::uint16_t word) {
  const int index = toneChoiceIndex(word);
  return index < 0 ? std::string() : toneChoices()[static_cast<std::size_t>(index)].text;
}

// ---- Frequencies ----

std::string frequencyText(std::uint32_t word) {
  std::string text;
  for (int i = kFrequencyNibbles - 1; i >= 0; --i) {
    // Nibbles above 9 are shown as they come (':' for 10 and so on), not rejected.
    text.push_back(static_cast<char>('0' + ((word >> (4 * i)) & 0xF)));
    if (i == kFrequencyNibbles - 3) text.push_back('.');
  }
  return text;
}

Band bandFor(int rangeCode) {
  static constexpr std::array<Band, 4> kBands{{{136000000, 174000000},
                                               {350000000, 400000000},
                                               {400000000, 480000000},
                                               {450000000, 520000000}}};
  return kBands[static_cast<std::size_t>(rangeCode & 3)];
}

std::uint32_t bandDefaultFrequency(int rangeCode) {
  static constexpr std::array<std::uint32_t, 4> kDefaults{0x14500000, 0x35000000, 0x43000000,
                                                          0x45000000};
  return kDefaults[static_cast<std::size_t>(rangeCode & 3)];
}

std::optional<std::uint32_t> parseFrequency(std::string_view text, int rangeCode) {
  // A text without any digit (a lone "." included) is no frequency: it must not
  // silently set the band's lowest frequency.
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (std::none_of(text.begin(), text.end(), digit)) return std::nullopt;

  // The first '.' or ',' is the decimal point; later ones are ignored, as is
  // everything after the sixth decimal.
  std::string digits;
  bool seenPoint = false;
  int decimals = 0;
  for (char c : text) {
    if (c == '.' || c == ',') {
      seenPoint = true;
    } else if (c >= '0' && c <= '9') {
      digits.push_back(c);
      if (seenPoint && ++decimals == kMaxDecimals) break;
    }
  }

  digits.erase(0, digits.find_first_not_of('0'));
  // Without a point the digits fill the hertz places from the left ("4385" is
  // 438.5 MHz); the pad counts as decimals, so "43" stays 43 MHz.
  while (digits.size() < kHzDigits && decimals < kMaxDecimals) {
    digits.push_back('0');
    ++decimals;
  }

  const auto hz = toHertz(digits);
  if (!hz) return std::nullopt;
  const Band band = bandFor(rangeCode);
  // The stored word has 10 Hz resolution: the units digit is dropped.
  return packBcd8(std::clamp(*hz, band.lowHz, band.highHz) / 10);
}

// ---- DTMF digit strings ----

std::string unpackDtmfDigits(std::uint8_t count, std::span<const std::uint8_t> digits15) {
  const std::size_t n = std::min<std::size_t>(
      {count, static_cast<std::size_t>(kDtmfMaxDigits), 2 * digits15.size()});
  std::string text;
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint8_t byte = digits15[k / 2];
    text.push_back(kDtmfDigitChars[k % 2 == 0 ? byte & 0x0F : byte >> 4]);
  }
  return text;
}

void packDtmfDigits(std::span<std::uint8_t> out16, std::string_view text, int limit) {
  if (out16.size() < 1 + kDtmfDigitBytes) return;
  const std::string trimmed = trimControls(text);
  const std::size_t considered =
      std::min(trimmed.size(), static_cast<std::size_t>(std::max(limit, 0)));
  auto digitBytes = out16.subspan(1, kDtmfDigitBytes);
  std::fill(digitBytes.begin(), digitBytes.end(), std::uint8_t{0xFF});

  int stored = 0;
  for (std::size_t i = 0; i < considered && stored < kDtmfMaxDigits; ++i) {
    const int nibble = dtmfNibble(trimmed[i]);
    if (nibble < 0) continue;  // skipped, but it used up one of the `limit` characters
    std::uint8_t& byte = digitBytes[static_cast<std::size_t>(stored / 2)];
    byte = stored % 2 == 0 ? static_cast<std::uint8_t>((byte & 0xF0) | nibble)
                           : static_cast<std::uint8_t>((byte & 0x0F) | (nibble << 4));
    ++stored;
  }
  out16[0] = static_cast<std::uint8_t>(stored);
}

}  // namespace pw
