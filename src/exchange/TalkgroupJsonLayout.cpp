// A network's talkgroup list as JSON: an object of ID to name ({"91": "World-wide", ...}) or
// an array of objects with "id" and "name".
#include "codeplug/Text.h"
#include "contacts/ContactList.h"
#include "exchange/JsonValues.h"
#include "exchange/Repeaters.h"

namespace pw::exchange {
namespace {

using nlohmann::json;

// Adds the talkgroup or the skip that says why it cannot be one.
void take(TalkgroupPlan& plan, const std::string& idText, const json* name, const std::string& entry) {
  const auto id = parseInteger(idText, 1, kMaxCallId);
  const auto nameText = name && name->is_string() ? jsonValueText(name) : std::nullopt;
  if (!id || (name && !name->is_null() && !nameText)) {
    plan.report.skipped.push_back({.entry = entry,
                                   .reason = Reason::NotHeld,
                                   .what = id ? "name" : "id",
                                   .value = id ? jsonValueText(name).value_or("") : idText,
                                   .detail = id ? "a text" : "a talkgroup ID (1..16777215)"});
    return;
  }
  plan.rows.push_back({.id = std::uint32_t(*id), .name = std::string(trimmed(nameText.value_or("")))});
}

}  // namespace

TalkgroupPlan readTalkgroupJson(std::string_view utf8) {
  TalkgroupPlan plan;
  const std::optional<json> parsed = parseJson(utf8, plan.report.failure);
  if (!parsed) return plan;
  const json& document = *parsed;
  if (document.is_object()) {
    for (const auto& [key, name] : document.items()) take(plan, key, &name, "talkgroup " + key);
  } else if (document.is_array()) {
    int number = 0;
    for (const json& entry : document) {
      ++number;
      const std::string where = "entry " + std::to_string(number);
      if (!entry.is_object()) {
        plan.report.skipped.push_back(
            {.entry = where, .reason = Reason::NotARecord, .what = "a talkgroup (an object)"});
        continue;
      }
      take(plan, jsonValueText(jsonMember(entry, "id")).value_or(""), jsonMember(entry, "name"), where);
    }
  } else {
    plan.report.failure = "No talkgroup list: the JSON is neither an object of ID to name nor an array.";
  }
  return plan;
}

}  // namespace pw::exchange
