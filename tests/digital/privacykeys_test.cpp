#include "digital/PrivacyKeys.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "codeplug/Layout.h"
#include "support/CodePlugBuilder.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<Bytes> typed(std::string_view text, int size) { return keyBytes(text, size); }

TEST(PrivacyKeyCodec, TextListsTheLastByteFirstInLowerCase) {
  EXPECT_EQ(keyText(Bytes{0x34, 0x12}), "1234");
  EXPECT_EQ(keyText(Bytes{0xFF, 0xFF}), "ffff");
  Bytes enhanced(16);
  for (int i = 0; i < 16; ++i) enhanced[i] = std::uint8_t(i << 4 | (15 - i));  // every nibble value
  EXPECT_EQ(keyText(enhanced), "f0e1d2c3b4a5968778695a4b3c2d1e0f");
}

TEST(PrivacyKeyCodec, TypedTextIsPaddedOnTheLeftAndTheFirstPairLandsInTheLastByte) {
  EXPECT_EQ(typed("ABcd", 2), (Bytes{0xCD, 0xAB}));
  EXPECT_EQ(typed("1", 2), (Bytes{0x01, 0x00}));
  EXPECT_EQ(typed(" 2f3 ", 2), (Bytes{0xF3, 0x02}));
  EXPECT_EQ(typed("", 2), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(typed("  ", 16), Bytes(16, 0xFF));

  const std::string full = "00112233445566778899aabbccddeeff";
  Bytes expected(16);
  for (int i = 0; i < 16; ++i) expected[i] = std::uint8_t(0x11 * (15 - i));
  EXPECT_EQ(typed(full, 16), expected);
  // 31 digits take one leading "0": the first typed pair is split over bytes 15 and 14.
  const auto split = typed("123456789abcdef0123456789abcdef", 16);
  ASSERT_TRUE(split);
  EXPECT_EQ((*split)[15], 0x01);
  EXPECT_EQ((*split)[14], 0x23);
  EXPECT_EQ((*split)[0], 0xEF);
}

TEST(PrivacyKeyCodec, AnInvalidPairOrAnOverlongTextStoresNothing) {
  for (const char* text : {"12g4", "0x12", "1 2", "12345"}) EXPECT_FALSE(typed(text, 2)) << text;
  EXPECT_FALSE(typed("00112233445566778899aabbccddeefz", 16));
  EXPECT_FALSE(typed("00112233445566778899aabbccddeeff0", 16));
}

class PrivacyKeysTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(pwtest::CodePlugBuilder().loadInto(doc), 0); }
  CodePlugDocument doc;
};

// Typing, padding, clearing and the enhanced table are proven through the Voice Encryption
// tab's grids; the last basic and enhanced keys sit at the ends of their tables.
TEST_F(PrivacyKeysTest, TheLastKeysSitAtTheEndsOfTheirTables) {
  ASSERT_TRUE(setBasicKey(doc, 15, "BEEF"));
  ASSERT_TRUE(setEnhancedKey(doc, 7, "0123456789ABCDEF0123456789ABCDEF"));
  EXPECT_EQ(u16le(doc.image(), kBasicPrivacyKeys + 30), 0xBEEF);
  EXPECT_EQ(doc.image()[kEnhancedPrivacyKeys + 7 * 16 + 15], 0x01);
}

TEST_F(PrivacyKeysTest, RefusedEditsLeaveTheImageAsItWas) {
  setEnhancedKey(doc, 2, "ff00");
  const Bytes before = doc.workingImage;
  EXPECT_FALSE(setEnhancedKey(doc, 2, "12x4"));
  EXPECT_FALSE(setBasicKey(doc, 16, "1234"));
  EXPECT_FALSE(setBasicKey(doc, -1, "1234"));
  EXPECT_FALSE(setEnhancedKey(doc, 8, "1234"));
  EXPECT_EQ(doc.workingImage, before);
  EXPECT_EQ(keyText(doc, KeyKind::Enhanced, 8), "");

  CodePlugDocument empty;
  EXPECT_FALSE(setBasicKey(empty, 0, "1234"));
  EXPECT_EQ(keyText(empty, KeyKind::Basic, 0), "");
}

}  // namespace
}  // namespace pw
