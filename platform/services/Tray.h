#pragma once
// The shell's notification area over QSystemTrayIcon, and what a tray icon needs around it: the
// hidden utility windows that receive its notifications as messages, icons, and the application
// window that the tray hides and shows.

#include <QSystemTrayIcon>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Messages.h"
#include "WindowProc.h"

class QIcon;
class QWidget;

using HICON = const QIcon*;

// The icons' notifications go to utility windows (AllocateHWnd, WindowProc.h).

// An icon image; Handle is null while it is empty. OnChange runs after every change.
class TIcon final : public TPersistent {
 public:
  TIcon();
  ~TIcon() override;
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;

  // Copies another icon; nil empties.
  void Assign(const TPersistent* Source) override;
  [[nodiscard]] AnsiString ClassName() const override { return "TIcon"; }
  void SetImage(const QIcon& image);
  [[nodiscard]] HICON Handle() const;
  [[nodiscard]] bool Empty() const { return Handle() == nullptr; }

  std::function<void()> OnChange;

 private:
  std::unique_ptr<QIcon> FImage;
};

// The application's icon: its window icon, or a plain default when it has none.
[[nodiscard]] HICON ApplicationIcon();

enum : unsigned { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2 };
enum : unsigned { NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4 };

struct NOTIFYICONDATAA {
  std::uint32_t cbSize = 0;
  HWND hWnd = nullptr;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  HICON hIcon = nullptr;
  char szTip[64] = {};
};
// The record's size in the shell's first version, which is what the units pass as cbSize.
constexpr std::uint32_t NOTIFYICONDATAA_V1_SIZE = 88;

// Adds, modifies or deletes the icon (hWnd, uID), taking the fields named in uFlags. The shell
// refuses (false) to add an icon twice, to modify or delete one it does not show, and requests for
// a window that is not a live utility window. A desktop without a notification area accepts the
// requests and shows nothing. With NIF_MESSAGE the desktop's clicks reach hWnd as posted
// uCallbackMessage messages with uID in wParam and the mouse message in lParam.
bool Shell_NotifyIconA(unsigned message, const NOTIFYICONDATAA* data);

// The desktop reports activations, not presses and releases: the mouse messages that stand for
// one (a click is a press and a release; the second press of a double click is WM_xBUTTONDBLCLK).
[[nodiscard]] std::vector<unsigned> ShellMouseMessages(QSystemTrayIcon::ActivationReason reason);

// Tests: a listener that sees every request before it is carried out; returns the previous one.
using ShellNotifyListener = std::function<void(unsigned message, const NOTIFYICONDATAA& data)>;
ShellNotifyListener SetShellNotifyListener(ShellNotifyListener listener);
// Tests: the desktop icon shown for (window, id), or null.
[[nodiscard]] QSystemTrayIcon* ShellNotifyIconObject(HWND window, unsigned id);

// The height of one item of a pop-up menu (the platform's SM_CYMENUSIZE).
[[nodiscard]] int MenuItemHeight();
