#pragma once
// Every place outside the channel section that holds a channel number, laid out here
// from the record formats rather than taken from the model's reference table, so the
// channel tests check that table instead of restating it.

#include <cstdint>
#include <optional>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"

namespace pwtest {

enum class RefKind { EmergencyRevert, ZoneMember, ScanMember, ScanPriority, DtmfRevert, GpsRevert };

struct RefSlot {
  RefKind kind;
  int holder;       // 0-based holder record
  std::size_t at;   // image offset of the 16-bit word
};

inline std::optional<pw::ListId> holderList(RefKind k) {
  switch (k) {
    case RefKind::EmergencyRevert: return pw::ListId::EmergencySystems;
    case RefKind::ZoneMember: return pw::ListId::Zones;
    case RefKind::ScanMember:
    case RefKind::ScanPriority: return pw::ListId::ScanLists;
    default: return std::nullopt;  // DTMF decode entries and GPS systems have no names
  }
}
// The priority and designated transmit channels follow their channel but never block a delete.
inline bool blocksDelete(RefKind k) { return k != RefKind::ScanPriority; }

inline std::vector<RefSlot> channelRefSlots() {
  using namespace pw;
  std::vector<RefSlot> v;
  auto add = [&](RefKind k, std::size_t base, int holders, int size, int field, int words) {
    for (int h = 0; h < holders; ++h)
      for (int w = 0; w < words; ++w) v.push_back({k, h, base + std::size_t(h) * size + field + 2 * w});
  };
  add(RefKind::EmergencyRevert, kEmergencySystems, kEmergencySystemCount, kEmergencySystemSize, 36, 1);
  add(RefKind::ZoneMember, kZones, kZoneCount, kZoneSize, 32, kZoneMemberCount);
  add(RefKind::ScanMember, kScanLists, kScanListCount, kScanListSize, 42, kScanListMemberCount);
  add(RefKind::ScanPriority, kScanLists, kScanListCount, kScanListSize, 32, 3);
  add(RefKind::DtmfRevert, kDtmfDecodeEntries, kDtmfDecodeCount, kDtmfDecodeSize, 20, 1);
  add(RefKind::GpsRevert, kGps, kGpsCount, kGpsSize, 0, 1);
  return v;
}

inline std::uint16_t word(const pw::CodePlugDocument& doc, std::size_t at) { return pw::u16le(doc.image(), at); }
inline void setWord(pw::CodePlugDocument& doc, std::size_t at, std::uint16_t v) { pw::setU16le(doc.image(), at, v); }

}  // namespace pwtest
