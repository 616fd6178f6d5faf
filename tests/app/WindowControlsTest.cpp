// Every window as it is built: the properties its layout gives its speed buttons and other custom
// controls, and how those buttons look at rest, hot and disabled.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QTest>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Form_About.h"
#include "Form_Export.h"
#include "Form_Grid.h"
#include "Form_Img.h"
#include "Form_Navigate.h"
#include "Form_Options.h"
#include "Form_Outlook.h"
#include "Form_Print.h"
#include "Form_PrintDlg.h"
#include "Form_Search.h"
#include "Menus.h"
#include "Sound.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"

namespace {

using testing_support::Card;
using testing_support::TempProgramFolder;

std::string NameOf(const QObject* object) {
  return object->objectName().toStdString();
}

// The window's name and the control's.
std::string NameOf(const QWidget* window, const QObject* control) {
  return NameOf(window) + "." + NameOf(control);
}

// The window's own speed buttons (not those of a window it owns).
std::vector<TVxSpeedButton*> SpeedButtons(QWidget* window) {
  std::vector<TVxSpeedButton*> buttons;
  for (QWidget* child : window->findChildren<QWidget*>())
    if (auto* button = dynamic_cast<TVxSpeedButton*>(child); button && button->window() == window)
      buttons.push_back(button);
  return buttons;
}

// The image without its outermost ring of pixels.
QImage Inside(const QImage& image) {
  return image.copy(1, 1, image.width() - 2, image.height() - 2);
}

// True when the picture shows the cell at some place: every pixel of the cell that is not of the
// transparent colour is found there.
bool ShowsCell(const QImage& picture, const QImage& cell, QRgb transparent) {
  for (int top = 0; top + cell.height() <= picture.height(); ++top)
    for (int left = 0; left + cell.width() <= picture.width(); ++left) {
      bool same = true;
      for (int y = 0; same && y < cell.height(); ++y)
        for (int x = 0; same && x < cell.width(); ++x) {
          const QRgb pixel = cell.pixel(x, y);
          same = pixel == transparent || picture.pixel(left + x, top + y) == pixel;
        }
      if (same) return true;
    }
  return false;
}

// The program's windows, each built as the program builds it, over a book of two cards.
class WindowControls : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    testing_support::WriteBook(Folder.Path / "AddressBook.abk", {Card("Ann"), Card("Bob")});
    Main = std::make_unique<TForm_Main>();
    Report = new TFormPrint(Main.get());
    Windows = {Main.get(),
               Own(std::make_unique<TFormOptions>()),
               Own(std::make_unique<TFormAbout>()),
               Own(std::make_unique<TFormImg>()),
               Own(std::make_unique<TFormGrid>()),
               Own(std::make_unique<TFormSearch>()),
               Own(std::make_unique<TFormNavigate>()),
               Own(std::make_unique<TFormExport>()),
               Own(std::make_unique<TFormOutlook>()),
               new TFormPrintDlg(Report, Main.get())};
  }
  void TearDown() override {
    Others.clear();
    Main.reset();
  }

  QWidget* Own(std::unique_ptr<QWidget> window) {
    Others.push_back(std::move(window));
    return Others.back().get();
  }
  template <class TWindow>
  TWindow* Find() const {
    for (QWidget* window : Windows)
      if (auto* found = dynamic_cast<TWindow*>(window)) return found;
    return nullptr;
  }

  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Main;
  std::vector<std::unique_ptr<QWidget>> Others;
  TFormPrint* Report = nullptr;
  std::vector<QWidget*> Windows;
};

TEST_F(WindowControls, SpeedButtonsCarryTheFiguresOfTheirLayouts) {
  std::map<std::string, int> perWindow;
  std::vector<std::string> marked;
  std::vector<std::string> withMargin;
  std::vector<std::string> twoCells;
  int menus = 0;
  for (QWidget* window : Windows)
    for (TVxSpeedButton* button : SpeedButtons(window)) {
      const std::string name = NameOf(window, button);
      ++perWindow[NameOf(window)];
      EXPECT_TRUE(button->Transparent()) << name;
      EXPECT_FALSE(button->GrayedInactive()) << name;
      EXPECT_FALSE(button->ParentFont()) << name;
      if (button->MarkDropDown()) marked.push_back(name);
      if (button->Margin() == 1) {
        withMargin.push_back(name);
        EXPECT_EQ(button->Layout(), blGlyphLeft) << name;
      }
      if (button->NumGlyphs() == 2) {
        twoCells.push_back(name);
        EXPECT_EQ(button->Glyph()->Width(), 2 * button->Glyph()->Height()) << name;
      }
      if (TPopupMenu* menu = button->DropDownMenu()) {
        ++menus;
        EXPECT_EQ(menu->Alignment, TPopupAlignment::paLeft) << name;
        EXPECT_EQ(button->MenuPosition(), dmpBottom) << name;
      }
    }
  // The six windows hold 41 of them; the search window's button is one more.
  const std::map<std::string, int> expected{{"TForm_Main", 20},  {"TFormOptions", 7}, {"TFormAbout", 4},
                                            {"TFormImg", 1},     {"TFormGrid", 6},    {"TFormSearch", 1},
                                            {"TFormPrintDlg", 3}};
  EXPECT_EQ(perWindow, expected);
  EXPECT_EQ(marked, std::vector<std::string>{"TFormGrid.VxSpeedButton4"});
  EXPECT_EQ(menus, 5);
  EXPECT_EQ(withMargin.size(), 4u);
  EXPECT_EQ(twoCells,
            (std::vector<std::string>{"TFormPrintDlg.BtnPrint", "TFormPrintDlg.BtnSetup", "TFormPrintDlg.BtnExit"}));
}

TEST_F(WindowControls, LayoutsSetOnlyPropertiesTheirControlsHave) {
  // A property the class does not have would be kept as a dynamic one.
  for (QWidget* window : Windows)
    for (const QObject* child : window->findChildren<QObject*>())
      for (const QByteArray& name : child->dynamicPropertyNames())
        if (!name.startsWith("_q_"))  // the style sheets' own marks
          ADD_FAILURE() << NameOf(window, child) << " has no property " << name.toStdString();
}

TEST_F(WindowControls, FlatButtonsAtRestLookAsHotWithoutTheirFrame) {
  for (QWidget* window : Windows) {
    QCursor::setPos(0, 0);  // away from every button
    ASSERT_TRUE(testing_support::ShowActive(*window, {150, 100})) << NameOf(window);
    for (TVxSpeedButton* button : SpeedButtons(window)) {
      if (!button->Flat() || !button->isVisible()) continue;
      const std::string name = NameOf(window, button);
      ASSERT_FALSE(button->MouseInside()) << name;
      const QImage rest = button->grab().toImage();
      button->Perform(CM_MOUSEENTER);
      ASSERT_TRUE(button->MouseInside()) << name;
      const QImage hot = button->grab().toImage();
      button->Perform(CM_MOUSELEAVE);
      EXPECT_TRUE(rest != hot) << name << ": the frame shows only while hot";
      EXPECT_TRUE(Inside(rest) == Inside(hot)) << name;
    }
    window->hide();
  }
}

TEST_F(WindowControls, OnlyTheListViewsViewButtonMarksItsMenu) {
  auto* options = Find<TFormOptions>();
  auto* grid = Find<TFormGrid>();
  for (QWidget* window : {static_cast<QWidget*>(options), static_cast<QWidget*>(grid)}) {
    ASSERT_TRUE(testing_support::ShowActive(*window));
    for (TVxSpeedButton* button : SpeedButtons(window)) {
      TPopupMenu* menu = button->DropDownMenu();
      if (!menu) continue;
      const QImage withMenu = button->grab().toImage();
      button->SetDropDownMenu(nullptr);
      const QImage withoutMenu = button->grab().toImage();
      button->SetDropDownMenu(menu);
      const bool markDrawn = withMenu != withoutMenu;
      EXPECT_EQ(markDrawn, button->Caption() == "V&iew") << NameOf(button);
    }
    window->hide();
  }
}

TEST_F(WindowControls, DisabledPrintButtonsShowTheirOwnDisabledCell) {
  auto* dialog = Find<TFormPrintDlg>();
  for (const char* name : {"BtnPrint", "BtnSetup", "BtnExit"}) {
    auto* button = dynamic_cast<TVxSpeedButton*>(dialog->findChild<QWidget*>(QString::fromLatin1(name)));
    ASSERT_NE(button, nullptr) << name;
    const QImage glyph = button->Glyph()->Image();
    const int cell = glyph.width() / 2;
    const QImage up = glyph.copy(0, 0, cell, glyph.height());
    const QImage disabled = glyph.copy(cell, 0, cell, glyph.height());
    const QRgb transparent = glyph.pixel(0, glyph.height() - 1);
    ASSERT_TRUE(up != disabled) << name;
    button->PaintCanvas();
    EXPECT_TRUE(ShowsCell(button->CanvasImage(), up, transparent)) << name;
    button->setEnabled(false);
    button->PaintCanvas();
    EXPECT_TRUE(ShowsCell(button->CanvasImage(), disabled, transparent)) << name;
    EXPECT_FALSE(ShowsCell(button->CanvasImage(), up, transparent)) << name;
  }
}

}  // namespace
