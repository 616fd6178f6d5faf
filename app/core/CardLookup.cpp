#include "CardLookup.h"

#include <cstring>

#include "CardBook.h"
#include "CodePage.h"

namespace {

bool Contains(std::string_view line, std::string_view text) {
  return line.size() >= text.size() && memmem(line.data(), line.size(), text.data(), text.size()) != nullptr;
}

// The surname and the first name of a line; nullopt for a line with fewer than two separators.
std::optional<std::pair<std::string_view, std::string_view>> EntryNames(std::string_view line) {
  const std::size_t first = line.find(kFieldSeparator);
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = line.find(kFieldSeparator, first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  return std::pair(line.substr(0, first), line.substr(first + 1, second - first - 1));
}

constexpr std::string_view kEntrySeparator = ", ";

}  // namespace

int FindCard(const TStringList& cards, std::string_view first, std::string_view second) {
  if (first.empty()) return -1;
  int index = 0;
  for (std::string_view line : cards) {
    if (Contains(line, first) && (second.empty() || Contains(line, second))) return index;
    ++index;
  }
  return -1;
}

bool LetterMatches(char c, char letter) {
  if (letter == '?') return true;
  auto upper = [](char x) { return x >= 'a' && x <= 'z' ? static_cast<char>(x - 32) : x; };
  const auto byte = static_cast<unsigned char>(upper(c));
  letter = upper(letter);
  if (byte <= 'z') return byte == static_cast<unsigned char>(letter);
  const std::size_t position = LatinLetterPairs.find(letter);
  if (position == std::string_view::npos) return false;
  return static_cast<char>(byte) == GreekLetterPairs[position] ||
         static_cast<char>(byte) == GreekLetterPairs[position + 1];
}

std::optional<AnsiString> LetterListEntry(std::string_view line) {
  const auto names = EntryNames(line);
  if (!names) return std::nullopt;
  AnsiString entry;
  entry.reserve(names->first.size() + kEntrySeparator.size() + names->second.size());
  entry += names->first;
  entry += kEntrySeparator;
  entry += names->second;
  return entry;
}

const std::vector<TLetterListOrder::TEntry>& TLetterListOrder::Entries(const TStringList& cards) {
  if (FRevision == cards.Revision()) return FEntries;
  struct TPlace {
    std::size_t Offset;
    std::size_t Size;
    int Card;
    char Initial;
  };
  AnsiString bookOrderText;
  std::vector<TPlace> places;
  places.reserve(static_cast<std::size_t>(cards.Count()));
  int card = 0;
  for (std::string_view line : cards) {
    const int index = card++;
    const auto names = EntryNames(line);
    if (!names) continue;
    const std::size_t offset = bookOrderText.size();
    bookOrderText += names->first;
    bookOrderText += kEntrySeparator;
    bookOrderText += names->second;
    places.push_back({offset, bookOrderText.size() - offset, index, line.front()});
  }
  std::vector<std::string_view> texts;
  texts.reserve(places.size());
  for (const TPlace& place : places) texts.push_back(std::string_view(bookOrderText).substr(place.Offset, place.Size));
  const std::vector<std::size_t> order = CaselessOrder(texts);

  // The text again in the entries' order, so that a fill reads it front to back.
  FRevision.reset();
  FEntries.clear();
  FText.clear();
  FText.reserve(bookOrderText.size());
  for (std::size_t i : order) FText += texts[i];
  FEntries.reserve(order.size());
  std::size_t offset = 0;
  for (std::size_t i : order) {
    const TPlace& place = places[i];
    FEntries.push_back({std::string_view(FText).substr(offset, place.Size), place.Card, place.Initial});
    offset += place.Size;
  }
  FRevision = cards.Revision();
  return FEntries;
}
