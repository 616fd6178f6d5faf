#include "Sound.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::uint32_t ReadLE(std::string_view bytes, std::size_t offset, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  return value;
}

constexpr unsigned WAVE_FORMAT_PCM = 1;
constexpr unsigned kMaxChannels = 8;
constexpr unsigned kMaxRate = 768000;

bool IsPlayablePcm(unsigned formatTag, unsigned channels, unsigned rate, unsigned bits, unsigned blockAlign) {
  if (formatTag != WAVE_FORMAT_PCM) return false;
  if (channels == 0 || channels > kMaxChannels || rate == 0 || rate > kMaxRate) return false;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  return blockAlign == channels * bits / 8;
}

snd_pcm_format_t AlsaFormat(unsigned bits) {
  switch (bits) {
    case 8:
      return SND_PCM_FORMAT_U8;
    case 16:
      return SND_PCM_FORMAT_S16_LE;
    case 24:
      return SND_PCM_FORMAT_S24_3LE;
    default:
      return SND_PCM_FORMAT_S32_LE;
  }
}

// ALSA prints its failures to the standard error; a program without a sound device stays quiet.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

struct SoundRequest {
  std::vector<char> Image;
  TWaveFormat Format;
};

// Plays one sound at a time on a thread of its own; a newer request stops the one playing
// between two short writes.
class SoundPlayer final {
 public:
  static SoundPlayer& Instance() {
    static SoundPlayer player;
    return player;
  }

  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  ~SoundPlayer() {
    {
      const std::lock_guard lock(FMutex);
      FStopping = true;
      ++FGeneration;
    }
    FWake.notify_all();
    if (FThread.joinable()) FThread.join();
  }

  // Queues request (null: silence) and returns its number.
  std::uint64_t Submit(std::shared_ptr<const SoundRequest> request) {
    std::uint64_t generation = 0;
    {
      const std::lock_guard lock(FMutex);
      if (!FThread.joinable()) FThread = std::thread([this] { Run(); });
      FPending = std::move(request);
      FHasPending = true;
      generation = ++FGeneration;
    }
    FWake.notify_all();
    return generation;
  }

  // Waits until the request numbered generation has ended or been replaced.
  void WaitFor(std::uint64_t generation) {
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [&] { return FFinished >= generation || FGeneration != generation || FStopping; });
  }

  bool WaitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(FMutex);
    return FChanged.wait_for(lock, timeout, [&] { return !FBusy && !FHasPending; });
  }

  void SetDevice(const AnsiString& name) {
    const std::lock_guard lock(FMutex);
    FDevice = name.empty() ? AnsiString("default") : name;
  }

 private:
  SoundPlayer() { snd_lib_error_set_handler(&IgnoreAlsaError); }

  void Run() {
    std::unique_lock lock(FMutex);
    for (;;) {
      FWake.wait(lock, [&] { return FHasPending || FStopping; });
      if (FStopping) return;
      const std::shared_ptr<const SoundRequest> request = std::move(FPending);
      const std::uint64_t generation = FGeneration;
      const AnsiString device = FDevice;
      FHasPending = false;
      FBusy = true;
      lock.unlock();
      if (request) Play(*request, device, generation);
      lock.lock();
      FBusy = false;
      FFinished = generation;
      FChanged.notify_all();
    }
  }

  [[nodiscard]] bool Replaced(std::uint64_t generation) {
    const std::lock_guard lock(FMutex);
    return FGeneration != generation;
  }

  void Play(const SoundRequest& request, const AnsiString& device, std::uint64_t generation) {
    const TWaveFormat& format = request.Format;
    snd_pcm_t* pcm = nullptr;
    // Opened without blocking, so that a busy device cannot hold the worker.
    if (snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return;
    constexpr unsigned kLatencyUs = 100000;
    if (snd_pcm_nonblock(pcm, 0) < 0 ||
        snd_pcm_set_params(pcm, AlsaFormat(format.BitsPerSample), SND_PCM_ACCESS_RW_INTERLEAVED, format.Channels,
                           format.SamplesPerSec, 1, kLatencyUs) < 0) {
      snd_pcm_close(pcm);
      return;
    }
    const char* samples = request.Image.data() + format.DataOffset;
    const auto frames = static_cast<snd_pcm_uframes_t>(format.DataSize / format.BlockAlign);
    // About 20 ms a write, so that a replacement is heard at once.
    const snd_pcm_uframes_t chunk = std::max<snd_pcm_uframes_t>(format.SamplesPerSec / 50, 64);
    snd_pcm_uframes_t written = 0;
    bool replaced = false;
    while (written < frames) {
      if ((replaced = Replaced(generation))) break;
      const snd_pcm_sframes_t n =
          snd_pcm_writei(pcm, samples + written * format.BlockAlign, std::min(chunk, frames - written));
      if (n < 0) {
        if (snd_pcm_recover(pcm, static_cast<int>(n), 1) < 0) break;
        continue;
      }
      written += static_cast<snd_pcm_uframes_t>(n);
    }
    if (replaced || Replaced(generation))
      snd_pcm_drop(pcm);
    else
      snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
  }

  std::mutex FMutex;
  std::condition_variable FWake;
  std::condition_variable FChanged;
  std::shared_ptr<const SoundRequest> FPending;
  bool FHasPending = false;
  bool FBusy = false;
  bool FStopping = false;
  std::uint64_t FGeneration = 0;
  std::uint64_t FFinished = 0;
  AnsiString FDevice = "default";
  std::thread FThread;
};

}  // namespace

std::optional<TWaveFormat> ParseWaveImage(std::string_view image) {
  if (image.size() < 12 || image.substr(0, 4) != "RIFF" || image.substr(8, 4) != "WAVE") return std::nullopt;
  const std::uint64_t riffEnd = 8 + static_cast<std::uint64_t>(ReadLE(image, 4, 4));
  if (riffEnd > image.size()) return std::nullopt;

  std::optional<TWaveFormat> format;
  bool haveData = false;
  std::size_t dataSize = 0;
  std::size_t dataOffset = 0;
  std::uint64_t pos = 12;
  while (pos + 8 <= riffEnd) {
    const std::string_view id = image.substr(pos, 4);
    const std::uint64_t size = ReadLE(image, pos + 4, 4);
    const std::uint64_t body = pos + 8;
    if (size > riffEnd - body) return std::nullopt;
    if (id == "fmt " && !format) {
      if (size < 16) return std::nullopt;
      TWaveFormat f;
      const unsigned formatTag = ReadLE(image, body, 2);
      f.Channels = ReadLE(image, body + 2, 2);
      f.SamplesPerSec = ReadLE(image, body + 4, 4);
      f.BlockAlign = ReadLE(image, body + 12, 2);
      f.BitsPerSample = ReadLE(image, body + 14, 2);
      if (!IsPlayablePcm(formatTag, f.Channels, f.SamplesPerSec, f.BitsPerSample, f.BlockAlign)) return std::nullopt;
      format = f;
    } else if (id == "data" && !haveData) {
      haveData = true;
      dataOffset = static_cast<std::size_t>(body);
      dataSize = static_cast<std::size_t>(size);
    }
    pos = body + size + (size & 1);
  }
  if (!format || !haveData) return std::nullopt;
  format->DataOffset = dataOffset;
  format->DataSize = dataSize - dataSize % format->BlockAlign;
  return format;
}

bool PlaySoundA(const void* sound, std::size_t size, HMODULE, unsigned flags) {
  if (!sound) {
    SoundPlayer::Instance().Submit(nullptr);
    return true;
  }
  if ((flags & SND_MEMORY) == 0) return false;
  const std::string_view image(static_cast<const char*>(sound), size);
  const std::optional<TWaveFormat> format = ParseWaveImage(image);
  if (!format) return false;
  auto request = std::make_shared<SoundRequest>(SoundRequest{{image.begin(), image.end()}, *format});
  const std::uint64_t generation = SoundPlayer::Instance().Submit(std::move(request));
  if ((flags & SND_ASYNC) == 0) SoundPlayer::Instance().WaitFor(generation);
  return true;
}

void SetSoundDevice(const AnsiString& name) {
  SoundPlayer::Instance().SetDevice(name);
}

bool WaitForSoundIdle(int timeoutMs) {
  return SoundPlayer::Instance().WaitIdle(std::chrono::milliseconds(timeoutMs));
}
