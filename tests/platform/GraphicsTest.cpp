#include "Graphics.h"

#include <gtest/gtest.h>

namespace {

TBitmap Filled(int w, int h, TColor color) {
  TBitmap bitmap(w, h);
  bitmap.Canvas().Brush.Color = color;
  bitmap.Canvas().FillRect(Rect(0, 0, w, h));
  return bitmap;
}

}  // namespace

TEST(ColorTest, RgbValuesAreBlueHighAndSystemColoursComeFromThePalette) {
  EXPECT_EQ(ColorToQRgb(clRed), qRgb(255, 0, 0));
  EXPECT_EQ(ColorToQRgb(0xFFD7D7), qRgb(0xD7, 0xD7, 0xFF));
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(192, 192, 192));
  EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
  EXPECT_EQ(ColorToRGB(clBtnHighlight), clWhite);
  EXPECT_EQ(ColorToRGB(clWindowFrame), clBlack);
  EXPECT_EQ(ColorToRGB(clBtnText), clBlack);
}

TEST(CanvasTest, LineToLeavesOutTheEndPoint) {
  TBitmap bitmap = Filled(5, 1, clWhite);
  bitmap.Canvas().Pen.Color = clBlack;
  bitmap.Canvas().MoveTo(1, 0);
  bitmap.Canvas().LineTo(4, 0);
  const TColor expected[] = {clWhite, clBlack, clBlack, clBlack, clWhite};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(bitmap.Canvas().Pixel(x, 0), expected[x]) << x;
}

TEST(CanvasTest, Frame3DPaintsLitTopLeftAndDarkBottomRightAndShrinks) {
  TBitmap bitmap = Filled(4, 4, clSilver);
  TRect r = Rect(0, 0, 4, 4);
  Frame3D(bitmap.Canvas(), r, clWhite, clBlack, 1);
  EXPECT_EQ(r, Rect(1, 1, 3, 3));
  const TCanvas& c = bitmap.Canvas();
  EXPECT_EQ(c.Pixel(0, 0), clWhite);
  EXPECT_EQ(c.Pixel(2, 0), clWhite);
  EXPECT_EQ(c.Pixel(3, 0), clBlack);  // top-right corner belongs to the dark side
  EXPECT_EQ(c.Pixel(0, 3), clBlack);  // so does bottom-left
  EXPECT_EQ(c.Pixel(3, 3), clBlack);
  EXPECT_EQ(c.Pixel(1, 1), clSilver);
}

TEST(CanvasTest, PatternBrushRepeatsFromTheOrigin) {
  TBitmap bitmap(10, 3);
  bitmap.Canvas().Brush.Bitmap = AllocPatternBitmap(clRed, clBlue);
  bitmap.Canvas().FillRect(Rect(1, 0, 10, 3));
  EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), clWhite);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), clBlue);
  EXPECT_EQ(bitmap.Canvas().Pixel(2, 0), clRed);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 1), clRed);
  EXPECT_EQ(bitmap.Canvas().Pixel(9, 1), clRed);
}

TEST(BitBltTest, BrushRasterOpPaintsWhereAMonochromeSourceMapsToWhite) {
  TBitmap mask = Filled(2, 1, clWhite);
  mask.Canvas().SetPixel(1, 0, clRed);
  mask.Canvas().Brush.Color = clRed;
  mask.SetMonochrome(true);  // red became white (1), white became black (0)
  ASSERT_EQ(mask.Canvas().Pixel(0, 0), clBlack);
  ASSERT_EQ(mask.Canvas().Pixel(1, 0), clWhite);

  TBitmap target = Filled(2, 1, clGreen);
  target.Canvas().Brush.Color = clBlue;
  target.Canvas().TextColor = clBlack;
  target.Canvas().BkColor = clWhite;
  BitBlt(target.Canvas(), 0, 0, 2, 1, mask.Canvas(), 0, 0, ROP_DSPDxax);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), clGreen);
  EXPECT_EQ(target.Canvas().Pixel(1, 0), clBlue);

  // With the text and background colours swapped the black source pixels take the brush.
  TBitmap swapped = Filled(2, 1, clGreen);
  swapped.Canvas().Brush.Color = clBlue;
  swapped.Canvas().TextColor = clWhite;
  swapped.Canvas().BkColor = clBlack;
  BitBlt(swapped.Canvas(), 0, 0, 2, 1, mask.Canvas(), 0, 0, ROP_DSPDxax);
  EXPECT_EQ(swapped.Canvas().Pixel(0, 0), clBlue);
  EXPECT_EQ(swapped.Canvas().Pixel(1, 0), clGreen);
}

TEST(BitmapTest, MonochromeToColourUsesFontColourForBlackAndBrushForWhite) {
  TBitmap bitmap = Filled(2, 1, clWhite);
  bitmap.Canvas().SetPixel(0, 0, clBlack);
  bitmap.Canvas().Brush.Color = clWhite;
  bitmap.SetMonochrome(true);
  bitmap.Canvas().Font.Color = clRed;
  bitmap.Canvas().Brush.Color = clBlue;
  bitmap.SetMonochrome(false);
  EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), clRed);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), clBlue);
}

TEST(BitmapTest, AutoTransparentColourIsTheBottomLeftPixelMarkedPaletteRelative) {
  TBitmap bitmap = Filled(3, 2, clWhite);
  bitmap.Canvas().SetPixel(0, 1, clFuchsia);
  EXPECT_EQ(bitmap.TransparentMode(), TTransparentMode::tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), clFuchsia | 0x02000000);
  bitmap.SetTransparentColor(clRed);
  EXPECT_EQ(bitmap.TransparentMode(), TTransparentMode::tmFixed);
  EXPECT_EQ(bitmap.TransparentColor(), clRed);
}

TEST(BitmapTest, TransparentBitmapDrawsAllButItsTransparentColour) {
  TBitmap glyph = Filled(2, 1, clRed);
  glyph.Canvas().SetPixel(1, 0, clFuchsia);
  glyph.SetTransparentColor(clFuchsia);
  glyph.SetTransparent(true);
  TBitmap target = Filled(3, 1, clGreen);
  target.Canvas().Draw(1, 0, glyph);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), clGreen);
  EXPECT_EQ(target.Canvas().Pixel(1, 0), clRed);
  EXPECT_EQ(target.Canvas().Pixel(2, 0), clGreen);
}

TEST(BitmapTest, ChangesAreNotified) {
  TBitmap bitmap;
  int changes = 0;
  bitmap.OnChange = [&](QObject*) { ++changes; };
  bitmap.SetSize(4, 4);
  bitmap.SetSize(4, 4);
  TBitmap other(2, 2);
  bitmap.Assign(&other);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(bitmap.Width(), 2);
}

TEST(ImageListTest, MasksDecideWhichPixelsAreDrawn) {
  TImageList images(2, 1);
  TBitmap image = Filled(2, 1, clRed);
  image.Canvas().SetPixel(1, 0, clFuchsia);
  EXPECT_EQ(images.AddMasked(image, clFuchsia), 0);
  TBitmap mask = Filled(2, 1, clBlack);
  mask.Canvas().SetPixel(0, 0, clWhite);
  EXPECT_EQ(images.Add(image, &mask), 1);
  ASSERT_EQ(images.Count(), 2);

  TBitmap target = Filled(2, 1, clGreen);
  images.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), clRed);
  EXPECT_EQ(target.Canvas().Pixel(1, 0), clGreen);

  TBitmap second = Filled(2, 1, clGreen);
  images.Draw(second.Canvas(), 0, 0, 1);
  EXPECT_EQ(second.Canvas().Pixel(0, 0), clGreen);
  EXPECT_EQ(second.Canvas().Pixel(1, 0), clFuchsia);

  TBitmap maskStyle = Filled(2, 1, clWhite);
  images.Draw(maskStyle.Canvas(), 0, 0, 0, ILD_MASK);
  EXPECT_EQ(maskStyle.Canvas().Pixel(0, 0), clBlack);
  EXPECT_EQ(maskStyle.Canvas().Pixel(1, 0), clWhite);
}

TEST(ImageListTest, BadIndexRaisesAGraphicsError) {
  TImageList images(2, 2);
  TBitmap target(2, 2);
  EXPECT_THROW(images.Draw(target.Canvas(), 0, 0, 0), EInvalidGraphicOperation);
}

TEST(DrawTextTest, CalcRectMeasuresWithoutThePrefixCharacter) {
  TBitmap bitmap(100, 40);
  TCanvas& canvas = bitmap.Canvas();
  TRect plain = Rect(5, 5, 5, 5);
  const int height = DrawText(canvas, "Exit", plain, DT_CALCRECT);
  TRect prefixed = Rect(5, 5, 5, 5);
  DrawText(canvas, "E&xit", prefixed, DT_CALCRECT);
  TRect literal = Rect(5, 5, 5, 5);
  DrawText(canvas, "E&xit", literal, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(plain.Left, 5);
  EXPECT_EQ(plain.Width(), canvas.TextWidth("Exit"));
  EXPECT_EQ(plain.Height(), height);
  EXPECT_GT(height, 0);
  EXPECT_EQ(prefixed, plain);
  EXPECT_GT(literal.Width(), plain.Width());
}

TEST(DrawTextTest, WordBreakWrapsToTheRectangleAndLineBreaksAlwaysCount) {
  TBitmap bitmap(100, 40);
  TCanvas& canvas = bitmap.Canvas();
  TRect one = Rect(0, 0, 1000, 0);
  const int lineHeight = DrawText(canvas, "alpha", one, DT_CALCRECT);
  TRect wrapped = Rect(0, 0, canvas.TextWidth("alpha") + 2, 0);
  DrawText(canvas, "alpha alpha", wrapped, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(wrapped.Height(), 2 * lineHeight);
  TRect lines = Rect(0, 0, 0, 0);
  DrawText(canvas, "a\r\nb", lines, DT_CALCRECT);
  EXPECT_EQ(lines.Height(), 2 * lineHeight);
}

TEST(DrawTextTest, DrawsInTheFontColourClippedToTheRectangle) {
  TBitmap bitmap = Filled(60, 30, clWhite);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font.Color = clRed;
  TRect r = Rect(0, 0, 10, 30);
  DrawText(canvas, "MMMMMM", r, DT_LEFT);
  bool red = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      const TColor c = canvas.Pixel(x, y);
      EXPECT_TRUE(c == clWhite || c == clRed) << x << "," << y;  // no antialiasing
      if (c == clRed) {
        red = true;
        EXPECT_LT(x, 10);
      }
    }
  EXPECT_TRUE(red);
}
