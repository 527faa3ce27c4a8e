#include "digital/EmergencySystems.h"

#include "channels/ChannelRecord.h"
#include "codeplug/RecordList.h"

namespace pw {
namespace {

using enum EmergencyField;
constexpr ListId kList = ListId::EmergencySystems;
constexpr std::uint32_t kAlarmModeNeverWritten = 3;
constexpr std::uint32_t kPoliteRetriesInfinite = 15;
constexpr std::uint32_t kDigitalMode = 2;

template <typename Text>
EmergencyChoices range(int from, int to, int step, Text text, int codeDivisor = 1) {
  EmergencyChoices c;
  for (int n = from; n <= to; n += step) c.push_back({text(n), std::uint32_t(n / codeDivisor)});
  return c;
}

std::string num(int n) { return std::to_string(n); }
std::string secs(int n) { return num(n) + " secs"; }

const EmergencyChoices& alarmTypes() {
  static const EmergencyChoices c{{"Disabled", 0}, {"Regular", 1}, {"Silent", 2}, {"Silent with Voice", 3}};
  return c;
}
const EmergencyChoices& alarmModes() {
  static const EmergencyChoices c{
      {"Emergency Alarm", 0}, {"Emergency Alarm with Call", 1}, {"Emergency Alarm with Voice to Follow", 2}};
  return c;
}
const EmergencyChoices& durations() {  // hot mic and remote monitor
  static const EmergencyChoices c = range(10, 120, 10, secs);
  return c;
}

std::string textOf(const EmergencyChoices& choices, std::uint32_t code, const std::string& otherwise) {
  for (const auto& c : choices)
    if (c.code == code) return c.text;
  return otherwise;
}

bool isChannelNumber(std::uint32_t v) { return v >= 1 && v <= std::uint32_t(kChannelCount); }

MutableByteSpan header(CodePlugDocument& doc) { return doc.bytes(kEmergencySection, kEmergencyHeaderSize); }
ByteSpan header(const CodePlugDocument& doc) { return doc.bytes(kEmergencySection, kEmergencyHeaderSize); }

}  // namespace

void initEmergencySystem(CodePlugDocument& doc, int s, std::string_view name) {
  initEntry(doc, kList, s, name);
}

std::optional<int> addEmergencySystem(CodePlugDocument& doc) {
  const int s = addRecord(doc, kList);
  return s < 0 ? std::nullopt : std::optional<int>(s);
}

bool renameEmergencySystem(CodePlugDocument& doc, int s, std::string_view text) {
  return renameRecord(doc, kList, s, text);
}

std::uint32_t emergencySystemField(const CodePlugDocument& doc, int s, EmergencyField field) {
  return get(recordBytes(doc, kList, s), bitsOf(field));
}

bool setEmergencySystemField(CodePlugDocument& doc, int s, EmergencyField field, std::uint32_t code) {
  MutableByteSpan r = recordBytes(doc, kList, s);
  if (r.empty() || code > fieldMask(bitsOf(field))) return false;
  if (field == AlarmMode && code == kAlarmModeNeverWritten) return false;
  set(r, bitsOf(field), code);
  return true;
}

std::uint32_t remoteSetting(const CodePlugDocument& doc, RemoteSetting field) {
  return get(header(doc), bitsOf(field));
}

bool setRemoteSetting(CodePlugDocument& doc, RemoteSetting field, std::uint32_t value) {
  MutableByteSpan h = header(doc);
  if (h.empty() || value > fieldMask(bitsOf(field))) return false;
  set(h, bitsOf(field), value);
  return true;
}

int deleteEmergencySystem(CodePlugDocument& doc, int e) { return deleteRecord(doc, kList, e); }

int deleteSelectedEmergencySystems(CodePlugDocument& doc, const std::vector<int>& rows) {
  return deleteSelectedRecords(doc, kList, rows);
}

int moveEmergencySystem(CodePlugDocument& doc, int s, int delta) { return moveRecord(doc, kList, s, delta); }

std::vector<int> moveSelectedEmergencySystems(CodePlugDocument& doc, const std::vector<int>& rows,
                                              int delta) {
  return moveSelectedRecords(doc, kList, rows, delta);
}

std::string emergencySystemName(const CodePlugDocument& doc, int s) { return recordName(doc, kList, s); }

std::string emergencyFieldText(const CodePlugDocument& doc, int s, EmergencyField field) {
  const std::uint32_t v = emergencySystemField(doc, s, field);
  switch (field) {
    case AlarmType:
      return textOf(alarmTypes(), v, {});
    case AlarmMode:
      return textOf(alarmModes(), v, "Unknown");
    case ImpoliteRetries:
      return num(int(v));
    case PoliteRetries:
      return v >= kPoliteRetriesInfinite ? "infinite" : num(int(v));
    case HotMicDuration:
      return secs(int(v));
    case RevertChannel:
      return isChannelNumber(v) ? recordName(doc, ListId::Channels, int(v) - 1) : "None";
  }
  return {};
}

EmergencyChoices emergencyFieldChoices(const CodePlugDocument& doc, EmergencyField field) {
  switch (field) {
    case AlarmType:
      return alarmTypes();
    case AlarmMode:
      return alarmModes();
    case ImpoliteRetries:
      return range(1, 15, 1, num);
    case PoliteRetries: {
      EmergencyChoices c = range(0, 14, 1, num);
      c.push_back({"Infinite", kPoliteRetriesInfinite});
      return c;
    }
    case HotMicDuration:
      return durations();
    case RevertChannel: {
      EmergencyChoices c{{"None", 0}};
      for (int ch = 0; ch < kChannelCount; ++ch)
        if (inUse(doc, ListId::Channels, ch) && channelField(doc, ch, ChannelField::Mode) == kDigitalMode)
          c.push_back({recordName(doc, ListId::Channels, ch), std::uint32_t(ch + 1)});
      return c;
    }
  }
  return {};
}

std::uint32_t emergencyFieldCurrent(const CodePlugDocument& doc, int s, EmergencyField field) {
  const std::uint32_t v = emergencySystemField(doc, s, field);
  return field == RevertChannel && !isChannelNumber(v) ? 0 : v;
}

const EmergencyChoices& remoteSettingChoices(RemoteSetting field) {
  static const EmergencyChoices wakeup = range(
      125, 375, 25, [](int t) { return num(t) + " ms"; }, 25);
  static const EmergencyChoices limit = range(1, 4, 1, num);
  static const EmergencyChoices none;
  switch (field) {
    case RemoteSetting::RemoteMonitorDuration:
      return durations();
    case RemoteSetting::RemoteSyncWakeup:
      return wakeup;
    case RemoteSetting::TxWakeupMessageLimit:
      return limit;
    default:
      return none;
  }
}

}  // namespace pw
