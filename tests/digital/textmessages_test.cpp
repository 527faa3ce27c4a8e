#include "digital/TextMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using pwtest::ScriptedPrompt;

constexpr ListId kList = ListId::TextMessages;

struct TextMessagesTest : ::testing::Test {
  ScriptedPrompt prompt;
  CodePlugDocument doc{&prompt};

  void load(CodePlugBuilder& b) { ASSERT_EQ(b.loadInto(doc), 0); }
  void loadMessages(int count) {
    CodePlugBuilder b;
    b.fill(kList, count, "Msg ");
    load(b);
  }
  std::vector<std::uint8_t> image() const { return doc.workingImage; }
  std::uint8_t oneTouchMessage(int k) const { return doc.image()[kOneTouchAccess + 4 * std::size_t(k) + 1]; }
};

TEST_F(TextMessagesTest, WithoutImageEveryOperationFailsQuietly) {
  EXPECT_EQ(addMessage(doc, "x"), -1);
  EXPECT_FALSE(setMessageText(doc, 0, "x"));
  EXPECT_EQ(deleteMessage(doc, 1), -1);
  EXPECT_TRUE(shownMessages(doc).empty());
  EXPECT_EQ(messageText(doc, 0), "");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TextMessagesTest, AddUsesFirstFreeRecordWithHelloOrTrimmedText) {
  loadMessages(2);
  EXPECT_EQ(addMessage(doc, ""), 2);
  EXPECT_EQ(messageText(doc, 2), "Hello");
  EXPECT_EQ(addMessage(doc, "  On my way\t"), 3);
  EXPECT_EQ(messageText(doc, 3), "On my way");
  EXPECT_EQ(shownMessages(doc), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(TextMessagesTest, AddToFullListChangesNothing) {
  loadMessages(kTextMessageCount);
  const auto before = image();
  EXPECT_EQ(addMessage(doc, "one more"), -2);
  EXPECT_EQ(image(), before);
}

TEST_F(TextMessagesTest, EmptiedTextBecomesMessageNumberAfterTrimming) {
  loadMessages(7);
  EXPECT_TRUE(setMessageText(doc, 6, "   \t "));
  EXPECT_EQ(messageText(doc, 6), "Message 7");
  EXPECT_TRUE(setMessageText(doc, 0, " Call me "));
  EXPECT_EQ(messageText(doc, 0), "Call me");
  const auto before = image();
  EXPECT_FALSE(setMessageText(doc, kTextMessageCount, "x"));
  EXPECT_FALSE(setMessageText(doc, -1, "x"));
  EXPECT_EQ(image(), before);
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
  CodePlugBuilder b;
  b.fill(kList, 3, "Msg ");
  b.u16(kTextMessages + kTextMessageSize, 0x00FF);  // record 1 in use, decodes to nothing
  load(b);
  EXPECT_EQ(messageText(doc, 1), "");
  EXPECT_EQ(shownMessages(doc), (std::vector<int>{0, 2}));
}

TEST_F(TextMessagesTest, DeletingShiftsUpAndClearsTheLastRecord) {
  loadMessages(kTextMessageCount);
  ASSERT_EQ(deleteMessage(doc, 3), 0);
  EXPECT_EQ(messageText(doc, 2), "Msg 4");
  EXPECT_EQ(messageText(doc, 48), "Msg 50");
  const ByteSpan last = recordBytes(doc, kList, 49);
  for (auto byte : last) ASSERT_EQ(byte, 0);
  EXPECT_EQ(usedCount(doc, kList), 49);
}

TEST_F(TextMessagesTest, DeletingTheOnlyMessageLeavesHello) {
  CodePlugBuilder b;
  b.named(kList, 0, "Only");
  load(b);
  ASSERT_EQ(deleteMessage(doc, 1), 0);
  EXPECT_EQ(shownMessages(doc), std::vector<int>{0});
  EXPECT_EQ(messageText(doc, 0), "Hello");
}

TEST_F(TextMessagesTest, OutOfRangeNumberIsKeptQuietly) {
  loadMessages(3);
  const auto before = image();
  EXPECT_EQ(deleteMessage(doc, 0), -1);
  EXPECT_EQ(deleteMessage(doc, 51), -1);
  EXPECT_EQ(image(), before);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TextMessagesTest, MessageSentByOneTouchEntryIsRefusedWithItsText) {
  CodePlugBuilder b;
  b.fill(kList, 5, "Msg ").oneTouch(1, 1, 1, 3, 0);
  load(b);
  const auto before = image();
  prompt.refusals = {RefusalAnswer::GoOn, RefusalAnswer::Stop};
  EXPECT_EQ(deleteMessage(doc, 3), -1);
  EXPECT_EQ(deleteMessage(doc, 3), -2);
  EXPECT_EQ(image(), before);
  ASSERT_EQ(prompt.texts("refuse").size(), 2u);
  EXPECT_EQ(prompt.texts("refuse")[0],
            "Cannot delete text message \"3\".\n\nIt's used in one-touch-access \"2\" button setting");
}

TEST_F(TextMessagesTest, OnlyDigitalTextEntriesBlockTheDelete) {
  CodePlugBuilder b;
  b.fill(kList, 5, "Msg ")
      .oneTouch(0, 2, 1, 3, 0)   // analogue
      .oneTouch(1, 1, 0, 3, 3)   // digital call to contact 3
      .oneTouch(2, 0, 1, 3, 0);  // no mode
  load(b);
  EXPECT_EQ(deleteMessage(doc, 3), 0);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TextMessagesTest, DeleteKeepsOneTouchEntriesOnTheMessagesTheyNamed) {
  CodePlugBuilder b;
  b.fill(kList, 6, "Msg ")
      .oneTouch(0, 1, 1, 2, 0)   // below: unchanged
      .oneTouch(1, 1, 1, 5, 0)   // above: follows its message
      .oneTouch(2, 1, 1, 6, 0)   // above, the last one
      .oneTouch(3, 2, 1, 5, 0)   // analogue: not a message reference
      .oneTouch(4, 1, 0, 5, 9);  // calls a contact: byte 1 is no message number
  load(b);
  const std::string named = messageText(doc, 4);
  ASSERT_EQ(deleteMessage(doc, 3), 0);
  EXPECT_EQ(oneTouchMessage(0), 2);
  EXPECT_EQ(oneTouchMessage(1), 4);
  EXPECT_EQ(messageText(doc, oneTouchMessage(1) - 1), named);
  EXPECT_EQ(oneTouchMessage(2), 5);
  EXPECT_EQ(oneTouchMessage(3), 5);
  EXPECT_EQ(oneTouchMessage(4), 5);
}

TEST_F(TextMessagesTest, DeletingASelectionGoesOnAfterOkAndStopsAfterCancel) {
  for (auto answer : {RefusalAnswer::GoOn, RefusalAnswer::Stop}) {
    CodePlugBuilder b;
    b.fill(kList, 5, "Msg ").oneTouch(0, 1, 1, 2, 0);
    load(b);
    prompt.refusals = {answer};
    // Rows 0, 1 and 2 selected; message 2 is refused.
    const int deleted = deleteSelection({0, 1, 2}, [&](int n) { return deleteMessage(doc, n); });
    if (answer == RefusalAnswer::GoOn) {
      EXPECT_EQ(deleted, 2);
      EXPECT_EQ(shownMessages(doc).size(), 3u);
      EXPECT_EQ(messageText(doc, 0), "Msg 2");
      EXPECT_EQ(messageText(doc, 1), "Msg 4");
    } else {
      EXPECT_EQ(deleted, 1);
      EXPECT_EQ(messageText(doc, 0), "Msg 2");
      EXPECT_EQ(messageText(doc, 1), "Msg 3");
    }
    EXPECT_EQ(oneTouchMessage(0), 1);  // still names "Msg 2"
  }
}

}  // namespace
}  // namespace pw
