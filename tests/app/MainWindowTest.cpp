#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <cstdint>
#include <cstdio>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "Application.h"
#include "CardBook.h"
#include "CodePage.h"
#include "Dialogs.h"
#include "EditView.h"
#include "Form_Search.h"
#include "Jpeg.h"
#include "JpegWriter.h"
#include "Menus.h"
#include "QMWave.h"
#include "RegLib.h"
#include "Registry.h"
#include "Sound.h"
#include "Termination.h"
#include "TestSupport.h"
#include "Tray.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::Card;
using testing_support::ChooseFromMenu;
using testing_support::MenuItem;
using testing_support::MessageBoxRecorder;
using testing_support::ReadBytes;
using testing_support::ShowsFromItsStart;
using testing_support::TempProgramFolder;
using testing_support::UserClick;
using testing_support::UserRightClick;
using testing_support::WhileMenuOpen;
using testing_support::WriteBytes;
using testing_support::WriteJpeg;

// A program folder with a book, two colour schemes and three card pictures, and the main window
// over it, driven as a user would.
class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    std::filesystem::create_directories(Folder.Path / "skins");
    std::filesystem::create_directories(Folder.Path / "images");
    WriteJpeg(Folder.Path / "skins" / "blue1.jpg", 500, 300, qRgb(0, 0, 200));
    WriteJpeg(Folder.Path / "skins" / "blue2.jpg", 500, 60, qRgb(0, 0, 100));
    WriteJpeg(Folder.Path / "skins" / "red1.jpg", 500, 300, qRgb(200, 0, 0));
    WriteJpeg(Folder.Path / "skins" / "red2.jpg", 500, 60, qRgb(100, 0, 0));
    WriteJpeg(Folder.Path / "images" / "000_HELP.JPG", 150, 160, qRgb(255, 255, 255));
    WriteJpeg(Folder.Path / "images" / "cat.jpg", 150, 160, qRgb(0, 255, 0));
    WriteJpeg(Folder.Path / "images" / "Dog.JPG", 150, 160, qRgb(255, 0, 255));
  }

  void TearDown() override { Window.reset(); }

  void WriteBook(std::initializer_list<std::string> cards) {
    testing_support::WriteBook(Folder.Path / "AddressBook.abk", cards);
  }

  void Start() {
    Window = std::make_unique<TForm_Main>();
    for (TQMWave* wave : {Window->WaveMoveCard, Window->WaveDelete, Window->WaveUndoOk, Window->WaveUndoFailure,
                          Window->WaveDeleteImage}) {
      wave->OnPlay = [this, wave](QObject*) { Sounds.push_back(wave); };
    }
    ASSERT_TRUE(testing_support::ShowActive(*Window));
    Sounds.clear();
  }

  // Ends the program as the Exit button does and returns the book file's bytes.
  std::string Exit() {
    UserClick(Window->Controls().Button_Exit);
    Window.reset();
    return ReadBytes(Folder.Path / "AddressBook.abk");
  }

  // Pops the tray's menu up at the pointer, as a right-click on the tray icon does.
  void PopUpTrayMenu() { Window->TrayMenu()->Popup(QCursor::pos().x(), QCursor::pos().y()); }

  // Stores the card on view as leaving it for the search window does, and cancels the search,
  // which leaves the stored values on view.
  void StoreThroughTheSearchWindow() {
    const TFormSearch* opened = testing_support::DriveModal<TFormSearch>(
        Window.get(), [this] { UserClick(Ui().Button_Search); }, [](TFormSearch& search) { search.Close(); });
    EXPECT_NE(opened, nullptr) << "the search window did not open";
  }

  Ui::TForm_Main& Ui() { return Window->Controls(); }
  QString Counter() { return Ui().Label_CardNo->text(); }
  QString Surname() { return Ui().Edit_SurName->text(); }
  void Type(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClicks(field, text);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : Window.get();
    QTest::keyClick(target, key, modifiers);
  }

  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  std::vector<TQMWave*> Sounds;
  MessageBoxRecorder Boxes;
};

TEST_F(MainWindow, EmptyBookTypeStoreAndExit) {
  Start();
  EXPECT_EQ(Counter(), QStringLiteral("Card 1 of 1"));
  EXPECT_EQ(Window->CurrentCard, 0);
  UserClick(Ui().Button_Next);  // nothing to show
  UserClick(Ui().Button_Previous);
  EXPECT_EQ(Window->CurrentCard, 0);
  EXPECT_EQ(Counter(), QStringLiteral("Card 1 of 1"));

  Type(Ui().Edit_SurName, QStringLiteral("  Doe "));
  EXPECT_TRUE(Window->Modified);
  Type(Ui().Edit_Company, QStringLiteral(" Acme "));
  Type(Ui().Edit_Comments, QStringLiteral("line one"));
  QTest::keyClick(Ui().Edit_Comments, Qt::Key_Return);  // a new line inside the notes
  QTest::keyClicks(Ui().Edit_Comments, QStringLiteral("line two"));
  UserClick(Ui().Button_Next);  // stores the new card by appending it
  CardValues typed{};
  typed[cfSurname] = "Doe";
  typed[cfCompany] = " Acme ";
  typed[cfNotes] = "line one\r\nline two";
  ASSERT_EQ(Window->Cards.Count(), 1);
  EXPECT_EQ(Window->Cards[0], BuildCardLine(typed));
  EXPECT_EQ(Counter(), QStringLiteral("Card 1 of 1"));
  EXPECT_EQ(Exit(), "ABK10\r\n" + BuildCardLine(typed) + "\r\n");
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
  EXPECT_EQ(registry.ReadString("Version"), "ABK10");
  EXPECT_EQ(registry.ReadString("InstallPath"), Folder.Path.string() + "/");
  EXPECT_EQ(registry.ReadString("AddressBook"), "AddressBook.abk");
  EXPECT_EQ(registry.ReadInteger("PlaySounds"), 1);
  EXPECT_EQ(registry.ReadInteger("CurrentSkin"), 0);
  EXPECT_FALSE(std::filesystem::exists(Folder.Path / "AddressBook.bkp"));
}

TEST_F(MainWindow, StepsThroughTheBookWithWrapAround) {
  WriteBook({Card("Ann"), Card("Bob"), Card("Cid")});
  Start();
  EXPECT_EQ(Surname(), QStringLiteral("Ann"));
  EXPECT_EQ(Counter(), QStringLiteral("Card 1 of 3"));
  UserClick(Ui().Button_Previous);
  EXPECT_EQ(Surname(), QStringLiteral("Cid"));
  UserClick(Ui().Button_Next);
  EXPECT_EQ(Surname(), QStringLiteral("Ann"));
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Surname(), QStringLiteral("Bob"));
  Key(Qt::Key_End);
  EXPECT_EQ(Counter(), QStringLiteral("Card 3 of 3"));
  Key(Qt::Key_Home);
  EXPECT_EQ(Surname(), QStringLiteral("Ann"));
  EXPECT_EQ(Sounds.size(), 3u);  // Previous, Next and PageDown; Home and End are silent
  // A new card goes on to the first card; Previous from a new card shows the last.
  UserClick(Ui().Button_New);
  EXPECT_EQ(Counter(), QStringLiteral("Card 4 of 4"));
  UserClick(Ui().Button_Previous);
  EXPECT_EQ(Surname(), QStringLiteral("Cid"));
  UserClick(Ui().Button_New);
  UserClick(Ui().Button_Next);
  EXPECT_EQ(Surname(), QStringLiteral("Ann"));
  EXPECT_EQ(Window->Cards.Count(), 3);  // blank new cards were dropped
}

TEST_F(MainWindow, NewCardStoredByAMoveKeepsItsValuesOnView) {
  WriteBook({Card("A"), Card("B"), Card("C"), Card("D")});
  Start();
  Key(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Counter(), QStringLiteral("Card 5 of 5"));
  EXPECT_EQ(QApplication::focusWidget(), Ui().Edit_SurName);
  Type(Ui().Edit_SurName, QStringLiteral("E"));
  StoreThroughTheSearchWindow();
  EXPECT_EQ(Counter(), QStringLiteral("Card 6 of 6"));
  EXPECT_EQ(Window->CurrentCard, 5);
  EXPECT_EQ(Surname(), QStringLiteral("E"));
  // Storing again appends a second card and leaves the first as it was.
  Type(Ui().Edit_Name, QStringLiteral("x"));
  StoreThroughTheSearchWindow();
  ASSERT_EQ(Window->Cards.Count(), 6);
  // A new card shows, and so stores, the default picture.
  EXPECT_EQ(Window->Cards[4], Card("E", "", "000_HELP.JPG"));
  EXPECT_EQ(Window->Cards[5], Card("E", "x", "000_HELP.JPG"));
}

TEST_F(MainWindow, DeleteAndUndo) {
  WriteBook({Card("A"), Card("B"), Card("C"), Card("D"), Card("E")});
  Start();
  UserClick(Ui().Button_Next);
  UserClick(Ui().Button_Next);
  Sounds.clear();
  UserClick(Ui().Button_Delete);  // card 3 of 5
  EXPECT_EQ(Surname(), QStringLiteral("D"));
  EXPECT_EQ(Window->CurrentCard, 2);
  EXPECT_EQ(Window->Cards.Count(), 4);
  UserClick(Ui().Button_Undo);
  EXPECT_EQ(Window->Cards.Count(), 5);
  EXPECT_EQ(Surname(), QStringLiteral("C"));
  EXPECT_EQ(Window->CurrentCard, 2);
  EXPECT_EQ(Sounds, (std::vector<TQMWave*>{Window->WaveDelete, Window->WaveUndoOk}));

  // Unsaved edits: Undo brings the stored values back, then has nothing left to undo.
  UserClick(Ui().Button_Next);
  Type(Ui().Edit_SurName, QStringLiteral("changed"));
  Sounds.clear();
  Window->ClearFocus();  // Ctrl+Z typed into a field would mark the card again
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Surname(), QStringLiteral("D"));
  UserClick(Ui().Button_Undo);
  EXPECT_EQ(Sounds, (std::vector<TQMWave*>{Window->WaveUndoOk, Window->WaveUndoFailure}));
}

TEST_F(MainWindow, DeletingTheOnlyCardStartsANewOneThatCannotBeUndone) {
  WriteBook({Card("Only")});
  Start();
  UserClick(Ui().Button_Delete);
  EXPECT_EQ(Window->Cards.Count(), 0);
  EXPECT_EQ(Surname(), QString());
  EXPECT_EQ(Counter(), QStringLiteral("Card 1 of 1"));
  EXPECT_EQ(Sounds, (std::vector<TQMWave*>{Window->WaveDelete}));  // no move sound for the new card
  Sounds.clear();
  UserClick(Ui().Button_Undo);
  EXPECT_EQ(Window->Cards.Count(), 0);
  EXPECT_EQ(Sounds, (std::vector<TQMWave*>{Window->WaveMoveCard, Window->WaveUndoFailure}));
}

TEST_F(MainWindow, DeleteWhileTypingANewCardDropsIt) {
  WriteBook({Card("A")});
  Start();
  UserClick(Ui().Button_New);
  Type(Ui().Edit_SurName, QStringLiteral("typed"));
  Sounds.clear();
  UserClick(Ui().Button_Delete);
  EXPECT_EQ(Window->Cards.Count(), 1);
  EXPECT_EQ(Surname(), QString());
  EXPECT_TRUE(Sounds.empty());
}

// A book name with a folder part is replaced by a new name, as a missing one is: the file it
// pointed at is neither read nor renamed.
TEST_F(MainWindow, ABookNameWithAFolderPartIsReplacedByANewName) {
  std::filesystem::create_directories(Folder.Path / "sub");
  WriteBytes(Folder.Path / "sub" / "victim.txt", "ABK10\r\nnot yours\xFF\r\n");
  TRegLib().WriteString(kSettingsKey, "AddressBook", "sub/victim.txt");
  Start();
  EXPECT_EQ(Window->Cards.Count(), 0);
  EXPECT_EQ(Window->BookFile, Folder.File("AddressBook.abk"));
  EXPECT_EQ(TRegLib().ReadString(kSettingsKey, "AddressBook", "", false), "AddressBook.abk");
  Exit();
  EXPECT_EQ(ReadBytes(Folder.Path / "sub" / "victim.txt"), "ABK10\r\nnot yours\xFF\r\n");
  EXPECT_FALSE(std::filesystem::exists(Folder.Path / "sub" / "victim.bkp"));
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook.abk"), "ABK10\r\n");
}

// The start removes what killed saves left; a book read only in part is kept aside at the first
// exit, which says where, once.
TEST_F(MainWindow, StartClearsKilledSavesAndExitKeepsABookReadInPartAside) {
  const std::string book = "ABK10\r\n" + Card("A") + "\r\n" + Card("B") + std::string(1, '\0') + Card("C") + "\r\n";
  WriteBytes(Folder.Path / "AddressBook.abk", book);
  WriteBytes(Folder.Path / "AddressBook.abk.0123456789abcdef.tmp", "half a book");
  Start();
  EXPECT_FALSE(std::filesystem::exists(Folder.Path / "AddressBook.abk.0123456789abcdef.tmp"));
  EXPECT_EQ(Window->Cards.Count(), 2);
  Exit();
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_NE(Boxes.Shown[0].find(Folder.File("AddressBook.abk.original")), std::string::npos) << Boxes.Shown[0];
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook.abk.original"), book);
  Start();
  Exit();
  EXPECT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook.abk"), "ABK10\r\n" + Card("A") + "\r\n" + Card("B") + "\r\n");
}

TEST_F(MainWindow, KeysAndFocus) {
  WriteBook({Card("A"), Card("B")});
  Start();
  // Enter moves the focus on without marking the card.
  Ui().Edit_SurName->setFocus();
  QTest::keyClick(Ui().Edit_SurName, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), Ui().Edit_Name);
  EXPECT_FALSE(Window->Modified);
  // Home and End do nothing while a control has the focus; PageDown works anywhere but the notes.
  QTest::keyClick(Ui().Edit_Name, Qt::Key_End);
  EXPECT_EQ(Window->CurrentCard, 0);
  QTest::keyClick(Ui().Edit_Name, Qt::Key_PageDown);
  EXPECT_EQ(Window->CurrentCard, 1);
  Ui().Edit_Comments->setFocus();
  for (const auto& [key, modifiers] :
       std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{{Qt::Key_PageUp, {}},
                                                              {Qt::Key_PageDown, {}},
                                                              {Qt::Key_N, Qt::ControlModifier},
                                                              {Qt::Key_Z, Qt::ControlModifier}})
    QTest::keyClick(Ui().Edit_Comments, key, modifiers);
  EXPECT_EQ(Window->CurrentCard, 1);
  EXPECT_EQ(Window->Cards.Count(), 2);
  Ui().Edit_Name->setFocus();
  QTest::keyClick(Ui().Edit_Name, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Window->CurrentCard, 1);  // Ctrl+Shift+N is no New
  // Field colours: white with the focus, light blue after it.
  EXPECT_EQ(Ui().Edit_Name->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(Ui().Edit_SurName->palette().color(QPalette::Base), QColor(0xD7, 0xD7, 0xFF));
  EXPECT_EQ(Ui().Edit_City->palette().color(QPalette::Base), QColor(0xDF, 0xDF, 0xFF));
}

// Ctrl+Z does what the Undo button does and nothing more: the field's own undo must not bring the
// typed text back afterwards.
TEST_F(MainWindow, CtrlZUndoesAsTheButtonDoesAndTheFieldDoesNotUndoAgain) {
  WriteBook({Card("A", "Ann")});
  Start();
  // A new card: the typed values are dropped and a blank new card starts.
  UserClick(Ui().Button_New);
  Type(Ui().Edit_SurName, QStringLiteral("Doe"));
  Sounds.clear();
  QTest::keyClick(Ui().Edit_SurName, Qt::Key_Z, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(Surname(), QString());
  EXPECT_EQ(Sounds, (std::vector<TQMWave*>{Window->WaveMoveCard, Window->WaveUndoFailure}));
  EXPECT_EQ(Window->CurrentCard, 1);
  // An edited card: the stored values come back.
  Window->FirstCard();
  Type(Ui().Edit_Name, QStringLiteral("xyz"));
  Sounds.clear();
  QTest::keyClick(Ui().Edit_Name, Qt::Key_Z, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(Ui().Edit_Name->text(), QStringLiteral("Ann"));
  EXPECT_FALSE(Window->Modified);
  EXPECT_EQ(Sounds, std::vector<TQMWave*>{Window->WaveUndoOk});
  EXPECT_EQ(Exit(), "ABK10\r\n" + Card("A", "Ann") + "\r\n");
}

// The notes take the field colours as the edits do: as streamed at rest, white with the focus,
// light blue after it, in what is drawn.
TEST_F(MainWindow, TheNotesTakeTheFieldColours) {
  Start();
  const auto drawn = [this](QWidget* field) {
    QWidget* surface = field == Ui().Edit_Comments ? Ui().Edit_Comments->viewport() : field;
    return surface->grab().toImage().pixelColor(surface->width() - 4, surface->height() - 4);
  };
  for (QWidget* field : std::initializer_list<QWidget*>{Ui().Edit_City, Ui().Edit_Comments}) {
    EXPECT_EQ(drawn(field), QColor(0xDF, 0xDF, 0xFF)) << field->objectName().toStdString();
    field->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(drawn(field), QColor(0xFF, 0xFF, 0xFF)) << field->objectName().toStdString();
    Ui().Edit_SurName->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(drawn(field), QColor(0xD7, 0xD7, 0xFF)) << field->objectName().toStdString();
  }
}

// A failed save at exit offers Retry and Cancel; a request to end the program while that box is up
// puts the cards into a rescue file and ends. A folder in the book's place makes the save fail.
TEST_F(MainWindow, AFailedSaveAtExitCanBeRetriedOrEnded) {
  enum class TAnswer { RetryAfterFixing, Cancel, Signal };
  const std::pair<TAnswer, int> runs[] = {{TAnswer::RetryAfterFixing, 0},
                                          {TAnswer::Cancel, 0},
                                          {TAnswer::Signal, SIGTERM},
                                          {TAnswer::Signal, SIGHUP},
                                          {TAnswer::Signal, SIGINT}};
  for (const auto& run : runs) {
    const TAnswer answer = run.first;
    const int signal = run.second;
    std::filesystem::remove_all(Folder.Path / "AddressBook.abk");
    std::filesystem::remove(Folder.Path / "AddressBook-rescued.abk");
    Start();
    Type(Ui().Edit_SurName, QStringLiteral("Typed"));
    std::filesystem::create_directories(Folder.Path / "AddressBook.abk" / "in the way");
    std::vector<AnsiString> shown;
    const MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxRequest& request) {
      shown.push_back(request.Text);
      EXPECT_EQ(request.Flags & 0xFu, static_cast<unsigned>(MB_RETRYCANCEL));
      if (shown.size() > 3) return IDCANCEL;  // never for ever
      switch (answer) {
        case TAnswer::RetryAfterFixing:
          std::filesystem::remove_all(Folder.Path / "AddressBook.abk");
          return IDRETRY;
        case TAnswer::Cancel:
          return IDCANCEL;
        case TAnswer::Signal:
          raise(signal);
          for (int i = 0; i < 50; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
          return IDRETRY;
      }
      return IDCANCEL;
    });
    UserClick(Window->Controls().Button_Exit);
    Window.reset();
    SetMessageBoxHandler(previous);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("could not be saved"), std::string::npos) << shown[0];
    const std::string saved = "ABK10\r\n" + Card("Typed") + "\r\n";
    switch (answer) {
      case TAnswer::RetryAfterFixing:
        EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook.abk"), saved);
        break;
      case TAnswer::Cancel:
        EXPECT_TRUE(std::filesystem::is_directory(Folder.Path / "AddressBook.abk"));
        EXPECT_FALSE(std::filesystem::exists(Folder.Path / "AddressBook-rescued.abk"));
        break;
      case TAnswer::Signal:
        EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook-rescued.abk"), saved);
        break;
    }
  }
}

TEST_F(MainWindow, TypedTextTheBookCannotHoldShowsAsQuestionMarksOrIsRefused) {
  Start();
  // Characters typed one by one: Omega is not in the code page, y with diaeresis is the separator.
  Ui().Edit_SurName->setFocus();
  for (QChar c : QString::fromUtf16(u"M\u00FCller \u03A9 \u00FF!")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(Ui().Edit_SurName, &press);
  }
  EXPECT_EQ(Surname(), QString::fromUtf16(u"M\u00FCller ? !"));
  Ui().Edit_Comments->setFocus();
  QKeyEvent omega(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x03A9)));
  QApplication::sendEvent(Ui().Edit_Comments, &omega);
  EXPECT_EQ(Ui().Edit_Comments->toPlainText(), QStringLiteral("?"));
}

TEST_F(MainWindow, EveryWayOfEndingKeepsTheCardOnView) {
  WriteBook({Card("A")});
  Start();
  Type(Ui().Edit_Name, QStringLiteral("edited"));
  ChooseFromMenu([this] { PopUpTrayMenu(); }, QStringLiteral("Save and Exit"));
  Window.reset();
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook.abk"), "ABK10\r\n" + Card("A", "edited") + "\r\n");
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook.bkp"), "ABK10\r\n" + Card("A") + "\r\n");
}

TEST_F(MainWindow, SchemesStepAndAnIndexPastTheSchemesIsDropped) {
  {
    TRegLib settings;
    settings.WriteInteger(kSettingsKey, "CurrentSkin", 5);
  }
  Start();
  EXPECT_EQ(Window->SchemeCount, 2);
  EXPECT_EQ(Window->SkinIndex, -1);
  UserClick(Ui().Button_NextScheme);
  EXPECT_EQ(Window->SkinIndex, -1);
  Exit();
  TRegLib settings;
  EXPECT_EQ(settings.ReadInteger(kSettingsKey, "CurrentSkin", 9, false), -1);

  Start();  // -1 reads as 0
  EXPECT_EQ(Window->SkinIndex, 0);
  EXPECT_EQ(Ui().Image_Back->Picture().pixelColor(10, 10).blue() > 150, true);
  UserClick(Ui().Button_PrevScheme);
  EXPECT_EQ(Window->SkinIndex, 1);
  EXPECT_GT(Ui().Image_Back->Picture().pixelColor(10, 10).red(), 150);
  UserClick(Ui().Button_NextScheme);
  EXPECT_EQ(Window->SkinIndex, 0);
  EXPECT_FALSE(Window->Modified);
}

std::string ColourAt(const QImage& image, QPoint at) {
  return QColor(image.pixel(at)).name().toStdString();
}

// What the user sees of the window: its pending paints done, the screen's copy of it. (A grab of
// the widget would paint everything afresh and hide what the screen keeps.)
QImage OnScreen(QWidget& window) {
  QCoreApplication::processEvents();
  return window.screen()->grabWindow(window.winId()).toImage();
}

// Every transparent speed button on screen shows exactly what lies beneath it: the window painted
// afresh without the buttons. Checked at two corners, which no frame, glyph or caption covers
// while the pointer is away.
void ExpectButtonsShowWhatLiesBeneath(QWidget& window, const std::string& when) {
  const QImage screen = OnScreen(window);
  std::vector<TVxSpeedButton*> buttons;
  for (QObject* child : window.children())
    if (auto* button = dynamic_cast<TVxSpeedButton*>(child); button && button->isVisible() && button->Transparent())
      buttons.push_back(button);
  ASSERT_EQ(buttons.size(), 19u);  // all but the hidden help button
  for (TVxSpeedButton* button : buttons) button->hide();
  const QImage beneath = window.grab().toImage();
  for (TVxSpeedButton* button : buttons) button->show();
  QCoreApplication::processEvents();  // shown again before whatever comes next changes the window
  for (const TVxSpeedButton* button : buttons) {
    const QRect area = button->geometry();
    for (const QPoint at : {area.topLeft() + QPoint(1, 1), area.bottomRight() - QPoint(1, 1)})
      EXPECT_EQ(ColourAt(screen, at), ColourAt(beneath, at))
          << button->objectName().toStdString() << " at " << at.x() << "," << at.y() << " " << when;
  }
}

TEST_F(MainWindow, EveryButtonShowsTheSchemeOnViewBehindIt) {
  WriteJpeg(Folder.Path / "skins" / "green1.jpg", 500, 300, qRgb(0, 200, 0));
  WriteJpeg(Folder.Path / "skins" / "green2.jpg", 500, 60, qRgb(0, 100, 0));
  WriteBook({Card("A")});
  for (int start : {0, 1, 2, 3}) {  // schemes blue, green, red; 3 is past them: no scheme
    {
      TRegLib settings;
      settings.WriteInteger(kSettingsKey, "CurrentSkin", start);
    }
    QCursor::setPos(250, 5000);  // no button is hot
    Start();
    const std::string from = "from scheme " + std::to_string(start);
    ExpectButtonsShowWhatLiesBeneath(*Window, from + " at start");
    const std::vector<TVxSpeedButton*> steps = {Ui().Button_NextScheme, Ui().Button_NextScheme, Ui().Button_NextScheme,
                                                Ui().Button_PrevScheme, Ui().Button_PrevScheme};
    for (std::size_t i = 0; i < steps.size(); ++i) {
      QTest::mouseClick(steps[i], Qt::LeftButton, {}, QPoint(10, 10));
      const std::string when = from + " after click " + std::to_string(i + 1);
      if (start < 3) {
        const QPoint onTopBar = Ui().Button_New->geometry().topLeft() + QPoint(1, 1);
        EXPECT_EQ(ColourAt(OnScreen(*Window), onTopBar), ColourAt(Ui().Image_Top->Picture(), onTopBar)) << when;
      }
      ExpectButtonsShowWhatLiesBeneath(*Window, when);
    }
    QTest::mouseClick(Ui().Button_NextScheme, Qt::LeftButton, {}, QPoint(10, 10));
    Window->hide();
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    ExpectButtonsShowWhatLiesBeneath(*Window, from + " after a change, hiding and showing");
    Window.reset();
  }
}

// The card picture on screen: the picture centred, and black around it, whatever was shown before.
void ExpectPictureCentredOnBlack(QWidget& window, const TImage& view, const std::string& when) {
  const QImage screen = OnScreen(window);
  const QImage& picture = view.Picture();
  ASSERT_FALSE(picture.isNull()) << when;
  const QPoint offset((view.width() - picture.width()) / 2, (view.height() - picture.height()) / 2);
  int wrongPicture = 0;
  int wrongSurround = 0;
  for (int y = 0; y < view.height(); ++y)
    for (int x = 0; x < view.width(); ++x) {
      const QRgb shown = screen.pixel(view.mapTo(&window, QPoint(x, y)));
      const QPoint inPicture = QPoint(x, y) - offset;
      if (picture.rect().contains(inPicture))
        wrongPicture += shown != picture.pixel(inPicture);
      else
        wrongSurround += shown != qRgb(0, 0, 0);
    }
  EXPECT_EQ(wrongPicture, 0) << when;
  EXPECT_EQ(wrongSurround, 0) << when;
}

TEST_F(MainWindow, ASmallPictureShowsOnBlackWhateverWasShownBefore) {
  WriteJpeg(Folder.Path / "images" / "small.jpg", 110, 90, qRgb(0, 200, 0));
  WriteBook({Card("A", "", "small.jpg"), Card("B", "", "cat.jpg"), Card("C", "", "small.jpg")});
  const auto outside = Folder.Path / "outside";
  std::filesystem::create_directories(outside);
  const std::vector<std::pair<const char*, QSize>> loaded = {
      {"tiny.jpg", {100, 120}}, {"wide.jpg", {1000, 160}}, {"banner.jpg", {1000, 100}}, {"narrow.jpg", {60, 300}}};
  for (const auto& [name, size] : loaded) WriteJpeg(outside / name, size.width(), size.height(), qRgb(200, 200, 0));
  std::size_t next = 0;
  const OpenDialogHandler previous = SetOpenDialogHandler([&](const OpenDialogRequest&) -> std::optional<AnsiString> {
    return (outside / loaded.at(next++).first).string();
  });
  Start();
  ExpectPictureCentredOnBlack(*Window, *Ui().BitMap_Main, "first showing");
  UserClick(Ui().Button_Next);
  ExpectPictureCentredOnBlack(*Window, *Ui().BitMap_Main, "a full picture");
  UserClick(Ui().Button_Next);
  ExpectPictureCentredOnBlack(*Window, *Ui().BitMap_Main, "after a full picture");
  for (const auto& [name, size] : loaded) {
    UserClick(Ui().Button_New);  // shows the full default picture
    ASSERT_EQ(Ui().BitMap_Main->Picture().size(), QSize(150, 160));
    ChooseFromMenu([this] { UserRightClick(Ui().BitMap_Main); }, QStringLiteral("Load image, fit better "));
    EXPECT_EQ(Ui().BitMap_Main->Picture().size(), size);  // left unscaled
    ExpectPictureCentredOnBlack(*Window, *Ui().BitMap_Main, std::string("loaded ") + name);
  }
  SetOpenDialogHandler(previous);
}

// A FIFO or a device as a card's picture is refused as a picture that cannot be decoded: the card
// shows the default picture at once and keeps its picture's name.
TEST_F(MainWindow, APictureThatIsNoRegularFileShowsTheDefaultPicture) {
  ASSERT_EQ(mkfifo((Folder.Path / "images" / "fifo.jpg").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", Folder.Path / "images" / "zero.jpg");
  WriteBook({Card("A", "", "cat.jpg"), Card("B", "", "fifo.jpg"), Card("C", "", "cat.jpg"), Card("D", "", "zero.jpg")});
  Start();
  EXPECT_EQ(Window->ImageCount, 3);  // neither is listed as a picture
  for (const char* picture : {"fifo.jpg", "zero.jpg"}) {
    EXPECT_EQ(Ui().BitMap_Main->Picture().pixelColor(75, 80).green(), 255);  // cat's green
    EXPECT_EQ(Ui().BitMap_Main->Picture().pixelColor(75, 80).red(), 0);
    UserClick(Ui().Button_Next);
    EXPECT_EQ(Window->CardPicture, picture);
    EXPECT_GT(Ui().BitMap_Main->Picture().pixelColor(75, 80).red(), 240);  // the white default
    UserClick(Ui().Button_Next);
  }
}

TEST_F(MainWindow, PicturesStepDeleteAndMenuRule) {
  WriteBook({Card("A", "", "cat.jpg"), Card("B", "", "missing.jpg"), Card("C")});
  Start();
  EXPECT_EQ(Window->ImageCount, 3);
  EXPECT_EQ(Window->DefaultImage, 0);
  EXPECT_EQ(Window->CardPicture, "cat.jpg");
  EXPECT_EQ(Ui().BitMap_Main->Picture().pixelColor(75, 80).green(), 255);
  UserClick(Ui().Button_Next);  // a missing picture shows the default one and keeps its name
  EXPECT_EQ(Window->CardPicture, "missing.jpg");
  EXPECT_GT(Ui().BitMap_Main->Picture().pixelColor(75, 80).blue(), 240);

  UserClick(Ui().Button_PrevImage);  // from index 0 to the last picture
  EXPECT_EQ(Window->CurrentImage, 2);
  EXPECT_TRUE(Window->Modified);
  EXPECT_EQ(ExtractFileName(Window->CardPicture), "Dog.JPG");

  ChooseFromMenu([this] { UserRightClick(Ui().BitMap_Main); }, QStringLiteral("Delete current image"));
  EXPECT_FALSE(std::filesystem::exists(Folder.Path / "images" / "Dog.JPG"));
  EXPECT_EQ(Window->ImageCount, 2);
  EXPECT_EQ(Window->CurrentImage, 1);
  EXPECT_EQ(Window->Cards[1], Card("B", "", "cat.jpg"));  // stored at once with its new picture
  UserClick(Ui().Button_NextImage);
  EXPECT_EQ(ExtractFileName(Window->CardPicture), "000_HELP.JPG");
  WhileMenuOpen([this] { UserRightClick(Ui().BitMap_Main); },
                [](QMenu& menu) {
                  const QAction* item = MenuItem(menu, QStringLiteral("Delete current image"));
                  ASSERT_NE(item, nullptr);
                  EXPECT_FALSE(item->isEnabled());
                });
}

TEST_F(MainWindow, AddingPicturesScalesThemIntoTheImagesFolder) {
  WriteBook({Card("A")});
  const auto outside = Folder.Path / "outside";
  std::filesystem::create_directories(outside);
  WriteJpeg(outside / "wide.jpg", 400, 300, qRgb(10, 200, 10));
  WriteJpeg(outside / "tall.jpg", 300, 400, qRgb(10, 10, 200));
  WriteJpeg(outside / "small.jpg", 100, 120, qRgb(200, 10, 10));
  std::vector<std::string> chosen = {(outside / "wide.jpg").string(), (outside / "tall.jpg").string(),
                                     (outside / "small.jpg").string(), (outside / "wide.jpg").string()};
  const OpenDialogHandler previous =
      SetOpenDialogHandler([&](const OpenDialogRequest& request) -> std::optional<AnsiString> {
        EXPECT_EQ(request.Title, " Select a new picture to add to clipart");
        AnsiString next = chosen.front();
        chosen.erase(chosen.begin());
        return next;
      });
  Start();
  auto size = [&](const char* name) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile((Folder.Path / "images" / name).string());
    return QSize(jpeg.Width(), jpeg.Height());
  };
  auto load = [this](const char* item) {
    ChooseFromMenu([this] { UserRightClick(Ui().BitMap_Main); }, QString::fromLatin1(item));
  };
  load("Load image, fit better ");
  EXPECT_EQ(size("wide.jpg"), QSize(150, 160));
  EXPECT_EQ(Window->ImageCount, 4);
  EXPECT_EQ(Window->CardPicture, Folder.File("images/") + "wide.jpg");
  load("Load image, fit better ");
  EXPECT_EQ(size("tall.jpg"), QSize(150, 160));
  load("Load image, fit better ");
  EXPECT_EQ(size("small.jpg"), QSize(100, 120));  // small pictures stay as they are
  load("Load new image");                         // a name that exists: no second entry
  EXPECT_EQ(Window->ImageCount, 6);
  EXPECT_EQ(ExtractFileName(Window->ImageFiles[static_cast<std::size_t>(Window->CurrentImage)]), "wide.jpg");
  EXPECT_TRUE(Window->Modified);
  SetOpenDialogHandler(previous);
}

}  // namespace

namespace {

TEST_F(MainWindow, ActivationShowsTheCardOnceSoOtherWindowsKeepTheEdits) {
  WriteBook({Card("A")});
  Start();
  Type(Ui().Edit_City, QStringLiteral("Town"));
  QWidget other;
  ASSERT_TRUE(testing_support::ShowActive(other));
  Window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  EXPECT_EQ(Ui().Edit_City->text(), QStringLiteral("Town"));
  EXPECT_TRUE(Window->Modified);
  // The focused field keeps its colour while another window is active.
  Ui().Edit_City->setFocus();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_EQ(Ui().Edit_City->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
}

TEST_F(MainWindow, TabMovesOnWithoutMarkingAndTheNotesKeepOutWhatTheBookCannotHold) {
  WriteBook({Card("A")});
  Start();
  Ui().Edit_SurName->setFocus();
  QTest::keyClick(Ui().Edit_SurName, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Ui().Edit_Name);
  EXPECT_FALSE(Window->Modified);
  Ui().Edit_Comments->setFocus();
  QTest::keyClick(Ui().Edit_Comments, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), Ui().Edit_Comments);
  EXPECT_EQ(Ui().Edit_Comments->toPlainText(), QString());

  Type(Ui().Edit_Comments, QStringLiteral("keep me"));
  Ui().Edit_Comments->insertPlainText(QString(QChar(0x00FF)));  // as a paste or a drop inserts it
  EXPECT_EQ(Ui().Edit_Comments->toPlainText(), QStringLiteral("keep me"));
  Ui().Edit_Comments->insertPlainText(QString(QChar(0x03A9)));
  EXPECT_EQ(Ui().Edit_Comments->toPlainText(), QStringLiteral("keep me?"));
  UserClick(Ui().Button_Next);  // the only card: stored, and shown again
  EXPECT_EQ(ReadCardView(Window->Cards[0]).Notes, "keep me?");
  EXPECT_EQ(Ui().Edit_Comments->toPlainText(), QStringLiteral("keep me?"));
}

TEST_F(MainWindow, EndingWhileASecondaryWindowIsOpenStillSavesTheCard) {
  WriteBook({Card("A")});
  Start();
  Type(Ui().Edit_Name, QStringLiteral("typed"));
  QTimer::singleShot(0, [this] {
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000));
    Window->close();  // as the end of the desktop session does
  });
  UserClick(Ui().Button_Search);
  EXPECT_FALSE(QApplication::activeModalWidget());
  Window.reset();
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook.abk"), "ABK10\r\n" + Card("A", "typed") + "\r\n");
}

}  // namespace

namespace {

TEST_F(MainWindow, MinimisingHidesTheWindowUntilTheTrayBringsItBack) {
  Start();
  TPopupMenu* tray = Window->TrayMenu();
  ASSERT_EQ(tray->Count(), 4);
  EXPECT_EQ(tray->Items(0)->Caption(), "Open address book ");
  EXPECT_EQ(tray->Items(2)->Caption(), "Minimize to Tray");
  EXPECT_EQ(tray->Items(3)->Caption(), "Save and Exit");
  // Hidden where a notification area can bring it back, minimised where there is none.
  auto gone = [this] {
    return QSystemTrayIcon::isSystemTrayAvailable() ? !Window->isVisible() : Window->isMinimized();
  };
  ChooseFromMenu([this] { PopUpTrayMenu(); },
                 QStringLiteral("Minimize to Tray"));  // posts the system's minimise command
  ASSERT_TRUE(QTest::qWaitFor(gone, 5000));
  ChooseFromMenu([this] { PopUpTrayMenu(); }, QStringLiteral("Open address book "));
  EXPECT_TRUE(Window->isVisible());
  EXPECT_FALSE(Window->isMinimized());

  if (!QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "no notification area to hide the window in";
  Window->showMinimized();  // the title bar's minimise box
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Window->isVisible(); }));
  ShowApplicationWindow(true);  // what a double-click on the tray icon does
  EXPECT_TRUE(Window->isVisible());
  EXPECT_FALSE(Window->isMinimized());
}

// Values longer than their edits are seen from their first character, however the card came on
// view; the caret waits at the start.
TEST_F(MainWindow, LongValuesAreShownFromTheirStart) {
  auto longCard = [](std::string_view surname, std::string_view email, std::string_view phone) {
    CardValues values = testing_support::CardFields(surname);
    values[cfEmail] = email;
    values[cfPhone] = phone;
    values[cfAddress] = "Building 7, Floor 12, Unit 4, 1234 Industrial Estate Boulevard North";
    values[cfCompany] = "Example Company International Holdings Limited";
    values[cfWebsite] = "https://www.example-company.org/people/alice-adams";
    values[cfNotes] = "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\nseven";
    return BuildCardLine(values);
  };
  WriteBook({longCard("Adams", "alice.adams.longaddress@example-company.org",
                      "+44 (0)20 7946 0958 extension 1234 via office"),
             Card("Brown"),
             longCard("Clark", "charles.clark.evenlongeraddress@example-company.org",
                      "+1 (555) 010-0199 extension 5678 via the desk")});
  auto expectShownFromTheirStart = [this](const char* way) {
    SCOPED_TRACE(way);
    for (TEdit* edit : {Ui().Edit_Email, Ui().Edit_Phone, Ui().Edit_Address, Ui().Edit_Company, Ui().Edit_WebSite}) {
      EXPECT_EQ(edit->cursorPosition(), 0) << edit->objectName().toStdString();
      EXPECT_TRUE(ShowsFromItsStart(*edit)) << edit->objectName().toStdString();
    }
  };
  Start();
  expectShownFromTheirStart("start");
  // Notes scrolled to their end: the next card's notes open at their top.
  Ui().Edit_Comments->setFocus();
  QTest::keyClick(Ui().Edit_Comments, Qt::Key_End, Qt::ControlModifier);
  ASSERT_GT(Ui().Edit_Comments->verticalScrollBar()->value(), 0);
  UserClick(Ui().Button_Next);
  UserClick(Ui().Button_Next);
  ASSERT_EQ(Surname(), QStringLiteral("Clark"));
  expectShownFromTheirStart("Next");
  EXPECT_EQ(Ui().Edit_Comments->textCursor().position(), 0);
  EXPECT_EQ(Ui().Edit_Comments->verticalScrollBar()->value(), 0);
  Key(Qt::Key_Home);
  ASSERT_EQ(Surname(), QStringLiteral("Adams"));
  expectShownFromTheirStart("Home");
}

}  // namespace

namespace {

// A size x size picture of reddish noise in progressive scans: the DC of all components, then one
// scan for each AC coefficient of the luminance (64 scans), and a second DC pass when tooManyScans.
// Noise keeps every scan busy, so the picture decodes slowly.
void WriteProgressiveNoise(const std::filesystem::path& file, int size, bool tooManyScans = false) {
  testing_support::TJpegScans scans;
  scans.Scan(3, 0, 0, 0, tooManyScans ? 1 : 0);
  if (tooManyScans) scans.Scan(3, 0, 0, 1, 0);
  for (int k = 1; k < 64; ++k) scans.Scan(1, k, k);
  std::uint32_t noise = 12345;
  WriteBytes(file, testing_support::JpegBytes({.Width = size, .Height = size, .Scans = &scans},
                                              [&noise, size](int, unsigned char* row) {
                                                for (int x = 0; x < size * 3; x += 3) {
                                                  noise = noise * 1664525u + 1013904223u;
                                                  row[x] = static_cast<unsigned char>(200 + (noise >> 26));
                                                  row[x + 1] = static_cast<unsigned char>((noise >> 8) & 63);
                                                  row[x + 2] = static_cast<unsigned char>((noise >> 16) & 63);
                                                }
                                              }));
}

// The mean colour of the card picture as it stands, or black when none is shown.
QColor MeanColour(const TImage& view) {
  const QImage& picture = view.Picture();
  if (picture.isNull()) return Qt::black;
  long long red = 0, green = 0, blue = 0;
  const int count = picture.width() * picture.height();
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = picture.pixel(x, y);
      red += qRed(pixel);
      green += qGreen(pixel);
      blue += qBlue(pixel);
    }
  return QColor(static_cast<int>(red / count), static_cast<int>(green / count), static_cast<int>(blue / count));
}

// A big progressive picture decodes while the window goes on answering: the next card's fields at
// once, the picture when it is ready, and a late decode never replaces a newer card's picture.
TEST_F(MainWindow, ABigPictureNeverHoldsTheWindow) {
  WriteProgressiveNoise(Folder.Path / "images" / "big.jpg", 4096);
  WriteBook({Card("A", "", "cat.jpg"), Card("B", "", "big.jpg"), Card("C", "", "Dog.JPG")});
  Start();
  QElapsedTimer clock;
  clock.start();
  qint64 answeredAfter = -1;
  QTimer::singleShot(0, Window.get(), [&] { answeredAfter = clock.elapsed(); });
  UserClick(Ui().Button_Next);
  EXPECT_EQ(Surname(), QStringLiteral("B"));
  EXPECT_TRUE(Ui().BitMap_Main->Picture().isNull()) << "A's picture beside B's fields";
  ASSERT_TRUE(QTest::qWaitFor([&] { return answeredAfter >= 0; }, 5000));
  EXPECT_LT(answeredAfter, 200);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Ui().BitMap_Main->Picture().isNull(); }, 60000));
  const qint64 decodeTime = clock.elapsed();
  EXPECT_GT(MeanColour(*Ui().BitMap_Main).red(), 180);
  EXPECT_LT(MeanColour(*Ui().BitMap_Main).green(), 80);
  EXPECT_EQ(Window->CardPicture, "big.jpg");

  UserClick(Ui().Button_Previous);
  EXPECT_GT(MeanColour(*Ui().BitMap_Main).green(), 240) << "cat's picture at once";
  UserClick(Ui().Button_Next);  // B's picture decoding again
  UserClick(Ui().Button_Next);
  EXPECT_EQ(Surname(), QStringLiteral("C"));
  const QColor dog = MeanColour(*Ui().BitMap_Main);
  EXPECT_GT(dog.red(), 240);
  EXPECT_LT(dog.green(), 20);
  // Waits for something that must not happen: twice a decode's time leaves B's late picture room to arrive.
  QTest::qWait(static_cast<int>(2 * decodeTime + 300));
  EXPECT_EQ(MeanColour(*Ui().BitMap_Main), dog) << "B's late picture replaced C's";
  EXPECT_EQ(Window->CardPicture, "Dog.JPG");
}

// A big picture that fails only in its decode: the default picture follows, and the card keeps its
// picture's name; a picture command that steps onto it stores no name.
TEST_F(MainWindow, ABigPictureThatFailsLateShowsTheDefaultPicture) {
  WriteProgressiveNoise(Folder.Path / "images" / "broken.jpg", 1100, true);
  WriteBook({Card("A", "", "cat.jpg"), Card("B", "", "broken.jpg")});
  Start();
  UserClick(Ui().Button_Next);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Ui().BitMap_Main->Picture().isNull(); }, 60000));
  EXPECT_GT(MeanColour(*Ui().BitMap_Main).blue(), 240) << "the white default";
  EXPECT_EQ(Window->CardPicture, "broken.jpg");

  UserClick(Ui().Button_NextImage);  // from 000_HELP.JPG to broken.jpg
  ASSERT_EQ(Window->CurrentImage, 1);
  ASSERT_TRUE(QTest::qWaitFor([this] { return Window->CardPicture.empty(); }, 60000)) << Window->CardPicture;
  EXPECT_EQ(Exit().find("broken.jpg"), std::string::npos);
}

}  // namespace

namespace {

// What the start found about the book is said once, right after the window appears, naming the
// file kept aside and what was loaded; the exit does not say it again.
TEST_F(MainWindow, TheStartSaysOnceWhatItFoundAboutTheBook) {
  const std::filesystem::path book = Folder.Path / "AddressBook.abk";
  std::string nulInCard2 = Card("Beta");
  nulInCard2.insert(2, 1, '\0');
  const std::string nulBook = "ABK10\r\n" + Card("A") + "\r\n" + nulInCard2 + "\r\n" + Card("C") + "\r\n";
  const std::string textFile = "Dear Sir,\r\nthank you\r\n";
  const std::filesystem::path rescued = Folder.Path / "data" / "velmora-address-book" / "AddressBook-rescued.abk";
  struct Case {
    const char* what;
    std::string setting;
    std::function<void()> make;
    std::vector<std::string> said;
    QString counter;
    std::string keptAside;  // the bytes AddressBook.abk.original holds right after the start
  };
  const Case cases[] = {
      {"a NUL inside card 2 of 3",
       "AddressBook.abk",
       [&] { WriteBytes(book, nulBook); },
       {Folder.File("AddressBook.abk.original"), "2 cards were loaded"},
       QStringLiteral("Card 1 of 2"),
       nulBook},
      {"a text file",
       "AddressBook.abk",
       [&] { WriteBytes(book, textFile); },
       {Folder.File("AddressBook.abk.original"), "1 card was loaded"},
       QStringLiteral("Card 1 of 1"),
       textFile},
      {"a FIFO",
       "AddressBook.abk",
       [&] { ASSERT_EQ(mkfifo(book.c_str(), 0600), 0); },
       {Folder.File("AddressBook.abk"), "could not be read", "empty book"},
       QStringLiteral("Card 1 of 1"),
       ""},
      {"a link to /dev/zero",
       "AddressBook.abk",
       [&] { std::filesystem::create_symlink("/dev/zero", book); },
       {Folder.File("AddressBook.abk"), "could not be read", "empty book"},
       QStringLiteral("Card 1 of 1"),
       ""},
      {"a name out of the folder",
       "../victim.txt",
       [&] { WriteBook({Card("Z")}); },
       {"\"../victim.txt\"", Folder.File("AddressBook.abk"), "1 card"},
       QStringLiteral("Card 1 of 1"),
       ""},
      {"an empty name",
       "",
       [&] { WriteBook({}); },
       {"held \"\"", Folder.File("AddressBook.abk"), "an empty book"},
       QStringLiteral("Card 1 of 1"),
       ""},
      {"cards an earlier exit rescued",
       "AddressBook.abk",
       [&] {
         WriteBook({Card("Z")});
         std::filesystem::create_directories(rescued.parent_path());
         WriteBytes(rescued, "ABK10\r\n" + Card("Rescued") + "\r\n");
       },
       {rescued.string()},
       QStringLiteral("Card 1 of 1"),
       ""},
  };
  for (const Case& c : cases) {
    for (const char* name : {"AddressBook.abk", "AddressBook.bkp", "AddressBook.abk.original"})
      std::filesystem::remove(Folder.Path / name);
    std::filesystem::remove_all(Folder.Path / "data");
    TRegLib().WriteString(kSettingsKey, "AddressBook", c.setting);
    c.make();
    Boxes.Shown.clear();
    Start();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Boxes.Shown.empty(); })) << c.what;
    EXPECT_EQ(Boxes.Shown.size(), 1u) << c.what;
    for (const std::string& part : c.said)
      EXPECT_NE(Boxes.Shown[0].find(part), std::string::npos) << c.what << ": " << part << "\n" << Boxes.Shown[0];
    EXPECT_EQ(Counter(), c.counter) << c.what;
    const std::filesystem::path kept = Folder.Path / "AddressBook.abk.original";
    EXPECT_EQ(std::filesystem::exists(kept), !c.keptAside.empty()) << c.what;
    if (!c.keptAside.empty()) {
      EXPECT_EQ(ReadBytes(kept), c.keptAside) << c.what;
    }
    UserClick(Ui().Button_Exit);
    Window.reset();
    EXPECT_EQ(Boxes.Shown.size(), 1u) << c.what << ": " << Boxes.Shown.back();
  }
  // The next start has nothing to say.
  Boxes.Shown.clear();
  Start();
  QTest::qWait(50);
  EXPECT_EQ(Boxes.Shown.size(), 0u);
}

// When the program is asked to end (a logout), no box waits for an answer: a save that fails at
// exit shows none and puts the cards where a rescue file can be written; a box that is up closes.
TEST_F(MainWindow, AskedToEndTheExitShowsNoBoxAndTheCardsAreRescued) {
  const TTerminationWatch program([this] {
    if (Window) Window->close();  // as the program's main block does
  });
  Start();
  Type(Ui().Edit_SurName, QStringLiteral("Typed"));
  std::filesystem::create_directories(Folder.Path / "AddressBook.abk" / "in the way");
  raise(SIGTERM);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Window->isVisible(); }));
  Window.reset();
  EXPECT_EQ(Boxes.Shown.size(), 0u) << Boxes.Shown.front();
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook-rescued.abk"), "ABK10\r\n" + Card("Typed") + "\r\n");
}

// Runs act on the message box once one is up, looking from the event loop every 10 ms.
void WhenABoxIsUp(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer();
  QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(box);
    }
  });
  timer->start(10);
}

// A book that cannot be read: the real box at the start and the one at exit each close when the
// program is asked to end, and the cards typed are rescued.
TEST_F(MainWindow, TheBoxesOfAnUnreadableBookAnswerARequestToEnd) {
  ASSERT_EQ(mkfifo((Folder.Path / "AddressBook.abk").c_str(), 0600), 0);
  InstallWidgetMessageBoxes();
  SetOpenDialogHandler(nullptr);
  // A box the signal did not close is closed after 5 s, so that the test goes on to fail.
  const auto signalTheBox = [](int signal) {
    WhenABoxIsUp([signal](QWidget* box) {
      raise(signal);
      QTimer::singleShot(5000, box, [box] { box->close(); });
    });
  };
  QElapsedTimer clock;
  {
    const TTerminationWatch program([this] {
      if (Window) Window->close();  // as the program's main block does
    });
    signalTheBox(SIGHUP);
    clock.start();
    Window = std::make_unique<TForm_Main>();
    Window->show();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !Window->isVisible(); }, 10000));
    EXPECT_LT(clock.elapsed(), 4000);
    Window.reset();
  }
  EXPECT_TRUE(std::filesystem::is_fifo(Folder.Path / "AddressBook.abk"));

  const TTerminationWatch program(nullptr);
  WhenABoxIsUp([](QWidget* box) { box->close(); });  // the user reads the start notice
  Start();
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
  Type(Ui().Edit_SurName, QStringLiteral("Typed"));
  signalTheBox(SIGINT);  // the box that says where the cards went
  clock.start();
  UserClick(Ui().Button_Exit);
  Window.reset();
  EXPECT_LT(clock.elapsed(), 4000);
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook-rescued.abk"), "ABK10\r\n" + Card("Typed") + "\r\n");
  SetMessageBoxHandler(nullptr);
}

}  // namespace
