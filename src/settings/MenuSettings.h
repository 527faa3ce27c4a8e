#pragma once
// The menu settings block at image offset 0x20F0: how long the radio stays in menu
// mode and which entries of its menu are offered. Each field is declared once below.

#include <cstdint>
#include <iterator>

#include "codeplug/Bytes.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/Choices.h"

namespace pw {

inline constexpr std::size_t kMenuSettings = 0x20F0;
inline constexpr std::size_t kMenuSettingsSize = 5;

enum class MenuField {
  HangTime,  // 0 = hang, 1..30 seconds
  TextMessage,
  ContactsCallAlert,
  ContactsEdit,
  ContactsManualDial,
  ContactsRadioCheck,
  ContactsRemoteMonitor,
  ContactsRadioEnable,
  ContactsRadioDisable,
  ContactsProgramKey,
  ScanScan,
  ScanEditList,
  CallLogMissed,
  CallLogAnswered,
  CallLogOutgoingRadio,
  UtilitiesTalkAround,
  UtilitiesToneOrAlert,
  UtilitiesPower,
  UtilitiesBackLight,
  UtilitiesIntroScreen,
  UtilitiesKeyPadLock,
  UtilitiesLedIndicator,
  UtilitiesSquelch,
  UtilitiesVox,
  UtilitiesPasswordAndLock,
  UtilitiesDisplayMode,
  UtilitiesProgramRadio,  // stored inverted: 0 = offered
  UtilitiesGps,           // stored inverted: 0 = offered
};

// Offsets within the block; bit 6 of byte 3 and bits 4-7 of byte 4 are the radio's.
// {byte, shift, width}
inline constexpr NamedField<MenuField> kMenuFields[] = {
    {MenuField::HangTime, {0, 0, 8}},
    {MenuField::TextMessage, {1, 0, 1}},
    {MenuField::ContactsCallAlert, {1, 1, 1}},
    {MenuField::ContactsEdit, {1, 2, 1}},
    {MenuField::ContactsManualDial, {1, 3, 1}},
    {MenuField::ContactsRadioCheck, {1, 4, 1}},
    {MenuField::ContactsRemoteMonitor, {1, 5, 1}},
    {MenuField::ContactsRadioEnable, {1, 6, 1}},
    {MenuField::ContactsRadioDisable, {1, 7, 1}},
    {MenuField::ContactsProgramKey, {2, 0, 1}},
    {MenuField::ScanScan, {2, 1, 1}},
    {MenuField::ScanEditList, {2, 2, 1}},
    {MenuField::CallLogMissed, {2, 3, 1}},
    {MenuField::CallLogAnswered, {2, 4, 1}},
    {MenuField::CallLogOutgoingRadio, {2, 5, 1}},
    {MenuField::UtilitiesTalkAround, {2, 6, 1}},
    {MenuField::UtilitiesToneOrAlert, {2, 7, 1}},
    {MenuField::UtilitiesPower, {3, 0, 1}},
    {MenuField::UtilitiesBackLight, {3, 1, 1}},
    {MenuField::UtilitiesIntroScreen, {3, 2, 1}},
    {MenuField::UtilitiesKeyPadLock, {3, 3, 1}},
    {MenuField::UtilitiesLedIndicator, {3, 4, 1}},
    {MenuField::UtilitiesSquelch, {3, 5, 1}},
    {MenuField::UtilitiesVox, {3, 7, 1}},
    {MenuField::UtilitiesPasswordAndLock, {4, 0, 1}},
    {MenuField::UtilitiesDisplayMode, {4, 1, 1}},
    {MenuField::UtilitiesProgramRadio, {4, 2, 1}},
    {MenuField::UtilitiesGps, {4, 3, 1}},
};
inline constexpr int kMenuFieldCount = int(std::size(kMenuFields));
static_assert(kMenuFieldCount == int(MenuField::UtilitiesGps) + 1, "one row per MenuField");
static_assert(keyedInOrder(kMenuFields), "menu field rows out of enum order");
static_assert(fieldsDisjoint(kMenuFields), "menu fields overlap");

constexpr BitField bitsOf(MenuField f) { return kMenuFields[static_cast<int>(f)].bits; }
constexpr bool storedInverted(MenuField f) {
  return f == MenuField::UtilitiesProgramRadio || f == MenuField::UtilitiesGps;
}

// 0 without a code plug.
std::uint32_t menuField(const CodePlugDocument& doc, MenuField field);
// Keeps every other bit; false, changing nothing, without a code plug or for a value
// wider than the field.
bool setMenuField(CodePlugDocument& doc, MenuField field, std::uint32_t value);
// An entry is offered on the radio (its toggle is down); false without a code plug.
bool menuEntryOffered(const CodePlugDocument& doc, MenuField entry);
bool setMenuEntryOffered(CodePlugDocument& doc, MenuField entry, bool offered);

// "Hang " = 0, then "1 secs" .. "30 secs".
const Choices& menuHangTimeChoices();

}  // namespace pw
