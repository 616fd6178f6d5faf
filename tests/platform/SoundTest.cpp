// PlaySoundA against ALSA itself: the test's own configuration captures the samples played.

#include "Sound.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <thread>

#include "SoundCapture.h"

namespace {

TSoundCapture Capture;

constexpr unsigned kAsync = SND_ASYNC | SND_NODEFAULT | SND_MEMORY;

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("capture");
    std::remove(Capture.CapturePath.c_str());
  }
  void TearDown() override {
    ASSERT_TRUE(WaitForSoundIdle(5000));
    SetSoundDevice("");
  }
};

struct PcmCase {
  const char* Name;
  unsigned Channels;
  unsigned Rate;
  unsigned Bits;
  std::size_t Bytes;
};

TEST_F(SoundTest, PlaysExactlyTheSamplesOfTheImage) {
  const PcmCase cases[] = {
      {"8-bit mono", 1, 8000, 8, 4000},      {"16-bit stereo", 2, 22050, 16, 8820},
      {"24-bit mono", 1, 44100, 24, 6615},   {"32-bit stereo", 2, 48000, 32, 9600},
      {"odd byte count", 1, 11025, 8, 1001}, {"part of a frame at the end", 2, 8000, 16, 4002},
  };
  for (const PcmCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::remove(Capture.CapturePath.c_str());
    const std::string samples = PatternBytes(c.Bytes, c.Channels * c.Bits);
    const unsigned blockAlign = c.Channels * c.Bits / 8;
    {
      std::string image = MakeWave(c.Channels, c.Rate, c.Bits, samples);
      ASSERT_TRUE(PlaySoundA(image.data(), image.size(), nullptr, kAsync));
      // The caller may free its image at once.
      image.assign(image.size(), '\x55');
    }
    ASSERT_TRUE(WaitForSoundIdle(5000));
    EXPECT_EQ(ReadFileBytes(Capture.CapturePath), samples.substr(0, c.Bytes - c.Bytes % blockAlign));
  }
}

TEST_F(SoundTest, FindsTheChunksAroundOthersAndIgnoresBytesPastTheRiff) {
  const std::string samples = PatternBytes(2000, 7);
  std::string image = MakeWave(1, 8000, 16, samples);
  // A LIST chunk of odd length (padded) between "WAVE" and "fmt ", and trailing bytes.
  const std::string list = std::string("LIST\x03\0\0\0abc\0", 12);
  image.insert(12, list);
  const auto riffSize = static_cast<std::uint32_t>(image.size() - 8);
  for (int i = 0; i < 4; ++i) image[4 + i] = static_cast<char>((riffSize >> (8 * i)) & 0xFF);
  image += "trailing junk";
  ASSERT_TRUE(PlaySoundA(image.data(), image.size(), nullptr, kAsync));
  ASSERT_TRUE(WaitForSoundIdle(5000));
  EXPECT_EQ(ReadFileBytes(Capture.CapturePath), samples);
}

TEST_F(SoundTest, WithoutAsyncReturnsWhenTheSoundHasEnded) {
  const std::string samples = PatternBytes(8000, 3);
  const std::string image = MakeWave(1, 8000, 8, samples);
  ASSERT_TRUE(PlaySoundA(image.data(), image.size(), nullptr, SND_MEMORY | SND_NODEFAULT));
  EXPECT_EQ(ReadFileBytes(Capture.CapturePath), samples);
}

std::string WithField(std::string image, std::size_t offset, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) image[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return image;
}

TEST_F(SoundTest, RefusesImagesItCannotPlayAndPlaysNothing) {
  const std::string good = MakeWave(1, 8000, 16, PatternBytes(400, 1));
  // Offsets in a plain image: RIFF size 4, format tag 20, channels 22, rate 24, block align 32,
  // bits 34, data size 40.
  const struct {
    const char* Name;
    std::string Image;
  } cases[] = {
      {"empty", ""},
      {"only the RIFF header", good.substr(0, 12)},
      {"not RIFF", "RIFX" + good.substr(4)},
      {"not WAVE", good.substr(0, 8) + "AVI " + good.substr(12)},
      {"IEEE float samples", WithField(good, 20, 3, 2)},
      {"ADPCM", WithField(good, 20, 2, 2)},
      {"no channels", WithField(WithField(good, 22, 0, 2), 32, 0, 2)},
      {"block align that disagrees", WithField(good, 32, 4, 2)},
      {"12-bit samples", WithField(good, 34, 12, 2)},
      {"no sample rate", WithField(good, 24, 0, 4)},
      {"truncated", good.substr(0, good.size() - 100)},
      {"RIFF size past the end", WithField(good, 4, 0x7FFFFFF0, 4)},
      {"data size past the RIFF", WithField(good, 40, 0xFFFFFFF0, 4)},
      {"no data chunk", WithField(good.substr(0, 36), 4, 28, 4)},
      {"no format chunk", WithField(std::string("RIFF\0\0\0\0WAVE", 12) + good.substr(36), 4,
                                    static_cast<std::uint32_t>(good.size() - 32), 4)},
      {"format chunk too short", WithField(good, 16, 14, 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_FALSE(ParseWaveImage(c.Image));
    EXPECT_FALSE(PlaySoundA(c.Image.data(), c.Image.size(), nullptr, kAsync));
  }
  EXPECT_FALSE(PlaySoundA(good.data(), good.size(), nullptr, SND_ASYNC)) << "only images in memory";
  ASSERT_TRUE(WaitForSoundIdle(5000));
  EXPECT_EQ(access(Capture.CapturePath.c_str(), F_OK), -1) << "nothing was played";
}

TEST_F(SoundTest, WithoutADeviceNothingPlaysAndNothingIsReported) {
  const std::string image = MakeWave(1, 8000, 16, PatternBytes(800, 2));
  for (const char* device : {"missing", "no_such_device"}) {
    SCOPED_TRACE(device);
    SetSoundDevice(device);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(PlaySoundA(image.data(), image.size(), nullptr, kAsync));
    EXPECT_TRUE(WaitForSoundIdle(5000));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
}

// Reads what the "gate" device writes into its pipe. It holds the pipe open for reading and writing
// from start to end, so that playbacks follow one another in one stream and a writer never meets
// a closed pipe. Reading stops after the first 1000 bytes until Release, so that the pipe fills
// and the sound is still playing when the test acts.
class GateReader {
 public:
  GateReader() : FFd(open(Capture.FifoPath.c_str(), O_RDWR)), FThread([this] { Run(); }) {}
  ~GateReader() { Stop(); }

  bool WaitUntilHeld() { return FHeld.get_future().wait_for(std::chrono::seconds(5)) == std::future_status::ready; }
  void Release() { FRelease.set_value(); }

  // Everything played through the gate so far, once the pipe is empty.
  std::string Stop() {
    if (FThread.joinable()) {
      FStopping = true;
      FThread.join();
      close(FFd);
    }
    return FPlayed;
  }

 private:
  void Run() {
    bool holding = true;
    char buffer[4096];
    for (;;) {
      pollfd ready{FFd, POLLIN, 0};
      if (poll(&ready, 1, 20) <= 0) {
        if (FStopping) return;
        continue;
      }
      const std::size_t want = holding ? 1000 - FPlayed.size() : sizeof buffer;
      const ssize_t n = read(FFd, buffer, want);
      if (n <= 0) return;
      FPlayed.append(buffer, static_cast<std::size_t>(n));
      if (holding && FPlayed.size() == 1000) {
        holding = false;
        FHeld.set_value();
        FRelease.get_future().wait();
      }
    }
  }

  int FFd;
  std::promise<void> FHeld;
  std::promise<void> FRelease;
  std::atomic<bool> FStopping{false};
  std::string FPlayed;
  std::thread FThread;
};

TEST_F(SoundTest, ANewSoundReplacesThePlayingOne) {
  SetSoundDevice("gate");
  const std::string longSamples = PatternBytes(441000, 11);  // 5 s, far more than the pipe holds
  const std::string shortSamples = PatternBytes(4410, 12);
  const std::string first = MakeWave(1, 44100, 16, longSamples);
  const std::string second = MakeWave(1, 44100, 16, shortSamples);
  GateReader reader;
  ASSERT_TRUE(PlaySoundA(first.data(), first.size(), nullptr, kAsync));
  ASSERT_TRUE(reader.WaitUntilHeld());
  ASSERT_TRUE(PlaySoundA(second.data(), second.size(), nullptr, kAsync));
  reader.Release();
  ASSERT_TRUE(WaitForSoundIdle(5000));
  const std::string played = reader.Stop();
  ASSERT_GT(played.size(), shortSamples.size());
  const std::size_t cut = played.size() - shortSamples.size();
  EXPECT_LT(cut, longSamples.size() / 2);
  EXPECT_EQ(played.substr(0, cut), longSamples.substr(0, cut));
  EXPECT_EQ(played.substr(cut), shortSamples);
}

TEST_F(SoundTest, ANullSoundStopsThePlayingOne) {
  SetSoundDevice("gate");
  const std::string longSamples = PatternBytes(441000, 13);
  const std::string image = MakeWave(1, 44100, 16, longSamples);
  GateReader reader;
  ASSERT_TRUE(PlaySoundA(image.data(), image.size(), nullptr, kAsync));
  ASSERT_TRUE(reader.WaitUntilHeld());
  EXPECT_TRUE(PlaySoundA(nullptr, 0, nullptr, kAsync));
  reader.Release();
  ASSERT_TRUE(WaitForSoundIdle(5000));
  const std::string played = reader.Stop();
  EXPECT_LT(played.size(), longSamples.size() / 2);
  EXPECT_EQ(played, longSamples.substr(0, played.size()));
}

}  // namespace

int main(int argc, char** argv) {
  Capture = InstallSoundCapture();
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::filesystem::remove_all(Capture.Folder);
  return result;
}
