#include "textform/TextYaml.h"

#include <yaml.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

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
// The layout is fixed (block maps, one field a line, members as a flow list), so the
// writer only has to get scalars right. A text goes out plain only when every YAML
// reader takes it back as the same text: no indicator first, no ": " or " #" inside,
// no blank at either end, nothing a reader turns into null; otherwise it is quoted.

bool isNullWord(std::string_view t) { return t.empty() || t == "~" || t == "null" || t == "Null" || t == "NULL"; }

bool plainSafe(std::string_view t, bool inFlow) {
  if (isNullWord(t)) return false;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const unsigned char first = t.front();
  if (std::strchr("-?:,[]{}#&*!|>'\"%@`", first)) {
    // "-", "?" and ":" may start a plain text when a non-blank follows (-5, :x), outside flow.
    if (inFlow || !std::strchr("-?:", first) || t.size() < 2 || blank(t[1])) return false;
  }
  if (blank(t.front()) || blank(t.back()) || t.back() == ':') return false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const unsigned char c = t[i];
    if (c < 32 || c == 127) return false;
    if (c == ':' && i + 1 < t.size() && (blank(t[i + 1]) || (inFlow && std::strchr(",[]{}", t[i + 1]))))
      return false;
    if (c == '#' && blank(t[i - 1])) return false;
    if (inFlow && std::strchr(",[]{}", c)) return false;
  }
  return true;
}

void appendDoubleQuoted(std::string& out, std::string_view t) {
  out += '"';
  for (unsigned char c : t) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 32 || c == 127) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += char(c);  // texts of the catalogue are UTF-8; names are escaped before
    }
  }
  out += '"';
}

void appendSingleQuoted(std::string& out, std::string_view t) {
  if (std::any_of(t.begin(), t.end(), [](unsigned char c) { return c < 32 || c == 127; })) {
    appendDoubleQuoted(out, t);  // a single-quoted text cannot hold a control character
    return;
  }
  out += '\'';
  for (char c : t) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
}

void appendScalar(std::string& out, std::string_view t, bool inFlow = false) {
  if (plainSafe(t, inFlow))
    out += t;
  else
    appendDoubleQuoted(out, t);
}

void appendValue(std::string& out, const TextValue& v) {
  if (v.isList) {
    out += '[';
    for (std::size_t i = 0; i < v.items.size(); ++i) {
      if (i) out += ", ";
      appendScalar(out, v.items[i], true);
    }
    out += ']';
  } else if (v.quoted) {  // a name: always quoted, so "null" or "~" stay texts
    appendSingleQuoted(out, v.text);
  } else {
    appendScalar(out, v.text);
  }
}

void appendComment(std::string& out, std::string_view comment) {
  if (comment.empty()) return;
  out += "  # ";
  appendPrintable(out, comment);
}

// One field a line at `indent`; the first line of a record in a list starts with "- ".
class Writer {
 public:
  std::string text;

  void field(int indent, bool first, std::string_view key, const TextValue& v) {
    start(indent, first, key);
    appendValue(text, v);
    appendComment(text, v.comment);
    text += '\n';
  }
  void field(int indent, bool first, std::string_view key, std::string_view plain, std::string_view comment = {}) {
    start(indent, first, key);
    appendScalar(text, plain);
    appendComment(text, comment);
    text += '\n';
  }
  void open(std::string_view key) {
    text += key;
    text += ":\n";
  }

  void record(const TextRecord& r, bool numbered) {
    const int indent = numbered ? 4 : 2;
    bool first = numbered;
    if (numbered) {
      field(indent, true, kNumberKey, std::to_string(r.number));
      first = false;
    }
    for (const TextField& f : r.fields) {
      field(indent, first, f.key, f.value);
      first = false;
    }
  }

 private:
  void start(int indent, bool first, std::string_view key) {
    if (first) {
      text.append(std::size_t(indent - 2), ' ');
      text += "- ";
    } else {
      text.append(std::size_t(indent), ' ');
    }
    text += key;
    text += ": ";
  }
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
  Writer out;
  out.text.reserve(2 << 20);
  for (std::string_view rest = kHeader; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    out.text += "# ";
    out.text += rest.substr(0, end);
    out.text += '\n';
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  out.text += '\n';
  for (const TextSection& s : plug.sections) {
    if (numbered(*s.desc) && s.records.empty()) {
      out.text += s.desc->key;
      out.text += ": []\n";
      continue;
    }
    out.open(s.desc->key);
    for (const TextRecord& r : s.records) out.record(r, numbered(*s.desc));
  }
  if (plug.rest.empty()) {
    out.text += kRestKey;
    out.text += ": []\n";
  } else {
    out.open(kRestKey);
  }
  for (const RestRun& run : plug.rest) {
    out.field(4, true, "at", offsetText(run.at), regionLabel(run.at));
    if (allEqual(run.bytes)) {
      out.field(4, false, "fill", hex(run.bytes.data(), 1));
      out.field(4, false, "count", std::to_string(run.bytes.size()));
    } else {
      out.field(4, false, "xor", hex(run.bytes.data(), run.bytes.size()));
    }
  }
  return std::move(out.text);
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
  std::string out;
  appendValue(out, value);
  return out;
}

std::string dumpText(ByteSpan file) { return toYaml(describe(file)); }

std::variant<std::vector<std::uint8_t>, TextError> buildFile(const std::string& yaml) {
  auto plug = fromYaml(yaml);
  if (auto* e = std::get_if<TextError>(&plug)) return *e;
  return assemble(std::get<TextPlug>(plug));
}

}  // namespace pw::text
