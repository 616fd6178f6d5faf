// The picture browser over 1,000 pictures in "images/": the first screen of thumbnails painted
// once the pause is over, and scrolling one screen on. Card pictures are 150 x 160; every
// state.range(0)-th picture is a 3000 x 2000 photo (4: a quarter of them; 1: all of them, the
// worst case). Each run uses a temporary program folder and settings home.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <random>

#include "BenchFolders.h"
#include "Form_Img.h"
#include "Grids.h"
#include "Jpeg.h"
#include "Unit_Main.h"
#include "ui_Form_Img.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPictures = 1000;

// A picture with a photo's detail: soft gradients under fine noise, so that it codes to a
// photo's size.
std::string PhotoBytes(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int noise = static_cast<int>(random() % 48);
      line[x] = qRgb((x * 255 / width + noise) % 256, (y * 255 / height + noise) % 256, ((x + y) / 8 + noise) % 256);
    }
  }
  TJPEGImage jpeg;
  jpeg.Assign(image);
  return jpeg.SaveToBytes();
}

// A program folder whose "images" holds the pictures, every photoEvery-th of them a photo.
class TPictureFolder : public TProgramFolder {
 public:
  explicit TPictureFolder(int photoEvery) : TProgramFolder("vab-browser") {
    fs::create_directories(Path / "images");
    const std::string photo = PhotoBytes(3000, 2000, 1);
    const std::string card = PhotoBytes(150, 160, 2);
    for (int i = 0; i < kPictures; ++i) {
      char file[32];
      std::snprintf(file, sizeof file, "pic%04d.jpg", i);
      std::ofstream out(Path / "images" / file, std::ios::binary);
      const std::string& bytes = i % photoEvery == 0 ? photo : card;
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    PhotoSize = photo.size();
  }
  std::size_t PhotoSize = 0;
};

// The main window and its browser on the screen, the pause over: the grid shows its cells.
struct TBrowserOnView {
  explicit TBrowserOnView(int photoEvery) : Folder(photoEvery) {
    Main = std::make_unique<TForm_Main>();
    Main->show();
    Browser = std::make_unique<TFormImg>();
    Browser->MainForm = Main.get();
    Browser->show();
    Browser->activateWindow();
    while (!Grid()->isVisible()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents();
  }
  TDrawGrid* Grid() const { return Browser->Controls().DG; }

  TPictureFolder Folder;
  std::unique_ptr<TForm_Main> Main;
  std::unique_ptr<TFormImg> Browser;
};

void BM_FirstScreenOfThumbnails(benchmark::State& state) {
  TBrowserOnView view(static_cast<int>(state.range(0)));
  TDrawGrid* grid = view.Grid();
  const long long before = view.Browser->ThumbnailsDecoded();
  for (auto _ : state) {
    grid->SetTopRow(0);
    grid->Invalidate();  // as when the grid is shown after the pause
    benchmark::DoNotOptimize(grid->PaintCanvas().constBits());
  }
  state.counters["thumbnails"] = benchmark::Counter(static_cast<double>(view.Browser->ThumbnailsDecoded() - before) /
                                                    static_cast<double>(state.iterations()));
  state.counters["photo_bytes"] = static_cast<double>(view.Folder.PhotoSize);
}
BENCHMARK(BM_FirstScreenOfThumbnails)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScrollOneScreen(benchmark::State& state) {
  TBrowserOnView view(static_cast<int>(state.range(0)));
  TDrawGrid* grid = view.Grid();
  grid->PaintCanvas();
  const int page = grid->VisibleRowCount();
  for (auto _ : state) {
    if (grid->TopRow() + page > grid->RowCount() - page) {
      state.PauseTiming();
      grid->SetTopRow(0);
      grid->PaintCanvas();
      state.ResumeTiming();
    }
    grid->SetTopRow(grid->TopRow() + page);  // as the scroll bar's page step does
    benchmark::DoNotOptimize(grid->PaintCanvas().constBits());
  }
  state.counters["rows_per_screen"] = page;
}
BENCHMARK(BM_ScrollOneScreen)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One photo reduced to a thumbnail on one thread: the unit the screens above are made of.
void BM_PhotoThumbnail(benchmark::State& state) {
  const std::string photo = PhotoBytes(3000, 2000, 1);
  TJPEGImage jpeg;
  for (auto _ : state) jpeg.LoadScaledFromBytes(photo, 75, 80);
  state.counters["scale"] = jpeg.ScaleDenominator();
}
BENCHMARK(BM_PhotoThumbnail)->Unit(benchmark::kMillisecond);

}  // namespace
