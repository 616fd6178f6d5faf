#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <vector>

#include "VXCtrls.h"

namespace {

QStringList Tokens(std::initializer_list<const char*> tokens) {
  QStringList list;
  for (const char* t : tokens) list << QString::fromLatin1(t);
  return list;
}

class CheckListBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.resize(320, 220);
    box = new TVxCheckListBox(&form);
    box->SetBounds(10, 10, 290, 180);
    for (const char* text : {"Name", "Address", "City", "Zip", "State"}) box->Items().Add(text);
    box->OnStateChange = [this](QObject*, int index) { changes.push_back(index); };
    box->OnClickCheck = [this](QObject*) { ++clickChecks; };
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  [[nodiscard]] std::vector<int> States() const {
    std::vector<int> states;
    for (int i = 0; i < box->Items().Count(); ++i) states.push_back(box->GetItemState(i));
    return states;
  }
  void ClickAt(int index, int x) {
    const TRect r = box->GetItemRect(index);
    QTest::mouseClick(box->Window()->viewport(), Qt::LeftButton, {},
                      QPoint(x < 0 ? r.Right + x : r.Left + x, r.Top + 2));
  }
  void Key(char c) { QTest::keyClick(box->Window(), c); }

  TForm form;
  TVxCheckListBox* box = nullptr;
  std::vector<int> changes;
  int clickChecks = 0;
};

TEST_F(CheckListBoxTest, UntouchedItemsReadUncheckedEnabledAndWithoutData) {
  EXPECT_EQ(box->GetItemState(1), cbUnchecked);
  EXPECT_TRUE(box->GetItemEnabled(1));
  EXPECT_FALSE(box->IsItemChecked(1));
  EXPECT_EQ(box->Items().Objects(1), 0);
  EXPECT_EQ(box->CheckAreaWidth(), 18);
  EXPECT_EQ(box->CheckHeight(), 13);
  EXPECT_THROW((void)box->GetItemState(5), EStringListError);
  EXPECT_THROW(box->SetItemEnabled(-1, false), EStringListError);
  box->ToggleItem(5);  // ignored
  box->ToggleItem(-1);
  EXPECT_EQ(clickChecks, 0);
}

TEST_F(CheckListBoxTest, TogglingCyclesThroughTheStatesOfItsKind) {
  struct Case {
    TCheckKind Kind;
    bool AllowGrayed;
    std::vector<int> Cycle;  // states of item 1 after each toggle
  };
  const Case cases[] = {
      {ckCheckBoxes, true, {cbGrayed, cbChecked, cbUnchecked}},
      {ckCheckBoxes, false, {cbChecked, cbUnchecked, cbChecked}},
      {ckCheckMarks, true, {cbGrayed, cbChecked, cbUnchecked}},
      {ckRadioButtons, true, {cbChecked, cbChecked, cbChecked}},  // never grayed, never cleared
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Kind));
    box->SetCheckKind(ckCheckBoxes);
    box->SetAllStates(cbUnchecked, false);
    box->SetCheckKind(c.Kind);
    box->SetAllowGrayed(c.AllowGrayed);
    if (c.Kind == ckRadioButtons) {
      EXPECT_FALSE(box->AllowGrayed());
    }
    const int before = clickChecks;
    std::vector<int> seen;
    for (std::size_t i = 0; i < c.Cycle.size(); ++i) {
      box->ToggleItem(1);
      seen.push_back(box->GetItemState(1));
    }
    EXPECT_EQ(seen, c.Cycle);
    EXPECT_EQ(clickChecks - before, 3);
  }
}

TEST_F(CheckListBoxTest, RadioButtonsKeepExactlyOneChecked) {
  box->SetItemChecked(1, true);
  box->SetItemChecked(3, true);
  box->SetItemState(4, cbGrayed);
  changes.clear();
  box->SetCheckKind(ckRadioButtons);  // the first checked stays, the others are cleared
  EXPECT_EQ(States(), (std::vector<int>{0, 1, 0, 0, 0}));
  EXPECT_EQ(box->CheckedIndex(), 1);
  changes.clear();
  box->SetItemChecked(2, true);
  EXPECT_EQ(States(), (std::vector<int>{0, 0, 1, 0, 0}));
  EXPECT_EQ(changes, std::vector<int>{2});  // the cleared item gets no change event
  box->SetItemChecked(2, false);            // the checked item is only ever replaced
  EXPECT_TRUE(box->IsItemChecked(2));
  box->SetCheckedIndex(-5);
  EXPECT_EQ(box->CheckedIndex(), 0);
  EXPECT_THROW(box->SetCheckedIndex(9), EStringListError);

  box->SetCheckKind(ckCheckBoxes);
  box->SetAllStates(cbUnchecked, false);
  box->SetCheckKind(ckRadioButtons);  // none checked: the first item becomes checked
  EXPECT_EQ(box->CheckedIndex(), 0);
  const int before = clickChecks;
  Key('+');  // no effect on radio buttons, but still a click on the checks
  Key('-');
  EXPECT_EQ(box->CheckedIndex(), 0);
  EXPECT_EQ(clickChecks - before, 2);
}

TEST_F(CheckListBoxTest, OnlyClicksInsideTheCheckAreaToggle) {
  struct Case {
    bool RightToLeft;
    int X;  // from the item's left edge, or (negative) from its right edge
    bool Toggles;
  };
  const Case cases[] = {
      {false, 0, true}, {false, 17, true}, {false, 18, false}, {false, 60, false},
      {true, -1, true}, {true, -17, true}, {true, -18, false}, {true, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.X);
    box->setLayoutDirection(c.RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    box->SetItemChecked(2, false);
    ClickAt(2, c.X);
    EXPECT_EQ(box->IsItemChecked(2), c.Toggles);
    EXPECT_EQ(box->ItemIndex(), 2);  // the click selects in any case
  }
  box->setLayoutDirection(Qt::LeftToRight);
  box->SetItemChecked(0, false);
  // A double click as the window system delivers it: press, release, press, double click, release.
  const TRect r = box->GetItemRect(0);
  const QPoint at(r.Left + 3, r.Top + 2);
  QWidget* viewport = box->Window()->viewport();
  const auto send = [&](QEvent::Type type, quint64 time, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    event.setTimestamp(time);
    QApplication::sendEvent(viewport, &event);
  };
  const quint64 t = 1'000'000;
  send(QEvent::MouseButtonPress, t, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, t + 20, Qt::NoButton);
  send(QEvent::MouseButtonPress, t + 80, Qt::LeftButton);
  send(QEvent::MouseButtonDblClick, t + 80, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, t + 100, Qt::NoButton);
  EXPECT_FALSE(box->IsItemChecked(0));  // both presses of a double click count
  EXPECT_EQ(clickChecks, 4 + 2);        // the four toggling clicks above and the two presses here
}

TEST_F(CheckListBoxTest, DisabledItemsResistTheUserButNotTheCode) {
  box->SetItemEnabled(1, false);
  box->SetItemIndex(1);
  box->setFocus();
  Key(' ');
  ClickAt(1, 3);
  EXPECT_EQ(box->GetItemState(1), cbUnchecked);
  Key('+');
  EXPECT_EQ(States(), (std::vector<int>{1, 0, 1, 1, 1}));
  box->SetItemChecked(1, true);
  Key('-');
  EXPECT_EQ(States(), (std::vector<int>{0, 1, 0, 0, 0}));
}

TEST_F(CheckListBoxTest, SpaceTogglesTheCurrentItemAndIsConsumed) {
  std::vector<char> passed;
  box->OnKeyPress = [&](QObject*, char& key) { passed.push_back(key); };
  box->setFocus();
  Key(' ');  // no current item: nothing changes
  EXPECT_EQ(States(), (std::vector<int>{0, 0, 0, 0, 0}));
  EXPECT_EQ(clickChecks, 0);
  box->SetItemIndex(3);
  Key(' ');
  EXPECT_TRUE(box->IsItemChecked(3));
  EXPECT_EQ(clickChecks, 1);
  EXPECT_EQ(passed, (std::vector<char>{' ', ' '}));
}

TEST_F(CheckListBoxTest, ExchangeAndMoveCarryStatesFlagsAndData) {
  box->SetItemState(0, cbGrayed);
  box->SetItemEnabled(0, false);
  box->Items().PutObject(0, 70);
  box->SetItemChecked(2, true);
  box->Items().PutObject(2, 72);
  box->Items().Exchange(0, 2);
  EXPECT_EQ(box->Items().Get(0), "City");
  EXPECT_EQ(box->GetItemState(0), cbChecked);
  EXPECT_TRUE(box->GetItemEnabled(0));
  EXPECT_EQ(box->Items().Objects(0), 72);
  EXPECT_EQ(box->GetItemState(2), cbGrayed);
  EXPECT_FALSE(box->GetItemEnabled(2));
  EXPECT_EQ(box->Items().Objects(2), 70);

  box->Items().Move(2, 4);
  EXPECT_EQ(box->Items().Get(4), "Name");
  EXPECT_EQ(box->GetItemState(4), cbGrayed);
  EXPECT_FALSE(box->GetItemEnabled(4));
  EXPECT_EQ(box->Items().Objects(4), 70);
  EXPECT_EQ(box->Items().Get(2), "Zip");
  EXPECT_TRUE(box->GetItemEnabled(2));
}

TEST_F(CheckListBoxTest, RecreatingTheWindowKeepsTextsDataStatesAndFlags) {
  box->SetItemState(0, cbGrayed);
  box->SetItemChecked(3, true);
  box->SetItemEnabled(4, false);
  box->Items().PutObject(3, 33);
  for (const auto& recreate :
       std::vector<std::function<void()>>{[&] { box->SetStyle(lbOwnerDrawFixed); }, [&] { box->SetMultiSelect(true); },
                                          [&] { box->SetSorted(true); }}) {
    const QPointer<TListBoxWindow> before = box->Window();
    recreate();
    EXPECT_TRUE(before.isNull());
    const auto at = [&](const char* text) { return box->Items().IndexOf(text); };
    EXPECT_EQ(box->GetItemState(at("Name")), cbGrayed);
    EXPECT_EQ(box->GetItemState(at("Zip")), cbChecked);
    EXPECT_EQ(box->GetItemState(at("City")), cbUnchecked);
    EXPECT_FALSE(box->GetItemEnabled(at("State")));
    EXPECT_TRUE(box->GetItemEnabled(at("Zip")));
    EXPECT_EQ(box->Items().Objects(at("Zip")), 33);
  }
  EXPECT_EQ(box->Items().Get(0), "Address");  // sorted as they came back
}

TEST_F(CheckListBoxTest, StreamedItemListsOfEveryVersion) {
  struct Case {
    int Version;
    QStringList Data;
    std::vector<int> States;
    bool SecondEnabled;
  };
  const Case cases[] = {
      {0, Tokens({"A", "True", "True", "B", "False", "False"}), {1, 0}, false},
      {150, Tokens({"A", "True", "True", "2", "B", "True", "True", "0"}), {2, 0}, true},  // the state decides
      {202, Tokens({"A", "2", "True", "B", "1", "False"}), {2, 1}, false},
      {202, Tokens({"A", "7", "True", "B", "-1", "True"}), {0, 0}, true},  // unknown states read unchecked
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Version);
    TVxCheckListBox list;
    list.ReadVersionData(c.Version);
    list.OnStateChange = [](QObject*, int) { ADD_FAILURE() << "no change events while reading"; };
    list.ReadStringsData(c.Data);
    ASSERT_EQ(list.Items().Count(), 2);
    EXPECT_EQ(list.Items().Get(1), "B");
    EXPECT_EQ(list.GetItemState(0), c.States[0]);
    EXPECT_EQ(list.GetItemState(1), c.States[1]);
    EXPECT_EQ(list.GetItemEnabled(1), c.SecondEnabled);
  }
  TVxCheckListBox list;
  EXPECT_THROW(list.ReadStringsData(Tokens({"A", "1"})), EReadError);  // cut short

  box->SetItemState(1, cbGrayed);
  box->SetItemEnabled(2, false);
  const QStringList written = box->WriteStringsData();
  EXPECT_EQ(written.mid(0, 6), Tokens({"Name", "0", "True", "Address", "2", "True"}));
  TVxCheckListBox copy;
  copy.ReadVersionData(TVxCheckListBox::InternalVersion());
  copy.ReadStringsData(written);
  EXPECT_FALSE(copy.StringsDiffer(box));
  copy.Items().Put(0, "NAME");  // letters compared without case
  EXPECT_FALSE(copy.StringsDiffer(box));
  copy.SetItemEnabled(2, true);
  EXPECT_TRUE(copy.StringsDiffer(box));
  EXPECT_TRUE(copy.StringsDiffer(nullptr));
}

TEST_F(CheckListBoxTest, AssigningFromAnotherCheckListCopiesStates) {
  box->SetItemState(1, cbGrayed);
  box->SetItemEnabled(2, false);
  TVxCheckListBox copy;
  copy.SetItems(box->Items());
  EXPECT_EQ(copy.Items().Count(), 5);
  EXPECT_EQ(copy.GetItemState(1), cbGrayed);
  EXPECT_FALSE(copy.GetItemEnabled(2));
}

TEST_F(CheckListBoxTest, DrawHandlerRunsOnlyForOwnerDrawnStyles) {
  int calls = 0;
  box->SetOnDrawItem([&](QWidget*, int, const TRect&, TOwnerDrawState) { ++calls; });
  box->Window()->viewport()->repaint();
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(box->OnDrawItem());  // put back after each item
  box->SetStyle(lbOwnerDrawFixed);
  box->Window()->viewport()->repaint();
  EXPECT_EQ(calls, 5);
}

TEST_F(CheckListBoxTest, CheckImagesArePaintedOverTheControlColour) {
  box->SetColor(clWhite);
  box->SetItemChecked(0, true);
  box->SetItemEnabled(1, false);
  const QImage shot = box->Window()->viewport()->grab().toImage();
  const TRect r0 = box->GetItemRect(0);
  const TRect r1 = box->GetItemRect(1);
  const QImage& images = GetCheckImages()->Image();
  ASSERT_EQ(images.size(), QSize(96, 39));  // the pictures were found, not the blank stand-in
  int drawn = 0;
  for (int y = 0; y < images.height(); ++y)
    for (int x = 0; x < images.width(); ++x) drawn += (images.pixel(x, y) & 0xFFFFFF) != 0xFF00FF;
  ASSERT_GT(drawn, 0);
  const auto cellOf = [&](int cell, int x, int y) { return images.pixel((cell % 6) * 16 + x, (cell / 6) * 13 + y); };
  const int x0 = r0.Left + (18 - 16) / 2;
  const int y0 = r0.Top + (r0.Height() - 13) / 2;
  const int y1 = r1.Top + (r1.Height() - 13) / 2;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 16; ++x) {
      const auto expect = [](QRgb source) {
        return (source & 0xFFFFFF) == 0xFF00FF ? qRgb(255, 255, 255) : source | 0xFF000000;
      };
      ASSERT_EQ(shot.pixel(x0 + x, y0 + y), expect(cellOf(1, x, y))) << x << "," << y;  // checked, enabled
      ASSERT_EQ(shot.pixel(x0 + x, y1 + y), expect(cellOf(3, x, y))) << x << "," << y;  // unchecked, disabled
    }
}

}  // namespace
