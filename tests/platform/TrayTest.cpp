// The tray piece without a desktop tray: Shell_NotifyIconA's bookkeeping, the activations turned
// into mouse messages, utility windows and icons.

#include "Tray.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <vector>

#include "CodePage.h"

namespace {

struct Received {
  unsigned Msg;
  std::uintptr_t WParam;
  std::intptr_t LParam;
};

// A utility window that records what reaches its procedure.
class RecordingWindow {
 public:
  RecordingWindow() : Handle(AllocateHWnd([this](TMessage& m) { Log.push_back({m.Msg, m.WParam, m.LParam}); })) {}
  ~RecordingWindow() { DeallocateHWnd(Handle); }
  HWND Handle;
  std::vector<Received> Log;
};

NOTIFYICONDATAA Record(HWND window, unsigned id, unsigned flags, const char* tip = "") {
  NOTIFYICONDATAA data;
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = id;
  data.uFlags = flags;
  data.uCallbackMessage = WM_USER;
  std::snprintf(data.szTip, sizeof data.szTip, "%s", tip);
  return data;
}

TEST(ShellNotifyIcon, AddsModifiesAndDeletesAndRefusesWhatTheShellWould) {
  RecordingWindow window;
  const NOTIFYICONDATAA data = Record(window.Handle, 3, NIF_TIP, "Caf\xE9");
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data)) << "not added yet";
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data)) << "added twice";
  ASSERT_NE(ShellNotifyIconObject(window.Handle, 3), nullptr);
  EXPECT_EQ(ShellNotifyIconObject(window.Handle, 3)->toolTip(), AnsiToQString("Caf\xE9"));

  const NOTIFYICONDATAA modified = Record(window.Handle, 3, NIF_TIP, "Other");
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &modified));
  EXPECT_EQ(ShellNotifyIconObject(window.Handle, 3)->toolTip(), QStringLiteral("Other"));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_EQ(ShellNotifyIconObject(window.Handle, 3), nullptr);

  int unknown = 0;
  const NOTIFYICONDATAA stray = Record(&unknown, 0, NIF_TIP);
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &stray)) << "not a utility window";
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, nullptr));
}

TEST(ShellNotifyIcon, TakesTheIconAndAnUnterminatedTipSafely) {
  RecordingWindow window;
  QPixmap red(16, 16);
  red.fill(Qt::red);
  const QIcon icon(red);
  NOTIFYICONDATAA data = Record(window.Handle, 0, NIF_ICON | NIF_TIP);
  data.hIcon = &icon;
  std::memset(data.szTip, 'x', sizeof data.szTip);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  QSystemTrayIcon* shown = ShellNotifyIconObject(window.Handle, 0);
  EXPECT_EQ(shown->toolTip(), QString(64, u'x'));
  EXPECT_EQ(shown->icon().pixmap(16, 16).toImage().pixel(8, 8), QColor(Qt::red).rgb());
}

TEST(ShellNotifyIcon, DeliversEachActivationAsTheMouseMessagesItStandsFor) {
  const struct {
    QSystemTrayIcon::ActivationReason Reason;
    std::vector<std::intptr_t> Messages;
  } cases[] = {
      {QSystemTrayIcon::Trigger, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {QSystemTrayIcon::DoubleClick, {WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
      {QSystemTrayIcon::Context, {WM_RBUTTONDOWN, WM_RBUTTONUP}},
      {QSystemTrayIcon::MiddleClick, {WM_MBUTTONDOWN, WM_MBUTTONUP}},
      {QSystemTrayIcon::Unknown, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Reason);
    RecordingWindow window;
    NOTIFYICONDATAA data = Record(window.Handle, 7, NIF_MESSAGE);
    data.uCallbackMessage = WM_USER + 5;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    emit ShellNotifyIconObject(window.Handle, 7)->activated(c.Reason);
    EXPECT_TRUE(window.Log.empty()) << "posted, not sent";
    QCoreApplication::processEvents();
    std::vector<std::intptr_t> messages;
    for (const Received& r : window.Log) {
      EXPECT_EQ(r.Msg, WM_USER + 5);
      EXPECT_EQ(r.WParam, 7u);
      messages.push_back(r.LParam);
    }
    EXPECT_EQ(messages, c.Messages);
  }
}

TEST(ShellNotifyIcon, WithoutNifMessageTheWindowHearsNothing) {
  RecordingWindow window;
  const NOTIFYICONDATAA data = Record(window.Handle, 0, NIF_TIP);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  emit ShellNotifyIconObject(window.Handle, 0)->activated(QSystemTrayIcon::Trigger);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window.Log.empty());
}

TEST(UtilityWindow, DeliversPostedAndSentMessagesAndNothingAfterDeallocation) {
  std::vector<unsigned> seen;
  HWND window = AllocateHWnd([&](TMessage& m) {
    seen.push_back(m.Msg);
    m.Result = 42;
  });
  EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 42);
  EXPECT_TRUE(PostMessageA(window, WM_NULL, 0, 0));
  EXPECT_TRUE(PostMessageA(window, WM_TIMER, 0, 0));
  DeallocateHWnd(window);
  QCoreApplication::processEvents();
  EXPECT_EQ(seen, std::vector<unsigned>{WM_USER});
  EXPECT_FALSE(PostMessageA(window, WM_NULL, 0, 0));
  EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
}

TEST(UtilityWindow, MayBeDeallocatedFromItsOwnProcedure) {
  HWND window = nullptr;
  int calls = 0;
  bool added = false;
  window = AllocateHWnd([&](TMessage&) {
    ++calls;
    DeallocateHWnd(window);
  });
  const NOTIFYICONDATAA data = Record(window, 0, NIF_TIP);
  added = Shell_NotifyIconA(NIM_ADD, &data);
  ASSERT_TRUE(added);
  PostMessageA(window, WM_USER, 0, 0);
  PostMessageA(window, WM_USER, 0, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ShellNotifyIconObject(window, 0), nullptr) << "its icon went with it";
}

class TOther final : public TPersistent {
 public:
  [[nodiscard]] AnsiString ClassName() const override { return "TOther"; }
};

TEST(TIcon, AssignCopiesEmptiesForNilAndRefusesOtherClasses) {
  TIcon source;
  TIcon target;
  int changes = 0;
  target.OnChange = [&] { ++changes; };
  EXPECT_TRUE(target.Empty());
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::blue);
  source.SetImage(QIcon(pixmap));
  target.Assign(&source);
  ASSERT_FALSE(target.Empty());
  EXPECT_NE(target.Handle(), source.Handle());
  target.Assign(nullptr);
  EXPECT_TRUE(target.Empty());
  EXPECT_EQ(changes, 2);
  const TOther other;
  EXPECT_THROW(target.Assign(&other), EConvertError);
}

TEST(TIcon, TheApplicationIconIsTheWindowIconOrADefault) {
  ASSERT_NE(ApplicationIcon(), nullptr);
  EXPECT_FALSE(ApplicationIcon()->isNull());
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::green);
  QApplication::setWindowIcon(QIcon(pixmap));
  EXPECT_EQ(ApplicationIcon()->pixmap(16, 16).toImage().pixel(8, 8), QColor(Qt::green).rgb());
  QApplication::setWindowIcon(QIcon());
}

}  // namespace

int main(int argc, char** argv) {
  // Also when the build lists the tests, which it does without the tests' environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
