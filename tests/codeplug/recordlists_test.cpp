// The shared list mechanisms, once for every list: packing, delete-shift, move-rotate,
// default names, and references that follow the records they name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "codeplug/ReferenceWeb.h"
#include "support/CodePlugBuilder.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;

class RecordListTest : public ::testing::TestWithParam<ListId> {
protected:
  void SetUp() override {
    ASSERT_EQ(pwtest::CodePlugBuilder().loadInto(doc), 0);
    fresh = bytesOf(layout().count - 1);
    // A place that refers to this list and follows every delete (none for zones and text messages).
    for (const auto& s : referenceSites())
      if (s.referred == id() && s.onDelete == When::Always && s.onMove != When::Never) {
        site = &s;
        break;
      }
    if (site && site->holderList)
      for (int h = 0; h < 3; ++h) initEntry(doc, *site->holderList, h, "Holder");
  }
  ListId id() const { return GetParam(); }
  const RecordListLayout& layout() const { return layoutOf(id()); }
  Bytes bytesOf(int i) const { return pwtest::copyOf(recordBytes(doc, id(), i)); }
  void name(int i, const std::string& text) {
    initEntry(doc, id(), i, text);
    recordBytes(doc, id(), i).back() ^= 0x5A;  // something besides the name that must travel with it
  }
  std::size_t refAt(int holder) const { return site->base + std::size_t(holder) * site->holderSize + site->field; }
  void setRefs(std::vector<int> values) {
    for (int h = 0; site && h < int(values.size()); ++h)
      site->width == 1 ? setU8(doc.image(), refAt(h), std::uint8_t(values[h]))
                       : setU16le(doc.image(), refAt(h), std::uint16_t(values[h]));
  }
  std::vector<int> refs() const {
    std::vector<int> v;
    for (int h = 0; site && h < 3; ++h) v.push_back(site->width == 1 ? u8(doc.image(), refAt(h)) : u16le(doc.image(), refAt(h)));
    return v;
  }
  void expectFreeFromSlot(int first) {
    for (int i = first; i < layout().count; ++i) ASSERT_EQ(bytesOf(i), fresh) << "slot " << i;
  }
  // The refs a site should hold, or nothing to compare when the list has no such site.
  std::vector<int> expectRefs(std::vector<int> v) const { return site ? v : std::vector<int>{}; }

  CodePlugDocument doc;
  Bytes fresh;
  const ReferenceSite* site = nullptr;
};

TEST_P(RecordListTest, PackClosesGapsKeepsOrderAndRenumbers) {
  name(1, "B");
  name(3, "D");
  name(4, "E");
  const Bytes b = bytesOf(1), d = bytesOf(3), e = bytesOf(4);
  recordBytes(doc, id(), 2)[layout().nameOffset + 2] = 0x41;  // a free slot with leftovers
  setRefs({4, 3, 5});
  EXPECT_TRUE(packList(doc, id()));
  EXPECT_EQ(bytesOf(0), b);
  EXPECT_EQ(bytesOf(1), d);
  EXPECT_EQ(bytesOf(2), e);
  expectFreeFromSlot(3);
  EXPECT_EQ(refs(), expectRefs({2, 3, 3}));  // number 3 was free: its reference keeps its value
  EXPECT_FALSE(packList(doc, id()));
}

TEST_P(RecordListTest, DeleteShiftsUpRenumbersAndRecreatesTheLastOne) {
  name(0, "A");
  name(1, "B");
  name(2, "C");
  const Bytes c = bytesOf(2);
  setRefs({3, 1, 0});
  EXPECT_EQ(deleteRecord(doc, id(), 2), 0);
  EXPECT_EQ(recordName(doc, id(), 0), "A");
  EXPECT_EQ(bytesOf(1), c);
  expectFreeFromSlot(2);
  EXPECT_EQ(refs(), expectRefs({2, 1, 0}));
  EXPECT_EQ(deleteRecord(doc, id(), 0), -1);
  EXPECT_EQ(deleteRecord(doc, id(), layout().count + 1), -1);

  setRefs({0, 0, 0});
  EXPECT_EQ(deleteSelectedRecords(doc, id(), {0, 1}), 2);
  EXPECT_EQ(usedCount(doc, id()), 1);
  EXPECT_EQ(recordName(doc, id(), 0), defaultName(id(), 0));
  expectFreeFromSlot(1);
}

TEST_P(RecordListTest, MoveRotatesTheRecordsBetweenAndRenumbers) {
  for (int i = 0; i < 5; ++i) name(i, std::string(1, char('A' + i)));
  std::vector<Bytes> before;
  for (int i = 0; i < 5; ++i) before.push_back(bytesOf(i));
  setRefs({5, 2, 1});
  EXPECT_EQ(moveRecord(doc, id(), 4, 3), 2);
  const int order[] = {0, 4, 1, 2, 3};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(bytesOf(i), before[order[i]]) << "slot " << i;
  EXPECT_EQ(refs(), expectRefs({2, 3, 1}));
  EXPECT_EQ(moveRecord(doc, id(), 1, -3), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(bytesOf(i), before[i]) << "slot " << i;
  EXPECT_EQ(refs(), expectRefs({5, 2, 1}));

  EXPECT_EQ(moveSelectedRecords(doc, id(), {1, 2}, 5), (std::vector<int>{0, 1}));
  EXPECT_EQ(recordName(doc, id(), 0), "B");
  EXPECT_EQ(recordName(doc, id(), 2), "A");
}

TEST_P(RecordListTest, InsertAddsAtTheFirstAMiddleOrTheLastRowAndRenumbers) {
  for (int i = 0; i < 3; ++i) name(i, std::string(1, char('A' + i)));
  setRefs({1, 2, 3});
  const std::string added[] = {defaultName(id(), 3), defaultName(id(), 4), defaultName(id(), 5)};
  EXPECT_EQ(insertRecord(doc, id(), 0), 0);
  EXPECT_EQ(insertRecord(doc, id(), 2), 2);
  EXPECT_EQ(insertRecord(doc, id(), 4), 4);
  EXPECT_EQ(insertRecord(doc, id(), layout().count), 6);  // beyond the rows: at the end
  std::vector<std::string> names;
  for (int i = 0; i < 7; ++i) names.push_back(recordName(doc, id(), i));
  EXPECT_EQ(names,
            (std::vector<std::string>{added[0], "A", added[1], "B", added[2], "C", defaultName(id(), 6)}));
  EXPECT_EQ(refs(), expectRefs({2, 4, 6}));
  expectFreeFromSlot(7);
}

TEST_P(RecordListTest, BlockMoveEqualsMovingEachRecordInTurn) {
  // Every holder of every kind refers to records all over the list; the one-pass block
  // move must leave exactly the image that moving the records one by one leaves.
  const int used = std::min(layout().count, 40);
  for (int i = 0; i < used; ++i) name(i, "R" + std::to_string(i + 1));
  for (const auto& s : referenceSites()) {
    if (s.referred != id()) continue;
    for (int h = 0; h < s.holderCount; ++h) {
      if (s.holderList && h % 2 == 0) initEntry(doc, *s.holderList, h, "Holder");  // odd ones stay free
      for (int p = 0; p < s.repeat; ++p) {
        const std::size_t at = s.base + std::size_t(h) * s.holderSize + s.field + std::size_t(p) * s.width;
        const int v = 1 + (h * 7 + p * 3) % (used + 2);  // a few values beyond the used records too
        s.width == 1 ? setU8(doc.image(), at, std::uint8_t(v)) : setU16le(doc.image(), at, std::uint16_t(v));
      }
    }
  }
  const Bytes start(doc.workingImage);
  for (auto [rows, delta] : std::vector<std::pair<std::vector<int>, int>>{
           {{3, 4, 9}, 1}, {{5, 6, 7, 20}, 10}, {{0, 2, 30}, -10}, {{12, 38}, -1}, {{1, 39}, 5}}) {
    std::erase_if(rows, [&](int r) { return r >= used; });  // the 32 emergency systems
    doc.workingImage = start;
    const std::vector<int> moved = moveSelectedRecords(doc, id(), rows, delta);
    const Bytes oneGo(doc.workingImage);
    doc.workingImage = start;
    const std::vector<int> inTurn =
        moveSelection(rows, delta, used, [&](int row, int d) { moveRecord(doc, id(), row, d); });
    EXPECT_EQ(moved, inTurn);
    EXPECT_TRUE(oneGo == doc.workingImage) << "rows from " << rows.front() << " by " << delta;
  }
}

TEST_P(RecordListTest, SortOrdersTheSelectionAmongItsPlacesAndTakesOnlyPermutations) {
  for (const char* n : {"delta", "Alpha", "charlie", "alpha", "Bravo"}) name(usedCount(doc, id()), n);
  setRefs({2, 4, 6});
  const auto names = [&] {
    std::vector<std::string> v;
    for (int i = 0; i < 5; ++i) v.push_back(recordName(doc, id(), i));
    return v;
  };
  // One row selected: every record in use, by name without case, ties in their order.
  std::vector<int> where = sortRecordsByName(doc, id(), {3});
  EXPECT_EQ(std::vector<int>(where.begin(), where.begin() + 6), (std::vector<int>{4, 0, 3, 1, 2, 5}));
  EXPECT_EQ(names(), (std::vector<std::string>{"Alpha", "alpha", "Bravo", "charlie", "delta"}));
  EXPECT_EQ(refs(), expectRefs({1, 2, 6}));
  // Several rows: only they move, among the places they hold.
  where = sortRecords(doc, id(), {4, 0, 2}, [&](int a, int b) { return recordName(doc, id(), a) > recordName(doc, id(), b); });
  EXPECT_EQ(std::vector<int>(where.begin(), where.begin() + 5), (std::vector<int>{4, 1, 2, 3, 0}));
  EXPECT_EQ(names(), (std::vector<std::string>{"delta", "alpha", "Bravo", "charlie", "Alpha"}));
  EXPECT_EQ(refs(), expectRefs({5, 2, 6}));

  const Bytes before(doc.workingImage);
  std::vector<int> order(std::size_t(layout().count));
  for (int i = 0; i < layout().count; ++i) order[std::size_t(i)] = i;
  EXPECT_FALSE(permuteRecords(doc, id(), order));  // nothing moves
  std::swap(order[0], order[1]);
  order[2] = 1;
  EXPECT_FALSE(permuteRecords(doc, id(), order));  // a record twice
  order[2] = layout().count;
  EXPECT_FALSE(permuteRecords(doc, id(), order));  // no such record
  order.pop_back();
  EXPECT_FALSE(permuteRecords(doc, id(), order));  // too short
  EXPECT_TRUE(doc.workingImage == before);
}

// A name word with a zero first byte (a file may hold 0x4E00) is in use all the same.
TEST_P(RecordListTest, ANameWordWithAZeroFirstByteIsInUse) {
  setU16le(recordBytes(doc, id(), 1), std::size_t(layout().nameOffset), 0x4E00);
  EXPECT_EQ(usedCount(doc, id()), 1);
  EXPECT_EQ(inUseMarks(doc, id())[1], 1);
  EXPECT_TRUE(packList(doc, id()));
  EXPECT_EQ(firstFree(doc, id()), 1);
}

// A renumbering map may stop short of the list's end: the numbers beyond it keep their value.
TEST_P(RecordListTest, APackMapShorterThanTheListLeavesTheNumbersBeyondIt) {
  setRefs({2, 3, layout().count});
  renumberAfterPack(doc, id(), {0, 0, 1});
  EXPECT_EQ(refs(), expectRefs({1, 3, layout().count}));
}

INSTANTIATE_TEST_SUITE_P(EveryList, RecordListTest,
                         ::testing::Values(ListId::TextMessages, ListId::EmergencySystems, ListId::Contacts,
                                           ListId::RxGroupLists, ListId::Zones, ListId::ScanLists,
                                           ListId::Channels),
                         [](const auto& info) {
                           std::string n = layoutOf(info.param).title;
                           std::erase(n, ' ');
                           return n;
                         });

TEST(RecordLists, AddNamesTheNewRecordByItsNumber) {
  const struct {
    ListId id;
    int used;
    const char* name;
  } cases[] = {{ListId::Channels, 12, "Channel 13"}, {ListId::Contacts, 1, "Contact 2"},
               {ListId::RxGroupLists, 2, "Group 3"},  {ListId::Zones, 2, "Zone 3"},
               {ListId::ScanLists, 4, "Scan List 5"}, {ListId::EmergencySystems, 0, "System 1"},
               {ListId::TextMessages, 3, "Hello"}};
  for (const auto& c : cases) {
    CodePlugDocument doc;
    ASSERT_EQ(pwtest::CodePlugBuilder().fill(c.id, c.used, "R").loadInto(doc), 0);
    EXPECT_EQ(addRecord(doc, c.id), c.used);
    EXPECT_EQ(recordName(doc, c.id, c.used), c.name);
    EXPECT_EQ(addRecord(doc, c.id, "  Given "), c.used + 1);
    EXPECT_EQ(recordName(doc, c.id, c.used + 1), "Given");
  }
  CodePlugDocument full;
  ASSERT_EQ(pwtest::CodePlugBuilder().fill(ListId::Zones, kZoneCount, "Z").loadInto(full), 0);
  EXPECT_EQ(addRecord(full, ListId::Zones), -1);
}

TEST(RecordLists, BlockDeltaStopsAtEitherEnd) {
  EXPECT_EQ(clampBlockDelta({}, 1, 10), 0);
  EXPECT_EQ(clampBlockDelta({3, 5}, 0, 10), 0);
  EXPECT_EQ(clampBlockDelta({3, 5}, 10, 10), 3);
  EXPECT_EQ(clampBlockDelta({3, 5}, 2, 10), 2);
  EXPECT_EQ(clampBlockDelta({3, 5}, -10, 10), -4);
  EXPECT_EQ(clampBlockDelta({0, 9}, 1, 10), 0);
  EXPECT_EQ(clampBlockDelta({0, 9}, -1, 10), 0);
}

TEST(SortByName, LettersWithMarksSortBesideTheirBaseLetters) {
  CodePlugDocument doc;
  ASSERT_EQ(pwtest::CodePlugBuilder().loadInto(doc), 0);
  const std::vector<std::string> stored{"\xC9mile", "arger", "emile", "\xC4rger", "Zed", "\xE4rger"};
  for (int i = 0; i < int(stored.size()); ++i) initEntry(doc, ListId::Contacts, i, stored[std::size_t(i)]);
  sortRecordsByName(doc, ListId::Contacts, {});
  std::vector<std::string> names;
  for (int i = 0; i < int(stored.size()); ++i) names.push_back(recordName(doc, ListId::Contacts, i));
  EXPECT_EQ(names, (std::vector<std::string>{"arger", "\xC4rger", "\xE4rger", "\xC9mile", "emile", "Zed"}));
}

}  // namespace
}  // namespace pw
