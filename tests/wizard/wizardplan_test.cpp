// The wizard's plan file: its defaults, the round trip through the file, and an error for
// every kind of mistake naming the file, the line and the key.
#include "wizard/WizardPlan.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace pw::wizard {
namespace {

const std::string kMinimal =
    "{\"repeaters\": {\"file\": \"r.json\"},\n"
    " \"talkgroups\": {\"sets\": [{\"networks\": [\"*\"], \"slots\": {\"2\": [9]}}]}}\n";

PlanError errorOf(const std::string& text) {
  auto read = readPlanText(text, "plan.json");
  EXPECT_TRUE(std::holds_alternative<PlanError>(read)) << text;
  return std::holds_alternative<PlanError>(read) ? std::get<PlanError>(read) : PlanError{};
}

TEST(WizardPlanTest, MissingKeysTakeTheirDefaultsAndTheFileComesBackTheSame) {
  auto read = readPlanText(kMinimal, "/clubs/dl/plan.json");
  ASSERT_TRUE(std::holds_alternative<WizardPlan>(read)) << std::get<PlanError>(read).message();
  const WizardPlan plan = std::get<WizardPlan>(read);
  EXPECT_EQ(plan.channels, ChannelsPer::Talkgroup);
  EXPECT_EQ(plan.zones, ZonesBy::Repeater);
  EXPECT_TRUE(plan.scanLists);
  EXPECT_EQ(plan.order, Order::Name);
  EXPECT_EQ(plan.start, Start::Append);
  EXPECT_EQ(resolvedPath(plan, plan.repeaterFile), "/clubs/dl/r.json");

  WizardPlan full = plan;
  full.radioId = 2621234;
  full.radioName = "DL1ABC";
  full.countries = {"Germany"};
  full.cities = {"K\xC3\xB6ln"};
  full.near = "JO31ne";
  full.radiusKm = 62.5;
  full.includeInactive = true;
  full.talkgroupFile = "/clubs/dl/lists/tg.json";
  full.sets.push_back({.networks = {"BrandMeister", "BM"}, .timeSlots = {{{91, 262}, {9}}}});
  full.channels = ChannelsPer::Slot;
  full.zones = ZonesBy::State;
  full.scanLists = false;
  full.order = Order::Distance;
  full.start = Start::Empty;
  const std::string text = writePlanText(full, "/clubs/dl");
  EXPECT_NE(text.find("\"file\": \"lists/tg.json\""), std::string::npos) << text;
  auto again = readPlanText(text, "/clubs/dl/plan.json");
  ASSERT_TRUE(std::holds_alternative<WizardPlan>(again)) << std::get<PlanError>(again).message();
  WizardPlan back = std::get<WizardPlan>(again);
  EXPECT_EQ(resolvedPath(back, back.talkgroupFile), "/clubs/dl/lists/tg.json");
  back.talkgroupFile = full.talkgroupFile;
  EXPECT_EQ(back, full);
  EXPECT_EQ(writePlanText(back, "/clubs/dl"), text);
}

TEST(WizardPlanTest, EveryMistakeNamesTheFileTheLineAndTheKey) {
  const struct {
    std::string text;
    int line;
    std::string key;
    std::string words;
  } cases[] = {
      {"{\"repeaters\": {\"file\": \"r.json\",\n \"radius_km\": \"60\", \"near\": \"JO31\"},\n"
       " \"talkgroups\": {\"sets\": [{\"networks\": [\"*\"], \"slots\": {\"1\": [9]}}]}}",
       2, "repeaters.radius_km", "a number of kilometres above 0 is needed"},
      {"{\"repeaters\": {\"file\": \"r.json\"},\n \"colour\": 1,\n"
       " \"talkgroups\": {\"sets\": [{\"networks\": [\"*\"], \"slots\": {\"1\": [9]}}]}}",
       2, "colour", "not a key of the plan"},
      {"{\"repeaters\": {\"file\": \"r.json\"},\n \"talkgroups\": {\"sets\": [\n"
       "  {\"networks\": [\"*\"], \"slots\": {\"1\": [9]}},\n  {\"networks\": [\"BM\"],\n"
       "   \"slots\": {\"2\": [9, \"x\"]}}]}}",
       5, "talkgroups.sets[1].slots.2[1]", "a whole number 1..16777215 is needed"},
      {"{\"repeaters\": {\"file\": \"r.json\", \"near\": \"XX99\", \"radius_km\": 5},\n"
       " \"talkgroups\": {\"sets\": [{\"networks\": [\"*\"], \"slots\": {\"1\": [9]}}]}}",
       1, "repeaters.near", "a locator of 4 or 6 characters (\"JO31\", \"JO31ne\") or \"lat,lng\" is needed"},
      {"{\"repeaters\": {\"file\": \"r.json\"},\n \"talkgroups\": {\"sets\": [{\"networks\": [\"*\"], "
       "\"slots\": "
       "{\"1\": [9]}}]},\n \"order\": \"distance\"}",
       3, "order", "\"distance\" needs repeaters.near"},
      {"{\"repeaters\": {\"file\": \"r.json\"},\n \"talkgroups\": {\"sets\": [{\"networks\": [\"*\"], "
       "\"slots\": "
       "{\"1\": [9]}}]},\n \"zones\": \"per city\"}",
       3, "zones", "one of \"per repeater\", \"by city\", \"by state\" is needed"},
      {"{\"repeaters\": {\"file\": \"r.json\"},\n\n \"talkgroups\": {\"file\": \"t.json\"}}", 3,
       "talkgroups.sets", "missing"},
      {"{\"repeaters\": {\"file\": \"r.json\", \"file\": \"s.json\"}}", 1, "repeaters.file", "given twice"},
      {"{\"repeaters\": {\"file\": \"r.json\"},\n \"scan_lists\": 1,\n"
       " \"talkgroups\": {\"sets\": [{\"networks\": [\"*\"], \"slots\": {\"1\": [9]}}]}}",
       2, "scan_lists", "true or false is needed"},
      {"{\"radio\": {\"id\": 16777216},\n \"repeaters\": {\"file\": \"r.json\"}}", 1, "radio.id",
       "a whole number 1..16777215 is needed"},
  };
  for (const auto& c : cases) {
    const PlanError e = errorOf(c.text);
    EXPECT_EQ(e.message(), "plan.json:" + std::to_string(c.line) + ": " + c.key + ": " + c.words) << c.text;
  }
  const PlanError syntax = errorOf("{\"repeaters\": {\n\"file\": \"r.json\",\n}}");
  EXPECT_EQ(syntax.line, 3);
  EXPECT_TRUE(syntax.key.empty());
  EXPECT_EQ(syntax.text.rfind("not JSON", 0), 0u) << syntax.text;
}

}  // namespace
}  // namespace pw::wizard
