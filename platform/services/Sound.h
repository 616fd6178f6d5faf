#pragma once
// Multimedia sounds: PlaySoundA for RIFF/WAVE images held in memory, played on an ALSA device by a
// worker thread. A machine without a sound device or server plays nothing and reports nothing.

#include <cstddef>
#include <optional>
#include <string_view>

#include "SysUtils.h"

using HMODULE = void*;

enum : unsigned { SND_SYNC = 0x0, SND_ASYNC = 0x1, SND_NODEFAULT = 0x2, SND_MEMORY = 0x4 };

// The sample layout of a WAVE image and where its samples lie in it.
struct TWaveFormat {
  unsigned Channels = 0;
  unsigned SamplesPerSec = 0;
  unsigned BitsPerSample = 0;
  unsigned BlockAlign = 0;
  std::size_t DataOffset = 0;
  std::size_t DataSize = 0;  // whole frames only
};

// The layout of a RIFF/WAVE image of uncompressed PCM in 8, 16, 24 or 32 bits; nullopt for any
// other image, a truncated one, or one whose header disagrees with itself or with its length.
[[nodiscard]] std::optional<TWaveFormat> ParseWaveImage(std::string_view image);

// Plays the `size` bytes of a WAVE image at `sound`; SND_MEMORY is required, as this platform has
// no sound files or aliases. The image is copied, so the caller may free it at once. A new sound
// replaces the one playing; a null `sound` stops it. SND_ASYNC returns at once, otherwise the call
// returns when the sound has ended. Returns false for an image that cannot be played; a missing
// output device is not a failure. `module` is not used.
bool PlaySoundA(const void* sound, std::size_t size, HMODULE module, unsigned flags);

// The ALSA device sounds play on, "default" unless a test chooses another.
void SetSoundDevice(const AnsiString& name);
// Waits until no sound is playing or waiting; false when that took longer than timeoutMs.
[[nodiscard]] bool WaitForSoundIdle(int timeoutMs);
