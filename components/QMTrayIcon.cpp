#include "QMTrayIcon.h"

#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "Application.h"
#include "Menus.h"
#include "Tray.h"

namespace {

bool ShowApplicationValue = false;

// At program start the application window is hidden, so that it has no taskbar entry until a tray
// icon's ShowApplication shows it.
[[maybe_unused]] const bool UnitStarted = [] {
  ShowApplicationWindow(false);
  return true;
}();

}  // namespace

TQMTrayIcon::TQMTrayIcon(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
  FIcon->OnChange = [this] { UpdateIcon(); };
  FHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
}

TQMTrayIcon::~TQMTrayIcon() {
  SetVisible(false);
  DeallocateHWnd(FHandle);
  FIcon.reset();
}

void TQMTrayIcon::NotifyIcon(unsigned Message) {
  NOTIFYICONDATAA data;
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = FHandle;
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_USER;
  data.hIcon = FIcon->Handle() ? FIcon->Handle() : ApplicationIcon();
  const std::size_t length = std::min(FHint.size(), sizeof data.szTip - 1);
  std::memcpy(data.szTip, FHint.data(), length);
  data.szTip[length] = '\0';
  FHint = data.szTip;
  Shell_NotifyIconA(Message, &data);
}

void TQMTrayIcon::UpdateIcon() {
  NotifyIcon(NIM_MODIFY);
}

void TQMTrayIcon::SetHint(const AnsiString& Value) {
  if (Value == FHint) return;
  FHint = Value;
  UpdateIcon();
}

void TQMTrayIcon::SetIcon(const TIcon* Value) {
  FIcon->Assign(Value);
}

void TQMTrayIcon::SetPopupMenu(TPopupMenu* Value) {
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TQMTrayIcon::SetShowAtDesignTime(bool Value) {
  if (Value == FShowAtDesignTime) return;
  if (Designing() && FVisible) NotifyIcon(Value ? NIM_ADD : NIM_DELETE);
  FShowAtDesignTime = Value;
}

bool TQMTrayIcon::ShowApplication() const {
  return ShowApplicationValue;
}

void TQMTrayIcon::SetShowApplication(bool Value) {
  if (!Designing()) {
    SetApplicationShowMainForm(Value);
    ShowApplicationWindow(Value);
    ShowApplicationMainForm(Value);
    BringApplicationToFront();
  }
  ShowApplicationValue = Value;
}

void TQMTrayIcon::SetVisible(bool Value) {
  if (Value == FVisible) return;
  NotifyIcon(Value && (!Designing() || FShowAtDesignTime) ? NIM_ADD : NIM_DELETE);
  FVisible = Value;
}

void TQMTrayIcon::Loaded() {
  TComponent::Loaded();
  SetShowApplication(ShowApplicationValue);
}

void TQMTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TQMTrayIcon::WndProc(TMessage& Message) {
  if (Message.Msg != WM_USER) {
    Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  switch (Message.LParam) {
    case WM_MOUSEMOVE:
      MouseMove();
      break;
    case WM_LBUTTONDOWN:
      MouseDown(mbLeft);
      break;
    case WM_LBUTTONUP:
      MouseUp(mbLeft);
      break;
    case WM_LBUTTONDBLCLK:
      DblClick(mbLeft);
      break;
    case WM_RBUTTONDOWN:
      MouseDown(mbRight);
      break;
    case WM_RBUTTONUP:
      MouseUp(mbRight);
      break;
    case WM_RBUTTONDBLCLK:
      DblClick(mbRight);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(mbMiddle);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle);
      break;
    case WM_MBUTTONDBLCLK:
      DblClick(mbMiddle);
      break;
    default:
      break;
  }
}

void TQMTrayIcon::Click(TMouseButton Button) {
  bool defaultAction = true;
  if (OnClick) OnClick(this, Button, defaultAction);
  if (Button == mbRight && defaultAction) PopupAtCursor();
}

void TQMTrayIcon::DblClick(TMouseButton Button) {
  bool defaultAction = true;
  if (OnDoubleClick) OnDoubleClick(this, Button, defaultAction);
  if (Button == mbLeft && defaultAction) SetShowApplication(true);
}

void TQMTrayIcon::MouseDown(TMouseButton Button) {
  if (OnMouseDown) OnMouseDown(this, Button);
}

void TQMTrayIcon::MouseMove() {
  if (OnMouseMove) OnMouseMove(this);
}

void TQMTrayIcon::MouseUp(TMouseButton Button) {
  // A menu command may free the component, as "Save and Exit" ends the program.
  const QPointer<TQMTrayIcon> alive(this);
  Click(Button);
  if (alive && OnMouseUp) OnMouseUp(this, Button);
}

void TQMTrayIcon::PopupAtCursor() {
  if (!FPopupMenu) return;
  const QPoint cursor = QCursor::pos();
  FPopupMenu->Alignment = TPopupAlignment::paRight;
  // No SetForegroundWindow: a pop-up menu here closes on a click elsewhere by itself.
  const auto items = static_cast<int>(FPopupMenu->Menu()->actions().size());
  const QPointer<TQMTrayIcon> alive(this);
  FPopupMenu->Popup(cursor.x(), cursor.y() - MenuItemHeight() * items);
  if (alive) PostMessageA(FHandle, WM_NULL, 0, 0);
}
