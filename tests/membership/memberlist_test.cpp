// Member operations, once for every member list (zones, rx group lists, scan lists):
// what the rows show, what counts as available, and add/remove/move acting on the
// members the user sees, with hidden words (0xFFFF, above the range) left in place.
#include "membership/MemberList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/CodePlugBuilder.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;

class MemberListTest : public ::testing::TestWithParam<ListId> {
 protected:
  ListId owner() const { return GetParam(); }
  ListId referred() const { return memberLayoutOf(owner()).referred; }
  int slots() const { return memberLayoutOf(owner()).slotCount; }
  int range() const { return layoutOf(referred()).count; }

  // Referred records 1..8 in use, record 0 of the owner in use with these member words.
  void load(const std::vector<int>& words) {
    CodePlugBuilder b;
    b.fill(referred(), 8, "R").named(owner(), 0, "Owner").members(owner(), 0, words);
    ASSERT_EQ(b.loadInto(doc), 0);
  }
  std::vector<int> words() const {
    std::vector<int> v;
    const ByteSpan r = recordBytes(doc, owner(), 0);
    for (int p = 0; p < slots(); ++p) v.push_back(u16le(r, memberLayoutOf(owner()).offset + 2 * p));
    while (!v.empty() && v.back() == 0) v.pop_back();
    return v;
  }
  std::vector<int> shown() const {
    std::vector<int> v;
    for (const MemberRow& m : memberRows(doc, owner(), 0)) v.push_back(m.number);
    return v;
  }
  std::vector<int> firstNumbers(int n) const {
    std::vector<int> v;
    for (int i = 1; i <= n; ++i) v.push_back(i);
    return v;
  }

  CodePlugDocument doc;
};

TEST_P(MemberListTest, HiddenWordsAreNotShownAndFreeRecordsStillAre) {
  load({5, 0xFFFF, 7, range() + 1, 9});  // 9 names a free record
  const std::vector<MemberRow> rows = memberRows(doc, owner(), 0);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].position, 2);
  EXPECT_EQ(rows[2].position, 4);
  EXPECT_EQ(shown(), (std::vector<int>{5, 7, 9}));
  EXPECT_EQ(memberCell(doc, owner(), 9, MemberColumn::Name), "");
  EXPECT_EQ(memberCell(doc, owner(), 7, MemberColumn::Name), "R7");
  EXPECT_EQ(availableRecords(doc, owner(), 0), (std::vector<int>{1, 2, 3, 4, 6, 8}));
  // A free owner record offers the same choice; without an image nothing is offered.
  EXPECT_EQ(availableRecords(doc, owner(), 1).size(), 8u);
  CodePlugDocument last;  // the last record of the referred list is offered like any other
  last.adoptImage(CodePlugBuilder().named(referred(), range() - 1, "Last").bytes());
  EXPECT_EQ(availableRecords(last, owner(), 0), std::vector<int>{range()});
  CodePlugDocument none;
  EXPECT_TRUE(memberRows(none, owner(), 0).empty());
  EXPECT_TRUE(availableRecords(none, owner(), 0).empty());
  EXPECT_EQ(addMembers(none, owner(), 0, {1}), 0);
}

TEST_P(MemberListTest, AddFillsHiddenPositionsAndSkipsMembersAndBadNumbers) {
  load({5, 0xFFFF, 7, range() + 1});
  EXPECT_EQ(addMembers(doc, owner(), 0, {3, 5, 7, 0, range() + 1, 6, 8, range()}), 4);
  EXPECT_EQ(words(), (std::vector<int>{5, 3, 7, 6, 8, range()}));
  EXPECT_EQ(shown().back(), range());

  // A member that sits after a hidden word is still found: no second copy.
  load({5, 0xFFFF, 7});
  EXPECT_EQ(addMembers(doc, owner(), 0, {7}), 0);
  EXPECT_EQ(words(), (std::vector<int>{5, 0xFFFF, 7}));
}

TEST_P(MemberListTest, AddingToAListOneShortOfFullAddsOnlyTheFirst) {
  std::vector<int> almost(slots() - 1, 0);
  for (int p = 0; p < slots() - 1; ++p) almost[p] = 10 + p;
  load(almost);
  EXPECT_EQ(addMembers(doc, owner(), 0, {1, 2, 3}), 1);
  EXPECT_EQ(int(shown().size()), slots());
  EXPECT_EQ(shown().back(), 1);
  EXPECT_EQ(addMembers(doc, owner(), 0, {2}), 0);
}

TEST_P(MemberListTest, RemoveClearsEveryCopyAndClosesUpKeepingHiddenWords) {
  load({1, 2, 3, 4, 5});
  EXPECT_TRUE(removeMembers(doc, owner(), 0, {2, 3}));
  EXPECT_EQ(words(), (std::vector<int>{1, 4, 5}));

  load({5, 7, 0xFFFF, 5, 8});
  EXPECT_TRUE(removeMembers(doc, owner(), 0, {5}));
  EXPECT_EQ(words(), (std::vector<int>{7, 0xFFFF, 8}));
  EXPECT_FALSE(removeMembers(doc, owner(), 0, {0xFFFF, 3}));  // hidden words are never removed
  EXPECT_EQ(words(), (std::vector<int>{7, 0xFFFF, 8}));
}

TEST_P(MemberListTest, MovesActOnShownMembersAroundAHiddenWord) {
  load({5, 0xFFFF, 7, 8});
  moveMember(doc, owner(), 0, 1, 1);  // row 1 is 7, at position 2
  EXPECT_EQ(words(), (std::vector<int>{7, 0xFFFF, 5, 8}));
  moveMember(doc, owner(), 0, 0, -5);  // clamped to the last shown member
  EXPECT_EQ(words(), (std::vector<int>{5, 0xFFFF, 8, 7}));
  moveMember(doc, owner(), 0, 3, 1);  // no such row: nothing
  EXPECT_EQ(words(), (std::vector<int>{5, 0xFFFF, 8, 7}));

  EXPECT_EQ(moveSelectedMembers(doc, owner(), 0, {1, 2}, 10), (std::vector<int>{0, 1}));
  EXPECT_EQ(words(), (std::vector<int>{8, 0xFFFF, 7, 5}));
  EXPECT_EQ(moveSelectedMembers(doc, owner(), 0, {0}, -1), (std::vector<int>{1}));
  EXPECT_EQ(shown(), (std::vector<int>{7, 8, 5}));
}

INSTANTIATE_TEST_SUITE_P(EveryMemberList, MemberListTest,
                         ::testing::Values(ListId::Zones, ListId::RxGroupLists, ListId::ScanLists),
                         [](const auto& info) {
                           std::string n = layoutOf(info.param).title;
                           std::erase(n, ' ');
                           return n;
                         });

TEST(MemberCells, ChannelsShowTheirModeAndContactsTheirId) {
  CodePlugBuilder b;
  b.channel(0, "Ana", 1).channel(1, "Dig", 2).contact(0, "Net", 91);
  setU8(b.record(ListId::Channels, 1), 0, 0x67);  // mode bits 3
  CodePlugDocument doc;
  ASSERT_EQ(b.loadInto(doc), 0);
  EXPECT_EQ(memberCell(doc, ListId::Zones, 1, MemberColumn::Detail), "Analogue");
  EXPECT_EQ(memberCell(doc, ListId::ScanLists, 2, MemberColumn::Detail), "Unknown 3");
  EXPECT_EQ(memberCell(doc, ListId::ScanLists, 2, MemberColumn::Number), "2");
  EXPECT_EQ(memberCell(doc, ListId::RxGroupLists, 1, MemberColumn::Detail), "91");
  EXPECT_EQ(memberCell(doc, ListId::RxGroupLists, 1, MemberColumn::Name), "Net");
  EXPECT_EQ(channelModeText(0), "Auto");
  EXPECT_EQ(channelModeText(2), "Digital");
}

}  // namespace
}  // namespace pw
