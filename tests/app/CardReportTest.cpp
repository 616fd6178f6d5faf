#include "CardReport.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

std::string Line(std::initializer_list<std::string_view> fields) {
  std::string line;
  for (std::string_view field : fields) (line += field) += '\xFF';
  return line;
}

// A line with the given values at their field numbers, the rest empty.
std::string CardWith(std::initializer_list<std::pair<int, std::string_view>> values) {
  std::vector<std::string_view> fields(14);
  for (auto [number, value] : values) fields[static_cast<std::size_t>(number)] = value;
  std::string line;
  for (std::string_view field : fields) (line += field) += '\xFF';
  return line;
}

TEST(CardTexts, FoldsBlankPairsInOnePassThenTrims) {
  EXPECT_EQ(FoldBlanks("a  b"), "a b");
  EXPECT_EQ(FoldBlanks("a   b"), "a  b");
  EXPECT_EQ(FoldBlanks("a    b"), "a  b");
  EXPECT_EQ(FoldBlanks("  a "), "a");
  EXPECT_EQ(FoldBlanks(""), "");
}

// The eight texts in order: name, company, address, country, phone, e-mail, website, picture.
std::vector<std::string> All(const TCardTexts& t) {
  return {t.Name, t.Company, t.Address, t.Country, t.Phone, t.Email, t.WebSite, t.Picture};
}

TEST(CardTexts, MakesEachTextFromItsFields) {
  struct Case {
    const char* what;
    std::string line;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"name and company",
       CardWith({{0, "Smith   "}, {1, "  John"}, {2, " Acme Ltd "}}),
       {"Smith John", "Acme Ltd", "", "", "", "", "", ""}},
      {"address and country folded",
       CardWith({{3, "1  Road"}, {4, ""}, {5, "12345"}, {6, ""}, {7, " Land"}}),
       {"", "", "1 Road 12345", "Land", "", "", "", ""}},
      {"phone and cellular", CardWith({{8, "555"}, {9, "777"}}), {"", "", "", "", "555 - 777", "", "", ""}},
      {"phone only keeps the blank before the removed dash",
       CardWith({{8, " 555 "}}),
       {"", "", "", "", "555 ", "", "", ""}},
      {"cellular only", CardWith({{9, "777"}}), {"", "", "", "", "- 777", "", "", ""}},
      {"e-mail, website, picture untrimmed",
       CardWith({{10, " a@b.invalid "}, {11, " www.b.invalid"}, {12, " pic.jpg "}}),
       {"", "", "", "", "", "a@b.invalid", "www.b.invalid", " pic.jpg "}},
      {"a field after the notes is the picture",
       Line({"A", "", "", "", "", "", "", "", "", "", "", "", "p.jpg", "notes", "late.jpg", "last.JPG"}),
       {"A", "", "", "", "", "", "", "last.JPG"}},
      {"a short line", "Doe\xFFJane\xFFignored", {"Doe Jane", "", "", "", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    TStringList cards;
    cards.Add(c.line);
    EXPECT_EQ(All(ReadCardTexts(cards, 0)), c.expected) << c.what;
  }
}

TEST(CardTexts, IndexOutsideTheBook) {
  TStringList cards;
  EXPECT_EQ(ReadCardTexts(cards, -1).Name, "");  // an empty book reads nothing
  EXPECT_EQ(ReadCardTexts(cards, 5).Phone, "");
  cards.Add(CardWith({{0, "Doe"}, {8, "555"}}));
  EXPECT_EQ(ReadCardTexts(cards, 1).Name, "");
  EXPECT_EQ(ReadCardTexts(cards, 1).Phone, "");
  EXPECT_THROW((void)ReadCardTexts(cards, -1), EStringListError);
}

// Runs the report's protocol: the band filled for the card named at the start of each call is
// printed while the call answers true.
std::vector<int> Bands(TPrintState state, int* calls = nullptr) {
  std::vector<int> printed;
  int count = 0;
  for (;;) {
    const int card = state.PrintCard;
    ++count;
    if (!NextBand(state) || count > 100) break;
    printed.push_back(card);
  }
  if (calls) *calls = count;
  return printed;
}

TPrintState Range(int first, int last, int copies) {
  TPrintState state;
  state.FirstCard = first;
  state.LastCard = last;
  state.PrintCard = first;
  state.Copies = copies;
  return state;
}

TEST(BandSequence, TakesEachCardItsCopiesInARow) {
  struct Case {
    TPrintState state;
    std::vector<int> bands;
  };
  const Case cases[] = {
      {Range(0, 2, 1), {0, 1, 2}}, {Range(0, 0, 3), {0, 0, 0}}, {Range(0, 1, 2), {0, 0, 1, 1}},
      {Range(3, 4, 1), {3, 4}},    {Range(2, 1, 1), {}},  // reversed, one copy: nothing
      {Range(2, 1, 2), {2}},                              // reversed with copies: the one band that ends the report
  };
  for (const Case& c : cases) {
    int calls = 0;
    EXPECT_EQ(Bands(c.state, &calls), c.bands)
        << c.state.FirstCard << ".." << c.state.LastCard << " x" << c.state.Copies;
    EXPECT_EQ(calls, static_cast<int>(c.bands.size()) + 1);
  }
}

TEST(BandSequence, LastCopySetsDoneAndTheNextCallEnds) {
  TPrintState state = Range(0, 0, 3);
  EXPECT_TRUE(NextBand(state));
  EXPECT_TRUE(NextBand(state));
  EXPECT_FALSE(state.Done);
  EXPECT_TRUE(NextBand(state));
  EXPECT_TRUE(state.Done);
  EXPECT_FALSE(NextBand(state));
}

TEST(PrintCounts, ReadsEditTextsAsNumbers) {
  const std::pair<std::string_view, int> cases[] = {
      {"", 1}, {"0", 0}, {"12", 12}, {"007", 7}, {"2147483647", INT_MAX}, {"2147483648", 1}, {"12a", 1}, {"a", 1},
  };
  for (auto [text, number] : cases) EXPECT_EQ(ReadCardNumber(text), number) << text;
}

TEST(PrintCounts, CardsAndPagesWithoutOverflow) {
  struct Case {
    std::int64_t first, last, copies, cards, pages;
  };
  const Case cases[] = {
      {1, 23, 1, 23, 3},
      {1, 23, 2, 46, 5},
      {1, 20, 1, 20, 2},
      {5, 5, 3, 3, 1},
      {1, 11, 1, 11, 2},
      {1, 23, 0, 0, 0},
      {7, 3, 1, 0, 0},
      {1, INT_MAX, INT_MAX, std::int64_t{INT_MAX} * INT_MAX, std::int64_t{INT_MAX} * INT_MAX / 10 + 1},
  };
  for (const Case& c : cases) {
    const TCardCount count = CountCards(c.first, c.last, c.copies);
    EXPECT_EQ(count.Cards, c.cards) << c.first << ".." << c.last << " x" << c.copies;
    EXPECT_EQ(count.Pages, c.pages) << c.first << ".." << c.last << " x" << c.copies;
  }
  EXPECT_EQ(FormatCardCount(CountCards(1, 23, 2)), "(46 Cards / 5 Pages)");
  EXPECT_EQ(FormatCardCount(CountCards(1, INT_MAX, INT_MAX)), "(4611686014132420609 Cards / 461168601413242061 Pages)");
}

}  // namespace
