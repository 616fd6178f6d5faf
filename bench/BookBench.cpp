// Book load and book save at 10,000, 100,000 and 1,000,000 generated cards. The files go to
// $VAB_BENCH_DIR (a temporary folder when unset); a book file "cards-N.abk" already there is used
// as it is (bench/run.sh generates the largest one once and times cat and dd on it).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "BenchFolders.h"
#include "BookGenerator.h"
#include "CardBook.h"

namespace {

namespace fs = std::filesystem;

const TStringList& Cards(int count) {
  static std::map<int, TStringList> made;
  auto it = made.find(count);
  if (it == made.end()) it = made.emplace(count, GenerateCards(count)).first;
  return it->second;
}

AnsiString BookFile(int count) {
  const fs::path file = BenchDataFolder() / ("cards-" + std::to_string(count) + ".abk");
  if (!fs::exists(file)) WriteBookFile(Cards(count), file.string());
  return file.string();
}

void BM_LoadBook(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const AnsiString book = BookFile(count);
  const AnsiString backup = BackupFileName(book);
  for (auto _ : state) {
    TStringList cards;
    LoadBook(cards, book, backup);
    if (cards.Count() != count) state.SkipWithError("the book did not load");
    benchmark::DoNotOptimize(cards.Count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(book)));
}

void BM_SaveBook(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const TStringList& cards = Cards(count);
  const AnsiString book = (BenchDataFolder() / ("save-" + std::to_string(count) + ".abk")).string();
  const AnsiString backup = BackupFileName(book);
  BookLoad load;
  load.Source = BookLoad::TSource::Book;
  for (auto _ : state) {
    const BookSave save = SaveBook(cards, book, backup, load);
    if (!save.Outcome) state.SkipWithError(save.Outcome.Error().c_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(book)));
  fs::remove(book);
  fs::remove(backup);
}

}  // namespace

BENCHMARK(BM_LoadBook)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveBook)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
