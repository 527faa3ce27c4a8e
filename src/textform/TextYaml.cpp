#include "textform/TextYaml.h"

#include <yaml-cpp/yaml.h>

#include <cstdio>

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

void emitValue(YAML::Emitter& out, const TextField& f) {
  out << YAML::Key << f.key << YAML::Value;
  if (f.value.isList) {
    out << YAML::Flow << YAML::BeginSeq;
    for (const std::string& i : f.value.items) out << i;
    out << YAML::EndSeq;
  } else if (f.value.quoted) {
    out << YAML::SingleQuoted << f.value.text;
  } else {
    out << f.value.text;
  }
  if (!f.value.comment.empty()) out << YAML::Comment(f.value.comment);
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

struct ReadError {
  TextError error;
};

int lineOf(const YAML::Node& n) { return n.Mark().line + 1; }

[[noreturn]] void fail(const YAML::Node& n, std::string field, std::string message) {
  throw ReadError{{lineOf(n), std::move(field), std::move(message)}};
}

std::string scalar(const YAML::Node& n, const std::string& field) {
  if (!n.IsScalar()) fail(n, field, "a single value is expected");
  return n.Scalar();
}

TextValue readValue(const YAML::Node& n, const std::string& field) {
  TextValue v{.line = lineOf(n)};
  if (n.IsSequence()) {
    v.isList = true;
    for (const YAML::Node& item : n) v.items.push_back(scalar(item, field));
  } else if (n.IsNull()) {
    v.text.clear();
  } else {
    v.text = scalar(n, field);
  }
  return v;
}

TextRecord readRecord(const YAML::Node& n, const std::string& where, bool numbered) {
  if (!n.IsMap()) fail(n, where, "a map of fields is expected");
  TextRecord r{.line = lineOf(n)};
  bool hasNumber = false;
  for (const auto& kv : n) {
    const std::string key = scalar(kv.first, where);
    if (numbered && key == kNumberKey) {
      const auto number = parseNumber(scalar(kv.second, where + "." + key), 0xFFFF);
      if (!number) fail(kv.second, where + "." + key, "a record number is expected");
      r.number = int(*number);
      hasNumber = true;
    } else {
      r.fields.push_back({key, readValue(kv.second, where + "." + key)});
    }
  }
  if (numbered && !hasNumber) fail(n, where, "a record without a number");
  return r;
}

std::vector<std::uint8_t> readHex(const YAML::Node& n, const std::string& text) {
  std::vector<std::uint8_t> bytes;
  if (text.size() % 2) fail(n, "rest", "an odd number of hex digits");
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const auto b = parseNumber("0x" + text.substr(i, 2), 0xFF);
    if (!b) fail(n, "rest", "\"" + text.substr(i, 2) + "\" is not hex");
    bytes.push_back(std::uint8_t(*b));
  }
  return bytes;
}

RestRun readRun(const YAML::Node& n) {
  if (!n.IsMap() || !n["at"]) fail(n, "rest", "a run needs \"at\" and \"xor\" or \"fill\" and \"count\"");
  RestRun run{.line = lineOf(n)};
  const auto at = parseNumber(scalar(n["at"], "rest.at"), 0xFFFFFFFF);
  if (!at) fail(n["at"], "rest.at", "an offset is expected");
  run.at = *at;
  if (n["xor"]) {
    run.bytes = readHex(n["xor"], scalar(n["xor"], "rest.xor"));
  } else if (n["fill"] && n["count"]) {
    const auto fill = readHex(n["fill"], scalar(n["fill"], "rest.fill"));
    const auto count = parseNumber(scalar(n["count"], "rest.count"), 0xFFFFFFFF);
    if (fill.size() != 1 || !count) fail(n, "rest", "one byte and a count are expected");
    run.bytes.assign(*count, fill.front());
  } else {
    fail(n, "rest", "a run needs \"xor\" or \"fill\" and \"count\"");
  }
  return run;
}

TextPlug readPlug(const YAML::Node& root) {
  TextPlug plug;
  if (root.IsNull()) return plug;
  if (!root.IsMap()) fail(root, "text", "a map of sections is expected");
  for (const auto& kv : root) {
    const std::string key = scalar(kv.first, "text");
    if (key == kRestKey) {
      if (!kv.second.IsSequence() && !kv.second.IsNull()) fail(kv.second, key, "a list of runs is expected");
      for (const YAML::Node& run : kv.second) plug.rest.push_back(readRun(run));
      continue;
    }
    const SectionDesc* desc = findSection(key);
    if (!desc) fail(kv.first, key, "unknown section");
    TextSection section{.desc = desc, .line = lineOf(kv.first)};
    if (desc->list) {
      if (!kv.second.IsSequence() && !kv.second.IsNull()) fail(kv.second, key, "a list of records is expected");
      for (const YAML::Node& r : kv.second) section.records.push_back(readRecord(r, key, true));
    } else {
      section.records.push_back(readRecord(kv.second, key, false));
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
    if (!s.desc->list) {
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
    return readPlug(YAML::Load(yaml));
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
