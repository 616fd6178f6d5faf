// The registry store file reader: any input reads as a store, whole or in part, never a crash;
// what was read is written and read back, whole, to the same values.

#include <QBuffer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "RegistryStore.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

bool Read(const QByteArray& bytes, RegistryValues& map) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  return ReadRegistryStore(buffer, map);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RegistryValues map;
  [[maybe_unused]] const bool clean =
      Read(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), map);

  QBuffer written;
  written.open(QIODevice::WriteOnly);
  Require(WriteRegistryStore(written, map), "a store that was read can be written");
  RegistryValues again;
  Require(Read(written.data(), again), "a written store reads back");
  Require(again == map, "a written store reads back to the same values");
  return 0;
}
