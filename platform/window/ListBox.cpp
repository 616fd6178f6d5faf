#include "ListBox.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <algorithm>
#include <cstring>
#include <utility>

#include "CodePage.h"
#include "Controls.h"
#include "Forms.h"

namespace {

// The text's width up to each tab, tabs advancing to the next multiple of tab from origin.
int TabbedWidth(const TCanvas& canvas, std::string_view text, int tab, int origin,
                std::vector<std::pair<int, std::string_view>>* parts) {
  int x = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\t', start);
    const std::string_view part = text.substr(start, end == std::string_view::npos ? text.size() - start : end - start);
    if (parts) parts->emplace_back(x, part);
    x += canvas.TextWidth(part);
    if (end == std::string_view::npos) break;
    const int step = tab > 0 ? tab : 8 * std::max(1, canvas.TextWidth(" "));
    x = ((x + origin) / step + 1) * step - origin;
    start = end + 1;
  }
  return x;
}

}  // namespace

TSize GetTabbedTextExtent(const TCanvas& canvas, std::string_view text, int tab) {
  return {TabbedWidth(canvas, text, tab, 0, nullptr), canvas.TextHeight(text)};
}

void TabbedTextOut(TCanvas& canvas, int x, int y, std::string_view text, int tab, int origin) {
  std::vector<std::pair<int, std::string_view>> parts;
  TabbedWidth(canvas, text, tab, x - origin, &parts);
  for (const auto& [offset, part] : parts) canvas.TextOut(x + offset, y, part);
}

void DrawFocusRect(TCanvas& canvas, const TRect& rect) {
  QImage* image = canvas.Image();
  if (!image || rect.Width() <= 0 || rect.Height() <= 0) return;
  const auto invert = [image](int x, int y) {
    if (x < 0 || y < 0 || x >= image->width() || y >= image->height()) return;
    image->setPixel(x, y, image->pixel(x, y) ^ 0x00FFFFFFu);
  };
  for (int x = rect.Left; x < rect.Right; x += 2) {
    invert(x, rect.Top);
    if (rect.Bottom - 1 != rect.Top) invert(x, rect.Bottom - 1);
  }
  for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y)
    if ((y - rect.Top) % 2 == 0) {
      invert(rect.Left, y);
      if (rect.Right - 1 != rect.Left) invert(rect.Right - 1, y);
    }
}

TListBoxWindow::TListBoxWindow(QWidget* parent, unsigned style, unsigned exStyle,
                               std::function<void(TMessage&)> windowProc)
    : QAbstractScrollArea(parent), FStyle(style), FWindowProc(std::move(windowProc)) {
  setFocusPolicy(Qt::StrongFocus);
  if (exStyle & WS_EX_CLIENTEDGE) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
  } else if (style & WS_BORDER) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
  } else {
    setFrameStyle(QFrame::NoFrame);
  }
  viewport()->setMouseTracking(false);
  viewport()->setAutoFillBackground(false);
  setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy((style & WS_VSCROLL) && !MultiColumn() ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  FItemHeight = QFontMetrics(font()).height();
  if (OwnerDraw()) MeasureItem(0, FItemHeight, 0);
  UpdateScrollBars();
}

TListBoxWindow::~TListBoxWindow() = default;

std::intptr_t TListBoxWindow::SendMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  TMessage message{msg, wParam, lParam, 0};
  if (FWindowProc)
    FWindowProc(message);
  else
    DefWindowProc(message);
  return message.Result;
}

void TListBoxWindow::SetColor(TColor color) {
  FColor = color;
  Redraw();
}

TListItemObject* TListBoxWindow::ItemObject(int index) const {
  return Valid(index) ? FItems[static_cast<std::size_t>(index)].Object.get() : nullptr;
}

void TListBoxWindow::SetItemObject(int index, std::unique_ptr<TListItemObject> object) {
  if (Valid(index)) FItems[static_cast<std::size_t>(index)].Object = std::move(object);
}

int TListBoxWindow::HeightOf(int index) const {
  if (Variable() && Valid(index)) return FItems[static_cast<std::size_t>(index)].Height;
  return FItemHeight;
}

int TListBoxWindow::RowsPerColumn() const {
  return std::max(1, viewport()->height() / std::max(1, FItemHeight));
}

int TListBoxWindow::MaxTopIndex() const {
  if (Count() == 0) return 0;
  if (MultiColumn()) {
    const int rows = RowsPerColumn();
    const int columns = (Count() + rows - 1) / rows;
    const int visible = std::max(1, viewport()->width() / std::max(1, FColumnWidth > 0 ? FColumnWidth : 1));
    return std::max(0, columns - visible) * rows;
  }
  // The first item from which the rest fits the client height.
  int height = 0;
  int top = Count();
  while (top > 0 && height + HeightOf(top - 1) <= viewport()->height()) height += HeightOf(--top);
  return std::min(top, Count() - 1);
}

TRect TListBoxWindow::ItemRect(int index) const {
  if (MultiColumn()) {
    const int rows = RowsPerColumn();
    const int column = index / rows - FTop / rows;
    const int left = column * FColumnWidth;
    const int top = (index % rows) * FItemHeight;
    return {left, top, left + FColumnWidth, top + FItemHeight};
  }
  int y = 0;
  if (index >= FTop)
    for (int i = FTop; i < index; ++i) y += HeightOf(i);
  else
    for (int i = index; i < FTop; ++i) y -= HeightOf(i);
  const int offset = horizontalScrollBar()->value();
  const int width = std::max(viewport()->width(), FExtent);
  return {-offset, y, width - offset, y + HeightOf(index)};
}

int TListBoxWindow::ItemFromPoint(int x, int y) const {
  if (Count() == 0) return -1;
  for (int i = FTop; i < Count(); ++i) {
    const TRect r = ItemRect(i);
    if (r.Top > viewport()->height() && !MultiColumn()) break;
    if (y >= r.Top && y < r.Bottom && (!MultiColumn() || (x >= r.Left && x < r.Right))) return i;
  }
  return Count() - 1;
}

int TListBoxWindow::SelectedIndex() const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[static_cast<std::size_t>(i)].Selected) return i;
  return -1;
}

int TListBoxWindow::TabPixels(int dialogUnits) const {
  return (QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')) * dialogUnits + 2) / 4;
}

void TListBoxWindow::MeasureItem(int index, int& height, std::intptr_t data) {
  TMeasureItemStruct measure;
  measure.itemID = index;
  measure.itemWidth = width();
  measure.itemHeight = height;
  measure.itemData = data;
  SendMessage(CN_MEASUREITEM, 0, reinterpret_cast<std::intptr_t>(&measure));
  height = std::max(1, measure.itemHeight);
}

std::intptr_t TListBoxWindow::Insert(int index, const char* text) {
  if (index < -1 || index > Count()) return LB_ERR;
  Item item;
  item.Text = text ? text : "";
  if (index == -1) index = Count();
  item.Height = FItemHeight;
  FItems.insert(FItems.begin() + index, std::move(item));
  if (Variable()) MeasureItem(index, FItems[static_cast<std::size_t>(index)].Height, 0);
  if (FCaret >= index) ++FCaret;
  if (FAnchor >= index) ++FAnchor;
  UpdateScrollBars();
  Redraw();
  return index;
}

std::intptr_t TListBoxWindow::Delete(int index) {
  if (!Valid(index)) return LB_ERR;
  FItems.erase(FItems.begin() + index);
  if (FCaret == index) FCaret = -1;
  if (FCaret > index) --FCaret;
  if (FAnchor == index) FAnchor = -1;
  if (FAnchor > index) --FAnchor;
  FTop = std::min(FTop, MaxTopIndex());
  UpdateScrollBars();
  Redraw();
  return Count();
}

void TListBoxWindow::Reset() {
  FItems.clear();
  FTop = 0;
  FCaret = FAnchor = -1;
  UpdateScrollBars();
  Redraw();
}

void TListBoxWindow::SelectOnly(int index) {
  for (int i = 0; i < Count(); ++i) FItems[static_cast<std::size_t>(i)].Selected = i == index;
  Redraw();
}

void TListBoxWindow::SelectRange(int from, int to) {
  if (from > to) std::swap(from, to);
  for (int i = std::max(0, from); i <= to && i < Count(); ++i) FItems[static_cast<std::size_t>(i)].Selected = true;
  Redraw();
}

void TListBoxWindow::SetTop(int index) {
  index = std::clamp(index, 0, MaxTopIndex());
  if (MultiColumn()) index -= index % RowsPerColumn();
  if (index == FTop) return;
  FTop = index;
  UpdateScrollBars();
  Redraw();
}

void TListBoxWindow::EnsureVisible(int index) {
  if (!Valid(index)) return;
  if (index < FTop) {
    SetTop(index);
    return;
  }
  if (MultiColumn()) {
    const int rows = RowsPerColumn();
    const int visible = std::max(1, viewport()->width() / std::max(1, FColumnWidth));
    if (index / rows >= FTop / rows + visible) SetTop((index / rows - visible + 1) * rows);
    return;
  }
  int top = FTop;
  auto bottomOf = [this, index](int from) {
    int y = 0;
    for (int i = from; i <= index; ++i) y += HeightOf(i);
    return y;
  };
  while (top < index && bottomOf(top) > viewport()->height()) ++top;
  SetTop(top);
}

void TListBoxWindow::Notify(unsigned code) {
  if (FStyle & LBS_NOTIFY)
    SendMessage(CN_COMMAND, MakeWParam(0, code), reinterpret_cast<std::intptr_t>(static_cast<HWND>(this)));
}

void TListBoxWindow::PressAt(std::uintptr_t keys, TPoint point, bool doubleClick) {
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  const int index = ItemFromPoint(point.X, point.Y);
  if (index < 0) return;
  const bool shift = keys & MK_SHIFT;
  const bool ctrl = keys & MK_CONTROL;
  if (FStyle & LBS_MULTIPLESEL) {
    auto& item = FItems[static_cast<std::size_t>(index)];
    if (!doubleClick) item.Selected = !item.Selected;
  } else if (FStyle & LBS_EXTENDEDSEL) {
    if (shift && FAnchor >= 0) {
      if (!ctrl) SelectOnly(-1);
      SelectRange(FAnchor, index);
    } else if (ctrl) {
      auto& item = FItems[static_cast<std::size_t>(index)];
      item.Selected = !item.Selected;
      FAnchor = index;
    } else {
      SelectOnly(index);
      FAnchor = index;
    }
  } else {
    SelectOnly(index);
    FTracking = true;
  }
  FCaret = index;
  EnsureVisible(index);
  Redraw();
  Notify(LBN_SELCHANGE);
  if (doubleClick) Notify(LBN_DBLCLK);
}

void TListBoxWindow::MoveCaret(int index, bool shift, bool ctrl) {
  if (Count() == 0) return;
  index = std::clamp(index, 0, Count() - 1);
  if (SingleSelect()) {
    SelectOnly(index);
  } else if (FStyle & LBS_EXTENDEDSEL) {
    if (shift && FAnchor >= 0) {
      SelectOnly(-1);
      SelectRange(FAnchor, index);
    } else if (!ctrl) {
      SelectOnly(index);
      FAnchor = index;
    }
  }
  FCaret = index;
  EnsureVisible(index);
  Redraw();
  Notify(LBN_SELCHANGE);
}

void TListBoxWindow::TypeAhead(char c) {
  if (Count() == 0 || static_cast<unsigned char>(c) < 0x20) return;
  const std::string_view key(&c, 1);
  for (int step = 1; step <= Count(); ++step) {
    const int i = (std::max(FCaret, -1) + step + Count()) % Count();
    const AnsiString& text = FItems[static_cast<std::size_t>(i)].Text;
    if (!text.empty() && AnsiCompareText(std::string_view(text).substr(0, 1), key) == 0) {
      MoveCaret(i, false, false);
      return;
    }
  }
}

void TListBoxWindow::DefWindowProc(TMessage& m) {
  const int index = static_cast<int>(static_cast<std::intptr_t>(m.WParam));
  m.Result = 0;
  switch (m.Msg) {
    case LB_ADDSTRING: {
      const char* text = reinterpret_cast<const char*>(m.LParam);
      int at = Count();
      if (FStyle & LBS_SORT) {
        const std::string_view s = text ? text : "";
        at = static_cast<int>(
            std::upper_bound(FItems.begin(), FItems.end(), s,
                             [](std::string_view a, const Item& b) { return AnsiCompareText(a, b.Text) < 0; }) -
            FItems.begin());
      }
      m.Result = Insert(at, text);
      break;
    }
    case LB_INSERTSTRING:
      m.Result = Insert(index, reinterpret_cast<const char*>(m.LParam));
      break;
    case LB_DELETESTRING:
      m.Result = Delete(index);
      break;
    case LB_RESETCONTENT:
      Reset();
      break;
    case LB_GETCOUNT:
      m.Result = Count();
      break;
    case LB_GETTEXTLEN:
      m.Result =
          Valid(index) ? static_cast<std::intptr_t>(FItems[static_cast<std::size_t>(index)].Text.size()) : LB_ERR;
      break;
    case LB_GETTEXT:
      if (!Valid(index)) {
        m.Result = LB_ERR;
      } else {
        const AnsiString& text = FItems[static_cast<std::size_t>(index)].Text;
        char* buffer = reinterpret_cast<char*>(m.LParam);
        if (buffer) {
          std::memcpy(buffer, text.data(), text.size());
          buffer[text.size()] = '\0';
        }
        m.Result = static_cast<std::intptr_t>(text.size());
      }
      break;
    case LB_GETITEMDATA:
      m.Result = Valid(index) ? FItems[static_cast<std::size_t>(index)].Data : LB_ERR;
      break;
    case LB_SETITEMDATA:
      if (Valid(index))
        FItems[static_cast<std::size_t>(index)].Data = m.LParam;
      else
        m.Result = LB_ERR;
      break;
    case LB_GETCURSEL:
      m.Result = SingleSelect() ? SelectedIndex() : FCaret;
      if (m.Result < 0) m.Result = LB_ERR;
      break;
    case LB_SETCURSEL:
      if (!SingleSelect()) {
        m.Result = LB_ERR;
      } else {
        SelectOnly(Valid(index) ? index : -1);
        if (Valid(index)) {
          FCaret = index;
          EnsureVisible(index);
        }
        m.Result = Valid(index) ? index : LB_ERR;
      }
      break;
    case LB_SETSEL: {
      const int item = static_cast<int>(m.LParam);
      if (SingleSelect() || item < -1 || item >= Count()) {
        m.Result = LB_ERR;
        break;
      }
      for (int i = 0; i < Count(); ++i)
        if (item == -1 || i == item) FItems[static_cast<std::size_t>(i)].Selected = m.WParam != 0;
      if (item >= 0) FAnchor = FCaret = item;
      Redraw();
      break;
    }
    case LB_GETSEL:
      m.Result = Valid(index) ? (FItems[static_cast<std::size_t>(index)].Selected ? 1 : 0) : LB_ERR;
      break;
    case LB_GETSELCOUNT:
      m.Result = SingleSelect() ? LB_ERR
                                : std::count_if(FItems.begin(), FItems.end(), [](const Item& i) { return i.Selected; });
      break;
    case LB_GETCARETINDEX:
      m.Result = FCaret;
      break;
    case LB_SETCARETINDEX:
      if (!Valid(index)) {
        m.Result = LB_ERR;
      } else {
        FCaret = index;
        EnsureVisible(index);
        Redraw();
      }
      break;
    case LB_GETTOPINDEX:
      m.Result = FTop;
      break;
    case LB_SETTOPINDEX:
      if (Count() > 0 && !Valid(index))
        m.Result = LB_ERR;
      else
        SetTop(index);
      break;
    case LB_GETITEMRECT:
      if (!Valid(index) && index != 0) {
        m.Result = LB_ERR;
      } else {
        *reinterpret_cast<TRect*>(m.LParam) = ItemRect(index);
        m.Result = 1;
      }
      break;
    case LB_GETITEMHEIGHT:
      m.Result = HeightOf(index);
      break;
    case LB_SETITEMHEIGHT: {
      const int height = static_cast<int>(m.LParam & 0xFFFF);
      if (height <= 0 || height > 255) {
        m.Result = LB_ERR;
        break;
      }
      if (Variable() && Valid(index))
        FItems[static_cast<std::size_t>(index)].Height = height;
      else if (FItemHeight != height)
        FItemHeight = height;
      else
        break;
      UpdateScrollBars();
      Redraw();
      break;
    }
    case LB_GETHORIZONTALEXTENT:
      m.Result = FExtent;
      break;
    case LB_SETHORIZONTALEXTENT:
      if (FExtent == static_cast<int>(m.WParam)) break;
      FExtent = static_cast<int>(m.WParam);
      UpdateScrollBars();
      Redraw();
      break;
    case LB_SETCOLUMNWIDTH:
      if (FColumnWidth == static_cast<int>(m.WParam)) break;
      FColumnWidth = static_cast<int>(m.WParam);
      UpdateScrollBars();
      Redraw();
      break;
    case LB_SETTABSTOPS: {
      const int* stops = reinterpret_cast<const int*>(m.LParam);
      FTabStops.assign(stops, stops + m.WParam);
      m.Result = 1;
      Redraw();
      break;
    }
    case WM_SETREDRAW:
      FRedraw = m.WParam != 0;
      if (FRedraw) {
        UpdateScrollBars();
        Redraw();
      }
      break;
    case WM_HSCROLL:
      if ((m.WParam & 0xFFFF) == SB_TOP) {
        if (MultiColumn())
          SetTop(0);
        else
          horizontalScrollBar()->setValue(0);
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      PressAt(m.WParam, LParamToPoint(m.LParam), m.Msg == WM_LBUTTONDBLCLK);
      break;
    case WM_MOUSEMOVE:
      if (FTracking && (m.WParam & MK_LBUTTON)) {
        const TPoint p = LParamToPoint(m.LParam);
        const int item = ItemFromPoint(p.X, p.Y);
        if (item >= 0 && item != FCaret) MoveCaret(item, false, false);
      }
      break;
    case WM_LBUTTONUP:
      FTracking = false;
      break;
    case WM_KEYDOWN: {
      const bool shift = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
      const bool ctrl = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
      const int page = std::max(1, viewport()->height() / std::max(1, FItemHeight) - 1);
      const int caret = std::max(FCaret, 0);
      switch (m.WParam) {
        case VK_UP:
          MoveCaret(FCaret < 0 ? 0 : caret - 1, shift, ctrl);
          break;
        case VK_DOWN:
          MoveCaret(FCaret < 0 ? 0 : caret + 1, shift, ctrl);
          break;
        case VK_HOME:
          MoveCaret(0, shift, ctrl);
          break;
        case VK_END:
          MoveCaret(Count() - 1, shift, ctrl);
          break;
        case VK_PRIOR:
          MoveCaret(caret - page, shift, ctrl);
          break;
        case VK_NEXT:
          MoveCaret(caret + page, shift, ctrl);
          break;
        default:
          return;
      }
      m.Result = 1;
      break;
    }
    case WM_CHAR:
      if (m.WParam == ' ' && (FStyle & LBS_MULTIPLESEL) && Valid(FCaret)) {
        auto& item = FItems[static_cast<std::size_t>(FCaret)];
        item.Selected = !item.Selected;
        Redraw();
        Notify(LBN_SELCHANGE);
      } else {
        TypeAhead(static_cast<char>(m.WParam));
      }
      break;
    case WM_NCHITTEST:
      m.Result = HTCLIENT;
      break;
    default:
      break;
  }
}

void TListBoxWindow::SetScrollRange(int bar, int min, int max) {
  if (bar != SB_VERT) return;
  FHideVertical = max <= min;
  if (FHideVertical) verticalScrollBar()->setRange(0, 0);
}

int TListBoxWindow::HorizontalPosition() const {
  return horizontalScrollBar()->value();
}

void TListBoxWindow::UpdateScrollBars() {
  if (FUpdatingBars || !FRedraw) return;
  FUpdatingBars = true;
  FHideVertical = false;
  if (MultiColumn()) {
    const int rows = RowsPerColumn();
    horizontalScrollBar()->setRange(0, MaxTopIndex() / rows);
    horizontalScrollBar()->setPageStep(1);
    horizontalScrollBar()->setValue(FTop / rows);
  } else {
    verticalScrollBar()->setRange(0, MaxTopIndex());
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height() / std::max(1, FItemHeight)));
    verticalScrollBar()->setValue(FTop);
    horizontalScrollBar()->setRange(0, std::max(0, FExtent - viewport()->width()));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
  }
  FUpdatingBars = false;
}

void TListBoxWindow::scrollContentsBy(int, int) {
  if (FUpdatingBars) return;
  if (MultiColumn())
    FTop = std::min(horizontalScrollBar()->value() * RowsPerColumn(), std::max(0, Count() - 1));
  else
    FTop = std::clamp(verticalScrollBar()->value(), 0, MaxTopIndex());
  Redraw();
}

void TListBoxWindow::Redraw() {
  if (FRedraw) viewport()->update();
}

void TListBoxWindow::PaintStandardItem(TCanvas& canvas, int index, const TRect& rect, unsigned state) const {
  canvas.Brush.Color = (state & ODS_SELECTED) ? clHighlight : FColor;
  canvas.Font.Color = (state & ODS_SELECTED) ? clHighlightText : (isEnabled() ? clWindowText : clGrayText);
  canvas.FillRect(rect);
  if (!Valid(index)) return;
  const AnsiString& text = FItems[static_cast<std::size_t>(index)].Text;
  if (FStyle & LBS_USETABSTOPS)
    TabbedTextOut(canvas, rect.Left + 2, rect.Top, text, TabPixels(FTabStops.empty() ? 32 : FTabStops.front()),
                  rect.Left + 2);
  else
    canvas.TextOut(rect.Left + 2, rect.Top, text);
}

void TListBoxWindow::paintEvent(QPaintEvent*) {
  QImage image(viewport()->size(), QImage::Format_RGB32);
  TCanvas canvas(&image);
  canvas.Font = TFont{font(), clWindowText};
  canvas.Brush.Color = FColor;
  canvas.FillRect({0, 0, image.width(), image.height()});
  const bool focused = hasFocus();
  const auto stateOf = [&](int i) {
    unsigned state = 0;
    if (Valid(i) && FItems[static_cast<std::size_t>(i)].Selected) state |= ODS_SELECTED;
    if (focused && i == FCaret) state |= ODS_FOCUS;
    if (!isEnabled()) state |= ODS_DISABLED;
    return state;
  };
  const auto draw = [&](int i, const TRect& rect, unsigned state) {
    if (OwnerDraw()) {
      TDrawItemStruct item;
      item.itemID = i;
      item.itemState = state;
      item.hwndItem = static_cast<HWND>(this);
      item.hDC = &image;
      item.rcItem = rect;
      item.itemData = Valid(i) ? FItems[static_cast<std::size_t>(i)].Data : 0;
      SendMessage(CN_DRAWITEM, 0, reinterpret_cast<std::intptr_t>(&item));
    } else {
      PaintStandardItem(canvas, i, rect, state);
      if (state & ODS_FOCUS) DrawFocusRect(canvas, rect);
    }
  };
  if (Count() == 0) {
    if (focused) draw(-1, ItemRect(0), ODS_FOCUS);
  } else {
    for (int i = FTop; i < Count(); ++i) {
      const TRect rect = ItemRect(i);
      if (rect.Top >= image.height() || rect.Left >= image.width()) {
        if (!MultiColumn() || rect.Left >= image.width()) break;
        continue;
      }
      draw(i, rect, stateOf(i));
    }
  }
  QPainter painter(viewport());
  painter.drawImage(0, 0, image);
}

void TListBoxWindow::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  SendMessage(WM_SIZE, 0, PointToLParam(viewport()->width(), viewport()->height()));
}

void TListBoxWindow::SendMouse(unsigned msg, const QMouseEvent* event) {
  if (msg == WM_NULL) return;
  const QPoint p = event->position().toPoint();
  SendMessage(msg, MouseKeysOf(*event), PointToLParam(p.x(), p.y()));
}

void TListBoxWindow::mousePressEvent(QMouseEvent* event) {
  // The second press of a double click is the double click, as the platform delivers it; the
  // double-click event that follows it is then dropped.
  const QPoint moved = event->position().toPoint() - FLastPress.Pos;
  const bool second = !FLastPress.WasDouble && event->button() == FLastPress.Button &&
                      event->timestamp() - FLastPress.Time <
                          static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval()) &&
                      moved.manhattanLength() <= QGuiApplication::styleHints()->startDragDistance();
  FLastPress = {event->timestamp(), event->button(), event->position().toPoint(), second};
  FDropDoubleClick = second;
  if (second)
    SendMouse(ButtonMessage(event->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK), event);
  else
    SendMouse(ButtonMessage(event->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN), event);
}

void TListBoxWindow::mouseReleaseEvent(QMouseEvent* event) {
  SendMouse(ButtonMessage(event->button(), WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP), event);
}

void TListBoxWindow::mouseMoveEvent(QMouseEvent* event) {
  SendMouse(WM_MOUSEMOVE, event);
}

void TListBoxWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (std::exchange(FDropDoubleClick, false)) return;
  FLastPress.WasDouble = true;
  SendMouse(ButtonMessage(event->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK), event);
}

void TListBoxWindow::keyPressEvent(QKeyEvent* event) {
  const unsigned short key = VirtualKeyOf(*event);
  if (key != 0 && key != VK_TAB && SendMessage(WM_KEYDOWN, key) != 0) return;
  const char c = KeyPressCharOf(*event);
  if (c != 0 && c != '\x1B' && c != '\r') {
    SendMessage(WM_CHAR, static_cast<unsigned char>(c));
    return;
  }
  event->ignore();
}

void TListBoxWindow::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  SendMessage(WM_SETFOCUS);
  Redraw();
}

void TListBoxWindow::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  SendMessage(WM_KILLFOCUS);
  Redraw();
}

void TListBoxWindow::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    if (!OwnerDraw()) FItemHeight = QFontMetrics(font()).height();
    SendMessage(WM_SETFONT);
    UpdateScrollBars();
    Redraw();
  }
}
