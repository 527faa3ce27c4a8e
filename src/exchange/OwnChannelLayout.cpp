// The editor's own channel layout: `number`, `name`, the text form's channel keys and
// `zones`, written by a copy or an export and read back (see ChannelCsv.h).
#include <unordered_map>

#include "codeplug/Encodings.h"
#include "codeplug/Text.h"
#include "exchange/ChannelCsv.h"
#include "exchange/ChannelValues.h"
#include "exchange/Layouts.h"
#include "membership/MemberList.h"

namespace pw::exchange {
namespace {

constexpr ListId kChannels = ListId::Channels;
constexpr ListId kZones = ListId::Zones;
constexpr const char* kNumberColumn = "number";
constexpr const char* kNameColumn = "name";
constexpr const char* kZonesColumn = "zones";

class OwnReader final : public RowReader<ChannelRow> {
 public:
  OwnReader(Columns& columns, const ReadContext& context, std::vector<Note>& notes) : context_(context) {
    number_ = columns.take(kNumberColumn);
    name_ = columns.take(kNameColumn);
    zones_ = columns.take(kZonesColumn);
    for (const text::FieldDesc& f : channelSection().fields)
      if (const auto column = columns.take(f.key)) fields_.push_back({&f, *column});
    // Without a transmit frequency a new channel transmits where it receives.
    sameTx_ = !columns.has(tx_->key);
    if (!columns.has(channelDesc(ChannelField::Mode).key))
      notes.push_back({context.headerLine, "no mode column: new channels are Digital, as a new channel is"});
  }

  bool read(const csv::Row& row, ChannelRow& out, Skip& skip, std::vector<Note>& notes) override {
    if (context_.update && number_ && !numberedRow(row, out, skip)) return false;
    if (name_) {
      const std::string_view cell = csv::fieldAt(row, name_);
      if (!trimmed(cell).empty()) {
        out.hasName = true;
        out.name = nameFromCell(cell, true, "name", row.line, notes);
      }
    }
    for (const auto& [f, column] : fields_) {
      const std::string_view text = trimmed(csv::fieldAt(row, column));
      if (text.empty()) continue;  // a cell left empty: the new channel's value, or the one kept
      if (!value(*f, text, row.line, out, skip, notes)) {
        if (skip.what.empty())
          skip = {.line = row.line,
                  .reason = Reason::NotHeld,
                  .what = f->key,
                  .value = std::string(text),
                  .detail = "a value a channel can hold"};
        return false;
      }
    }
    if (sameTx_ && !out.updates)
      for (const ChannelRow::Value& v : out.values)
        if (v.field == rx_) {
          out.values.push_back({tx_, v.value});
          break;
        }
    if (zones_) readZones(csv::fieldAt(row, zones_), row.line, out, notes);
    return true;
  }

 private:
  // With update: a row whose number names a channel in use updates it.
  bool numberedRow(const csv::Row& row, ChannelRow& out, Skip& skip) {
    const std::string_view text = trimmed(csv::fieldAt(row, number_));
    if (text.empty()) return true;
    const auto n = text::parseNumber(text, 0xFFFF);
    if (!n) {
      skip = {.line = row.line,
              .reason = Reason::NotHeld,
              .what = kNumberColumn,
              .value = std::string(text),
              .detail = "a channel number"};
      return false;
    }
    if (*n >= 1 && *n <= std::uint32_t(kChannelCount) && inUse(context_.doc, kChannels, int(*n) - 1))
      out.updates = int(*n);
    return true;
  }

  bool value(const text::FieldDesc& f, std::string_view text, int line, ChannelRow& out, Skip& skip,
             std::vector<Note>& notes) {
    if (f.kind == text::Kind::Reference) {
      if (asciiLower(text) == "none") {
        out.values.push_back({&f, 0});
      } else if (const auto n = hashNumber(text)) {
        if (!text::fieldHolds(f, *n)) return false;
        out.references.push_back({&f, std::string(text)});  // a number: whether it holds is the apply's
      } else {
        const auto name = text::unescapeName(text);
        out.references.push_back({&f, name ? *name : std::string(text)});
      }
      return true;
    }
    if (f.kind == text::Kind::Frequency && !(text.size() > 1 && (text[1] == 'x' || text[1] == 'X'))) {
      // A frequency the radio cannot hold skips the row rather than being clamped into its band.
      const auto hz = parseDecimal(text, 6, false);
      if (!hz) {
        skip = {.line = line, .reason = Reason::NotANumber, .what = f.key, .value = std::string(text)};
        return false;
      }
      const char* which = &f == rx_ ? "receive" : "transmit";
      const auto word = frequencyWord(context_.doc, *hz, which, line, skip, notes);
      if (word) out.values.push_back({&f, *word});
      return word.has_value();
    }
    auto parsed = text::parseField(context_.doc, f, text);
    // A decimal comma, as a file separated by semicolons writes it ("12,5kHz").
    if (!parsed && context_.separator == ';' && text.find(',') != std::string_view::npos) {
      std::string point(text);
      std::replace(point.begin(), point.end(), ',', '.');
      parsed = text::parseField(context_.doc, f, point);
    }
    if (!parsed && (&f == rxTone_ || &f == txTone_)) parsed = ctcssWord(text);  // "88.5" for "88.5 Hz"
    if (parsed) out.values.push_back({&f, *parsed});
    return parsed.has_value();
  }

  void readZones(std::string_view cell, int line, ChannelRow& out, std::vector<Note>& notes) {
    std::size_t from = 0;
    while (from <= cell.size()) {
      std::size_t to = cell.find(kZoneSeparator, from);
      if (to == std::string_view::npos) to = cell.size();
      const std::string_view piece = trimmed(cell.substr(from, to - from));
      if (!piece.empty())
        out.zones.push_back(hashNumber(piece) ? std::string(piece)
                                              : nameFromCell(piece, true, "zone", line, notes));
      from = to + 1;
    }
  }

  const ReadContext context_;
  const text::FieldDesc* rx_ = &channelDesc(ChannelField::RxFrequency);
  const text::FieldDesc* tx_ = &channelDesc(ChannelField::TxFrequency);
  const text::FieldDesc* rxTone_ = &channelDesc(ChannelField::RxTone);
  const text::FieldDesc* txTone_ = &channelDesc(ChannelField::TxTone);
  std::optional<std::size_t> number_, name_, zones_;
  std::vector<std::pair<const text::FieldDesc*, std::size_t>> fields_;
  bool sameTx_ = false;
};

// ---- writing ----

std::string zoneText(Names& names, int zoneNumber) {
  std::string text = names.referenceText(kZones, std::uint32_t(zoneNumber));
  // The separator inside a name is written as an escape the name reads back.
  std::string out;
  for (char c : text) out += c == kZoneSeparator ? std::string("\\x7c") : std::string(1, c);
  return out;
}

class ChannelWriter {
 public:
  explicit ChannelWriter(const CodePlugDocument& doc) : doc_(doc), names_(doc) {
    // Each channel's zones, in zone order.
    for (int z = 0; z < kZoneCount; ++z) {
      if (!inUse(doc, kZones, z)) continue;
      for (const MemberRow& m : memberRows(doc, kZones, z)) {
        auto& of = zonesOf_[m.number];
        if (of.empty() || of.back() != z + 1) of.push_back(z + 1);
      }
    }
  }

  void header(std::string& out) const {
    std::vector<std::string> names{kNumberColumn, kNameColumn};
    for (const text::FieldDesc& f : channelSection().fields) names.push_back(f.key);
    names.push_back(kZonesColumn);
    csv::appendRow(out, names);
  }

  void row(std::string& out, int slot) {
    const ByteSpan record = recordBytes(doc_, kChannels, slot);
    const RecordListLayout& l = layoutOf(kChannels);
    fields_.clear();
    fields_.push_back(std::to_string(slot + 1));
    fields_.push_back(text::nameText(record.subspan(l.nameOffset), l.nameUnits));
    for (const text::FieldDesc& f : channelSection().fields) {
      const std::uint32_t value = text::readField(record, f);
      if (f.kind == text::Kind::Reference)
        fields_.push_back(value == 0 ? "None" : names_.referenceText(f.referred, value));
      else
        fields_.push_back(rendered(f, value));
    }
    std::string zones;
    if (const auto it = zonesOf_.find(slot + 1); it != zonesOf_.end())
      for (int z : it->second) zones += (zones.empty() ? "" : "|") + zoneText(names_, z);
    fields_.push_back(std::move(zones));
    csv::appendRow(out, fields_);
  }

 private:
  // Channels share most of their values: each text is worked out once.
  const std::string& rendered(const text::FieldDesc& f, std::uint32_t value) {
    const auto key = (std::uint64_t(&f - channelSection().fields.data()) << 32) | value;
    auto it = texts_.find(key);
    if (it == texts_.end()) it = texts_.emplace(key, text::renderField(doc_, f, value).text).first;
    return it->second;
  }

  const CodePlugDocument& doc_;
  Names names_;
  std::unordered_map<int, std::vector<int>> zonesOf_;  // channel number -> zone numbers
  std::unordered_map<std::uint64_t, std::string> texts_;
  std::vector<std::string> fields_;
};

}  // namespace

bool isOwnChannelHeader(const csv::Header& header) {
  return header.has(channelDesc(ChannelField::RxFrequency).key);
}

std::unique_ptr<RowReader<ChannelRow>> openOwnChannels(Columns& columns, const ReadContext& context,
                                                       std::vector<Note>& notes) {
  return std::make_unique<OwnReader>(columns, context, notes);
}

std::string writeChannelText(const CodePlugDocument& doc, std::span<const int> rows) {
  std::string out;
  if (!doc.hasImage()) return out;
  ChannelWriter writer(doc);
  writer.header(out);
  for (int slot : rows)
    if (slot >= 0 && slot < kChannelCount) writer.row(out, slot);
  return out;
}

}  // namespace pw::exchange
