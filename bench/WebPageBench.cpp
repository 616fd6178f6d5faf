// The HTML page of 100,000 and 1,000,000 generated cards, written into a temporary folder.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "BookGenerator.h"
#include "Files.h"
#include "Unit_Extensions.h"

namespace {

namespace fs = std::filesystem;

void BM_WebPage(benchmark::State& state) {
  const TStringList cards = GenerateCards(static_cast<int>(state.range(0)));
  AnsiString folder = (fs::temp_directory_path() / "vab-page.XXXXXX").string();
  if (!::mkdtemp(folder.data())) {
    state.SkipWithError("cannot create a temporary folder");
    return;
  }
  const AnsiString file = folder + "/index.html";
  for (auto _ : state) {
    const AnsiString error = WriteWebPage(cards, file);
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  std::error_code ec;
  state.counters["page_MiB"] = static_cast<double>(fs::file_size(file, ec)) / (1024.0 * 1024.0);
  fs::remove_all(folder, ec);
}
BENCHMARK(BM_WebPage)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
