#pragma once
// The general settings block at image offset 0x2040: radio name and ID, boot-up text,
// passwords, tones and timers. Every field is declared once below; the setters keep
// every bit and byte the tables do not name.

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "codeplug/Bytes.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/Layout.h"
#include "codeplug/Choices.h"

namespace pw {

enum class GeneralField {
  LedSetting,              // 1 = "Disable All LEDs" down
  MonitorType,             // 0 Silent, 1 Open Squelch
  SavePreamble,            // battery saver
  SaveModeRx,              // battery saver when in receive mode
  AllTones,                // 1 = tones on
  ChannelFreeTone,         // 1 = tone on
  PowerOnPasswordOff,      // 1 = no power-on password
  TalkPermitTone,          // 0 None, 1 Digital, 2 Analogue, 3 both
  IntroScreenPicture,      // 0 text, 1 picture
  RadioId,                 // 24 bits
  TxPreambleDuration,      // units of 60 ms
  GroupCallHangTime,       // units of 100 ms
  PrivateCallHangTime,     // units of 100 ms
  VoxSensitivity,          // 1..10
  RxLowBatteryInterval,    // units of 5 s
  CallAlertToneDuration,   // 0 continuous, units of 5 s
  LoneWorkerResponseTime,  // minutes
  LoneWorkerReminderTime,  // seconds
  ScanDigitalHangTime,     // units of 100 ms
  ScanAnalogueHangTime,    // units of 100 ms
  BacklightTime,           // 0 always, 1..3 = 5, 10, 15 s
  KeypadLockTime,          // 255 manual, 1..3 = 5, 10, 15 s
};

// Offsets within the block. {byte, shift, width}
inline constexpr NamedField<GeneralField> kGeneralFields[] = {
    {GeneralField::LedSetting, {0x40, 2, 1}},
    {GeneralField::MonitorType, {0x40, 4, 1}},
    {GeneralField::SavePreamble, {0x41, 0, 1}},
    {GeneralField::SaveModeRx, {0x41, 1, 1}},
    {GeneralField::AllTones, {0x41, 2, 1}},
    {GeneralField::ChannelFreeTone, {0x41, 4, 1}},
    {GeneralField::PowerOnPasswordOff, {0x41, 5, 1}},
    {GeneralField::TalkPermitTone, {0x41, 6, 2}},
    {GeneralField::IntroScreenPicture, {0x42, 4, 1}},
    {GeneralField::RadioId, {0x44, 0, 24}},
    {GeneralField::TxPreambleDuration, {0x48, 0, 8}},
    {GeneralField::GroupCallHangTime, {0x49, 0, 8}},
    {GeneralField::PrivateCallHangTime, {0x4A, 0, 8}},
    {GeneralField::VoxSensitivity, {0x4B, 0, 8}},
    {GeneralField::RxLowBatteryInterval, {0x4E, 0, 8}},
    {GeneralField::CallAlertToneDuration, {0x4F, 0, 8}},
    {GeneralField::LoneWorkerResponseTime, {0x50, 0, 8}},
    {GeneralField::LoneWorkerReminderTime, {0x51, 0, 8}},
    {GeneralField::ScanDigitalHangTime, {0x53, 0, 8}},
    {GeneralField::ScanAnalogueHangTime, {0x54, 0, 8}},
    {GeneralField::BacklightTime, {0x55, 0, 2}},
    {GeneralField::KeypadLockTime, {0x56, 0, 8}},
};

// The fields of whole bytes beside the bit fields.
enum class GeneralBytes {
  BootLine1,  // 10 units, low byte the character, high byte 0
  BootLine2,
  PowerOnPassword,        // 8 digits, two per byte, first in the high nibble; 0 when off
  RadioProgramPassword,   // as the power-on password; 0xFF when none
  PcProgrammingPassword,  // up to 8 characters, 0 after a shorter text, 0xFF beyond
  RadioName,              // 16 units
};
inline constexpr NamedRange<GeneralBytes> kGeneralByteFields[] = {
    {GeneralBytes::BootLine1, {0x00, 20}},
    {GeneralBytes::BootLine2, {0x14, 20}},
    {GeneralBytes::PowerOnPassword, {0x58, 4}},
    {GeneralBytes::RadioProgramPassword, {0x5C, 4}},
    {GeneralBytes::PcProgrammingPassword, {0x60, 8}},
    {GeneralBytes::RadioName, {0x70, 32}},
};

inline constexpr int kGeneralFieldCount = int(std::size(kGeneralFields));
inline constexpr int kGeneralBytesCount = int(std::size(kGeneralByteFields));
inline constexpr std::size_t kGeneralSettingsSize = 0x90;
static_assert(kGeneralFieldCount == int(GeneralField::KeypadLockTime) + 1, "one row per GeneralField");
static_assert(kGeneralBytesCount == int(GeneralBytes::RadioName) + 1, "one row per GeneralBytes");
static_assert(keyedInOrder(kGeneralFields) && keyedInOrder(kGeneralByteFields), "rows out of enum order");
static_assert(fieldsDisjoint(kGeneralFields, kGeneralByteFields), "general settings fields overlap");
// The save warning reads the passwords at their image offsets: the same bytes.
static_assert(kGeneralSettings + 0x41 == kPowerOnPasswordFlags &&
              kGeneralSettings + 0x5C == kRadioProgramPassword &&
              kGeneralSettings + 0x60 == kPcProgrammingPassword);

constexpr BitField bitsOf(GeneralField f) { return kGeneralFields[static_cast<int>(f)].bits; }
constexpr ByteRange bytesOf(GeneralBytes f) { return kGeneralByteFields[static_cast<int>(f)].bytes; }

inline constexpr std::uint32_t kMaxRadioId = 16777215;

// ---- fields (nothing is read or written without a code plug) ----
std::uint32_t generalField(const CodePlugDocument& doc, GeneralField field);
// Keeps every other bit; false, changing nothing, without a code plug or for a value
// wider than the field.
bool setGeneralField(CodePlugDocument& doc, GeneralField field, std::uint32_t value);

// ---- texts: RadioName, BootLine1, BootLine2 ----
// Low byte of each unit up to the field's end or a low byte of 0 or 0xFF; not trimmed.
std::string generalText(const CodePlugDocument& doc, GeneralBytes field);
// Trims codes 0..32 at both ends, clears the field, stores the first characters that fit.
void setGeneralText(CodePlugDocument& doc, GeneralBytes field, std::string_view text);

// ---- radio ID ----
enum class RadioIdResult { Stored, NotANumber, TooLarge };
// The trimmed text as a decimal number: stored when it fits 24 bits; a larger number
// is refused with "Invalid Radio ID number (General tab)".
RadioIdResult setRadioId(CodePlugDocument& doc, std::string_view text);

// ---- passwords ----
// The texts shown: empty when the password is off / not set; a nibble above 9 shows "?",
// a PC password character outside 32..127 too.
std::string powerOnPasswordText(const CodePlugDocument& doc);
std::string radioProgramPasswordText(const CodePlugDocument& doc);
std::string pcProgrammingPasswordText(const CodePlugDocument& doc);
// Stored as typed: eight digits set the password, anything else turns it off.
void setPowerOnPassword(CodePlugDocument& doc, std::string_view text);
void setRadioProgramPassword(CodePlugDocument& doc, std::string_view text);
// No length check: the first 8 characters of the trimmed text.
void setPcProgrammingPassword(CodePlugDocument& doc, std::string_view text);

// Enter, Escape or leaving a password box: when the trimmed text is not 8 characters the
// password is turned off and, for a text that is not empty, the message is shown. False
// when the message was shown (the box takes the focus back).
enum class PasswordExit { Key, Leave };
bool checkPowerOnPassword(CodePlugDocument& doc, std::string_view text, PasswordExit how);
bool checkRadioProgramPassword(CodePlugDocument& doc, std::string_view text);

// ---- the drop-down lists, by field; empty for a field without one ----
const Choices& generalChoices(GeneralField field);

}  // namespace pw
