// The public DMR repeater list as its registry publishes it: {"rptrs": [{"id", "callsign",
// "city", "state", "country", "frequency", "offset", "color_code", "ts_linked",
// "ipsc_network", "trustee", "status", "lat", "lng"}, ...]}. Copies differ in their types:
// every value is taken as text or number, and a missing or null one as not given.
#include "codeplug/Text.h"
#include "exchange/JsonValues.h"
#include "exchange/Repeaters.h"

namespace pw::exchange {
namespace {

using nlohmann::json;

std::string textOf(const json& entry, const char* key) {
  return std::string(trimmed(jsonValueText(jsonMember(entry, key)).value_or(std::string())));
}

}  // namespace

RepeaterPlan readRepeaterJson(std::string_view utf8) {
  RepeaterPlan plan;
  const std::optional<json> parsed = parseJson(utf8, plan.report.failure);
  if (!parsed) return plan;
  const json& document = *parsed;
  const json* list = document.is_array()    ? &document
                     : document.is_object() ? jsonMember(document, "rptrs")
                                            : nullptr;
  if (!list || !list->is_array()) {
    plan.report.failure = "No repeater list: the JSON holds no \"rptrs\" array.";
    return plan;
  }
  plan.rows.reserve(list->size());
  int number = 0;
  for (const json& entry : *list) {
    ++number;
    Skip skip{.entry = "entry " + std::to_string(number)};
    if (!entry.is_object()) {
      skip.reason = Reason::NotARecord;
      skip.what = "a repeater (an object)";
      plan.report.skipped.push_back(std::move(skip));
      continue;
    }
    RepeaterRow row;
    row.callsign = textOf(entry, "callsign");
    row.city = textOf(entry, "city");
    row.state = textOf(entry, "state");
    row.country = textOf(entry, "country");
    row.network = textOf(entry, "ipsc_network");
    row.status = textOf(entry, "status");
    if (!row.callsign.empty()) skip.entry = row.callsign;
    const auto frequency = jsonValueText(jsonMember(entry, "frequency"));
    const auto offset = jsonValueText(jsonMember(entry, "offset"));
    const auto colourCode = jsonValueText(jsonMember(entry, "color_code"));
    const auto lat = jsonValueText(jsonMember(entry, "lat"));
    const auto lng = jsonValueText(jsonMember(entry, "lng"));
    if (!readRepeaterValues({.frequency = frequency.value_or(""),
                             .offset = offset.value_or(""),
                             .colourCode = colourCode.value_or(""),
                             .lat = lat.value_or(""),
                             .lng = lng.value_or(""),
                             .hasFrequency = frequency.has_value(),
                             .hasOffset = offset.has_value(),
                             .hasColourCode = colourCode.has_value()},
                            row, skip)) {
      plan.report.skipped.push_back(std::move(skip));
      continue;
    }
    plan.rows.push_back(std::move(row));
  }
  return plan;
}

}  // namespace pw::exchange
