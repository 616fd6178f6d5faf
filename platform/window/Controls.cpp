#include "Controls.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleHints>

#include "ActnList.h"
#include "CodePage.h"
#include "Cursors.h"
#include "WindowProc.h"

namespace {

QPointer<TControl> gCaptureControl;

}  // namespace

std::uintptr_t MouseKeysOf(const QMouseEvent& event) {
  std::uintptr_t keys = 0;
  const Qt::MouseButtons buttons = event.buttons();  // a release no longer holds its button
  if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
  if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
  if (event.modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (event.modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
  return keys;
}

TShiftState KeysToShiftState(std::uintptr_t keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (QGuiApplication::keyboardModifiers() & Qt::AltModifier) shift |= ssAlt;
  return shift;
}

unsigned ButtonMessage(Qt::MouseButton button, unsigned left, unsigned right, unsigned middle) {
  switch (button) {
    case Qt::LeftButton:
      return left;
    case Qt::RightButton:
      return right;
    case Qt::MiddleButton:
      return middle;
    default:
      return WM_NULL;
  }
}

namespace {

// The character after the first single "&" of the caption, or 0.
char HotKey(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i)
    if (caption[i] == '&') {
      if (caption[i + 1] != '&') return caption[i + 1];
      ++i;
    }
  return 0;
}

}  // namespace

std::intptr_t PointToLParam(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                    static_cast<std::uint32_t>(x & 0xFFFF));
}

TPoint LParamToPoint(std::intptr_t lParam) {
  const auto bits = static_cast<std::uint32_t>(lParam);
  return {static_cast<std::int16_t>(bits & 0xFFFF), static_cast<std::int16_t>(bits >> 16)};
}

bool IsAccel(unsigned ch, std::string_view caption) {
  const char hot = HotKey(caption);
  if (hot == 0 || ch > 0xFF) return false;
  const char key = static_cast<char>(ch);
  return AnsiToQString(std::string_view(&key, 1))
             .compare(AnsiToQString(std::string_view(&hot, 1)), Qt::CaseInsensitive) == 0;
}

void SetPaintCopy(QWidget* widget, bool value) {
  widget->setProperty("vabPaintCopy", value);
}

bool IsPaintingCopy(const QWidget* widget) {
  return widget->property("vabPaintCopy").toBool();
}

// The one drag in progress: follows the pointer through an application-wide event filter.
class TDragTracker final : public QObject {
 public:
  static TDragTracker* Current;

  TDragTracker(TControl* source, bool immediate, int threshold)
      : FSource(source),
        FOrigin(QCursor::pos()),
        FThreshold(threshold >= 0 ? threshold : QGuiApplication::styleHints()->startDragDistance()) {
    Current = this;
    QCoreApplication::instance()->installEventFilter(this);
    if (immediate) Start();
  }
  ~TDragTracker() override { Detach(); }
  TDragTracker(const TDragTracker&) = delete;
  TDragTracker& operator=(const TDragTracker&) = delete;

  [[nodiscard]] TControl* Source() const { return FSource; }

  // Ends the drag; the tracker goes once control is back in the event loop.
  void Finish(QPoint global, bool drop) {
    const QPointer<TControl> source = FSource;
    const QPointer<TControl> target = drop && FStarted && FAccepted ? FTarget : nullptr;
    if (!target && FTarget) Tell(FTarget, global, TDragState::dsDragLeave);
    Detach();
    deleteLater();
    const QPoint at = target ? target->mapFromGlobal(global) : global;
    if (target) target->DragDrop(source, at.x(), at.y());
    if (source) source->DoEndDrag(target, at.x(), at.y());
  }

  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!receiver->isWidgetType()) return false;
    switch (event->type()) {
      case QEvent::MouseMove:
        Move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
      case QEvent::MouseButtonRelease:
        Finish(static_cast<QMouseEvent*>(event)->globalPosition().toPoint(), true);
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        return true;
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
          Finish(QCursor::pos(), false);
          return true;
        }
        return false;
      default:
        return false;
    }
  }

 private:
  void Detach() {
    if (Current != this) return;
    Current = nullptr;
    QCoreApplication::instance()->removeEventFilter(this);
    if (FStarted) QGuiApplication::restoreOverrideCursor();
  }

  void Start() {
    FStarted = true;
    QGuiApplication::setOverrideCursor(ScreenCursor(crNoDrop));
    if (FSource) FSource->DoStartDrag();
  }

  bool Tell(TControl* target, QPoint global, TDragState state) {
    const QPoint at = target->mapFromGlobal(global);
    bool accept = false;
    target->DragOver(FSource, at.x(), at.y(), state, accept);
    return accept;
  }

  void Move(QPoint global) {
    if (!FStarted) {
      if ((global - FOrigin).manhattanLength() < FThreshold) return;
      Start();
    }
    TControl* target = nullptr;
    for (QWidget* w = QApplication::widgetAt(global); w && !target; w = w->parentWidget())
      target = dynamic_cast<TControl*>(w);
    if (target != FTarget && FTarget) Tell(FTarget, global, TDragState::dsDragLeave);
    const TDragState state = target == FTarget ? TDragState::dsDragMove : TDragState::dsDragEnter;
    FTarget = target;
    FAccepted = target && Tell(target, global, state);
    QGuiApplication::changeOverrideCursor(
        ScreenCursor(FAccepted && FSource ? FSource->DragCursor : static_cast<int>(crNoDrop)));
  }

  QPointer<TControl> FSource;
  QPointer<TControl> FTarget;
  QPoint FOrigin;
  int FThreshold;
  bool FStarted = false;
  bool FAccepted = false;
};

TDragTracker* TDragTracker::Current = nullptr;

TControl::TControl(QWidget* parent) : TWindowBase(parent) {}

TControl::~TControl() {
  if (FAction) FAction->UnRegisterChanges(this);
  if (TDragTracker::Current && TDragTracker::Current->Source() == this)
    TDragTracker::Current->Finish(QCursor::pos(), false);
}

void TControl::BeginDrag(bool immediate, int threshold) {
  if (TDragTracker::Current) return;
  new TDragTracker(this, immediate, threshold);
}

void TControl::EndDrag(bool drop) {
  if (Dragging()) TDragTracker::Current->Finish(QCursor::pos(), drop);
}

bool TControl::Dragging() const {
  return TDragTracker::Current && TDragTracker::Current->Source() == this;
}

void TControl::DoStartDrag() {
  if (OnStartDrag) OnStartDrag(this);
}

void TControl::DragOver(QObject* source, int x, int y, TDragState state, bool& accept) {
  accept = false;
  if (!OnDragOver) return;
  accept = true;
  OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(QObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoEndDrag(QObject* target, int x, int y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TControl::SetCaption(const AnsiString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  UpdateShortcut();
  Perform(CM_TEXTCHANGED);
}

TFont TControl::Font() const {
  return TFont{font(), FFontColor};
}

void TControl::SetFont(const TFont& value) {
  FParentFont = false;
  const bool colourOnly = value.Handle == font() && value.Handle.resolveMask() == font().resolveMask();
  FFontColor = value.Color;
  if (colourOnly)
    Perform(CM_FONTCHANGED);
  else
    setFont(value.Handle);
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (!value) return;
  const auto* parentControl = dynamic_cast<const TControl*>(parentWidget());
  FFontColor = parentControl ? parentControl->FFontColor : clWindowText;
  setFont(QFont());
  Perform(CM_FONTCHANGED);
}

void TControl::SetHint(const AnsiString& hint) {
  FHint = hint;
  UpdateToolTip();
}

void TControl::SetShowHint(bool value) {
  FShowHint = value;
  UpdateToolTip();
}

void TControl::UpdateToolTip() {
  setToolTip(FShowHint ? AnsiToQString(FHint) : QString());
}

void TControl::setVisible(bool visible) {
  const bool wasHidden = isHidden();
  QWidget::setVisible(visible);
  if (wasHidden != isHidden()) Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
}

TBasicAction* TControl::Action() const {
  return FAction;
}

void TControl::SetAction(TBasicAction* action) {
  if (action == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = action;
  if (!action) return;
  action->RegisterChanges(this);
  ActionChange(action, (ComponentState & csLoading) != 0);
}

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
  const auto* action = dynamic_cast<const TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || FCaption.empty()) SetCaption(action->Caption());
  if (!checkDefaults || isEnabled()) setEnabled(action->Enabled());
  if (!checkDefaults || FHint.empty()) SetHint(action->Hint());
}

bool TControl::MouseCapture() const {
  return gCaptureControl == this;
}

void TControl::SetMouseCapture(bool value) {
  if (value)
    gCaptureControl = this;
  else if (gCaptureControl == this)
    gCaptureControl = nullptr;
}

void ReleaseCapture() {
  gCaptureControl = nullptr;
}

void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (FAction)
    FAction->Execute();
}

void TControl::WndProc(TMessage& message) {
  const TPoint p = LParamToPoint(message.LParam);
  const TShiftState shift = KeysToShiftState(message.WParam);
  if ((message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) && DragMode == TDragMode::dmAutomatic &&
      !Dragging()) {
    BeginDrag(true);
    return;
  }
  switch (message.Msg) {
    case WM_LBUTTONDBLCLK:
      if (ControlStyle & csDoubleClicks) {
        if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
        if (ControlStyle & csClickEvents) DblClick();
        MouseDown(TMouseButton::mbLeft, shift | ssDouble, p.X, p.Y);
        break;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
      if (ControlStyle & csClickEvents) ControlState |= csClicked;
      MouseDown(TMouseButton::mbLeft, shift, p.X, p.Y);
      break;
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, shift, p.X, p.Y);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, shift, p.X, p.Y);
      break;
    case WM_LBUTTONUP:
      if (ControlStyle & csCaptureMouse) SetMouseCapture(false);
      if (ControlState & csClicked) {
        ControlState &= ~static_cast<unsigned>(csClicked);
        if (rect().contains(p.X, p.Y)) Click();
      }
      MouseUp(TMouseButton::mbLeft, shift, p.X, p.Y);
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, shift, p.X, p.Y);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, shift, p.X, p.Y);
      break;
    case WM_MOUSEMOVE:
      MouseMove(shift, p.X, p.Y);
      break;
    default:
      break;
  }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::UpdateShortcut() {
  if (FShortcutId != 0) releaseShortcut(FShortcutId);
  FShortcutId = 0;
  const char hot = HotKey(FCaption);
  if (hot != 0) {
    const QString mnemonic = QStringLiteral("&") + AnsiToQString(std::string_view(&hot, 1));
    FShortcutId = grabShortcut(QKeySequence::mnemonic(mnemonic));
  }
}

bool TControl::event(QEvent* event) {
  if (event->type() == QEvent::Shortcut) {
    const auto* shortcut = static_cast<QShortcutEvent*>(event);
    const char hot = HotKey(FCaption);
    if (shortcut->shortcutId() == FShortcutId && hot != 0) {
      Perform(CM_DIALOGCHAR, static_cast<unsigned char>(hot));
      return true;
    }
  }
  return TWindowBase::event(event);
}

void TControl::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::EnabledChange:
      Perform(CM_ENABLEDCHANGED);
      break;
    case QEvent::FontChange:
      Perform(CM_FONTCHANGED);
      break;
    case QEvent::PaletteChange:
      Perform(CM_SYSCOLORCHANGE);
      break;
    default:
      break;
  }
  QWidget::changeEvent(event);
}

void TControl::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  Perform(CM_MOUSEENTER);
}

void TControl::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  Perform(CM_MOUSELEAVE);
}

void TControl::SendMouseMessage(unsigned msg, const QMouseEvent* event) {
  if (msg == WM_NULL) return;
  const QPoint p = event->position().toPoint();
  Perform(msg, MouseKeysOf(*event), PointToLParam(p.x(), p.y()));
}

void TControl::mousePressEvent(QMouseEvent* event) {
  SendMouseMessage(ButtonMessage(event->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN), event);
}

void TControl::mouseReleaseEvent(QMouseEvent* event) {
  SendMouseMessage(ButtonMessage(event->button(), WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP), event);
}

void TControl::mouseMoveEvent(QMouseEvent* event) {
  SendMouseMessage(WM_MOUSEMOVE, event);
}

void TControl::mouseDoubleClickEvent(QMouseEvent* event) {
  SendMouseMessage(ButtonMessage(event->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK), event);
}

TGraphicControl::TGraphicControl(QWidget* parent) : TControl(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintCanvas() {
  if (FImage.size() != size()) FImage = QImage(size(), QImage::Format_RGB32);
  FCanvas.Font = Font();
  FCanvas.Brush = TBrush{};
  FCanvas.Brush.Color = clBtnFace;
  FCanvas.Pen = TPen{};
  Paint();
}

void TGraphicControl::paintEvent(QPaintEvent*) {
  PaintCanvas();
  QPainter painter(this);
  painter.drawImage(0, 0, FImage);
}

std::intptr_t BroadcastToControls(QWidget* parent, TMessage& message) {
  if (!parent) return 0;
  for (QObject* child : parent->children())
    if (auto* control = dynamic_cast<TControl*>(child)) {
      const std::intptr_t result = control->Perform(message.Msg, message.WParam, message.LParam);
      if (result != 0) return message.Result = result;
    }
  return 0;
}
