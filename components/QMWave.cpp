#include "QMWave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "Files.h"
#include "Sound.h"

EInOutError::EInOutError(int errorCode) : Exception(Format("I/O error %d", errorCode)), ErrorCode(errorCode) {}

namespace {

constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();

class TFileDescriptor final {
 public:
  explicit TFileDescriptor(int fd) : Fd(fd) {}
  ~TFileDescriptor() {
    if (Fd >= 0) ::close(Fd);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  // Closes now, reporting the failure the destructor would swallow.
  void Close() {
    const int fd = std::exchange(Fd, -1);
    if (::close(fd) != 0) throw EInOutError(errno);
  }
  int Fd;
};

}  // namespace

TQMWaveData::~TQMWaveData() {
  Clear();
}

void TQMWaveData::Assign(const TPersistent* Source) {
  if (!Source) {
    Clear();
    return;
  }
  if (const auto* source = dynamic_cast<const TQMWaveData*>(Source)) {
    SetData(source->FSize, source->FImage.get());
    return;
  }
  TPersistent::Assign(Source);
}

void TQMWaveData::Clear() {
  FImage.reset();
  FSize = 0;
}

void TQMWaveData::SetData(std::int32_t Count, const void* Data) {
  if (Count <= 0) {
    Clear();
    return;
  }
  // Copied before the old image goes, so that Data may point into it.
  auto image = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(Count));
  std::memcpy(image.get(), Data, static_cast<std::size_t>(Count));
  FImage = std::move(image);
  FSize = Count;
}

void TQMWaveData::ReadData(TStream& Stream) {
  Clear();
  unsigned char length[4];
  Stream.ReadBuffer(length, sizeof length);
  const std::int64_t size = std::int64_t{length[0]} | std::int64_t{length[1]} << 8 | std::int64_t{length[2]} << 16 |
                            std::int64_t{length[3]} << 24;
  if (size == 0) return;
  // A length beyond what the stream still holds fails before anything is allocated for it.
  if (size > kMaxSize || size > Stream.Size() - Stream.Position()) throw EReadError("Stream read error");
  auto image = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size));
  Stream.ReadBuffer(image.get(), size);
  FImage = std::move(image);
  FSize = static_cast<std::int32_t>(size);
}

void TQMWaveData::WriteData(TStream& Stream) const {
  const auto size = static_cast<std::uint32_t>(FSize);
  const unsigned char length[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                   static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
  Stream.WriteBuffer(length, sizeof length);
  Stream.WriteBuffer(FImage.get(), FSize);
}

void TQMWaveData::LoadFromFile(const AnsiString& FileName) {
  Clear();
  if (!FileExists(FileName)) return;
  const std::optional<std::filesystem::path> path = ResolveExistingPath(FileName);
  TFileDescriptor file(path ? ::open(path->c_str(), O_RDONLY | O_CLOEXEC) : -1);
  if (file.Fd < 0) throw EInOutError(path ? errno : ENOENT);
  struct stat info {};
  if (::fstat(file.Fd, &info) != 0) throw EInOutError(errno);
  if (info.st_size > kMaxSize) throw EInOutError(EFBIG);
  if (info.st_size > 0) {
    FImage = std::make_unique<char[]>(static_cast<std::size_t>(info.st_size));
    FSize = static_cast<std::int32_t>(info.st_size);
    std::int32_t done = 0;
    while (done < FSize) {
      const ssize_t n = ::read(file.Fd, FImage.get() + done, static_cast<std::size_t>(FSize - done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw EInOutError(errno);
      // The file shrank while it was read.
      if (n == 0) throw EInOutError(EIO);
      done += static_cast<std::int32_t>(n);
    }
  }
  file.Close();
}

void TQMWaveData::Play() {
  if (!IsEmpty())
    PlaySoundA(FImage.get(), static_cast<std::size_t>(FSize), nullptr, SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
}

TQMWave::TQMWave(TComponent* AOwner) : TComponent(AOwner), FWaveData(std::make_unique<TQMWaveData>()) {}

TQMWave::~TQMWave() = default;

void TQMWave::SetWaveData(const TQMWaveData* Value) {
  FWaveData->Assign(Value);
}

void TQMWave::Play() {
  if (OnPlay) OnPlay(this);
  FWaveData->Play();
}
