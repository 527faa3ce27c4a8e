#include "channels/ChannelRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "channels/ChannelChoices.h"
#include "support/CodePlugBuilder.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using Bytes = std::vector<std::uint8_t>;
using enum ChannelField;

// Bits that belong to no field and to no name: the radio's, preserved by every setter.
constexpr std::array<std::uint8_t, 32> kReserved = {0x40, 0, 0, 0x34, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0, 0xFF,
                                                    0,    0, 0, 0,    0, 0,    0, 0, 0, 0, 0, 0, 0, 0,    0xFF, 0xFC};

Bytes channelBytes(const CodePlugDocument& doc, int s) {
  const ByteSpan r = recordBytes(doc, ListId::Channels, s);
  return Bytes(r.begin(), r.end());
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
  for (std::uint8_t background : {0x00, 0xFF}) {
    for (int f = 0; f < kChannelFieldCount; ++f) {
      const auto field = static_cast<ChannelField>(f);
      for (std::uint32_t v : {fieldMask(kChannelFields[f]), 0u}) {
        fillRecord(0, background);
        const Bytes before = channelBytes(doc, 0);
        ASSERT_TRUE(setChannelField(doc, 0, field, v));
        EXPECT_EQ(channelField(doc, 0, field), v) << "field " << f;
        // Reading the field back from a record where only it changed: clear it again and compare.
        setChannelField(doc, 0, field, background ? fieldMask(kChannelFields[f]) : 0);
        EXPECT_EQ(channelBytes(doc, 0), before) << "field " << f << " touched other bits";
      }
    }
    // All fields at once: what stays is the reserved pattern (and the untouched name).
    fillRecord(0, background);
    for (int f = 0; f < kChannelFieldCount; ++f)
      setChannelField(doc, 0, static_cast<ChannelField>(f), background ? 0 : fieldMask(kChannelFields[f]));
    const Bytes r = channelBytes(doc, 0);
    for (int i = 0; i < 32; ++i)
      EXPECT_EQ(r[i], background ? kReserved[i] : std::uint8_t(~kReserved[i])) << "byte " << i;
    for (int i = 32; i < 64; ++i) EXPECT_EQ(r[i], background);
  }
}

TEST_F(ChannelRecordTest, NewChannelBytesForEachFrequencyRange) {
  const std::array<std::array<std::uint8_t, 4>, 4> band = {
      {{0, 0, 0x50, 0x14}, {0, 0, 0, 0x35}, {0, 0, 0, 0x43}, {0, 0, 0, 0x45}}};
  for (int code = 0; code < 4; ++code) {
    CodePlugDocument d;
    ASSERT_EQ(CodePlugBuilder(code).loadInto(d), 0);
    ASSERT_EQ(addChannel(d), 0);
    Bytes expect = {0x62, 0x14, 0x00, 0xE1, 0x05, 0xC3, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFF};
    for (int k = 0; k < 2; ++k) expect.insert(expect.end(), band[code].begin(), band[code].end());
    expect.insert(expect.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF});
    const Bytes got = channelBytes(d, 0);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 32), expect) << "range code " << code;
    EXPECT_EQ(recordName(d, ListId::Channels, 0), "Channel 1");
  }
  // The same defaults read through the field table.
  load();
  const int s = *addChannel(doc);
  EXPECT_EQ(channelField(doc, s, Mode), 2u);
  EXPECT_EQ(channelField(doc, s, Bandwidth), 0u);
  EXPECT_EQ(channelField(doc, s, ColourCode), 1u);
  EXPECT_EQ(channelField(doc, s, RepeaterSlot), 1u);
  EXPECT_EQ(channelField(doc, s, TxTimeout), 4u);
  EXPECT_EQ(channelField(doc, s, GpsSystem), 1u);
  EXPECT_EQ(sharedFrequencyText(doc, {s}, RxFrequency), "430.00000");
  for (auto f : {DisplayPttId, CompressedUdpHeader, TxGpsInfo, RxGpsInfo}) EXPECT_FALSE(toggleDown(doc, {s}, f));
}

TEST_F(ChannelRecordTest, AddNumbersAfterTheChannelsInUseAndStopsWhenFull) {
  load(CodePlugBuilder().fill(ListId::Channels, 12, "Ch"));
  EXPECT_EQ(addChannel(doc), 12);
  EXPECT_EQ(recordName(doc, ListId::Channels, 12), "Channel 13");

  load(CodePlugBuilder().fill(ListId::Channels, kChannelCount, "C"));
  const Bytes before = doc.workingImage;
  EXPECT_EQ(addChannel(doc), std::nullopt);
  EXPECT_EQ(doc.workingImage, before);
}

TEST_F(ChannelRecordTest, RenameTrimsAndCutsAndBadEditsChangeNothing) {
  load(CodePlugBuilder().channel(0, "Old"));
  EXPECT_TRUE(renameChannel(doc, 0, "  A long channel name!  "));
  EXPECT_EQ(recordName(doc, ListId::Channels, 0), "A long channel n");
  EXPECT_TRUE(renameChannel(doc, 0, "Short"));
  EXPECT_EQ(recordName(doc, ListId::Channels, 0), "Short");  // no tail of the longer name
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
  const char* typed[] = {"4", "43", "438", "4385"};
  const char* stored[] = {"400.00000", "400.00000", "438.00000", "438.50000"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(setChannelFrequency(doc, 0, RxFrequency, typed[i]));
    EXPECT_EQ(sharedFrequencyText(doc, {0}, RxFrequency), stored[i]);
  }
  EXPECT_EQ(sharedFrequencyText(doc, {0}, TxFrequency), "430.00000");
  const Bytes before = doc.workingImage;
  EXPECT_FALSE(setChannelFrequency(doc, 0, TxFrequency, "abc"));
  EXPECT_FALSE(setChannelFrequency(doc, 0, ColourCode, "12"));
  EXPECT_EQ(doc.workingImage, before);
}

TEST_F(ChannelRecordTest, SelectionMergeTogglesAndFrequencies) {
  load(CodePlugBuilder().channel(0, "A", 1).channel(1, "B", 2).channel(2, "C", 2));
  EXPECT_EQ(sharedValue(doc, {0, 1}, Mode), std::nullopt);
  EXPECT_EQ(sharedValue(doc, {1, 2}, Mode), 2u);
  EXPECT_EQ(sharedValue(doc, {}, Mode), std::nullopt);

  setChannelField(doc, 0, Vox, 1);
  setChannelField(doc, 1, Vox, 1);
  EXPECT_FALSE(toggleDown(doc, {0, 1, 2}, Vox));
  EXPECT_TRUE(toggleDown(doc, {0, 1}, Vox));
  // Display PTT ID is shown on when any selected channel has it on (stored 0).
  setChannelField(doc, 2, DisplayPttId, toggleValue(DisplayPttId, true));
  EXPECT_EQ(channelField(doc, 2, DisplayPttId), 0u);
  EXPECT_TRUE(toggleDown(doc, {0, 1, 2}, DisplayPttId));
  EXPECT_FALSE(toggleDown(doc, {0, 1}, DisplayPttId));
  // Other inverted features need every channel on.
  setChannelField(doc, 2, RxGpsInfo, toggleValue(RxGpsInfo, true));
  EXPECT_FALSE(toggleDown(doc, {1, 2}, RxGpsInfo));
  EXPECT_TRUE(toggleDown(doc, {2}, RxGpsInfo));

  setChannelFrequency(doc, 0, RxFrequency, "438.5");
  EXPECT_EQ(sharedFrequencyText(doc, {0, 1}, RxFrequency), "");
  EXPECT_EQ(sharedFrequencyText(doc, {1, 2}, RxFrequency), "430.00000");
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

  EXPECT_EQ(sharedPrivacyCode(doc, {0}), 103u);
  EXPECT_EQ(sharedPrivacyCode(doc, {0, 1}), std::nullopt);  // index 3 and 7
  setChannelPrivacy(doc, 0, 100);
  setChannelPrivacy(doc, 1, 200);
  EXPECT_EQ(sharedPrivacyCode(doc, {0, 1, 2}), 0u);  // types differ, every index 0: "None "
  setChannelPrivacy(doc, 1, 203);
  setChannelPrivacy(doc, 0, 103);
  const auto mixed = sharedPrivacyCode(doc, {0, 1});  // types differ, indexes 3: nothing shown
  EXPECT_EQ(choiceIndex(PrivacyType, voiceEncryptionChoices(), mixed), -1);
}

TEST_F(ChannelRecordTest, ChoiceListsCarryTheirCodes) {
  auto at = [](const ChannelChoices& c, std::size_t i) { return c[i].text + "=" + std::to_string(c[i].code); };
  const auto& timeout = fixedChoices(TxTimeout);
  ASSERT_EQ(timeout.size(), 38u);
  EXPECT_EQ(at(timeout, 0), "Infinite =0");
  EXPECT_EQ(at(timeout, 37), "555 secs=37");
  const auto& rekey = fixedChoices(RekeyDelay);
  ASSERT_EQ(rekey.size(), 256u);
  EXPECT_EQ(at(rekey, 0), "None=0");
  EXPECT_EQ(at(rekey, 255), "255 secs=255");
  EXPECT_EQ(at(fixedChoices(AdmitCriteria), 2), "Correct CTCSS / CDCSS =2");
  EXPECT_EQ(at(fixedChoices(ColourCode), 15), "15 =15");
  EXPECT_EQ(at(fixedChoices(GpsSystem), 0), "None =0");
  EXPECT_EQ(at(fixedChoices(GpsSystem), 16), "16 =16");
  EXPECT_EQ(at(fixedChoices(TxSignalling), 4), "DTMF 4 =4");
  EXPECT_EQ(fixedChoices(RxTone).size(), 259u);
  EXPECT_TRUE(fixedChoices(Vox).empty());
  const auto& voice = voiceEncryptionChoices();
  ASSERT_EQ(voice.size(), 25u);
  EXPECT_EQ(at(voice, 0), "None =0");
  EXPECT_EQ(at(voice, 16), "Basic 16 =115");
  EXPECT_EQ(at(voice, 17), "Enhanced 1 =200");
  EXPECT_EQ(at(voice, 24), "Enhanced 8 =207");
  // A tone word 0 shows "None" like 0xFFFF; an unknown word shows nothing.
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
  EXPECT_EQ(referredList(RxGroupList), ListId::RxGroupLists);
  EXPECT_EQ(referredList(Vox), std::nullopt);
}

}  // namespace
}  // namespace pw
