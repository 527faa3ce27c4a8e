// Writes the sample code plug the editor opens on its first start.

#include <cstdio>

#include "codeplug/Layout.h"
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
  b.writeTo(argv[1]);
  return 0;
}
