// Channel section operations at full size: 1000 channels in use and, for the delete,
// every zone, scan list, emergency system, DTMF decode entry and GPS system holding channels.
#include <benchmark/benchmark.h>

#include <numeric>
#include <vector>

#include "channels/ChannelRecord.h"
#include "support/CodePlugBuilder.h"

namespace {

using namespace pw;

// Words that hold channel numbers, with how many each holder has.
struct Holder {
  std::size_t base;
  int count, size, field, words;
};
constexpr Holder kHolders[] = {
    {kEmergencySystems, kEmergencySystemCount, kEmergencySystemSize, 36, 1},
    {kZones, kZoneCount, kZoneSize, 32, kZoneMemberCount},
    {kScanLists, kScanListCount, kScanListSize, 32, 3 + kScanListMemberCount},  // priorities and members
    {kDtmfDecodeEntries, kDtmfDecodeCount, kDtmfDecodeSize, 20, 1},
    {kGps, kGpsCount, kGpsSize, 0, 1},
};

// 1000 channels; with `holdersFull`, every holder record named and every channel word set
// to a channel other than 1.
void loadFull(CodePlugDocument& doc, bool holdersFull) {
  pwtest::CodePlugBuilder b;
  b.fill(ListId::Channels, kChannelCount, "Ch");
  if (holdersFull) {
    b.fill(ListId::EmergencySystems, kEmergencySystemCount, "E");
    b.fill(ListId::Zones, kZoneCount, "Z");
    b.fill(ListId::ScanLists, kScanListCount, "S");
  }
  b.loadInto(doc);
  if (!holdersFull) return;
  int next = 0;
  for (const auto& h : kHolders)
    for (int r = 0; r < h.count; ++r)
      for (int w = 0; w < h.words; ++w)
        setU16le(doc.image(), h.base + std::size_t(r) * h.size + h.field + 2 * w, std::uint16_t(2 + next++ % 999));
}

std::vector<int> rowsFrom(int first, int n) {
  std::vector<int> rows(n);
  std::iota(rows.begin(), rows.end(), first);
  return rows;
}

void BM_SetFieldOnAllChannels(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, false);
  std::uint32_t v = 0;
  for (auto _ : state) {
    v ^= 1;
    for (int s = 0; s < kChannelCount; ++s) setChannelField(doc, s, ChannelField::Vox, v);
  }
  state.SetItemsProcessed(state.iterations() * kChannelCount);
}
BENCHMARK(BM_SetFieldOnAllChannels);

// A selection of every row cannot move: the clamp makes it a no-op.
void BM_MoveAllRowsClamped(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, false);
  const std::vector<int> rows = rowsFrom(0, kChannelCount);
  for (auto _ : state) benchmark::DoNotOptimize(moveSelectedChannels(doc, rows, 1));
}
BENCHMARK(BM_MoveAllRowsClamped);

// Names "Ch1".."Ch1000" in text order, every holder full: nearly every channel moves.
void BM_SortThousandChannelsByName(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, true);
  const std::vector<std::uint8_t> loaded = doc.workingImage;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sortChannels(doc, {}, ChannelSort::Name));
    state.PauseTiming();
    doc.workingImage = loaded;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SortThousandChannelsByName)->Unit(benchmark::kMillisecond);

void BM_Move500RowsByTen(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, state.range(0) != 0);
  std::vector<int> rows = rowsFrom(250, 500);
  int delta = 10;
  for (auto _ : state) {
    rows = moveSelectedChannels(doc, rows, delta);
    delta = -delta;  // back and forth keeps the state steady
  }
}
BENCHMARK(BM_Move500RowsByTen)->Arg(0)->Arg(1)->ArgName("holdersFull")->Unit(benchmark::kMillisecond);

void BM_DeleteChannel1HoldersFull(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, true);
  const std::vector<std::uint8_t> saved = doc.workingImage;
  for (auto _ : state) {
    if (deleteChannel(doc, 1) != 0) state.SkipWithError("refused");
    state.PauseTiming();
    doc.workingImage = saved;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteChannel1HoldersFull)->Unit(benchmark::kMicrosecond);

// The refusal after every check has looked through its holders: only the last GPS system holds it.
void BM_DeleteRefusedByLastHolder(benchmark::State& state) {
  CodePlugDocument doc;
  loadFull(doc, false);
  setU16le(doc.image(), kGps + (kGpsCount - 1) * kGpsSize, 1);
  for (auto _ : state) benchmark::DoNotOptimize(deleteChannel(doc, 1));
}
BENCHMARK(BM_DeleteRefusedByLastHolder)->Unit(benchmark::kMicrosecond);

}  // namespace
