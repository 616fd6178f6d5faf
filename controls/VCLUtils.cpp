#include "VCLUtils.h"

#include <QApplication>
#include <QPainter>
#include <QThread>
#include <QWidget>
#include <algorithm>

#include "Controls.h"
#include "MessageQueue.h"
#include "Messages.h"

namespace {

class PaintCopyMark final {
 public:
  explicit PaintCopyMark(QWidget* widget) : FWidget(widget) { SetPaintCopy(widget, true); }
  ~PaintCopyMark() { SetPaintCopy(FWidget, false); }
  PaintCopyMark(const PaintCopyMark&) = delete;
  PaintCopyMark& operator=(const PaintCopyMark&) = delete;

 private:
  QWidget* FWidget;
};

class CanvasColours final {
 public:
  explicit CanvasColours(TCanvas& canvas)
      : FCanvas(canvas), FBrush(canvas.Brush.Color), FText(canvas.TextColor), FBk(canvas.BkColor) {}
  ~CanvasColours() {
    FCanvas.Brush.Color = FBrush;
    FCanvas.TextColor = FText;
    FCanvas.BkColor = FBk;
  }
  CanvasColours(const CanvasColours&) = delete;
  CanvasColours& operator=(const CanvasColours&) = delete;

 private:
  TCanvas& FCanvas;
  TColor FBrush;
  TColor FText;
  TColor FBk;
};

// Paints `source` (region in its own coordinates) into the painter, where the control's origin is (0, 0).
void RenderUnder(QPainter& painter, QWidget* source, const QRect& region, const QPoint& sourceToControl,
                 QWidget::RenderFlags flags) {
  if (region.isEmpty()) return;
  painter.save();
  source->render(&painter, region.topLeft() + sourceToControl, QRegion(region), flags);
  painter.restore();
}

}  // namespace

void CopyGlyphCell(const TGraphic* source, TBitmap* target, int columns, int rows, int index) {
  if (!source || !target) return;
  columns = std::max(columns, 1);
  rows = std::max(rows, 1);
  index = std::max(index, 0);
  const int w = source->Width() / columns;
  const int h = source->Height() / rows;
  target->SetSize(w, h);
  const int column = index % columns;
  const int row = index / columns;
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    target->Canvas().CopyRect(Rect(0, 0, w, h), bitmap->Canvas(), Bounds(column * w, row * h, w, h));
    target->SetTransparentColor(bitmap->TransparentColor());
  } else {
    target->Canvas().Brush.Color = clSilver;
    target->Canvas().Brush.Style = TBrushStyle::bsSolid;
    target->Canvas().FillRect(Rect(0, 0, w, h));
    target->Canvas().Draw(-(column * w), -(row * h), *source);
  }
  target->SetTransparent(source->Transparent());
}

void PaintParentBackdrop(QWidget* control, TCanvas& canvas) {
  if (!control || !control->parentWidget()) return;
  QWidget* parent = control->parentWidget();
  const PaintCopyMark parentMark(parent);
  QPainter painter(canvas.Image());
  const QRect under = control->geometry() & parent->rect();
  RenderUnder(painter, parent, under, -control->pos(), QWidget::DrawWindowBackground);
  for (QObject* child : parent->children()) {
    if (child == control) break;
    auto* sibling = dynamic_cast<TGraphicControl*>(child);
    if (!sibling || sibling->isHidden() || !sibling->geometry().intersects(control->geometry())) continue;
    const PaintCopyMark siblingMark(sibling);
    const QRect region = sibling->rect() & control->geometry().translated(-sibling->pos());
    RenderUnder(painter, sibling, region, sibling->pos() - control->pos(), {});
  }
}

std::unique_ptr<TBitmap> BuildDisabledBitmap(const TBitmap& source, TColor outline, TColor back, TColor highlight,
                                             TColor shadow, bool drawHighlight) {
  const TRect r = Rect(0, 0, source.Width(), source.Height());
  auto result = std::make_unique<TBitmap>(r.Right, r.Bottom);
  TBitmap mask;
  mask.Assign(&source);
  mask.Canvas().Brush.Color = outline;
  if (mask.Monochrome()) {
    mask.Canvas().Font.Color = clWhite;
    mask.SetMonochrome(false);
    mask.Canvas().Brush.Color = clWhite;
  }
  mask.SetMonochrome(true);
  TCanvas& canvas = result->Canvas();
  canvas.Brush.Color = back;
  canvas.FillRect(r);
  canvas.TextColor = clBlack;
  canvas.BkColor = clWhite;
  if (drawHighlight) {
    canvas.Brush.Color = highlight;
    BitBlt(canvas, 1, 1, RectWidth(r), RectHeight(r), mask.Canvas(), 0, 0, ROP_DSPDxax);
  }
  canvas.Brush.Color = shadow;
  BitBlt(canvas, 0, 0, RectWidth(r), RectHeight(r), mask.Canvas(), 0, 0, ROP_DSPDxax);
  return result;
}

std::unique_ptr<TBitmap> BuildDefaultDisabledBitmap(const TBitmap& source, TColor outline) {
  return BuildDisabledBitmap(source, outline, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void DrawDisabledImage(const TImageList& images, TCanvas& canvas, int x, int y, int index, TColor highlight,
                       TColor shadow, bool drawHighlight) {
  const CanvasColours saved(canvas);
  TBitmap mask(images.Width(), images.Height());
  mask.Canvas().Brush.Color = clWhite;
  mask.Canvas().FillRect(Rect(0, 0, images.Width(), images.Height()));
  images.Draw(mask.Canvas(), 0, 0, index, ILD_MASK);
  mask.SetMonochrome(true);
  canvas.TextColor = clWhite;
  canvas.BkColor = clBlack;
  if (drawHighlight) {
    canvas.Brush.Color = highlight;
    BitBlt(canvas, x + 1, y + 1, images.Width(), images.Height(), mask.Canvas(), 0, 0, ROP_DSPDxax);
  }
  canvas.Brush.Color = shadow;
  BitBlt(canvas, x, y, images.Width(), images.Height(), mask.Canvas(), 0, 0, ROP_DSPDxax);
}

void DiscardPendingMessage(HWND window, unsigned msg) {
  TMsg removed;
  // A pending quit comes out whatever the filter; it must not be lost.
  if (PeekMessageA(removed, window, msg, msg, PM_REMOVE) && removed.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(removed.wParam));
}

AnsiString ShortenText(std::string_view text, const TCanvas& canvas, int width) {
  AnsiString result(text);
  const auto length = static_cast<int>(text.size());
  for (int i = 1; i <= length && canvas.TextWidth(result) > width;) {
    ++i;
    result = AnsiString(text.substr(0, static_cast<std::size_t>(std::max(0, length - i)))) + "...";
  }
  return result;
}

bool IsOwnWindowActive() {
  const QWidget* active = QApplication::activeWindow();
  return active && active->thread() == QThread::currentThread();
}
