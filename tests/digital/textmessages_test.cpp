#include "digital/TextMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

// Adding, deleting, the default names and the delete-shift of the list itself are
// proven for every list in recordlists_test; these are the message list's own rules.
namespace pw {
namespace {

using pwtest::CodePlugBuilder;

constexpr ListId kList = ListId::TextMessages;

struct TextMessagesTest : ::testing::Test, pwtest::PromptedDocument {
  void load(const CodePlugBuilder& b) { ASSERT_EQ(b.loadInto(doc), 0); }
  void loadMessages(int count) { load(CodePlugBuilder().fill(kList, count, "Msg ")); }
  std::uint8_t oneTouchMessage(int k) const { return doc.image()[kOneTouchAccess + 4 * std::size_t(k) + 1]; }
};

TEST_F(TextMessagesTest, BadCallsFailQuietlyAndChangeNothing) {
  EXPECT_EQ(addMessage(doc, "x"), -1);
  EXPECT_FALSE(setMessageText(doc, 0, "x"));
  EXPECT_EQ(deleteMessage(doc, 1), -1);
  EXPECT_TRUE(shownMessages(doc).empty());
  EXPECT_EQ(messageText(doc, 0), "");

  loadMessages(3);
  const auto before = doc.workingImage;
  EXPECT_FALSE(setMessageText(doc, kTextMessageCount, "x"));
  EXPECT_FALSE(setMessageText(doc, -1, "x"));
  EXPECT_EQ(doc.workingImage, before);
  EXPECT_TRUE(prompt.shown.empty());
}

// The default text and the trimming of an added message are the shared addRecord's.
TEST_F(TextMessagesTest, AddToAFullListSaysSoAndChangesNothing) {
  loadMessages(kTextMessageCount);
  const auto before = doc.workingImage;
  EXPECT_EQ(addMessage(doc, "one more"), -2);
  EXPECT_EQ(doc.workingImage, before);
}

TEST_F(TextMessagesTest, EmptiedTextBecomesMessageNumberAfterTrimming) {
  loadMessages(7);
  EXPECT_TRUE(setMessageText(doc, 6, "   \t "));
  EXPECT_EQ(messageText(doc, 6), "Message 7");
  EXPECT_TRUE(setMessageText(doc, 0, " Call me "));
  EXPECT_EQ(messageText(doc, 0), "Call me");
}

TEST_F(TextMessagesTest, TextFillsAll144UnitsAndIsCutBeyond) {
  loadMessages(2);
  const std::string full(144, 'x');
  ASSERT_TRUE(setMessageText(doc, 0, full + "yz"));
  EXPECT_EQ(messageText(doc, 0), full);
  const ByteSpan r = recordBytes(doc, kList, 0);
  EXPECT_EQ(u16le(r, 2 * 143), 'x');  // no terminating unit: the record is exactly full
  // A shorter text clears what the longer one left behind.
  ASSERT_TRUE(setMessageText(doc, 0, "ab"));
  for (int u = 2; u < 144; ++u) ASSERT_EQ(u16le(r, 2 * u), 0) << u;
  EXPECT_EQ(messageText(doc, 1), "Msg 2");  // the neighbour is untouched
}

TEST_F(TextMessagesTest, RecordThatDecodesToNothingGetsNoSubstituteAndNoRow) {
  load(CodePlugBuilder().fill(kList, 3, "Msg ").u16(kTextMessages + kTextMessageSize, 0x00FF));
  EXPECT_EQ(messageText(doc, 1), "");
  EXPECT_EQ(shownMessages(doc), (std::vector<int>{0, 2}));
}

// Only digital entries that send a text hold a message number: the others neither
// block the delete nor follow it.
TEST_F(TextMessagesTest, DeleteRenumbersOnlyTheEntriesThatSendAMessage) {
  load(CodePlugBuilder()
           .fill(kList, 6, "Msg ")
           .oneTouch(0, 1, 1, 2, 0)    // below: unchanged
           .oneTouch(1, 1, 1, 5, 0)    // above: follows its message
           .oneTouch(2, 2, 1, 3, 0)    // analogue, on the deleted one
           .oneTouch(3, 1, 0, 3, 9)    // calls a contact: byte 1 is no message number
           .oneTouch(4, 2, 1, 5, 0)    // analogue, above
           .oneTouch(5, 1, 0, 5, 9));  // contact call, above
  const std::string named = messageText(doc, 4);
  ASSERT_EQ(deleteMessage(doc, 3), 0);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(oneTouchMessage(0), 2);
  EXPECT_EQ(oneTouchMessage(1), 4);
  EXPECT_EQ(messageText(doc, oneTouchMessage(1) - 1), named);
  for (int k : {2, 3}) EXPECT_EQ(oneTouchMessage(k), 3) << k;
  for (int k : {4, 5}) EXPECT_EQ(oneTouchMessage(k), 5) << k;
}

}  // namespace
}  // namespace pw
