#pragma once
// Window placement over a widget's geometry and state; the screens' metrics behind a replaceable
// source; and the form properties the placement code reads (border style and icons, position,
// style, window state). A window's rectangle is its client area in desktop coordinates, without
// the window manager's frame: the frame is not known before the window is mapped, and the client
// area is what can be stored and put back exactly. Size limits are client sizes too.
//
// Where the platform does not let a program place its windows or read their positions (Wayland),
// only the size and the state of a placement are applied.

#include <QWidget>
#include <functional>
#include <vector>

#include "Controls.h"
#include "Graphics.h"
#include "SysUtils.h"

struct WINDOWPLACEMENT {
  unsigned length = 44;
  unsigned flags = 0;
  unsigned showCmd = 0;
  TPoint ptMinPosition;
  TPoint ptMaxPosition;
  TRect rcNormalPosition;
};

enum : unsigned { WPF_SETMINPOSITION = 1, WPF_RESTORETOMAXIMIZED = 2 };

enum : unsigned {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
  SW_SHOWNOACTIVATE = 4,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_SHOWMINNOACTIVE = 7,
  SW_SHOWNA = 8,
  SW_RESTORE = 9,
};

enum : int {
  SM_CXSCREEN = 0,
  SM_CYSCREEN = 1,
  SM_CXBORDER = 5,
  SM_CYBORDER = 6,
  SM_CXDLGFRAME = 7,
  SM_CYDLGFRAME = 8,
  SM_CXFRAME = 32,
  SM_CYFRAME = 33,
};

// The limits record of WM_GETMINMAXINFO.
struct MINMAXINFO {
  TPoint ptReserved;
  TPoint ptMaxSize;
  TPoint ptMaxPosition;
  TPoint ptMinTrackSize;
  TPoint ptMaxTrackSize;
};

struct TScreenInfo {
  int Width = 0;  // the primary screen, in pixels
  int Height = 0;
  int PixelsPerInch = 96;
  std::vector<TRect> Monitors;  // every screen's rectangle on the desktop
  bool CanPlace = true;         // windows can be placed and their positions read
};
using TScreenInfoSource = std::function<TScreenInfo()>;

// Replaces where the screens' metrics come from (tests) and returns the previous source; an empty
// source means the real screens.
TScreenInfoSource SetScreenInfoSource(TScreenInfoSource source);
[[nodiscard]] TScreenInfo ScreenInfo();

[[nodiscard]] int GetSystemMetrics(int index);
bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// Applies the normal rectangle, then the show command; the minimised and maximised positions are
// kept for the next GetWindowPlacement (the window manager places minimised and maximised windows).
bool SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
[[nodiscard]] bool IsWindowVisible(HWND window);
[[nodiscard]] bool IsIconic(HWND window);

// The window's rectangle: its client area.
[[nodiscard]] TRect WindowBounds(const QWidget* window);

// Asks the window for its size limits (WM_GETMINMAXINFO through its message procedures) and
// applies its tracking sizes. Only a subclassed window is asked; one that was asked before is
// asked again, so that limits that were taken away are lifted.
void QueryWindowLimits(QWidget* window);

[[nodiscard]] TBorderStyle FormBorderStyle(const QWidget* form);

[[nodiscard]] bool HasBorderIcon(const QWidget* form, TBorderIcon icon);
// Changing the title bar's buttons makes the native window anew; a visible form stays visible.
void SetBorderIcon(QWidget* form, TBorderIcon icon, bool on);

enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
[[nodiscard]] TPosition FormPosition(const QWidget* form);
void SetFormPosition(QWidget* form, TPosition position);

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
[[nodiscard]] TFormStyle FormStyle(const QWidget* form);

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
[[nodiscard]] TWindowState FormWindowState(const QWidget* form);
// Applies the state (at once when the form is visible, else when it is next shown).
void SetFormWindowState(QWidget* form, TWindowState state);
// Records the state for the form's next showing; a visible form is left as it is.
void RecordFormWindowState(QWidget* form, TWindowState state);
