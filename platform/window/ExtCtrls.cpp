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

TImage::TImage(QWidget* parent) : TGraphicControl(parent) {
  PictureChanged();
}

void TImage::SetPicture(const QImage& picture) {
  FPicture = picture;
  PictureChanged();
}

void TImage::SetStretch(bool stretch) {
  FStretch = stretch;
  PictureChanged();
}

void TImage::SetCenter(bool center) {
  FCenter = center;
  PictureChanged();
}

bool TImage::CoversControl() const {
  if (FPicture.isNull() || FPicture.hasAlphaChannel()) return false;
  return FStretch || (FPicture.width() >= width() && FPicture.height() >= height());
}

// Only an image that hides all of its rectangle may tell Qt it is opaque: Qt paints nothing beneath
// an opaque widget, and the free part would keep whatever was drawn there before.
void TImage::PictureChanged() {
  setAttribute(Qt::WA_OpaquePaintEvent, CoversControl());
  update();
}

void TImage::resizeEvent(QResizeEvent*) {
  setAttribute(Qt::WA_OpaquePaintEvent, CoversControl());
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
