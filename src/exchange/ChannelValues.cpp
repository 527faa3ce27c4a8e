#include "exchange/ChannelValues.h"

#include <cstdio>

#include "codeplug/Encodings.h"
#include "codeplug/Text.h"

namespace pw::exchange {
namespace {

std::string bandText(int rangeCode) {
  const Band b = bandFor(rangeCode);
  return std::to_string(b.lowHz / 1'000'000) + "-" + std::to_string(b.highHz / 1'000'000) + " MHz";
}

}  // namespace

const text::SectionDesc& channelSection() {
  static const text::SectionDesc& s = text::sectionOf(ListId::Channels);
  return s;
}

const text::FieldDesc& channelDesc(ChannelField field) {
  return text::fieldOf(channelSection(), bitsOf(field));
}

std::optional<std::uint32_t> frequencyWord(const CodePlugDocument& doc, Decimal hz, const char* which,
                                           int line, Skip& skip, std::vector<Note>& notes) {
  const int code = doc.frequencyRangeCode();
  const Band band = bandFor(code);
  const bool below10Hz = hz.dropped || hz.units % 10 != 0;
  const std::int64_t kept = hz.units - hz.units % 10;  // the record keeps tens of hertz
  const long long size = kept < 0 ? -kept : kept;
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld.%05lld", kept < 0 ? "-" : "", size / 1'000'000,
                size % 1'000'000 / 10);
  if (kept < band.lowHz || kept > band.highHz) {
    skip = {.line = skip.line,
            .entry = skip.entry,
            .reason = Reason::OutsideBand,
            .what = which,
            .value = text,
            .detail = bandText(code)};
    return std::nullopt;
  }
  if (below10Hz)
    notes.push_back({line,
                     std::string(which) + " frequency stored as " + text + " MHz: digits below 10 Hz dropped",
                     skip.entry});
  return parseFrequency(text, code);
}

std::optional<std::uint16_t> ctcssWord(std::string_view text) {
  const auto tenths = parseDecimal(text, 1, true);
  const int index = tenths && tenths->units < 10000 ? toneChoiceIndex(packBcd4(int(tenths->units))) : -1;
  // Choices 1..50 are the CTCSS tones.
  if (index >= 1 && index <= 50) return toneWordFor(index);
  return std::nullopt;
}

std::optional<std::uint32_t> hashNumber(std::string_view text) {
  text = trimmed(text);
  if (text.size() < 2 || text.front() != '#') return std::nullopt;
  return text::parseNumber(text.substr(1), 0xFFFF);
}

std::string Names::referenceText(ListId list, std::uint32_t number) {
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

int Names::find(ListId list, const std::string& name) {
  const Index& index = of(list);
  const auto it = index.first.find(name);
  return it == index.first.end() ? -1 : it->second;
}

void Names::added(ListId list, int at) {
  Index& index = of(list);
  const std::string name = recordName(doc_, list, at);
  index.first.emplace(name, at);
  ++index.count[name];
}

Names::Index& Names::of(ListId list) {
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

}  // namespace pw::exchange
