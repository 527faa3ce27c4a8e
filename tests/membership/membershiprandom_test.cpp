// Long random sequences over zones, rx group lists and scan lists: list edits (add,
// rename, move, block move, delete with refusals), member edits (add, remove, block
// move) and channels pointing at the lists. Each list is predicted by its names and the
// member words of each record, each channel reference by the name of the list it names.
// Member words include hidden ones (0xFFFF, above the range) and numbers of free records.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "membership/MemberList.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using namespace pwtest;
using Bytes = std::vector<std::uint8_t>;

constexpr ListId kOwners[] = {ListId::RxGroupLists, ListId::Zones, ListId::ScanLists};
constexpr int kReferred = 30;                       // channels and contacts 1..30 are in use
constexpr int kWordChoices[] = {0xFFFF, 1001, 40};  // hidden, hidden, a free record

struct Owned {
  ListId id;
  std::vector<std::string> names;
  std::vector<std::vector<int>> words;  // member words of each record in use, all slots
  Bytes fresh;
};

struct ChannelRef {
  int channel;
  int byte;  // 11: scan list, 12: group list
  bool digital;
  bool isRef;
  std::string target;
  int raw;
};

class MembershipRandomTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    rng.seed(GetParam());
    CodePlugBuilder b;
    for (int i = 0; i < kReferred; ++i) {
      b.channel(i, "c" + std::to_string(i + 1), 1 + pick(2));
      b.contact(i, "k" + std::to_string(i + 1), 100 + i);
    }
    for (ListId id : kOwners) {
      Owned o{id, {}, {}, {}};
      for (int i = 0; i < 4; ++i) {
        o.names.push_back(unique());
        o.words.push_back(randomWords(slots(id)));
        b.named(id, i, o.names.back()).members(id, i, o.words.back());
      }
      lists.push_back(o);
    }
    ASSERT_EQ(b.loadInto(doc), 0);
    doc.setPrompt(&prompt);
    for (Owned& o : lists) o.fresh = bytesOf(o.id, layoutOf(o.id).count - 1);
    for (int c = 0; c < kReferred; ++c)
      for (int at : {11, 12}) {
        refs.push_back({c, at, (recordBytes(doc, ListId::Channels, c)[0] & 3) == 2, false, {}, 0});
        if (pick(2)) point(refs.back());
      }
    image = Bytes(doc.image().begin(), doc.image().end());
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  std::string unique() { return "n" + std::to_string(++serial); }
  static int slots(ListId id) { return memberLayoutOf(id).slotCount; }
  Bytes bytesOf(ListId id, int i) const { return pwtest::copyOf(recordBytes(doc, id, i)); }
  std::vector<int> randomWords(int count) {
    std::vector<int> w(count, 0);
    for (int p = 0, n = pick(count + 1); p < n; ++p)
      w[p] = pick(4) ? 1 + pick(kReferred) : kWordChoices[pick(3)];
    return w;
  }
  static bool shown(int word) { return word >= 1 && word <= 1000; }
  Owned& listOf(ListId id) { return lists[id == ListId::RxGroupLists ? 0 : id == ListId::Zones ? 1 : 2]; }

  void point(ChannelRef& r) {
    Owned& o = listOf(r.byte == 11 ? ListId::ScanLists : ListId::RxGroupLists);
    const int row = pick(int(o.names.size()));
    r.isRef = true;
    r.target = o.names[row];
    setU8(recordBytes(doc, ListId::Channels, r.channel), r.byte, std::uint8_t(row + 1));
  }
  bool blocks(const ChannelRef& r, const Owned& o, const std::string& name) const {
    if (!r.isRef || r.target != name) return false;
    if (o.id == ListId::ScanLists) return r.byte == 11;
    return o.id == ListId::RxGroupLists && r.byte == 12 && r.digital;
  }

  // ---- list edits ----
  void add(Owned& o) {
    const int slot = addRecord(doc, o.id);
    if (int(o.names.size()) == layoutOf(o.id).count) {
      ASSERT_EQ(slot, -1);
      return;
    }
    ASSERT_EQ(slot, int(o.names.size()));
    ASSERT_EQ(recordName(doc, o.id, slot), defaultName(o.id, slot));
    o.names.push_back(unique());
    o.words.push_back(std::vector<int>(slots(o.id), 0));
    ASSERT_TRUE(renameRecord(doc, o.id, slot, o.names.back()));
  }
  void rename(Owned& o) {
    const int s = pick(int(o.names.size()));
    const std::string name = unique();
    ASSERT_TRUE(renameRecord(doc, o.id, s, name));
    for (auto& r : refs)
      if (r.isRef && r.target == o.names[s]) r.target = name;
    o.names[s] = name;
  }
  template <typename T>
  static void rotate(std::vector<T>& v, int from, int to) {
    T moved = v[from];
    v.erase(v.begin() + from);
    v.insert(v.begin() + to, moved);
  }
  void moveOne(Owned& o) {
    const int count = int(o.names.size()), s = pick(count), t = pick(count);
    ASSERT_EQ(moveRecord(doc, o.id, s, s - t), t + 1);
    rotate(o.names, s, t);
    rotate(o.words, s, t);
  }
  std::vector<int> someRows(int count, int most) {
    std::vector<int> rows;
    for (int k = 1 + pick(most); k > 0; --k) rows.push_back(pick(count));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
  }
  // The rows keep their spacing, stop at either end, and the rest keep their order.
  template <typename T>
  static void placeBlock(std::vector<T>& v, const std::vector<int>& rows, const std::vector<int>& moved) {
    std::vector<T> selected, rest;
    for (int i = 0; i < int(v.size()); ++i)
      (std::binary_search(rows.begin(), rows.end(), i) ? selected : rest).push_back(v[i]);
    for (std::size_t i = 0; i < moved.size(); ++i) rest.insert(rest.begin() + moved[i], selected[i]);
    v = rest;
  }
  void moveBlock(Owned& o) {
    const std::vector<int> rows = someRows(int(o.names.size()), 4);
    const int deltas[] = {1, -1, 10, -10};
    const std::vector<int> moved = moveSelectedRecords(doc, o.id, rows, deltas[pick(4)]);
    ASSERT_EQ(moved.size(), rows.size());
    placeBlock(o.names, rows, moved);
    placeBlock(o.words, rows, moved);
  }
  void deleteRows(Owned& o) {
    const std::vector<int> rows = someRows(int(o.names.size()), 3);
    std::vector<RefusalAnswer> answers;
    for (int k = 0; k < 3; ++k) answers.push_back(pick(2) ? RefusalAnswer::GoOn : RefusalAnswer::Stop);
    prompt.refusals.assign(answers.begin(), answers.end());
    prompt.shown.clear();
    int deleted = 0;
    std::size_t refused = 0;
    Owned next = o;
    for (int row : rows) {
      const std::string name = o.names[row];
      if (std::any_of(refs.begin(), refs.end(), [&](const ChannelRef& r) { return blocks(r, o, name); })) {
        if (answers[refused++] == RefusalAnswer::Stop) break;
        continue;
      }
      ++deleted;
      const auto at = std::find(next.names.begin(), next.names.end(), name) - next.names.begin();
      next.names.erase(next.names.begin() + at);
      next.words.erase(next.words.begin() + at);
      for (auto& r : refs)
        if (r.isRef && r.target == name) r = {r.channel, r.byte, r.digital, false, {}, 0};  // analogue: none
    }
    ASSERT_EQ(deleteSelectedRecords(doc, o.id, rows), deleted);
    ASSERT_EQ(prompt.texts("refuse").size(), refused);
    if (next.names.empty()) {
      next.names = {defaultName(o.id, 0)};
      next.words = {std::vector<int>(slots(o.id), 0)};
    }
    o = next;
  }

  // ---- member edits on one record ----
  void addMembersTo(Owned& o) {
    const int s = pick(int(o.names.size()));
    std::vector<int> numbers = availableRecords(doc, o.id, s);
    std::vector<int>& w = o.words[s];
    for (int p = 0; p < slots(o.id); ++p)
      ASSERT_EQ(std::count(numbers.begin(), numbers.end(), w[p]), 0) << "a member is offered";
    std::shuffle(numbers.begin(), numbers.end(), rng);
    numbers.resize(std::min<std::size_t>(numbers.size(), 1 + pick(4)));
    if (pick(3) == 0 && shown(w[0])) numbers.push_back(w[0]);  // already a member: skipped
    int added = 0;
    for (int c : numbers) {
      if (std::count(w.begin(), w.end(), c)) continue;
      const auto free = std::find_if(w.begin(), w.end(), [](int v) { return !shown(v); });
      if (free == w.end()) continue;
      *free = c;
      ++added;
    }
    ASSERT_EQ(addMembers(doc, o.id, s, numbers), added);
  }
  void removeMembersFrom(Owned& o) {
    const int s = pick(int(o.names.size()));
    const std::vector<MemberRow> rows = memberRows(doc, o.id, s);
    if (rows.empty()) return;
    std::vector<int> numbers;
    for (int r : someRows(int(rows.size()), 3)) numbers.push_back(rows[r].number);
    std::vector<int>& w = o.words[s];
    std::vector<int> kept;
    for (int v : w)
      if (v != 0 && std::find(numbers.begin(), numbers.end(), v) == numbers.end()) kept.push_back(v);
    kept.resize(w.size(), 0);
    w = kept;
    ASSERT_TRUE(removeMembers(doc, o.id, s, numbers));
  }
  void moveMembers(Owned& o) {
    const int s = pick(int(o.names.size()));
    std::vector<int>& w = o.words[s];
    std::vector<int> positions, values;
    for (int p = 0; p < int(w.size()); ++p)
      if (shown(w[p])) {
        positions.push_back(p);
        values.push_back(w[p]);
      }
    if (values.empty()) return;
    const std::vector<int> rows = someRows(int(values.size()), 3);
    const int deltas[] = {1, -1, 10, -10};
    const std::vector<int> moved = moveSelectedMembers(doc, o.id, s, rows, deltas[pick(4)]);
    placeBlock(values, rows, moved);
    for (std::size_t i = 0; i < positions.size(); ++i) w[positions[i]] = values[i];  // hidden words stay
  }

  void check() {
    for (const Owned& o : lists) {
      ASSERT_EQ(usedCount(doc, o.id), int(o.names.size()));
      const int offset = memberLayoutOf(o.id).offset;
      for (int i = 0; i < layoutOf(o.id).count; ++i) {
        if (i >= int(o.names.size())) {
          ASSERT_EQ(bytesOf(o.id, i), o.fresh) << layoutOf(o.id).title << " free slot " << i;
          continue;
        }
        ASSERT_EQ(recordName(doc, o.id, i), o.names[i]);
        const ByteSpan r = recordBytes(doc, o.id, i);
        for (int p = 0; p < slots(o.id); ++p)
          ASSERT_EQ(u16le(r, offset + 2 * p), o.words[i][p]) << layoutOf(o.id).title << " " << i << "." << p;
      }
    }
    for (const ChannelRef& r : refs) {
      const int v = u8(recordBytes(doc, ListId::Channels, r.channel), r.byte);
      if (!r.isRef) {
        ASSERT_EQ(v, r.raw) << "channel " << r.channel << " byte " << r.byte;
        continue;
      }
      const Owned& o = lists[r.byte == 11 ? 2 : 0];
      ASSERT_TRUE(v >= 1 && v <= int(o.names.size())) << v;
      ASSERT_EQ(o.names[v - 1], r.target);
    }
  }
  // Outside the three sections and the channels' two list bytes nothing ever changes.
  void checkUntouched() {
    Bytes now(doc.image().begin(), doc.image().end()), then = image;
    for (Bytes* b : {&now, &then}) {
      for (ListId id : kOwners)
        std::fill_n(b->begin() + layoutOf(id).start,
                    std::size_t(layoutOf(id).count) * layoutOf(id).recordSize, 0);
      for (const ChannelRef& r : refs) (*b)[kChannels + std::size_t(r.channel) * kChannelSize + r.byte] = 0;
    }
    ASSERT_TRUE(now == then);
  }

  std::mt19937 rng;
  int serial = 0;
  CodePlugDocument doc;
  ScriptedPrompt prompt;
  std::vector<Owned> lists;
  std::vector<ChannelRef> refs;
  Bytes image;
};

TEST_P(MembershipRandomTest, EditsKeepListsPackedMembersInPlaceAndChannelsOnTheirLists) {
  for (int step = 0; step < 1500; ++step) {
    Owned& o = lists[pick(3)];
    const int op = pick(100);
    if (op < 12)
      add(o);
    else if (op < 20)
      rename(o);
    else if (op < 30)
      moveOne(o);
    else if (op < 40)
      moveBlock(o);
    else if (op < 55)
      deleteRows(o);
    else if (op < 70)
      addMembersTo(o);
    else if (op < 80)
      removeMembersFrom(o);
    else if (op < 90)
      moveMembers(o);
    else
      point(refs[pick(int(refs.size()))]);
    if (HasFatalFailure()) FAIL() << "seed " << GetParam() << " step " << step << " op " << op;
    check();
    if (HasFatalFailure()) FAIL() << "seed " << GetParam() << " step " << step << " op " << op;
  }
  checkUntouched();
}

INSTANTIATE_TEST_SUITE_P(Seeds, MembershipRandomTest, ::testing::Values(1u, 2u, 3u));

}  // namespace
}  // namespace pw
