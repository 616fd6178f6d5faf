#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

#include "ActnList.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "MessageQueue.h"
#include "VXCtrls.h"

namespace {

// A drop-down menu that records where it was popped and runs a step while it is "open".
class FakeMenu final : public TPopupMenu {
 public:
  std::vector<QPoint> Popups;
  std::function<void()> WhileOpen;
  void Popup(int X, int Y) override {
    Popups.emplace_back(X, Y);
    if (WhileOpen) WhileOpen();
  }
};

class GreenForm final : public TForm {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::green); }
};

class SpeedButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.resize(200, 120);
    button = new TVxSpeedButton(&form);
    button->SetBounds(10, 10, 60, 25);
    button->OnClick = [this](QObject*) { ++clicks; };
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  TVxSpeedButton* AddButton(int left) {
    auto* b = new TVxSpeedButton(&form);
    b->SetBounds(left, 50, 30, 25);
    b->show();
    return b;
  }

  void Press(TVxSpeedButton* b, QPoint p = {5, 5}) { QTest::mousePress(b, Qt::LeftButton, {}, p); }
  void Move(TVxSpeedButton* b, QPoint p) { QTest::mouseMove(b, p); }
  void Release(TVxSpeedButton* b, QPoint p = {5, 5}) { QTest::mouseRelease(b, Qt::LeftButton, {}, p); }
  void ClickAt(TVxSpeedButton* b, QPoint p = {5, 5}) {
    Press(b, p);
    Release(b, p);
  }

  GreenForm form;
  TVxSpeedButton* button = nullptr;
  int clicks = 0;
};

TBitmap Solid(int w, int h, TColor color) {
  TBitmap bitmap(w, h);
  bitmap.Canvas().Brush.Color = color;
  bitmap.Canvas().FillRect(Rect(0, 0, w, h));
  return bitmap;
}

}  // namespace

TEST(SpeedButtonDefaultsTest, ConstructionSetsTheDefaults) {
  TVxSpeedButton b;
  EXPECT_EQ(b.width(), 25);
  EXPECT_EQ(b.height(), 25);
  EXPECT_EQ(b.Layout(), blGlyphTop);
  EXPECT_EQ(b.Spacing(), 1);
  EXPECT_EQ(b.Margin(), -1);
  EXPECT_EQ(b.InitPause(), 500u);
  EXPECT_EQ(b.RepeatInterval(), 100u);
  EXPECT_EQ(b.Style(), bsAutoDetect);
  EXPECT_TRUE(b.MarkDropDown());
  EXPECT_TRUE(b.GrayedInactive());
  EXPECT_TRUE(b.ShowHint());
  EXPECT_FALSE(b.ParentShowHint);
  EXPECT_TRUE(b.ParentFont());
  EXPECT_FALSE(b.Transparent());
  EXPECT_FALSE(b.Flat());
  EXPECT_EQ(b.NumGlyphs(), 1);
  EXPECT_EQ(b.Alignment(), TAlignment::taCenter);
  EXPECT_EQ(b.MenuPosition(), dmpBottom);
  EXPECT_EQ(b.PaintState(), psUp);
  EXPECT_EQ(b.ControlStyle & csClickEvents, 0u);
}

TEST(SpeedButtonDefaultsTest, SettersRefuseOutOfRangeValues) {
  TVxSpeedButton b;
  b.SetMargin(3);
  b.SetMargin(-2);
  EXPECT_EQ(b.Margin(), 3);
  b.SetMargin(-1);
  EXPECT_EQ(b.Margin(), -1);
  b.SetNumGlyphs(9);
  EXPECT_EQ(b.NumGlyphs(), 5);
  b.SetNumGlyphs(0);
  EXPECT_EQ(b.NumGlyphs(), 5);
  b.SetDown(true);
  EXPECT_FALSE(b.Down());
}

TEST(SpeedButtonPropertiesTest, ALayoutsPropertiesReachTheSetters) {
  TVxSpeedButton b;
  QImage twoCells(32, 16, QImage::Format_RGB32);
  twoCells.fill(Qt::red);
  twoCells.setPixel(0, 15, qRgb(255, 0, 255));
  // As a generated layout sets them, one by one by name.
  const std::vector<std::pair<const char*, QVariant>> layout{
      {"Caption", QStringLiteral("&Print")},
      {"Hint", QStringLiteral("Print Cards")},
      {"ParentFont", false},
      {"FontColor", QColor(255, 255, 128)},
      {"Glyph", QPixmap::fromImage(twoCells)},
      {"Layout", QVariant::fromValue(TVxSpeedButton::blGlyphLeft)},
      {"Margin", 1},
      {"Spacing", -1},
      {"Flat", true},
      {"Transparent", true},
      {"GrayedInactive", false},
      {"MarkDropDown", false},
      {"MenuPosition", QVariant::fromValue(TVxSpeedButton::dmpRight)},
  };
  for (const auto& [name, value] : layout) EXPECT_TRUE(b.setProperty(name, value)) << name;
  EXPECT_TRUE(b.dynamicPropertyNames().isEmpty());
  EXPECT_EQ(b.Caption(), "&Print");
  EXPECT_EQ(b.toolTip(), QStringLiteral("Print Cards"));
  EXPECT_FALSE(b.ParentFont());
  EXPECT_EQ(b.Font().Color, RGB(255, 255, 128));
  EXPECT_EQ(b.NumGlyphs(), 2);  // found from the picture's shape
  EXPECT_EQ(b.Glyph()->Width(), 32);
  EXPECT_EQ(b.Layout(), blGlyphLeft);
  EXPECT_EQ(b.Margin(), 1);
  EXPECT_EQ(b.Spacing(), -1);
  EXPECT_TRUE(b.Flat());
  EXPECT_TRUE(b.Transparent());
  EXPECT_FALSE(b.GrayedInactive());
  EXPECT_FALSE(b.MarkDropDown());
  EXPECT_EQ(b.MenuPosition(), dmpRight);
  // The setters' own rules hold on this path too.
  b.setProperty("Margin", -2);
  EXPECT_EQ(b.Margin(), 1);
  b.setProperty("NumGlyphs", 9);
  EXPECT_EQ(b.NumGlyphs(), 5);
}

TEST_F(SpeedButtonTest, ReleaseOnTheBottomEdgeClicksButOnTheRightEdgeDoesNot) {
  ClickAt(button, {5, button->ClientHeight()});
  EXPECT_EQ(clicks, 1);
  ClickAt(button, {button->ClientWidth(), 5});
  EXPECT_EQ(clicks, 1);
  ClickAt(button, {button->ClientWidth() - 1, 0});
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(button->PaintState(), psUp);
  EXPECT_FALSE(button->Pressing());
}

TEST_F(SpeedButtonTest, LeavingWhilePressedShowsUpAndComingBackShowsDown) {
  Press(button);
  EXPECT_EQ(button->PaintState(), psDown);
  EXPECT_TRUE(button->Pressing());
  Move(button, {80, 5});
  EXPECT_EQ(button->PaintState(), psUp);
  Move(button, {6, 6});
  EXPECT_EQ(button->PaintState(), psDown);
  Release(button, {6, 6});
  EXPECT_EQ(clicks, 1);

  Press(button);
  Move(button, {80, 5});
  Release(button, {80, 5});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button->PaintState(), psUp);
}

TEST_F(SpeedButtonTest, RightButtonNeitherPressesNorClicks) {
  QTest::mouseClick(button, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button->Pressing());
}

TEST_F(SpeedButtonTest, GroupWithoutAllowAllUpKeepsOneMemberDown) {
  TVxSpeedButton* a = AddButton(10);
  TVxSpeedButton* b = AddButton(50);
  int clicksA = 0;
  a->OnClick = [&](QObject*) { ++clicksA; };
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);

  ClickAt(a);
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(a->PaintState(), psExclusive);
  ClickAt(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(a->PaintState(), psUp);
  ClickAt(a);
  ClickAt(a);  // the member that is down stays down and still clicks
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(clicksA, 3);
  a->SetDown(false);
  EXPECT_TRUE(a->Down());
}

TEST_F(SpeedButtonTest, AllowAllUpSpreadsToTheGroupAndLetsTheDownMemberGoUp) {
  TVxSpeedButton* a = AddButton(10);
  TVxSpeedButton* b = AddButton(50);
  TVxSpeedButton* other = AddButton(90);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  other->SetGroupIndex(2);
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
  EXPECT_FALSE(other->AllowAllUp());
  ClickAt(b);
  EXPECT_TRUE(b->Down());
  ClickAt(b);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(b->PaintState(), psUp);
}

TEST_F(SpeedButtonTest, ReleaseOutsideInAGroupKeepsTheState) {
  TVxSpeedButton* a = AddButton(10);
  a->SetGroupIndex(1);
  Press(a);
  Move(a, {200, 5});
  Release(a, {200, 5});
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(a->PaintState(), psUp);
  a->SetDown(true);
  Press(a);
  Move(a, {200, 5});
  Release(a, {200, 5});
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(a->PaintState(), psExclusive);
}

TEST(SpeedButtonGroupTest, GroupMessageIsIgnoredBeforeTheParentWindowExistsOrFromStrangers) {
  TForm hidden;
  TVxSpeedButton a(&hidden);
  TVxSpeedButton b(&hidden);
  a.SetGroupIndex(1);
  b.SetGroupIndex(1);
  a.SetDown(true);
  b.SetDown(true);
  EXPECT_TRUE(a.Down());  // no window yet: the message did not reach it

  hidden.show();
  QWidget stranger(&hidden);
  a.Perform(CM_VXBUTTONPRESSED, 1, reinterpret_cast<std::intptr_t>(&stranger));
  a.Perform(CM_VXBUTTONPRESSED, 1, 12345);
  EXPECT_TRUE(a.Down());
  a.Perform(CM_VXBUTTONPRESSED, 1, reinterpret_cast<std::intptr_t>(&b));
  EXPECT_FALSE(a.Down());
}

TEST_F(SpeedButtonTest, DropDownMenuOpensOnPressAndGivesNoClick) {
  FakeMenu menu;
  button->SetDropDownMenu(&menu);
  bool showingDuringMenu = false;
  menu.WhileOpen = [&] { showingDuringMenu = button->MenuShowing(); };
  Press(button);
  ASSERT_EQ(menu.Popups.size(), 1u);
  EXPECT_EQ(menu.Popups[0], button->mapToGlobal(QPoint(-1, button->height())));
  EXPECT_EQ(menu.PopupComponent, button);
  EXPECT_TRUE(showingDuringMenu);
  EXPECT_FALSE(button->MenuShowing());
  EXPECT_FALSE(button->Pressing());
  EXPECT_EQ(button->PaintState(), psUp);
  Release(button);
  EXPECT_EQ(clicks, 0);

  menu.AutoPopup = false;
  ClickAt(button);
  EXPECT_EQ(menu.Popups.size(), 1u);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonTest, TheClickThatClosesTheMenuOnTheButtonDoesNotReopenIt) {
  FakeMenu menu;
  button->SetDropDownMenu(&menu);
  // The platform posts the press that closed a pop-up, as here.
  const auto postPress = [&](QPoint inForm) {
    (void)PostMouseButton(QMouseEvent(QEvent::MouseButtonPress, inForm, form.mapToGlobal(inForm), Qt::LeftButton,
                                      Qt::LeftButton, Qt::NoModifier));
  };
  menu.WhileOpen = [&] { postPress(QPoint(15, 15)); };
  Press(button);
  QCoreApplication::processEvents();
  EXPECT_EQ(menu.Popups.size(), 1u);

  // A press elsewhere stays pending and is delivered.
  int formPresses = 0;
  TVxSpeedButton elsewhere(&form);
  elsewhere.SetBounds(100, 60, 30, 25);
  elsewhere.show();
  elsewhere.OnMouseDown = [&](QObject*, TMouseButton, TShiftState, int, int) { ++formPresses; };
  menu.WhileOpen = [&] { postPress(QPoint(105, 65)); };
  Release(button);
  Press(button);
  QCoreApplication::processEvents();
  EXPECT_EQ(menu.Popups.size(), 2u);
  EXPECT_EQ(formPresses, 1);
}

TEST_F(SpeedButtonTest, DoubleClickWhileTheMenuShowsIsIgnored) {
  FakeMenu menu;
  button->SetDropDownMenu(&menu);
  int doubles = 0;
  button->OnDblClick = [&](QObject*) { ++doubles; };
  menu.WhileOpen = [&] { QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5)); };
  Press(button);
  EXPECT_EQ(menu.Popups.size(), 1u);
  EXPECT_EQ(doubles, 0);
}

TEST_F(SpeedButtonTest, DoubleClickEventOnlyForADownButton) {
  int doubles = 0;
  button->OnDblClick = [&](QObject*) { ++doubles; };
  QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  Release(button);
  EXPECT_EQ(doubles, 0);
  button->SetGroupIndex(3);
  button->SetDown(true);
  QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(doubles, 1);
}

TEST_F(SpeedButtonTest, MenuAnchorFollowsPositionAndAlignment) {
  FakeMenu menu;
  EXPECT_EQ(button->MenuAnchorPoint(), (TPoint{0, 0}));
  button->SetDropDownMenu(&menu);
  const struct {
    TVxDropDownMenuPos position;
    TPopupAlignment alignment;
    TPoint expected;
  } cases[] = {
      {dmpBottom, TPopupAlignment::paLeft, {-1, 25}},   {dmpBottom, TPopupAlignment::paRight, {61, 25}},
      {dmpBottom, TPopupAlignment::paCenter, {30, 25}}, {dmpRight, TPopupAlignment::paLeft, {60, -1}},
      {dmpRight, TPopupAlignment::paRight, {-1, -1}},   {dmpRight, TPopupAlignment::paCenter, {30, 25}},
  };
  for (const auto& c : cases) {
    button->SetMenuPosition(c.position);
    menu.Alignment = c.alignment;
    EXPECT_EQ(button->MenuAnchorPoint(), c.expected);
  }
}

TEST_F(SpeedButtonTest, FreedMenuIsForgotten) {
  auto* menu = new FakeMenu;
  button->SetDropDownMenu(menu);
  delete menu;
  EXPECT_EQ(button->DropDownMenu(), nullptr);
  ClickAt(button);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonTest, AutoRepeatClicksAfterTheInitialPauseThenEveryInterval) {
  button->SetAllowTimer(true);
  button->SetInitPause(150);
  button->SetRepeatInterval(40);
  QElapsedTimer clock;
  qint64 firstClickAt = -1;
  button->OnClick = [&](QObject*) {
    if (clicks++ == 0) firstClickAt = clock.elapsed();
  };
  clock.start();
  Press(button);
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks >= 3; }, 10000));
  const int held = clicks;
  EXPECT_GE(firstClickAt, 140);
  EXPECT_LE(held, 1 + (clock.elapsed() - 150) / 40 + 1);  // the first after 150 ms, then one each 40 ms

  Move(button, {100, 5});  // outside: the pressed look goes and so do the clicks
  const int outside = clicks;
  QTest::qWait(120);  // checks that no click comes: a few repeat intervals
  EXPECT_EQ(clicks, outside);
  Release(button, {100, 5});
  ASSERT_NE(button->AutoRepeatTimer(), nullptr);
  EXPECT_FALSE(button->AutoRepeatTimer()->Enabled());
  QTest::qWait(100);
  EXPECT_EQ(clicks, outside);
  button->SetAllowTimer(false);
  EXPECT_EQ(button->AutoRepeatTimer(), nullptr);
}

TEST_F(SpeedButtonTest, FailingRepeatedClickStopsTheTimerAndPassesTheError) {
  button->SetAllowTimer(true);
  button->OnClick = [](QObject*) { throw Exception("boom"); };
  Press(button);
  ASSERT_NE(button->AutoRepeatTimer(), nullptr);
  EXPECT_THROW(button->RepeatTimerTick(), Exception);
  EXPECT_FALSE(button->AutoRepeatTimer()->Enabled());
  EXPECT_EQ(button->AutoRepeatTimer()->Interval(), 100u);
}

TEST_F(SpeedButtonTest, FlatButtonShowsItsFrameOnlyWhileHotInAnActiveWindow) {
  button->SetFlat(true);
  int enters = 0;
  int leaves = 0;
  button->OnMouseEnter = [&](QObject*) { ++enters; };
  button->OnMouseLeave = [&](QObject*) { ++leaves; };
  button->PaintCanvas();
  EXPECT_EQ(button->CanvasImage().pixel(0, 0), ColorToQRgb(clBtnFace));
  button->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(button->MouseInside());
  button->PaintCanvas();
  EXPECT_EQ(button->CanvasImage().pixel(0, 0), ColorToQRgb(clBtnHighlight));
  EXPECT_EQ(button->CanvasImage().pixel(59, 24), ColorToQRgb(clBtnShadow));
  button->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(button->MouseInside());
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);

  QApplication::setActiveWindow(nullptr);
  button->Perform(CM_MOUSEENTER);
  EXPECT_FALSE(button->MouseInside());
}

TEST_F(SpeedButtonTest, LeavingWhilePressedKeepsTheButtonHot) {
  Press(button);
  button->Perform(CM_MOUSELEAVE);
  EXPECT_TRUE(button->MouseInside());
}

TEST_F(SpeedButtonTest, GrayedInactiveShowsTheGreyGlyphUntilHot) {
  TBitmap glyph = Solid(8, 8, clRed);
  glyph.Canvas().SetPixel(0, 7, clFuchsia);
  button->SetGlyph(&glyph);
  button->SetFlat(true);
  const auto glyphPixel = [&] {
    button->PaintCanvas();
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 60; ++x) {
        const QRgb p = button->CanvasImage().pixel(x, y);
        if (p == qRgb(255, 0, 0) || p == qRgb(76, 76, 76)) return p;
      }
    return QRgb(0);
  };
  EXPECT_EQ(glyphPixel(), qRgb(76, 76, 76));
  button->Perform(CM_MOUSEENTER);
  EXPECT_EQ(glyphPixel(), qRgb(255, 0, 0));
  button->Perform(CM_MOUSELEAVE);
  button->SetGrayedInactive(false);
  EXPECT_EQ(glyphPixel(), qRgb(255, 0, 0));
}

TEST_F(SpeedButtonTest, TransparentButtonPaintsOverTheParentsBackground) {
  button->SetFlat(true);
  button->PaintCanvas();
  EXPECT_EQ(button->CanvasImage().pixel(1, 1), ColorToQRgb(clBtnFace));
  button->SetTransparent(true);
  button->PaintCanvas();
  EXPECT_EQ(button->CanvasImage().pixel(1, 1), qRgb(0, 255, 0));
  EXPECT_EQ(button->CanvasImage().pixel(59, 24), qRgb(0, 255, 0));
}

TEST_F(SpeedButtonTest, ExclusiveButtonFillsItsFaceWithTheCheckerboard) {
  button->SetGroupIndex(1);
  button->SetDown(true);
  button->PaintCanvas();
  const QImage& image = button->CanvasImage();
  EXPECT_NE(image.pixel(10, 5), image.pixel(11, 5));
  EXPECT_EQ(image.pixel(10, 5), image.pixel(11, 6));
  for (const QRgb p : {image.pixel(10, 5), image.pixel(11, 5)})
    EXPECT_TRUE(p == ColorToQRgb(clBtnFace) || p == ColorToQRgb(clBtnHighlight));
}

TEST_F(SpeedButtonTest, DisabledButtonPaintsDisabledAndComesBackUp) {
  TBitmap glyph = Solid(8, 8, clBlack);
  button->SetGlyph(&glyph);
  button->setEnabled(false);
  EXPECT_NE(button->GlyphPainter().CellIndex(psDisabled), -1);  // built ahead
  button->PaintCanvas();
  EXPECT_EQ(button->PaintState(), psDisabled);
  ClickAt(button);
  EXPECT_EQ(clicks, 0);
  button->setEnabled(true);
  button->PaintCanvas();
  EXPECT_EQ(button->PaintState(), psUp);

  button->SetGroupIndex(1);
  button->SetDown(true);
  button->setEnabled(false);
  button->PaintCanvas();
  button->setEnabled(true);
  button->PaintCanvas();
  EXPECT_EQ(button->PaintState(), psExclusive);
}

TEST_F(SpeedButtonTest, SystemColourChangeRebuildsTheCells) {
  TBitmap glyph = Solid(8, 8, clBlue);
  button->SetGlyph(&glyph);
  button->PaintCanvas();
  ASSERT_NE(button->GlyphPainter().CellIndex(psUp), -1);
  button->Perform(CM_SYSCOLORCHANGE);
  EXPECT_EQ(button->GlyphPainter().CellIndex(psUp), -1);
}

TEST_F(SpeedButtonTest, ClickSetsTheFormsModalResultEvenToZero) {
  form.ModalResult = mrCancel;
  ClickAt(button);
  EXPECT_EQ(form.ModalResult, mrNone);
  button->SetModalResult(mrOk);
  ClickAt(button);
  EXPECT_EQ(form.ModalResult, mrOk);
}

TEST_F(SpeedButtonTest, AcceleratorClicksAnEnabledButton) {
  button->SetCaption("E&xit");
  EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'X'), 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'e'), 0);
  QTest::keyClick(&form, Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(clicks, 2);
  button->setEnabled(false);
  EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'x'), 0);
  EXPECT_EQ(clicks, 2);
}

TEST_F(SpeedButtonTest, ActionSuppliesTheGlyphOnlyWhenThereIsNone) {
  TImageList images(16, 16);
  TBitmap image = Solid(16, 16, clBlue);
  image.Canvas().SetPixel(0, 0, clWhite);
  images.AddMasked(image, clWhite);
  TActionList list;
  list.SetImages(&images);
  TAction action;
  action.SetActionList(&list);
  action.SetImageIndex(0);
  action.SetCaption("Open");
  button->SetAction(&action);
  EXPECT_EQ(button->Caption(), "Open");
  ASSERT_EQ(button->Glyph()->Width(), 16);
  EXPECT_EQ(button->Glyph()->Canvas().Pixel(0, 0), clFuchsia);
  EXPECT_EQ(button->Glyph()->Canvas().Pixel(5, 5), clBlue);
  EXPECT_EQ(button->Glyph()->TransparentColor(), clFuchsia);

  TVxSpeedButton* withGlyph = AddButton(10);
  const TBitmap own = Solid(8, 8, clRed);
  withGlyph->SetGlyph(&own);
  withGlyph->SetAction(&action);
  EXPECT_EQ(withGlyph->Glyph()->Width(), 8);
}

TEST_F(SpeedButtonTest, CheckedActionPutsAGroupedButtonDown) {
  TAction action;
  button->SetGroupIndex(4);
  button->SetAllowAllUp(true);
  button->SetAction(&action);
  action.SetChecked(true);
  EXPECT_TRUE(button->Down());
  action.SetChecked(false);
  EXPECT_FALSE(button->Down());
}

TEST_F(SpeedButtonTest, RealMenuClosedByPressingTheButtonAgainStaysClosed) {
  TPopupMenu menu;
  menu.Add("First");
  button->SetDropDownMenu(&menu);
  int shows = 0;
  menu.OnPopup = [&](QObject*) { ++shows; };
  bool closedByPress = false;
  QTimer::singleShot(100, &form, [&] {
    QWindow* popup = menu.Menu()->windowHandle();
    ASSERT_NE(popup, nullptr);
    const QPoint onButton = button->mapToGlobal(QPoint(5, 5));
    QTest::mousePress(popup, Qt::LeftButton, {}, popup->mapFromGlobal(onButton));
    closedByPress = !menu.Menu()->isVisible();
  });
  QTimer::singleShot(3000, &form, [&] { menu.Menu()->close(); });  // never hang
  Press(button);
  QTest::qWait(50);
  Release(button);
  QTest::qWait(50);
  EXPECT_TRUE(closedByPress);
  EXPECT_EQ(shows, 1);
  EXPECT_FALSE(menu.Menu()->isVisible());
  EXPECT_EQ(clicks, 0);
}

TEST_F(SpeedButtonTest, HotStateFollowsTheCursorAfterAPressEnds) {
  button->SetFlat(true);
  QCursor::setPos(button->mapToGlobal(QPoint(20, 10)));
  ASSERT_EQ(QApplication::widgetAt(QCursor::pos()), button);
  ClickAt(button, {20, 10});
  EXPECT_TRUE(button->MouseInside());
  QCursor::setPos(form.mapToGlobal(QPoint(150, 100)));
  QTest::mouseClick(button, Qt::RightButton, {}, QPoint(20, 10));
  EXPECT_FALSE(button->MouseInside());
}

TEST_F(SpeedButtonTest, TransparentButtonOnScreenShowsTheBackdrop) {
  button->SetFlat(true);
  button->SetTransparent(true);
  form.repaint();
  const QImage screen = form.screen()->grabWindow(form.winId()).toImage();
  ASSERT_FALSE(screen.isNull());
  const QPoint inside = button->geometry().topLeft() + QPoint(1, 1);
  EXPECT_EQ(screen.pixel(inside * screen.devicePixelRatio()), qRgb(0, 255, 0));
}

TEST_F(SpeedButtonTest, LoadedBuildsAheadTheCellTheFirstPaintNeeds) {
  const TBitmap glyph = Solid(8, 8, clBlue);
  button->SetGlyph(&glyph);
  button->Loaded();
  EXPECT_NE(button->GlyphPainter().CellIndex(psUp), -1);
  EXPECT_EQ(button->GlyphPainter().CellIndex(psInactive), -1);
  button->SetFlat(true);
  button->Loaded();
  EXPECT_NE(button->GlyphPainter().CellIndex(psInactive), -1);
}

// Clicks with a real menu: the press lands on the open pop-up (which has the pointer), the release
// where the pointer is once the menu has closed.
class SpeedButtonRealMenuTest : public SpeedButtonTest {
 protected:
  void SetUp() override {
    SpeedButtonTest::SetUp();
    menu.Add("First");
    menu.OnPopup = [this](QObject*) { ++shows; };
    button->SetDropDownMenu(&menu);
    button->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int, int) { ++buttonPresses; };
  }

  // Presses the button; while its menu is open, clicks at a point of the form.
  void OpenAndClickAt(QPoint inForm) {
    QTimer::singleShot(0, &form, [this, inForm] {
      QWindow* popup = menu.Menu()->windowHandle();
      ASSERT_NE(popup, nullptr);
      QTest::mousePress(popup, Qt::LeftButton, {}, popup->mapFromGlobal(form.mapToGlobal(inForm)));
    });
    QTimer::singleShot(3000, &form, [this] { menu.Menu()->close(); });  // never hang
    Press(button);
    QCoreApplication::processEvents();  // what the press left pending comes before the release
    QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, inForm);
    QCoreApplication::processEvents();
  }

  TPopupMenu menu;
  int shows = 0;
  int buttonPresses = 0;
};

TEST_F(SpeedButtonRealMenuTest, ClickOnTheButtonClosesItsMenuWithoutReopeningIt) {
  OpenAndClickAt(button->geometry().topLeft() + QPoint(5, 5));
  EXPECT_EQ(shows, 1);
  EXPECT_FALSE(menu.Menu()->isVisible());
  EXPECT_EQ(buttonPresses, 1);  // the closing press never reached the button
  EXPECT_EQ(clicks, 0);
  TMsg pending;
  EXPECT_FALSE(PeekMessageA(pending, nullptr, 0, 0, PM_NOREMOVE));

  // The button is left ready: the next press opens the menu again.
  OpenAndClickAt(QPoint(190, 110));
  EXPECT_EQ(shows, 2);
}

TEST_F(SpeedButtonRealMenuTest, ClickElsewhereClosesTheMenuAndReachesWhatWasClicked) {
  TVxSpeedButton* other = AddButton(0);
  other->SetBounds(150, 80, 30, 25);  // clear of the open menu
  int otherClicks = 0;
  other->OnClick = [&](QObject*) { ++otherClicks; };
  OpenAndClickAt(other->geometry().topLeft() + QPoint(5, 5));
  EXPECT_EQ(shows, 1);
  EXPECT_FALSE(menu.Menu()->isVisible());
  EXPECT_EQ(otherClicks, 1);
  EXPECT_EQ(clicks, 0);
}
