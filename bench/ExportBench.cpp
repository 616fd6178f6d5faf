// The delimited export of every field of 1,000,000 generated cards, written to a file in
// $VAB_BENCH_DIR (a temporary folder when unset): its time, and the memory it takes beyond the
// book held in memory (the peak resident size during the export less the size before it).
// bench/export.sh runs it beside a console address book's export of the same cards.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BenchFolders.h"
#include "BookGenerator.h"
#include "CardExport.h"

namespace {

namespace fs = std::filesystem;

// A figure of /proc/self/status in KiB ("VmRSS", "VmHWM").
long StatusKiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  return 0;
}

// Starts the peak resident size afresh from the current size.
void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_ExportAllFields(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const TStringList cards = GenerateCards(count);
  ExportChoice choice;
  choice.Chosen.fill(true);
  choice.Headers = true;
  const std::string file = (BenchDataFolder() / "export.csv").string();
  double extraMiB = 0;
  for (auto _ : state) {
    const long before = StatusKiB("VmRSS");
    ResetPeak();
    WriteExportFile(cards, choice, file);
    extraMiB = std::max(extraMiB, static_cast<double>(StatusKiB("VmHWM") - before) / 1024.0);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
  state.counters["extra_MiB"] = extraMiB;
  state.counters["file_MiB"] = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
  fs::remove(file);
}

}  // namespace

BENCHMARK(BM_ExportAllFields)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

BENCHMARK_MAIN();
