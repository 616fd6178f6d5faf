// TQMTrayIcon driven as the shell drives it: WM_USER messages with the mouse message in lParam,
// posted to the hidden window named in its shell requests.

#include "QMTrayIcon.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "Application.h"
#include "Menus.h"
#include "Tray.h"

namespace {

struct ShellRequest {
  unsigned Message;
  NOTIFYICONDATAA Data;
};

// Records the shell requests while it lives.
class ShellRecorder {
 public:
  ShellRecorder() {
    FPrevious = SetShellNotifyListener([this](unsigned m, const NOTIFYICONDATAA& d) { Requests.push_back({m, d}); });
  }
  ~ShellRecorder() { SetShellNotifyListener(std::move(FPrevious)); }
  std::vector<ShellRequest> Requests;

 private:
  ShellNotifyListener FPrevious;
};

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

const char* Name(TMouseButton button) {
  switch (button) {
    case mbLeft:
      return "left";
    case mbRight:
      return "right";
    default:
      return "middle";
  }
}

// A menu that records where it would pop up instead of opening.
class RecordingMenu final : public TPopupMenu {
 public:
  using TPopupMenu::TPopupMenu;
  void Popup(int X, int Y) override {
    Log().push_back("menu");
    At = QPoint(X, Y);
    AlignmentAtPopup = Alignment;
    if (During) During();
  }
  std::function<void()> During;
  QPoint At;
  TPopupAlignment AlignmentAtPopup = TPopupAlignment::paLeft;
};

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    Tray.OnClick = [](QObject*, TMouseButton b, bool&) { Log().push_back(std::string("click ") + Name(b)); };
    Tray.OnDoubleClick = [](QObject*, TMouseButton b, bool&) { Log().push_back(std::string("dblclick ") + Name(b)); };
    Tray.OnMouseDown = [](QObject*, TMouseButton b) { Log().push_back(std::string("down ") + Name(b)); };
    Tray.OnMouseUp = [](QObject*, TMouseButton b) { Log().push_back(std::string("up ") + Name(b)); };
    Tray.OnMouseMove = [](QObject*) { Log().push_back("move"); };
    Menu->Add("Open address book ");
    Menu->Add("Minimize to Tray");
    Menu->AddSeparator();
    Menu->Add("Save and Exit");
    Tray.SetPopupMenu(Menu);
    Tray.SetVisible(true);
    ASSERT_FALSE(Shell.Requests.empty());
    Window = Shell.Requests.back().Data.hWnd;
    Tray.SetShowApplication(false);
  }

  // Posts the shell's notifications and lets the event loop deliver them.
  void Notify(std::initializer_list<std::intptr_t> mouseMessages, unsigned msg = WM_USER) {
    for (const std::intptr_t m : mouseMessages) PostMessageA(Window, msg, 0, m);
    QCoreApplication::processEvents();
  }

  ShellRecorder Shell;
  TComponent Owner;
  RecordingMenu* Menu = new RecordingMenu(&Owner);
  TQMTrayIcon Tray{&Owner};
  HWND Window = nullptr;
};

TEST_F(TrayIconTest, MouseMessagesBecomeEventsAndBuiltInActions) {
  const struct {
    const char* Name;
    std::vector<std::intptr_t> Messages;
    std::vector<std::string> Events;
    bool ShowsApplication;
  } cases[] = {
      {"right click", {WM_RBUTTONDOWN, WM_RBUTTONUP}, {"down right", "click right", "menu", "up right"}, false},
      {"left double click",
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
       {"down left", "click left", "up left", "dblclick left", "click left", "up left"},
       true},
      {"left click", {WM_LBUTTONDOWN, WM_LBUTTONUP}, {"down left", "click left", "up left"}, false},
      {"middle click and double click",
       {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK},
       {"down middle", "click middle", "up middle", "dblclick middle"},
       false},
      {"right double click", {WM_RBUTTONDBLCLK}, {"dblclick right"}, false},
      {"move", {WM_MOUSEMOVE}, {"move"}, false},
      {"other mouse messages", {0x20A, 0x20B, 0x1FF, 0}, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Tray.SetShowApplication(false);
    Log().clear();
    for (const std::intptr_t m : c.Messages) PostMessageA(Window, WM_USER, 0, m);
    QCoreApplication::processEvents();
    EXPECT_EQ(Log(), c.Events);
    EXPECT_EQ(Tray.ShowApplication(), c.ShowsApplication);
  }
}

TEST_F(TrayIconTest, OnlyWmUserCarriesNotifications) {
  Notify({WM_RBUTTONUP, WM_LBUTTONDBLCLK}, WM_USER + 1);
  Notify({WM_RBUTTONUP}, WM_NULL);
  EXPECT_TRUE(Log().empty());
}

TEST_F(TrayIconTest, TheMenuOpensAboveTheCursorRightAligned) {
  QCursor::setPos(500, 400);
  Notify({WM_RBUTTONUP});
  ASSERT_EQ(Log(), (std::vector<std::string>{"click right", "menu", "up right"}));
  EXPECT_EQ(Menu->AlignmentAtPopup, TPopupAlignment::paRight);
  // Four top-level items, the separator included.
  EXPECT_EQ(Menu->At, QPoint(QCursor::pos().x(), QCursor::pos().y() - 4 * MenuItemHeight()));
  EXPECT_GT(MenuItemHeight(), 0);
}

TEST_F(TrayIconTest, ClearingDefaultActionSuppressesTheMenuAndTheShowing) {
  Tray.OnClick = [](QObject*, TMouseButton, bool& defaultAction) { defaultAction = false; };
  Tray.OnDoubleClick = [](QObject*, TMouseButton, bool& defaultAction) { defaultAction = false; };
  Notify({WM_RBUTTONUP, WM_LBUTTONDBLCLK});
  EXPECT_EQ(Log(), std::vector<std::string>{"up right"});
  EXPECT_FALSE(Tray.ShowApplication());
}

TEST_F(TrayIconTest, FreeingThePopupMenuClearsTheReference) {
  delete Menu;
  EXPECT_EQ(Tray.PopupMenu(), nullptr);
  Notify({WM_RBUTTONUP});
  EXPECT_EQ(Log(), (std::vector<std::string>{"click right", "up right"}));
}

TEST_F(TrayIconTest, AMenuCommandMayFreeTheIcon) {
  auto* tray = new TQMTrayIcon;
  bool upAfterFree = false;
  tray->OnMouseUp = [&](QObject*, TMouseButton) { upAfterFree = true; };
  tray->SetPopupMenu(Menu);
  tray->SetVisible(true);
  const HWND window = Shell.Requests.back().Data.hWnd;
  // As "Save and Exit" would.
  Menu->During = [&] { delete tray; };
  PostMessageA(window, WM_USER, 0, WM_RBUTTONUP);
  QCoreApplication::processEvents();
  EXPECT_FALSE(upAfterFree);
  EXPECT_EQ(Shell.Requests.back().Message, unsigned{NIM_DELETE});
}

TEST_F(TrayIconTest, ShellRecordsCarryTheHintCutTo63Characters) {
  const std::string hint(100, 'h');
  Shell.Requests.clear();
  Tray.SetHint(hint);
  ASSERT_EQ(Shell.Requests.size(), 1u);
  const ShellRequest& request = Shell.Requests[0];
  EXPECT_EQ(request.Message, unsigned{NIM_MODIFY});
  EXPECT_EQ(request.Data.cbSize, 88u);
  EXPECT_EQ(request.Data.hWnd, Window);
  EXPECT_EQ(request.Data.uID, 0u);
  EXPECT_EQ(request.Data.uFlags, 7u);
  EXPECT_EQ(request.Data.uCallbackMessage, 0x400u);
  EXPECT_EQ(std::string(request.Data.szTip), hint.substr(0, 63));
  EXPECT_EQ(Tray.Hint(), hint.substr(0, 63));
  EXPECT_EQ(ShellNotifyIconObject(Window, 0)->toolTip(), QString(63, u'h'));

  Tray.SetHint(hint.substr(0, 63));
  EXPECT_EQ(Shell.Requests.size(), 1u) << "an unchanged hint sends nothing";
}

TEST_F(TrayIconTest, AnEmptyIconShowsTheApplicationIcon) {
  EXPECT_EQ(Shell.Requests.back().Data.hIcon, ApplicationIcon());
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::red);
  TIcon icon;
  icon.SetImage(QIcon(pixmap));
  Shell.Requests.clear();
  Tray.SetIcon(&icon);
  ASSERT_EQ(Shell.Requests.size(), 1u);
  EXPECT_EQ(Shell.Requests[0].Message, unsigned{NIM_MODIFY});
  EXPECT_EQ(Shell.Requests[0].Data.hIcon, Tray.Icon()->Handle());
  EXPECT_NE(Tray.Icon()->Handle(), icon.Handle()) << "copied, not shared";
  Tray.SetIcon(nullptr);
  EXPECT_EQ(Shell.Requests.back().Data.hIcon, ApplicationIcon());
}

TEST(TrayIconLifecycle, AWindowsSettingsAddTheIconOnceAndFreeingRemovesIt) {
  ShellRecorder shell;
  TComponent owner;
  TPopupMenu* menu = new TPopupMenu(&owner);
  auto* tray = new TQMTrayIcon(&owner);
  tray->ComponentState |= csLoading;
  tray->SetHint("The Velmora Address Book");
  TIcon icon;
  icon.SetImage(QIcon(QPixmap(16, 16)));
  tray->SetIcon(&icon);
  tray->SetPopupMenu(menu);
  tray->SetShowApplication(true);
  tray->SetVisible(true);
  tray->Loaded();
  tray->SetVisible(true);
  std::vector<unsigned> messages;
  for (const ShellRequest& r : shell.Requests) messages.push_back(r.Message);
  EXPECT_EQ(messages, (std::vector<unsigned>{NIM_MODIFY, NIM_MODIFY, NIM_ADD}));
  const HWND window = shell.Requests.back().Data.hWnd;
  ASSERT_NE(ShellNotifyIconObject(window, 0), nullptr);
  EXPECT_EQ(ShellNotifyIconObject(window, 0)->toolTip(), QStringLiteral("The Velmora Address Book"));
  delete tray;
  EXPECT_EQ(shell.Requests.back().Message, unsigned{NIM_DELETE});
  EXPECT_EQ(ShellNotifyIconObject(window, 0), nullptr);
}

TEST(TrayIconLifecycle, WhileDesignedTheIconShowsOnlyWithShowAtDesignTime) {
  ShellRecorder shell;
  TQMTrayIcon tray;
  tray.ComponentState |= csDesigning;
  tray.SetVisible(true);
  tray.SetShowAtDesignTime(true);
  tray.SetShowAtDesignTime(false);
  tray.SetVisible(false);
  std::vector<unsigned> messages;
  for (const ShellRequest& r : shell.Requests) messages.push_back(r.Message);
  EXPECT_EQ(messages, (std::vector<unsigned>{NIM_DELETE, NIM_ADD, NIM_DELETE, NIM_DELETE}));
}

TEST(TrayIconShowApplication, HidesAndShowsTheApplicationsWindowsForEveryInstance) {
  QWidget mainForm;
  QWidget other;
  SetApplicationMainForm(&mainForm);
  ApplicationMainFormCreated();
  mainForm.show();
  other.show();
  TQMTrayIcon first;
  TQMTrayIcon second;
  first.SetShowApplication(false);
  EXPECT_FALSE(mainForm.isVisible());
  EXPECT_FALSE(other.isVisible());
  EXPECT_FALSE(second.ShowApplication()) << "one value for the program";
  EXPECT_FALSE(ApplicationShowMainForm());
  EXPECT_FALSE(ApplicationWindowVisible());

  second.SetShowApplication(true);
  EXPECT_TRUE(mainForm.isVisible());
  EXPECT_TRUE(other.isVisible());
  EXPECT_TRUE(ApplicationWindowVisible());
  EXPECT_TRUE(ApplicationShowMainForm());
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), &mainForm);

  // Loaded applies the stored value again.
  first.SetShowApplication(false);
  mainForm.show();
  second.Loaded();
  EXPECT_FALSE(mainForm.isVisible());
  first.SetShowApplication(true);
  SetApplicationMainForm(nullptr);
}

TEST(TrayIconShowApplication, AMainFormCreatedWhileHiddenIsShownToo) {
  TQMTrayIcon tray;
  tray.SetShowApplication(false);
  QWidget mainForm;
  SetApplicationMainForm(&mainForm);
  ApplicationMainFormCreated();
  tray.SetShowApplication(true);
  EXPECT_TRUE(mainForm.isVisible());
  SetApplicationMainForm(nullptr);
}

TEST(TrayIconShowApplication, AMainFormBeingCreatedAppearsOnlyOnceItIsCreated) {
  QWidget mainForm;
  SetApplicationMainForm(&mainForm);
  TQMTrayIcon tray;
  tray.SetShowApplication(true);
  tray.Loaded();
  EXPECT_FALSE(mainForm.isVisible()) << "shown before its creation handler filled it";
  ApplicationMainFormCreated();
  EXPECT_TRUE(mainForm.isVisible());
  SetApplicationMainForm(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  // Also when the build lists the tests, which it does without the tests' environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
