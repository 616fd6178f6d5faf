// The JPEG decoder: any bytes either decode to a picture within the size limit or raise the JPEG
// error; a decoded picture encodes again and decodes to the same size.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TJPEGImage jpeg;
  try {
    jpeg.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const EJPEG&) {
    return 0;
  }
  if (static_cast<long long>(jpeg.Width()) * jpeg.Height() > kMaxJpegPixels) __builtin_trap();
  if (jpeg.Width() * jpeg.Height() <= 256 * 256) {
    TJPEGImage again;
    again.LoadFromBytes(jpeg.SaveToBytes());
    if (again.Width() != jpeg.Width() || again.Height() != jpeg.Height()) __builtin_trap();
  }
  return 0;
}
