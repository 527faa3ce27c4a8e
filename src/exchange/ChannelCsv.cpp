#include "exchange/ChannelCsv.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unordered_map>

#include "channels/ChannelRecord.h"
#include "codeplug/Csv.h"
#include "codeplug/Encodings.h"
#include "codeplug/FileWriter.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "membership/MemberList.h"

namespace pw::exchange {
namespace {

constexpr ListId kChannels = ListId::Channels;
constexpr ListId kZones = ListId::Zones;
constexpr const char* kNumberColumn = "number";
constexpr const char* kNameColumn = "name";
constexpr const char* kZonesColumn = "zones";
constexpr char kZoneSeparator = '|';

const text::SectionDesc& channelSection() {
  static const text::SectionDesc& s = *text::findSection("channels");
  return s;
}
const text::FieldDesc& channelField(std::string_view key) { return *text::findField(channelSection(), key); }

// ---- numbers as files write them ----

// A plain decimal number ("146.52", "0,6", "88.5") in units of 10^-scale. Digits beyond
// the scale are dropped, or, when `exact`, must be zeros. Nothing for any other text.
std::optional<std::int64_t> parseDecimal(std::string_view text, int scale, bool exact) {
  text = trimmed(text);
  std::int64_t whole = 0, fraction = 0;
  int fractionDigits = 0;
  bool point = false, digits = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digits = true;
      const int d = c - '0';
      if (!point) {
        whole = whole * 10 + d;
        if (whole > 1'000'000'000'000) return std::nullopt;
      } else if (fractionDigits < scale) {
        fraction = fraction * 10 + d;
        ++fractionDigits;
      } else if (exact && d != 0) {
        return std::nullopt;
      }
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  std::int64_t unit = 1;
  for (int i = 0; i < scale; ++i) unit *= 10;
  for (; fractionDigits < scale; ++fractionDigits) fraction *= 10;
  return whole * unit + fraction;
}

std::string bandText(int rangeCode) {
  const Band b = bandFor(rangeCode);
  return std::to_string(b.lowHz / 1'000'000) + "-" + std::to_string(b.highHz / 1'000'000) + " MHz";
}

// The stored word of a frequency in hertz, or why the radio cannot hold it.
std::optional<std::uint32_t> frequencyWord(const CodePlugDocument& doc, std::int64_t hz, const char* which,
                                           std::string& reason) {
  const int code = doc.frequencyRangeCode();
  const Band band = bandFor(code);
  hz -= hz % 10;  // the record keeps tens of hertz
  const long long size = hz < 0 ? -hz : hz;
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld.%05lld", hz < 0 ? "-" : "", size / 1'000'000,
                size % 1'000'000 / 10);
  if (hz < band.lowHz || hz > band.highHz) {
    reason =
        std::string(which) + " frequency " + text + " MHz is outside the radio's range " + bandText(code);
    return std::nullopt;
  }
  return parseFrequency(text, code);
}

std::string noRoomReason() { return "no room: " + std::to_string(kChannelCount) + " channels in use"; }

// The last channel in use, or -1: new channels go after it.
int lastInUse(const CodePlugDocument& doc) {
  for (int i = kChannelCount - 1; i >= 0; --i)
    if (inUse(doc, kChannels, i)) return i;
  return -1;
}

// ---- names ----

// "#<number>": the number, else nothing.
std::optional<std::uint32_t> hashNumber(std::string_view text) {
  text = trimmed(text);
  if (text.size() < 2 || text.front() != '#') return std::nullopt;
  return text::parseNumber(text.substr(1), 0xFFFF);
}

// ---- names of the records a channel refers to ----

class Names {
 public:
  explicit Names(const CodePlugDocument& doc) : doc_(doc) {}

  // The text a reference to record `number` of `list` is written as.
  std::string referenceText(ListId list, std::uint32_t number) {
    const Index& index = of(list);
    if (number >= 1 && number <= std::uint32_t(layoutOf(list).count) && inUse(doc_, list, int(number) - 1)) {
      const std::string name = recordName(doc_, list, int(number) - 1);
      const auto it = index.count.find(name);
      // A shared name, or one that reads as a special text, would come back as another value.
      if (it != index.count.end() && it->second == 1 && asciiLower(name) != "none" && !name.starts_with('#'))
        return text::escapeText(name);
    }
    return "#" + std::to_string(number);
  }

  // The first record in use named `name`: its index, or -1.
  int find(ListId list, const std::string& name) {
    const Index& index = of(list);
    const auto it = index.first.find(name);
    return it == index.first.end() ? -1 : it->second;
  }
  void added(ListId list, int at) {
    Index& index = of(list);
    const std::string name = recordName(doc_, list, at);
    index.first.emplace(name, at);
    ++index.count[name];
  }

 private:
  struct Index {
    bool built = false;
    std::unordered_map<std::string, int> first, count;
  };
  Index& of(ListId list) {
    Index& index = lists_[int(list)];
    if (!index.built) {
      index.built = true;
      for (int i = 0; i < layoutOf(list).count; ++i)
        if (inUse(doc_, list, i)) {
          const std::string name = recordName(doc_, list, i);
          index.first.emplace(name, i);
          ++index.count[name];
        }
    }
    return index;
  }
  const CodePlugDocument& doc_;
  Index lists_[kListCount];
};

std::string zoneText(Names& names, int zoneNumber) {
  std::string text = names.referenceText(kZones, std::uint32_t(zoneNumber));
  // The separator inside a name is written as an escape the name reads back.
  std::string out;
  for (char c : text) out += c == kZoneSeparator ? std::string("\\x7c") : std::string(1, c);
  return out;
}

// ---- reading ----

class PlanReader {
 public:
  PlanReader(const CodePlugDocument& doc, const ReadOptions& options)
      : doc_(doc), options_(options), room_(kChannelCount - (lastInUse(doc) + 1)) {}

  ChannelPlan read(csv::Reader& reader) {
    csv::Row row;
    if (!reader.next(row) || reader.binary()) return failed(reader.binary());
    const csv::Header header(row.fields);
    if (header.has("frequency")) {
      plan_.layout = ChannelLayout::Analogue;
      analogue_ = AnalogueColumns(header);
    } else if (!ownColumns(header, row.fields)) {
      return failed(false);
    }
    while (reader.next(row)) {
      if (csv::blankRow(row)) continue;
      if (row.openQuote) {
        plan_.skipped.push_back({row.line, kOpenQuoteReason});
        continue;
      }
      ChannelRow out{.line = row.line};
      std::string reason;
      const bool ok =
          plan_.layout == ChannelLayout::Analogue ? analogueRow(row, out, reason) : ownRow(row, out, reason);
      if (ok && !out.updates && room_ == 0) {
        reason = noRoomReason();
        ++plan_.noRoom;
      }
      if (!reason.empty()) {
        plan_.skipped.push_back({row.line, reason});
        continue;
      }
      if (out.updates)
        updatedBy_.emplace(out.updates, row.line);
      else
        --room_;
      plan_.notes.insert(plan_.notes.end(), rowNotes_.begin(), rowNotes_.end());
      plan_.rows.push_back(std::move(out));
    }
    if (reader.binary()) return failed(true);
    return std::move(plan_);
  }

 private:
  ChannelPlan failed(bool binary) {
    ChannelPlan plan;
    plan.failure = binary ? "The file is not a text file."
                          : "No channel list header: the first line must name the columns, as the editor's "
                            "own export does (number,name,mode,...) or an analogue channel list "
                            "(Location,Name,Frequency,Duplex,...).";
    return plan;
  }

  // ---- the own layout ----
  bool ownColumns(const csv::Header& header, const std::vector<std::string>& names) {
    std::vector<bool> claimed(header.size(), false);
    const auto claim = [&](std::string_view key) {
      const auto column = header.find(key);
      if (column) claimed[*column] = true;
      return column;
    };
    number_ = claim(kNumberColumn);
    name_ = claim(kNameColumn);
    zones_ = claim(kZonesColumn);
    for (const text::FieldDesc& f : channelSection().fields)
      if (const auto column = claim(f.key)) fields_.push_back({&f, *column});
    if (!number_ && !name_ && !zones_ && fields_.empty()) return false;
    plan_.layout = ChannelLayout::Own;
    for (std::size_t i = 0; i < header.size(); ++i)
      if (!claimed[i] && !header.name(i).empty()) plan_.unknownColumns.emplace_back(trimmed(names[i]));
    return true;
  }

  bool ownRow(const csv::Row& row, ChannelRow& out, std::string& reason) {
    rowNotes_.clear();
    if (options_.update && number_) {
      const std::string_view text = trimmed(csv::fieldAt(row, number_));
      if (!text.empty()) {
        const auto n = text::parseNumber(text, 0xFFFF);
        if (!n) {
          reason = "number " + quoted(text) + " is not a channel number";
          return false;
        }
        if (*n >= 1 && *n <= std::uint32_t(kChannelCount) && inUse(doc_, kChannels, int(*n) - 1)) {
          if (const auto at = updatedBy_.find(int(*n)); at != updatedBy_.end()) {
            reason = "channel " + std::to_string(*n) + " is updated by line " + std::to_string(at->second) +
                     " already";
            return false;
          }
          out.updates = int(*n);
        }
      }
    }
    if (name_) {
      const std::string_view cell = csv::fieldAt(row, name_);
      if (!trimmed(cell).empty()) {
        out.hasName = true;
        out.name = nameFromCell(cell, true, "name", row.line, rowNotes_);
      }
    }
    for (const auto& [f, column] : fields_) {
      const std::string_view text = trimmed(csv::fieldAt(row, column));
      if (text.empty()) continue;  // a cell left empty: the new channel's value, or the one kept
      if (!ownValue(*f, text, out, reason)) {
        if (reason.empty())
          reason = std::string(f->key) + " " + quoted(text) + " is not a value a channel can hold";
        return false;
      }
    }
    if (zones_) {
      const std::string cell(csv::fieldAt(row, zones_));
      std::size_t from = 0;
      while (from <= cell.size()) {
        std::size_t to = cell.find(kZoneSeparator, from);
        if (to == std::string::npos) to = cell.size();
        const std::string_view piece = trimmed(std::string_view(cell).substr(from, to - from));
        if (!piece.empty())
          out.zones.push_back(hashNumber(piece) ? std::string(piece)
                                                : nameFromCell(piece, true, "zone", row.line, rowNotes_));
        from = to + 1;
      }
    }
    return true;
  }

  bool ownValue(const text::FieldDesc& f, std::string_view text, ChannelRow& out, std::string& reason) {
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
        reason = std::string(f.key) + " " + quoted(text) + " is not a number";
        return false;
      }
      const auto word =
          frequencyWord(doc_, *hz, &f == &channelField("rx_frequency") ? "receive" : "transmit", reason);
      if (word) out.values.push_back({&f, *word});
      return word.has_value();
    }
    const auto value = text::parseField(doc_, f, text);
    if (value) out.values.push_back({&f, *value});
    return value.has_value();
  }

  // ---- the analogue layout ----
  struct AnalogueColumns {
    AnalogueColumns() = default;
    explicit AnalogueColumns(const csv::Header& h)
        : name(h.find("Name")),
          frequency(h.find("Frequency")),
          duplex(h.find("Duplex")),
          offset(h.find("Offset")),
          tone(h.find("Tone")),
          rTone(h.find("rToneFreq")),
          cTone(h.find("cToneFreq")),
          dtcs(h.find("DtcsCode")),
          rxDtcs(h.has("RxDtcsCode") ? h.find("RxDtcsCode") : h.find("DtcsCode")),
          polarity(h.find("DtcsPolarity")),
          crossMode(h.find("CrossMode")),
          mode(h.find("Mode")),
          power(h.find("Power")) {}
    std::optional<std::size_t> name, frequency, duplex, offset, tone, rTone, cTone, dtcs, rxDtcs, polarity,
        crossMode, mode, power;
  };

  enum class Squelch { None, Ctcss, Dcs };
  struct ToneSide {
    Squelch kind = Squelch::None;
    std::optional<std::size_t> column;
    bool inverted = false;
  };

  // The tone word of one side, or why the radio cannot hold it.
  std::optional<std::uint16_t> toneWord(const csv::Row& row, const ToneSide& side,
                                        std::string& reason) const {
    const std::string_view text = trimmed(csv::fieldAt(row, side.column));
    switch (side.kind) {
      case Squelch::None:
        return std::uint16_t(0xFFFF);
      case Squelch::Ctcss: {
        const auto tenths = parseDecimal(text, 1, true);
        const int index = tenths && *tenths < 10000 ? toneChoiceIndex(packBcd4(int(*tenths))) : -1;
        if (index >= 1 && index <= 50) return toneWordFor(index);
        reason = "CTCSS tone " + quoted(text) + " is not one of the radio's 50";
        return std::nullopt;
      }
      case Squelch::Dcs: {
        // The code's octal digits read as a decimal number, as the tone word stores them.
        const bool digits = !text.empty() && text.size() <= 3 &&
                            text.find_first_not_of("0123456789") == std::string_view::npos;
        const int code = digits ? std::stoi(std::string(text)) : -1;
        const int index = code >= 0 ? toneChoiceIndex(packBcd4(code + (side.inverted ? 12000 : 8000))) : -1;
        if (index > 0) return toneWordFor(index);
        reason = "DCS code " + quoted(text) + " is not one of the radio's 104";
        return std::nullopt;
      }
    }
    return std::nullopt;
  }

  bool tones(const csv::Row& row, ToneSide& tx, ToneSide& rx, std::string& reason) const {
    const AnalogueColumns& c = analogue_;
    const std::string mode = asciiLower(trimmed(csv::fieldAt(row, c.tone)));
    const ToneSide txTone{Squelch::Ctcss, c.rTone}, rxTone{Squelch::Ctcss, c.cTone};
    const ToneSide txDcs{Squelch::Dcs, c.dtcs}, rxDcs{Squelch::Dcs, c.rxDtcs};
    if (mode.empty()) {
    } else if (mode == "tone") {
      tx = txTone;
    } else if (mode == "tsql") {
      tx = rx = rxTone;
    } else if (mode == "dtcs") {
      tx = rx = txDcs;
    } else if (mode == "cross") {
      // The transmit side before the arrow, the receive side after it.
      std::string cross = asciiLower(trimmed(csv::fieldAt(row, c.crossMode)));
      if (cross.empty()) cross = "tone->tone";
      const std::size_t arrow = cross.find("->");
      const std::string before = arrow == std::string::npos ? "" : cross.substr(0, arrow);
      const std::string after = arrow == std::string::npos ? "" : cross.substr(arrow + 2);
      const auto side = [](const std::string& s, const ToneSide& tone,
                           const ToneSide& dcs) -> std::optional<ToneSide> {
        if (s.empty()) return ToneSide{};
        if (s == "tone") return tone;
        if (s == "dtcs") return dcs;
        return std::nullopt;
      };
      const auto t = side(before, txTone, txDcs), r = side(after, rxTone, rxDcs);
      if (arrow == std::string::npos || !t || !r || (before.empty() && after.empty())) {
        reason =
            "CrossMode " + quoted(trimmed(csv::fieldAt(row, c.crossMode))) + " is not one this editor knows";
        return false;
      }
      tx = *t;
      rx = *r;
    } else {
      reason = "Tone " + quoted(trimmed(csv::fieldAt(row, c.tone))) + " is not one this editor knows";
      return false;
    }
    if (tx.kind == Squelch::Dcs || rx.kind == Squelch::Dcs) {
      // Two letters, transmit then receive; R is inverted.
      std::string polarity = asciiLower(trimmed(csv::fieldAt(row, c.polarity)));
      if (polarity.empty()) polarity = "nn";
      if (polarity.size() != 2 || polarity.find_first_not_of("nr") != std::string::npos) {
        reason =
            "DtcsPolarity " + quoted(trimmed(csv::fieldAt(row, c.polarity))) + " is not two letters N or R";
        return false;
      }
      tx.inverted = polarity[0] == 'r';
      rx.inverted = polarity[1] == 'r';
    }
    return true;
  }

  bool analogueRow(const csv::Row& row, ChannelRow& out, std::string& reason) {
    rowNotes_.clear();
    const AnalogueColumns& c = analogue_;
    const auto number = [&](std::optional<std::size_t> column, const char* what) {
      const std::string_view text = trimmed(csv::fieldAt(row, column));
      const auto hz = parseDecimal(text, 6, false);
      if (!hz)
        reason = text.empty() ? std::string("no ") + what
                              : std::string(what) + " " + quoted(text) + " is not a number";
      return hz;
    };
    const std::string mode = asciiLower(trimmed(csv::fieldAt(row, c.mode)));
    std::uint32_t bandwidth = 0;
    if (mode.empty() || mode == "fm") {
      bandwidth = 2;  // 25 kHz
    } else if (mode != "nfm") {
      reason = "mode " + quoted(trimmed(csv::fieldAt(row, c.mode))) + " is not one the radio has";
      return false;
    }

    const auto rxHz = number(c.frequency, "Frequency");
    if (!rxHz) return false;
    std::int64_t txHz = *rxHz;
    bool rxOnly = false;
    const std::string duplex = asciiLower(trimmed(csv::fieldAt(row, c.duplex)));
    if (duplex == "+" || duplex == "-" || duplex == "split") {
      const auto offset = number(c.offset, "Offset");
      if (!offset) return false;
      txHz = duplex == "+" ? *rxHz + *offset : duplex == "-" ? *rxHz - *offset : *offset;
    } else if (duplex == "off") {
      rxOnly = true;
    } else if (!duplex.empty()) {
      reason = "Duplex " + quoted(trimmed(csv::fieldAt(row, c.duplex))) + " is not one this editor knows";
      return false;
    }
    const auto rxWord = frequencyWord(doc_, *rxHz, "receive", reason);
    if (!rxWord) return false;
    const auto txWord = frequencyWord(doc_, txHz, "transmit", reason);
    if (!txWord) return false;

    ToneSide tx, rx;
    if (!tones(row, tx, rx, reason)) return false;
    const auto txTone = toneWord(row, tx, reason);
    if (!txTone) return false;
    const auto rxTone = toneWord(row, rx, reason);
    if (!rxTone) return false;

    out.values = {{&channelField("mode"), 1},
                  {&channelField("bandwidth"), bandwidth},
                  {&channelField("rx_frequency"), *rxWord},
                  {&channelField("tx_frequency"), *txWord},
                  {&channelField("tx_tone"), *txTone},
                  {&channelField("rx_tone"), *rxTone}};
    if (rxOnly) out.values.push_back({&channelField("rx_only"), 1});
    if (const auto power = powerValue(trimmed(csv::fieldAt(row, c.power))))
      out.values.push_back({&channelField("tx_power"), *power});

    out.hasName = true;
    out.name = nameFromCell(csv::fieldAt(row, c.name), false, "name", row.line, rowNotes_);
    if (out.name.empty()) out.name = frequencyText(*rxWord);
    return true;
  }

  // "Low" or under 3 W: low; any other text: high; none: the new channel's power.
  static std::optional<std::uint32_t> powerValue(std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (asciiLower(text) == "low") return 0;
    std::string_view number = text;
    if (!number.empty() && (number.back() == 'W' || number.back() == 'w')) number.remove_suffix(1);
    const auto milliwatts = parseDecimal(number, 3, false);
    return milliwatts && *milliwatts < 3000 ? 0 : 1;
  }

  const CodePlugDocument& doc_;
  ReadOptions options_;
  ChannelPlan plan_;
  int room_ = 0;
  std::vector<RowNote> rowNotes_;
  std::unordered_map<int, int> updatedBy_;  // channel number -> the line that updates it
  // the own layout's columns
  std::optional<std::size_t> number_, name_, zones_;
  std::vector<std::pair<const text::FieldDesc*, std::size_t>> fields_;
  AnalogueColumns analogue_;
};

// ---- applying ----

std::string referenceLabel(const text::FieldDesc& f) { return f.key; }

// The zone a row names: its index, or -1 with a note.
int zoneFor(CodePlugDocument& doc, Names& names, const std::string& text, const ApplyOptions& options,
            int line, ApplyResult& result) {
  if (const auto n = hashNumber(text)) {
    if (!options.numbersHold) {
      result.notes.push_back({line, "zone " + text + " not found"});
      return -1;
    }
    if (*n >= 1 && *n <= std::uint32_t(kZoneCount) && inUse(doc, kZones, int(*n) - 1)) return int(*n) - 1;
    result.notes.push_back({line, "zone " + text + " is not in use"});
    return -1;
  }
  // Looked up as it would be stored: a name with a leading control code is the zone a
  // previous row created without it, not a second zone of the same name.
  const std::string name = trimControls(text);
  if (const int z = names.find(kZones, name); z >= 0) return z;
  const std::string shown = quoted(text::escapeText(text));
  if (!options.createZones || name.empty()) {
    result.notes.push_back({line, "zone " + shown + " not found"});
    return -1;
  }
  const int z = addRecord(doc, kZones, name);
  if (z < 0) {
    result.notes.push_back(
        {line, "zone " + shown + " not created: " + std::to_string(kZoneCount) + " zones in use"});
    return -1;
  }
  names.added(kZones, z);
  ++result.zonesCreated;
  result.notes.push_back({line, "creates zone " + shown});
  return z;
}

void joinZones(CodePlugDocument& doc, Names& names, const ChannelRow& row, int slot,
               const ApplyOptions& options, ApplyResult& result) {
  for (const std::string& text : row.zones) {
    const int z = zoneFor(doc, names, text, options, row.line, result);
    if (z < 0) continue;
    const int channel = slot + 1;
    const auto members = memberRows(doc, kZones, z);
    if (std::any_of(members.begin(), members.end(), [&](const MemberRow& m) { return m.number == channel; }))
      continue;
    if (addMembers(doc, kZones, z, {channel}) == 0)
      result.notes.push_back({row.line, "zone " + quoted(recordName(doc, kZones, z)) + " is full (" +
                                            std::to_string(kZoneMemberCount) + " channels)"});
  }
}

// The record's name bytes as stored, up to the first empty unit.
std::string storedName(ByteSpan record) {
  const RecordListLayout& l = layoutOf(kChannels);
  return nameBytes(record.subspan(std::size_t(l.nameOffset)), l.nameUnits, NameEnd::Stored);
}

void writeRow(CodePlugDocument& doc, Names& names, const ChannelRow& row, int slot,
              const ApplyOptions& options, ApplyResult& result) {
  MutableByteSpan record = recordBytes(doc, kChannels, slot);
  if (row.updates && row.hasName && row.name != storedName(record))
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
      result.notes.push_back({row.line, referenceLabel(*r.field) + " " +
                                            (number ? r.text : quoted(text::escapeText(r.text))) +
                                            " not found: none"});
    text::writeField(record, *r.field, value);
  }
}

// ---- writing ----

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

int ChannelPlan::added() const {
  return int(std::count_if(rows.begin(), rows.end(), [](const ChannelRow& r) { return r.updates == 0; }));
}
int ChannelPlan::updated() const { return int(rows.size()) - added(); }

ChannelPlan readChannelText(const CodePlugDocument& doc, std::string_view text, const ReadOptions& options) {
  csv::Reader reader(text, csv::kGuessSeparator);
  return PlanReader(doc, options).read(reader);
}

ChannelPlan readChannelFile(const CodePlugDocument& doc, const std::string& path,
                            const ReadOptions& options) {
  ChannelPlan plan;
  const int fd = openRegularFile(path);
  if (fd < 0) {
    plan.failure = "Could not open the file";
    return plan;
  }
  bool failed = false;
  csv::Reader reader(csv::fileSource(fd, failed), csv::kGuessSeparator);
  plan = PlanReader(doc, options).read(reader);
  ::close(fd);
  if (failed) {
    plan = {};
    plan.failure = "Could not read the file";
  }
  return plan;
}

ApplyResult applyChannelPlan(CodePlugDocument& doc, const ChannelPlan& plan, const ApplyOptions& options) {
  ApplyResult result;
  if (!doc.hasImage() || !plan.readable()) return result;
  doc.settleEdits("edit");  // what came before is a step of its own
  Names names(doc);
  const int first = lastInUse(doc) + 1;
  int next = first;
  for (const ChannelRow& row : plan.rows) {
    int slot = row.updates - 1;
    if (row.updates && !inUse(doc, kChannels, slot)) continue;
    if (!row.updates) {
      if (next >= kChannelCount) {
        result.notes.push_back({row.line, noRoomReason()});
        continue;
      }
      slot = next++;
      const bool named = !trimControls(row.name).empty();
      initChannel(doc, slot,
                  named ? std::string_view(row.name) : std::string_view(defaultName(kChannels, slot)));
      result.addedRows.push_back(slot);
    } else {
      result.updatedRows.push_back(slot);
    }
    writeRow(doc, names, row, slot, options, result);
    joinZones(doc, names, row, slot, options, result);
  }
  const int at = options.insertAt;
  if (at >= 0 && at < first && next > first) {
    moveRecordBlock(doc, kChannels, first, next, at);
    const int shift = next - first;
    for (int& r : result.addedRows) r = r - first + at;
    for (int& r : result.updatedRows)
      if (r >= at) r += shift;
  }
  std::sort(result.updatedRows.begin(), result.updatedRows.end());
  result.updatedRows.erase(std::unique(result.updatedRows.begin(), result.updatedRows.end()),
                           result.updatedRows.end());
  const int count = int(result.addedRows.size() + result.updatedRows.size());
  doc.nameNextStep(!options.stepName.empty()
                       ? options.stepName
                       : "import " + std::to_string(count) + (count == 1 ? " channel" : " channels"));
  return result;
}

ApplyResult previewChannelPlan(const CodePlugDocument& doc, const ChannelPlan& plan,
                               const ApplyOptions& options) {
  CodePlugDocument scratch;
  if (doc.hasImage()) scratch.adoptImage(doc.workingImage);
  return applyChannelPlan(scratch, plan, options);
}

std::vector<RowNote> remarks(const ChannelPlan& plan, const ApplyResult& result) {
  std::vector<RowNote> notes = plan.notes;
  notes.insert(notes.end(), result.notes.begin(), result.notes.end());
  std::stable_sort(notes.begin(), notes.end(),
                   [](const RowNote& a, const RowNote& b) { return a.line < b.line; });
  return notes;
}

std::vector<std::string> reportLines(const ChannelPlan& plan, const ApplyResult& result) {
  std::vector<std::string> lines{"added " + std::to_string(result.addedRows.size()),
                                 "updated " + std::to_string(result.updatedRows.size())};
  for (const RowNote& s : plan.skipped) lines.push_back("line " + std::to_string(s.line) + ": " + s.text);
  for (const RowNote& n : remarks(plan, result))
    lines.push_back("note line " + std::to_string(n.line) + ": " + n.text);
  return lines;
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

int exportChannels(const CodePlugDocument& doc, const std::string& path) {
  if (!doc.hasImage()) return kSaveNothing;
  std::vector<int> rows;
  for (int i = 0; i < kChannelCount; ++i)
    if (inUse(doc, kChannels, i)) rows.push_back(i);
  const std::string text = writeChannelText(doc, rows);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  switch (doc.fileWriter().writeFile(path, std::span<const std::uint8_t>(bytes, text.size()))) {
    case WriteResult::Ok:
      return kSaveOk;
    case WriteResult::CreateFailed:
      doc.prompt().error("Could not create the file");
      return kSaveCreate;
    case WriteResult::WriteFailed:
      break;
  }
  doc.prompt().error("Could not write to the file");
  return kSaveWrite;
}

PasteResult pasteChannelText(CodePlugDocument& doc, std::string_view text, int insertAt, bool numbersHold) {
  PasteResult out;
  if (!doc.hasImage()) return out;
  const ChannelPlan plan = readChannelText(doc, text, {});
  if (!plan.readable()) {
    out.message =
        "Nothing was pasted: the text on the clipboard is not a list of channels. Its first line must name "
        "the columns, as copied channels do (number,name,mode,...) or an analogue channel list "
        "(Location,Name,Frequency,Duplex,...).";
    return out;
  }
  const int count = plan.added();
  const ApplyResult result = applyChannelPlan(
      doc, plan,
      {.insertAt = insertAt,
       .createZones = false,
       .stepName = "paste " + std::to_string(count) + (count == 1 ? " channel" : " channels"),
       .numbersHold = numbersHold});
  out.rows = result.addedRows;
  PasteReport report{.noun = "channel",
                     .pasted = int(out.rows.size()),
                     .noRoom = plan.noRoom,
                     .capacity = kChannelCount,
                     .notes = remarks(plan, result),
                     .unknownColumns = plan.unknownColumns};
  for (const RowNote& s : plan.skipped)
    if (s.text != noRoomReason()) report.skipped.push_back(s);
  out.message = pasteMessage(report);
  return out;
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

}  // namespace pw::exchange
