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

std::string num(int n) { return std::to_string(n); }
std::string secs(int n) { return num(n) + " secs"; }

const Choices& alarmTypes() {
  static const Choices c{{"Disabled", 0}, {"Regular", 1}, {"Silent", 2}, {"Silent with Voice", 3}};
  return c;
}
const Choices& alarmModes() {
  static const Choices c{
      {"Emergency Alarm", 0}, {"Emergency Alarm with Call", 1}, {"Emergency Alarm with Voice to Follow", 2}};
  return c;
}
const Choices& durations() {  // hot mic and remote monitor: 10, 20, ... 120 seconds
  static const Choices c = [] {
    Choices d;
    for (int n = 10; n <= 120; n += 10) d.push_back({secs(n), std::uint32_t(n)});
    return d;
  }();
  return c;
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
      return textOfCode(alarmTypes(), v).value_or("");
    case AlarmMode:
      return textOfCode(alarmModes(), v).value_or("Unknown");
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

Choices emergencyFieldChoices(const CodePlugDocument& doc, EmergencyField field) {
  switch (field) {
    case AlarmType:
      return alarmTypes();
    case AlarmMode:
      return alarmModes();
    case ImpoliteRetries: {
      Choices c;
      return appendRange(c, 1, 15, num);
    }
    case PoliteRetries: {
      Choices c;
      appendRange(c, 0, 14, num).push_back({"Infinite", kPoliteRetriesInfinite});
      return c;
    }
    case HotMicDuration:
      return durations();
    case RevertChannel:
      return recordChoices(doc, ListId::Channels, "None", [&doc](int ch) {
        return channelField(doc, ch, ChannelField::Mode) == kDigitalMode;
      });
  }
  return {};
}

std::uint32_t emergencyFieldCurrent(const CodePlugDocument& doc, int s, EmergencyField field) {
  const std::uint32_t v = emergencySystemField(doc, s, field);
  return field == RevertChannel && !isChannelNumber(v) ? 0 : v;
}

const Choices& remoteSettingChoices(RemoteSetting field) {
  static const Choices wakeup = [] {  // n = 5..15 steps of 25 ms
    Choices c;
    return appendRange(c, 5, 15, [](int n) { return num(25 * n) + " ms"; });
  }();
  static const Choices limit = [] {
    Choices c;
    return appendRange(c, 1, 4, num);
  }();
  static const Choices none;
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
