#pragma once
// The picture browser: every card picture as a thumbnail in a grid; a double-click on one makes it
// the main window's current picture.

#include <map>
#include <memory>

#include "Forms.h"
#include "Graphics.h"
#include "Grids.h"
#include "Jpeg.h"

namespace Ui {
class TFormImg;
}
class TForm_Main;
class TSecondaryFrame;
class TTimer;

class TFormImg final : public TForm {
 public:
  explicit TFormImg(QWidget* parent = nullptr);
  ~TFormImg() override;

  // Set by the caller before each showing; not owned.
  TForm_Main* MainForm = nullptr;
  // The last index of the main window's picture list, taken at each activation; -1 for none.
  int LastIndex = -1;
  // Thumbnails are drawn only while this is set.
  bool DrawingOn = false;

  void TimerActivateTimer(QObject* Sender);
  void DGPrepareCells(QObject* Sender, const std::vector<TPoint>& Cells);
  void DGDrawCell(QObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
  void DGDblClick(QObject* Sender);
  void VxSpeedButton5Click(QObject* Sender);

  [[nodiscard]] Ui::TFormImg& Controls() const { return *ui; }
  [[nodiscard]] TSecondaryFrame& Frame() const { return *FFrame; }
  [[nodiscard]] TTimer* TimerActivate() const { return FTimerActivate; }
  // Thumbnails decoded since the window was made (tests and benchmarks).
  [[nodiscard]] long long ThumbnailsDecoded() const { return FDecoded; }

 protected:
  void FormActivate() override;

 private:
  void FormCreate();
  void SetRowCount();
  // The picture's index for a cell, or -1 when the cell shows none (or drawing is off).
  [[nodiscard]] int PictureIndex(int col, int row) const;

  std::unique_ptr<Ui::TFormImg> ui;
  TSecondaryFrame* FFrame = nullptr;
  TTimer* FTimerActivate = nullptr;
  TBitmap ThumbBitmap;
  TRect ThumbRect;
  TJPEGImage Decoder;
  // The thumbnails of the cells the grid is about to draw, decoded together for this paint only.
  std::map<int, TScaledDecode> FPrepared;
  long long FDecoded = 0;
};

// The browser while it exists; the program's main block makes it.
extern TFormImg* FormImg;
