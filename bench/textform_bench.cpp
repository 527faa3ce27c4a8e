// The text form of a full code plug: 1000 channels and contacts, 250 zones, group lists
// and scan lists with members, every message and emergency system.
#include <benchmark/benchmark.h>

#include "codeplug/Layout.h"
#include "support/CodePlugBuilder.h"
#include "textform/TextDiff.h"
#include "textform/TextYaml.h"

namespace {

using namespace pw;

const std::vector<std::uint8_t>& fullPlug() { return pwtest::fullPlugFile(); }

void BM_Dump(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(text::dumpText(fullPlug()));
}
BENCHMARK(BM_Dump)->Unit(benchmark::kMillisecond);

void BM_Build(benchmark::State& state) {
  const std::string yaml = text::dumpText(fullPlug());
  for (auto _ : state) benchmark::DoNotOptimize(text::buildFile(yaml));
}
BENCHMARK(BM_Build)->Unit(benchmark::kMillisecond);

// Where dump and build spend their time: the file to its records, the text to its records.
void BM_DescribeOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(text::describe(fullPlug()));
}
BENCHMARK(BM_DescribeOnly)->Unit(benchmark::kMillisecond);

void BM_ReadTextOnly(benchmark::State& state) {
  const std::string yaml = text::dumpText(fullPlug());
  for (auto _ : state) benchmark::DoNotOptimize(text::fromYaml(yaml));
}
BENCHMARK(BM_ReadTextOnly)->Unit(benchmark::kMillisecond);

void BM_DiffEveryChannelMoved(benchmark::State& state) {
  std::vector<std::uint8_t> moved = fullPlug();
  const std::size_t at = fileOffset(kChannels);
  std::rotate(moved.begin() + std::ptrdiff_t(at), moved.begin() + std::ptrdiff_t(at + kChannelSize),
              moved.begin() + std::ptrdiff_t(at + std::size_t(kChannelCount) * kChannelSize));
  for (auto _ : state) benchmark::DoNotOptimize(text::diffFiles(fullPlug(), moved));
}
BENCHMARK(BM_DiffEveryChannelMoved)->Unit(benchmark::kMillisecond);

}  // namespace
