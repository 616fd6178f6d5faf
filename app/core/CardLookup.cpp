#include "CardLookup.h"

#include <cstring>

#include "CardBook.h"

namespace {

bool Contains(std::string_view line, std::string_view text) {
  return line.size() >= text.size() && memmem(line.data(), line.size(), text.data(), text.size()) != nullptr;
}

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
  const std::size_t first = line.find(kFieldSeparator);
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = line.find(kFieldSeparator, first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  AnsiString entry;
  entry.reserve(second + 1);
  entry += line.substr(0, first);
  entry += ", ";
  entry += line.substr(first + 1, second - first - 1);
  return entry;
}
