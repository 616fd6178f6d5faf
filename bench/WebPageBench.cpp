// The HTML page of 100,000 and 1,000,000 generated cards, written into a temporary folder.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchFolders.h"
#include "BookGenerator.h"
#include "Files.h"
#include "Unit_Extensions.h"

namespace {

namespace fs = std::filesystem;

void BM_WebPage(benchmark::State& state) {
  const TStringList cards = GenerateCards(static_cast<int>(state.range(0)));
  const TTemporaryFolder folder("vab-page");
  const AnsiString file = (folder.Path / "index.html").string();
  for (auto _ : state) {
    const TOutcome written = WriteWebPage(cards, file);
    if (!written) state.SkipWithError(written.Error().c_str());
  }
  std::error_code ec;
  state.counters["page_MiB"] = static_cast<double>(fs::file_size(file, ec)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_WebPage)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
