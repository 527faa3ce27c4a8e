// Load, unsaved-changes test and save of a full code plug (every list at capacity).

#include <benchmark/benchmark.h>

#include <filesystem>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/Normalise.h"
#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"

using namespace pw;
using namespace pwtest;

namespace {

const std::string& fullPlugPath() {
  static const std::string path = [] {
    CodePlugBuilder b;
    for (int l = 0; l < kListCount; ++l) {
      const auto id = static_cast<ListId>(l);
      b.fill(id, layoutOf(id).count, "Rec ");
    }
    for (const auto& m : memberLayouts())
      for (int r = 0; r < layoutOf(m.owner).count; ++r) {
        std::vector<int> v;
        for (int s = 0; s < m.slotCount; ++s) v.push_back(1 + (r * 7 + s) % 1000);
        b.members(m.owner, r, v);
      }
    return b.writeTo("full.rdt");
  }();
  return path;
}

void BM_LoadFullCodePlug(benchmark::State& state) {
  CodePlugDocument doc;
  for (auto _ : state) benchmark::DoNotOptimize(doc.loadCodePlug(fullPlugPath(), false));
}
BENCHMARK(BM_LoadFullCodePlug)->Unit(benchmark::kMicrosecond);

void BM_NormaliseGappyCodePlug(benchmark::State& state) {
  // Worst case for packing: every other record free, so half of them move.
  CodePlugDocument doc;
  doc.loadCodePlug(fullPlugPath(), false);
  const auto full = doc.workingImage;
  for (auto _ : state) {
    state.PauseTiming();
    doc.workingImage = full;
    for (int l = 0; l < kListCount; ++l)
      for (int i = 0; i < layoutOf(ListId(l)).count; i += 2) initEntry(doc, ListId(l), i, {});
    state.ResumeTiming();
    benchmark::DoNotOptimize(normaliseLists(doc));
  }
}
BENCHMARK(BM_NormaliseGappyCodePlug)->Unit(benchmark::kMicrosecond);

void BM_IsModified(benchmark::State& state) {
  CodePlugDocument doc;
  doc.loadCodePlug(fullPlugPath(), false);
  for (auto _ : state) benchmark::DoNotOptimize(doc.isModified());
}
BENCHMARK(BM_IsModified)->Unit(benchmark::kMicrosecond);

void BM_SaveFullCodePlug(benchmark::State& state) {
  CodePlugDocument doc;
  doc.loadCodePlug(fullPlugPath(), false);
  const std::string out = testTempDir() + "/bench-save.rdt";
  for (auto _ : state) benchmark::DoNotOptimize(doc.saveCodePlug(out));
}
BENCHMARK(BM_SaveFullCodePlug)->Unit(benchmark::kMicrosecond);

// A file with a second name is written in place after a flushed backup copy.
void BM_SaveFullCodePlugOverHardLink(benchmark::State& state) {
  CodePlugDocument doc;
  doc.loadCodePlug(fullPlugPath(), false);
  const std::string out = testTempDir() + "/bench-linked.rdt", second = testTempDir() + "/bench-linked-2.rdt";
  doc.saveCodePlug(out);
  std::filesystem::remove(second);
  std::filesystem::create_hard_link(out, second);
  for (auto _ : state) benchmark::DoNotOptimize(doc.saveCodePlug(out));
}
BENCHMARK(BM_SaveFullCodePlugOverHardLink)->Unit(benchmark::kMicrosecond);

}  // namespace
