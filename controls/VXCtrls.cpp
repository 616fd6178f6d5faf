#include "VXCtrls.h"

#include <algorithm>

#include "MaxMin.h"
#include "VCLUtils.h"

TGlyphCache* SharedGlyphCache = nullptr;

namespace {

constexpr std::size_t kMaxCaption = 255;

// Splits at CR, LF or CR LF; a final line break gives no empty line after it.
std::vector<AnsiString> SplitLines(std::string_view text) {
  std::vector<AnsiString> lines;
  std::size_t p = 0;
  while (p < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", p);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(p));
      break;
    }
    lines.emplace_back(text.substr(p, end - p));
    p = end + 1;
    if (text[end] == '\r' && p < text.size() && text[p] == '\n') ++p;
  }
  return lines;
}

AnsiString TrimRight(AnsiString s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
  return s;
}

void DrawMarkRows(TCanvas& canvas, int x, int y, TColor color) {
  canvas.Pen.Color = color;
  for (int row = 0; row < 4; ++row) {
    canvas.MoveTo(x + row, y - 1 + row);
    canvas.LineTo(x + 7 - row, y - 1 + row);
  }
}

bool SideLayout(TButtonLayout layout) {
  return layout == blGlyphLeft || layout == blGlyphRight;
}

}  // namespace

int TGlyphList::AllocateSlot() {
  const auto free = std::find(UsedSlots.begin(), UsedSlots.end(), false);
  const auto index = static_cast<int>(free - UsedSlots.begin());
  if (free == UsedSlots.end()) {
    const TBitmap empty(Width(), Height());
    TImageList::AddMasked(empty, clWhite);
    UsedSlots.resize(static_cast<std::size_t>(index) + 1);
  }
  UsedSlots[static_cast<std::size_t>(index)] = true;
  return index;
}

int TGlyphList::AddCell(const TBitmap& image, const TBitmap& mask) {
  const int slot = AllocateSlot();
  Replace(slot, image, &mask);
  ++FUsedCount;
  return slot;
}

int TGlyphList::AddMaskedCell(const TBitmap& image, TColor maskColor) {
  const int slot = AllocateSlot();
  ReplaceMasked(slot, image, maskColor);
  ++FUsedCount;
  return slot;
}

void TGlyphList::FreeSlot(int index) {
  if (index < 0 || index >= static_cast<int>(UsedSlots.size())) return;
  if (!UsedSlots[static_cast<std::size_t>(index)]) return;
  --FUsedCount;
  UsedSlots[static_cast<std::size_t>(index)] = false;
}

TGlyphList* TGlyphCache::FindOrCreateList(int width, int height) {
  for (auto it = Lists.rbegin(); it != Lists.rend(); ++it)
    if ((*it)->Width() == width && (*it)->Height() == height) return *it;
  Lists.push_back(new TGlyphList(width, height));
  return Lists.back();
}

void TGlyphCache::ReleaseList(TGlyphList* list) {
  if (!list || list->UsedCount() != 0) return;
  std::erase(Lists, list);
  delete list;
}

TVxButtonGlyph::TVxButtonGlyph() : FPicture(std::make_unique<TBitmap>()) {
  FPicture->OnChange = [this](QObject*) { PictureChanged(); };
  if (!SharedGlyphCache) SharedGlyphCache = new TGlyphCache;
}

TVxButtonGlyph::~TVxButtonGlyph() {
  FPicture.reset();
  ReleaseCells();
  if (SharedGlyphCache && SharedGlyphCache->IsEmpty()) {
    delete SharedGlyphCache;
    SharedGlyphCache = nullptr;
  }
}

void TVxButtonGlyph::SetPicture(const TBitmap* bitmap) {
  ReleaseCells();
  FPicture->Assign(bitmap);
}

void TVxButtonGlyph::SetCellCount(int n) {
  if (n == FNumGlyphs || n <= 0) return;
  ReleaseCells();
  FNumGlyphs = n;
}

void TVxButtonGlyph::ReleaseCells() {
  for (int& index : FCellIndex) {
    if (index != -1 && FCellList) FCellList->FreeSlot(index);
    index = -1;
  }
  if (SharedGlyphCache) SharedGlyphCache->ReleaseList(FCellList);
  FCellList = nullptr;
}

void TVxButtonGlyph::PictureChanged() {
  ReleaseCells();
  if (FPicture->Height() > 0) {
    TransparentColor = FPicture->TransparentColor() & ~0x02000000;
    if (FPicture->Width() % FPicture->Height() == 0) {
      int n = FPicture->Width() / FPicture->Height();
      if (n > 5) n = 1;
      SetCellCount(n);
    }
  }
  if (OnChange) OnChange(nullptr);
}

TColor TVxButtonGlyph::GreyColor(TColor color) const {
  if (color == TransparentColor || ColorToRGB(color) == ColorToRGB(clBtnFace)) return color;
  const TColor rgb = ColorToRGB(color);
  const int g = (GetRValue(rgb) * 77 + GetGValue(rgb) * 150 + GetBValue(rgb) * 29) >> 8;
  return RGB(g, g, g);
}

TGlyphList* TVxButtonGlyph::EnsureCellList(int width, int height) {
  if (!FCellList) {
    if (!SharedGlyphCache) SharedGlyphCache = new TGlyphCache;
    FCellList = SharedGlyphCache->FindOrCreateList(width, height);
  }
  return FCellList;
}

int TVxButtonGlyph::BuildCell(TButtonPaintState state) {
  if (state == psDown && FNumGlyphs < 3) state = psUp;
  if (FCellIndex[state] != -1) return FCellIndex[state];
  if (FPicture->Empty()) return -1;
  const int w = FPicture->Width() / FNumGlyphs;
  const int h = FPicture->Height();
  TGlyphList* list = EnsureCellList(w, h);
  TBitmap cell(w, h);
  cell.Canvas().Brush.Color = clBtnFace;
  const int k = state < FNumGlyphs ? state : 0;
  const TRect source = Rect(k * w, 0, (k + 1) * w, h);
  const auto copySource = [&] { cell.Canvas().CopyRect(Rect(0, 0, w, h), FPicture->Canvas(), source); };
  switch (state) {
    case psDisabled:
      if (FNumGlyphs > 1) {
        copySource();
        FCellIndex[state] = list->AddMaskedCell(cell, TransparentColor);
      } else {
        const std::unique_ptr<TBitmap> embossed = BuildDefaultDisabledBitmap(*FPicture, clBlack);
        FCellIndex[state] = list->AddMaskedCell(*embossed, ColorToRGB(clBtnFace));
      }
      break;
    case psInactive:
      if (FNumGlyphs == 5) {
        copySource();
      } else {
        for (int x = 0; x < w; ++x)
          for (int y = 0; y < h; ++y) cell.Canvas().SetPixel(x, y, GreyColor(FPicture->Canvas().Pixel(x, y)));
      }
      FCellIndex[state] = list->AddMaskedCell(cell, TransparentColor);
      break;
    default:
      copySource();
      FCellIndex[state] = list->AddMaskedCell(cell, TransparentColor);
      break;
  }
  return FCellIndex[state];
}

int TVxButtonGlyph::BuildImageListCell(TButtonPaintState state, const TImageList& images, int index) {
  if (state == psDown) state = psUp;
  if (FCellIndex[state] != -1) return FCellIndex[state];
  if (images.Width() == 0 || images.Height() == 0 || images.Count() == 0) return -1;
  const int w = images.Width();
  const int h = images.Height();
  TGlyphList* list = EnsureCellList(w, h);
  TBitmap cell(w, h);
  const TRect all = Rect(0, 0, w, h);
  switch (state) {
    case psDisabled:
      cell.Canvas().Brush.Color = clBtnFace;
      cell.Canvas().FillRect(all);
      DrawDisabledImage(images, cell.Canvas(), 0, 0, index, clBtnHighlight, clBtnShadow, true);
      FCellIndex[state] = list->AddMaskedCell(cell, ColorToRGB(clBtnFace));
      break;
    case psInactive:
      cell.Canvas().Brush.Color = clBtnFace;
      cell.Canvas().FillRect(all);
      images.Draw(cell.Canvas(), 0, 0, index, ILD_NORMAL);
      for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) cell.Canvas().SetPixel(x, y, GreyColor(cell.Canvas().Pixel(x, y)));
      FCellIndex[state] = list->AddMaskedCell(cell, ColorToRGB(clBtnFace));
      break;
    default: {
      cell.Canvas().FillRect(all);
      images.Draw(cell.Canvas(), 0, 0, index, ILD_NORMAL);
      TBitmap mask(w, h);
      mask.SetMonochrome(true);
      mask.Canvas().FillRect(all);
      images.Draw(mask.Canvas(), 0, 0, index, ILD_MASK);
      FCellIndex[state] = list->AddCell(cell, mask);
      break;
    }
  }
  return FCellIndex[state];
}

TSize TVxButtonGlyph::DrawPictureGlyph(TCanvas& canvas, int x, int y, TButtonPaintState state) {
  if (!FPicture || FPicture->Empty()) return {};
  const int slot = BuildCell(state);
  if (slot < 0 || !FCellList) return {};
  FCellList->Draw(canvas, x, y, slot, ILD_NORMAL);
  return {FCellList->Width(), FCellList->Height()};
}

bool TVxButtonGlyph::ImagesUsable(const TImageList* images, int index) const {
  return images && images->Width() > 0 && index >= 0 && index < images->Count();
}

TSize TVxButtonGlyph::DrawImageListGlyph(TCanvas& canvas, int x, int y, TButtonPaintState state,
                                         const TImageList* images, int index) {
  if (!images || index < 0 || index >= images->Count()) return {};
  if (state == psDisabled) {
    DrawDisabledImage(*images, canvas, x, y, index, clBtnHighlight, clBtnShadow, true);
  } else if (state == psInactive) {
    const int slot = BuildImageListCell(state, *images, index);
    if (slot >= 0) FCellList->Draw(canvas, x, y, slot, ILD_NORMAL);
  } else {
    images->Draw(canvas, x, y, index, ILD_NORMAL);
  }
  return {images->Width(), images->Height()};
}

void TVxButtonGlyph::DrawDropMark(TCanvas& canvas, int x, int y, TButtonPaintState state) {
  const TColor saved = canvas.Pen.Color;
  if (state == psDisabled) {
    DrawMarkRows(canvas, x + 1, y + 1, clBtnHighlight);
    DrawMarkRows(canvas, x, y, clBtnShadow);
  } else {
    DrawMarkRows(canvas, x, y, clBtnText);
  }
  canvas.Pen.Color = saved;
}

AnsiString TVxButtonGlyph::FitCaption(const TCanvas& canvas, const AnsiString& caption, int width) const {
  AnsiString result = caption.substr(0, kMaxCaption);
  if (WordWrap) return result;
  AnsiString joined;
  for (const AnsiString& line : SplitLines(result)) joined += ShortenText(line, canvas, width) + "\r\n";
  return TrimRight(std::move(joined)).substr(0, kMaxCaption);
}

void TVxButtonGlyph::DrawCaption(TCanvas& canvas, const AnsiString& caption, TRect rect, TButtonPaintState state,
                                 unsigned flags) const {
  canvas.Brush.Style = TBrushStyle::bsClear;
  const AnsiString text = caption.substr(0, kMaxCaption);
  const unsigned format = flags | DT_VCENTER | (WordWrap ? DT_WORDBREAK : 0u);
  if (state == psDisabled) {
    const TColor saved = canvas.Font.Color;
    OffsetRect(rect, 1, 1);
    canvas.Font.Color = clBtnHighlight;
    DrawText(canvas, text, rect, format);
    OffsetRect(rect, -1, -1);
    canvas.Font.Color = clBtnShadow;
    DrawText(canvas, text, rect, format);
    canvas.Font.Color = saved;
  } else {
    DrawText(canvas, text, rect, format);
  }
}

TGlyphLayout TVxButtonGlyph::ComputeLayout(TCanvas& canvas, const TRect& client, const AnsiString& caption,
                                           TButtonLayout layout, int margin, int spacing, bool mark, unsigned flags,
                                           const TImageList* images, int imageIndex) const {
  const int cw = RectWidth(client);
  const int ch = RectHeight(client);
  int gw = 0;
  int gh = 0;
  if (ImagesUsable(images, imageIndex)) {
    gw = images->Width();
    gh = images->Height();
  } else if (FPicture) {
    gw = FPicture->Width() / FNumGlyphs;
    gh = FPicture->Height();
  }
  const bool side = SideLayout(layout);
  int mw = cw;
  int mh = ch;
  if (side) {
    mw = cw - gw - (margin != -1 ? margin : 0) - (spacing != -1 ? spacing : 0) - (mark ? 9 : 0);
  } else {
    mh = ch - gh - (margin != -1 ? margin : 0) - (spacing != -1 ? spacing : 0);
  }
  mw = MaxMin::Max(mw, 0);
  mh = MaxMin::Max(mh, 0);

  TGlyphLayout result;
  result.Caption = FitCaption(canvas, caption, mw);
  TRect t{};
  if (!result.Caption.empty()) {
    t = Rect(0, 0, mw, 0);
    DrawText(canvas, result.Caption, t, DT_CALCRECT | DT_CENTER | DT_VCENTER | (WordWrap ? DT_WORDBREAK : 0u) | flags);
  }
  t.Bottom = MaxMin::Max(t.Top, t.Top + MaxMin::Min(mh, RectHeight(t)));
  t.Right = MaxMin::Max(t.Left, t.Left + MaxMin::Min(mw, RectWidth(t)));
  int tw = RectWidth(t);
  const int th = RectHeight(t);

  if (mark) {
    if (gw == 0 || gh == 0 || layout == blGlyphLeft)
      tw += 9;
    else if (gw > 0)
      gw += 6;
  }
  TPoint glyph;
  TPoint text;
  if (side) {
    glyph.Y = ch / 2 - gh / 2;
    text.Y = ch / 2 - th / 2;
  } else {
    glyph.X = cw / 2 - gw / 2;
    text.X = cw / 2 - tw / 2;
  }
  if (tw == 0 || gw == 0) spacing = 0;
  const int a = side ? cw : ch;
  const int g = side ? gw : gh;
  const int x = side ? tw : th;
  if (margin == -1 && spacing == -1) {
    margin = (a - (g + x)) / 3;
    spacing = margin;
  } else if (margin == -1) {
    margin = a / 2 - (g + spacing + x) / 2;
  } else if (spacing == -1) {
    spacing = (a - (margin + g)) / 2 - x / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyph.X = margin;
      text.X = glyph.X + gw + spacing;
      break;
    case blGlyphRight:
      glyph.X = cw - margin - gw;
      text.X = glyph.X - spacing - tw;
      break;
    case blGlyphTop:
      glyph.Y = margin;
      text.Y = glyph.Y + gh + spacing;
      break;
    case blGlyphBottom:
      glyph.Y = ch - margin - gh;
      text.Y = glyph.Y - spacing - th;
      break;
  }
  result.GlyphPos = {glyph.X + client.Left, glyph.Y + client.Top};
  OffsetRect(t, text.X + client.Left, text.Y + client.Top);
  result.TextBounds = t;
  return result;
}

TRect TVxButtonGlyph::Render(TCanvas& canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout,
                             int margin, int spacing, bool mark, TButtonPaintState state, unsigned flags) {
  return RenderWithImages(canvas, client, caption, layout, margin, spacing, mark, state, flags, nullptr, -1);
}

TRect TVxButtonGlyph::RenderWithImages(TCanvas& canvas, const TRect& client, const AnsiString& caption,
                                       TButtonLayout layout, int margin, int spacing, bool mark,
                                       TButtonPaintState state, unsigned flags, const TImageList* images,
                                       int imageIndex) {
  const TGlyphLayout placed =
      ComputeLayout(canvas, client, caption, layout, margin, spacing, mark, flags, images, imageIndex);
  const bool useImages = ImagesUsable(images, imageIndex);
  const TSize size = useImages
                         ? DrawImageListGlyph(canvas, placed.GlyphPos.X, placed.GlyphPos.Y, state, images, imageIndex)
                         : DrawPictureGlyph(canvas, placed.GlyphPos.X, placed.GlyphPos.Y, state);
  DrawCaption(canvas, placed.Caption, placed.TextBounds, state, flags);
  if (mark) {
    const TRect& t = placed.TextBounds;
    if (layout != blGlyphLeft && ((FPicture && FPicture->Width() > 0) || useImages)) {
      DrawDropMark(canvas, placed.GlyphPos.X + size.cx + 1, placed.GlyphPos.Y + size.cy / 2, state);
    } else {
      const int x = placed.Caption.empty() ? (client.Left + client.Right - 7) / 2 : t.Right + 3;
      DrawDropMark(canvas, x, t.Top + RectHeight(t) / 2, state);
    }
  }
  return placed.TextBounds;
}

TRect PaintButtonFrame(TCanvas& canvas, const TRect& rect, bool down, bool flat, TButtonStyle style) {
  const bool newLook = style == bsNew || (style == bsAutoDetect && NewStyleControls);
  TRect r = rect;
  if (down) {
    if (newLook || flat) {
      Frame3D(canvas, r, clWindowFrame, clBtnHighlight, 1);
      if (newLook && !flat) Frame3D(canvas, r, clBtnShadow, clBtnFace, 1);
    } else {
      Frame3D(canvas, r, clWindowFrame, clWindowFrame, 1);
      canvas.Pen.Color = clBtnShadow;
      canvas.MoveTo(r.Left, r.Bottom - 1);
      canvas.LineTo(r.Left, r.Top);
      canvas.LineTo(r.Right, r.Top);
    }
  } else if (newLook) {
    if (flat) {
      Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
    } else {
      Frame3D(canvas, r, clBtnHighlight, clWindowFrame, 1);
      Frame3D(canvas, r, clBtnFace, clBtnShadow, 1);
    }
  } else if (flat) {
    Frame3D(canvas, r, clBtnHighlight, clWindowFrame, 1);
  } else {
    Frame3D(canvas, r, clWindowFrame, clWindowFrame, 1);
    Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
  }
  InflateRect(r, -1, -1);
  return r;
}
