#pragma once
// The glyph speed button and its drawing engine: glyph cells shared in image lists per cell size,
// embossed and grey cells, the layout of glyph, caption and drop-down mark, and the button frame.

#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"

class TPopupMenu;
class TTimer;

enum TButtonPaintState : std::uint8_t { psUp = 0, psDisabled = 1, psDown = 2, psExclusive = 3, psInactive = 4 };
enum TButtonLayout : std::uint8_t { blGlyphLeft = 0, blGlyphRight = 1, blGlyphTop = 2, blGlyphBottom = 3 };
enum TButtonStyle : std::uint8_t { bsAutoDetect = 0, bsWin31 = 1, bsNew = 2 };
enum TVxDropDownMenuPos : std::uint8_t { dmpBottom = 0, dmpRight = 1 };

// An image list of one cell size whose slots are handed out and given back; freed slots are reused.
class TGlyphList final : public TImageList {
 public:
  TGlyphList(int width, int height) : TImageList(width, height) {}
  ~TGlyphList() override = default;

  int AllocateSlot();
  int AddCell(const TBitmap& image, const TBitmap& mask);
  int AddMaskedCell(const TBitmap& image, TColor maskColor);
  void FreeSlot(int index);
  [[nodiscard]] int UsedCount() const { return FUsedCount; }

 private:
  std::vector<bool> UsedSlots;
  int FUsedCount = 0;
};

// The glyph lists in use, one per cell size.
class TGlyphCache final {
 public:
  TGlyphCache() = default;
  TGlyphCache(const TGlyphCache&) = delete;
  TGlyphCache& operator=(const TGlyphCache&) = delete;

  TGlyphList* FindOrCreateList(int width, int height);
  // Frees the list once no slot of it is in use.
  void ReleaseList(TGlyphList* list);
  [[nodiscard]] bool IsEmpty() const { return Lists.empty(); }

 private:
  std::vector<TGlyphList*> Lists;
};

// The cache all painters share; created by the first painter, freed by the last one.
extern TGlyphCache* SharedGlyphCache;

struct TGlyphLayout {
  AnsiString Caption;  // shortened to its room
  TPoint GlyphPos;
  TRect TextBounds;
};

class TVxButtonGlyph final {
 public:
  TVxButtonGlyph();
  ~TVxButtonGlyph();
  TVxButtonGlyph(const TVxButtonGlyph&) = delete;
  TVxButtonGlyph& operator=(const TVxButtonGlyph&) = delete;

  [[nodiscard]] TBitmap* Picture() const { return FPicture.get(); }
  void SetPicture(const TBitmap* bitmap);
  [[nodiscard]] int NumGlyphs() const { return FNumGlyphs; }
  void SetCellCount(int n);
  void ReleaseCells();

  // Build the state's cell (once) and give its slot in CellList, or -1.
  int BuildCell(TButtonPaintState state);
  int BuildImageListCell(TButtonPaintState state, const TImageList& images, int index);
  [[nodiscard]] TGlyphList* CellList() const { return FCellList; }
  [[nodiscard]] int CellIndex(TButtonPaintState state) const { return FCellIndex[state]; }
  [[nodiscard]] TColor GreyColor(TColor color) const;

  // Draw a glyph at (x, y); the result is its size, (0, 0) when nothing is drawn.
  TSize DrawPictureGlyph(TCanvas& canvas, int x, int y, TButtonPaintState state);
  TSize DrawImageListGlyph(TCanvas& canvas, int x, int y, TButtonPaintState state, const TImageList* images, int index);
  static void DrawDropMark(TCanvas& canvas, int x, int y, TButtonPaintState state);
  [[nodiscard]] AnsiString FitCaption(const TCanvas& canvas, const AnsiString& caption, int width) const;
  void DrawCaption(TCanvas& canvas, const AnsiString& caption, TRect rect, TButtonPaintState state,
                   unsigned flags) const;
  [[nodiscard]] TGlyphLayout ComputeLayout(TCanvas& canvas, const TRect& client, const AnsiString& caption,
                                           TButtonLayout layout, int margin, int spacing, bool mark, unsigned flags,
                                           const TImageList* images, int imageIndex) const;

  // Draw glyph, caption and mark into the client rectangle; the result is the caption rectangle.
  TRect Render(TCanvas& canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout, int margin,
               int spacing, bool mark, TButtonPaintState state, unsigned flags);
  TRect RenderWithImages(TCanvas& canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout,
                         int margin, int spacing, bool mark, TButtonPaintState state, unsigned flags,
                         const TImageList* images, int imageIndex);

  TColor TransparentColor = clFuchsia;
  bool WordWrap = false;
  TAlignment Alignment = TAlignment::taCenter;
  TNotifyEvent OnChange;

 private:
  void PictureChanged();
  TGlyphList* EnsureCellList(int width, int height);
  [[nodiscard]] bool ImagesUsable(const TImageList* images, int index) const;

  std::unique_ptr<TBitmap> FPicture;
  TGlyphList* FCellList = nullptr;
  std::array<int, 5> FCellIndex{-1, -1, -1, -1, -1};
  int FNumGlyphs = 1;
};

// Whether bsAutoDetect gives the new control look.
inline bool NewStyleControls = true;

// Draws a button frame; the result is the rectangle inside it.
TRect PaintButtonFrame(TCanvas& canvas, const TRect& rect, bool down, bool flat, TButtonStyle style);

class TVxSpeedButton final : public TGraphicControl {
 public:
  explicit TVxSpeedButton(QWidget* parent = nullptr);
  ~TVxSpeedButton() override;

  [[nodiscard]] TAlignment Alignment() const { return FGlyphPainter->Alignment; }
  void SetAlignment(TAlignment value);
  [[nodiscard]] bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  [[nodiscard]] bool AllowTimer() const { return FAllowTimer; }
  void SetAllowTimer(bool value);
  [[nodiscard]] int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  [[nodiscard]] bool Down() const { return FDown; }
  void SetDown(bool value);
  [[nodiscard]] TPopupMenu* DropDownMenu() const;
  void SetDropDownMenu(TPopupMenu* menu);
  [[nodiscard]] TVxDropDownMenuPos MenuPosition() const { return FMenuPosition; }
  void SetMenuPosition(TVxDropDownMenuPos value) { FMenuPosition = value; }
  [[nodiscard]] bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  [[nodiscard]] TBitmap* Glyph() const { return FGlyphPainter->Picture(); }
  void SetGlyph(const TBitmap* bitmap);
  [[nodiscard]] bool GrayedInactive() const { return FGrayedInactive; }
  void SetGrayedInactive(bool value);
  [[nodiscard]] unsigned InitPause() const { return FInitPause; }
  void SetInitPause(std::uint16_t value) { FInitPause = value; }
  [[nodiscard]] TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  [[nodiscard]] int Margin() const { return FMargin; }
  void SetMargin(int value);
  [[nodiscard]] bool MarkDropDown() const { return FMarkDropDown; }
  void SetMarkDropDown(bool value);
  [[nodiscard]] TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  [[nodiscard]] int NumGlyphs() const { return FGlyphPainter->NumGlyphs(); }
  void SetNumGlyphs(int value);
  [[nodiscard]] unsigned RepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(std::uint16_t value) { FRepeatInterval = value; }
  [[nodiscard]] int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  [[nodiscard]] TButtonStyle Style() const { return FStyle; }
  void SetStyle(TButtonStyle value);
  [[nodiscard]] bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  [[nodiscard]] bool WordWrap() const { return FGlyphPainter->WordWrap; }
  void SetWordWrap(bool value);
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  [[nodiscard]] TButtonPaintState PaintState() const { return FPaintState; }
  [[nodiscard]] bool MouseInside() const { return FMouseInside; }
  [[nodiscard]] bool Pressing() const { return FPressing; }
  [[nodiscard]] bool MenuShowing() const { return FMenuShowing; }
  [[nodiscard]] TTimer* AutoRepeatTimer() const { return FAutoRepeatTimer.get(); }
  [[nodiscard]] TVxButtonGlyph& GlyphPainter() const { return *FGlyphPainter; }
  [[nodiscard]] const TBitmap& PaintBuffer() const { return *FPaintBuffer; }

  // Called once the properties have been set: builds ahead the cell the first paint needs.
  void Loaded();
  void Click() override;
  void ActionChange(TBasicAction* sender, bool checkDefaults) override;
  // Draws glyph, caption and drop-down mark of a state into a rectangle of a canvas.
  void DrawGlyph(TCanvas& canvas, const TRect& rect, TButtonPaintState state, bool mark);
  // Where the drop-down menu is popped, in client coordinates.
  [[nodiscard]] TPoint MenuAnchorPoint() const;
  // Pops the drop-down menu at the client point and returns once it has closed; false when
  // there is no menu to show.
  bool PopupDropDownMenu(TPoint point, bool manual);
  void RepeatTimerTick();

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void NotifyMouseEnter();
  void NotifyMouseLeave();

 private:
  [[nodiscard]] bool InsideClient(int x, int y) const;
  void FinishPress(TMouseButton button, TShiftState shift, int x, int y);
  void NotifyGroup();
  void GroupMessage(const TMessage& message);
  void UpdateHotState();
  void BuildCellAhead();
  void CopyActionImage(const TImageList& images, int index);
  void DiscardMenuClosingClick();

  int FGroupIndex = 0;
  TButtonStyle FStyle = bsAutoDetect;
  std::unique_ptr<TVxButtonGlyph> FGlyphPainter;
  std::unique_ptr<TBitmap> FPaintBuffer;
  bool FDown = false;
  bool FPressing = false;
  bool FFlat = false;
  bool FMouseInside = false;
  bool FAllowAllUp = false;
  TButtonLayout FLayout = blGlyphTop;
  int FSpacing = 1;
  int FMargin = -1;
  TModalResult FModalResult = mrNone;
  bool FTransparent = false;
  bool FMarkDropDown = true;
  QPointer<TPopupMenu> FDropDownMenu;
  TVxDropDownMenuPos FMenuPosition = dmpBottom;
  bool FGrayedInactive = true;
  bool FMenuShowing = false;
  std::unique_ptr<TTimer> FAutoRepeatTimer;
  bool FAllowTimer = false;
  std::uint16_t FInitPause = 500;
  std::uint16_t FRepeatInterval = 100;
  TButtonPaintState FPaintState = psUp;
};
