#pragma once
// The class library's persistent objects, components with owners and free notification, and
// byte streams.

#include <QObject>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "SysUtils.h"

using TNotifyEvent = std::function<void(QObject* Sender)>;

// The keys and mouse buttons held down during an input event.
enum TShiftStateFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = unsigned;

// An object that can copy itself from another of its kind. Assign falls back to the source's
// AssignTo, which raises EConvertError "Cannot assign a <source> to a <target>".
class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual void Assign(const TPersistent* Source);
  [[nodiscard]] virtual AnsiString ClassName() const = 0;

 protected:
  virtual void AssignTo(TPersistent* Dest) const;
};

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned { csLoading = 1, csDesigning = 2, csDestroying = 4 };

// A non-visual component: owned by its Owner (freed with it), named, and told through
// Notification when a component it asked FreeNotification of goes away.
class TComponent : public QObject {
 public:
  explicit TComponent(TComponent* AOwner = nullptr);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  [[nodiscard]] TComponent* Owner() const { return FOwner; }
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);
  [[nodiscard]] bool HasState(unsigned flag) const { return (ComponentState & flag) != 0; }

  AnsiString Name;
  unsigned ComponentState = 0;

 protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Called once the streamed properties have been set.
  virtual void Loaded() { ComponentState &= ~csLoading; }

 private:
  TComponent* FOwner;
  std::vector<TComponent*> FFreeNotifies;
};

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A byte stream. ReadBuffer and WriteBuffer raise EReadError "Stream read error" and
// EWriteError "Stream write error" when fewer bytes move than asked for.
class TStream {
 public:
  virtual ~TStream() = default;
  virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
  void ReadBuffer(void* Buffer, std::int64_t Count);
  void WriteBuffer(const void* Buffer, std::int64_t Count);
  [[nodiscard]] std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t Pos) { Seek(Pos, TSeekOrigin::soBeginning); }
  [[nodiscard]] std::int64_t Size();
};

class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string_view bytes) : Data(bytes.begin(), bytes.end()) {}
  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void Clear();
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName) const;
  [[nodiscard]] const char* Memory() const { return Data.data(); }
  [[nodiscard]] std::string_view Bytes() const { return {Data.data(), Data.size()}; }

 private:
  std::vector<char> Data;
  std::int64_t Pos = 0;
};
