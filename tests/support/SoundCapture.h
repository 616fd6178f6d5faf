#pragma once
// Test support for sounds: an ALSA configuration of the test's own whose devices capture what is
// played, and WAVE images made to order.

#include <string>
#include <string_view>

struct TSoundCapture {
  std::string Folder;
  std::string CapturePath;  // device "capture" writes the samples played here
  std::string FifoPath;     // device "gate" writes them into this named pipe
};

// Writes the configuration into a new temporary folder and points ALSA_CONFIG_PATH at it. Call it
// before the first sound plays. Besides "capture" and "gate" it defines "missing", a device on a
// sound card that does not exist.
[[nodiscard]] TSoundCapture InstallSoundCapture();

// The bytes of a file, empty when it does not exist.
[[nodiscard]] std::string ReadFileBytes(const std::string& path);

// A RIFF/WAVE image of PCM samples.
[[nodiscard]] std::string MakeWave(unsigned channels, unsigned rate, unsigned bits, std::string_view samples);
// count bytes of a repeating, non-constant pattern that starts at seed.
[[nodiscard]] std::string PatternBytes(std::size_t count, unsigned seed);
