#pragma once
// Everything the code plug wizard decides, as one small JSON file, so that a code plug can be
// built again from updated lists, kept in version control and shared. Its keys, exactly:
//
//   {"radio": {"id": 2621234, "name": "DL1ABC"},
//    "repeaters": {"file": "rptrs.json", "countries": ["Germany"], "states": [], "cities": [],
//                  "near": "JO31", "radius_km": 60, "include_inactive": false},
//    "talkgroups": {"file": "talkgroups.json",
//                   "sets": [{"networks": ["BrandMeister"], "slots": {"1": [91, 262], "2": [9]}}]},
//    "channels": "per talkgroup", "zones": "per repeater", "scan_lists": true,
//    "order": "distance", "start": "append"}
//
// `radio` and each of its keys, the area's lists, `near` with `radius_km`, `include_inactive`,
// `talkgroups.file` and the last five keys may be left out (defaults: "per talkgroup", "per
// repeater", true, "name", "append"). An unknown key, a key given twice or a value of the
// wrong kind is an error naming the file, the line and the key.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pw::wizard {

enum class ChannelsPer { Talkgroup, Slot };
enum class ZonesBy { Repeater, City, State };
enum class Order { Distance, Name, Frequency };
enum class Start { Append, Empty };

struct TalkgroupSet {
  std::vector<std::string> networks;  // matched without case as part of the network; "*": any
  std::array<std::vector<std::uint32_t>, 2> timeSlots{};  // talkgroup IDs of time slot 1 and 2, in order
  bool operator==(const TalkgroupSet&) const = default;
};

struct WizardPlan {
  std::optional<std::uint32_t> radioId{};
  std::optional<std::string> radioName{};
  std::string repeaterFile;  // as written: relative to `folder` unless absolute
  std::vector<std::string> countries{}, states{}, cities{};
  std::string near{};  // a locator of 4 or 6 characters or "lat,lng"; empty: no distance
  double radiusKm = 0;
  bool includeInactive = false;
  std::string talkgroupFile{};  // empty: every talkgroup named "TG <id>"
  std::vector<TalkgroupSet> sets{};
  ChannelsPer channels = ChannelsPer::Talkgroup;
  ZonesBy zones = ZonesBy::Repeater;
  bool scanLists = true;
  Order order = Order::Name;
  Start start = Start::Append;
  std::string folder{};  // the plan file's folder; not written

  bool operator==(const WizardPlan&) const = default;
};

// A plan file that cannot be used: "plan.json:5: repeaters.radius_km: a number is needed".
struct PlanError {
  std::string file;
  int line = 0;     // 0: the file as a whole (it could not be read)
  std::string key;  // "repeaters.radius_km", "talkgroups.sets[1].slots.2[0]"; empty: the file
  std::string text;
  std::string message() const;
};

std::variant<WizardPlan, PlanError> readPlanText(std::string_view text, const std::string& fileName);
std::variant<WizardPlan, PlanError> readPlanFile(const std::string& path);
// The plan as the file holds it, its keys in the order above; the two files relative to
// `folder` (where the plan file goes) when they lie below it.
std::string writePlanText(const WizardPlan& plan, const std::string& folder);
// Writes the file as Save writes a code plug: a failed write leaves the previous one whole.
bool writePlanFile(const WizardPlan& plan, const std::string& path);

// A file the plan names, as a path to open.
std::string resolvedPath(const WizardPlan& plan, const std::string& file);

// The words of each choice, as the file writes them and the window shows them.
const char* choiceText(ChannelsPer value);
const char* choiceText(ZonesBy value);
const char* choiceText(Order value);
const char* choiceText(Start value);

}  // namespace pw::wizard
