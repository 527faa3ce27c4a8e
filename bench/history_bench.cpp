// The undo history on a full code plug: recording a step, undo and redo of a step that
// changed all 1000 channels, and the memory 1000 single-cell edits keep.
#include <benchmark/benchmark.h>

#include "channels/ChannelRecord.h"
#include "support/CodePlugBuilder.h"

namespace {

using namespace pw;

void loadChannels(CodePlugDocument& doc) {
  pwtest::CodePlugBuilder().fill(ListId::Channels, kChannelCount, "Ch").loadInto(doc);
}

void BM_SettleOneCellEdit(benchmark::State& state) {
  CodePlugDocument doc;
  loadChannels(doc);
  std::uint32_t v = 0;
  for (auto _ : state) {
    setChannelField(doc, 500, ChannelField::TxTimeout, ++v % 64);
    doc.settleEdits("cell");
  }
}
BENCHMARK(BM_SettleOneCellEdit)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoAllChannels(benchmark::State& state) {
  CodePlugDocument doc;
  loadChannels(doc);
  for (int s = 0; s < kChannelCount; ++s) setChannelField(doc, s, ChannelField::TxTimeout, 9);
  doc.settleEdits("set 1000 channels");
  for (auto _ : state) {
    doc.undo();
    doc.redo();
  }
}
BENCHMARK(BM_UndoRedoAllChannels)->Unit(benchmark::kMicrosecond);

void BM_MemoryOf1000CellEdits(benchmark::State& state) {
  for (auto _ : state) {
    CodePlugDocument doc;
    loadChannels(doc);
    for (int i = 0; i < 1000; ++i) {
      setChannelField(doc, i, ChannelField::TxTimeout, 9);
      doc.settleEdits("cell");
    }
    state.counters["history_bytes"] = double(doc.history().memoryUsed());
  }
}
BENCHMARK(BM_MemoryOf1000CellEdits)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
