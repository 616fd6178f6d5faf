#pragma once
// The class library's timer component: OnTimer every Interval milliseconds while Enabled.

#include "platform/Classes.h"

class QTimer;

class TTimer final : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner = nullptr);
  ~TTimer() override;

  [[nodiscard]] bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  [[nodiscard]] unsigned Interval() const { return FInterval; }
  // An interval of 0 stops the timer, as on the platform.
  void SetInterval(unsigned value);
  // The timer runs only while it has a handler.
  void SetOnTimer(TNotifyEvent handler);

 private:
  void Update();

  QTimer* FTimer;
  TNotifyEvent FOnTimer;
  bool FEnabled = true;
  unsigned FInterval = 1000;
};
