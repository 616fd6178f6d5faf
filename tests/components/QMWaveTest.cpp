#include "QMWave.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QFile>

#include <filesystem>
#include <fstream>
#include <set>

#include "Sound.h"
#include "SoundCapture.h"

namespace {

TSoundCapture Capture;

std::string StreamBytes(std::uint32_t length, std::string_view payload) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
  return bytes + std::string(payload);
}

std::string Written(const TQMWaveData& data) {
  TMemoryStream stream;
  data.WriteData(stream);
  return std::string(stream.Bytes());
}

std::string Held(const TQMWaveData& data) {
  return {data.Image() ? data.Image() : "", std::size_t(data.Size())};
}

TEST(TQMWaveData, ReadsAndWritesTheDataProperty) {
  const std::string wave = MakeWave(1, 8000, 8, PatternBytes(3528, 1));
  TMemoryStream stream(StreamBytes(static_cast<std::uint32_t>(wave.size()), wave) + "next property");
  TQMWaveData data;
  data.ReadData(stream);
  EXPECT_EQ(Held(data), wave);
  EXPECT_EQ(stream.Position(), 4 + static_cast<std::int64_t>(wave.size())) << "reads its own bytes only";
  EXPECT_EQ(Written(data), StreamBytes(static_cast<std::uint32_t>(wave.size()), wave));
  EXPECT_TRUE(data.HasData());
}

TEST(TQMWaveData, AZeroLengthReadsAsEmptyAndIsNotStored) {
  TQMWaveData data;
  data.SetData(3, "abc");
  TMemoryStream stream(StreamBytes(0, ""));
  data.ReadData(stream);
  EXPECT_TRUE(data.IsEmpty());
  EXPECT_FALSE(data.HasData());
  EXPECT_EQ(Written(data), StreamBytes(0, ""));
}

TEST(TQMWaveData, AStreamThatEndsEarlyRaisesTheReadErrorAndLeavesItEmpty) {
  const struct {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"no length", "ab"},
      {"fewer bytes than the length", StreamBytes(10, "12345")},
      // Lengths of 2 GiB and more cannot be held; they must not read as a negative size.
      {"length past the signed range", StreamBytes(0x80000000u, "12345")},
      {"largest length", StreamBytes(0xFFFFFFFFu, "12345")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TQMWaveData data;
    data.SetData(3, "old");
    TMemoryStream stream(c.Bytes);
    EXPECT_THROW(data.ReadData(stream), EReadError);
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.Image(), nullptr);
  }
}

TEST(TQMWaveData, SetDataCopiesAndACountOfZeroOrLessEmpties) {
  TQMWaveData data;
  std::string bytes = "RIFF....WAVE";
  data.SetData(static_cast<std::int32_t>(bytes.size()), bytes.data());
  bytes[0] = 'X';
  EXPECT_EQ(Held(data), "RIFF....WAVE");
  // Data may point into the image it replaces.
  data.SetData(4, data.Image() + 8);
  EXPECT_EQ(Held(data), "WAVE");
  for (const std::int32_t count : {0, -1}) {
    data.SetData(4, "abcd");
    data.SetData(count, "abcd");
    EXPECT_TRUE(data.IsEmpty());
  }
}

class TOther final : public TPersistent {
 public:
  [[nodiscard]] AnsiString ClassName() const override { return "TOther"; }
};

TEST(TQMWaveData, AssignCopiesDeeplyEmptiesForNilAndRefusesOtherClasses) {
  TQMWaveData source;
  source.SetData(5, "hello");
  TQMWaveData target;
  target.Assign(&source);
  EXPECT_EQ(Held(target), "hello");
  EXPECT_NE(target.Image(), source.Image());
  source.SetData(3, "bye");
  EXPECT_EQ(Held(target), "hello");

  target.Assign(&target);
  EXPECT_EQ(Held(target), "hello") << "assigning itself keeps the image";

  target.Assign(nullptr);
  EXPECT_TRUE(target.IsEmpty());

  target.SetData(2, "ok");
  const TOther other;
  try {
    target.Assign(&other);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message, "Cannot assign a TOther to a TQMWaveData");
  }
  EXPECT_EQ(Held(target), "ok");
}

TEST(TQMWaveData, LoadFromFileTakesTheWholeFileAndAMissingOrEmptyOneEmpties) {
  const std::filesystem::path folder = std::filesystem::path(Capture.Folder) / "load";
  std::filesystem::create_directories(folder);
  const std::string wave = MakeWave(2, 22050, 16, PatternBytes(1000, 4));
  std::ofstream(folder / "Sound.wav", std::ios::binary) << wave;
  std::ofstream(folder / "empty.wav").flush();

  TQMWaveData data;
  data.LoadFromFile((folder / "SOUND.WAV").string());
  EXPECT_EQ(Held(data), wave) << "names match with case ignored";
  for (const char* name : {"missing.wav", "empty.wav"}) {
    SCOPED_TRACE(name);
    data.SetData(3, "old");
    EXPECT_NO_THROW(data.LoadFromFile((folder / name).string()));
    EXPECT_TRUE(data.IsEmpty());
  }
}

TEST(TQMWaveData, ReadsEachOfTheProgramsSoundsFromItsResource) {
  const char* names[] = {"WaveMoveCard",    "WaveDelete", "WaveUndoOk", "WaveUndoFailure",
                         "WaveDeleteImage", "WaveSort",   "WaveSearch"};
  std::set<std::string> images;
  for (const char* name : names) {
    SCOPED_TRACE(name);
    QFile resource(QStringLiteral(":/sounds/%1.wavedata").arg(QLatin1String(name)));
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    const QByteArray bytes = resource.readAll();
    TMemoryStream stream(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    TQMWaveData data;
    data.ReadData(stream);
    EXPECT_EQ(stream.Position(), bytes.size());
    const std::optional<TWaveFormat> format = ParseWaveImage(Held(data));
    ASSERT_TRUE(format);
    const double seconds = double(format->DataSize) / (format->SamplesPerSec * format->BlockAlign);
    EXPECT_GT(seconds, 0.05);
    EXPECT_LT(seconds, 0.5);
    images.insert(Held(data));
  }
  EXPECT_EQ(images.size(), std::size(names));
}

class TQMWavePlay : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("capture");
    std::remove(Capture.CapturePath.c_str());
  }
  void TearDown() override { SetSoundDevice(""); }
};

TEST_F(TQMWavePlay, FiresOnPlayThenPlaysTheImage) {
  const std::string samples = PatternBytes(4000, 5);
  const std::string wave = MakeWave(1, 11025, 16, samples);
  TQMWave sound;
  TQMWaveData data;
  data.SetData(static_cast<std::int32_t>(wave.size()), wave.data());
  sound.SetWaveData(&data);
  EXPECT_NE(sound.WaveData(), &data) << "the component keeps its own object";
  int fired = 0;
  sound.OnPlay = [&](QObject* sender) {
    EXPECT_EQ(sender, &sound);
    ++fired;
  };
  sound.Play();
  // The sound's image may go while it plays.
  sound.WaveData()->Clear();
  ASSERT_TRUE(WaitForSoundIdle(5000));
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(ReadFileBytes(Capture.CapturePath), samples);
}

TEST_F(TQMWavePlay, AnEmptyComponentFiresOnPlayAndPlaysNothing) {
  TQMWave sound;
  int fired = 0;
  sound.OnPlay = [&](QObject*) { ++fired; };
  sound.Play();
  ASSERT_TRUE(WaitForSoundIdle(5000));
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(access(Capture.CapturePath.c_str(), F_OK), -1);
}

}  // namespace

int main(int argc, char** argv) {
  Capture = InstallSoundCapture();
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::filesystem::remove_all(Capture.Folder);
  return result;
}
