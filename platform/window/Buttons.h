#pragma once
// The class library's own buttons: the speed button (flat, caption with an accelerator, a
// caption colour) and the bitmap button.

#include <QColor>
#include <QToolButton>

#include "Classes.h"

class TSpeedButton : public QToolButton {
 public:
  explicit TSpeedButton(QWidget* parent = nullptr);
  void SetCaption(const AnsiString& caption);
  [[nodiscard]] AnsiString Caption() const;
  void SetCaptionColor(const QColor& color);
  [[nodiscard]] QColor CaptionColor() const;
  void SetFlat(bool flat) { setAutoRaise(flat); }
  void Click() { click(); }

  TNotifyEvent OnClick;
};

class TBitBtn : public QToolButton {
 public:
  explicit TBitBtn(QWidget* parent = nullptr);
  void Click() { click(); }

  TNotifyEvent OnClick;
};
