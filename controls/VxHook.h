#pragma once
// Window hooks: components that watch, change or swallow the messages of any window without its
// co-operation. However many hooks watch one window, the window gets one replacement procedure
// (a TControlHook) with the hooks chained behind it; when the window's native window is made anew,
// the replacement is put back through a deferred message.

#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "Classes.h"
#include "Messages.h"
#include "WindowProc.h"

class TVxWindowHook;

using THookMessageEvent = std::function<void(QObject* Sender, TMessage& Msg, bool& Handled)>;

// The replacement procedure of one window and the hooks attached to it, last attached first.
class TControlHook final {
 public:
  TControlHook();
  ~TControlHook();
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;

  enum class TPhase { Before, After };

  void AttachHook(TVxWindowHook* hook);
  void DetachHook(TVxWindowHook* hook);
  void BindControl(QWidget* control);
  void InstallWndProc();
  void RestoreWndProc();
  void DispatchToHooks(TPhase phase, TMessage& message, bool& handled);
  void HookWndProc(TMessage& message);

  [[nodiscard]] QWidget* Target() const { return FTarget; }
  [[nodiscard]] WNDPROC HookProc() const { return FHookProc; }
  [[nodiscard]] WNDPROC SavedProc() const { return FSavedProc; }
  [[nodiscard]] const std::vector<TVxWindowHook*>& Hooks() const { return FHooks; }

 private:
  [[nodiscard]] bool TargetGoing() const;

  QPointer<QWidget> FTarget;
  WNDPROC FHookProc;
  WNDPROC FSavedProc = 0;
  std::vector<TVxWindowHook*> FHooks;
  bool FClosing = false;
};

// The control hooks of the program, with a hidden window that serves the deferred re-hook and
// release messages.
class THookList final {
 public:
  THookList();
  ~THookList();
  THookList(const THookList&) = delete;
  THookList& operator=(const THookList&) = delete;

  [[nodiscard]] TControlHook* FindFor(const QWidget* control) const;
  TControlHook* ObtainFor(QWidget* control);
  void Remove(TControlHook* item);
  [[nodiscard]] bool Contains(const TControlHook* item) const;
  [[nodiscard]] std::size_t Count() const { return Items.size(); }
  [[nodiscard]] HWND Window() const { return FWindow; }

 private:
  void UtilityWndProc(TMessage& message);

  std::vector<TControlHook*> Items;
  HWND FWindow;
};

// The list, made on first demand.
THookList* GlobalHookList();
// The list if it exists, else none.
THookList* ExistingHookList();
// Frees the list and every control hook in it (at program end).
void FreeGlobalHookList();

enum : unsigned { RehookMessage = 0xB052, ReleaseHookMessage = 0xB053 };

// The published properties are Qt properties. A form's own window is never written as a WinControl
// reference: "IsForm" stands for it (StoresWinControl and StoresIsForm say what a writer keeps).
class TVxWindowHook : public TComponent {
  Q_OBJECT
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(QWidget* WinControl READ WinControl WRITE SetWinControl)
  Q_PROPERTY(bool IsForm READ HooksOwnerForm WRITE LoadIsForm)

 public:
  // The owner is a component, or the form that the hook goes with.
  explicit TVxWindowHook(QObject* AOwner = nullptr);
  ~TVxWindowHook() override;

  [[nodiscard]] bool Active() const { return FActive; }
  void SetActive(bool value);
  [[nodiscard]] QWidget* WinControl() const;
  void SetWinControl(QWidget* value);
  [[nodiscard]] TControlHook* Binding() const { return FBinding; }

  // The hooked window is the form that owns the hook.
  [[nodiscard]] bool HooksOwnerForm() const;
  // WinControl is written only for a window that is not a form.
  [[nodiscard]] bool StoresWinControl() const;
  // "IsForm" is written when it is True, or, against an ancestor's hook, when it differs from it.
  [[nodiscard]] bool StoresIsForm(const TVxWindowHook* ancestor = nullptr) const;
  // True hooks the owner when the owner is a form.
  void LoadIsForm(bool value);

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

  virtual void FireAfter(TMessage& message, bool& handled);
  virtual void FireBefore(TMessage& message, bool& handled);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TControlHook;
  void Attach();
  TControlHook* Detach();
  void ChangeControl(QWidget* value);
  static void ReleaseIfIdle(TControlHook* former);

  bool FActive = true;
  QPointer<QWidget> FChosenControl;
  TControlHook* FBinding = nullptr;
  QMetaObject::Connection FControlGone;
};
