#include "QMCoolEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <vector>

#include "Dialogs.h"
#include "Forms.h"

namespace {

// Two edits on a form; the first one has the focus and counts its events.
class CoolEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.resize(200, 80);
    edit = new TQMCoolEdit(&form);
    edit->setGeometry(10, 10, 100, 21);
    next = new TQMCoolEdit(&form);
    next->setGeometry(10, 40, 100, 21);
    edit->OnChange = [this](QObject*) { changes.push_back(edit->text().toStdString()); };
    edit->OnKeyPress = [this](QObject*, char& key) { keyPresses.push_back(key); };
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(edit->hasFocus());
  }

  void Paste(const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  }

  TForm form;
  TQMCoolEdit* edit = nullptr;
  TQMCoolEdit* next = nullptr;
  std::vector<std::string> changes;
  std::vector<char> keyPresses;
};

TEST_F(CoolEditTest, DigitsOnlyRefuseOtherKeysSilently) {
  edit->SetAcceptChars("0123456789");
  QTest::keyClicks(edit, QStringLiteral("a! "));
  EXPECT_EQ(edit->text().toStdString(), "");
  EXPECT_TRUE(changes.empty());
  EXPECT_TRUE(keyPresses.empty());
  QTest::keyClicks(edit, QStringLiteral("4x2"));
  EXPECT_EQ(edit->text().toStdString(), "42");
  EXPECT_EQ(keyPresses, (std::vector<char>{'4', '2'}));
  QTest::keyClick(edit, Qt::Key_Backspace);  // control keys pass the filter
  EXPECT_EQ(edit->text().toStdString(), "4");
  EXPECT_EQ(keyPresses.back(), '\b');
}

TEST_F(CoolEditTest, PasteKeepsOnlyAcceptedCharactersAndChangesTwice) {
  edit->SetAcceptChars("0123456789");
  Paste(QStringLiteral("1a2\t3 b"));
  EXPECT_EQ(edit->text().toStdString(), "123");
  // The pasted text, then the nested pass over the filtered text, then the outer pass.
  EXPECT_EQ(changes, (std::vector<std::string>{"123", "123"}));
  EXPECT_EQ(edit->cursorPosition(), 3);
}

TEST_F(CoolEditTest, EmptySetAcceptsEverything) {
  QTest::keyClicks(edit, QStringLiteral("a1 !"));
  Paste(QStringLiteral("x\ty"));
  EXPECT_EQ(edit->text().toStdString(), "a1 !x\ty");
}

TEST_F(CoolEditTest, CaseOptions) {
  struct Case {
    const char* what;
    bool upper, firstUpper;
    AnsiString accept;
    const char* typed;
    std::string expected;
  };
  const Case cases[] = {
      {"upper case", true, false, "", "ab c", "AB C"},
      {"a letter whose capital is two letters stays", true, false, "", "stra\337e", "STRA\u00dfE"},
      {"the filter sees the key as typed", true, false, "ABC", "aBc", "B"},
      {"first upper case: only the very first character", false, true, "", "hello world", "Hello world"},
      {"both: all upper case", true, true, "", "hello world", "HELLO WORLD"},
  };
  for (const Case& c : cases) {
    edit->SetText(QString());
    edit->Options()->UpperCase = c.upper;
    edit->Options()->FirstUpperCase = c.firstUpper;
    edit->SetAcceptChars(c.accept);
    QTest::keyClicks(edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(edit->text().toStdString(), c.expected) << c.what;
  }
  edit->Options()->UpperCase = false;
  edit->Options()->FirstUpperCase = true;
  edit->SetAcceptChars("");
  edit->SetText(QStringLiteral("abc"));  // text set by the program is changed too
  EXPECT_EQ(edit->text().toStdString(), "Abc");
}

TEST_F(CoolEditTest, EscRestoresTheEntryTextOnlyWithTheOption) {
  edit->setFocus(Qt::NoFocusReason);
  next->setFocus(Qt::TabFocusReason);
  edit->SetText(QStringLiteral("old"));
  edit->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(edit->EntryText.toStdString(), "old");
  QTest::keyClick(edit, Qt::Key_End);  // the focus came with the text selected
  QTest::keyClicks(edit, QStringLiteral("er"));
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(edit->text().toStdString(), "older");  // an ordinary key without the option
  EXPECT_EQ(keyPresses.back(), '\x1B');
  edit->Options()->EscCancels = true;
  keyPresses.clear();
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(edit->text().toStdString(), "old");
  EXPECT_TRUE(keyPresses.empty());
  EXPECT_TRUE(edit->hasFocus());
}

TEST_F(CoolEditTest, EnterMovesOnOnlyWithTheOption) {
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_TRUE(edit->hasFocus());
  edit->Options()->EnterAsTab = true;
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_TRUE(next->hasFocus());
}

TEST_F(CoolEditTest, FocusColoursAndTheSavedColoursComeBack) {
  next->SetColor(clYellow);
  next->SetFontColor(clNavy);
  next->SetColorOnFocus(clRed);
  next->TextColorOnFocus = clWhite;
  next->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(next->Color(), clRed);
  EXPECT_EQ(next->palette().color(QPalette::Base), QColor(255, 0, 0));
  EXPECT_EQ(next->palette().color(QPalette::Text), QColor(255, 255, 255));
  next->SetColor(clLime);  // changed while focused: undone when the focus leaves
  edit->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(next->Color(), clYellow);
  EXPECT_EQ(next->FontColor(), clNavy);
  EXPECT_EQ(next->palette().color(QPalette::Base), QColor(255, 255, 0));
}

TEST_F(CoolEditTest, LengthLimitBindsTheUserNotTheProgram) {
  edit->SetAcceptChars("0123456789");
  edit->SetMaxLength(3);
  QTest::keyClicks(edit, QStringLiteral("12345"));
  EXPECT_EQ(edit->text().toStdString(), "123");
  edit->SetText(QString());
  Paste(QStringLiteral("9a8765"));  // cut to the room left, then filtered
  EXPECT_EQ(edit->text().toStdString(), "98");
  edit->SetText(QStringLiteral("1000"));
  EXPECT_EQ(edit->text().toStdString(), "1000");
  changes.clear();
  QTest::keyClick(edit, Qt::Key_5);
  EXPECT_EQ(edit->text().toStdString(), "1000");
  EXPECT_TRUE(changes.empty());
  QTest::keyClick(edit, Qt::Key_End);  // the program's text put the caret before it
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text().toStdString(), "100");
}

// The colours restored when the focus leaves are those of an enabled edit: disabled, it is drawn
// as an edit that never had the focus.
TEST_F(CoolEditTest, ADisabledEditLooksDisabledAfterItHadTheFocus) {
  auto* untouched = new TQMCoolEdit(&form);
  untouched->setGeometry(120, 10, 60, 21);
  untouched->show();
  edit->SetColorOnFocus(clYellow);
  next->setFocus(Qt::TabFocusReason);
  for (TQMCoolEdit* disabled : {edit, untouched}) disabled->setEnabled(false);
  for (QPalette::ColorRole role : {QPalette::Base, QPalette::Text})
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, role), untouched->palette().color(QPalette::Disabled, role))
        << role;
  const auto background = [](QWidget* widget) { return widget->grab().toImage().pixel(widget->width() - 5, 10); };
  EXPECT_EQ(background(edit), background(untouched));
  edit->setEnabled(true);
  EXPECT_EQ(background(edit), qRgb(255, 255, 255));  // its own colour again
}

// Characters the code page cannot hold come in as "?", which the accepted set filters like any
// other character; only a "?" left in the edit is worth a word to the user.
TEST_F(CoolEditTest, CharactersTheCodePageCannotHoldComeInAsQuestionMarks) {
  std::vector<AnsiString> boxes;
  const MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxRequest& request) {
    boxes.push_back(request.Text);
    return IDOK;
  });
  const QString omega(QChar(0x03A9));
  edit->SetAcceptChars("0123456789");
  QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, omega, Qt::NoModifier);
  EXPECT_TRUE(keyPresses.empty());
  Paste(QStringLiteral("1") + omega + QStringLiteral("2"));
  EXPECT_EQ(edit->text().toStdString(), "12");
  QTest::qWait(20);
  EXPECT_TRUE(boxes.empty());

  edit->SetAcceptChars("");
  edit->Options()->UpperCase = true;
  QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, omega, Qt::NoModifier);
  EXPECT_EQ(keyPresses.back(), '?');  // after Ctrl+V's control character
  Paste(QStringLiteral("a") + omega);
  EXPECT_EQ(edit->text().toStdString(), "12?A?");
  QTest::qWait(20);
  EXPECT_EQ(boxes.size(), 1u);
  SetMessageBoxHandler(previous);
}

}  // namespace
