#pragma once
// The 16 GPS systems: where the radio sends its position reports (a contact), how
// often by default, and on which channel. System 1 stores "no setting" as 0, systems
// 2..16 as all ones; both read back the same.

#include <cstdint>
#include <iterator>
#include <string>

#include "codeplug/Bytes.h"
#include "codeplug/Choices.h"
#include "codeplug/CodePlugDocument.h"

namespace pw {

// Fields in the order of the list's columns.
enum class GpsField {
  RevertChannel,   // channel number 1..1000; anything else: the current channel
  ReportInterval,  // code 1..240: every 30 x code seconds; anything else: off
  Contact,         // contact number 1..1000; anything else: none
};

// Byte 3 and bytes 6..15 belong to the radio. {byte, shift, width}
inline constexpr NamedField<GpsField> kGpsFields[] = {
    {GpsField::RevertChannel, {0, 0, 16}},
    {GpsField::ReportInterval, {2, 0, 8}},
    {GpsField::Contact, {4, 0, 16}},
};
static_assert(std::size(kGpsFields) == std::size_t(GpsField::Contact) + 1);
static_assert(keyedInOrder(kGpsFields), "GPS field rows out of enum order");
static_assert(fieldsDisjoint(kGpsFields), "GPS fields overlap");

constexpr BitField bitsOf(GpsField f) { return kGpsFields[static_cast<int>(f)].bits; }
constexpr int kGpsMaxIntervalCode = 240;

// ---- g is a GPS record index 0..15 ----
std::string gpsText(const CodePlugDocument& doc, int g, GpsField field);
// "Current Channel" and the digital channels in use; "Off" and the 240 intervals;
// "None" and the contacts in use. The first choice is coded 0.
Choices gpsChoices(const CodePlugDocument& doc, GpsField field);
// The stored value with system g's "no setting" read as 0; nothing for a bad g or no image.
std::optional<std::uint32_t> gpsCode(const CodePlugDocument& doc, int g, GpsField field);
// Out-of-range values store system g's "no setting". False only for a bad g or no image.
bool setGpsRevertChannel(CodePlugDocument& doc, int g, std::uint32_t channel);
bool setGpsReportInterval(CodePlugDocument& doc, int g, std::uint32_t code);
bool setGpsContact(CodePlugDocument& doc, int g, std::uint32_t contact);
bool setGpsField(CodePlugDocument& doc, int g, GpsField field, std::uint32_t value);

}  // namespace pw
