// The wizard on a 12,000-entry repeater list (about 5 MB): reading it, reading and choosing
// the area's repeaters, the area page's count after a change, and generating a full plug of
// 1000 channels into an empty code plug.
#include <benchmark/benchmark.h>

#include "codeplug/RecordList.h"
#include "exchange/Repeaters.h"
#include "support/CodePlugBuilder.h"
#include "support/RepeaterLists.h"
#include "wizard/Area.h"
#include "wizard/Generate.h"

namespace {

using namespace pw;

const std::string& list() {
  static const std::string text = pwtest::repeaterListJson(12000);
  return text;
}

wizard::WizardPlan areaPlan() {
  wizard::WizardPlan plan;
  plan.repeaterFile = "rptrs.json";
  plan.countries = {"Germany", "Poland", "Czech Republic"};
  plan.sets = {{.networks = {"Brand"}, .timeSlots = {{{91, 262}, {9}}}},
               {.networks = {"*"}, .timeSlots = {{{}, {9}}}}};
  return plan;
}

void BM_ReadRepeaters(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(exchange::readRepeaterText(list()));
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(list().size()));
}
BENCHMARK(BM_ReadRepeaters)->Unit(benchmark::kMillisecond);

void BM_ReadAndFilterRepeaters(benchmark::State& state) {
  CodePlugDocument doc;
  doc.adoptImage(pwtest::CodePlugBuilder().bytes());
  const wizard::WizardPlan plan = areaPlan();
  for (auto _ : state) {
    const exchange::RepeaterPlan read = exchange::readRepeaterText(list());
    benchmark::DoNotOptimize(wizard::selectRepeaters(doc, plan, read));
  }
}
BENCHMARK(BM_ReadAndFilterRepeaters)->Unit(benchmark::kMillisecond);

// What the area page does after each tick: count the entries the area takes.
void BM_AreaCount(benchmark::State& state) {
  const exchange::RepeaterPlan read = exchange::readRepeaterText(list());
  wizard::WizardPlan plan = areaPlan();
  plan.near = "JO31";
  plan.radiusKm = 80;
  for (auto _ : state) {
    const wizard::Area area(plan);
    benchmark::DoNotOptimize(
        std::count_if(read.rows.begin(), read.rows.end(), [&](const auto& row) { return area.takes(row); }));
  }
}
BENCHMARK(BM_AreaCount)->Unit(benchmark::kMillisecond);

// 1000 channels: 250 repeaters of four talkgroups each, a zone and a scan list each.
void BM_GenerateFullPlug(benchmark::State& state) {
  CodePlugDocument doc;
  doc.adoptImage(pwtest::CodePlugBuilder().bytes());
  wizard::Sources sources;
  sources.repeaters = exchange::readRepeaterText(list());
  wizard::WizardPlan plan = areaPlan();
  plan.countries.clear();
  plan.sets = {{.networks = {"*"}, .timeSlots = {{{91, 262}, {9, 8}}}}};
  plan.start = wizard::Start::Empty;
  const std::vector<std::uint8_t> empty = doc.workingImage;
  for (auto _ : state) {
    const exchange::Report report = wizard::generate(doc, plan, sources);
    if (report.added.size() != 1000) state.SkipWithError("not a full plug");
    state.PauseTiming();
    doc.adoptImage(empty);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GenerateFullPlug)->Unit(benchmark::kMillisecond);

}  // namespace
