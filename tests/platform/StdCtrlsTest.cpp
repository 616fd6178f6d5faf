#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <QTest>

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

}  // namespace
