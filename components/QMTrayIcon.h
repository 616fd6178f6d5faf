#pragma once
// A non-visual component that puts one icon with a tip into the desktop's notification area,
// turns its mouse notifications into events, pops up its menu on a right click, and shows or
// hides the whole application through ShowApplication.

#include <functional>
#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "Messages.h"

class TIcon;
class TPopupMenu;

// DefaultAction is true on entry; clearing it suppresses the built-in action.
using TTrayClickEvent = std::function<void(QObject* Sender, TMouseButton Button, bool& DefaultAction)>;
using TTrayMouseButtonEvent = std::function<void(QObject* Sender, TMouseButton Button)>;

class TQMTrayIcon : public TComponent {
 public:
  explicit TQMTrayIcon(TComponent* AOwner = nullptr);
  ~TQMTrayIcon() override;

  // The properties, in the order a window sets them.
  [[nodiscard]] const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  [[nodiscard]] TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(const TIcon* Value);
  [[nodiscard]] TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  [[nodiscard]] bool ShowAtDesignTime() const { return FShowAtDesignTime; }
  void SetShowAtDesignTime(bool Value);
  // One value for the whole program, shared by every instance.
  [[nodiscard]] bool ShowApplication() const;
  void SetShowApplication(bool Value);
  [[nodiscard]] bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  TTrayClickEvent OnClick;
  TTrayClickEvent OnDoubleClick;
  TTrayMouseButtonEvent OnMouseDown;
  TNotifyEvent OnMouseMove;
  TTrayMouseButtonEvent OnMouseUp;

  // Called by the window once its properties are set: applies ShowApplication again.
  void Loaded() override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The hidden window's procedure: the shell's WM_USER notifications carry the mouse message.
  virtual void WndProc(TMessage& Message);
  virtual void Click(TMouseButton Button);
  virtual void DblClick(TMouseButton Button);
  virtual void MouseDown(TMouseButton Button);
  virtual void MouseMove();
  virtual void MouseUp(TMouseButton Button);
  // Pops PopupMenu up above the cursor, right-aligned to it.
  void PopupAtCursor();

 private:
  void NotifyIcon(unsigned Message);
  void UpdateIcon();
  [[nodiscard]] bool Designing() const { return HasState(csDesigning); }

  AnsiString FHint;
  std::unique_ptr<TIcon> FIcon;
  TPopupMenu* FPopupMenu = nullptr;
  bool FShowAtDesignTime = false;
  bool FVisible = false;
  HWND FHandle = nullptr;
};
