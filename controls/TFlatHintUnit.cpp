#include "TFlatHintUnit.h"

#include <QGuiApplication>
#include <QScreen>

#include "Application.h"

namespace {

TFont DefaultHintFont() {
  TFont font;
  font.Handle = QFont(QStringLiteral("MS Sans Serif"));
  font.Handle.setPixelSize(11);
  font.Color = clWindowText;
  return font;
}

void FrameRect(TCanvas& canvas, const TRect& rect, TColor color) {
  canvas.Brush.Color = color;
  canvas.Brush.Style = TBrushStyle::bsSolid;
  canvas.FillRect({rect.Left, rect.Top, rect.Right, rect.Top + 1});
  canvas.FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
  canvas.FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom});
  canvas.FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
}

// Strip and margins beside the text.
constexpr int kStripAndMargins = 22;
constexpr int kStripWidth = 14;

// The application's show-hint handler a flat hint installs: it knows its component.
struct TFlatHintHandler {
  TFlatHint* Hint;
  void operator()(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo) const {
    Hint->HintShowHandler(HintStr, CanShow, HintInfo);
  }
};

}  // namespace

// ---- TFlatHint ----

TFlatHint::TFlatHint(TComponent* AOwner) : TComponent(AOwner), FFont(DefaultHintFont()) {
  if (HasState(csDesigning)) return;
  TApplicationHints& hints = TApplicationHints::Instance();
  hints.SetHintWindowClass([] { return new TFlatHintWindow(); });
  // Switching hints off and on again replaces the hint window by one of the new class.
  hints.SetShowHint(!hints.ShowHint());
  hints.SetShowHint(!hints.ShowHint());
  hints.OnShowHint = TFlatHintHandler{this};
  hints.HintShortPause = 25;
  hints.HintPause = 500;
  hints.HintHidePause = 5000;
  FInstalled = true;
}

TFlatHint::~TFlatHint() {
  // The application's handler, while it is still this component's, goes with it. The hint window
  // finds no settings then and uses the defaults.
  auto& handler = TApplicationHints::Instance().OnShowHint;
  if (const auto* ours = handler.target<TFlatHintHandler>(); FInstalled && ours && ours->Hint == this)
    handler = nullptr;
}

void TFlatHint::SetColor(int index, TColor value) {
  FColors.at(static_cast<std::size_t>(index)) = value;
}

void TFlatHint::HintShowHandler(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo) {
  if (OnShowHint) OnShowHint(HintStr, CanShow, HintInfo);
}

// ---- placement and arrow ----

int FlatHintCorner(TPoint cursor, const TRect& screen) {
  const int halfWidth = screen.Left + screen.Width() / 2;
  const int halfHeight = screen.Top + screen.Height() / 2;
  const bool left = cursor.X >= screen.Left && cursor.X < halfWidth;
  const bool right = cursor.X >= halfWidth && cursor.X < screen.Right;
  const bool top = cursor.Y >= screen.Top && cursor.Y < halfHeight;
  const bool bottom = cursor.Y >= halfHeight && cursor.Y < screen.Bottom;
  if (left && top) return 1;
  if (right && top) return 0;
  if (left && bottom) return 3;
  return 2;
}

int FlatHintGap(int corner) {
  return corner == 1 ? 12 : 5;
}

TRect FlatHintBounds(int corner, TPoint cursor, int width, int height) {
  const int g = FlatHintGap(corner);
  const int cx = cursor.X;
  const int cy = cursor.Y;
  switch (corner) {
    case 1:
      return {cx + g, cy + g, cx + width + g, cy + height + g};
    case 0:
      return {cx - width - g, cy + g, cx - g, cy + height + g};
    case 3:
      return {cx + g, cy - height - g, cx + width + g, cy - g};
    default:
      return {cx - width - g, cy - height - g, cx - g, cy - g};
  }
}

std::array<TPoint, 18> FlatHintArrow(int corner) {
  // Pointing to the upper left; the other corners mirror it.
  std::array<TPoint, 18> points{{{0, 0},
                                 {0, 6},
                                 {1, 6},
                                 {1, 0},
                                 {6, 0},
                                 {6, 1},
                                 {2, 1},
                                 {2, 4},
                                 {5, 7},
                                 {6, 7},
                                 {3, 4},
                                 {3, 3},
                                 {6, 6},
                                 {7, 6},
                                 {3, 2},
                                 {4, 2},
                                 {7, 5},
                                 {7, 6}}};
  const bool mirrorX = corner == 0 || corner == 2;
  const bool mirrorY = corner == 3 || corner == 2;
  for (TPoint& p : points) {
    if (mirrorX) p.X = -p.X;
    if (mirrorY) p.Y = -p.Y;
  }
  return points;
}

// ---- TFlatHintWindow ----

TFlatHintWindow::~TFlatHintWindow() = default;

TFlatHint* TFlatHintWindow::FindFlatHint() {
  QWidget* mainForm = ApplicationMainForm();
  if (!mainForm) return nullptr;
  // Components in the order they were made.
  for (QObject* child : mainForm->findChildren<QObject*>())
    if (auto* hint = dynamic_cast<TFlatHint*>(child)) return hint;
  return nullptr;
}

void TFlatHintWindow::CreateParams(TCreateParams& params) {
  THintWindow::CreateParams(params);
  params.Style &= ~WS_BORDER;
}

void TFlatHintWindow::ActivateHint(TRect rect, const AnsiString& hint) {
  SetCaption(hint);
  FFlatHint = FindFlatHint();
  Canvas().Font = FFlatHint ? FFlatHint->Font() : DefaultHintFont();
  const int maxWidth = FFlatHint ? FFlatHint->MaxHintWidth : TFlatHint::kDefaultMaxHintWidth;
  rect.Right = rect.Left + maxWidth - kStripAndMargins;
  DrawText(Canvas(), hint, rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  DrawText(Canvas(), hint, rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  rect.Right += kStripAndMargins;
  rect.Bottom += 6;
  const TPoint cursor = GetCursorPos();
  TRect screen{0, 0, 640, 480};
  if (const QScreen* s = QGuiApplication::screenAt(QPoint(cursor.X, cursor.Y))) {
    const QRect g = s->geometry();
    screen = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  }
  FCorner = static_cast<std::uint8_t>(FlatHintCorner(cursor, screen));
  SetBounds(FlatHintBounds(FCorner, cursor, rect.Width(), rect.Height()));
  ShowOnTop();
}

void TFlatHintWindow::Paint() {
  const TRect client = ClientRect();
  const TFlatHint* settings = FFlatHint;
  const std::array<TColor, 4> colors = [&] {
    std::array<TColor, 4> c = TFlatHint::kDefaultColors;
    if (settings)
      for (int i = 0; i < 4; ++i) c[static_cast<std::size_t>(i)] = settings->Color(i);
    return c;
  }();
  const bool stripLeft = FCorner == 1 || FCorner == 3;
  TRect strip;
  TRect text;
  if (stripLeft) {
    strip = {client.Left + 1, client.Top + 1, client.Left + 1 + kStripWidth, client.Bottom - 1};
    text = {client.Left + 1 + kStripWidth, client.Top + 1, client.Right - 1, client.Bottom - 1};
  } else {
    strip = {client.Right - 1 - kStripWidth, client.Top + 1, client.Right - 1, client.Bottom - 1};
    text = {client.Left + 1, client.Top + 1, client.Right - 1 - kStripWidth, client.Bottom - 1};
  }
  TCanvas& canvas = Canvas();
  canvas.Brush.Style = TBrushStyle::bsSolid;
  canvas.Brush.Color = colors[2];
  canvas.FillRect(strip);
  canvas.Brush.Color = colors[0];
  canvas.FillRect(text);
  FrameRect(canvas, client, colors[1]);

  switch (FCorner) {
    case 1:
      FArrowAnchor = {strip.Left + 2, strip.Top + 2};
      break;
    case 0:
      FArrowAnchor = {strip.Right - 3, strip.Top + 2};
      break;
    case 3:
      FArrowAnchor = {strip.Left + 2, strip.Bottom - 3};
      break;
    default:
      FArrowAnchor = {strip.Right - 3, strip.Bottom - 3};
      break;
  }
  canvas.Pen.Color = colors[3];
  const std::array<TPoint, 18> arrow = FlatHintArrow(FCorner);
  canvas.MoveTo(FArrowAnchor.X + arrow[0].X, FArrowAnchor.Y + arrow[0].Y);
  for (std::size_t i = 1; i < arrow.size(); ++i)
    canvas.LineTo(FArrowAnchor.X + arrow[i].X, FArrowAnchor.Y + arrow[i].Y);

  canvas.Brush.Style = TBrushStyle::bsClear;
  text.Left += 3;
  text.Right -= 3;
  text.Top += 1;
  text.Bottom -= 1;
  DrawText(canvas, Caption(), text, DT_WORDBREAK | DT_NOPREFIX);
}
