#include "settings/BasicInfo.h"

#include <cstdio>

#include "codeplug/Layout.h"
#include "codeplug/Text.h"

namespace pw {
namespace {

// File offsets: the radio information block, then the stamps inside the image.
constexpr std::size_t kModelName = kFileRadioInfo;  // 16 characters
constexpr int kModelNameLength = 16;
constexpr std::size_t kHardwareVersion = 0x159;  // 4 numbers
constexpr std::size_t kMcuVersion = 0x165;       // a character, then 3 BCD bytes
constexpr std::size_t kDeviceIdNumber = 0x16D;   // 40-bit little-endian
constexpr std::size_t kDeviceIdText = 0x172;     // 7 characters
constexpr int kDeviceIdTextLength = 7;
constexpr std::size_t kLastProgrammed = fileOffset(0x2001);  // 7 BCD bytes
constexpr std::size_t kCpsVersion = fileOffset(0x2008);      // 4 numbers
static_assert(kLastProgrammed == 0x2226 && kCpsVersion == 0x222D);

constexpr std::uint8_t kNone = 0xFF;

char bcdHigh(std::uint8_t b) { return static_cast<char>('0' + (b >> 4)); }
char bcdLow(std::uint8_t b) { return static_cast<char>('0' + (b & 0x0F)); }

std::string modelName(ByteSpan file) {
  std::string name;
  for (int i = 0; i < kModelNameLength; ++i) {
    const std::uint8_t c = u8(file, kModelName + i);
    if (c == 0x00 || c == 0xFF) break;
    if (nameAccepts(c)) name += static_cast<char>(c);
  }
  if (name == "HT780") return name + " (Handheld A)";
  if (name == "HT680") return name + " (Handheld B)";
  return name;
}

// "V%1d%1d.%1d%1d": each byte as a number, however large.
std::string version(ByteSpan file, std::size_t at) {
  if (u8(file, at) == kNone) return {};
  char text[32];
  std::snprintf(text, sizeof text, "V%d%d.%d%d", u8(file, at), u8(file, at + 1), u8(file, at + 2),
                u8(file, at + 3));
  return text;
}

std::string mcuVersion(ByteSpan file) {
  const std::uint8_t first = u8(file, kMcuVersion);
  if (first == kNone) return {};
  const std::uint8_t a = u8(file, kMcuVersion + 1), b = u8(file, kMcuVersion + 2),
                     c = u8(file, kMcuVersion + 3);
  return {static_cast<char>(first), bcdHigh(a), bcdLow(a), bcdHigh(b), '.', bcdLow(b), bcdHigh(c), bcdLow(c)};
}

// The number padded to 13 digits behind the seven characters in reverse order.
std::string uniqueDeviceId(ByteSpan file) {
  if (u8(file, kDeviceIdNumber) == kNone) return {};
  std::uint64_t number = 0;
  for (int i = 4; i >= 0; --i) number = (number << 8) | u8(file, kDeviceIdNumber + i);
  char digits[32];
  std::snprintf(digits, sizeof digits, "%013llu", static_cast<unsigned long long>(number));
  std::string text;
  for (int i = kDeviceIdTextLength - 1; i >= 0; --i) text += static_cast<char>(u8(file, kDeviceIdText + i));
  return text + digits;
}

std::string lastProgrammedDate(ByteSpan file) {
  if (u8(file, kLastProgrammed) == kNone) return {};
  std::string text;
  const char* separators[] = {"", ".", ".", "  ", ":", ":"};  // before bytes 1..6
  for (int i = 0; i < 7; ++i) {
    if (i > 0) text += separators[i - 1];
    const std::uint8_t b = u8(file, kLastProgrammed + i);
    text += bcdHigh(b);
    text += bcdLow(b);
  }
  return text;
}

}  // namespace

BasicInfo readBasicInfo(const CodePlugDocument& doc) {
  BasicInfo info;
  if (!doc.hasImage()) return info;
  const ByteSpan file(doc.workingImage);
  const std::uint8_t range = u8(file, kFileFrequencyRange);
  info.frequencyRange = range < kFrequencyRangeTexts.size() ? range : -1;
  info.modelName = modelName(file);
  info.serialNumber = "The maker does not supply this ";
  info.cpsSoftwareVersion = version(file, kCpsVersion);
  info.hardwareVersion = version(file, kHardwareVersion);
  info.mcuVersion = mcuVersion(file);
  info.uniqueDeviceId = uniqueDeviceId(file);
  info.lastProgrammedDate = lastProgrammedDate(file);
  return info;
}

}  // namespace pw
