#include "textform/TextYaml.h"

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

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
std::string printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 32 && c < 127) {
      out += char(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    }
  }
  return out;
}

// Numbers go out as numbers: the emitter then skips its (costly) check of a plain text.
void emitScalar(YAML::Emitter& out, const std::string& text) {
  const bool number = !text.empty() && text.size() <= 9 && (text == "0" || text[0] != '0') &&
                      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (number)
    out << std::stoul(text);
  else
    out << text;
}

void emitValue(YAML::Emitter& out, const TextField& f) {
  out << YAML::Key << f.key << YAML::Value;
  if (f.value.isList) {
    out << YAML::Flow << YAML::BeginSeq;
    for (const std::string& i : f.value.items) emitScalar(out, i);
    out << YAML::EndSeq;
  } else if (f.value.quoted) {
    out << YAML::SingleQuoted << f.value.text;
  } else {
    emitScalar(out, f.value.text);
  }
  if (!f.value.comment.empty()) out << YAML::Comment(printable(f.value.comment));
}

void emitRecord(YAML::Emitter& out, const TextRecord& r, bool numbered) {
  out << YAML::BeginMap;
  if (numbered) out << YAML::Key << kNumberKey << YAML::Value << r.number;
  for (const TextField& f : r.fields) emitValue(out, f);
  out << YAML::EndMap;
}

void emitRest(YAML::Emitter& out, const std::vector<RestRun>& rest) {
  out << YAML::Key << kRestKey << YAML::Value << YAML::BeginSeq;
  for (const RestRun& run : rest) {
    out << YAML::BeginMap << YAML::Key << "at" << YAML::Value << offsetText(run.at)
        << YAML::Comment(regionLabel(run.at));
    if (allEqual(run.bytes))
      out << YAML::Key << "fill" << YAML::Value << hex(run.bytes.data(), 1) << YAML::Key << "count"
          << YAML::Value << run.bytes.size();
    else
      out << YAML::Key << "xor" << YAML::Value << hex(run.bytes.data(), run.bytes.size());
    out << YAML::EndMap;
  }
  out << YAML::EndSeq;
}

// ---- reading ----
// The parser's events build a small tree of our own: yaml-cpp's node tree costs more
// than the scanning itself on a text of a full code plug.

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

class TreeBuilder final : public YAML::EventHandler {
 public:
  Node root;

  void OnDocumentStart(const YAML::Mark&) override {}
  void OnDocumentEnd() override {}
  void OnNull(const YAML::Mark& m, YAML::anchor_t) override { add(Node::Null, m); }
  void OnAlias(const YAML::Mark& m, YAML::anchor_t) override { add(Node::Null, m); }
  void OnScalar(const YAML::Mark& m, const std::string&, YAML::anchor_t, const std::string& value) override {
    add(Node::Scalar, m).text = value;
  }
  void OnSequenceStart(const YAML::Mark& m, const std::string&, YAML::anchor_t,
                       YAML::EmitterStyle::value) override {
    open_.push_back(&add(Node::Sequence, m));
  }
  void OnSequenceEnd() override { open_.pop_back(); }
  void OnMapStart(const YAML::Mark& m, const std::string&, YAML::anchor_t,
                  YAML::EmitterStyle::value) override {
    open_.push_back(&add(Node::Map, m));
  }
  void OnMapEnd() override { open_.pop_back(); }

 private:
  // A parent's items grow only while it is the innermost open node, so the pointers
  // on the stack stay valid.
  Node& add(Node::Kind kind, const YAML::Mark& m) {
    Node& n = open_.empty() ? root : open_.back()->items.emplace_back();
    n.kind = kind;
    n.line = m.line + 1;
    return n;
  }
  std::vector<Node*> open_;
};

struct ReadError {
  TextError error;
};

[[noreturn]] void fail(const Node& n, std::string field, std::string message) {
  throw ReadError{{n.line, std::move(field), std::move(message)}};
}

const std::string& scalar(const Node& n, const std::string& field) {
  if (n.kind != Node::Scalar) fail(n, field, "a single value is expected");
  return n.text;
}

TextValue readValue(const Node& n, const std::string& field) {
  TextValue v{.line = n.line};
  if (n.kind == Node::Sequence) {
    v.isList = true;
    for (const Node& item : n.items) v.items.push_back(scalar(item, field));
  } else if (n.kind != Node::Null) {
    v.text = scalar(n, field);
  }
  return v;
}

TextRecord readRecord(const Node& n, const std::string& where, bool numbered) {
  if (n.kind != Node::Map) fail(n, where, "a map of fields is expected");
  TextRecord r{.line = n.line};
  bool hasNumber = false;
  for (std::size_t i = 0; i + 1 < n.items.size(); i += 2) {
    const std::string& key = scalar(n.items[i], where);
    const Node& value = n.items[i + 1];
    if (numbered && key == kNumberKey) {
      const auto number = parseNumber(scalar(value, where + "." + key), 0xFFFF);
      if (!number) fail(value, where + "." + key, "a record number is expected");
      r.number = int(*number);
      hasNumber = true;
    } else {
      r.fields.push_back({key, readValue(value, where + "." + key)});
    }
  }
  if (numbered && !hasNumber) fail(n, where, "a record without a number");
  return r;
}

std::vector<std::uint8_t> readHex(const Node& n, const std::string& text) {
  std::vector<std::uint8_t> bytes;
  if (text.size() % 2) fail(n, "rest", "an odd number of hex digits");
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const auto b = parseNumber("0x" + text.substr(i, 2), 0xFF);
    if (!b) fail(n, "rest", "\"" + text.substr(i, 2) + "\" is not hex");
    bytes.push_back(std::uint8_t(*b));
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

const Node& sequence(const Node& n, const std::string& key, const char* what) {
  if (n.kind != Node::Sequence && n.kind != Node::Null)
    fail(n, key, std::string("a list of ") + what + " is expected");
  return n;
}

TextPlug readPlug(const Node& root) {
  TextPlug plug;
  if (root.kind == Node::Null) return plug;
  if (root.kind != Node::Map) fail(root, "text", "a map of sections is expected");
  for (std::size_t i = 0; i + 1 < root.items.size(); i += 2) {
    const std::string& key = scalar(root.items[i], "text");
    const Node& value = root.items[i + 1];
    if (key == kRestKey) {
      for (const Node& run : sequence(value, key, "runs").items) plug.rest.push_back(readRun(run));
      continue;
    }
    const SectionDesc* desc = findSection(key);
    if (!desc) fail(root.items[i], key, "unknown section");
    TextSection section{.desc = desc, .line = root.items[i].line};
    if (numbered(*desc)) {
      for (const Node& r : sequence(value, key, "records").items)
        section.records.push_back(readRecord(r, key, true));
    } else {
      section.records.push_back(readRecord(value, key, false));
    }
    plug.sections.push_back(std::move(section));
  }
  return plug;
}

}  // namespace

std::string toYaml(const TextPlug& plug) {
  YAML::Emitter out;
  out << YAML::Comment(kHeader) << YAML::Newline;
  out << YAML::BeginMap;
  for (const TextSection& s : plug.sections) {
    out << YAML::Key << s.desc->key << YAML::Value;
    if (!numbered(*s.desc)) {
      emitRecord(out, s.records.front(), false);
      continue;
    }
    if (s.records.empty()) {
      out << YAML::Flow << YAML::BeginSeq << YAML::EndSeq;
      continue;
    }
    out << YAML::BeginSeq;
    for (const TextRecord& r : s.records) emitRecord(out, r, true);
    out << YAML::EndSeq;
  }
  emitRest(out, plug.rest);
  out << YAML::EndMap;
  return std::string(out.c_str()) + "\n";
}

std::variant<TextPlug, TextError> fromYaml(const std::string& yaml) {
  try {
    std::istringstream in(yaml);
    YAML::Parser parser(in);
    TreeBuilder tree;
    parser.HandleNextDocument(tree);
    return readPlug(tree.root);
  } catch (const ReadError& e) {
    return e.error;
  } catch (const YAML::Exception& e) {
    return TextError{e.mark.is_null() ? 0 : e.mark.line + 1, "text", "malformed: " + e.msg};
  }
}

std::string dumpText(ByteSpan file) { return toYaml(describe(file)); }

std::variant<std::vector<std::uint8_t>, TextError> buildFile(const std::string& yaml) {
  auto plug = fromYaml(yaml);
  if (auto* e = std::get_if<TextError>(&plug)) return *e;
  return assemble(std::get<TextPlug>(plug));
}

}  // namespace pw::text
