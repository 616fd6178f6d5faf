#pragma once
// The application's hints: which control's hint shows, when (the hint pauses), and in which hint
// window. Until a hint window class is installed the toolkit's plain tool tips show the hints;
// once one is, every hint of the application's controls shows in a window of that class instead.

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "Graphics.h"
#include "Messages.h"

struct TCreateParams {
  unsigned Style = 0;
};

// The pointer's position on the screen.
[[nodiscard]] TPoint GetCursorPos();

// A frameless tool-tip window painted through a canvas. With WS_BORDER (the default) it has a
// one-pixel frame outside its client area.
class THintWindow : public QWidget {
 public:
  THintWindow();
  ~THintWindow() override;

  // Shows the hint with the window's bounds from rect (screen coordinates), without taking the
  // focus.
  virtual void ActivateHint(TRect rect, const AnsiString& hint);
  // The bounds the hint needs, with their top-left corner at (0, 0).
  [[nodiscard]] virtual TRect CalcHintRect(int maxWidth, const AnsiString& hint);
  // Hides the window.
  void ReleaseHandle();

  [[nodiscard]] const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& caption);
  [[nodiscard]] TCanvas& Canvas() { return FCanvas; }
  // The client area: the window without its frame.
  [[nodiscard]] TRect ClientRect() const;
  // Paints the client area into the canvas now, as a paint of the screen does, and returns it.
  const QImage& PaintCanvas();
  // The background of the plain hint window.
  TColor Color = clInfoBk;

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void Paint();
  // Places the window (screen coordinates, frame included).
  void SetBounds(const TRect& bounds);
  // Shows the window on top of all others without activating it (SetWindowPos with HWND_TOPMOST,
  // SWP_NOSIZE, SWP_NOACTIVATE and SWP_SHOWWINDOW).
  void ShowOnTop();
  void paintEvent(QPaintEvent* event) override;

 private:
  void HandleNeeded();
  [[nodiscard]] bool Bordered() const { return (FStyle & WS_BORDER) != 0; }

  AnsiString FCaption;
  QImage FImage;
  TCanvas FCanvas{&FImage};
  unsigned FStyle = 0;
  bool FHandleCreated = false;
};

// What the application hands the show-hint event before a hint shows.
struct THintInfo {
  QWidget* HintControl = nullptr;
  TPoint HintPos;  // screen position of the hint window's top-left corner
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;  // in the control's coordinates
  TPoint CursorPos;  // in the control's coordinates
  int HideTimeout = 0;
  AnsiString HintStr;
};
using TShowHintEvent = std::function<void(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo)>;
// Makes the application's hint window.
using THintWindowClass = std::function<THintWindow*()>;

class TApplicationHints final : public QObject {
 public:
  // The application's hint handling, made at the first call and freed with the application.
  static TApplicationHints& Instance();
  ~TApplicationHints() override;

  // An empty class gives the hints back to the plain tool tips. A new class takes effect when the
  // hint window is made again (when ShowHint is switched on).
  void SetHintWindowClass(THintWindowClass windowClass);
  [[nodiscard]] bool HasHintWindowClass() const { return static_cast<bool>(FWindowClass); }
  // Switching hints off frees the hint window; switching them on makes one of the current class.
  [[nodiscard]] bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  [[nodiscard]] THintWindow* HintWindow() const { return FHintWindow; }

  TShowHintEvent OnShowHint;
  // Milliseconds before a hint shows; before the next one shows while one is on view; before it hides.
  int HintPause = 500;
  int HintShortPause = 50;
  int HintHidePause = 2500;

  // Hides the hint on view; it shows again only after the pointer moved to another control.
  void CancelHint();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TApplicationHints();
  void PointerOver(QWidget* widget);
  void ShowPendingHint();
  void HideHint();

  THintWindowClass FWindowClass;
  QPointer<THintWindow> FHintWindow;
  QPointer<QWidget> FHintControl;
  QTimer FShowTimer;
  QTimer FHideTimer;
  bool FShowHint = true;
};
