#pragma once
// A look at the thread's pending input: the mouse-button messages that are queued for the
// program's windows but not yet delivered (such as the press Qt replays after a pop-up closes).

#include "Graphics.h"
#include "SysUtils.h"

struct TMsg {
  HWND hwnd = nullptr;  // the top-level widget the message is queued for
  unsigned message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  TPoint pt;  // screen coordinates
};

// Looks at the first pending mouse-button message for the window (nullptr: any window) whose number
// lies in filterMin .. filterMax (both 0: any). PM_REMOVE takes it out of the queue. Other kinds of
// pending messages are not seen.
[[nodiscard]] bool PeekMessageA(TMsg& msg, HWND window, unsigned filterMin, unsigned filterMax, unsigned removeMsg);
