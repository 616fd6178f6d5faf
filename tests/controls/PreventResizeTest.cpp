// A form whose placement prevents resizing, under a real window manager (OnXvfbWithWindowManager.sh):
// what the window asks the window manager for and what the window manager then allows.
// With VAB_SCREENSHOT naming a folder, the title bar and the window menu are saved there.

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QTest>

#include "Forms.h"
#include "Placemnt.h"
#include "VxHook.h"
#include "XWindow.h"

namespace {

struct TSeen {
  QString MinimumSize;  // "W by H", or empty without one
  QString MaximumSize;
  bool Resizable = false;    // the window manager offers to resize it
  bool Maximizable = false;  // ... and to maximise it
  bool MaximizeButton = false;

  bool operator==(const TSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TSeen& s) {
  return out << "minimum " << s.MinimumSize.toStdString() << ", maximum " << s.MaximumSize.toStdString()
             << ", resizable " << s.Resizable << ", maximizable " << s.Maximizable << ", maximise button "
             << s.MaximizeButton;
}

QString SizeHint(const QString& hints, const QString& which) {
  for (const QString& line : hints.split(QLatin1Char('\n')))
    if (line.contains(which)) return line.section(QLatin1Char(':'), 1).trimmed();
  return {};
}

// Waits until the window manager's allowed actions match the expected ones (they follow the hints).
TSeen Seen(const QWidget& window, bool expectResizable) {
  QString actions;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        actions = testing_support::XWindowProperty(window, "_NET_WM_ALLOWED_ACTIONS");
        return !actions.isEmpty() && actions.contains(QLatin1String("_NET_WM_ACTION_RESIZE")) == expectResizable;
      },
      5000))
      << actions.toStdString();
  const QString hints = testing_support::XWindowProperty(window, "WM_NORMAL_HINTS");
  TSeen seen;
  seen.MinimumSize = SizeHint(hints, QStringLiteral("minimum size"));
  seen.MaximumSize = SizeHint(hints, QStringLiteral("maximum size"));
  seen.Resizable = actions.contains(QLatin1String("_NET_WM_ACTION_RESIZE"));
  seen.Maximizable = actions.contains(QLatin1String("_NET_WM_ACTION_MAXIMIZE_HORZ")) ||
                     actions.contains(QLatin1String("_NET_WM_ACTION_MAXIMIZE_VERT"));
  seen.MaximizeButton = window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
  return seen;
}

void Screenshot(const QWidget& window, const QString& name, int height) {
  testing_support::SaveScreenStrip(window, name, height, 150);
}

// The window menu, opened with the window manager's key, then closed again.
void ScreenshotWindowMenu(const QWidget& window, const QString& name) {
  if (qgetenv("VAB_SCREENSHOT").isEmpty()) return;
  QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+space")});
  Screenshot(window, name, 260);
  QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
}

TEST(PreventResize, TheWindowManagerNeitherResizesNorMaximisesTheFormUntilItIsAllowedAgain) {
  TForm form;
  form.setWindowTitle(QStringLiteral("Fixed"));
  form.resize(300, 200);
  form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  auto* placement = new TFormPlacement(&form);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const TSeen free = Seen(form, true);
  EXPECT_TRUE(free.Maximizable);
  EXPECT_TRUE(free.MaximizeButton);
  Screenshot(form, QStringLiteral("sizeable-title-bar"), 60);
  ScreenshotWindowMenu(form, QStringLiteral("sizeable-window-menu"));

  placement->SetPreventResize(true);
  const QString size = QStringLiteral("%1 by %2").arg(form.width()).arg(form.height());
  EXPECT_EQ(Seen(form, false), (TSeen{size, size, false, false, false}));
  EXPECT_EQ(form.size(), QSize(300, 200));
  Screenshot(form, QStringLiteral("fixed-title-bar"), 60);
  ScreenshotWindowMenu(form, QStringLiteral("fixed-window-menu"));

  placement->SetPreventResize(false);
  const TSeen again = Seen(form, true);
  EXPECT_TRUE(again.Maximizable);
  EXPECT_TRUE(again.MaximizeButton);
  EXPECT_NE(again.MaximumSize, size);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
