#pragma once
// What the code plug says about the radio itself: read from the radio information
// block in front of the image and from two stamps inside it. Nothing here writes.

#include <array>
#include <string>

#include "codeplug/CodePlugDocument.h"

namespace pw {

// The radio's band, by the frequency range code at file offset 0x136.
inline constexpr std::array<const char*, 4> kFrequencyRangeTexts = {"136MHz .. 174MHz", "350MHz .. 400MHz",
                                                                    "400MHz .. 480MHz", "450MHz .. 520MHz"};

struct BasicInfo {
  int frequencyRange = -1;  // index into kFrequencyRangeTexts; -1 for any other byte
  std::string modelName;
  std::string serialNumber;
  std::string cpsSoftwareVersion;
  std::string hardwareVersion;
  std::string mcuVersion;
  std::string uniqueDeviceId;
  std::string lastProgrammedDate;
};

// Every text empty and no range without a code plug; a field whose first byte is 0xFF
// is empty too. Characters are 8-bit codes; BCD nibbles above 9 show as the
// characters after '9'.
BasicInfo readBasicInfo(const CodePlugDocument& doc);

}  // namespace pw
