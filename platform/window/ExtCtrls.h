#pragma once
// The class library's timer component: OnTimer every Interval milliseconds while Enabled.

#include "Classes.h"
#include "Controls.h"

#include <QImage>

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

// A picture on a form: drawn in the form's own paint, so that transparent controls above it show
// it. The picture is centred (or stretched over the control) and what it leaves free shows what
// lies beneath. A window's layout gives its picture as the property "picture".
class TImage : public TGraphicControl {
  Q_OBJECT
  Q_PROPERTY(QImage picture READ Picture WRITE SetPicture)

 public:
  explicit TImage(QWidget* parent = nullptr);
  void SetPicture(const QImage& picture);
  [[nodiscard]] const QImage& Picture() const { return FPicture; }
  void Clear() { SetPicture(QImage()); }
  void SetStretch(bool stretch);
  void SetCenter(bool center);
  // True when the picture hides all of the control.
  [[nodiscard]] bool CoversControl() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PictureChanged();

  QImage FPicture;
  bool FStretch = false;
  bool FCenter = false;
};
