#pragma once
// The public lists the code plug wizard builds from, read into the exchange's one plan and
// report type (Plan.h), every entry that cannot be used skipped with its callsign and reason:
//  - repeaters: the registry's JSON ({"rptrs": [...]}, RepeaterJsonLayout.cpp) or the
//    editor's repeater CSV (callsign,frequency,offset,color_code,city,state,country,network,
//    lat,lng; RepeaterCsvLayout.cpp, a layout of the table in Layouts.cpp);
//  - talkgroups: a JSON object of id to name, a JSON array of {id, name}
//    (TalkgroupJsonLayout.cpp) or a CSV id,name (TalkgroupCsvLayout.cpp).
// Reading takes what is there: numbers as text or as numbers, missing fields, nulls. What a
// code plug cannot use (a frequency outside the radio's band, an area not asked for) is the
// wizard's to decide; here an entry is skipped only when a value it needs is unreadable.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/Plan.h"

namespace pw::exchange {

struct RepeaterRow {
  int line = 0;            // a CSV row's line; 0 for a JSON entry
  std::string callsign{};  // as the file gives them (UTF-8), trimmed
  std::string city{}, state{}, country{}, network{};
  std::int64_t rxHz = 0;  // receive (the repeater's output) and transmit frequency
  std::int64_t txHz = 0;
  int colourCode = 0;        // 0..15
  std::string status{};      // empty when the file gives none
  bool hasPosition = false;  // lat and lng readable, in range, and not both 0
  double lat = 0, lng = 0;   // degrees

  // A non-empty status other than "active" (without case).
  bool inactive() const;
};
using RepeaterPlan = Plan<RepeaterRow>;

struct TalkgroupRow {
  int line = 0;
  std::uint32_t id = 0;  // 1..16777215
  std::string name{};    // as the file gives it (UTF-8), trimmed
};
using TalkgroupPlan = Plan<TalkgroupRow>;

// Reads a repeater list: JSON when the text starts as JSON does, otherwise the CSV layout.
// A text that is neither gives a plan whose failure says so.
RepeaterPlan readRepeaterText(std::string_view text);
RepeaterPlan readRepeaterFile(const std::string& path);
// Reads a talkgroup list: a JSON object or array, or the CSV layout. A talkgroup given twice
// keeps its first name (noted).
TalkgroupPlan readTalkgroupText(std::string_view text);
TalkgroupPlan readTalkgroupFile(const std::string& path);

// ---- what the layouts share ----
// A frequency or offset in MHz as the lists write it ("439.56250", "-7.600", "+5.000",
// 439.5625, "7,6", "-600 kHz"): hertz; nothing for any other text. `sign`: a leading + or -
// is allowed.
std::optional<std::int64_t> parseMegahertz(std::string_view text, bool sign);
// A position's degrees ("52.52", -13.4): nothing for other text or one beyond `limit`.
std::optional<double> parseDegrees(std::string_view text, double limit);
// Fills the skip that a repeater row's unreadable value gives, or the row's frequencies,
// colour code and position from the texts as read. False with `skip` filled.
struct RepeaterTexts {
  std::string_view frequency, offset, colourCode, lat, lng;
  bool hasFrequency, hasOffset, hasColourCode;
};
bool readRepeaterValues(const RepeaterTexts& texts, RepeaterRow& row, Skip& skip);

// The JSON readers, each in its own file.
RepeaterPlan readRepeaterJson(std::string_view utf8);
TalkgroupPlan readTalkgroupJson(std::string_view utf8);

}  // namespace pw::exchange
