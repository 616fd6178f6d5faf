#include "Buttons.h"

#include "CodePage.h"

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(true);
  connect(this, &QToolButton::clicked, this, [this] {
    if (OnClick) OnClick(this);
  });
}

void TSpeedButton::SetCaption(const AnsiString& caption) {
  setText(AnsiToQString(caption));
}

AnsiString TSpeedButton::Caption() const {
  return QStringToAnsi(text()).value_or(AnsiString());
}

void TSpeedButton::SetCaptionColor(const QColor& color) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::ButtonText, color);
  palette.setColor(QPalette::WindowText, color);
  setPalette(palette);
}

QColor TSpeedButton::CaptionColor() const {
  return palette().color(QPalette::ButtonText);
}

TBitBtn::TBitBtn(QWidget* parent) : QToolButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAutoRaise(true);
  connect(this, &QToolButton::clicked, this, [this] {
    if (OnClick) OnClick(this);
  });
}
