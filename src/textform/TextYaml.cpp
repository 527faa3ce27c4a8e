#include "textform/TextYaml.h"

#include <yaml.h>

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <set>
#include <stdexcept>

#include "codeplug/Layout.h"
#include "textform/FieldCatalogue.h"

namespace pw::text {
namespace {

constexpr const char* kRestKey = "rest";
constexpr std::size_t kMaxCatalogueFields = 64;  // more in a section are compared by key
constexpr const char* kHeader =
    "Plugwright code plug text. Values as the tabs show them; a number with a comment is stored\n"
    "as it is. \"rest\" holds every bit no field covers, as hex XORed over what the fields give.";

std::string hex(const std::uint8_t* p, std::size_t n) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string s;
  s.reserve(2 * n);
  for (std::size_t i = 0; i < n; ++i) {
    s += kDigits[p[i] >> 4];
    s += kDigits[p[i] & 15];
  }
  return s;
}

std::string offsetText(std::size_t at) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%05zX", at);
  return buf;
}

bool allEqual(const std::vector<std::uint8_t>& b) {
  return b.size() > 1 && std::all_of(b.begin(), b.end(), [&](std::uint8_t x) { return x == b.front(); });
}

// ---- writing ----
// libyaml writes the YAML and picks each value's quoting. It writes no comments, so the
// writer asks for one line a field (block maps, members as a flow list, no line width) and
// puts each comment at the end of its line as the text comes out.

bool isNullWord(std::string_view t) {
  return t.empty() || t == "~" || t == "null" || t == "Null" || t == "NULL";
}

class Writer {
 public:
  // `header` goes first, as comment lines.
  // `expectedLines`: room for a text of that size, so nothing is copied while it grows.
  explicit Writer(std::string_view header = {}, std::size_t expectedLines = 0) {
    text_.reserve(expectedLines * 32);
    comments_.reserve(expectedLines);
    for (std::string_view rest = header; !rest.empty();) {
      const std::size_t end = std::min(rest.find('\n'), rest.size());
      text_.append("# ").append(rest.substr(0, end)) += '\n';
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    if (!header.empty()) text_ += '\n';
    yaml_emitter_initialize(&emitter_);
    yaml_emitter_set_output(&emitter_, &Writer::append, this);
    yaml_emitter_set_width(&emitter_, -1);
    yaml_emitter_set_unicode(&emitter_, 1);
    yaml_event_t e;
    check(yaml_stream_start_event_initialize(&e, YAML_UTF8_ENCODING), e);
    check(yaml_document_start_event_initialize(&e, nullptr, nullptr, nullptr, 1), e);
    beginMap();
  }
  ~Writer() { yaml_emitter_delete(&emitter_); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // "key:" on a line of its own, the section's records below it.
  void section(std::string_view key, bool numbered, bool empty) {
    word(key);
    if (numbered && empty) {
      beginSeq(true);
      endSeq();
    } else if (numbered) {
      beginSeq(false);
    } else {
      beginMap();
    }
    comments_.emplace_back();
  }
  void endSection(bool numbered, bool empty) {
    if (numbered && empty) return;
    if (numbered)
      endSeq();
    else
      endMap();
  }

  void record(const TextRecord& r, bool numbered) {
    if (numbered) {
      beginMap();
      field(kNumberKey, {.text = std::to_string(r.number)});
    }
    for (const TextField& f : r.fields) field(f.key, f.value);
    if (numbered) endMap();
  }

  void field(std::string_view key, const TextValue& v) {
    word(key);
    if (v.isList) {
      beginSeq(true);
      for (const std::string& item : v.items) word(item);
      endSeq();
    } else {
      // A name is always quoted, and so is any text a reader would take for no value.
      scalar(v.text,
             v.quoted || isNullWord(v.text) ? YAML_SINGLE_QUOTED_SCALAR_STYLE : YAML_PLAIN_SCALAR_STYLE);
    }
    // The value outlives its line (the text's own records), unless it has no comment.
    comments_.push_back(v.comment.empty() ? std::string_view() : std::string_view(v.comment));
  }
  // A field whose comment is made here: the writer keeps it until its line is written.
  void field(std::string_view key, const TextValue& v, std::string comment) {
    field(key, v);
    comments_.back() = made_.emplace_back(std::move(comment));
  }

  void beginMap() {
    yaml_event_t e;
    check(yaml_mapping_start_event_initialize(&e, nullptr, nullptr, 1, YAML_BLOCK_MAPPING_STYLE), e);
  }
  void endMap() {
    yaml_event_t e;
    check(yaml_mapping_end_event_initialize(&e), e);
  }
  void beginSeq(bool flow) {
    yaml_event_t e;
    check(yaml_sequence_start_event_initialize(&e, nullptr, nullptr, 1,
                                               flow ? YAML_FLOW_SEQUENCE_STYLE : YAML_BLOCK_SEQUENCE_STYLE),
          e);
  }
  void endSeq() {
    yaml_event_t e;
    check(yaml_sequence_end_event_initialize(&e), e);
  }

  std::string finish() {
    endMap();
    yaml_event_t e;
    check(yaml_document_end_event_initialize(&e, 1), e);
    check(yaml_stream_end_event_initialize(&e), e);
    if (line_ != comments_.size()) throw std::logic_error("the text's lines went astray");
    return std::move(text_);
  }

 private:
  void word(std::string_view t) {
    scalar(t, isNullWord(t) ? YAML_SINGLE_QUOTED_SCALAR_STYLE : YAML_PLAIN_SCALAR_STYLE);
  }
  void scalar(std::string_view t, yaml_scalar_style_t style) {
    yaml_event_t e;
    check(yaml_scalar_event_initialize(&e, nullptr, nullptr,
                                       reinterpret_cast<yaml_char_t*>(const_cast<char*>(t.data())),
                                       int(t.size()), 1, 1, style),
          e);
  }
  // Every text handed over is valid UTF-8 (names are escaped before), so a refusal is a fault here.
  void check(int made, yaml_event_t& e) {
    if (!made) throw std::logic_error("a value libyaml cannot write");
    if (!yaml_emitter_emit(&emitter_, &e))
      throw std::logic_error(std::string("libyaml: ") +
                             (emitter_.problem ? emitter_.problem : "cannot write"));
  }
  // Each line's comment goes in before the line's end as the text arrives.
  static int append(void* data, unsigned char* bytes, std::size_t size) {
    Writer& w = *static_cast<Writer*>(data);
    std::string_view chunk(reinterpret_cast<const char*>(bytes), size);
    for (std::size_t end; (end = chunk.find('\n')) != std::string_view::npos; chunk.remove_prefix(end + 1)) {
      w.text_.append(chunk.substr(0, end));
      if (w.line_ >= w.comments_.size()) return 0;  // a line nobody asked for: the layout broke
      if (!w.comments_[w.line_].empty()) {
        w.text_ += "  # ";
        appendEscaped(w.text_, w.comments_[w.line_]);  // plain ASCII whatever the file holds
      }
      w.text_ += '\n';
      ++w.line_;
    }
    w.text_.append(chunk);
    return 1;
  }

  yaml_emitter_t emitter_;
  std::string text_;
  std::vector<std::string_view> comments_;  // one a line of the text, until it is written
  std::deque<std::string> made_;
  std::size_t line_ = 0;  // lines written so far
};

// ---- reading ----
// The parser's events are read straight into records, in the one shape a text has: a map of
// sections, each a list of records (or one record), each a map of values. Anything else is an
// error at its line, found before the parser reads on, so no nesting goes deeper than that.

struct ReadError {
  TextError error;
};

class Reader {
 public:
  explicit Reader(const std::string& yaml) {
    yaml_parser_initialize(&parser_);
    yaml_parser_set_input_string(&parser_, reinterpret_cast<const unsigned char*>(yaml.data()), yaml.size());
  }
  ~Reader() {
    if (held_) yaml_event_delete(&event_);
    yaml_parser_delete(&parser_);
  }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  TextPlug plug() {
    TextPlug plug;
    next();  // the stream's start
    next();
    if (is(YAML_STREAM_END_EVENT)) return plug;
    next();  // past the document's start
    if (isNull()) {
      next();
    } else if (!is(YAML_MAPPING_START_EVENT)) {
      fail("text", "a map of sections is expected");
    } else {
      for (next(); !is(YAML_MAPPING_END_EVENT);) section(plug);
      next();
    }
    next();  // past the document's end
    if (is(YAML_DOCUMENT_START_EVENT)) fail("text", "one code plug a text: a second document");
    return plug;
  }

 private:
  void section(TextPlug& plug) {
    const int line = this->line();
    const std::string key = scalar("text");
    if (!sectionKeys_.insert(key).second) throw ReadError{{line, key, "given twice"}};
    if (key == kSuffixCrcKey) {
      const int at = this->line();
      plug.suffixCrc = parseSuffixCrc(scalar(key));
      if (!plug.suffixCrc)
        throw ReadError{{at, key, "\"matches\" or the stored CRC as a number is expected"}};
      return;
    }
    if (key == kRestKey) {
      list(key, "runs", [&] { plug.rest.push_back(run()); });
      return;
    }
    const SectionDesc* desc = findSection(key);
    if (!desc) throw ReadError{{line, key, "unknown section"}};
    TextSection section{.desc = desc, .line = line};
    if (numbered(*desc))
      list(key, "records", [&] { section.records.push_back(record(*desc, key, true)); });
    else
      section.records.push_back(record(*desc, key, false));
    plug.sections.push_back(std::move(section));
  }

  // A list of items, or no value for none.
  template <typename ReadItem>
  void list(const std::string& key, const char* what, ReadItem item) {
    if (isNull()) {
      next();
      return;
    }
    if (!is(YAML_SEQUENCE_START_EVENT)) fail(key, std::string("a list of ") + what + " is expected");
    for (next(); !is(YAML_SEQUENCE_END_EVENT);) item();
    next();
  }

  TextRecord record(const SectionDesc& desc, const std::string& where, bool numbered) {
    if (!is(YAML_MAPPING_START_EVENT)) fail(where, "a map of fields is expected");
    TextRecord r{.line = line()};
    r.fields.reserve(fieldRoom(desc));
    bool hasNumber = false;
    // The catalogue's fields met so far by their place (a text lists them in the catalogue's
    // order, so the next one is looked at first); other keys are few and compared.
    std::bitset<kMaxCatalogueFields> seen;
    std::size_t expected = 0;
    for (next(); !is(YAML_MAPPING_END_EVENT);) {
      const int keyLine = line();
      const std::string_view text = scalarView(where);
      const FieldDesc* d =
          expected < desc.fields.size() && text == desc.fields[expected].key ? &desc.fields[expected]
                                                                             : findField(desc, text);
      // Known keys are the catalogue's own texts: nothing is copied for them.
      const FieldKey key = d                       ? FieldKey::fixed(d->key)
                           : text == desc.nameKey  ? FieldKey::fixed(desc.nameKey)
                           : text == kMembersKey   ? FieldKey::fixed(kMembersKey)
                                                   : FieldKey(std::string(text));
      next();
      const std::size_t place = d ? std::size_t(d - desc.fields.data()) : 0;
      if (d) expected = place + 1;
      const bool twice = d && place < seen.size()
                             ? seen.test(place)
                             : std::any_of(r.fields.begin(), r.fields.end(),
                                           [&](const TextField& f) { return f.key == key; });
      if (d && place < seen.size()) seen.set(place);
      // A key given twice would be taken silently, the last one winning.
      if ((numbered && hasNumber && key == kNumberKey) || twice)
        throw ReadError{{keyLine, (hasNumber ? where + " " + std::to_string(r.number) : where) + "." + key.str(),
                         "given twice in one record"}};
      if (numbered && key == kNumberKey) {
        const int line = this->line();
        const auto number = parseNumber(scalar(where, key.str()), 0xFFFF);
        if (!number) throw ReadError{{line, where + "." + key.str(), "a record number is expected"}};
        r.number = int(*number);
        hasNumber = true;
      } else {
        TextValue v = value(where, key.view());
        r.fields.push_back({std::move(key), std::move(v)});
      }
    }
    next();
    if (numbered && !hasNumber) throw ReadError{{r.line, where, "a record without a number"}};
    return r;
  }

  TextValue value(const std::string& where, std::string_view key) {
    TextValue v{.line = line()};
    if (is(YAML_SEQUENCE_START_EVENT)) {
      v.isList = true;
      for (next(); !is(YAML_SEQUENCE_END_EVENT);) v.items.push_back(scalar(where, key));
      next();
    } else if (isNull()) {
      next();
    } else {
      v.text = scalar(where, key);
    }
    return v;
  }

  RestRun run() {
    if (!is(YAML_MAPPING_START_EVENT))
      fail(kRestKey, "a run needs \"at\" and \"xor\" or \"fill\" and \"count\"");
    RestRun r{.line = line()};
    struct Part {
      std::optional<std::string> text;
      int line = 0;
    } at, x, fill, count;
    for (next(); !is(YAML_MAPPING_END_EVENT);) {
      const std::string key = scalar(kRestKey);
      Part* part = key == "at"      ? &at
                   : key == "xor"   ? &x
                   : key == "fill"  ? &fill
                   : key == "count" ? &count
                                    : nullptr;
      if (!part) fail(std::string(kRestKey) + "." + key, "unknown field");
      if (part->text) fail(std::string(kRestKey) + "." + key, "given twice in one run");
      part->line = line();
      part->text = scalar(kRestKey, key);
    }
    next();
    const auto hexOf = [](const Part& p) { return readHex(p.line, *p.text); };
    if (!at.text)
      throw ReadError{{r.line, kRestKey, "a run needs \"at\" and \"xor\" or \"fill\" and \"count\""}};
    const auto offset = parseNumber(*at.text, 0xFFFFFFFF);
    if (!offset) throw ReadError{{at.line, "rest.at", "an offset is expected"}};
    r.at = *offset;
    if (x.text) {
      r.bytes = hexOf(x);
    } else if (fill.text && count.text) {
      const auto byte = hexOf(fill);
      const auto times = parseNumber(*count.text, kRdtFileSize);
      if (byte.size() != 1 || !times)
        throw ReadError{{r.line, kRestKey, "one byte and a count up to the file's size are expected"}};
      r.bytes.assign(*times, byte.front());
    } else {
      throw ReadError{{r.line, kRestKey, "a run needs \"xor\" or \"fill\" and \"count\""}};
    }
    return r;
  }

  static std::vector<std::uint8_t> readHex(int line, const std::string& text) {
    const auto digit = [](char c) {
      return c >= '0' && c <= '9'   ? c - '0'
             : c >= 'a' && c <= 'f' ? c - 'a' + 10
             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                    : -1;
    };
    if (text.size() % 2) throw ReadError{{line, kRestKey, "an odd number of hex digits"}};
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
      const int hi = digit(text[i]), lo = digit(text[i + 1]);
      if (hi < 0 || lo < 0)
        throw ReadError{{line, kRestKey, std::string("\"").append(text, i, 2).append("\" is not hex")}};
      bytes.push_back(std::uint8_t(hi << 4 | lo));
    }
    return bytes;
  }

  // The text of a single value (a key included); the field's name is put together only
  // for an error.
  std::string scalar(const std::string& where, std::string_view key = {}) {
    std::string text(scalarView(where, key));
    next();
    return text;
  }
  // The same, valid until the next event is read.
  std::string_view scalarView(const std::string& where, std::string_view key = {}) const {
    if (!is(YAML_SCALAR_EVENT) || isNull())
      fail(key.empty() ? where : where + "." + std::string(key), "a single value is expected");
    return {reinterpret_cast<const char*>(event_.data.scalar.value), event_.data.scalar.length};
  }

  // As YAML reads it: a plain null word is no value at all.
  bool isNull() const {
    if (!is(YAML_SCALAR_EVENT)) return false;
    const auto& sc = event_.data.scalar;
    return sc.style == YAML_PLAIN_SCALAR_STYLE &&
           isNullWord(std::string_view(reinterpret_cast<const char*>(sc.value), sc.length));
  }
  bool is(yaml_event_type_t type) const { return event_.type == type; }
  int line() const { return int(event_.start_mark.line) + 1; }
  [[noreturn]] void fail(std::string field, std::string message) const {
    throw ReadError{{line(), std::move(field), std::move(message)}};
  }

  void next() {
    if (held_) yaml_event_delete(&event_);
    held_ = yaml_parser_parse(&parser_, &event_);
    if (!held_) {
      std::string message = std::string("malformed: ") + (parser_.problem ? parser_.problem : "unreadable");
      if (parser_.context) message += std::string(" ") + parser_.context;
      throw ReadError{{int(parser_.problem_mark.line) + 1, "text", message}};
    }
    refuseReferencesAndTags();
  }

  // An alias would be read as no value, and a tag (!!binary, ...) would be passed over with
  // its text stored as it stands: neither is stored as written, so the text must spell
  // every value out.
  void refuseReferencesAndTags() const {
    const auto text = [](const yaml_char_t* s) { return std::string(reinterpret_cast<const char*>(s)); };
    const yaml_char_t *anchor = nullptr, *tag = nullptr;
    switch (event_.type) {
      case YAML_ALIAS_EVENT:
        fail("text", "an alias (*" + text(event_.data.alias.anchor) + "): write the value itself");
      case YAML_SCALAR_EVENT:
        anchor = event_.data.scalar.anchor;
        tag = event_.data.scalar.tag;
        break;
      case YAML_SEQUENCE_START_EVENT:
        anchor = event_.data.sequence_start.anchor;
        tag = event_.data.sequence_start.tag;
        break;
      case YAML_MAPPING_START_EVENT:
        anchor = event_.data.mapping_start.anchor;
        tag = event_.data.mapping_start.tag;
        break;
      default:
        return;
    }
    if (anchor) fail("text", "an anchor (&" + text(anchor) + "): write each value where it is used");
    if (!tag) return;
    std::string written = text(tag);  // as the text wrote it: "!!binary", not its expansion
    if (constexpr std::string_view kCore = "tag:yaml.org,2002:"; written.starts_with(kCore))
      written.replace(0, kCore.size(), "!!");
    fail("text", "a tag (" + written + "): write the value as dump writes it");
  }

  yaml_parser_t parser_;
  std::set<std::string> sectionKeys_;
  yaml_event_t event_{};
  bool held_ = false;
};

}  // namespace

std::string toYaml(const TextPlug& plug) {
  // Room for the text's lines: a line a section, record number and field, three a run.
  std::size_t lines = plug.sections.size() + 3 * plug.rest.size() + 4;
  for (const TextSection& s : plug.sections)
    for (const TextRecord& r : s.records) lines += r.fields.size() + 1;
  Writer out(kHeader, lines);
  for (const TextSection& s : plug.sections) {
    const bool list = numbered(*s.desc), empty = s.records.empty();
    out.section(s.desc->key, list, empty);
    for (const TextRecord& r : s.records) out.record(r, list);
    out.endSection(list, empty);
  }
  if (plug.suffixCrc)
    out.field(kSuffixCrcKey, {.text = suffixCrcText(*plug.suffixCrc)},
              plug.suffixCrc->matches ? "DfuSe suffix: computed over the built file"
                                      : "DfuSe suffix: does not match the file, stored as it stands");
  out.section(kRestKey, true, plug.rest.empty());
  for (const RestRun& run : plug.rest) {
    out.beginMap();
    out.field("at", {.text = offsetText(run.at)}, regionLabel(run.at));
    if (allEqual(run.bytes)) {
      out.field("fill", {.text = hex(run.bytes.data(), 1)});
      out.field("count", {.text = std::to_string(run.bytes.size())});
    } else {
      out.field("xor", {.text = hex(run.bytes.data(), run.bytes.size())});
    }
    out.endMap();
  }
  out.endSection(true, plug.rest.empty());
  return out.finish();
}

std::variant<TextPlug, TextError> fromYaml(const std::string& yaml) {
  try {
    return Reader(yaml).plug();
  } catch (const ReadError& e) {
    return e.error;
  }
}

std::string yamlValue(const TextValue& value) {
  // Written as the only field of a text, then cut out of its line.
  Writer out;
  out.field("v", {.text = value.text, .items = value.items, .isList = value.isList, .quoted = value.quoted});
  std::string text = out.finish();
  return text.substr(3, text.size() - 4);
}

std::string dumpText(ByteSpan file) { return toYaml(describe(file)); }

std::variant<std::vector<std::uint8_t>, TextError> buildFile(const std::string& yaml) {
  auto plug = fromYaml(yaml);
  if (auto* e = std::get_if<TextError>(&plug)) return *e;
  return assemble(std::get<TextPlug>(plug));
}

}  // namespace pw::text
