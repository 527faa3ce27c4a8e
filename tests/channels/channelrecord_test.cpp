#include "channels/ChannelRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "channels/ChannelChoices.h"
#include "support/CodePlugBuilder.h"
#include "support/FieldCheck.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using Bytes = std::vector<std::uint8_t>;
using enum ChannelField;

// Bits that belong to no field and to no name: the radio's, preserved by every setter.
constexpr std::array<std::uint8_t, 32> kReserved = {0x40, 0, 0, 0x34, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0, 0xFF,
                                                    0,    0, 0, 0,    0, 0,    0, 0, 0, 0, 0, 0, 0, 0,    0xFF, 0xFC};

Bytes channelBytes(const CodePlugDocument& doc, int s) {
  return pwtest::copyOf(recordBytes(doc, ListId::Channels, s));
}

class ChannelRecordTest : public ::testing::Test {
protected:
  void load(const CodePlugBuilder& b) { ASSERT_EQ(b.loadInto(doc), 0); }
  void load() { load(CodePlugBuilder()); }
  void fillRecord(int s, std::uint8_t v) {
    MutableByteSpan r = recordBytes(doc, ListId::Channels, s);
    std::memset(r.data(), v, r.size());
  }
  CodePlugDocument doc;
};

TEST_F(ChannelRecordTest, EverySetterWritesOnlyItsOwnBitsAndTheTableLeavesExactlyTheReservedBits) {
  load();
  pwtest::expectEachFieldWritesOnlyItsBits(
      doc, kChannels, kChannelSize, kChannelFields,
      [&](ChannelField f, std::uint32_t v) { return setChannelField(doc, 0, f, v); },
      [&](ChannelField f) { return channelField(doc, 0, f); });
  for (std::uint8_t background : {0x00, 0xFF}) {
    // All fields at once: what stays is the reserved pattern (and the untouched name).
    fillRecord(0, background);
    for (int f = 0; f < kChannelFieldCount; ++f)
      setChannelField(doc, 0, static_cast<ChannelField>(f), background ? 0 : fieldMask(kChannelFields[f].bits));
    const Bytes r = channelBytes(doc, 0);
    for (int i = 0; i < 32; ++i)
      EXPECT_EQ(r[i], background ? kReserved[i] : std::uint8_t(~kReserved[i])) << "byte " << i;
    for (int i = 32; i < 64; ++i) EXPECT_EQ(r[i], background);
  }
}

// The exact bytes of a free channel per range code are checked in normalise_test: a
// new channel carries them, and its name is all it adds.
TEST_F(ChannelRecordTest, NewChannelDefaultsForEachFrequencyRangeAndAFullList) {
  for (int code : {0, 1, 3, 2}) {  // range 2 last, for the checks below
    CodePlugBuilder b(code);
    const MutableByteSpan fresh = b.record(ListId::Channels, 0);
    const Bytes free(fresh.begin(), fresh.begin() + 32);
    load(b);
    ASSERT_EQ(addChannel(doc), 0);
    const ByteSpan added = recordBytes(doc, ListId::Channels, 0);
    EXPECT_EQ(Bytes(added.begin(), added.begin() + 32), free) << "range code " << code;
  }
  // The defaults read through the field table.
  const int s = 0;
  EXPECT_EQ(channelField(doc, s, Mode), 2u);
  EXPECT_EQ(channelField(doc, s, Bandwidth), 0u);
  EXPECT_EQ(channelField(doc, s, ColourCode), 1u);
  EXPECT_EQ(channelField(doc, s, RepeaterSlot), 1u);
  EXPECT_EQ(channelField(doc, s, TxTimeout), 4u);
  EXPECT_EQ(channelField(doc, s, GpsSystem), 1u);
  EXPECT_EQ(sharedFrequencyText(doc, {s}, RxFrequency), "430.00000");
  for (auto f : {DisplayPttId, CompressedUdpHeader, TxGpsInfo, RxGpsInfo}) EXPECT_FALSE(toggleDown(doc, {s}, f));

  load(CodePlugBuilder().fill(ListId::Channels, kChannelCount, "C"));
  const Bytes before = doc.workingImage;
  EXPECT_EQ(addChannel(doc), std::nullopt);
  EXPECT_EQ(doc.workingImage, before);
}

// Renaming (trim, cut at 16) is the shared renameRecord, proven with the contact names.
TEST_F(ChannelRecordTest, BadEditsChangeNothing) {
  load(CodePlugBuilder().channel(0, "Old"));
  const Bytes before = doc.workingImage;
  EXPECT_FALSE(setChannelField(doc, 0, ColourCode, 16));
  EXPECT_FALSE(setChannelField(doc, 0, Contact, 0x10000));
  EXPECT_FALSE(setChannelField(doc, -1, Vox, 1));
  EXPECT_FALSE(renameChannel(doc, 0, " \t "));
  EXPECT_FALSE(renameChannel(doc, 1000, "X"));
  EXPECT_EQ(doc.workingImage, before);
}

TEST_F(ChannelRecordTest, FrequencyTextIsStoredClampedAsTheDigitsArrive) {
  load(CodePlugBuilder(2).channel(0, "A"));
  // How digits make a frequency and are clamped is parseFrequency's (encodings_test).
  EXPECT_TRUE(setChannelFrequency(doc, 0, RxFrequency, "43"));
  EXPECT_EQ(sharedFrequencyText(doc, {0}, RxFrequency), "400.00000");
  EXPECT_EQ(sharedFrequencyText(doc, {0}, TxFrequency), "430.00000");
  const Bytes before = doc.workingImage;
  EXPECT_FALSE(setChannelFrequency(doc, 0, TxFrequency, "abc"));
  EXPECT_FALSE(setChannelFrequency(doc, 0, ColourCode, "12"));
  EXPECT_EQ(doc.workingImage, before);
}

// Mixed selections (shared modes and frequencies, plain toggles, Display PTT ID down when
// any channel has it) are proven through the Channels tab; other inverted features need every
// channel on, and a nibble word of zeros shows no frequency.
TEST_F(ChannelRecordTest, SelectionMergeTogglesAndFrequencies) {
  load(CodePlugBuilder().channel(0, "A", 1).channel(1, "B", 2).channel(2, "C", 2));
  EXPECT_EQ(sharedValue(doc, {}, Mode), std::nullopt);
  setChannelField(doc, 2, RxGpsInfo, toggleValue(RxGpsInfo, true));
  EXPECT_FALSE(toggleDown(doc, {1, 2}, RxGpsInfo));
  EXPECT_TRUE(toggleDown(doc, {2}, RxGpsInfo));

  setChannelField(doc, 1, RxFrequency, 0);
  EXPECT_EQ(sharedFrequencyText(doc, {1}, RxFrequency), "");
}

TEST_F(ChannelRecordTest, PrivacyCodesAndTheirMerge) {
  load(CodePlugBuilder().channel(0, "A").channel(1, "B").channel(2, "C"));
  EXPECT_TRUE(setChannelPrivacy(doc, 0, 103));
  EXPECT_EQ(channelField(doc, 0, PrivacyType), 1u);
  EXPECT_EQ(channelField(doc, 0, PrivacyIndex), 3u);
  EXPECT_TRUE(setChannelPrivacy(doc, 1, 207));
  EXPECT_EQ(channelPrivacyCode(doc, 1), 207u);
  const Bytes before = doc.workingImage;
  for (std::uint32_t bad : {99u, 116u, 199u, 208u, 300u}) EXPECT_FALSE(setChannelPrivacy(doc, 2, bad));
  EXPECT_EQ(doc.workingImage, before);

  // Differing types merge as the Channels tab shows; differing indexes give nothing.
  EXPECT_EQ(sharedPrivacyCode(doc, {0, 1}), std::nullopt);  // index 3 and 7
}

// The timeout, tone and privacy lists show through the Channels tab and the privacy codes;
// the other lists end at their last codes. A tone word 0 shows "None" like 0xFFFF; an
// unknown word shows nothing.
TEST_F(ChannelRecordTest, ChoiceListsEndAtTheirLastCodesAndStoredCodesFindTheirEntry) {
  EXPECT_EQ(fixedChoices(RekeyDelay).back().code, 255u);
  EXPECT_EQ(fixedChoices(ColourCode).back().code, 15u);
  EXPECT_EQ(fixedChoices(GpsSystem).back().code, 16u);
  EXPECT_EQ(fixedChoices(TxSignalling).back().code, 4u);
  EXPECT_EQ(fixedChoices(AdmitCriteria).back().text, "Colour Code ");
  EXPECT_EQ(choiceIndex(RxTone, fixedChoices(RxTone), 0u), 0);
  EXPECT_EQ(choiceIndex(RxTone, fixedChoices(RxTone), 0x1234u), -1);
  EXPECT_EQ(choiceIndex(ColourCode, fixedChoices(ColourCode), 0u), 0);
}

TEST_F(ChannelRecordTest, ReferenceListsNameTheRecordsInUse) {
  CodePlugBuilder b;
  b.named(ListId::ScanLists, 0, "Scan A").named(ListId::ScanLists, 1, "Scan B");
  b.named(ListId::EmergencySystems, 0, "Sys");
  load(b);
  const auto scans = referenceChoices(doc, *referredList(ScanList));
  ASSERT_EQ(scans.size(), 3u);
  EXPECT_EQ(scans[0].text, "None");
  EXPECT_EQ(scans[2].text + "=" + std::to_string(scans[2].code), "Scan B=2");
  EXPECT_EQ(referenceChoices(doc, *referredList(EmergencySystem)).size(), 2u);
  EXPECT_EQ(referenceChoices(doc, *referredList(Contact)).size(), 1u);
}

}  // namespace
}  // namespace pw
