// Long random sequences of channel edits with every kind of holder populated. A plain
// list of names (each channel's name is unique: its identity) predicts the section, and
// every reference is tracked by the name of the channel it pointed at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "channels/ChannelRecord.h"
#include "channels/ChannelRefSlots.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using namespace pwtest;
using Bytes = std::vector<std::uint8_t>;

struct Expected {
  RefSlot slot;
  bool isRef;          // points at a channel, named by `target`
  std::string target;
  std::uint16_t raw;   // otherwise the value it keeps
};

class ChannelRandomTest : public ::testing::TestWithParam<unsigned> {
protected:
  void SetUp() override {
    rng.seed(GetParam());
    CodePlugBuilder b;
    for (int i = 0; i < 40; ++i) b.named(ListId::Channels, i, unique());
    for (int i = 0; i < 4; ++i) b.named(ListId::EmergencySystems, i, "E" + std::to_string(i));
    for (int i = 0; i < 6; ++i) b.named(ListId::Zones, i, "Z" + std::to_string(i));
    for (int i = 0; i < 4; ++i) b.named(ListId::ScanLists, i, "S" + std::to_string(i));
    ASSERT_EQ(b.loadInto(doc), 0);
    doc.setPrompt(&prompt);
    for (int i = 0; i < 40; ++i) names.push_back(recordName(doc, ListId::Channels, i));
    fresh = Bytes(recordBytes(doc, ListId::Channels, 999).begin(), recordBytes(doc, ListId::Channels, 999).end());
    for (const auto& s : channelRefSlots()) {
      const auto list = holderList(s.kind);
      if (list && !inUse(doc, *list, s.holder)) continue;
      refs.push_back({s, false, {}, word(doc, s.at)});
      if (pick(3) == 0) point(refs.back(), pick(int(names.size())));
    }
    image = Bytes(doc.image().begin(), doc.image().end());
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  std::string unique() { return "u" + std::to_string(++serial); }
  int count() const { return int(names.size()); }

  void point(Expected& e, int row) {
    e = {e.slot, true, names[row], 0};
    setWord(doc, e.slot.at, std::uint16_t(row + 1));
  }
  void clear(Expected& e) {
    e = {e.slot, false, {}, std::uint16_t(e.slot.kind == RefKind::ScanPriority ? 0xFFFF : 0)};
    setWord(doc, e.slot.at, e.raw);
  }
  bool blocked(const std::string& name) const {
    return std::any_of(refs.begin(), refs.end(),
                       [&](const Expected& e) { return e.isRef && e.target == name && blocksDelete(e.slot.kind); });
  }

  void add() {
    const auto s = addChannel(doc);
    if (count() == kChannelCount) {
      ASSERT_EQ(s, std::nullopt);
      return;
    }
    ASSERT_EQ(s, count());
    ASSERT_EQ(recordName(doc, ListId::Channels, *s), "Channel " + std::to_string(*s + 1));
    names.push_back(unique());
    ASSERT_TRUE(renameChannel(doc, *s, names.back()));
  }
  void rename() {
    const int s = pick(count());
    const std::string name = unique();
    ASSERT_TRUE(renameChannel(doc, s, name));
    for (auto& e : refs)
      if (e.isRef && e.target == names[s]) e.target = name;
    names[s] = name;
  }
  void moveOne() {
    const int s = pick(count()), t = pick(count());
    ASSERT_EQ(moveChannel(doc, s, s - t), t + 1);
    const std::string moved = names[s];
    names.erase(names.begin() + s);
    names.insert(names.begin() + t, moved);
  }
  std::vector<int> someRows(int most) {
    std::vector<int> rows;
    for (int k = 1 + pick(most); k > 0; --k) rows.push_back(pick(count()));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
  }
  void moveBlock() {
    const std::vector<int> rows = someRows(5);
    const int deltas[] = {1, -1, 10, -10};
    const int delta = deltas[pick(4)];
    const std::vector<int> moved = moveSelectedChannels(doc, rows, delta);
    // The block keeps its spacing and stops at either end.
    const int shift = rows.front() - moved.front();
    ASSERT_EQ(moved.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(rows[i] - moved[i], shift);
    ASSERT_TRUE(shift == delta || moved.front() == 0 || moved.back() == count() - 1);
    // The other channels keep their order around the block.
    std::vector<std::string> selected, rest;
    for (int i = 0; i < count(); ++i)
      (std::binary_search(rows.begin(), rows.end(), i) ? selected : rest).push_back(names[i]);
    for (std::size_t i = 0; i < moved.size(); ++i) rest.insert(rest.begin() + moved[i], selected[i]);
    names = rest;
  }
  void deleteRows() {
    const std::vector<int> rows = someRows(3);
    std::vector<RefusalAnswer> answers;
    for (int k = 0; k < 3; ++k) answers.push_back(pick(2) ? RefusalAnswer::GoOn : RefusalAnswer::Stop);
    prompt.refusals.assign(answers.begin(), answers.end());
    prompt.shown.clear();
    const Bytes before = doc.workingImage;
    int deleted = 0;
    std::size_t refused = 0;
    std::vector<std::string> next = names;
    for (int row : rows) {
      const std::string name = names[row];
      if (blocked(name)) {
        if (answers[refused++] == RefusalAnswer::Stop) break;
        continue;
      }
      ++deleted;
      next.erase(std::find(next.begin(), next.end(), name));
      for (auto& e : refs)
        if (e.isRef && e.target == name) e = {e.slot, false, {}, 0xFFFF};  // a priority channel
    }
    ASSERT_EQ(deleteSelectedChannels(doc, rows), deleted);
    ASSERT_EQ(prompt.texts("refuse").size(), refused);
    for (const auto& text : prompt.texts("refuse")) ASSERT_EQ(text.rfind("Cannot delete channel \"", 0), 0u);
    if (deleted == 0) {
      ASSERT_EQ(doc.workingImage, before);
    }
    names = next.empty() ? std::vector<std::string>{"Channel 1"} : next;
  }
  void reference() {
    Expected& e = refs[pick(int(refs.size()))];
    pick(3) ? point(e, pick(count())) : clear(e);
  }

  void check() {
    ASSERT_EQ(usedCount(doc, ListId::Channels), count());
    for (int i = 0; i < kChannelCount; ++i) {
      if (i < count()) {
        ASSERT_EQ(recordName(doc, ListId::Channels, i), names[i]) << "slot " << i;
      } else {
        ASSERT_EQ(std::memcmp(recordBytes(doc, ListId::Channels, i).data(), fresh.data(), fresh.size()), 0)
            << "free slot " << i;
      }
    }
    for (const auto& e : refs) {
      const std::uint16_t v = word(doc, e.slot.at);
      if (!e.isRef) {
        ASSERT_EQ(v, e.raw) << "slot at " << e.slot.at;
      } else {
        ASSERT_TRUE(v >= 1 && v <= count()) << v;
        ASSERT_EQ(names[v - 1], e.target) << "slot at " << e.slot.at;
      }
    }
  }
  // Outside the channel section and the tracked references nothing ever changes.
  void checkUntouched() {
    Bytes now(doc.image().begin(), doc.image().end()), then = image;
    for (Bytes* b : {&now, &then}) {
      std::fill_n(b->begin() + kChannels, std::size_t(kChannelCount) * kChannelSize, 0);
      for (const auto& e : refs) (*b)[e.slot.at] = (*b)[e.slot.at + 1] = 0;
    }
    ASSERT_TRUE(now == then);
  }

  std::mt19937 rng;
  int serial = 0;
  CodePlugDocument doc;
  ScriptedPrompt prompt;
  std::vector<std::string> names;
  std::vector<Expected> refs;
  Bytes fresh, image;
};

TEST_P(ChannelRandomTest, EditsKeepTheSectionPackedAndEveryReferenceOnItsChannel) {
  for (int step = 0; step < 1000; ++step) {
    const int op = pick(100);
    if (op < 18) add();
    else if (op < 28) rename();
    else if (op < 46) moveOne();
    else if (op < 64) moveBlock();
    else if (op < 84) deleteRows();
    else reference();
    if (HasFatalFailure()) FAIL() << "seed " << GetParam() << " step " << step << " op " << op;
    check();
    if (HasFatalFailure()) FAIL() << "seed " << GetParam() << " step " << step << " op " << op;
  }
  checkUntouched();
}

INSTANTIATE_TEST_SUITE_P(Seeds, ChannelRandomTest, ::testing::Values(1u, 2u, 3u));

}  // namespace
}  // namespace pw
