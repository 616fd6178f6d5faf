#include "Hints.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "CodePage.h"

TPoint GetCursorPos() {
  const QPoint pos = QCursor::pos();
  return {pos.x(), pos.y()};
}

// ---- THintWindow ----

THintWindow::THintWindow() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  FImage = QImage(1, 1, QImage::Format_RGB32);
}

THintWindow::~THintWindow() = default;

void THintWindow::HandleNeeded() {
  if (FHandleCreated) return;
  FHandleCreated = true;
  TCreateParams params;
  params.Style = WS_POPUP | WS_BORDER;
  CreateParams(params);
  FStyle = params.Style;
}

void THintWindow::CreateParams(TCreateParams&) {}

void THintWindow::SetCaption(const AnsiString& caption) {
  FCaption = caption;
  update();
}

TRect THintWindow::ClientRect() const {
  const int frame = Bordered() ? 2 : 0;
  return {0, 0, std::max(0, width() - frame), std::max(0, height() - frame)};
}

TRect THintWindow::CalcHintRect(int maxWidth, const AnsiString& hint) {
  TRect rect{0, 0, maxWidth, 0};
  DrawText(FCanvas, hint, rect, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  rect.Right += 6;
  rect.Bottom += 2;
  return rect;
}

void THintWindow::ActivateHint(TRect rect, const AnsiString& hint) {
  HandleNeeded();
  SetCaption(hint);
  // Kept on the screen the pointer is on.
  if (const QScreen* screen = QGuiApplication::screenAt(QPoint(rect.Left, rect.Top))) {
    const QRect area = screen->geometry();
    if (rect.Right > area.right() + 1) OffsetRect(rect, area.right() + 1 - rect.Right, 0);
    if (rect.Left < area.left()) OffsetRect(rect, area.left() - rect.Left, 0);
    if (rect.Bottom > area.bottom() + 1) OffsetRect(rect, 0, area.bottom() + 1 - rect.Bottom);
    if (rect.Top < area.top()) OffsetRect(rect, 0, area.top() - rect.Top);
  }
  SetBounds(rect);
  ShowOnTop();
}

void THintWindow::ReleaseHandle() {
  hide();
}

void THintWindow::SetBounds(const TRect& bounds) {
  HandleNeeded();
  setGeometry(bounds.ToQRect());
}

void THintWindow::ShowOnTop() {
  HandleNeeded();
  show();
  raise();
  update();
}

void THintWindow::Paint() {
  TRect rect = ClientRect();
  FCanvas.Brush.Color = Color;
  FCanvas.Brush.Style = TBrushStyle::bsSolid;
  FCanvas.FillRect(rect);
  InflateRect(rect, -2, -2);
  FCanvas.Brush.Style = TBrushStyle::bsClear;
  DrawText(FCanvas, FCaption, rect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

const QImage& THintWindow::PaintCanvas() {
  HandleNeeded();
  const TRect client = ClientRect();
  if (FImage.width() != client.Width() || FImage.height() != client.Height())
    FImage = QImage(std::max(1, client.Width()), std::max(1, client.Height()), QImage::Format_RGB32);
  Paint();
  return FImage;
}

void THintWindow::paintEvent(QPaintEvent*) {
  PaintCanvas();
  QPainter painter(this);
  if (Bordered()) {
    painter.fillRect(rect(), QColor(ColorToQRgb(clWindowFrame)));
    painter.drawImage(1, 1, FImage);
  } else {
    painter.drawImage(0, 0, FImage);
  }
}

// ---- TApplicationHints ----

namespace {

// The hint's control: the widget under the pointer, or its nearest parent with a hint.
QWidget* HintControlOf(QWidget* widget) {
  for (QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget())
    if (!w->toolTip().isEmpty()) return w;
  return nullptr;
}

// Hints show over the active window and its children only.
bool OverActiveWindow(const QWidget* control) {
  for (const QWidget* w = control->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
    if (w->isActiveWindow()) return true;
  return false;
}

}  // namespace

TApplicationHints& TApplicationHints::Instance() {
  static QPointer<TApplicationHints> instance;
  if (!instance) instance = new TApplicationHints();
  return *instance;
}

TApplicationHints::TApplicationHints() : QObject(QCoreApplication::instance()) {
  FShowTimer.setSingleShot(true);
  FHideTimer.setSingleShot(true);
  connect(&FShowTimer, &QTimer::timeout, this, [this] { ShowPendingHint(); });
  connect(&FHideTimer, &QTimer::timeout, this, [this] { HideHint(); });
  qApp->installEventFilter(this);
}

TApplicationHints::~TApplicationHints() {
  delete FHintWindow;
}

void TApplicationHints::SetHintWindowClass(THintWindowClass windowClass) {
  FWindowClass = std::move(windowClass);
  if (!FWindowClass) {
    CancelHint();
    delete FHintWindow;
  }
}

void TApplicationHints::SetShowHint(bool value) {
  if (value == FShowHint) return;
  FShowHint = value;
  CancelHint();
  delete FHintWindow;
  if (FShowHint && FWindowClass) FHintWindow = FWindowClass();
}

void TApplicationHints::HideHint() {
  FHideTimer.stop();
  if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TApplicationHints::CancelHint() {
  FShowTimer.stop();
  HideHint();
}

void TApplicationHints::PointerOver(QWidget* widget) {
  QWidget* control = HintControlOf(widget);
  if (control == FHintControl) return;
  const bool showing = FHintWindow && FHintWindow->isVisible();
  CancelHint();
  FHintControl = control;
  if (control) FShowTimer.start(showing ? HintShortPause : HintPause);
}

void TApplicationHints::ShowPendingHint() {
  QWidget* control = FHintControl;
  if (!control || !FShowHint || !FWindowClass || !control->isVisible() || !OverActiveWindow(control)) return;
  const TPoint cursor = GetCursorPos();
  const QPoint local = control->mapFromGlobal(QPoint(cursor.X, cursor.Y));
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = {local.x(), local.y()};
  info.CursorRect = {0, 0, control->width(), control->height()};
  const QScreen* screen = QGuiApplication::screenAt(QPoint(cursor.X, cursor.Y));
  info.HintMaxWidth = screen ? screen->geometry().width() : 640;
  info.HintPos = {cursor.X, cursor.Y + 20};  // below the arrow cursor
  info.HintStr = QStringToAnsi(control->toolTip()).value_or(AnsiString());
  info.HideTimeout = HintHidePause;
  bool canShow = true;
  if (OnShowHint) OnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty()) return;
  if (!FHintWindow) FHintWindow = FWindowClass();
  FHintWindow->Color = info.HintColor;
  TRect rect = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr);
  OffsetRect(rect, info.HintPos.X, info.HintPos.Y);
  FHintWindow->ActivateHint(rect, info.HintStr);
  if (info.HideTimeout > 0) FHideTimer.start(info.HideTimeout);
}

bool TApplicationHints::eventFilter(QObject* watched, QEvent* event) {
  if (!FWindowClass) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::ToolTip:
      // A control's hint never shows as a plain tool tip. A widget that shows its tip over inactive
      // windows too is no control of a window: the notification area's icon, whose tip is the desktop's.
      if (watched->isWidgetType() && !static_cast<QWidget*>(watched)->testAttribute(Qt::WA_AlwaysShowToolTips))
        return true;
      break;
    case QEvent::MouseMove:
      if (watched->isWidgetType() && static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton &&
          watched != FHintWindow)
        PointerOver(static_cast<QWidget*>(watched));
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
      CancelHint();
      break;
    case QEvent::Leave:
      // The pointer left a window of the program.
      if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() && watched != FHintWindow) {
        CancelHint();
        FHintControl = nullptr;
      }
      break;
    case QEvent::ApplicationDeactivate:
    case QEvent::WindowDeactivate:
      CancelHint();
      FHintControl = nullptr;
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
