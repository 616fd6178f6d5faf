// A huge card picture on the main window: the longest stall of the window thread and the time until
// the picture is on view, for a 64-scan progressive 8192 x 8192 picture and a 6000 x 4000 baseline
// one, beside the same figures for a decode at full size on the window thread. The pictures are
// written by the benchmark itself.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "BenchFolders.h"
#include "CardBook.h"
#include "ExtCtrls.h"
#include "Jpeg.h"
#include "JpegWriter.h"
#include "Sound.h"
#include "StringList.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Unit_Main.h"

namespace {

// A camera-like picture: smooth gradients with some grain. progressive: the DC of all components,
// then one scan per AC coefficient of the luminance, 64 scans.
void WritePicture(const std::filesystem::path& file, int width, int height, bool progressive) {
  const testing_support::TJpegScans scans = testing_support::TJpegScans::PerCoefficient();
  std::uint32_t grain = 1;
  const std::string bytes = testing_support::JpegBytes(
      {.Width = width, .Height = height, .Quality = 90, .Scans = progressive ? &scans : nullptr},
      [&grain, width, height](int y, unsigned char* row) {
        for (int x = 0; x < width; ++x) {
          grain = grain * 1664525u + 1013904223u;
          const int g = static_cast<int>(grain >> 28);
          row[3 * x] = static_cast<unsigned char>((x * 255 / width + g) & 255);
          row[3 * x + 1] = static_cast<unsigned char>((y * 255 / height + g) & 255);
          row[3 * x + 2] = static_cast<unsigned char>(((x + y) * 127 / (width + height) + g) & 255);
        }
      });
  WriteWholeFile(file.string(), bytes);
}

struct TFigures {
  qint64 LongestStall = 0;
  qint64 TimeToPicture = 0;
};

// Runs step inside the event loop and waits until done says so, ticking a 1 ms timer throughout;
// the longest gap between ticks (from the step's start) is the window thread's longest stall.
TFigures Measure(const std::function<void()>& step, const std::function<bool()>& done) {
  TFigures figures;
  QElapsedTimer clock;
  qint64 lastTick = -1;
  QTimer heartbeat;
  heartbeat.setTimerType(Qt::PreciseTimer);
  QObject::connect(&heartbeat, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    if (lastTick >= 0) figures.LongestStall = std::max(figures.LongestStall, now - lastTick);
    lastTick = now;
  });
  QTimer::singleShot(0, [&] {
    clock.start();
    lastTick = 0;
    heartbeat.start(1);
    step();
  });
  while (!clock.isValid() || !done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  figures.TimeToPicture = clock.elapsed();
  // One more tick closes the gap the last stall left open.
  const qint64 ticked = lastTick;
  while (lastTick == ticked) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  return figures;
}

void Report(const char* picture, const char* path, const TFigures& figures) {
  std::printf("%-34s %-36s %8lld ms %10lld ms\n", picture, path, static_cast<long long>(figures.LongestStall),
              static_cast<long long>(figures.TimeToPicture));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  QApplication app(argc, argv);
  SetSoundDevice("null");
  const TProgramFolder folder("vab-picture");
  folder.CopyFromSource({"skins", "images"});
  struct TCase {
    const char* Name;
    const char* File;
    int Width;
    int Height;
    bool Progressive;
  };
  const TCase cases[] = {{"8192 x 8192 progressive, 64 scans", "huge.jpg", 8192, 8192, true},
                         {"6000 x 4000 baseline (24 MP)", "camera.jpg", 6000, 4000, false}};
  TStringList book;
  book.Add("ABK10");
  book.Add(BuildCardLine({"Small", "", "", "", "", "", "", "", "", "", "", "", "000_HELP.JPG", ""}));
  for (const TCase& c : cases) {
    std::fprintf(stderr, "writing %s ...\n", c.File);
    WritePicture(folder.Path / "images" / c.File, c.Width, c.Height, c.Progressive);
    book.Add(BuildCardLine({c.File, "", "", "", "", "", "", "", "", "", "", "", c.File, ""}));
  }
  book.SaveToFile((folder.Path / "AddressBook.abk").string());

  TForm_Main window;
  window.show();
  while (window.Controls().Label_CardNo->text() == QStringLiteral("Card 0 of 0"))
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  TImage& view = *window.Controls().BitMap_Main;
  std::printf("%-34s %-36s %11s %13s\n", "picture", "decode", "longest stall", "to picture");
  // The card before each picture's card is on view when its turn comes.
  for (const TCase& c : cases) {
    const AnsiString file = (folder.Path / "images" / c.File).string();
    view.Clear();
    Report(c.Name, "full size on the window thread (old)",
           Measure(
               [&] {
                 TJPEGImage jpeg;
                 jpeg.LoadFromFile(file);
                 view.SetPicture(jpeg.Bitmap());
               },
               [&] { return !view.Picture().isNull(); }));
    Report(c.Name, "Next onto its card (worker)",
           Measure([&] { window.Controls().Button_Next->Click(); }, [&] { return !view.Picture().isNull(); }));
  }
  return 0;
}
