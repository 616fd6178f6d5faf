// The reduced JPEG decoding of the picture browser's thumbnails: any bytes either decode to a
// picture no larger than needed to cover the cell (or the full picture when it is smaller) or
// raise the JPEG error.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TJPEGImage jpeg;
  try {
    jpeg.LoadScaledFromBytes(std::string_view(reinterpret_cast<const char*>(data), size), 75, 80);
  } catch (const EJPEG&) {
    return 0;
  }
  if (static_cast<long long>(jpeg.Width()) * jpeg.Height() > kMaxJpegPixels) __builtin_trap();
  const int scale = jpeg.ScaleDenominator();
  if (scale != 1 && scale != 2 && scale != 4 && scale != 8) __builtin_trap();
  if (scale > 1 && (jpeg.Width() < 75 || jpeg.Height() < 80)) __builtin_trap();
  return 0;
}
