#include "channels/ChannelRecord.h"

#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"

namespace pw {
namespace {

constexpr ListId kList = ListId::Channels;

bool isFrequency(ChannelField f) { return f == ChannelField::RxFrequency || f == ChannelField::TxFrequency; }

}  // namespace

void initChannel(CodePlugDocument& doc, int s, std::string_view name) { initEntry(doc, kList, s, name); }

std::optional<int> addChannel(CodePlugDocument& doc) {
  const int s = addRecord(doc, kList);
  return s < 0 ? std::nullopt : std::optional<int>(s);
}

bool renameChannel(CodePlugDocument& doc, int s, std::string_view text) {
  return renameRecord(doc, kList, s, text);
}

std::uint32_t channelField(const CodePlugDocument& doc, int s, ChannelField field) {
  return get(recordBytes(doc, kList, s), bitsOf(field));
}

bool setChannelField(CodePlugDocument& doc, int s, ChannelField field, std::uint32_t value) {
  MutableByteSpan r = recordBytes(doc, kList, s);
  if (r.empty() || value > fieldMask(bitsOf(field))) return false;
  set(r, bitsOf(field), value);
  return true;
}

bool setChannelFrequency(CodePlugDocument& doc, int s, ChannelField which, std::string_view text) {
  if (!isFrequency(which) || !doc.hasImage()) return false;
  const auto word = parseFrequency(text, doc.frequencyRangeCode());
  return word && setChannelField(doc, s, which, *word);
}

int deleteChannel(CodePlugDocument& doc, int n) { return deleteRecord(doc, kList, n); }

int deleteSelectedChannels(CodePlugDocument& doc, const std::vector<int>& rows) {
  return deleteSelectedRecords(doc, kList, rows);
}

int moveChannel(CodePlugDocument& doc, int s, int delta) { return moveRecord(doc, kList, s, delta); }

std::vector<int> moveSelectedChannels(CodePlugDocument& doc, const std::vector<int>& rows, int delta) {
  return moveSelectedRecords(doc, kList, rows, delta);
}

std::vector<int> sortChannels(CodePlugDocument& doc, const std::vector<int>& rows, ChannelSort by) {
  if (by == ChannelSort::Name) return sortRecordsByName(doc, kList, rows);
  // The BCD digits run from the word's top nibble down, so the words order as the frequencies do.
  return sortRecordsByKey(doc, kList, rows, [&](int s) { return channelField(doc, s, ChannelField::RxFrequency); });
}

std::optional<std::uint32_t> sharedValue(const CodePlugDocument& doc, const std::vector<int>& rows,
                                         ChannelField field) {
  if (rows.empty() || !doc.hasImage()) return std::nullopt;
  const std::uint32_t first = channelField(doc, rows.front(), field);
  for (int row : rows)
    if (channelField(doc, row, field) != first) return std::nullopt;
  return first;
}

bool toggleDown(const CodePlugDocument& doc, const std::vector<int>& rows, ChannelField field) {
  if (rows.empty() || !doc.hasImage()) return false;
  const std::uint32_t on = toggleValue(field, true);
  if (field == ChannelField::DisplayPttId) {
    for (int row : rows)
      if (channelField(doc, row, field) == on) return true;
    return false;
  }
  for (int row : rows)
    if (channelField(doc, row, field) != on) return false;
  return true;
}

std::string sharedFrequencyText(const CodePlugDocument& doc, const std::vector<int>& rows, ChannelField which) {
  if (!isFrequency(which)) return {};
  const auto word = sharedValue(doc, rows, which);
  return word && *word != 0 ? frequencyText(*word) : std::string();
}

}  // namespace pw
