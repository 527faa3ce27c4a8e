#include "signalling/Dtmf.h"

#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"

namespace pw {
namespace {

using enum DtmfSystemField;
using enum DtmfDecodeField;

std::string num(std::uint32_t n) { return std::to_string(n); }
std::string ms(std::uint32_t n) { return num(n) + " ms"; }
std::string tenths(std::uint32_t c) { return num(c / 10) + "." + num(c % 10); }

MutableByteSpan entry(CodePlugDocument& doc, std::size_t base, int count, int size, int i) {
  if (!doc.hasImage() || i < 0 || i >= count) return {};
  return doc.bytes(base + std::size_t(i) * size, size);
}
ByteSpan entry(const CodePlugDocument& doc, std::size_t base, int count, int size, int i) {
  if (!doc.hasImage() || i < 0 || i >= count) return {};
  return doc.bytes(base + std::size_t(i) * size, size);
}
template <typename Doc>
auto systemBytes(Doc& doc, int s) {
  return entry(doc, kDtmfSystems, kDtmfSystemCount, kDtmfSystemSize, s);
}
template <typename Doc>
auto encodeBytes(Doc& doc, int e) {
  return entry(doc, kDtmfEncodeStrings, kDtmfEncodeCount, kDtmfEncodeSize, e);
}
template <typename Doc>
auto decodeBytes(Doc& doc, int d) {
  return entry(doc, kDtmfDecodeEntries, kDtmfDecodeCount, kDtmfDecodeSize, d);
}

std::string digitsOf(ByteSpan record, BitField f) {
  if (record.size() < f.byte + 16u) return {};
  return unpackDtmfDigits(record[f.byte], record.subspan(f.byte + 1, 15));
}
bool packInto(MutableByteSpan record, BitField f, std::string_view text) {
  if (record.size() < f.byte + 16u) return false;
  packDtmfDigits(record.subspan(f.byte, 16), text, kDtmfDigitLimit);
  return true;
}

// A timing offered from `first` up: "%d ms" of 10 x code.
Choices timings(int first) {
  Choices c;
  return appendRange(c, first, 255, [](int n) { return ms(10 * n); });
}
Choices makeNextSequence() {
  Choices c;
  return appendRange(c, 2, 255, [](int n) { return tenths(n); });
}
Choices makeAutoReset() {
  Choices c;
  return appendRange(c, 1, 255, [](int n) { return num(n) + " secs"; });
}
Choices makeDKey() {
  Choices c{{"D Key", 0}};
  return appendRange(c, 1, 255, [](int n) { return ms(10 * n); });
}

const Choices& responseTypes() {
  static const Choices c{{"General", 0}, {"Kill", 1}, {"Stun", 2}, {"Active", 3}, {"Un-Stun", 4}};
  return c;
}
const Choices& decodeTypes() {
  static const Choices c{{"None", 0}, {"Sel Call", 1}};
  return c;
}
const Choices& ackDelays() {
  static const Choices c = [] {
    Choices d{{"Off", 0}};
    return appendRange(d, 1, 255, [](int n) { return ms(50 * n); });
  }();
  return c;
}

bool analogue(const CodePlugDocument& doc, int channelIndex) {
  return (u8(recordBytes(doc, ListId::Channels, channelIndex), 0) & 3) == 1;
}

}  // namespace

// ---- systems ----

const Choices& dtmfSystemChoices(DtmfSystemField field) {
  static const Choices pttId{{"None", 0}, {"Pre Only", 1}, {"Post Only", 2}, {"Pre & Post", 3}};
  static const Choices groupCode{{"None", 0}, {"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}, {"*", 5}, {"#", 6}};
  static const Choices nextSequence = makeNextSequence(), autoReset = makeAutoReset(), delay = timings(10),
                       time = timings(3), dKey = makeDKey(), none;
  switch (field) {
    case PttId:
      return pttId;
    case GroupCode:
      return groupCode;
    case NextSequence:
      return nextSequence;
    case AutoResetTime:
      return autoReset;
    case FirstDigitDelay:
      return delay;
    case FirstDigitTime:
    case DigitDurationTime:
    case DigitIntervalTime:
    case StarHashDigitTime:
      return time;
    case DKeyAssignment:
      return dKey;
    default:
      return none;
  }
}

std::optional<std::uint32_t> dtmfSystemCode(const CodePlugDocument& doc, int s, DtmfSystemField field) {
  const ByteSpan r = systemBytes(doc, s);
  if (r.empty() || isDigitString(bitsOf(field))) return std::nullopt;
  return get(r, bitsOf(field));
}

std::string dtmfSystemText(const CodePlugDocument& doc, int s, DtmfSystemField field) {
  const ByteSpan r = systemBytes(doc, s);
  if (r.empty()) return {};
  if (isDigitString(bitsOf(field))) return digitsOf(r, bitsOf(field));
  const std::uint32_t c = get(r, bitsOf(field));
  switch (field) {
    case SideTone:
      return c ? "Yes" : "";
    case StarHashDigitTime:
      return ms(10 * c);  // every code is a time, 0 included
    default:
      return textOfCode(dtmfSystemChoices(field), c).value_or("Unknown");
  }
}

void toggleSideTone(CodePlugDocument& doc, int s) {
  const MutableByteSpan r = systemBytes(doc, s);
  if (!r.empty()) set(r, bitsOf(SideTone), get(r, bitsOf(SideTone)) ^ 1u);
}

bool setSystemCode(CodePlugDocument& doc, int s, DtmfSystemField field, std::uint32_t code) {
  const MutableByteSpan r = systemBytes(doc, s);
  if (r.empty() || indexOfCode(dtmfSystemChoices(field), code) < 0) return false;
  set(r, bitsOf(field), code);
  return true;
}

bool setSystemDigits(CodePlugDocument& doc, int s, DtmfSystemField field, std::string_view text) {
  if (field != KeyUpEncode && field != KeyDownEncode) return false;
  return packInto(systemBytes(doc, s), bitsOf(field), text);
}

// ---- encode strings ----

std::string encodeDigits(const CodePlugDocument& doc, int e) {
  return digitsOf(encodeBytes(doc, e), kEncodeDigits);
}

bool encodePresent(const CodePlugDocument& doc, int e) { return u8(encodeBytes(doc, e), 0) != 0; }

bool setEncodeDigits(CodePlugDocument& doc, int e, std::string_view text) {
  // The radio needs a first encode string: clearing it leaves "#".
  const bool keepOne = e == 0 && trimControls(text).empty();
  return packInto(encodeBytes(doc, e), kEncodeDigits, keepOne ? "#" : text);
}

// ---- decode entries ----

Choices dtmfDecodeChoices(const CodePlugDocument& doc, DtmfDecodeField field) {
  switch (field) {
    case ResponseType:
      return responseTypes();
    case DecodeType:
      return decodeTypes();
    case AckDelayTime:
      return ackDelays();
    case Ack: {
      Choices c{{"None", 0}};
      for (int e = 0; e < kDtmfEncodeCount; ++e)
        if (encodePresent(doc, e)) c.push_back({"Encode " + num(e + 1), std::uint32_t(e + 1)});
      return c;
    }
    case RevertChannel:
      return recordChoices(doc, ListId::Channels, "Selected", [&](int i) { return analogue(doc, i); });
    case DtmfId:
      break;
  }
  return {};
}

std::optional<std::uint32_t> dtmfDecodeCode(const CodePlugDocument& doc, int d, DtmfDecodeField field) {
  const ByteSpan r = decodeBytes(doc, d);
  if (r.empty() || isDigitString(bitsOf(field))) return std::nullopt;
  return get(r, bitsOf(field));
}

std::string dtmfDecodeText(const CodePlugDocument& doc, int d, DtmfDecodeField field) {
  const ByteSpan r = decodeBytes(doc, d);
  if (r.empty()) return {};
  if (isDigitString(bitsOf(field))) return digitsOf(r, bitsOf(field));
  const std::uint32_t c = get(r, bitsOf(field));
  switch (field) {
    case ResponseType:
      return textOfCode(responseTypes(), c).value_or("Unknown " + num(c));
    case DecodeType:
      return textOfCode(decodeTypes(), c).value_or("Unknown " + num(c));
    case Ack:
      return c >= 1 && c <= std::uint32_t(kDtmfEncodeCount) ? "Encode " + num(c) : "None";
    case AckDelayTime:
      return c == 0 ? "Off" : ms(50 * c);
    case RevertChannel:
      return c >= 1 && c <= std::uint32_t(kChannelCount) ? recordName(doc, ListId::Channels, int(c) - 1)
                                                         : "Selected";
    case DtmfId:
      break;
  }
  return {};
}

bool setDecodeCode(CodePlugDocument& doc, int d, DtmfDecodeField field, std::uint32_t value) {
  const MutableByteSpan r = decodeBytes(doc, d);
  if (r.empty() || isDigitString(bitsOf(field))) return false;
  switch (field) {
    case RevertChannel:
      if (value > std::uint32_t(kChannelCount)) value = 0;
      break;
    case Ack:
      if (value > std::uint32_t(kDtmfEncodeCount)) return false;
      break;
    default:
      if (indexOfCode(dtmfDecodeChoices(doc, field), value) < 0) return false;
  }
  set(r, bitsOf(field), value);
  return true;
}

bool setDecodeId(CodePlugDocument& doc, int d, std::string_view text) {
  return packInto(decodeBytes(doc, d), bitsOf(DtmfId), text);
}

}  // namespace pw
