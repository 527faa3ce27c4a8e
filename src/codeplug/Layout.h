#pragma once
// Where everything lives. Offsets are image offsets (from the first byte of the
// 256 KiB code plug image) unless named kFile...; the document holds the whole
// RDT file, so image offset + kImageBase is the position in its buffers.

#include <cstddef>
#include <cstdint>

namespace pw {

// ---- The RDT file ----
constexpr std::size_t kRdtFileSize = 262709;       // 0x40235
constexpr std::size_t kImageBase = 549;            // 0x225: DfuSe prefix, target prefix, element header, radio info
constexpr std::size_t kImageSize = 262144;         // 256 KiB
constexpr std::size_t kFileDfuseImageSize = 6;     // u32le, must be 0x40125
constexpr std::uint32_t kDfuseImageSizeValue = 0x40125;
constexpr std::size_t kFileDfuseVersion = 5;
constexpr std::size_t kFileDfuseTargets = 10;
constexpr std::size_t kFileRadioInfo = 293;        // 256-byte radio information block
constexpr std::size_t kFileFrequencyRange = 0x136; // low two bits: band of the radio
constexpr std::size_t kFileDfuseSuffix = 262693;   // 16 bytes

constexpr std::size_t fileOffset(std::size_t imageOffset) { return imageOffset + kImageBase; }

// ---- Passwords (general settings block at 0x2040) ----
constexpr std::size_t kGeneralSettings = 0x2040;
constexpr std::size_t kPowerOnPasswordFlags = 0x2081;   // bit 5 set = no power-on password
constexpr std::size_t kRadioProgramPassword = 0x209C;   // 4 BCD bytes, 0xFF = none
constexpr std::size_t kPcProgrammingPassword = 0x20A0;  // 8 characters, 0xFF = none

// ---- Sections ----
constexpr std::size_t kOneTouchAccess = 0x2114;      // 6 x 4
constexpr int kOneTouchCount = 6, kOneTouchSize = 4;
constexpr std::size_t kNumberKeyContacts = 0x212C;   // 10 x 2
constexpr int kNumberKeyCount = 10;
constexpr std::size_t kTextMessages = 0x2180;        // 50 x 288
constexpr int kTextMessageCount = 50, kTextMessageSize = 288, kTextMessageUnits = 144;
constexpr std::size_t kEnhancedPrivacyKeys = 0x59C0; // 8 x 16
constexpr std::size_t kBasicPrivacyKeys = 0x5A50;    // 16 x 2
constexpr std::size_t kEmergencySection = 0x5A70;    // 16-byte header, then the systems
constexpr std::size_t kEmergencySystems = 0x5A80;    // 32 x 40
constexpr int kEmergencySystemCount = 32, kEmergencySystemSize = 40;
constexpr std::size_t kContacts = 0x5F80;            // 1000 x 36
constexpr int kContactCount = 1000, kContactSize = 36;
constexpr std::size_t kRxGroupLists = 0xEC20;        // 250 x 96
constexpr int kRxGroupListCount = 250, kRxGroupListSize = 96, kRxGroupMemberCount = 32;
constexpr std::size_t kZones = 0x149E0;              // 250 x 64
constexpr int kZoneCount = 250, kZoneSize = 64, kZoneMemberCount = 16;
constexpr std::size_t kScanLists = 0x18860;          // 250 x 104
constexpr int kScanListCount = 250, kScanListSize = 104, kScanListMemberCount = 31;
constexpr std::size_t kChannels = 0x1EE00;           // 1000 x 64
constexpr int kChannelCount = 1000, kChannelSize = 64;
constexpr std::size_t kDtmf = 0x30000;
constexpr std::size_t kDtmfDecodeEntries = 0x302C0;  // 8 x 24
constexpr int kDtmfDecodeCount = 8, kDtmfDecodeSize = 24;
constexpr std::size_t kGps = 0x3EC40;                // 16 x 16
constexpr int kGpsCount = 16, kGpsSize = 16;

constexpr int kNameUnits = 16;  // list record names: 16 code units, 32 bytes

}  // namespace pw
