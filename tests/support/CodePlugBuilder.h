#pragma once
// Makes valid RDT files in memory so that every test states its own data in a few
// lines. A fresh builder holds a clean code plug: DfuSe framing with a correct CRC,
// a radio information block, no passwords, and every list empty with its
// empty-record values, so loading it changes nothing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/RecordList.h"

namespace pwtest {

class CodePlugBuilder {
public:
  explicit CodePlugBuilder(int frequencyRangeCode = 2, std::string_view modelName = "PW-1000");

  // ---- records ----
  // Makes record `index` of a list a fresh named record (the list's initEntry).
  CodePlugBuilder& named(pw::ListId list, int index, std::string_view name);
  // Fills records 0..count-1 with "<prefix><n>" names.
  CodePlugBuilder& fill(pw::ListId list, int count, std::string_view prefix);
  // Fills every list to its capacity ("Ch 1", "Contact 1", "Zone 1", ...): the full code
  // plug the timings run on.
  CodePlugBuilder& fillEveryList();
  pw::MutableByteSpan record(pw::ListId list, int index);

  CodePlugBuilder& contact(int index, std::string_view name, std::uint32_t callId, int callType = 1,
                           bool rxTone = false);
  // A channel: mode 1 analogue, 2 digital.
  CodePlugBuilder& channel(int index, std::string_view name, int mode = 2);
  CodePlugBuilder& channelContact(int index, int contactNumber);
  // Member slots of a group list, zone or scan list (written as given, gaps included).
  CodePlugBuilder& members(pw::ListId owner, int index, const std::vector<int>& values);
  // One-touch entry k (0..5): mode 0 none, 1 digital, 2 analogue; call type; byte 1; contact word.
  CodePlugBuilder& oneTouch(int k, int mode, int callType, int message, int contactNumber);
  CodePlugBuilder& numberKey(int k, int contactNumber);

  // ---- raw bytes (image offsets) ----
  CodePlugBuilder& u8(std::size_t imageOffset, std::uint8_t v);
  CodePlugBuilder& u16(std::size_t imageOffset, std::uint16_t v);
  CodePlugBuilder& fileByte(std::size_t fileOffset, std::uint8_t v);
  pw::MutableByteSpan image();

  // The finished file: the DfuSe suffix CRC is recomputed over the current bytes.
  std::vector<std::uint8_t> bytes() const;
  // Writes the file and returns its path (under the test temporary folder).
  std::string writeTo(const std::string& fileName) const;
  // Loads the file into a document through the ordinary load path; returns the load code.
  int loadInto(pw::CodePlugDocument& doc, const std::string& fileName = "builder.rdt") const;

private:
  pw::CodePlugDocument doc_;
};

// The full code plug the timings share: every list full, each zone and scan list holding
// 16 channels, each group list 32 contacts, each channel a contact of its own.
const std::vector<std::uint8_t>& fullPlugFile();

// A copy of a document's bytes, to compare before and after an edit.
inline std::vector<std::uint8_t> copyOf(pw::ByteSpan bytes) { return {bytes.begin(), bytes.end()}; }

// A folder for the files a test writes, created on demand; unique per process.
std::string testTempDir();
std::vector<std::uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& data);

}  // namespace pwtest
