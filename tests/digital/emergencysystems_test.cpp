#include "digital/EmergencySystems.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"
#include "support/FieldCheck.h"
#include "support/ScriptedPrompt.h"

// The list mechanics every list shares (shift, rotate, pack) are proven in
// recordlists_test; these are the emergency section's own fields, texts and rules.
namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using pwtest::copyOf;
using Bytes = std::vector<std::uint8_t>;
using enum EmergencyField;
constexpr ListId kList = ListId::EmergencySystems;

class EmergencySystemsTest : public ::testing::Test, protected pwtest::PromptedDocument {
 protected:
  // Systems "Sys 1".."Sys n" and channels "Ch 1".."Ch m" (digital); a recognisable header.
  void load(int systems, int channels = 0, const std::function<void(CodePlugBuilder&)>& more = {}) {
    CodePlugBuilder b;
    b.fill(kList, systems, "Sys ").fill(ListId::Channels, channels, "Ch ");
    for (int i = 0; i < kEmergencyHeaderSize; ++i) b.u8(kEmergencySection + i, std::uint8_t(0xA0 + i));
    if (more) more(b);
    ASSERT_EQ(b.loadInto(doc), 0);
    header = copyOf(doc.bytes(kEmergencySection, kEmergencyHeaderSize));
  }
  static void systemOf(CodePlugBuilder& b, int channel, int system, int mode = 2) {
    b.record(ListId::Channels, channel)[0] =
        std::uint8_t((b.record(ListId::Channels, channel)[0] & ~3) | mode);
    b.record(ListId::Channels, channel)[10] = std::uint8_t(system);
  }
  // The system numbers of channel records 1..8.
  std::vector<int> channelSystems() const {
    std::vector<int> v;
    for (int c = 0; c < 8; ++c) v.push_back(u8(recordBytes(doc, ListId::Channels, c), 10));
    return v;
  }
  std::string name(int s) const { return emergencySystemName(doc, s); }
  void expectHeaderUntouched() const {
    EXPECT_EQ(copyOf(doc.bytes(kEmergencySection, kEmergencyHeaderSize)), header);
  }

  Bytes header;
};

TEST_F(EmergencySystemsTest, EachRecordFieldAndRemoteSettingWritesOnlyItsOwnBits) {
  load(1);
  pwtest::expectEachFieldWritesOnlyItsBits(
      doc, kEmergencySystems, kEmergencySystemSize, kEmergencyFields,
      [&](EmergencyField f, std::uint32_t v) { return setEmergencySystemField(doc, 0, f, v); },
      [&](EmergencyField f) { return emergencySystemField(doc, 0, f); },
      [](EmergencyField f) { return f == AlarmMode ? 2 : fieldMask(bitsOf(f)); });
  pwtest::expectEachFieldWritesOnlyItsBits(
      doc, kEmergencySection, kEmergencyHeaderSize, kRemoteSettingFields,
      [&](RemoteSetting f, std::uint32_t v) { return setRemoteSetting(doc, f, v); },
      [&](RemoteSetting f) { return remoteSetting(doc, f); });
}

TEST_F(EmergencySystemsTest, ValuesNoEntryOffersChangeNothing) {
  load(2);
  const Bytes before = doc.workingImage;
  EXPECT_FALSE(setEmergencySystemField(doc, 0, AlarmMode, 3));
  EXPECT_FALSE(setEmergencySystemField(doc, 0, HotMicDuration, 256));
  EXPECT_FALSE(setEmergencySystemField(doc, 32, HotMicDuration, 10));
  EXPECT_FALSE(setRemoteSetting(doc, RemoteSetting::RadioDisableDecode, 2));
  EXPECT_EQ(doc.workingImage, before);
  CodePlugDocument none;
  EXPECT_FALSE(setRemoteSetting(none, RemoteSetting::TxWakeupMessageLimit, 1));
}

TEST_F(EmergencySystemsTest, DeletingTheOnlySystemRecreatesSystemOneWithNewDefaults) {
  load(1);
  setEmergencySystemField(doc, 0, AlarmType, 3);
  setEmergencySystemField(doc, 0, RevertChannel, 7);
  recordBytes(doc, kList, 0)[38] = 0x12;  // reserved: a new system gets FF FF again
  ASSERT_EQ(deleteEmergencySystem(doc, 1), 0);
  EXPECT_EQ(usedCount(doc, kList), 1);
  EXPECT_EQ(name(0), "System 1");
  const Bytes r = copyOf(recordBytes(doc, kList, 0));
  EXPECT_EQ(Bytes(r.begin() + 32, r.end()), (Bytes{0x01, 15, 5, 10, 0, 0, 0xFF, 0xFF}));
  EXPECT_EQ(emergencyFieldText(doc, 0, AlarmType), "Regular");
  EXPECT_EQ(emergencyFieldText(doc, 0, AlarmMode), "Emergency Alarm");
  EXPECT_EQ(emergencyFieldText(doc, 0, RevertChannel), "None");
  expectHeaderUntouched();
}

TEST_F(EmergencySystemsTest, DigitalChannelsRefuseADeleteThatRenumbersEveryChannelAndAMoveOnlyThoseInUse) {
  load(5, 6, [](CodePlugBuilder& b) {
    systemOf(b, 2, 2);     // digital on the deleted system
    systemOf(b, 0, 2, 1);  // analogue on it
    systemOf(b, 1, 2, 0);  // auto on it
    systemOf(b, 3, 3);
    systemOf(b, 4, 5, 1);
    systemOf(b, 5, 40);  // not a system number
  });
  recordBytes(doc, ListId::Channels, 7)[10] = 5;  // a free channel record
  const Bytes before = doc.workingImage;
  prompt.refusals = {RefusalAnswer::GoOn, RefusalAnswer::Stop};
  EXPECT_EQ(deleteEmergencySystem(doc, 2), -1);
  EXPECT_EQ(deleteEmergencySystem(doc, 2), -2);
  EXPECT_EQ(doc.workingImage, before);
  EXPECT_EQ(prompt.texts("refuse"),
            std::vector<std::string>(
                2, "Cannot delete emergency system \"Sys 2\".\n\nIt's used in channel \"Ch 3\" setting"));

  setU8(recordBytes(doc, ListId::Channels, 2), 10, 0);
  ASSERT_EQ(deleteEmergencySystem(doc, 2), 0);
  EXPECT_EQ(name(1), "Sys 3");
  EXPECT_EQ(usedCount(doc, kList), 4);
  // The old rule kept 2 on channels 1 and 2, silently moving them to the former system 3.
  EXPECT_EQ(channelSystems(), (std::vector<int>{0, 0, 0, 2, 4, 40, 0, 4}));
  // "Sys 5" to the top: the free channel record keeps its number.
  EXPECT_EQ(moveEmergencySystem(doc, 3, 3), 1);
  EXPECT_EQ(name(0), "Sys 5");
  EXPECT_EQ(channelSystems(), (std::vector<int>{0, 0, 0, 3, 1, 40, 0, 4}));
  expectHeaderUntouched();
}

TEST_F(EmergencySystemsTest, CellTextsForEveryStoredValue) {
  load(1, 3, [](CodePlugBuilder& b) { b.channel(1, "Analogue", 1); });
  const auto text = [&](EmergencyField f, std::uint32_t v) {
    set(recordBytes(doc, kList, 0), bitsOf(f), v);
    return emergencyFieldText(doc, 0, f);
  };
  EXPECT_EQ(text(AlarmType, 3), "Silent with Voice");
  EXPECT_EQ(text(AlarmMode, 2), "Emergency Alarm with Voice to Follow");
  EXPECT_EQ(text(AlarmMode, 3), "Unknown");
  EXPECT_EQ(text(ImpoliteRetries, 200), "200");
  EXPECT_EQ(text(PoliteRetries, 14), "14");
  EXPECT_EQ(text(PoliteRetries, 15), "infinite");
  EXPECT_EQ(text(PoliteRetries, 20), "infinite");
  EXPECT_EQ(text(HotMicDuration, 0), "0 secs");
  EXPECT_EQ(text(RevertChannel, 3), "Ch 3");
  EXPECT_EQ(text(RevertChannel, 1000), "");  // a free channel decodes to nothing
  for (std::uint32_t none : {0u, 1001u, 0xFFFFu}) {
    EXPECT_EQ(text(RevertChannel, none), "None");
    EXPECT_EQ(emergencyFieldCurrent(doc, 0, RevertChannel), 0u);
    EXPECT_EQ(emergencySystemField(doc, 0, RevertChannel), none);  // shown as "None", kept as stored
  }
  EXPECT_EQ(emergencyFieldCurrent(doc, 0, PoliteRetries), 20u);  // no entry carries it
}

// The entries and their codes show through the tab's drop-downs; an auto channel is not
// offered, and the durations end at 120 seconds (a stored 120 shows as text either way).
TEST_F(EmergencySystemsTest, RevertChannelsAreTheDigitalOnesAndDurationsEndAtTwoMinutes) {
  load(1, 4, [](CodePlugBuilder& b) { b.channel(1, "Analogue", 1).channel(2, "Auto", 0); });
  std::string texts;
  for (const auto& c : emergencyFieldChoices(doc, RevertChannel)) texts += c.text + "=" + std::to_string(c.code) + ";";
  EXPECT_EQ(texts, "None=0;Ch 1=1;Ch 4=4;");
  EXPECT_EQ(emergencyFieldChoices(doc, HotMicDuration).back().code, 120u);
}

// Whatever the bytes, every cell has a text and the list operations write only the
// records and the channels' system numbers: never the header, never anything else.
TEST_F(EmergencySystemsTest, AnyBytesShowAndListOperationsWriteOnlyTheirOwnPlaces) {
  std::mt19937 random(7);
  load(0, 0, [&](CodePlugBuilder& b) {
    for (std::size_t i = kEmergencySection; i < kContacts; ++i) b.u8(i, std::uint8_t(random()));
    for (std::size_t i = kChannels; i < kChannels + std::size_t(kChannelCount) * kChannelSize; ++i)
      b.u8(i, std::uint8_t(random()));
  });
  const auto mayDiffer = [](std::size_t imageOffset) {
    const bool record = imageOffset >= kEmergencySystems && imageOffset < kContacts;
    const bool channelSystem = imageOffset >= kChannels &&
                               imageOffset < kChannels + kChannelCount * kChannelSize &&
                               (imageOffset - kChannels) % kChannelSize == 10;
    return record || channelSystem;
  };
  const Bytes loaded = copyOf(doc.image());
  const int used = usedCount(doc, kList);
  ASSERT_GT(used, 1);
  for (int s = 0; s < kEmergencySystemCount; ++s)
    for (const auto& row : kEmergencyFields) emergencyFieldText(doc, s, row.name);
  prompt.refusals.assign(40, RefusalAnswer::GoOn);
  moveSelectedEmergencySystems(doc, {0, used - 1}, -3);
  moveEmergencySystem(doc, used - 1, 20);
  deleteSelectedEmergencySystems(doc, {0, 1, used - 1});
  for (int e = 1; e <= kEmergencySystemCount; ++e) deleteEmergencySystem(doc, 1);
  EXPECT_GE(usedCount(doc, kList), 1);
  const ByteSpan now = doc.image();
  for (std::size_t i = 0; i < now.size(); ++i)
    if (!mayDiffer(i)) {
      ASSERT_EQ(now[i], loaded[i]) << "image offset " << i;
    }
}

}  // namespace
}  // namespace pw
