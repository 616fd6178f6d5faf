#pragma once
// The class library's drawing objects: colour values ($BBGGRR and system colours resolved from the
// palette), rectangles, fonts, brushes and pens, a canvas over an off-screen image, bitmaps with a
// transparent colour, icons, image lists with masks, DrawText and the raster operations the
// controls use.

#include <QFont>
#include <QImage>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "Classes.h"

using TColor = std::int32_t;

// RGB values are $00BBGGRR; system colours are $FF000000 plus the system colour index.
enum : TColor {
  clBlack = 0x000000,
  clMaroon = 0x000080,
  clGreen = 0x008000,
  clNavy = 0x800000,
  clGray = 0x808080,
  clSilver = 0xC0C0C0,
  clRed = 0x0000FF,
  clLime = 0x00FF00,
  clBlue = 0xFF0000,
  clFuchsia = 0xFF00FF,
  clYellow = 0x00FFFF,
  clAqua = 0xFFFF00,
  clWhite = 0xFFFFFF,
  clNone = 0x1FFFFFFF,
  clDefault = 0x20000000,
};
// The system colours (TColor is signed, so these sit outside the enum above).
inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
inline constexpr TColor clWindow = clSystemColor | 0x05;
inline constexpr TColor clWindowFrame = clSystemColor | 0x06;
inline constexpr TColor clWindowText = clSystemColor | 0x08;
inline constexpr TColor clHighlight = clSystemColor | 0x0D;
inline constexpr TColor clHighlightText = clSystemColor | 0x0E;
inline constexpr TColor clBtnFace = clSystemColor | 0x0F;
inline constexpr TColor clBtnShadow = clSystemColor | 0x10;
inline constexpr TColor clGrayText = clSystemColor | 0x11;
inline constexpr TColor clBtnText = clSystemColor | 0x12;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 0x13;
inline constexpr TColor clBtnHighlight = clSystemColor | 0x14;
inline constexpr TColor cl3DDkShadow = clSystemColor | 0x15;
inline constexpr TColor cl3DLight = clSystemColor | 0x16;
inline constexpr TColor clInfoText = clSystemColor | 0x17;
inline constexpr TColor clInfoBk = clSystemColor | 0x18;

// The RGB value of a colour: system colours come from the application's palette.
[[nodiscard]] TColor ColorToRGB(TColor color);
[[nodiscard]] constexpr TColor RGB(int r, int g, int b) {
  return (b & 0xFF) << 16 | (g & 0xFF) << 8 | (r & 0xFF);
}
[[nodiscard]] constexpr int GetRValue(TColor c) {
  return c & 0xFF;
}
[[nodiscard]] constexpr int GetGValue(TColor c) {
  return (c >> 8) & 0xFF;
}
[[nodiscard]] constexpr int GetBValue(TColor c) {
  return (c >> 16) & 0xFF;
}
[[nodiscard]] QRgb ColorToQRgb(TColor color);
[[nodiscard]] TColor QRgbToColor(QRgb rgb);

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and Bottom are exclusive.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  [[nodiscard]] int Width() const { return Right - Left; }
  [[nodiscard]] int Height() const { return Bottom - Top; }
  [[nodiscard]] QRect ToQRect() const { return {Left, Top, Right - Left, Bottom - Top}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};
[[nodiscard]] inline TRect Rect(int left, int top, int right, int bottom) {
  return {left, top, right, bottom};
}
[[nodiscard]] inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}
void InflateRect(TRect& rect, int dx, int dy);
void OffsetRect(TRect& rect, int dx, int dy);
[[nodiscard]] bool IntersectRect(const TRect& a, const TRect& b);

class TFont {
 public:
  QFont Handle;
  TColor Color = clWindowText;
};

enum class TBrushStyle { bsSolid, bsClear };

class TBitmap;

class TBrush {
 public:
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
  // A pattern brush when set; it repeats from the canvas's origin.
  std::shared_ptr<const TBitmap> Bitmap;
};

class TPen {
 public:
  TColor Color = clBlack;
};

// Raster operations of CopyRect and BitBlt.
enum : unsigned {
  SRCCOPY = 0x00CC0020,
  // Destination XOR (source AND (brush XOR destination)): the brush where the source is white.
  ROP_DSPDxax = 0x00E20746,
};

class TGraphic;

// A canvas over an off-screen image. A monochrome source is expanded with TextColor for its black
// pixels and BkColor for its white ones, as the platform's blits do.
class TCanvas final {
 public:
  explicit TCanvas(QImage* image, const bool* monochrome = nullptr) : FImage(image), FMonochrome(monochrome) {}

  TFont Font;
  TBrush Brush;
  TPen Pen;
  unsigned CopyMode = SRCCOPY;
  TColor TextColor = clBlack;
  TColor BkColor = clWhite;

  void FillRect(const TRect& rect);
  [[nodiscard]] TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);
  void MoveTo(int x, int y) { FPenPos = {x, y}; }
  // Draws from the pen position to (x, y), the end point excluded.
  void LineTo(int x, int y);
  void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);
  void Draw(int x, int y, const TGraphic& graphic);
  [[nodiscard]] int TextWidth(std::string_view text) const;
  // The font's line height.
  [[nodiscard]] int TextHeight(std::string_view text) const;
  void TextOut(int x, int y, std::string_view text);
  [[nodiscard]] QImage* Image() const { return FImage; }
  // Points the canvas at another image (a device context handed in for one drawing).
  void SetHandle(QImage* image) { FImage = image; }
  [[nodiscard]] bool Monochrome() const { return FMonochrome && *FMonochrome; }

 private:
  QImage* FImage;
  const bool* FMonochrome;
  TPoint FPenPos;
};

// Copies w x h pixels from the source at (sx, sy) to (x, y) with the raster operation.
void BitBlt(TCanvas& dest, int x, int y, int w, int h, const TCanvas& source, int sx, int sy, unsigned rop);

// A lit frame on top and left, a dark one on bottom and right; shrinks the rectangle by width.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// DrawText flags.
enum : unsigned {
  DT_TOP = 0x0,
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10,
  DT_SINGLELINE = 0x20,
  DT_EXPANDTABS = 0x40,
  DT_NOCLIP = 0x100,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
  DT_RTLREADING = 0x20000,
};

// Draws 8-bit text into the rectangle in the canvas's font and font colour, "&" marking the
// accelerator unless DT_NOPREFIX. With DT_CALCRECT it only measures: the rectangle's right and
// bottom are set to fit the text. The result is the text's height.
int DrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned flags);

class TGraphic {
 public:
  virtual ~TGraphic() = default;
  [[nodiscard]] virtual int Width() const = 0;
  [[nodiscard]] virtual int Height() const = 0;
  [[nodiscard]] bool Empty() const { return Width() == 0 || Height() == 0; }
  [[nodiscard]] virtual bool Transparent() const = 0;
  virtual void DrawOn(TCanvas& canvas, int x, int y) const = 0;
};

enum class TTransparentMode { tmAuto, tmFixed };

class TBitmap final : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&&) = delete;

  [[nodiscard]] int Width() const override { return FImage.width(); }
  [[nodiscard]] int Height() const override { return FImage.height(); }
  // Resizes; the new picture is filled white.
  void SetSize(int width, int height);
  [[nodiscard]] TCanvas& Canvas() { return FCanvas; }
  [[nodiscard]] const TCanvas& Canvas() const { return FCanvas; }
  // Copies picture, transparency and monochrome flag of the source; nullptr empties the bitmap.
  void Assign(const TBitmap* source);
  void LoadFromImage(const QImage& image);
  [[nodiscard]] const QImage& Image() const { return FImage; }

  [[nodiscard]] bool Transparent() const override { return FTransparent; }
  void SetTransparent(bool value);
  // In tmAuto the bottom-left pixel, marked palette-relative ($02000000) as the platform reports it.
  [[nodiscard]] TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  [[nodiscard]] TTransparentMode TransparentMode() const { return FTransparentMode; }

  [[nodiscard]] bool Monochrome() const { return FMonochrome; }
  // To monochrome: pixels of the brush colour become white, all others black. From monochrome:
  // black pixels take the font colour and white ones the brush colour.
  void SetMonochrome(bool value);

  void DrawOn(TCanvas& canvas, int x, int y) const override;
  void Changed();
  TNotifyEvent OnChange;

 private:
  QImage FImage;
  bool FMonochrome = false;
  TCanvas FCanvas{&FImage, &FMonochrome};
  bool FTransparent = false;
  TTransparentMode FTransparentMode = TTransparentMode::tmAuto;
  TColor FTransparentColor = clDefault;
};

// A picture with its own transparency (alpha), such as an icon: a graphic that is not a bitmap.
class TImageGraphic final : public TGraphic {
 public:
  explicit TImageGraphic(QImage image) : FImage(std::move(image)) {}
  [[nodiscard]] int Width() const override { return FImage.width(); }
  [[nodiscard]] int Height() const override { return FImage.height(); }
  [[nodiscard]] bool Transparent() const override { return true; }
  void DrawOn(TCanvas& canvas, int x, int y) const override;

 private:
  QImage FImage;
};

// Two-colour 8 x 8 checkerboard for a pattern brush: color1 where x + y is even.
[[nodiscard]] std::shared_ptr<const TBitmap> AllocPatternBitmap(TColor color1, TColor color2);

// ImageList_Draw styles.
enum : unsigned { ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1, ILD_MASK = 0x10 };

// Images of one size, each with a mask of its transparent pixels.
class TImageList : public TComponent {
 public:
  TImageList(int width, int height, TComponent* AOwner = nullptr);

  [[nodiscard]] int Width() const { return FWidth; }
  [[nodiscard]] int Height() const { return FHeight; }
  [[nodiscard]] int Count() const { return static_cast<int>(FImages.size()); }
  // The mask's white pixels are transparent; without a mask the image is opaque.
  int Add(const TBitmap& image, const TBitmap* mask);
  // Pixels of the mask colour are transparent.
  int AddMasked(const TBitmap& image, TColor maskColor);
  void Replace(int index, const TBitmap& image, const TBitmap* mask);
  void ReplaceMasked(int index, const TBitmap& image, TColor maskColor);
  // ILD_NORMAL draws the opaque pixels; ILD_MASK draws them black and leaves the rest.
  void Draw(TCanvas& canvas, int x, int y, int index, unsigned style = ILD_NORMAL) const;

 private:
  [[nodiscard]] QImage Cell(const TBitmap& image) const;
  void CheckIndex(int index) const;

  int FWidth;
  int FHeight;
  std::vector<QImage> FImages;  // ARGB32, alpha 0 or 255
};

class EInvalidGraphicOperation : public Exception {
  using Exception::Exception;
};
