#pragma once
// Clicks as a user makes them: on the widget's centre through its window, so that a hidden,
// disabled or covered widget does not take them, and menu items chosen in the open menu.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace testing_support {

// Clicks the widget's centre with the left button; the test fails when a user could not click it
// there (hidden, disabled, or under another widget of its window).
inline void UserClick(QWidget* widget) {
  const QPoint centre = widget->rect().center();
  if (!widget->isVisible()) ADD_FAILURE() << widget->objectName().toStdString() << " is hidden";
  if (!widget->isEnabled()) ADD_FAILURE() << widget->objectName().toStdString() << " is disabled";
  QWidget* window = widget->window();
  QWidget* top = window->childAt(widget->mapTo(window, centre));
  if (widget != window && top != widget && !widget->isAncestorOf(top))
    ADD_FAILURE() << widget->objectName().toStdString() << " is covered by "
                  << (top ? top->objectName().toStdString() : std::string("nothing"));
  QTest::mouseClick(widget, Qt::LeftButton, {}, centre);
}

// Clicks opener, which opens a menu, and clicks item in that menu once it shows; the test fails when
// no menu opened or the item was not in it, visible and enabled.
inline void ChooseFromMenu(QWidget* opener, QAction* item) {
  bool opened = false;
  bool chosen = false;
  QObject scope;
  QTimer::singleShot(0, &scope, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    opened = true;
    if (menu->actions().contains(item) && item->isVisible() && item->isEnabled()) {
      chosen = true;
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    } else {
      menu->close();
    }
  });
  UserClick(opener);
  EXPECT_TRUE(opened) << opener->objectName().toStdString() << " opened no menu";
  EXPECT_TRUE(!opened || chosen) << item->text().toStdString() << " was not there to choose";
}

}  // namespace testing_support
