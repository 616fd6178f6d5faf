#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <functional>
#include <map>

#include "Buttons.h"
#include "CardBook.h"
#include "CodePage.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormFrame.h"
#include "Form_Navigate.h"
#include "Form_Search.h"
#include "Jpeg.h"
#include "QMWave.h"
#include "Sound.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "UserInput.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_Navigate.h"
#include "ui_Form_Search.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::Card;
using testing_support::MessageBoxRecorder;
using testing_support::TempProgramFolder;
using testing_support::UserClick;
using testing_support::WriteBytes;

void WriteJpeg(const std::filesystem::path& file, QRgb colour) {
  testing_support::WriteJpeg(file, 300, 300, colour);
}

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

// The main window over a program folder with two colour schemes (blue, then red); the search
// window and the letter list are opened through its Find and List buttons.
class SecondaryWindows : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    std::filesystem::create_directories(Folder.Path / "skins");
    WriteJpeg(Folder.Path / "skins" / "blue1.jpg", qRgb(0, 0, 200));
    WriteJpeg(Folder.Path / "skins" / "blue2.jpg", qRgb(0, 0, 100));
    WriteJpeg(Folder.Path / "skins" / "red1.jpg", qRgb(200, 0, 0));
    WriteJpeg(Folder.Path / "skins" / "red2.jpg", qRgb(100, 0, 0));
  }

  void TearDown() override { Window.reset(); }

  void Start(std::initializer_list<std::string> cards) {
    if (cards.size() > 0) testing_support::WriteBook(Folder.Path / "AddressBook.abk", cards);
    Window = std::make_unique<TForm_Main>();
    ASSERT_TRUE(testing_support::ShowActive(*Window, {200, 150}));
  }

  // Clicks a launcher and, once the modal window it opens is active, runs drive on it; a window
  // still open afterwards is closed. The window opened, or nullptr when none did.
  template <class TWindow>
  TWindow* Open(TVxSpeedButton* launcher, const std::function<void(TWindow&)>& drive) {
    return testing_support::DriveModal(
        Window.get(), [launcher] { UserClick(launcher); }, drive);
  }
  TFormSearch* Find(const std::function<void(TFormSearch&)>& drive) { return Open(Ui().Button_Search, drive); }
  TFormNavigate* List(const std::function<void(TFormNavigate&)>& drive) { return Open(Ui().Button_List, drive); }

  Ui::TForm_Main& Ui() { return Window->Controls(); }
  QString Surname() { return Ui().Edit_SurName->text(); }

  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  MessageBoxRecorder Boxes;
};

void SetText(QLineEdit* edit, const QString& text) {
  edit->clear();
  QTest::keyClicks(edit, text);
}

std::vector<AnsiString> Entries(const TListBox& list) {
  std::vector<AnsiString> entries;
  for (int i = 0; i < list.Count(); ++i) entries.emplace_back(list.Items(i));
  return entries;
}

std::vector<TSpeedButton*> LetterButtons(TFormNavigate& window) {
  std::vector<TSpeedButton*> buttons;
  for (char c = 'A'; c <= 'Z'; ++c)
    buttons.push_back(window.findChild<TSpeedButton*>(QStringLiteral("SB") + QLatin1Char(c)));
  buttons.push_back(window.Controls().SBALL);
  return buttons;
}

// The buttons whose caption is red, by their captions.
QStringList RedButtons(TFormNavigate& window) {
  QStringList red;
  for (TSpeedButton* button : LetterButtons(window)) {
    const QColor colour = button->CaptionColor();
    EXPECT_TRUE(colour == kRed || colour == kBlack) << button->text().toStdString();
    if (colour == kRed) red << button->text();
  }
  return red;
}

void DoubleClickRow(TListBox& list, int row) {
  const QRect rect = list.visualRect(list.model()->index(row, 0));
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rect.center());
}

// ---- search window ----

TEST_F(SecondaryWindows, SearchRunsOnTheTrimmedStringsAndTheMainWindowShowsTheCard) {
  Start({Card("Smith", "Ann", "X.JPG"), Card("Baker", "Bob"), Card("Cole", "Cid", "cat.jpg"), Card("Smith", "Bob")});
  const char* firstNames[] = {"Ann", "Bob", "Cid", "Bob"};
  enum Trigger { kEnterInFirst, kEnterInSecond, kSearchButton };
  struct Case {
    QString first, second;
    Trigger trigger;
    int found;
  } cases[] = {
      {QStringLiteral(" Bob "), QString(), kEnterInFirst, 1},              // trimmed, the earlier of two
      {QStringLiteral("jpg"), QString(), kEnterInSecond, 2},               // in a picture name, case kept
      {QStringLiteral("Smith"), QStringLiteral("Bob"), kSearchButton, 3},  // both strings on one card
      {QStringLiteral("smith"), QString(), kEnterInFirst, -1},
      {QStringLiteral("  "), QStringLiteral("Ann"), kEnterInSecond, -1},  // an empty first finds nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first.toStdString() + "/" + c.second.toStdString());
    Window->CurrentCard = 0;
    Window->ShowCard(Window.get(), 0);
    bool closed = false;
    TFormSearch* search = Find([&](TFormSearch& w) {
      EXPECT_EQ(QApplication::focusWidget(), w.Controls().Edit_Search1);
      SetText(w.Controls().Edit_Search1, c.first);
      SetText(w.Controls().Edit_Search2, c.second);
      if (c.trigger == kSearchButton)
        QTest::mouseClick(w.Controls().Search, Qt::LeftButton);
      else
        QTest::keyClick(c.trigger == kEnterInFirst ? w.Controls().Edit_Search1 : w.Controls().Edit_Search2,
                        Qt::Key_Return);
      closed = !w.isVisible();
    });
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(closed);
    EXPECT_EQ(search->SelectedCard, c.found);
    EXPECT_EQ(Window->CurrentCard, std::max(c.found, 0));  // nothing found: card 0 stays
    EXPECT_EQ(Ui().Edit_Name->text(), QString::fromLatin1(firstNames[std::max(c.found, 0)]));
  }
}

TEST_F(SecondaryWindows, SearchWindowPlacementActivationAndClosing) {
  Start({Card("Ann"), Card("Bob"), Card("Dan"), Card("Cid")});
  UserClick(Ui().Button_Next);
  UserClick(Ui().Button_Next);
  UserClick(Ui().Button_Delete);  // Find ends the chance to undo it
  ASSERT_EQ(Window->CurrentCard, 2);
  UserClick(Ui().Button_Previous);
  int plays = 0;
  // Typed text, then closed by Esc in an edit: nothing is taken back, nothing plays.
  TFormSearch* search = Find([&](TFormSearch& w) {
    const QPoint client = Window->mapToGlobal(QPoint(0, 0));
    const QPoint button = Ui().Button_Search->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(w.pos(), QPoint(client.x() + 110, button.y() + Ui().Button_Search->height() / 2 - 6));
    EXPECT_EQ(w.size(), QSize(214, 174));
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    w.WaveSearch->OnPlay = [&](QObject*) { ++plays; };
    SetText(w.Controls().Edit_Search1, QStringLiteral("Cid"));
    SetText(w.Controls().Edit_Search2, QStringLiteral("C"));
    QTest::keyClick(w.Controls().Edit_Search2, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
  });
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->SelectedCard, -1);
  EXPECT_EQ(Window->CurrentCard, 1);
  EXPECT_EQ(plays, 0);
  EXPECT_EQ(Window->UndoIndex, -1);

  // The edits kept their text; a search finds card 2 and plays its sound.
  Find([&](TFormSearch& w) {
    EXPECT_EQ(w.Controls().Edit_Search1->text(), QStringLiteral("Cid"));
    EXPECT_EQ(w.Controls().Edit_Search2->text(), QStringLiteral("C"));
    QTest::keyClick(w.Controls().Edit_Search1, Qt::Key_Return);
  });
  EXPECT_EQ(search->SelectedCard, 2);
  EXPECT_EQ(Window->CurrentCard, 2);
  EXPECT_EQ(plays, 1);

  // Each activation forgets the last result. Esc on the window and the close button take nothing
  // back; a search with sounds off finds the card silently.
  Window->SoundsOn = false;
  const std::vector<std::pair<std::function<void(TFormSearch&)>, int>> closes = {
      {[](TFormSearch& w) {
         w.ClearFocus();
         QTest::keyClick(&w, Qt::Key_Escape);
       },
       -1},
      {[](TFormSearch& w) { QTest::mouseClick(w.Controls().BitBtn2, Qt::LeftButton); }, -1},
      {[](TFormSearch& w) { UserClick(w.Controls().Search); }, 2},
  };
  for (const auto& [close, found] : closes) {
    Window->CurrentCard = 0;
    Window->ShowCard(Window.get(), 0);
    Find([&, &close = close](TFormSearch& w) {
      EXPECT_EQ(w.SelectedCard, -1);
      EXPECT_EQ(QApplication::focusWidget(), w.Controls().Edit_Search1);
      close(w);
      EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(search->SelectedCard, found);
    EXPECT_EQ(Window->CurrentCard, std::max(found, 0));
  }
  EXPECT_EQ(plays, 1);
}

TEST_F(SecondaryWindows, AnEmptyBookOpensNeitherWindowUntilATypedCardIsStored) {
  Start({});
  for (TVxSpeedButton* launcher : {Ui().Button_Search, Ui().Button_List}) {
    EXPECT_EQ(Open<TForm>(launcher, [](TForm&) {}), nullptr);
  }
  EXPECT_TRUE(Boxes.Shown.empty());
  Ui().Edit_SurName->setFocus();
  QTest::keyClicks(Ui().Edit_SurName, QStringLiteral("Typed"));
  TFormNavigate* list =
      List([](TFormNavigate& w) { EXPECT_EQ(Entries(*w.Controls().LB_Name), std::vector<AnsiString>{"Typed, "}); });
  EXPECT_NE(list, nullptr);
  EXPECT_EQ(Window->Cards.Count(), 1);
  EXPECT_FALSE(Window->Modified);
}

// ---- letter list ----

TEST_F(SecondaryWindows, LetterButtonsFilterTheList) {
  // Surnames beginning with Greek capitals (Windows-1253): Omega, Beta and Xi; the one with a
  // leading blank is written raw, as the program trims what it stores.
  const std::string omega = "\xD9mega", beta = std::string("\xC2") + "eta", xi = "\xCEi";
  Start({Card("Stone", "b"), Card("smith", "a"), Card("Sa", "c"), Card("", "Empty"), Card("7Up", "Seven"),
         Card(omega, "o"), Card(beta, "b"), Card(xi, "x"), " " + Card("Blank", "z"), Card("cole", "k"),
         Card("Jones", "j")});
  struct Case {
    const char* button;
    std::vector<AnsiString> shown;  // in the order shown
  } cases[] = {
      {"SBS", {"Sa, c", "smith, a", "Stone, b"}},
      {"SBW", {omega + ", o"}},
      {"SBB", {beta + ", b"}},
      {"SBV", {beta + ", b"}},
      {"SBC", {"cole, k"}},
      {"SBJ", {"Jones, j"}},
      {"SBX", {}},
      {"SBZ", {}},
  };
  const std::vector<AnsiString> all = {", Empty", "7Up, Seven", omega + ", o", beta + ", b", xi + ", x", " Blank, z",
                                       "cole, k", "Jones, j",   "Sa, c",       "smith, a",   "Stone, b"};
  auto sorted = [](std::vector<AnsiString> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  TFormNavigate* list = List([&](TFormNavigate& w) {
    EXPECT_EQ(QApplication::focusWidget(), w.Controls().LB_Name);
    const QPoint client = Window->mapToGlobal(QPoint(0, 0));
    const QPoint launcher = Ui().Button_List->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(w.pos(), QPoint(client.x() + 80, launcher.y() + Ui().Button_List->height() / 4));
    EXPECT_EQ(w.size(), QSize(211, 226));
    ASSERT_EQ(LetterButtons(w).size(), 27u);
    for (TSpeedButton* button : LetterButtons(w)) ASSERT_NE(button, nullptr);
    EXPECT_EQ(RedButtons(w), QStringList{QStringLiteral("ALL")});
    EXPECT_EQ(sorted(Entries(*w.Controls().LB_Name)), sorted(all));
    for (const Case& c : cases) {
      SCOPED_TRACE(c.button);
      auto* button = w.findChild<TSpeedButton*>(QString::fromLatin1(c.button));
      QTest::mouseClick(button, Qt::LeftButton);
      EXPECT_EQ(RedButtons(w), QStringList{button->text()});
      EXPECT_EQ(Entries(*w.Controls().LB_Name), c.shown);
    }
    QTest::mouseClick(w.Controls().SBALL, Qt::LeftButton);
    EXPECT_EQ(RedButtons(w), QStringList{QStringLiteral("ALL")});
    EXPECT_EQ(sorted(Entries(*w.Controls().LB_Name)), sorted(all));
    EXPECT_EQ(w.Frame().DragRequests(), 0);
  });
  ASSERT_NE(list, nullptr);
}

TEST_F(SecondaryWindows, LetterListClosesWithoutAChoiceAndLeavesEveryButtonBlack) {
  Start({Card("Ann"), Card("Bob"), Card("Cid"), Card("Dan")});
  Window->LastCard();
  UserClick(Ui().Button_Delete);  // List ends the chance to undo it
  using Drive = std::function<void(TFormNavigate&)>;
  const std::vector<std::pair<const char*, Drive>> closes = {
      {"Esc in the list", [](TFormNavigate& w) { QTest::keyClick(w.Controls().LB_Name, Qt::Key_Escape); }},
      {"Esc on the window",
       [](TFormNavigate& w) {
         w.ClearFocus();
         QTest::keyClick(&w, Qt::Key_Escape);
       }},
      {"close button", [](TFormNavigate& w) { QTest::mouseClick(w.Controls().BitBtn2, Qt::LeftButton); }},
  };
  for (const auto& [name, close] : closes) {
    SCOPED_TRACE(name);
    TFormNavigate* list = List([&, &close = close](TFormNavigate& w) {
      EXPECT_EQ(RedButtons(w), QStringList{QStringLiteral("ALL")});
      TListBox& names = *w.Controls().LB_Name;
      EXPECT_EQ(names.Count(), 3);
      // A double-click on no entry, in a full list and in an empty one, leaves the window open.
      QTest::mouseDClick(names.viewport(), Qt::LeftButton, {}, QPoint(5, names.viewport()->height() - 3));
      QTest::mouseClick(w.findChild<TSpeedButton*>(QStringLiteral("SBJ")), Qt::LeftButton);
      EXPECT_EQ(names.Count(), 0);
      QTest::mouseDClick(names.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
      EXPECT_TRUE(w.isVisible());
      QTest::mouseClick(w.findChild<TSpeedButton*>(QStringLiteral("SBB")), Qt::LeftButton);
      names.SetItemIndex(0);
      names.setFocus();
      QTest::keyClick(&names, Qt::Key_Return);  // Enter does nothing
      EXPECT_TRUE(w.isVisible());
      close(w);
      EXPECT_FALSE(w.isVisible());
      EXPECT_EQ(w.SelectedCard, -1);
    });
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(RedButtons(*list), QStringList());
    EXPECT_EQ(Window->CurrentCard, 2);
    EXPECT_EQ(Window->UndoIndex, -1);
  }
}

// ---- the shared frame ----

TEST_F(SecondaryWindows, PressesOnTheFaceDragAndPressesOnSpeedButtonsClick) {
  Start({Card("Ann"), Card("Bob")});
  auto press = [](QWidget* widget, QPoint at = {}) {
    QTest::mousePress(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
  };
  TFormNavigate* list = List([&](TFormNavigate& w) {
    const TSecondaryFrame& frame = w.Frame();
    press(w.Controls().Image2);  // the caption picture
    EXPECT_EQ(frame.DragRequests(), 1);
    press(w.Controls().Image1);  // the bottom strip
    EXPECT_EQ(frame.DragRequests(), 2);
    press(&w, QPoint(193, 8));  // the face between the caption and the close button
    EXPECT_EQ(frame.DragRequests(), 3);
    press(w.findChild<TSpeedButton*>(QStringLiteral("SBB")));
    EXPECT_EQ(Entries(*w.Controls().LB_Name), std::vector<AnsiString>{"Bob, "});
    press(w.Controls().LB_Name->viewport());
    EXPECT_EQ(frame.DragRequests(), 3);
  });
  ASSERT_NE(list, nullptr);

  TFormSearch* search = Find([&](TFormSearch& w) {
    const TSecondaryFrame& frame = w.Frame();
    SetText(w.Controls().Edit_Search1, QStringLiteral("Bob"));
    press(w.Controls().Label2);
    EXPECT_EQ(frame.DragRequests(), 1);
    press(&w, QPoint(5, 170));  // the face, over the disabled background picture
    EXPECT_EQ(frame.DragRequests(), 2);
    press(w.Controls().Edit_Search1);
    EXPECT_EQ(frame.DragRequests(), 2);
    EXPECT_TRUE(w.isVisible());
    press(w.Controls().Search);
    EXPECT_EQ(frame.DragRequests(), 2);
    EXPECT_FALSE(w.isVisible());
  });
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->SelectedCard, 1);
}

TEST_F(SecondaryWindows, SchemeBackgroundIsReloadedOnlyAfterTheSchemeChanged) {
  Start({Card("Ann")});
  auto background = [](TFormSearch& w) { return w.Controls().Image_Bck->Picture().pixelColor(10, 10); };
  const QImage marker = [] {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(qRgb(0, 255, 0));
    return image;
  }();
  TFormSearch* search = Find([&](TFormSearch& w) {
    EXPECT_EQ(w.Frame().SkinShown(), 0);
    EXPECT_GT(background(w).blue(), 150);
  });
  ASSERT_NE(search, nullptr);
  search->Controls().Image_Bck->SetPicture(marker);
  Find([&](TFormSearch& w) { EXPECT_EQ(background(w).green(), 255); });  // no change: nothing loaded

  UserClick(Ui().Button_NextScheme);
  ASSERT_EQ(Window->SkinIndex, 1);
  Find([&](TFormSearch& w) {
    EXPECT_EQ(w.Frame().SkinShown(), 1);
    EXPECT_GT(background(w).red(), 150);
  });

  // No scheme: the window keeps what it shows.
  Window->SkinIndex = -1;
  Find([&](TFormSearch& w) {
    EXPECT_EQ(w.Frame().SkinShown(), 1);
    EXPECT_GT(background(w).red(), 150);
  });

  // A picture that fails is reported once; the window opens all the same and keeps its picture.
  WriteBytes(Folder.Path / "skins" / "blue1.jpg", "not a picture");
  Window->SkinIndex = 0;
  for (int opening = 0; opening < 2; ++opening) {
    EXPECT_NE(Find([&](TFormSearch& w) {
                EXPECT_EQ(w.Frame().SkinShown(), 0);
                EXPECT_GT(background(w).red(), 150);
              }),
              nullptr);
    EXPECT_EQ(Boxes.Shown.size(), 1u);
  }
}

TEST_F(SecondaryWindows, DoubleClickFetchesTheCardOfTheEntryClicked) {
  // Prefixes of one another, a surname holding ", ", a first name holding ", " and two equal
  // entries; each card told apart by its company.
  const std::pair<const char*, const char*> names[] = {{"Lee", "Anna"},    {"Lee", "Ann"},  {"Lee, Ann", "X"},
                                                       {"Lee", "Ann, Jr"}, {"Adams", "Bo"}, {"Lee", "Ann"}};
  std::vector<std::string> cards;
  for (const auto& [surname, first] : names) {
    const std::string company = "company " + std::to_string(cards.size());
    CardValues values = testing_support::CardFields(surname, first);
    values[cfCompany] = company;
    cards.push_back(BuildCardLine(values));
  }
  testing_support::WriteBook(Folder.Path / "AddressBook.abk", cards);
  Window = std::make_unique<TForm_Main>();
  ASSERT_TRUE(testing_support::ShowActive(*Window, {200, 150}));

  for (const char* filter : {"SBALL", "SBL"}) {
    // Equal entries are listed in book order: the k-th of them is the k-th such card.
    std::map<AnsiString, std::vector<int>> cardsOf;
    for (int i = 0; i < static_cast<int>(cards.size()); ++i)
      if (filter == std::string_view("SBALL") || names[i].first[0] == 'L')
        cardsOf[std::string(names[i].first) + ", " + names[i].second].push_back(i);
    std::map<AnsiString, std::size_t> seen;
    for (int row = 0;; ++row) {
      SCOPED_TRACE(testing::Message() << filter << " row " << row);
      Window->CurrentCard = 4 - row % 2;  // another card on view before each fetch
      Window->ShowCard(Window.get(), Window->CurrentCard);
      int expected = -1;
      bool rowExists = false;
      TFormNavigate* list = List([&](TFormNavigate& w) {
        QTest::mouseClick(w.findChild<TSpeedButton*>(QString::fromLatin1(filter)), Qt::LeftButton);
        TListBox& entries = *w.Controls().LB_Name;
        rowExists = row < entries.Count();
        if (!rowExists) return;
        const AnsiString entry(entries.Items(row));
        ASSERT_TRUE(cardsOf.contains(entry)) << entry;
        expected = cardsOf[entry].at(seen[entry]++);
        DoubleClickRow(entries, row);
        EXPECT_FALSE(w.isVisible());
      });
      ASSERT_NE(list, nullptr);
      if (!rowExists) {
        EXPECT_EQ(row, filter == std::string_view("SBALL") ? 6 : 5);
        break;
      }
      EXPECT_EQ(list->SelectedCard, expected);
      EXPECT_EQ(Window->CurrentCard, expected);
      EXPECT_EQ(Ui().Edit_Company->text().toStdString(), "company " + std::to_string(expected));
      EXPECT_EQ(Surname().toStdString(), names[expected].first);
    }
  }
}

TEST_F(SecondaryWindows, LetterListShowsTheBookAsItIsAfterEachChange) {
  Start({Card("Baker", "b"), Card("adams", "a"), Card("Cole", "c")});
  auto shown = [&](const char* filter) {
    std::vector<AnsiString> entries;
    List([&](TFormNavigate& w) {
      QTest::mouseClick(w.findChild<TSpeedButton*>(QString::fromLatin1(filter)), Qt::LeftButton);
      entries = Entries(*w.Controls().LB_Name);
    });
    return entries;
  };
  using Names = std::vector<AnsiString>;
  EXPECT_EQ(shown("SBALL"), (Names{"adams, a", "Baker, b", "Cole, c"}));
  EXPECT_EQ(shown("SBB"), (Names{"Baker, b"}));

  // Baker, on view, renamed: the List button stores it before the list opens.
  Ui().Edit_SurName->setFocus();
  SetText(Ui().Edit_SurName, QStringLiteral("Able"));
  EXPECT_EQ(shown("SBALL"), (Names{"Able, b", "adams, a", "Cole, c"}));
  EXPECT_EQ(shown("SBB"), Names{});

  QTest::mouseClick(Ui().Button_Delete, Qt::LeftButton);  // Able goes
  ASSERT_EQ(Window->Cards.Count(), 2);
  TFormNavigate* list = List([&](TFormNavigate& w) {
    TListBox& entries = *w.Controls().LB_Name;
    EXPECT_EQ(Entries(entries), (Names{"adams, a", "Cole, c"}));
    DoubleClickRow(entries, 1);
  });
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Window->CurrentCard, 1);
  EXPECT_EQ(Surname(), QStringLiteral("Cole"));
}

}  // namespace
