// The main of the benchmarks that show windows: offscreen, the sounds on the null device.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "Sound.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  QApplication app(argc, argv);
  SetSoundDevice("null");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
