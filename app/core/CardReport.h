#pragma once
// The business cards: the texts printed for one card, the order in which the report's bands take
// the cards and their copies, and the print dialog's card and page counts.

#include <cstdint>
#include <string_view>

#include "StringList.h"
#include "SysUtils.h"

inline constexpr int kCardsPerPage = 10;

// The texts of one business card.
struct TCardTexts {
  AnsiString Name;  // surname and first name
  AnsiString Company;
  AnsiString Address;  // street, city and zip
  AnsiString Country;  // state and country
  AnsiString Phone;    // phone and cellular number
  AnsiString Email;
  AnsiString WebSite;
  AnsiString Picture;  // the picture's file name, untrimmed
};

// Replaces every pair of blanks by one blank in one pass from the left (three blanks become two),
// then trims.
[[nodiscard]] AnsiString FoldBlanks(std::string_view text);

// The texts of card index of cards. An empty book and an index past the end give empty texts; a
// negative index into a book that holds cards raises EStringListError.
[[nodiscard]] TCardTexts ReadCardTexts(const TStringList& cards, int index);

// Where the report stands in the chosen range: the card whose band is filled next and its copy.
struct TPrintState {
  int FirstCard = 0;
  int LastCard = -1;
  int Copies = 1;
  int CopyNo = 1;
  int PrintCard = 0;
  bool Done = false;
};

// Moves past the band just filled for PrintCard; true when that band is printed (and the report
// asks for another), false when the report ends without it.
[[nodiscard]] bool NextBand(TPrintState& state);

// An edit's text as a card number or a count: an empty text, or one that is not a decimal 32-bit
// integer, gives 1.
[[nodiscard]] int ReadCardNumber(std::string_view text);

struct TCardCount {
  std::int64_t Cards = 0;
  std::int64_t Pages = 0;
};
// Cards and pages of copies of each card from first to last; a reversed range or a count below 1
// gives none.
[[nodiscard]] TCardCount CountCards(std::int64_t first, std::int64_t last, std::int64_t copies);
// "(c Cards / p Pages)".
[[nodiscard]] AnsiString FormatCardCount(const TCardCount& count);
