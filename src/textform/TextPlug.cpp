#include "textform/TextPlug.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "codeplug/DfuseSuffix.h"
#include "codeplug/Encodings.h"
#include "codeplug/Layout.h"

namespace pw::text {
namespace {

// Zero gaps shorter than this stay inside one run of the rest; equal bytes from this
// many on are a run of their own (written as a fill); other runs are cut at this length.
constexpr std::size_t kJoinGap = 8;
constexpr std::size_t kFillFrom = 16;
constexpr std::size_t kChunk = 32;

const MemberListLayout* membersOf(ListId list) {
  for (const MemberListLayout& m : memberLayouts())
    if (m.owner == list) return &m;
  return nullptr;
}

std::string numberList(const std::vector<std::string>& items) {
  std::string s;
  for (const std::string& i : items) s += (s.empty() ? "" : ", ") + i;
  return s;
}

// ---- the regions of the file, for labels and for cutting the rest ----
struct Region {
  std::size_t begin, end;
  std::string label;
  int recordSize = 0;  // lists: records are labelled one by one
};

const std::vector<Region>& regions() {
  static const std::vector<Region> all = [] {
    std::vector<Region> r{{0, kFileDfuseVersion + 6, "DfuSe prefix"},
                          {kFileDfuseTargets + 1, kFileRadioInfo, "DfuSe target"},
                          {kFileDfuseSuffix, kRdtFileSize, "DfuSe suffix"}};
    for (const SectionDesc& s : catalogue()) {
      if (s.list) {
        const RecordListLayout& l = layoutOf(*s.list);
        const std::size_t begin = fileOffset(l.start);
        r.push_back({begin, begin + std::size_t(l.count) * l.recordSize, s.key, l.recordSize});
      } else if (s.count) {
        r.push_back({s.fileOffset, s.fileOffset + std::size_t(s.count) * s.size, s.key, int(s.size)});
      } else {
        r.push_back({s.fileOffset, s.fileOffset + s.size, s.key});
      }
    }
    std::sort(r.begin(), r.end(), [](const Region& a, const Region& b) { return a.begin < b.begin; });
    for (std::size_t k = 1; k < r.size(); ++k)
      if (r[k].begin < r[k - 1].end) std::abort();  // a layout fault: the lookup below needs them apart
    return r;
  }();
  return all;
}

// The region holding `at` (nothing between regions), and where its label ends: the record's
// end in a list, or where the next region begins.
std::pair<const Region*, std::size_t> regionOf(std::size_t at) {
  // Regions do not overlap: the one holding `at` can only be the last that begins at or before it.
  const std::vector<Region>& all = regions();
  const auto after = std::upper_bound(all.begin(), all.end(), at,
                                      [](std::size_t a, const Region& r) { return a < r.begin; });
  if (after != all.begin()) {
    const Region& r = *std::prev(after);
    if (at < r.end) {
      if (!r.recordSize) return {&r, r.end};
      const std::size_t index = (at - r.begin) / r.recordSize;
      return {&r, r.begin + (index + 1) * r.recordSize};
    }
  }
  return {nullptr, after == all.end() ? kRdtFileSize : after->begin};
}

// The label of `at` and where that label ends.
std::pair<std::string, std::size_t> regionAt(std::size_t at) {
  const auto [r, end] = regionOf(at);
  if (r && !r->recordSize) return {r->label, end};
  if (r) return {r->label + " " + std::to_string((at - r->begin) / r->recordSize + 1), end};
  char buf[32];
  std::snprintf(buf, sizeof buf, "image 0x%05zX", at >= kImageBase ? at - kImageBase : at);
  return {buf, end};
}

// The residual is compared a block at a time (memcmp), then a word at a time.
constexpr std::size_t kBlock = 256;
constexpr std::uint8_t kZeroBlock[kBlock] = {};

std::uint64_t word(const std::uint8_t* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

// Cuts the non-zero bytes of a residual into runs: equal bytes as one run, the others in
// chunks, never across a record or section.
std::vector<RestRun> restRuns(const std::vector<std::uint8_t>& residual) {
  std::vector<RestRun> runs;
  std::size_t i = 0;
  const std::size_t n = residual.size();
  while (i < n) {
    // A typical residual is zero nearly everywhere: it is passed over a block, then a word at a time.
    if (i % kBlock == 0 && i + kBlock <= n && std::memcmp(residual.data() + i, kZeroBlock, kBlock) == 0) {
      i += kBlock;
      continue;
    }
    if (i % 8 == 0 && i + 8 <= n && word(residual.data() + i) == 0) {
      i += 8;
      continue;
    }
    if (residual[i] == 0) {
      ++i;
      continue;
    }
    const std::size_t regionEnd = regionOf(i).second;
    // Extend over short zero gaps, within the region.
    std::size_t end = i, zeros = 0;
    for (std::size_t j = i; j < regionEnd && zeros < kJoinGap; ++j) {
      if (residual[j] == 0) {
        ++zeros;
      } else {
        zeros = 0;
        end = j + 1;
      }
    }
    const auto sameFrom = [&](std::size_t k) {
      std::size_t e = k;
      while (e < end && residual[e] == residual[k]) ++e;
      return e;
    };
    while (i < end) {
      std::size_t stop = sameFrom(i);
      if (stop - i < kFillFrom) {
        // A chunk that stops before the next long run of equal bytes.
        stop = i;
        while (stop < end && stop - i < kChunk) {
          const std::size_t k = sameFrom(stop);
          if (k - stop >= kFillFrom) break;
          stop = std::min(k, i + kChunk);
        }
      }
      runs.push_back({i, std::vector<std::uint8_t>(residual.begin() + i, residual.begin() + stop)});
      i = stop;
    }
  }
  return runs;
}

TextError fieldError(const TextValue& v, const std::string& field, const std::string& message) {
  return {v.line, field, message};
}

// The section or record an error is about ("channels 12", "radio"), put into words only
// for an error: a build reads thousands of records that have none.
struct Where {
  const char* section;
  std::optional<int> number{};  // a record's as the text gives it (0 too); none for a block
  std::string text() const {
    return number ? std::string(section) + " " + std::to_string(*number) : std::string(section);
  }
};

// What a description knows of the values it wrote: per section of the plug, per field of its
// records in their order, the stored value the field's text reads back as, where that holds
// whatever document it is read for. Building the description's own fields then takes the
// value instead of reading its text again.
struct KnownValue {
  std::uint32_t value = 0;
  bool known = false;
};
using KnownValues = std::vector<std::vector<KnownValue>>;

class Assembler {
 public:
  // Builds on zeros, in `buffer` when one is handed over (a file-sized buffer is a fresh
  // mapping of memory each time one is made).
  explicit Assembler(std::vector<std::uint8_t> buffer = {}) : doc_(nullptr) {
    buffer.assign(kRdtFileSize, 0);
    doc_.holdImage(std::move(buffer));
  }

  std::optional<TextError> run(const TextPlug& plug, const KnownValues* known = nullptr) {
    const auto from = [&](std::size_t section) {
      known_ = known && section < known->size() ? (*known)[section].data() : nullptr;
    };
    for (std::size_t k = 0; k < plug.sections.size(); ++k)
      if (!plug.sections[k].desc->list) {
        from(k);
        if (auto e = block(plug.sections[k])) return e;
      }
    for (const SectionDesc& s : catalogue())
      if (s.list) freshList(*s.list);
    for (std::size_t k = 0; k < plug.sections.size(); ++k)
      if (plug.sections[k].desc->list) {
        from(k);
        if (auto e = list(plug.sections[k])) return e;
      }
    return std::nullopt;
  }

  std::vector<std::uint8_t> take() { return std::move(doc_.workingImage); }

  // A read-only value must read as the finished file shows it: nothing in a text can change it.
  // The file is lent to a document for the reading and handed back.
  std::optional<TextError> checkShown(std::vector<std::uint8_t>& file) const {
    CodePlugDocument doc(nullptr);
    doc.holdImage(std::move(file));
    std::optional<TextError> error;
    for (const auto& [shown, value, where, key] : shown_)
      if (value->isList || value->text != escapeText(shown->show(doc))) {
        error = fieldError(*value, where.text() + "." + std::string(key),
                           "read-only: the text must stay \"" + escapeText(shown->show(doc)) + "\"");
        break;
      }
    file = std::move(doc.workingImage);
    return error;
  }

 private:
  std::optional<TextError> block(const TextSection& s) {
    if (s.desc->count) return table(s);
    if (s.records.size() != 1) return TextError{s.line, s.desc->key, "a settings block is one map of fields"};
    MutableByteSpan bytes = MutableByteSpan(doc_.workingImage).subspan(s.desc->fileOffset, s.desc->size);
    return fields(*s.desc, s.records.front(), bytes, Where{s.desc->key});
  }

  std::optional<TextError> table(const TextSection& s) {
    std::vector<bool> seen(std::size_t(s.desc->count));
    for (const TextRecord& r : s.records) {
      const Where where{s.desc->key, r.number};
      if (auto e = checkNumber(r, s.desc->count, seen, where)) return e;
      MutableByteSpan bytes =
          MutableByteSpan(doc_.workingImage)
              .subspan(s.desc->fileOffset + std::size_t(r.number - 1) * s.desc->size, s.desc->size);
      if (auto e = fields(*s.desc, r, bytes, where)) return e;
    }
    return std::nullopt;
  }

  static std::optional<TextError> checkNumber(const TextRecord& r, int count, std::vector<bool>& seen,
                                              const Where& where) {
    if (r.number < 1 || r.number > count)
      return TextError{r.line, where.text(), "record number outside 1.." + std::to_string(count)};
    if (seen[std::size_t(r.number - 1)]) return TextError{r.line, where.text(), "record number given twice"};
    seen[std::size_t(r.number - 1)] = true;
    return std::nullopt;
  }

  // Every free record of a list is alike: written once, copied to the others.
  void freshList(ListId id) {
    const RecordListLayout& l = layoutOf(id);
    const std::size_t size = std::size_t(l.recordSize);
    const MutableByteSpan all = doc_.bytes(l.start, std::size_t(l.count) * size);
    l.writeFresh(doc_, all.first(size), false);
    for (std::size_t at = size; at < all.size(); at += size) std::memcpy(all.data() + at, all.data(), size);
  }

  std::optional<TextError> list(const TextSection& s) {
    const RecordListLayout& l = layoutOf(*s.desc->list);
    std::vector<bool> seen(std::size_t(l.count));
    for (const TextRecord& r : s.records) {
      const Where where{s.desc->key, r.number};
      if (auto e = checkNumber(r, l.count, seen, where)) return e;
      MutableByteSpan rec = recordBytes(doc_, *s.desc->list, r.number - 1);
      l.writeFresh(doc_, rec, true);
      if (auto e = fields(*s.desc, r, rec, where)) return e;
    }
    return std::nullopt;
  }

  std::optional<TextError> fields(const SectionDesc& s, const TextRecord& r, MutableByteSpan rec,
                                  const Where& where) {
    std::size_t next = 0;  // texts list the fields in the catalogue's order: look there first
    for (const TextField& f : r.fields) {
      const KnownValue* known = known_ ? known_++ : nullptr;
      const auto error = [&](const std::string& message) {
        return fieldError(f.value, where.text() + "." + f.key, message);
      };
      const FieldDesc* d =
          next < s.fields.size() && f.key == s.fields[next].key ? &s.fields[next] : findField(s, f.key);
      if (s.list && f.key == s.nameKey) {
        if (auto e = name(*s.list, f.value, rec)) return error(*e);
      } else if (s.list && f.key == kMembersKey && membersOf(*s.list)) {
        if (auto e = members(*membersOf(*s.list), f.value, rec)) return error(*e);
      } else if (d) {
        next = std::size_t(d - s.fields.data()) + 1;
        if (f.value.isList) return error("a single value is expected");
        if (d->codec) {
          if (!d->codec->parse(f.value.text, rec.subspan(d->range.byte, d->range.length)))
            return error("\"" + f.value.text + "\" is not a text it can hold");
          continue;
        }
        if (known && known->known) {
          writeField(rec, *d, known->value);
          continue;
        }
        const auto v = parseField(doc_, *d, f.value.text);
        if (!v) return error("\"" + f.value.text + "\" is neither a choice nor a number it can hold");
        writeField(rec, *d, *v);
      } else if (const ShownValue* shown = shownValue(s, f.key)) {
        shown_.push_back({shown, &f.value, where, f.key});  // checked on the finished file
      } else {
        return error("unknown field");
      }
    }
    return std::nullopt;
  }

  // What is wrong with a name or a member list, if anything; the fields are written otherwise.
  static std::optional<std::string> name(ListId id, const TextValue& v, MutableByteSpan rec) {
    if (v.isList) return "a text is expected";
    std::string problem;
    const auto bytes = unescapeName(v.text, &problem);
    if (!bytes) return problem;
    const RecordListLayout& l = layoutOf(id);
    if (bytes->size() > std::size_t(l.nameUnits))
      return std::to_string(bytes->size()) + " characters, more than the field's " + std::to_string(l.nameUnits);
    // As written, untrimmed: the text holds the name exactly as stored.
    encodeName(rec.subspan(l.nameOffset), l.nameUnits, *bytes);
    return std::nullopt;
  }

  static std::optional<std::string> members(const MemberListLayout& m, const TextValue& v,
                                            MutableByteSpan rec) {
    if (!v.isList) return "a list of record numbers is expected";
    if (int(v.items.size()) > m.slotCount) return "more than " + std::to_string(m.slotCount) + " members";
    for (int k = 0; k < m.slotCount; ++k) {
      std::uint32_t number = 0;
      if (k < int(v.items.size())) {
        const auto n = parseNumber(v.items[k], 0xFFFF);
        if (!n) return "\"" + v.items[k] + "\" is not a record number";
        number = *n;
      }
      setU16le(rec, std::size_t(m.offset + 2 * k), std::uint16_t(number));
    }
    return std::nullopt;
  }

  static const ShownValue* shownValue(const SectionDesc& s, std::string_view key) {
    for (const ShownValue& v : s.shown)
      if (key == v.key) return &v;
    return nullptr;
  }

  struct ShownField {
    const ShownValue* shown;
    const TextValue* value;
    Where where;
    std::string_view key;  // the field's, which outlives the check
  };
  CodePlugDocument doc_;
  std::vector<ShownField> shown_;
  const KnownValue* known_ = nullptr;  // the next field's, while a description is built
};

// `known` gets one entry for each field of the record.
TextRecord describeRecord(const CodePlugDocument& doc, const SectionDesc& s, ByteSpan rec, int number,
                          std::vector<KnownValue>& known) {
  TextRecord r{.number = number};
  r.fields.reserve(fieldRoom(s));
  const auto add = [&](const char* key, TextValue value, KnownValue k = {}) {
    r.fields.push_back({FieldKey::fixed(key), std::move(value)});
    known.push_back(k);
  };
  if (s.list) {
    const RecordListLayout& l = layoutOf(*s.list);
    add(s.nameKey, {.text = nameText(rec.subspan(l.nameOffset), l.nameUnits), .quoted = true});
  }
  for (const FieldDesc& f : s.fields) {
    if (f.codec) {
      add(f.key, {.text = f.codec->render(rec.subspan(f.range.byte, f.range.length)), .quoted = true});
      continue;
    }
    const std::uint32_t value = readField(rec, f);
    Shown shown = renderField(doc, f, value);
    add(f.key, {.text = std::move(shown.text), .comment = std::move(shown.comment)}, {value, shown.readsBack});
  }
  for (const ShownValue& v : s.shown)
    add(v.key, {.text = escapeText(v.show(doc)), .quoted = true, .comment = "read-only"});
  if (const MemberListLayout* m = s.list ? membersOf(*s.list) : nullptr) {
    TextValue v{.isList = true};
    int last = 0;
    for (int k = 0; k < m->slotCount; ++k)
      if (u16le(rec, std::size_t(m->offset + 2 * k))) last = k + 1;
    std::vector<std::string> names;
    for (int k = 0; k < last; ++k) {
      const std::uint16_t n = u16le(rec, std::size_t(m->offset + 2 * k));
      v.items.push_back(std::to_string(n));
      const RecordListLayout& referred = layoutOf(m->referred);
      names.push_back(n >= 1 && n <= referred.count && inUse(doc, m->referred, n - 1)
                          ? recordName(doc, m->referred, n - 1)
                          : "-");
    }
    v.comment = numberList(names);
    add(kMembersKey, std::move(v));
  }
  return r;
}

}  // namespace

std::string describeError(const TextError& e) {
  return "line " + std::to_string(e.line) + ": " + e.field + ": " + e.message;
}

TextPlug describe(ByteSpan file, std::vector<std::uint8_t>* scratch) {
  CodePlugDocument doc(nullptr);
  std::vector<std::uint8_t> copy = scratch ? std::move(*scratch) : std::vector<std::uint8_t>();
  copy.assign(file.begin(), file.end());
  doc.holdImage(std::move(copy));
  TextPlug plug;
  plug.sections.reserve(catalogue().size());
  KnownValues known(catalogue().size());
  for (const SectionDesc& s : catalogue()) {
    TextSection section{.desc = &s};
    std::vector<KnownValue>& values = known[plug.sections.size()];
    const std::size_t perRecord = fieldRoom(s);
    if (s.list) {
      const std::vector<std::uint8_t> used = inUseMarks(doc, *s.list);
      const auto inUse = std::size_t(std::count(used.begin(), used.end(), 1));
      section.records.reserve(inUse);
      values.reserve(perRecord * inUse);
      for (int i = 0; i < int(used.size()); ++i)
        if (used[std::size_t(i)])
          section.records.push_back(describeRecord(doc, s, recordBytes(doc, *s.list, i), i + 1, values));
    } else if (s.count) {
      section.records.reserve(std::size_t(s.count));
      values.reserve(perRecord * std::size_t(s.count));
      for (int i = 0; i < s.count; ++i)
        section.records.push_back(describeRecord(
            doc, s, file.subspan(s.fileOffset + std::size_t(i) * s.size, s.size), i + 1, values));
    } else {
      section.records.push_back(describeRecord(doc, s, file.subspan(s.fileOffset, s.size), 0, values));
    }
    plug.sections.push_back(std::move(section));
  }
  // What the described fields give; the rest is whatever differs from it, the suffix CRC aside.
  Assembler fields(std::move(doc.workingImage));  // the described document is done with
  fields.run(plug, &known);
  std::vector<std::uint8_t> residual = fields.take();
  // Nearly every block the fields give is the file's: those are zeroed whole.
  for (std::size_t at = 0; at < residual.size(); at += kBlock) {
    const std::size_t n = std::min(kBlock, residual.size() - at);
    std::uint8_t* r = residual.data() + at;
    if (std::memcmp(r, file.data() + at, n) == 0) {
      std::memset(r, 0, n);
      continue;
    }
    std::size_t k = 0;
    for (; k + 8 <= n; k += 8) {
      const std::uint64_t x = word(r + k) ^ word(file.data() + at + k);
      std::memcpy(r + k, &x, sizeof x);
    }
    for (; k < n; ++k) r[k] ^= file[at + k];
  }
  plug.suffixCrc = suffixCrcMatches(file) ? SuffixCrc{.matches = true} : SuffixCrc{.stored = storedSuffixCrc(file)};
  setU32le(residual, kFileSuffixCrc, 0);
  plug.rest = restRuns(residual);
  if (scratch) *scratch = std::move(residual);
  return plug;
}

std::variant<std::vector<std::uint8_t>, TextError> assemble(const TextPlug& plug,
                                                            std::vector<std::uint8_t> buffer) {
  Assembler a(std::move(buffer));
  if (auto e = a.run(plug)) return *e;
  std::vector<std::uint8_t> file = a.take();
  for (const RestRun& run : plug.rest) {
    if (run.at > file.size() || run.bytes.size() > file.size() - run.at)
      return TextError{run.line, "rest", "bytes beyond the end of the file"};
    for (std::size_t k = 0; k < run.bytes.size(); ++k) file[run.at + k] ^= run.bytes[k];
  }
  if (plug.suffixCrc && plug.suffixCrc->matches)
    setSuffixCrc(file);
  else if (plug.suffixCrc)
    setU32le(file, kFileSuffixCrc, plug.suffixCrc->stored);
  if (auto e = a.checkShown(file)) return *e;
  // Whatever was edited, the result must be a file the editor loads.
  if (const int code = checkRdtFile(file))
    return TextError{0, "rest", std::string("the text gives no code plug: ") + loadMessage(code)};
  return file;
}

std::vector<std::uint8_t> restBytes(const TextPlug& plug) {
  std::vector<std::uint8_t> rest(kRdtFileSize, 0);
  for (const RestRun& run : plug.rest)
    for (std::size_t k = 0; k < run.bytes.size() && run.at + k < rest.size(); ++k)
      rest[run.at + k] ^= run.bytes[k];
  return rest;
}

std::string regionLabel(std::size_t fileOffset) { return regionAt(fileOffset).first; }

std::string suffixCrcText(const SuffixCrc& crc) {
  if (crc.matches) return "matches";
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", crc.stored);
  return buf;
}

std::optional<SuffixCrc> parseSuffixCrc(std::string_view text) {
  if (text == "matches") return SuffixCrc{.matches = true};
  const auto stored = parseNumber(text, 0xFFFFFFFF);
  return stored ? std::optional(SuffixCrc{.stored = *stored}) : std::nullopt;
}

}  // namespace pw::text
