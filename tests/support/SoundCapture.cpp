#include "SoundCapture.h"

#include <sys/stat.h>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

void PutLE(std::string& out, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

TSoundCapture InstallSoundCapture() {
  std::string folderTemplate = "/tmp/vab-sound-XXXXXX";
  if (!mkdtemp(folderTemplate.data())) throw std::runtime_error("cannot make a temporary folder");
  TSoundCapture capture{folderTemplate, folderTemplate + "/capture.raw", folderTemplate + "/gate.fifo"};
  if (mkfifo(capture.FifoPath.c_str(), 0600) != 0) throw std::runtime_error("cannot make the named pipe");
  const std::string config = capture.Folder + "/asound.conf";
  std::ofstream(config) << "pcm.capture { type file slave.pcm { type null } file \"" << capture.CapturePath
                        << "\" format \"raw\" }\n"
                        << "pcm.gate { type file slave.pcm { type null } file \"" << capture.FifoPath
                        << "\" format \"raw\" }\n"
                        << "pcm.missing { type hw card 31 }\n";
  setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
  return capture;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string MakeWave(unsigned channels, unsigned rate, unsigned bits, std::string_view samples) {
  const unsigned blockAlign = channels * bits / 8;
  std::string wave = "RIFF";
  PutLE(wave, static_cast<std::uint32_t>(36 + samples.size() + (samples.size() & 1)), 4);
  wave += "WAVEfmt ";
  PutLE(wave, 16, 4);
  PutLE(wave, 1, 2);
  PutLE(wave, channels, 2);
  PutLE(wave, rate, 4);
  PutLE(wave, rate * blockAlign, 4);
  PutLE(wave, blockAlign, 2);
  PutLE(wave, bits, 2);
  wave += "data";
  PutLE(wave, static_cast<std::uint32_t>(samples.size()), 4);
  wave += samples;
  if (samples.size() & 1) wave.push_back('\0');
  return wave;
}

std::string PatternBytes(std::size_t count, unsigned seed) {
  std::string bytes(count, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (char& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 16);
  }
  return bytes;
}
