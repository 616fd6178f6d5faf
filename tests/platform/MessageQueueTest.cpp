#include "MessageQueue.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <vector>

#include "Menus.h"
#include "Messages.h"
#include "WindowProc.h"

namespace {

// Records the order in which mouse buttons and other posted events arrive.
class EventRecorder final : public QWidget {
 public:
  EventRecorder() {
    setGeometry(40, 40, 80, 60);
    show();
  }
  std::vector<QEvent::Type> Seen;

  [[nodiscard]] int Count(QEvent::Type type) const {
    return static_cast<int>(std::count(Seen.begin(), Seen.end(), type));
  }

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

// Posts a mouse-button event as the window system would, at a point of the widget.
bool PostButton(QWidget& widget, QEvent::Type type, QPoint local = {2, 2}, Qt::MouseButton button = Qt::LeftButton) {
  const QPoint global = widget.mapToGlobal(local);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  return PostMouseButton(QMouseEvent(type, local, global, button, held, Qt::NoModifier));
}

// Runs the thread's main loop until a quit ends it, or gives -99 after a generous while.
int RunUntilQuit() {
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(-99); });
  guard.start(5000);
  return QCoreApplication::exec();
}

}  // namespace

TEST(MessageQueueTest, NothingPendingGivesFalse) {
  TMsg msg;
  EXPECT_FALSE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(MessageQueueTest, PeekWithoutRemovingLeavesThePressToBeDelivered) {
  EventRecorder widget;
  ASSERT_TRUE(PostButton(widget, QEvent::MouseButtonPress, {3, 4}));
  TMsg msg;
  ASSERT_TRUE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<unsigned>(WM_LBUTTONDOWN));
  EXPECT_EQ(msg.hwnd, &widget);
  EXPECT_EQ(msg.wParam, static_cast<std::uintptr_t>(MK_LBUTTON));
  EXPECT_EQ(msg.lParam, 4 << 16 | 3);
  const QPoint global = widget.mapToGlobal(QPoint(3, 4));
  EXPECT_EQ(msg.pt, (TPoint{global.x(), global.y()}));
  EXPECT_TRUE(widget.Seen.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(widget.Count(QEvent::MouseButtonPress), 1);
  EXPECT_FALSE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(MessageQueueTest, RemovingTakesThePressAwayAndFiltersApply) {
  EventRecorder widget;
  auto* child = new QWidget(&widget);
  ASSERT_TRUE(PostButton(widget, QEvent::MouseButtonPress));
  TMsg msg;
  EXPECT_FALSE(PeekMessageA(msg, nullptr, WM_RBUTTONDOWN, WM_RBUTTONDOWN, PM_REMOVE));
  QWidget other;
  EXPECT_FALSE(PeekMessageA(msg, &other, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(msg, child, 0, 0, PM_REMOVE));
  EXPECT_TRUE(PeekMessageA(msg, &widget, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
  QCoreApplication::processEvents();
  EXPECT_TRUE(widget.Seen.empty());
}

TEST(MessageQueueTest, PostedMessagesAreQueuedForTheWindowAndItsParents) {
  int delivered = 0;
  const HWND utility = AllocateHWnd([&](TMessage& message) { delivered += message.Msg == WM_USER + 1; });
  ASSERT_TRUE(PostMessageA(utility, WM_USER + 1, 5, 6));
  TMsg msg;
  ASSERT_TRUE(PeekMessageA(msg, utility, 0, 0, PM_NOREMOVE));
  EXPECT_EQ((std::vector<std::uintptr_t>{msg.message, msg.wParam, static_cast<std::uintptr_t>(msg.lParam)}),
            (std::vector<std::uintptr_t>{WM_USER + 1, 5, 6}));
  EXPECT_TRUE(PeekMessageA(msg, utility, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, 0);

  QWidget parent;
  auto* child = new QWidget(&parent);
  ASSERT_TRUE(PostMessageA(child, WM_USER + 2));
  EXPECT_TRUE(PeekMessageA(msg, &parent, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.hwnd, child);
  delete child;
  EXPECT_FALSE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));  // gone with its window

  ASSERT_TRUE(PostMessageA(utility, WM_USER + 1));
  DeallocateHWnd(utility);
  EXPECT_FALSE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, 0);
}

TEST(MessageQueueTest, PeekingLeavesTheQueueInItsOrder) {
  EventRecorder widget;
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

TEST(MessageQueueTest, APendingQuitIsFoundWhateverTheFilterAndEndsTheLoopWithItsCode) {
  EventRecorder widget;
  PostQuitMessage(3);
  TMsg msg;
  ASSERT_TRUE(PeekMessageA(msg, &widget, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<unsigned>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(RunUntilQuit(), 3);
  EXPECT_FALSE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(MessageQueueTest, APressThatClosesAMenuIsPendingWhenThePopupReturnsAndThenDelivered) {
  EventRecorder widget;
  QApplication::setActiveWindow(&widget);
  TPopupMenu menu;
  menu.Add("First");
  bool closedByPress = false;
  QTimer::singleShot(0, &widget, [&] {
    QWindow* popup = menu.Menu()->windowHandle();
    ASSERT_NE(popup, nullptr);
    const QPoint onWidget = widget.mapToGlobal(QPoint(70, 50));
    QTest::mousePress(popup, Qt::LeftButton, {}, popup->mapFromGlobal(onWidget));
    closedByPress = !menu.Menu()->isVisible();
  });
  QTimer::singleShot(3000, &widget, [&] { menu.Menu()->close(); });  // never hang
  const QPoint below = widget.mapToGlobal(QPoint(0, widget.height()));
  menu.Popup(below.x(), below.y());
  ASSERT_TRUE(closedByPress);
  EXPECT_TRUE(widget.Seen.empty());
  TMsg msg;
  ASSERT_TRUE(PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<unsigned>(WM_LBUTTONDOWN));
  EXPECT_EQ(msg.hwnd, &widget);
  const QPoint global = widget.mapToGlobal(QPoint(70, 50));
  EXPECT_EQ(msg.pt, (TPoint{global.x(), global.y()}));
  QCoreApplication::processEvents();
  EXPECT_EQ(widget.Count(QEvent::MouseButtonPress), 1);
  QTest::qWait(20);
  EXPECT_EQ(widget.Count(QEvent::MouseButtonPress), 1);  // Qt replays nothing on its own
}
