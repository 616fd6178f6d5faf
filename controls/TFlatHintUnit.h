#pragma once
// The flat hint window: a borderless hint with a coloured strip on one side, a small arrow in it
// pointing back at the pointer, and word-wrapped text, placed diagonally off the pointer on the
// side of the screen where it has room. TFlatHint carries its settings and installs it for the
// whole application.

#include <QPointer>
#include <array>

#include "Classes.h"
#include "Graphics.h"
#include "Hints.h"

class TFlatHint final : public TComponent {
 public:
  explicit TFlatHint(TComponent* AOwner = nullptr);
  ~TFlatHint() override;

  [[nodiscard]] const TFont& Font() const { return FFont; }
  void SetFont(const TFont& font) { FFont = font; }
  // Index 0 ColorBackground, 1 ColorBorder, 2 ColorArrowBackground, 3 ColorArrow.
  [[nodiscard]] TColor Color(int index) const { return FColors.at(static_cast<std::size_t>(index)); }
  void SetColor(int index, TColor value);
  [[nodiscard]] TColor ColorBackground() const { return Color(0); }
  [[nodiscard]] TColor ColorBorder() const { return Color(1); }
  [[nodiscard]] TColor ColorArrowBackground() const { return Color(2); }
  [[nodiscard]] TColor ColorArrow() const { return Color(3); }
  void SetColorBackground(TColor value) { SetColor(0, value); }
  void SetColorBorder(TColor value) { SetColor(1, value); }
  void SetColorArrowBackground(TColor value) { SetColor(2, value); }
  void SetColorArrow(TColor value) { SetColor(3, value); }

  // The width limit of a hint window in pixels, strip and margins included.
  int MaxHintWidth = kDefaultMaxHintWidth;
  TShowHintEvent OnShowHint;

  // The application's show-hint event while this component is installed: hands on to OnShowHint.
  void HintShowHandler(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo);

  static constexpr int kDefaultMaxHintWidth = 200;
  static constexpr std::array<TColor, 4> kDefaultColors{0xFFFFFF, 0x000000, 0x53D2FF, 0x000000};

 private:
  TFont FFont;
  std::array<TColor, 4> FColors = kDefaultColors;
  bool FInstalled = false;
};

// Where a hint goes for the pointer's place on the screen: 1 below right (top-left quarter),
// 0 below left (top-right), 3 above right (bottom-left), 2 above left (elsewhere).
[[nodiscard]] int FlatHintCorner(TPoint cursor, const TRect& screen);
// The gap between pointer and window: 12 for corner 1, else 5.
[[nodiscard]] int FlatHintGap(int corner);
// The window's bounds for a window of width x height.
[[nodiscard]] TRect FlatHintBounds(int corner, TPoint cursor, int width, int height);
// The arrow's polyline for the corner, as offsets from its anchor.
[[nodiscard]] std::array<TPoint, 18> FlatHintArrow(int corner);

class TFlatHintWindow final : public THintWindow {
 public:
  TFlatHintWindow() = default;
  ~TFlatHintWindow() override;

  // The first TFlatHint among the application main form's components, or nullptr.
  [[nodiscard]] static TFlatHint* FindFlatHint();

  // Measures the text, then places the window by the pointer alone; the rectangle serves only
  // as the origin of the measurement.
  void ActivateHint(TRect rect, const AnsiString& hint) override;

  [[nodiscard]] int Corner() const { return FCorner; }
  [[nodiscard]] TPoint ArrowAnchor() const { return FArrowAnchor; }
  [[nodiscard]] TFlatHint* FlatHint() const { return FFlatHint; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  std::uint8_t FCorner = 0;
  TPoint FArrowAnchor;
  QPointer<TFlatHint> FFlatHint;
};
