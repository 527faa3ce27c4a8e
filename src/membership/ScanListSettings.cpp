#include "membership/ScanListSettings.h"

#include "codeplug/RecordList.h"
#include "membership/MemberList.h"

namespace pw {
namespace {

constexpr ListId kList = ListId::ScanLists;

ScanChoices timingChoices(int firstCode, int lastCode, int msPerCode) {
  ScanChoices choices;
  for (int code = firstCode; code <= lastCode; ++code)
    choices.push_back({std::to_string(code * msPerCode) + " ms", std::uint32_t(code)});
  return choices;
}

}  // namespace

std::uint32_t scanListField(const CodePlugDocument& doc, int s, ScanListField field) {
  return get(recordBytes(doc, kList, s), kScanListFields[int(field)].bits);
}

void setScanListField(CodePlugDocument& doc, const std::vector<int>& rows, ScanListField field,
                      std::uint32_t value) {
  if (!doc.hasImage()) return;
  for (int s : rows) set(recordBytes(doc, kList, s), kScanListFields[int(field)].bits, value);
}

ScanChoices priorityChannelChoices(const CodePlugDocument& doc, int s) {
  ScanChoices choices{{"Selected", kSelectedChannel}};
  for (const MemberRow& m : memberRows(doc, kList, s))
    choices.push_back({memberCell(doc, kList, m.number, MemberColumn::Name), std::uint32_t(m.number)});
  choices.push_back({"None", kNoChannel});
  return choices;
}

ScanChoices txDesignatedChannelChoices(const CodePlugDocument& doc) {
  ScanChoices choices{{"Selected", kSelectedChannel}};
  for (int c = 0; doc.hasImage() && c < kChannelCount; ++c)
    if (inUse(doc, ListId::Channels, c))
      choices.push_back({recordName(doc, ListId::Channels, c), std::uint32_t(c + 1)});
  choices.push_back({"Last Active Channel", kNoChannel});
  return choices;
}

const ScanChoices& signallingHoldTimeChoices() {
  static const ScanChoices choices = timingChoices(2, 255, 25);
  return choices;
}

const ScanChoices& prioritySampleTimeChoices() {
  static const ScanChoices choices = timingChoices(3, 31, 250);
  return choices;
}

int choiceIndex(const ScanChoices& choices, std::uint32_t value) {
  for (std::size_t i = 0; i < choices.size(); ++i)
    if (choices[i].value == value) return int(i);
  return -1;
}

}  // namespace pw
