#pragma once
// Finding cards in the raw card lines: the search window's one- or two-string search, and the
// letter list's entries and initial-letter filter.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "StringList.h"
#include "SysUtils.h"

// Index of the first line that contains first (and second, when second is not empty) as an
// exact, case-sensitive byte sequence anywhere in the line; -1 when none does. An empty first
// string finds nothing.
[[nodiscard]] int FindCard(const TStringList& cards, std::string_view first, std::string_view second);

// Each capital letter twice, A A B B ... Z Z, and per letter the two Windows-1253 Greek capitals
// filed under it (a blank where there is none).
inline constexpr std::string_view LatinLetterPairs = "AABBCCDDEEFFGGHHIIJJKKLLMMNNOOPPQQRRSSTTUUVVWWXXYYZZ";
inline constexpr std::string_view GreekLetterPairs =
    "\xC1\xA2\xC2\xC2\x20\x20\xC4\xC4\xC5\xB8\xD6\xD6\xC3\xC3\xC7\xB9\xC9\xBA\x20\x20\xCA\xCA\xCB\xCB\xCC\xCC"
    "\xCD\xCD\xCF\xBC\xD0\xD0\xC8\xC8\xD1\xD1\xD3\xD3\xD4\xD4\xBE\xBE\xC2\xC2\xD9\xD9\xD7\xD7\xD5\xBE\xC6\xC6";

// Whether a card whose line begins with byte c is listed under letter ('A'..'Z', '?' for all).
[[nodiscard]] bool LetterMatches(char c, char letter);

// "surname, first name" as stored; nullopt for a line with fewer than two separators.
[[nodiscard]] std::optional<AnsiString> LetterListEntry(std::string_view line);

// The letter list's entries of a book in the order its sorted list shows them (the locale's, case
// ignored; equal entries in book order), each with its card. The order is worked out again only
// when the book's lines have changed, so that filling the list is one pass over the entries.
class TLetterListOrder {
 public:
  struct TEntry {
    std::string_view Text;  // as LetterListEntry gives it
    int Card;               // index of the card line
    char Initial;           // first byte of the card line
  };

  // Valid until the next call.
  [[nodiscard]] const std::vector<TEntry>& Entries(const TStringList& cards);

 private:
  std::optional<std::uint64_t> FRevision;
  AnsiString FText;  // the entries' text, in their order
  std::vector<TEntry> FEntries;
};
