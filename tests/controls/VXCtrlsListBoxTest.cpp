#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <vector>

#include "VXCtrls.h"

namespace {

class ListBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.resize(320, 220);
    box = new TVxCustomListBox(&form);
    box->SetBounds(10, 10, 290, 180);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  [[nodiscard]] int Extent() const { return static_cast<int>(box->Perform(LB_GETHORIZONTALEXTENT)); }
  [[nodiscard]] int WidthOf(std::string_view text) const { return box->Canvas().TextWidth(text); }
  [[nodiscard]] std::vector<AnsiString> Texts() const {
    std::vector<AnsiString> texts;
    for (int i = 0; i < box->Items().Count(); ++i) texts.push_back(box->Items().Get(i));
    return texts;
  }

  // Owner-drawn, with a width handler that records which items it measured.
  void MeasureByHandler() {
    box->SetStyle(lbOwnerDrawFixed);
    box->SetOnDrawItem([](QWidget*, int, const TRect&, TOwnerDrawState) {});
    box->SetOnGetItemWidth([this](QWidget*, int index, int& width) {
      measured.push_back(index);
      width = 10 * static_cast<int>(box->Items().Get(index).size());
    });
  }

  TForm form;
  TVxCustomListBox* box = nullptr;
  std::vector<int> measured;
};

TEST_F(ListBoxTest, ExtentFollowsTheWidestItemWithOneXMore) {
  box->SetAutoScroll(true);
  box->Items().Add("short");
  EXPECT_EQ(Extent(), WidthOf("shortx"));
  box->Items().Add("a much longer item of the list");
  box->Items().Insert(0, "mid-sized item");
  const int widest = WidthOf("a much longer item of the listx");
  EXPECT_EQ(Extent(), widest);
  EXPECT_GT(widest, WidthOf("a much longer item of the list"));
  box->Items().Delete(0);  // narrower than the widest: kept
  EXPECT_EQ(Extent(), widest);
  box->Items().Delete(1);  // the widest: the rest is measured
  EXPECT_EQ(Extent(), WidthOf("shortx"));
  box->Items().Clear();
  EXPECT_EQ(Extent(), 0);
  EXPECT_EQ(box->WidestItem(), 0);
}

TEST_F(ListBoxTest, ExtentIsMeasuredIncrementally) {
  box->SetAutoScroll(true);
  MeasureByHandler();
  for (const char* text : {"aaaa", "bb", "cccccc", "d"}) box->Items().Add(text);
  EXPECT_EQ(measured, (std::vector<int>{0, 1, 2, 3}));  // each added item alone
  EXPECT_EQ(Extent(), 60);
  measured.clear();
  box->Items().Delete(1);  // narrower: only itself
  EXPECT_EQ(measured, (std::vector<int>{1}));
  measured.clear();
  box->Items().Delete(1);  // the widest: itself, then the rest
  EXPECT_EQ(measured, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(Extent(), 40);
  measured.clear();
  box->Items().Clear();
  EXPECT_TRUE(measured.empty());
}

TEST_F(ListBoxTest, WidthHandlerServesOnlyOwnerDrawnListsWithADrawHandler) {
  box->SetAutoScroll(true);
  box->SetOnGetItemWidth([](QWidget*, int, int& width) { width = 500; });
  box->Items().Add("abc");
  EXPECT_EQ(Extent(), WidthOf("abcx"));  // standard style: the text
  box->SetStyle(lbOwnerDrawFixed);
  EXPECT_EQ(Extent(), WidthOf("abcx"));  // no draw handler yet
  box->SetOnDrawItem([](QWidget*, int, const TRect&, TOwnerDrawState) {});
  EXPECT_EQ(Extent(), 500);
}

TEST_F(ListBoxTest, ColumnsTurnTheExtentOffAndSetTheColumnWidth) {
  box->SetAutoScroll(true);
  box->Items().Add("some item");
  QPointer<TListBoxWindow> before = box->Window();
  box->SetColumns(1);
  EXPECT_TRUE(before.isNull());  // 0 -> 1 re-creates the window
  EXPECT_FALSE(box->AutoScroll());
  EXPECT_EQ(Extent(), 0);
  EXPECT_EQ(box->Window()->ColumnWidth(), 288);
  EXPECT_EQ(box->Items().Get(0), "some item");

  box->SetAutoScroll(false);  // compared with the value read (False): nothing changes
  box->SetColumns(2);
  before = box->Window();
  box->SetColumns(3);
  EXPECT_FALSE(before.isNull());  // 2 -> 3 keeps it
  EXPECT_EQ(box->Window()->ColumnWidth(), (290 + 3 - 3) / 3);
  box->SetColumns(0);
  EXPECT_TRUE(box->AutoScroll());
  EXPECT_EQ(Extent(), WidthOf("some itemx"));
}

TEST_F(ListBoxTest, TabStopsWidenTheMeasure) {
  box->SetAutoScroll(true);
  box->SetTabWidth(-4);
  EXPECT_EQ(box->TabWidth(), 0);
  box->SetTabWidth(40);
  EXPECT_EQ(box->Window()->TabStops(), std::vector<int>{40});
  box->Items().Add("a\tb");
  const int tab = static_cast<int>(std::nearbyint(WidthOf("0") * 40 * 0.25));
  EXPECT_EQ(Extent(), tab + WidthOf("bx"));
}

TEST_F(ListBoxTest, LongTextsComeBackWhole) {
  const AnsiString longText(10000, 'w');
  box->Items().Add(longText);
  box->Items().Add("");
  EXPECT_EQ(box->Items().Get(0), longText);
  EXPECT_EQ(box->Items().Get(1), "");
}

TEST_F(ListBoxTest, BadIndexesRaiseTheListError) {
  box->Items().Add("one");
  const auto message = [](const std::function<void()>& f) -> std::string {
    try {
      f();
    } catch (const EStringListError& e) {
      return e.Message;
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { (void)box->Items().Get(3); }), "List index out of bounds (3)");
  EXPECT_EQ(message([&] { (void)box->Items().Objects(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(message([&] { (void)box->ItemSelected(1); }), "List index out of bounds (1)");
  box->Items().PutObject(0, -1);  // an Objects value of -1 cannot be told from a bad index
  EXPECT_EQ(message([&] { (void)box->Items().Objects(0); }), "List index out of bounds (0)");
  EXPECT_THROW(box->Items().Insert(5, "x"), EOutOfResources);
  EXPECT_EQ(box->Items().Count(), 1);
}

TEST_F(ListBoxTest, RecreatingTheWindowKeepsItemsDataTopAndCurrent) {
  for (int i = 0; i < 40; ++i) box->Items().AddObject("item " + std::to_string(i), 1000 + i);
  box->SetTopIndex(7);
  box->SetItemIndex(9);
  const QPointer<TListBoxWindow> before = box->Window();
  box->SetStyle(lbOwnerDrawFixed);
  box->SetIntegralHeight(true);
  EXPECT_TRUE(before.isNull());
  ASSERT_EQ(box->Items().Count(), 40);
  EXPECT_EQ(box->Items().Get(12), "item 12");
  EXPECT_EQ(box->Items().Objects(12), 1012);
  EXPECT_EQ(box->TopIndex(), 7);
  EXPECT_EQ(box->ItemIndex(), 9);

  box->SetSorted(true);  // re-added in order, data kept with its text
  EXPECT_EQ(box->Items().Get(1), "item 1");
  EXPECT_EQ(box->Items().Get(2), "item 10");
  EXPECT_EQ(box->Items().Objects(2), 1010);
}

TEST_F(ListBoxTest, ItemGeometryAndHitTesting) {
  for (const char* text : {"a", "b", "c"}) box->Items().Add(text);
  const TRect last = box->GetItemRect(2);
  const int h = last.Height();
  ASSERT_GT(h, 0);
  EXPECT_EQ(box->ItemHeight(), h);  // standard style: the window's item height
  EXPECT_EQ(box->GetItemRect(3), Rect(last.Left, last.Top + h, last.Right, last.Bottom + h));
  EXPECT_EQ(box->GetItemRect(4), TRect{});
  EXPECT_EQ(box->ItemAtPoint({5, h + 1}, true), 1);
  EXPECT_EQ(box->ItemAtPoint({5, 3 * h + 2}, true), -1);
  EXPECT_EQ(box->ItemAtPoint({5, 3 * h + 2}, false), 3);
  EXPECT_EQ(box->ItemAtPoint({-1, 2}, false), -1);
  box->SetItemHeight(0);  // ignored
  EXPECT_EQ(box->ItemHeight(), h);
}

TEST_F(ListBoxTest, PaintingIntoAnImageDrawsFromTheTopIndex) {
  box->SetStyle(lbOwnerDrawFixed);
  std::vector<int> drawn;
  box->SetOnDrawItem([&](QWidget*, int index, const TRect&, TOwnerDrawState) { drawn.push_back(index); });
  QImage image(290, 180, QImage::Format_RGB32);
  box->Perform(WM_PAINT, reinterpret_cast<std::uintptr_t>(&image));
  EXPECT_EQ(drawn, std::vector<int>{0});  // no items: one empty slot
  drawn.clear();
  for (const char* text : {"a", "b", "c"}) box->Items().Add(text);
  box->Perform(WM_PAINT, reinterpret_cast<std::uintptr_t>(&image));
  EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
}

TEST_F(ListBoxTest, TextSitsTwoPixelsInAndCentredButNeverAboveTheTop) {
  box->SetStyle(lbOwnerDrawFixed);
  box->Items().Add("W");
  box->SetColor(clWhite);
  QImage image(290, 180, QImage::Format_RGB32);
  image.fill(Qt::white);
  const auto firstInk = [&image](int top, int bottom) {
    int left = image.width();
    int high = bottom;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128) {
          left = std::min(left, x);
          high = std::min(high, y);
        }
    return std::pair{left, high};
  };
  box->SetItemHeight(40);
  box->Perform(WM_PAINT, reinterpret_cast<std::uintptr_t>(&image));
  const auto [left, top] = firstInk(0, 40);
  EXPECT_GE(left, 2);
  EXPECT_LE(left, 4);
  EXPECT_GT(top, (40 - box->Canvas().TextHeight("Wy")) / 2 - 1);  // centred in 40 pixels
  image.fill(Qt::white);
  box->SetItemHeight(4);  // shorter than the text: starts at the item's top
  box->Perform(WM_PAINT, reinterpret_cast<std::uintptr_t>(&image));
  EXPECT_LT(firstInk(0, 4).second, 4);
}

TEST_F(ListBoxTest, GraySelectionWithoutTheFocus) {
  box->SetStyle(lbOwnerDrawFixed);
  box->Items().Add("one");
  box->Items().Add("two");
  box->SetItemIndex(0);
  std::vector<TColor> brushes;
  box->SetOnDrawItem([&](QWidget*, int index, const TRect&, TOwnerDrawState state) {
    if (index == 0 && (state & odSelected)) brushes.push_back(box->Canvas().Brush.Color);
  });
  auto* other = new QWidget(&form);
  other->setFocusPolicy(Qt::StrongFocus);
  other->show();
  other->setFocus();
  box->Window()->viewport()->repaint();
  ASSERT_FALSE(brushes.empty());
  EXPECT_EQ(brushes.back(), clHighlight);  // without gray selection, focus or not
  box->SetGraySelection(true);
  box->Window()->viewport()->repaint();
  ASSERT_FALSE(brushes.empty());
  EXPECT_EQ(brushes.back(), clBtnFace);
  box->setFocus();
  ASSERT_TRUE(box->Focused());
  box->Window()->viewport()->repaint();
  EXPECT_EQ(brushes.back(), clHighlight);
}

TEST_F(ListBoxTest, PressOnASelectedItemOfAMultipleSelectionStartsADrag) {
  box->SetMultiSelect(true);
  box->DragMode = TDragMode::dmAutomatic;
  for (const char* text : {"a", "b", "c"}) box->Items().Add(text);
  box->Perform(LB_SETSEL, 1, 0);
  box->Perform(LB_SETSEL, 1, 1);
  const TRect first = box->GetItemRect(0);
  QTest::mousePress(box->Window()->viewport(), Qt::LeftButton, {}, QPoint(5, first.Top + 2));
  EXPECT_TRUE(box->Dragging());
  EXPECT_EQ(box->SelectedCount(), 2);  // the window did not see the press
  box->EndDrag(false);
  QTest::mouseRelease(box->Window()->viewport(), Qt::LeftButton, {}, QPoint(5, first.Top + 2));
  EXPECT_FALSE(box->Dragging());

  box->Perform(LB_SETSEL, 0, -1);
  box->Perform(LB_SETSEL, 1, 0);  // the anchor of a range
  const TRect third = box->GetItemRect(2);
  QTest::mousePress(box->Window()->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(5, third.Top + 2));
  EXPECT_FALSE(box->Dragging());  // Shift alone selects
  EXPECT_EQ(box->SelectedCount(), 3);
  QTest::mouseRelease(box->Window()->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(5, third.Top + 2));
}

TEST_F(ListBoxTest, ClicksSelectAndNotify) {
  for (const char* text : {"a", "b", "c"}) box->Items().Add(text);
  int clicks = 0;
  int doubles = 0;
  box->OnClick = [&](QObject*) { ++clicks; };
  box->OnDblClick = [&](QObject*) { ++doubles; };
  const TRect second = box->GetItemRect(1);
  QTest::mouseClick(box->Window()->viewport(), Qt::LeftButton, {}, QPoint(5, second.Top + 2));
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  QTest::mouseDClick(box->Window()->viewport(), Qt::LeftButton, {}, QPoint(5, second.Top + 2));
  EXPECT_EQ(doubles, 1);
  QTest::keyClick(box->Window(), Qt::Key_Down);
  EXPECT_EQ(box->ItemIndex(), 2);
}

}  // namespace
