#pragma once
// The emergency section: a 16-byte header of radio-wide remote settings, then 32
// emergency systems of 40 bytes. The systems are a list of the shared record-list
// engine (add, rename, delete with its refusal, moves, renumbering of channel byte 10);
// the header is never moved or rewritten by them.

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/Bytes.h"
#include "codeplug/Choices.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/Layout.h"

namespace pw {

enum class EmergencyField {
  AlarmType,        // 0 Disabled, 1 Regular, 2 Silent, 3 Silent with Voice
  AlarmMode,        // 0 Emergency Alarm, 1 ... with Call, 2 ... with Voice to Follow
  ImpoliteRetries,  // 1..15
  PoliteRetries,    // 0..14, 15 and above infinite
  HotMicDuration,   // seconds, 10..120
  RevertChannel,    // 0 none, channel number 1..1000
};

// Record bits not named here (after the name at 0..31) are reserved and preserved.
// {byte, shift, width}
// clang-format off
inline constexpr NamedField<EmergencyField> kEmergencyFields[] = {
    {EmergencyField::AlarmType, {32, 0, 2}},
    {EmergencyField::AlarmMode, {32, 4, 2}},
    {EmergencyField::ImpoliteRetries, {33, 0, 8}},
    {EmergencyField::PoliteRetries, {34, 0, 8}},
    {EmergencyField::HotMicDuration, {35, 0, 8}},
    {EmergencyField::RevertChannel, {36, 0, 16}},
};
// clang-format on
static_assert(std::size(kEmergencyFields) == std::size_t(EmergencyField::RevertChannel) + 1);
static_assert(keyedInOrder(kEmergencyFields), "emergency field rows out of enum order");
static_assert(fieldsDisjoint(kEmergencyFields), "emergency fields overlap");

enum class RemoteSetting {
  RadioDisableDecode,            // 1 = on
  RemoteMonitorDecode,           // 1 = on
  EmergencyRemoteMonitorDecode,  // 1 = on
  RemoteMonitorDuration,         // seconds, 10..120
  RemoteSyncWakeup,              // n x 25 ms, n = 5..15
  TxWakeupMessageLimit,          // 1..4
};

// Fields of the header; its bits 3-7 of byte 0 and bytes 4..15 are reserved.
inline constexpr NamedField<RemoteSetting> kRemoteSettingFields[] = {
    {RemoteSetting::RadioDisableDecode, {0, 0, 1}},
    {RemoteSetting::RemoteMonitorDecode, {0, 1, 1}},
    {RemoteSetting::EmergencyRemoteMonitorDecode, {0, 2, 1}},
    {RemoteSetting::RemoteMonitorDuration, {1, 0, 8}},
    {RemoteSetting::RemoteSyncWakeup, {2, 0, 8}},
    {RemoteSetting::TxWakeupMessageLimit, {3, 0, 8}},
};
static_assert(std::size(kRemoteSettingFields) == std::size_t(RemoteSetting::TxWakeupMessageLimit) + 1);
static_assert(keyedInOrder(kRemoteSettingFields), "remote setting rows out of enum order");
static_assert(fieldsDisjoint(kRemoteSettingFields), "remote settings overlap");

constexpr int kEmergencyHeaderSize = int(kEmergencySystems - kEmergencySection);
constexpr BitField bitsOf(EmergencyField f) { return kEmergencyFields[static_cast<int>(f)].bits; }
constexpr BitField bitsOf(RemoteSetting f) { return kRemoteSettingFields[static_cast<int>(f)].bits; }

// ---- operations (s = record index 0..31, e = system number 1..32) ----

// Makes slot s a new system with the given name (free when the trimmed name is empty).
void initEmergencySystem(CodePlugDocument& doc, int s, std::string_view name);
// Adds "System <n>" in the first free slot; the slot, or nothing when all 32 are in use.
std::optional<int> addEmergencySystem(CodePlugDocument& doc);
// False when nothing changed (empty trimmed text, bad slot, no code plug).
bool renameEmergencySystem(CodePlugDocument& doc, int s, std::string_view text);
std::uint32_t emergencySystemField(const CodePlugDocument& doc, int s, EmergencyField field);
// Writes one field, keeping every other bit; false, changing nothing, for a bad slot,
// no code plug or a value the field cannot hold (alarm mode 3 is never written).
bool setEmergencySystemField(CodePlugDocument& doc, int s, EmergencyField field, std::uint32_t code);
std::uint32_t remoteSetting(const CodePlugDocument& doc, RemoteSetting field);
bool setRemoteSetting(CodePlugDocument& doc, RemoteSetting field, std::uint32_t value);
// 0 deleted, -1 refused and go on (or e out of range), -2 refused and stop. A digital
// channel on system e refuses; any other channel on it is left with no system.
int deleteEmergencySystem(CodePlugDocument& doc, int e);
int deleteSelectedEmergencySystems(CodePlugDocument& doc, const std::vector<int>& rows);
// Moves slot s by delta places towards system 1; the new number.
int moveEmergencySystem(CodePlugDocument& doc, int s, int delta);
std::vector<int> moveSelectedEmergencySystems(CodePlugDocument& doc, const std::vector<int>& rows, int delta);

// ---- what the list shows ----

std::string emergencySystemName(const CodePlugDocument& doc, int s);
// The text of a field's cell: "Regular", "Unknown", "infinite", "10 secs", a channel name or "None" ...
std::string emergencyFieldText(const CodePlugDocument& doc, int s, EmergencyField field);

// The entries of a field's drop-down, in order, with the codes they store. The revert
// channel offers "None" and every digital channel in use.
Choices emergencyFieldChoices(const CodePlugDocument& doc, EmergencyField field);
// The code whose entry the drop-down opens on: the stored value, except that a revert
// channel outside 1..1000 opens on "None".
std::uint32_t emergencyFieldCurrent(const CodePlugDocument& doc, int s, EmergencyField field);
// The entries of a remote setting's drop-down (the three lists; empty for the toggles).
const Choices& remoteSettingChoices(RemoteSetting field);

}  // namespace pw
