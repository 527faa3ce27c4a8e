#include "codeplug/CodePlugDocument.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "codeplug/DfuseSuffix.h"
#include "codeplug/FileWriter.h"
#include "codeplug/Normalise.h"

namespace pw {

const char* loadMessage(int code) {
  switch (code) {
    case kLoadOpen: return "Could not open the code plug file";
    case kLoadSeek: return "Could not seek to the end of the code plug file";
    case kLoadSize: return "Code plug file size error";
    case kLoadMemory: return "Could not get memory for the code plug file";
    case kLoadRead: return "Could not read from the code plug file";
    case kLoadSignature: return "Invalid code plug file (no DfuSe signature)";
    case kLoadVersion: return "Invalid code plug file (DfuSe version)";
    case kLoadImageSize: return "Invalid code plug file (DfuSe image size)";
    case kLoadTargets: return "Invalid code plug file (number of DfuSe images)";
    default: return "";
  }
}

const char* saveMessage(int code) {
  switch (code) {
    case kSaveCreate: return "Could not create the code plug file";
    case kSaveWrite: return "Could not write to the code plug file";
    default: return "";
  }
}

CodePlugDocument::CodePlugDocument(Prompt* prompt) : prompt_(prompt) {}

CodePlugDocument::~CodePlugDocument() {
  workingImage.clear();
  workingImage.shrink_to_fit();
  referenceImage.clear();
  referenceImage.shrink_to_fit();
}

FileWriter& CodePlugDocument::fileWriter() const { return writer_ ? *writer_ : defaultFileWriter(); }

void CodePlugDocument::adoptImage(std::vector<std::uint8_t> buffer, bool suffixCrcFollows) {
  if (buffer.data() != workingImage.data()) {
    workingImage = std::move(buffer);
    referenceImage.assign(workingImage.size(), 0);
  }
  suffixCrcMatched_ = suffixCrcFollows;
  snapshot();
  history_.reset(workingImage);
  setViews();
}

void CodePlugDocument::holdImage(std::vector<std::uint8_t> buffer) {
  workingImage = std::move(buffer);
  referenceImage.clear();
  suffixCrcMatched_ = false;
  history_.reset({});
  setViews();
}

void CodePlugDocument::setViews() {
  views.oneTouchAccess = fileOffset(kOneTouchAccess);
  views.numberKeyContacts = fileOffset(kNumberKeyContacts);
  views.textMessages = fileOffset(kTextMessages);
  views.basicPrivacyKeys = fileOffset(kBasicPrivacyKeys);
  views.enhancedPrivacyKeys = fileOffset(kEnhancedPrivacyKeys);
  views.emergencySystems = fileOffset(kEmergencySection);
  views.contacts = fileOffset(kContacts);
  views.rxGroupLists = fileOffset(kRxGroupLists);
  views.zones = fileOffset(kZones);
  views.scanLists = fileOffset(kScanLists);
  views.channels = fileOffset(kChannels);
  views.dtmf = fileOffset(kDtmf);
  views.gps = fileOffset(kGps);
}

void CodePlugDocument::snapshot() {
  if (!workingImage.empty() && referenceImage.size() == workingImage.size())
    std::memcpy(referenceImage.data(), workingImage.data(), workingImage.size());
}

bool CodePlugDocument::isModified() const {
  return !workingImage.empty() && referenceImage.size() == workingImage.size() &&
         std::memcmp(referenceImage.data(), workingImage.data(), workingImage.size()) != 0;
}

bool CodePlugDocument::hasPasswords() const {
  if (workingImage.size() != kRdtFileSize) return false;
  const ByteSpan img = image();
  const bool powerOn = (u8(img, kPowerOnPasswordFlags) & 0x20) == 0;
  const bool radioProgram = u8(img, kRadioProgramPassword) != 0xFF;
  const bool pcProgramming = u8(img, kPcProgrammingPassword) != 0xFF;
  return powerOn || radioProgram || pcProgramming;
}

namespace {

// Only a regular file is read: a folder, device or named pipe fails to open (a pipe
// would otherwise block until something writes to it).
int readWholeFile(const std::string& name, std::vector<std::uint8_t>& out) {
  const int fd = openRegularFile(name);
  if (fd < 0) return kLoadOpen;
  const auto code = [&] {
    const off_t length = ::lseek(fd, 0, SEEK_END);
    if (length < 0) return kLoadSeek;
    if (std::size_t(length) != kRdtFileSize) return kLoadSize;
    try {
      out.assign(kRdtFileSize, 0);
    } catch (const std::bad_alloc&) {
      return kLoadMemory;
    }
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t n = ::pread(fd, out.data() + done, out.size() - done, off_t(done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return kLoadRead;
      done += std::size_t(n);
    }
    return kLoadOk;
  }();
  ::close(fd);
  return code;
}

int checkDfuse(const std::vector<std::uint8_t>& file) {
  if (std::memcmp(file.data(), "DfuSe", 5) != 0) return kLoadSignature;
  if (file[kFileDfuseVersion] != 1) return kLoadVersion;
  if (u32le(file, kFileDfuseImageSize) != kDfuseImageSizeValue) return kLoadImageSize;
  if (file[kFileDfuseTargets] != 1) return kLoadTargets;
  return kLoadOk;
}

}  // namespace

int checkRdtFile(const std::vector<std::uint8_t>& file) {
  return file.size() != kRdtFileSize ? kLoadSize : checkDfuse(file);
}

int CodePlugDocument::loadCodePlug(const std::string& name, bool showMessages, LoadMode mode) {
  std::vector<std::uint8_t> buffer;
  int code = readWholeFile(name, buffer);
  if (code == kLoadOk) code = checkDfuse(buffer);
  if (code != kLoadOk) {
    if (showMessages) prompt().error(loadMessage(code));
    return code;
  }
  const bool crcMatched = suffixCrcMatches(buffer);
  adoptImage(std::move(buffer), crcMatched);
  if (mode == LoadMode::Normalise) normaliseLists(*this);
  history_.reset(workingImage);  // the packing on load is not the user's to undo
  if (onLoaded) onLoaded();
  return kLoadOk;
}

int CodePlugDocument::saveCodePlug(const std::string& name) {
  if (workingImage.empty() || size() <= 0) return kSaveNothing;
  if (hasPasswords() &&
      !prompt().warnYesNo("This code plug has passwords set (General Tab).\n\nMAKE SURE you know what they are "
                          "!\n\nAre you sure you want to save this code plug ?"))
    return kSaveNothing;
  // Written from the working image itself: a copy per save costs more than the CRC.
  const std::uint32_t crcBefore = storedSuffixCrc(workingImage);
  putInSavedForm(workingImage);
  const WriteResult result = fileWriter().writeFile(name, workingImage);
  if (result != WriteResult::Ok) {
    saveError_ = errno;
    setU32le(workingImage, kFileSuffixCrc, crcBefore);
    const int code = result == WriteResult::CreateFailed ? kSaveCreate : kSaveWrite;
    prompt().error(saveMessage(code));
    return code;
  }
  // The CRC follows the bytes: it is nobody's edit, so no undo step holds it.
  if (suffixCrcMatched_) history_.adoptDerived(workingImage, kFileSuffixCrc, 4);
  snapshot();
  return kSaveOk;
}

void CodePlugDocument::putInSavedForm(std::vector<std::uint8_t>& file) const {
  if (suffixCrcMatched_ && file.size() == kRdtFileSize) setSuffixCrc(file);
}

std::vector<std::uint8_t> CodePlugDocument::imageAsSaved() const {
  std::vector<std::uint8_t> file = workingImage;
  putInSavedForm(file);
  return file;
}

bool CodePlugDocument::restoreImage(const std::vector<std::uint8_t>& file, std::string_view stepName) {
  if (!hasImage() || referenceImage.size() != workingImage.size() || checkRdtFile(file) != kLoadOk)
    return false;
  settleEdits("edit");
  std::copy(file.begin(), file.end(), workingImage.begin());
  normaliseLists(*this);
  settleEdits(stepName);
  return true;
}

bool CodePlugDocument::settleEdits(std::string_view label, std::uint64_t mergeKey) {
  if (stepHolds_ > 0) return false;
  const std::string name = nextStepName_.empty() ? std::string(label) : std::move(nextStepName_);
  nextStepName_.clear();
  return history_.settle(workingImage, name, mergeKey);
}

bool CodePlugDocument::undo() {
  settleEdits("edit");
  return history_.undo(workingImage);
}

bool CodePlugDocument::redo() {
  settleEdits("edit");
  return history_.redo(workingImage);
}

MutableByteSpan CodePlugDocument::image() {
  if (workingImage.size() != kRdtFileSize) return {};
  return MutableByteSpan(workingImage).subspan(kImageBase, kImageSize);
}

ByteSpan CodePlugDocument::image() const {
  if (workingImage.size() != kRdtFileSize) return {};
  return ByteSpan(workingImage).subspan(kImageBase, kImageSize);
}

MutableByteSpan CodePlugDocument::bytes(std::size_t imageOffset, std::size_t length) {
  MutableByteSpan img = image();
  if (imageOffset > img.size() || length > img.size() - imageOffset) return {};
  return img.subspan(imageOffset, length);
}

ByteSpan CodePlugDocument::bytes(std::size_t imageOffset, std::size_t length) const {
  ByteSpan img = image();
  if (imageOffset > img.size() || length > img.size() - imageOffset) return {};
  return img.subspan(imageOffset, length);
}

int CodePlugDocument::frequencyRangeCode() const {
  return workingImage.size() == kRdtFileSize ? workingImage[kFileFrequencyRange] & 3 : 0;
}

WriteResult writeExport(const CodePlugDocument& doc, const std::string& path, std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const WriteResult result =
      doc.fileWriter().writeFile(path, std::span<const std::uint8_t>(bytes, text.size()));
  if (result == WriteResult::CreateFailed) doc.prompt().error("Could not create the file");
  if (result == WriteResult::WriteFailed) doc.prompt().error("Could not write to the file");
  return result;
}

}  // namespace pw
