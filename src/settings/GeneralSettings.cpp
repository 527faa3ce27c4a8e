#include "settings/GeneralSettings.h"

#include <cstdint>
#include <cstring>

#include "codeplug/Encodings.h"

namespace pw {
namespace {

constexpr int kPasswordDigits = 8;
constexpr std::uint8_t kNoPassword = 0xFF;

MutableByteSpan block(CodePlugDocument& doc) { return doc.bytes(kGeneralSettings, kGeneralSettingsSize); }
ByteSpan block(const CodePlugDocument& doc) { return doc.bytes(kGeneralSettings, kGeneralSettingsSize); }
MutableByteSpan span(CodePlugDocument& doc, GeneralBytes f) {
  return block(doc).subspan(bytesOf(f).byte, bytesOf(f).length);
}
ByteSpan span(const CodePlugDocument& doc, GeneralBytes f) {
  return block(doc).subspan(bytesOf(f).byte, bytesOf(f).length);
}

bool hasBlock(const CodePlugDocument& doc) { return block(doc).size() == kGeneralSettingsSize; }

bool isEightDigits(std::string_view text) {
  if (text.size() != kPasswordDigits) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

void packDigits(MutableByteSpan out, std::string_view digits) {
  for (int i = 0; i < kPasswordDigits / 2; ++i)
    out[i] = static_cast<std::uint8_t>(((digits[2 * i] - '0') << 4) | (digits[2 * i + 1] - '0'));
}

std::string unpackDigits(ByteSpan packed) {
  std::string text;
  auto digit = [](int nibble) { return nibble > 9 ? '?' : static_cast<char>('0' + nibble); };
  for (std::uint8_t b : packed) {
    text += digit(b >> 4);
    text += digit(b & 0x0F);
  }
  return text;
}

void turnPowerOnPasswordOff(CodePlugDocument& doc) {
  std::memset(span(doc, GeneralBytes::PowerOnPassword).data(), 0,
              bytesOf(GeneralBytes::PowerOnPassword).length);
  setGeneralField(doc, GeneralField::PowerOnPasswordOff, 1);
}

void clearRadioProgramPassword(CodePlugDocument& doc) {
  const MutableByteSpan bytes = span(doc, GeneralBytes::RadioProgramPassword);
  std::memset(bytes.data(), kNoPassword, bytes.size());
}

// `first`, then the values from, from + step, .. to, each shown as value * scale
// followed by `unit`.
Choices scaled(Choices first, int from, int to, int scale, const char* unit, int step = 1) {
  for (int n = from; n <= to; n += step)
    first.push_back({std::to_string(n * scale) + unit, std::uint32_t(n)});
  return first;
}

}  // namespace

std::uint32_t generalField(const CodePlugDocument& doc, GeneralField field) {
  return hasBlock(doc) ? get(block(doc), bitsOf(field)) : 0;
}

bool setGeneralField(CodePlugDocument& doc, GeneralField field, std::uint32_t value) {
  if (!hasBlock(doc) || value > fieldMask(bitsOf(field))) return false;
  set(block(doc), bitsOf(field), value);
  return true;
}

std::string generalText(const CodePlugDocument& doc, GeneralBytes field) {
  if (!hasBlock(doc)) return {};
  const ByteSpan units = span(doc, field);
  return nameBytes(units, int(units.size() / 2));
}

void setGeneralText(CodePlugDocument& doc, GeneralBytes field, std::string_view text) {
  if (!hasBlock(doc)) return;
  const MutableByteSpan units = span(doc, field);
  std::memset(units.data(), 0, units.size());
  const std::string trimmed = trimControls(text);
  for (std::size_t i = 0; i < trimmed.size() && 2 * i < units.size(); ++i)
    units[2 * i] = static_cast<std::uint8_t>(trimmed[i]);
}

RadioIdResult setRadioId(CodePlugDocument& doc, std::string_view text) {
  // A number past 32 bits is no number at all, as a typed integer's conversion fails.
  const std::optional<std::int64_t> id = parseInteger(text, 0, UINT32_MAX);
  if (!hasBlock(doc) || !id) return RadioIdResult::NotANumber;
  if (*id > kMaxRadioId) {
    doc.prompt().error("Invalid Radio ID number (General tab)");
    return RadioIdResult::TooLarge;
  }
  setGeneralField(doc, GeneralField::RadioId, static_cast<std::uint32_t>(*id));
  return RadioIdResult::Stored;
}

std::string powerOnPasswordText(const CodePlugDocument& doc) {
  if (!hasBlock(doc) || generalField(doc, GeneralField::PowerOnPasswordOff)) return {};
  return unpackDigits(span(doc, GeneralBytes::PowerOnPassword));
}

std::string radioProgramPasswordText(const CodePlugDocument& doc) {
  if (!hasBlock(doc)) return {};
  const ByteSpan bytes = span(doc, GeneralBytes::RadioProgramPassword);
  for (std::uint8_t b : bytes)
    if (b < kNoPassword) return unpackDigits(bytes);
  return {};
}

std::string pcProgrammingPasswordText(const CodePlugDocument& doc) {
  if (!hasBlock(doc)) return {};
  std::string text;
  for (std::uint8_t c : span(doc, GeneralBytes::PcProgrammingPassword)) {
    if (c == 0x00 || c == 0xFF) break;
    text += nameAccepts(c) ? static_cast<char>(c) : '?';
  }
  return text;
}

void setPowerOnPassword(CodePlugDocument& doc, std::string_view text) {
  if (!hasBlock(doc)) return;
  const std::string trimmed = trimControls(text);
  if (!isEightDigits(trimmed)) return turnPowerOnPasswordOff(doc);
  packDigits(span(doc, GeneralBytes::PowerOnPassword), trimmed);
  setGeneralField(doc, GeneralField::PowerOnPasswordOff, 0);
}

void setRadioProgramPassword(CodePlugDocument& doc, std::string_view text) {
  if (!hasBlock(doc)) return;
  const std::string trimmed = trimControls(text);
  if (!isEightDigits(trimmed)) return clearRadioProgramPassword(doc);
  packDigits(span(doc, GeneralBytes::RadioProgramPassword), trimmed);
}

void setPcProgrammingPassword(CodePlugDocument& doc, std::string_view text) {
  if (!hasBlock(doc)) return;
  const MutableByteSpan bytes = span(doc, GeneralBytes::PcProgrammingPassword);
  std::memset(bytes.data(), kNoPassword, bytes.size());
  const std::string trimmed = trimControls(text);
  const std::size_t n = std::min(trimmed.size(), bytes.size());
  std::memcpy(bytes.data(), trimmed.data(), n);
  if (n < bytes.size() && n > 0) bytes[n] = 0;  // the radio reads up to this 0
}

bool checkPowerOnPassword(CodePlugDocument& doc, std::string_view text, PasswordExit how) {
  const std::string trimmed = trimControls(text);
  if (!hasBlock(doc) || trimmed.size() == kPasswordDigits) return true;
  turnPowerOnPasswordOff(doc);
  if (trimmed.empty()) return true;
  doc.prompt().error(how == PasswordExit::Key ? "Power-On-Password must be 8 characters in length, or empty"
                                              : "Power-On password must be 8 characters in length, or empty");
  return false;
}

bool checkRadioProgramPassword(CodePlugDocument& doc, std::string_view text) {
  const std::string trimmed = trimControls(text);
  if (!hasBlock(doc) || trimmed.size() == kPasswordDigits) return true;
  clearRadioProgramPassword(doc);
  if (trimmed.empty()) return true;
  doc.prompt().error("Radio-Program password must be 8 characters in length, or empty");
  return false;
}

const Choices& generalChoices(GeneralField field) {
  using enum GeneralField;
  static const Choices monitorType{{"Silent", 0}, {"Open Squelch", 1}};
  static const Choices vox = scaled({}, 1, 10, 1, "");
  static const Choices txPreamble = scaled({}, 0, 144, 60, " ms");
  static const Choices rxLowBattery = scaled({}, 0, 127, 5, " secs");
  static const Choices backlight{{"Always", 0}, {"5 secs", 1}, {"10 secs", 2}, {"15 secs", 3}};
  static const Choices keypadLock{{"Manual", 255}, {"5 secs", 1}, {"10 secs", 2}, {"15 secs", 3}};
  static const Choices talkPermit{{"None", 0}, {"Digital", 1}, {"Analogue", 2}, {"Digital & Analogue", 3}};
  static const Choices callAlert = scaled({{"Continuous", 0}}, 1, 240, 5, " secs");
  static const Choices scanDigital = scaled({}, 5, 100, 100, " ms", 5);
  static const Choices scanAnalogue = scaled({}, 0, 100, 100, " ms", 5);
  static const Choices response = scaled({{"1 min", 1}}, 2, 255, 1, " mins");
  static const Choices reminder = scaled({{"1 sec", 1}}, 2, 255, 1, " secs");
  static const Choices callHang = scaled({}, 0, 70, 100, " ms", 5);
  static const Choices none;
  switch (field) {
    case MonitorType:
      return monitorType;
    case VoxSensitivity:
      return vox;
    case TxPreambleDuration:
      return txPreamble;
    case RxLowBatteryInterval:
      return rxLowBattery;
    case BacklightTime:
      return backlight;
    case KeypadLockTime:
      return keypadLock;
    case TalkPermitTone:
      return talkPermit;
    case CallAlertToneDuration:
      return callAlert;
    case ScanDigitalHangTime:
      return scanDigital;
    case ScanAnalogueHangTime:
      return scanAnalogue;
    case LoneWorkerResponseTime:
      return response;
    case LoneWorkerReminderTime:
      return reminder;
    case GroupCallHangTime:
    case PrivateCallHangTime:
      return callHang;
    default:
      return none;
  }
}

}  // namespace pw
