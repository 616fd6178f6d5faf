// The main window's start-up to the first shown card with books of 10,000 and 100,000 generated
// cards, and Next on the 100,000-card book. Each run uses a temporary program folder and settings
// home; the sounds play on the null device.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <filesystem>

#include "BenchFolders.h"
#include "BookGenerator.h"
#include "CardBook.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Unit_Main.h"

namespace {

// A program folder with the shipped skins and pictures and a book of generated cards.
class TStartupFolder : public TProgramFolder {
 public:
  explicit TStartupFolder(int cards) : TProgramFolder("vab-startup") {
    CopyFromSource({"skins", "images"});
    WriteBookFile(GenerateCards(cards), (Path / "AddressBook.abk").string());
  }
};

// Creates the main window and runs the event loop until its first card is on view.
std::unique_ptr<TForm_Main> StartMainWindow() {
  auto window = std::make_unique<TForm_Main>();
  window->show();
  window->activateWindow();
  while (window->Controls().Label_CardNo->text() == QStringLiteral("Card 0 of 0"))
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  return window;
}

void BM_StartToFirstCard(benchmark::State& state) {
  const TStartupFolder folder(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<TForm_Main> window = StartMainWindow();
    state.PauseTiming();
    window.reset();  // saves the book, which is not start-up
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToFirstCard)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NextCard(benchmark::State& state) {
  const TStartupFolder folder(100000);
  std::unique_ptr<TForm_Main> window = StartMainWindow();
  for (auto _ : state) window->Controls().Button_Next->Click();
  benchmark::DoNotOptimize(window->CurrentCard);
}
BENCHMARK(BM_NextCard)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
