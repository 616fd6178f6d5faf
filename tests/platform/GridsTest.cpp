#include "Grids.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <set>

namespace {

// A 6-column grid of 75 x 80 cells whose cells paint their own colour, counting what it paints.
class Grid : public testing::Test {
 protected:
  void SetUp() override {
    View.SetColCount(6);
    View.SetDefaultColWidth(75);
    View.SetDefaultRowHeight(80);
    View.SetRowCount(20);
    View.resize(477, 255);
    View.OnDrawCell = [this](QObject*, int col, int row, TRect rect, TGridDrawState) {
      Painted.insert({col, row});
      View.Canvas().Brush.Color = Colour(col, row);
      View.Canvas().FillRect(rect);
    };
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    View.PaintCanvas();
    Painted.clear();
  }

  static TColor Colour(int col, int row) { return RGB(col * 40, row * 12, 100); }

  TDrawGrid View;
  std::set<std::pair<int, int>> Painted;
};

TEST_F(Grid, CellsAndPointsMeetOnTheGridLines) {
  EXPECT_EQ(View.VisibleRowCount(), View.viewport()->height() / 81);
  EXPECT_EQ(View.CellRect(0, 0), (TRect{0, 0, 75, 80}));
  EXPECT_EQ(View.CellRect(5, 2), (TRect{380, 162, 455, 242}));
  EXPECT_EQ(View.CellRect(6, 0), TRect{});  // no such column
  struct Case {
    int X, Y, Col, Row;
  };
  for (const Case c : {Case{0, 0, 0, 0}, Case{75, 80, 0, 0}, Case{76, 81, 1, 1}, Case{455, 10, 5, 0},
                       Case{456, 10, -1, -1}, Case{-1, 5, -1, -1}}) {
    int col = 0;
    int row = 0;
    EXPECT_EQ(View.MouseToCell(c.X, c.Y, col, row), c.Col >= 0) << c.X << "," << c.Y;
    EXPECT_EQ(col, c.Col);
    EXPECT_EQ(row, c.Row);
  }
}

TEST_F(Grid, ScrollingPaintsOnlyTheRowsThatComeIntoViewAndShowsWhatAFullPaintShows) {
  const int visible = View.VisibleRowCount();
  View.SetTopRow(1);
  View.PaintCanvas();
  std::set<std::pair<int, int>> rows;
  for (const auto& cell : Painted) rows.insert({0, cell.second});
  // One row up: the new bottom rows (the one that was partly on view, and the one below it).
  EXPECT_EQ(rows, (std::set<std::pair<int, int>>{{0, visible}, {0, visible + 1}}));
  QTest::mouseClick(View.viewport(), Qt::LeftButton, {}, QPoint(10, 10));  // row 1, the top one
  View.PaintCanvas();
  Painted.clear();
  QTest::keyClick(&View, Qt::Key_PageDown);
  const QImage scrolled = View.PaintCanvas().copy();
  EXPECT_EQ(View.TopRow(), 1 + visible);
  EXPECT_EQ(View.Row(), 1 + visible);
  EXPECT_EQ(Painted.size(), 6u * (visible + 1));  // a page on: every cell on view is new
  View.Invalidate();
  EXPECT_EQ(View.PaintCanvas(), scrolled);
  for (int row = 0; row <= visible; ++row)
    for (int col = 0; col < 6; ++col) {
      const TRect rect = View.CellRect(col, View.TopRow() + row);
      if (rect.Width() == 0) continue;
      EXPECT_EQ(scrolled.pixel(rect.Left + 3, rect.Top + 3), ColorToQRgb(Colour(col, View.TopRow() + row)));
    }
}

TEST_F(Grid, ClicksAndKeysMoveTheCurrentCellIntoView) {
  int clicks = 0;
  int doubleClicks = 0;
  View.OnClick = [&](QObject*) { ++clicks; };
  View.OnDblClick = [&](QObject*) { ++doubleClicks; };
  QTest::mouseClick(View.viewport(), Qt::LeftButton, {}, QPoint(160, 100));
  EXPECT_EQ(View.Col(), 2);
  EXPECT_EQ(View.Row(), 1);
  View.SetRowCount(2);
  QTest::mouseClick(View.viewport(), Qt::LeftButton, {}, QPoint(10, 200));  // below the last row
  EXPECT_EQ(View.Row(), 1);
  EXPECT_EQ(View.PressedCol(), -1);
  QTest::mouseDClick(View.viewport(), Qt::LeftButton, {}, QPoint(10, 200));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubleClicks, 1);  // the window decides what a double-click beside the cells means
  View.SetRowCount(20);
  View.setFocus();
  QTest::keyClick(&View, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(View.Col(), 5);
  EXPECT_EQ(View.Row(), 19);
  EXPECT_EQ(View.TopRow(), 20 - View.VisibleRowCount());
  EXPECT_EQ(View.verticalScrollBar()->value(), View.TopRow());
  QTest::keyClick(&View, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(View.TopRow(), 0);
}

}  // namespace
