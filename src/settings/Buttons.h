#pragma once
// The side buttons (a function for each short and long press, the long press
// duration), the six one-touch access entries a side button can trigger, and the
// contact each number key calls. Contacts and text messages keep these entries
// pointing at their records when they are deleted or moved; this file only reads and
// writes them.

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>

#include "codeplug/Bytes.h"
#include "codeplug/Choices.h"
#include "codeplug/CodePlugDocument.h"

namespace pw {

// ---- side buttons: five bytes of the general settings block ----
constexpr std::size_t kSideButtons = 0x2102;
constexpr int kSideButtonsSize = 16;

enum class ButtonSetting { UpperSideShort, UpperSideLong, LowerSideShort, LowerSideLong, LongPressDuration };

// {byte, shift, width} from kSideButtons; the bytes in between belong to other settings.
inline constexpr NamedField<ButtonSetting> kButtonSettingFields[] = {
    {ButtonSetting::UpperSideShort, {0, 0, 8}},     {ButtonSetting::UpperSideLong, {1, 0, 8}},
    {ButtonSetting::LowerSideShort, {2, 0, 8}},     {ButtonSetting::LowerSideLong, {3, 0, 8}},
    {ButtonSetting::LongPressDuration, {15, 0, 8}},  // code x 250 ms
};
static_assert(std::size(kButtonSettingFields) == std::size_t(ButtonSetting::LongPressDuration) + 1);
static_assert(keyedInOrder(kButtonSettingFields), "button setting rows out of enum order");
static_assert(fieldsDisjoint(kButtonSettingFields), "button settings overlap");

// The function list of the four side buttons (codes are not contiguous) or the
// durations "1000 ms" .. "3750 ms" (codes 4..15).
const Choices& buttonSettingChoices(ButtonSetting which);
std::optional<std::uint32_t> buttonSetting(const CodePlugDocument& doc, ButtonSetting which);
// Stores a code the setting's choices offer; false (nothing written) otherwise.
bool setButtonSetting(CodePlugDocument& doc, ButtonSetting which, std::uint32_t code);

// ---- one-touch access entries (k = 0..5) ----
enum class OneTouchField {
  CallType,  // Digital: 0 Call, 1 Text Message; Analogue: 0..3 DTMF-1..DTMF-4
  ModeMark,  // 0 for None and Digital, 2 (bit 3) for Analogue
  Mode,      // 0 None, 1 Digital, 2 Analogue
  Number,    // message number 1..50 (Digital, Text Message) or encode string 1..32 (Analogue)
  Contact,   // contact number 1..1000 (Digital), else 0
};

// Bits 6-7 of byte 0 belong to the radio. {byte, shift, width}
inline constexpr NamedField<OneTouchField> kOneTouchFields[] = {
    {OneTouchField::CallType, {0, 0, 2}}, {OneTouchField::ModeMark, {0, 2, 2}},
    {OneTouchField::Mode, {0, 4, 2}},     {OneTouchField::Number, {1, 0, 8}},
    {OneTouchField::Contact, {2, 0, 16}},
};
static_assert(std::size(kOneTouchFields) == std::size_t(OneTouchField::Contact) + 1);
static_assert(keyedInOrder(kOneTouchFields), "one-touch field rows out of enum order");
static_assert(fieldsDisjoint(kOneTouchFields), "one-touch fields overlap");

constexpr BitField bitsOf(OneTouchField f) { return kOneTouchFields[static_cast<int>(f)].bits; }

enum OneTouchMode : std::uint32_t { kOneTouchNone = 0, kOneTouchDigital = 1, kOneTouchAnalogue = 2 };

// The grid's editable columns, in order after "No.".
enum class OneTouchColumn { Mode, Contact, CallType, MessageOrEncode };

std::uint32_t oneTouchField(const CodePlugDocument& doc, int k, OneTouchField field);
std::string oneTouchText(const CodePlugDocument& doc, int k, OneTouchColumn column);
// What the column's drop-down offers for entry k: empty when nothing opens there
// (the contact of an entry that is not Digital, the message of a call, ...).
Choices oneTouchChoices(const CodePlugDocument& doc, int k, OneTouchColumn column);
// The value the column's drop-down selects when it opens.
std::optional<std::uint32_t> oneTouchCode(const CodePlugDocument& doc, int k, OneTouchColumn column);
// Stores a chosen value by the byte rules of the entry's mode. A new mode resets the
// entry (Digital: contact 1, Call; Analogue: DTMF-1, encode string 1); choosing the
// mode it has changes nothing. False when nothing was written.
bool setOneTouch(CodePlugDocument& doc, int k, OneTouchColumn column, std::uint32_t value);

// ---- number keys (k = 0..9): a contact number, 0 for none ----
std::string numberKeyText(const CodePlugDocument& doc, int k);  // "None" outside 1..1000
Choices numberKeyChoices(const CodePlugDocument& doc);          // "None", then the contacts in use
std::optional<std::uint32_t> numberKeyContact(const CodePlugDocument& doc, int k);
// Stores 0 or a contact number 1..1000; false (nothing written) for anything else.
bool setNumberKey(CodePlugDocument& doc, int k, std::uint32_t contact);

}  // namespace pw
