#pragma once
// Checks a code plug for what the radio accepts but users get wrong: references to
// records that are not there, a digital channel nobody is called on, a transmit
// frequency the radio cannot use, duplicates. The image is read as stored, so a file
// that was never packed is reported as it is; nothing is changed.

#include <string>
#include <vector>

#include "codeplug/CodePlugDocument.h"

namespace pw {

struct Finding {
  std::string section;  // "channels", "zones", "one-touch access", ...
  int record = 0;       // the record's number in its section
  std::string text;     // one plain sentence
  bool operator==(const Finding&) const = default;
};

// Every finding, grouped by section in tab order and by record; empty without an image.
std::vector<Finding> validate(const CodePlugDocument& doc);

// "channels 12: The channel is digital but has no contact."
std::string findingLine(const Finding& f);

}  // namespace pw
