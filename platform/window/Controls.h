#pragma once
// Controls over QWidget: a message procedure fed from Qt events (mouse, enter and leave, enabled,
// visibility, font, text, system colours, accelerators), mouse capture, captions with "&"
// accelerators, action links, and the windowless graphic control that paints through a canvas.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "Classes.h"
#include "Cursors.h"
#include "Graphics.h"
#include "Messages.h"
#include "WindowProc.h"

class QMouseEvent;
class TBasicAction;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TMouseEvent = std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;

enum class TDragMode { dmManual, dmAutomatic };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TDragOverEvent =
    std::function<void(QObject* Sender, QObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(QObject* Sender, QObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(QObject* Sender, QObject* Target, int X, int Y)>;

enum TControlStyleFlag : unsigned {
  csCaptureMouse = 1,
  csClickEvents = 2,
  csOpaque = 4,
  csDoubleClicks = 8,
  csReplicatable = 16,
};

enum TControlStateFlag : unsigned { csClicked = 1 };

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Border styles: a control's (bsNone, bsSingle) and a form's (all six).
enum TBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// A form's border icons: the boxes in its caption bar.
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };

// A mouse message's LParam: the client point as two signed 16-bit halves.
[[nodiscard]] std::intptr_t PointToLParam(int x, int y);
[[nodiscard]] TPoint LParamToPoint(std::intptr_t lParam);
// A mouse message's WParam: the buttons still held (MK_LBUTTON ...) and Shift and Ctrl (MK_SHIFT ...).
[[nodiscard]] std::uintptr_t MouseKeysOf(const QMouseEvent& event);
// The shift state of a mouse message's WParam, with Alt as the keyboard holds it now.
[[nodiscard]] TShiftState KeysToShiftState(std::uintptr_t keys);
// The message of a button: left, right or middle; WM_NULL for other buttons.
[[nodiscard]] unsigned ButtonMessage(Qt::MouseButton button, unsigned left, unsigned right, unsigned middle);

// True when ch is the accelerator of the caption: the character after a single "&", any case.
[[nodiscard]] bool IsAccel(unsigned ch, std::string_view caption);

// The paint-copy mark of a widget that is being painted into another control's picture.
void SetPaintCopy(QWidget* widget, bool value);
[[nodiscard]] bool IsPaintingCopy(const QWidget* widget);

class TControl : public TWindowBase {
 public:
  explicit TControl(QWidget* parent = nullptr);
  ~TControl() override;

  [[nodiscard]] const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& caption);
  [[nodiscard]] TFont Font() const;
  void SetFont(const TFont& font);
  [[nodiscard]] bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  void SetHint(const AnsiString& hint);
  [[nodiscard]] bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  bool ParentShowHint = true;
  void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }
  [[nodiscard]] int ClientWidth() const { return width(); }
  [[nodiscard]] int ClientHeight() const { return height(); }
  void setVisible(bool visible) override;

  [[nodiscard]] TBasicAction* Action() const;
  void SetAction(TBasicAction* action);

  [[nodiscard]] bool MouseCapture() const;
  void SetMouseCapture(bool value);

  unsigned ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
  unsigned ControlState = 0;
  unsigned ComponentState = 0;
  [[nodiscard]] bool Designing() const { return (ComponentState & csDesigning) != 0; }

  // Dragging: with dmAutomatic a left press starts it. The control under the pointer is asked
  // through DragOver whether it takes the source; a release over one that does drops there.
  TDragMode DragMode = TDragMode::dmManual;
  int DragCursor = crDrag;
  // Starts dragging this control, at once or once the pointer has moved threshold pixels
  // (-1: the platform's distance).
  void BeginDrag(bool immediate, int threshold = -1);
  // Ends the drag: drop on the current target when it accepts, else cancel.
  void EndDrag(bool drop);
  [[nodiscard]] bool Dragging() const;
  TNotifyEvent OnStartDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

  // Runs the action, or OnClick when it is assigned.
  virtual void Click();
  // The action's properties changed (or the action was just bound).
  virtual void ActionChange(TBasicAction* sender, bool checkDefaults);

 protected:
  void WndProc(TMessage& message) override;
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick();
  virtual void DoStartDrag();
  virtual void DragOver(QObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(QObject* source, int x, int y);
  virtual void DoEndDrag(QObject* target, int x, int y);

  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  friend class TDragTracker;
  void SendMouseMessage(unsigned msg, const QMouseEvent* event);
  void UpdateShortcut();
  void UpdateToolTip();

  AnsiString FCaption;
  AnsiString FHint;
  TColor FFontColor = clWindowText;
  bool FParentFont = true;
  bool FShowHint = false;
  int FShortcutId = 0;
  QPointer<TBasicAction> FAction;
};

// Releases the mouse capture of whichever control holds it.
void ReleaseCapture();

// A windowless control: Paint draws through Canvas, which the widget then shows.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(QWidget* parent = nullptr);
  ~TGraphicControl() override;
  [[nodiscard]] TCanvas& Canvas() { return FCanvas; }
  // Paints into Canvas now, as a paint of the screen would.
  void PaintCanvas();
  [[nodiscard]] const QImage& CanvasImage() const { return FImage; }

 protected:
  virtual void Paint() {}
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage FImage;
  TCanvas FCanvas{&FImage};
};

// Sends the message to every control among the parent's children, in their order, until one
// gives a result other than 0; returns that result.
std::intptr_t BroadcastToControls(QWidget* parent, TMessage& message);
