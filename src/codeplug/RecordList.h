#pragma once
// The seven lists of named records share one shape: a start, a record count and
// size, a name field, and one initEntry. Each list is described by data here and
// every list mechanism (in-use test, slot search, packing, delete-shift, move-rotate,
// block moves) is written once over that description.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/CodePlugDocument.h"

namespace pw {

enum class ListId { TextMessages, EmergencySystems, Contacts, RxGroupLists, Zones, ScanLists, Channels };
constexpr int kListCount = 7;

struct RecordListLayout {
  ListId id;
  const char* title;         // for diagnostics and the command-line summary
  std::size_t start;         // image offset of record 0
  int count;                 // capacity
  int recordSize;
  int nameOffset;            // where the name starts in the record
  int nameUnits;             // name length in 16-bit units
  // Writes the list's empty-record values (the defaults of a new record) into `record`;
  // `named` adds what a record given a name gets besides its name.
  void (*writeFresh)(const CodePlugDocument& doc, MutableByteSpan record, bool named);
  const char* defaultPrefix;  // "Channel ": new records are named prefix + number
  bool numberedDefault;       // false: the default name is the prefix alone ("Hello")
  // After a delete, rewrite every free slot, not only the last one.
  bool reinitFreeOnDelete;
};

// Member slots of a list record that hold record numbers of another list.
struct MemberListLayout {
  ListId owner;
  int offset;   // first slot, within the owner's record
  int slotCount;
  ListId referred;
};

const RecordListLayout& layoutOf(ListId id);
const std::vector<MemberListLayout>& memberLayouts();
const MemberListLayout& memberLayoutOf(ListId owner);

// ---- record access ----
MutableByteSpan recordBytes(CodePlugDocument& doc, ListId id, int index);
ByteSpan recordBytes(const CodePlugDocument& doc, ListId id, int index);
bool inUse(const CodePlugDocument& doc, ListId id, int index);
// inUse of every record of the list by index, read in one pass (all 0 without an image).
std::vector<std::uint8_t> inUseMarks(const CodePlugDocument& doc, ListId id);
int usedCount(const CodePlugDocument& doc, ListId id);
int firstFree(const CodePlugDocument& doc, ListId id);  // -1 when the list is full or no image
// Decoded name of record `index`, with the 1-based record number as fallback.
std::string recordName(const CodePlugDocument& doc, ListId id, int index);
std::string defaultName(ListId id, int index);

// ---- per-record operations ----
// Makes record `index` a fresh record: the list's empty-record values, then, when the
// trimmed name is not empty, the name and whatever a named record gets.
void initEntry(CodePlugDocument& doc, ListId id, int index, std::string_view name);
// Adds a record with `name` (default name when empty) in the first free slot; its index or -1.
int addRecord(CodePlugDocument& doc, ListId id, std::string_view name = {});
// Stores the trimmed text as the record's name; an empty text changes nothing. False when nothing changed.
bool renameRecord(CodePlugDocument& doc, ListId id, int index, std::string_view text);

// Deletes record number n (1-based) after checking every place that refers to it:
// 0 deleted; -1 refused and the user goes on (also: no image or n out of range);
// -2 refused and the user stops. References above n are renumbered.
int deleteRecord(CodePlugDocument& doc, ListId id, int n);
// Moves the record at `index` by delta places (positive towards record 0), rotating the
// records in between, and renumbers references. Returns the new 1-based number.
int moveRecord(CodePlugDocument& doc, ListId id, int index, int delta);

// ---- selections (rows are record indexes, ascending) ----
// Deletes the records of the selected rows with deleteOne(number); stops on -2.
// Returns how many were deleted.
int deleteSelection(const std::vector<int>& rows, const std::function<int(int number)>& deleteOne);
// The selection move shared by every list: delta is clamped so the block stops at
// either end, then each selected row is moved by moveOne(row, delta). Returns the
// rows the selection occupies afterwards.
std::vector<int> moveSelection(const std::vector<int>& rows, int delta, int rowCount,
                               const std::function<void(int row, int delta)>& moveOne);
int clampBlockDelta(const std::vector<int>& rows, int delta, int rowCount);
int deleteSelectedRecords(CodePlugDocument& doc, ListId id, const std::vector<int>& rows);
std::vector<int> moveSelectedRecords(CodePlugDocument& doc, ListId id, const std::vector<int>& rows, int delta);

// Puts the record at index order[i] at index i, for a permutation `order` of every record
// of the list, and renumbers references as a move does (sorts, inserts, pastes). False,
// changing nothing, when nothing moves or `order` is not a permutation.
bool permuteRecords(CodePlugDocument& doc, ListId id, const std::vector<int>& order);
// Moves the records at [from, end) to `to` (to <= from), the records from `to` on moving
// down behind them, through permuteRecords (records appended, then put in place by a paste).
bool moveRecordBlock(CodePlugDocument& doc, ListId id, int from, int end, int to);
// Adds a record as addRecord does (its default name) and moves it to `at` as moveRecord
// does, the records from there on moving down one place with every reference following.
// Its index, or -1 when the list is full. `at` beyond the records in use: it stays where it
// was added, at the end.
int insertRecord(CodePlugDocument& doc, ListId id, int at);

// ---- sorting ----
// Sorts the records of the selected rows among the places they hold, or every record in
// use when fewer than two rows are selected: stably by `less` over record indexes, through
// permuteRecords. Returns where each record went (result[old index] = new index; every
// index stays when nothing moved).
std::vector<int> sortRecords(CodePlugDocument& doc, ListId id, const std::vector<int>& rows,
                             const std::function<bool(int a, int b)>& less);
// The same by name: the stored name (no fallback), compared without case.
std::vector<int> sortRecordsByName(CodePlugDocument& doc, ListId id, const std::vector<int>& rows);
// The same by one key per record: keyOf(index) is asked once per record, not at every comparison.
template <typename KeyOf>
std::vector<int> sortRecordsByKey(CodePlugDocument& doc, ListId id, const std::vector<int>& rows, KeyOf keyOf) {
  if (!doc.hasImage()) return sortRecords(doc, id, rows, {});
  std::vector<decltype(keyOf(0))> keys(std::size_t(layoutOf(id).count));
  for (int i = 0; i < int(keys.size()); ++i) keys[std::size_t(i)] = keyOf(i);
  return sortRecords(doc, id, rows, [&](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
}

// ---- packing ----
// Moves used records up to close gaps (keeping their order), makes every later record
// fresh, and renumbers every reference to a moved record. True when bytes changed.
bool packList(CodePlugDocument& doc, ListId id);
// Closes the gaps in every record's member slots (used records or not).
bool packMembers(CodePlugDocument& doc, const MemberListLayout& members);
// Moves an element of a fixed-size array of `size`-byte elements from `from` to `to`,
// shifting those in between by one place.
void rotateBlocks(MutableByteSpan area, int size, int from, int to);

}  // namespace pw
