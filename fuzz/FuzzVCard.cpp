// The vCard reader and the contacts import over it: parses the input, serves it as contacts and
// reads every contact into card fields, checking what the import relies on.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "CardBook.h"
#include "ContactImport.h"
#include "ContactsServer.h"
#include "VCard.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<TVCard> cards = ParseVCards(text);
  for (const TVCard& card : cards)
    for (const TVCardProperty& property : card.Properties)
      Require(!property.Binary || property.Components.isEmpty(), "binary data is not kept");

  const Variant application(CreateContactsServer(text));
  Require(CountContacts(application) == static_cast<int>(cards.size()), "one contact per card");
  const TStagedContacts staged = StageContacts(application);
  Require(staged.Cards.size() == cards.size(), "every contact is read");
  Require(staged.Changed >= 0 && staged.Changed <= static_cast<int>(cards.size()), "changed contacts are counted once");
  for (const TCardFields& fields : staged.Cards) {
    Require(fields[cfAddress].find_first_of("\r\n") == AnsiString::npos, "the street is one line");
    for (const AnsiString& value : fields) Require(value.find(kFieldSeparator) == AnsiString::npos, "no separator");
    for (const char c : fields[cfPhone] + fields[cfCellular]) Require(c != '(' && c != ')' && c != ',', "clean phones");
    CardValues values{};
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = fields[i];
    Require(SplitCardLine(BuildCardLine(values)).size() == kCardFieldCount, "a card of 14 fields");
  }
  return 0;
}
