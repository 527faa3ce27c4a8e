#pragma once
// The 64-byte channel record and the operations on the channel section. Every field
// is declared once below; the operations are thin over the shared record-list and
// reference-web machinery, so channels delete, move and renumber like every list.

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/Bytes.h"
#include "codeplug/CodePlugDocument.h"

namespace pw {

enum class ChannelField {
  Mode,                  // 0 Auto, 1 Analogue, 2 Digital
  Bandwidth,             // 0 12.5 kHz, 1 20 kHz, 2 25 kHz
  AutoScan,
  Squelch,               // 0 Tight, 1 Normal
  LoneWorker,
  AllowTalkaround,
  RxOnly,
  RepeaterSlot,          // 1, 2
  ColourCode,            // 0..15
  PrivacyIndex,          // key number - 1 within its type
  PrivacyType,           // 0 none, 1 basic, 2 enhanced
  PrivateCallConfirmed,
  DataCallConfirmed,
  RxRefFrequency,        // 0 Low, 1 Med, 2 High
  EmergencyAlarmAck,
  CompressedUdpHeader,   // stored inverted: 0 = on
  DisplayPttId,          // stored inverted: 0 = on
  TxRefFrequency,
  ReverseBurst,
  TailRevertPhase,       // 0 = 180 degrees, 1 = 120 degrees
  Vox,
  TxPower,               // 0 Low, 1 High
  AdmitCriteria,         // 0 Always, 1 Channel Free, 2 CTCSS/CDCSS, 3 Colour Code
  Contact,               // 0 none, contact number
  TxTimeout,             // 0 infinite, n x 15 s
  RekeyDelay,            // seconds
  EmergencySystem,       // 0 none, system number
  ScanList,              // 0 none, scan list number
  RxGroupList,           // 0 none, group list number
  GpsSystem,             // 0 none, GPS system number
  DtmfDecode1, DtmfDecode2, DtmfDecode3, DtmfDecode4,
  DtmfDecode5, DtmfDecode6, DtmfDecode7, DtmfDecode8,
  RxFrequency,           // 8 BCD digits, units of 10 Hz
  TxFrequency,
  RxTone,                // tone word, 0xFFFF none
  TxTone,
  RxSignalling,          // 0 Off, DTMF system 1..4
  TxSignalling,
  TxGpsInfo,             // stored inverted: 0 = on
  RxGpsInfo,             // stored inverted: 0 = on
};

// Bits not named here (and outside the name at 32..63) are reserved: the radio keeps
// something there, so no setter touches them. {byte, shift, width}
inline constexpr NamedField<ChannelField> kChannelFields[] = {
    {ChannelField::Mode, {0, 0, 2}},
    {ChannelField::Bandwidth, {0, 2, 2}},
    {ChannelField::AutoScan, {0, 4, 1}},
    {ChannelField::Squelch, {0, 5, 1}},
    {ChannelField::LoneWorker, {0, 7, 1}},
    {ChannelField::AllowTalkaround, {1, 0, 1}},
    {ChannelField::RxOnly, {1, 1, 1}},
    {ChannelField::RepeaterSlot, {1, 2, 2}},
    {ChannelField::ColourCode, {1, 4, 4}},
    {ChannelField::PrivacyIndex, {2, 0, 4}},
    {ChannelField::PrivacyType, {2, 4, 2}},
    {ChannelField::PrivateCallConfirmed, {2, 6, 1}},
    {ChannelField::DataCallConfirmed, {2, 7, 1}},
    {ChannelField::RxRefFrequency, {3, 0, 2}},
    {ChannelField::EmergencyAlarmAck, {3, 3, 1}},
    {ChannelField::CompressedUdpHeader, {3, 6, 1}},
    {ChannelField::DisplayPttId, {3, 7, 1}},
    {ChannelField::TxRefFrequency, {4, 0, 2}},
    {ChannelField::ReverseBurst, {4, 2, 1}},
    {ChannelField::TailRevertPhase, {4, 3, 1}},
    {ChannelField::Vox, {4, 4, 1}},
    {ChannelField::TxPower, {4, 5, 1}},
    {ChannelField::AdmitCriteria, {4, 6, 2}},
    {ChannelField::Contact, {6, 0, 16}},
    {ChannelField::TxTimeout, {8, 0, 8}},
    {ChannelField::RekeyDelay, {9, 0, 8}},
    {ChannelField::EmergencySystem, {10, 0, 8}},
    {ChannelField::ScanList, {11, 0, 8}},
    {ChannelField::RxGroupList, {12, 0, 8}},
    {ChannelField::GpsSystem, {13, 0, 5}},
    {ChannelField::DtmfDecode1, {14, 0, 1}},
    {ChannelField::DtmfDecode2, {14, 1, 1}},
    {ChannelField::DtmfDecode3, {14, 2, 1}},
    {ChannelField::DtmfDecode4, {14, 3, 1}},
    {ChannelField::DtmfDecode5, {14, 4, 1}},
    {ChannelField::DtmfDecode6, {14, 5, 1}},
    {ChannelField::DtmfDecode7, {14, 6, 1}},
    {ChannelField::DtmfDecode8, {14, 7, 1}},
    {ChannelField::RxFrequency, {16, 0, 32}},
    {ChannelField::TxFrequency, {20, 0, 32}},
    {ChannelField::RxTone, {24, 0, 16}},
    {ChannelField::TxTone, {26, 0, 16}},
    {ChannelField::RxSignalling, {28, 0, 8}},
    {ChannelField::TxSignalling, {29, 0, 8}},
    {ChannelField::TxGpsInfo, {31, 0, 1}},
    {ChannelField::RxGpsInfo, {31, 1, 1}},
};
inline constexpr int kChannelFieldCount = int(std::size(kChannelFields));
static_assert(kChannelFieldCount == int(ChannelField::RxGpsInfo) + 1, "one row per ChannelField");
static_assert(keyedInOrder(kChannelFields), "channel field rows out of enum order");
static_assert(fieldsDisjoint(kChannelFields), "channel fields overlap");

constexpr BitField bitsOf(ChannelField f) { return kChannelFields[static_cast<int>(f)].bits; }
constexpr ChannelField dtmfDecodeField(int k) {  // k = 0..7 for "Decode 1".."Decode 8"
  return static_cast<ChannelField>(static_cast<int>(ChannelField::DtmfDecode1) + k);
}
// Features whose stored bit is 0 when they are on.
constexpr bool storedInverted(ChannelField f) {
  return f == ChannelField::CompressedUdpHeader || f == ChannelField::DisplayPttId ||
         f == ChannelField::TxGpsInfo || f == ChannelField::RxGpsInfo;
}

// ---- operations on the section (s = record index 0..999, n = channel number 1..1000) ----

// Makes slot s a new channel with the given name (free when the trimmed name is empty).
void initChannel(CodePlugDocument& doc, int s, std::string_view name);
// Adds "Channel <n>" in the first free slot; the slot, or nothing when the section is full.
std::optional<int> addChannel(CodePlugDocument& doc);
// False when nothing changed (empty trimmed text, bad slot, no code plug).
bool renameChannel(CodePlugDocument& doc, int s, std::string_view text);
std::uint32_t channelField(const CodePlugDocument& doc, int s, ChannelField field);
// Writes one field, keeping every other bit of the record; false, changing nothing, for a
// bad slot, no code plug or a value wider than the field.
bool setChannelField(CodePlugDocument& doc, int s, ChannelField field, std::uint32_t value);
// `which` is RxFrequency or TxFrequency. Stores the typed text clamped into the radio's band;
// false, changing nothing, when the text holds no number.
bool setChannelFrequency(CodePlugDocument& doc, int s, ChannelField which, std::string_view text);
// 0 deleted, -1 refused and go on (or n out of range), -2 refused and stop.
int deleteChannel(CodePlugDocument& doc, int n);
int deleteSelectedChannels(CodePlugDocument& doc, const std::vector<int>& rows);
// Moves slot s by delta places towards channel 1 (negative: towards 1000); the new number.
int moveChannel(CodePlugDocument& doc, int s, int delta);
// Moves the selected rows as one block; the rows the selection occupies afterwards.
std::vector<int> moveSelectedChannels(CodePlugDocument& doc, const std::vector<int>& rows, int delta);
// Sorts the selected rows among the places they hold (fewer than two: every channel), stably,
// by name without case or by receive frequency; references follow. Returns where each slot went.
enum class ChannelSort { Name, RxFrequency };
std::vector<int> sortChannels(CodePlugDocument& doc, const std::vector<int>& rows, ChannelSort by);

// ---- what the editor shows for a selection of rows ----

// The value every selected channel shares, or nothing when they differ (or none is selected).
std::optional<std::uint32_t> sharedValue(const CodePlugDocument& doc, const std::vector<int>& rows,
                                         ChannelField field);
// A toggle is down when every selected channel has the feature on; "Display PTT ID" is
// the exception: it is down unless every selected channel has it off.
bool toggleDown(const CodePlugDocument& doc, const std::vector<int>& rows, ChannelField field);
// The stored value for a toggle state (inverted fields store 0 for on).
constexpr std::uint32_t toggleValue(ChannelField field, bool down) { return down != storedInverted(field); }
// The shared frequency as text; empty when the frequencies differ or are 0.
std::string sharedFrequencyText(const CodePlugDocument& doc, const std::vector<int>& rows, ChannelField which);

}  // namespace pw
