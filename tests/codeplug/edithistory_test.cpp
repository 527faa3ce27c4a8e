// Undo and redo over the working image: long random sequences of real edits across
// every list and settings area come back byte for byte, and the history stays small.
#include "codeplug/EditHistory.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "channels/ChannelRecord.h"
#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using namespace pwtest;
using Bytes = std::vector<std::uint8_t>;

constexpr ListId kLists[] = {
    ListId::TextMessages, ListId::EmergencySystems, ListId::Contacts, ListId::RxGroupLists,
    ListId::Zones,        ListId::ScanLists,        ListId::Channels};

class EditHistoryRandomTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    rng.seed(GetParam());
    CodePlugBuilder b;
    for (ListId id : kLists) b.fill(id, std::min(layoutOf(id).count, 12), "R");
    ASSERT_EQ(b.loadInto(p.doc), 0);
  }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  // One user action through the model, or a raw write into the settings areas.
  void randomEdit() {
    CodePlugDocument& doc = p.doc;
    const ListId id = kLists[pick(7)];
    const int used = usedCount(doc, id);
    switch (pick(7)) {
      case 0:
        addRecord(doc, id);
        break;
      case 1:
        if (used) renameRecord(doc, id, pick(used), "N" + std::to_string(pick(1000)));
        break;
      case 2:
        p.prompt.refusals = {RefusalAnswer::GoOn, RefusalAnswer::Stop};
        if (used) deleteSelectedRecords(doc, id, {pick(used)});
        break;
      case 3:
        if (used > 1) moveSelectedRecords(doc, id, {pick(used)}, pick(5) - 2);
        break;
      case 4:
        if (usedCount(doc, ListId::Channels))
          setChannelField(doc, pick(usedCount(doc, ListId::Channels)), ChannelField::TxTimeout, pick(64));
        break;
      case 5:
        doc.bytes(kGeneralSettings + pick(0x80), 1)[0] = std::uint8_t(pick(256));
        break;
      case 6:
        doc.bytes(kDtmf + pick(0x300), 1)[0] = std::uint8_t(pick(256));
        break;
    }
  }

  PromptedDocument p;
  std::mt19937 rng;
};

TEST_P(EditHistoryRandomTest, UndoAllThenRedoAllIsByteIdentical) {
  CodePlugDocument& doc = p.doc;
  const Bytes start = doc.workingImage;
  std::vector<Bytes> states{start};
  const std::string file = testTempDir() + "/history-" + std::to_string(GetParam()) + ".rdt";
  for (int i = 0; i < 300; ++i) {
    randomEdit();
    if (doc.settleEdits("edit " + std::to_string(i))) states.push_back(doc.workingImage);
    if (pick(25) == 0) {           // saving keeps the history
      p.prompt.warnings = {true};  // random settings bytes may set a password
      ASSERT_EQ(doc.saveCodePlug(file), kSaveOk);
    }
  }
  const Bytes end = doc.workingImage;
  ASSERT_EQ(doc.history().stepCount(), states.size() - 1);

  // Undo walks back through every recorded state, then redo forward again. The suffix CRC
  // is the last save's: no step holds it.
  const auto same = [](const Bytes& a, const Bytes& b) { return std::equal(a.begin(), a.end() - 4, b.begin()); };
  for (std::size_t k = states.size() - 1; k > 0; --k) {
    ASSERT_TRUE(doc.undo());
    ASSERT_TRUE(same(doc.workingImage, states[k - 1])) << "after undoing step " << k;
  }
  EXPECT_FALSE(doc.undo());
  EXPECT_TRUE(same(doc.workingImage, start));
  for (std::size_t k = 1; k < states.size(); ++k) {
    ASSERT_TRUE(doc.redo());
    ASSERT_TRUE(same(doc.workingImage, states[k]));
  }
  EXPECT_FALSE(doc.redo());
  EXPECT_TRUE(same(doc.workingImage, end));
  EXPECT_FALSE(doc.isModified() && doc.workingImage == doc.referenceImage);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditHistoryRandomTest, ::testing::Values(1u, 2u, 3u));

TEST(EditHistory, StepsNameWhatTheyDidAndEmptyStepsAreNotRecorded) {
  PromptedDocument p;
  ASSERT_EQ(CodePlugBuilder().fill(ListId::Channels, 3, "Ch ").loadInto(p.doc), 0);
  CodePlugDocument& doc = p.doc;
  EXPECT_FALSE(doc.settleEdits("nothing"));  // no change, no step
  EXPECT_FALSE(doc.history().canUndo());

  doc.nameNextStep("delete 1 channel");
  deleteSelectedRecords(doc, ListId::Channels, {0});
  EXPECT_TRUE(doc.settleEdits("edit"));
  EXPECT_EQ(doc.history().undoLabel(), "delete 1 channel");
  EXPECT_TRUE(doc.undo());
  EXPECT_FALSE(doc.isModified());  // back to the loaded state
  EXPECT_EQ(doc.history().redoLabel(), "delete 1 channel");

  // A new step after an undo drops what could be redone.
  renameRecord(doc, ListId::Channels, 1, "Other");
  EXPECT_TRUE(doc.settleEdits("rename"));
  EXPECT_FALSE(doc.history().canRedo());
  EXPECT_EQ(doc.history().undoLabel(), "rename");

  // Changes not yet settled become a step of their own before an undo acts.
  setChannelField(doc, 2, ChannelField::TxTimeout, 9);
  EXPECT_TRUE(doc.undo());
  EXPECT_EQ(recordName(doc, ListId::Channels, 1), "Other");
  EXPECT_EQ(channelField(doc, 2, ChannelField::TxTimeout), 4u);
}

TEST(EditHistory, KeystrokesOfOneBoxJoinUntilAnotherStepOrAnUndo) {
  PromptedDocument p;
  ASSERT_EQ(CodePlugBuilder().fill(ListId::Channels, 2, "Ch ").loadInto(p.doc), 0);
  CodePlugDocument& doc = p.doc;
  const Bytes start = doc.workingImage;
  for (const char* typed : {"4", "43", "438", "438.5"}) {
    setChannelFrequency(doc, 0, ChannelField::RxFrequency, typed);
    doc.settleEdits("type", 7);
  }
  EXPECT_EQ(doc.history().stepCount(), 1u);
  setChannelFrequency(doc, 1, ChannelField::RxFrequency, "440");
  doc.settleEdits("type", 8);  // another box
  EXPECT_EQ(doc.history().stepCount(), 2u);
  ASSERT_TRUE(doc.undo());
  ASSERT_TRUE(doc.undo());
  EXPECT_TRUE(doc.workingImage == start);

  ASSERT_TRUE(doc.redo());
  setChannelFrequency(doc, 0, ChannelField::RxFrequency, "439");
  doc.settleEdits("type", 7);  // the same key, but an undo came between
  EXPECT_EQ(doc.history().stepCount(), 2u);
}

// The image is compared a page, then a block at a time: a change in a page's last byte,
// or in the bytes after the last whole page, is a step all the same.
TEST(EditHistory, FindsChangesAtPageEdgesAndInTheLastPartialPage) {
  Bytes image(3 * 4096 + 100, 0);
  EditHistory h;
  h.reset(image);
  for (std::size_t at : {std::size_t(4095), std::size_t(4096), 3 * std::size_t(4096) + 99}) {
    const Bytes before = image;
    image[at] = 0x7F;
    ASSERT_TRUE(h.settle(image, "byte")) << at;
    ASSERT_TRUE(h.undo(image)) << at;
    EXPECT_EQ(image, before) << at;
    ASSERT_TRUE(h.redo(image)) << at;
    EXPECT_EQ(image[at], 0x7F) << at;
  }
}

TEST(EditHistory, StaysWithinItsBudgetAndIsClearedByALoad) {
  Bytes image(4096, 0);
  EditHistory h(2000);
  h.reset(image);
  for (int i = 0; i < 1000; ++i) {
    image[(i * 37) % image.size()] ^= 0x5A;
    ASSERT_TRUE(h.settle(image, "cell"));
  }
  EXPECT_LE(h.memoryUsed(), 2000u);
  EXPECT_GT(h.stepCount(), 10u);
  Bytes undone = image;
  while (h.undo(undone)) {
  }
  EXPECT_FALSE(h.canUndo());

  PromptedDocument p;
  const std::string file = CodePlugBuilder().fill(ListId::Zones, 2, "Z").writeTo("history-load.rdt");
  ASSERT_EQ(p.doc.loadCodePlug(file, false), 0);
  renameRecord(p.doc, ListId::Zones, 0, "Changed");
  ASSERT_TRUE(p.doc.settleEdits("rename"));
  ASSERT_EQ(p.doc.loadCodePlug(file, false), 0);
  EXPECT_FALSE(p.doc.history().canUndo());
}

}  // namespace
}  // namespace pw
