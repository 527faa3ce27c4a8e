// Writes the sample code plug the editor opens on its first start.

#include <cstdio>

#include "channels/ChannelRecord.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/Encodings.h"
#include "codeplug/Layout.h"
#include "settings/MenuSettings.h"
#include "support/CodePlugBuilder.h"

using pw::ListId;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-sample OUT.rdt\n");
    return 2;
  }
  pwtest::CodePlugBuilder b(2);
  const char* contacts[] = {"Local Net", "Regional", "World Wide", "Pat Z9ZZ", "Alex Q7QQ", "Club Net"};
  const unsigned ids[] = {9, 2, 91, 2345678, 2345679, 3100};
  for (int i = 0; i < 6; ++i) b.contact(i, contacts[i], ids[i], ids[i] < 1000000 ? 1 : 2, i == 0);
  const char* channels[] = {"Repeater A TS1", "Repeater A TS2",  "Simplex 433.450", "Simplex 446.006",
                            "Hotspot",        "Calling 433.500", "Repeater B TS1",  "Repeater B TS2"};
  for (int i = 0; i < 8; ++i) {
    const bool analogue = i == 2 || i == 5;
    b.channel(i, channels[i], analogue ? 1 : 2);
    if (!analogue) b.channelContact(i, 1 + i % 3);
  }
  b.named(ListId::RxGroupLists, 0, "Local groups").members(ListId::RxGroupLists, 0, {1, 2, 6});
  b.named(ListId::Zones, 0, "Home").members(ListId::Zones, 0, {1, 2, 3, 4, 5});
  b.named(ListId::Zones, 1, "Away").members(ListId::Zones, 1, {6, 7, 8});
  b.named(ListId::ScanLists, 0, "Local scan").members(ListId::ScanLists, 0, {1, 2, 3});
  b.named(ListId::TextMessages, 0, "On my way").named(ListId::TextMessages, 1, "QRT for today, 73");
  b.named(ListId::EmergencySystems, 0, "System 1").named(ListId::EmergencySystems, 1, "Hotspot alarm");
  b.u16(pw::kEmergencySystems + pw::kEmergencySystemSize + 36, 5);  // reverts to "Hotspot"
  b.u8(pw::kEmergencySection + 1, 10).u8(pw::kEmergencySection + 2, 10).u8(pw::kEmergencySection + 3, 2);
  // No privacy keys set: the radio keeps an unset key as all 0xFF.
  for (std::size_t i = pw::kEnhancedPrivacyKeys; i < pw::kEmergencySection; ++i) b.u8(i, 0xFF);

  // DTMF: four systems with the usual timings, a few encode strings, one decode entry.
  auto digits = [&](std::size_t at, const char* text) {
    pw::packDtmfDigits(b.image().subspan(at, 16), text);
  };
  for (int s = 0; s < 4; ++s) {
    const std::size_t at = pw::kDtmf + 48 * s;
    const std::uint8_t timings[] = {30, 10, 10, 10, 10, 0, 10, 10, std::uint8_t(s == 0 ? 0x05 : 0x00)};
    for (int i = 0; i < 9; ++i) b.u8(at + i, timings[i]);
    digits(at + 16, s == 0 ? "A1" : "");
    digits(at + 32, "");
  }
  const char* encode[] = {"123", "#", "A1*", "9999"};
  for (int e = 0; e < 32; ++e) digits(pw::kDtmf + 192 + 16 * e, e < 4 ? encode[e] : "");
  digits(pw::kDtmfDecodeEntries, "12345");
  b.u8(pw::kDtmfDecodeEntries + 17, 1).u8(pw::kDtmfDecodeEntries + 18, 1).u8(pw::kDtmfDecodeEntries + 19, 2);
  b.u16(pw::kDtmfDecodeEntries + 20, 3);
  for (int d = 1; d < 8; ++d) digits(pw::kDtmfDecodeEntries + 24 * d, "");

  // GPS system 1 reports to Pat every two minutes on Repeater A TS1.
  b.u16(pw::kGps, 1).u8(pw::kGps + 2, 4).u16(pw::kGps + 4, 4);
  // Side buttons: Monitor, One Touch Access 1, Tx power, Scan; long press 1000 ms.
  b.u8(0x2102, 5).u8(0x2103, 7).u8(0x2104, 4).u8(0x2105, 14).u8(0x2111, 4);
  b.oneTouch(0, 1, 0, 1, 4).oneTouch(1, 1, 1, 2, 5).oneTouch(2, 2, 0, 1, 0);
  b.numberKey(1, 1).numberKey(2, 2).numberKey(3, 3);
  // The radio information block and the programming stamps.
  const std::uint8_t hardware[] = {0, 1, 0, 2}, mcu[] = {'D', 0x01, 0x30, 0x05},
                     deviceId[] = {0x39, 0x30, 0, 0, 0};
  const std::uint8_t date[] = {0x20, 0x16, 0x06, 0x28, 0x13, 0x05, 0x09}, cps[] = {0, 1, 2, 3};
  for (int i = 0; i < 4; ++i)
    b.fileByte(0x159 + i, hardware[i]).fileByte(0x165 + i, mcu[i]).fileByte(0x222D + i, cps[i]);
  for (int i = 0; i < 5; ++i) b.fileByte(0x16D + i, deviceId[i]);
  for (int i = 0; i < 7; ++i) b.fileByte(0x172 + i, std::uint8_t("7RPQA20"[i])).fileByte(0x2226 + i, date[i]);
  // General settings: name, ID, boot-up text and everyday timings.
  const std::size_t g = pw::kGeneralSettings;
  auto text = [&](std::size_t at, const char* t) {
    for (int i = 0; t[i]; ++i) b.u8(at + 2 * i, std::uint8_t(t[i]));
  };
  text(g + 0x70, "PW Handheld");
  text(g + 0x00, "Plugwright");
  text(g + 0x14, "Welcome");
  b.u8(g + 0x44, 0xCE).u8(g + 0x45, 0xCA).u8(g + 0x46, 0x23);  // radio ID 2345678
  b.u8(g + 0x48, 6).u8(g + 0x49, 30).u8(g + 0x4A, 30).u8(g + 0x4B, 3).u8(g + 0x4E, 24).u8(g + 0x4F, 24);
  b.u8(g + 0x50, 1).u8(g + 0x51, 10).u8(g + 0x53, 10).u8(g + 0x54, 10).u8(g + 0x55, 2).u8(g + 0x56, 0xFF);
  b.u8(g + 0x41,
       std::uint8_t(0x20 | 0x04 | 0x02 | 0x40));  // no power-on password, tones on, talk permit digital
  // Menus: a hang time of 10 s and every entry offered.
  const std::uint8_t menus[] = {10, 0xFF, 0xFF, 0xBF, 0x03};
  for (int i = 0; i < 5; ++i) b.u8(pw::kMenuSettings + i, menus[i]);
  // Frequencies go in through the channel model, as the tab stores a typed value.
  pw::CodePlugDocument doc;
  if (b.loadInto(doc) != 0) return 1;
  const char* frequencies[][2] = {{"439.3375", "430.9375"}, {"439.3375", "430.9375"}, {"433.450", "433.450"},
                                  {"446.00625", "446.00625"}, {"438.800", "438.800"}, {"433.500", "433.500"},
                                  {"439.6125", "430.6125"}, {"439.6125", "430.6125"}};
  for (int i = 0; i < 8; ++i) {
    pw::setChannelFrequency(doc, i, pw::ChannelField::RxFrequency, frequencies[i][0]);
    pw::setChannelFrequency(doc, i, pw::ChannelField::TxFrequency, frequencies[i][1]);
  }
  // The file loaded with a matching suffix CRC, so saving computes it over the finished bytes.
  return doc.saveCodePlug(argv[1]) == 0 ? 0 : 1;
}
