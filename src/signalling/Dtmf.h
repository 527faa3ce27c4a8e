#pragma once
// The DTMF section: four systems (timings and the codes sent on key-up and key-down),
// 32 encode strings and eight decode entries, all of fixed count. Each cell's text,
// its drop-down choices and its setter live here; the tab only shows them.

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "codeplug/Bytes.h"
#include "codeplug/Choices.h"
#include "codeplug/CodePlugDocument.h"

namespace pw {

constexpr std::size_t kDtmfSystems = kDtmf;  // 4 x 48
constexpr int kDtmfSystemCount = 4, kDtmfSystemSize = 48;
constexpr std::size_t kDtmfEncodeStrings = kDtmf + 192;  // 32 x 16
constexpr int kDtmfEncodeCount = 32, kDtmfEncodeSize = 16;
static_assert(kDtmfDecodeEntries == kDtmfEncodeStrings + kDtmfEncodeCount * kDtmfEncodeSize);

// A digit string (count byte and 15 digit bytes) is one field of 128 bits; it is
// written only by packDtmfDigits, never through get/set.
constexpr std::uint8_t kDigitStringBits = 128;
constexpr bool isDigitString(BitField f) { return f.width == kDigitStringBits; }
constexpr int kDtmfDigitLimit = 30;  // characters considered of a typed digit text
// An encode string is one digit string.
constexpr BitField kEncodeDigits{0, 0, kDigitStringBits};

// ---- systems: fields in the order of the System page's columns ----
enum class DtmfSystemField {
  SideTone,       // 1 on
  PttId,          // 0 None, 1 Pre Only, 2 Post Only, 3 Pre & Post
  GroupCode,      // 0 None, 1..4 A..D, 5 *, 6 #
  NextSequence,   // tenths of a second
  AutoResetTime,  // seconds
  KeyUpEncode,
  KeyDownEncode,
  FirstDigitDelay,  // the timings: code x 10 ms
  FirstDigitTime,
  DigitDurationTime,
  DigitIntervalTime,
  StarHashDigitTime,
  DKeyAssignment,  // 0 the D key, else code x 10 ms
};

// Bits 1 and 7 of byte 8 and bytes 9..15 belong to the radio: no setter touches them.
// {byte, shift, width}
inline constexpr NamedField<DtmfSystemField> kDtmfSystemFields[] = {
    {DtmfSystemField::SideTone, {8, 0, 1}},
    {DtmfSystemField::PttId, {8, 2, 2}},
    {DtmfSystemField::GroupCode, {8, 4, 3}},
    {DtmfSystemField::NextSequence, {6, 0, 8}},
    {DtmfSystemField::AutoResetTime, {7, 0, 8}},
    {DtmfSystemField::KeyUpEncode, {16, 0, kDigitStringBits}},
    {DtmfSystemField::KeyDownEncode, {32, 0, kDigitStringBits}},
    {DtmfSystemField::FirstDigitDelay, {0, 0, 8}},
    {DtmfSystemField::FirstDigitTime, {1, 0, 8}},
    {DtmfSystemField::DigitDurationTime, {2, 0, 8}},
    {DtmfSystemField::DigitIntervalTime, {3, 0, 8}},
    {DtmfSystemField::StarHashDigitTime, {4, 0, 8}},
    {DtmfSystemField::DKeyAssignment, {5, 0, 8}},
};
static_assert(std::size(kDtmfSystemFields) == std::size_t(DtmfSystemField::DKeyAssignment) + 1);
static_assert(keyedInOrder(kDtmfSystemFields), "DTMF system field rows out of enum order");
static_assert(fieldsDisjoint(kDtmfSystemFields), "DTMF system fields overlap");

// ---- decode entries: fields in the order of the Decode page's columns ----
enum class DtmfDecodeField {
  ResponseType,   // 0 General, 1 Kill, 2 Stun, 3 Active, 4 Un-Stun
  DecodeType,     // 0 None, 1 Sel Call
  Ack,            // 0 none, encode string number 1..32
  RevertChannel,  // 0 the selected channel, channel number 1..1000
  DtmfId,
  AckDelayTime,  // 0 off, code x 50 ms
};

// Bytes 22..23 belong to the radio. {byte, shift, width}
inline constexpr NamedField<DtmfDecodeField> kDtmfDecodeFields[] = {
    {DtmfDecodeField::ResponseType, {16, 0, 8}},
    {DtmfDecodeField::DecodeType, {17, 0, 8}},
    {DtmfDecodeField::Ack, {18, 0, 8}},
    {DtmfDecodeField::RevertChannel, {20, 0, 16}},
    {DtmfDecodeField::DtmfId, {0, 0, kDigitStringBits}},
    {DtmfDecodeField::AckDelayTime, {19, 0, 8}},
};
static_assert(std::size(kDtmfDecodeFields) == std::size_t(DtmfDecodeField::AckDelayTime) + 1);
static_assert(keyedInOrder(kDtmfDecodeFields), "DTMF decode field rows out of enum order");
static_assert(fieldsDisjoint(kDtmfDecodeFields), "DTMF decode fields overlap");

constexpr BitField bitsOf(DtmfSystemField f) { return kDtmfSystemFields[static_cast<int>(f)].bits; }
constexpr BitField bitsOf(DtmfDecodeField f) { return kDtmfDecodeFields[static_cast<int>(f)].bits; }

// ---- systems (s = 0..3) ----
// The cell text: "%d ms", "Unknown" for codes below the offered range, and so on.
std::string dtmfSystemText(const CodePlugDocument& doc, int s, DtmfSystemField field);
// The drop-down choices of a code field (empty for the side tone and the digit strings).
const Choices& dtmfSystemChoices(DtmfSystemField field);
// The stored code of a code field; nothing for a bad system or without an image.
std::optional<std::uint32_t> dtmfSystemCode(const CodePlugDocument& doc, int s, DtmfSystemField field);
void toggleSideTone(CodePlugDocument& doc, int s);
// Stores a code the field's choices offer, keeping every other bit; false otherwise.
bool setSystemCode(CodePlugDocument& doc, int s, DtmfSystemField field, std::uint32_t code);
// `field` is KeyUpEncode or KeyDownEncode.
bool setSystemDigits(CodePlugDocument& doc, int s, DtmfSystemField field, std::string_view text);

// ---- encode strings (e = 0..31) ----
std::string encodeDigits(const CodePlugDocument& doc, int e);
bool encodePresent(const CodePlugDocument& doc, int e);  // its count byte is not 0
// Encode string 1 is never empty: an empty text stores "#".
bool setEncodeDigits(CodePlugDocument& doc, int e, std::string_view text);

// ---- decode entries (d = 0..7) ----
std::string dtmfDecodeText(const CodePlugDocument& doc, int d, DtmfDecodeField field);
// "Ack" offers the encode strings present, "Revert Channel" the analogue channels in use.
Choices dtmfDecodeChoices(const CodePlugDocument& doc, DtmfDecodeField field);
std::optional<std::uint32_t> dtmfDecodeCode(const CodePlugDocument& doc, int d, DtmfDecodeField field);
// Stores a value the field offers; a revert channel outside 1..1000 stores 0 ("Selected").
bool setDecodeCode(CodePlugDocument& doc, int d, DtmfDecodeField field, std::uint32_t value);
bool setDecodeId(CodePlugDocument& doc, int d, std::string_view text);

}  // namespace pw
