#include "Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <algorithm>
#include <cmath>

#include "Messages.h"
#include "WindowProc.h"

namespace {

TScreenInfoSource& Source() {
  static TScreenInfoSource source;
  return source;
}

TScreenInfo RealScreens() {
  TScreenInfo info;
  info.CanPlace = !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    info.Width = primary->geometry().width();
    info.Height = primary->geometry().height();
    info.PixelsPerInch = static_cast<int>(std::lround(primary->logicalDotsPerInch()));
  }
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect r = screen->geometry();
    info.Monitors.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  }
  return info;
}

QWidget* Widget(HWND window) {
  return static_cast<QWidget*>(window);
}

TRect ToTRect(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

TPoint PointProperty(const QWidget* window, const char* name) {
  const QVariant value = window->property(name);
  if (!value.isValid()) return {-1, -1};
  const QPoint p = value.toPoint();
  return {p.x(), p.y()};
}

constexpr Qt::WindowFlags kButtonHints = Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                                         Qt::WindowContextHelpButtonHint;

Qt::WindowType IconHint(TBorderIcon icon) {
  switch (icon) {
    case biSystemMenu:
      return Qt::WindowSystemMenuHint;
    case biMinimize:
      return Qt::WindowMinimizeButtonHint;
    case biMaximize:
      return Qt::WindowMaximizeButtonHint;
    case biHelp:
      return Qt::WindowContextHelpButtonHint;
  }
  return Qt::Widget;
}

// The title bar's buttons as hints: the explicit ones, or what the window manager shows by default.
Qt::WindowFlags ButtonHints(const QWidget* form) {
  const Qt::WindowFlags flags = form->windowFlags();
  if (flags & (kButtonHints | Qt::CustomizeWindowHint)) return flags & kButtonHints;
  const Qt::WindowType type = form->windowType();
  if (type == Qt::Dialog || type == Qt::Tool)
    return Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  return Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
         Qt::WindowCloseButtonHint;
}

bool FixedSize(const QWidget* form) {
  return form->minimumSize() == form->maximumSize();
}

}  // namespace

TScreenInfoSource SetScreenInfoSource(TScreenInfoSource source) {
  return std::exchange(Source(), std::move(source));
}

TScreenInfo ScreenInfo() {
  return Source() ? Source()() : RealScreens();
}

int GetSystemMetrics(int index) {
  // The frame sizes are those of the classic window frame; the window manager draws its own.
  switch (index) {
    case SM_CXSCREEN:
      return ScreenInfo().Width;
    case SM_CYSCREEN:
      return ScreenInfo().Height;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    default:
      return 0;
  }
}

TRect WindowBounds(const QWidget* window) {
  return ToTRect(window->geometry());
}

bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  const QWidget* w = Widget(window);
  if (!w || !placement) return false;
  const Qt::WindowStates state = w->windowState();
  placement->flags = w->property("vabPlacementFlags").toUInt() & WPF_SETMINPOSITION;
  if ((state & Qt::WindowMinimized) && (state & Qt::WindowMaximized)) placement->flags |= WPF_RESTORETOMAXIMIZED;
  placement->showCmd = state & Qt::WindowMinimized   ? SW_SHOWMINIMIZED
                       : state & Qt::WindowMaximized ? SW_SHOWMAXIMIZED
                                                     : SW_SHOWNORMAL;
  placement->ptMinPosition = PointProperty(w, "vabMinPosition");
  placement->ptMaxPosition = PointProperty(w, "vabMaxPosition");
  QRect normal = w->isWindow() ? w->normalGeometry() : w->geometry();
  if (normal.isEmpty()) normal = w->geometry();
  placement->rcNormalPosition = ToTRect(normal);
  return true;
}

bool SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
  QWidget* w = Widget(window);
  if (!w || !placement) return false;
  w->setProperty("vabPlacementFlags", placement->flags);
  w->setProperty("vabMinPosition", QPoint(placement->ptMinPosition.X, placement->ptMinPosition.Y));
  w->setProperty("vabMaxPosition", QPoint(placement->ptMaxPosition.X, placement->ptMaxPosition.Y));

  const Qt::WindowStates state = w->windowState();
  if (state & (Qt::WindowMinimized | Qt::WindowMaximized))
    w->setWindowState(state & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  const QRect bounds = placement->rcNormalPosition.ToQRect();
  if (ScreenInfo().CanPlace)
    w->setGeometry(bounds);
  else
    w->resize(bounds.size());

  switch (placement->showCmd) {
    case SW_HIDE:
      w->hide();
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      w->setWindowState((w->windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized);
      w->show();
      break;
    case SW_SHOWMAXIMIZED:
      w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
      w->show();
      break;
    case SW_SHOW:
      w->setWindowState(state);
      w->show();
      break;
    default:  // normal, shown
      w->show();
      break;
  }
  return true;
}

bool IsWindowVisible(HWND window) {
  return window && Widget(window)->isVisible();
}

bool IsIconic(HWND window) {
  return window && Widget(window)->isMinimized();
}

void QueryWindowLimits(QWidget* window) {
  if (!window || (!WindowSubclassed(window) && !window->property("vabOwnMinimum").isValid())) return;
  if (!window->property("vabOwnMinimum").isValid()) {
    window->setProperty("vabOwnMinimum", window->minimumSize());
    window->setProperty("vabOwnMaximum", window->maximumSize());
  }
  const QSize ownMin = window->property("vabOwnMinimum").toSize();
  const QSize ownMax = window->property("vabOwnMaximum").toSize();
  const TScreenInfo screen = ScreenInfo();
  MINMAXINFO info;
  info.ptMaxSize = {screen.Width, screen.Height};
  info.ptMinTrackSize = {ownMin.width(), ownMin.height()};
  info.ptMaxTrackSize = {ownMax.width(), ownMax.height()};
  const MINMAXINFO offered = info;
  PerformMessage(window, WM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&info));
  // A size left as offered is the window's own limit.
  const auto size = [](int given, int offer, int own) {
    return given == offer ? own : std::clamp(given, 0, QWIDGETSIZE_MAX);
  };
  window->setMinimumSize(size(info.ptMinTrackSize.X, offered.ptMinTrackSize.X, ownMin.width()),
                         size(info.ptMinTrackSize.Y, offered.ptMinTrackSize.Y, ownMin.height()));
  window->setMaximumSize(size(info.ptMaxTrackSize.X, offered.ptMaxTrackSize.X, ownMax.width()),
                         size(info.ptMaxTrackSize.Y, offered.ptMaxTrackSize.Y, ownMax.height()));
}

TBorderStyle FormBorderStyle(const QWidget* form) {
  if (form->windowFlags() & Qt::FramelessWindowHint) return bsNone;
  const Qt::WindowType type = form->windowType();
  if (type == Qt::Tool) return FixedSize(form) ? bsToolWindow : bsSizeToolWin;
  if (!FixedSize(form)) return bsSizeable;
  return type == Qt::Dialog ? bsDialog : bsSingle;
}

bool HasBorderIcon(const QWidget* form, TBorderIcon icon) {
  return (ButtonHints(form) & IconHint(icon)) != 0;
}

void SetBorderIcon(QWidget* form, TBorderIcon icon, bool on) {
  if (HasBorderIcon(form, icon) == on) return;
  Qt::WindowFlags hints = ButtonHints(form);
  hints.setFlag(IconHint(icon), on);
  const bool visible = form->isVisible();
  form->setWindowFlags((form->windowFlags() & ~kButtonHints) | Qt::CustomizeWindowHint | hints);
  if (visible) form->show();
}

TPosition FormPosition(const QWidget* form) {
  const QVariant value = form->property("vabPosition");
  return value.isValid() ? static_cast<TPosition>(value.toInt()) : poDesigned;
}

void SetFormPosition(QWidget* form, TPosition position) {
  form->setProperty("vabPosition", static_cast<int>(position));
}

TFormStyle FormStyle(const QWidget* form) {
  return form->windowFlags() & Qt::WindowStaysOnTopHint ? fsStayOnTop : fsNormal;
}

TWindowState FormWindowState(const QWidget* form) {
  const Qt::WindowStates state = form->windowState();
  if (state & Qt::WindowMinimized) return wsMinimized;
  if (state & Qt::WindowMaximized) return wsMaximized;
  return wsNormal;
}

namespace {

Qt::WindowStates WithState(Qt::WindowStates current, TWindowState state) {
  current &= ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == wsMinimized) current |= Qt::WindowMinimized;
  if (state == wsMaximized) current |= Qt::WindowMaximized;
  return current;
}

}  // namespace

void SetFormWindowState(QWidget* form, TWindowState state) {
  if (FormWindowState(form) != state) form->setWindowState(WithState(form->windowState(), state));
}

void RecordFormWindowState(QWidget* form, TWindowState state) {
  if (!form->isVisible()) SetFormWindowState(form, state);
}
