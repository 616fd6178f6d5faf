#pragma once
// Writes JPEG pictures for tests and benchmarks with libjpeg itself: any size, rows filled by the
// caller, baseline or with the caller's own progressive scans.

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace testing_support {

struct TJpegScans {
  // One scan: `components` components from the first, coefficients ss..se, successive bits ah/al.
  TJpegScans& Scan(int components, int ss, int se, int ah = 0, int al = 0) {
    jpeg_scan_info one{};
    one.comps_in_scan = components;
    for (int c = 0; c < components; ++c) one.component_index[c] = c;
    one.Ss = ss;
    one.Se = se;
    one.Ah = ah;
    one.Al = al;
    List.push_back(one);
    return *this;
  }
  // The DC of all three components, then one scan per AC coefficient of the luminance: 64 scans.
  static TJpegScans PerCoefficient() {
    TJpegScans scans;
    scans.Scan(3, 0, 0);
    for (int k = 1; k < 64; ++k) scans.Scan(1, k, k);
    return scans;
  }
  std::vector<jpeg_scan_info> List;
};

struct TJpegPicture {
  int Width = 0;
  int Height = 0;
  int Components = 3;  // bytes a pixel in the rows
  J_COLOR_SPACE Space = JCS_RGB;
  int Quality = 75;
  const TJpegScans* Scans = nullptr;  // its own progressive scans, or none
  bool SimpleProgression = false;     // libjpeg's standard progressive scans
};

// The JPEG bytes of the picture; fill writes row y (Width * Components bytes).
inline std::string JpegBytes(const TJpegPicture& picture, const std::function<void(int y, unsigned char* row)>& fill) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(picture.Width);
  info.image_height = static_cast<JDIMENSION>(picture.Height);
  info.input_components = picture.Components;
  info.in_color_space = picture.Space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, picture.Quality, TRUE);
  if (picture.SimpleProgression) jpeg_simple_progression(&info);
  if (picture.Scans) {
    info.scan_info = picture.Scans->List.data();
    info.num_scans = static_cast<int>(picture.Scans->List.size());
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(picture.Width) * picture.Components);
  while (info.next_scanline < info.image_height) {
    fill(static_cast<int>(info.next_scanline), row.data());
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<char*>(out), size);
  std::free(out);
  return bytes;
}

}  // namespace testing_support
