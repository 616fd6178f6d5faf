#include "Grids.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr TColor kGridLineColor = clSilver;

// The platform's focus rectangle: every other pixel of the frame inverted.
void DrawFocusRect(QImage& image, const TRect& rect) {
  auto invert = [&image](int x, int y) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    if ((x + y) % 2) return;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    line[x] = (line[x] ^ 0x00FFFFFFu) | 0xFF000000u;
  };
  for (int x = rect.Left; x < rect.Right; ++x) {
    invert(x, rect.Top);
    invert(x, rect.Bottom - 1);
  }
  for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
    invert(rect.Left, y);
    invert(rect.Right - 1, y);
  }
}

}  // namespace

TDrawGrid::TDrawGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  verticalScrollBar()->setSingleStep(1);
  UpdateScrollBar();
}

TDrawGrid::~TDrawGrid() = default;

void TDrawGrid::SetColCount(int value) {
  FColCount = std::max(0, value);
  FCol = std::clamp(FCol, 0, std::max(0, FColCount - 1));
  Invalidate();
}

void TDrawGrid::SetRowCount(int value) {
  FRowCount = std::max(0, value);
  FRow = std::clamp(FRow, 0, std::max(0, FRowCount - 1));
  UpdateScrollBar();
  Invalidate();
}

void TDrawGrid::SetDefaultColWidth(int value) {
  FColWidth = std::max(1, value);
  Invalidate();
}

void TDrawGrid::SetDefaultRowHeight(int value) {
  FRowHeight = std::max(1, value);
  UpdateScrollBar();
  Invalidate();
}

int TDrawGrid::VisibleRowCount() const {
  return std::max(1, viewport()->height() / RowPitch());
}

void TDrawGrid::UpdateScrollBar() {
  QScrollBar* bar = verticalScrollBar();
  const int visible = VisibleRowCount();
  bar->setPageStep(visible);
  bar->setRange(0, std::max(0, FRowCount - visible));
  FTopRow = bar->value();
}

void TDrawGrid::SetTopRow(int value) {
  verticalScrollBar()->setValue(value);
}

void TDrawGrid::SetCell(int col, int row) {
  col = std::clamp(col, 0, std::max(0, FColCount - 1));
  row = std::clamp(row, 0, std::max(0, FRowCount - 1));
  if (col != FCol || row != FRow) {
    InvalidateCell(FCol, FRow);
    FCol = col;
    FRow = row;
    InvalidateCell(FCol, FRow);
    viewport()->update();
  }
  if (FRow < FTopRow)
    SetTopRow(FRow);
  else if (FRow >= FTopRow + VisibleRowCount())
    SetTopRow(FRow - VisibleRowCount() + 1);
}

TRect TDrawGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= FColCount || row < FTopRow || row >= FRowCount) return {};
  const int x = col * ColPitch();
  const int y = (row - FTopRow) * RowPitch();
  if (x >= viewport()->width() || y >= viewport()->height()) return {};
  return {x, y, x + FColWidth, y + FRowHeight};
}

bool TDrawGrid::MouseToCell(int x, int y, int& col, int& row) const {
  col = -1;
  row = -1;
  if (x < 0 || y < 0) return false;
  const int c = x / ColPitch();
  const int r = FTopRow + y / RowPitch();
  if (c >= FColCount || r >= FRowCount) return false;
  col = c;
  row = r;
  return true;
}

void TDrawGrid::Invalidate() {
  FStale = QRegion(viewport()->rect());
  viewport()->update();
}

void TDrawGrid::InvalidateCell(int col, int row) {
  const TRect rect = CellRect(col, row);
  if (rect.Width() > 0) FStale += rect.ToQRect();
}

const QImage& TDrawGrid::PaintCanvas() {
  const QSize size = viewport()->size().expandedTo(QSize(1, 1));
  if (FImage.size() != size) {
    FImage = QImage(size, QImage::Format_RGB32);
    FStale = QRegion(FImage.rect());
  }
  if (FStale.isEmpty()) return FImage;
  const QRegion stale = FStale;
  FStale = QRegion();
  // What lies beyond the cells shows the grid's colour.
  FCanvas.Brush.Style = TBrushStyle::bsSolid;
  FCanvas.Brush.Color = clWindow;
  for (const QRect& r : stale) FCanvas.FillRect({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  std::vector<TPoint> cells;
  for (int row = FTopRow; row < FRowCount; ++row) {
    const int y = (row - FTopRow) * RowPitch();
    if (y >= FImage.height()) break;
    for (int col = 0; col < FColCount; ++col) {
      const int x = col * ColPitch();
      if (x >= FImage.width()) break;
      if (stale.intersects(QRect(x, y, ColPitch(), RowPitch()))) cells.push_back({col, row});
    }
  }
  if (OnPrepareCells && !cells.empty()) OnPrepareCells(this, cells);
  for (const TPoint& cell : cells) PaintCell(cell.X, cell.Y);
  return FImage;
}

void TDrawGrid::PaintCell(int col, int row) {
  const TRect rect = CellRect(col, row);
  FCanvas.Brush.Style = TBrushStyle::bsSolid;
  FCanvas.Brush.Color = kGridLineColor;
  FCanvas.FillRect({rect.Right, rect.Top, rect.Right + GridLineWidth, rect.Bottom + GridLineWidth});
  FCanvas.FillRect({rect.Left, rect.Bottom, rect.Right + GridLineWidth, rect.Bottom + GridLineWidth});
  FCanvas.Brush.Color = clWindow;
  FCanvas.FillRect(rect);
  const bool current = col == FCol && row == FRow;
  const TGridDrawState state = current ? gdSelected | gdFocused : 0;
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
  if (current && hasFocus()) DrawFocusRect(FImage, rect);
}

void TDrawGrid::paintEvent(QPaintEvent*) {
  PaintCanvas();
  QPainter painter(viewport());
  painter.drawImage(0, 0, FImage);
}

void TDrawGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBar();
  Invalidate();
}

void TDrawGrid::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  UpdateScrollBar();
  Invalidate();
}

void TDrawGrid::scrollContentsBy(int, int dy) {
  const int previous = FTopRow;
  FTopRow = verticalScrollBar()->value();
  const int shift = (previous - FTopRow) * RowPitch();
  if (shift == 0) return;
  if (std::abs(shift) >= FImage.height() || FImage.isNull()) {
    Invalidate();
    return;
  }
  // Move what is on view and paint only the rows that come into view.
  const QImage before = FImage.copy();
  {
    QPainter painter(&FImage);
    painter.drawImage(0, shift, before);
  }
  const QRect all = FImage.rect();
  FStale.translate(0, shift);
  FStale &= all;
  FStale += shift < 0 ? QRect(0, all.height() + shift, all.width(), -shift) : QRect(0, 0, all.width(), shift);
  (void)dy;
  viewport()->update();
}

void TDrawGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (MouseToCell(pos.x(), pos.y(), FPressedCol, FPressedRow) && event->button() == Qt::LeftButton) {
    SetCell(FPressedCol, FPressedRow);
    if (OnClick) OnClick(this);
  }
  event->accept();
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void TDrawGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  MouseToCell(pos.x(), pos.y(), FPressedCol, FPressedRow);
  if (event->button() == Qt::LeftButton && OnDblClick) OnDblClick(this);
  event->accept();
}

void TDrawGrid::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Left:
      SetCell(FCol - 1, FRow);
      break;
    case Qt::Key_Right:
      SetCell(FCol + 1, FRow);
      break;
    case Qt::Key_Up:
      SetCell(FCol, FRow - 1);
      break;
    case Qt::Key_Down:
      SetCell(FCol, FRow + 1);
      break;
    case Qt::Key_PageUp:
      SetTopRow(FTopRow - VisibleRowCount());
      SetCell(FCol, FRow - VisibleRowCount());
      break;
    case Qt::Key_PageDown:
      SetTopRow(FTopRow + VisibleRowCount());
      SetCell(FCol, FRow + VisibleRowCount());
      break;
    case Qt::Key_Home:
      SetCell(0, ctrl ? 0 : FRow);
      break;
    case Qt::Key_End:
      SetCell(FColCount - 1, ctrl ? FRowCount - 1 : FRow);
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TDrawGrid::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  InvalidateCell(FCol, FRow);
  viewport()->update();
}

void TDrawGrid::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  InvalidateCell(FCol, FRow);
  viewport()->update();
}
