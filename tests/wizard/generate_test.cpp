// The wizard's generator over a code plug: what each choice of the plan makes, the lists'
// limits, "empty" and the references it clears, and one undo step.
#include "wizard/Generate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channels/ChannelRecord.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "contacts/ContactList.h"
#include "membership/MemberList.h"
#include "settings/GeneralSettings.h"
#include "support/CodePlugBuilder.h"

namespace pw::wizard {
namespace {

using exchange::Report;
using pwtest::CodePlugBuilder;

struct Entry {
  std::string callsign;
  std::string frequency = "439.5625";
  std::string offset = "-7.6";
  int colourCode = 1;
  std::string network = "BrandMeister";
  std::string city = "Essen", state = "NRW";
  double lat = 51.45, lng = 7.0;
};

std::string listOf(const std::vector<Entry>& entries) {
  std::string out = "{\"rptrs\": [";
  for (const Entry& e : entries)
    out += std::string(out.back() == '[' ? "" : ",") + "{\"callsign\": \"" + e.callsign +
           "\", \"frequency\": \"" + e.frequency + "\", \"offset\": \"" + e.offset +
           "\", \"color_code\": " + std::to_string(e.colourCode) + ", \"ipsc_network\": \"" + e.network +
           "\", \"city\": \"" + e.city + "\", \"state\": \"" + e.state +
           "\", \"country\": \"Germany\", \"lat\": " + std::to_string(e.lat) +
           ", \"lng\": " + std::to_string(e.lng) + "}";
  return out + "]}";
}

Sources sourcesOf(const std::vector<Entry>& entries) {
  Sources s;
  s.repeaters = exchange::readRepeaterText(listOf(entries));
  s.talkgroupNames = {{91, "World-wide"}, {262, "Deutschland \xC3\xBC"}, {9, "Local"}};
  return s;
}

WizardPlan planOf(std::vector<TalkgroupSet> sets = {
                      {.networks = {"Brand"}, .timeSlots = {{{91, 262}, {9}}}}}) {
  WizardPlan plan;
  plan.repeaterFile = "r.json";
  plan.sets = std::move(sets);
  return plan;
}

std::vector<std::string> names(const CodePlugDocument& doc, ListId list) {
  std::vector<std::string> out;
  for (int i = 0; i < layoutOf(list).count && inUse(doc, list, i); ++i)
    out.push_back(recordName(doc, list, i));
  return out;
}
std::vector<int> members(const CodePlugDocument& doc, ListId list, int index) {
  std::vector<int> out;
  for (const MemberRow& m : memberRows(doc, list, index)) out.push_back(m.number);
  return out;
}

struct Fixture : ::testing::Test {
  CodePlugDocument doc;
  void SetUp() override { ASSERT_EQ(CodePlugBuilder().channel(0, "Home").loadInto(doc), 0); }
};

using GenerateTest = Fixture;

TEST_F(GenerateTest, PerTalkgroupMakesAChannelForEachTalkgroupWithItsContactsAndGroupLists) {
  const Report r = generate(doc, planOf(), sourcesOf({{.callsign = "DB0ABCDEFGH"}}));
  EXPECT_EQ(names(doc, ListId::Channels),
            (std::vector<std::string>{"Home", "DB0ABCDEFGH Worl", "DB0ABCDEFGH Deut", "DB0ABCDEFGH Loca"}));
  EXPECT_EQ(r.added, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(names(doc, ListId::Contacts), (std::vector<std::string>{"World-wide", "Deutschland u", "Local"}));
  EXPECT_EQ(contactCallId(doc, 1), 262u);
  EXPECT_EQ(contactCallType(doc, 1), kGroupCall);
  EXPECT_EQ(names(doc, ListId::RxGroupLists), (std::vector<std::string>{"Brand TS1", "Brand TS2"}));
  EXPECT_EQ(members(doc, ListId::RxGroupLists, 0), (std::vector<int>{1, 2}));
  const auto field = [&](int c, ChannelField f) { return channelField(doc, c, f); };
  EXPECT_EQ(field(2, ChannelField::Mode), 2u);
  EXPECT_EQ(field(2, ChannelField::RepeaterSlot), 1u);
  EXPECT_EQ(field(3, ChannelField::RepeaterSlot), 2u);
  EXPECT_EQ(field(2, ChannelField::Contact), 2u);
  EXPECT_EQ(field(3, ChannelField::RxGroupList), 2u);
  EXPECT_EQ(field(2, ChannelField::AdmitCriteria), 3u);
  EXPECT_EQ(field(2, ChannelField::ColourCode), 1u);
  EXPECT_EQ(field(2, ChannelField::RxFrequency), 0x43956250u);
  EXPECT_EQ(field(2, ChannelField::TxFrequency), 0x43196250u);
  EXPECT_EQ(field(2, ChannelField::TxTimeout), 4u);  // otherwise a new channel's values
  EXPECT_EQ(names(doc, ListId::Zones), std::vector<std::string>{"DB0ABCDEFGH"});
  EXPECT_EQ(members(doc, ListId::Zones, 0), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(members(doc, ListId::ScanLists, 0), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(field(3, ChannelField::ScanList), 1u);
  EXPECT_EQ(generationLines(r), (std::vector<std::string>{"channels 3", "zones 1", "scan_lists 1",
                                                          "rx_group_lists 2", "contacts 3"}));
}

TEST_F(GenerateTest, PerSlotZonesByCityOverflowAndTheOrders) {
  // 18 repeaters in one city: the city's zone goes on as "<name> 2" after 16 channels.
  std::vector<Entry> entries;
  for (int i = 0; i < 18; ++i)
    entries.push_back({.callsign = "DB" + std::to_string(10 + (17 - i)),
                       .frequency = "43" + std::to_string(i % 10) + ".1",
                       .city = "Gelsenkirchen-Buer",
                       .lat = 51.0 + i * 0.01});
  entries.push_back({.callsign = "DA1", .city = "Bonn", .lat = 50.0});
  WizardPlan plan = planOf({{.networks = {"*"}, .timeSlots = {{{91, 262}, {}}}}});
  plan.channels = ChannelsPer::Slot;
  plan.zones = ZonesBy::City;
  plan.near = "50,7";
  plan.radiusKm = 500;
  plan.order = Order::Distance;
  const Report r = generate(doc, plan, sourcesOf(entries));
  ASSERT_EQ(r.added.size(), 19u);
  EXPECT_EQ(recordName(doc, ListId::Channels, 1), "DA1 TS1");  // the nearest first
  EXPECT_EQ(recordName(doc, ListId::Channels, 2), "DB27 TS1");
  EXPECT_EQ(names(doc, ListId::Zones),
            (std::vector<std::string>{"Bonn", "Gelsenkirchen-Bu", "Gelsenkirchen- 2"}));
  EXPECT_EQ(members(doc, ListId::Zones, 2), (std::vector<int>{19, 20}));
  EXPECT_EQ(names(doc, ListId::Contacts), (std::vector<std::string>{"World-wide", "Deutschland u"}));
  EXPECT_EQ(channelField(doc, 1, ChannelField::Contact), 1u);  // the slot's first talkgroup
  EXPECT_EQ(members(doc, ListId::RxGroupLists, 0), (std::vector<int>{1, 2}));
  EXPECT_EQ(names(doc, ListId::RxGroupLists), std::vector<std::string>{"Any TS1"});

  for (const auto& [order, first] : {std::pair{Order::Name, "DA1 TS1"}, {Order::Frequency, "DB27 TS1"}}) {
    CodePlugDocument other;
    ASSERT_EQ(CodePlugBuilder().channel(0, "Home").loadInto(other), 0);
    plan.order = order;
    plan.zones = ZonesBy::State;
    plan.scanLists = false;
    generate(other, plan, sourcesOf(entries));
    EXPECT_EQ(recordName(other, ListId::Channels, 1), first);
    EXPECT_EQ(names(other, ListId::Zones), (std::vector<std::string>{"NRW", "NRW 2"}));
    EXPECT_EQ(usedCount(other, ListId::ScanLists), 0);
    EXPECT_EQ(channelField(other, 1, ChannelField::ScanList), 0u);
  }
}

TEST_F(GenerateTest, EntriesTheCodePlugCannotUseAreNamedWithTheirReason) {
  WizardPlan plan = planOf();
  plan.countries = {"germany"};
  plan.near = "JO31";
  plan.radiusKm = 100;
  const std::vector<Entry> entries = {
      {.callsign = "DB0A"},
      {.callsign = "db0a"},                                         // the same repeater again
      {.callsign = "DB0B", .frequency = "145.6"},                   // another band
      {.callsign = "DB0C", .network = "DMR+"},                      // no set for its network
      {.callsign = "DB0D", .lat = 48.1, .lng = 11.6},               // too far
      {.callsign = "DB0E", .lat = 0, .lng = 0},                     // no position
      {.callsign = "DB0F", .frequency = "479.99", .offset = "+5"},  // transmits outside the band
  };
  const Report r = generate(doc, plan, sourcesOf(entries));
  std::vector<std::string> skipped;
  for (const auto& s : r.skipped) skipped.push_back(exchange::skipLine(s));
  EXPECT_EQ(skipped, (std::vector<std::string>{
                         "db0a: callsign, frequency and colour code is given by an earlier entry",
                         "DB0B: receive frequency 145.60000 MHz is outside the radio's range 400-480 MHz",
                         "DB0C: network \"DMR+\" matches no talkgroup set",
                         "DB0D: outside the area: 501.7 km from JO31, more than 100.0 km",
                         "DB0E: no position (lat, lng) to measure the distance from JO31",
                         "DB0F: transmit frequency 484.99000 MHz is outside the radio's range 400-480 MHz",
                     }));
  EXPECT_EQ(r.added.size(), 3u);

  // A set that matches no network at all: nothing is made and nothing changes.
  const std::vector<std::uint8_t> before = doc.workingImage;
  const Report none =
      generate(doc, planOf({{.networks = {"TGIF"}, .timeSlots = {{{91}, {}}}}}), sourcesOf(entries));
  EXPECT_TRUE(none.added.empty());
  EXPECT_EQ(doc.workingImage, before);
}

TEST_F(GenerateTest, EmptyClearsTheFourListsAndSetsEveryReferenceIntoThemToNone) {
  CodePlugBuilder b;
  b.fill(ListId::Channels, 5, "Ch ")
      .named(ListId::EmergencySystems, 0, "Alarm")
      .named(ListId::EmergencySystems, 1, "Quiet");
  b.fill(ListId::Zones, 2, "Z").fill(ListId::ScanLists, 1, "S").fill(ListId::RxGroupLists, 1, "G");
  b.contact(0, "Kept", 4711);
  b.u16(kEmergencySystems + 36, 5).u16(kGps + 0, 3).u16(kGps + kGpsSize, 4).u16(kDtmfDecodeEntries + 20, 2);
  ASSERT_EQ(b.loadInto(doc), 0);
  WizardPlan plan = planOf();
  plan.start = Start::Empty;
  plan.radioId = 2621234;
  plan.radioName = "DL1ABC";
  const Report r = generate(doc, plan, sourcesOf({{.callsign = "DB0A"}}));
  EXPECT_EQ(names(doc, ListId::Channels),
            (std::vector<std::string>{"DB0A World-wide", "DB0A Deutschland", "DB0A Local"}));
  EXPECT_EQ(names(doc, ListId::Zones), std::vector<std::string>{"DB0A"});
  EXPECT_EQ(names(doc, ListId::ScanLists), std::vector<std::string>{"DB0A"});
  EXPECT_EQ(names(doc, ListId::RxGroupLists), (std::vector<std::string>{"Brand TS1", "Brand TS2"}));
  EXPECT_EQ(names(doc, ListId::Contacts)[0], "Kept");
  EXPECT_EQ(u16le(doc.image(), kEmergencySystems + 36), 0u);
  EXPECT_EQ(u16le(doc.image(), kGps), 0u);
  EXPECT_EQ(u16le(doc.image(), kGps + kGpsSize), 0xFFFFu);  // GPS system 2's "no setting"
  EXPECT_EQ(u16le(doc.image(), kDtmfDecodeEntries + 20), 0u);
  EXPECT_EQ(generalField(doc, GeneralField::RadioId), 2621234u);
  EXPECT_EQ(generalText(doc, GeneralBytes::RadioName), "DL1ABC");
  std::vector<std::string> notes;
  for (const auto& n : r.notes) notes.push_back(exchange::noteLine(n));
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "emergency system \"Alarm\": revert channel 5 \"Ch 5\" is cleared: none now",
                       "DTMF decode DTMF-1: revert channel 2 \"Ch 2\" is cleared: none now",
                       "GPS GPS-DECODE-1: revert channel 3 \"Ch 3\" is cleared: none now",
                       "GPS GPS-DECODE-2: revert channel 4 \"Ch 4\" is cleared: none now",
                   }));
}

TEST_F(GenerateTest, TheWholeGenerationIsOneUndoStep) {
  const std::vector<std::uint8_t> before = doc.workingImage;
  WizardPlan plan = planOf();
  plan.start = Start::Empty;
  generate(doc, plan, sourcesOf({{.callsign = "DB0A"}, {.callsign = "DB0B"}}));
  doc.settleEdits("edit");
  EXPECT_EQ(doc.history().undoLabel(), "wizard: 6 channels");
  const std::vector<std::uint8_t> after = doc.workingImage;
  ASSERT_TRUE(doc.undo());
  EXPECT_EQ(doc.workingImage, before);
  ASSERT_TRUE(doc.redo());
  EXPECT_EQ(doc.workingImage, after);
}

// Each list at its limit: a repeater that needs the last free record fits, one that needs
// one more is left out whole and counted, and the list is not overfilled.
struct Limit {
  ListId list;
  int fitsAt;  // records in use that still leave room for one repeater of the plan below
};

class LimitTest : public ::testing::TestWithParam<Limit> {};

TEST_P(LimitTest, ARepeaterThatDoesNotFitIsLeftOutWhole) {
  const Limit limit = GetParam();
  // One talkgroup, slot 1: a repeater needs 1 channel, 1 contact, 1 group list (the first
  // time), 1 zone and 1 scan list.
  const WizardPlan plan = planOf({{.networks = {"*"}, .timeSlots = {{{91}, {}}}}});
  for (int extra : {0, 1}) {
    CodePlugDocument doc;
    CodePlugBuilder b;
    b.fill(limit.list, limit.fitsAt + extra, "X");
    ASSERT_EQ(b.loadInto(doc), 0);
    const Report r = generate(doc, plan, sourcesOf({{.callsign = "DB0A"}}));
    EXPECT_EQ(r.added.size(), extra ? 0u : 1u) << layoutOf(limit.list).title;
    EXPECT_EQ(r.noRoom, extra);
    EXPECT_EQ(usedCount(doc, limit.list), layoutOf(limit.list).count);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryList, LimitTest,
                         ::testing::Values(Limit{ListId::Channels, kChannelCount - 1},
                                           Limit{ListId::Contacts, kContactCount - 1},
                                           Limit{ListId::RxGroupLists, kRxGroupListCount - 1},
                                           Limit{ListId::Zones, kZoneCount - 1},
                                           Limit{ListId::ScanLists, kScanListCount - 1}));

}  // namespace
}  // namespace pw::wizard
