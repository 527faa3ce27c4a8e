#include <gtest/gtest.h>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

using namespace pw;
using namespace pwtest;

namespace {

using Loaded = PromptedDocument;

std::vector<std::uint8_t> freshRecord(ListId id, int rangeCode = 2) {
  CodePlugBuilder b(rangeCode);
  return copyOf(b.record(id, layoutOf(id).count - 1));
}

std::vector<std::uint8_t> recordOf(const CodePlugDocument& doc, ListId id, int i) {
  return copyOf(recordBytes(doc, id, i));
}

// The 16-bit words at these image offsets.
std::vector<int> wordsAt(const CodePlugDocument& doc, std::initializer_list<std::size_t> offsets) {
  std::vector<int> v;
  for (std::size_t at : offsets) v.push_back(u16le(doc.image(), at));
  return v;
}

}  // namespace

TEST(Normalise, PacksTextMessagesAndZeroesTheRest) {
  Loaded l;
  CodePlugBuilder b;
  b.named(ListId::TextMessages, 2, "A");
  b.u8(kTextMessages + 5 * kTextMessageSize + 10, 0x33);  // junk in a free record
  ASSERT_EQ(b.loadInto(l.doc), 0);
  EXPECT_TRUE(l.doc.isModified());
  EXPECT_EQ(decodeName(recordBytes(l.doc, ListId::TextMessages, 0), 144), "A");
  for (int i = 1; i < 50; ++i)
    EXPECT_EQ(recordOf(l.doc, ListId::TextMessages, i), std::vector<std::uint8_t>(288, 0)) << i;
}

TEST(Normalise, PacksMemberSlotsOfEveryRecordInUseOrNot) {
  Loaded l;
  CodePlugBuilder b;
  b.named(ListId::RxGroupLists, 0, "G").members(ListId::RxGroupLists, 0, {5, 0, 0, 7});
  b.members(ListId::RxGroupLists, 3, {0, 9});  // an unnamed list
  b.named(ListId::ScanLists, 0, "S").members(ListId::ScanLists, 0, {0, 0, 3});
  b.contact(4, "c5", 5).contact(6, "c7", 7).contact(8, "c9", 9);
  for (int i = 0; i < 9; ++i)
    if (i != 4 && i != 6 && i != 8) b.contact(i, "x" + std::to_string(i), 100 + i);
  b.fill(ListId::Channels, 3, "Ch ");
  ASSERT_EQ(b.loadInto(l.doc), 0);
  EXPECT_EQ(wordsAt(l.doc, {kRxGroupLists + 32, kRxGroupLists + 34, kRxGroupLists + 36, kScanLists + 42,
                             kScanLists + 46}),
            (std::vector<int>{5, 7, 0, 3, 0}));
  // The unnamed group list is packed first, then rewritten as a free record.
  EXPECT_EQ(recordOf(l.doc, ListId::RxGroupLists, 3), std::vector<std::uint8_t>(96, 0));
}

TEST(Normalise, MovedRecordsKeepTheirReferences) {
  // Contact 1 is free and "Bob" is contact 2; a channel, a group list, a number key,
  // a one-touch entry and a GPS system call Bob. After packing Bob is contact 1 and
  // every one of them still calls Bob.
  Loaded l;
  CodePlugBuilder b;
  b.contact(1, "Bob", 2002).contact(2, "Carol", 3003);
  b.channel(0, "Ch", 2).channelContact(0, 2);
  b.named(ListId::RxGroupLists, 0, "G").members(ListId::RxGroupLists, 0, {2, 3, 1});
  b.numberKey(4, 2).oneTouch(0, 1, 0, 1, 2).oneTouch(1, 2, 0, 1, 2);  // analogue entry: not a contact
  b.u16(kGps + 4, 3);
  ASSERT_EQ(b.loadInto(l.doc), 0);
  EXPECT_TRUE(l.doc.isModified());
  EXPECT_EQ(recordName(l.doc, ListId::Contacts, 0), "Bob");
  EXPECT_EQ(recordName(l.doc, ListId::Contacts, 1), "Carol");
  // The channel, the group's members (a reference to the free record keeps its value), the
  // number key, both one-touch entries (the analogue one holds no contact) and the GPS system.
  EXPECT_EQ(wordsAt(l.doc, {kChannels + 6, kRxGroupLists + 32, kRxGroupLists + 34, kRxGroupLists + 36,
                             kNumberKeyContacts + 8, kOneTouchAccess + 2, kOneTouchAccess + 6, kGps + 4}),
            (std::vector<int>{1, 1, 2, 1, 1, 1, 2, 2}));
}

TEST(Normalise, ChannelGapsFollowedByZonesScanListsAndRevertChannels) {
  Loaded l;
  CodePlugBuilder b;
  b.channel(0, "A").channel(3, "D");
  b.named(ListId::Zones, 0, "Z").members(ListId::Zones, 0, {4, 1});
  b.named(ListId::ScanLists, 0, "S").members(ListId::ScanLists, 0, {4});
  b.u16(kScanLists + 32, 4);  // priority channel 1
  b.named(ListId::EmergencySystems, 0, "E");
  b.u16(kEmergencySystems + 36, 4);
  b.u16(kDtmfDecodeEntries + 20, 4).u16(kGps + kGpsSize, 4);
  ASSERT_EQ(b.loadInto(l.doc), 0);
  EXPECT_EQ(recordName(l.doc, ListId::Channels, 1), "D");
  EXPECT_EQ(wordsAt(l.doc, {kZones + 32, kZones + 34, kScanLists + 42, kScanLists + 32, kEmergencySystems + 36,
                             kDtmfDecodeEntries + 20, kGps + kGpsSize}),
            (std::vector<int>{2, 1, 2, 2, 2, 2, 2}));
}

TEST(Normalise, FreeRecordsGetTheirEmptyRecordValues) {
  for (ListId id : {ListId::EmergencySystems, ListId::Contacts, ListId::ScanLists, ListId::Channels}) {
    Loaded l;
    CodePlugBuilder b;
    const int last = layoutOf(id).count - 1;
    for (auto& byte : b.record(id, last)) byte = 0xFF;
    setU16le(b.record(id, last), layoutOf(id).nameOffset, 0);  // free, with junk elsewhere
    ASSERT_EQ(b.loadInto(l.doc), 0);
    EXPECT_TRUE(l.doc.isModified()) << layoutOf(id).title;
    EXPECT_EQ(recordOf(l.doc, id, last), freshRecord(id)) << layoutOf(id).title;
    // A pack that only clears a free record's junk says so; once clean, it changes nothing.
    CodePlugDocument doc(nullptr);
    doc.holdImage(b.bytes());
    EXPECT_TRUE(packList(doc, id)) << layoutOf(id).title;
    EXPECT_FALSE(packList(doc, id)) << layoutOf(id).title;
  }
}

TEST(Normalise, EmptyRecordValuesAreExact) {
  EXPECT_EQ(freshRecord(ListId::Contacts),
            (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // Emergency systems and scan lists: their own tests state their fresh bytes.
  const std::vector<std::uint8_t> head = {0x62, 0x14, 0x00, 0xE1, 0x05, 0xC3, 0x00, 0x00,
                                          0x04, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFF};
  const std::vector<std::vector<std::uint8_t>> freq = {
      {0, 0, 0x50, 0x14}, {0, 0, 0, 0x35}, {0, 0, 0, 0x43}, {0, 0, 0, 0x45}};
  for (int code = 0; code < 4; ++code) {
    const auto c = freshRecord(ListId::Channels, code);
    EXPECT_EQ(std::vector<std::uint8_t>(c.begin(), c.begin() + 16), head);
    EXPECT_EQ(std::vector<std::uint8_t>(c.begin() + 16, c.begin() + 20), freq[code]);
    EXPECT_EQ(std::vector<std::uint8_t>(c.begin() + 20, c.begin() + 24), freq[code]);
    EXPECT_EQ(std::vector<std::uint8_t>(c.begin() + 24, c.end()),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         0,    0,    0,    0,    0, 0, 0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         0,    0,    0,    0}));
  }
}

TEST(Normalise, EmergencySettingsHeaderNeverMoves) {
  Loaded l;
  CodePlugBuilder b;
  for (int i = 0; i < 16; ++i) b.u8(kEmergencySection + i, static_cast<std::uint8_t>(0xA0 + i));
  b.named(ListId::EmergencySystems, 3, "E4");
  ASSERT_EQ(b.loadInto(l.doc), 0);
  EXPECT_EQ(recordName(l.doc, ListId::EmergencySystems, 0), "E4");
  for (int i = 0; i < 16; ++i) EXPECT_EQ(l.doc.image()[kEmergencySection + i], 0xA0 + i);
}
