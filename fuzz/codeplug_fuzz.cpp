// Feeds arbitrary 262709-byte images through adoption, the checks, normalisation, display
// texts and the list operations: none of them may crash or touch memory outside the image.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/Normalise.h"
#include "codeplug/RecordList.h"
#include "codeplug/ReferenceWeb.h"
#include "membership/MemberList.h"
#include "membership/ScanListSettings.h"
#include "validation/Validation.h"

using namespace pw;

namespace {

// Answers refusals alternately so both paths of the delete loop run.
class AlternatingPrompt final : public Prompt {
 public:
  RefusalAnswer refuse(const std::string&) override {
    return (flip_ = !flip_) ? RefusalAnswer::GoOn : RefusalAnswer::Stop;
  }
  void error(const std::string&) override {}
  bool warnYesNo(const std::string&) override { return false; }
  Answer question(const std::string&, bool) override { return Answer::No; }
  void inform(const std::string&, const std::string&) override {}

 private:
  bool flip_ = false;
};

// The records of a list of `count` that keep the input's bytes for the checks: a window of
// up to 31 records, placed by the input anywhere up to the list's end; the checks see the
// rest free. Whole lists of random bytes yield some 20000 findings, the same few over and
// over, and checking them cost five times the rest of a run.
std::pair<int, int> checkedWindow(std::uint8_t choice, int count) {
  const int n = std::min(count, choice % 32);
  const int first = (count - n) * (choice / 32) / 7;
  return {first, first + n};
}

// Fills `bytes` bytes from `start` with copies of the first `unit`: laid once, then doubled
// (a few copies rather than one per unit).
void repeatFirst(std::uint8_t* start, std::size_t unit, std::size_t bytes) {
  for (std::size_t at = unit; at < bytes; at *= 2) std::memcpy(start + at, start, std::min(at, bytes - at));
}

// Records [from, to) of a section become copies of record `model`.
void repeatRecord(std::uint8_t* section, std::size_t size, int model, int from, int to) {
  if (from >= to) return;
  std::uint8_t* const start = section + std::size_t(from) * size;
  if (from != model) std::memcpy(start, section + std::size_t(model) * size, size);
  repeatFirst(start, size, std::size_t(to - from) * size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 10) return 0;
  // Documents for every run: their buffers are reused, so a run costs little allocation.
  static AlternatingPrompt prompt;
  static CodePlugDocument doc(&prompt), checked(&prompt);
  // The input repeats over the whole image so that small inputs still reach every
  // section; the first bytes choose the operations and how much the checks see.
  std::vector<std::uint8_t>& file = doc.workingImage;
  file.resize(kRdtFileSize);
  const std::uint8_t* tile = data + 9;
  const std::size_t tileSize = size - 9;
  std::memcpy(file.data(), tile, std::min(tileSize, file.size()));
  repeatFirst(file.data(), tileSize, file.size());
  std::memcpy(file.data(), "DfuSe\x01\x25\x01\x04\x00\x01", 11);
  doc.adoptImage(std::move(file));

  // The checks read the image as stored, before any packing.
  checked.workingImage.assign(file.begin(), file.end());
  checked.adoptImage(std::move(checked.workingImage));
  // A free record's bytes do not depend on its place: one is made free, the rest copied from it.
  for (int l = 0; l < kListCount; ++l) {
    const auto id = static_cast<ListId>(l);
    const RecordListLayout& layout = layoutOf(id);
    const int count = layout.count;
    const auto [first, end] = checkedWindow(data[8], count);
    const int model = first > 0 ? 0 : end;
    if (model >= count) continue;
    initEntry(checked, id, model, {});
    const std::size_t size = std::size_t(layout.recordSize);
    const MutableByteSpan section = checked.bytes(layout.start, std::size_t(count) * size);
    repeatRecord(section.data(), size, model, 0, first);
    repeatRecord(section.data(), size, model, end, count);
  }
  (void)validate(checked);

  normaliseLists(doc);

  // The list operations on two lists the input picks (or one, or none): each runs the
  // reference engine over a thousand holders, and all seven lists a run cost most of it.
  for (int l = 0; l < kListCount; ++l) {
    if (l != data[0] % 8 && l != data[3] % 8) continue;
    const auto id = static_cast<ListId>(l);
    const int used = usedCount(doc, id);
    for (int i = 0; i < layoutOf(id).count; i += 97) (void)recordName(doc, id, i);
    const int a = data[l % 8] % (used + 2), b = data[(l + 3) % 8] % (used + 2);
    moveRecord(doc, id, a, a - b);
    moveSelectedRecords(doc, id, {0, a, used - 1}, static_cast<std::int8_t>(data[(l + 5) % 8]) % 12);
    deleteSelectedRecords(doc, id, {b, b + 1});
    addRecord(doc, id, "fuzz");
    renameRecord(doc, id, a, "renamed");
  }
  // Member edits on a record of each member list, hidden words and free records included.
  for (ListId owner : {ListId::RxGroupLists, ListId::Zones, ListId::ScanLists}) {
    const int r = data[1] % (usedCount(doc, owner) + 2);
    const std::vector<int> available = availableRecords(doc, owner, r);
    addMembers(doc, owner, r, {data[2] * 5, available.empty() ? 1 : available.back(), 0xFFFF});
    moveSelectedMembers(doc, owner, r, {0, data[3] % 8}, static_cast<std::int8_t>(data[4]) % 12);
    removeMembers(doc, owner, r, {data[5] * 4});
    for (const MemberRow& m : memberRows(doc, owner, r))
      for (auto column : {MemberColumn::Number, MemberColumn::Name, MemberColumn::Detail})
        (void)memberCell(doc, owner, m.number, column);
  }
  (void)priorityChannelChoices(doc, data[6] % kScanListCount);
  setScanListField(doc, {data[7] % kScanListCount}, ScanListField::PrioritySampleTime, data[0]);
  (void)doc.isModified();
  (void)doc.hasPasswords();
  return 0;
}
