#include "Jpeg.h"

#include <QMetaObject>
#include <atomic>
#include <condition_variable>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "Files.h"

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to
// the call that started the work. Only C objects live between setjmp and the jump.
struct ErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  int Code;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  manager->Code = info->err->msg_code;
  std::longjmp(manager->Jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Each progressive scan is a pass over the whole picture, so a file of many scans keeps the decoder
// busy for long. Real pictures have about ten (libjpeg's own progression) and rarely a few dozen.
constexpr int kMaxScans = kMaxJpegScans;

void LimitScans(j_common_ptr info) {
  if (info->is_decompressor) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) ERREXIT1(info, JERR_IMAGE_TOO_BIG, kMaxScans);
  }
}

// The progress monitor of a decode that a newer request may make useless: it stops as soon as the
// generation moves away from the one it was started for.
struct DecodeProgress {
  jpeg_progress_mgr Base;
  const std::atomic<unsigned>* Generation;
  unsigned Wanted;
};

void MonitorDecode(j_common_ptr info) {
  const auto* progress = reinterpret_cast<const DecodeProgress*>(info->progress);
  if (progress->Generation && progress->Generation->load(std::memory_order_relaxed) != progress->Wanted)
    ERREXIT(info, JERR_NOTIMPL);
  LimitScans(info);
}

void InstallErrorManager(ErrorManager& manager) {
  jpeg_std_error(&manager.Base);
  manager.Base.error_exit = ErrorExit;
  manager.Base.output_message = IgnoreMessage;
  manager.Code = 0;
}

struct DecodeJob {
  const unsigned char* Data;
  unsigned long Size;
  QImage* Image;
  const std::atomic<unsigned>* Generation = nullptr;
  unsigned Wanted = 0;
};

// Returns 0 on success, else libjpeg's message number.
int Decode(DecodeJob* job) {
  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof info);
  ErrorManager manager;
  DecodeProgress progress{};
  InstallErrorManager(manager);
  info.err = &manager.Base;
  if (setjmp(manager.Jump)) {
    jpeg_destroy_decompress(&info);
    return manager.Code;
  }
  jpeg_create_decompress(&info);
  progress.Base.progress_monitor = MonitorDecode;
  progress.Generation = job->Generation;
  progress.Wanted = job->Wanted;
  info.progress = &progress.Base;
  jpeg_mem_src(&info, job->Data, job->Size);
  jpeg_read_header(&info, TRUE);
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  jpeg_calc_output_dimensions(&info);
  if (static_cast<long long>(info.output_width) * info.output_height > kMaxJpegPixels)
    ERREXIT1(&info, JERR_IMAGE_TOO_BIG, static_cast<unsigned>(kMaxJpegPixels));
  *job->Image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB32);
  if (job->Image->isNull()) ERREXIT1(&info, JERR_OUT_OF_MEMORY, 0);
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = job->Image->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
    if (cmyk) {
      // Adobe's CMYK is stored inverted: each channel already holds 255 - ink.
      auto* pixel = reinterpret_cast<unsigned char*>(row);
      for (JDIMENSION x = 0; x < info.output_width; ++x, pixel += 4) {
        const int k = pixel[3];
        const unsigned char r = static_cast<unsigned char>(pixel[0] * k / 255);
        const unsigned char g = static_cast<unsigned char>(pixel[1] * k / 255);
        const unsigned char b = static_cast<unsigned char>(pixel[2] * k / 255);
        pixel[0] = b;
        pixel[1] = g;
        pixel[2] = r;
        pixel[3] = 0xFF;
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return 0;
}

// The number of pixels the header announces; -1 when the header does not decode.
long long HeaderPixels(const unsigned char* data, unsigned long size) {
  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof info);
  ErrorManager manager;
  InstallErrorManager(manager);
  info.err = &manager.Base;
  if (setjmp(manager.Jump)) {
    jpeg_destroy_decompress(&info);
    return -1;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  const long long pixels = static_cast<long long>(info.image_width) * info.image_height;
  jpeg_destroy_decompress(&info);
  return pixels;
}

struct EncodeJob {
  const QImage* Image;
  unsigned char* Output;
  unsigned long OutputSize;
};

int Encode(EncodeJob* job) {
  jpeg_compress_struct info;
  std::memset(&info, 0, sizeof info);
  ErrorManager manager;
  InstallErrorManager(manager);
  info.err = &manager.Base;
  if (setjmp(manager.Jump)) {
    jpeg_destroy_compress(&info);
    return manager.Code;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &job->Output, &job->OutputSize);
  info.image_width = static_cast<JDIMENSION>(job->Image->width());
  info.image_height = static_cast<JDIMENSION>(job->Image->height());
  info.input_components = 4;
  info.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto row = const_cast<JSAMPROW>(job->Image->constScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return 0;
}

}  // namespace

void TJPEGImage::LoadFromFile(const AnsiString& fileName) {
  std::size_t size = 0;
  const TFileBytes bytes = ReadWholeFile(fileName, size, kMaxJpegFileBytes);
  LoadFromBytes({bytes.get(), size});
}

void TJPEGImage::LoadFromBytes(std::string_view bytes) {
  QImage decoded;
  DecodeJob job{reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()),
                &decoded};
  if (bytes.empty()) throw EJPEG(JERR_INPUT_EMPTY);
  if (const int code = Decode(&job)) throw EJPEG(code);
  Image = std::move(decoded);
}

std::string TJPEGImage::SaveToBytes() const {
  if (Image.isNull()) throw EJPEG(JERR_EMPTY_IMAGE);
  const QImage source = Image.convertToFormat(QImage::Format_RGB32);
  // A buffer of our own that the encoder never outgrows: it does not free it when it fails.
  const std::size_t capacity =
      static_cast<std::size_t>(source.width()) * static_cast<std::size_t>(source.height()) * 4 + 65536;
  EncodeJob job{&source, static_cast<unsigned char*>(std::malloc(capacity)), static_cast<unsigned long>(capacity)};
  if (!job.Output) throw EJPEG(JERR_OUT_OF_MEMORY);
  const int code = Encode(&job);
  std::string bytes;
  if (code == 0) bytes.assign(reinterpret_cast<const char*>(job.Output), job.OutputSize);
  std::free(job.Output);
  if (code) throw EJPEG(code);
  return bytes;
}

void TJPEGImage::SaveToFile(const AnsiString& fileName) const {
  const std::string bytes = SaveToBytes();
  const TOutcome written = ReplaceFileDurably(fileName, "", bytes);
  if (!written) throw EWriteError(Format("Cannot write \"%s\": %s", fileName.c_str(), written.Error().c_str()));
}

namespace {

struct ScaledDecodeJob {
  const unsigned char* Data;
  unsigned long Size;
  int Width;
  int Height;
  QImage* Image;
  int Scale;
  long MaxMemory;
};

// The largest reduction whose picture still covers width x height; libjpeg rounds the scaled size
// up.
int ChooseScale(JDIMENSION imageWidth, JDIMENSION imageHeight, int width, int height) {
  for (const JDIMENSION d : {8u, 4u, 2u}) {
    if (static_cast<long long>((imageWidth + d - 1) / d) >= width &&
        static_cast<long long>((imageHeight + d - 1) / d) >= height)
      return static_cast<int>(d);
  }
  return 1;
}

// Adobe's CMYK is stored inverted: each channel already holds 255 - ink.
void CmykRowToRgb(unsigned char* pixel, JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x, pixel += 4) {
    const int k = pixel[3];
    const auto r = static_cast<unsigned char>(pixel[0] * k / 255);
    const auto g = static_cast<unsigned char>(pixel[1] * k / 255);
    const auto b = static_cast<unsigned char>(pixel[2] * k / 255);
    pixel[0] = b;
    pixel[1] = g;
    pixel[2] = r;
    pixel[3] = 0xFF;
  }
}

// Returns 0 on success, else libjpeg's message number.
int DecodeScaled(ScaledDecodeJob* job) {
  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof info);
  ErrorManager manager;
  jpeg_progress_mgr progress;
  InstallErrorManager(manager);
  info.err = &manager.Base;
  if (setjmp(manager.Jump)) {
    jpeg_destroy_decompress(&info);
    return manager.Code;
  }
  jpeg_create_decompress(&info);
  // Past this, libjpeg asks for a backing store, which it does not have, and fails.
  info.mem->max_memory_to_use = job->MaxMemory;
  progress.progress_monitor = LimitScans;
  info.progress = &progress;
  jpeg_mem_src(&info, job->Data, job->Size);
  jpeg_read_header(&info, TRUE);
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  job->Scale = ChooseScale(info.image_width, info.image_height, job->Width, job->Height);
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(job->Scale);
  // A reduced picture does not show the difference.
  info.dct_method = JDCT_IFAST;
  jpeg_calc_output_dimensions(&info);
  if (static_cast<long long>(info.output_width) * info.output_height > kMaxJpegPixels)
    ERREXIT1(&info, JERR_IMAGE_TOO_BIG, static_cast<unsigned>(kMaxJpegPixels));
  // The decoder's buffers first: a picture that needs too many fails before the pixels are taken.
  jpeg_start_decompress(&info);
  *job->Image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB32);
  if (job->Image->isNull()) ERREXIT1(&info, JERR_OUT_OF_MEMORY, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = job->Image->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
    if (cmyk) CmykRowToRgb(row, info.output_width);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return 0;
}

}  // namespace

void TJPEGImage::LoadScaledFromFile(const AnsiString& fileName, int width, int height) {
  std::size_t size = 0;
  const TFileBytes bytes = ReadWholeFile(fileName, size, kMaxJpegFileBytes);
  LoadScaledFromBytes({bytes.get(), size}, width, height);
}

void TJPEGImage::LoadScaledFromBytes(std::string_view bytes, int width, int height) {
  if (bytes.empty()) throw EJPEG(JERR_INPUT_EMPTY);
  QImage decoded;
  ScaledDecodeJob job{reinterpret_cast<const unsigned char*>(bytes.data()),
                      static_cast<unsigned long>(bytes.size()),
                      width,
                      height,
                      &decoded,
                      1,
                      kMaxScaledDecodeMemory};
  if (const int code = DecodeScaled(&job)) throw EJPEG(code);
  Image = std::move(decoded);
  FScaleDenominator = job.Scale;
}

std::vector<TScaledDecode> DecodeScaledFiles(const std::vector<AnsiString>& files, int width, int height) {
  std::vector<TScaledDecode> results(files.size());
  const unsigned workers = std::max(
      1u, std::min(std::thread::hardware_concurrency(), static_cast<unsigned>(std::max<std::size_t>(files.size(), 1))));
  // Decoders at work together share the memory bound; one that needs more decodes alone afterwards.
  const long sharedMemory = kMaxScaledDecodeMemory / static_cast<long>(workers);
  auto decode = [&](std::size_t i, long maxMemory) {
    TScaledDecode& result = results[i];
    try {
      std::size_t size = 0;
      const TFileBytes bytes = ReadWholeFile(files[i], size, kMaxJpegFileBytes);
      if (size == 0) {
        result.Code = JERR_INPUT_EMPTY;
        return;
      }
      ScaledDecodeJob job{reinterpret_cast<const unsigned char*>(bytes.get()),
                          static_cast<unsigned long>(size),
                          width,
                          height,
                          &result.Image,
                          1,
                          maxMemory};
      result.Code = DecodeScaled(&job);
      result.Scale = job.Scale;
    } catch (const std::exception&) {
      result.Code = -1;
    }
    if (result.Code != 0) result.Image = QImage();
  };
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++) decode(i, sharedMemory);
  };
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < workers; ++t) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  for (std::size_t i = 0; i < files.size(); ++i)
    if (results[i].Code == JERR_NO_BACKING_STORE && workers > 1) decode(i, kMaxScaledDecodeMemory);
  return results;
}

struct TJpegLoader::TWorker {
  std::mutex Mutex;
  std::condition_variable Wake;
  // Moved on by every Load and Cancel of the window's thread; read by the decode in progress.
  std::atomic<unsigned> Generation{0};
  bool Stop = false;
  bool HasJob = false;
  TFileBytes Bytes;
  std::size_t Size = 0;
  unsigned JobGeneration = 0;
  std::thread Thread;
};

TJpegLoader::TJpegLoader(QObject* parent) : QObject(parent), FWorker(std::make_unique<TWorker>()) {}

TJpegLoader::~TJpegLoader() {
  {
    const std::lock_guard lock(FWorker->Mutex);
    FWorker->Stop = true;
    ++FWorker->Generation;
  }
  FWorker->Wake.notify_one();
  if (FWorker->Thread.joinable()) FWorker->Thread.join();
}

void TJpegLoader::Cancel() {
  ++FWorker->Generation;
  FOnLoaded = nullptr;
}

bool TJpegLoader::Load(const AnsiString& fileName, TOnLoaded onLoaded) {
  Cancel();
  std::size_t size = 0;
  TFileBytes bytes;
  try {
    bytes = ReadWholeFile(fileName, size, kMaxJpegFileBytes);
  } catch (const std::exception&) {
    onLoaded(QImage(), false);
    return true;
  }
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.get());
  const long long pixels = size == 0 ? -1 : HeaderPixels(data, static_cast<unsigned long>(size));
  if (pixels <= kInlinePixels) {
    QImage picture;
    DecodeJob job{data, static_cast<unsigned long>(size), &picture};
    const bool loaded = pixels >= 0 && Decode(&job) == 0;
    if (!loaded) picture = QImage();
    onLoaded(picture, loaded);
    return true;
  }
  FOnLoaded = std::move(onLoaded);
  TWorker& worker = *FWorker;
  {
    const std::lock_guard lock(worker.Mutex);
    worker.Bytes = std::move(bytes);
    worker.Size = size;
    worker.JobGeneration = worker.Generation.load();
    worker.HasJob = true;
  }
  worker.Wake.notify_one();
  if (!worker.Thread.joinable()) {
    worker.Thread = std::thread([this, &worker] {
      std::unique_lock lock(worker.Mutex);
      for (;;) {
        worker.Wake.wait(lock, [&] { return worker.Stop || worker.HasJob; });
        if (worker.Stop) return;
        worker.HasJob = false;
        const TFileBytes job = std::move(worker.Bytes);
        const std::size_t jobSize = worker.Size;
        const unsigned generation = worker.JobGeneration;
        lock.unlock();
        QImage picture;
        DecodeJob decode{reinterpret_cast<const unsigned char*>(job.get()), static_cast<unsigned long>(jobSize),
                         &picture, &worker.Generation, generation};
        const bool loaded = Decode(&decode) == 0;
        if (!loaded) picture = QImage();
        // The loader lives until this thread has ended, so the call can always be queued.
        if (worker.Generation.load() == generation)
          QMetaObject::invokeMethod(
              this, [this, generation, picture, loaded] { Deliver(generation, picture, loaded); },
              Qt::QueuedConnection);
        lock.lock();
      }
    });
  }
  return false;
}

void TJpegLoader::Deliver(unsigned generation, const QImage& picture, bool loaded) {
  if (generation != FWorker->Generation.load() || !FOnLoaded) return;
  const TOnLoaded onLoaded = std::move(FOnLoaded);
  FOnLoaded = nullptr;
  onLoaded(picture, loaded);
}
