#pragma once
// The thread's queue of posted messages: what PostMessageA and PostQuitMessage post, and the mouse
// press the platform replays after a pop-up menu closed. Each message is delivered through the event
// loop (modal loops included) in the order it was posted, among Qt's own posted events; until then
// PeekMessageA can look at it or take it out.

#include <functional>

#include "Graphics.h"
#include "SysUtils.h"

class QMouseEvent;
class QObject;

struct TMsg {
  HWND hwnd = nullptr;  // the window the message is queued for; none for the quit
  unsigned message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  TPoint pt;  // screen coordinates of the cursor when it was posted
};

// Looks at the first pending message for the window or one of its children (nullptr: any window)
// whose number lies in filterMin .. filterMax (both 0: any). A pending quit is found whatever the
// filter. PM_REMOVE takes the message out of the queue, so that it is never delivered.
[[nodiscard]] bool PeekMessageA(TMsg& msg, HWND window, unsigned filterMin, unsigned filterMax, unsigned removeMsg);

// Queues a quit: when it is delivered, every event loop of the thread ends with exitCode.
void PostQuitMessage(int exitCode);

// For the platform: queues msg for target; deliver runs when it comes out of the queue, unless target
// has gone by then (none: no such check). False without an application.
bool PostQueuedMessage(const TMsg& msg, QObject* target, std::function<void()> deliver);
// For the platform: drops the pending messages of a window that ends.
void DropQueuedMessages(HWND window);

// For the platform: queues a mouse-button event (press, release, double click) at the event's screen
// point for the window under that point, as the window system would deliver it. False when no
// window of the program lies there.
bool PostMouseButton(const QMouseEvent& event);
