#include "Cursors.h"

#include <gtest/gtest.h>

#include <QPixmap>

TEST(CursorsTest, RegisteredCursorIsFoundByIdAndUnknownIdsGiveTheArrow) {
  QPixmap pixmap(8, 8);
  pixmap.fill(Qt::black);
  SetScreenCursor(4242, QCursor(pixmap, 2, 3));
  ASSERT_TRUE(HasScreenCursor(4242));
  EXPECT_EQ(ScreenCursor(4242).hotSpot(), QPoint(2, 3));
  EXPECT_FALSE(HasScreenCursor(4243));
  EXPECT_EQ(ScreenCursor(4243).shape(), Qt::ArrowCursor);
}
