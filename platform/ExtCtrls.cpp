#include "platform/ExtCtrls.h"

#include <QTimer>

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FTimer(new QTimer(this)) {
  QObject::connect(FTimer, &QTimer::timeout, this, [this] {
    if (FOnTimer) FOnTimer(this);
  });
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Update();
}

void TTimer::SetInterval(unsigned value) {
  if (value == FInterval) return;
  FInterval = value;
  Update();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  FOnTimer = std::move(handler);
  Update();
}

void TTimer::Update() {
  FTimer->stop();
  if (FEnabled && FInterval != 0 && FOnTimer) FTimer->start(static_cast<int>(FInterval));
}
