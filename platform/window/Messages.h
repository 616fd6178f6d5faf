#pragma once
// Window messages as the units see them: a message record and the message numbers they use.

#include <cstdint>

struct TMessage {
  unsigned Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

enum : unsigned {
  WM_NULL = 0x0000,
  WM_DESTROY = 0x0002,
  WM_ACTIVATE = 0x0006,
  WM_CLOSE = 0x0010,
  WM_QUERYENDSESSION = 0x0011,
  WM_ENDSESSION = 0x0016,
  WM_NEXTDLGCTL = 0x0028,
  WM_SYSCOMMAND = 0x0112,
  WM_TIMER = 0x0113,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_RBUTTONDBLCLK = 0x0206,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_MBUTTONDBLCLK = 0x0209,
  WM_USER = 0x0400,
};

enum : unsigned {
  SC_SIZE = 0xF000,
  SC_MINIMIZE = 0xF020,
  SC_MAXIMIZE = 0xF030,
  SC_RESTORE = 0xF120,
  SC_CLOSE = 0xF060
};

// Window sizing: the limits query (LParam points at a MINMAXINFO), hit testing (its results for the
// eight sizing borders and corners run from HTLEFT to HTBOTTOMRIGHT) and the menu pop-up message.
enum : unsigned {
  WM_GETMINMAXINFO = 0x0024,
  WM_NCHITTEST = 0x0084,
  WM_INITMENUPOPUP = 0x0117,
  HTCLIENT = 1,
  HTLEFT = 10,
  HTBOTTOMRIGHT = 17,
};

// Mouse-key flags of a mouse message's WParam.
enum : unsigned { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };

// Window-side messages, notifications of the controls and the message-queue flags.
enum : unsigned {
  WM_PAINT = 0x000F,
  WM_QUIT = 0x0012,
  WM_ERASEBKGND = 0x0014,
  PM_NOREMOVE = 0x0000,
  PM_REMOVE = 0x0001,
  CM_BASE = 0xB000,
  CM_DIALOGCHAR = CM_BASE + 6,
  CM_VISIBLECHANGED = CM_BASE + 11,
  CM_ENABLEDCHANGED = CM_BASE + 12,
  CM_FONTCHANGED = CM_BASE + 14,
  CM_TEXTCHANGED = CM_BASE + 18,
  CM_MOUSEENTER = CM_BASE + 19,
  CM_MOUSELEAVE = CM_BASE + 20,
  CM_SYSCOLORCHANGE = CM_BASE + 36,
  // Sent to the controls of a glyph speed button's parent when a group member goes down or changes
  // its group settings: WParam the group, LParam the sending button.
  CM_VXBUTTONPRESSED = CM_BASE + 0x51,
};
