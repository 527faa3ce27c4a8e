// The channel plan: reading a text or file with the channel layouts, applying and previewing
// a plan, a paste, and the export file.
#include "exchange/ChannelCsv.h"

#include <unistd.h>

#include <algorithm>
#include <unordered_map>

#include "codeplug/Csv.h"
#include "codeplug/FileWriter.h"
#include "codeplug/Layout.h"
#include "codeplug/Text.h"
#include "exchange/ChannelValues.h"
#include "exchange/Layouts.h"
#include "membership/MemberList.h"

namespace pw::exchange {
namespace {

constexpr ListId kChannels = ListId::Channels;
constexpr ListId kZones = ListId::Zones;

const std::string kNoChannelHeader =
    "No channel list header: the first line names neither an rx_frequency column (the editor's own "
    "layout) nor a Frequency column (an analogue channel list).";

Skip noRoom(int line) {
  return {
      .line = line, .reason = Reason::NoRoom, .detail = std::to_string(kChannelCount) + " channels in use"};
}

// Reads with the channel layouts: a row that updates a channel another row updated already is
// skipped, and so is every new channel once the list would be full.
ChannelPlan readChannels(const CodePlugDocument& doc, csv::Reader& reader, const ReadOptions& options) {
  int room = kChannelCount - endOfUse(doc, kChannels);
  std::unordered_map<int, int> updatedBy;  // channel number -> the line that updates it
  const Admit<ChannelRow> admit = [&](ChannelRow& row, Skip& skip) {
    if (row.updates) {
      const auto [at, first] = updatedBy.emplace(row.updates, row.line);
      if (first) return true;
      skip = {.line = row.line,
              .reason = Reason::Repeated,
              .what = "channel " + std::to_string(row.updates),
              .detail = "updated by line " + std::to_string(at->second) + " already"};
      return false;
    }
    if (room == 0) {
      skip = noRoom(row.line);
      return false;
    }
    --room;
    return true;
  };
  ChannelPlan plan =
      readRows<ChannelRow>(reader, {.doc = doc, .update = options.update}, admit, kNoChannelHeader);
  plan.report.record = "channel";
  plan.report.capacity = kChannelCount;
  return plan;
}

// The zone a row names: its index, or -1 with a note.
int zoneFor(CodePlugDocument& doc, Names& names, const std::string& text, const ApplyOptions& options,
            int line, Report& report) {
  if (const auto n = hashNumber(text)) {
    if (!options.numbersHold) {
      report.notes.push_back({line, "zone " + text + " not found"});
      return -1;
    }
    if (*n >= 1 && *n <= std::uint32_t(kZoneCount) && inUse(doc, kZones, int(*n) - 1)) return int(*n) - 1;
    report.notes.push_back({line, "zone " + text + " is not in use"});
    return -1;
  }
  // Looked up as it would be stored: a name with a leading control code is the zone a
  // previous row created without it, not a second zone of the same name.
  const std::string name = trimControls(text);
  if (const int z = names.find(kZones, name); z >= 0) return z;
  const std::string shown = quoted(text::escapeText(text));
  if (!options.createZones || name.empty()) {
    report.notes.push_back({line, "zone " + shown + " not found"});
    return -1;
  }
  const int z = addRecord(doc, kZones, name);
  if (z < 0) {
    report.notes.push_back(
        {line, "zone " + shown + " not created: " + std::to_string(kZoneCount) + " zones in use"});
    return -1;
  }
  names.added(kZones, z);
  ++report.alsoAdded[std::size_t(kZones)];
  report.notes.push_back({line, "creates zone " + shown});
  return z;
}

void joinZones(CodePlugDocument& doc, Names& names, const ChannelRow& row, int slot,
               const ApplyOptions& options, Report& report) {
  for (const std::string& text : row.zones) {
    const int z = zoneFor(doc, names, text, options, row.line, report);
    if (z < 0) continue;
    const int channel = slot + 1;
    const auto members = memberRows(doc, kZones, z);
    if (std::any_of(members.begin(), members.end(), [&](const MemberRow& m) { return m.number == channel; }))
      continue;
    if (addMembers(doc, kZones, z, {channel}) == 0)
      report.notes.push_back({row.line, "zone " + quoted(recordName(doc, kZones, z)) + " is full (" +
                                            std::to_string(kZoneMemberCount) + " channels)"});
  }
}

void writeRow(CodePlugDocument& doc, Names& names, const ChannelRow& row, int slot,
              const ApplyOptions& options, Report& report) {
  MutableByteSpan record = recordBytes(doc, kChannels, slot);
  const RecordListLayout& l = layoutOf(kChannels);
  if (row.updates && row.hasName &&
      row.name != nameBytes(record.subspan(std::size_t(l.nameOffset)), l.nameUnits, NameEnd::Stored))
    renameRecord(doc, kChannels, slot, row.name);
  for (const ChannelRow::Value& v : row.values) text::writeField(record, *v.field, v.value);
  for (const ChannelRow::Reference& r : row.references) {
    const auto number = hashNumber(r.text);
    std::uint32_t value = 0;
    bool found = true;
    if (number) {
      // Taken as written, even a free record's: the export gives back what it read.
      found = options.numbersHold;
      if (found) value = *number;
    } else {
      const int index = names.find(r.field->referred, r.text);
      found = index >= 0;
      value = std::uint32_t(index + 1);
    }
    if (!found)
      report.notes.push_back({row.line, std::string(r.field->key) + " " +
                                            (number ? r.text : quoted(text::escapeText(r.text))) +
                                            " not found: none"});
    text::writeField(record, *r.field, value);
  }
}

}  // namespace

ChannelPlan readChannelText(const CodePlugDocument& doc, std::string_view text, const ReadOptions& options) {
  csv::Reader reader(text, csv::kGuessSeparator);
  return readChannels(doc, reader, options);
}

ChannelPlan readChannelFile(const CodePlugDocument& doc, const std::string& path,
                            const ReadOptions& options) {
  ChannelPlan plan;
  const int fd = openRegularFile(path);
  if (fd < 0) {
    plan.report.failure = "Could not open the file";
    return plan;
  }
  bool failed = false;
  csv::Reader reader(csv::fileSource(fd, failed), csv::kGuessSeparator);
  plan = readChannels(doc, reader, options);
  ::close(fd);
  if (failed) {
    plan = {};
    plan.report.failure = "Could not read the file";
  }
  return plan;
}

Report applyChannelPlan(CodePlugDocument& doc, const ChannelPlan& plan, const ApplyOptions& options) {
  Report report = plan.report;
  if (!doc.hasImage() || !plan.readable()) return report;
  doc.settleEdits("edit");  // what came before is a step of its own
  Names names(doc);
  const int first = endOfUse(doc, kChannels);
  int next = first;
  for (const ChannelRow& row : plan.rows) {
    int slot = row.updates - 1;
    if (row.updates && !inUse(doc, kChannels, slot)) continue;
    if (!row.updates) {
      if (next >= kChannelCount) {
        report.notes.push_back({row.line, skipText(noRoom(row.line))});
        continue;
      }
      slot = next++;
      const bool named = !trimmed(row.name).empty();
      initChannel(doc, slot,
                  named ? std::string_view(row.name) : std::string_view(defaultName(kChannels, slot)));
      report.added.push_back(slot);
    } else {
      report.updated.push_back(slot);
    }
    writeRow(doc, names, row, slot, options, report);
    joinZones(doc, names, row, slot, options, report);
  }
  std::sort(report.updated.begin(), report.updated.end());
  report.updated.erase(std::unique(report.updated.begin(), report.updated.end()), report.updated.end());
  placeAppended(doc, kChannels, first, next, options.insertAt, report);
  std::stable_sort(report.notes.begin(), report.notes.end(),
                   [](const Note& a, const Note& b) { return a.line < b.line; });
  const std::size_t count = report.added.size() + report.updated.size();
  doc.nameNextStep(!options.stepName.empty()
                       ? options.stepName
                       : "import " + std::to_string(count) + (count == 1 ? " channel" : " channels"));
  return report;
}

Report previewChannelPlan(const CodePlugDocument& doc, const ChannelPlan& plan, const ApplyOptions& options) {
  CodePlugDocument scratch;
  if (doc.hasImage()) scratch.adoptImage(doc.workingImage);
  return applyChannelPlan(scratch, plan, options);
}

Report pasteChannelText(CodePlugDocument& doc, std::string_view text, int insertAt, bool numbersHold) {
  if (!doc.hasImage()) return {};
  const ChannelPlan plan = readChannelText(doc, text, {});
  if (!plan.readable()) {
    Report refused;
    refused.failure =
        "Nothing was pasted: the text on the clipboard is not a list of channels. Its first line must name "
        "an "
        "rx_frequency column, as copied channels do (number,name,mode,bandwidth,rx_frequency,...), or a "
        "Frequency "
        "column, as an analogue channel list does (Location,Name,Frequency,Duplex,...).";
    return refused;
  }
  const std::size_t count = plan.rows.size();
  return applyChannelPlan(
      doc, plan,
      {.insertAt = insertAt,
       .createZones = false,
       .stepName = "paste " + std::to_string(count) + (count == 1 ? " channel" : " channels"),
       .numbersHold = numbersHold});
}

std::uint64_t channelReferenceStamp(const CodePlugDocument& doc) {
  std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a
  if (!doc.hasImage()) return hash;
  for (ListId id :
       {ListId::Contacts, ListId::RxGroupLists, ListId::ScanLists, ListId::EmergencySystems, kZones}) {
    const RecordListLayout& l = layoutOf(id);
    for (std::uint8_t byte : doc.bytes(l.start, std::size_t(l.count) * std::size_t(l.recordSize))) {
      hash ^= byte;
      hash *= 0x100000001b3u;
    }
  }
  return hash;
}

int exportChannels(const CodePlugDocument& doc, const std::string& path) {
  if (!doc.hasImage()) return kSaveNothing;
  std::vector<int> rows;
  for (int i = 0; i < kChannelCount; ++i)
    if (inUse(doc, kChannels, i)) rows.push_back(i);
  switch (writeExport(doc, path, writeChannelText(doc, rows))) {
    case WriteResult::Ok:
      return kSaveOk;
    case WriteResult::CreateFailed:
      return kSaveCreate;
    case WriteResult::WriteFailed:
      break;
  }
  return kSaveWrite;
}

}  // namespace pw::exchange
