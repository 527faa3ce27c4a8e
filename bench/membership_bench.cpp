// Member lists at full size: 250 zones, 250 rx group lists and 250 scan lists, 1000
// channels and 1000 contacts in use, every member list holding members.
#include <benchmark/benchmark.h>

#include <numeric>
#include <vector>

#include "codeplug/RecordList.h"
#include "membership/MemberList.h"
#include "support/CodePlugBuilder.h"

namespace {

using namespace pw;

// Every list full; each member list holds `fill` members, none of them channel 1.
void loadFull(CodePlugDocument& doc, int fill) {
  pwtest::CodePlugBuilder b;
  b.fill(ListId::Channels, kChannelCount, "Ch").fill(ListId::Contacts, kContactCount, "C");
  int next = 0;
  for (const MemberListLayout& m : memberLayouts()) {
    b.fill(m.owner, layoutOf(m.owner).count, "L");
    for (int r = 0; r < layoutOf(m.owner).count; ++r) {
      std::vector<int> words;
      for (int s = 0; s < std::min(fill, m.slotCount); ++s) words.push_back(2 + next++ % 999);
      b.members(m.owner, r, words);
    }
  }
  b.loadInto(doc);
}

// What selecting one record computes for the two member-side lists.
void BM_MemberSideOfOneRecord(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, 8);
  const auto owner = static_cast<ListId>(state.range(0));
  int r = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(memberRows(doc, owner, r));
    benchmark::DoNotOptimize(availableRecords(doc, owner, r));
    r = (r + 1) % 250;
  }
}
BENCHMARK(BM_MemberSideOfOneRecord)
    ->Arg(int(ListId::Zones))
    ->Arg(int(ListId::RxGroupLists))
    ->ArgName("list")
    ->Unit(benchmark::kMicrosecond);

void BM_AddSixteenMembersToAZone(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, 0);
  std::vector<int> numbers(kZoneMemberCount);
  std::iota(numbers.begin(), numbers.end(), 500);
  for (auto _ : state) {
    if (addMembers(doc, ListId::Zones, 7, numbers) != kZoneMemberCount) state.SkipWithError("not added");
    state.PauseTiming();
    removeMembers(doc, ListId::Zones, 7, numbers);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddSixteenMembersToAZone)->Unit(benchmark::kMicrosecond);

// Every member of every zone, scan list and group list is renumbered (channels and contacts
// alike are full, so the group lists hold contact numbers that stay).
void BM_DeleteChannel1EveryMemberListFull(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, 32);
  const std::vector<std::uint8_t> saved = doc.workingImage;
  for (auto _ : state) {
    if (deleteRecord(doc, ListId::Channels, 1) != 0) state.SkipWithError("refused");
    state.PauseTiming();
    doc.workingImage = saved;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteChannel1EveryMemberListFull)->Unit(benchmark::kMicrosecond);

void BM_Move100GroupListsByTen(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, 32);
  for (int c = 0; c < kChannelCount; ++c)
    setU8(recordBytes(doc, ListId::Channels, c), 12, std::uint8_t(1 + c % 250));
  std::vector<int> rows(100);
  std::iota(rows.begin(), rows.end(), 100);
  int delta = 10;
  for (auto _ : state) {
    rows = moveSelectedRecords(doc, ListId::RxGroupLists, rows, delta);
    delta = -delta;
  }
}
BENCHMARK(BM_Move100GroupListsByTen)->Unit(benchmark::kMicrosecond);

}  // namespace
