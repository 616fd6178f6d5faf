#include <QApplication>
#include <QCursor>

#include "ActnList.h"
#include "CodePage.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "MessageQueue.h"
#include "VCLUtils.h"
#include "VXCtrls.h"

namespace {

// Clears a flag when the scope ends, also by an exception.
class FlagScope final {
 public:
  explicit FlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
  ~FlagScope() {
    if (FArmed) FFlag = false;
  }
  // For when the flag's owner is gone.
  void Dismiss() { FArmed = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& FFlag;
  bool FArmed = true;
};

}  // namespace

TVxSpeedButton::TVxSpeedButton(QWidget* parent)
    : TGraphicControl(parent),
      FGlyphPainter(std::make_unique<TVxButtonGlyph>()),
      FPaintBuffer(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 25, 25);
  ControlStyle = csCaptureMouse | csOpaque | csDoubleClicks | csReplicatable;
  FGlyphPainter->OnChange = [this](QObject*) { update(); };
  SetParentFont(true);
  ParentShowHint = false;
  SetShowHint(true);
}

TVxSpeedButton::~TVxSpeedButton() = default;

void TVxSpeedButton::SetAlignment(TAlignment value) {
  if (value == FGlyphPainter->Alignment) return;
  FGlyphPainter->Alignment = value;
  update();
}

void TVxSpeedButton::SetAllowAllUp(bool value) {
  if (value == FAllowAllUp) return;
  FAllowAllUp = value;
  NotifyGroup();
}

void TVxSpeedButton::SetAllowTimer(bool value) {
  FAllowTimer = value;
  if (!value && FAutoRepeatTimer) {
    FAutoRepeatTimer->SetEnabled(false);
    FAutoRepeatTimer.reset();
  }
}

void TVxSpeedButton::SetGroupIndex(int value) {
  if (value == FGroupIndex) return;
  FGroupIndex = value;
  NotifyGroup();
}

void TVxSpeedButton::SetDown(bool value) {
  if (FGroupIndex == 0) value = false;
  if (value == FDown || (FDown && !FAllowAllUp)) return;
  FDown = value;
  if (value) {
    if (FPaintState == psUp) update();
    FPaintState = psExclusive;
  } else {
    FPaintState = psUp;
  }
  repaint();
  if (value) NotifyGroup();
  update();
}

TPopupMenu* TVxSpeedButton::DropDownMenu() const {
  return FDropDownMenu;
}

void TVxSpeedButton::SetDropDownMenu(TPopupMenu* menu) {
  FDropDownMenu = menu;
  if (FMarkDropDown) update();
}

void TVxSpeedButton::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  update();
}

void TVxSpeedButton::SetGlyph(const TBitmap* bitmap) {
  FGlyphPainter->SetPicture(bitmap);
  update();
}

QString TVxSpeedButton::CaptionText() const {
  return AnsiToQString(Caption());
}

void TVxSpeedButton::SetCaptionText(const QString& text) {
  SetCaption(QStringToAnsi(text).value_or(AnsiString()));
}

QColor TVxSpeedButton::FontColor() const {
  return QColor(ColorToQRgb(Font().Color));
}

void TVxSpeedButton::SetFontColor(const QColor& colour) {
  TFont font = Font();
  font.Color = RGB(colour.red(), colour.green(), colour.blue());
  SetFont(font);
}

QPixmap TVxSpeedButton::GlyphPicture() const {
  return QPixmap::fromImage(Glyph()->Image());
}

void TVxSpeedButton::SetGlyphPicture(const QPixmap& picture) {
  TBitmap bitmap;
  bitmap.LoadFromImage(picture.toImage());
  SetGlyph(&bitmap);
}

void TVxSpeedButton::SetHintText(const QString& text) {
  SetHint(QStringToAnsi(text).value_or(AnsiString()));
}

void TVxSpeedButton::SetGrayedInactive(bool value) {
  if (value == FGrayedInactive) return;
  FGrayedInactive = value;
  update();
}

void TVxSpeedButton::SetLayout(TButtonLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  update();
}

void TVxSpeedButton::SetMargin(int value) {
  if (value < -1 || value == FMargin) return;
  FMargin = value;
  update();
}

void TVxSpeedButton::SetMarkDropDown(bool value) {
  if (value == FMarkDropDown) return;
  FMarkDropDown = value;
  update();
}

void TVxSpeedButton::SetNumGlyphs(int value) {
  if (value < 1) return;
  value = std::min(value, 5);
  if (value == FGlyphPainter->NumGlyphs()) return;
  FGlyphPainter->SetCellCount(value);
  update();
}

void TVxSpeedButton::SetSpacing(int value) {
  if (value == FSpacing) return;
  FSpacing = value;
  update();
}

void TVxSpeedButton::SetStyle(TButtonStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  update();
}

void TVxSpeedButton::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  // Qt repaints no opaque widget when what lies beneath it changes.
  setAttribute(Qt::WA_OpaquePaintEvent, !value);
  update();
}

void TVxSpeedButton::SetWordWrap(bool value) {
  if (value == FGlyphPainter->WordWrap) return;
  FGlyphPainter->WordWrap = value;
  update();
}

void TVxSpeedButton::BuildCellAhead() {
  FGlyphPainter->BuildCell(!isEnabled() ? psDisabled : FFlat ? psInactive : psUp);
}

void TVxSpeedButton::Loaded() {
  BuildCellAhead();
}

void TVxSpeedButton::Paint() {
  if (!isEnabled()) {
    FPaintState = psDisabled;
    FPressing = false;
  } else if (FPaintState == psDisabled) {
    FPaintState = FDown && FGroupIndex != 0 ? psExclusive : psUp;
  }
  TButtonPaintState drawState = FPaintState;
  if (FFlat && !FMouseInside && !Designing()) drawState = psInactive;

  TRect r = Rect(0, 0, width(), height());
  FPaintBuffer->SetSize(width(), height());
  TCanvas& canvas = FPaintBuffer->Canvas();
  canvas.Font = Font();
  canvas.Brush = TBrush{};
  canvas.Brush.Color = clBtnFace;
  canvas.FillRect(r);
  if (FTransparent) PaintParentBackdrop(this, canvas);

  const bool pressedLook = FPaintState == psDown || FPaintState == psExclusive;
  if (drawState != psInactive || FPaintState == psExclusive)
    r = PaintButtonFrame(canvas, r, pressedLook, FFlat, FStyle);
  else if (FFlat)
    InflateRect(r, -2, -2);

  if (FPaintState == psExclusive && !FTransparent && (!FFlat || drawState == psInactive)) {
    InflateRect(r, 1, 1);
    canvas.Brush.Bitmap = AllocPatternBitmap(clBtnFace, clBtnHighlight);
    canvas.FillRect(r);
    canvas.Brush.Bitmap.reset();
    InflateRect(r, -1, -1);
  }
  if (pressedLook) OffsetRect(r, 1, 1);

  const TButtonPaintState glyphState = FPaintState == psDisabled || !FGrayedInactive ? FPaintState : drawState;
  DrawGlyph(canvas, r, glyphState, FMarkDropDown && FDropDownMenu);
  Canvas().Draw(0, 0, *FPaintBuffer);
}

void TVxSpeedButton::DrawGlyph(TCanvas& canvas, const TRect& rect, TButtonPaintState state, bool mark) {
  unsigned flags = DT_CENTER;
  const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
  switch (FGlyphPainter->Alignment) {
    case TAlignment::taLeftJustify:
      flags = rightToLeft ? DT_RIGHT : DT_LEFT;
      break;
    case TAlignment::taRightJustify:
      flags = rightToLeft ? DT_LEFT : DT_RIGHT;
      break;
    case TAlignment::taCenter:
      break;
  }
  if (rightToLeft) flags |= DT_RTLREADING;
  FGlyphPainter->Render(canvas, rect, Caption(), FLayout, FMargin, FSpacing, mark, state, flags);
}

bool TVxSpeedButton::InsideClient(int x, int y) const {
  return x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
}

TPoint TVxSpeedButton::MenuAnchorPoint() const {
  if (!FDropDownMenu) return {0, 0};
  const int w = width();
  const int h = height();
  const TPopupAlignment alignment = FDropDownMenu->Alignment;
  if (alignment == TPopupAlignment::paCenter) return {w / 2, h};
  if (FMenuPosition == dmpBottom) return alignment == TPopupAlignment::paLeft ? TPoint{-1, h} : TPoint{w + 1, h};
  return alignment == TPopupAlignment::paLeft ? TPoint{w, -1} : TPoint{-1, -1};
}

bool TVxSpeedButton::PopupDropDownMenu(TPoint point, bool manual) {
  if (Designing() || !FDropDownMenu || (!manual && !FDropDownMenu->AutoPopup)) return false;
  ReleaseCapture();
  FDropDownMenu->PopupComponent = this;
  const QPoint screen = mapToGlobal(QPoint(point.X, point.Y));
  FDropDownMenu->Popup(screen.x(), screen.y());
  return true;
}

void TVxSpeedButton::DiscardMenuClosingClick() {
  TMsg pending;
  if (!PeekMessageA(pending, nullptr, 0, 0, PM_NOREMOVE)) return;
  if (pending.message != WM_LBUTTONDOWN && pending.message != WM_LBUTTONDBLCLK) return;
  const QPoint local = mapFromGlobal(QPoint(pending.pt.X, pending.pt.Y));
  if (InsideClient(local.x(), local.y())) DiscardPendingMessage(nullptr, pending.message);
}

void TVxSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (FMenuShowing) return;
  TGraphicControl::MouseDown(button, shift, x, y);
  if (!FMouseInside && isEnabled()) {
    FMouseInside = true;
    repaint();
  }
  if (button != TMouseButton::mbLeft || !isEnabled()) return;
  if (!FDown) {
    FPaintState = psDown;
    repaint();
  }
  FPressing = true;
  const QPointer<TVxSpeedButton> alive(this);
  {
    FlagScope showing(FMenuShowing);
    const bool shown = PopupDropDownMenu(MenuAnchorPoint(), false);
    if (!alive) {
      showing.Dismiss();
      return;
    }
    if (shown) FinishPress(button, shift, x, y);
    DiscardMenuClosingClick();
  }
  if (FAllowTimer) {
    if (!FAutoRepeatTimer) FAutoRepeatTimer = std::make_unique<TTimer>();
    FAutoRepeatTimer->SetInterval(FInitPause);
    FAutoRepeatTimer->SetOnTimer([this](QObject*) { RepeatTimerTick(); });
    FAutoRepeatTimer->SetEnabled(true);
  }
}

void TVxSpeedButton::FinishPress(TMouseButton button, TShiftState, int x, int y) {
  if (FPressing && button == TMouseButton::mbLeft) {
    FPressing = false;
    const bool inside = InsideClient(x, y);
    if (FGroupIndex == 0) {
      FPaintState = psUp;
      FMouseInside = false;
      if (inside)
        repaint();
      else
        update();
    } else if (inside) {
      SetDown(!FDown);
      if (FDown) repaint();
    } else {
      if (FDown) FPaintState = psExclusive;
      repaint();
    }
    if (inside && !FMenuShowing) Click();
  }
  UpdateHotState();
}

void TVxSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  FinishPress(button, shift, x, y);
  if (FAutoRepeatTimer) FAutoRepeatTimer->SetEnabled(false);
}

void TVxSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!FPressing) return;
  TButtonPaintState state = FDown ? psExclusive : psUp;
  if (InsideClient(x, y)) state = FDown ? psExclusive : psDown;
  if (state != FPaintState) {
    FPaintState = state;
    repaint();
  }
}

void TVxSpeedButton::RepeatTimerTick() {
  if (!FAutoRepeatTimer) return;
  FAutoRepeatTimer->SetInterval(FRepeatInterval);
  if (FPaintState != psDown || !MouseCapture()) return;
  try {
    Click();
  } catch (...) {
    FAutoRepeatTimer->SetEnabled(false);
    throw;
  }
}

void TVxSpeedButton::NotifyGroup() {
  if (FGroupIndex == 0 || !parentWidget()) return;
  TMessage message{CM_VXBUTTONPRESSED, static_cast<std::uintptr_t>(FGroupIndex), reinterpret_cast<std::intptr_t>(this),
                   0};
  BroadcastToControls(parentWidget(), message);
}

void TVxSpeedButton::GroupMessage(const TMessage& message) {
  QWidget* parent = parentWidget();
  if (static_cast<int>(message.WParam) != FGroupIndex || !parent || !parent->testAttribute(Qt::WA_WState_Created))
    return;
  // Only a sibling found among the parent's children is trusted as the sender.
  TVxSpeedButton* sender = nullptr;
  for (QObject* child : parent->children())
    if (reinterpret_cast<std::intptr_t>(child) == message.LParam) sender = dynamic_cast<TVxSpeedButton*>(child);
  if (!sender || sender == this) return;
  if (sender->FDown && FDown) {
    FDown = false;
    FPaintState = psUp;
    repaint();
  }
  FAllowAllUp = sender->FAllowAllUp;
}

void TVxSpeedButton::UpdateHotState() {
  const bool hot = isEnabled() && QApplication::widgetAt(QCursor::pos()) == this && IsOwnWindowActive();
  if (hot == FMouseInside) return;
  FMouseInside = hot;
  if (hot) {
    if (FFlat) repaint();
    NotifyMouseEnter();
  } else {
    if (FFlat) update();
    NotifyMouseLeave();
  }
}

void TVxSpeedButton::NotifyMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TVxSpeedButton::NotifyMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TVxSpeedButton::Click() {
  if (TForm* form = GetParentForm(this)) form->ModalResult = FModalResult;
  TGraphicControl::Click();
}

void TVxSpeedButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
  TGraphicControl::ActionChange(sender, checkDefaults);
  const auto* action = dynamic_cast<const TCustomAction*>(sender);
  if (!action) return;
  if (FGroupIndex != 0 && (!checkDefaults || !FDown)) SetDown(action->Checked());
  const TActionList* list = action->ActionList();
  const TImageList* images = list ? list->Images() : nullptr;
  if (Glyph()->Empty() && images && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count())
    CopyActionImage(*images, action->ImageIndex());
}

void TVxSpeedButton::CopyActionImage(const TImageList& images, int index) {
  TBitmap glyph(images.Width(), images.Height());
  glyph.Canvas().Brush.Color = clFuchsia;
  glyph.Canvas().FillRect(Rect(0, 0, images.Width(), images.Height()));
  images.Draw(glyph.Canvas(), 0, 0, index, ILD_NORMAL);
  glyph.SetTransparentColor(clFuchsia);
  SetGlyph(&glyph);
}

void TVxSpeedButton::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<unsigned>(message.WParam), Caption()) && isEnabled()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    case CM_VISIBLECHANGED:
      TGraphicControl::WndProc(message);
      if (message.WParam != 0) UpdateHotState();
      return;
    case CM_ENABLEDCHANGED:
      TGraphicControl::WndProc(message);
      BuildCellAhead();
      UpdateHotState();
      repaint();
      return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      update();
      return;
    case CM_SYSCOLORCHANGE:
      FGlyphPainter->ReleaseCells();
      update();
      return;
    case CM_MOUSEENTER:
      TGraphicControl::WndProc(message);
      if (!FMouseInside && isEnabled() && IsOwnWindowActive()) {
        FMouseInside = true;
        if (FFlat) repaint();
        NotifyMouseEnter();
      }
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::WndProc(message);
      if (FMouseInside && isEnabled() && !FPressing) {
        FMouseInside = false;
        if (FFlat) update();
        NotifyMouseLeave();
      }
      return;
    case WM_LBUTTONDBLCLK:
      if (FMenuShowing) return;
      TGraphicControl::WndProc(message);
      if (FDown) DblClick();
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      TGraphicControl::WndProc(message);
      UpdateHotState();
      return;
    case CM_VXBUTTONPRESSED:
      GroupMessage(message);
      return;
    default:
      break;
  }
  TGraphicControl::WndProc(message);
}
