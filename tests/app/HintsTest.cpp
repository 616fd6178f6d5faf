#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QToolTip>

#include "Hints.h"
#include "Sound.h"
#include "TFlatHintUnit.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::TempProgramFolder;

TEST(MainWindowHints, ShowInTheFlatHintWindowWithTheMainWindowsSettingsInsteadOfThePlainToolTip) {
  SetSoundDevice("null");
  TempProgramFolder folder;
  testing_support::MessageBoxRecorder boxes;
  TForm_Main window;
  ASSERT_TRUE(testing_support::ShowActive(window, {100, 100}));
  TApplicationHints& hints = TApplicationHints::Instance();
  EXPECT_EQ(TFlatHintWindow::FindFlatHint(), window.FlatHint1);
  EXPECT_EQ(window.FlatHint1->MaxHintWidth, 300);

  TVxSpeedButton* button = window.Controls().Button_New;
  QTest::mouseMove(button, QPoint(20, 20));
  ASSERT_TRUE(QTest::qWaitFor([&] { return hints.HintWindow() && hints.HintWindow()->isVisible(); }, 2000));
  auto* hint = dynamic_cast<TFlatHintWindow*>(hints.HintWindow());
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->Caption(), "Create a new blank card");
  EXPECT_EQ(hint->FlatHint(), window.FlatHint1);
  // The top-left quarter of the screen: below right of the pointer, 12 pixels away.
  EXPECT_EQ(hint->Corner(), 1);
  EXPECT_EQ(hint->pos(), button->mapToGlobal(QPoint(20, 20)) + QPoint(12, 12));
  EXPECT_FALSE(QToolTip::isVisible());

  // On to the next button: its hint follows after the short pause.
  QTest::mouseMove(window.Controls().Button_Undo, QPoint(20, 20));
  ASSERT_TRUE(QTest::qWaitFor([&] { return hint->Caption() == "Undo last action"; }, 1000)) << hint->Caption();
  EXPECT_TRUE(hint->isVisible());
  EXPECT_FALSE(QToolTip::isVisible());
}

}  // namespace
