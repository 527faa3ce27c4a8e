#include "codeplug/RecordList.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "codeplug/Encodings.h"
#include "codeplug/ReferenceWeb.h"

namespace pw {
namespace {

// The largest record of any list: the one a rotation sets aside fits in this.
constexpr std::size_t kLargestRecord = std::size_t(std::max(
    {kTextMessageSize, kEmergencySystemSize, kContactSize, kRxGroupListSize, kZoneSize, kScanListSize, kChannelSize}));

void fill(MutableByteSpan r, std::size_t from, std::size_t to, std::uint8_t v) {
  to = std::min(to, r.size());
  if (from < to) std::memset(r.data() + from, v, to - from);
}

void freshZero(const CodePlugDocument&, MutableByteSpan r, bool) { fill(r, 0, r.size(), 0); }

void freshEmergencySystem(const CodePlugDocument&, MutableByteSpan r, bool) {
  fill(r, 0, r.size(), 0);
  r[32] = 0x01;  // alarm type Regular, alarm mode Emergency Alarm
  r[33] = 15;    // impolite retries
  r[34] = 5;     // polite retries
  r[35] = 10;    // hot mic seconds
  r[38] = r[39] = 0xFF;
}

void freshContact(const CodePlugDocument&, MutableByteSpan r, bool named) {
  fill(r, 0, r.size(), 0);
  // A free contact carries call ID 0xFFFFFF; a named one starts as a group call to ID 0.
  if (!named) fill(r, 0, 3, 0xFF);
  r[3] = named ? 0xC1 : 0xC0;
}

void freshScanList(const CodePlugDocument&, MutableByteSpan r, bool) {
  fill(r, 0, r.size(), 0);
  fill(r, 32, 38, 0xFF);  // priority channels "None", designated channel "Last Active Channel"
  r[38] = 0xF1;
  r[39] = 20;  // signalling hold time 500 ms
  r[40] = 8;   // priority sample time 2000 ms
  r[41] = 0xFF;
}

void freshChannel(const CodePlugDocument& doc, MutableByteSpan r, bool) {
  static constexpr std::uint8_t head[16] = {0x62, 0x14, 0x00, 0xE1, 0x05, 0xC3, 0x00, 0x00,
                                            0x04, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFF};
  static constexpr std::uint8_t tail[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF};
  fill(r, 0, r.size(), 0);
  std::memcpy(r.data(), head, sizeof head);
  const std::uint32_t f = bandDefaultFrequency(doc.frequencyRangeCode());
  setU32le(r, 16, f);
  setU32le(r, 20, f);
  std::memcpy(r.data() + 24, tail, sizeof tail);
}

// clang-format off: one list per block, its values named
constexpr RecordListLayout kLayouts[kListCount] = {
    {.id = ListId::TextMessages, .title = "text messages", .start = kTextMessages, .count = kTextMessageCount,
     .recordSize = kTextMessageSize, .nameOffset = 0, .nameUnits = kTextMessageUnits, .writeFresh = freshZero,
     .defaultPrefix = "Hello", .numberedDefault = false, .reinitFreeOnDelete = true},
    {.id = ListId::EmergencySystems, .title = "emergency systems", .start = kEmergencySystems,
     .count = kEmergencySystemCount, .recordSize = kEmergencySystemSize, .nameOffset = 0, .nameUnits = kNameUnits,
     .writeFresh = freshEmergencySystem, .defaultPrefix = "System ", .numberedDefault = true,
     .reinitFreeOnDelete = true},
    {.id = ListId::Contacts, .title = "contacts", .start = kContacts, .count = kContactCount,
     .recordSize = kContactSize, .nameOffset = 4, .nameUnits = kNameUnits, .writeFresh = freshContact,
     .defaultPrefix = "Contact ", .numberedDefault = true, .reinitFreeOnDelete = false},
    {.id = ListId::RxGroupLists, .title = "rx group lists", .start = kRxGroupLists, .count = kRxGroupListCount,
     .recordSize = kRxGroupListSize, .nameOffset = 0, .nameUnits = kNameUnits, .writeFresh = freshZero,
     .defaultPrefix = "Group ", .numberedDefault = true, .reinitFreeOnDelete = true},
    {.id = ListId::Zones, .title = "zones", .start = kZones, .count = kZoneCount, .recordSize = kZoneSize,
     .nameOffset = 0, .nameUnits = kNameUnits, .writeFresh = freshZero, .defaultPrefix = "Zone ",
     .numberedDefault = true, .reinitFreeOnDelete = true},
    {.id = ListId::ScanLists, .title = "scan lists", .start = kScanLists, .count = kScanListCount,
     .recordSize = kScanListSize, .nameOffset = 0, .nameUnits = kNameUnits, .writeFresh = freshScanList,
     .defaultPrefix = "Scan List ", .numberedDefault = true, .reinitFreeOnDelete = true},
    {.id = ListId::Channels, .title = "channels", .start = kChannels, .count = kChannelCount,
     .recordSize = kChannelSize, .nameOffset = 32, .nameUnits = kNameUnits, .writeFresh = freshChannel,
     .defaultPrefix = "Channel ", .numberedDefault = true, .reinitFreeOnDelete = true},
};
// clang-format on
static_assert(std::all_of(std::begin(kLayouts), std::end(kLayouts),
                          [](const RecordListLayout& l) { return l.nameOffset + 2 <= l.recordSize; }),
              "a record's name lies inside the record");

}  // namespace

const RecordListLayout& layoutOf(ListId id) { return kLayouts[static_cast<int>(id)]; }

const std::vector<MemberListLayout>& memberLayouts() {
  static const std::vector<MemberListLayout> members = {
      {.owner = ListId::RxGroupLists, .offset = 32, .slotCount = kRxGroupMemberCount, .referred = ListId::Contacts},
      {.owner = ListId::Zones, .offset = 32, .slotCount = kZoneMemberCount, .referred = ListId::Channels},
      {.owner = ListId::ScanLists, .offset = 42, .slotCount = kScanListMemberCount, .referred = ListId::Channels},
  };
  return members;
}

const MemberListLayout& memberLayoutOf(ListId owner) {
  for (const auto& m : memberLayouts())
    if (m.owner == owner) return m;
  return memberLayouts().front();
}

MutableByteSpan recordBytes(CodePlugDocument& doc, ListId id, int index) {
  const auto& l = layoutOf(id);
  if (index < 0 || index >= l.count) return {};
  return doc.bytes(l.start + std::size_t(index) * l.recordSize, l.recordSize);
}

ByteSpan recordBytes(const CodePlugDocument& doc, ListId id, int index) {
  const auto& l = layoutOf(id);
  if (index < 0 || index >= l.count) return {};
  return doc.bytes(l.start + std::size_t(index) * l.recordSize, l.recordSize);
}

namespace {

// A list's records as one span (empty without an image): the loops over every record
// ask the document once, not once a record (every edit counts the records in use).
ByteSpan sectionBytes(const CodePlugDocument& doc, const RecordListLayout& l) {
  return doc.bytes(l.start, std::size_t(l.count) * std::size_t(l.recordSize));
}
MutableByteSpan sectionBytes(CodePlugDocument& doc, const RecordListLayout& l) {
  return doc.bytes(l.start, std::size_t(l.count) * std::size_t(l.recordSize));
}

// A record is in use when the first unit of its name is not zero.
bool nameStarted(const std::uint8_t* name) { return (name[0] | name[1]) != 0; }

// Whether each record's name is in use, read from the section without a bound per byte:
// its size is checked once (every edit counts the records in use, some many times, and
// the checks cost more than the reads).
class NameMarks {
 public:
  NameMarks(ByteSpan section, const RecordListLayout& l) : stride_(std::size_t(l.recordSize)) {
    if (section.size() < std::size_t(l.count) * stride_) return;
    first_ = section.data() + l.nameOffset;
    count_ = l.count;
  }
  int count() const { return count_; }  // 0 without an image
  [[gnu::always_inline]] bool operator[](int index) const {
    return nameStarted(first_ + std::size_t(index) * stride_);
  }

 private:
  const std::uint8_t* first_ = nullptr;
  std::size_t stride_;
  int count_ = 0;
};

}  // namespace

bool inUse(const CodePlugDocument& doc, ListId id, int index) {
  const ByteSpan r = recordBytes(doc, id, index);
  return !r.empty() && nameStarted(r.data() + layoutOf(id).nameOffset);
}

std::vector<std::uint8_t> inUseMarks(const CodePlugDocument& doc, ListId id) {
  const auto& l = layoutOf(id);
  const NameMarks names(sectionBytes(doc, l), l);
  std::vector<std::uint8_t> marks(std::size_t(l.count), 0);
  for (int i = 0; i < names.count(); ++i) marks[std::size_t(i)] = names[i];
  return marks;
}

int usedCount(const CodePlugDocument& doc, ListId id) {
  const auto& l = layoutOf(id);
  const NameMarks names(sectionBytes(doc, l), l);
  int n = 0;
  for (int i = 0; i < names.count(); ++i) n += names[i] ? 1 : 0;
  return n;
}

int firstFree(const CodePlugDocument& doc, ListId id) {
  const auto& l = layoutOf(id);
  const NameMarks names(sectionBytes(doc, l), l);
  for (int i = 0; i < names.count(); ++i)
    if (!names[i]) return i;
  return -1;
}

std::string recordName(const CodePlugDocument& doc, ListId id, int index) {
  const auto& l = layoutOf(id);
  const ByteSpan r = recordBytes(doc, id, index);
  if (r.empty()) return {};
  return decodeName(r.subspan(l.nameOffset), l.nameUnits, index + 1);
}

std::string defaultName(ListId id, int index) {
  const auto& l = layoutOf(id);
  return l.numberedDefault ? l.defaultPrefix + std::to_string(index + 1) : l.defaultPrefix;
}

void initEntry(CodePlugDocument& doc, ListId id, int index, std::string_view name) {
  const auto& l = layoutOf(id);
  MutableByteSpan r = recordBytes(doc, id, index);
  if (r.empty()) return;
  const std::string trimmed = trimControls(name);
  l.writeFresh(doc, r, !trimmed.empty());
  if (!trimmed.empty()) encodeName(r.subspan(l.nameOffset), l.nameUnits, trimmed);
}

int addRecord(CodePlugDocument& doc, ListId id, std::string_view name) {
  const int slot = firstFree(doc, id);
  if (slot < 0) return -1;
  const std::string trimmed = trimControls(name);
  initEntry(doc, id, slot, trimmed.empty() ? defaultName(id, slot) : trimmed);
  return slot;
}

bool renameRecord(CodePlugDocument& doc, ListId id, int index, std::string_view text) {
  const auto& l = layoutOf(id);
  MutableByteSpan r = recordBytes(doc, id, index);
  const std::string trimmed = trimControls(text);
  if (r.empty() || trimmed.empty()) return false;
  encodeName(r.subspan(l.nameOffset), l.nameUnits, trimmed);
  return true;
}

void rotateBlocks(MutableByteSpan area, int size, int from, int to) {
  if (from == to || size <= 0) return;
  const std::size_t n = area.size() / size;
  if (from < 0 || to < 0 || std::size_t(from) >= n || std::size_t(to) >= n) return;
  // The record is set aside and the ones in between shift by one place in a single
  // memmove: a generic rotate would move the bytes one by one.
  std::uint8_t held[kLargestRecord];
  if (std::size_t(size) > sizeof held) {
    auto first = area.begin() + std::ptrdiff_t(std::min(from, to)) * size;
    auto last = area.begin() + std::ptrdiff_t(std::max(from, to) + 1) * size;
    std::rotate(first, from > to ? last - size : first + size, last);
    return;
  }
  std::uint8_t* base = area.data();
  const std::size_t bytes = std::size_t(size);
  std::memcpy(held, base + std::size_t(from) * bytes, bytes);
  if (from > to)
    std::memmove(base + std::size_t(to + 1) * bytes, base + std::size_t(to) * bytes, std::size_t(from - to) * bytes);
  else
    std::memmove(base + std::size_t(from) * bytes, base + std::size_t(from + 1) * bytes,
                 std::size_t(to - from) * bytes);
  std::memcpy(base + std::size_t(to) * bytes, held, bytes);
}

int deleteRecord(CodePlugDocument& doc, ListId id, int n) {
  const auto& l = layoutOf(id);
  if (!doc.hasImage() || n < 1 || n > l.count) return -1;
  if (auto hit = findBlockingReference(doc, id, n)) {
    const auto answer = doc.prompt().refuse(refusalText(doc, id, n, *hit));
    return answer == RefusalAnswer::GoOn ? -1 : -2;
  }
  MutableByteSpan area = doc.bytes(l.start, std::size_t(l.count) * l.recordSize);
  rotateBlocks(area, l.recordSize, n - 1, l.count - 1);
  initEntry(doc, id, l.count - 1, {});
  int used = 0;
  const NameMarks names(area, l);
  for (int i = 0; i < names.count() - 1; ++i) {
    if (names[i])
      ++used;
    else if (l.reinitFreeOnDelete)
      initEntry(doc, id, i, {});
  }
  if (used == 0) initEntry(doc, id, 0, defaultName(id, 0));
  renumberAfterDelete(doc, id, n);
  return 0;
}

int moveRecord(CodePlugDocument& doc, ListId id, int index, int delta) {
  const auto& l = layoutOf(id);
  if (!doc.hasImage() || index < 0 || index >= l.count) return index + 1;
  const int to = std::clamp(index - delta, 0, l.count - 1);
  if (to == index) return index + 1;
  rotateBlocks(doc.bytes(l.start, std::size_t(l.count) * l.recordSize), l.recordSize, index, to);
  renumberAfterMove(doc, id, index + 1, to + 1);
  return to + 1;
}

int deleteSelection(const std::vector<int>& rows, const std::function<int(int)>& deleteOne) {
  int deleted = 0;
  for (int row : rows) {
    const int result = deleteOne(row + 1 - deleted);
    if (result == 0)
      ++deleted;
    else if (result == -2)
      break;
  }
  return deleted;
}

int clampBlockDelta(const std::vector<int>& rows, int delta, int rowCount) {
  if (rows.empty() || delta == 0) return 0;
  const int first = rows.front(), last = rows.back();
  if (delta > first) return first;
  if (delta < last + 1 - rowCount) return last + 1 - rowCount;
  return delta;
}

std::vector<int> moveSelection(const std::vector<int>& rows, int delta, int rowCount,
                               const std::function<void(int, int)>& moveOne) {
  delta = clampBlockDelta(rows, delta, rowCount);
  if (delta == 0) return rows;
  std::vector<int> moved = rows;
  if (delta > 0) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i] - delta < 0) break;
      moveOne(rows[i], delta);
      moved[i] = rows[i] - delta;
    }
  } else {
    for (std::size_t i = rows.size(); i-- > 0;) {
      if (rows[i] - delta >= rowCount) break;
      moveOne(rows[i], delta);
      moved[i] = rows[i] - delta;
    }
  }
  return moved;
}

int deleteSelectedRecords(CodePlugDocument& doc, ListId id, const std::vector<int>& rows) {
  return deleteSelection(rows, [&](int n) { return deleteRecord(doc, id, n); });
}

// The same result as moving each selected record with moveRecord, but the rotations are
// composed on an index first, so the records are copied and the references renumbered
// once for the whole block instead of once per row.
std::vector<int> moveSelectedRecords(CodePlugDocument& doc, ListId id, const std::vector<int>& rows,
                                     int delta) {
  const auto& l = layoutOf(id);
  if (!doc.hasImage()) return rows;
  std::vector<int> order(l.count);  // order[i]: the old index of the record that ends up at i
  for (int i = 0; i < l.count; ++i) order[i] = i;
  const std::vector<int> moved = moveSelection(rows, delta, usedCount(doc, id), [&](int row, int d) {
    const int to = std::clamp(row - d, 0, l.count - 1);
    if (to < row)
      std::rotate(order.begin() + to, order.begin() + row, order.begin() + row + 1);
    else if (to > row)
      std::rotate(order.begin() + row, order.begin() + row + 1, order.begin() + to + 1);
  });
  permuteRecords(doc, id, order);
  return moved;
}

bool permuteRecords(CodePlugDocument& doc, ListId id, const std::vector<int>& order) {
  const auto& l = layoutOf(id);
  if (!doc.hasImage() || order.size() != std::size_t(l.count)) return false;
  std::vector<int> oldToNew(l.count + 1, 0);
  std::vector<bool> seen(l.count, false);
  bool any = false;
  for (int i = 0; i < l.count; ++i) {
    if (order[i] < 0 || order[i] >= l.count || seen[order[i]]) return false;  // not a permutation
    seen[order[i]] = true;
    if (order[i] != i) {
      oldToNew[order[i] + 1] = i + 1;
      any = true;
    }
  }
  if (!any) return false;
  MutableByteSpan area = doc.bytes(l.start, std::size_t(l.count) * l.recordSize);
  const std::vector<std::uint8_t> before(area.begin(), area.end());
  for (int i = 0; i < l.count; ++i)
    if (order[i] != i)
      std::memcpy(area.data() + std::size_t(i) * l.recordSize, before.data() + std::size_t(order[i]) * l.recordSize,
                  l.recordSize);
  renumberAfterBlockMove(doc, id, oldToNew);
  return true;
}

bool moveRecordBlock(CodePlugDocument& doc, ListId id, int from, int end, int to) {
  const int count = layoutOf(id).count;
  if (to < 0 || to >= from || from >= end || end > count) return false;
  std::vector<int> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::rotate(order.begin() + to, order.begin() + from, order.begin() + end);
  return permuteRecords(doc, id, order);
}

int insertRecord(CodePlugDocument& doc, ListId id, int at) {
  const int slot = addRecord(doc, id);
  if (slot < 0) return -1;
  if (at < 0 || at >= slot) return slot;
  return moveRecord(doc, id, slot, slot - at) - 1;
}

std::vector<int> sortRecords(CodePlugDocument& doc, ListId id, const std::vector<int>& rows,
                             const std::function<bool(int, int)>& less) {
  const auto& l = layoutOf(id);
  std::vector<int> where(std::size_t(l.count));
  std::iota(where.begin(), where.end(), 0);
  if (!doc.hasImage()) return where;
  std::vector<int> places;
  for (int r : rows)
    if (r >= 0 && r < l.count) places.push_back(r);
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  if (places.size() < 2) {
    places.clear();
    for (int i = 0; i < l.count; ++i)
      if (inUse(doc, id, i)) places.push_back(i);
  }
  std::vector<int> sorted = places;
  std::stable_sort(sorted.begin(), sorted.end(), less);
  std::vector<int> order(where);
  for (std::size_t k = 0; k < places.size(); ++k) order[std::size_t(places[k])] = sorted[k];
  if (permuteRecords(doc, id, order))
    for (int i = 0; i < l.count; ++i) where[std::size_t(order[std::size_t(i)])] = i;
  return where;
}

std::vector<int> sortRecordsByName(CodePlugDocument& doc, ListId id, const std::vector<int>& rows) {
  const auto& l = layoutOf(id);
  return sortRecordsByKey(doc, id, rows, [&](int i) {
    return nameSortKey(decodeName(recordBytes(doc, id, i).subspan(std::size_t(l.nameOffset)), l.nameUnits));
  });
}

bool packList(CodePlugDocument& doc, ListId id) {
  const auto& l = layoutOf(id);
  if (!doc.hasImage()) return false;
  std::vector<int> oldToNew(l.count + 1, 0);
  bool moved = false;
  int next = 0;
  // The records as one span, asked for once: a pack moves and clears hundreds of them.
  const MutableByteSpan section = sectionBytes(doc, l);
  const std::size_t size = std::size_t(l.recordSize);
  const auto record = [&](int i) { return section.data() + std::size_t(i) * size; };
  const NameMarks names(section, l);
  for (int i = 0; i < names.count(); ++i) {
    if (!names[i]) continue;
    if (i != next) {
      std::memcpy(record(next), record(i), size);
      oldToNew[i + 1] = next + 1;
      moved = true;
    }
    ++next;
  }
  // Only the records made free can change when nothing moved: each is compared as it is
  // cleared (a copy of the whole list was a fresh mapping of memory on every pack). A free
  // record's bytes do not depend on its place or what it held: the first is made, the
  // others copied from it.
  bool cleared = false;
  if (next < l.count) {
    const MutableByteSpan fresh = recordBytes(doc, id, next);
    const std::vector<std::uint8_t> was(fresh.begin(), fresh.end());
    initEntry(doc, id, next, {});
    cleared = std::memcmp(was.data(), fresh.data(), fresh.size()) != 0;
    for (int i = next + 1; i < l.count; ++i) {
      if (std::memcmp(record(i), fresh.data(), size) == 0) continue;
      std::memcpy(record(i), fresh.data(), size);
      cleared = true;
    }
  }
  if (moved) renumberAfterPack(doc, id, oldToNew);
  return moved || cleared;
}

namespace {

// The bytes of the member slots (two bytes each, not both zero) that `bytes` of slots
// start with. Four slots are looked at in one word: one of them is empty when a 16-bit
// lane of the word is zero (a load looks at some 20000 slots).
std::size_t memberRun(const std::uint8_t* slots, std::size_t bytes) {
  std::size_t at = 0;
  for (; at + 8 <= bytes; at += 8) {
    std::uint64_t word;
    std::memcpy(&word, slots + at, 8);
    if (((word - 0x0001000100010001u) & ~word & 0x8000800080008000u) != 0) break;
  }
  while (at + 2 <= bytes && (slots[at] | slots[at + 1]) != 0) at += 2;
  return at;
}

}  // namespace

bool packMembers(CodePlugDocument& doc, const MemberListLayout& m) {
  const auto& l = layoutOf(m.owner);
  const MutableByteSpan section = sectionBytes(doc, l);
  const std::size_t slotBytes = 2 * std::size_t(m.slotCount);
  if (section.empty() || std::size_t(m.offset) + slotBytes > std::size_t(l.recordSize)) return false;
  // A slot is moved as its two bytes (no value is read), so the slots of every record
  // are walked directly: a load packs some 20000 of them.
  static constexpr std::uint8_t kZeros[64] = {};
  if (slotBytes > sizeof kZeros) return false;
  bool changed = false;
  // Read once: the slots are written as bytes, which might be any of these.
  const int count = l.count;
  const std::size_t stride = std::size_t(l.recordSize), offset = std::size_t(m.offset);
  for (int r = 0; r < count; ++r) {
    std::uint8_t* slots = section.data() + std::size_t(r) * stride + offset;
    // Packed already, as nearly every record is: members, then zeros to the end.
    const std::size_t members = memberRun(slots, slotBytes);
    if (std::memcmp(slots + members, kZeros, slotBytes - members) == 0) continue;
    std::size_t next = 0;
    for (std::size_t at = 0; at < slotBytes; at += 2) {
      if ((slots[at] | slots[at + 1]) == 0) continue;
      if (at != next) {
        slots[next] = slots[at];
        slots[next + 1] = slots[at + 1];
        changed = true;
      }
      next += 2;
    }
    for (std::size_t at = next; at < slotBytes; ++at) {
      changed = changed || slots[at] != 0;
      slots[at] = 0;
    }
  }
  return changed;
}

}  // namespace pw
