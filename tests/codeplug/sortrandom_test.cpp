// Random sorts of random selections of contacts and channels on a random code plug whose
// every reference site is filled: each reference a move would renumber still names the
// record with the same bytes, every other one keeps its value, the sorted places are in
// order (ties in their old order), and nothing else in the image changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "channels/ChannelRecord.h"
#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"
#include "codeplug/ReferenceWeb.h"
#include "contacts/ContactList.h"
#include "support/CodePlugBuilder.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::size_t siteOffset(const ReferenceSite& s, int holder, int position) {
  return s.base + std::size_t(holder) * std::size_t(s.holderSize) + std::size_t(s.field) +
         std::size_t(position) * std::size_t(s.width);
}

class SortRandomTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    rng.seed(GetParam());
    pwtest::CodePlugBuilder b;
    // Few distinct names, IDs and frequencies, so ties are common.
    const char* names[] = {"alpha", "Alpha", "bravo", "BRAVO", "charlie", "delta", "Echo", "echo"};
    for (int i = 0, n = 2 + pick(60); i < n; ++i)
      b.contact(i, names[pick(8)], std::uint32_t(pick(5)), 1 + pick(3), pick(2) == 1);
    for (int i = 0, n = 2 + pick(60); i < n; ++i) {
      b.channel(i, names[pick(8)], 1 + pick(2));
      setU32le(b.record(ListId::Channels, i), 16, 0x43850000u + std::uint32_t(pick(4)) * 0x100u);
    }
    // Holder lists partly in use: a free holder keeps its references as they are.
    for (ListId holder : {ListId::RxGroupLists, ListId::Zones, ListId::ScanLists, ListId::EmergencySystems})
      for (int i = 0; i < 12; ++i)
        if (pick(3)) b.named(holder, i, "H" + std::to_string(i));
    ASSERT_EQ(b.loadInto(doc), 0);
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  // Every site that refers to `list` gets random values: mostly records in use, some free
  // ones, 0, and values beyond the list; one-touch entries call a contact or not.
  void scatterReferences(ListId list) {
    const int used = usedCount(doc, list), count = layoutOf(list).count;
    for (int k = 0; k < kOneTouchCount; ++k) doc.image()[kOneTouchAccess + 4 * std::size_t(k)] = std::uint8_t(pick(4) << 4);
    for (const ReferenceSite& s : referenceSites()) {
      if (s.referred != list) continue;
      for (int h = 0; h < s.holderCount; ++h)
        for (int p = 0; p < s.repeat; ++p) {
          const int kind = pick(10);
          const int v = kind < 6 ? 1 + pick(used) : kind < 8 ? used + 1 + pick(count - used) : kind < 9 ? 0 : 0xFFFF;
          const std::size_t at = siteOffset(s, h, p);
          s.width == 1 ? setU8(doc.image(), at, std::uint8_t(v)) : setU16le(doc.image(), at, std::uint16_t(v));
        }
    }
  }

  std::vector<int> randomSelection(ListId list) {
    std::vector<int> rows;
    const int used = usedCount(doc, list);
    const int chance = pick(4);  // sometimes none or one: the whole list
    for (int i = 0; i < used; ++i)
      if (pick(4) < chance) rows.push_back(i);
    return rows;
  }

  void sortAndCheck(ListId list) {
    scatterReferences(list);
    const std::vector<int> rows = randomSelection(list);
    const int key = pick(2);
    const Bytes before(doc.workingImage);
    const auto recordBefore = [&](int i) {
      const auto& l = layoutOf(list);
      const auto at = before.begin() + std::ptrdiff_t(kImageBase + l.start + std::size_t(i) * std::size_t(l.recordSize));
      return Bytes(at, at + l.recordSize);
    };
    // What each reference names before the sort, and whether a move would take it along.
    struct Ref {
      std::size_t at;
      int width;
      std::uint32_t value;
      bool follows;
    };
    std::vector<Ref> refs;
    for (const ReferenceSite& s : referenceSites()) {
      if (s.referred != list) continue;
      for (int h = 0; h < s.holderCount; ++h)
        for (int p = 0; p < s.repeat; ++p) {
          const std::uint32_t v = referenceAt(doc, s, h, p);
          const bool follows = holderTakesPart(doc, s, h, s.onMove) && v >= 1 && int(v) <= layoutOf(list).count;
          refs.push_back({siteOffset(s, h, p), s.width, v, follows});
        }
    }
    // The sort key of each record, read before the sort.
    std::vector<std::string> keys;
    for (int i = 0; i < layoutOf(list).count; ++i) {
      std::string k = key ? (list == ListId::Contacts ? std::to_string(100 + contactCallId(doc, i))
                                                      : frequencyText(channelField(doc, i, ChannelField::RxFrequency)))
                          : recordName(doc, list, i);
      if (!key) std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return char(std::tolower(c)); });
      keys.push_back(k);
    }

    const std::vector<int> where =
        list == ListId::Contacts ? sortContacts(doc, rows, key ? ContactSort::Id : ContactSort::Name)
                                 : sortChannels(doc, rows, key ? ChannelSort::RxFrequency : ChannelSort::Name);

    // The places sorted, and every other record where it was.
    std::vector<int> places = rows;
    if (places.size() < 2) {
      places.clear();
      for (int i = 0; i < usedCount(doc, list); ++i) places.push_back(i);
    }
    std::vector<int> oldAt(where.size());
    for (std::size_t i = 0; i < where.size(); ++i) oldAt[std::size_t(where[i])] = int(i);
    for (int i = 0; i < layoutOf(list).count; ++i) {
      const bool sorted = std::binary_search(places.begin(), places.end(), i);
      if (!sorted) {
        ASSERT_EQ(oldAt[std::size_t(i)], i) << "unsorted place " << i;
      }
      ASSERT_EQ(pwtest::copyOf(recordBytes(doc, list, i)), recordBefore(oldAt[std::size_t(i)])) << "place " << i;
    }
    for (std::size_t k = 1; k < places.size(); ++k) {
      const int a = oldAt[std::size_t(places[k - 1])], b = oldAt[std::size_t(places[k])];
      ASSERT_TRUE(keys[std::size_t(a)] < keys[std::size_t(b)] || (keys[std::size_t(a)] == keys[std::size_t(b)] && a < b))
          << keys[std::size_t(a)] << " before " << keys[std::size_t(b)];
    }

    Bytes rest(doc.workingImage), restBefore(before);
    for (const Ref& r : refs) {
      const std::uint32_t now = r.width == 1 ? u8(doc.image(), r.at) : u16le(doc.image(), r.at);
      if (r.follows) {
        ASSERT_GE(now, 1u);
        ASSERT_EQ(pwtest::copyOf(recordBytes(doc, list, int(now) - 1)), recordBefore(int(r.value) - 1))
            << "reference at " << r.at << " named " << r.value << ", now " << now;
      } else {
        ASSERT_EQ(now, r.value) << "reference at " << r.at;
      }
      for (Bytes* b : {&rest, &restBefore}) std::fill_n(b->begin() + std::ptrdiff_t(kImageBase + r.at), r.width, 0);
    }
    const auto& l = layoutOf(list);
    for (Bytes* b : {&rest, &restBefore})
      std::fill_n(b->begin() + std::ptrdiff_t(kImageBase + l.start), std::size_t(l.count) * std::size_t(l.recordSize), 0);
    ASSERT_TRUE(rest == restBefore) << "bytes outside the list and its references changed";
  }

  std::mt19937 rng;
  CodePlugDocument doc;
};

TEST_P(SortRandomTest, EveryReferenceFollowsItsRecord) {
  for (int round = 0; round < 40; ++round) {
    sortAndCheck(pick(2) ? ListId::Contacts : ListId::Channels);
    if (HasFatalFailure()) FAIL() << "seed " << GetParam() << " round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SortRandomTest, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
}  // namespace pw
