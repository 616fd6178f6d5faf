#pragma once
// Bitmap, canvas, message and window helpers shared by the custom controls.

#include <memory>
#include <string_view>

#include "Graphics.h"
#include "SysUtils.h"

class QWidget;

// Copies cell `index` of a picture divided into columns x rows into target, resizing it to a cell.
void CopyGlyphCell(const TGraphic* source, TBitmap* target, int columns, int rows, int index);
// Paints what lies under the control (its parent's background and the windowless controls below
// it) onto the canvas, in the control's own coordinates.
void PaintParentBackdrop(QWidget* control, TCanvas& canvas);
// The embossed form of a glyph: the pixels of the outline colour (or the black pixels of a
// monochrome source) in highlight one pixel down and right, then in shadow, on the back colour.
[[nodiscard]] std::unique_ptr<TBitmap> BuildDisabledBitmap(const TBitmap& source, TColor outline, TColor back,
                                                           TColor highlight, TColor shadow, bool drawHighlight);
[[nodiscard]] std::unique_ptr<TBitmap> BuildDefaultDisabledBitmap(const TBitmap& source, TColor outline);
// Draws an image-list image embossed at (x, y): its opaque pixels in highlight at (x + 1, y + 1),
// then in shadow at (x, y).
void DrawDisabledImage(const TImageList& images, TCanvas& canvas, int x, int y, int index, TColor highlight,
                       TColor shadow, bool drawHighlight);
[[nodiscard]] inline int RectWidth(const TRect& r) {
  return r.Right - r.Left;
}
[[nodiscard]] inline int RectHeight(const TRect& r) {
  return r.Bottom - r.Top;
}
// Removes one pending message of that number for the window (nullptr: any window of the thread). A
// pending quit taken out instead is posted again.
void DiscardPendingMessage(HWND window, unsigned msg);
// The text, or the longest of its shortened forms ending in "..." that fits the width.
[[nodiscard]] AnsiString ShortenText(std::string_view text, const TCanvas& canvas, int width);
// True when the active window is one of this thread's top-level windows.
[[nodiscard]] bool IsOwnWindowActive();
[[nodiscard]] inline AnsiString ResourceText(const AnsiString& text) {
  return text;
}
