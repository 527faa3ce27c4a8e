// The DTMF section: each setter writes its own bits only, stored values outside the
// offered choices are shown as such and kept, and the choices that name other
// records (encode strings, analogue channels) carry those records' numbers.
#include "signalling/Dtmf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/CodePlugBuilder.h"
#include "support/FieldCheck.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using Bytes = std::vector<std::uint8_t>;

class DtmfTest : public ::testing::Test {
 protected:
  void load(const CodePlugBuilder& b = CodePlugBuilder()) { ASSERT_EQ(b.loadInto(doc), 0); }
  Bytes bytesAt(std::size_t at, std::size_t size) const { return pwtest::copyOf(doc.bytes(at, size)); }
  void fill(std::size_t at, std::size_t size, std::uint8_t v) {
    std::memset(doc.bytes(at, size).data(), v, size);
  }
  std::size_t system(int s) const { return kDtmfSystems + std::size_t(s) * kDtmfSystemSize; }
  std::size_t decode(int d) const { return kDtmfDecodeEntries + std::size_t(d) * kDtmfDecodeSize; }
  CodePlugDocument doc;
};

TEST_F(DtmfTest, EverySetterWritesOnlyItsFieldOnRecordsOfZerosAndOnes) {
  load();
  for (std::uint8_t background : {0x00, 0xFF}) {
    for (const auto& [field, bits] : kDtmfSystemFields) {
      fill(system(1), kDtmfSystemSize, background);
      const Bytes before = bytesAt(kDtmf, 896);
      if (field == DtmfSystemField::SideTone) {
        toggleSideTone(doc, 1);
      } else if (isDigitString(bits)) {
        ASSERT_TRUE(setSystemDigits(doc, 1, field, "12ab*#"));
        EXPECT_EQ(dtmfSystemText(doc, 1, field), "12AB*#");
      } else {
        const std::uint32_t code =
            dtmfSystemChoices(field)[background ? 1 : dtmfSystemChoices(field).size() - 1].code;
        ASSERT_TRUE(setSystemCode(doc, 1, field, code));
        EXPECT_EQ(dtmfSystemCode(doc, 1, field), code);
      }
      EXPECT_TRUE(pwtest::onlyFieldMoved(
          before, bytesAt(kDtmf, 896), {std::uint16_t(kDtmfSystemSize + bits.byte), bits.shift, bits.width}));
    }
    for (const auto& [field, bits] : kDtmfDecodeFields) {
      fill(decode(2), kDtmfDecodeSize, background);
      const Bytes before = bytesAt(kDtmf, 896);
      if (isDigitString(bits)) {
        ASSERT_TRUE(setDecodeId(doc, 2, "1#"));
      } else {
        ASSERT_TRUE(setDecodeCode(doc, 2, field, 1));
        EXPECT_EQ(dtmfDecodeCode(doc, 2, field), 1u);
      }
      const std::uint16_t at = kDtmfDecodeEntries - kDtmf + 2 * kDtmfDecodeSize + bits.byte;
      EXPECT_TRUE(pwtest::onlyFieldMoved(before, bytesAt(kDtmf, 896), {at, bits.shift, bits.width}));
    }
    fill(kDtmfEncodeStrings + 16, 16, background);
    const Bytes before = bytesAt(kDtmf, 896);
    ASSERT_TRUE(setEncodeDigits(doc, 1, "0"));
    EXPECT_TRUE(pwtest::onlyFieldMoved(before, bytesAt(kDtmf, 896), {192 + 16, 0, kDigitStringBits}));
  }
}

TEST_F(DtmfTest, StoredValuesOutsideTheChoicesShowAsUnknownAndAreNeverWritten) {
  using enum DtmfSystemField;
  CodePlugBuilder b;
  // System 1: every byte below its offered range; group code 7.
  for (int i = 0; i < 8; ++i) b.u8(kDtmfSystems + i, i == 4 ? 2 : 0);
  b.u8(kDtmfSystems + 8, 0x70).u8(kDtmfSystems + 0, 5).u8(kDtmfSystems + 6, 1);
  b.u8(kDtmfDecodeEntries + 16, 7).u8(kDtmfDecodeEntries + 17, 9).u8(kDtmfDecodeEntries + 18, 33);
  load(b);
  const Bytes before = doc.workingImage;
  EXPECT_EQ(dtmfSystemText(doc, 0, FirstDigitDelay), "Unknown");  // 5
  EXPECT_EQ(dtmfSystemText(doc, 0, FirstDigitTime), "Unknown");
  EXPECT_EQ(dtmfSystemText(doc, 0, StarHashDigitTime), "20 ms");  // every code is a time
  EXPECT_EQ(dtmfSystemText(doc, 0, DKeyAssignment), "D Key");
  EXPECT_EQ(dtmfSystemText(doc, 0, NextSequence), "Unknown");  // 1
  EXPECT_EQ(dtmfSystemText(doc, 0, AutoResetTime), "Unknown");
  EXPECT_EQ(dtmfSystemText(doc, 0, GroupCode), "Unknown");
  EXPECT_EQ(indexOfCode(dtmfSystemChoices(FirstDigitDelay), 5), -1);  // the drop-down opens with none
  EXPECT_EQ(dtmfDecodeText(doc, 0, DtmfDecodeField::ResponseType), "Unknown 7");
  EXPECT_EQ(dtmfDecodeText(doc, 0, DtmfDecodeField::DecodeType), "Unknown 9");
  EXPECT_EQ(dtmfDecodeText(doc, 0, DtmfDecodeField::Ack), "None");
  // Codes the lists never offer are refused.
  EXPECT_FALSE(setSystemCode(doc, 0, GroupCode, 7));
  EXPECT_FALSE(setSystemCode(doc, 0, FirstDigitDelay, 9));
  EXPECT_FALSE(setSystemCode(doc, 0, KeyUpEncode, 1));
  EXPECT_FALSE(setDecodeCode(doc, 0, DtmfDecodeField::ResponseType, 5));
  EXPECT_FALSE(setDecodeCode(doc, 0, DtmfDecodeField::Ack, 33));
  EXPECT_FALSE(setSystemCode(doc, 4, PttId, 1));
  EXPECT_EQ(doc.workingImage, before);

  ASSERT_TRUE(setSystemCode(doc, 0, FirstDigitTime, 3));  // the shortest time offered
  EXPECT_EQ(dtmfSystemText(doc, 0, FirstDigitTime), "30 ms");
  ASSERT_TRUE(setSystemCode(doc, 0, NextSequence, 10));
  EXPECT_EQ(dtmfSystemText(doc, 0, NextSequence), "1.0");
  ASSERT_TRUE(setSystemCode(doc, 0, DKeyAssignment, 255));
  EXPECT_EQ(dtmfSystemText(doc, 0, DKeyAssignment), "2550 ms");
  ASSERT_TRUE(setDecodeCode(doc, 0, DtmfDecodeField::AckDelayTime, 2));
  EXPECT_EQ(dtmfDecodeText(doc, 0, DtmfDecodeField::AckDelayTime), "100 ms");
}

TEST_F(DtmfTest, EncodeStringOneIsNeverEmpty) {
  load();
  ASSERT_TRUE(setEncodeDigits(doc, 0, "  "));
  EXPECT_EQ(encodeDigits(doc, 0), "#");
  EXPECT_EQ(u8(doc.image(), kDtmfEncodeStrings), 1);
  EXPECT_EQ(u8(doc.image(), kDtmfEncodeStrings + 1), 0xFF);  // digit 15 low, 0xF high
  ASSERT_TRUE(setEncodeDigits(doc, 1, ""));
  EXPECT_EQ(u8(doc.image(), kDtmfEncodeStrings + 16), 0);
  EXPECT_FALSE(encodePresent(doc, 1));
  EXPECT_FALSE(setEncodeDigits(doc, 32, "1"));
}

TEST_F(DtmfTest, AckOffersThePresentEncodeStringsAndRevertTheAnalogueChannelsInUse) {
  CodePlugBuilder b;
  b.channel(0, "Digital", 2).channel(1, "FM one", 1).channel(2, "Auto", 0).channel(3, "FM two", 1);
  b.u8(kDtmfEncodeStrings, 1).u8(kDtmfEncodeStrings + 32, 2).u8(kDtmfEncodeStrings + 31 * 16, 1);  // 1, 3, 32
  b.u16(decode(0) + 20, 1500).u16(decode(1) + 20, 1);
  load(b);
  const auto texts = [](const Choices& c) {
    std::string s;
    for (const auto& x : c) s += x.text + "=" + std::to_string(x.code) + ";";
    return s;
  };
  EXPECT_EQ(texts(dtmfDecodeChoices(doc, DtmfDecodeField::Ack)), "None=0;Encode 1=1;Encode 3=3;Encode 32=32;");
  ASSERT_TRUE(setDecodeCode(doc, 3, DtmfDecodeField::Ack, 32));
  EXPECT_EQ(dtmfDecodeText(doc, 3, DtmfDecodeField::Ack), "Encode 32");

  EXPECT_EQ(texts(dtmfDecodeChoices(doc, DtmfDecodeField::RevertChannel)), "Selected=0;FM one=2;FM two=4;");
  EXPECT_EQ(dtmfDecodeText(doc, 0, DtmfDecodeField::RevertChannel), "Selected");  // 1500
  EXPECT_EQ(dtmfDecodeText(doc, 1, DtmfDecodeField::RevertChannel), "Digital");   // shown, though not offered
  ASSERT_TRUE(setDecodeCode(doc, 1, DtmfDecodeField::RevertChannel, 1001));
  EXPECT_EQ(u16le(doc.image(), decode(1) + 20), 0);
  EXPECT_EQ(dtmfDecodeText(doc, 1, DtmfDecodeField::RevertChannel), "Selected");
}

TEST_F(DtmfTest, WithoutACodePlugNothingIsShownOrWritten) {
  EXPECT_EQ(dtmfSystemText(doc, 0, DtmfSystemField::PttId), "");
  EXPECT_FALSE(setEncodeDigits(doc, 0, "1"));
  EXPECT_FALSE(setDecodeId(doc, 0, "1"));
  toggleSideTone(doc, 0);
  EXPECT_EQ(dtmfDecodeChoices(doc, DtmfDecodeField::RevertChannel).size(), 1u);
}

}  // namespace
}  // namespace pw
