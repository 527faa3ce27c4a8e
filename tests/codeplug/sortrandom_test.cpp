// Random sorts of random selections of contacts and channels on a random code plug whose
// every reference site is filled: each reference a move would renumber still names the
// record with the same bytes, every other one keeps its value, the sorted places are in
// order (ties in their old order), and nothing else in the image changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
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

class SortRandomTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    rng.seed(GetParam());
    pwtest::CodePlugBuilder b;
    // Few distinct names, IDs and frequencies, so ties are common.
    const char* names[] = {"alpha", "Alpha", "bravo", "BRAVO", "charlie", "delta", "Echo", "echo"};
    for (int i = 0, n = 2 + pick(60); i < n; ++i) b.contact(i, names[pick(8)], pick(5), 1 + pick(3), pick(2));
    for (int i = 0, n = 2 + pick(60); i < n; ++i) {
      b.channel(i, names[pick(8)], 1 + pick(2));
      setU32le(b.record(ListId::Channels, i), 16, 0x43850000u + 0x100u * pick(4));
    }
    // Holder lists partly in use: a free holder keeps its references as they are.
    for (ListId holder : {ListId::RxGroupLists, ListId::Zones, ListId::ScanLists, ListId::EmergencySystems})
      for (int i = 0; i < 12; ++i)
        if (pick(3)) b.named(holder, i, "H" + std::to_string(i));
    ASSERT_EQ(b.loadInto(doc), 0);
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  struct Ref {
    std::size_t at;  // image offset
    int width;
    std::uint32_t value;
    bool follows;  // a move would renumber it
  };
  std::uint32_t valueAt(const Ref& r) const { return r.width == 1 ? u8(doc.image(), r.at) : u16le(doc.image(), r.at); }

  // Every site that refers to `list` gets random values (records in use mostly, free ones,
  // 0 and 0xFFFF); one-touch entries call a contact or not. Returns them all.
  std::vector<Ref> scatterReferences(ListId list) {
    const int used = usedCount(doc, list), count = layoutOf(list).count;
    for (int k = 0; k < kOneTouchCount; ++k) doc.image()[kOneTouchAccess + 4 * k] = std::uint8_t(pick(4) << 4);
    std::vector<Ref> refs;
    for (const ReferenceSite& s : referenceSites()) {
      if (s.referred != list) continue;
      for (int h = 0; h < s.holderCount; ++h)
        for (int p = 0; p < s.repeat; ++p) {
          const int kind = pick(10);
          const int v = kind < 6 ? 1 + pick(used) : kind < 8 ? used + 1 + pick(count - used) : kind < 9 ? 0 : 0xFFFF;
          Ref r{s.base + std::size_t(h) * s.holderSize + s.field + std::size_t(p) * s.width, s.width, 0, false};
          r.width == 1 ? setU8(doc.image(), r.at, std::uint8_t(v)) : setU16le(doc.image(), r.at, std::uint16_t(v));
          r.value = valueAt(r);
          r.follows = holderTakesPart(doc, s, h, s.onMove) && r.value >= 1 && int(r.value) <= count;
          refs.push_back(r);
        }
    }
    return refs;
  }

  void sortAndCheck(ListId list) {
    const std::vector<Ref> refs = scatterReferences(list);
    const auto& l = layoutOf(list);
    const int used = usedCount(doc, list);
    std::vector<int> rows;  // none or one: the whole list
    for (int i = 0, chance = pick(4); i < used; ++i)
      if (pick(4) < chance) rows.push_back(i);
    const bool byName = pick(2);
    std::vector<std::string> keys;  // as the sort must see them
    std::vector<Bytes> records;
    for (int i = 0; i < l.count; ++i) {
      std::string k = byName ? recordName(doc, list, i)
                      : list == ListId::Contacts ? std::to_string(100 + contactCallId(doc, i))
                                                 : frequencyText(channelField(doc, i, ChannelField::RxFrequency));
      std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return char(std::tolower(c)); });
      keys.push_back(k);
      records.push_back(pwtest::copyOf(recordBytes(doc, list, i)));
    }
    Bytes rest = doc.workingImage;

    const std::vector<int> where =
        list == ListId::Contacts ? sortContacts(doc, rows, byName ? ContactSort::Name : ContactSort::Id)
                                 : sortChannels(doc, rows, byName ? ChannelSort::Name : ChannelSort::RxFrequency);

    std::vector<int> oldAt(l.count), places = rows;
    for (int i = 0; i < l.count; ++i) oldAt[where[i]] = i;
    if (places.size() < 2) {
      places.resize(used);
      std::iota(places.begin(), places.end(), 0);
    }
    for (int i = 0; i < l.count; ++i) {
      if (!std::binary_search(places.begin(), places.end(), i)) {
        ASSERT_EQ(oldAt[i], i) << "unsorted place " << i;
      }
      ASSERT_EQ(pwtest::copyOf(recordBytes(doc, list, i)), records[oldAt[i]]) << "place " << i;
    }
    for (std::size_t k = 1; k < places.size(); ++k) {
      const int a = oldAt[places[k - 1]], b = oldAt[places[k]];
      ASSERT_TRUE(keys[a] < keys[b] || (keys[a] == keys[b] && a < b)) << keys[a] << " before " << keys[b];
    }
    Bytes now = doc.workingImage;
    for (const Ref& r : refs) {
      const std::uint32_t v = valueAt(r);
      if (r.follows) {
        ASSERT_TRUE(v >= 1 && int(v) <= l.count && records[r.value - 1] == records[oldAt[v - 1]])
            << "reference at " << r.at << " named " << r.value << ", now " << v;
      } else {
        ASSERT_EQ(v, r.value) << "reference at " << r.at;
      }
      for (Bytes* b : {&rest, &now}) std::fill_n(b->begin() + kImageBase + r.at, r.width, 0);
    }
    for (Bytes* b : {&rest, &now}) std::fill_n(b->begin() + kImageBase + l.start, l.count * l.recordSize, 0);
    ASSERT_TRUE(rest == now) << "bytes outside the list and its references changed";
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
