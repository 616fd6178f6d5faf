#pragma once
// Telephony: the line API (lineInitialize ... lineShutdown with its LINE_ callbacks) over
// ModemManager's voice calls on the system D-Bus. The devices are the modems that offer voice
// calls; without a bus or without ModemManager there are none. Callbacks arrive on the thread that
// called lineInitialize, through its event loop (modal loops included). Every D-Bus call is
// bounded by a short timeout, and the bus is opened on a worker thread: a bus that has not answered
// within a second counts as none.

#include <cstdint>
#include <optional>
#include <string_view>

#include "SysUtils.h"

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using HLINEAPP = DWORD;
using HLINE = DWORD;
using HCALL = DWORD;
using HINSTANCE = void*;
using LINECALLBACK = void (*)(DWORD hDevice, DWORD dwMessage, DWORD dwInstance, DWORD dwParam1, DWORD dwParam2,
                              DWORD dwParam3);

// Messages of the line callback.
enum : DWORD { LINE_CALLSTATE = 2, LINE_REPLY = 12 };

enum : DWORD {
  LINECALLSTATE_IDLE = 0x1,
  LINECALLSTATE_DIALING = 0x10,
  LINECALLSTATE_BUSY = 0x40,
  LINECALLSTATE_CONNECTED = 0x100,
  LINECALLSTATE_PROCEEDING = 0x200,
  LINECALLSTATE_DISCONNECTED = 0x4000,
};

enum : DWORD { LINEDISCONNECTMODE_NORMAL = 0x1, LINEDISCONNECTMODE_UNKNOWN = 0x2, LINEDISCONNECTMODE_BUSY = 0x20 };

enum : DWORD {
  LINEBEARERMODE_VOICE = 0x1,
  LINEMEDIAMODE_INTERACTIVEVOICE = 0x4,
  LINEMEDIAMODE_DATAMODEM = 0x10,
  LINECALLPRIVILEGE_NONE = 0x1,
  LINEMAPPER = 0xFFFFFFFF,
};

// Results: negative values are failures.
constexpr LONG kLineError(DWORD code) {
  return static_cast<LONG>(code);
}
inline constexpr LONG LINEERR_BADDEVICEID = kLineError(0x80000002);
inline constexpr LONG LINEERR_INVALADDRESS = kLineError(0x80000007);
inline constexpr LONG LINEERR_INCOMPATIBLEAPIVERSION = kLineError(0x8000000C);
inline constexpr LONG LINEERR_INVALAPPHANDLE = kLineError(0x80000015);
inline constexpr LONG LINEERR_INVALCALLHANDLE = kLineError(0x80000018);
inline constexpr LONG LINEERR_INVALLINEHANDLE = kLineError(0x8000002B);
inline constexpr LONG LINEERR_INVALPOINTER = kLineError(0x80000035);
inline constexpr LONG LINEERR_NODEVICE = kLineError(0x80000043);
inline constexpr LONG LINEERR_OPERATIONFAILED = kLineError(0x80000048);
inline constexpr LONG LINEERR_REINIT = kLineError(0x80000052);
inline constexpr LONG LINEERR_STRUCTURETOOSMALL = kLineError(0x8000004D);

// The call parameters of the platform's version 2.0: 176 bytes.
struct LINECALLPARAMS {
  DWORD dwTotalSize;
  DWORD dwBearerMode;
  DWORD dwMinRate;
  DWORD dwMaxRate;
  DWORD dwMediaMode;
  DWORD dwCallParamFlags;
  DWORD dwAddressMode;
  DWORD dwAddressID;
  DWORD dwRest[36];
};
static_assert(sizeof(LINECALLPARAMS) == 176);

struct LINEEXTENSIONID {
  DWORD dwExtensionID0;
  DWORD dwExtensionID1;
  DWORD dwExtensionID2;
  DWORD dwExtensionID3;
};

// The fixed part of the call information; variable parts (the application name) follow it in the
// caller's buffer of dwTotalSize bytes.
struct LINECALLINFO {
  DWORD dwTotalSize;
  DWORD dwNeededSize;
  DWORD dwUsedSize;
  HLINE hLine;
  DWORD dwLineDeviceID;
  DWORD dwAddressID;
  DWORD dwBearerMode;
  DWORD dwRate;
  DWORD dwMediaMode;
  DWORD dwCallStates;
  DWORD dwAppNameSize;
  DWORD dwAppNameOffset;
};

LONG lineInitialize(HLINEAPP* lphLineApp, HINSTANCE hInstance, LINECALLBACK lpfnCallback, const char* lpszAppName,
                    DWORD* lpdwNumDevs);
LONG lineShutdown(HLINEAPP hLineApp);
LONG lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPILowVersion, DWORD dwAPIHighVersion,
                             DWORD* lpdwAPIVersion, LINEEXTENSIONID* lpExtensionID);
// LINEMAPPER opens the first device.
LONG lineOpen(HLINEAPP hLineApp, DWORD dwDeviceID, HLINE* lphLine, DWORD dwAPIVersion, DWORD dwExtVersion,
              DWORD dwCallbackInstance, DWORD dwPrivileges, DWORD dwMediaModes, const LINECALLPARAMS* lpCallParams);
LONG lineClose(HLINE hLine);
// Places a call: waits, in a local event loop, until the modem has created it; returns the request's
// number, whose outcome (the start of the call) arrives as LINE_REPLY. A modem that refuses the call
// or does not answer within two seconds fails it with LINEERR_OPERATIONFAILED; the program's end
// during the wait fails it with LINEERR_REINIT. Numbers that DialableNumber refuses fail at once with
// LINEERR_INVALADDRESS. Call handles are never reused.
LONG lineMakeCall(HLINE hLine, HCALL* lphCall, const char* lpszDestAddress, DWORD dwCountryCode,
                  const LINECALLPARAMS* lpCallParams);
// Hangs the call up; returns the request's number (LINE_REPLY follows).
LONG lineDrop(HCALL hCall, const char* lpsUserUserInfo, DWORD dwSize);
LONG lineDeallocateCall(HCALL hCall);
LONG lineGetCallInfo(HCALL hCall, LINECALLINFO* lpCallInfo);
// There is no modem configuration dialog on this platform: shows a read-only box with the
// device's details (manufacturer, model, revision, state, own numbers).
LONG lineConfigDialog(DWORD dwDeviceID, HWND hwndOwner, const char* lpszDeviceClass);

// The number as the modem gets it: the visual separators (blank - ( ) . /) dropped; nullopt when
// anything but digits, a leading "+", "*" and "#" remains, or nothing does.
[[nodiscard]] std::optional<AnsiString> DialableNumber(std::string_view number);
