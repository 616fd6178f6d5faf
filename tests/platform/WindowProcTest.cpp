#include "WindowProc.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <string>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "MessageQueue.h"

namespace {

std::vector<std::string> gLog;

class LoggingControl final : public TControl {
 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg >= WM_USER) gLog.push_back("own");
    message.Result = 7;
  }
};

class LoggingForm final : public TForm {
 public:
  std::vector<unsigned> Messages;

 protected:
  void WndProc(TMessage& message) override {
    Messages.push_back(message.Msg);
    if (message.Msg >= WM_USER) gLog.push_back("own");
    TForm::WndProc(message);
  }
};

// A procedure that logs its name and passes the message on to the one it replaced.
struct Subclass {
  Subclass(HWND w, std::string name) : Window(w) {
    Proc = MakeObjectInstance([this, name](TMessage& m) {
      gLog.push_back(name);
      m.Result = CallWindowProcA(Previous, Window, m.Msg, m.WParam, m.LParam) + 1;
    });
    Previous = static_cast<WNDPROC>(SetWindowLongA(Window, GWL_WNDPROC, Proc));
  }
  HWND Window;
  WNDPROC Proc = 0;
  WNDPROC Previous = 0;
};

}  // namespace

TEST(WindowProcTest, PerformRunsTheChainTopFirstAndSettingTheOldProcedureBackRestoresIt) {
  LoggingControl control;
  const auto own = static_cast<WNDPROC>(GetWindowLongA(&control, GWL_WNDPROC));
  gLog.clear();
  Subclass a(&control, "a");
  Subclass b(&control, "b");
  EXPECT_EQ(a.Previous, own);
  EXPECT_EQ(GetWindowLongA(&control, GWL_WNDPROC), b.Proc);
  EXPECT_EQ(control.Perform(WM_USER), 9);
  EXPECT_EQ(SendMessageA(&control, WM_USER), 9);
  EXPECT_EQ(gLog, (std::vector<std::string>{"b", "a", "own", "b", "a", "own"}));

  gLog.clear();
  EXPECT_EQ(SetWindowLongA(&control, GWL_WNDPROC, own), b.Proc);  // both are out
  EXPECT_EQ(control.Perform(WM_USER), 7);
  EXPECT_EQ(DefWindowProcA(&control, WM_USER, 0, 0), 7);
  EXPECT_EQ(gLog, (std::vector<std::string>{"own", "own"}));
  FreeObjectInstance(a.Proc);
  FreeObjectInstance(b.Proc);
}

TEST(WindowProcTest, AProcedureFreedInTheMiddleIsPassedOverByTheOneAboveIt) {
  LoggingControl control;
  Subclass a(&control, "a");
  Subclass b(&control, "b");
  FreeObjectInstance(a.Proc);
  gLog.clear();
  EXPECT_EQ(control.Perform(WM_USER), 8);  // b still calls a's handle: it reaches the own procedure
  EXPECT_EQ(gLog, (std::vector<std::string>{"b", "own"}));
  // b going back to what it replaced (a's handle) leaves the window with its own procedure.
  SetWindowLongA(&control, GWL_WNDPROC, b.Previous);
  gLog.clear();
  EXPECT_EQ(control.Perform(WM_USER), 7);
  EXPECT_EQ(gLog, std::vector<std::string>{"own"});
  FreeObjectInstance(b.Proc);
}

TEST(WindowProcTest, PostedMessagesGoThroughTheChainAndOnlyToLiveWindows) {
  LoggingControl control;
  Subclass a(&control, "a");
  gLog.clear();
  EXPECT_TRUE(PostMessageA(&control, WM_USER));
  EXPECT_TRUE(gLog.empty());
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(gLog, (std::vector<std::string>{"a", "own"}));
  FreeObjectInstance(a.Proc);

  auto* gone = new LoggingControl;
  EXPECT_TRUE(PostMessageA(gone, WM_USER));
  gone->deleteLater();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  gLog.clear();
  QCoreApplication::sendPostedEvents();
  EXPECT_TRUE(gLog.empty());
  EXPECT_FALSE(PostMessageA(gone, WM_USER));  // the address alone, never touched
  EXPECT_EQ(GetWindowLongA(gone, GWL_WNDPROC), 0);
}

TEST(WindowProcTest, FormsAndControlsPostIntoTheOneQueueAndThroughTheirChain) {
  LoggingForm form;
  LoggingControl control;
  for (TWindowBase* window : std::vector<TWindowBase*>{&form, &control}) {
    SCOPED_TRACE(window == &form ? "form" : "control");
    const HWND handle = static_cast<QWidget*>(window);
    Subclass a(handle, "a");
    gLog.clear();
    window->PostMessage(WM_USER + 3, 4, 5);
    TMsg pending;
    ASSERT_TRUE(PeekMessageA(pending, handle, WM_USER + 3, WM_USER + 3, PM_NOREMOVE));
    EXPECT_EQ(pending.hwnd, handle);
    EXPECT_EQ(pending.wParam, 4u);
    EXPECT_TRUE(gLog.empty());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(gLog, (std::vector<std::string>{"a", "own"}));
    EXPECT_FALSE(PeekMessageA(pending, handle, 0, 0, PM_NOREMOVE));
    SetWindowLongA(handle, GWL_WNDPROC, a.Previous);
    FreeObjectInstance(a.Proc);
  }
}

TEST(WindowProcTest, WhenTheNativeWindowGoesDestroyPassesTheChainAndTheWindowStartsAfresh) {
  LoggingForm form;
  form.winId();
  const auto own = static_cast<WNDPROC>(GetWindowLongA(&form, GWL_WNDPROC));
  std::vector<unsigned> seen;
  WNDPROC previous = 0;
  const WNDPROC proc = MakeObjectInstance([&](TMessage& m) {
    seen.push_back(m.Msg);
    m.Result = CallWindowProcA(previous, &form, m.Msg, m.WParam, m.LParam);
  });
  previous = static_cast<WNDPROC>(SetWindowLongA(&form, GWL_WNDPROC, proc));
  form.setWindowFlag(Qt::Tool);  // makes the native window anew
  EXPECT_EQ(seen, std::vector<unsigned>{WM_DESTROY});
  EXPECT_EQ(form.Messages, std::vector<unsigned>{WM_DESTROY});
  EXPECT_EQ(GetWindowLongA(&form, GWL_WNDPROC), own);
  FreeObjectInstance(proc);
}

TEST(WindowProcTest, UtilityWindowsAnswerSentAndPostedMessages) {
  std::vector<unsigned> got;
  HWND window = AllocateHWnd([&](TMessage& m) {
    got.push_back(m.Msg);
    m.Result = 5;
  });
  EXPECT_EQ(SendMessageA(window, WM_USER), 5);
  EXPECT_EQ(GetWindowLongA(window, GWL_WNDPROC), 0);
  EXPECT_TRUE(PostMessageA(window, WM_TIMER));
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(got, (std::vector<unsigned>{WM_USER, WM_TIMER}));
  EXPECT_TRUE(PostMessageA(window, WM_TIMER));
  DeallocateHWnd(window);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(got.size(), 2u);
  EXPECT_FALSE(PostMessageA(window, WM_NULL));
}
