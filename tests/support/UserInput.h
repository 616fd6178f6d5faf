#pragma once
// Clicks as a user makes them: on the widget's centre through its window, so that a hidden,
// disabled or covered widget does not take them, and menu items chosen in the open menu.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <string>

namespace testing_support {

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

// Double-clicks the widget's centre as a user does; a widget the user could not click fails the test.
inline void UserDoubleClick(QWidget* widget) {
  if (const std::string why = WhyUserCannotClick(*widget); !why.empty()) {
    ADD_FAILURE() << "cannot double-click: " << why;
    return;
  }
  QTest::mouseDClick(widget, Qt::LeftButton, {}, widget->rect().center());
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

// Clicks opener, which opens a menu, and clicks item in that menu once it shows; the test fails when
// no menu opened or the item was not in it, visible and enabled.
inline void ChooseFromMenu(QWidget* opener, QAction* item) {
  WhileMenuOpen([opener] { UserClick(opener); },
                [item](QMenu& menu) {
                  if (!menu.actions().contains(item) || !item->isVisible() || !item->isEnabled()) {
                    ADD_FAILURE() << item->text().toStdString() << " was not there to choose";
                    return;
                  }
                  QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item).center());
                });
}

}  // namespace testing_support
