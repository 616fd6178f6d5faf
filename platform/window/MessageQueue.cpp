#include "MessageQueue.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <vector>

#include "Messages.h"

namespace {

struct PendingEvent {
  QPointer<QObject> receiver;
  std::unique_ptr<QEvent> event;
};

// Takes posted mouse-button events out of Qt's queue while sendPostedEvents delivers them.
class PendingMouseCollector final : public QObject {
 public:
  std::vector<PendingEvent> Events;

  bool eventFilter(QObject* receiver, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
        Events.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
        return true;
      default:
        return false;
    }
  }
};

std::vector<PendingEvent> TakePendingMouseEvents() {
  PendingMouseCollector collector;
  QCoreApplication::instance()->installEventFilter(&collector);
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
    QCoreApplication::sendPostedEvents(nullptr, type);
  QCoreApplication::instance()->removeEventFilter(&collector);
  return std::move(collector.Events);
}

// Puts the events back in the order they were taken: presses, double clicks, then releases.
void RequeuePendingMouseEvents(std::vector<PendingEvent>& events) {
  for (PendingEvent& pending : events)
    if (pending.receiver) QCoreApplication::postEvent(pending.receiver, pending.event.release());
}

HWND WindowOf(QObject* receiver) {
  if (auto* window = qobject_cast<QWindow*>(receiver)) {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->windowHandle() == window) return top;
    return window;
  }
  if (auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window();
  return receiver;
}

unsigned MessageOf(const QMouseEvent& event) {
  const int column = event.type() == QEvent::MouseButtonPress ? 0 : event.type() == QEvent::MouseButtonRelease ? 1 : 2;
  switch (event.button()) {
    case Qt::LeftButton:
      return WM_LBUTTONDOWN + static_cast<unsigned>(column);
    case Qt::RightButton:
      return WM_RBUTTONDOWN + static_cast<unsigned>(column);
    case Qt::MiddleButton:
      return WM_MBUTTONDOWN + static_cast<unsigned>(column);
    default:
      return WM_NULL;
  }
}

}  // namespace

bool PeekMessageA(TMsg& msg, HWND window, unsigned filterMin, unsigned filterMax, unsigned removeMsg) {
  if (!QCoreApplication::instance()) return false;
  std::vector<PendingEvent> events = TakePendingMouseEvents();
  bool found = false;
  for (auto it = events.begin(); it != events.end(); ++it) {
    const auto& mouse = static_cast<const QMouseEvent&>(*it->event);
    const unsigned number = MessageOf(mouse);
    const HWND target = WindowOf(it->receiver);
    if (window && target != window) continue;
    if ((filterMin != 0 || filterMax != 0) && (number < filterMin || number > filterMax)) continue;
    const QPoint local = mouse.position().toPoint();
    const QPoint global = mouse.globalPosition().toPoint();
    msg = TMsg{target,
               number,
               0,
               static_cast<std::intptr_t>((local.y() & 0xFFFF) << 16 | (local.x() & 0xFFFF)),
               {global.x(), global.y()}};
    if (removeMsg & PM_REMOVE) events.erase(it);
    found = true;
    break;
  }
  RequeuePendingMouseEvents(events);
  return found;
}
