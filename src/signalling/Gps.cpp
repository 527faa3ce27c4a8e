#include "signalling/Gps.h"

#include "codeplug/RecordList.h"

namespace pw {
namespace {

using enum GpsField;

template <typename Doc>
auto gpsBytes(Doc& doc, int g) -> decltype(doc.bytes(0, 0)) {
  if (!doc.hasImage() || g < 0 || g >= kGpsCount) return {};
  return doc.bytes(kGps + std::size_t(g) * kGpsSize, kGpsSize);
}

std::uint32_t allOnes(GpsField field) { return fieldMask(bitsOf(field)); }
// What system g stores for "no setting": system 1 writes 0, the others all ones.
std::uint32_t noSetting(int g, GpsField field) { return g == 0 ? 0 : allOnes(field); }

bool inRange(std::uint32_t v, int last) { return v >= 1 && v <= std::uint32_t(last); }

const Choices& intervals() {
  static const Choices c = [] {
    Choices d{{"Off", 0}};
    return appendRange(d, 1, kGpsMaxIntervalCode, [](int n) { return std::to_string(30 * n) + " secs"; });
  }();
  return c;
}

// The named record a reference shows, or nothing for a value outside the list or a free record.
std::optional<std::string> referredName(const CodePlugDocument& doc, ListId list, std::uint32_t v) {
  if (!inRange(v, layoutOf(list).count) || !inUse(doc, list, int(v) - 1)) return std::nullopt;
  return recordName(doc, list, int(v) - 1);
}

}  // namespace

std::string gpsText(const CodePlugDocument& doc, int g, GpsField field) {
  const ByteSpan r = gpsBytes(doc, g);
  if (r.empty()) return {};
  const std::uint32_t v = get(r, bitsOf(field));
  switch (field) {
    case RevertChannel:
      return referredName(doc, ListId::Channels, v).value_or("Current Channel");
    case ReportInterval:
      return inRange(v, kGpsMaxIntervalCode) ? std::to_string(30 * v) + " secs" : "Off";
    case Contact:
      return referredName(doc, ListId::Contacts, v).value_or("None");
  }
  return {};
}

Choices gpsChoices(const CodePlugDocument& doc, GpsField field) {
  switch (field) {
    case RevertChannel:
      return recordChoices(doc, ListId::Channels, "Current Channel",
                           [&](int i) { return (u8(recordBytes(doc, ListId::Channels, i), 0) & 3) == 2; });
    case ReportInterval:
      return intervals();
    case Contact:
      return recordChoices(doc, ListId::Contacts, "None");
  }
  return {};
}

std::optional<std::uint32_t> gpsCode(const CodePlugDocument& doc, int g, GpsField field) {
  const ByteSpan r = gpsBytes(doc, g);
  if (r.empty()) return std::nullopt;
  const std::uint32_t v = get(r, bitsOf(field));
  return v == allOnes(field) ? 0 : v;  // both forms of "no setting" select the first choice
}

bool setGpsField(CodePlugDocument& doc, int g, GpsField field, std::uint32_t value) {
  const MutableByteSpan r = gpsBytes(doc, g);
  if (r.empty()) return false;
  const int last = field == ReportInterval
                       ? kGpsMaxIntervalCode
                       : layoutOf(field == Contact ? ListId::Contacts : ListId::Channels).count;
  set(r, bitsOf(field), inRange(value, last) ? value : noSetting(g, field));
  return true;
}

bool setGpsRevertChannel(CodePlugDocument& doc, int g, std::uint32_t channel) {
  return setGpsField(doc, g, RevertChannel, channel);
}
bool setGpsReportInterval(CodePlugDocument& doc, int g, std::uint32_t code) {
  return setGpsField(doc, g, ReportInterval, code);
}
bool setGpsContact(CodePlugDocument& doc, int g, std::uint32_t contact) {
  return setGpsField(doc, g, Contact, contact);
}

}  // namespace pw
