#pragma once
// The system list box window ("LISTBOX"): its items, their data and the selection live in the
// window, which answers the LB_ messages. Owner drawing and measuring and the LBN_ notifications
// come back through the window's own message procedure as CN_DRAWITEM, CN_MEASUREITEM and
// CN_COMMAND, as the class library reflects them to the control.

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "Graphics.h"
#include "Messages.h"
#include "SysUtils.h"

struct TDrawItemStruct {
  unsigned CtlType = ODT_LISTBOX;
  unsigned CtlID = 0;
  int itemID = -1;
  unsigned itemAction = ODA_DRAWENTIRE;
  unsigned itemState = 0;
  HWND hwndItem = nullptr;
  QImage* hDC = nullptr;
  TRect rcItem;
  std::intptr_t itemData = 0;
};

struct TMeasureItemStruct {
  unsigned CtlType = ODT_LISTBOX;
  unsigned CtlID = 0;
  int itemID = 0;
  int itemWidth = 0;
  int itemHeight = 0;
  std::intptr_t itemData = 0;
};

// An object the window keeps for its owner beside an item, in a slot of its own, and frees with
// the item.
class TListItemObject {
 public:
  virtual ~TListItemObject() = default;
};

[[nodiscard]] constexpr std::uintptr_t MakeWParam(unsigned low, unsigned high) {
  return (high & 0xFFFFu) << 16 | (low & 0xFFFFu);
}

class TListBoxWindow final : public QAbstractScrollArea {
 public:
  // windowProc receives every message of the window first (the subclassing chain) and passes on
  // what it does not handle to DefWindowProc; nullptr sends everything there.
  TListBoxWindow(QWidget* parent, unsigned style, unsigned exStyle, std::function<void(TMessage&)> windowProc);
  ~TListBoxWindow() override;
  TListBoxWindow(const TListBoxWindow&) = delete;
  TListBoxWindow& operator=(const TListBoxWindow&) = delete;

  [[nodiscard]] unsigned Style() const { return FStyle; }
  // Cuts the window from its message procedure, before its owner goes.
  void Detach() { FWindowProc = nullptr; }
  std::intptr_t SendMessage(unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  // The list box's own message procedure.
  void DefWindowProc(TMessage& message);

  // The background colour of the items.
  void SetColor(TColor color);
  [[nodiscard]] TColor Color() const { return FColor; }

  // The item's object slot; the index must be that of an item.
  [[nodiscard]] TListItemObject* ItemObject(int index) const;
  void SetItemObject(int index, std::unique_ptr<TListItemObject> object);

  // SetScrollRange: an empty range hides the bar until the list next changes its extent.
  void SetScrollRange(int bar, int min, int max);
  // The horizontal scroll position in pixels (in columns for multi-column lists).
  [[nodiscard]] int HorizontalPosition() const;
  [[nodiscard]] int ColumnWidth() const { return FColumnWidth; }
  // The tab stops set by LB_SETTABSTOPS, in dialog units.
  [[nodiscard]] const std::vector<int>& TabStops() const { return FTabStops; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct Item {
    AnsiString Text;
    std::intptr_t Data = 0;
    bool Selected = false;
    int Height = 0;
    std::unique_ptr<TListItemObject> Object;
  };

  [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
  [[nodiscard]] bool Valid(int index) const { return index >= 0 && index < Count(); }
  [[nodiscard]] bool MultiColumn() const { return (FStyle & LBS_MULTICOLUMN) != 0; }
  [[nodiscard]] bool Variable() const { return (FStyle & LBS_OWNERDRAWVARIABLE) != 0; }
  [[nodiscard]] bool OwnerDraw() const { return (FStyle & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
  [[nodiscard]] bool SingleSelect() const { return (FStyle & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) == 0; }
  [[nodiscard]] int HeightOf(int index) const;
  [[nodiscard]] int RowsPerColumn() const;
  [[nodiscard]] int MaxTopIndex() const;
  [[nodiscard]] TRect ItemRect(int index) const;
  [[nodiscard]] int ItemFromPoint(int x, int y) const;
  [[nodiscard]] int SelectedIndex() const;
  [[nodiscard]] int TabPixels(int dialogUnits) const;

  std::intptr_t Insert(int index, const char* text);
  std::intptr_t Delete(int index);
  void Reset();
  void MeasureItem(int index, int& height, std::intptr_t data);
  void SelectOnly(int index);
  void SelectRange(int from, int to);
  void SetTop(int index);
  void EnsureVisible(int index);
  void Notify(unsigned code);
  void PressAt(std::uintptr_t keys, TPoint point, bool doubleClick);
  void MoveCaret(int index, bool shift, bool ctrl);
  void TypeAhead(char c);
  void UpdateScrollBars();
  void Redraw();
  void SendMouse(unsigned msg, const QMouseEvent* event);
  void PaintStandardItem(TCanvas& canvas, int index, const TRect& rect, unsigned state) const;

  unsigned FStyle;
  std::function<void(TMessage&)> FWindowProc;
  std::vector<Item> FItems;
  TColor FColor = clWindow;
  int FTop = 0;
  int FCaret = -1;
  int FAnchor = -1;
  int FItemHeight = 0;
  int FExtent = 0;
  int FColumnWidth = 0;
  std::vector<int> FTabStops;
  bool FRedraw = true;
  bool FTracking = false;
  bool FUpdatingBars = false;
  bool FHideVertical = false;
  struct {
    quint64 Time = 0;
    Qt::MouseButton Button = Qt::NoButton;
    QPoint Pos;
    bool WasDouble = false;
  } FLastPress;
  bool FDropDoubleClick = false;
};

// Measures and draws text with tab stops every `tab` pixels, tabs counted from `origin`.
[[nodiscard]] TSize GetTabbedTextExtent(const TCanvas& canvas, std::string_view text, int tab);
void TabbedTextOut(TCanvas& canvas, int x, int y, std::string_view text, int tab, int origin);
// The dotted focus rectangle, drawn by inverting the pixels.
void DrawFocusRect(TCanvas& canvas, const TRect& rect);
