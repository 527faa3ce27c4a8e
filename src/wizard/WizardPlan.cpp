#include "wizard/WizardPlan.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <span>

#include "codeplug/FileWriter.h"
#include "codeplug/Text.h"
#include "contacts/ContactList.h"
#include "exchange/JsonText.h"
#include "wizard/Area.h"

namespace pw::wizard {
namespace {

using exchange::lineAt;
using nlohmann::json;
using nlohmann::ordered_json;

// ---- reading: the document with the line of every key and array element ----

// Counts the bytes the parser has taken, so each event knows where it stands.
struct CountingIterator {
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;
  const char* at;
  const char** reached;
  reference operator*() const { return *at; }
  CountingIterator& operator++() {
    *reached = ++at;
    return *this;
  }
  CountingIterator operator++(int) {
    CountingIterator before = *this;
    ++*this;
    return before;
  }
  bool operator==(const CountingIterator& other) const { return at == other.at; }
};

// Builds the document as the library's own reader does, and keeps the line of each key (and
// of each array element) by its path. A key given twice is an error here: the library would
// keep the last.
class LinedDocument final : public nlohmann::json_sax<json> {
 public:
  LinedDocument(std::string_view text, const char** reached) : text_(text), reached_(reached) {}

  json root;
  std::map<std::string, int> lines;  // path -> line
  std::string repeatedKey;           // the path of a key given twice
  int repeatedLine = 0;
  int errorLine = 0;
  std::string errorText;

  bool null() override { return put(nullptr); }
  bool boolean(bool v) override { return put(v); }
  bool number_integer(number_integer_t v) override { return put(v); }
  bool number_unsigned(number_unsigned_t v) override { return put(v); }
  bool number_float(number_float_t v, const string_t&) override { return put(v); }
  bool string(string_t& v) override { return put(v); }
  bool binary(binary_t&) override { return put(nullptr); }
  bool start_object(std::size_t) override { return open(json::object()); }
  bool start_array(std::size_t) override { return open(json::array()); }
  bool end_object() override { return close(); }
  bool end_array() override { return close(); }
  bool key(string_t& k) override {
    key_ = k;
    const std::string path = paths_.back() + "." + k;
    if (stack_.back()->contains(k)) {
      repeatedKey = path.substr(1);
      repeatedLine = line();
      return false;
    }
    lines.emplace(path, line());
    return true;
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override {
    errorLine = lineAt(text_, position == 0 ? 0 : position - 1);
    errorText = e.what();
    return false;
  }

 private:
  int line() const { return lineAt(text_, std::size_t(*reached_ - text_.data()) - 1); }

  // Where the next value goes, and its path.
  json* place(json&& value, std::string& path) {
    if (stack_.empty()) {
      root = std::move(value);
      path.clear();
      lines.emplace(path, line());
      return &root;
    }
    json& parent = *stack_.back();
    if (parent.is_array()) {
      path = paths_.back() + "[" + std::to_string(parent.size()) + "]";
      lines.emplace(path, line());
      parent.push_back(std::move(value));
      return &parent.back();
    }
    path = paths_.back() + "." + key_;
    return &(parent[key_] = std::move(value));
  }
  template <class V>
  bool put(V&& value) {
    std::string path;
    place(json(std::forward<V>(value)), path);
    return true;
  }
  bool open(json&& value) {
    std::string path;
    stack_.push_back(place(std::move(value), path));
    paths_.push_back(path);
    return true;
  }
  bool close() {
    stack_.pop_back();
    paths_.pop_back();
    return true;
  }

  std::string_view text_;
  const char** reached_;
  std::vector<json*> stack_;
  std::vector<std::string> paths_;
  std::string key_;
};

// Thrown by the checks below; caught once by readPlanText.
struct Refused {
  std::string path;  // with the leading '.'
  std::string text;
};

class PlanReader {
 public:
  explicit PlanReader(const std::map<std::string, int>& lines) : lines_(lines) {}

  // A key that is missing is named at its object: the nearest path that has a line.
  int lineOf(std::string path) const {
    for (;;) {
      if (const auto it = lines_.find(path); it != lines_.end()) return it->second;
      if (path.empty()) return 1;
      const std::size_t up = path.find_last_of(".[");
      path.resize(up == std::string::npos ? 0 : up);
    }
  }

  static const json& object(const json& value, const std::string& path,
                            std::initializer_list<const char*> keys) {
    if (!value.is_object()) throw Refused{path, "an object {...} is needed"};
    for (const auto& item : value.items()) {
      const std::string& key = item.key();
      if (std::find_if(keys.begin(), keys.end(), [&](const char* k) { return key == k; }) == keys.end())
        throw Refused{path + "." + key, "not a key of the plan"};
    }
    return value;
  }
  static const json* member(const json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
  }
  static const json& required(const json& object, const std::string& path, const char* key) {
    const json* value = member(object, key);
    if (!value) throw Refused{path + "." + key, "missing"};
    return *value;
  }
  static std::string text(const json& value, const std::string& path) {
    if (!value.is_string()) throw Refused{path, "a text \"...\" is needed"};
    return value.get<std::string>();
  }
  static bool flag(const json& value, const std::string& path) {
    if (!value.is_boolean()) throw Refused{path, "true or false is needed"};
    return value.get<bool>();
  }
  static std::int64_t whole(const json& value, const std::string& path, std::int64_t lo, std::int64_t hi) {
    if (!value.is_number_integer() || value.get<std::int64_t>() < lo || value.get<std::int64_t>() > hi)
      throw Refused{path, "a whole number " + std::to_string(lo) + ".." + std::to_string(hi) + " is needed"};
    return value.get<std::int64_t>();
  }
  static std::vector<std::string> texts(const json& value, const std::string& path) {
    if (!value.is_array()) throw Refused{path, "a list [\"...\", ...] is needed"};
    std::vector<std::string> out;
    for (std::size_t i = 0; i < value.size(); ++i)
      out.push_back(text(value[i], path + "[" + std::to_string(i) + "]"));
    return out;
  }
  template <class E, std::size_t N>
  static E choice(const json& value, const std::string& path, const E (&values)[N]) {
    std::string words;
    for (E e : values) {
      if (value.is_string() && value.get<std::string>() == choiceText(e)) return e;
      words += std::string(words.empty() ? "" : ", ") + "\"" + choiceText(e) + "\"";
    }
    throw Refused{path, "one of " + words + " is needed"};
  }

  WizardPlan read(const json& root) const {
    WizardPlan plan;
    object(root, "",
           {"radio", "repeaters", "talkgroups", "channels", "zones", "scan_lists", "order", "start"});
    if (const json* radio = member(root, "radio")) {
      object(*radio, ".radio", {"id", "name"});
      if (const json* id = member(*radio, "id"))
        plan.radioId = std::uint32_t(whole(*id, ".radio.id", 1, kMaxCallId));
      if (const json* name = member(*radio, "name")) plan.radioName = text(*name, ".radio.name");
    }
    readRepeaters(required(root, "", "repeaters"), plan);
    readTalkgroups(required(root, "", "talkgroups"), plan);
    if (const json* v = member(root, "channels"))
      plan.channels = choice(*v, ".channels", {ChannelsPer::Talkgroup, ChannelsPer::Slot});
    if (const json* v = member(root, "zones"))
      plan.zones = choice(*v, ".zones", {ZonesBy::Repeater, ZonesBy::City, ZonesBy::State});
    if (const json* v = member(root, "scan_lists")) plan.scanLists = flag(*v, ".scan_lists");
    if (const json* v = member(root, "order"))
      plan.order = choice(*v, ".order", {Order::Distance, Order::Name, Order::Frequency});
    if (const json* v = member(root, "start"))
      plan.start = choice(*v, ".start", {Start::Append, Start::Empty});
    if (plan.order == Order::Distance && plan.near.empty())
      throw Refused{".order", "\"distance\" needs repeaters.near"};
    return plan;
  }

  static void readRepeaters(const json& value, WizardPlan& plan) {
    const std::string p = ".repeaters";
    object(value, p, {"file", "countries", "states", "cities", "near", "radius_km", "include_inactive"});
    plan.repeaterFile = text(required(value, p, "file"), p + ".file");
    if (trimmed(plan.repeaterFile).empty()) throw Refused{p + ".file", "a file name is needed"};
    for (const auto& [key, into] :
         {std::pair{"countries", &plan.countries}, {"states", &plan.states}, {"cities", &plan.cities}})
      if (const json* list = member(value, key)) *into = texts(*list, p + "." + key);
    const json* near = member(value, "near");
    const json* radius = member(value, "radius_km");
    if (near) {
      plan.near = text(*near, p + ".near");
      if (!parseNear(plan.near))
        throw Refused{p + ".near",
                      "a locator of 4 or 6 characters (\"JO31\", \"JO31ne\") or \"lat,lng\" is needed"};
      if (!radius) throw Refused{p + ".radius_km", "missing: near needs a radius"};
    }
    if (radius) {
      if (!near) throw Refused{p + ".radius_km", "given without near"};
      if (!radius->is_number() || !(radius->get<double>() > 0) || !std::isfinite(radius->get<double>()))
        throw Refused{p + ".radius_km", "a number of kilometres above 0 is needed"};
      plan.radiusKm = radius->get<double>();
    }
    if (const json* v = member(value, "include_inactive"))
      plan.includeInactive = flag(*v, p + ".include_inactive");
  }

  static void readTalkgroups(const json& value, WizardPlan& plan) {
    const std::string p = ".talkgroups";
    object(value, p, {"file", "sets"});
    if (const json* file = member(value, "file")) plan.talkgroupFile = text(*file, p + ".file");
    const json& sets = required(value, p, "sets");
    if (!sets.is_array() || sets.empty()) throw Refused{p + ".sets", "a list of at least one set is needed"};
    for (std::size_t i = 0; i < sets.size(); ++i) {
      const std::string s = p + ".sets[" + std::to_string(i) + "]";
      object(sets[i], s, {"networks", "slots"});
      TalkgroupSet set;
      set.networks = texts(required(sets[i], s, "networks"), s + ".networks");
      if (set.networks.empty()) throw Refused{s + ".networks", "at least one network (or \"*\") is needed"};
      const json& slots = object(required(sets[i], s, "slots"), s + ".slots", {"1", "2"});
      for (int slot = 0; slot < 2; ++slot) {
        const std::string key = std::to_string(slot + 1);
        const json* ids = member(slots, key.c_str());
        if (!ids) continue;
        const std::string at = s + ".slots." + key;
        if (!ids->is_array()) throw Refused{at, "a list of talkgroup IDs is needed"};
        for (std::size_t k = 0; k < ids->size(); ++k)
          set.timeSlots[std::size_t(slot)].push_back(
              std::uint32_t(whole((*ids)[k], at + "[" + std::to_string(k) + "]", 1, kMaxCallId)));
      }
      if (set.timeSlots[0].empty() && set.timeSlots[1].empty())
        throw Refused{s + ".slots", "no talkgroup in either slot"};
      plan.sets.push_back(std::move(set));
    }
  }

 private:
  const std::map<std::string, int>& lines_;
};

// ---- writing ----

std::string relativeTo(const std::string& file, const std::string& folder) {
  namespace fs = std::filesystem;
  if (file.empty() || folder.empty()) return file;
  const fs::path path = fs::path(file).lexically_normal();
  if (!path.is_absolute()) return file;
  const fs::path relative = path.lexically_relative(fs::path(folder).lexically_normal());
  if (relative.empty() || *relative.begin() == "..") return file;
  return relative.generic_string();
}

ordered_json numbers(const std::vector<std::uint32_t>& ids) {
  ordered_json out = ordered_json::array();
  for (std::uint32_t id : ids) out.push_back(id);
  return out;
}

}  // namespace

std::string PlanError::message() const {
  std::string out = file + (line > 0 ? ":" + std::to_string(line) : "") + ": ";
  if (!key.empty()) out += key + ": ";
  return out + text;
}

const char* choiceText(ChannelsPer v) { return v == ChannelsPer::Talkgroup ? "per talkgroup" : "per slot"; }
const char* choiceText(ZonesBy v) {
  return v == ZonesBy::Repeater ? "per repeater" : v == ZonesBy::City ? "by city" : "by state";
}
const char* choiceText(Order v) {
  return v == Order::Distance ? "distance" : v == Order::Name ? "name" : "frequency";
}
const char* choiceText(Start v) { return v == Start::Append ? "append" : "empty"; }

std::variant<WizardPlan, PlanError> readPlanText(std::string_view raw, const std::string& fileName) {
  const exchange::JsonText utf8 = exchange::jsonText(raw);
  const std::string_view text = utf8.text;
  const char* reached = text.data();
  LinedDocument document(text, &reached);
  const CountingIterator first{text.data(), &reached}, last{text.data() + text.size(), &reached};
  json::sax_parse(first, last, &document, nlohmann::detail::input_format_t::json, true, false);
  if (!document.repeatedKey.empty())
    return PlanError{fileName, document.repeatedLine, document.repeatedKey, "given twice"};
  if (!document.errorText.empty())
    return PlanError{fileName, document.errorLine, {}, "not JSON: " + document.errorText};
  const PlanReader reader(document.lines);
  try {
    WizardPlan plan = reader.read(document.root);
    plan.folder = std::filesystem::path(fileName).parent_path().string();
    return plan;
  } catch (const Refused& r) {
    return PlanError{fileName, reader.lineOf(r.path), r.path.empty() ? "" : r.path.substr(1), r.text};
  }
}

std::variant<WizardPlan, PlanError> readPlanFile(const std::string& path) {
  const exchange::JsonText file = exchange::readJsonText(path);
  if (!file.failure.empty()) return PlanError{path, 0, {}, file.failure};
  return readPlanText(file.text, path);
}

std::string writePlanText(const WizardPlan& plan, const std::string& folder) {
  ordered_json root;
  if (plan.radioId || plan.radioName) {
    ordered_json radio = ordered_json::object();
    if (plan.radioId) radio["id"] = *plan.radioId;
    if (plan.radioName) radio["name"] = *plan.radioName;
    root["radio"] = radio;
  }
  ordered_json repeaters;
  repeaters["file"] = relativeTo(resolvedPath(plan, plan.repeaterFile), folder);
  repeaters["countries"] = plan.countries;
  repeaters["states"] = plan.states;
  repeaters["cities"] = plan.cities;
  if (!plan.near.empty()) {
    repeaters["near"] = plan.near;
    if (plan.radiusKm == std::floor(plan.radiusKm) && plan.radiusKm < 1e9)
      repeaters["radius_km"] = std::int64_t(plan.radiusKm);
    else
      repeaters["radius_km"] = plan.radiusKm;
  }
  repeaters["include_inactive"] = plan.includeInactive;
  root["repeaters"] = repeaters;
  ordered_json talkgroups;
  if (!plan.talkgroupFile.empty())
    talkgroups["file"] = relativeTo(resolvedPath(plan, plan.talkgroupFile), folder);
  ordered_json sets = ordered_json::array();
  for (const TalkgroupSet& set : plan.sets) {
    ordered_json slots = ordered_json::object();
    for (int slot = 0; slot < 2; ++slot)
      if (!set.timeSlots[std::size_t(slot)].empty())
        slots[std::to_string(slot + 1)] = numbers(set.timeSlots[std::size_t(slot)]);
    sets.push_back(ordered_json{{"networks", set.networks}, {"slots", slots}});
  }
  talkgroups["sets"] = sets;
  root["talkgroups"] = talkgroups;
  root["channels"] = choiceText(plan.channels);
  root["zones"] = choiceText(plan.zones);
  root["scan_lists"] = plan.scanLists;
  root["order"] = choiceText(plan.order);
  root["start"] = choiceText(plan.start);
  return root.dump(2) + "\n";
}

bool writePlanFile(const WizardPlan& plan, const std::string& path) {
  const std::string folder = std::filesystem::absolute(std::filesystem::path(path)).parent_path().string();
  const std::string text = writePlanText(plan, folder);
  const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return defaultFileWriter().writeFile(path, bytes) == WriteResult::Ok;
}

std::string resolvedPath(const WizardPlan& plan, const std::string& file) {
  namespace fs = std::filesystem;
  if (file.empty() || fs::path(file).is_absolute() || plan.folder.empty()) return file;
  return (fs::path(plan.folder) / file).lexically_normal().string();
}

}  // namespace pw::wizard
