#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <cmath>

#include "MaxMin.h"
#include "VXCtrls.h"

namespace {

// Rounds halves to even, as the class library's Round does.
int RoundEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

}  // namespace

void RaiseListIndexError(int Index) {
  throw EStringListError(Format("List index out of bounds (%d)", Index));
}

// ---------------------------------------------------------------------------------------------

int TVxListBoxStrings::Count() const {
  return static_cast<int>(ListBox->SendListMessage(LB_GETCOUNT));
}

AnsiString TVxListBoxStrings::Get(int Index) const {
  // The length first, so that a text of any length comes back whole.
  const std::intptr_t length = ListBox->SendListMessage(LB_GETTEXTLEN, static_cast<std::uintptr_t>(Index));
  if (length < 0) RaiseListIndexError(Index);
  AnsiString text(static_cast<std::size_t>(length) + 1, '\0');
  const std::intptr_t got = ListBox->SendListMessage(LB_GETTEXT, static_cast<std::uintptr_t>(Index),
                                                     reinterpret_cast<std::intptr_t>(text.data()));
  if (got < 0) RaiseListIndexError(Index);
  text.resize(static_cast<std::size_t>(std::min(got, length)));
  return text;
}

std::intptr_t TVxListBoxStrings::GetObject(int Index) const {
  const std::intptr_t data = ListBox->GetItemData(Index);
  if (data == LB_ERR) RaiseListIndexError(Index);
  return data;
}

void TVxListBoxStrings::PutObject(int Index, std::intptr_t Value) {
  ListBox->SetItemData(Index, Value);
}

int TVxListBoxStrings::Add(std::string_view S) {
  const AnsiString text(S);
  const std::intptr_t result = ListBox->SendListMessage(LB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(text.c_str()));
  if (result < 0) throw EOutOfResources("Unable to insert a line");
  return static_cast<int>(result);
}

void TVxListBoxStrings::Insert(int Index, std::string_view S) {
  const AnsiString text(S);
  if (ListBox->SendListMessage(LB_INSERTSTRING, static_cast<std::uintptr_t>(Index),
                               reinterpret_cast<std::intptr_t>(text.c_str())) < 0)
    throw EOutOfResources("Unable to insert a line");
}

void TVxListBoxStrings::Delete(int Index) {
  ListBox->DeleteString(Index);
}

void TVxListBoxStrings::Clear() {
  ListBox->ResetContent();
}

void TVxListBoxStrings::SetUpdateState(bool Updating) {
  ListBox->SendListMessage(WM_SETREDRAW, Updating ? 0 : 1);
  if (!Updating) ListBox->update();
}

// ---------------------------------------------------------------------------------------------

TVxCustomListBox::TVxCustomListBox(QWidget* parent) : TControl(parent) {
  ControlStyle = csCaptureMouse | csDoubleClicks;
  setGeometry(x(), y(), 121, 97);
  setFocusPolicy(Qt::StrongFocus);
  auto items = std::make_unique<TVxListBoxStrings>();
  SetItemList(std::move(items));
  FCanvas.Font = Font();
}

TVxCustomListBox::~TVxCustomListBox() {
  if (FWindow) {
    FWindow->Detach();
    delete FWindow;
    FWindow = nullptr;
  }
}

void TVxCustomListBox::SetItemList(std::unique_ptr<TVxListBoxStrings> Items) {
  FItems = std::move(Items);
  FItems->ListBox = this;
}

TListBoxWindow* TVxCustomListBox::Window() {
  if (!FWindow && !FCreating) CreateWnd();
  return FWindow;
}

std::intptr_t TVxCustomListBox::SendListMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  Window();
  return Perform(msg, wParam, lParam);
}

bool TVxCustomListBox::Focused() const {
  return FWindow && FWindow->hasFocus();
}

void TVxCustomListBox::CreateParams(TCreateParams& Params) {
  Params.Style |= WS_HSCROLL | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
  if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
  static constexpr unsigned kStyles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_OWNERDRAWFIXED,
                                         LBS_OWNERDRAWVARIABLE};
  Params.Style |= kStyles[FStyle];
  if (FSorted) Params.Style |= LBS_SORT;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FColumns != 0) Params.Style |= LBS_MULTICOLUMN;
  if (FTabWidth != 0) Params.Style |= LBS_USETABSTOPS;
  if (FBorderStyle == bsSingle) {  // the new-style look: a sunken client edge in place of the border
    Params.Style &= ~static_cast<unsigned>(WS_BORDER);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
}

void TVxCustomListBox::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  FCreating = true;
  auto* window = new TListBoxWindow(this, params.Style, params.ExStyle, [this](TMessage& m) { WndProc(m); });
  FCreating = false;
  FWindow = window;
  window->SetColor(FColor);
  window->setGeometry(rect());
  window->setLayoutDirection(layoutDirection());
  setFocusProxy(window);
  window->show();
  if (FTabWidth != 0) {
    int stop = FTabWidth;
    Perform(LB_SETTABSTOPS, 1, reinterpret_cast<std::intptr_t>(&stop));
  }
  ApplyColumnWidth();
  if (FSavedItems) {
    std::unique_ptr<TObjectStrings> saved = std::move(FSavedItems);
    FItems->Assign(*saved);
    SetTopIndex(FSavedTopIndex);
    SetItemIndex(FSavedItemIndex);
  }
}

void TVxCustomListBox::DestroyWnd() {
  if (!FWindow) return;
  if (FItems->Count() > 0) {
    auto saved = std::make_unique<TObjectStrings>();
    saved->Assign(*FItems);
    FSavedItems = std::move(saved);
    FSavedTopIndex = TopIndex();
    FSavedItemIndex = ItemIndex();
  }
  const bool hadFocus = FWindow->hasFocus();
  Perform(WM_DESTROY);
  setFocusProxy(nullptr);
  FWindow->Detach();
  FWindow->hide();
  delete FWindow;
  FWindow = nullptr;
  if (hadFocus) FocusAfterRecreate = true;
}

void TVxCustomListBox::RecreateWnd() {
  if (!FWindow) return;
  DestroyWnd();
  CreateWnd();
  if (FocusAfterRecreate && FWindow) FWindow->setFocus(Qt::OtherFocusReason);
  FocusAfterRecreate = false;
}

void TVxCustomListBox::Loaded() {
  ComponentState &= ~static_cast<unsigned>(csLoading);
}

// ---------------------------------------------------------------------------------------------
// Properties

void TVxCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TVxCustomListBox::SetColumns(int Value) {
  if (Value == FColumns) return;
  const bool recreate = FColumns == 0 || Value == 0;
  FColumns = Value;
  if (recreate)
    RecreateWnd();
  else if (FWindow)
    ApplyColumnWidth();
}

void TVxCustomListBox::SetExtendedSelect(bool Value) {
  if (Value == FExtendedSelect) return;
  FExtendedSelect = Value;
  RecreateWnd();
}

void TVxCustomListBox::SetGraySelection(bool Value) {
  if (Value == FGraySelection) return;
  FGraySelection = Value;
  if (!Focused() && FWindow) FWindow->viewport()->update();
}

void TVxCustomListBox::SetIntegralHeight(bool Value) {
  if (Value == FIntegralHeight) return;
  FIntegralHeight = Value;
  RecreateWnd();
}

void TVxCustomListBox::SetItemHeight(int Value) {
  if (Value <= 0 || Value == FItemHeight) return;
  FItemHeight = Value;
  RecreateWnd();
}

void TVxCustomListBox::SetMultiSelect(bool Value) {
  if (Value == FMultiSelect) return;
  FMultiSelect = Value;
  RecreateWnd();
}

void TVxCustomListBox::SetSorted(bool Value) {
  if (Value == FSorted) return;
  FSorted = Value;
  RecreateWnd();
}

void TVxCustomListBox::SetStyle(TListBoxStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  RecreateWnd();
}

void TVxCustomListBox::SetTabWidth(int Value) {
  Value = std::max(Value, 0);
  if (Value == FTabWidth) return;
  FTabWidth = Value;
  RecreateWnd();
}

void TVxCustomListBox::SetColor(TColor Value) {
  FColor = Value;
  if (FWindow) FWindow->SetColor(Value);
}

void TVxCustomListBox::SetItems(const TStrings& Value) {
  FItems->Assign(Value);
}

int TVxCustomListBox::ActualItemHeight() const {
  if (FWindow && FStyle == lbStandard) {
    TRect r;
    FWindow->SendMessage(LB_GETITEMRECT, 0, reinterpret_cast<std::intptr_t>(&r));
    return r.Bottom - r.Top;
  }
  return FItemHeight;
}

// ---------------------------------------------------------------------------------------------
// Horizontal extent

void TVxCustomListBox::ScrollToLeftEdge() {
  Perform(WM_HSCROLL, SB_TOP);
}

void TVxCustomListBox::SetAutoScrollEffect(bool) {
  ScrollToLeftEdge();
  if (!FWindow) return;
  if (AutoScroll())
    RecalcHorizontalExtent();
  else
    Perform(LB_SETHORIZONTALEXTENT, 0);
}

void TVxCustomListBox::SetAutoScroll(bool Value) {
  if (Value == AutoScroll()) return;
  FAutoScroll = Value;
  SetAutoScrollEffect(true);
}

void TVxCustomListBox::SetOnDrawItem(TDrawItemEvent Value) {
  const bool changes = static_cast<bool>(FOnDrawItem) != static_cast<bool>(Value);
  FOnDrawItem = std::move(Value);
  if (changes) SetAutoScrollEffect(true);
}

void TVxCustomListBox::SetOnGetItemWidth(TGetItemWidthEvent Value) {
  const bool changes = static_cast<bool>(FOnGetItemWidth) != static_cast<bool>(Value);
  FOnGetItemWidth = std::move(Value);
  if (changes) SetAutoScrollEffect(true);
}

int TVxCustomListBox::TabPixels() const {
  return RoundEven(FCanvas.TextWidth("0") * FTabWidth * 0.25);
}

int TVxCustomListBox::GetItemWidth(int Index) {
  if (FStyle != lbStandard && FOnGetItemWidth && FOnDrawItem) {
    int width = 0;
    FOnGetItemWidth(this, Index, width);
    return width;
  }
  const AnsiString s = FItems->Get(Index) + "x";
  if (FTabWidth > 0) return GetTabbedTextExtent(FCanvas, s, TabPixels()).cx & 0xFFFF;
  return FCanvas.TextWidth(s);
}

void TVxCustomListBox::ApplyHorizontalExtent() {
  Perform(LB_SETHORIZONTALEXTENT, static_cast<std::uintptr_t>(FWidestItem));
}

void TVxCustomListBox::RecalcHorizontalExtent() {
  FWidestItem = 0;
  const int count = FItems->Count();
  for (int i = 0; i < count; ++i) FWidestItem = MaxMin::Max(FWidestItem, GetItemWidth(i));
  ApplyHorizontalExtent();
}

void TVxCustomListBox::ApplyColumnWidth() {
  if (FColumns > 0 && FWindow)
    Perform(LB_SETCOLUMNWIDTH, static_cast<std::uintptr_t>((width() + FColumns - 3) / FColumns));
}

// ---------------------------------------------------------------------------------------------
// Items and selection

std::intptr_t TVxCustomListBox::GetItemData(int Index) {
  return SendListMessage(LB_GETITEMDATA, static_cast<std::uintptr_t>(Index));
}

void TVxCustomListBox::SetItemData(int Index, std::intptr_t Value) {
  SendListMessage(LB_SETITEMDATA, static_cast<std::uintptr_t>(Index), Value);
}

void TVxCustomListBox::ResetContent() {
  SendListMessage(LB_RESETCONTENT);
}

void TVxCustomListBox::DeleteString(int Index) {
  SendListMessage(LB_DELETESTRING, static_cast<std::uintptr_t>(Index));
}

int TVxCustomListBox::ItemIndex() {
  return static_cast<int>(SendListMessage(LB_GETCURSEL));
}

void TVxCustomListBox::SetItemIndex(int Value) {
  if (ItemIndex() != Value) SendListMessage(LB_SETCURSEL, static_cast<std::uintptr_t>(Value));
}

int TVxCustomListBox::TopIndex() {
  return static_cast<int>(SendListMessage(LB_GETTOPINDEX));
}

void TVxCustomListBox::SetTopIndex(int Value) {
  if (TopIndex() != Value) SendListMessage(LB_SETTOPINDEX, static_cast<std::uintptr_t>(Value));
}

int TVxCustomListBox::SelectedCount() {
  return static_cast<int>(SendListMessage(LB_GETSELCOUNT));
}

bool TVxCustomListBox::ItemSelected(int Index) {
  const std::intptr_t result = SendListMessage(LB_GETSEL, static_cast<std::uintptr_t>(Index));
  if (result == LB_ERR) RaiseListIndexError(Index);
  return result != 0;
}

int TVxCustomListBox::ItemAtPoint(TPoint Pos, bool Existing) {
  TListBoxWindow* window = Window();
  if (Pos.X < 0 || Pos.Y < 0 || Pos.X >= window->viewport()->width() || Pos.Y >= window->viewport()->height())
    return -1;
  const int count = FItems->Count();
  int i = TopIndex();
  for (; i < count; ++i) {
    TRect r;
    Perform(LB_GETITEMRECT, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&r));
    if (Pos.X >= r.Left && Pos.X < r.Right && Pos.Y >= r.Top && Pos.Y < r.Bottom) return i;
  }
  return Existing ? -1 : i;
}

TRect TVxCustomListBox::GetItemRect(int Index) {
  const int count = FItems->Count();
  TRect r;
  if (Index == 0 || (Index > 0 && Index < count)) {
    SendListMessage(LB_GETITEMRECT, static_cast<std::uintptr_t>(Index), reinterpret_cast<std::intptr_t>(&r));
  } else if (Index == count) {
    SendListMessage(LB_GETITEMRECT, static_cast<std::uintptr_t>(count - 1), reinterpret_cast<std::intptr_t>(&r));
    OffsetRect(r, 0, r.Bottom - r.Top);
  }
  return r;
}

void TVxCustomListBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TVxCustomListBox::CNDrawItem(TDrawItemStruct& DrawItem) {
  const TOwnerDrawState state = DrawItem.itemState & 0xFFFF;
  FCanvas.SetHandle(DrawItem.hDC);
  FCanvas.Font = Font();
  FCanvas.Brush = TBrush{};
  FCanvas.Brush.Color = FColor;
  if (DrawItem.itemID >= 0 && (state & odSelected)) {
    if (Designing() || !FGraySelection || Focused()) {
      FCanvas.Brush.Color = clHighlight;
      FCanvas.Font.Color = clHighlightText;
    } else {
      FCanvas.Brush.Color = clBtnFace;
      if (ColorToRGB(FCanvas.Font.Color) == ColorToRGB(clBtnFace)) FCanvas.Font.Color = clBtnText;
    }
  }
  try {
    if (DrawItem.itemID >= 0)
      this->DrawItem(DrawItem.itemID, DrawItem.rcItem, state);
    else
      FCanvas.FillRect(DrawItem.rcItem);
    if (state & odFocused) DrawFocusRect(FCanvas, DrawItem.rcItem);
  } catch (...) {
    FCanvas.SetHandle(&FMeasureImage);
    throw;
  }
  FCanvas.SetHandle(&FMeasureImage);
}

void TVxCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (FOnDrawItem) {
    FOnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas.FillRect(Rect);
  if (Index < FItems->Count()) {
    const AnsiString s = FItems->Get(Index);
    int y = (Rect.Top + Rect.Bottom - FCanvas.TextHeight("Wy")) / 2;
    y = MaxMin::Max(Rect.Top, y);
    if (UseRightToLeftAlignment())
      PaintItemText(Rect.Right - 2 - FCanvas.TextWidth(s), y, s);
    else
      PaintItemText(Rect.Left + 2, y, s);
  }
}

void TVxCustomListBox::PaintItemText(int X, int Y, std::string_view S) {
  if (FTabWidth == 0)
    FCanvas.TextOut(X, Y, S);
  else
    TabbedTextOut(FCanvas, X, Y, S, TabPixels(), X);
}

void TVxCustomListBox::PaintItemsToDC(QImage* DC) {
  TDrawItemStruct draw;
  draw.hwndItem = static_cast<HWND>(FWindow);
  draw.hDC = DC;
  TMeasureItemStruct measure;
  int y = 0;
  int i = TopIndex();
  const int count = FItems->Count();
  while (y < height()) {
    measure.itemID = i;
    measure.itemData = i < count ? FItems->GetObject(i) : 0;
    measure.itemWidth = width();
    measure.itemHeight = FItemHeight;
    Perform(CN_MEASUREITEM, 0, reinterpret_cast<std::intptr_t>(&measure));
    draw.itemID = i;
    draw.itemData = measure.itemData;
    draw.rcItem = {0, y, width(), y + measure.itemHeight};
    Perform(CN_DRAWITEM, 0, reinterpret_cast<std::intptr_t>(&draw));
    y += measure.itemHeight;
    ++i;
    if (i >= count) break;
  }
}

// ---------------------------------------------------------------------------------------------
// Messages

void TVxCustomListBox::DefaultHandler(TMessage& Message) {
  if (FWindow) FWindow->DefWindowProc(Message);
}

void TVxCustomListBox::WndProc(TMessage& Message) {
  if (AutoScroll()) {
    switch (Message.Msg) {
      case WM_SETFONT:
        Dispatch(Message);
        FCanvas.Font = Font();
        RecalcHorizontalExtent();
        return;
      case LB_ADDSTRING:
      case LB_INSERTSTRING:
        Dispatch(Message);
        if (Message.Result >= 0) {
          FWidestItem = MaxMin::Max(FWidestItem, GetItemWidth(static_cast<int>(Message.Result)));
          ApplyHorizontalExtent();
        }
        return;
      case LB_DELETESTRING:
        if (GetItemWidth(static_cast<int>(Message.WParam)) < FWidestItem) {
          Dispatch(Message);
        } else {
          ScrollToLeftEdge();
          Dispatch(Message);
          RecalcHorizontalExtent();
        }
        return;
      case LB_RESETCONTENT:
        FWidestItem = 0;
        ApplyHorizontalExtent();
        ScrollToLeftEdge();
        Dispatch(Message);
        return;
      default:
        break;
    }
  }
  if (!Designing() && (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && !Dragging() &&
      DragMode == TDragMode::dmAutomatic) {
    ControlState |= csClicked;  // the left button is down
    Dispatch(Message);
    return;
  }
  Dispatch(Message);
}

void TVxCustomListBox::Dispatch(TMessage& Message) {
  const TPoint p = LParamToPoint(Message.LParam);
  const TShiftState shift = KeysToShiftState(Message.WParam);
  switch (Message.Msg) {
    case WM_SETFONT:
      FCanvas.Font = Font();
      DefaultHandler(Message);
      break;
    case WM_PAINT:
      if (Message.WParam != 0)
        PaintItemsToDC(reinterpret_cast<QImage*>(Message.WParam));
      else
        DefaultHandler(Message);
      break;
    case WM_SIZE:
      DefaultHandler(Message);
      ApplyColumnWidth();
      break;
    case CN_COMMAND:
      switch (Message.WParam >> 16) {
        case LBN_SELCHANGE:
          Click();
          break;
        case LBN_DBLCLK:
          DblClick();
          break;
        default:
          break;
      }
      break;
    case CN_DRAWITEM:
      CNDrawItem(*reinterpret_cast<TDrawItemStruct*>(Message.LParam));
      break;
    case CN_MEASUREITEM: {
      auto& measure = *reinterpret_cast<TMeasureItemStruct*>(Message.LParam);
      measure.itemHeight = FItemHeight;
      if (FStyle == lbOwnerDrawVariable) MeasureItem(measure.itemID, measure.itemHeight);
      break;
    }
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      break;
    case WM_LBUTTONDBLCLK:
      DefaultHandler(Message);
      MouseDown(mbLeft, shift | ssDouble, p.X, p.Y);
      break;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      DefaultHandler(Message);
      MouseDown(Message.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle, shift, p.X, p.Y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (Message.Msg == WM_LBUTTONUP) ControlState &= ~static_cast<unsigned>(csClicked);
      DefaultHandler(Message);
      MouseUp(Message.Msg == WM_LBUTTONUP ? mbLeft : Message.Msg == WM_RBUTTONUP ? mbRight : mbMiddle, shift, p.X, p.Y);
      break;
    case WM_MOUSEMOVE:
      DefaultHandler(Message);
      MouseMove(shift, p.X, p.Y);
      break;
    case WM_CHAR: {
      char key = static_cast<char>(Message.WParam);
      KeyPress(key);
      if (key != 0) {
        Message.WParam = static_cast<unsigned char>(key);
        DefaultHandler(Message);
      }
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      DefaultHandler(Message);
      if (FGraySelection && FMultiSelect && SelectedCount() > 1 && FWindow) FWindow->viewport()->update();
      break;
    case WM_NCHITTEST:
      DefaultHandler(Message);
      break;
    case CM_CTL3DCHANGED:
      if (FBorderStyle == bsSingle) RecreateWnd();
      DefaultHandler(Message);
      break;
    default:
      DefaultHandler(Message);
      break;
  }
}

void TVxCustomListBox::WMLButtonDown(TMessage& Message) {
  const TPoint p = LParamToPoint(Message.LParam);
  const TShiftState shift = KeysToShiftState(Message.WParam);
  if (DragMode == TDragMode::dmAutomatic && FMultiSelect && !((shift & ssShift) && !(shift & ssCtrl))) {
    const int i = ItemAtPoint(p, true);
    if (i >= 0 && ItemSelected(i)) {
      BeginDrag(false);
      return;
    }
  }
  DefaultHandler(Message);
  MouseDown(mbLeft, shift, p.X, p.Y);
  if (DragMode == TDragMode::dmAutomatic && (!FMultiSelect || !(shift & (ssCtrl | ssShift)))) BeginDrag(false);
}

void TVxCustomListBox::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TVxCustomListBox::DoEndDrag(QObject* target, int x, int y) {
  if (!target) DragCanceled();
  TControl::DoEndDrag(target, x, y);
}

void TVxCustomListBox::DragCanceled() {
  if (!FWindow) return;
  const QPoint at = FWindow->viewport()->mapFromGlobal(QCursor::pos());
  TMessage down{WM_LBUTTONDOWN, 0, PointToLParam(at.x(), at.y()), 0};
  FWindow->DefWindowProc(down);
  TMessage up{WM_LBUTTONUP, 0, PointToLParam(at.x(), at.y()), 0};
  FWindow->DefWindowProc(up);
}

void TVxCustomListBox::resizeEvent(QResizeEvent* event) {
  TControl::resizeEvent(event);
  if (FWindow) FWindow->setGeometry(rect());
}

void TVxCustomListBox::showEvent(QShowEvent* event) {
  Window();
  TControl::showEvent(event);
}
