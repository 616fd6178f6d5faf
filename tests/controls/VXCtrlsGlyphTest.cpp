#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "VCLUtils.h"
#include "VXCtrls.h"

namespace {

constexpr TColor kCells[5] = {RGB(200, 40, 10), RGB(10, 200, 40), RGB(40, 10, 200), RGB(90, 90, 30), RGB(30, 90, 90)};
constexpr TColor kBackground = clLime;

// A strip of `count` square cells, each solid in its own colour, with a fuchsia bottom-left pixel.
TBitmap Strip(int count, int size = 4) {
  TBitmap strip(count * size, size);
  for (int k = 0; k < count; ++k) {
    strip.Canvas().Brush.Color = kCells[k];
    strip.Canvas().FillRect(Bounds(k * size, 0, size, size));
  }
  strip.Canvas().SetPixel(0, size - 1, clFuchsia);
  return strip;
}

TBitmap Canvas(int w, int h, TColor color = kBackground) {
  TBitmap bitmap(w, h);
  bitmap.Canvas().Brush.Color = color;
  bitmap.Canvas().FillRect(Rect(0, 0, w, h));
  return bitmap;
}

TColor DrawnPixel(TVxButtonGlyph& painter, TButtonPaintState state, int x, int y) {
  TBitmap target = Canvas(8, 8);
  painter.DrawPictureGlyph(target.Canvas(), 0, 0, state);
  return target.Canvas().Pixel(x, y);
}

std::set<std::pair<int, int>> PixelsOf(const TBitmap& bitmap, TColor color) {
  std::set<std::pair<int, int>> result;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Canvas().Pixel(x, y) == color) result.insert({x, y});
  return result;
}

}  // namespace

TEST(GlyphPictureTest, CellCountFollowsThePictureShape) {
  TVxButtonGlyph painter;
  const struct {
    int width, height, expected;
  } cases[] = {{64, 16, 4}, {96, 16, 1}, {32, 16, 2}, {40, 16, 2}, {16, 16, 1}, {80, 16, 5}, {0, 16, 5}};
  int changes = 0;
  painter.OnChange = [&](QObject*) { ++changes; };
  TBitmap five(80, 16);
  painter.SetPicture(&five);
  for (const auto& c : cases) {
    const TBitmap picture(c.width, c.height);
    painter.SetPicture(&picture);
    EXPECT_EQ(painter.NumGlyphs(), c.expected) << c.width << " x " << c.height;
  }
  EXPECT_GE(changes, 8);
}

TEST(GlyphPictureTest, TransparentColourIsThePicturesWithoutThePaletteFlag) {
  TVxButtonGlyph painter;
  EXPECT_EQ(painter.TransparentColor, clFuchsia);
  TBitmap picture = Canvas(4, 4, clWhite);
  picture.Canvas().SetPixel(0, 3, clRed);
  painter.SetPicture(&picture);
  EXPECT_EQ(painter.TransparentColor, clRed);
}

TEST(GlyphGreyTest, WeightsTheChannelsAndKeepsTransparentAndFaceColours) {
  TVxButtonGlyph painter;
  painter.TransparentColor = clFuchsia;
  const struct {
    TColor in, out;
  } cases[] = {
      {RGB(10, 20, 30), RGB(18, 18, 18)},        // (770 + 3000 + 870) shr 8
      {RGB(255, 0, 0), RGB(76, 76, 76)},         // 19635 shr 8
      {RGB(0, 255, 0), RGB(149, 149, 149)},      // 38250 shr 8
      {RGB(0, 0, 255), RGB(28, 28, 28)},         // 7395 shr 8
      {clWhite, clWhite},                        // 77 + 150 + 29 = 256
      {clFuchsia, clFuchsia},                    // the transparent colour
      {RGB(192, 192, 192), RGB(192, 192, 192)},  // the face colour
      {clBtnFace, clBtnFace},
  };
  for (const auto& c : cases) EXPECT_EQ(painter.GreyColor(c.in), c.out) << std::hex << c.in;
}

TEST(GlyphCellTest, EachStateTakesItsCellForEachCellCount) {
  for (int n = 1; n <= 5; ++n) {
    TVxButtonGlyph painter;
    const TBitmap strip = Strip(n);
    painter.SetPicture(&strip);
    ASSERT_EQ(painter.NumGlyphs(), n);
    const TColor expected[5] = {
        kCells[0],
        n > 1 ? kCells[1] : kBackground,  // one cell: the embossed picture has no black to show
        n >= 3 ? kCells[2] : kCells[0],
        n >= 4 ? kCells[3] : kCells[0],
        n == 5 ? kCells[4] : painter.GreyColor(kCells[0]),
    };
    for (int s = 0; s <= psInactive; ++s)
      EXPECT_EQ(DrawnPixel(painter, static_cast<TButtonPaintState>(s), 1, 1), expected[s])
          << "cells " << n << " state " << s;
    // The transparent pixel of cell 0 stays transparent in the copies of cell 0.
    EXPECT_EQ(DrawnPixel(painter, psUp, 0, 3), kBackground);
    EXPECT_EQ(DrawnPixel(painter, psExclusive, 0, 3), n >= 4 ? kCells[3] : kBackground);
    if (n < 3) {
      EXPECT_EQ(painter.BuildCell(psDown), painter.BuildCell(psUp));
      EXPECT_EQ(painter.CellIndex(psDown), -1);
    }
    EXPECT_NE(painter.BuildCell(psExclusive), painter.BuildCell(psUp));
  }
}

TEST(GlyphCellTest, SingleCellIsEmbossedWhenDisabledAndGreyedWhenInactive) {
  TBitmap picture = Canvas(4, 4, clFuchsia);
  picture.Canvas().SetPixel(1, 1, clBlack);
  picture.Canvas().SetPixel(2, 1, RGB(192, 192, 192));  // the face colour
  picture.Canvas().SetPixel(1, 2, clRed);
  TVxButtonGlyph painter;
  painter.SetPicture(&picture);

  TBitmap disabled = Canvas(8, 8);
  painter.DrawPictureGlyph(disabled.Canvas(), 0, 0, psDisabled);
  EXPECT_EQ(PixelsOf(disabled, ColorToRGB(clBtnShadow)), (std::set<std::pair<int, int>>{{1, 1}}));
  EXPECT_EQ(PixelsOf(disabled, ColorToRGB(clBtnHighlight)), (std::set<std::pair<int, int>>{{2, 2}}));
  EXPECT_EQ(PixelsOf(disabled, kBackground).size(), 62u);

  TBitmap inactive = Canvas(8, 8);
  painter.DrawPictureGlyph(inactive.Canvas(), 0, 0, psInactive);
  EXPECT_EQ(inactive.Canvas().Pixel(1, 1), clBlack);
  EXPECT_EQ(inactive.Canvas().Pixel(2, 1), RGB(192, 192, 192));
  EXPECT_EQ(inactive.Canvas().Pixel(1, 2), RGB(76, 76, 76));
  EXPECT_EQ(inactive.Canvas().Pixel(0, 0), kBackground);
}

TEST(GlyphCellTest, EmptyPictureDrawsNothing) {
  TVxButtonGlyph painter;
  TBitmap target = Canvas(4, 4);
  EXPECT_EQ(painter.DrawPictureGlyph(target.Canvas(), 0, 0, psUp), (TSize{0, 0}));
  EXPECT_EQ(painter.BuildCell(psUp), -1);
  EXPECT_EQ(painter.CellList(), nullptr);
}

TEST(GlyphCacheTest, PaintersOfOneCellSizeShareAListAndReuseFreedSlots) {
  ASSERT_EQ(SharedGlyphCache, nullptr);
  const TBitmap strip = Strip(1, 16);
  {
    TVxButtonGlyph a;
    TVxButtonGlyph b;
    ASSERT_NE(SharedGlyphCache, nullptr);
    a.SetPicture(&strip);
    b.SetPicture(&strip);
    EXPECT_EQ(a.BuildCell(psUp), 0);
    EXPECT_EQ(b.BuildCell(psUp), 1);
    ASSERT_EQ(a.CellList(), b.CellList());
    TGlyphList* list = a.CellList();
    EXPECT_EQ(list->UsedCount(), 2);

    a.ReleaseCells();
    EXPECT_EQ(a.CellList(), nullptr);
    EXPECT_EQ(list->UsedCount(), 1);
    TVxButtonGlyph c;
    c.SetPicture(&strip);
    EXPECT_EQ(c.BuildCell(psUp), 0);  // the freed slot
    EXPECT_EQ(c.CellList(), list);
    EXPECT_EQ(list->Count(), 2);

    const TBitmap other = Strip(1, 8);
    a.SetPicture(&other);
    a.BuildCell(psUp);
    EXPECT_NE(a.CellList(), list);
    // Painters already gone are not needed: the list of a size goes with its last cell.
    b.ReleaseCells();
    c.ReleaseCells();
    EXPECT_FALSE(SharedGlyphCache->IsEmpty());
    a.ReleaseCells();
    EXPECT_TRUE(SharedGlyphCache->IsEmpty());
  }
  EXPECT_EQ(SharedGlyphCache, nullptr);
}

TEST(GlyphCacheTest, CellCountChangeAndNewPictureRebuildTheCells) {
  TVxButtonGlyph painter;
  const TBitmap strip = Strip(2);
  painter.SetPicture(&strip);
  painter.BuildCell(psUp);
  ASSERT_NE(painter.CellIndex(psUp), -1);
  painter.SetCellCount(0);
  EXPECT_NE(painter.CellIndex(psUp), -1);
  painter.SetCellCount(1);
  EXPECT_EQ(painter.CellIndex(psUp), -1);
  EXPECT_EQ(painter.NumGlyphs(), 1);
}

TEST(GlyphImageListTest, ImageListStatesDrawNormalEmbossedAndGrey) {
  TImageList images(4, 4);
  TBitmap image = Canvas(4, 4, clBlue);
  image.Canvas().SetPixel(0, 0, clFuchsia);
  images.AddMasked(image, clFuchsia);
  TVxButtonGlyph painter;

  const auto draw = [&](TButtonPaintState state, int index) {
    TBitmap target = Canvas(6, 6);
    EXPECT_EQ(painter.DrawImageListGlyph(target.Canvas(), 1, 1, state, &images, index),
              (index == 0 ? TSize{4, 4} : TSize{0, 0}));
    return target;
  };
  const TBitmap up = draw(psUp, 0);
  EXPECT_EQ(up.Canvas().Pixel(1, 1), kBackground);
  EXPECT_EQ(up.Canvas().Pixel(2, 2), clBlue);
  EXPECT_EQ(draw(psDown, 0).Canvas().Pixel(2, 2), clBlue);
  const TBitmap inactive = draw(psInactive, 0);
  EXPECT_EQ(inactive.Canvas().Pixel(2, 2), RGB(28, 28, 28));
  EXPECT_EQ(inactive.Canvas().Pixel(1, 1), kBackground);
  const TBitmap disabled = draw(psDisabled, 0);
  EXPECT_EQ(disabled.Canvas().Pixel(2, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(disabled.Canvas().Pixel(5, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(disabled.Canvas().Pixel(1, 1), kBackground);
  EXPECT_EQ(PixelsOf(draw(psUp, 1), kBackground).size(), 36u);
  EXPECT_EQ(PixelsOf(draw(psUp, -1), kBackground).size(), 36u);
}

TEST(GlyphImageListTest, UpCellKeepsTheImagesMask) {
  TImageList images(4, 4);
  TBitmap image = Canvas(4, 4, clBlue);
  image.Canvas().SetPixel(3, 0, clFuchsia);
  images.AddMasked(image, clFuchsia);
  TVxButtonGlyph painter;
  const int slot = painter.BuildImageListCell(psUp, images, 0);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(painter.BuildImageListCell(psDown, images, 0), slot);
  TBitmap target = Canvas(4, 4);
  painter.CellList()->Draw(target.Canvas(), 0, 0, slot);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), clBlue);
  EXPECT_EQ(target.Canvas().Pixel(3, 0), kBackground);
  const TImageList none(4, 4);
  TVxButtonGlyph other;
  EXPECT_EQ(other.BuildImageListCell(psUp, none, 0), -1);
}

TEST(DropMarkTest, TriangleRowsInTextColourOrEmbossedWhenDisabled) {
  std::set<std::pair<int, int>> rows;
  const int x = 3;
  const int y = 3;
  for (int i = 0; i <= 6; ++i) rows.insert({x + i, y - 1});
  for (int i = 1; i <= 5; ++i) rows.insert({x + i, y});
  for (int i = 2; i <= 4; ++i) rows.insert({x + i, y + 1});
  rows.insert({x + 3, y + 2});

  TBitmap normal = Canvas(14, 10, clRed);
  TVxButtonGlyph::DrawDropMark(normal.Canvas(), x, y, psUp);
  EXPECT_EQ(PixelsOf(normal, ColorToRGB(clBtnText)), rows);
  EXPECT_EQ(PixelsOf(normal, clRed).size(), 140u - rows.size());

  TBitmap disabled = Canvas(14, 10, clRed);
  TVxButtonGlyph::DrawDropMark(disabled.Canvas(), x, y, psDisabled);
  std::set<std::pair<int, int>> highlight;
  for (const auto& [px, py] : rows)
    if (!rows.count({px + 1, py + 1})) highlight.insert({px + 1, py + 1});
  EXPECT_EQ(PixelsOf(disabled, ColorToRGB(clBtnShadow)), rows);
  EXPECT_EQ(PixelsOf(disabled, ColorToRGB(clBtnHighlight)), highlight);
}

TEST(CaptionTest, FitCaptionShortensEachLineUnlessWordWrap) {
  TBitmap bitmap(10, 10);
  const TCanvas& canvas = bitmap.Canvas();
  TVxButtonGlyph painter;
  const int width = canvas.TextWidth("Hello") - 1;
  const AnsiString firstLine = ShortenText("Hello", canvas, width);
  ASSERT_NE(firstLine, "Hello");
  EXPECT_EQ(painter.FitCaption(canvas, "Hello\r\nHi", width), firstLine + "\r\nHi");
  EXPECT_EQ(painter.FitCaption(canvas, "Hi\nHo\rHa  \r\n", 1000), "Hi\r\nHo\r\nHa");
  EXPECT_EQ(painter.FitCaption(canvas, AnsiString(300, 'i'), 100000).size(), 255u);
  painter.WordWrap = true;
  EXPECT_EQ(painter.FitCaption(canvas, "Hello\r\nHi", width), "Hello\r\nHi");
  EXPECT_EQ(painter.FitCaption(canvas, AnsiString(300, 'i'), 0).size(), 255u);
}

TEST(CaptionTest, DisabledCaptionIsDrawnTwiceOnePixelApart) {
  TVxButtonGlyph painter;
  TBitmap enabled = Canvas(60, 30, clRed);
  enabled.Canvas().Font.Color = clBlack;
  painter.DrawCaption(enabled.Canvas(), "Exit", Rect(5, 5, 55, 25), psUp, DT_CENTER);
  const auto ink = PixelsOf(enabled, clBlack);
  ASSERT_FALSE(ink.empty());
  EXPECT_EQ(ink.size() + PixelsOf(enabled, clRed).size(), 1800u);

  TBitmap disabled = Canvas(60, 30, clRed);
  painter.DrawCaption(disabled.Canvas(), "Exit", Rect(5, 5, 55, 25), psDisabled, DT_CENTER);
  EXPECT_EQ(PixelsOf(disabled, ColorToRGB(clBtnShadow)), ink);
  for (const auto& [x, y] : PixelsOf(disabled, ColorToRGB(clBtnHighlight)))
    EXPECT_TRUE(ink.count({x - 1, y - 1})) << x << "," << y;
  EXPECT_FALSE(PixelsOf(disabled, ColorToRGB(clBtnHighlight)).empty());
}

TEST(LayoutTest, PositionsGlyphAndCaptionForEachLayoutMarginAndSpacing) {
  TBitmap bitmap(10, 10);
  TCanvas& canvas = bitmap.Canvas();
  TRect measured = Rect(0, 0, 1000, 0);
  DrawText(canvas, "Go", measured, DT_CALCRECT | DT_CENTER | DT_VCENTER);
  const int tw = measured.Width();
  const int th = measured.Height();
  const TRect client = Rect(10, 20, 110, 60);  // 100 x 40
  const TBitmap glyph = Strip(1, 16);

  const struct Case {
    const char* name;
    TButtonLayout layout;
    int margin, spacing;
    bool withGlyph;
    const char* caption;
    bool mark;
    TPoint glyphAt, textAt;
  } cases[] = {
      {"left, three gaps",
       blGlyphLeft,
       -1,
       -1,
       true,
       "Go",
       false,
       {10 + (100 - 16 - tw) / 3, 32},
       {10 + 2 * ((100 - 16 - tw) / 3) + 16, 40 - th / 2}},
      {"left, both given", blGlyphLeft, 4, 2, true, "Go", false, {14, 32}, {32, 40 - th / 2}},
      {"left, pair centred",
       blGlyphLeft,
       -1,
       3,
       true,
       "Go",
       false,
       {10 + 50 - (19 + tw) / 2, 32},
       {10 + 50 - (19 + tw) / 2 + 19, 40 - th / 2}},
      {"left, caption centred after glyph",
       blGlyphLeft,
       4,
       -1,
       true,
       "Go",
       false,
       {14, 32},
       {10 + 4 + 16 + (40 - tw / 2), 40 - th / 2}},
      {"right, both given", blGlyphRight, 4, 2, true, "Go", false, {90, 32}, {90 - 2 - tw, 40 - th / 2}},
      {"top, three gaps",
       blGlyphTop,
       -1,
       -1,
       true,
       "Go",
       false,
       {52, 20 + (40 - 16 - th) / 3},
       {60 - tw / 2, 20 + 2 * ((40 - 16 - th) / 3) + 16}},
      {"bottom, both given", blGlyphBottom, 2, 1, true, "Go", false, {52, 42}, {60 - tw / 2, 41 - th}},
      {"caption without glyph: spacing 0",
       blGlyphLeft,
       -1,
       5,
       false,
       "Go",
       false,
       {10 + 50 - tw / 2, 40},
       {10 + 50 - tw / 2, 40 - th / 2}},
      {"glyph without caption: centred", blGlyphLeft, -1, -1, true, "", false, {52, 32}, {52 + 16, 40}},
      {"mark after the caption",
       blGlyphLeft,
       -1,
       -1,
       true,
       "Go",
       true,
       {10 + (100 - 25 - tw) / 3, 32},
       {10 + 2 * ((100 - 25 - tw) / 3) + 16, 40 - th / 2}},
      {"mark beside a top glyph", blGlyphTop, 3, 2, true, "Go", true, {49, 23}, {60 - tw / 2, 41}},
      {"mark beside a right glyph", blGlyphRight, 4, 2, true, "Go", true, {84, 32}, {84 - 2 - tw, 40 - th / 2}},
  };
  for (const Case& c : cases) {
    TVxButtonGlyph painter;
    if (c.withGlyph) painter.SetPicture(&glyph);
    const TGlyphLayout placed =
        painter.ComputeLayout(canvas, client, c.caption, c.layout, c.margin, c.spacing, c.mark, DT_CENTER, nullptr, -1);
    EXPECT_EQ(placed.GlyphPos, c.glyphAt) << c.name;
    EXPECT_EQ((TPoint{placed.TextBounds.Left, placed.TextBounds.Top}), c.textAt) << c.name;
    const bool hasCaption = c.caption[0] != 0;
    EXPECT_EQ(placed.TextBounds.Width(), hasCaption ? tw : 0) << c.name;
    EXPECT_EQ(placed.TextBounds.Height(), hasCaption ? th : 0) << c.name;
  }
}

TEST(LayoutTest, CaptionWiderThanItsRoomIsShortened) {
  TBitmap bitmap(10, 10);
  TCanvas& canvas = bitmap.Canvas();
  TVxButtonGlyph painter;
  const TGlyphLayout placed = painter.ComputeLayout(canvas, Rect(0, 0, 40, 20), "Preferences", blGlyphLeft, 2, 2, false,
                                                    DT_CENTER, nullptr, -1);
  EXPECT_EQ(placed.Caption, ShortenText("Preferences", canvas, 36));
  EXPECT_LE(placed.TextBounds.Width(), 36);
}

TEST(RenderTest, DropMarkFollowsTheCaptionOrTheGlyph) {
  const TBitmap glyph = Strip(1, 16);
  const auto markTopRow = [](const TBitmap& target, int x, int y) {
    for (int i = 0; i <= 6; ++i)
      if (target.Canvas().Pixel(x + i, y - 1) != ColorToRGB(clBtnText)) return false;
    return target.Canvas().Pixel(x - 1, y - 1) != ColorToRGB(clBtnText);
  };
  {
    TVxButtonGlyph painter;
    painter.SetPicture(&glyph);
    TBitmap target = Canvas(100, 40);
    target.Canvas().Font.Color = clRed;
    const TRect t =
        painter.Render(target.Canvas(), Rect(0, 0, 100, 40), "Go", blGlyphLeft, -1, -1, true, psUp, DT_CENTER);
    EXPECT_TRUE(markTopRow(target, t.Right + 3, t.Top + t.Height() / 2));
  }
  {
    TVxButtonGlyph painter;
    painter.SetPicture(&glyph);
    TBitmap target = Canvas(100, 60);
    target.Canvas().Font.Color = clRed;
    const TGlyphLayout placed = painter.ComputeLayout(target.Canvas(), Rect(0, 0, 100, 60), "Go", blGlyphTop, 3, 2,
                                                      true, DT_CENTER, nullptr, -1);
    painter.Render(target.Canvas(), Rect(0, 0, 100, 60), "Go", blGlyphTop, 3, 2, true, psUp, DT_CENTER);
    EXPECT_TRUE(markTopRow(target, placed.GlyphPos.X + 17, placed.GlyphPos.Y + 8));
  }
  {
    TVxButtonGlyph painter;
    TBitmap target = Canvas(41, 20);
    painter.Render(target.Canvas(), Rect(0, 0, 41, 20), "", blGlyphTop, -1, -1, true, psUp, DT_CENTER);
    EXPECT_TRUE(markTopRow(target, 17, 10));
  }
}

TEST(ButtonFrameTest, EightLookAndStateCombinations) {
  const TColor red = clRed;
  const struct {
    const char* name;
    TButtonStyle style;
    bool down, flat;
    TColor outerLit, outerDark, innerLit, innerDark;
    TRect inner;
  } cases[] = {
      {"new down", bsNew, true, false, clWindowFrame, clBtnHighlight, clBtnShadow, clBtnFace, Rect(3, 3, 7, 7)},
      {"new down flat", bsNew, true, true, clWindowFrame, clBtnHighlight, red, red, Rect(2, 2, 8, 8)},
      {"old down", bsWin31, true, false, clWindowFrame, clWindowFrame, clBtnShadow, red, Rect(2, 2, 8, 8)},
      {"old down flat", bsWin31, true, true, clWindowFrame, clBtnHighlight, red, red, Rect(2, 2, 8, 8)},
      {"new up", bsNew, false, false, clBtnHighlight, clWindowFrame, clBtnFace, clBtnShadow, Rect(3, 3, 7, 7)},
      {"new up flat", bsNew, false, true, clBtnHighlight, clBtnShadow, red, red, Rect(2, 2, 8, 8)},
      {"old up", bsWin31, false, false, clWindowFrame, clWindowFrame, clBtnHighlight, clBtnShadow, Rect(3, 3, 7, 7)},
      {"old up flat", bsWin31, false, true, clBtnHighlight, clWindowFrame, red, red, Rect(2, 2, 8, 8)},
  };
  for (const auto& c : cases) {
    TBitmap target = Canvas(10, 10, red);
    const TRect inner = PaintButtonFrame(target.Canvas(), Rect(0, 0, 10, 10), c.down, c.flat, c.style);
    const TCanvas& canvas = target.Canvas();
    EXPECT_EQ(inner, c.inner) << c.name;
    EXPECT_EQ(canvas.Pixel(0, 5), ColorToRGB(c.outerLit)) << c.name;
    EXPECT_EQ(canvas.Pixel(5, 0), ColorToRGB(c.outerLit)) << c.name;
    EXPECT_EQ(canvas.Pixel(9, 5), ColorToRGB(c.outerDark)) << c.name;
    EXPECT_EQ(canvas.Pixel(5, 9), ColorToRGB(c.outerDark)) << c.name;
    EXPECT_EQ(canvas.Pixel(1, 5), ColorToRGB(c.innerLit)) << c.name;
    EXPECT_EQ(canvas.Pixel(5, 1), ColorToRGB(c.innerLit)) << c.name;
    EXPECT_EQ(canvas.Pixel(8, 5), ColorToRGB(c.innerDark)) << c.name;
    EXPECT_EQ(canvas.Pixel(5, 8), ColorToRGB(c.innerDark)) << c.name;
    EXPECT_EQ(canvas.Pixel(4, 4), red) << c.name;
  }
}

TEST(ButtonFrameTest, AutoDetectFollowsTheNewStyleControlsFlag) {
  TBitmap target = Canvas(10, 10, clRed);
  PaintButtonFrame(target.Canvas(), Rect(0, 0, 10, 10), false, false, bsAutoDetect);
  EXPECT_EQ(target.Canvas().Pixel(0, 5), ColorToRGB(clBtnHighlight));
  NewStyleControls = false;
  PaintButtonFrame(target.Canvas(), Rect(0, 0, 10, 10), false, false, bsAutoDetect);
  NewStyleControls = true;
  EXPECT_EQ(target.Canvas().Pixel(0, 5), ColorToRGB(clWindowFrame));
}
