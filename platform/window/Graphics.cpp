#include "Graphics.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cstdlib>

#include "CodePage.h"

namespace {

QColor PaletteColor(int index) {
  const QPalette palette = QGuiApplication::palette();
  switch (index) {
    case 0x05:
      return palette.color(QPalette::Base);
    case 0x06:
      return palette.color(QPalette::Shadow);
    case 0x08:
      return palette.color(QPalette::Text);
    case 0x0D:
      return palette.color(QPalette::Highlight);
    case 0x0E:
      return palette.color(QPalette::HighlightedText);
    case 0x0F:
      return palette.color(QPalette::Button);
    case 0x10:
      return palette.color(QPalette::Dark);
    case 0x11:
      return palette.color(QPalette::Disabled, QPalette::Text);
    case 0x12:
      return palette.color(QPalette::ButtonText);
    case 0x13:
      return palette.color(QPalette::Disabled, QPalette::HighlightedText);
    case 0x14:
      return palette.color(QPalette::Light);
    case 0x15:
      return palette.color(QPalette::Shadow);
    case 0x16:
      return palette.color(QPalette::Midlight);
    case 0x17:
      return palette.color(QPalette::ToolTipText);
    case 0x18:
      return palette.color(QPalette::ToolTipBase);
    default:
      return palette.color(QPalette::Window);
  }
}

bool Inside(const QImage& image, int x, int y) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height();
}

QRgb* PixelAt(QImage& image, int x, int y) {
  return reinterpret_cast<QRgb*>(image.scanLine(y)) + x;
}

QRgb PixelOf(const QImage& image, int x, int y) {
  return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kBlack = 0xFF000000u;

QRgb BrushPixel(const TBrush& brush, int x, int y) {
  if (brush.Bitmap && !brush.Bitmap->Empty()) {
    const QImage& pattern = brush.Bitmap->Image();
    return PixelOf(pattern, x % pattern.width(), y % pattern.height());
  }
  return ColorToQRgb(brush.Color);
}

QFont DrawingFont(const TFont& font) {
  QFont result = font.Handle;
  result.setStyleStrategy(QFont::NoAntialias);
  return result;
}

QString DrawTextString(std::string_view text, unsigned flags) {
  QString result = AnsiToQString(text);
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (flags & DT_SINGLELINE) result.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return result;
}

int QtTextFlags(unsigned flags) {
  int result = 0;
  if (flags & DT_CENTER)
    result |= Qt::AlignHCenter;
  else if (flags & DT_RIGHT)
    result |= Qt::AlignRight;
  else
    result |= Qt::AlignLeft;
  // Vertical placement applies to single lines only, as the platform's DrawText does.
  if ((flags & DT_SINGLELINE) && (flags & DT_VCENTER))
    result |= Qt::AlignVCenter;
  else if ((flags & DT_SINGLELINE) && (flags & DT_BOTTOM))
    result |= Qt::AlignBottom;
  else
    result |= Qt::AlignTop;
  if (flags & DT_WORDBREAK) result |= Qt::TextWordWrap;
  if (flags & DT_SINGLELINE) result |= Qt::TextSingleLine;
  if (flags & DT_EXPANDTABS) result |= Qt::TextExpandTabs;
  if (!(flags & DT_NOPREFIX)) result |= Qt::TextShowMnemonic;
  return result;
}

}  // namespace

TColor ColorToRGB(TColor color) {
  if (color >= 0) return color;
  const QColor c = PaletteColor(color & 0xFF);
  return RGB(c.red(), c.green(), c.blue());
}

QRgb ColorToQRgb(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor QRgbToColor(QRgb rgb) {
  return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void InflateRect(TRect& rect, int dx, int dy) {
  rect.Left -= dx;
  rect.Top -= dy;
  rect.Right += dx;
  rect.Bottom += dy;
}

void OffsetRect(TRect& rect, int dx, int dy) {
  rect.Left += dx;
  rect.Right += dx;
  rect.Top += dy;
  rect.Bottom += dy;
}

bool IntersectRect(const TRect& a, const TRect& b) {
  return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) && std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

void TCanvas::FillRect(const TRect& rect) {
  if (Brush.Style == TBrushStyle::bsClear) return;
  const int left = std::max(rect.Left, 0);
  const int top = std::max(rect.Top, 0);
  const int right = std::min(rect.Right, FImage->width());
  const int bottom = std::min(rect.Bottom, FImage->height());
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) *PixelAt(*FImage, x, y) = BrushPixel(Brush, x, y);
}

TColor TCanvas::Pixel(int x, int y) const {
  if (!Inside(*FImage, x, y)) return clNone;
  return QRgbToColor(PixelOf(*FImage, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  if (Inside(*FImage, x, y)) *PixelAt(*FImage, x, y) = ColorToQRgb(color);
}

void TCanvas::LineTo(int x, int y) {
  const QRgb color = ColorToQRgb(Pen.Color);
  int px = FPenPos.X;
  int py = FPenPos.Y;
  const int dx = std::abs(x - px);
  const int dy = -std::abs(y - py);
  const int sx = px < x ? 1 : -1;
  const int sy = py < y ? 1 : -1;
  int error = dx + dy;
  while (px != x || py != y) {
    if (Inside(*FImage, px, py)) *PixelAt(*FImage, px, py) = color;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      px += sx;
    }
    if (twice <= dx) {
      error += dx;
      py += sy;
    }
  }
  FPenPos = {x, y};
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect) {
  if (dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height()) {
    BitBlt(*this, dest.Left, dest.Top, dest.Width(), dest.Height(), source, sourceRect.Left, sourceRect.Top, CopyMode);
    return;
  }
  QPainter painter(FImage);
  painter.drawImage(dest.ToQRect(), *source.FImage, sourceRect.ToQRect());
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
  graphic.DrawOn(*this, x, y);
}

int TCanvas::TextWidth(std::string_view text) const {
  return QFontMetrics(DrawingFont(Font), FImage).horizontalAdvance(AnsiToQString(text));
}

int TCanvas::TextHeight(std::string_view text) const {
  (void)text;  // the line height of the font, whatever the text
  return QFontMetrics(DrawingFont(Font), FImage).height();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  QPainter painter(FImage);
  painter.setFont(DrawingFont(Font));
  painter.setPen(QColor(ColorToQRgb(Font.Color)));
  const QFontMetrics metrics(painter.font(), FImage);
  painter.drawText(x, y + metrics.ascent(), AnsiToQString(text));
}

void BitBlt(TCanvas& dest, int x, int y, int w, int h, const TCanvas& source, int sx, int sy, unsigned rop) {
  QImage& target = *dest.Image();
  const QImage& from = *source.Image();
  for (int row = 0; row < h; ++row)
    for (int col = 0; col < w; ++col) {
      const int tx = x + col;
      const int ty = y + row;
      if (!Inside(target, tx, ty) || !Inside(from, sx + col, sy + row)) continue;
      QRgb s = PixelOf(from, sx + col, sy + row);
      if (source.Monochrome()) s = ColorToQRgb(s == kWhite ? dest.BkColor : dest.TextColor);
      QRgb* d = PixelAt(target, tx, ty);
      if (rop == ROP_DSPDxax) {
        const QRgb p = BrushPixel(dest.Brush, tx, ty);
        *d = (*d ^ (s & (p ^ *d))) | 0xFF000000u;
      } else {
        *d = s;
      }
    }
}

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  const TColor saved = canvas.Pen.Color;
  --rect.Bottom;
  --rect.Right;
  for (int i = 0; i < width; ++i) {
    canvas.Pen.Color = topColor;
    canvas.MoveTo(rect.Left, rect.Bottom);
    canvas.LineTo(rect.Left, rect.Top);
    canvas.LineTo(rect.Right, rect.Top);
    canvas.Pen.Color = bottomColor;
    canvas.MoveTo(rect.Right, rect.Top);
    canvas.LineTo(rect.Right, rect.Bottom);
    canvas.LineTo(rect.Left - 1, rect.Bottom);
    InflateRect(rect, -1, -1);
  }
  ++rect.Bottom;
  ++rect.Right;
  canvas.Pen.Color = saved;
}

int DrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned flags) {
  const QString string = DrawTextString(text, flags);
  const QFont font = DrawingFont(canvas.Font);
  const QFontMetrics metrics(font, canvas.Image());
  const int qtFlags = QtTextFlags(flags);
  if (flags & DT_CALCRECT) {
    const int room = (flags & DT_WORDBREAK) ? std::max(rect.Width(), 1) : 0x3FFFFFFF;
    const QRect bounds = metrics.boundingRect(QRect(0, 0, room, 0x3FFFFFFF), qtFlags, string);
    rect.Right = rect.Left + (string.isEmpty() ? 0 : bounds.width());
    rect.Bottom = rect.Top + bounds.height();
    return bounds.height();
  }
  QPainter painter(canvas.Image());
  if (!(flags & DT_NOCLIP)) painter.setClipRect(rect.ToQRect());
  painter.setFont(font);
  painter.setPen(QColor(ColorToQRgb(canvas.Font.Color)));
  QRect drawn;
  painter.drawText(rect.ToQRect(), qtFlags, string, &drawn);
  return drawn.height();
}

TBitmap::TBitmap() : FImage(0, 0, QImage::Format_RGB32) {}

TBitmap::TBitmap(TBitmap&& other) noexcept
    : OnChange(std::move(other.OnChange)),
      FImage(std::move(other.FImage)),
      FMonochrome(other.FMonochrome),
      FTransparent(other.FTransparent),
      FTransparentMode(other.FTransparentMode),
      FTransparentColor(other.FTransparentColor) {
  FCanvas.Font = other.FCanvas.Font;
  FCanvas.Brush = other.FCanvas.Brush;
  FCanvas.Pen = other.FCanvas.Pen;
}

TBitmap::TBitmap(int width, int height) : TBitmap() {
  SetSize(width, height);
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FImage.width() && height == FImage.height()) return;
  QImage resized(width, height, QImage::Format_RGB32);
  resized.fill(kWhite);
  for (int y = 0; y < std::min(height, FImage.height()); ++y)
    for (int x = 0; x < std::min(width, FImage.width()); ++x) *PixelAt(resized, x, y) = PixelOf(FImage, x, y);
  FImage = std::move(resized);
  Changed();
}

void TBitmap::Assign(const TBitmap* source) {
  if (source == this) return;
  if (!source) {
    FImage = QImage(0, 0, QImage::Format_RGB32);
  } else {
    FImage = source->FImage;
    FTransparent = source->FTransparent;
    FMonochrome = source->FMonochrome;
    FTransparentMode = source->FTransparentMode;
    FTransparentColor = source->FTransparentColor;
  }
  Changed();
}

void TBitmap::LoadFromImage(const QImage& image) {
  FImage = image.convertToFormat(QImage::Format_RGB32);
  FMonochrome = false;
  Changed();
}

void TBitmap::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == TTransparentMode::tmFixed) return FTransparentColor;
  if (Empty()) return clDefault;
  return QRgbToColor(PixelOf(FImage, 0, FImage.height() - 1)) | 0x02000000;
}

void TBitmap::SetTransparentColor(TColor color) {
  FTransparentColor = color;
  FTransparentMode = color == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
  Changed();
}

void TBitmap::SetMonochrome(bool value) {
  if (value == FMonochrome) return;
  const QRgb brush = ColorToQRgb(FCanvas.Brush.Color);
  const QRgb font = ColorToQRgb(FCanvas.Font.Color);
  for (int y = 0; y < FImage.height(); ++y)
    for (int x = 0; x < FImage.width(); ++x) {
      QRgb* pixel = PixelAt(FImage, x, y);
      if (value)
        *pixel = (*pixel | 0xFF000000u) == brush ? kWhite : kBlack;
      else
        *pixel = *pixel == kBlack ? font : brush;
    }
  FMonochrome = value;
  Changed();
}

void TBitmap::DrawOn(TCanvas& canvas, int x, int y) const {
  const QRgb transparent = ColorToQRgb(TransparentColor() & 0xFFFFFF);
  QImage& target = *canvas.Image();
  for (int row = 0; row < Height(); ++row)
    for (int col = 0; col < Width(); ++col) {
      if (!Inside(target, x + col, y + row)) continue;
      const QRgb pixel = PixelOf(FImage, col, row);
      if (FTransparent && pixel == transparent) continue;
      *PixelAt(target, x + col, y + row) = pixel;
    }
}

void TBitmap::Changed() {
  if (OnChange) OnChange(nullptr);
}

void TImageGraphic::DrawOn(TCanvas& canvas, int x, int y) const {
  QPainter painter(canvas.Image());
  painter.drawImage(x, y, FImage);
}

std::shared_ptr<const TBitmap> AllocPatternBitmap(TColor color1, TColor color2) {
  auto pattern = std::make_shared<TBitmap>(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern->Canvas().SetPixel(x, y, (x + y) % 2 == 0 ? color1 : color2);
  return pattern;
}

TImageList::TImageList(int width, int height, TComponent* AOwner)
    : TComponent(AOwner), FWidth(std::max(width, 0)), FHeight(std::max(height, 0)) {}

QImage TImageList::Cell(const TBitmap& image) const {
  QImage cell(FWidth, FHeight, QImage::Format_ARGB32);
  cell.fill(Qt::transparent);
  for (int y = 0; y < std::min(FHeight, image.Height()); ++y)
    for (int x = 0; x < std::min(FWidth, image.Width()); ++x)
      *PixelAt(cell, x, y) = PixelOf(image.Image(), x, y) | 0xFF000000u;
  return cell;
}

void TImageList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EInvalidGraphicOperation("Invalid image list index");
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
  FImages.push_back(QImage(FWidth, FHeight, QImage::Format_ARGB32));
  Replace(Count() - 1, image, mask);
  return Count() - 1;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
  FImages.push_back(QImage(FWidth, FHeight, QImage::Format_ARGB32));
  ReplaceMasked(Count() - 1, image, maskColor);
  return Count() - 1;
}

void TImageList::Replace(int index, const TBitmap& image, const TBitmap* mask) {
  CheckIndex(index);
  QImage cell = Cell(image);
  if (mask)
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (x >= mask->Width() || y >= mask->Height() || (PixelOf(mask->Image(), x, y) | 0xFF000000u) == kWhite)
          *PixelAt(cell, x, y) = 0;
  FImages[static_cast<std::size_t>(index)] = std::move(cell);
}

void TImageList::ReplaceMasked(int index, const TBitmap& image, TColor maskColor) {
  CheckIndex(index);
  QImage cell = Cell(image);
  const QRgb transparent = ColorToQRgb(maskColor);
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x)
      if (x >= image.Width() || y >= image.Height() || *PixelAt(cell, x, y) == transparent) *PixelAt(cell, x, y) = 0;
  FImages[static_cast<std::size_t>(index)] = std::move(cell);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, unsigned style) const {
  CheckIndex(index);
  const QImage& cell = FImages[static_cast<std::size_t>(index)];
  QImage& target = *canvas.Image();
  for (int row = 0; row < FHeight; ++row)
    for (int col = 0; col < FWidth; ++col) {
      const QRgb pixel = PixelOf(cell, col, row);
      if (qAlpha(pixel) == 0 || !Inside(target, x + col, y + row)) continue;
      *PixelAt(target, x + col, y + row) = (style & ILD_MASK) ? kBlack : (pixel | 0xFF000000u);
    }
}
