// The search over the loaded book when nothing matches (a full scan), and the letter list's fill
// of its sorted list box, at 100,000 and 1,000,000 generated cards. A book file "cards-N.abk" in
// $VAB_BENCH_DIR is used when present, so that bench/search.sh can time grep on the same file.

#include <benchmark/benchmark.h>

#include "BookGenerator.h"
#include "CardLookup.h"
#include "StdCtrls.h"

namespace {

// A text the generated cards never hold.
constexpr std::string_view kNoMatch = "Zyxwvut@nowhere";

void BM_FindCardNoMatch(benchmark::State& state) {
  const TStringList& cards = BenchCards(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const int found = FindCard(cards, kNoMatch, "");
    if (found != -1) state.SkipWithError("the text was found");
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(cards.TextSize()));
}
BENCHMARK(BM_FindCardNoMatch)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The letter list's fill for "ALL" (every card) and for one letter, each entry with its card.
void BM_LetterListFill(benchmark::State& state) {
  const TStringList& cards = BenchCards(static_cast<int>(state.range(0)));
  const char letter = static_cast<char>(state.range(1));
  TListBox list;
  list.SetSorted(true);
  for (auto _ : state) {
    list.Clear();
    list.BeginUpdate();
    int card = 0;
    for (std::string_view line : cards) {
      const int index = card++;
      if (letter != '?' && (line.empty() || !LetterMatches(line.front(), letter))) continue;
      if (std::optional<AnsiString> entry = LetterListEntry(line)) list.AddObject(*entry, index);
    }
    list.EndUpdate();
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_LetterListFill)
    ->Args({100000, '?'})
    ->Args({100000, 'S'})
    ->Args({1000000, '?'})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
