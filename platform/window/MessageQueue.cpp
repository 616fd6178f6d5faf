#include "MessageQueue.h"

#include <QtCore/private/qcoreapplication_p.h>
#include <QtCore/private/qthread_p.h>
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include "Messages.h"

namespace {

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
  // Qt offers no public look at its queue of posted events that leaves the queue as it is, so this
  // reads the thread's list of posted events in place, under its lock.
  QThreadData* data = QThreadData::get2(QThread::currentThread());
  QEvent* found = nullptr;
  {
    const QMutexLocker locker(&data->postEventList.mutex);
    for (qsizetype i = data->postEventList.startOffset; i < data->postEventList.size(); ++i) {
      const QPostEvent& posted = data->postEventList.at(i);
      if (!posted.event || !posted.receiver) continue;
      const QEvent::Type type = posted.event->type();
      if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        continue;
      const auto& mouse = static_cast<const QMouseEvent&>(*posted.event);
      const unsigned number = MessageOf(mouse);
      const HWND target = WindowOf(posted.receiver);
      if (number == WM_NULL || (window && target != window)) continue;
      if ((filterMin != 0 || filterMax != 0) && (number < filterMin || number > filterMax)) continue;
      const QPoint local = mouse.position().toPoint();
      const QPoint global = mouse.globalPosition().toPoint();
      msg = TMsg{target,
                 number,
                 0,
                 static_cast<std::intptr_t>((local.y() & 0xFFFF) << 16 | (local.x() & 0xFFFF)),
                 {global.x(), global.y()}};
      found = posted.event;
      break;
    }
  }
  if (found && (removeMsg & PM_REMOVE)) QCoreApplicationPrivate::removePostedEvent(found);
  return found != nullptr;
}
