// The text form: lossless round trips, edits through the text, errors that name their
// line, and the differences between two files.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <regex>

#include "channels/ChannelRecord.h"
#include "codeplug/DfuseSuffix.h"
#include "codeplug/Layout.h"
#include "contacts/ContactList.h"
#include "digital/PrivacyKeys.h"
#include "settings/Buttons.h"
#include "settings/GeneralSettings.h"
#include "settings/MenuSettings.h"
#include "signalling/Dtmf.h"
#include "signalling/Gps.h"
#include "support/CodePlugBuilder.h"
#include "textform/TextDiff.h"
#include "textform/TextYaml.h"

using namespace pw;
using namespace pw::text;
using pwtest::CodePlugBuilder;

namespace {

std::vector<std::uint8_t> build(const std::string& yaml) {
  auto built = buildFile(yaml);
  if (auto* e = std::get_if<TextError>(&built)) ADD_FAILURE() << describeError(*e);
  return std::holds_alternative<TextError>(built) ? std::vector<std::uint8_t>{}
                                                  : std::get<std::vector<std::uint8_t>>(built);
}

// The error a text that must not build gives (none, after a failure, when it builds).
TextError refused(const std::string& text) {
  auto built = buildFile(text);
  if (auto* e = std::get_if<TextError>(&built)) return *e;
  ADD_FAILURE() << "built: " << text.substr(0, 200);
  return {};
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The text with each (from, to) edit made in turn.
std::string withEdits(std::string text, std::initializer_list<std::pair<std::string, std::string>> edits) {
  for (const auto& [from, to] : edits) text = replaced(std::move(text), from, to);
  return text;
}

// Random bytes everywhere but the nine checks' bytes.
std::vector<std::uint8_t> randomFile(unsigned seed, int zeroNamesPercent) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> f(kRdtFileSize);
  for (auto& b : f) b = std::uint8_t(rng());
  CodePlugBuilder clean;
  const auto framing = clean.bytes();
  std::copy(framing.begin(), framing.begin() + 11, f.begin());
  // Some records free, some names short, so both paths of the lists are taken.
  for (ListId id : {ListId::TextMessages, ListId::EmergencySystems, ListId::Contacts, ListId::RxGroupLists,
                    ListId::Zones, ListId::ScanLists, ListId::Channels}) {
    const auto& l = layoutOf(id);
    for (int i = 0; i < l.count; ++i)
      if (int(rng() % 100) < zeroNamesPercent) {
        const std::size_t at = fileOffset(l.start) + std::size_t(i) * l.recordSize + l.nameOffset;
        f[at] = f[at + 1] = 0;
      }
  }
  return f;
}

std::vector<std::uint8_t> fullPlug() {
  CodePlugBuilder b;
  b.fillEveryList();
  for (int i = 0; i < kZoneCount; ++i) {
    b.members(ListId::Zones, i, {i + 1, i + 2, i + 3});
    b.members(ListId::RxGroupLists, i, {i + 1, 1000});
    b.members(ListId::ScanLists, i, {i + 5, 0, i + 7});  // a gap, as a file may hold one
  }
  for (int i = 0; i < kChannelCount; ++i) b.channelContact(i, i % 7 == 0 ? 0 : i + 1);
  // Every settings section with values besides its fresh ones.
  const auto put = [&b](std::size_t at, BitField f, std::uint32_t v) { set(b.image().subspan(at), f, v); };
  put(kGeneralSettings, bitsOf(GeneralField::RadioId), 2345678);
  put(kGeneralSettings, bitsOf(GeneralField::TalkPermitTone), 3);
  put(kGeneralSettings, bitsOf(GeneralField::KeypadLockTime), 255);
  put(kMenuSettings, bitsOf(MenuField::HangTime), 10);
  put(kMenuSettings, bitsOf(MenuField::UtilitiesGps), 1);
  put(kSideButtons, kButtonSettingFields[0].bits, 13);
  put(kSideButtons, kButtonSettingFields[4].bits, 6);
  b.oneTouch(0, 1, 1, 3, 0).oneTouch(1, 2, 2, 5, 0).numberKey(4, 17).u16(kBasicPrivacyKeys, 0x1234);
  put(kDtmfSystems + kDtmfSystemSize, bitsOf(DtmfSystemField::PttId), 3);
  put(kDtmfSystems + kDtmfSystemSize, bitsOf(DtmfSystemField::FirstDigitDelay), 25);
  put(kDtmfDecodeEntries + 2 * kDtmfDecodeSize, bitsOf(DtmfDecodeField::Ack), 4);
  put(kDtmfDecodeEntries + 2 * kDtmfDecodeSize, bitsOf(DtmfDecodeField::RevertChannel), 12);
  b.u16(kGps + kGpsSize, 5).u8(kGps + kGpsSize + 2, 10).u16(kGps + kGpsSize + 4, 9);
  CodePlugDocument doc;
  doc.adoptImage(b.bytes());
  setGeneralText(doc, GeneralBytes::RadioName, "Club \\ Radio");
  setEnhancedKey(doc, 2, "00112233445566778899aabbccddeeff");
  setEncodeDigits(doc, 4, "12*#A");
  setSystemDigits(doc, 0, DtmfSystemField::KeyUpEncode, "0D");
  setRadioProgramPassword(doc, "87654321");
  setPcProgrammingPassword(doc, "abc");
  return doc.workingImage;
}

}  // namespace

TEST(TextForm, AnyImageThatLoadsComesBackByteForByte) {
  for (int freePercent : {0, 40, 100}) {
    const auto file = randomFile(unsigned(freePercent) + 1, freePercent);
    const std::string text = dumpText(file);
    EXPECT_EQ(build(text), file) << freePercent << "% free";
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c > 0; })) << "plain ASCII";
  }
}

TEST(TextForm, FullPlugComesBackAndItsRestStaysShort) {
  const auto file = fullPlug();
  const std::string text = dumpText(file);
  EXPECT_EQ(build(text), file);
  // A clean plug differs from the baseline only outside the lists: the framing, the
  // radio information and the settings blocks.
  const TextPlug plug = describe(file);
  EXPECT_LT(plug.rest.size(), 120u);
  for (const RestRun& run : plug.rest) EXPECT_EQ(regionLabel(run.at).find("channels"), std::string::npos);
  EXPECT_NE(text.find("members: [1, 2, 3]  # Ch 1, Ch 2, Ch 3"), std::string::npos);
  EXPECT_NE(text.find("members: [5, 0, 7]"), std::string::npos);
  EXPECT_NE(text.find("contact: 2  # Contact 2"), std::string::npos);
  for (const char* shown : {"radio_id: 2345678",
                            "talk_permit_tone: Digital & Analogue",
                            "keypad_lock_time: Manual",
                            "hang_time: 10 secs",
                            "gps: off",
                            "upper_side_short: Repeater/TalkAround",
                            "long_press_duration: 1500 ms",
                            "key_4: 17  # Contact 17",
                            "key: 1234",
                            "ptt_id: Pre & Post",
                            "first_digit_delay: 250 ms",
                            "ack: Encode 4",
                            "revert_channel: 12  # Ch 12",
                            "report_interval: 300 secs",
                            "contact: 9  # Contact 9",
                            "radio_name: 'Club \\\\ Radio'",
                            "key: '00112233445566778899aabbccddeeff'",
                            "digits: '12*#A'",
                            "key_up_encode: '0D'",
                            "model_name: 'PW-1000'  # read-only",
                            "radio_program_password: '87654321'",
                            "pc_programming_password: 'abc'",
                            "call_type: Text Message",
                            "call_type: DTMF-3",
                            "power_on_password_digits: '00000000'"})
    EXPECT_NE(text.find(shown), std::string::npos) << shown;
}

// Buffers lent from file to file (whatever they held, whatever their size) give the same
// text and the same file as fresh ones.
TEST(TextForm, LentBuffersGiveTheSameTextAndFile) {
  const auto full = fullPlug();
  const auto clean = CodePlugBuilder().bytes();
  std::vector<std::uint8_t> scratch(100, 0x5A), buffer(kRdtFileSize + 7, 0xA5);
  for (const auto* file : {&full, &clean, &full}) {
    const TextPlug plug = describe(*file, &scratch);
    EXPECT_EQ(toYaml(plug), dumpText(*file));
    scratch.assign(scratch.size(), 0x5A);  // what it held must not matter
    auto built = assemble(plug, std::move(buffer));
    ASSERT_TRUE(std::holds_alternative<std::vector<std::uint8_t>>(built));
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(built), *file);
    buffer = std::move(std::get<std::vector<std::uint8_t>>(built));
    buffer.assign(buffer.size(), 0xA5);
  }
}

// Every shape a choice, a name or a member may take must read back as the same text, never
// as another text or as no value (a plain null, ~ or empty text would be none).
TEST(TextForm, TextsOfEveryShapeReadBackAsWritten) {
  // clang-format off
  const std::vector<std::string> texts = {
      "Off", "-", "*", "#", "-5", "-x", "- x", "? x", "?x", ": x", ":x", "x:", "a: b", "a:b", "a #b", "a#b",
      "null", "Null", "NULL", "~", "", " x", "x ", "'", "''", "\"", "[x", "x]", "{", "a, b", "!x", "&a",
      "*a", "%x", "@x", "`x", "|", ">", "yes", "0x10", "a\\b", "\t", "a\x01" "b", "\xc3\xa9t\xc3\xa9", "---"};
  // clang-format on
  for (bool quoted : {false, true}) {
    for (const std::string& t : texts) {
      const std::string written = yamlValue({.text = t, .quoted = quoted});
      const auto plug = fromYaml("radio:\n  value: " + written + "  # a comment\n");
      ASSERT_TRUE(std::holds_alternative<TextPlug>(plug))
          << written << ": " << describeError(std::get<TextError>(plug));
      const TextValue& v = std::get<TextPlug>(plug).sections.at(0).records.at(0).fields.at(0).value;
      EXPECT_EQ(v.text, t) << written;
      EXPECT_FALSE(v.isList) << written;
    }
  }
  const TextValue list{.items = texts, .isList = true};
  const auto plug = fromYaml("radio:\n  value: " + yamlValue(list) + "\n");
  ASSERT_TRUE(std::holds_alternative<TextPlug>(plug)) << yamlValue(list);
  EXPECT_EQ(std::get<TextPlug>(plug).sections.at(0).records.at(0).fields.at(0).value.items, list.items);
}

TEST(TextForm, SettingsEditsThroughTheText) {
  const auto file = fullPlug();
  std::string text = dumpText(file);
  text = withEdits(text, {{"talk_permit_tone: Digital & Analogue", "talk_permit_tone: None"},
                          {"key_4: 17", "key_4: None"},
                          {"report_interval: 300 secs", "report_interval: 60 secs"},
                          {"key: 1234", "key: 0bad"},
                          {"digits: '12*#A'", "digits: '9'"},
                          {"pc_programming_password: 'abc'", "pc_programming_password: 'secret12'"},
                          {"radio_program_password: '87654321'", "radio_program_password: ''"}});
  EXPECT_EQ(diffFiles(file, build(text)),
            (std::vector<std::string>{
                "general_settings:", "  talk_permit_tone: Digital & Analogue -> None",
                "  radio_program_password: '87654321' -> ''", "  pc_programming_password: 'abc' -> 'secret12'", "number_keys:", "  key_4: 17 -> None",
                "basic_privacy_keys:", "  1 key: 1234 -> 0bad", "dtmf_encode:", "  5 digits: '12*#A' -> '9'",
                "gps:", "  2 report_interval: 300 secs -> 60 secs"}));
  // What the radio keeps is only shown: a text that changes it builds nothing.
  EXPECT_EQ(refused(replaced(text, "model_name: 'PW-1000'", "model_name: 'PW-2000'")).field, "radio.model_name");
  EXPECT_EQ(refused(replaced(text, "digits: '9'", "digits: '9x'")).field, "dtmf_encode 5.digits");
}

TEST(TextForm, EveryValueOfEveryFieldReadsBackAsStored) {
  CodePlugDocument doc;
  doc.adoptImage(CodePlugBuilder().bytes());
  for (const SectionDesc& s : catalogue()) {
    std::set<std::string> keys{s.nameKey, kMembersKey, kNumberKey};
    for (const FieldDesc& f : s.fields) {
      EXPECT_TRUE(keys.insert(f.key).second) << s.key << "." << f.key << " named twice";
      const std::uint32_t widest = f.accessor ? 315 : fieldMask(f.bits);
      const std::uint32_t step = widest > 0x3FF ? widest / 997 : 1;
      for (std::uint64_t v = 0; v <= widest; v += step) {
        if (!fieldHolds(f, std::uint32_t(v))) continue;
        const Shown shown = renderField(doc, f, std::uint32_t(v));
        EXPECT_EQ(parseField(doc, f, shown.text), v) << s.key << "." << f.key << " '" << shown.text << "'";
      }
    }
  }
  // Shown alike or clamped: the stored number, with what the tab shows beside it.
  const FieldDesc& rx = *findField(*findSection("channels"), "rx_frequency");
  EXPECT_EQ(renderField(doc, rx, 0x99999999).text, "0x99999999");
  EXPECT_EQ(renderField(doc, rx, 0x43850000).text, "438.50000");
  const FieldDesc& polite = *findField(*findSection("emergency_systems"), "polite_retries");
  EXPECT_EQ(renderField(doc, polite, 15).text, "Infinite");
  EXPECT_EQ(renderField(doc, polite, 20).text, "20");
  const FieldDesc& callType = *findField(*findSection("contacts"), "call_type");
  EXPECT_EQ(renderField(doc, callType, 7).text, "7");  // "Unknown" like 6
  EXPECT_EQ(nameText(std::vector<std::uint8_t>{'A', 0, 0x01, 0, '\\', 0, 0xE9, 0xFF, 0, 0}, 5),
            "A\\x01\\\\\\xe9");
  EXPECT_EQ(unescapeName("A\\x01\\\\\\xe9"), std::string("A\x01\\\xe9"));
  EXPECT_FALSE(unescapeName("A\\q"));
}

TEST(TextForm, EditsThroughTheTextChangeExactlyThoseFields) {
  CodePlugBuilder b;
  b.channel(0, "Repeater").contact(0, "Bob", 1234).contact(1, "Ann", 99).channelContact(0, 2);
  setU32le(b.record(ListId::Channels, 0), 16, 0x43850000);
  setU32le(b.record(ListId::Channels, 0), 20, 0x43850000);
  b.record(ListId::Channels, 0)[3] |= 0x04;  // a reserved bit, carried by the rest
  const auto file = b.bytes();
  std::string text = dumpText(file);
  text = withEdits(text, {{"rx_frequency: 438.50000", "rx_frequency: 439.0125"},
                          {"name: 'Bob'", "name: 'Robert'"},
                          {"tx_power: Low", "tx_power: high"}});
  const auto edited = build(text);
  EXPECT_EQ(diffFiles(file, edited),
            (std::vector<std::string>{"contacts:", "  changed 1 'Bob': name: 'Bob' -> 'Robert'", "channels:",
                                      "  changed 1 'Repeater': rx_frequency: 438.50000 -> 439.01250",
                                      "  changed 1 'Repeater': tx_power: Low -> High"}));
  EXPECT_EQ(edited[fileOffset(kChannels) + 3] & 0x04, 0x04);
  // Out of the band: clamped as the tab clamps.
  const auto clamped = build(replaced(dumpText(file), "rx_frequency: 438.50000", "rx_frequency: 999"));
  CodePlugDocument doc;
  doc.adoptImage(file);
  setChannelFrequency(doc, 0, ChannelField::RxFrequency, "999");
  setSuffixCrc(doc.workingImage);  // the file's matched: the build computes it
  EXPECT_EQ(clamped, doc.workingImage);
}

TEST(TextForm, ListsWithMembersMessagesAndSettingsEditThroughTheText) {
  CodePlugBuilder b;
  b.channel(0, "A").channel(1, "B").named(ListId::ScanLists, 0, "Scan").members(ListId::ScanLists, 0, {1});
  b.named(ListId::TextMessages, 0, "Hello")
      .named(ListId::EmergencySystems, 0, "Sys")
      .u8(kEmergencySection + 1, 10);
  const auto file = b.bytes();
  std::string text = dumpText(file);
  text = withEdits(text, {{"members: [1]  # A", "members: [2, 1]"},
                          {"priority_channel_1: None", "priority_channel_1: 2"},
                          {"signalling_hold_time: 500 ms", "signalling_hold_time: 525 ms"},
                          {"text: 'Hello'", "text: 'Running late, \\x41\\\\'"},
                          {"remote_monitor_duration: 10 secs", "remote_monitor_duration: 30 secs"},
                          {"polite_retries: 5", "polite_retries: infinite"}});
  EXPECT_EQ(diffFiles(file, build(text)),
            (std::vector<std::string>{
                "text_messages:", "  changed 1 'Hello': text: 'Hello' -> 'Running late, A\\\\'",
                "emergency_settings:", "  remote_monitor_duration: 10 secs -> 30 secs",
                "emergency_systems:", "  changed 1 'Sys': polite_retries: 5 -> Infinite",
                "scan_lists:", "  changed 1 'Scan': priority_channel_1: None -> 2",
                "  changed 1 'Scan': signalling_hold_time: 500 ms -> 525 ms",
                "  changed 1 'Scan': members: [1] -> [2, 1]"}));
}

// A choice is read as the tab would take it typed: without case and around spaces.
TEST(TextForm, ChoicesAreReadWithoutCaseAndAroundSpaces) {
  const std::vector<std::uint8_t> file = CodePlugBuilder().channel(0, "One").bytes();
  const std::string text = dumpText(file);
  ASSERT_NE(text.find("squelch: Normal"), std::string::npos);
  EXPECT_EQ(build(replaced(text, "squelch: Normal", "squelch: nORMAL")), file);
  EXPECT_EQ(build(replaced(text, "squelch: Normal", "squelch: '  normal '")), file);
  EXPECT_NE(build(replaced(text, "squelch: Normal", "squelch: tight")), file);
}

TEST(TextForm, ErrorsNameTheLineAndTheField) {
  const std::string text = dumpText(CodePlugBuilder().channel(0, "One").bytes());
  const auto lineOf = [&](const std::string& needle) {
    const auto at = text.find(needle);
    return int(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n')) + 1;
  };
  struct Case {
    std::string from, to, field, message;
    int line;
  };
  const std::vector<Case> cases = {
      {"squelch: Normal", "squelch: Loose", "channels 1.squelch", "neither a choice",
       lineOf("squelch: Normal")},
      {"colour_code: 1", "colour_code: 16", "channels 1.colour_code", "neither a choice",
       lineOf("colour_code:")},
      {"squelch: Normal", "squelch_level: Normal", "channels 1.squelch_level", "unknown field",
       lineOf("squelch: Normal")},
      {"channels:", "chanels:", "chanels", "unknown section", lineOf("channels:")},
      {"name: 'One'", "name: 'One\\x4'", "channels 1.name", "malformed escape", lineOf("name: 'One'")},
      {"number: 1\n  name: 'One'", "number: 1001\n  name: 'One'", "channels 1001", "outside",
       lineOf("name: 'One'") - 1},
      {"tx_power: Low", "tx_power: [Low", "text", "malformed", lineOf("tx_power:")},
      {"number: 16", "number: 17", "basic_privacy_keys 17", "outside", lineOf("number: 16")},
      {"number: 16", "number: 0", "basic_privacy_keys 0", "outside", lineOf("number: 16")},
      {"key: 0000", "key: 12345", "basic_privacy_keys 1.key", "neither a choice", lineOf("key: 0000")},
      {"name: 'One'", "name: 'Repeater A TS1 and more'", "channels 1.name", "23 characters, more than the field's 16",
       lineOf("name: 'One'")},
      {"name: 'One'", "name: 'R\xc3\xabpeater'", "channels 1.name", "\"\xc3\xab\" cannot be stored as written: write \\xeb",
       lineOf("name: 'One'")},
      {"name: 'One'", "name: 'One \xe2\x9c\x93'", "channels 1.name", "8-bit codes only", lineOf("name: 'One'")},
      {"squelch: Normal", "squelch: Normal\n  squelch: Tight", "channels 1.squelch", "given twice",
       lineOf("squelch: Normal") + 1},
  };
  for (const Case& c : cases) {
    const TextError e = refused(replaced(text, c.from, c.to));
    EXPECT_EQ(e.field, c.field) << c.to;
    EXPECT_NE(e.message.find(c.message), std::string::npos) << e.message;
    if (c.message != "malformed") {
      EXPECT_EQ(e.line, c.line) << c.to;
    }
  }
  // Members and a rest run that is not hex.
  const std::string zone = dumpText(CodePlugBuilder()
                                        .channel(0, "One")
                                        .named(ListId::Zones, 0, "Z")
                                        .members(ListId::Zones, 0, {1})
                                        .bytes());
  EXPECT_EQ(refused(replaced(zone, "members: [1]", "members: [1, x]")).field, "zones 1.members");
  EXPECT_EQ(refused(std::regex_replace(zone, std::regex("xor: [0-9a-f]{2}"), "xor: zz",
                                       std::regex_constants::format_first_only))
                .field,
            "rest");
  // A fill longer than the file is refused before anything is allocated for it; a text
  // that gives no loadable file is refused as a whole.
  EXPECT_EQ(refused("rest:\n  - at: 0\n    fill: ff\n    count: 4294967295\n").line, 2);
  EXPECT_EQ(refused(text + "radio: {}\n").message, "given twice");  // a section given twice
  EXPECT_EQ(refused(text + "- at: 0x40234\n  xor: 0000\n").message,  // one byte past the end
            "bytes beyond the end of the file");
  // A text nested beyond a code plug's shape is refused where it leaves that shape, however
  // deep it goes on; a second document is not silently dropped.
  EXPECT_EQ(refused("rest:\n- at: 0\n  xr: 00\n").field, "rest.xr");  // a misspelt key is not passed over
  const TextError deep =
      refused("radio:\n  frequency_range: " + std::string(200000, '[') + std::string(200000, ']'));
  EXPECT_EQ(deep.line, 2);
  EXPECT_EQ(deep.field, "radio.frequency_range");
  EXPECT_EQ(refused(text + "---\nradio: {}\n").line, int(std::count(text.begin(), text.end(), '\n')) + 1);
  EXPECT_NE(refused("radio:\n  frequency_range: 0\n").message.find("no DfuSe signature"), std::string::npos);
}

// An alias would read as no value, a tag would be passed over: the text spells each value out.
TEST(TextForm, AnchorsAliasesAndTagsAreRefusedAtTheirLine) {
  const std::string text = dumpText(CodePlugBuilder().channel(0, "One").bytes());
  const auto refusedAt = [&](const std::string& from, const std::string& to, const std::string& message) {
    const TextError e = refused(replaced(text, from, to));
    EXPECT_EQ(e.line,
              int(std::count(text.begin(), text.begin() + std::ptrdiff_t(text.find(from)), '\n')) + 1);
    EXPECT_EQ(e.message, message) << to;
  };
  refusedAt("name: 'One'", "name: &n 'One'", "an anchor (&n): write each value where it is used");
  refusedAt("squelch: Normal", "squelch: *n", "an alias (*n): write the value itself");
  refusedAt("colour_code: 1", "colour_code: *c", "an alias (*c): write the value itself");
  refusedAt("name: 'One'", "name: !!binary T25l", "a tag (!!binary): write the value as dump writes it");
  refusedAt("channels:", "channels: !list", "a tag (!list): write the value as dump writes it");
}

// A suffix CRC that matched is computed over the built file, edited or not; one that did not
// is written as it stands; a text from before it was stated holds it in the rest.
TEST(TextForm, SuffixCrcIsComputedWhenItMatchedAndKeptAsItStandsOtherwise) {
  auto file = CodePlugBuilder().channel(0, "One").bytes();
  const auto renamed = [](const std::string& text) { return build(replaced(text, "name: 'One'", "name: 'Two'")); };
  EXPECT_TRUE(suffixCrcMatches(renamed(dumpText(file))));
  setU32le(file, kFileSuffixCrc, 0x04030201);  // does not match
  const std::string text = dumpText(file);
  EXPECT_NE(text.find("\nsuffix_crc: 0x04030201"), std::string::npos);
  EXPECT_EQ(storedSuffixCrc(renamed(text)), 0x04030201u);
  auto other = file;  // two stored CRCs that both fail to match, and differ
  setU32le(other, kFileSuffixCrc, 0x04030202);
  EXPECT_EQ(diffFiles(file, other), std::vector<std::string>{"suffix_crc: 0x04030201 -> 0x04030202"});
  const std::string suffix = "xor: ffff11df83041a0155464410";
  const std::string old = std::regex_replace(text, std::regex("suffix_crc: .*\n"), "");
  EXPECT_EQ(build(replaced(old, suffix, suffix + "01020304")), file);
}

TEST(TextForm, DiffReportsChangesAddsRemovesAndMoves) {
  CodePlugBuilder b;
  b.channel(0, "A").channel(1, "B").channel(2, "C").contact(0, "Bob", 1).contact(1, "Ann", 2);
  b.record(ListId::Channels, 2)[3] |= 0x04;  // a reserved bit: moved with C, no rest difference
  const auto before = b.bytes();
  EXPECT_TRUE(diffFiles(before, before).empty());

  CodePlugDocument doc;
  const auto saved = [&] {  // as a save writes it: the suffix CRC over the edited bytes
    setSuffixCrc(doc.workingImage);
    return doc.workingImage;
  };
  doc.adoptImage(before);
  moveChannel(doc, 2, 2);  // C to the top: A and B shift down
  EXPECT_EQ(diffFiles(before, saved()),
            (std::vector<std::string>{"channels:", "  moved 1 -> 2 'A'", "  moved 2 -> 3 'B'",
                                      "  moved 3 -> 1 'C'"}));

  doc.adoptImage(before);
  deleteContact(doc, 1);
  addChannel(doc);
  EXPECT_EQ(diffFiles(before, saved()),
            (std::vector<std::string>{"contacts:", "  removed 1 'Bob'", "  moved 2 -> 1 'Ann'",
                                      "channels:", "  added 4 'Channel 4'"}));

  doc.adoptImage(before);
  doc.image()[0x2083] ^= 0x10;  // a settings bit no field describes; the CRC left as it was
  const auto lines = diffFiles(before, doc.workingImage);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("suffix_crc: matches -> 0x", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1], "rest:");
  EXPECT_NE(lines[2].find("(general_settings)"), std::string::npos) << lines[2];
}
