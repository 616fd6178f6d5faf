#pragma once
// Reading the contacts of the mail client's default contacts folder through late-bound calls,
// into cards that are ready to be added to the book.

#include <array>
#include <functional>
#include <vector>

#include "Automation.h"
#include "CardBook.h"

// Every line break (CR LF, a lone CR or a lone LF) becomes one blank.
void CleanAddress(AnsiString& text);
// "(" and ")" are removed and each "," becomes a blank.
void CleanPhone(AnsiString& text);

// The number of items in the default contacts folder of the application object; 0 when the
// object is empty or any call fails.
[[nodiscard]] int CountContacts(const Variant& application);

using TCardFields = std::array<AnsiString, kCardFieldCount>;

struct TStagedContacts {
  std::vector<TCardFields> Cards;  // in folder order; picture and notes empty
  int Changed = 0;                 // contacts with characters the code page cannot hold, each now "?"
};

// Reads every contact of the default contacts folder, the count read afresh. A property that
// cannot be read gives "?" (first name, surname, website, e-mail) or an empty text; any other
// failure raises. progress(done, count) runs before the first contact and after each one.
[[nodiscard]] TStagedContacts StageContacts(const Variant& application,
                                            const std::function<void(int, int)>& progress = {});
