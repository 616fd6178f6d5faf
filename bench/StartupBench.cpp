// The main window's start-up to the first shown card with books of 10,000 and 100,000 generated
// cards, and Next on the 100,000-card book. Each run uses a temporary program folder and settings
// home; the sounds play on the null device.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QLabel>
#include <filesystem>

#include "BookGenerator.h"
#include "CardBook.h"
#include "Files.h"
#include "Sound.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Unit_Main.h"

namespace {

namespace fs = std::filesystem;

class TProgramFolder {
 public:
  explicit TProgramFolder(int cards) {
    AnsiString name = (fs::temp_directory_path() / "vab-startup.XXXXXX").string();
    if (!::mkdtemp(name.data())) throw std::runtime_error("cannot create a temporary folder");
    Path = name;
    fs::create_directories(Path / "config");
    for (const char* sub : {"skins", "images"})
      fs::copy(fs::path(VAB_SOURCE_DIR) / sub, Path / sub, fs::copy_options::recursive);
    WriteBookFile(GenerateCards(cards), (Path / "AddressBook.abk").string());
    SetProgramFolder(Path.string() + "/");
    setenv("XDG_CONFIG_HOME", (Path / "config").c_str(), 1);
  }
  ~TProgramFolder() {
    std::error_code ec;
    fs::remove_all(Path, ec);
  }
  fs::path Path;
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
  const TProgramFolder folder(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<TForm_Main> window = StartMainWindow();
    state.PauseTiming();
    window.reset();  // saves the book, which is not start-up
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToFirstCard)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NextCard(benchmark::State& state) {
  const TProgramFolder folder(100000);
  std::unique_ptr<TForm_Main> window = StartMainWindow();
  for (auto _ : state) window->Controls().Button_Next->Click();
  benchmark::DoNotOptimize(window->CurrentCard);
}
BENCHMARK(BM_NextCard)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  QApplication app(argc, argv);
  SetSoundDevice("null");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
