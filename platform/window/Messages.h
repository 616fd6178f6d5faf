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

// Window sizing: the limits query (LParam points at a MINMAXINFO), the results of hit testing
// (WM_NCHITTEST) for the eight sizing borders and corners, HTLEFT to HTBOTTOMRIGHT, and the menu
// pop-up message.
enum : unsigned {
  WM_GETMINMAXINFO = 0x0024,
  WM_INITMENUPOPUP = 0x0117,
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

// The list box window: styles, messages, notifications, owner drawing and the messages around it.
enum : unsigned {
  WS_POPUP = 0x80000000u,
  WS_BORDER = 0x00800000,
  WS_VSCROLL = 0x00200000,
  WS_HSCROLL = 0x00100000,
  WS_EX_CLIENTEDGE = 0x00000200,
  LBS_NOTIFY = 0x0001,
  LBS_SORT = 0x0002,
  LBS_MULTIPLESEL = 0x0008,
  LBS_OWNERDRAWFIXED = 0x0010,
  LBS_OWNERDRAWVARIABLE = 0x0020,
  LBS_HASSTRINGS = 0x0040,
  LBS_USETABSTOPS = 0x0080,
  LBS_NOINTEGRALHEIGHT = 0x0100,
  LBS_MULTICOLUMN = 0x0200,
  LBS_EXTENDEDSEL = 0x0800,
  WM_SIZE = 0x0005,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_SETREDRAW = 0x000B,
  WM_DRAWITEM = 0x002B,
  WM_MEASUREITEM = 0x002C,
  WM_SETFONT = 0x0030,
  WM_NCHITTEST = 0x0084,
  WM_KEYDOWN = 0x0100,
  WM_CHAR = 0x0102,
  WM_COMMAND = 0x0111,
  WM_HSCROLL = 0x0114,
  WM_VSCROLL = 0x0115,
  LB_ADDSTRING = 0x0180,
  LB_INSERTSTRING = 0x0181,
  LB_DELETESTRING = 0x0182,
  LB_RESETCONTENT = 0x0184,
  LB_SETSEL = 0x0185,
  LB_SETCURSEL = 0x0186,
  LB_GETSEL = 0x0187,
  LB_GETCURSEL = 0x0188,
  LB_GETTEXT = 0x0189,
  LB_GETTEXTLEN = 0x018A,
  LB_GETCOUNT = 0x018B,
  LB_GETTOPINDEX = 0x018E,
  LB_GETSELCOUNT = 0x0190,
  LB_SETTABSTOPS = 0x0192,
  LB_GETHORIZONTALEXTENT = 0x0193,
  LB_SETHORIZONTALEXTENT = 0x0194,
  LB_SETCOLUMNWIDTH = 0x0195,
  LB_SETTOPINDEX = 0x0197,
  LB_GETITEMRECT = 0x0198,
  LB_GETITEMDATA = 0x0199,
  LB_SETITEMDATA = 0x019A,
  LB_SETCARETINDEX = 0x019E,
  LB_GETCARETINDEX = 0x019F,
  LB_SETITEMHEIGHT = 0x01A0,
  LB_GETITEMHEIGHT = 0x01A1,
  LBN_SELCHANGE = 1,
  LBN_DBLCLK = 2,
  ODT_LISTBOX = 2,
  ODA_DRAWENTIRE = 1,
  ODS_SELECTED = 0x0001,
  ODS_DISABLED = 0x0004,
  ODS_FOCUS = 0x0010,
  SB_HORZ = 0,
  SB_VERT = 1,
  SB_TOP = 6,
  HTCLIENT = 1,
  CM_CTL3DCHANGED = CM_BASE + 16,
  CN_BASE = 0xBC00,
  CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
  CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
  CN_COMMAND = CN_BASE + WM_COMMAND,
};
inline constexpr std::intptr_t LB_ERR = -1;
inline constexpr std::intptr_t LB_ERRSPACE = -2;
