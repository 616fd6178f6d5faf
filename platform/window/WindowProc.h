#pragma once
// Window procedures: each window (a widget) has a chain of message procedures, its class's own at
// the bottom. Perform, the messages the platform makes of Qt events and posted messages all enter
// at the top. SetWindowLongA with GWL_WNDPROC puts a procedure on top (or, given one already in
// the chain, makes it the top again), CallWindowProcA passes a message on to the procedure below.
// A procedure made by MakeObjectInstance and freed while a window still holds it is taken out of
// that chain: whoever still calls it reaches the procedure below it.
//
// When a window's native window goes (it is destroyed or made anew), WM_DESTROY passes through the
// chain and the window starts afresh with its own procedure alone.
//
// TWindowBase is the window the chain knows: forms and controls derive from it, and its WndProc is
// the procedure at the bottom of the chain. Other widgets have a chain too, with nothing at its bottom.

#include <QWidget>
#include <cstdint>
#include <functional>

#include "Messages.h"
#include "SysUtils.h"

using WNDPROC = std::intptr_t;  // a procedure's handle; 0 is none
using TWndMethod = std::function<void(TMessage&)>;

enum : int { GWL_WNDPROC = -4 };

// A procedure that runs method; free it with FreeObjectInstance.
[[nodiscard]] WNDPROC MakeObjectInstance(TWndMethod method);
void FreeObjectInstance(WNDPROC proc);

// The window's current procedure (GWL_WNDPROC; other indexes give 0).
[[nodiscard]] std::intptr_t GetWindowLongA(HWND window, int index);
// Sets the window's procedure and returns the previous one.
std::intptr_t SetWindowLongA(HWND window, int index, std::intptr_t value);
// Runs proc for the window's message and returns its result. An unknown procedure is the window's
// own.
std::intptr_t CallWindowProcA(WNDPROC proc, HWND window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
// Sends the message through the window's chain and returns its result.
std::intptr_t SendMessageA(HWND window, unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
// Another procedure than the window's own is in place.
[[nodiscard]] bool WindowSubclassed(HWND window);
// Runs the window's own procedure alone (the class's message handling).
std::intptr_t DefWindowProcA(HWND window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

// Queues a message for a window's chain or a utility window in the thread's queue (MessageQueue.h).
// False when there is no such window.
bool PostMessageA(HWND window, unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

// Utility windows: invisible windows that only receive messages. Posted messages are delivered
// through the event loop, modal loops included; DeallocateHWnd ends one (pending messages are
// dropped), also from inside its own procedure.
[[nodiscard]] HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);
// The object behind a live utility window (it goes once the window ends), else none.
[[nodiscard]] QObject* UtilityWindowObject(HWND window);
// Runs as each utility window ends (the tray takes the window's icons away).
void SetUtilityWindowEndListener(std::function<void(HWND)> listener);

// The widget's native window exists.
[[nodiscard]] bool HandleAllocated(const QWidget* window);
// Creates the widget's native window when it has none.
void HandleNeeded(QWidget* window);

// For the window classes: sends the message through the widget's chain and returns its result.
std::intptr_t PerformMessage(QWidget* window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
// For the window classes: the native window of the widget went. Sends WM_DESTROY through the chain,
// then leaves the window with its own procedure alone.
void NativeWindowDestroyed(QWidget* window);

// A window with its own message procedure: the base of the forms and the controls.
class TWindowBase : public QWidget {
 public:
  explicit TWindowBase(QWidget* parent = nullptr) : QWidget(parent) {}

  // Sends a message through the window's message procedures and returns its result.
  std::intptr_t Perform(unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  // Queues a message for the window's message procedures, in the thread's queue of posted messages.
  void PostMessage(unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  // The window's own message procedure, at the bottom of the chain.
  void ClassWndProc(TMessage& message) { WndProc(message); }

 protected:
  // The window's own message handling; by default a message does nothing.
  virtual void WndProc(TMessage& /*message*/) {}

  bool event(QEvent* event) override;
};
