#include "channels/ChannelChoices.h"

#include <string>

#include "codeplug/Encodings.h"

namespace pw {
namespace {

using enum ChannelField;

std::string num(int n) { return std::to_string(n); }

ChannelChoices makeTimeout() {
  ChannelChoices c{{"Infinite ", 0}};
  return appendRange(c, 1, 37, [](int n) { return num(15 * n) + " secs"; });
}
ChannelChoices makeRekeyDelay() {
  ChannelChoices c{{"None", 0}};
  return appendRange(c, 1, 255, [](int n) { return num(n) + " secs"; });
}
ChannelChoices makeColourCode() {
  ChannelChoices c;
  return appendRange(c, 0, 15, [](int n) { return num(n) + " "; });
}
ChannelChoices makeGpsSystem() {
  ChannelChoices c{{"None ", 0}};
  return appendRange(c, 1, 16, [](int n) { return num(n) + " "; });
}
ChannelChoices makeSignalling() {
  ChannelChoices c{{"Off ", 0}};
  return appendRange(c, 1, 4, [](int n) { return "DTMF " + num(n) + " "; });
}
ChannelChoices makeTones() {
  ChannelChoices c;
  for (const auto& t : toneChoices()) c.push_back({t.text, t.word});
  return c;
}
ChannelChoices makeVoiceEncryption() {
  ChannelChoices c{{"None ", 0}};
  appendRange(c, 1, 16, [](int n) { return "Basic " + num(n) + " "; }, 99);
  return appendRange(c, 1, 8, [](int n) { return "Enhanced " + num(n) + " "; }, 199);
}

bool isTone(ChannelField f) { return f == RxTone || f == TxTone; }

}  // namespace

const ChannelChoices& fixedChoices(ChannelField field) {
  static const ChannelChoices admit{
      {"Always ", 0}, {"Channel Free ", 1}, {"Correct CTCSS / CDCSS ", 2}, {"Colour Code ", 3}};
  static const ChannelChoices timeout = makeTimeout(), rekey = makeRekeyDelay(), colour = makeColourCode(),
                              gps = makeGpsSystem(), signalling = makeSignalling(), tones = makeTones(), none;
  switch (field) {
    case AdmitCriteria: return admit;
    case TxTimeout: return timeout;
    case RekeyDelay: return rekey;
    case ColourCode: return colour;
    case GpsSystem: return gps;
    case RxSignalling:
    case TxSignalling: return signalling;
    case RxTone:
    case TxTone: return tones;
    default: return none;
  }
}

const ChannelChoices& buttonChoices(ChannelField field) {
  static const ChannelChoices mode{{"Auto", 0}, {"Analogue", 1}, {"Digital", 2}},
      bandwidth{{"12.5kHz", 0}, {"20kHz", 1}, {"25kHz", 2}}, squelch{{"Tight", 0}, {"Normal", 1}},
      power{{"Low", 0}, {"High", 1}}, reference{{"Low", 0}, {"Med", 1}, {"High", 2}},
      tailRevert{{"180", 0}, {"120", 1}}, slot{{"1", 1}, {"2", 2}}, none;
  switch (field) {
    case Mode: return mode;
    case Bandwidth: return bandwidth;
    case Squelch: return squelch;
    case TxPower: return power;
    case RxRefFrequency:
    case TxRefFrequency: return reference;
    case TailRevertPhase: return tailRevert;
    case RepeaterSlot: return slot;
    default: return none;
  }
}

const ChannelChoices& voiceEncryptionChoices() {
  static const ChannelChoices choices = makeVoiceEncryption();
  return choices;
}

std::optional<ListId> referredList(ChannelField field) {
  switch (field) {
    case EmergencySystem: return ListId::EmergencySystems;
    case ScanList: return ListId::ScanLists;
    case Contact: return ListId::Contacts;
    case RxGroupList: return ListId::RxGroupLists;
    default: return std::nullopt;
  }
}

ChannelChoices referenceChoices(const CodePlugDocument& doc, ListId list) {
  return recordChoices(doc, list, "None");
}

int choiceIndex(ChannelField field, const ChannelChoices& choices, std::optional<std::uint32_t> value) {
  if (!value) return -1;
  const std::uint32_t code = isTone(field) && *value == 0 ? 0xFFFF : *value;
  for (std::size_t i = 0; i < choices.size(); ++i)
    if (choices[i].code == code) return int(i);
  return -1;
}

std::uint32_t channelPrivacyCode(const CodePlugDocument& doc, int s) {
  return privacyCode({channelField(doc, s, PrivacyType), channelField(doc, s, PrivacyIndex)});
}

bool setChannelPrivacy(CodePlugDocument& doc, int s, std::uint32_t code) {
  if (choiceIndex(PrivacyType, voiceEncryptionChoices(), code) < 0) return false;
  const PrivacySelection p = privacySelection(code);
  return setChannelField(doc, s, PrivacyType, p.type) && setChannelField(doc, s, PrivacyIndex, p.index);
}

std::optional<std::uint32_t> sharedPrivacyCode(const CodePlugDocument& doc, const std::vector<int>& rows) {
  const auto index = sharedValue(doc, rows, PrivacyIndex);
  if (!index) return std::nullopt;
  return privacyCode({sharedValue(doc, rows, PrivacyType).value_or(0), *index});
}

}  // namespace pw
