// TQMTrayIcon in a real notification area: RealTrayTest.sh starts an X server with an XEmbed tray
// host; the icon is shown there, clicked and hovered through the X test extension (xdotool), and the
// component's events are checked.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "Application.h"
#include "Menus.h"
#include "QMTrayIcon.h"
#include "TFlatHintUnit.h"
#include "Tray.h"

namespace {

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

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

void XDoTool(const QStringList& arguments) {
  ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
}

class RealTrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); })) << "no tray host";
    Tray.OnClick = [this](QObject*, TMouseButton b, bool&) { Log.push_back(std::string("click ") + Name(b)); };
    Tray.OnDoubleClick = [this](QObject*, TMouseButton b, bool&) { Log.push_back(std::string("dblclick ") + Name(b)); };
    Tray.OnMouseDown = [this](QObject*, TMouseButton b) { Log.push_back(std::string("down ") + Name(b)); };
    Tray.OnMouseUp = [this](QObject*, TMouseButton b) { Log.push_back(std::string("up ") + Name(b)); };
    Menu->Add("Open address book ");
    Menu->Add("Minimize to Tray");
    Menu->Add("Save and Exit");
    Menu->OnPopup = [this](QObject*) { Log.push_back("menu"); };
    SetShellNotifyListener([this](unsigned, const NOTIFYICONDATAA& data) { Window = data.hWnd; });
    Tray.SetHint("The Velmora Address Book");
    Tray.SetPopupMenu(Menu);
    Tray.SetVisible(true);
    SetShellNotifyListener(nullptr);
    QSystemTrayIcon* icon = ShellNotifyIconObject(Window, 0);
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(WaitFor([&] { return icon->geometry().width() > 0; })) << "the icon was not embedded";
    // Let the embedding settle before the first click.
    WaitFor([] { return false; }, 300);
    Centre = icon->geometry().center();
    XDoTool({QStringLiteral("mousemove"), QString::number(Centre.x()), QString::number(Centre.y())});
  }

  // Clicks the icon with the X button and waits until the component has heard the last release.
  void ClickIcon(int xButton, int times, const std::string& lastEvent, std::size_t events) {
    Log.clear();
    XDoTool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(times), QStringLiteral("--delay"),
             QStringLiteral("80"), QString::number(xButton)});
    ASSERT_TRUE(WaitFor([&] { return Log.size() >= events && Log.back() == lastEvent; }));
    WaitFor([] { return false; }, 100);
  }

  std::vector<std::string> Log;
  TComponent Owner;
  TPopupMenu* Menu = new TPopupMenu(&Owner);
  TQMTrayIcon Tray{&Owner};
  HWND Window = nullptr;
  QPoint Centre;
};

TEST_F(RealTrayTest, ALeftClickIsPressThenReleaseWithNoBuiltInAction) {
  Tray.SetShowApplication(false);
  ClickIcon(1, 1, "up left", 3);
  EXPECT_EQ(Log, (std::vector<std::string>{"down left", "click left", "up left"}));
  EXPECT_FALSE(Tray.ShowApplication());
}

TEST_F(RealTrayTest, ALeftDoubleClickShowsTheApplication) {
  QWidget mainForm;
  SetApplicationMainForm(&mainForm);
  mainForm.show();
  Tray.SetShowApplication(false);
  ASSERT_FALSE(mainForm.isVisible());
  ClickIcon(1, 2, "up left", 6);
  EXPECT_EQ(Log,
            (std::vector<std::string>{"down left", "click left", "up left", "dblclick left", "click left", "up left"}));
  EXPECT_TRUE(Tray.ShowApplication());
  EXPECT_TRUE(mainForm.isVisible());
  SetApplicationMainForm(nullptr);
}

TEST_F(RealTrayTest, ARightClickOpensTheMenuAboveTheCursorBeforeTheRelease) {
  QRect menuGeometry;
  // Closes the menu as soon as it is open, noting where it was.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, &closer, [&] {
    if (Menu->Menu()->isVisible()) {
      menuGeometry = Menu->Menu()->geometry();
      Menu->Menu()->close();
    }
  });
  closer.start(50);
  ClickIcon(3, 1, "up right", 4);
  EXPECT_EQ(Log, (std::vector<std::string>{"down right", "click right", "menu", "up right"}));
  ASSERT_FALSE(menuGeometry.isEmpty());
  // Right-aligned to the cursor, and opening upwards from it unless the screen's top edge is in the way.
  EXPECT_LE(menuGeometry.right(), Centre.x());
  EXPECT_GE(menuGeometry.right(), Centre.x() - 2);
  EXPECT_EQ(menuGeometry.top(), std::max(0, Centre.y() - 3 * MenuItemHeight()));
}

// The text of the tool tip on view, or empty.
QString ToolTipOnView() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->windowType() == Qt::ToolTip && window->isVisible())
      if (const auto* label = qobject_cast<QLabel*>(window)) return label->text();
  return {};
}

// The program's own hints show in the flat hint window; the icon's tip is the desktop's and shows
// under the flat hint as well, with the main window on view and hidden.
TEST_F(RealTrayTest, RestingThePointerOnTheIconShowsItsTip) {
  QWidget mainForm;
  mainForm.setGeometry(0, 0, 100, 100);
  TFlatHint flatHint;
  flatHint.setParent(&mainForm);
  SetApplicationMainForm(&mainForm);
  for (const bool mainFormShown : {true, false}) {
    SCOPED_TRACE(mainFormShown ? "main window on view" : "main window hidden");
    mainForm.setVisible(mainFormShown);
    XDoTool({QStringLiteral("mousemove"), QStringLiteral("200"), QStringLiteral("200")});
    ASSERT_TRUE(WaitFor([] { return ToolTipOnView().isEmpty(); }));
    // Each time to another point of the icon: the toolkit drops a move to the place it saw last.
    XDoTool({QStringLiteral("mousemove"), QString::number(Centre.x() + (mainFormShown ? 1 : 2)),
             QString::number(Centre.y())});
    EXPECT_TRUE(WaitFor([] { return ToolTipOnView() == QStringLiteral("The Velmora Address Book"); }));
    if (const QByteArray shot = qgetenv("VAB_SCREENSHOT"); !shot.isEmpty())
      QProcess::execute(QStringLiteral("import"),
                        {QStringLiteral("-window"), QStringLiteral("root"),
                         QString::fromLocal8Bit(shot) + QLatin1String(mainFormShown ? "-shown.png" : "-hidden.png")});
  }
  SetApplicationMainForm(nullptr);
}

TEST_F(RealTrayTest, AMiddleClickFiresTheEventsOnly) {
  ClickIcon(2, 1, "up middle", 3);
  EXPECT_EQ(Log, (std::vector<std::string>{"down middle", "click middle", "up middle"}));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
