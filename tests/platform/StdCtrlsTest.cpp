#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "CodePage.h"
#include "Dialogs.h"
#include "EditView.h"

namespace {

using testing_support::ShowsFromItsStart;

const QString kLongValue = QStringLiteral("alice.adams.longaddress@example-company.org");

TEST(Edit, TextThatTheProgramPutsInIsShownFromItsStart) {
  TEdit edit;
  edit.resize(100, 21);
  edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
  edit.setText(kLongValue);
  EXPECT_EQ(edit.cursorPosition(), 0);
  EXPECT_TRUE(ShowsFromItsStart(edit));

  // Typing at the end scrolls the edit, and the caret stays where the user typed.
  edit.setFocus();
  edit.end(false);
  QTest::keyClicks(&edit, QStringLiteral("xyz"));
  EXPECT_EQ(edit.cursorPosition(), kLongValue.size() + 3);
  EXPECT_FALSE(ShowsFromItsStart(edit));

  // The next text shows from its start again, while the edit has the focus too.
  edit.setText(QStringLiteral("+44 (0)20 7946 0958 extension 1234 via office"));
  EXPECT_EQ(edit.cursorPosition(), 0);
  EXPECT_TRUE(ShowsFromItsStart(edit));
}

std::vector<AnsiString> ItemsOf(const TListBox& list) {
  std::vector<AnsiString> items;
  for (int i = 0; i < list.Count(); ++i) items.emplace_back(list.Items(i));
  return items;
}

const char* const kNames[] = {"smith, b", "Brown, A", "Smith, a", "\xC9vian, E", "brown, a", "Zorn, Z", "Smith, a"};

TEST(ListBox, SortedListsFollowTheLocaleWithCaseIgnored) {
  TListBox one;
  one.SetSorted(true);
  for (const char* name : kNames) one.Add(name);
  const std::vector<AnsiString> expected = {"Brown, A", "brown, a", "\xC9vian, E", "Smith, a",
                                            "Smith, a", "smith, b", "Zorn, Z"};
  EXPECT_EQ(ItemsOf(one), expected);

  TListBox bulk;  // filling in one go gives the same order
  bulk.SetSorted(true);
  bulk.BeginUpdate();
  for (const char* name : kNames) bulk.Add(name);
  EXPECT_EQ(bulk.Count(), 0);
  bulk.EndUpdate();
  EXPECT_EQ(ItemsOf(bulk), expected);

  TListBox unsorted;
  for (const char* name : kNames) unsorted.Add(name);
  EXPECT_EQ(unsorted.Items(0), "smith, b");
  EXPECT_THROW((void)unsorted.Items(7), EStringListError);
}

TEST(ListBox, RefillsAndLateAddsKeepTheOrder) {
  TListBox list;
  list.BeginUpdate();
  for (const char* name : {"zeta", "Alpha"}) list.Add(name);
  list.SetSorted(true);  // while items wait to be added
  list.EndUpdate();
  list.Add("beta");
  EXPECT_EQ(ItemsOf(list), (std::vector<AnsiString>{"Alpha", "beta", "zeta"}));

  list.Clear();
  list.BeginUpdate();
  list.Add("Omega");
  list.EndUpdate();
  list.BeginUpdate();
  list.Add("delta");
  list.EndUpdate();
  EXPECT_EQ(ItemsOf(list), (std::vector<AnsiString>{"delta", "Omega"}));
}

TEST(ListBox, EachItemKeepsItsObjectWhereverItIsSorted) {
  auto objectsOf = [](const TListBox& list) {
    std::vector<int> objects;
    for (int i = 0; i < list.Count(); ++i) objects.push_back(list.Objects(i));
    return objects;
  };
  // Sorted: "Brown, A", "brown, a", "\xC9vian, E", "Smith, a", "Smith, a", "smith, b", "Zorn, Z".
  const std::vector<int> sorted = {11, 14, 13, 12, 16, 10, 15};
  TListBox one;
  one.SetSorted(true);
  TListBox bulk;
  bulk.SetSorted(true);
  bulk.BeginUpdate();
  for (int i = 0; i < 7; ++i) {
    one.AddObject(kNames[i], 10 + i);
    bulk.AddObject(kNames[i], 10 + i);
  }
  bulk.EndUpdate();
  EXPECT_EQ(objectsOf(one), sorted);
  EXPECT_EQ(objectsOf(bulk), sorted);
  bulk.Add("Alpha");
  EXPECT_EQ(bulk.Objects(0), 0);
  EXPECT_EQ(bulk.Objects(1), 11);
  EXPECT_THROW((void)bulk.Objects(8), EStringListError);
}

TEST(ListBox, SelectionAndDoubleClick) {
  TListBox list;
  list.resize(200, 150);
  list.show();
  for (const char* name : {"a", "b", "c"}) list.Add(name);
  EXPECT_EQ(list.ItemIndex(), -1);
  int clicks = 0;
  list.OnDblClick = [&](QObject*) { ++clicks; };
  const QRect second = list.visualRect(list.model()->index(1, 0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  list.Clear();
  EXPECT_EQ(list.ItemIndex(), -1);
}

// ---- text that comes into the edits ----

QString TextOf(const TEdit& edit) {
  return edit.text();
}
QString TextOf(const TMemo& memo) {
  return memo.toPlainText();
}

// The one-line and the multi-line edit, shown with the focus, under a code page, with the texts of
// the message boxes shown.
template <class TEditKind>
class IncomingText : public testing::Test {
 protected:
  void SetUp() override {
    Previous = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
      Boxes.push_back(request.Text);
      return IDOK;
    });
    Edit.resize(200, 60);
    Edit.show();
    Edit.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Edit));
    Edit.setFocus();
  }
  void TearDown() override {
    SetMessageBoxHandler(std::move(Previous));
    SetAnsiCodePage(1252);
  }

  // One key press for each character, as a keyboard sends it (a character beyond 16 bits too).
  void Type(const QString& text) {
    for (qsizetype i = 0; i < text.size(); i += text[i].isHighSurrogate() ? 2 : 1)
      QTest::sendKeyEvent(QTest::Click, &Edit, Qt::Key_unknown, text.mid(i, text[i].isHighSurrogate() ? 2 : 1),
                          Qt::NoModifier);
  }
  void Paste(const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(&Edit, Qt::Key_V, Qt::ControlModifier);
  }
  // The boxes shown until now; a box is shown once the change is over.
  std::vector<AnsiString> ShownBoxes() {
    QTest::qWait(20);
    return Boxes;
  }
  QString Text() const { return TextOf(Edit); }

  TEditKind Edit;
  std::vector<AnsiString> Boxes;
  MessageBoxHandler Previous;
};

using EditKinds = testing::Types<TEdit, TMemo>;
TYPED_TEST_SUITE(IncomingText, EditKinds);

const QString kMixedText = QString::fromUtf8("\u03A9\u03BC\u03AD\u03B3\u03B1 Smith \U0001F600 \u6771\u4EAC");

TYPED_TEST(IncomingText, WhatTheWesternCodePageCannotHoldBecomesAQuestionMarkAndAPasteSaysSo) {
  SetAnsiCodePage(1252);
  this->Type(QString::fromUtf8("Zo\u00EB\U0001F600"));
  EXPECT_EQ(this->Text(), QString::fromUtf8("Zo\u00EB?"));
  EXPECT_TRUE(this->ShownBoxes().empty());  // the user sees each typed "?" at once

  this->Paste(QStringLiteral(" ") + kMixedText);
  this->Type(QStringLiteral("."));  // the caret stays after the pasted text
  EXPECT_EQ(this->Text(), QString::fromUtf8("Zo\u00EB? ????? Smith ? ??."));
  const std::vector<AnsiString> boxes = this->ShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("\"?\""), AnsiString::npos);
  EXPECT_EQ(QStringToAnsi(this->Text()), "Zo\xEB? ????? Smith ? ??.");
}

TYPED_TEST(IncomingText, ARefusedByteTypedAloneIsRefusedAndInAPasteBecomesAQuestionMark) {
  SetAnsiCodePage(1252);
  this->Edit.SetRefusedChars("\xFF");
  this->Type(QString::fromUtf8("Zo\u00FF\u00EB"));
  EXPECT_EQ(this->Text(), QString::fromUtf8("Zo\u00EB"));
  EXPECT_TRUE(this->ShownBoxes().empty());
  this->Paste(QString::fromUtf8(" \u00FFves"));
  EXPECT_EQ(this->Text(), QString::fromUtf8("Zo\u00EB ?ves"));
  EXPECT_EQ(this->ShownBoxes().size(), 1u);
}

TYPED_TEST(IncomingText, TheGreekCodePageKeepsGreek) {
  SetAnsiCodePage(1253);
  this->Type(QString::fromUtf8("\u03A9\u03BC\u03AD\u03B3\u03B1 "));
  this->Paste(kMixedText);
  EXPECT_EQ(this->Text(),
            QString::fromUtf8("\u03A9\u03BC\u03AD\u03B3\u03B1 \u03A9\u03BC\u03AD\u03B3\u03B1 Smith ? ??"));
  EXPECT_EQ(QStringToAnsi(this->Text()), "\xD9\xEC\xDD\xE3\xE1 \xD9\xEC\xDD\xE3\xE1 Smith ? ??");
  EXPECT_EQ(this->ShownBoxes().size(), 1u);  // for the face and the two Han characters
  this->Paste(QString::fromUtf8("\u0391\u03B8\u03AE\u03BD\u03B1"));
  EXPECT_EQ(this->ShownBoxes().size(), 1u);  // a paste that lost nothing says nothing
}

}  // namespace
