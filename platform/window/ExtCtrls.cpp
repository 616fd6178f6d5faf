#include "ExtCtrls.h"

#include <QPainter>
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

// Not opaque: what the picture leaves free, or all of it when there is none, shows the parent.
TImage::TImage(QWidget* parent) : TGraphicControl(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImage::SetPicture(const QImage& picture) {
  FPicture = picture;
  update();
}

void TImage::SetStretch(bool stretch) {
  FStretch = stretch;
  update();
}

void TImage::SetCenter(bool center) {
  FCenter = center;
  update();
}

void TImage::paintEvent(QPaintEvent*) {
  if (FPicture.isNull()) return;
  QPainter painter(this);
  if (FStretch) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), FPicture);
  } else if (FCenter) {
    painter.drawImage((width() - FPicture.width()) / 2, (height() - FPicture.height()) / 2, FPicture);
  } else {
    painter.drawImage(0, 0, FPicture);
  }
}
