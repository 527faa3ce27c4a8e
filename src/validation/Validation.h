#pragma once
// Checks a code plug for what the radio accepts but users get wrong: references to
// records that are not there, a digital channel nobody is called on, a transmit
// frequency the radio cannot use, duplicates. The image is read as stored, so a file
// that was never packed is reported as it is; nothing is changed.

#include <optional>
#include <string>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/PlugSection.h"
#include "codeplug/RecordList.h"

namespace pw {

// Findings are about the records of one-touch access, number keys, the seven lists,
// DTMF decode and GPS: "one-touch access", "number keys", "channels", ... (empty for the rest).
const char* sectionName(PlugSection section);
// The list a section's records belong to, if it is one.
std::optional<ListId> listOf(PlugSection section);

struct Finding {
  PlugSection section = PlugSection::Channels;
  int record = 0;    // the record's number in its section
  std::string text;  // one plain sentence
  bool operator==(const Finding&) const = default;
};

// Every finding, grouped by section in tab order and by record; empty without an image.
std::vector<Finding> validate(const CodePlugDocument& doc);

// "channels 12: The channel is digital but has no contact."
std::string findingLine(const Finding& f);

}  // namespace pw
