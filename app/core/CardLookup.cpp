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
    std::size_t Offset;  // in bookText
    std::size_t Size;
    int Card;
    char Initial;
  };
  AnsiString bookText;
  std::vector<TPlace> places;
  places.reserve(static_cast<std::size_t>(cards.Count()));
  int card = 0;
  for (std::string_view line : cards) {
    const int index = card++;
    const auto names = EntryNames(line);
    if (!names) continue;
    const std::size_t offset = bookText.size();
    bookText += names->first;
    bookText += kEntrySeparator;
    bookText += names->second;
    places.push_back({offset, bookText.size() - offset, index, line.front()});
  }
  std::vector<std::string_view> texts;
  texts.reserve(places.size());
  for (const TPlace& place : places) texts.push_back(std::string_view(bookText).substr(place.Offset, place.Size));
  const std::vector<std::size_t> order = CaselessOrder(texts);

  // The text again in the entries' order, so that a fill reads it front to back. The places are
  // read in that order, scattered over memory: read ahead.
  FRevision.reset();
  FEntries.clear();
  FEntries.reserve(order.size());
  FText.clear();
  FText.reserve(bookText.size());  // never grows past this, so the views into it stay valid
  constexpr std::size_t kAhead = 16;
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (k + 2 * kAhead < order.size()) __builtin_prefetch(&places[order[k + 2 * kAhead]]);
    if (k + kAhead < order.size()) __builtin_prefetch(bookText.data() + places[order[k + kAhead]].Offset);
    const TPlace& place = places[order[k]];
    const std::size_t offset = FText.size();
    FText.append(bookText, place.Offset, place.Size);
    FEntries.push_back({std::string_view(FText).substr(offset, place.Size), place.Card, place.Initial});
  }
  FRevision = cards.Revision();
  return FEntries;
}
