// The checks over a code plug with every list full and every member slot used.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"
#include "validation/Validation.h"

namespace {

using namespace pw;

// With `faulty`, every channel is digital without a contact and every contact shares one
// ID: the checks then also build a sentence for about 2000 findings.
void buildFull(CodePlugDocument& doc, bool faulty) {
  pwtest::CodePlugBuilder b;
  b.fill(ListId::Channels, kChannelCount, "Ch").fill(ListId::Contacts, kContactCount, "C");
  for (int c = 0; c < kChannelCount; ++c) b.channelContact(c, faulty ? 0 : 1 + c);
  for (int k = 0; k < kContactCount; ++k)
    b.contact(k, std::string("C").append(std::to_string(k)), faulty ? 7 : 1 + k);
  int next = 0;
  for (const MemberListLayout& m : memberLayouts()) {
    b.fill(m.owner, layoutOf(m.owner).count, "L");
    for (int r = 0; r < layoutOf(m.owner).count; ++r) {
      std::vector<int> words;
      for (int s = 0; s < m.slotCount; ++s) words.push_back(1 + next++ % 1000);
      b.members(m.owner, r, words);
    }
  }
  doc.adoptImage(b.bytes());
}

void timeChecks(benchmark::State& state, const CodePlugDocument& doc) {
  std::size_t found = 0;
  for (auto _ : state) {
    const auto findings = validate(doc);
    found = findings.size();
    benchmark::DoNotOptimize(findings.data());
  }
  state.counters["findings"] = double(found);
}

void BM_ValidateFullPlug(benchmark::State& state) {
  CodePlugDocument doc;
  buildFull(doc, state.range(0) != 0);
  timeChecks(state, doc);
}
BENCHMARK(BM_ValidateFullPlug)->Arg(0)->Arg(1)->ArgName("faulty")->Unit(benchmark::kMillisecond);

// Every byte after the file's header random (fixed seed): nearly every record in use and
// most references wrong, tens of thousands of findings.
void BM_ValidateRandomImage(benchmark::State& state) {
  std::vector<std::uint8_t> image = pwtest::CodePlugBuilder().bytes();
  std::mt19937 random(7);
  for (std::size_t i = fileOffset(kGeneralSettings); i < image.size(); ++i) image[i] = std::uint8_t(random());
  CodePlugDocument doc;
  doc.adoptImage(std::move(image));
  timeChecks(state, doc);
}
BENCHMARK(BM_ValidateRandomImage)->Unit(benchmark::kMillisecond);

}  // namespace
