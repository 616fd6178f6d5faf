#include "WindowProc.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <algorithm>
#include <set>
#include <unordered_map>
#include <vector>

#include "MessageQueue.h"

namespace {

struct Procedure {
  TWndMethod Method;
  bool Own = false;     // a window's own procedure
  WNDPROC Forward = 0;  // set once taken out of a chain: calls go on to this one
  bool Released = false;
};

struct WindowChain {
  std::vector<WNDPROC> Procs;  // [0] is the window's own procedure; back() is the current one
};

class TUtilityWindow final : public QObject {
 public:
  explicit TUtilityWindow(TWndMethod method) : Method(std::move(method)) {}

  std::intptr_t Dispatch(TMessage& message) {
    // A copy: the procedure may deallocate its own window.
    const TWndMethod method = Method;
    if (method) method(message);
    return message.Result;
  }

  TWndMethod Method;
};

struct Registry {
  std::unordered_map<WNDPROC, Procedure> Procs;
  std::unordered_map<const QObject*, WindowChain> Windows;
  std::set<HWND> Utilities;
  std::function<void(HWND)> UtilityEnded;
  WNDPROC Next = 0x10001;
};

Registry& State() {
  static Registry registry;
  return registry;
}

void ClassProc(QWidget* window, TMessage& message) {
  if (auto* own = dynamic_cast<TWindowBase*>(window)) own->ClassWndProc(message);
}

WindowChain* FindChain(HWND window) {
  auto it = State().Windows.find(static_cast<const QObject*>(window));
  return it == State().Windows.end() ? nullptr : &it->second;
}

// The chain of a widget, made with its own procedure on first use.
WindowChain& ChainOf(QWidget* window) {
  Registry& state = State();
  auto [it, added] = state.Windows.try_emplace(window);
  if (added) {
    const WNDPROC own = state.Next += 2;
    state.Procs[own] = Procedure{[window](TMessage& message) { ClassProc(window, message); }, true, 0, false};
    it->second.Procs.push_back(own);
    QObject::connect(window, &QObject::destroyed, [window, own] {
      State().Windows.erase(window);
      State().Procs.erase(own);
    });
  }
  return it->second;
}

// A released procedure stands for the one it forwards to.
WNDPROC Resolve(WNDPROC proc) {
  const Registry& state = State();
  for (auto it = state.Procs.find(proc); it != state.Procs.end() && it->second.Released; it = state.Procs.find(proc))
    proc = it->second.Forward;
  return proc;
}

TUtilityWindow* FindUtility(HWND window) {
  return State().Utilities.contains(window) ? static_cast<TUtilityWindow*>(window) : nullptr;
}

// A live widget, found without touching the pointer.
bool IsWidget(HWND window) {
  if (FindChain(window)) return true;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  const QWidgetList widgets = QApplication::allWidgets();
  return std::find(widgets.begin(), widgets.end(), static_cast<QWidget*>(window)) != widgets.end();
}

}  // namespace

WNDPROC MakeObjectInstance(TWndMethod method) {
  Registry& state = State();
  const WNDPROC proc = state.Next += 2;
  state.Procs[proc] = Procedure{std::move(method), false, 0, false};
  return proc;
}

void FreeObjectInstance(WNDPROC proc) {
  Registry& state = State();
  auto it = state.Procs.find(proc);
  if (it == state.Procs.end() || it->second.Own || it->second.Released) return;
  for (auto& [window, chain] : state.Windows) {
    auto at = std::find(chain.Procs.begin(), chain.Procs.end(), proc);
    if (at == chain.Procs.end() || at == chain.Procs.begin()) continue;
    // Still held: whoever calls it reaches the procedure below it from now on.
    it->second = Procedure{{}, false, *(at - 1), true};
    chain.Procs.erase(at);
    return;
  }
  state.Procs.erase(it);
}

std::intptr_t GetWindowLongA(HWND window, int index) {
  if (index != GWL_WNDPROC || !window) return 0;
  if (const WindowChain* chain = FindChain(window)) return chain->Procs.back();
  if (!IsWidget(window)) return 0;
  return ChainOf(static_cast<QWidget*>(window)).Procs.back();
}

std::intptr_t SetWindowLongA(HWND window, int index, std::intptr_t value) {
  value = Resolve(value);
  if (index != GWL_WNDPROC || !window || !State().Procs.contains(value)) return 0;
  if (!IsWidget(window)) return 0;
  WindowChain& chain = ChainOf(static_cast<QWidget*>(window));
  const WNDPROC previous = chain.Procs.back();
  if (auto at = std::find(chain.Procs.begin(), chain.Procs.end(), value); at != chain.Procs.end())
    chain.Procs.erase(at + 1, chain.Procs.end());
  else
    chain.Procs.push_back(value);
  return previous;
}

std::intptr_t CallWindowProcA(WNDPROC proc, HWND window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  TMessage message{msg, wParam, lParam, 0};
  Registry& state = State();
  const auto it = state.Procs.find(Resolve(proc));
  if (it == state.Procs.end()) return IsWidget(window) ? DefWindowProcA(window, msg, wParam, lParam) : 0;
  const TWndMethod method = it->second.Method;  // the procedure may be freed while it runs
  method(message);
  return message.Result;
}

std::intptr_t SendMessageA(HWND window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (TUtilityWindow* utility = FindUtility(window)) {
    TMessage message{msg, wParam, lParam, 0};
    return utility->Dispatch(message);
  }
  return window && IsWidget(window) ? PerformMessage(static_cast<QWidget*>(window), msg, wParam, lParam) : 0;
}

std::intptr_t PerformMessage(QWidget* window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  const WindowChain* chain = FindChain(window);
  if (!chain || chain->Procs.size() == 1) {
    TMessage message{msg, wParam, lParam, 0};
    ClassProc(window, message);
    return message.Result;
  }
  return CallWindowProcA(chain->Procs.back(), window, msg, wParam, lParam);
}

bool WindowSubclassed(HWND window) {
  const WindowChain* chain = FindChain(window);
  return chain && chain->Procs.size() > 1;
}

std::intptr_t DefWindowProcA(HWND window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  TMessage message{msg, wParam, lParam, 0};
  if (window && !FindUtility(window) && IsWidget(window)) ClassProc(static_cast<QWidget*>(window), message);
  return message.Result;
}

bool PostMessageA(HWND window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (!window || !QCoreApplication::instance()) return false;
  const QPoint cursor = QCursor::pos();
  const TMsg queued{window, msg, wParam, lParam, {cursor.x(), cursor.y()}};
  if (TUtilityWindow* utility = FindUtility(window))
    return PostQueuedMessage(queued, utility, [window, msg, wParam, lParam] {
      TMessage message{msg, wParam, lParam, 0};
      if (TUtilityWindow* live = FindUtility(window)) live->Dispatch(message);
    });
  if (!IsWidget(window)) return false;
  auto* widget = static_cast<QWidget*>(window);
  return PostQueuedMessage(queued, widget,
                           [widget, msg, wParam, lParam] { PerformMessage(widget, msg, wParam, lParam); });
}

HWND AllocateHWnd(TWndMethod method) {
  auto* window = new TUtilityWindow(std::move(method));
  State().Utilities.insert(window);
  return window;
}

void DeallocateHWnd(HWND window) {
  TUtilityWindow* utility = FindUtility(window);
  if (!utility) return;
  State().Utilities.erase(window);
  DropQueuedMessages(window);
  if (const std::function<void(HWND)> ended = State().UtilityEnded) ended(window);
  utility->Method = nullptr;
  // Deferred: the window may be deallocated from inside its own procedure.
  if (QCoreApplication::instance())
    utility->deleteLater();
  else
    delete utility;
}

QObject* UtilityWindowObject(HWND window) {
  return FindUtility(window);
}

void SetUtilityWindowEndListener(std::function<void(HWND)> listener) {
  State().UtilityEnded = std::move(listener);
}

bool HandleAllocated(const QWidget* window) {
  return window && window->testAttribute(Qt::WA_WState_Created);
}

void HandleNeeded(QWidget* window) {
  if (!window || HandleAllocated(window)) return;
  window->window()->winId();
  if (!HandleAllocated(window)) window->winId();
}

void NativeWindowDestroyed(QWidget* window) {
  if (!FindChain(window)) return;
  PerformMessage(window, WM_DESTROY, 0, 0);
  if (WindowChain* chain = FindChain(window)) chain->Procs.resize(1);
}

std::intptr_t TWindowBase::Perform(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  return PerformMessage(this, msg, wParam, lParam);
}

void TWindowBase::PostMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  PostMessageA(static_cast<QWidget*>(this), msg, wParam, lParam);
}

bool TWindowBase::event(QEvent* event) {
  if (event->type() == QEvent::WinIdChange && internalWinId() == 0) NativeWindowDestroyed(this);
  return QWidget::event(event);
}
