// Text typed and pasted into the main window's card fields and the search window, under a Western
// and under the Greek code page, up to the book file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "CardBook.h"
#include "CodePage.h"
#include "Form_Search.h"
#include "Sound.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_Search.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::Card;
using testing_support::CardFields;
using testing_support::MessageBoxRecorder;
using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::UserClick;

const QString kOmega = QString::fromUtf8("\u03A9\u03BC\u03AD\u03B3\u03B1");
const QString kMixed = QString::fromUtf8("\u03A9\u03BC\u03AD\u03B3\u03B1 Smith \U0001F600 \u6771\u4EAC");
const std::string kOmegaIn1253 = "\xD9\xEC\xDD\xE3\xE1";

class TextInput : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    testing_support::WriteBook(Folder.Path / "AddressBook.abk", {Card("Baker", "Bob")});
  }
  void TearDown() override {
    Window.reset();
    SetAnsiCodePage(1252);
  }

  void Start() {
    Window = std::make_unique<TForm_Main>();
    ASSERT_TRUE(testing_support::ShowActive(*Window));
  }
  // Ends the program as the Exit button does and returns the book's cards.
  std::vector<std::string> Exit() {
    UserClick(Window->Controls().Button_Exit);
    Window.reset();
    std::vector<std::string> cards;
    const std::string book = ReadBytes(Folder.Path / "AddressBook.abk");
    for (std::size_t start = book.find("\r\n") + 2; start < book.size();) {
      const std::size_t end = book.find("\r\n", start);
      cards.push_back(book.substr(start, end - start));
      start = end + 2;
    }
    return cards;
  }

  // One key press for each character, as a keyboard sends it.
  static void Type(QWidget* field, const QString& text) {
    field->setFocus();
    for (qsizetype i = 0; i < text.size(); i += text[i].isHighSurrogate() ? 2 : 1)
      QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, text.mid(i, text[i].isHighSurrogate() ? 2 : 1),
                          Qt::NoModifier);
  }
  static void Paste(QWidget* field, const QString& text) {
    field->setFocus();
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  }
  // The boxes shown once the expected number has come (a paste's box is shown once the paste is
  // over), and a short moment more: a box beyond them must not come, so that wait is fixed.
  std::vector<AnsiString> ShownBoxes(std::size_t expected) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return Boxes.Shown.size() >= expected; }, 10000));
    QTest::qWait(20);
    return Boxes.Shown;
  }

  Ui::TForm_Main& Ui() { return Window->Controls(); }
  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  MessageBoxRecorder Boxes;
};

TEST_F(TextInput, UnderAWesternCodePageLostCharactersShowAsQuestionMarksAndTheCardIsStored) {
  SetAnsiCodePage(1252);
  Start();
  // Typed into a stored card, a character the code page cannot hold marks the card as edited.
  Type(Ui().Edit_City, QString(QChar(0x03A9)));
  EXPECT_TRUE(Window->Modified);
  EXPECT_EQ(Ui().Edit_City->text(), QStringLiteral("?"));

  // A new card with an all-Greek surname is stored, the notes pasted with what they held.
  UserClick(Ui().Button_New);
  Type(Ui().Edit_SurName, kOmega);
  EXPECT_EQ(Ui().Edit_SurName->text(), QStringLiteral("?????"));
  EXPECT_TRUE(ShownBoxes(0).empty());
  Paste(Ui().Edit_Comments, kMixed);
  EXPECT_EQ(Ui().Edit_Comments->toPlainText(), QStringLiteral("????? Smith ? ??"));
  EXPECT_EQ(ShownBoxes(1).size(), 1u);
  Paste(Ui().Edit_Name, kMixed);
  EXPECT_EQ(Ui().Edit_Name->text(), QStringLiteral("????? Smith ? ??"));
  EXPECT_EQ(ShownBoxes(2).size(), 2u);

  CardValues stored{};
  stored[cfSurname] = "?????";
  stored[cfFirstName] = "????? Smith ? ??";
  stored[cfNotes] = "????? Smith ? ??";
  CardValues edited = CardFields("Baker", "Bob");
  edited[cfCity] = "?";
  EXPECT_EQ(Exit(), (std::vector<std::string>{BuildCardLine(edited), BuildCardLine(stored)}));
}

TEST_F(TextInput, UnderTheGreekCodePageGreekIsTypedPastedStoredShownAndSearched) {
  SetAnsiCodePage(1253);
  Start();
  UserClick(Ui().Button_New);
  Type(Ui().Edit_SurName, kOmega);
  Paste(Ui().Edit_Comments, kMixed);
  EXPECT_EQ(Ui().Edit_SurName->text(), kOmega);
  EXPECT_EQ(Ui().Edit_Comments->toPlainText(), kOmega + QStringLiteral(" Smith ? ??"));
  EXPECT_EQ(ShownBoxes(1).size(), 1u);  // for the face and the two Han characters
  const std::string notes = kOmegaIn1253 + " Smith ? ??";
  CardValues stored{};
  stored[cfSurname] = kOmegaIn1253;
  stored[cfNotes] = notes;
  EXPECT_EQ(Exit().back(), BuildCardLine(stored));

  // Shown again after a restart, and found by a Greek string typed into the search window.
  Start();
  int found = -1;
  testing_support::DriveModal<TFormSearch>(
      Window.get(), [this] { UserClick(Ui().Button_Search); },
      [&](TFormSearch& search) {
        Type(search.Controls().Edit_Search1, kOmega.mid(1));
        QTest::keyClick(search.Controls().Edit_Search1, Qt::Key_Return);
        found = search.SelectedCard;
      });
  EXPECT_EQ(found, 1);
  EXPECT_EQ(Ui().Edit_SurName->text(), kOmega);
}

}  // namespace
