// Contact operations on a full list: the delete and the sort that renumber every holder,
// and import and export of 1000 contacts.

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "contacts/ContactFiles.h"
#include "contacts/ContactList.h"
#include "support/CodePlugBuilder.h"

namespace {

using pw::ListId;
using pwtest::CodePlugBuilder;

// 1000 contacts, and every holder of a contact number filled with references above 1.
void fullWeb(CodePlugBuilder& b) {
  for (int i = 0; i < pw::kContactCount; ++i) b.contact(i, "Contact " + std::to_string(i + 1), 1000 + i);
  for (int k = 0; k < pw::kOneTouchCount; ++k) b.oneTouch(k, 1, 0, 1, 2 + k);
  for (int k = 0; k < pw::kNumberKeyCount; ++k) b.numberKey(k, 10 + k);
  for (int g = 0; g < pw::kRxGroupListCount; ++g) {
    b.named(ListId::RxGroupLists, g, "Group " + std::to_string(g + 1));
    std::vector<int> members;
    for (int m = 0; m < pw::kRxGroupMemberCount; ++m) members.push_back(2 + (g * 32 + m) % 999);
    b.members(ListId::RxGroupLists, g, members);
  }
  for (int c = 0; c < pw::kChannelCount; ++c)
    b.channel(c, "Ch " + std::to_string(c + 1), 1).channelContact(c, 2 + c % 999);
  for (int g = 0; g < pw::kGpsCount; ++g) b.u16(pw::kGps + 16 * std::size_t(g) + 4, std::uint16_t(500 + g));
}

void BM_DeleteFirstOfThousandContacts(benchmark::State& state) {
  CodePlugBuilder b;
  fullWeb(b);
  pw::CodePlugDocument doc;
  b.loadInto(doc, "bench-delete.rdt");
  const std::vector<std::uint8_t> loaded = doc.workingImage;
  for (auto _ : state) {
    if (pw::deleteContact(doc, 1) != 0) state.SkipWithError("delete refused");
    state.PauseTiming();
    doc.workingImage = loaded;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteFirstOfThousandContacts)->Unit(benchmark::kMillisecond);

// Names "Contact 1".."Contact 1000" in text order: nearly every contact moves.
void BM_SortThousandContactsByName(benchmark::State& state) {
  CodePlugBuilder b;
  fullWeb(b);
  pw::CodePlugDocument doc;
  b.loadInto(doc, "bench-sort.rdt");
  const std::vector<std::uint8_t> loaded = doc.workingImage;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pw::sortContacts(doc, {}, pw::ContactSort::Name));
    state.PauseTiming();
    doc.workingImage = loaded;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SortThousandContactsByName)->Unit(benchmark::kMillisecond);

void BM_ImportThousandCsvLines(benchmark::State& state) {
  CodePlugBuilder b;
  pw::CodePlugDocument doc;
  b.loadInto(doc, "bench-import.rdt");
  const std::vector<std::uint8_t> empty = doc.workingImage;
  const std::string file = pwtest::testTempDir() + "/bench-import.csv";
  {
    std::ofstream out(file);
    for (int i = 0; i < 1000; ++i)
      out << (i % 2 ? 2000000 + i : 100 + i) << ",Name " << i << ",K" << i << "\n";
  }
  for (auto _ : state) {
    pw::importContacts(doc, file);
    state.PauseTiming();
    if (pw::usedCount(doc, ListId::Contacts) != 1000) state.SkipWithError("import incomplete");
    doc.workingImage = empty;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportThousandCsvLines)->Unit(benchmark::kMillisecond);

void BM_ExportThousandContacts(benchmark::State& state) {
  CodePlugBuilder b;
  for (int i = 0; i < pw::kContactCount; ++i) b.contact(i, "Pat Z" + std::to_string(i), 2000000 + i, 2);
  pw::CodePlugDocument doc;
  b.loadInto(doc, "bench-export.rdt");
  const std::string file =
      pwtest::testTempDir() + (state.range(0) ? "/bench-export.csv" : "/bench-export.txt");
  for (auto _ : state)
    if (pw::exportContacts(doc, file) != 0) state.SkipWithError("export failed");
}
BENCHMARK(BM_ExportThousandContacts)->Arg(0)->Arg(1)->ArgName("csv")->Unit(benchmark::kMillisecond);

}  // namespace
