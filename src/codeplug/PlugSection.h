#pragma once
// The parts of the code plug the editor shows, one name for each that the window and its
// tabs share: the blocks of settings and the tables of numbered records, in the order of
// the tabs.

namespace pw {

enum class PlugSection {
  Radio,
  GeneralSettings,
  Menus,
  SideButtons,
  OneTouchAccess,  // records 1..6
  NumberKeys,      // keys 0..9
  TextMessages,    // the lists: record numbers from 1
  EnhancedPrivacyKeys,
  BasicPrivacyKeys,
  EmergencySettings,
  EmergencySystems,
  Contacts,
  RxGroupLists,
  Zones,
  ScanLists,
  Channels,
  DtmfSystems,
  DtmfEncode,
  DtmfDecode,  // decode entries 1..8
  Gps,         // GPS systems 1..16
};
constexpr int kPlugSectionCount = 20;

}  // namespace pw
