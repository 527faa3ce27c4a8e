// The Buttons settings: the side-button lists, the byte rules of the one-touch
// entries in both directions, and the number keys.
#include "settings/Buttons.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "codeplug/RecordList.h"
#include "signalling/Dtmf.h"
#include "support/CodePlugBuilder.h"
#include "support/FieldCheck.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using Bytes = std::vector<std::uint8_t>;
using Col = OneTouchColumn;

std::size_t entry(int k) { return kOneTouchAccess + std::size_t(k) * kOneTouchSize; }

class ButtonsTest : public ::testing::Test {
 protected:
  // Three contacts, two messages, encode strings 1 ("123") and 3 ("*9"), 2 empty.
  void load() {
    CodePlugBuilder b;
    load(b);
  }
  void load(CodePlugBuilder& b) {
    b.contact(0, "Alpha", 1).contact(1, "Bravo", 2).contact(2, "Charlie", 3);
    b.named(ListId::TextMessages, 0, "Hi").named(ListId::TextMessages, 1, "Bye");
    ASSERT_EQ(b.loadInto(doc), 0);
    setEncodeDigits(doc, 0, "123");
    setEncodeDigits(doc, 2, "*9");
  }
  Bytes bytesAt(std::size_t at, std::size_t n) const { return pwtest::copyOf(doc.bytes(at, n)); }
  Bytes entryBytes(int k) const { return bytesAt(entry(k), kOneTouchSize); }
  std::string row(int k) const {
    std::string s;
    for (Col c : {Col::Mode, Col::Contact, Col::CallType, Col::MessageOrEncode})
      s += oneTouchText(doc, k, c) + "|";
    return s;
  }
  CodePlugDocument doc;
};

TEST_F(ButtonsTest, SideButtonSettingsWriteOnlyTheirByteAndOnlyOfferedCodes) {
  load();
  for (std::uint8_t background : {0x00, 0xFF})
    for (const auto& [which, bits] : kButtonSettingFields) {
      std::memset(doc.bytes(kSideButtons, kSideButtonsSize).data(), background, kSideButtonsSize);
      const Bytes before = bytesAt(kSideButtons, kSideButtonsSize);
      const std::uint32_t code = buttonSettingChoices(which).back().code;
      ASSERT_TRUE(setButtonSetting(doc, which, code));
      EXPECT_EQ(buttonSetting(doc, which), code);
      EXPECT_TRUE(pwtest::onlyFieldMoved(before, bytesAt(kSideButtons, kSideButtonsSize), bits));
      EXPECT_FALSE(setButtonSetting(doc, which, 16));  // no list offers 16
    }
  // The lists' lengths, texts and codes are proven through the Buttons tab's drop-downs.
  EXPECT_EQ(buttonSettingChoices(ButtonSetting::LongPressDuration).front().text, "1000 ms");
}

TEST_F(ButtonsTest, ModeChangesFollowTheByteRulesAndKeepTheRadiosBits) {
  for (std::uint8_t background : {0x00, 0xFF}) {
    load();
    std::memset(doc.bytes(entry(2), 4).data(), background, 4);
    const Bytes image = doc.workingImage;
    ASSERT_TRUE(setOneTouch(doc, 2, Col::Mode, kOneTouchAnalogue));
    EXPECT_EQ(entryBytes(2), (Bytes{std::uint8_t((background & 0xC0) | 0x28), 1, 0, 0}));
    EXPECT_EQ(row(2), "Analogue||DTMF-1|123|");
    ASSERT_TRUE(setOneTouch(doc, 2, Col::CallType, 3));
    EXPECT_EQ(entryBytes(2)[0], (background & 0xC0) | 0x2B);
    ASSERT_TRUE(setOneTouch(doc, 2, Col::Mode, kOneTouchDigital));
    EXPECT_EQ(entryBytes(2), (Bytes{std::uint8_t((background & 0xC0) | 0x10), 1, 1, 0}));
    EXPECT_EQ(row(2), "Digital|Alpha|Call||");
    ASSERT_TRUE(setOneTouch(doc, 2, Col::Mode, kOneTouchNone));
    EXPECT_EQ(entryBytes(2), (Bytes{std::uint8_t(background & 0xC0), 1, 0, 0}));
    EXPECT_EQ(row(2), "None||||");
    // Nothing outside entry 3 moved.
    Bytes now = doc.workingImage;
    std::memcpy(now.data() + kImageBase + entry(2), image.data() + kImageBase + entry(2), 4);
    EXPECT_EQ(now, image);
  }
}

TEST_F(ButtonsTest, ChoosingTheModeAnEntryHasKeepsItsContact) {
  CodePlugBuilder b;
  b.fill(ListId::Contacts, 60, "C").oneTouch(0, 1, 0, 1, 57);
  ASSERT_EQ(b.loadInto(doc), 0);
  const Bytes before = entryBytes(0);
  EXPECT_FALSE(setOneTouch(doc, 0, Col::Mode, kOneTouchDigital));
  EXPECT_EQ(entryBytes(0), before);
  EXPECT_EQ(oneTouchText(doc, 0, Col::Contact), "C57");
}

TEST_F(ButtonsTest, MessageAndEncodeChoicesStoreTheChosenEntrysOwnNumber) {
  load();
  // The encode choices and the number they store are the Buttons tab's test's.
  ASSERT_TRUE(setOneTouch(doc, 0, Col::Mode, kOneTouchAnalogue));
  EXPECT_FALSE(setOneTouch(doc, 0, Col::MessageOrEncode, 2));  // string 2 is empty: not offered

  ASSERT_TRUE(setOneTouch(doc, 1, Col::Mode, kOneTouchDigital));
  EXPECT_TRUE(oneTouchChoices(doc, 1, Col::MessageOrEncode).empty());  // a call names no message
  ASSERT_TRUE(setOneTouch(doc, 1, Col::CallType, 1));
  ASSERT_TRUE(setOneTouch(doc, 1, Col::MessageOrEncode, 2));
  ASSERT_TRUE(setOneTouch(doc, 1, Col::Contact, 3));
  EXPECT_EQ(entryBytes(1), (Bytes{0x11, 2, 3, 0}));
  EXPECT_EQ(row(1), "Digital|Charlie|Text Message|Bye|");
  EXPECT_FALSE(setOneTouch(doc, 1, Col::Contact, 4));  // not in use

  // Messages read as stored: untrimmed, up to a 0xFF unit; one of blanks only is offered too.
  const std::uint8_t blanks[] = {' ', 0, ' ', 0}, yo[] = {' ', 0, 'Y', 0, 'o', 0, ' ', 0, 0xFF, 0, 'z', 0};
  std::memcpy(recordBytes(doc, ListId::TextMessages, 2).data(), blanks, sizeof blanks);
  std::memcpy(recordBytes(doc, ListId::TextMessages, 3).data(), yo, sizeof yo);
  std::vector<std::string> texts;
  for (const Choice& c : oneTouchChoices(doc, 1, Col::MessageOrEncode))
    texts.push_back(c.text + "=" + std::to_string(c.code));
  EXPECT_EQ(texts, (std::vector<std::string>{"Hi=1", "Bye=2", "  =3", " Yo =4"}));
  ASSERT_TRUE(setOneTouch(doc, 1, Col::MessageOrEncode, 4));
  EXPECT_EQ(oneTouchText(doc, 1, Col::MessageOrEncode), " Yo ");
}

TEST_F(ButtonsTest, StoredValuesThatNameNothingShowEmptyCells) {
  CodePlugBuilder b;
  b.oneTouch(0, 1, 1, 60, 1).oneTouch(1, 3, 0, 1, 1).oneTouch(2, 1, 0, 1, 0xFFFF).oneTouch(3, 2, 2, 200, 0);
  b.numberKey(0, 2).numberKey(1, 1200).numberKey(2, 0);
  load(b);
  EXPECT_EQ(row(0), "Digital|Alpha|Text Message||");
  EXPECT_EQ(row(1), "||||");
  EXPECT_TRUE(oneTouchChoices(doc, 1, Col::CallType).empty());
  EXPECT_EQ(row(2), "Digital||Call||");
  EXPECT_EQ(row(3), "Analogue||DTMF-3||");  // encode string 32, limited to the last, is empty
  EXPECT_EQ(numberKeyText(doc, 0), "Bravo");
  EXPECT_EQ(numberKeyText(doc, 1), "None");
  EXPECT_EQ(numberKeyText(doc, 2), "None");
  EXPECT_EQ(numberKeyChoices(doc).size(), 4u);
  ASSERT_TRUE(setNumberKey(doc, 0, 0));
  EXPECT_EQ(u16le(doc.image(), kNumberKeyContacts), 0);
  EXPECT_FALSE(setNumberKey(doc, 0, 1001));
  EXPECT_FALSE(setNumberKey(doc, 10, 1));
}

}  // namespace
}  // namespace pw
