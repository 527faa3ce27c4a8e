#include "codeplug/ReferenceWeb.h"

#include <cstdio>

#include "codeplug/Encodings.h"

namespace pw {
namespace {

using enum When;
using enum Arg;


}  // namespace

// The whole web of references. Order matters: for each referred list, the sites
// are checked in the order they appear here, and the first hit names the refusal.
const std::vector<ReferenceSite>& referenceSites() {
  static const std::vector<ReferenceSite> sites = {
      // ---- contacts ----
      {ListId::Contacts, kOneTouchAccess, kOneTouchCount, kOneTouchSize, 2, 2, 1, std::nullopt, nullptr,
       OneTouchDigital, "Cannot delete contact \"%s\".\n\nIt's used in one-touch-access \"%d\" button setting",
       {ReferredName, HolderNumber}, OneTouchDigital, OneTouchDigital, std::nullopt},
      {ListId::Contacts, kNumberKeyContacts, kNumberKeyCount, 2, 0, 2, 1, std::nullopt, nullptr, Always,
       "Cannot delete contact \"%s\".\n\nIt's used in button number-key %d setting",
       {ReferredName, HolderNumber}, Always, Always, std::nullopt},
      {ListId::Contacts, kRxGroupLists, kRxGroupListCount, kRxGroupListSize, 32, 2, kRxGroupMemberCount,
       ListId::RxGroupLists, nullptr, Always,
       "Cannot delete contact \"%s\".\n\nIt's used in group \"%s\".%d setting",
       {ReferredName, HolderName, MemberPosition}, Always, HolderInUse, std::nullopt},
      {ListId::Contacts, kChannels, kChannelCount, kChannelSize, 6, 2, 1, ListId::Channels, nullptr,
       ChannelDigital, "Cannot delete contact \"%s\".\n\nIt's used in channel \"%s\" setting",
       {ReferredName, HolderName}, Always, HolderInUse, std::nullopt},
      {ListId::Contacts, kGps, kGpsCount, kGpsSize, 4, 2, 1, std::nullopt, nullptr, Always,
       "Cannot delete contact \"%s\".\n\nIt's used in GPS %d setting", {ReferredName, HolderNumber}, Always,
       Always, std::nullopt},

      // ---- channels ----
      {ListId::Channels, kEmergencySystems, kEmergencySystemCount, kEmergencySystemSize, 36, 2, 1,
       ListId::EmergencySystems, nullptr, Always,
       "Cannot delete channel \"%s\".\n\nIt's used in EMERGENCY SYSTEM \"%s\" setting",
       {ReferredName, HolderName}, Always, HolderInUse, std::nullopt},
      {ListId::Channels, kZones, kZoneCount, kZoneSize, 32, 2, kZoneMemberCount, ListId::Zones, nullptr,
       Always, "Cannot delete channel \"%s\".\n\nIt's used in ZONES \"%s\" setting",
       {ReferredName, HolderName}, Always, HolderInUse, std::nullopt},
      {ListId::Channels, kScanLists, kScanListCount, kScanListSize, 42, 2, kScanListMemberCount,
       ListId::ScanLists, nullptr, Always,
       "Cannot delete channel \"%s\".\n\nIt's used in SCAN LIST \"%s\" setting",
       {ReferredName, HolderName}, Always, HolderInUse, std::nullopt},
      {ListId::Channels, kDtmfDecodeEntries, kDtmfDecodeCount, kDtmfDecodeSize, 20, 2, 1, std::nullopt,
       "DTMF-%d", Always, "Cannot delete channel \"%s\".\n\nIt's used in DTMF \"%s\" setting",
       {ReferredName, HolderName}, Always, Always, std::nullopt},
      {ListId::Channels, kGps, kGpsCount, kGpsSize, 0, 2, 1, std::nullopt, "GPS-DECODE-%d", Always,
       "Cannot delete channel \"%s\".\n\nIt's used in GPS \"%s\" setting", {ReferredName, HolderName},
       Always, Always, std::nullopt},
      // Priority channel 1, 2 and the designated transmit channel of each scan list follow
      // their channel too; a deleted channel leaves them at "None" / "Last Active Channel".
      {ListId::Channels, kScanLists, kScanListCount, kScanListSize, 32, 2, 3, ListId::ScanLists, nullptr,
       Never, nullptr, {}, Always, HolderInUse, std::uint16_t{0xFFFF}},

      // ---- lists that channels refer to ----
      {ListId::RxGroupLists, kChannels, kChannelCount, kChannelSize, 12, 1, 1, ListId::Channels, nullptr,
       ChannelDigital, "Cannot delete group \"%s\".\n\nIt's used in channel \"%s\" setting",
       {ReferredName, HolderName}, Always, HolderInUse, std::nullopt},
      {ListId::ScanLists, kChannels, kChannelCount, kChannelSize, 11, 1, 1, ListId::Channels, nullptr, Always,
       "Cannot delete scan list \"%s\".\n\nIt's used in channel \"%s\" setting", {ReferredName, HolderName},
       Always, HolderInUse, std::nullopt},
      {ListId::EmergencySystems, kChannels, kChannelCount, kChannelSize, 10, 1, 1, ListId::Channels, nullptr,
       ChannelDigital, "Cannot delete emergency system \"%s\".\n\nIt's used in channel \"%s\" setting",
       {ReferredName, HolderName}, Always, HolderInUse, std::nullopt},

      // ---- text messages, sent by one-touch entries ----
      {ListId::TextMessages, kOneTouchAccess, kOneTouchCount, kOneTouchSize, 1, 1, 1, std::nullopt, nullptr,
       OneTouchText, "Cannot delete text message \"%d\".\n\nIt's used in one-touch-access \"%d\" button setting",
       {ReferredNumber, HolderNumber}, OneTouchText, OneTouchText, std::nullopt},
  };
  return sites;
}

namespace {

ByteSpan holderBytes(const CodePlugDocument& doc, const ReferenceSite& s, int h) {
  return doc.bytes(s.base + std::size_t(h) * s.holderSize, s.holderSize);
}
MutableByteSpan holderBytes(CodePlugDocument& doc, const ReferenceSite& s, int h) {
  return doc.bytes(s.base + std::size_t(h) * s.holderSize, s.holderSize);
}

bool holds(const CodePlugDocument& doc, const ReferenceSite& s, int h, When when) {
  const ByteSpan r = holderBytes(doc, s, h);
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

std::uint32_t readRef(ByteSpan r, const ReferenceSite& s, int pos) {
  const std::size_t at = s.field + std::size_t(pos) * s.width;
  return s.width == 1 ? u8(r, at) : u16le(r, at);
}
void writeRef(MutableByteSpan r, const ReferenceSite& s, int pos, std::uint32_t v) {
  const std::size_t at = s.field + std::size_t(pos) * s.width;
  if (s.width == 1)
    setU8(r, at, static_cast<std::uint8_t>(v));
  else
    setU16le(r, at, static_cast<std::uint16_t>(v));
}

// Applies `renumber` to every reference to list `id` in the holders that `scope` selects.
template <typename F>
void forEachReference(CodePlugDocument& doc, ListId id, When ReferenceSite::*scope, F renumber) {
  if (!doc.hasImage()) return;
  const int capacity = layoutOf(id).count;
  for (const auto& s : referenceSites()) {
    if (s.referred != id) continue;
    for (int h = 0; h < s.holderCount; ++h) {
      if (!holds(doc, s, h, s.*scope)) continue;
      MutableByteSpan r = holderBytes(doc, s, h);
      for (int p = 0; p < s.repeat; ++p) {
        const std::uint32_t v = readRef(r, s, p);
        if (v < 1 || v > std::uint32_t(capacity)) continue;  // not a reference: never touched
        const std::uint32_t nv = renumber(s, v);
        if (nv != v) writeRef(r, s, p, nv);
      }
    }
  }
}

}  // namespace

std::optional<ReferenceHit> findBlockingReference(const CodePlugDocument& doc, ListId id, int n) {
  if (!doc.hasImage()) return std::nullopt;
  for (const auto& s : referenceSites()) {
    if (s.referred != id || s.check == Never) continue;
    for (int h = 0; h < s.holderCount; ++h) {
      if (!holds(doc, s, h, s.check)) continue;
      const ByteSpan r = holderBytes(doc, s, h);
      for (int p = 0; p < s.repeat; ++p)
        if (readRef(r, s, p) == std::uint32_t(n)) return ReferenceHit{&s, h, p};
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
  forEachReference(doc, id, scope, [&](const ReferenceSite&, std::uint32_t r) {
    return r < oldToNew.size() && oldToNew[r] > 0 ? std::uint32_t(oldToNew[r]) : r;
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
