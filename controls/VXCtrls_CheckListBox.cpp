#include <QImage>
#include <QStringList>

#include "CodePage.h"
#include "MaxMin.h"
#include "Placemnt.h"
#include "VCLUtils.h"
#include "VXCtrls.h"

namespace {

std::unique_ptr<TBitmap> CheckImages;

// Resets the loading mark of a component when a stream read ends.
class LoadingScope final {
 public:
  explicit LoadingScope(unsigned& state) : FState(state), FWas(state & csLoading) { state |= csLoading; }
  ~LoadingScope() {
    if (!FWas) FState &= ~static_cast<unsigned>(csLoading);
  }
  LoadingScope(const LoadingScope&) = delete;
  LoadingScope& operator=(const LoadingScope&) = delete;

 private:
  unsigned& FState;
  unsigned FWas;
};

// Reads the values of a streamed item list in order.
class TokenReader final {
 public:
  explicit TokenReader(const QStringList& tokens) : FTokens(tokens) {}
  [[nodiscard]] bool AtEnd() const { return FPos >= FTokens.size(); }
  AnsiString ReadString() { return QStringToAnsi(Next()).value_or(AnsiString()); }
  std::int64_t ReadInteger() {
    bool ok = false;
    const std::int64_t value = Next().toLongLong(&ok);
    if (!ok) throw EReadError("Invalid property value");
    return value;
  }
  bool ReadBoolean() {
    const QString token = Next();
    if (token.compare(u"True", Qt::CaseInsensitive) == 0) return true;
    if (token.compare(u"False", Qt::CaseInsensitive) == 0) return false;
    throw EReadError("Invalid property value");
  }

 private:
  QString Next() {
    if (AtEnd()) throw EReadError("Stream read error");
    return FTokens[FPos++];
  }
  const QStringList& FTokens;
  qsizetype FPos = 0;
};

}  // namespace

TCheckBoxState CheckBoxStateOf(std::int64_t value) {
  return value == cbChecked ? cbChecked : value == cbGrayed ? cbGrayed : cbUnchecked;
}

TBitmap* GetCheckImages() {
  if (!CheckImages) {
    CheckImages = std::make_unique<TBitmap>();
    QImage picture(QStringLiteral(":/controls/CHECK_IMAGES.bmp"));
    if (picture.isNull()) {  // a picture of the right size, all transparent
      picture = QImage(96, 39, QImage::Format_RGB32);
      picture.fill(QColor(255, 0, 255));
    }
    CheckImages->LoadFromImage(picture.convertToFormat(QImage::Format_RGB32));
  }
  return CheckImages.get();
}

void FreeCheckImages() {
  CheckImages.reset();
}

// ---------------------------------------------------------------------------------------------

void TCheckListBoxStrings::Exchange(int Index1, int Index2) {
  auto* box = static_cast<TVxCheckListBox*>(ListBox);
  const TCheckBoxState state1 = box->GetItemState(Index1);
  const bool enabled1 = box->GetItemEnabled(Index1);
  const TCheckBoxState state2 = box->GetItemState(Index2);
  const bool enabled2 = box->GetItemEnabled(Index2);
  TVxListBoxStrings::Exchange(Index1, Index2);
  box->SetItemState(Index1, state2);
  box->SetItemEnabled(Index1, enabled2);
  box->SetItemState(Index2, state1);
  box->SetItemEnabled(Index2, enabled1);
}

void TCheckListBoxStrings::Move(int CurIndex, int NewIndex) {
  auto* box = static_cast<TVxCheckListBox*>(ListBox);
  const TCheckBoxState state = box->GetItemState(CurIndex);
  const bool enabled = box->GetItemEnabled(CurIndex);
  TVxListBoxStrings::Move(CurIndex, NewIndex);
  box->SetItemState(NewIndex, state);
  box->SetItemEnabled(NewIndex, enabled);
}

// ---------------------------------------------------------------------------------------------

TVxCheckListBox::TVxCheckListBox(QWidget* parent) : TVxCustomListBox(parent) {
  SetItemList(std::make_unique<TCheckListBoxStrings>());
  SetAutoScroll(true);
  FCheckWidth = GetCheckImages()->Width() / 6;
  FCheckHeight = GetCheckImages()->Height() / 3;
  FCellBitmap = std::make_unique<TBitmap>(FCheckWidth, FCheckHeight);
  CreateIniLink();
}

TVxCheckListBox::~TVxCheckListBox() = default;

void TVxCheckListBox::CreateParams(TCreateParams& Params) {
  TVxCustomListBox::CreateParams(Params);
  if ((Params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0) Params.Style |= LBS_OWNERDRAWFIXED;
}

void TVxCheckListBox::CreateWnd() {
  TVxCustomListBox::CreateWnd();
  FSavedStates.reset();
  AdjustItemHeight();
}

void TVxCheckListBox::SaveStates() {
  if (FSavedStates)
    FSavedStates->clear();
  else
    FSavedStates = std::make_unique<std::vector<std::uint32_t>>();
  const int count = Items().Count();
  for (int i = 0; i < count; ++i) {
    const TCheckListBoxItem* item = LookupItemObject(i);
    const std::uint32_t enabled = item ? (item->Enabled ? 1 : 0) : 1;
    const std::uint32_t state = item ? item->State : cbUnchecked;
    FSavedStates->push_back(state << 16 | enabled);
    Window()->SetItemObject(i, nullptr);
  }
}

void TVxCheckListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DESTROY:
      if (HandleAllocated() && Items().Count() > 0) SaveStates();
      TVxCustomListBox::WndProc(Message);
      return;
    case CM_FONTCHANGED:
      TVxCustomListBox::WndProc(Message);
      AdjustItemHeight();
      return;
    default:
      TVxCustomListBox::WndProc(Message);
      return;
  }
}

// ---------------------------------------------------------------------------------------------
// Item objects

TCheckListBoxItem* TVxCheckListBox::LookupItemObject(int Index) {
  if (Index < 0 || Index >= Items().Count()) RaiseListIndexError(Index);
  return dynamic_cast<TCheckListBoxItem*>(Window()->ItemObject(Index));
}

TCheckListBoxItem* TVxCheckListBox::ItemObject(int Index) {
  TCheckListBoxItem* item = LookupItemObject(Index);
  if (item) return item;
  auto created = std::make_unique<TCheckListBoxItem>();
  item = created.get();
  Window()->SetItemObject(Index, std::move(created));
  return item;
}

std::intptr_t TVxCheckListBox::GetItemData(int Index) {
  const TCheckListBoxItem* item = LookupItemObject(Index);
  return item ? item->Data : 0;
}

void TVxCheckListBox::SetItemData(int Index, std::intptr_t Value) {
  TCheckListBoxItem* item = ItemObject(Index);
  item->Data = Value;
  if (FSavedStates && !FSavedStates->empty()) {
    const std::uint32_t saved = FSavedStates->front();
    item->State = CheckBoxStateOf((saved >> 16) & 0xFF);
    item->Enabled = (saved & 0xFFFF) != 0;
    FSavedStates->erase(FSavedStates->begin());
  }
}

void TVxCheckListBox::DeleteString(int Index) {
  if (HasItemObject(Index)) Window()->SetItemObject(Index, nullptr);
  TVxCustomListBox::DeleteString(Index);
}

void TVxCheckListBox::ResetContent() {
  if (HandleAllocated())
    for (int i = Items().Count() - 1; i >= 0; --i) Window()->SetItemObject(i, nullptr);
  TVxCustomListBox::ResetContent();
}

// ---------------------------------------------------------------------------------------------
// States

bool TVxCheckListBox::IsItemChecked(int Index) {
  const TCheckListBoxItem* item = LookupItemObject(Index);
  return item && item->State == cbChecked;
}

TCheckBoxState TVxCheckListBox::GetItemState(int Index) {
  const TCheckListBoxItem* item = LookupItemObject(Index);
  const TCheckBoxState state = item ? item->State : cbUnchecked;
  if (FCheckKind == ckRadioButtons && state != cbChecked) return cbUnchecked;
  return state;
}

bool TVxCheckListBox::GetItemEnabled(int Index) {
  const TCheckListBoxItem* item = LookupItemObject(Index);
  return item ? item->Enabled : true;
}

void TVxCheckListBox::SetItemState(int Index, TCheckBoxState State) {
  State = CheckBoxStateOf(State);
  if (State == GetItemState(Index) && !FForceStates) return;
  if (FCheckKind == ckRadioButtons && State == cbUnchecked && Index == CheckedIndex()) return;
  ItemObject(Index)->State = State;
  if (FCheckKind == ckRadioButtons && State == cbChecked)
    for (int i = Items().Count() - 1; i >= 0; --i)
      if (i != Index && GetItemState(i) == cbChecked) {
        ItemObject(i)->State = cbUnchecked;
        RepaintCheckArea(i);
      }
  RepaintCheckArea(Index);
  if (!(ComponentState & csLoading)) StateChange(Index);
}

void TVxCheckListBox::SetItemEnabled(int Index, bool Enabled) {
  if (Enabled == GetItemEnabled(Index)) return;
  ItemObject(Index)->Enabled = Enabled;
  RepaintItem(Index);
}

void TVxCheckListBox::SetItemChecked(int Index, bool Checked) {
  SetItemState(Index, Checked ? cbChecked : cbUnchecked);
}

void TVxCheckListBox::SetAllStates(TCheckBoxState State, bool OnlyEnabled) {
  if (FCheckKind == ckRadioButtons) return;
  for (int i = 0; i < Items().Count(); ++i)
    if (!OnlyEnabled || GetItemEnabled(i)) SetItemState(i, State);
}

int TVxCheckListBox::CheckedIndex() {
  if (FCheckKind != ckRadioButtons) return -1;
  for (int i = 0; i < Items().Count(); ++i)
    if (GetItemState(i) == cbChecked) return i;
  return -1;
}

void TVxCheckListBox::SetCheckedIndex(int Value) {
  if (FCheckKind == ckRadioButtons && Items().Count() > 0) SetItemState(MaxMin::Max(Value, 0), cbChecked);
}

void TVxCheckListBox::SetCheckKind(TCheckKind Value) {
  if (Value == FCheckKind) return;
  FCheckKind = Value;
  EnsureRadioCheck();
  update();
  if (HandleAllocated()) Window()->viewport()->update();
}

void TVxCheckListBox::EnsureRadioCheck() {
  if (FCheckKind != ckRadioButtons || Items().Count() == 0) return;
  FForceStates = true;
  try {
    SetItemState(MaxMin::Max(CheckedIndex(), 0), cbChecked);
  } catch (...) {
    FForceStates = false;
    throw;
  }
  FForceStates = false;
}

void TVxCheckListBox::ToggleItem(int Index) {
  if (Index < 0 || Index >= Items().Count() || !GetItemEnabled(Index)) return;
  TCheckBoxState next = cbChecked;
  switch (GetItemState(Index)) {
    case cbUnchecked:
      next = AllowGrayed() ? cbGrayed : cbChecked;
      break;
    case cbChecked:
      next = cbUnchecked;
      break;
    case cbGrayed:
      next = cbChecked;
      break;
  }
  SetItemState(Index, next);
  ClickCheck();
}

void TVxCheckListBox::ClickCheck() {
  if (OnClickCheck) OnClickCheck(this);
}

void TVxCheckListBox::StateChange(int Index) {
  if (OnStateChange) OnStateChange(this, Index);
}

// ---------------------------------------------------------------------------------------------
// Keys and mouse

void TVxCheckListBox::KeyPress(char& Key) {
  TVxCustomListBox::KeyPress(Key);
  switch (Key) {
    case ' ':
      ToggleItem(ItemIndex());
      Key = 0;
      break;
    case '+':
      SetAllStates(cbChecked, true);
      ClickCheck();
      break;
    case '-':
      SetAllStates(cbUnchecked, true);
      ClickCheck();
      break;
    default:
      break;
  }
}

void TVxCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TVxCustomListBox::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const int index = ItemAtPoint({X, Y}, true);
  if (index == -1) return;
  const TRect r = GetItemRect(index);
  if (!UseRightToLeftAlignment()) {
    if (X - r.Left < CheckAreaWidth()) ToggleItem(index);
  } else {
    const int d = X - (r.Right - CheckAreaWidth());
    if (d > 0 && d < CheckAreaWidth()) ToggleItem(index);
  }
}

// ---------------------------------------------------------------------------------------------
// Geometry and painting

int TVxCheckListBox::GetItemWidth(int Index) {
  return TVxCustomListBox::GetItemWidth(Index) + CheckAreaWidth();
}

void TVxCheckListBox::RepaintCheckArea(int Index) {
  if (!HandleAllocated()) return;
  TRect r = GetItemRect(Index);
  if (!UseRightToLeftAlignment())
    r.Right = r.Left + CheckAreaWidth();
  else
    r.Left = r.Right - CheckAreaWidth();
  Window()->viewport()->repaint(r.ToQRect());
}

void TVxCheckListBox::RepaintItem(int Index) {
  if (!HandleAllocated()) return;
  Window()->viewport()->repaint(GetItemRect(Index).ToQRect());
}

void TVxCheckListBox::CNDrawItem(TDrawItemStruct& DrawItem) {
  if (!UseRightToLeftAlignment())
    DrawItem.rcItem.Left += CheckAreaWidth();
  else
    DrawItem.rcItem.Right -= CheckAreaWidth();
  TVxCustomListBox::CNDrawItem(DrawItem);
}

void TVxCheckListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (Index < Items().Count()) {
    TRect check = Rect;
    if (!UseRightToLeftAlignment()) {
      check.Right = Rect.Left;
      check.Left = Rect.Left - CheckAreaWidth();
    } else {
      check.Left = Rect.Right;
      check.Right = Rect.Right + CheckAreaWidth();
    }
    const bool enabled = GetItemEnabled(Index);
    PaintCheckImage(check, GetItemState(Index), enabled);
    if (!enabled) Canvas().Font.Color = (State & odSelected) ? clInactiveCaptionText : clGrayText;
  }
  if (Style() == lbStandard && OnDrawItem()) {
    TDrawItemEvent handler = OnDrawItem();
    SetOnDrawItem(nullptr);
    try {
      TVxCustomListBox::DrawItem(Index, Rect, State);
    } catch (...) {
      SetOnDrawItem(handler);
      throw;
    }
    SetOnDrawItem(handler);
    return;
  }
  TVxCustomListBox::DrawItem(Index, Rect, State);
}

void TVxCheckListBox::PaintCheckImage(const TRect& R, TCheckBoxState S, bool E) {
  const int x = R.Left + (R.Width() - FCheckWidth) / 2;
  const int y = R.Top + (R.Height() - FCheckHeight) / 2;
  const int cell = FCheckKind * 6 + S + (E ? 0 : 3);
  CopyGlyphCell(GetCheckImages(), FCellBitmap.get(), 6, 3, cell);
  TCanvas& canvas = Canvas();
  const TColor brush = canvas.Brush.Color;
  canvas.Brush.Color = Color();
  const QRgb transparent = ColorToQRgb(GetCheckImages()->TransparentColor() & ~0x02000000);
  const QRgb back = ColorToQRgb(Color());
  QImage* target = canvas.Image();
  const QImage& source = FCellBitmap->Image();
  for (int row = 0; row < FCheckHeight && row < source.height(); ++row)
    for (int col = 0; col < FCheckWidth && col < source.width(); ++col) {
      const int tx = x + col;
      const int ty = y + row;
      if (!target || tx < 0 || ty < 0 || tx >= target->width() || ty >= target->height()) continue;
      const QRgb pixel = source.pixel(col, row) | 0xFF000000u;
      target->setPixel(tx, ty, (pixel & 0x00FFFFFFu) == (transparent & 0x00FFFFFFu) ? back : pixel);
    }
  canvas.Brush.Color = brush;
}

void TVxCheckListBox::AdjustItemHeight() {
  if (!(Style() == lbStandard || (Style() == lbOwnerDrawFixed && !OnDrawItem())) || !HandleAllocated()) return;
  Canvas().Font = Font();
  int h = MaxMin::Max(Canvas().TextHeight("Wg"), FCheckHeight);
  if (Style() == lbOwnerDrawFixed) h = MaxMin::Max(h, ItemHeightField());
  Perform(LB_SETITEMHEIGHT, 0, h);
  if (Items().Count() * h <= Window()->viewport()->height()) Window()->SetScrollRange(SB_VERT, 0, 0);
}

int TVxCheckListBox::ActualItemHeight() const {
  if (HandleAllocated() && (Style() == lbStandard || (Style() == lbOwnerDrawFixed && !OnDrawItem()))) {
    TRect r;
    const_cast<TVxCheckListBox*>(this)->Perform(LB_GETITEMRECT, 0, reinterpret_cast<std::intptr_t>(&r));
    return r.Bottom - r.Top;
  }
  return ItemHeightField();
}

void TVxCheckListBox::SetItems(const TStrings& Value) {
  Items().BeginUpdate();
  try {
    TVxCustomListBox::SetItems(Value);
    const auto* strings = dynamic_cast<const TVxListBoxStrings*>(&Value);
    auto* source = strings ? dynamic_cast<TVxCheckListBox*>(strings->ListBox) : nullptr;
    if (source)
      for (int i = 0; i < Items().Count() && i < Value.Count(); ++i) {
        SetItemState(i, source->GetItemState(i));
        SetItemEnabled(i, source->GetItemEnabled(i));
      }
  } catch (...) {
    Items().EndUpdate();
    throw;
  }
  Items().EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Streaming

QStringList TVxCheckListBox::WriteStringsData() {
  QStringList data;
  for (int i = 0; i < Items().Count(); ++i) {
    data << AnsiToQString(Items().Get(i)) << QString::number(GetItemState(i))
         << (GetItemEnabled(i) ? QStringLiteral("True") : QStringLiteral("False"));
  }
  return data;
}

void TVxCheckListBox::ReadStringsData(const QStringList& Data) {
  const LoadingScope loading(ComponentState);
  Items().BeginUpdate();
  try {
    TokenReader reader(Data);
    Items().Clear();
    while (!reader.AtEnd()) {
      const int i = Items().Add(reader.ReadString());
      if (FStreamVersion >= 202) {
        SetItemState(i, CheckBoxStateOf(reader.ReadInteger()));
        SetItemEnabled(i, reader.ReadBoolean());
      } else {
        SetItemChecked(i, reader.ReadBoolean());
        SetItemEnabled(i, reader.ReadBoolean());
        if (FStreamVersion > 0) SetItemState(i, CheckBoxStateOf(reader.ReadInteger()));
      }
    }
    EnsureRadioCheck();
  } catch (...) {
    Items().EndUpdate();
    throw;
  }
  Items().EndUpdate();
}

bool TVxCheckListBox::StringsDiffer(TVxCheckListBox* Ancestor) {
  const int count = Items().Count();
  if (Ancestor && Ancestor->Items().Count() == count && count > 0) {
    for (int i = 0; i < count; ++i)
      if (UpperCase(Items().Get(i)) != UpperCase(Ancestor->Items().Get(i)) ||
          GetItemState(i) != Ancestor->GetItemState(i) || GetItemEnabled(i) != Ancestor->GetItemEnabled(i))
        return true;
    return false;
  }
  return count > 0;
}

void TVxCheckListBox::Loaded() {
  TVxCustomListBox::Loaded();
  EnsureRadioCheck();
}
