// The wizard's sources: which reader a text goes to, and the values every repeater layout
// reads alike.
#include "exchange/Repeaters.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

#include "codeplug/Csv.h"
#include "codeplug/Text.h"
#include "exchange/JsonText.h"
#include "exchange/Layouts.h"

namespace pw::exchange {
namespace {

// The CSV layouts read no code plug; their context still names one.
const CodePlugDocument& noDocument() {
  static const CodePlugDocument doc;
  return doc;
}

template <class Row>
Plan<Row> readCsv(std::string_view text, const std::string& noLayout) {
  csv::Reader reader(text, csv::kGuessSeparator);
  const Admit<Row> admit = [](Row&, Skip&) { return true; };
  return readRows<Row>(reader, {.doc = noDocument()}, admit, noLayout);
}

template <class Row>
Plan<Row> readFile(const std::string& path, Plan<Row> (*readText)(std::string_view)) {
  JsonText file = readJsonText(path);
  if (!file.failure.empty()) {
    Plan<Row> failed;
    failed.report.failure = file.failure;
    return failed;
  }
  Plan<Row> plan = readText(file.text);
  if (file.latin1 > 0)
    plan.report.notes.push_back({0, "the file is not UTF-8: " + std::to_string(file.latin1) +
                                        " bytes were read as Latin-1 characters"});
  return plan;
}

// Stops at the first character of `text` that is not part of the number.
std::optional<std::int64_t> scaled(std::string_view text, int scale) {
  const auto d = parseDecimal(text, scale, false);
  if (!d) return std::nullopt;
  return d->units;
}

}  // namespace

bool RepeaterRow::inactive() const {
  const std::string_view s = trimmed(status);
  return !s.empty() && asciiLower(s) != "active";
}

std::optional<std::int64_t> parseMegahertz(std::string_view text, bool sign) {
  text = trimmed(text);
  bool negative = false;
  if (sign && !text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text = trimmed(text.substr(1));
  }
  // A unit, when given, says the scale: MHz (the lists' own), kHz or Hz.
  int scale = 6;
  const std::string lower = asciiLower(text);
  for (const auto& [unit, digits] : {std::pair{"mhz", 6}, {"khz", 3}, {"hz", 0}})
    if (lower.ends_with(unit)) {
      scale = digits;
      text = trimmed(text.substr(0, text.size() - std::string_view(unit).size()));
      break;
    }
  const auto hz = scaled(text, scale);
  if (!hz) return std::nullopt;
  return negative ? -*hz : *hz;
}

std::optional<double> parseDegrees(std::string_view text, double limit) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
      std::fabs(value) > limit)
    return std::nullopt;
  return value;
}

bool readRepeaterValues(const RepeaterTexts& t, RepeaterRow& row, Skip& skip) {
  const auto refuse = [&](Reason reason, const char* what, std::string_view value, const char* detail) {
    skip.reason = reason;
    skip.what = what;
    skip.value = std::string(trimmed(value));
    skip.detail = detail;
    return false;
  };
  if (trimmed(row.callsign).empty()) return refuse(Reason::Missing, "callsign", {}, "");
  if (!t.hasFrequency || trimmed(t.frequency).empty()) return refuse(Reason::Missing, "frequency", {}, "");
  const auto rx = parseMegahertz(t.frequency, false);
  if (!rx) return refuse(Reason::NotANumber, "frequency", t.frequency, "");
  if (!t.hasOffset || trimmed(t.offset).empty()) return refuse(Reason::Missing, "offset", {}, "");
  const auto offset = parseMegahertz(t.offset, true);
  if (!offset) return refuse(Reason::NotANumber, "offset", t.offset, "");
  if (!t.hasColourCode || trimmed(t.colourCode).empty())
    return refuse(Reason::Missing, "colour code", {}, "");
  // A colour code written as a number with a point ("1.0") is still a whole number.
  const auto code = parseDecimal(t.colourCode, 0, true);
  if (!code) return refuse(Reason::NotANumber, "colour code", t.colourCode, "");
  if (code->units > 15) return refuse(Reason::NotHeld, "colour code", t.colourCode, "0..15");
  row.rxHz = *rx;
  row.txHz = *rx + *offset;
  row.colourCode = int(code->units);
  const auto lat = parseDegrees(t.lat, 90), lng = parseDegrees(t.lng, 180);
  // Lists write 0, 0 for a position nobody entered: no repeater stands there.
  row.hasPosition = lat && lng && (*lat != 0 || *lng != 0);
  if (row.hasPosition) {
    row.lat = *lat;
    row.lng = *lng;
  }
  return true;
}

RepeaterPlan readRepeaterText(std::string_view text) {
  if (looksLikeJson(text)) return readRepeaterJson(jsonText(text).text);
  return readCsv<RepeaterRow>(
      text,
      "No repeater list: the file is neither JSON ({\"rptrs\": [...]}) nor a CSV whose first line names the "
      "columns callsign and frequency.");
}

RepeaterPlan readRepeaterFile(const std::string& path) {
  return readFile<RepeaterRow>(path, readRepeaterText);
}

TalkgroupPlan readTalkgroupText(std::string_view text) {
  TalkgroupPlan plan =
      looksLikeJson(text)
          ? readTalkgroupJson(jsonText(text).text)
          : readCsv<TalkgroupRow>(
                text,
                "No talkgroup list: the file is neither JSON ({\"91\": \"World-wide\", ...} or "
                "[{\"id\": 91, \"name\": ...}]) nor a CSV whose first line names the columns "
                "id and name.");
  // The first name given for an ID is the one used.
  std::vector<TalkgroupRow> kept;
  std::unordered_map<std::uint32_t, int> seen;
  for (TalkgroupRow& row : plan.rows) {
    if (!seen.emplace(row.id, row.line).second) {
      plan.report.notes.push_back(
          {row.line, "talkgroup " + std::to_string(row.id) + " is given again: the first name is used",
           row.line ? "" : std::to_string(row.id)});
      continue;
    }
    kept.push_back(std::move(row));
  }
  plan.rows = std::move(kept);
  return plan;
}

TalkgroupPlan readTalkgroupFile(const std::string& path) {
  return readFile<TalkgroupRow>(path, readTalkgroupText);
}

}  // namespace pw::exchange
