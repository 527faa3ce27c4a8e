// Rx group lists and scan lists as lists: who refuses their delete and with which text,
// which channels follow a delete or a move, and the scan list's settings. Delete-shift,
// move-rotate, packing and the recreated first record are proven for every list in
// recordlists_test (zones, which nothing refers to, need nothing more).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "membership/ScanListSettings.h"
#include "support/CodePlugBuilder.h"
#include "support/FieldCheck.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using Bytes = std::vector<std::uint8_t>;

constexpr int kScanListByte = 11, kGroupListByte = 12;

class MembershipListTest : public ::testing::Test, protected pwtest::PromptedDocument {
 protected:
  // Lists "<list>1".."<list>5" and channels "Ch1".."Ch<n>" with the given mode each.
  void load(ListId list, const std::vector<int>& modes) {
    CodePlugBuilder b;
    b.fill(list, 5, "L");
    for (int c = 0; c < int(modes.size()); ++c) b.channel(c, "Ch" + std::to_string(c + 1), modes[c]);
    ASSERT_EQ(b.loadInto(doc), 0);
  }
  int channelByte(int c, int at) const { return u8(recordBytes(doc, ListId::Channels, c), at); }
  std::vector<int> channelBytes(const std::vector<int>& channels, int at) const {
    std::vector<int> v;
    for (int c : channels) v.push_back(channelByte(c, at));
    return v;
  }
  void setChannelByte(int c, int at, int v) {
    setU8(recordBytes(doc, ListId::Channels, c), at, std::uint8_t(v));
  }
  Bytes bytes(ListId list, int i) const { return pwtest::copyOf(recordBytes(doc, list, i)); }
};

TEST_F(MembershipListTest, GroupListDeleteIsRefusedByDigitalChannelsOnlyAndAnalogueOnesAreCleared) {
  load(ListId::RxGroupLists, {1, 2, 2, 1});
  setChannelByte(0, kGroupListByte, 3);  // analogue: does not block
  setChannelByte(1, kGroupListByte, 5);
  setChannelByte(3, kGroupListByte, 2);
  setChannelByte(700, kGroupListByte, 3);  // a free record on 3, its mode bits digital
  prompt.refusals = {RefusalAnswer::GoOn};
  const Bytes before = doc.workingImage;
  EXPECT_EQ(deleteRecord(doc, ListId::RxGroupLists, 3), -1);
  EXPECT_EQ(prompt.texts("refuse"),
            std::vector<std::string>{"Cannot delete group \"L3\".\n\nIt's used in channel \"\" setting"});
  EXPECT_EQ(doc.workingImage, before);

  setChannelByte(700, 0, 0x61);  // now analogue
  setChannelByte(2, kGroupListByte, 4);
  setChannelByte(900, kGroupListByte, 5);  // free records follow a delete too
  EXPECT_EQ(deleteRecord(doc, ListId::RxGroupLists, 3), 0);
  // Channels 1 and 701 were on the deleted list: none, not the next one.
  EXPECT_EQ(channelBytes({0, 700, 1, 2, 3, 900}, kGroupListByte), (std::vector<int>{0, 0, 4, 3, 2, 4}));
  EXPECT_EQ(recordName(doc, ListId::RxGroupLists, 2), "L4");
}

TEST_F(MembershipListTest, ScanListDeleteIsRefusedByAnyChannelRecord) {
  load(ListId::ScanLists, {1, 2, 0});
  setChannelByte(999, kScanListByte, 2);  // a free record refuses as well
  setChannelByte(2, kScanListByte, 3);
  setChannelByte(1, kScanListByte, 5);
  prompt.refusals = {RefusalAnswer::Stop};
  EXPECT_EQ(deleteRecord(doc, ListId::ScanLists, 2), -2);
  EXPECT_EQ(prompt.texts("refuse"),
            std::vector<std::string>{"Cannot delete scan list \"L2\".\n\nIt's used in channel \"\" setting"});
  setChannelByte(999, kScanListByte, 0);
  EXPECT_EQ(deleteRecord(doc, ListId::ScanLists, 2), 0);
  EXPECT_EQ(channelBytes({2, 1}, kScanListByte), (std::vector<int>{2, 4}));
}

TEST_F(MembershipListTest, MovesRenumberChannelsInUseOnly) {
  for (ListId list : {ListId::RxGroupLists, ListId::ScanLists}) {
    const int at = list == ListId::ScanLists ? kScanListByte : kGroupListByte;
    load(list, {2, 2, 2, 1});
    for (int c = 0; c < 4; ++c) setChannelByte(c, at, c + 1);
    setChannelByte(500, at, 1);  // not in use: keeps its number
    EXPECT_EQ(moveRecord(doc, list, 0, -2), 3);
    EXPECT_EQ(channelBytes({0, 1, 2, 3, 500}, at), (std::vector<int>{3, 1, 2, 4, 1}));
  }
}

TEST_F(MembershipListTest, FreeScanListsHoldTheDefaultsAndANewOneIsNamedByItsNumber) {
  CodePlugBuilder b;
  b.fill(ListId::ScanLists, 5, "L").u8(kScanLists + 7 * kScanListSize + 39, 0);  // in free scan list 8
  ASSERT_EQ(b.loadInto(doc), 0);
  const Bytes fresh = bytes(ListId::ScanLists, 249);
  EXPECT_EQ(Bytes(fresh.begin() + 32, fresh.begin() + 42),
            (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF1, 20, 8, 0xFF}));
  EXPECT_EQ(bytes(ListId::ScanLists, 7), fresh);  // loading made the odd free record fresh
  EXPECT_EQ(addRecord(doc, ListId::ScanLists), 5);
  EXPECT_EQ(recordName(doc, ListId::ScanLists, 5), "Scan List 6");
  EXPECT_EQ(scanListField(doc, 5, ScanListField::PriorityChannel1), kNoChannel);
  EXPECT_EQ(scanListField(doc, 5, ScanListField::TxDesignatedChannel), kNoChannel);
  EXPECT_EQ(scanListField(doc, 5, ScanListField::SignallingHoldTime), 20u);
  EXPECT_EQ(scanListField(doc, 5, ScanListField::PrioritySampleTime), 8u);

  // A delete leaves every free record with the defaults, members cleared.
  setU16le(recordBytes(doc, ListId::ScanLists, 10), 42, 3);
  EXPECT_EQ(deleteRecord(doc, ListId::ScanLists, 5), 0);
  EXPECT_EQ(bytes(ListId::ScanLists, 5), fresh);
  EXPECT_EQ(bytes(ListId::ScanLists, 10), fresh);
  EXPECT_EQ(bytes(ListId::ScanLists, 249), fresh);
}

TEST(ScanListFields, EachFieldWritesOnlyItsOwnBits) {
  CodePlugDocument doc;
  ASSERT_EQ(CodePlugBuilder().loadInto(doc), 0);
  pwtest::expectEachFieldWritesOnlyItsBits(
      doc, kScanLists + 3 * kScanListSize, kScanListSize, kScanListFields,
      [&](ScanListField f, std::uint32_t v) { return setScanListField(doc, {3}, f, v), true; },
      [&](ScanListField f) { return scanListField(doc, 3, f); });
}

// The channel choices, the defaults and the codes a pick stores are proven through the
// Scan Lists tab (membershipforms_uitest); these are a hidden member word and the timing
// lists' ends.
TEST(ScanListChoices, PriorityChoicesSkipHiddenWordsAndTimingsCarryTheirCodes) {
  CodePlugBuilder b;
  b.channel(0, "A").channel(2, "C").named(ListId::ScanLists, 0, "S").members(ListId::ScanLists, 0, {3, 0xFFFF, 1});
  CodePlugDocument doc;
  ASSERT_EQ(b.loadInto(doc), 0);
  EXPECT_EQ(priorityChannelChoices(doc, 0).size(), 4u);  // Selected, C, A, None
  const ScanChoices& hold = signallingHoldTimeChoices();
  ASSERT_EQ(hold.size(), 254u);
  EXPECT_EQ(hold.front().text, "50 ms");
  EXPECT_EQ(hold.back().text, "6375 ms");
  EXPECT_EQ(hold[kDefaultHoldTimeChoice].text, "1000 ms");
  EXPECT_EQ(choiceIndex(hold, 1), -1);
  const ScanChoices& sample = prioritySampleTimeChoices();
  ASSERT_EQ(sample.size(), 29u);
  EXPECT_EQ(sample[kDefaultSampleTimeChoice].text, "3000 ms");
  EXPECT_EQ(sample[choiceIndex(sample, 16)].text, "4000 ms");
}

}  // namespace
}  // namespace pw
