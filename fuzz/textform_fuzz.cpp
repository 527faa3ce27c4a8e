// The text form: any image that passes the load checks must come back byte for byte
// through dump and build, and any text, however malformed, must give a file or an
// error without crashing.
//
// An image is a clean plug with the input laid over it, so most sections describe as the
// clean plug's do. The clean plug makes the whole way through its text once; after that,
// a run writes and reads back as text only the records that differ from the clean plug's
// (a block whole; and the runs of the rest the clean plug's lacks, and the suffix CRC), and
// builds the file from those and the others as described: the same round trip, without
// reading the same text again every run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/CodePlugBuilder.h"
#include "textform/TextYaml.h"

namespace {

using namespace pw::text;

bool sameValue(const TextValue& a, const TextValue& b) {
  return a.text == b.text && a.items == b.items && a.isList == b.isList && a.quoted == b.quoted &&
         a.comment == b.comment;
}

// Written the same: the same number, fields and values (lines aside).
bool sameRecord(const TextRecord& x, const TextRecord& y) {
  if (x.number != y.number || x.fields.size() != y.fields.size()) return false;
  for (std::size_t f = 0; f < x.fields.size(); ++f)
    if (x.fields[f].key != y.fields[f].key || !sameValue(x.fields[f].value, y.fields[f].value)) return false;
  return true;
}

bool sameSection(const TextSection& a, const TextSection& b) {
  if (a.desc != b.desc || a.records.size() != b.records.size()) return false;
  for (std::size_t r = 0; r < a.records.size(); ++r)
    if (!sameRecord(a.records[r], b.records[r])) return false;
  return true;
}

const TextPlug& cleanPlug(const std::vector<std::uint8_t>& clean) {
  static const TextPlug plug = [&] {
    // The whole way once: the sections taken from here on as described come back through
    // their text as they are.
    const auto built = buildFile(dumpText(clean));
    const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&built);
    if (!bytes || *bytes != clean) std::abort();
    return describe(clean);
  }();
  return plug;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  if (data[0] & 1) {  // a text
    (void)buildFile(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
  }
  // An image: a clean plug with the input laid over it from a chosen place, the
  // framing's checked bytes kept.
  static const std::vector<std::uint8_t> clean = pwtest::CodePlugBuilder().bytes();
  static const TextPlug& cleanText = cleanPlug(clean);
  // Buffers reused from run to run: a run allocates no image of its own.
  static std::vector<std::uint8_t> file, scratch, built;
  file = clean;
  const std::size_t at =
      11 + (std::size_t(data[1]) << 16 | std::size_t(data[2]) << 8 | data[3]) % (file.size() - 11);
  const std::size_t n = std::min(size - 4, file.size() - at);
  std::copy(data + 4, data + 4 + n, file.begin() + std::ptrdiff_t(at));

  TextPlug described = describe(file, &scratch);
  if (described.sections.size() != cleanText.sections.size()) std::abort();
  TextPlug changed{.suffixCrc = described.suffixCrc};
  std::vector<std::size_t> written;                // where each section written came from
  std::vector<std::vector<std::size_t>> records;  // and each of its records
  for (std::size_t s = 0; s < described.sections.size(); ++s) {
    TextSection& section = described.sections[s];
    const TextSection& clean = cleanText.sections[s];
    if (sameSection(section, clean)) continue;
    written.push_back(s);
    TextSection& out = changed.sections.emplace_back(TextSection{.desc = section.desc});
    std::vector<std::size_t>& from = records.emplace_back();
    // Of numbered records (in the order of their numbers) only those the clean plug's
    // section lacks; a block is its one record.
    for (std::size_t r = 0, c = 0; r < section.records.size(); ++r) {
      while (c < clean.records.size() && clean.records[c].number < section.records[r].number) ++c;
      if (numbered(*section.desc) && c < clean.records.size() && sameRecord(clean.records[c], section.records[r]))
        continue;
      from.push_back(r);
      out.records.push_back(std::move(section.records[r]));
    }
  }
  // So are the runs of the rest: only those the clean plug's rest does not hold (both
  // come in the order of the file) are written.
  std::vector<std::size_t> writtenRuns;
  for (std::size_t r = 0, c = 0; r < described.rest.size(); ++r) {
    const RestRun& run = described.rest[r];
    while (c < cleanText.rest.size() && cleanText.rest[c].at < run.at) ++c;
    if (c < cleanText.rest.size() && cleanText.rest[c].at == run.at && cleanText.rest[c].bytes == run.bytes)
      continue;
    writtenRuns.push_back(r);
    changed.rest.push_back(std::move(described.rest[r]));
  }
  auto read = fromYaml(toYaml(changed));
  auto* back = std::get_if<TextPlug>(&read);
  if (!back || back->sections.size() != written.size() || back->rest.size() != writtenRuns.size()) std::abort();
  // Each section and run read back goes where it was written from.
  for (std::size_t k = 0; k < written.size(); ++k) {
    TextSection& section = back->sections[k];
    if (section.desc != changed.sections[k].desc || section.records.size() != records[k].size()) std::abort();
    for (std::size_t j = 0; j < records[k].size(); ++j) {
      if (section.records[j].number != changed.sections[k].records[j].number) std::abort();
      described.sections[written[k]].records[records[k][j]] = std::move(section.records[j]);
    }
  }
  for (std::size_t k = 0; k < writtenRuns.size(); ++k) {
    if (back->rest[k].at != changed.rest[k].at) std::abort();
    described.rest[writtenRuns[k]] = std::move(back->rest[k]);
  }
  described.suffixCrc = back->suffixCrc;
  auto result = assemble(described, std::move(built));
  auto* bytes = std::get_if<std::vector<std::uint8_t>>(&result);
  if (!bytes || *bytes != file) std::abort();
  built = std::move(*bytes);
  return 0;
}
