#include "settings/Buttons.h"

#include <algorithm>

#include "codeplug/RecordList.h"
#include "digital/TextMessages.h"
#include "signalling/Dtmf.h"

namespace pw {
namespace {

using OneTouchColumn::MessageOrEncode;
using OneTouchField::CallType, OneTouchField::ModeMark, OneTouchField::Number;

template <typename Doc>
auto sideButtonBytes(Doc& doc) -> decltype(doc.bytes(0, 0)) {
  if (!doc.hasImage()) return {};
  return doc.bytes(kSideButtons, kSideButtonsSize);
}
template <typename Doc>
auto oneTouchBytes(Doc& doc, int k) -> decltype(doc.bytes(0, 0)) {
  if (!doc.hasImage() || k < 0 || k >= kOneTouchCount) return {};
  return doc.bytes(kOneTouchAccess + std::size_t(k) * kOneTouchSize, kOneTouchSize);
}
template <typename Doc>
auto numberKeyBytes(Doc& doc, int k) -> decltype(doc.bytes(0, 0)) {
  if (!doc.hasImage() || k < 0 || k >= kNumberKeyCount) return {};
  return doc.bytes(kNumberKeyContacts + std::size_t(k) * 2, 2);
}

constexpr BitField kNumberKeyWord{0, 0, 16};

bool inRange(std::uint32_t v, int last) { return v >= 1 && v <= std::uint32_t(last); }

std::string contactName(const CodePlugDocument& doc, std::uint32_t n) {
  return inRange(n, kContactCount) ? recordName(doc, ListId::Contacts, int(n) - 1) : std::string();
}

const Choices& modes() {
  static const Choices c{
      {"None", kOneTouchNone}, {"Digital", kOneTouchDigital}, {"Analogue", kOneTouchAnalogue}};
  return c;
}
const Choices& digitalCallTypes() {
  static const Choices c{{"Call", 0}, {"Text Message", 1}};
  return c;
}
const Choices& analogueCallTypes() {
  static const Choices c = [] {
    Choices d;
    return appendRange(
        d, 1, 4, [](int n) { return "DTMF-" + std::to_string(n); }, -1);
  }();
  return c;
}

// Where an entry's byte 1 points, by its mode and call type.
enum class Points { Nothing, Message, EncodeString };
Points pointsAt(ByteSpan r) {
  const std::uint32_t mode = get(r, bitsOf(OneTouchField::Mode));
  if (mode == kOneTouchAnalogue) return Points::EncodeString;
  if (mode == kOneTouchDigital && get(r, bitsOf(CallType)) == 1) return Points::Message;
  return Points::Nothing;
}

void resetEntry(MutableByteSpan r, std::uint32_t mode) {
  set(r, bitsOf(OneTouchField::Mode), mode);
  set(r, bitsOf(ModeMark), mode == kOneTouchAnalogue ? 2 : 0);
  set(r, bitsOf(CallType), 0);
  set(r, bitsOf(Number), 1);
  set(r, bitsOf(OneTouchField::Contact), mode == kOneTouchDigital ? 1 : 0);
}

}  // namespace

// ---- side buttons ----

const Choices& buttonSettingChoices(ButtonSetting which) {
  static const Choices functions{
      {"Unassigned (Default)", 0},  {"All Alert Tones On/Off", 1}, {"Emergency On", 2},
      {"Emergency Off", 3},         {"High/Low Tx Power", 4},      {"Monitor", 5},
      {"Nuisense Delete", 6},       {"One Touch Access 1", 7},     {"One Touch Access 2", 8},
      {"One Touch Access 3", 9},    {"One Touch Access 4", 10},    {"One Touch Access 5", 11},
      {"One Touch Access 6", 12},   {"Repeater/TalkAround", 13},   {"Scan On/Off", 14},
      {"Tight/Normal Squelch", 21}, {"Privacy On/Off", 22},        {"VOX On/Off", 23},
      {"Zone Toggle", 25},          {"Battery Indicator", 26},     {"Manual Dial For Private", 30},
      {"Lone Work On/Off", 31},
  };
  static const Choices durations = [] {
    Choices c;
    return appendRange(c, 4, 15, [](int n) { return std::to_string(250 * n) + " ms"; });
  }();
  return which == ButtonSetting::LongPressDuration ? durations : functions;
}

std::optional<std::uint32_t> buttonSetting(const CodePlugDocument& doc, ButtonSetting which) {
  const ByteSpan r = sideButtonBytes(doc);
  if (r.empty()) return std::nullopt;
  return get(r, kButtonSettingFields[int(which)].bits);
}

bool setButtonSetting(CodePlugDocument& doc, ButtonSetting which, std::uint32_t code) {
  const MutableByteSpan r = sideButtonBytes(doc);
  if (r.empty() || indexOfCode(buttonSettingChoices(which), code) < 0) return false;
  set(r, kButtonSettingFields[int(which)].bits, code);
  return true;
}

// ---- one-touch access ----

std::uint32_t oneTouchField(const CodePlugDocument& doc, int k, OneTouchField field) {
  return get(oneTouchBytes(doc, k), bitsOf(field));
}

std::string oneTouchText(const CodePlugDocument& doc, int k, OneTouchColumn column) {
  const ByteSpan r = oneTouchBytes(doc, k);
  if (r.empty()) return {};
  const std::uint32_t mode = get(r, bitsOf(OneTouchField::Mode)), callType = get(r, bitsOf(CallType)),
                      number = get(r, bitsOf(Number));
  const bool digital = mode == kOneTouchDigital, analogue = mode == kOneTouchAnalogue;
  switch (column) {
    case OneTouchColumn::Mode:
      return textOfCode(modes(), mode).value_or("");
    case OneTouchColumn::Contact:
      return digital ? contactName(doc, get(r, bitsOf(OneTouchField::Contact))) : "";
    case OneTouchColumn::CallType:
      if (digital) return textOfCode(digitalCallTypes(), callType).value_or("");
      return analogue ? textOfCode(analogueCallTypes(), callType).value_or("") : "";
    case MessageOrEncode:
      switch (pointsAt(r)) {
        case Points::Message:
          return inRange(number, kTextMessageCount) ? storedMessageText(doc, int(number) - 1) : "";
        case Points::EncodeString:
          return encodeDigits(doc, std::clamp(int(number) - 1, 0, kDtmfEncodeCount - 1));
        case Points::Nothing:
          return {};
      }
  }
  return {};
}

Choices oneTouchChoices(const CodePlugDocument& doc, int k, OneTouchColumn column) {
  const ByteSpan r = oneTouchBytes(doc, k);
  if (r.empty()) return {};
  const std::uint32_t mode = get(r, bitsOf(OneTouchField::Mode));
  switch (column) {
    case OneTouchColumn::Mode:
      return modes();
    case OneTouchColumn::Contact:
      return mode == kOneTouchDigital ? recordChoices(doc, ListId::Contacts, {}) : Choices{};
    case OneTouchColumn::CallType:
      if (mode == kOneTouchDigital) return digitalCallTypes();
      return mode == kOneTouchAnalogue ? analogueCallTypes() : Choices{};
    case MessageOrEncode:
      switch (pointsAt(r)) {
        case Points::Message: {
          // Every message in use, blanks-only ones too, as stored.
          Choices c;
          for (int m = 0; m < kTextMessageCount; ++m)
            if (inUse(doc, ListId::TextMessages, m)) c.push_back({storedMessageText(doc, m), std::uint32_t(m + 1)});
          return c;
        }
        case Points::EncodeString: {
          // Only the strings present, each coded by its own number.
          Choices c;
          for (int e = 0; e < kDtmfEncodeCount; ++e)
            if (encodePresent(doc, e)) c.push_back({encodeDigits(doc, e), std::uint32_t(e + 1)});
          return c;
        }
        case Points::Nothing:
          return {};
      }
  }
  return {};
}

std::optional<std::uint32_t> oneTouchCode(const CodePlugDocument& doc, int k, OneTouchColumn column) {
  const ByteSpan r = oneTouchBytes(doc, k);
  if (r.empty()) return std::nullopt;
  switch (column) {
    case OneTouchColumn::Mode:
      return get(r, bitsOf(OneTouchField::Mode));
    case OneTouchColumn::Contact:
      return get(r, bitsOf(OneTouchField::Contact));
    case OneTouchColumn::CallType:
      return get(r, bitsOf(CallType));
    case MessageOrEncode:
      return get(r, bitsOf(Number));
  }
  return std::nullopt;
}

bool setOneTouch(CodePlugDocument& doc, int k, OneTouchColumn column, std::uint32_t value) {
  const MutableByteSpan r = oneTouchBytes(doc, k);
  if (r.empty() || indexOfCode(oneTouchChoices(doc, k, column), value) < 0) return false;
  switch (column) {
    case OneTouchColumn::Mode:
      // Reset only on a new mode: keeping the mode keeps the contact and message it names.
      if (get(r, bitsOf(OneTouchField::Mode)) == value) return false;
      resetEntry(r, value);
      return true;
    case OneTouchColumn::Contact:
      set(r, bitsOf(OneTouchField::Contact), value);
      return true;
    case OneTouchColumn::CallType:
      set(r, bitsOf(CallType), value);
      if (get(r, bitsOf(OneTouchField::Mode)) == kOneTouchAnalogue)
        set(r, bitsOf(ModeMark), 2);  // low four bits: 8 + c
      return true;
    case MessageOrEncode:
      set(r, bitsOf(Number), value);
      return true;
  }
  return false;
}

// ---- number keys ----

std::string numberKeyText(const CodePlugDocument& doc, int k) {
  const ByteSpan r = numberKeyBytes(doc, k);
  if (r.empty()) return {};
  const std::uint32_t n = get(r, kNumberKeyWord);
  return inRange(n, kContactCount) ? contactName(doc, n) : "None";
}

Choices numberKeyChoices(const CodePlugDocument& doc) { return recordChoices(doc, ListId::Contacts, "None"); }

std::optional<std::uint32_t> numberKeyContact(const CodePlugDocument& doc, int k) {
  const ByteSpan r = numberKeyBytes(doc, k);
  if (r.empty()) return std::nullopt;
  return get(r, kNumberKeyWord);
}

bool setNumberKey(CodePlugDocument& doc, int k, std::uint32_t contact) {
  const MutableByteSpan r = numberKeyBytes(doc, k);
  if (r.empty() || (contact != 0 && !inRange(contact, kContactCount))) return false;
  set(r, kNumberKeyWord, contact);
  return true;
}

}  // namespace pw
