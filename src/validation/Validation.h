#pragma once
// Checks a code plug for what the radio accepts but users get wrong: references to
// records that are not there, a digital channel nobody is called on, a transmit
// frequency the radio cannot use, duplicates. The image is read as stored, so a file
// that was never packed is reported as it is; nothing is changed.

#include <optional>
#include <string>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/RecordList.h"

namespace pw {

// Where a finding is, in the order of the editor's tabs.
enum class FindingSection {
  OneTouchAccess,    // records 1..6
  NumberKeys,        // keys 0..9
  TextMessages,      // the lists: record numbers from 1
  EmergencySystems,
  Contacts,
  RxGroupLists,
  Zones,
  ScanLists,
  Channels,
  DtmfDecode,        // decode entries 1..8
  Gps,               // GPS systems 1..16
};
constexpr int kFindingSectionCount = 11;
// "one-touch access", "number keys", "channels", ...
const char* sectionName(FindingSection section);
// The list a section's records belong to, if it is one.
std::optional<ListId> listOf(FindingSection section);

struct Finding {
  FindingSection section = FindingSection::Channels;
  int record = 0;    // the record's number in its section
  std::string text;  // one plain sentence
  bool operator==(const Finding&) const = default;
};

// Every finding, grouped by section in tab order and by record; empty without an image.
std::vector<Finding> validate(const CodePlugDocument& doc);

// "channels 12: The channel is digital but has no contact."
std::string findingLine(const Finding& f);

}  // namespace pw
