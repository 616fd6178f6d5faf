#include "CardListModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>

#include "CardBook.h"

namespace {

std::string Line(std::string_view surname, std::string_view first, std::string_view street = "",
                 std::string_view city = "", std::string_view zip = "", std::string_view phone = "",
                 std::string_view email = "", std::string_view web = "") {
  CardValues values{};
  values[cfSurname] = surname;
  values[cfFirstName] = first;
  values[cfAddress] = street;
  values[cfCity] = city;
  values[cfZip] = zip;
  values[cfPhone] = phone;
  values[cfEmail] = email;
  values[cfWebsite] = web;
  return BuildCardLine(values);
}

std::vector<std::string> Column(const TCardListModel& model, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < model.rowCount(); ++row) texts.emplace_back(model.Text(row, column));
  return texts;
}

TEST(CardList, ReadListCardJoinsAndTrimsAsTheListShowsThem) {
  struct Case {
    std::string line;
    TListCard card;
  };
  const Case cases[] = {
      {Line(" Lee ", " Ann "), {"Lee Ann", "", "", "", ""}},
      {Line("", "Ann"), {"Ann", "", "", "", ""}},
      {Line("", ""), {"", "", "", "", ""}},
      {Line("Van  Dyke", "Al"), {"Van  Dyke Al", "", "", "", ""}},
      {Line("X", "", "1 Main St", "", "123"), {"X", "1 Main St  123", "", "", ""}},
      {Line("X", "", "", " Town ", ""), {"X", "Town", "", "", ""}},
      {Line("X", "", "", "", "", " 555 ", " a@b.org ", " x.org "), {"X", "", "555", "a@b.org", "x.org"}},
      {"Solo\xFF"
       "Only",
       {"Solo", "", "", "", ""}},  // text after the last separator is no field
  };
  for (const Case& c : cases) {
    const TListCard card = ReadListCard(c.line);
    EXPECT_EQ(card.Name, c.card.Name) << c.line;
    EXPECT_EQ(card.Address, c.card.Address) << c.line;
    EXPECT_EQ(card.Phone, c.card.Phone) << c.line;
    EXPECT_EQ(card.Email, c.card.Email) << c.line;
    EXPECT_EQ(card.WebSite, c.card.WebSite) << c.line;
  }
}

TEST(CardList, CompareOrdinalIsByUnsignedBytes) {
  EXPECT_EQ(CompareOrdinal("Zed", "abe"), -1);      // every capital before every small letter
  EXPECT_EQ(CompareOrdinal("Lee", "Leeds"), -1);    // a prefix is the lesser
  EXPECT_EQ(CompareOrdinal("\xC9mile", "zed"), 1);  // bytes above 127 after ASCII
  EXPECT_EQ(CompareOrdinal("", "a"), -1);
  EXPECT_EQ(CompareOrdinal("same", "same"), 0);
}

TEST(CardList, ModelSortsByEveryKeyAndKeepsTheCardOfEachRow) {
  TStringList cards;
  for (const std::string& line :
       {Line("lee", "", "9 High St", "", "", "3", "z@x"), Line("Zed", "", "", "", "", "1", "", "b.org"),
        Line("Abe", "", "1 Low St", "", "", "", "a@x", "a.org"), Line("\xC9mile", "", "5 Mid St", "", "", "2")})
    cards.Add(line);
  TCardListModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  model.Fill(cards, TCardListModel::kSortByName);
  ASSERT_EQ(model.rowCount(), 4);
  EXPECT_EQ(Column(model, TCardListModel::colName), (std::vector<std::string>{"Abe", "Zed", "lee", "\xC9mile"}));
  const QPersistentModelIndex lee = model.index(2, TCardListModel::colPhone);

  const std::pair<int, std::vector<std::string>> orders[] = {
      {0, {"Zed", "Abe", "\xC9mile", "lee"}},                                          // an empty address first
      {1, {"Abe", "Zed", "\xC9mile", "lee"}}, {2, {"Zed", "\xC9mile", "Abe", "lee"}},  // ties keep name order
      {3, {"lee", "\xC9mile", "Abe", "Zed"}}, {-1, {"Abe", "Zed", "lee", "\xC9mile"}},
  };
  for (const auto& [key, names] : orders) {
    model.SortBy(key);
    EXPECT_EQ(model.SortKey(), key);
    EXPECT_EQ(Column(model, TCardListModel::colName), names) << key;
    for (int row = 0; row < model.rowCount(); ++row)
      EXPECT_EQ(ReadListCard(cards[model.CardOf(row)]).Name, model.Text(row, TCardListModel::colName));
    // The views' indexes follow their rows.
    EXPECT_EQ(model.Text(lee.row(), TCardListModel::colName), "lee");
    EXPECT_EQ(lee.column(), TCardListModel::colPhone);
  }
  EXPECT_EQ(model.Compare(0, 1, -1), -1);
  EXPECT_EQ(model.Compare(1, 3, 2), 0);  // by e-mail, both empty
  EXPECT_EQ(model.Compare(3, 0, 2), -1);
  EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Abe"));
  EXPECT_EQ(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("E-Mail"));

  model.Fill({}, 2);
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.SortKey(), 2);
}

}  // namespace
