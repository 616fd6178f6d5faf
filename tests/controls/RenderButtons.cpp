// Renders speed buttons in each state and layout into one PNG, for a person to look at:
//   vab_render_buttons OUTPUT.png
#include <QApplication>
#include <QFont>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <cstdio>

#include "Menus.h"
#include "VXCtrls.h"

namespace {

class BackdropForm final : public TForm {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(192, 192, 192));
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, QColor(120, 170, 220));
    gradient.setColorAt(1, QColor(230, 200, 140));
    painter.fillRect(QRect(0, 300, width(), height() - 300), gradient);
    painter.setPen(Qt::black);
    painter.drawText(8, 296, QStringLiteral("Transparent buttons over a backdrop:"));
  }
};

// A 16 x 16 folder with a black outline on fuchsia; with two cells the second is a red variant.
TBitmap FolderGlyph(int cells) {
  TBitmap glyph(16 * cells, 16);
  TCanvas& c = glyph.Canvas();
  c.Brush.Color = clFuchsia;
  c.FillRect(Rect(0, 0, 16 * cells, 16));
  for (int k = 0; k < cells; ++k) {
    const int x = 16 * k;
    c.Brush.Color = k == 0 ? RGB(240, 200, 60) : RGB(220, 60, 60);
    c.FillRect(Rect(x + 1, 4, x + 15, 14));
    c.FillRect(Rect(x + 1, 2, x + 7, 4));
    c.Pen.Color = clBlack;
    c.MoveTo(x + 1, 2);
    c.LineTo(x + 7, 2);
    c.LineTo(x + 8, 4);
    c.LineTo(x + 15, 4);
    c.LineTo(x + 15, 14);
    c.LineTo(x + 1, 14);
    c.LineTo(x + 1, 2);
    c.Pen.Color = RGB(0, 0, 128);
    c.MoveTo(x + 3, 7);
    c.LineTo(x + 13, 7);
  }
  return glyph;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
  const TBitmap folder = FolderGlyph(1);
  const TBitmap folderTwo = FolderGlyph(2);
  TPopupMenu menu;
  menu.Add("First");

  BackdropForm form;
  form.resize(660, 420);
  const auto make = [&](int column, int row, const char* caption, bool glyph) {
    auto* b = new TVxSpeedButton(&form);
    b->SetBounds(8 + column * 108, 8 + row * 48 + (row >= 6 ? 16 : 0), 100, 40);
    b->SetCaption(caption);
    if (glyph) b->SetGlyph(&folder);
    b->SetLayout(blGlyphLeft);
    return b;
  };

  // Row 0: the states with a glyph; row 1: the same without a glyph.
  for (int row = 0; row < 2; ++row) {
    const bool glyph = row == 0;
    make(0, row, "Up", glyph);
    TVxSpeedButton* down = make(1, row, "Down", glyph);
    TVxSpeedButton* exclusive = make(2, row, "Exclusive", glyph);
    exclusive->SetGroupIndex(row + 1);
    exclusive->SetDown(true);
    make(3, row, "Disabled", glyph)->setEnabled(false);
    TVxSpeedButton* flat = make(4, row, "Flat", glyph);
    flat->SetFlat(true);
    TVxSpeedButton* hot = make(5, row, "Flat hot", glyph);
    hot->SetFlat(true);
    form.show();
    QApplication::setActiveWindow(&form);
    hot->Perform(CM_MOUSEENTER);
    SendMouse(down, QEvent::MouseButtonPress, QPoint(5, 5));
  }
  // Row 2: the four layouts; row 3: drop-down marks.
  const TButtonLayout layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
  const char* names[] = {"Left", "Right", "Top", "Bottom"};
  for (int i = 0; i < 4; ++i) {
    TVxSpeedButton* b = make(i, 2, names[i], true);
    b->SetLayout(layouts[i]);
    b->SetSpacing(2);
    TVxSpeedButton* m = make(i, 3, names[i], true);
    m->SetLayout(layouts[i]);
    m->SetDropDownMenu(&menu);
  }
  make(4, 3, "V&iew", false)->SetDropDownMenu(&menu);
  TVxSpeedButton* bare = make(5, 3, "", false);
  bare->SetDropDownMenu(&menu);
  bare->setEnabled(false);
  // Row 4: margins, two-cell glyph, shortening, word wrap, old look.
  TVxSpeedButton* margin = make(0, 4, "Margin 1", true);
  margin->SetMargin(1);
  TVxSpeedButton* two = make(1, 4, "Two cells", false);
  two->SetGlyph(&folderTwo);
  two->SetNumGlyphs(2);
  two->setEnabled(false);
  make(2, 4, "A caption far too long", true);
  TVxSpeedButton* wrap = make(3, 4, "Word wrap on this one", false);
  wrap->SetWordWrap(true);
  TVxSpeedButton* old = make(4, 4, "Old look", true);
  old->SetStyle(bsWin31);
  TVxSpeedButton* oldDown = make(5, 4, "Old down", true);
  oldDown->SetStyle(bsWin31);
  oldDown->SetGroupIndex(9);
  oldDown->SetDown(true);
  // Row 6: transparent buttons over the gradient.
  const char* transparentNames[] = {"Up", "Flat", "Flat hot", "Exclusive", "Disabled", "Grey glyph"};
  for (int i = 0; i < 6; ++i) {
    TVxSpeedButton* b = make(i, 6, transparentNames[i], true);
    b->setObjectName(QStringLiteral("transparent%1").arg(i));
    b->SetTransparent(true);
    b->SetGrayedInactive(i == 5);
    if (i == 1 || i == 2 || i == 5) b->SetFlat(true);
    if (i == 3) {
      b->SetGroupIndex(20);
      b->SetDown(true);
    }
    if (i == 4) b->setEnabled(false);
  }
  for (QObject* child : form.children())
    if (auto* b = dynamic_cast<TVxSpeedButton*>(child)) b->show();
  // Showing re-evaluates the hot state from the cursor, so the hot look comes last.
  form.findChild<TVxSpeedButton*>(QStringLiteral("transparent2"))->Perform(CM_MOUSEENTER);

  const QImage image = form.grab().toImage();
  const QImage scaled = image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (!scaled.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
