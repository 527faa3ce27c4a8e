#include "textform/FieldCatalogue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "channels/ChannelChoices.h"
#include "channels/ChannelRecord.h"
#include "codeplug/Encodings.h"
#include "codeplug/Layout.h"
#include "contacts/ContactList.h"
#include "digital/EmergencySystems.h"
#include "membership/ScanListSettings.h"

namespace pw::text {
namespace {

// ---- choices the sections keep elsewhere, as the one Choices shape ----

template <ChannelField F>
const Choices& channelChoices() {
  return fixedChoices(F).empty() ? buttonChoices(F) : fixedChoices(F);
}
const Choices& voiceEncryption() { return voiceEncryptionChoices(); }
const Choices& noneChoice() {
  static const Choices c{{"None", 0}};
  return c;
}

template <EmergencyField F>
const Choices& emergencyChoices() {
  // Only the revert channel's choices read the document, and that one is a reference here.
  static const Choices c = emergencyFieldChoices(CodePlugDocument{}, F);
  return c;
}
template <RemoteSetting F>
const Choices& remoteChoices() {
  return remoteSettingChoices(F);
}

const Choices& callTypes() {
  static const Choices c = [] {
    Choices t;
    return appendRange(t, 0, 7, [](int n) { return std::string(callTypeText(n)); });
  }();
  return c;
}

Choices fromScanChoices(const ScanChoices& s) {
  Choices c;
  for (const ScanChoice& x : s) c.push_back({x.text, x.value});
  return c;
}
const Choices& holdTimes() {
  static const Choices c = fromScanChoices(signallingHoldTimeChoices());
  return c;
}
const Choices& sampleTimes() {
  static const Choices c = fromScanChoices(prioritySampleTimeChoices());
  return c;
}
const Choices& priorityChannelSpecials() {
  static const Choices c{{"Selected", kSelectedChannel}, {"None", kNoChannel}};
  return c;
}
const Choices& designatedChannelSpecials() {
  static const Choices c{{"Selected", kSelectedChannel}, {"Last Active Channel", kNoChannel}};
  return c;
}

const Choices& frequencyRanges() {
  static const Choices c = [] {
    Choices r;
    return appendRange(r, 0, 3, [](int code) {
      const Band b = bandFor(code);
      return std::to_string(b.lowHz / 1000000) + "-" + std::to_string(b.highHz / 1000000) + " MHz";
    });
  }();
  return c;
}

// The channel's voice encryption is one choice over two fields: the key type and the index.
std::uint32_t readPrivacy(ByteSpan r) {
  return 100 * get(r, bitsOf(ChannelField::PrivacyType)) + get(r, bitsOf(ChannelField::PrivacyIndex));
}
void writePrivacy(MutableByteSpan r, std::uint32_t v) {
  set(r, bitsOf(ChannelField::PrivacyType), v / 100);
  set(r, bitsOf(ChannelField::PrivacyIndex), v % 100);
}
bool holdsPrivacy(std::uint32_t v) {
  return v / 100 <= fieldMask(bitsOf(ChannelField::PrivacyType)) &&
         v % 100 <= fieldMask(bitsOf(ChannelField::PrivacyIndex));
}
const Accessor kPrivacy{.read = readPrivacy, .write = writePrivacy, .holds = holdsPrivacy};

// ---- the sections ----
using F = ChannelField;
using E = EmergencyField;
using R = RemoteSetting;
using S = ScanListField;

constexpr BitField scanBits(S f) { return kScanListFields[int(f)].bits; }

// clang-format off: one row per field
// The radio information block: only the frequency range is read by the editor.
const FieldDesc kRadioText[] = {
    {.key = "frequency_range", .bits = {kFileFrequencyRange - kFileRadioInfo, 0, 2}, .kind = Kind::Choice, .choices = frequencyRanges},
};

const FieldDesc kEmergencySettingsText[] = {
    {.key = "radio_disable_decode", .bits = bitsOf(R::RadioDisableDecode), .kind = Kind::Flag},
    {.key = "remote_monitor_decode", .bits = bitsOf(R::RemoteMonitorDecode), .kind = Kind::Flag},
    {.key = "emergency_remote_monitor_decode", .bits = bitsOf(R::EmergencyRemoteMonitorDecode), .kind = Kind::Flag},
    {.key = "remote_monitor_duration", .bits = bitsOf(R::RemoteMonitorDuration), .kind = Kind::Choice, .choices = remoteChoices<R::RemoteMonitorDuration>},
    {.key = "remote_sync_wakeup", .bits = bitsOf(R::RemoteSyncWakeup), .kind = Kind::Choice, .choices = remoteChoices<R::RemoteSyncWakeup>},
    {.key = "tx_wakeup_message_limit", .bits = bitsOf(R::TxWakeupMessageLimit), .kind = Kind::Choice, .choices = remoteChoices<R::TxWakeupMessageLimit>},
};

const FieldDesc kEmergencySystemText[] = {
    {.key = "alarm_type", .bits = bitsOf(E::AlarmType), .kind = Kind::Choice, .choices = emergencyChoices<E::AlarmType>},
    {.key = "alarm_mode", .bits = bitsOf(E::AlarmMode), .kind = Kind::Choice, .choices = emergencyChoices<E::AlarmMode>},
    {.key = "impolite_retries", .bits = bitsOf(E::ImpoliteRetries), .kind = Kind::Choice, .choices = emergencyChoices<E::ImpoliteRetries>},
    {.key = "polite_retries", .bits = bitsOf(E::PoliteRetries), .kind = Kind::Choice, .choices = emergencyChoices<E::PoliteRetries>},
    {.key = "hot_mic_duration", .bits = bitsOf(E::HotMicDuration), .kind = Kind::Choice, .choices = emergencyChoices<E::HotMicDuration>},
    {.key = "revert_channel", .bits = bitsOf(E::RevertChannel), .kind = Kind::Reference, .choices = noneChoice, .referred = ListId::Channels},
};

const FieldDesc kContactText[] = {
    {.key = "call_id", .bits = kContactCallId, .kind = Kind::Number},
    {.key = "call_type", .bits = kContactCallType, .kind = Kind::Choice, .choices = callTypes},
    {.key = "rx_tone", .bits = kContactRxTone, .kind = Kind::Flag},
};

const FieldDesc kScanListText[] = {
    {.key = "priority_channel_1", .bits = scanBits(S::PriorityChannel1), .kind = Kind::Reference, .choices = priorityChannelSpecials, .referred = ListId::Channels},
    {.key = "priority_channel_2", .bits = scanBits(S::PriorityChannel2), .kind = Kind::Reference, .choices = priorityChannelSpecials, .referred = ListId::Channels},
    {.key = "tx_designated_channel", .bits = scanBits(S::TxDesignatedChannel), .kind = Kind::Reference, .choices = designatedChannelSpecials, .referred = ListId::Channels},
    {.key = "signalling_hold_time", .bits = scanBits(S::SignallingHoldTime), .kind = Kind::Choice, .choices = holdTimes},
    {.key = "priority_sample_time", .bits = scanBits(S::PrioritySampleTime), .kind = Kind::Choice, .choices = sampleTimes},
};

constexpr FieldDesc flag(const char* key, F f) {
  return {.key = key, .bits = bitsOf(f), .kind = Kind::Flag, .inverted = storedInverted(f)};
}
template <F f>
constexpr FieldDesc choice(const char* key) {
  return {.key = key, .bits = bitsOf(f), .kind = Kind::Choice, .choices = channelChoices<f>};
}
constexpr FieldDesc reference(const char* key, F f, ListId list) {
  return {.key = key, .bits = bitsOf(f), .kind = Kind::Reference, .choices = noneChoice, .referred = list};
}
const FieldDesc kChannelText[] = {
    choice<F::Mode>("mode"),
    choice<F::Bandwidth>("bandwidth"),
    {.key = "rx_frequency", .bits = bitsOf(F::RxFrequency), .kind = Kind::Frequency},
    {.key = "tx_frequency", .bits = bitsOf(F::TxFrequency), .kind = Kind::Frequency},
    choice<F::Squelch>("squelch"),
    choice<F::TxPower>("tx_power"),
    choice<F::RxRefFrequency>("rx_ref_frequency"),
    choice<F::TxRefFrequency>("tx_ref_frequency"),
    choice<F::AdmitCriteria>("admit_criteria"),
    reference("scan_list", F::ScanList, ListId::ScanLists),
    choice<F::TxTimeout>("tx_timeout"),
    choice<F::RekeyDelay>("rekey_delay"),
    flag("auto_scan", F::AutoScan),
    flag("rx_only", F::RxOnly),
    flag("vox", F::Vox),
    flag("lone_worker", F::LoneWorker),
    flag("allow_talkaround", F::AllowTalkaround),
    flag("rx_gps_info", F::RxGpsInfo),
    flag("tx_gps_info", F::TxGpsInfo),
    flag("private_call_confirmed", F::PrivateCallConfirmed),
    flag("data_call_confirmed", F::DataCallConfirmed),
    flag("emergency_alarm_ack", F::EmergencyAlarmAck),
    flag("compressed_udp_header", F::CompressedUdpHeader),
    reference("emergency_system", F::EmergencySystem, ListId::EmergencySystems),
    reference("contact", F::Contact, ListId::Contacts),
    reference("rx_group_list", F::RxGroupList, ListId::RxGroupLists),
    choice<F::ColourCode>("colour_code"),
    choice<F::RepeaterSlot>("repeater_slot"),
    {.key = "voice_encryption", .kind = Kind::Choice, .choices = voiceEncryption, .accessor = &kPrivacy},
    choice<F::GpsSystem>("gps_system"),
    choice<F::RxTone>("rx_tone"),
    choice<F::TxTone>("tx_tone"),
    choice<F::TailRevertPhase>("tail_revert"),
    flag("reverse_burst", F::ReverseBurst),
    choice<F::RxSignalling>("rx_signalling"),
    choice<F::TxSignalling>("tx_signalling"),
    flag("display_ptt_id", F::DisplayPttId),
    flag("dtmf_decode_1", F::DtmfDecode1), flag("dtmf_decode_2", F::DtmfDecode2),
    flag("dtmf_decode_3", F::DtmfDecode3), flag("dtmf_decode_4", F::DtmfDecode4),
    flag("dtmf_decode_5", F::DtmfDecode5), flag("dtmf_decode_6", F::DtmfDecode6),
    flag("dtmf_decode_7", F::DtmfDecode7), flag("dtmf_decode_8", F::DtmfDecode8),
};

// In the order of the tabs; the radio information first because the channels' fresh
// values depend on its frequency range.
const SectionDesc kSections[] = {
    {.key = "radio", .fileOffset = kFileRadioInfo, .size = kImageBase - kFileRadioInfo, .fields = kRadioText},
    {.key = "text_messages", .list = ListId::TextMessages, .fields = {}, .nameKey = "text"},
    {.key = "emergency_settings", .fileOffset = fileOffset(kEmergencySection), .size = kEmergencyHeaderSize, .fields = kEmergencySettingsText},
    {.key = "emergency_systems", .list = ListId::EmergencySystems, .fields = kEmergencySystemText},
    {.key = "contacts", .list = ListId::Contacts, .fields = kContactText},
    {.key = "rx_group_lists", .list = ListId::RxGroupLists, .fields = {}},
    {.key = "zones", .list = ListId::Zones, .fields = {}},
    {.key = "scan_lists", .list = ListId::ScanLists, .fields = kScanListText},
    {.key = "channels", .list = ListId::Channels, .fields = kChannelText},
};
// clang-format on

std::string_view trimmed(std::string_view s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

bool sameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
  });
}

std::uint32_t maxOf(const FieldDesc& f) { return fieldMask(f.bits); }

std::string hexWord(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}

std::string referredName(const CodePlugDocument& doc, ListId list, std::uint32_t v) {
  const RecordListLayout& l = layoutOf(list);
  if (v < 1 || v > std::uint32_t(l.count)) return std::string("beyond the ") + l.title;
  if (!inUse(doc, list, int(v) - 1)) return std::string("free record of the ") + l.title;
  return recordName(doc, list, int(v) - 1);
}

std::optional<std::uint32_t> parseFlag(std::string_view text) {
  const std::string_view t = trimmed(text);
  for (const char* on : {"on", "yes", "true"})
    if (sameText(t, on)) return 1;
  for (const char* off : {"off", "no", "false"})
    if (sameText(t, off)) return 0;
  return std::nullopt;
}

}  // namespace

std::span<const SectionDesc> catalogue() { return kSections; }

const SectionDesc* findSection(std::string_view key) {
  for (const SectionDesc& s : kSections)
    if (key == s.key) return &s;
  return nullptr;
}

const FieldDesc* findField(const SectionDesc& section, std::string_view key) {
  for (const FieldDesc& f : section.fields)
    if (key == f.key) return &f;
  return nullptr;
}

std::uint32_t readField(ByteSpan record, const FieldDesc& f) {
  return f.accessor ? f.accessor->read(record) : get(record, f.bits);
}

void writeField(MutableByteSpan record, const FieldDesc& f, std::uint32_t value) {
  if (f.accessor)
    f.accessor->write(record, value);
  else
    set(record, f.bits, value);
}

bool fieldHolds(const FieldDesc& f, std::uint32_t value) {
  return f.accessor ? f.accessor->holds(value) : value <= maxOf(f);
}

std::optional<std::uint32_t> parseNumber(std::string_view text, std::uint32_t max) {
  const std::string_view t = trimmed(text);
  const bool hex = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
  const std::string_view digits = hex ? t.substr(2) : t;
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : digits) {
    const int d = std::isdigit((unsigned char)c)           ? c - '0'
                  : hex && std::isxdigit((unsigned char)c) ? std::tolower((unsigned char)c) - 'a' + 10
                                                           : -1;
    if (d < 0) return std::nullopt;
    v = v * (hex ? 16 : 10) + std::uint64_t(d);
  }
  if (v > max) return std::nullopt;
  return std::uint32_t(v);
}

std::optional<std::uint32_t> parseField(const CodePlugDocument& doc, const FieldDesc& f,
                                        std::string_view text) {
  const auto holds = [&f](std::optional<std::uint32_t> v) {
    return v && fieldHolds(f, *v) ? v : std::nullopt;
  };
  const std::uint32_t widest = f.accessor ? 0xFFFFFFFFu : maxOf(f);
  switch (f.kind) {
    case Kind::Flag:
      if (const auto on = parseFlag(text)) return *on != std::uint32_t(f.inverted);
      break;
    case Kind::Choice:
    case Kind::Reference:
      if (f.choices)
        for (const Choice& c : f.choices())
          if (sameText(trimmed(c.text), trimmed(text))) return holds(c.code);
      break;
    case Kind::Frequency: {
      const std::string_view t = trimmed(text);
      if (t.size() < 2 || (t[1] != 'x' && t[1] != 'X'))
        return holds(parseFrequency(t, doc.frequencyRangeCode()));
      break;
    }
    case Kind::Number:
      break;
  }
  return holds(parseNumber(text, widest));
}

Shown renderField(const CodePlugDocument& doc, const FieldDesc& f, std::uint32_t value) {
  Shown shown;
  switch (f.kind) {
    case Kind::Flag:
      shown.text = (value != 0) != f.inverted ? "on" : "off";
      break;
    case Kind::Number:
      shown.text = std::to_string(value);
      break;
    case Kind::Choice:
    case Kind::Reference: {
      const auto text = f.choices ? textOfCode(f.choices(), value) : std::nullopt;
      if (text) {
        shown.text = std::string(trimmed(*text));
      } else if (f.kind == Kind::Reference) {
        shown.text = std::to_string(value);
        shown.comment = referredName(doc, f.referred, value);
      } else {
        shown.text = std::to_string(value);
        shown.comment = "no choice carries " + std::to_string(value);
      }
      break;
    }
    case Kind::Frequency:
      shown.text = frequencyText(value);
      break;
  }
  // A text that reads back as another value (shown alike, clamped, not a choice of its
  // own) is written as the stored number with what the tab shows beside it.
  if (parseField(doc, f, shown.text) != value) {
    if (shown.comment.empty()) shown.comment = "shows " + shown.text;
    shown.text = f.kind == Kind::Frequency ? hexWord(value) : std::to_string(value);
  }
  return shown;
}

std::string nameText(ByteSpan units, int count) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (u16le(units, 2 * std::size_t(i)) == 0) break;
    const std::uint8_t c = u8(units, 2 * std::size_t(i));
    if (c == '\\') {
      text += "\\\\";
    } else if (c >= 32 && c < 127) {
      text += char(c);
    } else {
      text += "\\x";
      text += kHex[c >> 4];
      text += kHex[c & 15];
    }
  }
  return text;
}

std::optional<std::string> unescapeName(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      out += '\\';
      ++i;
      continue;
    }
    if (i + 3 >= text.size() || text[i + 1] != 'x') return std::nullopt;
    const auto byte = parseNumber("0x" + std::string(text.substr(i + 2, 2)), 0xFF);
    if (!byte) return std::nullopt;
    out += char(*byte);
    i += 3;
  }
  return out;
}

}  // namespace pw::text
