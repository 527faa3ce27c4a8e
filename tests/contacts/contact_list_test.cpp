#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "contacts/ContactList.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;

// The contact number each holder holds, read straight from the image.
struct Holders {
  const CodePlugDocument& doc;
  int oneTouch(int k) const { return u16le(doc.image(), kOneTouchAccess + 4 * k + 2); }
  int numberKey(int k) const { return u16le(doc.image(), kNumberKeyContacts + 2 * k); }
  int member(int list, int m) const {
    return u16le(recordBytes(doc, ListId::RxGroupLists, list), 32 + 2 * m);
  }
  int channel(int c) const { return u16le(recordBytes(doc, ListId::Channels, c), 6); }
  int gps(int g) const { return u16le(doc.image(), kGps + 16 * g + 4); }
};

std::size_t gpsContactAt(int g) { return kGps + 16 * std::size_t(g) + 4; }

// Contacts "C1".."C<count>" with call IDs 101.., as group calls. The builder is a
// temporary that lives until the end of the statement that loads it.
CodePlugBuilder& contacts(int count, CodePlugBuilder&& b = CodePlugBuilder()) {
  for (int i = 0; i < count; ++i) b.contact(i, "C" + std::to_string(i + 1), 101 + i);
  return b;
}

// Delete-shift, move-rotate, block moves, selections and default names are proven for
// every list in recordlists_test; these are the contact list's holders and fields.
class ContactListTest : public ::testing::Test, protected pwtest::PromptedDocument {
 protected:
  Holders held{doc};

  void load(const CodePlugBuilder& b) { ASSERT_EQ(b.loadInto(doc), 0); }
  std::vector<std::uint8_t> contactBytes(int index) {
    return pwtest::copyOf(recordBytes(doc, ListId::Contacts, index));
  }
};

TEST_F(ContactListTest, AddMakesAGroupCallWithIdZeroUntilTheListIsFull) {
  load(contacts(2));
  ASSERT_EQ(addContact(doc), 2);
  EXPECT_EQ(recordName(doc, ListId::Contacts, 2), "Contact 3");
  const auto added = contactBytes(2);
  EXPECT_EQ(std::vector<std::uint8_t>(added.begin(), added.begin() + 4), (std::vector<std::uint8_t>{0, 0, 0, 0xC1}));
  EXPECT_EQ(contactCell(doc, 2, ContactColumn::Type, false), "Group call");

  load(contacts(1000));
  EXPECT_FALSE(addContact(doc).has_value());
  EXPECT_FALSE(doc.isModified());
}

// References to contact 7 (and to neighbours that must not move) in every kind of holder.
TEST_F(ContactListTest, DeleteRenumbersEveryHolderAboveTheDeletedContact) {
  load(contacts(12)
           .oneTouch(0, 1, 0, 1, 7)  // calls contact 7
           .oneTouch(1, 2, 0, 1, 7)  // analogue: the word is not a contact
           .oneTouch(2, 0, 0, 1, 7)  // none
           .numberKey(3, 7)
           .numberKey(4, 3)
           .named(ListId::RxGroupLists, 0, "Net")
           .members(ListId::RxGroupLists, 0, {3, 7, 11})
           .channel(0, "Digi", 2)
           .channelContact(0, 7)
           .channel(1, "Ana", 1)
           .channelContact(1, 5)  // an analogue channel on the deleted contact: set to none
           .u16(gpsContactAt(15), 7));
  // Holders that are not in use (loading resets them, so they are set afterwards).
  setU16le(recordBytes(doc, ListId::RxGroupLists, 9), 32, 7);
  setU16le(recordBytes(doc, ListId::Channels, 500), 6, 7);
  ASSERT_EQ(deleteContact(doc, 5), 0);
  EXPECT_EQ(recordName(doc, ListId::Contacts, 4), "C6");
  EXPECT_EQ(usedCount(doc, ListId::Contacts), 11);

  // Only the digital one-touch call follows; a delete renumbers every list and channel, in
  // use or not; the analogue channel gets none, else it would name the contact that moved up.
  EXPECT_EQ((std::vector<int>{held.oneTouch(0), held.oneTouch(1), held.oneTouch(2), held.numberKey(3),
                              held.numberKey(4), held.member(0, 0), held.member(0, 1), held.member(0, 2),
                              held.member(9, 0), held.channel(0), held.channel(1), held.channel(500), held.gps(15)}),
            (std::vector<int>{6, 7, 7, 6, 3, 3, 6, 10, 6, 6, 0, 6, 6}));
}

TEST_F(ContactListTest, DeleteRewritesOnlyTheLastSlot) {
  load(contacts(3));
  // A stale free slot in the middle of the free area keeps its bytes.
  doc.bytes(kContacts + 36 * 500, 3)[0] = 0x42;
  ASSERT_EQ(deleteContact(doc, 1), 0);
  EXPECT_EQ(recordName(doc, ListId::Contacts, 0), "C2");
  EXPECT_EQ(contactBytes(499)[0], 0x42);  // moved up with the rest
  EXPECT_EQ(contactBytes(999)[0], 0xFF);
  EXPECT_EQ(contactBytes(999)[3], 0xC0);
}

TEST_F(ContactListTest, MoveRenumbersBetweenOldAndNewPlaceInHoldersInUse) {
  load(contacts(12)
           .oneTouch(0, 1, 0, 1, 10)
           .oneTouch(1, 1, 0, 1, 7)
           .oneTouch(2, 2, 0, 1, 10)
           .numberKey(0, 6)
           .numberKey(1, 8)
           .numberKey(2, 11)
           .named(ListId::RxGroupLists, 0, "Net")
           .members(ListId::RxGroupLists, 0, {10, 9})
           .channel(0, "Digi", 1)
           .channelContact(0, 10)
           .u16(gpsContactAt(0), 7));
  // Holders not in use: moves leave them alone.
  setU16le(recordBytes(doc, ListId::RxGroupLists, 1), 32, 10);
  setU16le(recordBytes(doc, ListId::Channels, 600), 6, 10);

  EXPECT_EQ(moveContact(doc, 9, 3), 7);
  EXPECT_EQ(recordName(doc, ListId::Contacts, 6), "C10");
  EXPECT_EQ(recordName(doc, ListId::Contacts, 7), "C7");
  EXPECT_EQ(recordName(doc, ListId::Contacts, 9), "C9");

  // The analogue one-touch entry keeps its word; channels follow in any mode when in use.
  EXPECT_EQ((std::vector<int>{held.oneTouch(0), held.oneTouch(1), held.oneTouch(2), held.numberKey(0),
                              held.numberKey(1), held.numberKey(2), held.member(0, 0), held.member(0, 1),
                              held.member(1, 0), held.channel(0), held.channel(600), held.gps(0)}),
            (std::vector<int>{7, 8, 10, 6, 9, 11, 7, 10, 10, 7, 10, 8}));
}

TEST_F(ContactListTest, RefusalsComeInOrderAndChangeNothing) {
  load(contacts(4)
           .oneTouch(4, 1, 0, 1, 3)
           .numberKey(6, 3)
           .named(ListId::RxGroupLists, 0, "Club")
           .members(ListId::RxGroupLists, 0, {1, 3})
           .channel(0, "Ana", 1)
           .channelContact(0, 3)  // analogue: never blocks
           .channel(1, "Digi", 2)
           .channelContact(1, 3)
           .u16(gpsContactAt(2), 3));
  const std::string head = "Cannot delete contact \"C3\".\n\nIt's used in ";
  const std::vector<std::string> expected = {
      head + "one-touch-access \"5\" button setting", head + "button number-key 7 setting",
      head + "group \"Club\".2 setting", head + "channel \"Digi\" setting", head + "GPS 3 setting"};
  // Each round clears the place that refused, so the next one speaks.
  const std::vector<std::size_t> clear = {kOneTouchAccess + 4 * 4, kNumberKeyContacts + 2 * 6,
                                          kRxGroupLists + 34, kChannels + 64 + 6, gpsContactAt(2)};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::vector<std::uint8_t> before = doc.workingImage;
    prompt.refusals = {i % 2 ? RefusalAnswer::GoOn : RefusalAnswer::Stop};
    EXPECT_EQ(deleteContact(doc, 3), i % 2 ? -1 : -2);
    ASSERT_EQ(prompt.texts("refuse").size(), i + 1);
    EXPECT_EQ(prompt.texts("refuse").back(), expected[i]);
    EXPECT_EQ(doc.workingImage, before);
    setU16le(doc.image(), clear[i], 0);
  }
  EXPECT_EQ(deleteContact(doc, 3), 0);
  EXPECT_EQ(deleteContact(doc, 0), -1);
  EXPECT_EQ(deleteContact(doc, 1001), -1);
}

TEST_F(ContactListTest, CallTypeCyclesThroughTheThreeTheEditorSets) {
  load(CodePlugBuilder().contact(0, "A", 1, 5).u8(kContacts + 3, 0xD8 | 5));
  std::vector<std::string> seen;
  for (int i = 0; i < 4; ++i) {
    cycleCallType(doc, 0);
    seen.push_back(contactCell(doc, 0, ContactColumn::Type, false));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Group call", "Private call", "All call", "Group call"}));
  EXPECT_EQ(contactBytes(0)[3] & 0xF8, 0xD8);
  set(recordBytes(doc, ListId::Contacts, 0), kContactCallType, 0);
  cycleCallType(doc, 0);
  EXPECT_EQ(contactCallType(doc, 0), kGroupCall);
  EXPECT_STREQ(callTypeText(4), "Displatch call");
  EXPECT_STREQ(callTypeText(0), "-");
  EXPECT_STREQ(callTypeText(7), "Unknown");
}

TEST_F(ContactListTest, CallIdTakesDigitsWithinTwentyFourBitsAndNamesAreTrimmedAndCut) {
  load(contacts(1));
  EXPECT_TRUE(setCallId(doc, 0, " 16777215 "));
  EXPECT_EQ(contactCallId(doc, 0), 16777215u);
  for (const char* bad : {"16777216", "99999999999", "12a", "-1", "", "  "}) {
    EXPECT_FALSE(setCallId(doc, 0, bad)) << bad;
    EXPECT_EQ(contactCallId(doc, 0), 16777215u) << bad;
  }
  EXPECT_TRUE(setCallId(doc, 0, "0"));
  EXPECT_EQ(contactCallId(doc, 0), 0u);
  EXPECT_EQ(contactBytes(0)[3], 0xC1);  // the flags byte is not touched

  EXPECT_TRUE(setContactName(doc, 0, "  A name longer than sixteen  "));
  EXPECT_EQ(recordName(doc, ListId::Contacts, 0), "A name longer th");
  EXPECT_FALSE(setContactName(doc, 0, "   "));
  EXPECT_EQ(recordName(doc, ListId::Contacts, 0), "A name longer th");
}

TEST_F(ContactListTest, SearchLooksInEveryCell) {
  CodePlugBuilder b;
  b.contact(0, "Alpha", 5120)
      .contact(1, "Bravo", 2345678, 2)
      .contact(2, "Charlie12", 7)
      .contact(3, "Delta", 9, 2);
  for (int i = 4; i < 12; ++i) b.contact(i, "X" + std::to_string(i), 300 + i, 2, true);
  b.contact(12, "Echo 4", 1, 1);
  load(b);
  EXPECT_EQ(searchContacts(doc, "  GROUP ", false), (std::vector<int>{0, 2, 12}));
  EXPECT_EQ(searchContacts(doc, "12", false), (std::vector<int>{0, 2, 11}));  // ID, name, No.
  EXPECT_EQ(searchContacts(doc, "no", false), (std::vector<int>{}));
  EXPECT_EQ(searchContacts(doc, "no", true).size(), 5u);
  EXPECT_TRUE(searchContacts(doc, "", false).empty());
  EXPECT_EQ(contactCell(doc, 1, ContactColumn::No, false), "2");
  EXPECT_EQ(contactCell(doc, 1, ContactColumn::Id, false), "2345678");
}

}  // namespace
}  // namespace pw
