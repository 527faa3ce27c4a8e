// Deleting and moving channels against every place that refers to a channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "channels/ChannelRecord.h"
#include "channels/ChannelRefSlots.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using namespace pwtest;
using Bytes = std::vector<std::uint8_t>;

class ChannelRefsTest : public ::testing::Test {
protected:
  // `channels` named "Ch1".."ChN"; the first two of each named holder list are in use.
  void load(int channels) {
    CodePlugBuilder b;
    b.fill(ListId::Channels, channels, "Ch");
    for (auto list : {ListId::EmergencySystems, ListId::Zones, ListId::ScanLists})
      for (int i = 0; i < 2; ++i) b.named(list, i, layoutOf(list).defaultPrefix + std::string(1, char('A' + i)));
    ASSERT_EQ(b.loadInto(doc), 0);
    doc.setPrompt(&prompt);
  }
  std::vector<std::string> names() {
    std::vector<std::string> v;
    for (int i = 0; i < usedCount(doc, ListId::Channels); ++i) v.push_back(recordName(doc, ListId::Channels, i));
    return v;
  }
  bool holderInUse(const RefSlot& r) {
    const auto list = holderList(r.kind);
    return !list || inUse(doc, *list, r.holder);
  }
  CodePlugDocument doc;
  ScriptedPrompt prompt;
};

// Each kind of holder refuses with its own text; the first in order wins, and holders
// whose name is not in use refuse as well. OK and Cancel both leave every byte alone.
TEST_F(ChannelRefsTest, RefusalsInOrderWithTheirTexts) {
  load(6);
  const std::size_t emergency = kEmergencySystems + kEmergencySystemSize + 36;  // "System B"
  const std::size_t zone = kZones + 5 * kZoneSize + 32 + 2 * 3;                  // free zone 6
  const std::size_t scan = kScanLists + 32 + 2 * 4 + 10;                          // "Scan List A", member 6
  const std::size_t dtmf = kDtmfDecodeEntries + 2 * kDtmfDecodeSize + 20;          // entry 3
  const std::size_t gps = kGps + 5 * kGpsSize;                                     // system 6
  for (std::size_t at : {emergency, zone, scan, dtmf, gps}) setWord(doc, at, 5);
  setWord(doc, kScanLists + 32, 5);  // a priority channel never refuses
  const std::string head = "Cannot delete channel \"Ch5\".\n\nIt's used in ";
  const std::vector<std::string> expected = {head + "EMERGENCY SYSTEM \"System B\" setting",
                                             head + "ZONES \"\" setting", head + "SCAN LIST \"Scan List A\" setting",
                                             head + "DTMF \"DTMF-3\" setting", head + "GPS \"GPS-DECODE-6\" setting"};
  const std::size_t holders[] = {emergency, zone, scan, dtmf, gps};
  for (int k = 0; k < 5; ++k) {
    for (auto answer : {RefusalAnswer::GoOn, RefusalAnswer::Stop}) {
      prompt.shown.clear();
      prompt.refusals = {answer};
      const Bytes before = doc.workingImage;
      EXPECT_EQ(deleteChannel(doc, 5), answer == RefusalAnswer::GoOn ? -1 : -2);
      EXPECT_EQ(prompt.texts("refuse"), std::vector<std::string>{expected[k]});
      EXPECT_EQ(doc.workingImage, before);
    }
    setWord(doc, holders[k], 0);
  }
  // A selection delete goes on past the refusal, each row taken as numbered by its turn.
  setWord(doc, gps, 5);
  prompt.shown.clear();
  prompt.refusals = {RefusalAnswer::GoOn};
  EXPECT_EQ(deleteSelectedChannels(doc, {3, 4, 5}), 2);
  EXPECT_EQ(prompt.texts("refuse"), std::vector<std::string>{expected[4]});
  EXPECT_EQ(names(), (std::vector<std::string>{"Ch1", "Ch2", "Ch3", "Ch5"}));
}

// Every reference slot of every kind, in holders in use and not, holds one of a set of
// values; a move renumbers exactly those in scope, a delete every one.
class ChannelRenumberTest : public ChannelRefsTest {
protected:
  static constexpr std::uint16_t kValues[] = {0, 1, 2, 3, 4, 9, 10, 11, 12, 20, 1000, 1001, 0xFFFF};
  void fillEverySlot(std::uint16_t skip) {
    int k = 0;
    for (const auto& r : channelRefSlots()) {
      std::uint16_t v = kValues[k++ % std::size(kValues)];
      if (v == skip && blocksDelete(r.kind)) v = 0;
      setWord(doc, r.at, v);
    }
  }
  std::vector<std::uint16_t> snapshot() {
    std::vector<std::uint16_t> v;
    for (const auto& r : channelRefSlots()) v.push_back(word(doc, r.at));
    return v;
  }
  // Every slot holds what `expect` makes of the value it held before.
  template <typename F>
  void expectEverySlot(const std::vector<std::uint16_t>& before, F expect) {
    const auto slots = channelRefSlots();
    for (std::size_t i = 0; i < slots.size(); ++i)
      ASSERT_EQ(word(doc, slots[i].at), expect(slots[i], before[i])) << "slot " << i << " kind " << int(slots[i].kind);
  }
};

TEST_F(ChannelRenumberTest, MovingChannelTenToThreeRenumbersInScopeAndADeleteRenumbersEveryHolder) {
  load(20);
  fillEverySlot(0);
  auto before = snapshot();
  const auto beforeNames = names();
  EXPECT_EQ(moveChannel(doc, 9, 7), 3);
  EXPECT_EQ(names()[2], "Ch10");
  EXPECT_EQ(names()[3], "Ch3");
  EXPECT_EQ(names()[9], "Ch9");
  int followed = 0, kept = 0;
  expectEverySlot(before, [&](const RefSlot& slot, std::uint16_t r) -> std::uint16_t {
    const bool inScope = r >= 3 && r <= 10;
    (holderInUse(slot) ? followed : kept) += inScope;
    return !inScope || !holderInUse(slot) ? r : r == 10 ? 3 : r + 1;
  });
  EXPECT_GT(followed, 0);
  EXPECT_GT(kept, 0);  // free zones, scan lists and emergency systems are not renumbered by a move
  // And back again restores everything.
  EXPECT_EQ(moveChannel(doc, 2, -7), 10);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(names(), beforeNames);

  fillEverySlot(10);
  before = snapshot();
  EXPECT_EQ(deleteChannel(doc, 10), 0);
  expectEverySlot(before, [](const RefSlot&, std::uint16_t r) -> std::uint16_t {
    if (r == 10) return 0xFFFF;  // only priority and designated channels still hold it
    return r > 10 && r <= 1000 ? r - 1 : r;
  });
}

// The clamping, the recreated channel 1 and the selection deletes that go on or stop
// after a refusal are proven in recordlists_test, emergencysystems_test and the list tabs'
// tests.
}  // namespace
}  // namespace pw
