#include "CardLookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "BookTools.h"
#include "CardBook.h"
#include "CardFixtures.h"
#include "CodePage.h"

namespace {

TStringList Book(std::initializer_list<CardValues> cards) {
  TStringList list;
  for (const CardValues& card : cards) list.Add(BuildCardLine(card));
  return list;
}

CardValues Card(std::string_view surname, std::string_view first, std::string_view picture = "",
                std::string_view notes = "") {
  return testing_support::CardFields(surname, first, picture, notes);
}

TEST(Search, ExactBytesOverTheWholeLine) {
  const TStringList cards = Book({Card("Smith", "Ann", "X.JPG"), Card("Jones", "Bob", "face.jpg", "a\r\nb"),
                                  Card("Smith", "Carl"), Card("Brown", "Dee")});
  struct Case {
    std::string_view first, second;
    int found;
  };
  const Case cases[] = {
      {"Smith", "", 0},
      {"smith", "", -1},
      {"Smith", "Carl", 2},
      {"Carl", "Smith", 2},
      {"jpg", "", 1},
      {"JPG", "", 0},
      {"a@!b", "", 1},
      {"th\xFF"
       "A",
       "", 0},
      {"", "Smith", -1},
      {"Smith", "Nobody", -1},
      {"mit", "Smi", 0},
      {"Dee\xFF", "", 3},
  };
  for (const Case& c : cases) EXPECT_EQ(FindCard(cards, c.first, c.second), c.found) << c.first << "/" << c.second;
  EXPECT_EQ(FindCard(TStringList(), "x", ""), -1);
}

TEST(LetterList, InitialsAreFiledUnderTheirLetter) {
  struct Case {
    char initial;
    std::string_view letters;  // every letter the card is listed under, besides ALL
  };
  const Case cases[] = {
      {'s', "S"},    {'S', "S"},     {'7', ""},     {'-', ""},     {'\xFF', ""},
      {'\xD9', "W"}, {'\xC2', "BV"}, {'\xCE', ""},  {'\xD8', ""},  {'\xC1', "A"},
      {'\xA2', "A"}, {'\xBE', "UY"}, {'\xD5', "Y"}, {'\xC9', "I"}, {'\xE1', ""},  // lower-case alpha
      {'c', "C"},    {'j', "J"},
  };
  for (const Case& c : cases) {
    std::string under;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
      if (LetterMatches(c.initial, letter)) under += letter;
    EXPECT_EQ(under, c.letters) << int(static_cast<unsigned char>(c.initial));
    EXPECT_TRUE(LetterMatches(c.initial, '?'));
  }
  EXPECT_FALSE(LetterMatches(' ', 'C'));  // the blank filler of C's Greek pair is no initial
}

TEST(LetterList, Entries) {
  EXPECT_EQ(LetterListEntry(BuildCardLine(Card("Smith", "Ann"))), "Smith, Ann");
  EXPECT_EQ(LetterListEntry(BuildCardLine(Card("", "Ann"))), ", Ann");
  EXPECT_EQ(LetterListEntry("only\xFF"), std::nullopt);
  EXPECT_EQ(LetterListEntry("x"), std::nullopt);
}

struct ListedEntry {
  AnsiString Text;
  int Card;
  char Initial;
  bool operator==(const ListedEntry&) const = default;
};

void PrintTo(const ListedEntry& entry, std::ostream* out) {
  *out << "{" << entry.Text << ", " << entry.Card << "}";
}

std::vector<ListedEntry> Listed(const std::vector<TLetterListOrder::TEntry>& entries) {
  std::vector<ListedEntry> listed;
  for (const TLetterListOrder::TEntry& entry : entries)
    listed.push_back({AnsiString(entry.Text), entry.Card, entry.Initial});
  return listed;
}

// The order a sorted list box gives the entries added in book order.
std::vector<ListedEntry> FreshOrder(const TStringList& cards) {
  std::vector<ListedEntry> listed;
  for (int i = 0; i < cards.Count(); ++i)
    if (std::optional<AnsiString> entry = LetterListEntry(cards[i])) listed.push_back({*entry, i, cards[i].front()});
  std::stable_sort(listed.begin(), listed.end(),
                   [](const ListedEntry& a, const ListedEntry& b) { return AnsiCompareText(a.Text, b.Text) < 0; });
  return listed;
}

TEST(LetterList, TheKeptOrderFollowsEveryChangeOfTheBook) {
  TStringList cards = Book({Card("smith", "Ann"), Card("Lee", "Bo"), Card("", "Empty"), Card("Smith", "ann"),
                            Card("7Up", "Seven"), Card("Adams", "Cy")});
  cards.Add("only\xFF");  // no entry
  cards.Add("");
  TStringList undo;
  TLetterListOrder order;
  EXPECT_EQ(Listed(order.Entries(cards)), FreshOrder(cards));

  using Change = std::function<void()>;
  const std::pair<const char*, Change> changes[] = {
      {"store over a card", [&] { cards.Put(1, BuildCardLine(Card("Zed", "Bo"))); }},
      {"store a new card", [&] { cards.Add(BuildCardLine(Card("Baker", "Al"))); }},
      {"delete",
       [&] {
         undo = cards;
         cards.Delete(0);
       }},
      {"undo", [&] { cards = undo; }},
      {"sort", [&] { SortCards(cards); }},
      {"restore",
       [&] {
         TStringList restored = Book({Card("Young", "Di"), Card("Abel", "Ed")});
         cards = std::move(restored);
       }},
      {"import appending",
       [&] {
         for (const char* surname : {"smith", "Moss", "Abel"}) cards.Add(BuildCardLine(Card(surname, "")));
       }},
      {"import replacing",
       [&] {
         cards.Clear();
         cards.Add(BuildCardLine(Card("Quinn", "Flo")));
       }},
      {"delete the last card", [&] { cards.Delete(0); }},
  };
  for (const auto& [name, change] : changes) {
    change();
    EXPECT_EQ(Listed(order.Entries(cards)), FreshOrder(cards)) << "after " << name;
  }
}

}  // namespace
