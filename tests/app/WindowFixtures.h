#pragma once
// What the window tests build their program folders from: card lines, JPEG files, book files,
// and a recorder standing in for the message boxes; and how they show and drive their windows.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CardBook.h"
#include "CardFixtures.h"
#include "Dialogs.h"
#include "Jpeg.h"
#include "TestSupport.h"

namespace testing_support {

inline void WriteJpeg(const std::filesystem::path& file, int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  TJPEGImage jpeg;
  jpeg.Assign(image);
  WriteBytes(file, jpeg.SaveToBytes());
}

// A book file: the header, then the card lines.
inline void WriteBook(const std::filesystem::path& file, const std::vector<std::string>& cards) {
  std::string text = "ABK10\r\n";
  for (const std::string& card : cards) text += card + "\r\n";
  WriteBytes(file, text);
}

// Answers every message box with OK and keeps its text, while it lives.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder()
      : Previous(SetMessageBoxHandler([this](const MessageBoxRequest& request) {
          Shown.push_back(request.Text);
          return IDOK;
        })) {}
  ~MessageBoxRecorder() { SetMessageBoxHandler(std::move(Previous)); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  std::vector<AnsiString> Shown;

 private:
  MessageBoxHandler Previous;
};

// Shows the window and makes it the active one; false when it did not become active.
[[nodiscard]] inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}
[[nodiscard]] inline bool ShowActive(QWidget& window, QPoint at) {
  window.move(at);
  return ShowActive(window);
}

// Why a user could not click the widget at its centre: hidden, disabled, covered there by another
// widget, or behind a modal window; empty when a click would reach it.
inline std::string WhyUserCannotClick(const QWidget& widget) {
  const std::string name = widget.objectName().toStdString();
  if (!widget.isVisible()) return name + " is hidden";
  if (!widget.isEnabled()) return name + " is disabled";
  const QWidget* window = widget.window();
  if (const QWidget* modal = QApplication::activeModalWidget();
      modal && modal != window && !modal->isAncestorOf(window))
    return name + " is behind the modal window " + modal->objectName().toStdString();
  const QWidget* hit = window->childAt(widget.mapTo(window, widget.rect().center()));
  if (window != &widget && hit != &widget && !widget.isAncestorOf(hit))
    return name + " is covered by " + (hit ? hit->objectName().toStdString() : std::string("nothing"));
  return {};
}

// Clicks the widget's centre as a user does. A widget the user could not click gets no click and
// fails the test.
inline void UserClick(QWidget* widget) {
  if (const std::string why = WhyUserCannotClick(*widget); !why.empty()) {
    ADD_FAILURE() << "cannot click: " << why;
    return;
  }
  QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// Right-clicks the widget's centre through its window, which asks the widget for its context menu.
inline void UserRightClick(QWidget* widget) {
  if (const std::string why = WhyUserCannotClick(*widget); !why.empty()) {
    ADD_FAILURE() << "cannot right-click: " << why;
    return;
  }
  QWindow* window = widget->window()->windowHandle();
  const QPoint at = window->mapFromGlobal(widget->mapToGlobal(widget->rect().center()));
  QTest::mouseClick(window, Qt::RightButton, {}, at);
}

// Runs open, which pops up a menu and returns once it has closed, and drives the menu while it is
// open; a menu drive leaves open is closed.
inline void WhileMenuOpen(const std::function<void()>& open, const std::function<void(QMenu&)>& drive) {
  bool ran = false;
  QTimer::singleShot(0, [&] {
    ran = true;
    QMenu* menu = nullptr;
    if (!QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }, 5000)) {
      ADD_FAILURE() << "no menu opened";
      return;
    }
    const QPointer<QMenu> alive(menu);
    drive(*menu);
    if (alive && alive->isVisible()) alive->close();
  });
  open();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 5000));
}

// The visible item captioned caption, or nullptr.
inline QAction* MenuItem(const QMenu& menu, const QString& caption) {
  for (QAction* action : menu.actions())
    if (action->isVisible() && action->text() == caption) return action;
  return nullptr;
}

// Runs open, which pops up a menu, and clicks the item captioned caption in it. A missing or
// disabled item fails the test.
inline void ChooseFromMenu(const std::function<void()>& open, const QString& caption) {
  WhileMenuOpen(open, [&](QMenu& menu) {
    QAction* item = MenuItem(menu, caption);
    if (!item || !item->isEnabled()) {
      ADD_FAILURE() << "the menu has no enabled item " << caption.toStdString();
      return;
    }
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item).center());
  });
}

// Runs open, which shows a modal TWindow, and drives that window once it is active. A window still
// open afterwards is closed; leftOpen, when given, says whether drive had left it open. The window,
// or nullptr when none opened.
template <typename TWindow>
TWindow* DriveModal(QObject* context, const std::function<void()>& open, const std::function<void(TWindow&)>& drive,
                    bool* leftOpen = nullptr) {
  TWindow* opened = nullptr;
  bool ran = false;
  if (leftOpen) *leftOpen = false;
  QTimer::singleShot(0, context, [&] {
    ran = true;
    opened = dynamic_cast<TWindow*>(QApplication::activeModalWidget());
    if (!opened) return;
    if (QTest::qWaitFor([&] { return opened->isActiveWindow(); }, 5000)) {
      drive(*opened);
      if (leftOpen && opened->isVisible()) *leftOpen = true;
    } else {
      ADD_FAILURE() << "the window " << opened->metaObject()->className() << " did not become active";
    }
    if (opened->isVisible()) opened->Close();
  });
  open();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 5000));
  return opened;
}

}  // namespace testing_support
