#include "codeplug/ReferenceWeb.h"

#include <cstdio>
#include <stdexcept>

#include "codeplug/Encodings.h"

namespace pw {
namespace {

using enum When;
using enum Arg;

// The engine's loops read a site's references straight from the holder's bytes: each
// must lie inside its holder.
std::vector<ReferenceSite> insideHolders(std::vector<ReferenceSite> sites) {
  for (const ReferenceSite& s : sites)
    if ((s.width != 1 && s.width != 2) || s.field < 0 || s.repeat < 0 ||
        s.field + s.repeat * s.width > s.holderSize)
      throw std::logic_error("a reference lies outside its holder");
  return sites;
}

}  // namespace

// The whole web of references. Order matters: for each referred list, the sites
// are checked in the order they appear here, and the first hit names the refusal.
const std::vector<ReferenceSite>& referenceSites() {
  // clang-format off: one reference per block, its values named
  static const std::vector<ReferenceSite> sites = insideHolders({
      // ---- contacts ----
      {.referred = ListId::Contacts, .base = kOneTouchAccess, .holderCount = kOneTouchCount,
       .holderSize = kOneTouchSize, .field = 2, .width = 2,
       .check = OneTouchDigital,
       .refusal = "Cannot delete contact \"%s\".\n\nIt's used in one-touch-access \"%d\" button setting",
       .args = {ReferredName, HolderNumber}, .onDelete = OneTouchDigital, .onMove = OneTouchDigital,
       .section = "one-touch access", .role = "contact"},
      {.referred = ListId::Contacts, .base = kNumberKeyContacts, .holderCount = kNumberKeyCount,
       .holderSize = 2, .field = 0, .width = 2,
       .check = Always, .refusal = "Cannot delete contact \"%s\".\n\nIt's used in button number-key %d setting",
       .args = {ReferredName, HolderNumber}, .onDelete = Always, .onMove = Always,
       .section = "number keys", .firstHolderNumber = 0, .role = "contact"},
      {.referred = ListId::Contacts, .base = kRxGroupLists, .holderCount = kRxGroupListCount,
       .holderSize = kRxGroupListSize, .field = 32, .width = 2, .repeat = kRxGroupMemberCount,
       .holderList = ListId::RxGroupLists,
       .check = Always, .refusal = "Cannot delete contact \"%s\".\n\nIt's used in group \"%s\".%d setting",
       .args = {ReferredName, HolderName, MemberPosition}, .onDelete = Always, .onMove = HolderInUse,
       .role = "member %d"},
      {.referred = ListId::Contacts, .base = kChannels, .holderCount = kChannelCount,
       .holderSize = kChannelSize, .field = 6, .width = 2, .holderList = ListId::Channels,
       .check = ChannelDigital, .refusal = "Cannot delete contact \"%s\".\n\nIt's used in channel \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = HolderInUse,
       .deletedValue = std::uint16_t{0}, .role = "contact"},
      {.referred = ListId::Contacts, .base = kGps, .holderCount = kGpsCount,
       .holderSize = kGpsSize, .field = 4, .width = 2,
       .check = Always, .refusal = "Cannot delete contact \"%s\".\n\nIt's used in GPS %d setting",
       .args = {ReferredName, HolderNumber}, .onDelete = Always, .onMove = Always,
       .section = "GPS", .role = "destination contact"},

      // ---- channels ----
      {.referred = ListId::Channels, .base = kEmergencySystems, .holderCount = kEmergencySystemCount,
       .holderSize = kEmergencySystemSize, .field = 36, .width = 2, .holderList = ListId::EmergencySystems,
       .check = Always, .refusal = "Cannot delete channel \"%s\".\n\nIt's used in EMERGENCY SYSTEM \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = HolderInUse, .role = "revert channel"},
      {.referred = ListId::Channels, .base = kZones, .holderCount = kZoneCount,
       .holderSize = kZoneSize, .field = 32, .width = 2, .repeat = kZoneMemberCount, .holderList = ListId::Zones,
       .check = Always, .refusal = "Cannot delete channel \"%s\".\n\nIt's used in ZONES \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = HolderInUse, .role = "member %d"},
      {.referred = ListId::Channels, .base = kScanLists, .holderCount = kScanListCount,
       .holderSize = kScanListSize, .field = 42, .width = 2, .repeat = kScanListMemberCount,
       .holderList = ListId::ScanLists,
       .check = Always, .refusal = "Cannot delete channel \"%s\".\n\nIt's used in SCAN LIST \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = HolderInUse, .role = "member %d"},
      {.referred = ListId::Channels, .base = kDtmfDecodeEntries, .holderCount = kDtmfDecodeCount,
       .holderSize = kDtmfDecodeSize, .field = 20, .width = 2, .holderLabel = "DTMF-%d",
       .check = Always, .refusal = "Cannot delete channel \"%s\".\n\nIt's used in DTMF \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = Always,
       .section = "DTMF decode", .role = "revert channel"},
      {.referred = ListId::Channels, .base = kGps, .holderCount = kGpsCount,
       .holderSize = kGpsSize, .field = 0, .width = 2, .holderLabel = "GPS-DECODE-%d",
       .check = Always, .refusal = "Cannot delete channel \"%s\".\n\nIt's used in GPS \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = Always,
       .section = "GPS", .role = "revert channel"},
      // Priority channel 1, 2 and the designated transmit channel of each scan list follow
      // their channel too; a deleted channel leaves them at "None" / "Last Active Channel".
      {.referred = ListId::Channels, .base = kScanLists, .holderCount = kScanListCount,
       .holderSize = kScanListSize, .field = 32, .width = 2, .holderList = ListId::ScanLists,
       .check = Never, .onDelete = Always, .onMove = HolderInUse, .deletedValue = std::uint16_t{0xFFFF},
       .role = "priority channel 1"},
      {.referred = ListId::Channels, .base = kScanLists, .holderCount = kScanListCount,
       .holderSize = kScanListSize, .field = 34, .width = 2, .holderList = ListId::ScanLists,
       .check = Never, .onDelete = Always, .onMove = HolderInUse, .deletedValue = std::uint16_t{0xFFFF},
       .role = "priority channel 2"},
      {.referred = ListId::Channels, .base = kScanLists, .holderCount = kScanListCount,
       .holderSize = kScanListSize, .field = 36, .width = 2, .holderList = ListId::ScanLists,
       .check = Never, .onDelete = Always, .onMove = HolderInUse, .deletedValue = std::uint16_t{0xFFFF},
       .role = "designated transmit channel"},

      // ---- lists that channels refer to ----
      {.referred = ListId::RxGroupLists, .base = kChannels, .holderCount = kChannelCount,
       .holderSize = kChannelSize, .field = 12, .width = 1, .holderList = ListId::Channels,
       .check = ChannelDigital, .refusal = "Cannot delete group \"%s\".\n\nIt's used in channel \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = HolderInUse,
       .deletedValue = std::uint16_t{0}, .role = "rx group list"},
      {.referred = ListId::ScanLists, .base = kChannels, .holderCount = kChannelCount,
       .holderSize = kChannelSize, .field = 11, .width = 1, .holderList = ListId::Channels,
       .check = Always, .refusal = "Cannot delete scan list \"%s\".\n\nIt's used in channel \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = HolderInUse, .role = "scan list"},
      {.referred = ListId::EmergencySystems, .base = kChannels, .holderCount = kChannelCount,
       .holderSize = kChannelSize, .field = 10, .width = 1, .holderList = ListId::Channels,
       .check = ChannelDigital,
       .refusal = "Cannot delete emergency system \"%s\".\n\nIt's used in channel \"%s\" setting",
       .args = {ReferredName, HolderName}, .onDelete = Always, .onMove = HolderInUse,
       .deletedValue = std::uint16_t{0},  // a channel that is not digital is left with none
       .role = "emergency system"},

      // ---- text messages, sent by one-touch entries ----
      {.referred = ListId::TextMessages, .base = kOneTouchAccess, .holderCount = kOneTouchCount,
       .holderSize = kOneTouchSize, .field = 1, .width = 1,
       .check = OneTouchText,
       .refusal = "Cannot delete text message \"%d\".\n\nIt's used in one-touch-access \"%d\" button setting",
       .args = {ReferredNumber, HolderNumber}, .onDelete = OneTouchText, .onMove = OneTouchText,
       .section = "one-touch access", .role = "text message"},
  });
  // clang-format on
  return sites;
}

namespace {

// Every holder of a site as one span (empty without an image): the engine's loops over
// a thousand holders ask the document once, not once a holder.
template <typename Doc>
auto holderArea(Doc& doc, const ReferenceSite& s) {
  return doc.bytes(s.base, std::size_t(s.holderCount) * std::size_t(s.holderSize));
}
template <typename Span>
Span holderIn(Span area, const ReferenceSite& s, int h) {
  return area.subspan(std::size_t(h) * std::size_t(s.holderSize), std::size_t(s.holderSize));
}

bool takesPart(const CodePlugDocument& doc, const ReferenceSite& s, ByteSpan r, int h, When when) {
  switch (when) {
    case Never: return false;
    case Always: return true;
    case HolderInUse: return s.holderList && inUse(doc, *s.holderList, h);
    case OneTouchDigital: return ((u8(r, 0) >> 4) & 3) == 1;
    case OneTouchText: return ((u8(r, 0) >> 4) & 3) == 1 && (u8(r, 0) & 3) == 1;
    case ChannelDigital: return (u8(r, 0) & 3) == 2;
  }
  return false;
}

// A reference at `at` inside a holder, without a bound per byte (the references lie inside
// it, see insideHolders): one pack of every list reads some 25000 of them.
std::uint32_t refAt(const std::uint8_t* at, bool wide) {
  return wide ? std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 : at[0];
}
void setRefAt(std::uint8_t* at, bool wide, std::uint32_t v) {
  at[0] = static_cast<std::uint8_t>(v);
  if (wide) at[1] = static_cast<std::uint8_t>(v >> 8);
}
void writeRef(MutableByteSpan r, const ReferenceSite& s, int pos, std::uint32_t v) {
  const std::size_t at = s.field + std::size_t(pos) * s.width;
  if (s.width == 1)
    setU8(r, at, static_cast<std::uint8_t>(v));
  else
    setU16le(r, at, static_cast<std::uint16_t>(v));
}

}  // namespace

ByteSpan holderBytes(const CodePlugDocument& doc, const ReferenceSite& s, int h) {
  return doc.bytes(s.base + std::size_t(h) * s.holderSize, s.holderSize);
}

bool holderTakesPart(const CodePlugDocument& doc, const ReferenceSite& s, int h, When when) {
  // Only the one-touch and channel rules read the holder's own bytes.
  const bool readsHolder = when != Never && when != Always && when != HolderInUse;
  return takesPart(doc, s, readsHolder ? holderBytes(doc, s, h) : ByteSpan(), h, when);
}

std::uint32_t referenceAt(const CodePlugDocument& doc, const ReferenceSite& s, int holder, int position) {
  return referenceIn(holderBytes(doc, s, holder), s, position);
}

void setReferenceAt(CodePlugDocument& doc, const ReferenceSite& s, int holder, int position,
                    std::uint32_t value) {
  const MutableByteSpan area = holderArea(doc, s);
  if (!area.empty()) writeRef(holderIn(area, s, holder), s, position, value);
}

namespace {

// Applies `renumber` to every reference to list `id` in the holders that `scope` selects.
template <typename F>
void forEachReference(CodePlugDocument& doc, ListId id, When ReferenceSite::*scope, F renumber) {
  if (!doc.hasImage()) return;
  const int capacity = layoutOf(id).count;
  for (const auto& s : referenceSites()) {
    if (s.referred != id) continue;
    const MutableByteSpan area = holderArea(doc, s);
    // The holders in use, read in one pass when only those take part (a renumbering
    // writes references, never a holder's name).
    const bool inUseOnly = s.*scope == HolderInUse && s.holderList;
    const std::vector<std::uint8_t> used = inUseOnly ? inUseMarks(doc, *s.holderList) : std::vector<std::uint8_t>();
    // The site's shape, read once: the references are written as bytes, which might be any of it.
    const bool wide = s.width == 2;
    const int repeat = s.repeat, holders = s.holderCount;
    const std::size_t field = std::size_t(s.field), width = std::size_t(s.width);
    for (int h = 0; h < holders && !area.empty(); ++h) {
      const MutableByteSpan r = holderIn(area, s, h);
      if (inUseOnly ? !(std::size_t(h) < used.size() && used[std::size_t(h)]) : !takesPart(doc, s, r, h, s.*scope))
        continue;
      std::uint8_t* at = r.data() + field;
      for (int p = 0; p < repeat; ++p, at += width) {
        const std::uint32_t v = refAt(at, wide);
        if (v - 1 >= std::uint32_t(capacity)) continue;  // 0 or beyond the list: never touched
        const std::uint32_t nv = renumber(s, v);
        if (nv != v) setRefAt(at, wide, nv);
      }
    }
  }
}

}  // namespace

std::optional<ReferenceHit> findBlockingReference(const CodePlugDocument& doc, ListId id, int n) {
  if (!doc.hasImage()) return std::nullopt;
  for (const auto& s : referenceSites()) {
    if (s.referred != id || s.check == Never) continue;
    const ByteSpan area = holderArea(doc, s);
    const bool wide = s.width == 2;
    for (int h = 0; h < s.holderCount && !area.empty(); ++h) {
      const ByteSpan r = holderIn(area, s, h);
      if (!takesPart(doc, s, r, h, s.check)) continue;
      const std::uint8_t* at = r.data() + s.field;
      for (int p = 0; p < s.repeat; ++p, at += s.width)
        if (refAt(at, wide) == std::uint32_t(n)) return ReferenceHit{&s, h, p};
    }
  }
  return std::nullopt;
}

std::string fillFormat(const char* format, const std::vector<std::string>& values) {
  std::string out;
  std::size_t next = 0;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && (p[1] == 's' || p[1] == 'd')) {
      if (next < values.size()) out += values[next++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string refusalText(const CodePlugDocument& doc, ListId id, int n, const ReferenceHit& hit) {
  const ReferenceSite& s = *hit.site;
  std::vector<std::string> values;
  for (Arg a : s.args) {
    switch (a) {
      case ReferredName: values.push_back(recordName(doc, id, n - 1)); break;
      case ReferredNumber: values.push_back(std::to_string(n)); break;
      case HolderNumber: values.push_back(std::to_string(hit.holder + 1)); break;
      case MemberPosition: values.push_back(std::to_string(hit.position + 1)); break;
      case HolderName:
        values.push_back(s.holderList ? recordName(doc, *s.holderList, hit.holder)
                                      : fillFormat(s.holderLabel, {std::to_string(hit.holder + 1)}));
        break;
    }
  }
  return fillFormat(s.refusal, values);
}

void renumberAfterDelete(CodePlugDocument& doc, ListId id, int n) {
  forEachReference(doc, id, &ReferenceSite::onDelete, [n](const ReferenceSite& s, std::uint32_t r) {
    if (r == std::uint32_t(n) && s.deletedValue) return std::uint32_t(*s.deletedValue);
    return r > std::uint32_t(n) ? r - 1 : r;
  });
}

void renumberAfterMove(CodePlugDocument& doc, ListId id, int oldNumber, int newNumber) {
  if (oldNumber == newNumber) return;
  const std::uint32_t lo = std::min(oldNumber, newNumber), hi = std::max(oldNumber, newNumber);
  const int step = newNumber < oldNumber ? 1 : -1;
  forEachReference(doc, id, &ReferenceSite::onMove, [&](const ReferenceSite&, std::uint32_t r) {
    if (r == std::uint32_t(oldNumber)) return std::uint32_t(newNumber);
    if (r >= lo && r <= hi) return std::uint32_t(int(r) + step);
    return r;
  });
}

namespace {
void renumberByMap(CodePlugDocument& doc, ListId id, const std::vector<int>& oldToNew,
                   When ReferenceSite::*scope) {
  // References run from 1 to the list's capacity: a map that reaches it is read without a bound.
  const std::size_t reach = std::size_t(layoutOf(id).count) + 1;
  std::vector<int> padded;
  if (oldToNew.size() < reach) {
    padded = oldToNew;
    padded.resize(reach, 0);
  }
  const std::vector<int>& map = padded.empty() ? oldToNew : padded;
  forEachReference(doc, id, scope, [&](const ReferenceSite&, std::uint32_t r) {
    return map[r] > 0 ? std::uint32_t(map[r]) : r;
  });
}
}  // namespace

void renumberAfterPack(CodePlugDocument& doc, ListId id, const std::vector<int>& oldToNew) {
  renumberByMap(doc, id, oldToNew, &ReferenceSite::onDelete);
}

void renumberAfterBlockMove(CodePlugDocument& doc, ListId id, const std::vector<int>& oldToNew) {
  renumberByMap(doc, id, oldToNew, &ReferenceSite::onMove);
}

}  // namespace pw
