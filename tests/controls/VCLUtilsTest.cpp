#include "VCLUtils.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include "Controls.h"
#include "Cursors.h"
#include "DateUtil.h"
#include "MaxMin.h"
#include "MessageQueue.h"
#include "VXConst.h"

namespace {

// A picture whose pixel at (x, y) encodes its own position.
TBitmap Numbered(int w, int h) {
  TBitmap bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap.Canvas().SetPixel(x, y, RGB(x, y, 7));
  return bitmap;
}

class SolidWidget final : public QWidget {
 public:
  SolidWidget(QColor color, QWidget* parent = nullptr) : QWidget(parent), Color(color) {}
  QColor Color;
  bool SawPaintCopy = false;

 protected:
  void paintEvent(QPaintEvent*) override {
    SawPaintCopy = SawPaintCopy || IsPaintingCopy(this);
    QPainter(this).fillRect(rect(), Color);
  }
};

class SolidControl final : public TGraphicControl {
 public:
  SolidControl(TColor color, QWidget* parent) : TGraphicControl(parent), Color(color) {}
  TColor Color;

 protected:
  void Paint() override {
    Canvas().Brush.Color = Color;
    Canvas().FillRect(Rect(0, 0, width(), height()));
  }
};

}  // namespace

TEST(CopyGlyphCellTest, CopiesTheCellOfColumnAndRow) {
  const TBitmap source = Numbered(60, 30);  // 6 x 3 cells of 10 x 10
  TBitmap target;
  CopyGlyphCell(&source, &target, 6, 3, 7);
  ASSERT_EQ(target.Width(), 10);
  ASSERT_EQ(target.Height(), 10);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), RGB(10, 10, 7));
  EXPECT_EQ(target.Canvas().Pixel(9, 9), RGB(19, 19, 7));
}

TEST(CopyGlyphCellTest, ColumnsAndIndexBelowTheirMinimumCountAsOneAndZero) {
  const TBitmap source = Numbered(20, 10);
  TBitmap target;
  CopyGlyphCell(&source, &target, 0, 1, -3);
  EXPECT_EQ(target.Width(), 20);
  EXPECT_EQ(target.Canvas().Pixel(19, 0), RGB(19, 0, 7));
}

TEST(CopyGlyphCellTest, TakesTransparencyFromTheSource) {
  TBitmap source = Numbered(20, 10);
  source.SetTransparentColor(clFuchsia);
  source.SetTransparent(true);
  TBitmap target;
  CopyGlyphCell(&source, &target, 2, 1, 1);
  EXPECT_EQ(target.TransparentColor(), clFuchsia);
  EXPECT_TRUE(target.Transparent());
  EXPECT_EQ(target.Canvas().Pixel(0, 0), RGB(10, 0, 7));
}

TEST(CopyGlyphCellTest, IconSourceGivesACellOnSilver) {
  QImage image(8, 4, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  image.setPixel(5, 1, qRgb(255, 0, 0));
  const TImageGraphic icon(image);
  TBitmap target;
  CopyGlyphCell(&icon, &target, 2, 1, 1);
  ASSERT_EQ(target.Width(), 4);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), clSilver);
  EXPECT_EQ(target.Canvas().Pixel(1, 1), clRed);
  EXPECT_TRUE(target.Transparent());
}

TEST(CopyGlyphCellTest, MissingGraphicsDoNothing) {
  TBitmap target(3, 3);
  CopyGlyphCell(nullptr, &target, 1, 1, 0);
  EXPECT_EQ(target.Width(), 3);
  const TBitmap source(4, 4);
  CopyGlyphCell(&source, nullptr, 1, 1, 0);
}

TEST(DisabledBitmapTest, EmbossesTheOutlinePixelsInHighlightAndShadow) {
  TBitmap source(4, 4);  // white, with black at (1, 1) and red at (2, 2)
  source.Canvas().SetPixel(1, 1, clBlack);
  source.Canvas().SetPixel(2, 2, clRed);
  const auto result = BuildDisabledBitmap(source, clBlack, clSilver, clWhite, clGray, true);
  ASSERT_EQ(result->Width(), 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const TColor expected = (x == 1 && y == 1) ? clGray : (x == 2 && y == 2) ? clWhite : clSilver;
      EXPECT_EQ(result->Canvas().Pixel(x, y), expected) << x << "," << y;
    }
  const auto flat = BuildDisabledBitmap(source, clBlack, clSilver, clWhite, clGray, false);
  EXPECT_EQ(flat->Canvas().Pixel(2, 2), clSilver);
  EXPECT_EQ(flat->Canvas().Pixel(1, 1), clGray);
}

TEST(DisabledBitmapTest, MonochromeSourceMarksItsBlackPixels) {
  TBitmap source(3, 1);
  source.Canvas().SetPixel(0, 0, clBlack);
  source.Canvas().Brush.Color = clWhite;
  source.SetMonochrome(true);
  const auto result = BuildDisabledBitmap(source, clRed, clSilver, clWhite, clGray, false);
  EXPECT_EQ(result->Canvas().Pixel(0, 0), clGray);
  EXPECT_EQ(result->Canvas().Pixel(1, 0), clSilver);
}

TEST(DisabledBitmapTest, DefaultUsesTheButtonColours) {
  TBitmap source(2, 2);
  source.Canvas().SetPixel(0, 0, clBlack);
  const auto result = BuildDefaultDisabledBitmap(source, clBlack);
  EXPECT_EQ(result->Canvas().Pixel(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(result->Canvas().Pixel(1, 1), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(result->Canvas().Pixel(1, 0), ColorToRGB(clBtnFace));
}

TEST(DisabledImageTest, DrawsTheOpaquePixelsEmbossedAndRestoresTheBrush) {
  TImageList images(3, 3);
  TBitmap image(3, 3);
  image.Canvas().Brush.Color = clFuchsia;
  image.Canvas().FillRect(Rect(0, 0, 3, 3));
  image.Canvas().SetPixel(0, 0, clBlue);
  images.AddMasked(image, clFuchsia);
  TBitmap target(6, 6);
  target.Canvas().Brush.Color = clGreen;
  target.Canvas().FillRect(Rect(0, 0, 6, 6));
  DrawDisabledImage(images, target.Canvas(), 2, 2, 0, clWhite, clGray, true);
  EXPECT_EQ(target.Canvas().Brush.Color, clGreen);
  EXPECT_EQ(target.Canvas().Pixel(2, 2), clGray);
  EXPECT_EQ(target.Canvas().Pixel(3, 3), clWhite);
  EXPECT_EQ(target.Canvas().Pixel(4, 4), clGreen);
  EXPECT_EQ(target.Canvas().Pixel(2, 3), clGreen);
}

TEST(ShortenTextTest, KeepsAFittingTextAndGivesDotsWhenNothingFits) {
  TBitmap bitmap(10, 10);
  const TCanvas& canvas = bitmap.Canvas();
  EXPECT_EQ(ShortenText("Exit", canvas, canvas.TextWidth("Exit")), "Exit");
  EXPECT_EQ(ShortenText("W", canvas, canvas.TextWidth("W") - 1), "...");
  EXPECT_EQ(ShortenText("Exit", canvas, 0), "...");
  EXPECT_EQ(ShortenText("", canvas, 0), "");
}

TEST(ShortenTextTest, NeverTriesTheFormThatDropsOneCharacter) {
  TBitmap bitmap(10, 10);
  const TCanvas& canvas = bitmap.Canvas();
  const AnsiString text = "ABCDWW";
  const int oneDropped = canvas.TextWidth("ABCDW...");
  ASSERT_GT(canvas.TextWidth(text), oneDropped);  // the font keeps "WW" wider than "W..."
  EXPECT_EQ(ShortenText(text, canvas, oneDropped), "ABCD...");
  EXPECT_EQ(ShortenText(text, canvas, canvas.TextWidth("AB...")), "AB...");
}

TEST(BackdropTest, PaintsTheParentAndTheWindowlessControlsBelowOnly) {
  SolidWidget parent(Qt::green);
  parent.resize(60, 40);
  SolidControl below(clBlue, &parent);
  below.setGeometry(0, 0, 15, 40);
  SolidWidget windowed(Qt::yellow, &parent);
  windowed.setGeometry(0, 30, 60, 10);
  QWidget* control = new QWidget(&parent);
  control->setGeometry(10, 0, 20, 20);
  SolidControl above(clRed, &parent);
  above.setGeometry(25, 0, 10, 10);
  parent.show();

  TBitmap buffer(20, 20);
  PaintParentBackdrop(control, buffer.Canvas());
  EXPECT_EQ(buffer.Canvas().Pixel(0, 0), clBlue);   // parent x 10: the sibling below
  EXPECT_EQ(buffer.Canvas().Pixel(4, 19), clBlue);  // parent x 14
  EXPECT_EQ(buffer.Canvas().Pixel(5, 0), clLime);   // parent x 15: the parent's own paint
  EXPECT_EQ(buffer.Canvas().Pixel(19, 5), clLime);  // the sibling above is not painted
  EXPECT_TRUE(parent.SawPaintCopy);
  EXPECT_FALSE(IsPaintingCopy(&parent));
}

TEST(BackdropTest, MissingControlOrParentDoesNothing) {
  TBitmap buffer(2, 2);
  PaintParentBackdrop(nullptr, buffer.Canvas());
  QWidget orphan;
  PaintParentBackdrop(&orphan, buffer.Canvas());
  EXPECT_EQ(buffer.Canvas().Pixel(0, 0), clWhite);
}

namespace {

class PressCounter final : public QWidget {
 public:
  int Presses = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++Presses; }
};

void PostPress(QWidget& widget) {
  const QPoint global = widget.mapToGlobal(QPoint(1, 1));
  ASSERT_TRUE(PostMouseButton(
      QMouseEvent(QEvent::MouseButtonPress, QPointF(1, 1), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier)));
}

}  // namespace

TEST(DiscardPendingMessageTest, RemovesOnePendingPressAndIgnoresAnEmptyQueue) {
  DiscardPendingMessage(nullptr, WM_LBUTTONDOWN);
  PressCounter widget;
  widget.show();
  for (int i = 0; i < 2; ++i) PostPress(widget);
  DiscardPendingMessage(nullptr, WM_RBUTTONDOWN);
  DiscardPendingMessage(nullptr, WM_LBUTTONDOWN);
  QCoreApplication::processEvents();
  EXPECT_EQ(widget.Presses, 1);
}

TEST(DiscardPendingMessageTest, AQuitTakenOutOnTheWayIsPostedAgainWithItsCode) {
  PressCounter widget;
  widget.show();
  PostQuitMessage(7);
  PostPress(widget);
  DiscardPendingMessage(nullptr, WM_LBUTTONDOWN);  // finds the quit first
  TMsg pending;
  ASSERT_TRUE(PeekMessageA(pending, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
  EXPECT_EQ(pending.message, static_cast<unsigned>(WM_LBUTTONDOWN));
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(-99); });
  guard.start(5000);
  EXPECT_EQ(QCoreApplication::exec(), 7);
  EXPECT_EQ(widget.Presses, 1);
}

TEST(OwnWindowActiveTest, FollowsTheActiveTopLevelWindow) {
  QWidget window;
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_TRUE(IsOwnWindowActive());
  window.hide();
  QApplication::setActiveWindow(nullptr);
  EXPECT_FALSE(IsOwnWindowActive());
}

TEST(SmallRoutinesTest, MaxMinAndRectSizes) {
  EXPECT_EQ(MaxMin::Max(3, 3), 3);
  EXPECT_EQ(MaxMin::Max(-2, 5), 5);
  EXPECT_EQ(MaxMin::Min(-1, 5), -1);
  EXPECT_EQ(MaxMin::Min(4, 2), 2);
  EXPECT_EQ(RectWidth(Rect(10, 0, 4, 0)), -6);
  EXPECT_EQ(RectHeight(Rect(0, 3, 0, 10)), 7);
  EXPECT_EQ(ResourceText("List index out of bounds (%d)"), "List index out of bounds (%d)");
}

TEST(DateUtilTest, FourDigitYearFlagComesFromTheShortDateFormat) {
  EXPECT_TRUE(HasFourDigitYear("d.M.yyyy"));
  EXPECT_TRUE(HasFourDigitYear("YYYY-MM-DD"));
  EXPECT_FALSE(HasFourDigitYear("d.M.yy"));
  EXPECT_FALSE(HasFourDigitYear("yyy"));
}

TEST(VXConstTest, RegistersTheHandAndDragCursorsAt32By32) {
  InitializeVXConst();
  for (const int id : {14000, 14001}) {
    ASSERT_TRUE(HasScreenCursor(id)) << id;
    EXPECT_EQ(ScreenCursor(id).pixmap().size(), QSize(32, 32)) << id;
  }
}
