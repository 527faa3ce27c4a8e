// The DMR user database at the size users meet (250,000 rows, about 17 MB, made up by the
// test fixture): reading it, and one filter change's plan.
#include <benchmark/benchmark.h>

#include "exchange/UserDatabase.h"
#include "support/CodePlugBuilder.h"
#include "support/UserDatabaseFixture.h"

namespace {

constexpr int kRows = 250000;

const std::string& databaseFile() {
  static const std::string path = pwtest::writeUserDatabase("bench-userdb.csv", kRows);
  return path;
}

void BM_ReadAndFilterUserDatabase(benchmark::State& state) {
  pw::CodePlugDocument doc;
  pwtest::CodePlugBuilder().loadInto(doc, "bench-userdb.rdt");
  const pw::exchange::Filter filter{.idPrefixes = {"100", "101"}, .countries = {"Country 7", "Country 12"}};
  for (auto _ : state) {
    pw::exchange::Database db;
    if (pw::exchange::readDatabase(databaseFile(), db) != pw::exchange::ReadStatus::Ok ||
        db.rows().size() != std::size_t(kRows))
      state.SkipWithError("read failed");
    benchmark::DoNotOptimize(pw::exchange::makePlan(doc, db, filter));
  }
}
BENCHMARK(BM_ReadAndFilterUserDatabase)->Unit(benchmark::kMillisecond);

void BM_PlanUserDatabase(benchmark::State& state) {
  pw::CodePlugDocument doc;
  pwtest::CodePlugBuilder().loadInto(doc, "bench-userdb.rdt");
  pw::exchange::Database db;
  pw::exchange::readDatabase(databaseFile(), db);
  const pw::exchange::Filter filter{.idPrefixes = {"100"}, .callsignPrefixes = {"QA", "QB"}};
  for (auto _ : state) benchmark::DoNotOptimize(pw::exchange::makePlan(doc, db, filter));
}
BENCHMARK(BM_PlanUserDatabase)->Unit(benchmark::kMillisecond);

}  // namespace
