// Synthesises the program's seven feedback sounds and writes each in the stream format of the
// wave component's "Data" property: a 4-byte little-endian length, then a RIFF/WAVE file of
// 16-bit mono PCM at 22050 Hz.
//
//   vab_make_sounds FOLDER

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2 * std::numbers::pi;

using Samples = std::vector<double>;

std::size_t Frames(double seconds) {
  return static_cast<std::size_t>(seconds * kRate);
}

// A tone gliding from f0 to f1 Hz, with harmonics of the given weights and an exponential decay
// of `decay` per second after an attack of 4 ms.
Samples Tone(double seconds, double f0, double f1, double decay, const std::vector<double>& harmonics) {
  Samples out(Frames(seconds));
  double phase = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double frequency = f0 + (f1 - f0) * t / seconds;
    phase += kTwoPi * frequency / kRate;
    double value = 0;
    for (std::size_t h = 0; h < harmonics.size(); ++h)
      value += harmonics[h] * std::sin(phase * static_cast<double>(h + 1));
    const double attack = std::min(1.0, t / 0.004);
    out[i] = value * attack * std::exp(-decay * t);
  }
  return out;
}

// Noise through a two-pole resonator at `centre` Hz, in bursts of `burst` seconds every `every`.
Samples Rustle(double seconds, double centre, double burst, double every) {
  Samples out(Frames(seconds));
  std::uint32_t state = 12345;
  const double r = 0.97;
  const double c = 2 * r * std::cos(kTwoPi * centre / kRate);
  double y1 = 0;
  double y2 = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    const double noise = static_cast<double>(state >> 8) / (1 << 24) * 2 - 1;
    const double y = noise + c * y1 - r * r * y2;
    y2 = y1;
    y1 = y;
    const double t = static_cast<double>(i) / kRate;
    const double inBurst = std::fmod(t, every);
    const double gate = inBurst < burst ? std::sin(std::numbers::pi * inBurst / burst) : 0;
    out[i] = y * gate * std::exp(-3 * t);
  }
  return out;
}

Samples Silence(double seconds) {
  return Samples(Frames(seconds));
}

Samples Then(std::vector<Samples> parts) {
  Samples out;
  for (const Samples& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Samples Mix(const Samples& a, const Samples& b, double weightB) {
  Samples out(std::max(a.size(), b.size()));
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = (i < a.size() ? a[i] : 0) + weightB * (i < b.size() ? b[i] : 0);
  return out;
}

void PutLE(std::string& out, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Normalised to half of full scale, with 3 ms fades at both ends against clicks.
std::string WaveFile(Samples samples) {
  double peak = 0;
  for (const double s : samples) peak = std::max(peak, std::abs(s));
  const std::size_t fade = Frames(0.003);
  std::string data;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double edge =
        std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(samples.size() - 1 - i) / fade});
    const auto value = static_cast<std::int16_t>(std::lround(samples[i] / peak * 0.5 * edge * 32767));
    PutLE(data, static_cast<std::uint16_t>(value), 2);
  }
  std::string wave = "RIFF";
  PutLE(wave, static_cast<std::uint32_t>(36 + data.size()), 4);
  wave += "WAVEfmt ";
  PutLE(wave, 16, 4);
  PutLE(wave, 1, 2);
  PutLE(wave, 1, 2);
  PutLE(wave, kRate, 4);
  PutLE(wave, kRate * 2, 4);
  PutLE(wave, 2, 2);
  PutLE(wave, 16, 2);
  wave += "data";
  PutLE(wave, static_cast<std::uint32_t>(data.size()), 4);
  return wave + data;
}

struct Sound {
  const char* Name;
  std::function<Samples()> Make;
};

const std::vector<double> kBell = {1, 0.35, 0.15, 0.05};
const std::vector<double> kPluck = {1, 0.5, 0.25, 0.12};
const std::vector<double> kHollow = {1, 0, 0.3, 0, 0.15};

const Sound kSounds[] = {
    // A short rising flick, as a card turns over.
    {"WaveMoveCard",
     [] {
       return Tone(0.07, 700, 1400, 35, {1, 0.2});
     }},
    // A falling sweep with a rustle.
    {"WaveDelete",
     [] {
       return Mix(Tone(0.18, 900, 280, 12, {1, 0.3}), Rustle(0.18, 2500, 0.18, 1), 0.08);
     }},
    // Two bell notes going up, a fourth apart.
    {"WaveUndoOk",
     [] {
       return Then({Tone(0.09, 659, 659, 18, kBell), Tone(0.18, 880, 880, 14, kBell)});
     }},
    // Two low hollow notes going down.
    {"WaveUndoFailure",
     [] {
       return Then({Tone(0.11, 196, 196, 12, kHollow), Silence(0.04), Tone(0.16, 175, 175, 10, kHollow)});
     }},
    // Paper crumpling: three bursts of rustle.
    {"WaveDeleteImage", [] { return Rustle(0.2, 1800, 0.05, 0.07); }},
    // A quick rising arpeggio, as things fall into order.
    {"WaveSort",
     [] {
       return Then({Tone(0.055, 523, 523, 30, kPluck), Tone(0.055, 659, 659, 30, kPluck),
                    Tone(0.055, 784, 784, 30, kPluck), Tone(0.12, 1047, 1047, 20, kPluck)});
     }},
    // A sonar ping with a long tail.
    {"WaveSearch",
     [] {
       return Mix(Tone(0.35, 1320, 1320, 9, {1, 0.1}), Tone(0.35, 1326, 1326, 9, {1}), 0.5);
     }},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  for (const Sound& sound : kSounds) {
    const std::string wave = WaveFile(sound.Make());
    std::string stream;
    PutLE(stream, static_cast<std::uint32_t>(wave.size()), 4);
    stream += wave;
    const std::string path = std::string(argv[1]) + "/" + sound.Name + ".wavedata";
    std::ofstream out(path, std::ios::binary);
    out << stream;
    if (!out.flush()) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
