#include "support/CodePlugBuilder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "codeplug/DfuseSuffix.h"
#include "codeplug/Encodings.h"

namespace pwtest {
using namespace pw;

namespace {

constexpr std::size_t kTargetPrefix = 11, kElementHeader = 285;
constexpr std::uint32_t kElementSize = 256 + kImageSize;

void put32(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v) { setU32le(f, at, v); }

std::vector<std::uint8_t> framedFile(int rangeCode, std::string_view model) {
  std::vector<std::uint8_t> f(kRdtFileSize, 0);
  std::memcpy(f.data(), "DfuSe", 5);
  f[kFileDfuseVersion] = 1;
  put32(f, kFileDfuseImageSize, kDfuseImageSizeValue);
  f[kFileDfuseTargets] = 1;
  // Target prefix: signature, alternate setting, named flag, name, size, element count.
  std::memcpy(f.data() + kTargetPrefix, "Target", 6);
  f[kTargetPrefix + 6] = 0;
  put32(f, kTargetPrefix + 7, 1);
  std::memcpy(f.data() + kTargetPrefix + 11, "Code plug", 9);
  put32(f, kTargetPrefix + 266, 8 + kElementSize);
  put32(f, kTargetPrefix + 270, 1);
  // Element header: load address and size of the radio information block plus image.
  put32(f, kElementHeader, 0);
  put32(f, kElementHeader + 4, kElementSize);
  // Radio information block: unused bytes are 0xFF as the radio leaves them.
  std::memset(f.data() + kFileRadioInfo, 0xFF, 256);
  std::memset(f.data() + kFileRadioInfo, 0, 16);
  std::memcpy(f.data() + kFileRadioInfo, model.data(), std::min<std::size_t>(model.size(), 16));
  f[kFileFrequencyRange] = static_cast<std::uint8_t>(rangeCode);
  // Suffix: device, product, vendor, DFU version, "UFD", length; the CRC is set by bytes().
  std::uint8_t suffix[12] = {0xFF, 0xFF, 0x11, 0xDF, 0x83, 0x04, 0x1A, 0x01, 'U', 'F', 'D', 16};
  std::memcpy(f.data() + kFileDfuseSuffix, suffix, sizeof suffix);
  return f;
}

}  // namespace

CodePlugBuilder::CodePlugBuilder(int frequencyRangeCode, std::string_view modelName) {
  doc_.adoptImage(framedFile(frequencyRangeCode, modelName));
  MutableByteSpan img = doc_.image();
  // General settings: no power-on password, no radio program or PC programming password.
  img[kPowerOnPasswordFlags] = 0x20 | 0x04;
  std::memset(img.data() + kRadioProgramPassword, 0xFF, 4);
  std::memset(img.data() + kPcProgrammingPassword, 0xFF, 8);
  for (int l = 0; l < kListCount; ++l) {
    const auto id = static_cast<ListId>(l);
    for (int i = 0; i < layoutOf(id).count; ++i) initEntry(doc_, id, i, {});
  }
  // GPS systems and DTMF decode entries "not set".
  for (int g = 0; g < kGpsCount; ++g) {
    setU16le(img, kGps + g * kGpsSize, g == 0 ? 0 : 0xFFFF);
    setU16le(img, kGps + g * kGpsSize + 4, g == 0 ? 0 : 0xFFFF);
  }
}

CodePlugBuilder& CodePlugBuilder::named(ListId list, int index, std::string_view name) {
  initEntry(doc_, list, index, name);
  if (!inUse(doc_, list, index)) throw std::invalid_argument("builder: empty name");
  return *this;
}

CodePlugBuilder& CodePlugBuilder::fill(ListId list, int count, std::string_view prefix) {
  for (int i = 0; i < count; ++i) named(list, i, std::string(prefix) + std::to_string(i + 1));
  return *this;
}

CodePlugBuilder& CodePlugBuilder::fillEveryList() {
  const std::pair<ListId, const char*> prefixes[] = {
      {ListId::TextMessages, "Message "}, {ListId::EmergencySystems, "Alarm "}, {ListId::Contacts, "Contact "},
      {ListId::RxGroupLists, "Group "},   {ListId::Zones, "Zone "},             {ListId::ScanLists, "Scan "},
      {ListId::Channels, "Ch "}};
  for (const auto& [list, prefix] : prefixes) fill(list, pw::layoutOf(list).count, prefix);
  return *this;
}

const std::vector<std::uint8_t>& fullPlugFile() {
  static const std::vector<std::uint8_t> file = [] {
    CodePlugBuilder b;
    b.fillEveryList();
    std::vector<int> channels(kZoneMemberCount), contacts(kRxGroupMemberCount);
    for (int i = 0; i < kZoneCount; ++i) {
      for (int k = 0; k < kZoneMemberCount; ++k) channels[k] = (i * 4 + k) % kChannelCount + 1;
      for (int k = 0; k < kRxGroupMemberCount; ++k) contacts[k] = (i * 4 + k) % kContactCount + 1;
      b.members(ListId::Zones, i, channels).members(ListId::ScanLists, i, channels);
      b.members(ListId::RxGroupLists, i, contacts);
    }
    for (int i = 0; i < kChannelCount; ++i) b.channelContact(i, i + 1);
    return b.bytes();
  }();
  return file;
}

MutableByteSpan CodePlugBuilder::record(ListId list, int index) { return recordBytes(doc_, list, index); }

CodePlugBuilder& CodePlugBuilder::contact(int index, std::string_view name, std::uint32_t callId, int callType,
                                          bool rxTone) {
  named(ListId::Contacts, index, name);
  MutableByteSpan r = record(ListId::Contacts, index);
  setU24le(r, 0, callId);
  r[3] = static_cast<std::uint8_t>(0xC0 | (callType & 7) | (rxTone ? 0x20 : 0));
  return *this;
}

CodePlugBuilder& CodePlugBuilder::channel(int index, std::string_view name, int mode) {
  named(ListId::Channels, index, name);
  MutableByteSpan r = record(ListId::Channels, index);
  r[0] = static_cast<std::uint8_t>((r[0] & ~3) | (mode & 3));
  return *this;
}

CodePlugBuilder& CodePlugBuilder::channelContact(int index, int contactNumber) {
  setU16le(record(ListId::Channels, index), 6, static_cast<std::uint16_t>(contactNumber));
  return *this;
}

CodePlugBuilder& CodePlugBuilder::members(ListId owner, int index, const std::vector<int>& values) {
  const auto& m = memberLayoutOf(owner);
  MutableByteSpan r = record(owner, index);
  for (int s = 0; s < m.slotCount; ++s)
    setU16le(r, m.offset + 2 * s, s < int(values.size()) ? static_cast<std::uint16_t>(values[s]) : 0);
  return *this;
}

CodePlugBuilder& CodePlugBuilder::oneTouch(int k, int mode, int callType, int message, int contactNumber) {
  const std::size_t at = kOneTouchAccess + std::size_t(k) * kOneTouchSize;
  MutableByteSpan img = doc_.image();
  img[at] = static_cast<std::uint8_t>(((mode & 3) << 4) | (callType & 3) | (mode == 2 ? 0x08 : 0));
  img[at + 1] = static_cast<std::uint8_t>(message);
  setU16le(img, at + 2, static_cast<std::uint16_t>(contactNumber));
  return *this;
}

CodePlugBuilder& CodePlugBuilder::numberKey(int k, int contactNumber) {
  return u16(kNumberKeyContacts + 2 * std::size_t(k), static_cast<std::uint16_t>(contactNumber));
}

CodePlugBuilder& CodePlugBuilder::u8(std::size_t at, std::uint8_t v) {
  setU8(doc_.image(), at, v);
  return *this;
}
CodePlugBuilder& CodePlugBuilder::u16(std::size_t at, std::uint16_t v) {
  setU16le(doc_.image(), at, v);
  return *this;
}
CodePlugBuilder& CodePlugBuilder::fileByte(std::size_t at, std::uint8_t v) {
  doc_.workingImage.at(at) = v;
  return *this;
}
MutableByteSpan CodePlugBuilder::image() { return doc_.image(); }

std::vector<std::uint8_t> CodePlugBuilder::bytes() const {
  std::vector<std::uint8_t> f = doc_.workingImage;
  setSuffixCrc(f);
  return f;
}

std::string testTempDir() {
  static const std::string dir = [] {
    const char* base = std::getenv("PLUGWRIGHT_TEST_TMP");
    std::filesystem::path p = base && *base ? base : std::filesystem::temp_directory_path().string();
    p /= "pw-" + std::to_string(::getpid());
    std::filesystem::create_directories(p);
    return p.string();
  }();
  return dir;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

std::string CodePlugBuilder::writeTo(const std::string& fileName) const {
  const std::string path =
      fileName.find('/') == std::string::npos ? testTempDir() + "/" + fileName : fileName;
  writeFile(path, bytes());
  return path;
}

int CodePlugBuilder::loadInto(CodePlugDocument& doc, const std::string& fileName) const {
  const std::string path = writeTo(fileName);
  const int code = doc.loadCodePlug(path, true);
  if (code == 0) doc.fileName = path;
  return code;
}

}  // namespace pwtest
