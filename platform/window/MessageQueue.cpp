#include "MessageQueue.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QMutex>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <deque>

#include "Messages.h"

namespace {

struct Entry {
  quint64 Id = 0;
  TMsg Msg;
  bool Quit = false;
  bool HasTarget = false;
  QPointer<QObject> Target;  // the message is dropped once its target is gone
  std::function<void()> Deliver;
};

const QEvent::Type kQueued = static_cast<QEvent::Type>(QEvent::registerEventType());

class TQueuedEvent final : public QEvent {
 public:
  explicit TQueuedEvent(quint64 id) : QEvent(kQueued), Id(id) {}
  quint64 Id;
};

class TDispatcher;

struct Queue {
  QMutex Lock;
  std::deque<Entry> Entries;  // in the order posted
  quint64 NextId = 1;
  QPointer<TDispatcher> Dispatcher;
};

Queue& TheQueue() {
  static Queue queue;
  return queue;
}

// Delivers the queued messages; lives as long as the application, whose pending events go with it.
class TDispatcher final : public QObject {
 public:
  ~TDispatcher() override {
    const QMutexLocker locker(&TheQueue().Lock);
    TheQueue().Entries.clear();
  }

  bool event(QEvent* event) override {
    if (event->type() != kQueued) return QObject::event(event);
    const quint64 id = static_cast<TQueuedEvent*>(event)->Id;
    std::function<void()> deliver;
    {
      Queue& queue = TheQueue();
      const QMutexLocker locker(&queue.Lock);
      const auto it =
          std::find_if(queue.Entries.begin(), queue.Entries.end(), [id](const Entry& entry) { return entry.Id == id; });
      if (it == queue.Entries.end()) return true;  // taken out by PeekMessageA
      if (!it->HasTarget || it->Target) deliver = std::move(it->Deliver);
      queue.Entries.erase(it);
    }
    if (deliver) deliver();
    return true;
  }
};

TDispatcher* DispatcherOf(Queue& queue) {
  if (!queue.Dispatcher) {
    QCoreApplication* application = QCoreApplication::instance();
    auto* dispatcher = new TDispatcher;
    if (dispatcher->thread() != application->thread()) dispatcher->moveToThread(application->thread());
    dispatcher->setParent(application);
    queue.Dispatcher = dispatcher;
  }
  return queue.Dispatcher;
}

bool Enqueue(Entry entry) {
  if (!QCoreApplication::instance()) return false;
  Queue& queue = TheQueue();
  const QMutexLocker locker(&queue.Lock);
  entry.Id = queue.NextId++;
  QCoreApplication::postEvent(DispatcherOf(queue), new TQueuedEvent(entry.Id));
  queue.Entries.push_back(std::move(entry));
  return true;
}

// The message's window is the filter window or lies inside it.
bool IsFor(const Entry& entry, HWND window) {
  if (entry.Msg.hwnd == window) return true;
  for (const QWidget* w = qobject_cast<const QWidget*>(entry.Target.data()); w; w = w->parentWidget())
    if (w == window) return true;
  return false;
}

bool Matches(const Entry& entry, HWND window, unsigned filterMin, unsigned filterMax) {
  if (entry.Quit) return true;
  if (entry.HasTarget && !entry.Target) return false;
  if (window && !IsFor(entry, window)) return false;
  return (filterMin == 0 && filterMax == 0) || (entry.Msg.message >= filterMin && entry.Msg.message <= filterMax);
}

unsigned ButtonMessage(const QMouseEvent& event) {
  const QEvent::Type type = event.type();
  const unsigned column = type == QEvent::MouseButtonPress      ? 0
                          : type == QEvent::MouseButtonRelease  ? 1
                          : type == QEvent::MouseButtonDblClick ? 2
                                                                : 3;
  if (column == 3) return WM_NULL;
  switch (event.button()) {
    case Qt::LeftButton:
      return WM_LBUTTONDOWN + column;
    case Qt::RightButton:
      return WM_RBUTTONDOWN + column;
    case Qt::MiddleButton:
      return WM_MBUTTONDOWN + column;
    default:
      return WM_NULL;
  }
}

std::uintptr_t KeyFlags(const QMouseEvent& event) {
  std::uintptr_t flags = 0;
  if (event.buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
  if (event.buttons() & Qt::RightButton) flags |= MK_RBUTTON;
  if (event.buttons() & Qt::MiddleButton) flags |= MK_MBUTTON;
  if (event.modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (event.modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

// Gives the keyboard focus to the clicked widget, or the nearest one above it that takes it on a
// click, as a click from the window system does.
void FocusOnClick(QWidget* clicked) {
  for (QWidget* w = clicked; w; w = w->parentWidget()) {
    if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
      w->setFocus(Qt::MouseFocusReason);
      return;
    }
    if (w->isWindow()) return;
  }
}

}  // namespace

bool PeekMessageA(TMsg& msg, HWND window, unsigned filterMin, unsigned filterMax, unsigned removeMsg) {
  Queue& queue = TheQueue();
  const QMutexLocker locker(&queue.Lock);
  const auto it = std::find_if(queue.Entries.begin(), queue.Entries.end(),
                               [&](const Entry& entry) { return Matches(entry, window, filterMin, filterMax); });
  if (it == queue.Entries.end()) return false;
  msg = it->Msg;
  if (removeMsg & PM_REMOVE) queue.Entries.erase(it);
  return true;
}

void PostQuitMessage(int exitCode) {
  Entry entry;
  entry.Msg.message = WM_QUIT;
  entry.Msg.wParam = static_cast<std::uintptr_t>(exitCode);
  entry.Quit = true;
  entry.Deliver = [exitCode] { QCoreApplication::exit(exitCode); };
  if (QCoreApplication::instance()) {
    const QPoint cursor = QCursor::pos();
    entry.Msg.pt = {cursor.x(), cursor.y()};
  }
  (void)Enqueue(std::move(entry));
}

bool PostQueuedMessage(const TMsg& msg, QObject* target, std::function<void()> deliver) {
  Entry entry;
  entry.Msg = msg;
  entry.HasTarget = target != nullptr;
  entry.Target = target;
  entry.Deliver = std::move(deliver);
  return Enqueue(std::move(entry));
}

void DropQueuedMessages(HWND window) {
  Queue& queue = TheQueue();
  const QMutexLocker locker(&queue.Lock);
  std::erase_if(queue.Entries, [window](const Entry& entry) { return !entry.Quit && entry.Msg.hwnd == window; });
}

bool PostMouseButton(const QMouseEvent& event) {
  const unsigned number = ButtonMessage(event);
  const QPoint global = event.globalPosition().toPoint();
  QWidget* under = number == WM_NULL ? nullptr : QApplication::widgetAt(global);
  QWidget* top = under ? under->window() : nullptr;
  QWindow* window = top ? top->windowHandle() : nullptr;
  if (!window) return false;
  if (event.type() != QEvent::MouseButtonRelease && !top->isActiveWindow()) {
    top->activateWindow();
    top->raise();
  }
  const QPoint local = window->mapFromGlobal(global);
  const TMsg msg{top,
                 number,
                 KeyFlags(event),
                 static_cast<std::intptr_t>((local.y() & 0xFFFF) << 16 | (local.x() & 0xFFFF)),
                 {global.x(), global.y()}};
  const QPointer<QWidget> clicked(under);
  return PostQueuedMessage(msg, window,
                           [window, clicked, type = event.type(), local, global, button = event.button(),
                            buttons = event.buttons(), modifiers = event.modifiers()] {
                             if (clicked) FocusOnClick(clicked);
                             QMouseEvent press(type, local, local, global, button, buttons, modifiers);
                             QCoreApplication::sendEvent(window, &press);
                           });
}
