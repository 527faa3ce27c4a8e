// Channels as comma-separated text: the own layout written and read back, the analogue
// channel-list layout read, the plan's skipped rows and remarks, and how a plan is applied.
#include "exchange/ChannelCsv.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "channels/ChannelRecord.h"
#include "codeplug/Encodings.h"
#include "codeplug/Layout.h"
#include "membership/MemberList.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

using namespace pw;
using namespace pw::exchange;
using pwtest::CodePlugBuilder;

namespace {

const text::SectionDesc& channels() { return *text::findSection("channels"); }

// Every channel field of the full plug varied from channel to channel, with the names and
// references that must not be written as plain names.
std::vector<std::uint8_t> variedFullPlug() {
  CodePlugBuilder b;
  b.fillEveryList();
  for (int z = 0; z < kZoneCount; ++z) b.members(ListId::Zones, z, {z + 1, z + 2, z + 3});
  CodePlugDocument doc;
  doc.adoptImage(b.bytes());
  for (int i = 0; i < kChannelCount; ++i) {
    MutableByteSpan r = recordBytes(doc, ListId::Channels, i);
    int k = 0;
    for (const text::FieldDesc& f : channels().fields) {
      const int n = i + 7 * k++;
      std::uint32_t v = std::uint32_t(n & 1);
      if (f.kind == text::Kind::Frequency)
        v = *parseFrequency(std::to_string(400 + n % 80) + "." + std::to_string(10000 + n * 37 % 90000), 2);
      else if (f.kind == text::Kind::Reference)
        v = std::uint32_t(n % (layoutOf(f.referred).count + 1));
      else if (f.choices)
        v = f.choices()[std::size_t(n) % f.choices().size()].code;
      text::writeField(r, f, v);
    }
  }
  renameChannel(doc, 0, "Ch, \"one\"");
  encodeName(recordBytes(doc, ListId::Channels, 1).subspan(32), 16, "Caf\xE9");
  setU16le(recordBytes(doc, ListId::Channels, 2), 32 + 2 * 6, 'X');  // a unit left behind after the name
  renameRecord(doc, ListId::Contacts, 1, "Contact 1");               // two contacts share a name
  renameRecord(doc, ListId::Contacts, 4, "NONE");
  renameRecord(doc, ListId::ScanLists, 2, "#3");
  renameRecord(doc, ListId::Zones, 0, "A|B");
  renameRecord(doc, ListId::Zones, 2, "Zone 2");               // two zones share a name
  setChannelField(doc, 0, ChannelField::EmergencySystem, 40);  // beyond the list
  return doc.workingImage;
}

std::string firstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) {
      const std::size_t at = i - kImageBase;
      if (at >= kChannels && at < kChannels + kChannelCount * kChannelSize)
        return "channel " + std::to_string((at - kChannels) / kChannelSize + 1) + " byte " +
               std::to_string((at - kChannels) % kChannelSize);
      return "image offset " + std::to_string(at);
    }
  return a.size() == b.size() ? "none" : "size";
}

std::vector<std::string> lines(const std::vector<Note>& notes) {
  std::vector<std::string> out;
  for (const Note& n : notes) out.push_back(noteLine(n));
  return out;
}
std::vector<std::string> lines(const std::vector<Skip>& skipped) {
  std::vector<std::string> out;
  for (const Skip& s : skipped) out.push_back(skipLine(s));
  return out;
}
std::vector<Reason> kinds(const std::vector<Skip>& skipped) {
  std::vector<Reason> out;
  for (const Skip& s : skipped) out.push_back(s.reason);
  return out;
}
int added(const ChannelPlan& plan) {
  return int(
      std::count_if(plan.rows.begin(), plan.rows.end(), [](const ChannelRow& r) { return !r.updates; }));
}

struct Plug {
  pwtest::PromptedDocument p;
  CodePlugDocument& doc = p.doc;
  explicit Plug(const CodePlugBuilder& b) { EXPECT_EQ(b.loadInto(doc), 0); }
  Report import(std::string_view text, ReadOptions read = {}, ApplyOptions apply = {}) {
    plan = readChannelText(doc, text, read);
    EXPECT_TRUE(plan.readable()) << plan.report.failure;
    return applyChannelPlan(doc, plan, apply);
  }
  std::string field(int slot, const char* key) const {
    const text::FieldDesc& f = *text::findField(channels(), key);
    return text::renderField(doc, f, text::readField(recordBytes(doc, ListId::Channels, slot), f)).text;
  }
  std::string name(int slot) const { return recordName(doc, ListId::Channels, slot); }
  std::vector<int> zone(int z) const {
    std::vector<int> out;
    for (const MemberRow& m : memberRows(doc, ListId::Zones, z)) out.push_back(m.number);
    return out;
  }
  ChannelPlan plan;
};

}  // namespace

TEST(ChannelCsv, ExportThenImportWithUpdateGivesBackTheImage) {
  const std::vector<std::uint8_t> original = variedFullPlug();
  CodePlugDocument doc;
  doc.adoptImage(original);
  std::vector<int> all(kChannelCount);
  for (int i = 0; i < kChannelCount; ++i) all[std::size_t(i)] = i;
  const std::string text = writeChannelText(doc, all);

  // The file as written: header, CRLF, quoting, and references that read back as what they were.
  EXPECT_TRUE(text.starts_with("number,name,mode,bandwidth,rx_frequency,"));
  EXPECT_EQ(text.substr(0, text.find("\r\n")).substr(text.find(",dtmf_decode_8")), ",dtmf_decode_8,zones");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kChannelCount + 1);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), kChannelCount + 1);
  const std::size_t from = text.find("\r\n") + 2;
  const std::string first = text.substr(from, text.find("\r\n", from) + 2 - from);
  EXPECT_TRUE(first.starts_with("1,\"Ch, \"\"one\"\"\",")) << first;
  EXPECT_NE(first.find(",#40,"), std::string::npos) << "a system beyond the list: " << first;
  EXPECT_NE(first.find(",A\\x7c"
                       "B\r\n"),
            std::string::npos)
      << "zone 1 only, its | escaped: " << first;
  EXPECT_NE(text.find("\r\n2,Caf\\xe9,"), std::string::npos);
  EXPECT_NE(text.find(",#2,"), std::string::npos) << "a shared contact name";
  EXPECT_NE(text.find(",#5,"), std::string::npos) << "a contact named NONE";
  EXPECT_NE(text.find(",#3,"), std::string::npos) << "a scan list named #3";
  EXPECT_NE(text.find(",Contact 7,"), std::string::npos);
  EXPECT_NE(text.find(",#3|Zone 4|Zone 5\r\n"), std::string::npos) << "zones 2 and 3 share a name";

  // Every channel rewritten as a new one (the first two renamed, the others keeping their
  // names' bytes), then updated from the file: all comes back.
  for (int i = 0; i < kChannelCount; ++i) {
    MutableByteSpan r = recordBytes(doc, ListId::Channels, i);
    const std::vector<std::uint8_t> name(r.begin() + 32, r.end());
    initChannel(doc, i, "X");
    if (i >= 2) std::copy(name.begin(), name.end(), r.begin() + 32);
  }
  const ChannelPlan plan = readChannelText(doc, text, {.update = true});
  EXPECT_TRUE(plan.report.skipped.empty()) << lines(plan.report.skipped).front();
  const Report result = applyChannelPlan(doc, plan, {});
  EXPECT_EQ(result.updated.size(), std::size_t(kChannelCount));
  EXPECT_TRUE(result.notes.empty()) << lines(result.notes).front();
  EXPECT_TRUE(doc.workingImage == original) << firstDifference(doc.workingImage, original);
}

TEST(ChannelCsv, AnalogueLayoutEveryToneDuplexAndPolarity) {
  CodePlugBuilder b;
  Plug plug(b);
  const std::string text =
      "\xEF\xBB\xBFLocation,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
      "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n"
      "0,\"Rep, North\",439.100000,-,7.600000,Tone,88.5,67.0,023,NN,023,Tone->Tone,FM,5,,3W,\"a, b\"\r\n"
      "1,Plus,430.100000,+,9.000000,TSQL,88.5,254.1,023,NN,023,Tone->Tone,NFM,5,,Low,\r\n"
      "2,Split,480.000000,split,400.000000,DTCS,88.5,67.0,754,RN,025,Tone->Tone,FM,5,,1.0W,\r\n"
      "3,Off,434.000000,off,0.600000,,88.5,67.0,023,NN,023,Tone->Tone,FM,5,,,\r\n"
      "4,TT,433.1,,0,Cross,88.5,67.0,023,NR,754,Tone->Tone,FM,5,,,\r\n"
      "5,TD,433.1,,0,Cross,88.5,67.0,023,NR,754,Tone->DTCS,FM,5,,,\r\n"
      "6,DT,433.1,,0,Cross,88.5,67.0,023,NR,754,DTCS->Tone,FM,5,,,\r\n"
      "7,DD,433.1,,0,Cross,88.5,67.0,023,RN,754,DTCS->DTCS,FM,5,,,\r\n"
      "8,D-,433.1,,0,Cross,88.5,67.0,023,NR,754,DTCS->,FM,5,,,\r\n"
      "9,-D,433.1,,0,Cross,88.5,67.0,023,NR,754,->DTCS,FM,5,,,\r\n"
      "10,T-,433.1,,0,Cross,88.5,67.0,023,NR,754,Tone->,FM,5,,,\r\n"
      "11,-T,433.1,,0,Cross,88.5,67.0,023,NR,754,->Tone,FM,5,,,\r\n"
      "12,Default crossing,433.1,,0,Cross,88.5,67.0,023,NR,754,,FM,5,,,\r\n"
      "13,  A name much longer than sixteen  ,433.2,,0,,88.5,67.0,023,NN,023,,FM,5,,,\r\n"
      "14,,433.5,,0,,88.5,67.0,023,NN,023,,FM,5,,,\r\n"
      "15,Caf\xC3\xA9,433.3,,0,,88.5,67.0,023,NN,023,,FM,5,,,\r\n"
      "16,Plus,430.1,,0,,88.5,67.0,023,NN,023,,FM,5,,,\r\n";
  const Report result = plug.import(text);
  EXPECT_TRUE(result.skipped.empty()) << lines(result.skipped).front();
  ASSERT_EQ(result.added.size(), 17u);
  struct Expected {
    const char *name, *rx, *tx, *txTone, *rxTone, *bandwidth, *power, *rxOnly;
  };
  const Expected expected[] = {
      {"Rep, North", "439.10000", "431.50000", "88.5 Hz", "None", "25kHz", "High", "off"},
      {"Plus", "430.10000", "439.10000", "254.1 Hz", "254.1 Hz", "12.5kHz", "Low", "off"},
      {"Split", "480.00000", "400.00000", "D 754 inv", "D 754", "25kHz", "Low", "off"},
      {"Off", "434.00000", "434.00000", "None", "None", "25kHz", "Low", "on"},
      {"TT", "433.10000", "433.10000", "88.5 Hz", "67.0 Hz", "25kHz", "Low", "off"},
      {"TD", "433.10000", "433.10000", "88.5 Hz", "D 754 inv", "25kHz", "Low", "off"},
      {"DT", "433.10000", "433.10000", "D 23", "67.0 Hz", "25kHz", "Low", "off"},
      {"DD", "433.10000", "433.10000", "D 23 inv", "D 754", "25kHz", "Low", "off"},
      {"D-", "433.10000", "433.10000", "D 23", "None", "25kHz", "Low", "off"},
      {"-D", "433.10000", "433.10000", "None", "D 754 inv", "25kHz", "Low", "off"},
      {"T-", "433.10000", "433.10000", "88.5 Hz", "None", "25kHz", "Low", "off"},
      {"-T", "433.10000", "433.10000", "None", "67.0 Hz", "25kHz", "Low", "off"},
      {"Default crossing", "433.10000", "433.10000", "88.5 Hz", "67.0 Hz", "25kHz", "Low", "off"},
      {"A name much long", "433.20000", "433.20000", "None", "None", "25kHz", "Low", "off"},
      {"433.50000", "433.50000", "433.50000", "None", "None", "25kHz", "Low", "off"},
      {"Cafe", "433.30000", "433.30000", "None", "None", "25kHz", "Low", "off"},
      {"Plus", "430.10000", "430.10000", "None", "None", "25kHz", "Low", "off"},
  };
  for (int i = 0; i < 17; ++i) {
    const Expected& e = expected[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(plug.name(i), e.name);
    EXPECT_EQ(plug.field(i, "mode"), "Analogue");
    EXPECT_EQ(plug.field(i, "rx_frequency"), e.rx);
    EXPECT_EQ(plug.field(i, "tx_frequency"), e.tx);
    EXPECT_EQ(plug.field(i, "tx_tone"), e.txTone);
    EXPECT_EQ(plug.field(i, "rx_tone"), e.rxTone);
    EXPECT_EQ(plug.field(i, "bandwidth"), e.bandwidth);
    EXPECT_EQ(plug.field(i, "tx_power"), e.power);
    EXPECT_EQ(plug.field(i, "rx_only"), e.rxOnly);
  }
  EXPECT_EQ(lines(result.notes),
            (std::vector<std::string>{"line 15: name cut to 16 characters: \"A name much long\"",
                                      "line 17: name \"Cafe\": written without accents"}));

  // Exported and read into the plug as it was before, the same channels come back.
  const std::vector<std::uint8_t> imported = plug.doc.workingImage;
  Plug again(b);
  again.import(writeChannelText(plug.doc, result.added));
  EXPECT_TRUE(again.doc.workingImage == imported) << firstDifference(again.doc.workingImage, imported);
}

TEST(ChannelCsv, RowsTheRadioCannotHoldAreSkippedWithLineAndReason) {
  CodePlugBuilder b;
  b.fill(ListId::Channels, 996, "Ch ");
  Plug plug(b);
  const ChannelPlan plan = readChannelText(
      plug.doc,
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,CrossMode,Mode\n"
      "0,Below,399.999990,,0,,88.5,88.5,023,NN,,FM\n"
      "1,TxAbove,479.000010,+,1.000000,,88.5,88.5,023,NN,,FM\n"
      "2,BadNumber,43x.1,,0,,88.5,88.5,023,NN,,FM\n"
      "3,BadOffset,433,+,abc,,88.5,88.5,023,NN,,FM\n"
      "4,Ctcss,433,,0,Tone,68.1,88.5,023,NN,,FM\n"
      "5,Dcs,433,,0,DTCS,88.5,88.5,999,NN,,FM\n"
      "6,Am,433,,0,,88.5,88.5,023,NN,,AM\n"
      "7,Duplex,433,x,0,,88.5,88.5,023,NN,,FM\n"
      "8,ToneMode,433,,0,Weird,88.5,88.5,023,NN,,FM\n"
      "9,Cross,433,,0,Cross,88.5,88.5,023,NN,Tone->Bad,FM\n"
      "10,Polarity,433,,0,DTCS,88.5,88.5,023,XY,,FM\n"
      "\n"
      "11,First,433.2,,0,,88.5,88.5,023,NN,,FM\n"
      "12,Second,433.2,,0,,88.5,88.5,023,NN,,FM\n"
      "13,\"Line\nbreak\",433.2,,0,,88.5,88.5,023,NN,,FM\n"
      "14,Fourth,433.2,,0,,88.5,88.5,023,NN,,FM\n"
      "15,Fifth,433.2,,0,,88.5,88.5,023,NN,,FM\n",
      {});
  EXPECT_EQ(added(plan), 4);
  EXPECT_EQ(lines(plan.report.skipped),
            (std::vector<std::string>{
                "line 2: receive frequency 399.99999 MHz is outside the radio's range 400-480 MHz",
                "line 3: transmit frequency 480.00001 MHz is outside the radio's range 400-480 MHz",
                "line 4: Frequency \"43x.1\" is not a number",
                "line 5: Offset \"abc\" is not a number",
                "line 6: CTCSS tone \"68.1\" is not one of the radio's 50",
                "line 7: DCS code \"999\" is not one of the radio's 104",
                "line 8: mode \"AM\" is not one the radio has",
                "line 9: Duplex \"x\" is not one this editor knows",
                "line 10: Tone \"Weird\" is not one this editor knows",
                "line 11: CrossMode \"Tone->Bad\" is not one this editor knows",
                "line 12: DtcsPolarity \"XY\" is not two letters N or R",
                "line 19: no room: 1000 channels in use",
            }));
  using enum Reason;
  EXPECT_EQ(kinds(plan.report.skipped),
            (std::vector<Reason>{OutsideBand, OutsideBand, NotANumber, NotANumber, NotOffered, NotOffered,
                                 NotOffered, NotKnown, NotKnown, NotKnown, NotKnown, NoRoom}));
  EXPECT_EQ(plan.report.noRoom, 1);
  const ChannelPlan missing = readChannelText(plug.doc, "Name,Frequency\nA,\n", {});
  EXPECT_EQ(lines(missing.report.skipped), std::vector<std::string>{"line 2: no Frequency"});
  EXPECT_EQ(kinds(missing.report.skipped), std::vector<Reason>{Missing});
  EXPECT_EQ(lines(missing.report.notes),
            std::vector<std::string>{"line 1: no Mode column: every channel is FM (25 kHz)"});

  // A quote never closed takes the rest of the text into one field: its row is not read as a
  // channel, and the lines it took are named.
  const ChannelPlan open = readChannelText(plug.doc, "name,rx_frequency\nA,433\n\"B,433\nC,433\nD,433\n", {});
  EXPECT_EQ(added(open), 1);
  EXPECT_EQ(lines(open.report.skipped),
            std::vector<std::string>{"lines 3-5: a quoted field opened on line 3 is not closed"});
  EXPECT_EQ(kinds(open.report.skipped), std::vector<Reason>{OpenQuote});
}

TEST(ChannelCsv, OwnLayoutReadsColumnsByNameAndResolvesNames) {
  CodePlugBuilder b;
  b.fill(ListId::Channels, 3, "Ch ").fill(ListId::Contacts, 3, "Contact ").fill(ListId::Zones, 2, "Zone ");
  b.members(ListId::Zones, 0, {1}).members(ListId::Zones, 1, std::vector<int>(16, 2));
  Plug plug(b);
  const Report result = plug.import(
      "Zones , RX_FREQUENCY,name,contact,Mystery,mode,tx_tone\r\n"
      "Zone 1|New Zone|New Zone|\\x00New Zone,439.5,A,Contact 3,x,Analogue,D 23 inv\r\n"
      "#2|#9,,B,Nobody,,,\r\n"
      ",,,#2,,Frobnicate,\r\n"
      ",480,C,None,,,\r\n"
      ",480.00001,D,,,,\r\n");
  EXPECT_EQ(result.unreadColumns, std::vector<std::string>{"Mystery"});
  EXPECT_EQ(lines(result.skipped),
            (std::vector<std::string>{"line 4: mode \"Frobnicate\" is not a value a channel can hold",
                                      "line 6: receive frequency 480.00001 MHz is outside the radio's range "
                                      "400-480 MHz"}));
  EXPECT_EQ(kinds(result.skipped), (std::vector<Reason>{Reason::NotHeld, Reason::OutsideBand}));
  ASSERT_EQ(result.added, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(plug.field(3, "rx_frequency"), "439.50000");
  EXPECT_EQ(plug.field(3, "tx_frequency"), "439.50000")
      << "no tx_frequency column: it transmits where it receives";
  EXPECT_EQ(plug.field(4, "tx_frequency"), "430.00000") << "no frequency at all: the new channel's";
  EXPECT_EQ(plug.field(3, "contact"), "3");
  EXPECT_EQ(plug.field(3, "tx_tone"), "D 23 inv");
  EXPECT_EQ(plug.field(4, "contact"), "None");
  EXPECT_EQ(plug.field(4, "mode"), "Digital");
  EXPECT_EQ(plug.name(5), "C");
  EXPECT_EQ(plug.zone(0), (std::vector<int>{1, 4}));
  EXPECT_EQ(recordName(plug.doc, ListId::Zones, 2), "New Zone");
  EXPECT_EQ(plug.zone(2), std::vector<int>{4});
  EXPECT_EQ(result.addedTo(ListId::Zones), 1);
  EXPECT_EQ(lines(result.notes),
            (std::vector<std::string>{
                "line 2: creates zone \"New Zone\"", "line 3: contact \"Nobody\" not found: none",
                "line 3: zone \"Zone 2\" is full (16 channels)", "line 3: zone #9 is not in use"}));

  // The last zone is found by name; none is created beyond it.
  Plug zones(CodePlugBuilder().fill(ListId::Zones, kZoneCount, "Zone "));
  EXPECT_EQ(lines(zones.import("name,mode,rx_frequency,zones\nA,Digital,433,Zone 250|New\n").notes),
            std::vector<std::string>{"line 2: zone \"New\" not created: 250 zones in use"});
  EXPECT_EQ(zones.zone(kZoneCount - 1), std::vector<int>{1});
}

TEST(ChannelCsv, OwnLayoutTakesBareTonesAndSaysWhatItDroppedOrDefaulted) {
  CodePlugBuilder b;
  Plug plug(b);
  const Report result = plug.import(
      "name,rx_frequency,rx_tone,tx_tone,NAME,bandwidth\r\n"
      "A,439.1000049,88.5,67.0 Hz,x,12.5kHz\r\n"
      "B,439.2\r\n");
  EXPECT_TRUE(result.skipped.empty()) << lines(result.skipped).front();
  EXPECT_EQ(plug.field(0, "rx_tone"), "88.5 Hz");
  EXPECT_EQ(plug.field(0, "tx_tone"), "67.0 Hz");
  EXPECT_EQ(plug.field(0, "rx_frequency"), "439.10000");
  EXPECT_EQ(plug.field(0, "tx_frequency"), "439.10000");
  EXPECT_EQ(plug.name(0), "A") << "the first of two name columns";
  EXPECT_EQ(lines(result.notes),
            (std::vector<std::string>{
                "line 1: no mode column: new channels are Digital, as a new channel is",
                "line 1: column \"name\" is given more than once: the first is read",
                "line 2: receive frequency stored as 439.10000 MHz: digits below 10 Hz dropped",
                "line 3: fewer fields than the header: rx_tone, tx_tone, bandwidth take their "
                "defaults"}));
  EXPECT_EQ(lines(readChannelText(plug.doc, "name,rx_frequency,rx_tone\nA,439.1,88.6\n", {}).report.skipped),
            std::vector<std::string>{"line 2: rx_tone \"88.6\" is not a value a channel can hold"});
}

TEST(ChannelCsv, FilesSeparatedBySemicolonsReadDecimalCommas) {
  CodePlugBuilder b;
  Plug plug(b);
  Report result = plug.import(
      "Location;Name;Frequency;Duplex;Offset;Tone;rToneFreq;Mode;Power\r\n"
      "0;Rep, West;439,1;-;7,6;Tone;88,5;NFM;2,5W\r\n");
  ASSERT_EQ(result.added.size(), 1u);
  EXPECT_EQ(plug.name(0), "Rep, West");
  EXPECT_EQ(plug.field(0, "rx_frequency"), "439.10000");
  EXPECT_EQ(plug.field(0, "tx_frequency"), "431.50000");
  EXPECT_EQ(plug.field(0, "tx_tone"), "88.5 Hz");
  EXPECT_EQ(plug.field(0, "bandwidth"), "12.5kHz");
  EXPECT_EQ(plug.field(0, "tx_power"), "Low");

  result = plug.import("name;mode;rx_frequency;bandwidth;rx_tone\nB;Analogue;433,1;12,5kHz;67,0\n");
  ASSERT_EQ(result.added.size(), 1u);
  EXPECT_EQ(plug.field(1, "rx_frequency"), "433.10000");
  EXPECT_EQ(plug.field(1, "bandwidth"), "12.5kHz");
  EXPECT_EQ(plug.field(1, "rx_tone"), "67.0 Hz");
}

TEST(ChannelCsv, NamesASpreadsheetWouldEvaluateGoOutAsTextAndComeBackAsTheyWere) {
  CodePlugBuilder b;
  b.fill(ListId::Channels, 3, "Ch ");
  Plug plug(b);
  renameChannel(plug.doc, 0, "=HYPERLINK(1)");
  renameChannel(plug.doc, 1, "-Net-");
  renameChannel(plug.doc, 2, "'@home");
  const std::vector<std::uint8_t> before = plug.doc.workingImage;
  const std::vector<int> rows{0, 1, 2};
  const std::string text = writeChannelText(plug.doc, rows);
  EXPECT_NE(text.find("\r\n1,\"'=HYPERLINK(1)\","), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n2,\"'-Net-\","), std::string::npos);
  EXPECT_NE(text.find("\r\n3,\"''@home\","), std::string::npos);
  for (int i = 0; i < 3; ++i) renameChannel(plug.doc, i, "X");
  plug.import(text, {.update = true});
  EXPECT_TRUE(plug.doc.workingImage == before) << firstDifference(plug.doc.workingImage, before);
}

TEST(ChannelCsv, UpdateOverwritesTheGivenFieldsOfNumberedChannels) {
  CodePlugBuilder b;
  b.fill(ListId::Channels, 3, "Ch ");
  Plug plug(b);
  setChannelField(plug.doc, 1, ChannelField::Vox, 1);
  const std::string text =
      "name,number,tx_power,rx_frequency\r\n"
      "Skipped,2,Huge,\r\n"
      "Renamed,2,High,\r\n"
      "New,999,Low,\r\n"
      "Twice,2,Low,\r\n"
      "Bad,abc,Low,\r\n"
      ",3,,\r\n";
  EXPECT_EQ(added(readChannelText(plug.doc, text, {})), 5) << "without update every good row is new";
  const Report result = plug.import(text, {.update = true});
  EXPECT_EQ(lines(result.skipped),
            (std::vector<std::string>{"line 2: tx_power \"Huge\" is not a value a channel can hold",
                                      "line 5: channel 2 is updated by line 3 already",
                                      "line 6: number \"abc\" is not a channel number"}));
  EXPECT_EQ(kinds(result.skipped), (std::vector<Reason>{Reason::NotHeld, Reason::Repeated, Reason::NotHeld}));
  EXPECT_EQ(result.updated, (std::vector<int>{1, 2}));
  EXPECT_EQ(result.added, std::vector<int>{3});
  EXPECT_EQ(plug.name(1), "Renamed");
  EXPECT_EQ(plug.field(1, "tx_power"), "High");
  EXPECT_EQ(plug.field(1, "vox"), "on") << "a field the file does not give is kept";
  EXPECT_EQ(plug.name(2), "Ch 3") << "an empty name keeps the name";
  EXPECT_EQ(plug.name(3), "New");
}

TEST(ChannelCsv, ApplyIsOneUndoStepAndInsertsWithReferencesFollowing) {
  CodePlugBuilder b;
  b.fill(ListId::Channels, 5, "Ch ").fill(ListId::Zones, 1, "Zone ").fill(ListId::ScanLists, 1, "Scan ");
  b.members(ListId::Zones, 0, {1, 2, 3, 4, 5}).members(ListId::ScanLists, 0, {4});
  Plug plug(b);
  const std::vector<std::uint8_t> before = plug.doc.workingImage;
  // Cells from a spreadsheet.
  const std::string clipboard = "name\trx_frequency\tzones\nP1\t433.1\tZone 1\nP2\t433.2\tElsewhere\n";
  const Report result =
      plug.import(clipboard, {}, {.insertAt = 1, .createZones = false, .stepName = "paste 2 channels"});
  EXPECT_EQ(result.added, (std::vector<int>{1, 2}));
  EXPECT_EQ(plug.name(1), "P1");
  EXPECT_EQ(plug.name(3), "Ch 2");
  EXPECT_EQ(plug.zone(0), (std::vector<int>{1, 4, 5, 6, 7, 2}));
  EXPECT_EQ(memberRows(plug.doc, ListId::ScanLists, 0).front().number, 6);
  EXPECT_EQ(usedCount(plug.doc, ListId::Zones), 1);
  EXPECT_EQ(lines(result.notes),
            (std::vector<std::string>{"line 1: no mode column: new channels are Digital, as a new channel is",
                                      "line 3: zone \"Elsewhere\" not found"}));

  EXPECT_TRUE(plug.doc.settleEdits("edit"));
  EXPECT_EQ(plug.doc.history().undoLabel(), "paste 2 channels");
  EXPECT_TRUE(plug.doc.undo());
  EXPECT_TRUE(plug.doc.workingImage == before);
  EXPECT_FALSE(plug.doc.undo());
}

TEST(ChannelCsv, UnreadableTextsAndFailedExports) {
  CodePlugBuilder b;
  b.fill(ListId::Channels, 2, "Ch ");
  Plug plug(b);
  EXPECT_EQ(readChannelText(plug.doc, std::string("rx_frequency\r\n4\0B\r\n", 19), {}).report.failure,
            "The file is not a text file.");
  // Columns of the own layout without its receive frequency: a file of something else.
  for (const std::string& text : {std::string("number,name,zones\r\n1,A,\r\n"), std::string()})
    EXPECT_EQ(readChannelText(plug.doc, text, {}).report.failure,
              "No channel list header: the first line names neither an rx_frequency column (the editor's own "
              "layout) nor a Frequency column (an analogue channel list).")
        << text;
  EXPECT_EQ(readChannelFile(plug.doc, pwtest::testTempDir() + "/none.csv", {}).report.failure,
            "Could not open the file");

  const std::string path = pwtest::testTempDir() + "/channels.csv";
  ASSERT_EQ(exportChannels(plug.doc, path), 0);
  const ChannelPlan plan = readChannelFile(plug.doc, path, {.update = true});
  EXPECT_EQ(plan.rows.size(), 2u);
  EXPECT_EQ(added(plan), 0);
  EXPECT_EQ(exportChannels(plug.doc, pwtest::testTempDir()), kSaveCreate);
  EXPECT_EQ(plug.p.prompt.texts("error"), std::vector<std::string>{"Could not create the file"});
}

TEST(ChannelCsv, PasteResolvesNamesHereAndEveryHolderKeepsItsChannel) {
  // The source: contacts, group lists and zones of which the target shares some names.
  CodePlugBuilder from;
  from.fill(ListId::Channels, 3, "S").contact(0, "Alpha", 1).contact(1, "Beta", 2).contact(2, "Dup", 3);
  from.contact(3, "Dup", 4).named(ListId::RxGroupLists, 0, "G1").named(ListId::RxGroupLists, 1, "G2");
  from.named(ListId::Zones, 0, "Home").named(ListId::Zones, 1, "Elsewhere");
  from.members(ListId::Zones, 0, {1}).members(ListId::Zones, 1, {2});
  Plug source(from);
  setChannelField(source.doc, 0, ChannelField::Contact, 1);
  setChannelField(source.doc, 0, ChannelField::RxGroupList, 2);
  setChannelField(source.doc, 1, ChannelField::Contact, 2);
  setChannelField(source.doc, 1, ChannelField::RxGroupList, 1);
  setChannelField(source.doc, 2, ChannelField::Contact, 4);  // a shared name: copied as #4
  const std::vector<int> copied{0, 1, 2};
  const std::string text = writeChannelText(source.doc, copied);

  CodePlugBuilder to;
  to.fill(ListId::Channels, 3, "T").contact(0, "Other", 5).contact(1, "Alpha", 1).contact(2, "X", 6);
  to.contact(3, "Y", 7).named(ListId::RxGroupLists, 0, "G2").named(ListId::Zones, 0, "Home");
  to.named(ListId::Zones, 1, "Away").named(ListId::ScanLists, 0, "Scan");
  to.members(ListId::Zones, 0, {1, 2}).members(ListId::Zones, 1, {2}).members(ListId::ScanLists, 0, {3, 2});
  Plug plug(to);
  const std::vector<std::uint8_t> before = plug.doc.workingImage;
  const Report pasted = pasteChannelText(plug.doc, text, 1, false);
  EXPECT_EQ(pasted.added, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(plug.name(1), "S1");
  EXPECT_EQ(plug.name(4), "T2");
  EXPECT_EQ(plug.field(1, "contact"), "2") << "Alpha is contact 2 here";
  EXPECT_EQ(plug.field(1, "rx_group_list"), "1");
  EXPECT_EQ(plug.field(2, "contact"), "None");
  EXPECT_EQ(plug.field(2, "rx_group_list"), "None");
  EXPECT_EQ(plug.field(3, "contact"), "None") << "a number of another code plug names nothing here";
  // Zones and the scan list still hold T2 (now channel 5) and T3; S1 joined the zone named Home.
  EXPECT_EQ(plug.zone(0), (std::vector<int>{1, 5, 2}));
  EXPECT_EQ(plug.zone(1), std::vector<int>{5});
  EXPECT_EQ(memberRows(plug.doc, ListId::ScanLists, 0)[1].number, 5);
  EXPECT_EQ(memberRows(plug.doc, ListId::ScanLists, 0)[0].number, 6);
  EXPECT_EQ(usedCount(plug.doc, ListId::Zones), 2);
  EXPECT_EQ(pasteMessage(pasted),
            "Pasted 3 channels.\n\n"
            "line 3: contact \"Beta\" not found: none\n"
            "line 3: rx_group_list \"G1\" not found: none\n"
            "line 3: zone \"Elsewhere\" not found\n"
            "line 4: contact #4 not found: none");

  EXPECT_TRUE(plug.doc.settleEdits("edit"));
  EXPECT_EQ(plug.doc.history().undoLabel(), "paste 3 channels");
  EXPECT_TRUE(plug.doc.undo());
  EXPECT_TRUE(plug.doc.workingImage == before);
  // Copied from this very code plug as it is, a number holds.
  EXPECT_EQ(pasteChannelText(plug.doc, text, -1, true).added, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(plug.field(5, "contact"), "4");
}

TEST(ChannelCsv, PasteBeyondTheCapacityOrOfNoChannelsSaysSo) {
  CodePlugBuilder b;
  b.fill(ListId::Channels, 998, "Ch ");
  Plug plug(b);
  const Report pasted = pasteChannelText(
      plug.doc, "name,mode,rx_frequency\nA,Digital,433\nB,,433\nC,,433\nD,,433\nE,,433\n", -1, true);
  EXPECT_EQ(pasted.added, (std::vector<int>{998, 999}));
  EXPECT_EQ(pasteMessage(pasted),
            "Pasted 2 channels.\n3 channels not pasted: the list holds no more than 1000.");
  EXPECT_EQ(plug.name(999), "B");

  const std::vector<std::uint8_t> before = plug.doc.workingImage;
  EXPECT_TRUE(plug.doc.settleEdits("edit"));
  const Report none = pasteChannelText(plug.doc, "hello\tworld\n1\t2\n", 0, true);
  EXPECT_TRUE(none.added.empty());
  EXPECT_TRUE(pasteMessage(none).starts_with(
      "Nothing was pasted: the text on the clipboard is not a list of channels."));
  EXPECT_TRUE(plug.doc.workingImage == before);
  EXPECT_FALSE(plug.doc.settleEdits("edit"));
}
