#include "Controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QTest>
#include <vector>

#include "ActnList.h"

namespace {

// Records the messages and mouse calls a control receives.
class RecordingControl final : public TControl {
 public:
  using TControl::TControl;
  std::vector<unsigned> Messages;
  std::vector<TPoint> Downs;
  std::intptr_t Answer = 0;

 protected:
  void WndProc(TMessage& message) override {
    Messages.push_back(message.Msg);
    TControl::WndProc(message);
    if (message.Msg == WM_USER) message.Result = Answer;
  }
  void MouseDown(TMouseButton, TShiftState, int x, int y) override { Downs.push_back({x, y}); }
};

bool Received(const RecordingControl& c, unsigned msg) {
  return std::find(c.Messages.begin(), c.Messages.end(), msg) != c.Messages.end();
}

}  // namespace

TEST(ControlsTest, MouseLParamHoldsSignedCoordinates) {
  const struct { int x, y; } cases[] = {{0, 0}, {5, 7}, {-1, -1}, {-300, 400}, {32767, -32768}};
  for (const auto& c : cases) EXPECT_EQ(LParamToPoint(PointToLParam(c.x, c.y)), (TPoint{c.x, c.y}));
}

TEST(ControlsTest, AcceleratorIsTheCharacterAfterASingleAmpersand) {
  EXPECT_TRUE(IsAccel('x', "E&xit"));
  EXPECT_TRUE(IsAccel('X', "E&xit"));
  EXPECT_FALSE(IsAccel('e', "E&xit"));
  EXPECT_TRUE(IsAccel('c', "Fish && &Chips"));
  EXPECT_FALSE(IsAccel('&', "A && B"));
  EXPECT_FALSE(IsAccel('x', "Exit&"));
}

TEST(ControlsTest, QtChangesArriveAsControlNotifications) {
  QWidget parent;
  RecordingControl control(&parent);
  control.setEnabled(false);
  control.SetCaption("Go");
  control.SetCaption("Go");
  control.setFont(QFont(QStringLiteral("DejaVu Serif"), 14));
  control.hide();
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(&control, &enter);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&control, &leave);
  const auto count = [&](unsigned msg) { return std::count(control.Messages.begin(), control.Messages.end(), msg); };
  EXPECT_EQ(count(CM_ENABLEDCHANGED), 1);
  EXPECT_EQ(count(CM_TEXTCHANGED), 1);
  EXPECT_GE(count(CM_FONTCHANGED), 1);
  EXPECT_EQ(count(CM_VISIBLECHANGED), 1);
  EXPECT_EQ(count(CM_MOUSEENTER), 1);
  EXPECT_EQ(count(CM_MOUSELEAVE), 1);
}

TEST(ControlsTest, PaletteChangeArrivesAsSystemColourNotification) {
  QWidget parent;
  RecordingControl control(&parent);
  parent.show();
  QCoreApplication::processEvents();
  const QPalette saved = QApplication::palette();
  QPalette palette = saved;
  palette.setColor(QPalette::Button, Qt::red);
  QApplication::setPalette(palette);
  QCoreApplication::processEvents();
  QApplication::setPalette(saved);
  QCoreApplication::processEvents();
  EXPECT_EQ(std::count(control.Messages.begin(), control.Messages.end(), CM_SYSCOLORCHANGE), 2);
}

TEST(ControlsTest, FontColourTravelsWithTheFontAndParentFontRestoresIt) {
  QWidget parent;
  TControl control(&parent);
  EXPECT_TRUE(control.ParentFont());
  TFont font = control.Font();
  font.Color = clRed;
  control.SetFont(font);
  EXPECT_FALSE(control.ParentFont());
  EXPECT_EQ(control.Font().Color, clRed);
  control.SetParentFont(true);
  EXPECT_EQ(control.Font().Color, clWindowText);
}

TEST(ControlsTest, MousePressGivesClientCoordinatesAndTheCapture) {
  QWidget parent;
  parent.resize(100, 100);
  RecordingControl control(&parent);
  control.setGeometry(10, 10, 30, 30);
  parent.show();
  QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(4, 6));
  ASSERT_EQ(control.Downs.size(), 1u);
  EXPECT_EQ(control.Downs[0], (TPoint{4, 6}));
  EXPECT_TRUE(control.MouseCapture());
  QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(4, 6));
  EXPECT_FALSE(control.MouseCapture());
}

TEST(ControlsTest, ClickEventsFollowAReleaseInsideOnly) {
  QWidget parent;
  TControl control(&parent);
  control.setGeometry(0, 0, 20, 20);
  parent.show();
  int clicks = 0;
  control.OnClick = [&](QObject*) { ++clicks; };
  QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(25, 5));
  EXPECT_EQ(clicks, 1);
}

TEST(ControlsTest, BroadcastStopsAtTheFirstControlThatAnswers) {
  QWidget parent;
  RecordingControl first(&parent);
  RecordingControl second(&parent);
  RecordingControl third(&parent);
  QWidget plain(&parent);
  second.Answer = 7;
  TMessage message{WM_USER, 1, 2, 0};
  EXPECT_EQ(BroadcastToControls(&parent, message), 7);
  EXPECT_TRUE(Received(first, WM_USER));
  EXPECT_TRUE(Received(second, WM_USER));
  EXPECT_FALSE(Received(third, WM_USER));
}

TEST(ControlsTest, GraphicControlPaintsThroughItsCanvas) {
  class Red final : public TGraphicControl {
   public:
    using TGraphicControl::TGraphicControl;

   protected:
    void Paint() override {
      Canvas().Brush.Color = clRed;
      Canvas().FillRect(Rect(0, 0, width(), height()));
    }
  };
  QWidget parent;
  parent.resize(50, 50);
  Red control(&parent);
  control.setGeometry(5, 5, 10, 10);
  const QImage grabbed = parent.grab().toImage();
  EXPECT_EQ(grabbed.pixel(7, 7), qRgb(255, 0, 0));
}

TEST(ActionLinkTest, ActionSuppliesCaptionAndStateAndRunsOnClick) {
  QWidget parent;
  TControl control(&parent);
  TAction action;
  action.SetCaption("Open");
  int executed = 0;
  action.OnExecute = [&](QObject*) { ++executed; };
  control.SetAction(&action);
  EXPECT_EQ(control.Caption(), "Open");
  action.SetEnabled(false);
  EXPECT_FALSE(control.isEnabled());
  control.Click();
  EXPECT_EQ(executed, 1);
  int clicked = 0;
  control.OnClick = [&](QObject*) { ++clicked; };
  control.Click();
  EXPECT_EQ(clicked, 1);
  EXPECT_EQ(executed, 1);
}

TEST(ActionLinkTest, FreedActionIsForgotten) {
  QWidget parent;
  TControl control(&parent);
  {
    TAction action;
    control.SetAction(&action);
    EXPECT_EQ(control.Action(), &action);
  }
  EXPECT_EQ(control.Action(), nullptr);
  control.Click();
}

namespace {

struct DragScene {
  QWidget window;
  TControl* source = new TControl(&window);
  TControl* target = new TControl(&window);
  std::vector<TDragState> states;
  std::vector<QObject*> dropped;
  std::vector<QObject*> ended;
  TPoint dropAt;
  bool accept = true;
  int starts = 0;

  DragScene() {
    window.resize(200, 100);
    source->setGeometry(10, 10, 30, 30);
    target->setGeometry(100, 10, 40, 40);
    source->DragMode = TDragMode::dmAutomatic;
    source->OnStartDrag = [this](QObject*) { ++starts; };
    source->OnEndDrag = [this](QObject*, QObject* t, int, int) { ended.push_back(t); };
    target->OnDragOver = [this](QObject*, QObject* s, int, int, TDragState state, bool& ok) {
      EXPECT_EQ(s, source);
      states.push_back(state);
      ok = accept;
    };
    target->OnDragDrop = [this](QObject*, QObject* s, int x, int y) {
      dropped.push_back(s);
      dropAt = {x, y};
    };
    window.show();
  }
  // A point of the target in the source's coordinates.
  QPoint OnTarget(QPoint p) const { return source->mapFromGlobal(target->mapToGlobal(p)); }
};

}  // namespace

TEST(DragTest, AutomaticDragDropsOnATargetThatAccepts) {
  DragScene scene;
  int clicks = 0;
  scene.source->OnClick = [&](QObject*) { ++clicks; };
  QTest::mousePress(scene.source, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(scene.source->Dragging());
  EXPECT_EQ(scene.starts, 1);
  QTest::mouseMove(scene.source, scene.OnTarget(QPoint(3, 4)));
  QTest::mouseMove(scene.source, scene.OnTarget(QPoint(6, 7)));
  QTest::mouseRelease(scene.source, Qt::LeftButton, {}, scene.OnTarget(QPoint(6, 7)));
  EXPECT_FALSE(scene.source->Dragging());
  EXPECT_EQ(scene.states, (std::vector<TDragState>{TDragState::dsDragEnter, TDragState::dsDragMove}));
  EXPECT_EQ(scene.dropped, (std::vector<QObject*>{scene.source}));
  EXPECT_EQ(scene.dropAt, (TPoint{6, 7}));
  EXPECT_EQ(scene.ended, (std::vector<QObject*>{scene.target}));
  EXPECT_EQ(clicks, 0);
}

TEST(DragTest, RefusedOrLeftTargetGetsNoDrop) {
  DragScene scene;
  scene.accept = false;
  QTest::mousePress(scene.source, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(scene.source, scene.OnTarget(QPoint(3, 4)));
  QTest::mouseRelease(scene.source, Qt::LeftButton, {}, scene.OnTarget(QPoint(3, 4)));
  EXPECT_TRUE(scene.dropped.empty());
  EXPECT_EQ(scene.ended, (std::vector<QObject*>{nullptr}));

  scene.accept = true;
  scene.states.clear();
  QTest::mousePress(scene.source, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(scene.source, scene.OnTarget(QPoint(3, 4)));
  QTest::mouseMove(scene.source, QPoint(5, 5));
  QTest::mouseRelease(scene.source, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(scene.states, (std::vector<TDragState>{TDragState::dsDragEnter, TDragState::dsDragLeave}));
  EXPECT_TRUE(scene.dropped.empty());
}

TEST(DragTest, EscapeCancelsAndAThresholdDelaysTheStart) {
  DragScene scene;
  QTest::mousePress(scene.source, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(scene.source, scene.OnTarget(QPoint(3, 4)));
  QTest::keyClick(&scene.window, Qt::Key_Escape);
  EXPECT_FALSE(scene.source->Dragging());
  QTest::mouseRelease(scene.source, Qt::LeftButton, {}, scene.OnTarget(QPoint(3, 4)));
  EXPECT_TRUE(scene.dropped.empty());
  EXPECT_EQ(scene.states.back(), TDragState::dsDragLeave);

  scene.source->DragMode = TDragMode::dmManual;
  scene.starts = 0;
  QCursor::setPos(scene.source->mapToGlobal(QPoint(5, 5)));
  scene.source->BeginDrag(false, 50);
  QTest::mousePress(scene.source, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(scene.source, QPoint(15, 5));
  EXPECT_EQ(scene.starts, 0);
  QTest::mouseMove(scene.source, scene.OnTarget(QPoint(3, 4)));
  EXPECT_EQ(scene.starts, 1);
  QTest::mouseRelease(scene.source, Qt::LeftButton, {}, scene.OnTarget(QPoint(3, 4)));
  EXPECT_EQ(scene.dropped.size(), 1u);
}
