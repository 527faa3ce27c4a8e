#pragma once
// The one code plug being edited: the whole RDT file as a working image, the file
// as last loaded or saved as a reference image, and the section views into it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codeplug/Bytes.h"
#include "codeplug/EditHistory.h"
#include "codeplug/FileWriter.h"
#include "codeplug/Layout.h"
#include "codeplug/Prompt.h"

namespace pw {

// Positions of the sections inside workingImage (file offsets). Valid only while
// an image is held; kept as offsets so nothing dangles after a reload.
struct SectionViews {
  std::size_t oneTouchAccess = 0;
  std::size_t numberKeyContacts = 0;
  std::size_t textMessages = 0;
  std::size_t basicPrivacyKeys = 0;
  std::size_t enhancedPrivacyKeys = 0;
  std::size_t emergencySystems = 0;
  std::size_t contacts = 0;
  std::size_t rxGroupLists = 0;
  std::size_t zones = 0;
  std::size_t scanLists = 0;
  std::size_t channels = 0;
  std::size_t dtmf = 0;
  std::size_t gps = 0;
};

// Load result codes and their messages.
enum LoadCode {
  kLoadOk = 0, kLoadOpen = -1, kLoadSeek = -2, kLoadSize = -3, kLoadMemory = -4, kLoadRead = -5,
  kLoadSignature = -6, kLoadVersion = -7, kLoadImageSize = -8, kLoadTargets = -9,
};
enum SaveCode { kSaveOk = 0, kSaveNothing = -1, kSaveCreate = -2, kSaveWrite = -3 };
const char* loadMessage(int code);
// The checks of steps 3 and 6..9 of a load on a whole file held in memory: 0 or a LoadCode.
int checkRdtFile(const std::vector<std::uint8_t>& file);
const char* saveMessage(int code);

class CodePlugDocument {
public:
  std::string fileName;
  std::vector<std::uint8_t> referenceImage;  // empty when nothing is loaded
  std::vector<std::uint8_t> workingImage;    // the whole RDT file being edited
  SectionViews views;

  explicit CodePlugDocument(Prompt* prompt = nullptr);
  ~CodePlugDocument();
  CodePlugDocument(const CodePlugDocument&) = delete;
  CodePlugDocument& operator=(const CodePlugDocument&) = delete;

  // The prompt through which operations show errors and refusals.
  Prompt& prompt() const { return prompt_ ? *prompt_ : silent_; }
  void setPrompt(Prompt* p) { prompt_ = p; }
  // How files are written (tests inject failures); null restores the real writer.
  void setFileWriter(FileWriter* w) { writer_ = w; }
  FileWriter& fileWriter() const;

  std::int32_t size() const { return static_cast<std::int32_t>(workingImage.size()); }
  bool hasImage() const { return !workingImage.empty(); }

  // Takes a freshly read file buffer as the working image, snapshots it and sets the views.
  // With `suffixCrcFollows` a save sets the suffix CRC to the CRC of the bytes it writes
  // (a file whose CRC matched its bytes when read); otherwise the four bytes are kept.
  void adoptImage(std::vector<std::uint8_t> buffer, bool suffixCrcFollows = false);
  // Takes an image to read or build that is no loaded code plug: without the reference
  // image and the undo baseline, two copies of it fewer. Nothing done to it counts as a
  // change to save or undo (scratch documents that live inside one model call).
  void holdImage(std::vector<std::uint8_t> buffer);
  void snapshot();
  bool isModified() const;
  bool hasPasswords() const;

  // Reads, checks, adopts and normalises a regular file (anything else fails to open at
  // once); 0 or a LoadCode. On failure the document is exactly as it was (messages shown).
  // AsStored skips the normalisation: the file is held exactly as read (the text form
  // shows free records and gaps as they are).
  enum class LoadMode { Normalise, AsStored };
  int loadCodePlug(const std::string& name, bool showMessages, LoadMode mode = LoadMode::Normalise);
  // Writes the working image as FileWriter does; 0 or a SaveCode. A failed save leaves
  // the previous file as it was; a target that cannot be written is kSaveCreate.
  // A file whose DfuSe suffix CRC matched its bytes when loaded is saved with the CRC of
  // the saved bytes (a DFU tool refuses it otherwise); any other keeps its four bytes.
  int saveCodePlug(const std::string& name);
  // The system's reason (an errno value) for the last save that failed to create or write.
  int saveError() const { return saveError_; }
  // Whether a save sets the suffix CRC (see adoptImage).
  bool savesSuffixCrc() const { return suffixCrcMatched_; }
  // The working image as a save would write it now (the suffix CRC as the save sets it).
  std::vector<std::uint8_t> imageAsSaved() const;
  // Takes `file`, a whole RDT file, as the working image, packed as a loaded file is, as one
  // undo step named `stepName` (what was unsettled before it is a step of its own); the
  // file the image was loaded from stays the reference. False, changing nothing, when no
  // code plug is loaded or `file` fails the checks of a load.
  bool restoreImage(const std::vector<std::uint8_t>& file, std::string_view stepName);

  // ---- undo and redo ----
  // Names the step the next settle records (the action that is about to write).
  void nameNextStep(std::string label) { nextStepName_ = std::move(label); }
  // Ends the user's current step: what changed since the last boundary becomes one
  // undo step, named by nameNextStep or else `label`. See EditHistory::settle.
  bool settleEdits(std::string_view label, std::uint64_t mergeKey = 0);
  // While one is alive no step ends: an action that asks the user half-way (a delete
  // with refusals) stays one step.
  class StepHold {
  public:
    explicit StepHold(CodePlugDocument& doc) : doc_(doc) { ++doc_.stepHolds_; }
    ~StepHold() { --doc_.stepHolds_; }
    StepHold(const StepHold&) = delete;
    StepHold& operator=(const StepHold&) = delete;

  private:
    CodePlugDocument& doc_;
  };
  // Settle, then undo or redo one step; false when there was none.
  bool undo();
  bool redo();
  const EditHistory& history() const { return history_; }

  // Called after every successful load (the main window enables its file commands).
  std::function<void()> onLoaded;

  // ---- access to the code plug image (image offsets); empty spans without an image ----
  MutableByteSpan image();
  ByteSpan image() const;
  MutableByteSpan bytes(std::size_t imageOffset, std::size_t length);
  ByteSpan bytes(std::size_t imageOffset, std::size_t length) const;
  // The radio's frequency range code (low two bits of the byte at file offset 0x136).
  int frequencyRangeCode() const;

private:
  void setViews();
  // A file as a save writes it: a CRC that matched on load is set to the CRC of its bytes.
  void putInSavedForm(std::vector<std::uint8_t>& file) const;

  Prompt* prompt_ = nullptr;
  FileWriter* writer_ = nullptr;
  mutable SilentPrompt silent_;
  EditHistory history_;
  std::string nextStepName_;
  int stepHolds_ = 0;
  bool suffixCrcMatched_ = false;
  int saveError_ = 0;
};

// Writes a file other than the code plug (an export) through the document's FileWriter; a
// failure is told through its prompt: "Could not create the file" or "Could not write to the
// file".
WriteResult writeExport(const CodePlugDocument& doc, const std::string& path, std::string_view text);

}  // namespace pw
