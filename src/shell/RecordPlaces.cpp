#include "shell/RecordPlaces.h"

#include <array>
#include <utility>

namespace {

using pw::FindingSection;

struct Entry {
  const char* key;  // the text form's section key
  RecordPlace place;
};

// Every section of the text form, in the order of the tabs.
constexpr std::array kPlaces{
    Entry{"radio", {"BasicTabSheet"}},
    Entry{"general_settings", {"GeneralTabSheet"}},
    Entry{"menus", {"MenusTabSheet"}},
    Entry{"side_buttons", {"ButtonsTabSheet"}},
    Entry{"one_touch_access", {"ButtonsTabSheet", "OneTouchListView"}},
    Entry{"number_keys", {"ButtonsTabSheet", "NumberKeyListView", 0}},
    Entry{"text_messages", {"TextMessageTabSheet", "ListView"}},
    Entry{"enhanced_privacy_keys", {"VoiceEncryptionTabSheet", "EnhancedListView"}},
    Entry{"basic_privacy_keys", {"VoiceEncryptionTabSheet", "BasicListView"}},
    Entry{"emergency_settings", {"EmergencySystemTabSheet"}},
    Entry{"emergency_systems", {"EmergencySystemTabSheet", "ListView"}},
    Entry{"contacts", {"DigitalContactsTabSheet", "ListView"}},
    Entry{"rx_group_lists", {"GroupsTabSheet", "ListView"}},
    Entry{"zones", {"ZonesTabSheet", "ListView"}},
    Entry{"scan_lists", {"ScanListsTabSheet", "ListView"}},
    Entry{"channels", {"ChannelsTabSheet", "ListView"}},
    Entry{"dtmf_systems", {"DTMFTabSheet", "SystemListView"}},
    Entry{"dtmf_encode", {"DTMFTabSheet", "EncodeListView"}},
    Entry{"dtmf_decode", {"DTMFTabSheet", "DecodeListView"}},
    Entry{"gps", {"GPSTabSheet", "ListView"}},
};

// The text form's section of each kind of finding.
constexpr std::array<std::pair<FindingSection, const char*>, pw::kFindingSectionCount> kFindingKeys{{
    {FindingSection::OneTouchAccess, "one_touch_access"},
    {FindingSection::NumberKeys, "number_keys"},
    {FindingSection::TextMessages, "text_messages"},
    {FindingSection::EmergencySystems, "emergency_systems"},
    {FindingSection::Contacts, "contacts"},
    {FindingSection::RxGroupLists, "rx_group_lists"},
    {FindingSection::Zones, "zones"},
    {FindingSection::ScanLists, "scan_lists"},
    {FindingSection::Channels, "channels"},
    {FindingSection::DtmfDecode, "dtmf_decode"},
    {FindingSection::Gps, "gps"},
}};

}  // namespace

std::optional<RecordPlace> placeOfSection(std::string_view key) {
  for (const Entry& e : kPlaces)
    if (key == e.key) return e.place;
  return std::nullopt;
}

RecordPlace placeOf(FindingSection section) {
  for (const auto& [kind, key] : kFindingKeys)
    if (kind == section) return *placeOfSection(key);
  return {"ChannelsTabSheet"};
}
