#include "textform/FieldCatalogue.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "channels/ChannelChoices.h"
#include "channels/ChannelRecord.h"
#include "codeplug/Encodings.h"
#include "codeplug/Layout.h"
#include "contacts/ContactList.h"
#include "digital/EmergencySystems.h"
#include "digital/PrivacyKeys.h"
#include "membership/ScanListSettings.h"
#include "settings/BasicInfo.h"
#include "settings/Buttons.h"
#include "settings/GeneralSettings.h"
#include "settings/MenuSettings.h"
#include "signalling/Dtmf.h"
#include "signalling/Gps.h"

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

// What the Basic tab shows besides the range; none of it is ever written.
const ShownValue kRadioShown[] = {
    {"model_name", [](const CodePlugDocument& d) { return readBasicInfo(d).modelName; }},
    {"cps_software_version", [](const CodePlugDocument& d) { return readBasicInfo(d).cpsSoftwareVersion; }},
    {"hardware_version", [](const CodePlugDocument& d) { return readBasicInfo(d).hardwareVersion; }},
    {"mcu_version", [](const CodePlugDocument& d) { return readBasicInfo(d).mcuVersion; }},
    {"unique_device_id", [](const CodePlugDocument& d) { return readBasicInfo(d).uniqueDeviceId; }},
    {"last_programmed_date", [](const CodePlugDocument& d) { return readBasicInfo(d).lastProgrammedDate; }},
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

// ---- texts of whole bytes ----

// The General tab's texts: the character in each unit's low byte, up to a low byte of 0
// or 0xFF; stored with a high byte of 0 and zeros after the text.
const TextCodec kGeneralTextCodec{
    .render = [](ByteSpan b) { return escapeText(nameBytes(b, int(b.size() / 2))); },
    .parse =
        [](std::string_view text, MutableByteSpan b) {
          const auto bytes = unescapeName(text);
          if (!bytes || 2 * bytes->size() > b.size()) return false;
          std::fill(b.begin(), b.end(), 0);
          for (std::size_t i = 0; i < bytes->size(); ++i) b[2 * i] = std::uint8_t((*bytes)[i]);
          return true;
        }};

// A key in hex as the tab shows it, the last byte first.
const TextCodec kKeyCodec{.render = [](ByteSpan b) { return keyText(b); },
                          .parse =
                              [](std::string_view text, MutableByteSpan b) {
                                const auto bytes = keyBytes(text, int(b.size()));
                                if (bytes) std::copy(bytes->begin(), bytes->end(), b.begin());
                                return bytes.has_value();
                              }};

// The two digit passwords: the bytes' digits in order, high nibble first; empty when the
// password is not set (all 0xFF).
const TextCodec kDigitPasswordCodec{
    .render =
        [](ByteSpan b) {
          if (std::all_of(b.begin(), b.end(), [](std::uint8_t x) { return x == 0xFF; })) return std::string();
          static constexpr char kHex[] = "0123456789abcdef";
          std::string digits;
          for (std::uint8_t x : b) digits += {kHex[x >> 4], kHex[x & 15]};
          return digits;
        },
    .parse =
        [](std::string_view text, MutableByteSpan b) {
          if (text.empty()) {
            std::fill(b.begin(), b.end(), 0xFF);
            return true;
          }
          if (text.size() != 2 * b.size()) return false;
          for (std::size_t i = 0; i < b.size(); ++i) {
            const auto x = parseNumber("0x" + std::string(text.substr(2 * i, 2)), 0xFF);
            if (!x) return false;
            b[i] = std::uint8_t(*x);
          }
          return true;
        }};

// The PC programming password: up to 8 characters, a 0 after a shorter text, 0xFF beyond.
const TextCodec kPcPasswordCodec{
    .render =
        [](ByteSpan b) {
          std::string bytes;
          for (std::size_t i = 0; i < b.size() && b[i] != 0x00 && b[i] != 0xFF; ++i) bytes += char(b[i]);
          return escapeText(bytes);
        },
    .parse =
        [](std::string_view text, MutableByteSpan b) {
          const auto bytes = unescapeName(text);
          if (!bytes || bytes->size() > b.size() ||
              bytes->find_first_of(std::string("\0\xff", 2)) != std::string::npos)
            return false;
          std::fill(b.begin(), b.end(), 0xFF);
          std::copy(bytes->begin(), bytes->end(), b.begin());
          if (!bytes->empty() && bytes->size() < b.size()) b[bytes->size()] = 0;
          return true;
        }};

// A count byte and up to 30 DTMF digits; a text with anything else is refused, not filtered.
const TextCodec kDtmfDigitsCodec{
    .render = [](ByteSpan b) { return unpackDtmfDigits(b[0], b.subspan(1)); },
    .parse =
        [](std::string_view text, MutableByteSpan b) {
          if (text.size() > std::size_t(kDtmfDigitLimit) ||
              text.find_first_not_of("0123456789ABCD*#") != std::string_view::npos)
            return false;
          packDtmfDigits(b, text);
          return true;
        }};

constexpr FieldDesc textField(const char* key, ByteRange range, const TextCodec& codec) {
  return {.key = key, .codec = &codec, .range = range};
}

// ---- the settings sections: blocks and fixed tables ----
using G = GeneralField;
using M = MenuField;
using B = ButtonSetting;
using O = OneTouchField;
using DS = DtmfSystemField;
using DD = DtmfDecodeField;

template <G g>
const Choices& generalChoicesOf() {
  return generalChoices(g);
}
template <G g>
constexpr FieldDesc general(const char* key) {
  return {.key = key, .bits = bitsOf(g), .kind = Kind::Choice, .choices = generalChoicesOf<g>};
}
constexpr FieldDesc generalFlag(const char* key, G g) {
  return {.key = key, .bits = bitsOf(g), .kind = Kind::Flag};
}

// clang-format off
const FieldDesc kGeneralText[] = {
    {.key = "radio_id", .bits = bitsOf(G::RadioId), .kind = Kind::Number},
    generalFlag("disable_all_leds", G::LedSetting),
    general<G::MonitorType>("monitor_type"),
    generalFlag("save_preamble", G::SavePreamble),
    generalFlag("save_mode_rx", G::SaveModeRx),
    generalFlag("all_tones", G::AllTones),
    generalFlag("channel_free_tone", G::ChannelFreeTone),
    {.key = "power_on_password", .bits = bitsOf(G::PowerOnPasswordOff), .kind = Kind::Flag, .inverted = true},
    general<G::TalkPermitTone>("talk_permit_tone"),
    generalFlag("intro_screen_picture", G::IntroScreenPicture),
    general<G::TxPreambleDuration>("tx_preamble_duration"),
    general<G::GroupCallHangTime>("group_call_hang_time"),
    general<G::PrivateCallHangTime>("private_call_hang_time"),
    general<G::VoxSensitivity>("vox_sensitivity"),
    general<G::RxLowBatteryInterval>("rx_low_battery_interval"),
    general<G::CallAlertToneDuration>("call_alert_tone_duration"),
    general<G::LoneWorkerResponseTime>("lone_worker_response_time"),
    general<G::LoneWorkerReminderTime>("lone_worker_reminder_time"),
    general<G::ScanDigitalHangTime>("scan_digital_hang_time"),
    general<G::ScanAnalogueHangTime>("scan_analogue_hang_time"),
    general<G::BacklightTime>("backlight_time"),
    general<G::KeypadLockTime>("keypad_lock_time"),
    textField("radio_name", bytesOf(GeneralBytes::RadioName), kGeneralTextCodec),
    textField("boot_line_1", bytesOf(GeneralBytes::BootLine1), kGeneralTextCodec),
    textField("boot_line_2", bytesOf(GeneralBytes::BootLine2), kGeneralTextCodec),
    textField("power_on_password_digits", bytesOf(GeneralBytes::PowerOnPassword), kDigitPasswordCodec),
    textField("radio_program_password", bytesOf(GeneralBytes::RadioProgramPassword), kDigitPasswordCodec),
    textField("pc_programming_password", bytesOf(GeneralBytes::PcProgrammingPassword), kPcPasswordCodec),
};
// clang-format on

constexpr FieldDesc menuEntry(const char* key, M m) {
  return {.key = key, .bits = bitsOf(m), .kind = Kind::Flag, .inverted = storedInverted(m)};
}
// clang-format off
const FieldDesc kMenuText[] = {
    {.key = "hang_time", .bits = bitsOf(M::HangTime), .kind = Kind::Choice, .choices = menuHangTimeChoices},
    menuEntry("text_message", M::TextMessage),
    menuEntry("call_alert", M::ContactsCallAlert),
    menuEntry("edit_contact", M::ContactsEdit),
    menuEntry("manual_dial", M::ContactsManualDial),
    menuEntry("radio_check", M::ContactsRadioCheck),
    menuEntry("remote_monitor", M::ContactsRemoteMonitor),
    menuEntry("radio_enable", M::ContactsRadioEnable),
    menuEntry("radio_disable", M::ContactsRadioDisable),
    menuEntry("program_key", M::ContactsProgramKey),
    menuEntry("scan", M::ScanScan),
    menuEntry("edit_scan_list", M::ScanEditList),
    menuEntry("missed_calls", M::CallLogMissed),
    menuEntry("answered_calls", M::CallLogAnswered),
    menuEntry("outgoing_radio", M::CallLogOutgoingRadio),
    menuEntry("talkaround", M::UtilitiesTalkAround),
    menuEntry("tone_or_alert", M::UtilitiesToneOrAlert),
    menuEntry("power", M::UtilitiesPower),
    menuEntry("backlight", M::UtilitiesBackLight),
    menuEntry("intro_screen", M::UtilitiesIntroScreen),
    menuEntry("keypad_lock", M::UtilitiesKeyPadLock),
    menuEntry("led_indicator", M::UtilitiesLedIndicator),
    menuEntry("squelch", M::UtilitiesSquelch),
    menuEntry("vox", M::UtilitiesVox),
    menuEntry("password_and_lock", M::UtilitiesPasswordAndLock),
    menuEntry("display_mode", M::UtilitiesDisplayMode),
    menuEntry("program_radio", M::UtilitiesProgramRadio),
    menuEntry("gps", M::UtilitiesGps),
};
// clang-format on

template <B b>
const Choices& buttonChoices() {
  return buttonSettingChoices(b);
}
template <B b>
constexpr FieldDesc sideButton(const char* key) {
  return {.key = key,
          .bits = kButtonSettingFields[int(b)].bits,
          .kind = Kind::Choice,
          .choices = buttonChoices<b>};
}
const FieldDesc kButtonText[] = {
    sideButton<B::UpperSideShort>("upper_side_short"),       sideButton<B::UpperSideLong>("upper_side_long"),
    sideButton<B::LowerSideShort>("lower_side_short"),       sideButton<B::LowerSideLong>("lower_side_long"),
    sideButton<B::LongPressDuration>("long_press_duration"),
};

const Choices& oneTouchModes() {
  static const Choices c{
      {"None", kOneTouchNone}, {"Digital", kOneTouchDigital}, {"Analogue", kOneTouchAnalogue}};
  return c;
}
// The low four bits hold the call type and the analogue mark together, as the tab writes
// them: Call 0 and Text Message 1 for Digital, DTMF-1..4 as 8..11 for Analogue. The number
// is a message or an encode string by the mode: the stored number says it in one way.
const Choices& oneTouchCallTypes() {
  static const Choices c = [] {
    Choices t{{"Call", 0}, {"Text Message", 1}};
    return appendRange(t, 8, 11, [](int n) { return "DTMF-" + std::to_string(n - 7); });
  }();
  return c;
}
const FieldDesc kOneTouchText[] = {
    {.key = "mode", .bits = bitsOf(O::Mode), .kind = Kind::Choice, .choices = oneTouchModes},
    {.key = "call_type", .bits = {0, 0, 4}, .kind = Kind::Choice, .choices = oneTouchCallTypes},
    {.key = "message_or_encode", .bits = bitsOf(O::Number), .kind = Kind::Number},
    {.key = "contact",
     .bits = bitsOf(O::Contact),
     .kind = Kind::Reference,
     .choices = noneChoice,
     .referred = ListId::Contacts},
};

// Number key k is named by its key, as on the tab ("Key 0" .. "Key 9").
constexpr FieldDesc numberKey(const char* key, int k) {
  return {.key = key,
          .bits = {std::uint16_t(2 * k), 0, 16},
          .kind = Kind::Reference,
          .choices = noneChoice,
          .referred = ListId::Contacts};
}
const FieldDesc kNumberKeyText[] = {
    numberKey("key_0", 0), numberKey("key_1", 1), numberKey("key_2", 2), numberKey("key_3", 3),
    numberKey("key_4", 4), numberKey("key_5", 5), numberKey("key_6", 6), numberKey("key_7", 7),
    numberKey("key_8", 8), numberKey("key_9", 9),
};

const FieldDesc kEnhancedKeyText[] = {
    textField("key", {0, kEnhancedKeySize}, kKeyCodec),
};

const FieldDesc kEncodeStringText[] = {
    textField("digits", {0, kDtmfEncodeSize}, kDtmfDigitsCodec),
};

const FieldDesc kBasicKeyText[] = {
    {.key = "key", .bits = {0, 0, 8 * kBasicKeySize}, .kind = Kind::Hex},
};

template <DS f>
const Choices& dtmfSystemChoicesOf() {
  return dtmfSystemChoices(f);
}
template <DS f>
constexpr FieldDesc dtmfSystem(const char* key) {
  return {.key = key, .bits = bitsOf(f), .kind = Kind::Choice, .choices = dtmfSystemChoicesOf<f>};
}
const FieldDesc kDtmfSystemText[] = {
    dtmfSystem<DS::FirstDigitDelay>("first_digit_delay"),
    dtmfSystem<DS::FirstDigitTime>("first_digit_time"),
    dtmfSystem<DS::DigitDurationTime>("digit_duration_time"),
    dtmfSystem<DS::DigitIntervalTime>("digit_interval_time"),
    dtmfSystem<DS::StarHashDigitTime>("star_hash_digit_time"),
    dtmfSystem<DS::DKeyAssignment>("d_key_assignment"),
    dtmfSystem<DS::NextSequence>("next_sequence"),
    dtmfSystem<DS::AutoResetTime>("auto_reset_time"),
    {.key = "side_tone", .bits = bitsOf(DS::SideTone), .kind = Kind::Flag},
    dtmfSystem<DS::PttId>("ptt_id"),
    dtmfSystem<DS::GroupCode>("group_code"),
    textField("key_up_encode", {16, 16}, kDtmfDigitsCodec),
    textField("key_down_encode", {32, 16}, kDtmfDigitsCodec),
};

template <DD f>
const Choices& dtmfDecodeChoicesOf() {
  // Only the acknowledgement's and revert channel's choices read the document; both are
  // described on their own below.
  static const Choices c = dtmfDecodeChoices(CodePlugDocument{}, f);
  return c;
}
const Choices& encodeStrings() {
  static const Choices c = [] {
    Choices e{{"None", 0}};
    return appendRange(e, 1, kDtmfEncodeCount, [](int n) { return "Encode " + std::to_string(n); });
  }();
  return c;
}
const Choices& selectedChannel() {
  static const Choices c{{"Selected", 0}};
  return c;
}
const FieldDesc kDtmfDecodeText[] = {
    {.key = "response_type",
     .bits = bitsOf(DD::ResponseType),
     .kind = Kind::Choice,
     .choices = dtmfDecodeChoicesOf<DD::ResponseType>},
    {.key = "decode_type",
     .bits = bitsOf(DD::DecodeType),
     .kind = Kind::Choice,
     .choices = dtmfDecodeChoicesOf<DD::DecodeType>},
    {.key = "ack", .bits = bitsOf(DD::Ack), .kind = Kind::Choice, .choices = encodeStrings},
    {.key = "ack_delay_time",
     .bits = bitsOf(DD::AckDelayTime),
     .kind = Kind::Choice,
     .choices = dtmfDecodeChoicesOf<DD::AckDelayTime>},
    {.key = "revert_channel",
     .bits = bitsOf(DD::RevertChannel),
     .kind = Kind::Reference,
     .choices = selectedChannel,
     .referred = ListId::Channels},
    textField("dtmf_id", {0, 16}, kDtmfDigitsCodec),
};

// GPS systems 2..16 store "no setting" as all ones: shown alike, so written as the number.
const Choices& currentChannel() {
  static const Choices c{{"Current Channel", 0}, {"Current Channel", 0xFFFF}};
  return c;
}
const Choices& gpsNoContact() {
  static const Choices c{{"None", 0}, {"None", 0xFFFF}};
  return c;
}
const Choices& reportIntervals() {
  static const Choices c = [] {
    Choices i = gpsChoices(CodePlugDocument{}, GpsField::ReportInterval);
    i.push_back({"Off", 0xFF});
    return i;
  }();
  return c;
}
const FieldDesc kGpsText[] = {
    {.key = "revert_channel",
     .bits = bitsOf(GpsField::RevertChannel),
     .kind = Kind::Reference,
     .choices = currentChannel,
     .referred = ListId::Channels},
    {.key = "report_interval",
     .bits = bitsOf(GpsField::ReportInterval),
     .kind = Kind::Choice,
     .choices = reportIntervals},
    {.key = "contact",
     .bits = bitsOf(GpsField::Contact),
     .kind = Kind::Reference,
     .choices = gpsNoContact,
     .referred = ListId::Contacts},
};

// In the order of the tabs; the radio information first because the channels' fresh
// values depend on its frequency range.
const SectionDesc kSections[] = {
    {.key = "radio", .section = PlugSection::Radio,
     .fileOffset = kFileRadioInfo,
     .size = kImageBase - kFileRadioInfo,
     .fields = kRadioText,
     .shown = kRadioShown},
    {.key = "general_settings", .section = PlugSection::GeneralSettings,
     .list = {},
     .fileOffset = fileOffset(kGeneralSettings),
     .size = kGeneralSettingsSize,
     .fields = kGeneralText},
    {.key = "menus", .section = PlugSection::Menus,
     .list = {},
     .fileOffset = fileOffset(kMenuSettings),
     .size = kMenuSettingsSize,
     .fields = kMenuText},
    {.key = "side_buttons", .section = PlugSection::SideButtons,
     .list = {},
     .fileOffset = fileOffset(kSideButtons),
     .size = kSideButtonsSize,
     .fields = kButtonText},
    {.key = "one_touch_access", .section = PlugSection::OneTouchAccess,
     .list = {},
     .fileOffset = fileOffset(kOneTouchAccess),
     .size = kOneTouchSize,
     .fields = kOneTouchText,
     .count = kOneTouchCount},
    {.key = "number_keys", .section = PlugSection::NumberKeys,
     .list = {},
     .fileOffset = fileOffset(kNumberKeyContacts),
     .size = 2 * kNumberKeyCount,
     .fields = kNumberKeyText},
    {.key = "text_messages", .section = PlugSection::TextMessages, .list = ListId::TextMessages, .fields = {}, .nameKey = "text"},
    {.key = "enhanced_privacy_keys", .section = PlugSection::EnhancedPrivacyKeys,
     .list = {},
     .fileOffset = fileOffset(kEnhancedPrivacyKeys),
     .size = kEnhancedKeySize,
     .fields = kEnhancedKeyText,
     .count = kEnhancedKeyCount},
    {.key = "basic_privacy_keys", .section = PlugSection::BasicPrivacyKeys,
     .list = {},
     .fileOffset = fileOffset(kBasicPrivacyKeys),
     .size = kBasicKeySize,
     .fields = kBasicKeyText,
     .count = kBasicKeyCount},
    {.key = "emergency_settings", .section = PlugSection::EmergencySettings,
     .fileOffset = fileOffset(kEmergencySection),
     .size = kEmergencyHeaderSize,
     .fields = kEmergencySettingsText},
    {.key = "emergency_systems", .section = PlugSection::EmergencySystems, .list = ListId::EmergencySystems, .fields = kEmergencySystemText},
    {.key = "contacts", .section = PlugSection::Contacts, .list = ListId::Contacts, .fields = kContactText},
    {.key = "rx_group_lists", .section = PlugSection::RxGroupLists, .list = ListId::RxGroupLists, .fields = {}},
    {.key = "zones", .section = PlugSection::Zones, .list = ListId::Zones, .fields = {}},
    {.key = "scan_lists", .section = PlugSection::ScanLists, .list = ListId::ScanLists, .fields = kScanListText},
    {.key = "channels", .section = PlugSection::Channels, .list = ListId::Channels, .fields = kChannelText},
    {.key = "dtmf_systems", .section = PlugSection::DtmfSystems,
     .list = {},
     .fileOffset = fileOffset(kDtmfSystems),
     .size = kDtmfSystemSize,
     .fields = kDtmfSystemText,
     .count = kDtmfSystemCount},
    {.key = "dtmf_encode", .section = PlugSection::DtmfEncode,
     .list = {},
     .fileOffset = fileOffset(kDtmfEncodeStrings),
     .size = kDtmfEncodeSize,
     .fields = kEncodeStringText,
     .count = kDtmfEncodeCount},
    {.key = "dtmf_decode", .section = PlugSection::DtmfDecode,
     .list = {},
     .fileOffset = fileOffset(kDtmfDecodeEntries),
     .size = kDtmfDecodeSize,
     .fields = kDtmfDecodeText,
     .count = kDtmfDecodeCount},
    {.key = "gps", .section = PlugSection::Gps,
     .list = {},
     .fileOffset = fileOffset(kGps),
     .size = kGpsSize,
     .fields = kGpsText,
     .count = kGpsCount},
};
// clang-format on

bool sameText(std::string_view a, std::string_view b) {
  // ASCII only, as the choices' texts are: no locale to consult for every character.
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// What a dump and a build need of a list of choices, found once per list (a static table,
// never changed; many hold some 250): the code of the first choice whose text reads as a
// given text (both trimmed, without case), the first choice carrying a code, and whether
// that choice's text reads back as its own code.
class ChoiceIndex {
 public:
  static constexpr std::size_t kLongest = 64;  // the longest choice text

  explicit ChoiceIndex(const Choices& choices) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
      if (trimmed(choices[i].text).size() > kLongest) std::abort();  // a table fault: lookups lower on the stack
      byText_.try_emplace(asciiLower(trimmed(choices[i].text)), choices[i].code);
      byCode_.try_emplace(choices[i].code, int(i));
    }
    for (const Choice& c : choices) readsBack_.push_back(*code(c.text) == c.code);
  }

  std::optional<std::uint32_t> code(std::string_view text) const {
    // Lowered on the stack (no choice is longer): a lookup allocates nothing.
    const std::string_view t = trimmed(text);
    char lowered[kLongest];
    if (t.size() > kLongest) return std::nullopt;
    std::transform(t.begin(), t.end(), lowered, [](char c) { return asciiLower(c); });
    const auto found = byText_.find(std::string_view(lowered, t.size()));
    return found == byText_.end() ? std::nullopt : std::optional(found->second);
  }
  // The first choice carrying `code`, or -1.
  int index(std::uint32_t code) const {
    const auto found = byCode_.find(code);
    return found == byCode_.end() ? -1 : found->second;
  }
  bool readsBack(int index) const { return readsBack_[std::size_t(index)]; }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view t) const { return std::hash<std::string_view>()(t); }
  };
  std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> byText_;
  std::unordered_map<std::uint32_t, int> byCode_;
  std::vector<bool> readsBack_;
};

const ChoiceIndex& indexOf(const Choices& choices) {
  static std::mutex guard;
  static std::unordered_map<const Choices*, std::unique_ptr<ChoiceIndex>> indexes;
  const std::lock_guard lock(guard);
  std::unique_ptr<ChoiceIndex>& index = indexes[&choices];
  if (!index) index = std::make_unique<ChoiceIndex>(choices);
  return *index;
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

const SectionDesc& sectionOf(ListId list) {
  for (const SectionDesc& s : kSections)
    if (s.list == list) return s;
  std::abort();  // every list has a section
}

const FieldDesc& fieldOf(const SectionDesc& section, BitField bits) {
  for (const FieldDesc& f : section.fields)
    if (!f.accessor && !f.codec && f.bits.byte == bits.byte && f.bits.shift == bits.shift &&
        f.bits.width == bits.width)
      return f;
  std::abort();  // a field the section does not describe: the caller's fault
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
        if (const auto code = indexOf(f.choices()).code(text)) return holds(code);
      break;
    case Kind::Frequency: {
      const std::string_view t = trimmed(text);
      if (t.size() < 2 || (t[1] != 'x' && t[1] != 'X'))
        return holds(parseFrequency(t, doc.frequencyRangeCode()));
      break;
    }
    case Kind::Hex: {
      const std::string t(trimmed(text));
      return holds(parseNumber(t.starts_with("0x") || t.starts_with("0X") ? t : "0x" + t, widest));
    }
    case Kind::Number:
      break;
  }
  return holds(parseNumber(text, widest));
}

Shown renderField(const CodePlugDocument& doc, const FieldDesc& f, std::uint32_t value) {
  Shown shown;
  // Where the text is known to read back, it is not read.
  bool known = false;
  switch (f.kind) {
    case Kind::Flag:
      shown.text = (value != 0) != f.inverted ? "on" : "off";
      known = value <= 1;
      break;
    case Kind::Number:
      shown.text = std::to_string(value);
      known = fieldHolds(f, value);
      break;
    case Kind::Choice:
    case Kind::Reference: {
      const ChoiceIndex* index = f.choices ? &indexOf(f.choices()) : nullptr;
      const int choice = index ? index->index(value) : -1;
      if (choice >= 0) {
        shown.text = std::string(trimmed(f.choices()[std::size_t(choice)].text));
        known = index->readsBack(choice) && fieldHolds(f, value);
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
    case Kind::Hex: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%0*x", int(f.bits.width + 3) / 4, value);
      shown.text = buf;
      break;
    }
  }
  if (known) {
    shown.readsBack = true;
    return shown;
  }
  // A text that reads back as another value (shown alike, clamped, not a choice of its
  // own) is written as the stored number with what the tab shows beside it.
  if (parseField(doc, f, shown.text) != value) {
    if (shown.comment.empty()) shown.comment = "shows " + shown.text;
    shown.text = f.kind == Kind::Frequency ? hexWord(value) : std::to_string(value);
  } else {
    shown.readsBack = f.kind != Kind::Frequency;
  }
  return shown;
}

namespace {

// Why the character at the start of `text` cannot stand as itself in a name, and the
// escape that stores it when the 8-bit set holds it (a control code, U+0080..U+00FF).
std::string unstorable(std::string_view text) {
  const auto lead = std::uint8_t(text[0]);
  std::size_t length = 1;
  while (lead >= 0xC0 && length < text.size() && length < 4 && (std::uint8_t(text[length]) & 0xC0) == 0x80)
    ++length;
  int code = -1;
  if (lead < 0x80) code = lead;
  if (length == 2 && lead <= 0xC3) code = (lead & 0x1F) << 6 | (std::uint8_t(text[1]) & 0x3F);
  const std::string shown = lead < 0x80 ? escapeText(text.substr(0, 1)) : std::string(text.substr(0, length));
  char hint[40];
  std::snprintf(hint, sizeof hint, code < 0 ? "a name holds 8-bit codes only" : "write \\x%02x", unsigned(code));
  return "\"" + shown + "\" cannot be stored as written: " + hint;
}

}  // namespace

void appendEscaped(std::string& text, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  // DEL too is escaped: YAML takes it for a control code.
  const auto plain = [](std::uint8_t c) { return c != '\\' && c != 127 && nameAccepts(c); };
  for (std::size_t i = 0; i < bytes.size();) {
    // A run of plain characters goes in at once.
    std::size_t end = i;
    while (end < bytes.size() && plain(std::uint8_t(bytes[end]))) ++end;
    text.append(bytes.substr(i, end - i));
    if (end == bytes.size()) break;
    const auto c = std::uint8_t(bytes[end]);
    if (c == '\\') {
      text += "\\\\";
    } else {
      text += "\\x";
      text += kHex[c >> 4];
      text += kHex[c & 15];
    }
    i = end + 1;
  }
}

std::string escapeText(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  appendEscaped(text, bytes);
  return text;
}

std::string nameText(ByteSpan units, int count) {
  return escapeText(nameBytes(units, count, NameEnd::Stored));
}

std::optional<std::string> unescapeName(std::string_view text, std::string* problem) {
  const auto refuse = [&](std::string why) {
    if (problem) *problem = std::move(why);
    return std::nullopt;
  };
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = std::uint8_t(text[i]);
    if (!nameAccepts(c)) return refuse(unstorable(text.substr(i)));
    if (c != '\\') {
      out += char(c);
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      out += '\\';
      ++i;
      continue;
    }
    const auto byte = i + 3 < text.size() && text[i + 1] == 'x'
                          ? parseNumber("0x" + std::string(text.substr(i + 2, 2)), 0xFF)
                          : std::nullopt;
    if (!byte) return refuse("malformed escape (\\xNN or \\\\)");
    out += char(*byte);
    i += 3;
  }
  return out;
}

}  // namespace pw::text
