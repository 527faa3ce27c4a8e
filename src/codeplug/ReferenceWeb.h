#pragma once
// Every place in the code plug that holds the number of a record of another list,
// with the rules by which it blocks a delete and follows deletes and moves. Delete,
// move and packing of every list run the same engine over this one table.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codeplug/Bytes.h"
#include "codeplug/RecordList.h"

namespace pw {

// When a holder record takes part in an operation.
enum class When {
  Never,
  Always,
  HolderInUse,      // the holder record's name is in use
  OneTouchDigital,  // one-touch entry mode bits 4-5 = 1: the entry calls a contact
  OneTouchText,     // ... and call type bits 0-1 = 1: the entry sends a text message
  ChannelDigital,   // channel mode bits 0-1 = 2
};

// The values a refusal text is filled with, in order of its % directives.
enum class Arg { ReferredName, ReferredNumber, HolderName, HolderNumber, MemberPosition };

struct ReferenceSite {
  ListId referred;
  std::size_t base = 0;         // image offset of holder record 0
  int holderCount = 1;
  int holderSize = 2;
  int field = 0;                // offset of the (first) reference within the holder
  int width = 2;                // 1 or 2 bytes
  int repeat = 1;               // consecutive references (member slots), each `width` bytes
  std::optional<ListId> holderList{};  // list the holder records belong to (names, in-use test)
  const char* holderLabel = nullptr;   // name of a holder without a list, e.g. "DTMF-%d"
  When check = When::Never;     // which holders block a delete
  const char* refusal = nullptr;  // refusal format ("Cannot delete ... setting")
  std::vector<Arg> args{};
  When onDelete = When::Always;  // which holders are renumbered when a record is deleted
  When onMove = When::Always;    // ... when records move
  // A reference to the deleted record becomes this. Needed wherever a holder that does not
  // block the delete (an analogue channel) may hold the number: left alone, the number
  // would silently name the record that moves up into its place.
  std::optional<std::uint16_t> deletedValue{};
  // How a report names the place: the holder's section (list holders: the list's title),
  // the number of holder 0, and the reference's part of the holder ("%d": its position).
  const char* section = nullptr;
  int firstHolderNumber = 1;
  const char* role = nullptr;
};

const std::vector<ReferenceSite>& referenceSites();

// Whether holder `holder` of a site takes part under the rule `when` (in use, calls a contact, ...).
bool holderTakesPart(const CodePlugDocument& doc, const ReferenceSite& site, int holder, When when);
// The reference at member `position` of holder `holder` (0 without an image).
std::uint32_t referenceAt(const CodePlugDocument& doc, const ReferenceSite& site, int holder, int position);
// The same read from the holder's bytes, asked for once for all its members (empty: 0).
ByteSpan holderBytes(const CodePlugDocument& doc, const ReferenceSite& site, int holder);
inline std::uint32_t referenceIn(ByteSpan holder, const ReferenceSite& site, int position) {
  if (holder.empty()) return 0;
  const std::size_t at = site.field + std::size_t(position) * site.width;
  return site.width == 1 ? u8(holder, at) : u16le(holder, at);
}
// Writes the reference there (nothing without an image).
void setReferenceAt(CodePlugDocument& doc, const ReferenceSite& site, int holder, int position,
                    std::uint32_t value);

struct ReferenceHit {
  const ReferenceSite* site;
  int holder;    // 0-based holder index
  int position;  // 0-based member position
};

// The first place, in check order, that keeps record number n from being deleted.
std::optional<ReferenceHit> findBlockingReference(const CodePlugDocument& doc, ListId id, int n);
std::string refusalText(const CodePlugDocument& doc, ListId id, int n, const ReferenceHit& hit);

// After record n was deleted: references above n drop by one.
void renumberAfterDelete(CodePlugDocument& doc, ListId id, int n);
// After the record numbered oldNumber moved to newNumber, the records in between moving one place.
void renumberAfterMove(CodePlugDocument& doc, ListId id, int oldNumber, int newNumber);
// After packing: oldToNew[r] is the new number of the record numbered r (0 = unchanged).
void renumberAfterPack(CodePlugDocument& doc, ListId id, const std::vector<int>& oldToNew);
// After a block of records moved: the same map, over the holders records follow on a move.
void renumberAfterBlockMove(CodePlugDocument& doc, ListId id, const std::vector<int>& oldToNew);

// Fills a format's %s / %d directives with ready-made texts, in order.
std::string fillFormat(const char* format, const std::vector<std::string>& values);

}  // namespace pw
