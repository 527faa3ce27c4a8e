#include "textform/TextYaml.h"

#include <yaml.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <stdexcept>

#include "codeplug/Layout.h"
#include "textform/FieldCatalogue.h"

namespace pw::text {
namespace {

constexpr const char* kRestKey = "rest";
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

// Comments hold decoded names: bytes that are not printable are escaped as in names, so
// the text stays plain ASCII whatever the file holds.
void appendPrintable(std::string& out, std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 32 && c < 127) {
      out += char(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    }
  }
}

// ---- writing ----
// libyaml writes the YAML and picks each value's quoting. It writes no comments, so the
// writer asks for one line a field (block maps, members as a flow list, no line width) and
// puts each comment at the end of its line as the text comes out.

bool isNullWord(std::string_view t) { return t.empty() || t == "~" || t == "null" || t == "Null" || t == "NULL"; }

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
      scalar(v.text, v.quoted || isNullWord(v.text) ? YAML_SINGLE_QUOTED_SCALAR_STYLE : YAML_PLAIN_SCALAR_STYLE);
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
  void word(std::string_view t) { scalar(t, isNullWord(t) ? YAML_SINGLE_QUOTED_SCALAR_STYLE : YAML_PLAIN_SCALAR_STYLE); }
  void scalar(std::string_view t, yaml_scalar_style_t style) {
    yaml_event_t e;
    check(yaml_scalar_event_initialize(&e, nullptr, nullptr,
                                       reinterpret_cast<yaml_char_t*>(const_cast<char*>(t.data())), int(t.size()),
                                       1, 1, style),
          e);
  }
  // Every text handed over is valid UTF-8 (names are escaped before), so a refusal is a fault here.
  void check(int made, yaml_event_t& e) {
    if (!made) throw std::logic_error("a value libyaml cannot write");
    if (!yaml_emitter_emit(&emitter_, &e))
      throw std::logic_error(std::string("libyaml: ") + (emitter_.problem ? emitter_.problem : "cannot write"));
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
        appendPrintable(w.text_, w.comments_[w.line_]);
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
  std::size_t line_ = 0;               // lines written so far
};

// ---- reading ----
// The parser's events build a small tree of our own, each node with its line.

struct Node {
  enum Kind { Null, Scalar, Sequence, Map } kind = Null;
  std::string text;
  int line = 0;
  std::vector<Node> items;  // a map holds key, value, key, value ...

  const Node* find(std::string_view key) const {
    for (std::size_t i = 0; kind == Map && i + 1 < items.size(); i += 2)
      if (items[i].kind == Scalar && items[i].text == key) return &items[i + 1];
    return nullptr;
  }
};

struct ReadError {
  TextError error;
};

// A text of a code plug nests four deep; a limit keeps a hostile text from building a tree
// whose destruction would overflow the stack.
constexpr std::size_t kMaxDepth = 32;

class TreeBuilder {
 public:
  Node root;

  // Reads the first document; a second one is refused rather than silently dropped.
  void read(const std::string& yaml) {
    yaml_parser_t parser;
    yaml_parser_initialize(&parser);
    yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(yaml.data()), yaml.size());
    struct Guard {
      yaml_parser_t* p;
      ~Guard() { yaml_parser_delete(p); }
    } guard{&parser};
    int documents = 0;
    for (bool done = false; !done;) {
      yaml_event_t e;
      if (!yaml_parser_parse(&parser, &e)) {
        std::string message = std::string("malformed: ") + (parser.problem ? parser.problem : "unreadable");
        if (parser.context) message += std::string(" ") + parser.context;
        throw ReadError{{int(parser.problem_mark.line) + 1, "text", message}};
      }
      struct Event {
        yaml_event_t* e;
        ~Event() { yaml_event_delete(e); }
      } owned{&e};
      const int line = int(e.start_mark.line) + 1;
      switch (e.type) {
        case YAML_DOCUMENT_START_EVENT:
          if (++documents > 1) throw ReadError{{line, "text", "one code plug a text: a second document"}};
          break;
        case YAML_STREAM_END_EVENT:
          done = true;
          break;
        case YAML_SCALAR_EVENT: {
          const auto& sc = e.data.scalar;
          std::string value(reinterpret_cast<const char*>(sc.value), sc.length);
          // As YAML reads it: a plain null word without a tag is no value at all.
          if (sc.style == YAML_PLAIN_SCALAR_STYLE && !sc.tag && isNullWord(value))
            add(Node::Null, line);
          else
            add(Node::Scalar, line).text = std::move(value);
          break;
        }
        case YAML_ALIAS_EVENT:
          add(Node::Null, line);
          break;
        case YAML_SEQUENCE_START_EVENT:
          open(Node::Sequence, line);
          break;
        case YAML_MAPPING_START_EVENT:
          open(Node::Map, line);
          break;
        case YAML_SEQUENCE_END_EVENT:
        case YAML_MAPPING_END_EVENT:
          open_.pop_back();
          break;
        default:
          break;
      }
    }
  }

 private:
  void open(Node::Kind kind, int line) {
    if (open_.size() >= kMaxDepth) throw ReadError{{line, "text", "nested too deeply"}};
    open_.push_back(&add(kind, line));
  }
  // A parent's items grow only while it is the innermost open node, so the pointers
  // on the stack stay valid.
  Node& add(Node::Kind kind, int line) {
    Node& n = open_.empty() ? root : open_.back()->items.emplace_back();
    n.kind = kind;
    n.line = line;
    return n;
  }
  std::vector<Node*> open_;
};

[[noreturn]] void fail(const Node& n, std::string field, std::string message) {
  throw ReadError{{n.line, std::move(field), std::move(message)}};
}

const std::string& scalar(const Node& n, const std::string& field) {
  if (n.kind != Node::Scalar) fail(n, field, "a single value is expected");
  return n.text;
}

// The name of a field for an error, put together only when there is one.
struct FieldName {
  const std::string& where;
  const std::string& key;
  std::string text() const { return where + "." + key; }
};

std::string& scalar(Node& n, const FieldName& field) {
  if (n.kind != Node::Scalar) fail(n, field.text(), "a single value is expected");
  return n.text;
}

// Records are read once: their texts move out of the tree.
TextValue readValue(Node& n, const FieldName& field) {
  TextValue v{.line = n.line};
  if (n.kind == Node::Sequence) {
    v.isList = true;
    v.items.reserve(n.items.size());
    for (Node& item : n.items) v.items.push_back(std::move(scalar(item, field)));
  } else if (n.kind != Node::Null) {
    v.text = std::move(scalar(n, field));
  }
  return v;
}

TextRecord readRecord(Node& n, const std::string& where, bool numbered) {
  if (n.kind != Node::Map) fail(n, where, "a map of fields is expected");
  TextRecord r{.line = n.line};
  r.fields.reserve(n.items.size() / 2);
  bool hasNumber = false;
  for (std::size_t i = 0; i + 1 < n.items.size(); i += 2) {
    scalar(n.items[i], where);
    std::string& key = n.items[i].text;
    Node& value = n.items[i + 1];
    if (numbered && key == kNumberKey) {
      const auto number = parseNumber(scalar(value, {where, key}), 0xFFFF);
      if (!number) fail(value, where + "." + key, "a record number is expected");
      r.number = int(*number);
      hasNumber = true;
    } else {
      TextValue v = readValue(value, {where, key});
      r.fields.push_back({std::move(key), std::move(v)});
    }
  }
  if (numbered && !hasNumber) fail(n, where, "a record without a number");
  return r;
}

std::vector<std::uint8_t> readHex(const Node& n, const std::string& text) {
  const auto digit = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
  };
  std::vector<std::uint8_t> bytes;
  if (text.size() % 2) fail(n, "rest", "an odd number of hex digits");
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = digit(text[i]), lo = digit(text[i + 1]);
    if (hi < 0 || lo < 0) fail(n, "rest", std::string("\"").append(text, i, 2).append("\" is not hex"));
    bytes.push_back(std::uint8_t(hi << 4 | lo));
  }
  return bytes;
}

RestRun readRun(const Node& n) {
  const Node* at = n.find("at");
  if (!at) fail(n, "rest", "a run needs \"at\" and \"xor\" or \"fill\" and \"count\"");
  RestRun run{.line = n.line};
  const auto offset = parseNumber(scalar(*at, "rest.at"), 0xFFFFFFFF);
  if (!offset) fail(*at, "rest.at", "an offset is expected");
  run.at = *offset;
  const Node *x = n.find("xor"), *fill = n.find("fill"), *count = n.find("count");
  if (x) {
    run.bytes = readHex(*x, scalar(*x, "rest.xor"));
  } else if (fill && count) {
    const auto byte = readHex(*fill, scalar(*fill, "rest.fill"));
    const auto times = parseNumber(scalar(*count, "rest.count"), kRdtFileSize);
    if (byte.size() != 1 || !times)
      fail(n, "rest", "one byte and a count up to the file's size are expected");
    run.bytes.assign(*times, byte.front());
  } else {
    fail(n, "rest", "a run needs \"xor\" or \"fill\" and \"count\"");
  }
  return run;
}

Node& sequence(Node& n, const std::string& key, const char* what) {
  if (n.kind != Node::Sequence && n.kind != Node::Null)
    fail(n, key, std::string("a list of ") + what + " is expected");
  return n;
}

TextPlug readPlug(Node& root) {
  TextPlug plug;
  if (root.kind == Node::Null) return plug;
  if (root.kind != Node::Map) fail(root, "text", "a map of sections is expected");
  for (std::size_t i = 0; i + 1 < root.items.size(); i += 2) {
    const std::string& key = scalar(root.items[i], "text");
    Node& value = root.items[i + 1];
    if (key == kRestKey) {
      for (const Node& run : sequence(value, key, "runs").items) plug.rest.push_back(readRun(run));
      continue;
    }
    const SectionDesc* desc = findSection(key);
    if (!desc) fail(root.items[i], key, "unknown section");
    TextSection section{.desc = desc, .line = root.items[i].line};
    if (numbered(*desc)) {
      section.records.reserve(value.items.size());
      for (Node& r : sequence(value, key, "records").items) section.records.push_back(readRecord(r, key, true));
    } else {
      section.records.push_back(readRecord(value, key, false));
    }
    plug.sections.push_back(std::move(section));
  }
  return plug;
}

}  // namespace

std::string toYaml(const TextPlug& plug) {
  Writer out(kHeader, 64 << 10);  // room for a full code plug's text
  for (const TextSection& s : plug.sections) {
    const bool list = numbered(*s.desc), empty = s.records.empty();
    out.section(s.desc->key, list, empty);
    for (const TextRecord& r : s.records) out.record(r, list);
    out.endSection(list, empty);
  }
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
    TreeBuilder tree;
    tree.read(yaml);
    return readPlug(tree.root);
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
