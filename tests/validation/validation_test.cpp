#include "validation/Validation.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/Layout.h"
#include "support/CodePlugBuilder.h"

using namespace pw;
using namespace pwtest;

namespace {

using Lines = std::vector<std::string>;

// The image exactly as built: nothing is packed before the checks.
Lines findings(const CodePlugBuilder& b) {
  CodePlugDocument doc;
  doc.adoptImage(b.bytes());
  Lines out;
  for (const Finding& f : validate(doc)) out.push_back(findingLine(f));
  return out;
}

std::size_t channelByte(int c, int byte) { return kChannels + std::size_t(c) * kChannelSize + byte; }
std::size_t scanByte(int s, int byte) { return kScanLists + std::size_t(s) * kScanListSize + byte; }

// A plug that uses every kind of reference correctly.
void makeClean(CodePlugBuilder& b) {
  b.contact(0, "Local", 9).contact(1, "Pat", 2345678, 2).contact(2, "Pat too", 2345678, 1);
  b.channel(0, "DMR", 2).channelContact(0, 1).channel(1, "FM", 1).channel(2, "FM 2", 1);
  b.u8(channelByte(0, 12), 1).u8(channelByte(0, 11), 1).u8(channelByte(0, 10), 1);
  b.named(ListId::RxGroupLists, 0, "Group").members(ListId::RxGroupLists, 0, {1, 2});
  b.named(ListId::Zones, 0, "Zone").members(ListId::Zones, 0, {1, 2, 3});
  b.named(ListId::ScanLists, 0, "Scan").members(ListId::ScanLists, 0, {2, 3}).u16(scanByte(0, 32), 3);
  b.named(ListId::EmergencySystems, 0, "Sys").named(ListId::TextMessages, 0, "Hello");
  b.oneTouch(0, 1, 0, 1, 2).oneTouch(1, 1, 1, 1, 1).numberKey(3, 3);
  b.u16(kGps + 4, 2).u16(kGps, 3);  // GPS system 1: contact 2, revert channel 3
}

}  // namespace

TEST(Validate, CleanPlugsGiveNoFindings) {
  EXPECT_EQ(findings(CodePlugBuilder()), Lines{});
  CodePlugBuilder b;
  makeClean(b);
  EXPECT_EQ(findings(b), Lines{});
  CodePlugDocument none;
  EXPECT_TRUE(validate(none).empty());
}

TEST(Validate, ReferencesToFreeRecordsAndBeyondTheirList) {
  CodePlugBuilder b;
  makeClean(b);
  b.numberKey(0, 7);                                               // contact 7 is free
  b.oneTouch(2, 1, 1, 60, 1);                                      // sends message 60 of 50
  b.members(ListId::RxGroupLists, 0, {1, 1001, 4});                // 1001 beyond; 4 free
  b.u8(channelByte(0, 12), 251).u8(channelByte(0, 10), 2);         // group list beyond; system 2 free
  b.members(ListId::Zones, 0, {1, 9});                             // channel 9 free
  b.u16(scanByte(0, 36), 1500);                                    // designated channel beyond
  b.u16(kGps + kGpsSize + 4, 0xFFFF).u16(kGps + 2 * kGpsSize, 5);  // "none"; revert to free channel 5
  b.u16(kDtmfDecodeEntries + 20, 4);                               // DTMF decode 1 reverts to free channel 4
  EXPECT_EQ(findings(b),
            (Lines{
                "one-touch access 3: Text message names text message 60, beyond the 50 text messages.",
                "number keys 0: Contact names contact 7, which is not in use.",
                "rx group lists 1: Member 2 names contact 1001, beyond the 1000 contacts.",
                "rx group lists 1: Member 3 names contact 4, which is not in use.",
                "zones 1: Member 2 names channel 9, which is not in use.",
                "scan lists 1: Designated transmit channel names channel 1500, beyond the 1000 channels.",
                "channels 1: Rx group list names rx group list 251, beyond the 250 rx group lists.",
                "channels 1: Emergency system names emergency system 2, which is not in use.",
                "DTMF decode 1: Revert channel names channel 4, which is not in use.",
                "GPS 3: Revert channel names channel 5, which is not in use.",
            }));
}

TEST(Validate, ReferencesCountOnlyWhereTheirHolderUsesThem) {
  CodePlugBuilder b;
  makeClean(b);
  b.channelContact(1, 9).u8(channelByte(1, 12), 200);      // analogue channel: contact and group list unused
  b.oneTouch(3, 2, 0, 40, 0);                              // analogue entry: byte 1 is a DTMF entry
  b.oneTouch(4, 1, 0, 77, 1);                              // a call: byte 1 is no message
  b.members(ListId::Zones, 5, {999, 999});                 // a free zone holds nothing
  b.u16(scanByte(0, 34), 0xFFFF).u16(scanByte(0, 36), 0);  // "None" and "Selected"
  EXPECT_EQ(findings(b), Lines{});
}

TEST(Validate, DigitalChannelsNeedAContactAndEveryChannelTheBand) {
  CodePlugBuilder b;
  makeClean(b);
  b.channel(3, "No contact", 2);
  b.channel(4, "High", 1).u16(channelByte(4, 22), 0x4810);     // 481.00000 MHz
  b.channel(5, "Edge", 1).u16(channelByte(5, 22), 0x4800);     // 480.00000 MHz is inside
  b.channel(6, "Garbage", 1).u16(channelByte(6, 22), 0x43A0);  // a nibble that is no digit
  b.channel(7, "Zero", 1).u16(channelByte(7, 22), 0);
  EXPECT_EQ(
      findings(b),
      (Lines{
          "channels 4: The channel is digital but has no contact.",
          "channels 5: The transmit frequency 481.00000 MHz is outside the radio's band, 400 to 480 MHz.",
          "channels 7: The transmit frequency 43:.00000 MHz is outside the radio's band, 400 to 480 MHz.",
          "channels 8: The transmit frequency 000.00000 MHz is outside the radio's band, 400 to 480 MHz.",
      }));

  CodePlugBuilder vhf(0);  // new channels default to 145 MHz there
  vhf.contact(0, "C", 1).channel(0, "A", 2).channelContact(0, 1).channel(1, "B", 1).u16(channelByte(1, 22),
                                                                                        0x4300);
  EXPECT_EQ(
      findings(vhf),
      Lines{"channels 2: The transmit frequency 430.00000 MHz is outside the radio's band, 136 to 174 MHz."});
}

TEST(Validate, ContactsWithTheSameIdAndCallType) {
  CodePlugBuilder b;
  makeClean(b);
  b.contact(3, "Again", 2345678, 2).contact(4, "Local again", 9).contact(5, "Group 9", 9, 3);
  const std::size_t free = kContacts + 8 * kContactSize;  // a free record with those values is no contact
  b.u16(free, 9).u8(free + 2, 0).u8(free + 3, 0xC1);
  EXPECT_EQ(findings(b),
            (Lines{
                "contacts 4: Call ID 2345678 and call type \"Private call\" are those of contact 2 \"Pat\".",
                "contacts 5: Call ID 9 and call type \"Group call\" are those of contact 1 \"Local\".",
            }));
}

TEST(Validate, MemberListsAndScanChannels) {
  CodePlugBuilder b;
  makeClean(b);
  b.members(ListId::Zones, 0, {1, 2, 1, 0, 1, 3, 2});
  b.named(ListId::Zones, 1, "Empty").members(ListId::Zones, 1, {0, 1001, 0});
  b.named(ListId::RxGroupLists, 1, "Dup").members(ListId::RxGroupLists, 1, {3, 0, 3});
  b.named(ListId::RxGroupLists, 2, "Empty group");  // only zones need members
  b.members(ListId::ScanLists, 0, {2, 3, 2});
  b.u16(scanByte(0, 32), 1).u16(scanByte(0, 34), 3).u16(scanByte(0, 36), 1);
  EXPECT_EQ(
      findings(b),
      (Lines{
          "rx group lists 2: Contact 3 is a member more than once.",
          "zones 1: Channel 1 is a member more than once.",
          "zones 1: Channel 2 is a member more than once.",
          "zones 2: Member 2 names channel 1001, beyond the 1000 channels.",
          "zones 2: The zone has no members.",
          "scan lists 1: Channel 2 is a member more than once.",
          "scan lists 1: Priority channel 1 is channel 1, which is not a member of the list.",
          "scan lists 1: The designated transmit channel is channel 1, which is not a member of the list.",
      }));
}

TEST(Validate, AnyImageThatLoadsIsCheckedSafely) {
  // Every byte of the image from a seeded generator, and the two uniform images: the
  // checks read everything as stored, so this is where an unguarded index would show.
  std::mt19937 rng(15);
  for (int run = 0; run < 6; ++run) {
    CodePlugBuilder b;
    for (auto& byte : b.image()) byte = run == 0 ? 0x00 : run == 1 ? 0xFF : std::uint8_t(rng());
    CodePlugDocument doc;
    doc.adoptImage(b.bytes());
    // Tens of thousands of findings still come grouped: each section once, its records ascending.
    std::set<PlugSection> sectionsDone;
    const Finding* previous = nullptr;
    for (const Finding& f : validate(doc)) {
      EXPECT_FALSE(f.text.empty());
      EXPECT_GE(f.record, 0);
      EXPECT_LE(f.record, 1000) << findingLine(f);
      if (previous && previous->section == f.section) {
        EXPECT_LE(previous->record, f.record) << findingLine(f);
      } else {
        EXPECT_TRUE(sectionsDone.insert(f.section).second) << findingLine(f);
      }
      previous = &f;
    }
  }
}
