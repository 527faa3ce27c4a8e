// Channels as CSV on a full code plug: the export of 1000 channels, and the import (read
// and apply) of a 1000-row file in either layout; copy, paste and insert on a full plug of
// 999 channels (every holder full), and a paste of 500 that all fit, at row 1.
#include <benchmark/benchmark.h>

#include "channels/ChannelRecord.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "exchange/ChannelCsv.h"
#include "support/CodePlugBuilder.h"

namespace {

using namespace pw;

const std::vector<std::uint8_t>& fullPlug() { return pwtest::fullPlugFile(); }

std::vector<int> everyChannel() {
  std::vector<int> rows(kChannelCount);
  for (int i = 0; i < kChannelCount; ++i) rows[std::size_t(i)] = i;
  return rows;
}

std::string exportedText() {
  CodePlugDocument doc;
  doc.adoptImage(fullPlug());
  return exchange::writeChannelText(doc, everyChannel());
}

std::string analogueText() {
  std::string text =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
      "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n";
  for (int i = 0; i < kChannelCount; ++i)
    text += std::to_string(i) + ",Repeater " + std::to_string(i) + ",43" + std::to_string(i % 10) +
            ".125000,-,7.600000,Cross,88.5,67.0,023,NR,754,Tone->DTCS,FM,12.5,,5.0W,\r\n";
  return text;
}

// Reads and applies the text into the full plug with every channel freed.
void importInto(benchmark::State& state, const std::string& text) {
  CodePlugDocument doc;
  doc.adoptImage(fullPlug());
  for (int i = 0; i < kChannelCount; ++i) initChannel(doc, i, {});
  const std::vector<std::uint8_t> empty = doc.workingImage;
  for (auto _ : state) {
    const exchange::ChannelPlan plan = exchange::readChannelText(doc, text, {});
    benchmark::DoNotOptimize(exchange::applyChannelPlan(doc, plan, {}));
    state.PauseTiming();
    doc.adoptImage(empty);
    state.ResumeTiming();
  }
}

void BM_ExportChannels(benchmark::State& state) {
  CodePlugDocument doc;
  doc.adoptImage(fullPlug());
  const std::vector<int> rows = everyChannel();
  for (auto _ : state) benchmark::DoNotOptimize(exchange::writeChannelText(doc, rows));
}
BENCHMARK(BM_ExportChannels)->Unit(benchmark::kMillisecond);

void BM_ImportOwnLayout(benchmark::State& state) { importInto(state, exportedText()); }
BENCHMARK(BM_ImportOwnLayout)->Unit(benchmark::kMillisecond);

void BM_ImportAnalogueLayout(benchmark::State& state) { importInto(state, analogueText()); }
BENCHMARK(BM_ImportAnalogueLayout)->Unit(benchmark::kMillisecond);

void BM_UpdateEveryChannel(benchmark::State& state) {
  CodePlugDocument doc;
  doc.adoptImage(fullPlug());
  const std::string text = exportedText();
  for (auto _ : state) {
    const exchange::ChannelPlan plan = exchange::readChannelText(doc, text, {.update = true});
    benchmark::DoNotOptimize(exchange::applyChannelPlan(doc, plan, {}));
  }
}
BENCHMARK(BM_UpdateEveryChannel)->Unit(benchmark::kMillisecond);

// The full plug with the channels from `used` on freed.
std::vector<std::uint8_t> plugWith(int used) {
  CodePlugDocument doc;
  doc.adoptImage(fullPlug());
  for (int i = used; i < kChannelCount; ++i) initChannel(doc, i, {});
  return doc.workingImage;
}

std::vector<int> firstRows(int count) {
  std::vector<int> rows(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) rows[std::size_t(i)] = i;
  return rows;
}

void BM_CopyChannels500(benchmark::State& state) {
  CodePlugDocument doc;
  doc.adoptImage(plugWith(999));
  const std::vector<int> rows = firstRows(500);
  for (auto _ : state) {
    benchmark::DoNotOptimize(exchange::writeChannelText(doc, rows));
    benchmark::DoNotOptimize(exchange::channelReferenceStamp(doc));  // carried beside the text
  }
}
BENCHMARK(BM_CopyChannels500)->Unit(benchmark::kMillisecond);

// Pastes 500 copied channels at row 1 of a plug with `used` channels in use: with 999, one
// fits and the rest is counted; with 500, all go in and every holder is renumbered.
void BM_PasteChannels500(benchmark::State& state) {
  CodePlugDocument doc;
  doc.adoptImage(plugWith(999));
  const std::string text = exchange::writeChannelText(doc, firstRows(500));
  const std::vector<std::uint8_t> start = plugWith(int(state.range(0)));
  doc.adoptImage(start);
  for (auto _ : state) {
    benchmark::DoNotOptimize(exchange::pasteChannelText(doc, text, 1, false));
    state.PauseTiming();
    doc.adoptImage(start);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PasteChannels500)->Arg(999)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_InsertChannelAtRow1(benchmark::State& state) {
  CodePlugDocument doc;
  const std::vector<std::uint8_t> start = plugWith(999);
  doc.adoptImage(start);
  for (auto _ : state) {
    benchmark::DoNotOptimize(insertRecord(doc, ListId::Channels, 1));
    state.PauseTiming();
    doc.adoptImage(start);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InsertChannelAtRow1)->Unit(benchmark::kMillisecond);

}  // namespace
