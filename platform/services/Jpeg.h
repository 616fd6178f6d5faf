#pragma once
// JPEG pictures through libjpeg: decoding into a bitmap and encoding with the encoder's defaults.
// Failures raise EJPEG "JPEG error #%d" with libjpeg's message number; libjpeg never ends the
// process.

#include <QImage>
#include <QObject>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "SysUtils.h"

class EJPEG : public Exception {
 public:
  explicit EJPEG(int code) : Exception(Format("JPEG error #%d", code)), Code(code) {}
  int Code;
};

// Pictures larger than this many pixels are refused before any pixel memory is allocated.
inline constexpr long long kMaxJpegPixels = 64LL * 1024 * 1024;
// The most memory a scaled decode lets libjpeg take for its own buffers.
inline constexpr long kMaxScaledDecodeMemory = 512L * 1024 * 1024;
// Files larger than this, and progressive pictures of more scans, are refused as undecodable.
inline constexpr std::size_t kMaxJpegFileBytes = std::size_t{64} << 20;
inline constexpr int kMaxJpegScans = 64;

class TJPEGImage final {
 public:
  // Reads only a regular file (see ReadWholeFile); a file that is not one raises as it does.
  void LoadFromFile(const AnsiString& fileName);
  void LoadFromBytes(std::string_view bytes);
  // Decodes a reduced picture with libjpeg's scaled decoding: the largest reduction (1/8, 1/4 or
  // 1/2) whose picture still covers width x height, else the full size. Beside the pixel limit,
  // the decoder's own memory is bounded (kMaxScaledDecodeMemory).
  void LoadScaledFromFile(const AnsiString& fileName, int width, int height);
  void LoadScaledFromBytes(std::string_view bytes, int width, int height);
  // The reduction of the last scaled decode: 1, 2, 4 or 8.
  [[nodiscard]] int ScaleDenominator() const { return FScaleDenominator; }
  // Encodes the picture with the encoder's default settings.
  void SaveToFile(const AnsiString& fileName) const;
  [[nodiscard]] std::string SaveToBytes() const;

  // The decoded picture (RGB32), or the picture to encode.
  [[nodiscard]] const QImage& Bitmap() const { return Image; }
  void Assign(const QImage& image) { Image = image.convertToFormat(QImage::Format_RGB32); }
  [[nodiscard]] int Width() const { return Image.width(); }
  [[nodiscard]] int Height() const { return Image.height(); }
  [[nodiscard]] bool Empty() const { return Image.isNull(); }

 private:
  QImage Image;
  int FScaleDenominator = 1;
};

// One picture of DecodeScaledFiles: Code 0 and the picture, or the JPEG error number (-1 when the
// file could not be read).
struct TScaledDecode {
  QImage Image;
  int Code = 0;
  int Scale = 1;
};
// Decodes the files as LoadScaledFromFile does, several at once on threads of their own; the
// results come in the order of the files.
[[nodiscard]] std::vector<TScaledDecode> DecodeScaledFiles(const std::vector<AnsiString>& files, int width, int height);

// Decodes one picture at a time for a window: a small picture at once, inside Load; a larger one on
// a worker thread, its result delivered through the event loop of the loader's thread. A later Load
// or Cancel stops the decode in progress, and its result is never delivered.
class TJpegLoader final : public QObject {
 public:
  // Pictures of at most this many pixels decode inside Load (a few milliseconds at most).
  static constexpr long long kInlinePixels = 1LL << 20;
  // The picture, and whether it decoded; a picture that failed is null.
  using TOnLoaded = std::function<void(const QImage& picture, bool loaded)>;

  explicit TJpegLoader(QObject* parent = nullptr);
  ~TJpegLoader() override;
  TJpegLoader(const TJpegLoader&) = delete;
  TJpegLoader& operator=(const TJpegLoader&) = delete;

  // True when onLoaded has already run; false when it runs once the worker is done.
  bool Load(const AnsiString& fileName, TOnLoaded onLoaded);
  void Cancel();
  [[nodiscard]] bool Pending() const { return static_cast<bool>(FOnLoaded); }

 private:
  struct TWorker;
  void Deliver(unsigned generation, const QImage& picture, bool loaded);

  std::unique_ptr<TWorker> FWorker;
  TOnLoaded FOnLoaded;
};
