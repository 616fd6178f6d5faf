// The list view opened from the main window's Grid button on books of 100,000 and 1,000,000
// generated cards, up to its first rows painted; and its sort by each column of 100,000 cards,
// repainted. The main window runs over an empty temporary program folder and gets the cards in
// memory; the sounds play on the null device.

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTimer>

#include "BenchFolders.h"
#include "BookGenerator.h"
#include "CardListModel.h"
#include "ComCtrls.h"
#include "Form_Grid.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Form_Grid.h"
#include "ui_Unit_Main.h"

namespace {

std::unique_ptr<TForm_Main> MainWindowWith(int cards) {
  auto window = std::make_unique<TForm_Main>();
  window->show();
  window->activateWindow();
  QCoreApplication::processEvents();
  window->Cards = GenerateCards(cards);
  return window;
}

void BM_GridOpen(benchmark::State& state) {
  const TProgramFolder folder("vab-grid");
  std::unique_ptr<TForm_Main> window = MainWindowWith(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    // The window shown last keeps its items until it is shown again: empty it, so that only this
    // opening's items count.
    state.PauseTiming();
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* shown = dynamic_cast<TFormGrid*>(top)) shown->Model().Fill({}, shown->SortColumn);
    state.ResumeTiming();
    bool painted = false;
    QTimer::singleShot(0, window.get(), [&] {
      auto* grid = dynamic_cast<TFormGrid*>(QApplication::activeModalWidget());
      if (!grid) return;
      while (grid->Model().rowCount() != window->Cards.Count()) QCoreApplication::processEvents();
      grid->grab();  // paints the first rows
      painted = true;
      grid->Close();
    });
    window->Controls().VxSpeedButton3->Click();
    if (!painted) state.SkipWithError("the list view did not open");
  }
}
BENCHMARK(BM_GridOpen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GridSort(benchmark::State& state) {
  const TProgramFolder folder("vab-grid");
  std::unique_ptr<TForm_Main> window = MainWindowWith(100000);
  TFormGrid grid;
  grid.show();
  while (grid.Model().rowCount() != window->Cards.Count()) QCoreApplication::processEvents();
  const int column = static_cast<int>(state.range(0));
  const int other = column == 0 ? 2 : 0;
  for (auto _ : state) {
    state.PauseTiming();
    grid.LVColumnClick(nullptr, other);
    grid.grab();
    state.ResumeTiming();
    grid.LVColumnClick(nullptr, column);
    grid.grab();
  }
}
BENCHMARK(BM_GridSort)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
