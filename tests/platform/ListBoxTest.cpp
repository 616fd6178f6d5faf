#include "ListBox.h"

#include <gtest/gtest.h>

#include <QTest>
#include <vector>

namespace {

class ListBoxWindowTest : public ::testing::Test {
 protected:
  void Make(unsigned style) {
    window = std::make_unique<TListBoxWindow>(nullptr, WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | style, 0,
                                              [this](TMessage& m) {
                                                if (m.Msg == CN_COMMAND) notifications.push_back(m.WParam >> 16);
                                                window->DefWindowProc(m);
                                              });
    window->resize(200, 150);
    window->show();
  }
  std::intptr_t Send(unsigned msg, std::uintptr_t w = 0, std::intptr_t l = 0) { return window->SendMessage(msg, w, l); }
  std::intptr_t Add(const char* text) { return Send(LB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(text)); }
  std::string Text(int index) {
    std::string buffer(static_cast<std::size_t>(Send(LB_GETTEXTLEN, static_cast<std::uintptr_t>(index))) + 1, '\0');
    buffer.resize(static_cast<std::size_t>(
        Send(LB_GETTEXT, static_cast<std::uintptr_t>(index), reinterpret_cast<std::intptr_t>(buffer.data()))));
    return buffer;
  }
  void Click(int index, Qt::KeyboardModifiers keys = {}) {
    TRect r;
    Send(LB_GETITEMRECT, static_cast<std::uintptr_t>(index), reinterpret_cast<std::intptr_t>(&r));
    QTest::mouseClick(window->viewport(), Qt::LeftButton, keys, QPoint(r.Left + 5, r.Top + 2));
  }
  std::vector<int> Selected() {
    std::vector<int> selected;
    for (int i = 0; i < Send(LB_GETCOUNT); ++i)
      if (Send(LB_GETSEL, static_cast<std::uintptr_t>(i)) > 0) selected.push_back(i);
    return selected;
  }

  std::unique_ptr<TListBoxWindow> window;
  std::vector<std::uintptr_t> notifications;
};

TEST_F(ListBoxWindowTest, SortedWindowsAddInTheLocaleOrderAndInsertWhereTold) {
  Make(LBS_SORT);
  for (const char* text : {"smith", "Brown", "\xC9vian", "adams"}) Add(text);
  EXPECT_EQ(Send(LB_INSERTSTRING, 0, reinterpret_cast<std::intptr_t>("zz")), 0);  // not sorted in
  EXPECT_EQ(Add("brown"), 3);                                                     // after the equal one
  const std::vector<std::string> expected = {"zz", "adams", "Brown", "brown", "\xC9vian", "smith"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(Text(i), expected[static_cast<std::size_t>(i)]);
  EXPECT_EQ(Send(LB_GETTEXTLEN, 6), LB_ERR);
  EXPECT_EQ(Send(LB_GETITEMDATA, 6), LB_ERR);
  EXPECT_EQ(Send(LB_INSERTSTRING, 8, reinterpret_cast<std::intptr_t>("x")), LB_ERR);
  EXPECT_EQ(Send(LB_DELETESTRING, 0), 5);  // the count left
}

TEST_F(ListBoxWindowTest, SelectionOfTheThreeModes) {
  Make(0);
  for (const char* text : {"a", "b", "c", "d"}) Add(text);
  Click(2);
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  EXPECT_EQ(Send(LB_GETSELCOUNT), LB_ERR);
  EXPECT_EQ(notifications, std::vector<std::uintptr_t>{LBN_SELCHANGE});
  Send(LB_DELETESTRING, 0);  // the selection moves with its item
  EXPECT_EQ(Send(LB_GETCURSEL), 1);
  EXPECT_EQ(Send(LB_SETCURSEL, static_cast<std::uintptr_t>(-1)), LB_ERR);
  EXPECT_EQ(Send(LB_GETCURSEL), LB_ERR);

  Make(LBS_EXTENDEDSEL);
  for (const char* text : {"a", "b", "c", "d", "e"}) Add(text);
  Click(1);
  Click(3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
  Click(2, Qt::ControlModifier);
  EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
  Click(4);
  EXPECT_EQ(Selected(), std::vector<int>{4});
  EXPECT_EQ(Send(LB_SETCURSEL, 1), LB_ERR);

  Make(LBS_MULTIPLESEL);
  for (const char* text : {"a", "b", "c"}) Add(text);
  Click(0);
  Click(2);
  Click(0);
  EXPECT_EQ(Selected(), std::vector<int>{2});
  EXPECT_EQ(Send(LB_GETSELCOUNT), 1);
}

}  // namespace
