#include "MessageQueue.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <vector>

#include "Messages.h"

namespace {

class PressCounter final : public QWidget {
 public:
  int Presses = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++Presses; }
};

void PostPress(QWidget& widget, QPoint local) {
  const QPoint global = widget.mapToGlobal(local);
  QCoreApplication::postEvent(&widget, new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton,
                                                       Qt::LeftButton, Qt::NoModifier));
}

// Records the order in which mouse buttons and other posted events arrive.
class EventRecorder final : public QWidget {
 public:
  std::vector<QEvent::Type> Seen;

 protected:
  bool event(QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::User:
        Seen.push_back(event->type());
        return true;
      default:
        return QWidget::event(event);
    }
  }
};

void PostButton(QWidget& widget, QEvent::Type type) {
  QCoreApplication::postEvent(&widget, new QMouseEvent(type, QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)),
                                                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
}

}  // namespace

TEST(MessageQueueTest, NothingPendingGivesFalse) {
  TMsg msg;
  EXPECT_FALSE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(MessageQueueTest, PeekWithoutRemovingLeavesThePressToBeDelivered) {
  PressCounter widget;
  widget.resize(40, 40);
  widget.show();
  PostPress(widget, QPoint(3, 4));
  TMsg msg;
  ASSERT_TRUE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<unsigned>(WM_LBUTTONDOWN));
  EXPECT_EQ(msg.hwnd, &widget);
  const QPoint global = widget.mapToGlobal(QPoint(3, 4));
  EXPECT_EQ(msg.pt, (TPoint{global.x(), global.y()}));
  EXPECT_EQ(widget.Presses, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(widget.Presses, 1);
}

TEST(MessageQueueTest, RemovingTakesThePressAwayAndFiltersApply) {
  PressCounter widget;
  widget.show();
  PostPress(widget, QPoint(1, 1));
  TMsg msg;
  EXPECT_FALSE(PeekMessageA(msg, nullptr, WM_RBUTTONDOWN, WM_RBUTTONDOWN, PM_REMOVE));
  QWidget other;
  EXPECT_FALSE(PeekMessageA(msg, &other, 0, 0, PM_REMOVE));
  EXPECT_TRUE(PeekMessageA(msg, &widget, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
  QCoreApplication::processEvents();
  EXPECT_EQ(widget.Presses, 0);
}

TEST(MessageQueueTest, PeekingLeavesTheQueueInItsOrder) {
  EventRecorder widget;
  widget.show();
  QCoreApplication::processEvents();
  PostButton(widget, QEvent::MouseButtonPress);
  PostButton(widget, QEvent::MouseButtonRelease);
  QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
  PostButton(widget, QEvent::MouseButtonPress);
  PostButton(widget, QEvent::MouseButtonRelease);
  TMsg msg;
  ASSERT_TRUE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE));
  QCoreApplication::processEvents();
  const std::vector<QEvent::Type> expected{QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::User,
                                           QEvent::MouseButtonPress, QEvent::MouseButtonRelease};
  EXPECT_EQ(widget.Seen, expected);
}

TEST(MessageQueueTest, RemovingTakesOnlyTheFirstMatchingMessage) {
  EventRecorder widget;
  widget.show();
  QCoreApplication::processEvents();
  PostButton(widget, QEvent::MouseButtonPress);
  PostButton(widget, QEvent::MouseButtonRelease);
  QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
  PostButton(widget, QEvent::MouseButtonRelease);
  TMsg msg;
  ASSERT_TRUE(PeekMessageA(msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
  QCoreApplication::processEvents();
  const std::vector<QEvent::Type> expected{QEvent::MouseButtonPress, QEvent::User, QEvent::MouseButtonRelease};
  EXPECT_EQ(widget.Seen, expected);
}
