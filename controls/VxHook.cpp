#include "VxHook.h"

#include <algorithm>
#include <memory>

#include "Controls.h"
#include "Dialogs.h"
#include "Forms.h"

namespace {

std::unique_ptr<THookList>& HookListSlot() {
  static std::unique_ptr<THookList> list;
  return list;
}

bool Designing(const QWidget* control) {
  const auto* c = dynamic_cast<const TControl*>(control);
  return c && c->Designing();
}

}  // namespace

THookList* GlobalHookList() {
  if (!HookListSlot()) HookListSlot() = std::make_unique<THookList>();
  return HookListSlot().get();
}

THookList* ExistingHookList() {
  return HookListSlot().get();
}

void FreeGlobalHookList() {
  HookListSlot().reset();
}

// ---- THookList ----

THookList::THookList() : FWindow(AllocateHWnd([this](TMessage& message) { UtilityWndProc(message); })) {}

THookList::~THookList() {
  while (!Items.empty()) delete Items.back();  // each removes itself
  DeallocateHWnd(FWindow);
}

TControlHook* THookList::FindFor(const QWidget* control) const {
  if (!control) return nullptr;
  for (TControlHook* item : Items)
    if (item->Target() == control) return item;
  return nullptr;
}

TControlHook* THookList::ObtainFor(QWidget* control) {
  if (TControlHook* found = FindFor(control)) return found;
  auto* item = new TControlHook;
  Items.push_back(item);
  try {
    item->BindControl(control);
  } catch (...) {
    delete item;
    throw;
  }
  return item;
}

void THookList::Remove(TControlHook* item) {
  std::erase(Items, item);
}

bool THookList::Contains(const TControlHook* item) const {
  return std::find(Items.begin(), Items.end(), item) != Items.end();
}

void THookList::UtilityWndProc(TMessage& message) {
  try {
    auto* item = reinterpret_cast<TControlHook*>(message.LParam);
    switch (message.Msg) {
      case RehookMessage:
        // Only while hooks remain: an idle control hook never takes the window again.
        if (Contains(item) && !item->Hooks().empty()) item->InstallWndProc();
        break;
      case ReleaseHookMessage:
        if (Contains(item) && item->Hooks().empty()) delete item;
        break;
      default:
        message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
        break;
    }
  } catch (const std::exception& error) {
    HandleException(error);
  }
}

// ---- TControlHook ----

TControlHook::TControlHook() : FHookProc(MakeObjectInstance([this](TMessage& message) { HookWndProc(message); })) {}

TControlHook::~TControlHook() {
  FClosing = true;
  if (THookList* list = ExistingHookList()) list->Remove(this);
  while (!FHooks.empty()) DetachHook(FHooks.back());
  FTarget = nullptr;
  FreeObjectInstance(FHookProc);
}

bool TControlHook::TargetGoing() const {
  return !FTarget;
}

void TControlHook::AttachHook(TVxWindowHook* hook) {
  if (std::find(FHooks.begin(), FHooks.end(), hook) == FHooks.end()) {
    FHooks.push_back(hook);
    hook->FBinding = this;
    BindControl(hook->FChosenControl);
  }
  InstallWndProc();
}

void TControlHook::DetachHook(TVxWindowHook* hook) {
  hook->FBinding = nullptr;
  std::erase(FHooks, hook);
  if (FHooks.empty()) RestoreWndProc();
}

void TControlHook::BindControl(QWidget* control) {
  if (control == FTarget) return;
  RestoreWndProc();
  FTarget = control;
  if (!FHooks.empty()) InstallWndProc();
}

void TControlHook::InstallWndProc() {
  if (!FTarget || Designing(FTarget) || FClosing) return;
  HandleNeeded(FTarget);
  const auto current = static_cast<WNDPROC>(GetWindowLongA(FTarget, GWL_WNDPROC));
  if (current == FHookProc) return;
  FSavedProc = current;
  SetWindowLongA(FTarget, GWL_WNDPROC, FHookProc);
}

void TControlHook::RestoreWndProc() {
  if (FTarget && FSavedProc != 0 && HandleAllocated(FTarget)) {
    if (GetWindowLongA(FTarget, GWL_WNDPROC) == FHookProc) {
      SetWindowLongA(FTarget, GWL_WNDPROC, FSavedProc);
    } else {
      // Somebody subclassed the window on top of us: take our procedure out from under them, so
      // that their calls reach the procedure we replaced, and use a fresh one from now on.
      FreeObjectInstance(FHookProc);
      FHookProc = MakeObjectInstance([this](TMessage& message) { HookWndProc(message); });
    }
  }
  FSavedProc = 0;
}

void TControlHook::DispatchToHooks(TPhase phase, TMessage& message, bool& handled) {
  if (FHooks.empty() || !FTarget || FClosing || TargetGoing()) return;
  for (std::size_t i = FHooks.size(); i-- > 0;) {
    if (i >= FHooks.size()) continue;  // a handler took hooks out
    TVxWindowHook* hook = FHooks[i];
    CallHandlingExceptions([&] {
      if (phase == TPhase::Before)
        hook->FireBefore(message, handled);
      else
        hook->FireAfter(message, handled);
    });
    if (handled) break;
  }
}

void TControlHook::HookWndProc(TMessage& message) {
  if (!FTarget) return;
  QWidget* target = FTarget;
  bool handled = false;
  if (message.Msg != WM_QUIT) DispatchToHooks(TPhase::Before, message, handled);
  if (!handled || message.Msg == WM_DESTROY) {
    try {
      message.Result = FSavedProc != 0
                           ? CallWindowProcA(FSavedProc, target, message.Msg, message.WParam, message.LParam)
                           : DefWindowProcA(target, message.Msg, message.WParam, message.LParam);
    } catch (...) {
      DispatchToHooks(TPhase::After, message, handled);
      throw;
    }
    DispatchToHooks(TPhase::After, message, handled);
  }
  if (message.Msg == WM_DESTROY) {
    RestoreWndProc();
    if (THookList* list = ExistingHookList(); list && !FClosing && !TargetGoing())
      PostMessageA(list->Window(), RehookMessage, 0, reinterpret_cast<std::intptr_t>(this));
  }
}

// ---- TVxWindowHook ----

TVxWindowHook::TVxWindowHook(QObject* AOwner) : TComponent(dynamic_cast<TComponent*>(AOwner)) {
  if (!parent()) setParent(AOwner);
}

TVxWindowHook::~TVxWindowHook() {
  ComponentState |= csDestroying;
  SetActive(false);
  SetWinControl(nullptr);
}

void TVxWindowHook::SetActive(bool value) {
  if (value == FActive) return;
  if (value)
    Attach();
  else
    ReleaseIfIdle(Detach());
}

void TVxWindowHook::ReleaseIfIdle(TControlHook* former) {
  // Freed once the message is served: the control hook may be on the stack right now.
  if (former && former->Hooks().empty())
    if (THookList* list = ExistingHookList())
      PostMessageA(list->Window(), ReleaseHookMessage, 0, reinterpret_cast<std::intptr_t>(former));
}

void TVxWindowHook::Attach() {
  if (FChosenControl && !HasState(csDestroying)) GlobalHookList()->ObtainFor(FChosenControl)->AttachHook(this);
  FActive = true;
}

TControlHook* TVxWindowHook::Detach() {
  TControlHook* former = FBinding;
  if (former) former->DetachHook(this);
  FActive = false;
  return former;
}

QWidget* TVxWindowHook::WinControl() const {
  return FBinding ? FBinding->Target() : FChosenControl.data();
}

void TVxWindowHook::SetWinControl(QWidget* value) {
  if (value == WinControl()) return;
  ChangeControl(value);
}

void TVxWindowHook::ChangeControl(QWidget* value) {
  const bool wasActive = FActive;
  TControlHook* former = Detach();
  FChosenControl = value;
  QObject::disconnect(FControlGone);
  if (value) FControlGone = QObject::connect(value, &QObject::destroyed, this, [this] { ChangeControl(nullptr); });
  ReleaseIfIdle(former);
  if (wasActive) Attach();
}

void TVxWindowHook::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  const QObject* control = WinControl();
  if ((control && control == AComponent) || AComponent == Owner() || !Owner()) SetWinControl(nullptr);
}

bool TVxWindowHook::HooksOwnerForm() const {
  const QWidget* control = WinControl();
  return control && control == parent() && dynamic_cast<const TForm*>(control);
}

bool TVxWindowHook::StoresWinControl() const {
  const QWidget* control = WinControl();
  return control && !dynamic_cast<const TForm*>(control);
}

bool TVxWindowHook::StoresIsForm(const TVxWindowHook* ancestor) const {
  return ancestor ? HooksOwnerForm() != ancestor->HooksOwnerForm() : HooksOwnerForm();
}

void TVxWindowHook::LoadIsForm(bool value) {
  if (auto* form = dynamic_cast<TForm*>(parent()); value && form) SetWinControl(form);
}

void TVxWindowHook::FireAfter(TMessage& message, bool& handled) {
  if (AfterMessage) AfterMessage(this, message, handled);
}

void TVxWindowHook::FireBefore(TMessage& message, bool& handled) {
  if (BeforeMessage) BeforeMessage(this, message, handled);
}
