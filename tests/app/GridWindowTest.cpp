#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ActnList.h"
#include "CardListModel.h"
#include "ComCtrls.h"
#include "FakeOpener.h"
#include "Form_Grid.h"
#include "Menus.h"
#include "Sound.h"
#include "TapiDial.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_Grid.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::ChooseFromMenu;
using testing_support::FakeOpener;
using testing_support::MenuItem;
using testing_support::MessageBoxRecorder;
using testing_support::TempProgramFolder;
using testing_support::UserClick;
using testing_support::WhileMenuOpen;

std::string CardLine(std::string_view surname, std::string_view first, std::string_view phone = "",
                     std::string_view email = "", std::string_view web = "", std::string_view street = "") {
  CardValues values{};
  values[cfSurname] = surname;
  values[cfFirstName] = first;
  values[cfPhone] = phone;
  values[cfEmail] = email;
  values[cfWebsite] = web;
  values[cfAddress] = street;
  return BuildCardLine(values);
}

// The main window over a book; the list view is opened through its Grid button.
class GridWindow : public testing::Test {
 protected:
  void SetUp() override { SetSoundDevice("null"); }
  void TearDown() override { Window.reset(); }

  void Start(const std::vector<std::string>& cards) {
    if (!cards.empty()) testing_support::WriteBook(Folder.Path / "AddressBook.abk", cards);
    Window = std::make_unique<TForm_Main>();
    ASSERT_TRUE(testing_support::ShowActive(*Window, {200, 150}));
  }

  // Clicks Grid and, once the list view is active, runs drive on it; closes it if still open.
  TFormGrid* Grid(const std::function<void(TFormGrid&)>& drive) {
    return testing_support::DriveModal(
        Window.get(), [this] { UserClick(Window->Controls().VxSpeedButton3); }, drive);
  }

  QString Surname() { return Window->Controls().Edit_SurName->text(); }

  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  MessageBoxRecorder Boxes;
};

std::vector<std::string> Names(const TFormGrid& grid) {
  std::vector<std::string> names;
  for (int row = 0; row < grid.Model().rowCount(); ++row)
    names.emplace_back(grid.Model().Text(row, TCardListModel::colName));
  return names;
}

QRect ItemRect(TFormGrid& grid, int row) {
  QAbstractItemView* view = grid.Controls().LV->CurrentView();
  return view->visualRect(grid.Model().index(row, 0));
}

void ClickRow(TFormGrid& grid, int row, Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(grid.Controls().LV->CurrentView()->viewport(), Qt::LeftButton, modifiers,
                    ItemRect(grid, row).center());
}

// Right-clicks the row's item, which pops up the list's menu.
void RightClickRow(TFormGrid& grid, int row) {
  QWidget* viewport = grid.Controls().LV->CurrentView()->viewport();
  const QPoint at = ItemRect(grid, row).center();
  QTest::mouseClick(viewport, Qt::RightButton, {}, at);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
  QApplication::sendEvent(viewport, &event);
}

// Right-clicks the row's item and chooses caption from the list's menu.
void ChooseForRow(TFormGrid& grid, int row, const QString& caption) {
  ChooseFromMenu([&] { RightClickRow(grid, row); }, caption);
}

// Chooses the sort key or the view from the drop-down menu of the button beside the list.
void ChooseSort(TFormGrid& grid, int key) {
  ChooseFromMenu(grid.Controls().VxSpeedButton3, grid.PMSRT->Items(key)->Action());
}
void ChooseView(TFormGrid& grid, int view) {
  ChooseFromMenu(grid.Controls().VxSpeedButton4, grid.PMView->Items(view)->Action());
}

void SelectRows(TFormGrid& grid, std::initializer_list<int> rows) {
  grid.Controls().LV->ClearSelection();
  for (int row : rows) ClickRow(grid, row, Qt::ControlModifier);
}

// Drags the selected items from row onto target, as the mouse does.
void DragRowOnto(TFormGrid& grid, int row, QWidget* target) {
  QWidget* viewport = grid.Controls().LV->CurrentView()->viewport();
  const QPoint from = ItemRect(grid, row).center();
  QTest::mousePress(viewport, Qt::LeftButton, {}, from);
  for (int step = 1; step <= 3; ++step) QTest::mouseMove(viewport, from + QPoint(10 * step, 0));
  EXPECT_TRUE(grid.Controls().LV->Dragging());
  const QPoint onTarget = viewport->mapFromGlobal(target->mapToGlobal(target->rect().center()));
  QTest::mouseMove(viewport, onTarget);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, onTarget);
}

TEST_F(GridWindow, EmptyBookShowsTheMessageAndOpensNothing) {
  Start({});
  EXPECT_EQ(Grid([](TFormGrid&) {}), nullptr);
  EXPECT_EQ(Boxes.Shown, (std::vector<AnsiString>{"Your Address Book is Empty - ZuruVavad is not available"}));
}

TEST_F(GridWindow, GoToTakesBackExactlyTheCardClicked) {
  // Duplicate names, a name that is a prefix of another, a card without surname and one with no name.
  Start({CardLine("Leeds", "Tom", "", "t@x.org"), CardLine("Lee", "Ann"), CardLine("Lee", "Ann", "", "", "", "2nd"),
         CardLine("", "Solo"), CardLine("", "")});
  Window->Controls().Edit_SurName->setFocus();
  struct Case {
    std::function<void(TFormGrid&)> choose;
    int card;  // -1: the card on view stays
  };
  auto rowOfCard = [](TFormGrid& grid, int card) {
    for (int row = 0; row < grid.Model().rowCount(); ++row)
      if (grid.Model().CardOf(row) == card) return row;
    return -1;
  };
  const Case cases[] = {
      {[&](TFormGrid& g) {
         QTest::mouseDClick(g.Controls().LV->CurrentView()->viewport(), Qt::LeftButton, {},
                            ItemRect(g, rowOfCard(g, 1)).center());
       },
       1},
      {[&](TFormGrid& g) {
         QTest::mouseDClick(g.Controls().LV->CurrentView()->viewport(), Qt::LeftButton, {},
                            ItemRect(g, rowOfCard(g, 2)).center());
       },
       2},
      {[&](TFormGrid& g) {
         ClickRow(g, rowOfCard(g, 4));
         ChooseFromMenu([&] { RightClickRow(g, rowOfCard(g, 4)); }, QStringLiteral("Go To"));
       },
       4},
      // A double-click on no item clears the selection and closes without a card.
      {[&](TFormGrid& g) {
         ClickRow(g, rowOfCard(g, 0));
         QWidget* viewport = g.Controls().LV->CurrentView()->viewport();
         QTest::mouseDClick(viewport, Qt::LeftButton, {}, viewport->rect().bottomRight() - QPoint(5, 5));
       },
       -1},
      {[&](TFormGrid& g) {
         ClickRow(g, rowOfCard(g, 0));
         UserClick(g.Controls().VxSpeedButton5);
       },
       -1},
  };
  int onView = 0;
  for (const Case& c : cases) {
    TFormGrid* grid = Grid([&](TFormGrid& g) {
      EXPECT_EQ(Names(g), (std::vector<std::string>{"", "Lee Ann", "Lee Ann", "Leeds Tom", "Solo"}));
      c.choose(g);
      EXPECT_FALSE(g.isVisible());
    });
    ASSERT_NE(grid, nullptr);
    if (c.card >= 0) onView = c.card;
    EXPECT_EQ(grid->SelectedCard, c.card);
    EXPECT_EQ(Window->CurrentCard, onView);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
  }
  EXPECT_EQ(Window->Controls().Edit_Address->text(), QString());
}

TEST_F(GridWindow, OpensCentredOnTheMainWindowAndStoresTheEditedCardFirst) {
  Start({CardLine("Baker", "Bob")});
  UserClick(Window->Controls().Button_New);
  QTest::keyClicks(Window->Controls().Edit_SurName, QStringLiteral("Adams"));
  Grid([&](TFormGrid& g) {
    const QRect main = Window->frameGeometry();
    EXPECT_EQ(g.frameGeometry().left(), main.left() + (main.width() - g.frameGeometry().width()) / 2);
    EXPECT_EQ(g.frameGeometry().top(), main.top() + (main.height() - g.frameGeometry().height()) / 2);
    EXPECT_EQ(g.size(), QSize(500, 360));
    EXPECT_EQ(Names(g), (std::vector<std::string>{"Adams", "Baker Bob"}));
    EXPECT_EQ(g.Controls().LV->geometry(), QRect(7, 67, 483, 259));
  });
  EXPECT_EQ(Window->Cards.Count(), 2);
}

TEST_F(GridWindow, SortsByMenuAndByColumnAndKeepsKeyAndViewBetweenOpenings) {
  Start({CardLine("lee", "", "3", "", "", "9 High St"), CardLine("Zed", "", "1"),
         CardLine("Abe", "", "", "", "", "1 Low St"), CardLine("\xC9mile", "", "2", "", "", "5 Mid St")});
  Grid([&](TFormGrid& g) {
    QAbstractItemModelTester tester(&g.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(Names(g), (std::vector<std::string>{"Abe", "Zed", "lee", "\xC9mile"}));
    ChooseSort(g, 1);  // Address: the empty one first
    EXPECT_EQ(Names(g), (std::vector<std::string>{"Zed", "Abe", "\xC9mile", "lee"}));
    ChooseView(g, 3);
    ASSERT_TRUE(g.Controls().LV->ReportView()->isVisible());
    QHeaderView* header = g.Controls().LV->ReportView()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));  // Phone
    EXPECT_EQ(g.SortColumn, 1);
    EXPECT_EQ(Names(g), (std::vector<std::string>{"Abe", "Zed", "\xC9mile", "lee"}));
    // The menu keeps its earlier check mark.
    EXPECT_TRUE(g.ActionSort[1]->Checked());
    EXPECT_TRUE(g.PMSRT->Items(1)->Checked());
    EXPECT_FALSE(g.PMSRT->Items(2)->Checked());
    EXPECT_EQ(g.LVCompare(0, 1), -1);
  });
  Grid([&](TFormGrid& g) {
    EXPECT_EQ(g.SortColumn, 1);
    EXPECT_EQ(Names(g), (std::vector<std::string>{"Abe", "Zed", "\xC9mile", "lee"}));
    EXPECT_TRUE(g.Controls().LV->ReportView()->isVisible());
    EXPECT_TRUE(g.PMView->Items(3)->Checked());
    EXPECT_EQ(g.Controls().LV->SelCount(), 0);
    ChooseSort(g, 0);
    EXPECT_EQ(Names(g), (std::vector<std::string>{"Abe", "Zed", "lee", "\xC9mile"}));
  });
}

TEST_F(GridWindow, FourViewsShareOneSelection) {
  Start({CardLine("A", ""), CardLine("B", ""), CardLine("C", "")});
  Grid([&](TFormGrid& g) {
    TListView* list = g.Controls().LV;
    EXPECT_EQ(list->ViewStyle(), TViewStyle::vsIcon);
    SelectRows(g, {0, 2});
    const std::pair<int, TViewStyle> views[] = {
        {3, TViewStyle::vsReport}, {2, TViewStyle::vsList}, {1, TViewStyle::vsSmallIcon}, {0, TViewStyle::vsIcon}};
    for (const auto& [action, style] : views) {
      ChooseView(g, action);
      EXPECT_EQ(list->ViewStyle(), style);
      EXPECT_EQ(list->ReportView()->isVisible(), style == TViewStyle::vsReport);
      EXPECT_EQ(list->ItemsView()->isVisible(), style != TViewStyle::vsReport);
      for (int i = 0; i < 4; ++i) EXPECT_EQ(g.ActionView[i]->Checked(), i == action);
      EXPECT_EQ(list->SelectedRows(), (std::vector<int>{0, 2}));
    }
    // A selection made in the report is whole rows, seen by the icons too.
    ChooseView(g, 3);
    ClickRow(g, 1);
    ChooseView(g, 0);
    EXPECT_TRUE(list->ItemsView()->selectionModel()->isSelected(g.Model().index(1, 0)));
    EXPECT_EQ(list->SelectedRows(), (std::vector<int>{1}));
  });
}

TEST_F(GridWindow, MailVisitAndTheContextMenuWorkOnTheSelection) {
  Start({CardLine("A", "", "", "a@x.org", "HTTP://A.example"), CardLine("B", "", "555"),
         CardLine("C", "", "", "c d@y.org?cc=z", "c.example")});
  FakeOpener opener(Folder);
  Grid([&](TFormGrid& g) {
    // The menu's items, visible and enabled, as the right-click at shows them.
    using Items = std::vector<std::pair<bool, bool>>;
    auto menuAt = [&](const QPoint& at) {
      Items items;
      QWidget* viewport = g.Controls().LV->CurrentView()->viewport();
      WhileMenuOpen(
          [&] {
            QTest::mouseClick(viewport, Qt::RightButton, {}, at);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
            QApplication::sendEvent(viewport, &event);
          },
          [&](QMenu& menu) {
            for (const char* caption : {"&Dial", "&Mail", "&Visit", "Go To"}) {
              const QAction* item = MenuItem(menu, QString::fromLatin1(caption));
              items.emplace_back(item != nullptr, item && item->isEnabled());
            }
          });
      return items;
    };
    const QPoint nowhere = g.Controls().LV->CurrentView()->viewport()->rect().bottomRight() - QPoint(5, 5);
    EXPECT_EQ(menuAt(nowhere), (Items{{false, false}, {false, false}, {false, false}, {false, false}}));

    SelectRows(g, {1, 0});
    // The first selected in list order is A.
    EXPECT_EQ(menuAt(ItemRect(g, 1).center()), (Items{{true, false}, {true, true}, {true, true}, {true, true}}));
    SelectRows(g, {1});
    EXPECT_EQ(menuAt(ItemRect(g, 1).center()), (Items{{true, true}, {true, false}, {true, false}, {true, true}}));
    EXPECT_EQ(g.Controls().LV->SelectedRows(), (std::vector<int>{1}));

    UserClick(g.Controls().VxSpeedButton1);  // the buttons stay enabled; B has no address: nothing
    SelectRows(g, {0, 1, 2});
    ChooseForRow(g, 0, QStringLiteral("&Mail"));
    (void)opener.Opened(1);  // each detached opener writes before the next one starts
    EXPECT_EQ(g.Controls().LV->SelectedRows(), (std::vector<int>{0, 1, 2}));
    ChooseForRow(g, 0, QStringLiteral("&Visit"));
    (void)opener.Opened(2);
    SelectRows(g, {2});
    UserClick(g.Controls().VxSpeedButton2);
  });
  EXPECT_EQ(opener.Opened(3), "mailto:a@x.org,c%20d@y.org%3Fcc%3Dz\nHTTP://A.example\nhttp://c.example\n");
}

TEST_F(GridWindow, DroppingSelectedItemsOnTheButtonsMailsAndVisits) {
  Start({CardLine("A", "", "", "a@x.org"), CardLine("B", "", "", "b@x.org", "b.example")});
  FakeOpener opener(Folder);
  Grid([&](TFormGrid& g) {
    SelectRows(g, {0, 1});
    DragRowOnto(g, 0, g.Controls().VxSpeedButton1);           // the whole selection goes
    EXPECT_EQ(opener.Opened(1), "mailto:a@x.org,b@x.org\n");  // written before the next opener starts
    EXPECT_EQ(g.Controls().LV->SelectedRows(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(g.isVisible());
    ChooseView(g, 3);
    g.Controls().LV->Selection()->select(g.Model().index(1, 0), QItemSelectionModel::ClearAndSelect);
    DragRowOnto(g, 1, g.Controls().VxSpeedButton2);
    // Only a list view is taken.
    bool accept = true;
    g.Button_1DragOver(g.Controls().Button_1, g.Controls().VxSpeedButton4, 0, 0, TDragState::dsDragEnter, accept);
    EXPECT_FALSE(accept);
    g.Button_1DragOver(g.Controls().Button_1, g.Controls().LV, 0, 0, TDragState::dsDragEnter, accept);
    EXPECT_TRUE(accept);
  });
  EXPECT_EQ(opener.Opened(2), "mailto:a@x.org,b@x.org\nhttp://b.example\n");
}

TEST_F(GridWindow, DialHandsTheSelectedPhoneToTheMainWindowsDialer) {
  // No system bus, so no modem: the dialer reports that the call failed.
  setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + Folder.File("no-bus")).c_str(), 1);
  Start({CardLine("A", ""), CardLine("B", "", " 555 1234 "), CardLine("C", "", "777")});
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  Grid([&](TFormGrid& g) {
    SelectRows(g, {0});
    UserClick(g.Controls().Button_1);  // no phone: nothing
    EXPECT_TRUE(Boxes.Shown.empty());
    SelectRows(g, {2, 1});
    UserClick(g.Controls().Button_1);
    EXPECT_EQ(Window->TapiDialer->TelephonNo(), "555 1234");
    g.Controls().LV->Selection()->select(g.Model().index(2, 0), QItemSelectionModel::ClearAndSelect);
    DragRowOnto(g, 2, g.Controls().Button_1);
    EXPECT_EQ(Window->TapiDialer->TelephonNo(), "777");
  });
  EXPECT_EQ(Boxes.Shown, (std::vector<AnsiString>{"Error during dialing?!", "Error during dialing?!"}));
}

TEST_F(GridWindow, RightClickMenuSortsAndSwitchesViewsFromItsSubmenus) {
  Start({CardLine("B", "", "1"), CardLine("A", "", "2")});
  Grid([&](TFormGrid& g) {
    // Right-clicks the first item and chooses submenu's entry caption from the menu.
    auto choose = [&](const QString& submenu, const QString& caption) {
      bool chosen = false;
      QTimer::singleShot(0, &g, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        EXPECT_TRUE(g.GotoOpt->Action()->isVisible());  // an item is selected
        for (QAction* action : menu->actions()) {
          if (action->text() != submenu) continue;
          menu->setActiveAction(action);
          QMenu* sub = action->menu();
          EXPECT_TRUE(QTest::qWaitFor([sub] { return sub->isVisible(); }, 5000)) << submenu.toStdString();
          for (QAction* entry : sub->actions())
            if (entry->text() == caption) {
              QTest::mouseClick(sub, Qt::LeftButton, {}, sub->actionGeometry(entry).center());
              chosen = true;
            }
        }
        if (!chosen) menu->close();
      });
      QWidget* viewport = g.Controls().LV->CurrentView()->viewport();
      const QPoint at = ItemRect(g, 0).center();
      QTest::mouseClick(viewport, Qt::RightButton, {}, at);
      QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
      QApplication::sendEvent(viewport, &event);
      EXPECT_TRUE(chosen) << caption.toStdString();
    };
    choose(QStringLiteral("Sort by"), QStringLiteral("Phone"));
    EXPECT_EQ(Names(g), (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(g.ActionSort[2]->Checked());
    choose(QStringLiteral("View"), QStringLiteral("List"));
    EXPECT_EQ(g.Controls().LV->ViewStyle(), TViewStyle::vsList);
  });
}

}  // namespace
