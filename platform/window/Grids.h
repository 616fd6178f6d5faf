#pragma once
// The draw grid: columns and rows of cells of one size, painted by the window through the
// cell-drawing event, with a current cell, a vertical scroll bar that moves by whole rows, and
// the click and double-click of the mouse. Only cells that come into view are painted: scrolling
// moves what is on view and paints the new rows alone.

#include <QAbstractScrollArea>
#include <QRegion>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

enum TGridDrawStateFlag : unsigned { gdSelected = 1, gdFocused = 2 };
using TGridDrawState = unsigned;
using TDrawCellEvent = std::function<void(QObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;

class TDrawGrid : public QAbstractScrollArea {
 public:
  explicit TDrawGrid(QWidget* parent = nullptr);
  ~TDrawGrid() override;

  [[nodiscard]] int ColCount() const { return FColCount; }
  void SetColCount(int value);
  [[nodiscard]] int RowCount() const { return FRowCount; }
  void SetRowCount(int value);
  [[nodiscard]] int DefaultColWidth() const { return FColWidth; }
  void SetDefaultColWidth(int value);
  [[nodiscard]] int DefaultRowHeight() const { return FRowHeight; }
  void SetDefaultRowHeight(int value);
  static constexpr int GridLineWidth = 1;

  // The current cell.
  [[nodiscard]] int Col() const { return FCol; }
  [[nodiscard]] int Row() const { return FRow; }
  // Makes the cell current and scrolls it into view.
  void SetCell(int col, int row);
  [[nodiscard]] int TopRow() const { return FTopRow; }
  void SetTopRow(int value);
  // Rows wholly on view.
  [[nodiscard]] int VisibleRowCount() const;
  // The cell's rectangle in the grid's client area (the viewport); empty when it is not on view.
  [[nodiscard]] TRect CellRect(int col, int row) const;
  // The cell at a point of the client area; false when the point is on no cell.
  bool MouseToCell(int x, int y, int& col, int& row) const;
  // The cell the last press or double-click landed on; -1, -1 when it landed on no cell.
  [[nodiscard]] int PressedCol() const { return FPressedCol; }
  [[nodiscard]] int PressedRow() const { return FPressedRow; }

  [[nodiscard]] TCanvas& Canvas() { return FCanvas; }
  // Paints every cell again at the next paint.
  void Invalidate();
  // Paints the cells that need it into the canvas now, as a paint of the screen does.
  const QImage& PaintCanvas();

  // Before a paint: the cells about to be drawn, in the order they will be, so that the window can
  // get their contents ready together.
  std::function<void(QObject* Sender, const std::vector<TPoint>& Cells)> OnPrepareCells;
  TDrawCellEvent OnDrawCell;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void UpdateScrollBar();
  void InvalidateCell(int col, int row);
  void PaintCell(int col, int row);
  [[nodiscard]] int RowPitch() const { return FRowHeight + GridLineWidth; }
  [[nodiscard]] int ColPitch() const { return FColWidth + GridLineWidth; }

  int FColCount = 5;
  int FRowCount = 5;
  int FColWidth = 64;
  int FRowHeight = 24;
  int FCol = 0;
  int FRow = 0;
  int FTopRow = 0;
  int FPressedCol = -1;
  int FPressedRow = -1;
  QImage FImage;
  TCanvas FCanvas{&FImage};
  QRegion FStale;  // parts of the canvas that no longer show the cells
};
