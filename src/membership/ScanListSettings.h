#pragma once
// The settings of a scan list besides its name and members: two priority channels, the
// designated transmit channel and two timings, with the drop-down choices that show
// them. Byte 38 (flags) and byte 41 are never shown or changed here.

#include <cstdint>
#include <string>
#include <vector>

#include "codeplug/Bytes.h"
#include "codeplug/CodePlugDocument.h"

namespace pw {

enum class ScanListField {
  PriorityChannel1,  // 0 "Selected", 0xFFFF "None", else a channel number
  PriorityChannel2,
  TxDesignatedChannel,  // 0 "Selected", 0xFFFF "Last Active Channel", else a channel number
  SignallingHoldTime,   // code c: 25 x c ms, 2..255
  PrioritySampleTime,   // code c: 250 x c ms, 3..31
};

// clang-format off
constexpr NamedField<ScanListField> kScanListFields[] = {
    {ScanListField::PriorityChannel1,    {32, 0, 16}},
    {ScanListField::PriorityChannel2,    {34, 0, 16}},
    {ScanListField::TxDesignatedChannel, {36, 0, 16}},
    {ScanListField::SignallingHoldTime,  {39, 0, 8}},
    {ScanListField::PrioritySampleTime,  {40, 0, 8}},
};
// clang-format on
static_assert(keyedInOrder(kScanListFields));
static_assert(fieldsDisjoint(kScanListFields));

constexpr std::uint16_t kSelectedChannel = 0;
constexpr std::uint16_t kNoChannel = 0xFFFF;  // "None" / "Last Active Channel"

std::uint32_t scanListField(const CodePlugDocument& doc, int s, ScanListField field);
// Stores the value in every scan list of `rows` (slot indexes); nothing without an image.
void setScanListField(CodePlugDocument& doc, const std::vector<int>& rows, ScanListField field,
                      std::uint32_t value);

struct ScanChoice {
  std::string text;
  std::uint32_t value;  // the value the choice stores
};
using ScanChoices = std::vector<ScanChoice>;

// "Selected", the name of every member of scan list s in member order, "None".
ScanChoices priorityChannelChoices(const CodePlugDocument& doc, int s);
// "Selected", every channel in use by name in channel order, "Last Active Channel".
ScanChoices txDesignatedChannelChoices(const CodePlugDocument& doc);
// "50 ms" .. "6375 ms" in steps of 25, and "750 ms" .. "7750 ms" in steps of 250.
const ScanChoices& signallingHoldTimeChoices();
const ScanChoices& prioritySampleTimeChoices();
// What the timing lists show while no single scan list gives a value: 1000 ms and 3000 ms.
constexpr int kDefaultHoldTimeChoice = 38;
constexpr int kDefaultSampleTimeChoice = 9;

// The index of the first choice carrying the value, or -1: a value no choice carries shows none.
int choiceIndex(const ScanChoices& choices, std::uint32_t value);

}  // namespace pw
