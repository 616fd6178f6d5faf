#include "Classes.h"

#include <algorithm>
#include <cstring>

#include "Files.h"

void TPersistent::Assign(const TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  throw EConvertError(Format("Cannot assign a nil to a %s", ClassName().c_str()));
}

void TPersistent::AssignTo(TPersistent* Dest) const {
  throw EConvertError(Format("Cannot assign a %s to a %s", ClassName().c_str(), Dest->ClassName().c_str()));
}

TComponent::TComponent(TComponent* AOwner) : QObject(AOwner), FOwner(AOwner) {}

TComponent::~TComponent() {
  ComponentState |= csDestroying;
  // Copy first: a notified component may remove itself from the list.
  const std::vector<TComponent*> notifies = FFreeNotifies;
  FFreeNotifies.clear();
  for (TComponent* other : notifies) {
    other->RemoveFreeNotification(this);
    other->Notification(this, TOperation::opRemove);
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  std::erase(FFreeNotifies, AComponent);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

std::int64_t TStream::Size() {
  const std::int64_t here = Position();
  const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  SetPosition(here);
  return size;
}

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
  const auto size = static_cast<std::int64_t>(Data.size());
  if (Count <= 0 || Pos >= size) return 0;
  const std::int64_t n = std::min(Count, size - Pos);
  std::memcpy(Buffer, Data.data() + Pos, static_cast<std::size_t>(n));
  Pos += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  const auto end = static_cast<std::size_t>(Pos + Count);
  if (end > Data.size()) Data.resize(end);
  std::memcpy(Data.data() + Pos, Buffer, static_cast<std::size_t>(Count));
  Pos += Count;
  return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const auto size = static_cast<std::int64_t>(Data.size());
  const std::int64_t base = Origin == TSeekOrigin::soBeginning ? 0 : Origin == TSeekOrigin::soCurrent ? Pos : size;
  Pos = std::max<std::int64_t>(0, base + Offset);
  return Pos;
}

void TMemoryStream::Clear() {
  Data.clear();
  Pos = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName) {
  std::size_t size = 0;
  const TFileBytes contents = ReadWholeFile(FileName, size);
  Data.assign(contents.get(), contents.get() + size);
  Pos = 0;
}

void TMemoryStream::SaveToFile(const AnsiString& FileName) const {
  WriteWholeFile(FileName, Bytes());
}
