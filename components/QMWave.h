#pragma once
// A non-visual component that holds one complete WAV file and plays it asynchronously from memory.

#include <cstdint>
#include <memory>

#include "Classes.h"

// The run-time's input/output error, raised by file operations that fail.
class EInOutError : public Exception {
 public:
  explicit EInOutError(int errorCode);
  int ErrorCode;
};

// The WAV file bytes of a TQMWave. Streamed as the binary property "Data": a 4-byte little-endian
// length, then that many bytes.
class TQMWaveData : public TPersistent {
 public:
  TQMWaveData() = default;
  ~TQMWaveData() override;
  TQMWaveData(const TQMWaveData&) = delete;
  TQMWaveData& operator=(const TQMWaveData&) = delete;

  // A TQMWaveData source is copied, nil empties, and any other class raises EConvertError.
  void Assign(const TPersistent* Source) override;
  [[nodiscard]] AnsiString ClassName() const override { return "TQMWaveData"; }

  // Raises EReadError for a stream that ends early; the object is then empty.
  virtual void ReadData(TStream& Stream);
  virtual void WriteData(TStream& Stream) const;
  // A missing or empty file leaves the object empty; a failing read raises EInOutError.
  virtual void LoadFromFile(const AnsiString& FileName);
  virtual void Play();

  void Clear();
  void SetData(std::int32_t Count, const void* Data);
  [[nodiscard]] bool IsEmpty() const { return FSize == 0; }
  // Whether "Data" is written at all.
  [[nodiscard]] bool HasData() const { return !IsEmpty(); }
  [[nodiscard]] std::int32_t Size() const { return FSize; }
  [[nodiscard]] const char* Image() const { return FImage.get(); }

 private:
  std::unique_ptr<char[]> FImage;
  std::int32_t FSize = 0;
};

class TQMWave final : public TComponent {
 public:
  explicit TQMWave(TComponent* AOwner = nullptr);
  ~TQMWave() override;

  [[nodiscard]] TQMWaveData* WaveData() const { return FWaveData.get(); }
  // Copies from Value; the component never adopts a foreign object.
  void SetWaveData(const TQMWaveData* Value);
  // OnPlay first, then the sound.
  void Play();

  TNotifyEvent OnPlay;

 private:
  std::unique_ptr<TQMWaveData> FWaveData;
};
