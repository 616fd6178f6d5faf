// The search over the loaded book when nothing matches (a full scan), and the letter list's fill
// of its sorted list box, at 100,000 and 1,000,000 generated cards: for "ALL" and for one letter
// while the book is unchanged, and for "ALL" right after the book changed (the order worked out
// again). A book file "cards-N.abk" in $VAB_BENCH_DIR is used when present, so that bench/search.sh
// can time grep and sort on the same file.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QListView>

#include "BenchFolders.h"
#include "BookGenerator.h"
#include "CardLookup.h"
#include "Form_Navigate.h"
#include "Unit_Main.h"

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

// The letter list over a main window that holds the cards, its buttons clicked as the window's
// handler receives them.
class TLetterListBench {
 public:
  explicit TLetterListBench(int cards) : Folder("vab-letters") {
    Main.show();
    QCoreApplication::processEvents();
    Main.Cards = BenchCards(cards);
  }

  // The entries listed.
  int Click(char letter) {
    const QString button = letter == '?' ? QStringLiteral("SBALL") : QStringLiteral("SB") + QLatin1Char(letter);
    List.SBAClick(List.findChild<QObject*>(button));
    return List.findChild<QListView*>(QStringLiteral("LB_Name"))->model()->rowCount();
  }

  const TProgramFolder Folder;
  TForm_Main Main;
  TFormNavigate List;
};

// A click of ALL or of one letter while the book is unchanged.
void BM_LetterListFill(benchmark::State& state) {
  TLetterListBench bench(static_cast<int>(state.range(0)));
  const char letter = static_cast<char>(state.range(1));
  bench.Click('?');  // the first opening works out the order
  for (auto _ : state) benchmark::DoNotOptimize(bench.Click(letter));
}
BENCHMARK(BM_LetterListFill)
    ->Args({100000, '?'})
    ->Args({100000, 'S'})
    ->Args({1000000, '?'})
    ->Args({1000000, 'S'})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The first fill after a card was stored.
void BM_LetterListFillAfterChange(benchmark::State& state) {
  TLetterListBench bench(static_cast<int>(state.range(0)));
  TStringList& cards = bench.Main.Cards;
  for (auto _ : state) {
    state.PauseTiming();
    cards.Put(0, AnsiString(cards[0]));
    state.ResumeTiming();
    benchmark::DoNotOptimize(bench.Click('?'));
  }
}
BENCHMARK(BM_LetterListFillAfterChange)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
