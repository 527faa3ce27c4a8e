#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "settings/BasicInfo.h"
#include "settings/GeneralSettings.h"
#include "settings/MenuSettings.h"
#include "support/CodePlugBuilder.h"
#include "support/FieldCheck.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using Bytes = std::vector<std::uint8_t>;

class SettingsTest : public ::testing::Test {
 protected:
  void load(const CodePlugBuilder& b = CodePlugBuilder()) { ASSERT_EQ(b.loadInto(doc), 0); }
  Bytes bytes(std::size_t at, std::size_t n) const { return pwtest::copyOf(doc.bytes(at, n)); }
  Bytes general(GeneralBytes f) const { return bytes(kGeneralSettings + bytesOf(f).byte, bytesOf(f).length); }
  pwtest::ScriptedPrompt prompt;
  CodePlugDocument doc{&prompt};
};

// ---- field tables: each setter moves its own bits and no other ----

// Sets `change` on a block filled with `background` and returns the bits that moved.
template <typename Change>
Bytes movedBits(CodePlugDocument& doc, std::size_t at, std::size_t n, std::uint8_t background,
                Change change) {
  std::memset(doc.bytes(at, n).data(), background, n);
  change();
  const ByteSpan s = doc.bytes(at, n);
  Bytes moved(n);
  for (std::size_t i = 0; i < n; ++i) moved[i] = s[i] ^ background;
  return moved;
}

TEST_F(SettingsTest, EveryGeneralAndMenuSetterMovesOnlyItsOwnBits) {
  load();
  pwtest::expectEachFieldWritesOnlyItsBits(
      doc, kGeneralSettings, kGeneralSettingsSize, kGeneralFields,
      [&](GeneralField f, std::uint32_t v) { return setGeneralField(doc, f, v); },
      [&](GeneralField f) { return generalField(doc, f); });
  for (const auto& [field, bits] : kGeneralFields)
    EXPECT_FALSE(setGeneralField(doc, field, fieldMask(bits) + 1u)) << "too wide, refused";
  pwtest::expectEachFieldWritesOnlyItsBits(
      doc, kMenuSettings, kMenuSettingsSize, kMenuFields,
      [&](MenuField f, std::uint32_t v) { return setMenuField(doc, f, v); },
      [&](MenuField f) { return menuField(doc, f); });
  for (std::uint8_t background : {0x00, 0xFF}) {
    // The fields of whole bytes: a text or password touches its own bytes (and the
    // power-on password its flag) only.
    auto within = [&](GeneralBytes f, const Bytes& moved, std::size_t alsoByte = 0,
                      std::uint8_t alsoBits = 0) {
      for (std::size_t i = 0; i < moved.size(); ++i) {
        const bool own = i >= bytesOf(f).byte && i < std::size_t(bytesOf(f).byte + bytesOf(f).length);
        const std::uint8_t allowed = own ? 0xFF : i == alsoByte ? alsoBits : 0;
        EXPECT_EQ(moved[i] & ~allowed, 0) << "bytes field " << int(f) << " moved byte " << i;
      }
    };
    const std::uint8_t flag = 1u << bitsOf(GeneralField::PowerOnPasswordOff).shift;
    const std::size_t flagByte = bitsOf(GeneralField::PowerOnPasswordOff).byte;
    for (const char* text : {"12345678", "", "abcdefghijklmnopq"}) {
      const auto moved = [&](auto change) {
        return movedBits(doc, kGeneralSettings, kGeneralSettingsSize, background, change);
      };
      for (GeneralBytes f : {GeneralBytes::RadioName, GeneralBytes::BootLine1, GeneralBytes::BootLine2})
        within(f, moved([&] { setGeneralText(doc, f, text); }));
      within(GeneralBytes::PowerOnPassword, moved([&] { setPowerOnPassword(doc, text); }), flagByte, flag);
      within(GeneralBytes::RadioProgramPassword, moved([&] { setRadioProgramPassword(doc, text); }));
      within(GeneralBytes::PcProgrammingPassword, moved([&] { setPcProgrammingPassword(doc, text); }));
    }
  }
}

TEST_F(SettingsTest, NothingIsReadOrWrittenWithoutACodePlug) {
  EXPECT_FALSE(setGeneralField(doc, GeneralField::RadioId, 5));
  EXPECT_EQ(setRadioId(doc, "99999999"), RadioIdResult::NotANumber);
  setGeneralText(doc, GeneralBytes::RadioName, "x");
  setPowerOnPassword(doc, "12345678");
  EXPECT_TRUE(checkPowerOnPassword(doc, "1", PasswordExit::Key));
  EXPECT_TRUE(checkRadioProgramPassword(doc, "1"));
  EXPECT_EQ(generalText(doc, GeneralBytes::RadioName), "");
  EXPECT_EQ(radioProgramPasswordText(doc), "");
  EXPECT_FALSE(setMenuEntryOffered(doc, MenuField::UtilitiesGps, true));
  EXPECT_FALSE(menuEntryOffered(doc, MenuField::UtilitiesGps));
  EXPECT_TRUE(prompt.shown.empty());
  const BasicInfo info = readBasicInfo(doc);
  EXPECT_EQ(info.frequencyRange, -1);
  EXPECT_EQ(info.serialNumber + info.modelName + info.lastProgrammedDate, "");
}

// ---- general settings ----

TEST_F(SettingsTest, TextsStoreTheCharacterInTheLowByteAndStopAtZeroOrFF) {
  load();
  setGeneralText(doc, GeneralBytes::BootLine1, "  Hello\xE9 world \t");  // trimmed, cut at 10
  EXPECT_EQ(general(GeneralBytes::BootLine1),
            (Bytes{'H', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0, 0xE9, 0, ' ', 0, 'w', 0, 'o', 0, 'r', 0}));
  EXPECT_EQ(generalText(doc, GeneralBytes::BootLine1), "Hello\xE9 wor");
  // Reading neither trims nor falls back; a low byte 0xFF ends the text whatever follows.
  setGeneralText(doc, GeneralBytes::RadioName, "AB CD");
  doc.bytes(kGeneralSettings + 0x70, 32)[0] = ' ';
  EXPECT_EQ(generalText(doc, GeneralBytes::RadioName), " B CD");
  doc.bytes(kGeneralSettings + 0x70, 32)[4] = 0xFF;
  EXPECT_EQ(generalText(doc, GeneralBytes::RadioName), " B");
  setGeneralText(doc, GeneralBytes::RadioName, "   ");
  EXPECT_EQ(general(GeneralBytes::RadioName), Bytes(32, 0));
  EXPECT_EQ(generalText(doc, GeneralBytes::RadioName), "");
  // Sixteen characters fill the field: nothing after it is read.
  setGeneralText(doc, GeneralBytes::RadioName, "0123456789ABCDEFG");
  EXPECT_EQ(generalText(doc, GeneralBytes::RadioName), "0123456789ABCDEF");
}

TEST_F(SettingsTest, RadioIdStoresUpTo24BitsAndRefusesLargerWithTheMessage) {
  load();
  EXPECT_EQ(setRadioId(doc, " 2345678 "), RadioIdResult::Stored);
  EXPECT_EQ(bytes(kGeneralSettings + 0x44, 4), (Bytes{0xCE, 0xCA, 0x23, 0x00}));
  EXPECT_EQ(setRadioId(doc, "16777215"), RadioIdResult::Stored);
  EXPECT_EQ(generalField(doc, GeneralField::RadioId), kMaxRadioId);
  EXPECT_EQ(setRadioId(doc, "16777216"), RadioIdResult::TooLarge);
  EXPECT_EQ(setRadioId(doc, ""), RadioIdResult::NotANumber);
  EXPECT_EQ(setRadioId(doc, "12a"), RadioIdResult::NotANumber);
  EXPECT_EQ(setRadioId(doc, "99999999999999999999999"), RadioIdResult::NotANumber);
  EXPECT_EQ(generalField(doc, GeneralField::RadioId), kMaxRadioId);
  EXPECT_EQ(prompt.texts("error"), std::vector<std::string>{"Invalid Radio ID number (General tab)"});
}

// The packing of typed digits and the text of a stored nibble above 9 are proven through the
// General tab's password box (settingsforms_uitest).
TEST_F(SettingsTest, PowerOnPasswordAndItsFlag) {
  load();
  EXPECT_EQ(powerOnPasswordText(doc), "") << "the builder's plug has it off";
  setPowerOnPassword(doc, "12345678");
  EXPECT_TRUE(doc.hasPasswords());
  EXPECT_EQ(powerOnPasswordText(doc), "12345678");
  for (const char* invalid : {"1234567", "1234567x", "123456789", ""}) {
    setPowerOnPassword(doc, "12345678");
    setPowerOnPassword(doc, invalid);
    EXPECT_EQ(general(GeneralBytes::PowerOnPassword), Bytes(4, 0)) << invalid;
    EXPECT_EQ(generalField(doc, GeneralField::PowerOnPasswordOff), 1u) << invalid;
    EXPECT_EQ(powerOnPasswordText(doc), "");
  }
  EXPECT_FALSE(doc.hasPasswords());
}

TEST_F(SettingsTest, RadioProgramAndPcProgrammingPasswords) {
  load();  // the stored bytes of both are proven through the General tab's boxes
  setRadioProgramPassword(doc, "87654321");
  EXPECT_EQ(radioProgramPasswordText(doc), "87654321");
  setRadioProgramPassword(doc, "");
  // Any byte below 0xFF shows all eight digits.
  doc.bytes(kGeneralSettings + 0x5F, 1)[0] = 0x12;
  EXPECT_EQ(radioProgramPasswordText(doc), "??????12");

  setPcProgrammingPassword(doc, " abc ");
  EXPECT_EQ(general(GeneralBytes::PcProgrammingPassword), (Bytes{'a', 'b', 'c', 0, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(pcProgrammingPasswordText(doc), "abc");
  setPcProgrammingPassword(doc, "123456789");
  EXPECT_EQ(general(GeneralBytes::PcProgrammingPassword), (Bytes{'1', '2', '3', '4', '5', '6', '7', '8'}));
  EXPECT_EQ(pcProgrammingPasswordText(doc), "12345678") << "unterminated: eight bytes read";
  setPcProgrammingPassword(doc, "");
  EXPECT_EQ(general(GeneralBytes::PcProgrammingPassword), Bytes(8, 0xFF));
  doc.bytes(kGeneralSettings + 0x60, 3)[0] = 0x07;
  doc.bytes(kGeneralSettings + 0x60, 3)[1] = 0xE9;
  EXPECT_EQ(pcProgrammingPasswordText(doc), "??");
}

// The messages on Enter, Escape and leaving are proven through the General tab's boxes
// (settingsforms_uitest); what a check does to the stored password is proven here.
TEST_F(SettingsTest, PasswordChecksTurnAShortPasswordOffAndKeepAFullOne) {
  load();
  setPowerOnPassword(doc, "12345678");
  setRadioProgramPassword(doc, "11112222");
  EXPECT_TRUE(checkPowerOnPassword(doc, "12345678", PasswordExit::Key));
  EXPECT_TRUE(checkRadioProgramPassword(doc, "11112222"));
  EXPECT_EQ(radioProgramPasswordText(doc), "11112222");
  EXPECT_FALSE(checkPowerOnPassword(doc, "12", PasswordExit::Leave));
  EXPECT_FALSE(checkRadioProgramPassword(doc, " 1111222 "));
  EXPECT_EQ(generalField(doc, GeneralField::PowerOnPasswordOff), 1u);
  EXPECT_EQ(general(GeneralBytes::PowerOnPassword), Bytes(4, 0));
  EXPECT_EQ(general(GeneralBytes::RadioProgramPassword), Bytes(4, 0xFF));
  // Empty boxes turn the password off silently.
  setRadioProgramPassword(doc, "11112222");
  EXPECT_TRUE(checkRadioProgramPassword(doc, ""));
  EXPECT_EQ(radioProgramPasswordText(doc), "");
  EXPECT_TRUE(checkPowerOnPassword(doc, " ", PasswordExit::Leave));
  EXPECT_EQ(prompt.texts("error").size(), 2u);
}

TEST_F(SettingsTest, DropDownListsCarryTheirStoredValues) {
  using enum GeneralField;
  auto ends = [](GeneralField f) {
    const Choices& c = generalChoices(f);
    return c.front().text + "=" + std::to_string(c.front().code) + " " + std::to_string(c.size()) + " " +
           c.back().text + "=" + std::to_string(c.back().code);
  };
  EXPECT_EQ(ends(VoxSensitivity), "1=1 10 10=10");
  EXPECT_EQ(ends(TxPreambleDuration), "0 ms=0 145 8640 ms=144");
  EXPECT_EQ(ends(RxLowBatteryInterval), "0 secs=0 128 635 secs=127");
  EXPECT_EQ(ends(CallAlertToneDuration), "Continuous=0 241 1200 secs=240");
  EXPECT_EQ(ends(ScanDigitalHangTime), "500 ms=5 20 10000 ms=100");
  EXPECT_EQ(ends(ScanAnalogueHangTime), "0 ms=0 21 10000 ms=100");
  EXPECT_EQ(ends(LoneWorkerResponseTime), "1 min=1 255 255 mins=255");
  EXPECT_EQ(ends(LoneWorkerReminderTime), "1 sec=1 255 255 secs=255");
  EXPECT_EQ(ends(GroupCallHangTime), "0 ms=0 15 7000 ms=70");
  EXPECT_EQ(ends(KeypadLockTime), "Manual=255 4 15 secs=3");
  EXPECT_EQ(generalChoices(TalkPermitTone)[3].text, "Digital & Analogue");
  EXPECT_TRUE(generalChoices(RadioId).empty());
  // Values no entry carries select nothing (more of them through the General and Menus tabs).
  EXPECT_EQ(indexOfCode(generalChoices(KeypadLockTime), 0), -1);
  EXPECT_EQ(indexOfCode(generalChoices(GroupCallHangTime), 10), 2);
  EXPECT_EQ(menuHangTimeChoices()[30].text, "30 secs");
}

// The menu entries (two of them inverted) are proven through the Menus tab's toggles.

// ---- basic information ----

TEST_F(SettingsTest, BasicInformationDecodesEveryField) {
  CodePlugBuilder b(3, "HT780");
  const std::uint8_t hw[] = {0, 1, 0, 2}, mcu[] = {'D', 0x01, 0x23, 0x45}, id[] = {1, 0, 0, 0, 0};
  const std::uint8_t date[] = {0x20, 0x16, 0x06, 0x28, 0x13, 0x05, 0x09}, cps[] = {1, 2, 3, 4};
  for (int i = 0; i < 4; ++i)
    b.fileByte(0x159 + i, hw[i]).fileByte(0x165 + i, mcu[i]).fileByte(0x222D + i, cps[i]);
  for (int i = 0; i < 5; ++i) b.fileByte(0x16D + i, id[i]);
  for (int i = 0; i < 7; ++i) b.fileByte(0x172 + i, std::uint8_t('A' + i)).fileByte(0x2226 + i, date[i]);
  load(b);
  BasicInfo info = readBasicInfo(doc);
  EXPECT_EQ(info.frequencyRange, 3);
  EXPECT_EQ(info.modelName, "HT780 (Handheld A)");
  EXPECT_EQ(info.serialNumber, "The maker does not supply this ");
  EXPECT_EQ(info.hardwareVersion, "V01.02");
  EXPECT_EQ(info.cpsSoftwareVersion, "V12.34");
  EXPECT_EQ(info.mcuVersion, "D012.345");
  EXPECT_EQ(info.uniqueDeviceId, "GFEDCBA0000000000001");
  EXPECT_EQ(info.lastProgrammedDate, "2016.06.28  13:05:09");

  // Out of range: a BCD nibble above 9 shows the character after '9'; a version byte
  // shows its whole number; an unknown range code selects nothing.
  doc.workingImage[0x2229] = 0x1A;
  doc.workingImage[0x159] = 12;
  doc.workingImage[0x136] = 4;
  info = readBasicInfo(doc);
  EXPECT_EQ(info.lastProgrammedDate, "2016.06.1:  13:05:09");
  EXPECT_EQ(info.hardwareVersion, "V121.02");
  EXPECT_EQ(info.frequencyRange, -1);
  // A first byte of 0xFF: nothing to show.
  for (std::size_t at : {0x159, 0x165, 0x16D, 0x2226, 0x222D, 0x125}) doc.workingImage[at] = 0xFF;
  info = readBasicInfo(doc);
  EXPECT_EQ(info.hardwareVersion + info.mcuVersion + info.uniqueDeviceId + info.lastProgrammedDate +
                info.cpsSoftwareVersion + info.modelName,
            "");
}

TEST_F(SettingsTest, ModelNameSuffixesOnlyForTheExactNames) {
  const std::pair<const char*, const char*> cases[] = {{"HT680", "HT680 (Handheld B)"},
                                                       {"HT780X", "HT780X"},
                                                       {"ht780", "ht780"},
                                                       {"H\x01T\x80"
                                                        "680",
                                                        "HT680 (Handheld B)"}};
  for (const auto& [stored, shown] : cases) {
    load(CodePlugBuilder(2, stored));
    EXPECT_EQ(readBasicInfo(doc).modelName, shown) << stored;
  }
  CodePlugBuilder full(2, "0123456789ABCDEFGH");  // sixteen characters, no terminator
  load(full);
  EXPECT_EQ(readBasicInfo(doc).modelName, "0123456789ABCDEF");
}

}  // namespace
}  // namespace pw
