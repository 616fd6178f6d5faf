// The wave component's "Data" stream reader and the sound piece's WAVE parser on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "QMWave.h"
#include "Sound.h"

namespace {

void CheckLayout(std::string_view image) {
  const std::optional<TWaveFormat> format = ParseWaveImage(image);
  if (!format) return;
  if (format->BlockAlign == 0 || format->DataSize % format->BlockAlign != 0 || format->DataOffset > image.size() ||
      format->DataSize > image.size() - format->DataOffset)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckLayout(bytes);
  TMemoryStream stream(bytes);
  TQMWaveData wave;
  try {
    wave.ReadData(stream);
  } catch (const EReadError&) {
    if (!wave.IsEmpty()) std::abort();
    return 0;
  }
  if (wave.Size() < 0 || static_cast<std::size_t>(wave.Size()) > size) std::abort();
  CheckLayout(std::string_view(wave.Image() ? wave.Image() : "", static_cast<std::size_t>(wave.Size())));
  TMemoryStream out;
  wave.WriteData(out);
  if (out.Bytes() != bytes.substr(0, out.Bytes().size())) std::abort();
  return 0;
}
