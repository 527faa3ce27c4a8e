#include "textform/TextDiff.h"

#include <cstdio>

#include "textform/PlugCompare.h"
#include "textform/TextYaml.h"

namespace pw::text {
namespace {

constexpr std::size_t kShownBytes = 16;  // of a rest difference, per side

// Values in the text form's own words, so a difference reads like the lines it came from.
std::string valueText(const TextValue& v) { return yamlValue(v); }

std::string title(const TextRecord& r) {
  const std::string n = std::to_string(r.number);
  return r.fields.empty() || !r.fields.front().value.quoted ? n : n + " " + valueText(r.fields.front().value);
}

void fieldLines(const std::string& prefix, const RecordDifference& d, std::vector<std::string>& out) {
  for (const FieldDifference& f : d.fields)
    out.push_back(prefix + f.a->key + ": " + valueText(f.a->value) + " -> " +
                  (f.b ? valueText(f.b->value) : "(none)"));
}

void recordLines(const SectionDesc& s, const RecordDifference& d, std::vector<std::string>& out) {
  using Kind = RecordDifference::Kind;
  switch (d.kind) {
    case Kind::Moved:
      out.push_back("  moved " + std::to_string(d.a->number) + " -> " + title(*d.b));
      break;
    case Kind::Removed:
      out.push_back("  removed " + title(*d.a));
      break;
    case Kind::Added:
      out.push_back("  added " + title(*d.b));
      break;
    case Kind::Changed:
      if (s.list)
        fieldLines("  changed " + title(*d.a) + ": ", d, out);
      else if (s.count)
        fieldLines("  " + std::to_string(d.a->number) + " ", d, out);
      else
        fieldLines("  ", d, out);
      break;
  }
}

std::string hexOf(const std::vector<std::uint8_t>& bytes) {
  std::string s;
  char buf[4];
  for (std::size_t i = 0; i < bytes.size() && i < kShownBytes; ++i) {
    std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
    s += buf;
  }
  return bytes.size() > kShownBytes ? s + "..." : s;
}

}  // namespace

std::vector<std::string> diffFiles(ByteSpan a, ByteSpan b) {
  const PlugComparison comparison = compareFiles(a, b);
  std::vector<std::string> out;
  for (const SectionDifference& s : comparison.sections()) {
    out.push_back(std::string(s.desc->key) + ":");
    for (const RecordDifference& d : s.records) recordLines(*s.desc, d, out);
  }
  if (const auto& crc = comparison.suffixCrc())
    out.push_back(std::string(kSuffixCrcKey) + ": " + suffixCrcText(crc->a) + " -> " + suffixCrcText(crc->b));
  if (!comparison.rest().empty()) out.push_back("rest:");
  for (const RestDifference& r : comparison.rest()) {
    char at[24];
    std::snprintf(at, sizeof at, "0x%05zX", r.at);
    out.push_back("  " + std::string(at) + " (" + regionLabel(r.at) + "): " + hexOf(r.a) + " -> " +
                  hexOf(r.b));
  }
  return out;
}

}  // namespace pw::text
