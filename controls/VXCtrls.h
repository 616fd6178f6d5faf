#pragma once
// The glyph speed button and its drawing engine: glyph cells shared in image lists per cell size,
// embossed and grey cells, the layout of glyph, caption and drop-down mark, and the button frame.
// The owner-drawn list box and the check list box over the platform list box window.

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "AppUtils.h"
#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "ListBox.h"
#include "Strings.h"

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

// The published properties are Qt properties, so that a window's layout sets them all.
class TVxSpeedButton final : public TGraphicControl {
  Q_OBJECT
  Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
  Q_PROPERTY(bool AllowTimer READ AllowTimer WRITE SetAllowTimer)
  Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
  Q_PROPERTY(bool Down READ Down WRITE SetDown)
  Q_PROPERTY(TVxDropDownMenuPos MenuPosition READ MenuPosition WRITE SetMenuPosition)
  Q_PROPERTY(QString Caption READ CaptionText WRITE SetCaptionText)
  Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
  Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
  Q_PROPERTY(QPixmap Glyph READ GlyphPicture WRITE SetGlyphPicture)
  Q_PROPERTY(bool GrayedInactive READ GrayedInactive WRITE SetGrayedInactive)
  Q_PROPERTY(QString Hint READ toolTip WRITE SetHintText)
  Q_PROPERTY(uint InitPause READ InitPause WRITE SetInitPause)
  Q_PROPERTY(TButtonLayout Layout READ Layout WRITE SetLayout)
  Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
  Q_PROPERTY(bool MarkDropDown READ MarkDropDown WRITE SetMarkDropDown)
  Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
  Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(uint RepeatInterval READ RepeatInterval WRITE SetRepeatInterval)
  Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
  Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
  Q_PROPERTY(TButtonStyle Style READ Style WRITE SetStyle)
  Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
  Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)

 public:
  // A layout names the enumerators on the class (TVxSpeedButton::blGlyphLeft).
  using enum TAlignment;
  using enum TButtonLayout;
  using enum TButtonStyle;
  using enum TVxDropDownMenuPos;

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
  void SetInitPause(unsigned value) { FInitPause = static_cast<std::uint16_t>(value); }
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
  void SetRepeatInterval(unsigned value) { FRepeatInterval = static_cast<std::uint16_t>(value); }
  [[nodiscard]] int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  [[nodiscard]] TButtonStyle Style() const { return FStyle; }
  void SetStyle(TButtonStyle value);
  [[nodiscard]] bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  [[nodiscard]] bool WordWrap() const { return FGlyphPainter->WordWrap; }
  void SetWordWrap(bool value);
  // The caption, the caption's colour, the glyph and the hint as a layout gives them.
  [[nodiscard]] QString CaptionText() const;
  void SetCaptionText(const QString& text);
  [[nodiscard]] QColor FontColor() const;
  void SetFontColor(const QColor& colour);
  [[nodiscard]] QPixmap GlyphPicture() const;
  void SetGlyphPicture(const QPixmap& picture);
  void SetHintText(const QString& text);
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
  Q_INVOKABLE void Loaded();
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

// ---------------------------------------------------------------------------------------------
// The owner-drawn list box

enum TListBoxStyle : std::uint8_t { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
enum TOwnerDrawStateFlag : unsigned { odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16 };
using TOwnerDrawState = unsigned;

using TDrawItemEvent = std::function<void(QWidget* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(QWidget* Control, int Index, int& Height)>;
using TGetItemWidthEvent = std::function<void(QWidget* Control, int Index, int& Width)>;
using TKeyPressEvent = std::function<void(QObject* Sender, char& Key)>;

// Raises EStringListError "List index out of bounds (%d)".
[[noreturn]] void RaiseListIndexError(int Index);

class TVxCustomListBox;

// The items of a list box: every operation is a message to the list box's window.
class TVxListBoxStrings : public TStrings {
 public:
  TVxCustomListBox* ListBox = nullptr;

  [[nodiscard]] int Count() const override;
  [[nodiscard]] AnsiString Get(int Index) const override;
  [[nodiscard]] std::intptr_t GetObject(int Index) const override;
  void PutObject(int Index, std::intptr_t Value) override;
  int Add(std::string_view S) override;
  void Insert(int Index, std::string_view S) override;
  void Delete(int Index) override;
  void Clear() override;

 protected:
  void SetUpdateState(bool Updating) override;
};

class TVxCustomListBox : public TControl {
  Q_OBJECT
  Q_PROPERTY(bool AutoScroll READ AutoScroll WRITE SetAutoScroll)
  Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
  Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
  Q_PROPERTY(bool ExtendedSelect READ ExtendedSelect WRITE SetExtendedSelect)
  Q_PROPERTY(bool GraySelection READ GraySelection WRITE SetGraySelection)
  Q_PROPERTY(bool IntegralHeight READ IntegralHeight WRITE SetIntegralHeight)
  Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
  Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect)
  Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
  Q_PROPERTY(TListBoxStyle Style READ Style WRITE SetStyle)
  Q_PROPERTY(int TabWidth READ TabWidth WRITE SetTabWidth)

 public:
  // A layout names the enumerators on the class (TVxCustomListBox::lbOwnerDrawFixed).
  using enum TBorderStyle;
  using enum TListBoxStyle;

  explicit TVxCustomListBox(QWidget* parent = nullptr);
  ~TVxCustomListBox() override;

  [[nodiscard]] bool AutoScroll() const { return FAutoScroll && FColumns == 0; }
  void SetAutoScroll(bool Value);
  [[nodiscard]] TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  [[nodiscard]] int Columns() const { return FColumns; }
  void SetColumns(int Value);
  [[nodiscard]] bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  [[nodiscard]] bool GraySelection() const { return FGraySelection; }
  void SetGraySelection(bool Value);
  [[nodiscard]] bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  [[nodiscard]] int ItemHeight() const { return ActualItemHeight(); }
  void SetItemHeight(int Value);
  [[nodiscard]] TStrings& Items() const { return *FItems; }
  [[nodiscard]] bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  [[nodiscard]] bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  [[nodiscard]] TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  [[nodiscard]] int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  [[nodiscard]] TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  [[nodiscard]] const TDrawItemEvent& OnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(TDrawItemEvent Value);
  [[nodiscard]] const TGetItemWidthEvent& OnGetItemWidth() const { return FOnGetItemWidth; }
  void SetOnGetItemWidth(TGetItemWidthEvent Value);
  TMeasureItemEvent OnMeasureItem;
  TKeyPressEvent OnKeyPress;

  [[nodiscard]] TCanvas& Canvas() { return FCanvas; }
  [[nodiscard]] int ItemIndex();
  void SetItemIndex(int Value);
  [[nodiscard]] int TopIndex();
  void SetTopIndex(int Value);
  [[nodiscard]] int SelectedCount();
  [[nodiscard]] bool ItemSelected(int Index);
  // The item at a client point: -1 outside the client area; below the items -1 when Existing,
  // else the index after the last one tried.
  [[nodiscard]] int ItemAtPoint(TPoint Pos, bool Existing);
  // Count gives the free slot below the last item; a larger index an empty rectangle.
  [[nodiscard]] TRect GetItemRect(int Index);
  [[nodiscard]] int WidestItem() const { return FWidestItem; }

  // The list box window, created when first needed.
  TListBoxWindow* Window();
  [[nodiscard]] bool HandleAllocated() const { return FWindow != nullptr; }
  // Destroys the window and creates it again, its items kept.
  void RecreateWnd();
  [[nodiscard]] bool Focused() const;
  [[nodiscard]] bool UseRightToLeftAlignment() const { return layoutDirection() == Qt::RightToLeft; }
  // Sends a message to the window through the control's message procedure.
  std::intptr_t SendListMessage(unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  // Called once the layout's properties have been set.
  Q_INVOKABLE virtual void Loaded();

  [[nodiscard]] virtual int ActualItemHeight() const;
  [[nodiscard]] virtual int GetItemWidth(int Index);
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  virtual void SetItems(const TStrings& Value);
  [[nodiscard]] virtual std::intptr_t GetItemData(int Index);
  virtual void SetItemData(int Index, std::intptr_t Value);
  virtual void ResetContent();
  virtual void DeleteString(int Index);

 protected:
  struct TCreateParams {
    unsigned Style = 0;
    unsigned ExStyle = 0;
  };
  // For descendants that make their own items object; call it from their constructor.
  void SetItemList(std::unique_ptr<TVxListBoxStrings> Items);
  void WndProc(TMessage& Message) override;
  // The handling of the class library below the list box's own: message handlers, then the window.
  void Dispatch(TMessage& Message);
  void DefaultHandler(TMessage& Message);
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  virtual void CNDrawItem(TDrawItemStruct& DrawItem);
  virtual void KeyPress(char& Key);
  virtual void DragCanceled();
  void DoEndDrag(QObject* target, int x, int y) override;
  void PaintItemText(int X, int Y, std::string_view S);
  [[nodiscard]] int ItemHeightField() const { return FItemHeight; }
  void ApplyColumnWidth();
  void ApplyHorizontalExtent();
  void RecalcHorizontalExtent();
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ScrollToLeftEdge();
  void SetAutoScrollEffect(bool WasEffective);
  void PaintItemsToDC(QImage* DC);
  void WMLButtonDown(TMessage& Message);
  [[nodiscard]] int TabPixels() const;

  std::unique_ptr<TVxListBoxStrings> FItems;
  TBorderStyle FBorderStyle = bsSingle;
  QImage FMeasureImage{1, 1, QImage::Format_RGB32};
  TCanvas FCanvas{&FMeasureImage};
  int FColumns = 0;
  int FItemHeight = 16;
  TListBoxStyle FStyle = lbStandard;
  bool FIntegralHeight = false;
  bool FMultiSelect = false;
  bool FSorted = false;
  bool FExtendedSelect = true;
  int FTabWidth = 0;
  std::unique_ptr<TObjectStrings> FSavedItems;
  int FSavedTopIndex = 0;
  int FSavedItemIndex = -1;
  bool FAutoScroll = false;
  bool FGraySelection = false;
  int FWidestItem = 0;
  TDrawItemEvent FOnDrawItem;
  TGetItemWidthEvent FOnGetItemWidth;
  TColor FColor = clWindow;
  TListBoxWindow* FWindow = nullptr;
  bool FCreating = false;
  bool FocusAfterRecreate = false;
};

// ---------------------------------------------------------------------------------------------
// The check list box

enum TCheckBoxState : std::uint8_t { cbUnchecked = 0, cbChecked = 1, cbGrayed = 2 };
enum TCheckKind : std::uint8_t { ckCheckBoxes = 0, ckRadioButtons = 1, ckCheckMarks = 2 };
using TChangeStateEvent = std::function<void(QObject* Sender, int Index)>;

// A state value from outside (a stream, a storage): anything but 0 to 2 reads unchecked.
[[nodiscard]] TCheckBoxState CheckBoxStateOf(std::int64_t value);

// The object kept beside each item whose data, state or enabled flag was set.
class TFormPlacement;
class TIniLink;

class TCheckListBoxItem final : public TListItemObject {
 public:
  std::intptr_t Data = 0;
  TCheckBoxState State = cbUnchecked;
  bool Enabled = true;
};

class TCheckListBoxStrings final : public TVxListBoxStrings {
 public:
  // States and enabled flags travel with the texts.
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
};

// The shared picture of the check images: 6 columns (unchecked, checked, grayed; then the same
// disabled) by 3 rows (check boxes, radio buttons, check marks), magenta transparent.
[[nodiscard]] TBitmap* GetCheckImages();
void FreeCheckImages();

class TVxCheckListBox : public TVxCustomListBox {
  Q_OBJECT
  Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE SetAllowGrayed)
  Q_PROPERTY(TCheckKind CheckKind READ CheckKind WRITE SetCheckKind)
  Q_PROPERTY(int CheckedIndex READ CheckedIndex WRITE SetCheckedIndex)
  // The item list as a layout carries it: first the version, then the items.
  Q_PROPERTY(int InternalVersion READ InternalVersion WRITE ReadVersionData)
  Q_PROPERTY(QStringList Strings READ WriteStringsData WRITE ReadStringsData)

 public:
  using enum TCheckKind;

  explicit TVxCheckListBox(QWidget* parent = nullptr);
  ~TVxCheckListBox() override;

  [[nodiscard]] bool AllowGrayed() const { return FAllowGrayed && FCheckKind != ckRadioButtons; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  [[nodiscard]] TCheckKind CheckKind() const { return FCheckKind; }
  void SetCheckKind(TCheckKind Value);
  [[nodiscard]] int CheckedIndex();
  void SetCheckedIndex(int Value);
  TNotifyEvent OnClickCheck;
  TChangeStateEvent OnStateChange;

  [[nodiscard]] bool IsItemChecked(int Index);
  [[nodiscard]] TCheckBoxState GetItemState(int Index);
  void SetItemState(int Index, TCheckBoxState State);
  [[nodiscard]] bool GetItemEnabled(int Index);
  void SetItemEnabled(int Index, bool Enabled);
  void SetItemChecked(int Index, bool Checked);
  void SetAllStates(TCheckBoxState State, bool OnlyEnabled);
  void ToggleItem(int Index);
  [[nodiscard]] int CheckAreaWidth() const { return FCheckWidth + 2; }
  [[nodiscard]] int CheckWidth() const { return FCheckWidth; }
  [[nodiscard]] int CheckHeight() const { return FCheckHeight; }

  // The item list as it travels in a layout: a version, then per item its text, state and
  // enabled flag (older versions: text, checked, enabled and, from version 1, a state).
  [[nodiscard]] static int InternalVersion() { return 202; }
  [[nodiscard]] QStringList WriteStringsData();
  void ReadStringsData(const QStringList& Data);
  void ReadVersionData(int Version) { FStreamVersion = Version; }
  // True when the items differ from the ancestor's (texts with a to z folded, states, enabled).
  [[nodiscard]] bool StringsDiffer(TVxCheckListBox* Ancestor);

  void Loaded() override;
  [[nodiscard]] int ActualItemHeight() const override;
  [[nodiscard]] int GetItemWidth(int Index) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void SetItems(const TStrings& Value) override;
  [[nodiscard]] std::intptr_t GetItemData(int Index) override;
  void SetItemData(int Index, std::intptr_t Value) override;
  void ResetContent() override;
  void DeleteString(int Index) override;

  // The item states in a form placement's storage: "Count" and "Item0", "Item1", ... (0 unchecked,
  // 1 checked, 2 grayed) in the section made of the link's prefix and the default section name.
  [[nodiscard]] TFormPlacement* IniStorage() const;
  void SetIniStorage(TFormPlacement* Value);
  void SaveStatesToStorage(TStorageObject Storage, const AnsiString& Section);
  void LoadStatesFromStorage(TStorageObject Storage, const AnsiString& Section);

 protected:
  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CNDrawItem(TDrawItemStruct& DrawItem) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyPress(char& Key) override;
  virtual void ClickCheck();
  virtual void StateChange(int Index);

 private:
  [[nodiscard]] TCheckListBoxItem* LookupItemObject(int Index);
  [[nodiscard]] bool HasItemObject(int Index) { return LookupItemObject(Index) != nullptr; }
  TCheckListBoxItem* ItemObject(int Index);
  void EnsureRadioCheck();
  void RepaintCheckArea(int Index);
  void RepaintItem(int Index);
  void PaintCheckImage(const TRect& R, TCheckBoxState S, bool E);
  void AdjustItemHeight();
  void SaveStates();
  void CreateIniLink();
  void IniSave();
  void IniLoad();

  bool FAllowGrayed = false;
  TCheckKind FCheckKind = ckCheckBoxes;
  std::unique_ptr<std::vector<std::uint32_t>> FSavedStates;
  std::unique_ptr<TBitmap> FCellBitmap;
  int FCheckWidth = 0;
  int FCheckHeight = 0;
  int FStreamVersion = 0;
  bool FForceStates = false;
  std::unique_ptr<TIniLink> FIniLink;
};
