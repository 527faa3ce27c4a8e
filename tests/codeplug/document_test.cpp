#include <gtest/gtest.h>

#include <filesystem>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/DfuseSuffix.h"
#include "codeplug/FileWriter.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

using namespace pw;
using namespace pwtest;

namespace {

using Loaded = PromptedDocument;

// A writer whose disk fills up after `allowed` bytes.
class FullDiskWriter : public FileWriter {
public:
  explicit FullDiskWriter(std::size_t allowed) : allowed_(allowed) {}

protected:
  long writeChunk(int fd, const std::uint8_t* data, std::size_t length) override {
    if (written_ >= allowed_) return -1;
    const std::size_t n = std::min(length, allowed_ - written_);
    written_ += n;
    return FileWriter::writeChunk(fd, data, n);
  }

private:
  std::size_t allowed_, written_ = 0;
};

std::size_t filesIn(const std::string& dir) {
  return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
}

}  // namespace

TEST(Document, NewDocumentHoldsNothing) {
  CodePlugDocument doc;
  EXPECT_FALSE(doc.hasImage());
  EXPECT_EQ(doc.size(), 0);
  EXPECT_FALSE(doc.isModified());
  EXPECT_EQ(doc.saveCodePlug(testTempDir() + "/never.rdt"), kSaveNothing);
  EXPECT_FALSE(std::filesystem::exists(testTempDir() + "/never.rdt"));
}

// A held image (the text form's scratch documents) is read and written, but nothing
// done to it is a change to save or a step to undo.
TEST(Document, AHeldImageIsNeverAChange) {
  CodePlugDocument doc;
  doc.holdImage(CodePlugBuilder().bytes());
  ASSERT_TRUE(doc.hasImage());
  doc.bytes(kGeneralSettings, 1)[0] ^= 0xFF;
  EXPECT_FALSE(doc.isModified());
  EXPECT_FALSE(doc.settleEdits("edit"));
  EXPECT_FALSE(doc.undo());
}

TEST(Document, CleanFileLoadsUnmodifiedAndSavesByteIdentical) {
  Loaded l;
  CodePlugBuilder b;
  b.contact(0, "Bob", 1234).channel(0, "Ch", 2).channelContact(0, 1);
  const auto original = b.bytes();
  ASSERT_EQ(b.loadInto(l.doc), 0);
  EXPECT_FALSE(l.doc.isModified());
  EXPECT_EQ(l.doc.size(), 262709);
  const std::string out = testTempDir() + "/roundtrip.rdt";
  ASSERT_EQ(l.doc.saveCodePlug(out), 0);
  EXPECT_EQ(readFile(out), original);
  EXPECT_TRUE(l.prompt.shown.empty());
}

// A file that loaded with a matching suffix CRC is saved with the CRC of the saved bytes.
TEST(Document, SaveKeepsAMatchingSuffixCrcMatchingAndNoUndoStepHoldsIt) {
  const std::string check = "123456789";  // CRC-32 0xCBF43926, which DfuSe stores uninverted
  EXPECT_EQ(dfuseCrc({reinterpret_cast<const std::uint8_t*>(check.data()), check.size()}), 0x340BC6D9u);
  Loaded l;
  ASSERT_EQ(CodePlugBuilder().loadInto(l.doc), 0);
  const auto loaded = l.doc.workingImage;
  recordBytes(l.doc, ListId::Channels, 0)[4] ^= 1;
  l.doc.settleEdits("edit");
  ASSERT_EQ(l.doc.saveCodePlug(testTempDir() + "/crc.rdt"), 0);
  EXPECT_EQ(storedSuffixCrc(readFile(testTempDir() + "/crc.rdt")), dfuseCrc(ByteSpan(l.doc.workingImage).first(kFileSuffixCrc)));
  ASSERT_TRUE(l.doc.undo());
  EXPECT_TRUE(std::equal(loaded.begin(), loaded.end() - 4, l.doc.workingImage.begin()));
}

// Save writes the image as saved: with a CRC that matched on load the CRC follows the
// edits, otherwise its four bytes stay. Asking changes nothing; a save takes the CRC it
// wrote into the working image, and a failed one leaves the image as it was.
TEST(Document, SaveWritesTheImageAsSaved) {
  for (const bool matched : {true, false}) {
    SCOPED_TRACE(matched ? "matched" : "not matched");
    Loaded l;
    auto bytes = CodePlugBuilder().bytes();
    if (!matched) bytes[kFileSuffixCrc] ^= 1;
    const std::string out = testTempDir() + "/as-saved.rdt";
    writeFile(out, bytes);
    ASSERT_EQ(l.doc.loadCodePlug(out, false), 0);
    recordBytes(l.doc, ListId::Channels, 0)[4] ^= 1;
    const auto edited = l.doc.workingImage;
    const auto asSaved = l.doc.imageAsSaved();
    EXPECT_EQ(l.doc.workingImage, edited);
    EXPECT_EQ(suffixCrcMatches(asSaved), matched);
    EXPECT_TRUE(std::equal(edited.begin(), edited.end() - 4, asSaved.begin()));
    if (!matched) EXPECT_EQ(asSaved, edited);

    FullDiskWriter full(0);
    l.doc.setFileWriter(&full);
    EXPECT_EQ(l.doc.saveCodePlug(out), kSaveWrite);
    EXPECT_EQ(l.doc.workingImage, edited);
    l.doc.setFileWriter(nullptr);
    ASSERT_EQ(l.doc.saveCodePlug(out), 0);
    EXPECT_EQ(readFile(out), asSaved);
    EXPECT_EQ(l.doc.workingImage, asSaved);
  }
}

// A restored image is held as a loaded file is (packed) and is one named undo step; what
// was not settled before it stays a step of its own. An image that is no code plug file
// changes nothing, not even the steps.
TEST(Document, RestoreIsOneNamedUndoStep) {
  Loaded l;
  ASSERT_EQ(CodePlugBuilder().fill(ListId::Channels, 3, "Ch ").loadInto(l.doc), 0);
  const auto loaded = l.doc.workingImage;
  renameRecord(l.doc, ListId::Channels, 0, "Unsettled");
  const auto edited = l.doc.workingImage;

  auto restored = CodePlugBuilder().channel(1, "Second").bytes();  // a gap before the channel
  auto spoilt = restored;
  spoilt[kFileDfuseVersion] = 2;
  for (const auto& bad : {spoilt, std::vector<std::uint8_t>(restored.begin(), restored.end() - 1)}) {
    EXPECT_FALSE(l.doc.restoreImage(bad, "restore"));
    EXPECT_EQ(l.doc.workingImage, edited);
    EXPECT_EQ(l.doc.history().stepCount(), 0u);
  }

  ASSERT_TRUE(l.doc.restoreImage(restored, "restore unsaved changes"));
  EXPECT_EQ(usedCount(l.doc, ListId::Channels), 1);
  EXPECT_EQ(recordName(l.doc, ListId::Channels, 0), "Second");
  EXPECT_EQ(l.doc.history().undoLabel(), "restore unsaved changes");
  EXPECT_EQ(l.doc.referenceImage, loaded);
  const auto after = l.doc.workingImage;
  ASSERT_TRUE(l.doc.undo());
  EXPECT_EQ(l.doc.workingImage, edited);
  ASSERT_TRUE(l.doc.undo());
  EXPECT_EQ(l.doc.workingImage, loaded);
  ASSERT_TRUE(l.doc.redo() && l.doc.redo());
  EXPECT_EQ(l.doc.workingImage, after);

  CodePlugDocument empty;
  EXPECT_FALSE(empty.restoreImage(restored, "restore"));
  EXPECT_FALSE(empty.hasImage());
}

struct BadFile {
  const char* what;
  int code;
  std::function<void(std::vector<std::uint8_t>&)> spoil;
};

class LoadFailure : public ::testing::TestWithParam<BadFile> {};

TEST_P(LoadFailure, ReportsCodeAndMessageAndKeepsPreviousPlug) {
  Loaded l;
  CodePlugBuilder good;
  good.channel(0, "Keep me");
  ASSERT_EQ(good.loadInto(l.doc, "good.rdt"), 0);
  recordBytes(l.doc, ListId::Channels, 0)[4] ^= 1;  // an unsaved edit must survive too
  const auto working = l.doc.workingImage, reference = l.doc.referenceImage;
  const std::string name = l.doc.fileName;

  auto bytes = CodePlugBuilder().bytes();
  GetParam().spoil(bytes);
  const std::string path = testTempDir() + "/bad.rdt";
  writeFile(path, bytes);
  EXPECT_EQ(l.doc.loadCodePlug(path, true), GetParam().code);
  ASSERT_EQ(l.prompt.texts("error").size(), 1u);
  EXPECT_EQ(l.prompt.texts("error")[0], loadMessage(GetParam().code));
  EXPECT_EQ(l.doc.workingImage, working);
  EXPECT_EQ(l.doc.referenceImage, reference);
  EXPECT_EQ(l.doc.fileName, name);

  l.prompt.shown.clear();
  EXPECT_EQ(l.doc.loadCodePlug(path, false), GetParam().code);
  EXPECT_TRUE(l.prompt.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, LoadFailure,
    ::testing::Values(
        BadFile{"OneByteShort", kLoadSize, [](auto& b) { b.pop_back(); }},
        BadFile{"OneByteLong", kLoadSize, [](auto& b) { b.push_back(0); }},
        BadFile{"Empty", kLoadSize, [](auto& b) { b.clear(); }},
        BadFile{"UpperCaseE", kLoadSignature, [](auto& b) { b[4] = 'E'; }},
        BadFile{"Version", kLoadVersion, [](auto& b) { b[5] = 2; }},
        BadFile{"ImageSizeOfTheParts", kLoadImageSize, [](auto& b) { setU32le(b, 6, 0x40225); }},
        BadFile{"Targets", kLoadTargets, [](auto& b) { b[10] = 2; }},
        BadFile{"NoTargets", kLoadTargets, [](auto& b) { b[10] = 0; }}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(Document, MissingFileAndEmptyNameFailToOpen) {
  Loaded l;
  EXPECT_EQ(l.doc.loadCodePlug(testTempDir() + "/does-not-exist.rdt", true), kLoadOpen);
  EXPECT_EQ(l.doc.loadCodePlug("", true), kLoadOpen);
  EXPECT_EQ(l.prompt.texts("error"),
            (std::vector<std::string>{"Could not open the code plug file", "Could not open the code plug file"}));
  EXPECT_FALSE(l.doc.hasImage());
}

TEST(Document, ChecksOnlyTheDfusePrefix) {
  // Target prefix, element header, suffix and CRC are carried, never checked.
  Loaded l;
  CodePlugBuilder b;
  auto bytes = b.bytes();
  for (std::size_t i = 11; i < 293; ++i) bytes[i] = 0xA5;
  for (std::size_t i = 262693; i < 262709; ++i) bytes[i] = 0x5A;
  writeFile(testTempDir() + "/odd-frame.rdt", bytes);
  ASSERT_EQ(l.doc.loadCodePlug(testTempDir() + "/odd-frame.rdt", true), 0);
  EXPECT_EQ(l.doc.workingImage, bytes);
}

TEST(Document, PasswordWarningGuardsSave) {
  struct Case {
    std::size_t imageOffset;
    std::uint8_t value;
  };
  // Power-on password enabled (bit 5 clear), radio program password, PC programming password.
  for (Case c : {Case{0x2081, 0x04}, Case{0x209C, 0x12}, Case{0x20A0, '1'}}) {
    Loaded l;
    CodePlugBuilder b;
    b.u8(c.imageOffset, c.value);
    ASSERT_EQ(b.loadInto(l.doc), 0);
    EXPECT_TRUE(l.doc.hasPasswords());
    recordBytes(l.doc, ListId::Contacts, 0)[0] = 7;  // modified
    const std::string out = testTempDir() + "/pw.rdt";
    std::filesystem::remove(out);
    l.prompt.warnings = {false};
    EXPECT_EQ(l.doc.saveCodePlug(out), kSaveNothing);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(l.doc.isModified());
    ASSERT_EQ(l.prompt.texts("warning").size(), 1u);
    EXPECT_EQ(l.prompt.texts("warning")[0],
              "This code plug has passwords set (General Tab).\n\nMAKE SURE you know what they are !\n\nAre you "
              "sure you want to save this code plug ?");
    l.prompt.warnings = {true};
    EXPECT_EQ(l.doc.saveCodePlug(out), kSaveOk);
    EXPECT_FALSE(l.doc.isModified());
  }
  Loaded clean;
  ASSERT_EQ(CodePlugBuilder().loadInto(clean.doc), 0);
  EXPECT_FALSE(clean.doc.hasPasswords());
  EXPECT_EQ(clean.doc.saveCodePlug(testTempDir() + "/nopw.rdt"), kSaveOk);
  EXPECT_TRUE(clean.prompt.shown.empty());
}

TEST(Document, FailedWriteKeepsThePreviousFileAndLeavesNoTemporary) {
  const std::string dir = testTempDir() + "/fullDisk";
  std::filesystem::create_directories(dir);
  const std::string target = dir + "/plug.rdt";
  const std::vector<std::uint8_t> previous = {'o', 'l', 'd'};
  writeFile(target, previous);

  for (std::size_t allowed : {std::size_t(0), std::size_t(100000)}) {
    Loaded l;
    CodePlugBuilder b;
    ASSERT_EQ(b.loadInto(l.doc), 0);
    recordBytes(l.doc, ListId::Channels, 0)[0] = 1;
    FullDiskWriter writer(allowed);
    l.doc.setFileWriter(&writer);
    const auto reference = l.doc.referenceImage;
    EXPECT_EQ(l.doc.saveCodePlug(target), kSaveWrite);
    EXPECT_EQ(l.prompt.texts("error"), std::vector<std::string>{"Could not write to the code plug file"});
    EXPECT_EQ(readFile(target), previous);
    EXPECT_EQ(filesIn(dir), 1u);
    EXPECT_EQ(l.doc.referenceImage, reference);
    EXPECT_TRUE(l.doc.isModified());
  }
}

TEST(Document, LoadingAsStoredKeepsGapsAndFreeRecordsButStillChecks) {
  CodePlugBuilder b;
  b.channel(1, "Second").u8(kTextMessages + 5, 0x7A);  // a gap before a channel, a dirty free message
  const std::string path = b.writeTo("asstored.rdt");
  CodePlugDocument doc;
  ASSERT_EQ(doc.loadCodePlug(path, false, CodePlugDocument::LoadMode::AsStored), 0);
  EXPECT_EQ(doc.workingImage, b.bytes());
  EXPECT_FALSE(doc.isModified());
  ASSERT_EQ(doc.loadCodePlug(path, false), 0);
  EXPECT_NE(doc.workingImage, b.bytes());

  auto spoilt = b.bytes();
  spoilt[kFileDfuseVersion] = 2;
  writeFile(testTempDir() + "/asstored-bad.rdt", spoilt);
  EXPECT_EQ(doc.loadCodePlug(testTempDir() + "/asstored-bad.rdt", false, CodePlugDocument::LoadMode::AsStored),
            kLoadVersion);
  EXPECT_EQ(checkRdtFile(spoilt), kLoadVersion);
  EXPECT_EQ(checkRdtFile(b.bytes()), kLoadOk);
}
