#include "TFlatHintUnit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <set>

#include "Application.h"

namespace {

// The screen's quarters, by a point in each: the corner and the window's bounds for a 100 x 40
// window.
TEST(FlatHintPlacement, CornerAndBoundsFollowTheCursorsQuarterOfTheScreen) {
  const TRect screen{0, 0, 800, 600};
  struct Case {
    TPoint Cursor;
    int Corner;
    TRect Bounds;
  };
  for (const Case& c : {
           Case{{10, 10}, 1, {22, 22, 122, 62}},  // below right, 12 away
           Case{{399, 299}, 1, {411, 311, 511, 351}},
           Case{{400, 10}, 0, {295, 15, 395, 55}},     // half the width counts as the right half
           Case{{799, 0}, 0, {694, 5, 794, 45}},       // below left, 5 away
           Case{{10, 300}, 3, {15, 255, 115, 295}},    // above right
           Case{{400, 300}, 2, {295, 255, 395, 295}},  // above left
           Case{{799, 599}, 2, {694, 554, 794, 594}},
           Case{{900, 10}, 2, {795, -35, 895, 5}},  // off the screen: the last rule
       }) {
    SCOPED_TRACE(testing::Message() << c.Cursor.X << "," << c.Cursor.Y);
    const int corner = FlatHintCorner(c.Cursor, screen);
    EXPECT_EQ(corner, c.Corner);
    EXPECT_EQ(FlatHintBounds(corner, c.Cursor, 100, 40), c.Bounds);
  }
}

// A main form carrying a flat hint, as the main window does, and a hint window of the class the
// component installs.
class FlatHint : public testing::Test {
 protected:
  void SetUp() override {
    Components->setParent(&MainForm);
    SetApplicationMainForm(&MainForm);
    Settings = new TFlatHint(Components);
    Settings->MaxHintWidth = 300;
    Screen = QGuiApplication::primaryScreen()->geometry();
  }
  void TearDown() override {
    TApplicationHints::Instance().CancelHint();
    SetApplicationMainForm(nullptr);
  }

  TFlatHintWindow& Window() { return *dynamic_cast<TFlatHintWindow*>(TApplicationHints::Instance().HintWindow()); }
  // Shows text with the cursor at (x, y) and returns the painted window.
  QImage Show(const AnsiString& text, int x, int y) {
    QCursor::setPos(x, y);
    Window().ActivateHint({x, y, x, y}, text);
    return Window().PaintCanvas().copy();
  }

  QWidget MainForm;
  TComponent* Components = new TComponent();
  TFlatHint* Settings = nullptr;
  QRect Screen;
};

TEST_F(FlatHint, InstallsItsWindowClassAndThePauses) {
  const TApplicationHints& hints = TApplicationHints::Instance();
  ASSERT_NE(dynamic_cast<TFlatHintWindow*>(hints.HintWindow()), nullptr);
  EXPECT_EQ(hints.HintShortPause, 25);
  EXPECT_EQ(hints.HintPause, 500);
  EXPECT_EQ(hints.HintHidePause, 5000);
  EXPECT_EQ(TFlatHintWindow::FindFlatHint(), Settings);
  EXPECT_EQ(Settings->ColorArrowBackground(), RGB(255, 210, 83));
}

TEST_F(FlatHint, PlacesTheWindowByTheCursorInEachQuarter) {
  const int w2 = Screen.width() / 2;
  const int h2 = Screen.height() / 2;
  struct Case {
    int X, Y, Corner;
  };
  for (const Case c : {Case{40, 40, 1}, Case{w2, 40, 0}, Case{40, h2 + 40, 3}, Case{w2 + 40, h2 + 40, 2}}) {
    Show("Flat", c.X, c.Y);
    EXPECT_EQ(Window().Corner(), c.Corner);
    const QRect g = Window().geometry();
    EXPECT_EQ(g, FlatHintBounds(c.Corner, {c.X, c.Y}, g.width(), g.height()).ToQRect());
    EXPECT_TRUE(Window().isVisible());
  }
}

TEST_F(FlatHint, SizesTheWindowToItsTextWithinTheWidthLimit) {
  TCanvas& canvas = Window().Canvas();
  // The text's width as DrawText measures it.
  auto width = [&canvas](const AnsiString& text) {
    TRect rect{0, 0, 10000, 0};
    DrawText(canvas, text, rect, DT_CALCRECT | DT_NOPREFIX);
    return rect.Width();
  };
  Show("Word", 40, 40);
  EXPECT_EQ(Window().width(), width("Word") + 22);
  EXPECT_EQ(Window().height(), canvas.TextHeight("Word") + 6);
  Show("a&b", 40, 40);  // no prefix: the ampersand is text
  EXPECT_EQ(Window().width(), width("a&b") + 22);
  const AnsiString sentence = "This hint is long enough to wrap at the word boundaries of its text within the limit";
  Show(sentence, 40, 40);
  EXPECT_LE(Window().width(), 300);
  EXPECT_GE(Window().height(), 2 * canvas.TextHeight("x") + 6);
  const AnsiString word(60, 'W');
  Show(word, 40, 40);
  EXPECT_EQ(Window().width(), width(word) + 22);  // a single long word widens it
  EXPECT_GT(Window().width(), 300);
}

// The arrow of the top-left quarter, pointing up and left, as drawn from its anchor.
const char* const kArrow[8] = {
    "#######.",  //
    "#######.",  //
    "#####...",  //
    "######..",  //
    "#######.",  //
    "##.#####",  //
    "##..####",  //
    ".....##.",  //
};

TEST_F(FlatHint, PaintsStripFrameTextAreaAndTheArrowPixelByPixel) {
  const QImage image = Show("Hint", 40, 40);
  ASSERT_EQ(Window().Corner(), 1);
  const QRgb black = qRgb(0, 0, 0);
  const QRgb white = qRgb(255, 255, 255);
  const QRgb strip = qRgb(255, 210, 83);
  EXPECT_EQ(Window().ArrowAnchor(), (TPoint{3, 3}));
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      const bool frame = x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
      const int ax = x - 3;
      const int ay = y - 3;
      QRgb expected = 0;  // not looked at: the text
      if (frame)
        expected = black;
      else if (ax >= 0 && ax < 8 && ay >= 0 && ay < 8)
        expected = kArrow[ay][ax] == '#' ? black : strip;
      else if (x < 15)
        expected = strip;
      else if (x < 18 || x >= image.width() - 4)
        expected = white;  // the text's margins
      if (expected != 0) {
        ASSERT_EQ(image.pixel(x, y), expected);
      }
    }
  // The text itself, in the font's colour.
  bool text = false;
  for (int y = 1; y < image.height() - 1; ++y)
    for (int x = 18; x < image.width() - 4; ++x) text = text || qGray(image.pixel(x, y)) < 100;
  EXPECT_TRUE(text);
}

TEST_F(FlatHint, OtherQuartersMirrorTheArrowInAStripOnTheirSide) {
  struct Case {
    int X, Y, Corner, Sx, Sy;
  };
  const int w2 = Screen.width() / 2;
  const int h2 = Screen.height() / 2;
  for (const Case c : {Case{w2 + 40, 40, 0, -1, 1}, Case{40, h2 + 40, 3, 1, -1}, Case{w2 + 40, h2 + 40, 2, -1, -1}}) {
    SCOPED_TRACE(c.Corner);
    const QImage image = Show("Hint", c.X, c.Y);
    ASSERT_EQ(Window().Corner(), c.Corner);
    const TPoint anchor = Window().ArrowAnchor();
    const int stripLeft = c.Sx < 0 ? image.width() - 15 : 1;
    EXPECT_EQ(anchor.X, c.Sx < 0 ? image.width() - 4 : 3);
    EXPECT_EQ(anchor.Y, c.Sy < 0 ? image.height() - 4 : 3);
    for (int ay = 0; ay < 8; ++ay)
      for (int ax = 0; ax < 8; ++ax)
        EXPECT_EQ(image.pixel(anchor.X + c.Sx * ax, anchor.Y + c.Sy * ay),
                  kArrow[ay][ax] == '#' ? qRgb(0, 0, 0) : qRgb(255, 210, 83))
            << ax << "," << ay;
    EXPECT_EQ(image.pixel(stripLeft + 13, image.height() / 2 + (c.Sy < 0 ? -8 : 8)), qRgb(255, 210, 83));
  }
}

TEST_F(FlatHint, AComponentGoingTakesOnlyItsOwnHandler) {
  auto* later = new TFlatHint(Components);  // installs its own handler over the first one's
  bool called = false;
  later->OnShowHint = [&](AnsiString&, bool&, THintInfo&) { called = true; };
  delete Settings;
  Settings = nullptr;
  auto& handler = TApplicationHints::Instance().OnShowHint;
  ASSERT_TRUE(handler);
  AnsiString text = "hint";
  bool canShow = true;
  THintInfo info{};
  handler(text, canShow, info);
  EXPECT_TRUE(called);
  delete later;
  EXPECT_FALSE(handler);
}

TEST_F(FlatHint, ColoursApplyAtTheNextPaintAndWithoutTheComponentTheDefaultsDo) {
  Settings->SetColorArrowBackground(clRed);
  Settings->SetColorBackground(clYellow);
  Settings->MaxHintWidth = 60;
  QImage image = Show("one two three four", 40, 40);
  EXPECT_EQ(image.pixel(12, image.height() - 3), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(image.width() - 2, 1), qRgb(255, 255, 0));
  EXPECT_LE(Window().width(), 60);
  Settings->SetColorArrowBackground(clBlue);
  image = Window().PaintCanvas().copy();
  EXPECT_EQ(image.pixel(12, image.height() - 3), qRgb(0, 0, 255));

  bool called = false;
  Settings->OnShowHint = [&](AnsiString&, bool&, THintInfo&) { called = true; };
  delete Settings;
  Settings = nullptr;
  EXPECT_FALSE(TApplicationHints::Instance().OnShowHint);  // the handler went with it
  EXPECT_EQ(Window().FlatHint(), nullptr);
  image = Window().PaintCanvas().copy();  // no reach through a freed component
  EXPECT_EQ(image.pixel(12, image.height() - 3), qRgb(255, 210, 83));
  image = Show("one two three four five six seven eight nine ten eleven twelve thirteen", 40, 40);
  EXPECT_LE(Window().width(), TFlatHint::kDefaultMaxHintWidth);
  EXPECT_GT(Window().width(), 100);
  EXPECT_FALSE(called);
}

// A window with a hinted control, under the pointer as a user moves it.
TEST_F(FlatHint, HintsOfControlsShowInItAfterThePauseInsteadOfThePlainToolTip) {
  QWidget form;
  form.setGeometry(100, 100, 300, 200);
  QWidget button(&form);
  button.setGeometry(20, 20, 80, 30);
  button.setToolTip(QStringLiteral("Click & go"));
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  std::vector<AnsiString> seen;
  Settings->OnShowHint = [&](AnsiString& HintStr, bool& CanShow, THintInfo& Info) {
    seen.push_back(HintStr);
    EXPECT_EQ(Info.HintControl, &button);
    CanShow = seen.size() < 2;
    HintStr += "!";
  };
  QTest::mouseMove(&form, QPoint(5, 5));
  QTest::mouseMove(&button, QPoint(10, 10));
  EXPECT_FALSE(Window().isVisible());
  QTest::qWait(300);  // a check that it does not show early: the hint pause is 500 ms
  EXPECT_FALSE(Window().isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Window().isVisible(); }, 2000));
  EXPECT_EQ(Window().Caption(), "Click & go!");
  EXPECT_FALSE(QToolTip::isVisible());
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(12, 12));
  EXPECT_FALSE(Window().isVisible());  // a press puts it away
  QTest::mouseMove(&form, QPoint(200, 150));
  QTest::mouseMove(&button, QPoint(10, 10));
  EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 2; }, 10000));
  QCoreApplication::processEvents();
  EXPECT_FALSE(Window().isVisible());  // the handler said no
  EXPECT_FALSE(QToolTip::isVisible());
}

}  // namespace
